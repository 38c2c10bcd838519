#pragma once

#include <string>

#include "conversion/output_format.h"
#include "parse/source_tracks.h"

namespace vantrel {

// The sound's filters, for ffmpeg's -af: the track folded to the format's
// channels, dialogue kept clear, brought to a small speaker's loudness when
// `normalize`, and resampled in step with the picture. `track` is null when
// the sound is made up (silence).
std::string SoundChain(const OutputFormat& format, const SoundTrack* track, bool normalize);

}  // namespace vantrel
