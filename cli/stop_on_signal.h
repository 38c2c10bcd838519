#pragma once

#include <memory>

#include "platform/stop_signal.h"

namespace vantrel::cli {

// From now on the requests to end the program that come through its terminal
// signal `stop` instead, so that each running encoder is ended and reaped and
// its partial file removed before the program ends.
//
// On Linux: SIGINT, SIGTERM and SIGHUP; SIGPIPE is ignored, so a closed output
// ends nothing halfway. On Windows: Ctrl-C, Ctrl-Break, and the console
// window's closing or the session's end, after which Windows ends the program
// as soon as the handler returns, so the handler then holds on until the
// program has ended itself.
//
// The signal is kept for the rest of the process. False when it cannot watch
// for them, and then no request is changed.
bool StopOnTerminationSignals(std::shared_ptr<StopSignal> stop);

}  // namespace vantrel::cli
