#pragma once

#include <wx/iconbndl.h>

namespace vantrel {

// The program's icon at 16, 32 and 48 pixels: the window's icons and the
// About box's picture. Needs the PNG image handler.
const wxIconBundle& ProgramIcons();

}  // namespace vantrel
