#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// `text` as valid UTF-8: each byte that does not belong to a well-formed
// sequence becomes U+FFFD, so that a file name in an old single-byte encoding
// still shows, with its unknown letters marked, rather than not at all.
std::string ValidUtf8(std::string_view text);

// Whether every byte of `text` belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

}  // namespace vantrel
