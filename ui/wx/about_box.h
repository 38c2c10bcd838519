#pragma once

#include <wx/dialog.h>

namespace vantrel {

// The About box: the program's icon, name and version, its rights notice and
// OK. Shown modally over the main window; OK, Esc and the close box end it.
class AboutBox : public wxDialog {
public:
    explicit AboutBox(wxWindow* owner);
};

}  // namespace vantrel
