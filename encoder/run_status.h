#pragma once

#include <cstdint>

namespace vantrel {

// How one encoder run ended, as the pump and the runner see it.
enum RunStatus : int32_t {
    kOutputEnded = 0,        // the encoder's output ended; says nothing of success
    kStopRequested = -1,     // the stop signal was raised; the encoder was killed
    kNotStarted = -2,        // the encoder or its input forwarder could not be started
    kDriveFull = -3,         // the target's file system reported 0 free bytes
    kTooManyDecodeErrors = -4,  // more than ten chunks reported a decoding failure
};

}  // namespace vantrel
