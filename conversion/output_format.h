#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel {

// One of the video qualities a user picks: the name the command line takes
// and the settings keep, and the picture's bitrate.
struct Quality {
    std::string_view name;
    int32_t videoKilobits;
};

// The handheld player's movie format: everything the converter makes is
// this, and every part of the program that speaks of the format reads it here.
struct OutputFormat {
    int width;
    int height;
    int framesPerSecond;
    std::string_view videoCodec;  // ffmpeg's encoder names
    std::string_view soundCodec;
    std::string_view videoCodecName;  // as a user knows them
    std::string_view soundCodecName;
    int32_t soundKilobits;
    int soundSampleRate;
    int soundChannels;
    std::string_view container;  // ffmpeg's muxer name
    std::string_view extension;  // of the converted file, without its dot
    std::array<Quality, 4> qualities;
    int32_t defaultVideoKilobits;

    std::optional<Quality> QualityNamed(std::string_view name) const {
        for (const Quality& quality : qualities) {
            if (quality.name == name) return quality;
        }
        return std::nullopt;
    }
};

inline constexpr OutputFormat kPlayerFormat = {
    256, 192, 12, "mpeg1video", "mp2", "MPEG-1", "MP2", 64, 22050, 1, "mpeg", "d3v",
    {{{"lowest", 192}, {"medium-lo", 256}, {"medium-hi", 320}, {"highest", 384}}},
    256,
};

}  // namespace vantrel
