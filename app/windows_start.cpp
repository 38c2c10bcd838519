#include "app/windows_start.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "conversion/encoder_location.h"
#include "platform/message_catalog.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// The name as given when it cannot be made full, so that the window reports
// the file the user named.
std::string FullPath(const wchar_t* name) {
    const DWORD needed = ::GetFullPathNameW(name, 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD written = needed == 0 ? 0 : ::GetFullPathNameW(name, needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return ToUtf8(name);
    full.resize(written);
    return ToUtf8(full);
}

}  // namespace

WindowsStart PrepareWindowsStart() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The file and folder choosers host shell extensions, which want a
    // single-threaded apartment on the thread that shows them.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    UseProgramCatalog();

    WindowsStart start;
    start.setup.encoderPath = LocateEncoder();
    start.setup.consoleInputFd = -1;  // a window program has no console to pass on
    int count = 0;
    if (LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) start.startSources.push_back(FullPath(words[i]));
        ::LocalFree(words);
    }
    return start;
}

}  // namespace vantrel
