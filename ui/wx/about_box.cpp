#include "about_box.h"

#include "dialog_templates.h"
#include "program_icon.h"
#include "template_controls.h"

namespace vantrel {

AboutBox::AboutBox(wxWindow* owner)
    : wxDialog(owner, wxID_ANY,
               wxString::FromUTF8(kAboutDialogTemplate.caption.data(),
                                  kAboutDialogTemplate.caption.size())) {
    CreateTemplateControls(this, kAboutDialogTemplate, ProgramIcons());
    SetIcons(ProgramIcons());
    CentreOnParent();
    FindWindow(wxID_OK)->SetFocus();
}

}  // namespace vantrel
