// Start-up of the Windows program, shared by vantrel.exe and the build its
// window tests drive.
#pragma once

#include <string>

#include "conversion/converter.h"

namespace vantrel {

struct WindowsStart {
    EncoderSetup setup;
    // The movie named first on the command line, as a full path; empty if none.
    std::string startSource;
};

// Readies the process for the window (the common controls, COM for the file
// chooser) and reads the command line: `vantrel.exe FILE`, as Explorer's
// "Open with" starts it, opens FILE as OPEN would.
WindowsStart PrepareWindowsStart();

}  // namespace vantrel
