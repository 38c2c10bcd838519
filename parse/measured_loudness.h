#pragma once

namespace vantrel {

// What ffmpeg's loudness meter (ebur128) measured of a whole sound track.
struct MeasuredLoudness {
    double integratedLufs = -70.0;  // -70 and below: silence, as the meter gates it
    double samplePeakDbfs = -100.0;  // the highest sample
};

}  // namespace vantrel
