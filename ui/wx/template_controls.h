#pragma once

#include <wx/defs.h>
#include <wx/iconbndl.h>
#include <wx/window.h>

#include <string_view>

#include "ui/dialog_template.h"

namespace vantrel {

// The toolkit's id for a template's control id: its own ids for OK and
// Cancel, so that Enter and Esc find those buttons, and a fresh id for a
// control the program never addresses.
wxWindowID WxIdFor(int templateId);

// A template's text as the user reads it: in the user's language.
wxString ShownText(std::string_view templateText);
int TemplateIdFor(wxWindowID id);

// Creates the template's controls in `parent`, in template order, which is
// also the tab order, at their places in dialog units of the parent's font;
// then sizes the parent's client area to the template's. A push button with
// the default style becomes the default button if none is yet. `icons` gives
// the picture of an icon control.
void CreateTemplateControls(wxWindow* parent, const DialogTemplate& dialogTemplate,
                            const wxIconBundle& icons);

}  // namespace vantrel
