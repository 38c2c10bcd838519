#include "cli/shared_console.h"

#include <algorithm>

#include "cli/terminal_columns.h"

namespace vantrel::cli {

std::string SharedConsole::Tagged(const std::string& name, const std::string& lines) const {
    if (!tagged_) return lines;
    std::string tagged;
    for (size_t start = 0; start < lines.size();) {
        const size_t end = std::min(lines.find('\n', start), lines.size() - 1) + 1;
        tagged += name + ": " + lines.substr(start, end - start);
        start = end;
    }
    return tagged;
}

void SharedConsole::Write(std::ostream& to, const std::string& text) {
    if (!live_) {
        to << text << std::flush;
        return;
    }
    // Up to the first progress line and erase the rest of the screen, write,
    // then draw the progress lines again below what was written. Each is cut
    // to the terminal's width in columns, never inside a character, since a
    // file's name or a translation's words may take several bytes a letter.
    if (drawn_ > 0) out_ << "\x1b[" << drawn_ << "A\r\x1b[J" << std::flush;
    to << text << std::flush;
    for (const auto& [name, line] : progress_) out_ << FirstColumns(line, width_ - 1) << '\n';
    out_ << std::flush;
    drawn_ = progress_.size();
}

void SharedConsole::Print(const std::string& name, const std::string& lines) {
    const std::lock_guard<std::mutex> hold(lock_);
    Write(out_, Tagged(name, lines));
}

void SharedConsole::PrintError(const std::string& name, const std::string& lines) {
    const std::lock_guard<std::mutex> hold(lock_);
    Write(err_, Tagged(name, lines));
}

void SharedConsole::ShowProgress(const std::string& name, const std::string& line) {
    const std::lock_guard<std::mutex> hold(lock_);
    const std::string shown = Tagged(name, line);
    const auto own = std::find_if(progress_.begin(), progress_.end(),
                                  [&](const auto& entry) { return entry.first == name; });
    if (own == progress_.end()) {
        progress_.emplace_back(name, shown);
    } else {
        own->second = shown;
    }
    Write(out_, "");
}

void SharedConsole::EndProgress(const std::string& name) {
    const std::lock_guard<std::mutex> hold(lock_);
    const auto own = std::find_if(progress_.begin(), progress_.end(),
                                  [&](const auto& entry) { return entry.first == name; });
    if (own == progress_.end()) return;
    const std::string last = own->second + '\n';
    progress_.erase(own);
    Write(out_, last);
}

}  // namespace vantrel::cli
