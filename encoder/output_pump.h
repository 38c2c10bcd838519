#pragma once

#include <functional>
#include <string>

#include "platform/child_process.h"
#include "parse/encoder_report_sink.h"
#include "platform/free_space.h"
#include "parse/parser_state.h"
#include "encoder/run_status.h"
#include "platform/stop_signal.h"

namespace vantrel {

struct PumpResult {
    RunStatus status = RunStatus::kOutputEnded;
    int exitCode = -1;            // the encoder's, once reaped
    bool reportedNoSpace = false; // its output said "No space left on device"
    std::string whyNotStarted;    // kNotStarted: the system's words
};

struct PumpSettings {
    const StopSignal* stop = nullptr;  // none for a probe
    const FreeSpaceSource* freeSpace = nullptr;
    std::string watchedFolder;         // whose file system must not fill up
    // Asked after each read: true ends the run as kAbandoned, for a run that
    // has shown it cannot give what its caller wants.
    std::function<bool(const ParserState&)> abandonWhen;
};

// Follows a started encoder until its output ends or the run must stop: reads
// its output (at most 511 bytes a read), parses it line by line, and after each
// read checks free space, decoding failures, the caller's test and the stop
// signal, in that order.
// The stop signal is also watched while the encoder is silent. Whatever the
// end, the encoder and anything it started are gone and reaped on return.
PumpResult PumpEncoderOutput(ChildProcess& child, ParserState& state, EncoderReportSink& sink,
                             const PumpSettings& settings);

}  // namespace vantrel
