// Start-up of the Windows program, shared by vantrel.exe and the build its
// window tests drive.
#pragma once

#include <string>
#include <vector>

#include "conversion/converter.h"

namespace vantrel {

struct WindowsStart {
    EncoderSetup setup;
    // The files and folders the command line names, as full paths.
    std::vector<std::string> startSources;
};

// Readies the process for the window (the common controls, COM for the
// choosers) and reads the command line: `vantrel.exe FILE...`, as Explorer's
// "Open with" starts it, one argument for each file chosen, adds the files
// (and the movies of a folder) as OPEN would.
WindowsStart PrepareWindowsStart();

}  // namespace vantrel
