#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The conversion command as separate words, in the order and spelling the
// program records: "-y -i SRC -b 256 -strict -2 -s 256x192 ... -acodec mp2 TARGET".
// Nothing is ever split out of a path.
std::vector<std::string> ArgumentWords(const std::string& source, int videoBitrate,
                                       const std::string& target);

// The words as today's ffmpeg must read them to do what they say: its "-b" and
// "-ab" count bits, not kilobits, and "-coder" does nothing for MPEG-1 but
// warn. Paths are marked as plain files so that no name is read as an option
// or a protocol. Repeated decoding errors must not be folded into "Last message
// repeated N times", or they would not be counted.
std::vector<std::string> TranslateForInstalledEncoder(const std::vector<std::string>& words);

}  // namespace vantrel
