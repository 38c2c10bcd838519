#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "parse/encoder_report_sink.h"
#include "platform/free_space.h"
#include "encoder/output_pump.h"
#include "parse/parser_state.h"
#include "platform/stop_signal.h"

namespace vantrel {

// Starts the encoder with its output and error on one pipe and its input on
// another, forwards this program's console input to it on the first run of the
// program's life, and pumps its output. One run at a time: a second caller
// waits until the first has finished.
class EncoderRunner {
public:
    // consoleInputFd: where console input comes from (0 for this program's
    // own), or -1 for none.
    EncoderRunner(const FreeSpaceSource* freeSpace, int consoleInputFd)
        : freeSpace_(freeSpace), consoleInputFd_(consoleInputFd) {}

    // Blocks the calling thread for the whole run; kNotStarted when the
    // encoder or its input forwarder cannot be started. A run that writes
    // nothing leaves `settings.watchedFolder` empty and is not stopped by a
    // full disk; the runner supplies the free-space source.
    PumpResult Run(const std::string& encoderPath, const std::vector<std::string>& arguments,
                   PumpSettings settings, ParserState& state, EncoderReportSink& sink);

private:
    const FreeSpaceSource* freeSpace_;
    int consoleInputFd_;
    std::mutex runLock_;
    // Only the first run forwards console input: later ones find it cleared.
    std::atomic<bool> forwarderActive_{true};
};

}  // namespace vantrel
