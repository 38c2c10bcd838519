#include "ui/wx/template_controls.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include "ui/control_ids.h"
#include "platform/translation.h"
#include "ui/dialog_templates.h"

namespace vantrel {
namespace {

wxWindow* CreateButtonClass(wxWindow* parent, const ControlTemplate& c, wxPoint pos, wxSize size) {
    const wxString label = ShownText(c.text);
    const wxWindowID id = WxIdFor(c.id);
    if (c.Has(kStyleGroupBox)) return new wxStaticBox(parent, id, label, pos, size);
    if (c.Has(kStyleAutoRadio)) {
        return new wxRadioButton(parent, id, label, pos, size, c.Has(kStyleGroup) ? wxRB_GROUP : 0);
    }
    auto* button = new wxButton(parent, id, label, pos, size);
    auto* window = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(parent));
    if (c.Has(kStyleDefaultButton) && window != nullptr && window->GetDefaultItem() == nullptr) {
        button->SetDefault();
    }
    return button;
}

wxWindow* CreateStaticClass(wxWindow* parent, const ControlTemplate& c, wxPoint pos, wxSize size,
                            const wxIconBundle& icons) {
    if (c.Has(kStyleIcon)) {
        const wxIcon icon = icons.GetIcon(size, wxIconBundle::FALLBACK_NEAREST_LARGER);
        return new wxStaticBitmap(parent, WxIdFor(c.id), icon, pos, size);
    }
    // The text's length must not resize the label: the panel's layout is fixed.
    auto* label = new wxStaticText(parent, WxIdFor(c.id), wxString(), pos, size,
                                   wxALIGN_LEFT | wxST_NO_AUTORESIZE |
                                       (c.Has(kStyleWrap) ? 0 : wxST_ELLIPSIZE_END));
    // A caption's '&' marks the mnemonic that moves to the control after it.
    if (c.Has(kStyleNoPrefix)) label->SetLabelText(ShownText(c.text));
    else label->SetLabel(ShownText(c.text));
    return label;
}

wxWindow* CreateList(wxWindow* parent, const ControlTemplate& c, wxPoint pos, wxSize size) {
    auto* list = new wxListCtrl(parent, WxIdFor(c.id), pos, size, wxLC_REPORT | wxBORDER_SUNKEN);
    for (const ListColumn& column : kSourceListColumns) {
        list->AppendColumn(ShownText(column.header), wxLIST_FORMAT_LEFT,
                           parent->ConvertDialogToPixels(wxSize(column.width, 0)).GetWidth());
    }
    return list;
}

// As tall as the toolkit draws it, centred where the template has it.
void CentredAtItsOwnHeight(wxWindow* control, wxPoint pos, wxSize size) {
    control->Move(pos.x, pos.y + (size.GetHeight() - control->GetSize().GetHeight()) / 2);
}

}  // namespace

wxString ShownText(std::string_view templateText) {
    if (templateText.empty()) return wxString();
    return wxString::FromUTF8(Tr(std::string(templateText).c_str()));
}

wxWindowID WxIdFor(int templateId) {
    switch (templateId) {
        case kIdOk:
            return wxID_OK;
        case kIdCancel:
            return wxID_CANCEL;
        case kIdUnaddressed:
            return wxID_ANY;
        default:
            return templateId;
    }
}

int TemplateIdFor(wxWindowID id) {
    switch (id) {
        case wxID_OK:
            return kIdOk;
        case wxID_CANCEL:
            return kIdCancel;
        default:
            return id < 0 ? kIdUnaddressed : id;
    }
}

void CreateTemplateControls(wxWindow* parent, const DialogTemplate& dialogTemplate,
                            const wxIconBundle& icons) {
    for (const ControlTemplate& c : dialogTemplate.controls) {
        const wxPoint pos = parent->ConvertDialogToPixels(wxPoint(c.x, c.y));
        const wxSize size = parent->ConvertDialogToPixels(wxSize(c.width, c.height));
        switch (c.controlClass) {
            case ControlClass::kButton:
                CreateButtonClass(parent, c, pos, size);
                break;
            case ControlClass::kStatic:
                CreateStaticClass(parent, c, pos, size, icons);
                break;
            case ControlClass::kProgress:
                new wxGauge(parent, WxIdFor(c.id), kProgressRange, pos, size,
                            wxGA_HORIZONTAL | wxGA_SMOOTH);
                break;
            case ControlClass::kList:
                CreateList(parent, c, pos, size);
                break;
            case ControlClass::kPicture:
                // The room; the window sizes it to its picture.
                new wxStaticBitmap(parent, WxIdFor(c.id), wxBitmap(), pos, size);
                break;
            case ControlClass::kChoice:
                CentredAtItsOwnHeight(new wxChoice(parent, WxIdFor(c.id), pos, wxSize(size.GetWidth(), -1)),
                                      pos, size);
                break;
            case ControlClass::kEdit:
                // Enter applies what was typed, rather than pressing the default button.
                CentredAtItsOwnHeight(new wxTextCtrl(parent, WxIdFor(c.id), ShownText(c.text), pos,
                                                     wxSize(size.GetWidth(), -1), wxTE_PROCESS_ENTER),
                                      pos, size);
                break;
        }
    }
    parent->SetClientSize(
        parent->ConvertDialogToPixels(wxSize(dialogTemplate.width, dialogTemplate.height)));
}

}  // namespace vantrel
