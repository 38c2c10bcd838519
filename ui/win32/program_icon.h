#pragma once

#include <windows.h>

namespace vantrel {

// The program's icon from its own resources, in the size the system uses for
// `metric` (SM_CXICON, SM_CXSMICON); shared, so never destroyed. Null when
// the program carries no icon.
HICON ProgramIcon(int metric);

}  // namespace vantrel
