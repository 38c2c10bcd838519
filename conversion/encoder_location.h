#pragma once

#include <string>

namespace vantrel {

// "ffmpeg" beside this program if it is there, else the first on PATH. When
// there is none, the path beside the program, so that starting it fails and
// the user is told.
std::string LocateEncoder();

// The font subtitles fall back on when their own is not on the system:
// DejaVu Sans, in "fonts" beside this program if it is there (as the Windows
// zip has it), else where Debian's fonts-dejavu-core puts it.
std::string LocateSubtitleFont();

}  // namespace vantrel
