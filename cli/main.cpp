// vantrel-convert: the window's conversion for batches and scripts.
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli_options.h"
#include "converter.h"
#include "encoder_location.h"
#include "file_conversion.h"
#include "shared_console.h"
#include "stop_on_signal.h"

namespace {

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;
constexpr int kInterrupted = 130;

}  // namespace

int main(int argc, char** argv) {
    using namespace vantrel::cli;
    const CliOptions options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case CliOptions::Action::kHelp:
            std::cout << UsageText();
            return kAllConverted;
        case CliOptions::Action::kVersion:
            std::cout << VersionText();
            return kAllConverted;
        case CliOptions::Action::kUsageError:
            std::cerr << "vantrel-convert: " << options.error << '\n'
                      << "Try 'vantrel-convert --help' for more information.\n";
            return kUsageError;
        case CliOptions::Action::kConvert:
            break;
    }

    // Made before any encoder runs, so that no signal finds the program
    // without a way to stop it cleanly.
    auto stop = std::make_shared<vantrel::StopSignal>();
    if (!StopOnTerminationSignals(stop)) {
        std::cerr << "vantrel-convert: cannot prepare to stop: " << std::strerror(errno) << '\n';
        return kSomeFailed;
    }

    const int jobs = std::min<int>(options.jobs > 0 ? options.jobs : DefaultJobs(),
                                   static_cast<int>(options.files.size()));
    winsize terminal{};
    const bool live = ::isatty(STDOUT_FILENO) == 1;
    const size_t width =
        live && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &terminal) == 0 && terminal.ws_col > 1
            ? terminal.ws_col
            : 80;
    SharedConsole console(std::cout, std::cerr, live, jobs > 1, width);

    // Every target is decided, in the order the files are named, before any
    // file starts, so that which of two twins is refused never depends on
    // which conversion ends first.
    std::vector<FileResult> results(options.files.size(), FileResult::kFailed);
    std::vector<std::pair<size_t, SourceAndTarget>> toConvert;
    std::map<std::string, std::string> sourceOfTarget;
    for (size_t i = 0; i < options.files.size(); ++i) {
        FileConsole fileConsole{console, options.files[i]};
        if (const auto file = ResolveFile(options.files[i], fileConsole, results[i])) {
            const auto [earlier, first] = sourceOfTarget.emplace(file->target, file->source);
            if (first) {
                toConvert.emplace_back(i, *file);
            } else {
                results[i] = RefuseSharedTarget(*file, earlier->second, fileConsole);
            }
        }
    }

    // Each worker takes the next file in order, with a Converter of its own,
    // since one Converter runs one ffmpeg at a time.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        vantrel::EncoderSetup setup;
        setup.encoderPath = vantrel::LocateEncoder();
        setup.consoleInputFd = -1;  // the terminal's keys are for Ctrl-C, not for ffmpeg
        vantrel::Converter converter(std::move(setup));
        for (size_t taken; (taken = next++) < toConvert.size();) {
            // After a stop no file is begun at all.
            const auto& [index, file] = toConvert[taken];
            if (stop->IsSignalled()) {
                results[index] = FileResult::kStopped;
                continue;
            }
            FileConsole fileConsole{console, options.files[index]};
            if (jobs == 1 && taken > 0) fileConsole.Print("\n");
            results[index] = ConvertFile(file, converter, options.videoBitrate, options.fit,
                                         *stop, fileConsole);
        }
    };
    std::vector<std::thread> workers;
    for (int i = 1; i < jobs; ++i) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();

    bool anyFailed = false;
    for (const FileResult result : results) {
        if (result == FileResult::kStopped) return kInterrupted;
        anyFailed = anyFailed || result != FileResult::kConverted;
    }
    return anyFailed ? kSomeFailed : kAllConverted;
}
