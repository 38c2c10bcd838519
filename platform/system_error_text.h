#pragma once

#include <string>

namespace vantrel {

// The system's own words for an error code (errno on Linux, GetLastError() on
// Windows), in UTF-8 and without a line end: "No such file or directory".
std::string SystemErrorText(int code);

}  // namespace vantrel
