// Runs the built vantrel-convert as a child, the way a user's shell would.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace vantrel::cli::testing {

struct CliRun {
    int exitCode = -1;  // 128 + signal when killed
    std::string out;
    std::string err;
};

struct CliLaunch {
    std::vector<std::string> arguments;    // after the program's name
    std::string workingFolder;             // empty: the test's own
    std::map<std::string, std::string> environment;  // replaces these variables
    bool outputIsTerminal = false;         // standard output on a pseudo-terminal
};

// A running vantrel-convert whose output is read as it comes.
class CliProcess {
public:
    explicit CliProcess(const CliLaunch& launch);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Reads standard output until a whole line satisfying `wanted` has come;
    // false if the output ended first.
    template <class Predicate>
    bool ReadUntilLine(Predicate wanted) {
        for (;;) {
            for (size_t start = scanned_, end; (end = out_.find('\n', start)) != std::string::npos;
                 start = end + 1) {
                scanned_ = end + 1;
                if (wanted(out_.substr(start, end - start))) return true;
            }
            if (!ReadSome()) return false;
        }
    }
    void Signal(int signal);
    // Reads everything that is left and reaps the program.
    CliRun Wait();

private:
    bool ReadSome();

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    size_t scanned_ = 0;
};

CliRun RunCli(const CliLaunch& launch);

}  // namespace vantrel::cli::testing
