#pragma once

#include <string>

#include "conversion/output_format.h"
#include "parse/measured_loudness.h"
#include "parse/source_tracks.h"

namespace vantrel {

// The sound's filters, for ffmpeg's -af: the track folded to the format's
// channels, dialogue kept clear, resampled in step with the picture, and
// brought to a small speaker's loudness from what `measured` says of it (null:
// kept as it is). `track` is null when the sound is made up (silence).
std::string SoundChain(const OutputFormat& format, const SoundTrack* track,
                       const MeasuredLoudness* measured);

// The filters that measure the track's loudness as SoundChain would give it
// to the player, before any gain: its fold, at the player's rate.
std::string LoudnessMeter(const OutputFormat& format, const SoundTrack& track);

}  // namespace vantrel
