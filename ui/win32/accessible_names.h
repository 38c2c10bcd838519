#pragma once

#include <windows.h>

#include <string>

namespace vantrel {

// The names a screen reader hears for the window's controls that show no
// caption of their own (the bar, the preview, the list, the fields, the
// drop-down lists and the panel's values), told to the system's accessibility
// layer by annotating each control's window. Windows would otherwise name a
// field after the label before it, and the bar and the list after nothing.
void AnnotateAccessibleNames(HWND dialog);

// A panel value's name again, with the value `text` it now shows after it.
void AnnotateAccessibleValue(HWND dialog, int id, const std::string& text);

}  // namespace vantrel
