#pragma once

#include <string>

namespace vantrel::cli {

// Why the file at `path` cannot be read as a source, in the system's words;
// empty when it can. A folder cannot.
std::string WhyUnreadable(const std::string& path);

}  // namespace vantrel::cli
