#include "encoder/encoder_runner.h"

#include "platform/child_process.h"
#include "platform/console_input_forwarder.h"
#include "platform/translation.h"

namespace vantrel {

PumpResult EncoderRunner::Run(const std::string& encoderPath,
                              const std::vector<std::string>& arguments, PumpSettings settings,
                              ParserState& state, EncoderReportSink& sink) {
    std::lock_guard<std::mutex> lock(runLock_);

    std::vector<std::string> argv;
    argv.reserve(arguments.size() + 1);
    argv.push_back(encoderPath);
    argv.insert(argv.end(), arguments.begin(), arguments.end());

    ChildProcess child;
    if (const ChildProcess::StartResult started = child.Start(argv); !started) {
        return {RunStatus::kNotStarted, -1, false, encoderPath + ": " + started.reason()};
    }

    ConsoleInputForwarder forwarder;
    if (consoleInputFd_ >= 0 && forwarderActive_.load()) {
        if (!forwarder.Start(consoleInputFd_, child)) {
            // Without its helper the run cannot be followed; the child's
            // destructor ends it rather than leave it running unwatched.
            return {RunStatus::kNotStarted, -1, false, Tr("cannot follow the encoder's output")};
        }
    }

    if (!settings.watchedFolder.empty()) settings.freeSpace = freeSpace_;
    const PumpResult result = PumpEncoderOutput(child, state, sink, settings);

    forwarderActive_ = false;
    forwarder.Stop();
    child.CloseInput();
    return result;
}

}  // namespace vantrel
