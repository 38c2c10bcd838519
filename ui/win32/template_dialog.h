#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "ui/dialog_template.h"

namespace vantrel {

// A dialog as the Windows dialog manager builds it from a DialogTemplate: an
// in-memory dialog template with the template's caption and client size, in
// the desktop's dialog font, and no controls; CreateTemplateControls makes
// those once the dialog exists.
class TemplateDialogMemory {
public:
    TemplateDialogMemory(const DialogTemplate& dialog, DWORD style, DWORD extendedStyle);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_dwords.data()); }

private:
    std::vector<DWORD> m_dwords;  // the dialog manager wants the template DWORD-aligned
};

// Creates the template's controls in `dialog`, in template order, which is
// also the tab order, at their places in dialog units of the dialog's font
// (MapDialogRect), in that font. The first push button with the default style
// becomes the default button. An icon control shows `icon`, and a list
// control `listColumns`, in report view with rows selected whole.
void CreateTemplateControls(HWND dialog, const DialogTemplate& dialogTemplate, HICON icon,
                            std::span<const ListColumn> listColumns = {});

}  // namespace vantrel
