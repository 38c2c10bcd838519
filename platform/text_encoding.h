#pragma once

#include <string>

#include "platform/expected.h"

namespace vantrel {

// A text file's bytes in UTF-8, whatever they were written in.
struct Utf8Text {
    std::string text;
    std::string encoding;  // what they were read as: "UTF-8", "WINDOWS-1252", "SHIFT_JIS"
};

// Reads the file at `path` (UTF-8) and gives its text in UTF-8. `encoding`
// names the file's encoding ("WINDOWS-1251", "ISO-8859-2", "SHIFT_JIS"...);
// empty means detect it. A byte-order mark says UTF-8 or UTF-16 whatever is
// asked, and is dropped. Fails, with the reason, when the file cannot be read
// or the encoding is unknown.
Expected<Utf8Text> ReadTextAsUtf8(const std::string& path, const std::string& encoding);

}  // namespace vantrel
