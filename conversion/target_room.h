#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// "840 kB", "2.4 MB", "3.1 GB": decimal units, as file managers on the
// desktop show sizes, their names in the user's language.
std::string SizeText(double bytes);

// The converted file's size to expect, from the video bitrate, the sound's
// and the source's duration.
double ExpectedBytes(int32_t videoKilobits, double seconds);

// The room a movie is given before it starts: its expected size with a
// margin for what the bitrates leave out (the container's packets, and a
// rate control that overshoots on a hard picture).
uint64_t BytesNeeded(int32_t videoKilobits, double seconds);

// Where a movie goes, by the name its user knows it: a card's label, or the
// folder itself.
std::string PlaceName(const std::string& folder);

// Why a movie of `seconds` at `videoKilobits` should not start in `folder`
// with `freeBytes` free there, less `reservedBytes` that movies already
// running there will still write: "PLAYER has 120 MB free; this movie needs
// about 160 MB". Nothing when it fits.
std::optional<std::string> WhyItWillNotFit(const std::string& folder, uint64_t freeBytes,
                                           uint64_t reservedBytes, int32_t videoKilobits,
                                           double seconds);

// Why a movie stopped on a full file system, in the user's words.
std::string FullReason(const std::string& folder);

}  // namespace vantrel
