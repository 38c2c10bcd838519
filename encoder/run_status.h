#pragma once

namespace vantrel {

// How one encoder run ended, as the pump and the runner see it.
enum class RunStatus {
    kOutputEnded,          // the encoder's output ended; says nothing of success
    kStopRequested,        // the stop signal was raised; the encoder was killed
    kNotStarted,           // the encoder or its input forwarder could not be started
    kDriveFull,            // the target's file system reported 0 free bytes
    kTooManyDecodeErrors,  // more than ten lines reported a picture that failed to decode
    kAbandoned,            // the caller's test said the run could not give what it wants
};

}  // namespace vantrel
