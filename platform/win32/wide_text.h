#pragma once

#include <string>

namespace vantrel {

// The program keeps its text in UTF-8 and turns it into UTF-16 only at the
// Windows calls. Neither direction fails: a broken UTF-8 sequence, or a lone
// surrogate in UTF-16, comes out as U+FFFD, so a bad name still reaches the
// call that then reports it as not found.
std::wstring ToWide(const std::string& utf8);
std::string ToUtf8(const std::wstring& wide);

// A UTF-8 path as the wide file calls want it: '/' turned into '\\', and an
// absolute path too long for the classic limit made full and given the "\\?\"
// prefix ("\\?\UNC\" for a share), which lifts the limit even where the
// program's long-path setting is off. Short or relative paths keep their form.
std::wstring ToWindowsPath(const std::string& utf8);

}  // namespace vantrel
