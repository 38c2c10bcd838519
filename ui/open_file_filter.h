#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// The open dialog's filter: pairs of description and ';'-separated patterns,
// all separated by '|'.
inline constexpr char kOpenFileFilter[] =
    "Movie Files|*.mpeg;*.mpg;*.mp4;*.mpe;*.wmv;*.avi;*.mov;*.d3v|All Files (*.*)|*.*";

// The filter with each pattern that holds lower-case letters followed by its
// upper-case form ("*.mov" gives "*.mov;*.MOV"). The GTK file chooser matches
// patterns case-sensitively, and cameras name their files MVI_0001.MOV.
std::string WithUpperCasePatterns(std::string_view filter);

}  // namespace vantrel
