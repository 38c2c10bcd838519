#pragma once

namespace vantrel {

// How a probe or a conversion ended, as both front ends tell it.
enum class ConversionOutcome {
    kConverted,    // the target is written (or the probe described the source)
    kNotStarted,   // ffmpeg, or a thread of the run, could not be started
    kStopped,      // stopped on request; no partial file is left
    kFailed,       // ffmpeg failed, or wrote nothing
    kNoSpace,      // the target's file system filled up
    kWillNotFit,   // not started: the movie would not fit where it goes
    kUndecodable,  // ffmpeg could not read the source, or not its picture
};

}  // namespace vantrel
