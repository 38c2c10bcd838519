#pragma once

#include <string>
#include <vector>

#include "conversion/conversion_request.h"
#include "conversion/output_format.h"
#include "conversion/subtitle_drawing.h"
#include "parse/measured_loudness.h"
#include "parse/source_description.h"

namespace vantrel {

// ffmpeg's words for one run, in named parts, in the order ffmpeg reads them.
// Each path is one word: nothing is ever split out of a name.
struct EncoderArguments {
    std::vector<std::string> general;         // how ffmpeg reports
    std::vector<std::string> inputs;          // the source first, then any made-up stream
    std::vector<std::string> maps;            // which streams go into the movie
    std::vector<std::string> filters;         // how the picture and the sound are shaped
    std::vector<std::string> encoderOptions;  // the codecs and how they spend their bits
    std::vector<std::string> target;          // the container and the file written

    std::vector<std::string> Words() const;
};

// Only the source, with no output: ffmpeg describes it and stops.
EncoderArguments ProbeArguments(const std::string& sourcePath);

// The conversion of `request` into `format`, written to `writtenPath`, for a
// source as `source` describes it: its sound track `soundTrack` brought to a
// small speaker's loudness from `loudness` as LoudnessArguments measured it
// (null: kept as it is), the subtitles drawn as `subtitles` says, a picture
// made for a source without one, silence for a source without sound.
EncoderArguments ConversionArguments(const OutputFormat& format, const ConversionRequest& request,
                                     const SourceDescription& source, int soundTrack,
                                     const MeasuredLoudness* loudness,
                                     const SubtitleDrawing& subtitles,
                                     const std::string& writtenPath);

// A run over the sound track `soundTrack` alone that measures its loudness as
// the conversion would give it to the player, and writes nothing.
EncoderArguments LoudnessArguments(const OutputFormat& format, const ConversionRequest& request,
                                   const SourceDescription& source, int soundTrack);

// How a preview is written.
enum class PreviewImage { kPng, kRawRgb };

// One frame of that conversion's picture, the one at `seconds` into the
// source, written to `imagePath`: a PNG, or the frame's rows of RGB bytes.
EncoderArguments PreviewArguments(const OutputFormat& format, const ConversionRequest& request,
                                  const SourceDescription& source, const SubtitleDrawing& subtitles,
                                  double seconds, PreviewImage kind, const std::string& imagePath);

// What a conversion assumes of a source nobody has described yet: a moving
// picture of a usual size, and sound on its first track.
SourceDescription AssumedSource();

}  // namespace vantrel
