// Inside the platform layer: what ReadTextAsUtf8 needs from each system.
#pragma once

#include <string>
#include <string_view>

#include "platform/expected.h"

namespace vantrel {

// The whole file's bytes; the reason in the system's words when it cannot be read.
Expected<std::string> ReadWholeFile(const std::string& path);

// `bytes` in the legacy encoding `encoding` (a name as ReadTextAsUtf8 keeps
// it: upper case, "WINDOWS-1251", "SHIFT_JIS"), in UTF-8. Bytes invalid in
// it come out as U+FFFD. Fails when the system cannot read that encoding,
// even for no bytes at all, which is how a name is checked.
Expected<std::string> LegacyToUtf8(std::string_view bytes, const std::string& encoding);

}  // namespace vantrel
