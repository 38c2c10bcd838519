#include "ui/wx/about_box.h"

#include "ui/dialog_templates.h"
#include "ui/wx/program_icon.h"
#include "ui/wx/template_controls.h"

namespace vantrel {

AboutBox::AboutBox(wxWindow* owner)
    : wxDialog(owner, wxID_ANY,
               ShownText(kAboutDialogTemplate.caption)) {
    CreateTemplateControls(this, kAboutDialogTemplate, ProgramIcons());
    SetIcons(ProgramIcons());
    CentreOnParent();
    FindWindow(wxID_OK)->SetFocus();
}

}  // namespace vantrel
