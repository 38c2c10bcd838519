#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The conversion command as separate words, in the order and spelling the
// program records: "-y -i SRC -b 256 -strict -2 -s 256x192 ... -acodec mp2 TARGET".
// Nothing is ever split out of a path.
std::vector<std::string> ArgumentWords(const std::string& source, int videoBitrate,
                                       const std::string& target);

// How the picture and the sound are shaped on their way to the target. The
// recorded words only say "-s 256x192 -r 12"; the chains do the real work.
struct EncoderFilters {
    std::string video;  // an ffmpeg filter chain ending at 256x192, 12 fps; empty: none
    std::string audio;  // a filter chain for the sound; empty: none
    // The source has no sound: the target gets a silent one, as long as the picture.
    std::string silentSound;  // an ffmpeg lavfi source of silence; empty: none
};

// The words as today's ffmpeg must read them to do what they say: its "-b" and
// "-ab" count bits, not kilobits, and "-coder" does nothing for MPEG-1 but
// warn. Paths are marked as plain files so that no name is read as an option
// or a protocol. Repeated decoding errors must not be folded into "Last message
// repeated N times", or they would not be counted. With a video chain, it takes
// the place of "-s" and "-r". The source's decoder gets a shortcut and the
// MPEG-1 encoder better decisions, neither of which changes what the words say.
std::vector<std::string> TranslateForInstalledEncoder(const std::vector<std::string>& words,
                                                      const EncoderFilters& filters = {});

}  // namespace vantrel
