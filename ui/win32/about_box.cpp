#include "ui/win32/about_box.h"

#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/win32/program_icon.h"
#include "ui/win32/template_dialog.h"

namespace vantrel {
namespace {

INT_PTR CALLBACK AboutBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            CreateTemplateControls(box, kAboutDialogTemplate, ProgramIcon(SM_CXICON));
            ::SetFocus(::GetDlgItem(box, kIdOk));
            return FALSE;  // the focus is set
        case WM_COMMAND:
            // OK, and Esc and the close box, which the dialog manager turns into Cancel.
            if (LOWORD(wParam) == kIdOk || LOWORD(wParam) == kIdCancel) ::EndDialog(box, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowAboutBox(HWND owner) {
    static const TemplateDialogMemory memory(kAboutDialogTemplate,
                                             WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                                 DS_CENTER,
                                             0);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), memory.get(), owner, AboutBoxProcedure, 0);
}

}  // namespace vantrel
