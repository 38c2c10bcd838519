// vantrel-convert: the window's conversion for batches and scripts.
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli_options.h"
#include "converter.h"
#include "encoder_location.h"
#include "file_conversion.h"
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

    Console console{std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1};
    vantrel::EncoderSetup setup;
    setup.encoderPath = vantrel::LocateEncoder();
    setup.consoleInputFd = -1;  // the terminal's keys are for Ctrl-C, not for ffmpeg
    vantrel::Converter converter(std::move(setup));
    // Each target with the source it was made from: a second source that
    // names the same target would overwrite the first one's result.
    std::map<std::string, std::string> sourceOfTarget;
    bool anyFailed = false;
    for (size_t i = 0; i < options.files.size(); ++i) {
        // A stop between two files: the next one is not begun at all.
        if (stop->IsSignalled()) return kInterrupted;
        if (i > 0) std::cout << '\n';
        FileResult result = FileResult::kFailed;
        if (const auto file = ResolveFile(options.files[i], console, result)) {
            const auto [earlier, first] = sourceOfTarget.emplace(file->target, file->source);
            result = first ? ConvertFile(*file, converter, options.videoBitrate, options.fit,
                                         *stop, console)
                           : RefuseSharedTarget(*file, earlier->second, console);
        }
        switch (result) {
            case FileResult::kConverted:
                break;
            case FileResult::kFailed:
            case FileResult::kRejected:
                anyFailed = true;
                break;
            case FileResult::kStopped:
                return kInterrupted;
        }
    }
    return anyFailed ? kSomeFailed : kAllConverted;
}
