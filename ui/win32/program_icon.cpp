#include "ui/win32/program_icon.h"

#include "ui/win32/program_resources.h"

namespace vantrel {

HICON ProgramIcon(int metric) {
    const int pixels = ::GetSystemMetrics(metric);
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(VANTREL_PROGRAM_ICON), IMAGE_ICON,
                                           pixels, pixels, LR_SHARED));
}

}  // namespace vantrel
