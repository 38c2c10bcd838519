#pragma once

#include <windows.h>

namespace vantrel {

// The About box: the program's icon, name and version, its rights notice and
// OK. Modal over `owner`, which it disables meanwhile; OK, Esc and the close
// box end it.
void ShowAboutBox(HWND owner);

}  // namespace vantrel
