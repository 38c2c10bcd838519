#pragma once

#include <string>

namespace vantrel {

// The program's user-visible texts, by what they are for, in the user's
// language. Each window maps the keys it shows to its own resources.
enum class MessageKey {
    kAbout,             // the About entry and the About box's caption
    kConversionFailed,
    kNotEnoughMemory,   // the target's file system is full
    kUnableToDecode,
    kEncode,
    kStop,
    kFailedToExecute,   // ffmpeg, or a thread of the conversion, cannot be started
};

std::string Text(MessageKey key);

}  // namespace vantrel
