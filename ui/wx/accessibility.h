#pragma once

#include <wx/string.h>
#include <wx/window.h>

namespace vantrel {

// What the desktop's screen reader is told of the window's controls. wx on
// GTK gives them no accessible names of its own beyond their labels, so these
// speak to GTK's accessibility layer (ATK) directly.

// `control`'s name as a screen reader says it.
void SetAccessibleName(wxWindow* control, const wxString& name);

// `caption`'s mnemonic moves to `control`, and names it for a screen reader;
// with no control, the label (or a box's title) labels nothing.
void LinkCaption(wxWindow* caption, wxWindow* control);

}  // namespace vantrel
