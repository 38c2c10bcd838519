#pragma once

#include <string_view>

namespace vantrel {

// The program's user-visible texts, by the ids the window uses for them.
enum StringId : int {
    kIdsAbout = 101,
    kIdsFilename = 102,
    kIdsConverting = 103,
    kIdsConversionFailed = 104,
    kIdsNotEnoughMemory = 105,
    kIdsUnableToDecode = 106,
    kIdsEncode = 107,
    kIdsStop = 108,
};

// The text of a string id; empty for an unknown id.
std::string_view LoadStringResource(int id);

// Shown on its own when ffmpeg, or a thread of the conversion, cannot be started.
inline constexpr char kFailedToExecuteMessage[] =
    "Failed to execute video conversion component!! Please re-install.";

}  // namespace vantrel
