// The resources the program's resource script gives and the window loads.
// Plain macros, since the resource compiler reads this file too.
#pragma once

// The program's icon, at 16, 32 and 48 pixels.
#define VANTREL_PROGRAM_ICON 128
