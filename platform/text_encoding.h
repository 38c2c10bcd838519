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
// names the file's encoding ("WINDOWS-1251", "ISO-8859-2", "SHIFT_JIS", or a
// common alias: "cp1251", "latin2", "sjis"); empty means detect it. Whatever
// is asked, a byte-order mark says UTF-8 or UTF-16 (and is dropped), and text
// that is valid UTF-8 is taken as UTF-8. Bytes that are not valid in the
// encoding become U+FFFD rather than failing the read. Fails, with the reason,
// when the encoding is unknown or the file cannot be read (the system's words).
Expected<Utf8Text> ReadTextAsUtf8(const std::string& path, const std::string& encoding);

}  // namespace vantrel
