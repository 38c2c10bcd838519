#pragma once

#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::cli {

// The terminal or log that every file of a batch writes to, from its own
// thread. Each call writes whole lines under one lock, so that the lines of
// files converted at once never run into each other. When `tagged`, each line
// begins with the name of the file it is about. On a terminal ("live") the
// running files' progress lines stay below everything else, one each, and are
// redrawn in place.
class SharedConsole {
public:
    SharedConsole(std::ostream& out, std::ostream& err, bool live, bool tagged, size_t width)
        : out_(out), err_(err), live_(live), tagged_(tagged), width_(width) {}

    bool live() const { return live_; }

    // `lines`, each ending in '\n', about the file named `name`.
    void Print(const std::string& name, const std::string& lines);
    void PrintError(const std::string& name, const std::string& lines);

    // Live only: `name`'s progress line, added below the others or replacing its own.
    void ShowProgress(const std::string& name, const std::string& line);
    // Its last progress line, if any, moves up among the ordinary lines.
    void EndProgress(const std::string& name);

private:
    std::string Tagged(const std::string& name, const std::string& lines) const;
    void Write(std::ostream& to, const std::string& text);  // lock held

    std::ostream& out_;
    std::ostream& err_;
    const bool live_;
    const bool tagged_;
    const size_t width_;  // the terminal's columns; a longer line would wrap
    std::mutex lock_;
    std::vector<std::pair<std::string, std::string>> progress_;  // name, line
    size_t drawn_ = 0;  // progress lines on the screen below the cursor's line
};

// One file's share of the console: what it prints is about `name`.
struct FileConsole {
    SharedConsole& shared;
    std::string name;  // the FILE as given

    void Print(const std::string& lines) { shared.Print(name, lines); }
    void PrintError(const std::string& lines) { shared.PrintError(name, lines); }
};

}  // namespace vantrel::cli
