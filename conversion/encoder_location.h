#pragma once

#include <string>

namespace vantrel {

// "ffmpeg" beside this program if it is there, else the first on PATH. When
// there is none, the path beside the program, so that starting it fails and
// the user is told.
std::string LocateEncoder();

}  // namespace vantrel
