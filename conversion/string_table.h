#pragma once

#include <string_view>

namespace vantrel {

// The program's user-visible texts, by what they are for. Each window maps the
// keys it shows to its own resources.
enum class MessageKey {
    kAbout,             // the About entry and the About box's caption
    kConversionFailed,
    kNotEnoughMemory,   // the target's file system is full
    kUnableToDecode,
    kEncode,
    kStop,
    kFailedToExecute,   // ffmpeg, or a thread of the conversion, cannot be started
};

std::string_view Text(MessageKey key);

}  // namespace vantrel
