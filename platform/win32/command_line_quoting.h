#pragma once

#include <string>
#include <vector>

namespace vantrel {

// One command line for CreateProcessW from argv (UTF-8), quoted so that the
// child's start-up code (and CommandLineToArgvW) splits it back into the very
// same words. argv[0] is read by a simpler rule: up to the next quote, with
// no backslash escapes, so it is quoted whole and must hold no quote itself
// (a Windows file name cannot).
std::string QuoteCommandLine(const std::vector<std::string>& argv);

}  // namespace vantrel
