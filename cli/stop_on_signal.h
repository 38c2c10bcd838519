#pragma once

#include <memory>

#include "stop_signal.h"

namespace vantrel::cli {

// From now on SIGINT, SIGTERM and SIGHUP signal `stop` instead of ending the
// program, so that the running encoder is ended and reaped and its partial
// file removed; SIGPIPE is ignored, so a closed output ends nothing halfway.
// The signal is kept for the rest of the process. False when it cannot watch
// for them, and then nothing was changed.
bool StopOnTerminationSignals(std::shared_ptr<StopSignal> stop);

}  // namespace vantrel::cli
