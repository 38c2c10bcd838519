#include "ui/wx/template_controls.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/gauge.h>
#include <wx/dataview.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <memory>
#include <utility>
#include <vector>

#include "ui/control_ids.h"
#include "platform/translation.h"
#include "ui/wx/accessibility.h"
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

// GTK's own list, whose rows a screen reader can read.
wxWindow* CreateList(wxWindow* parent, const ControlTemplate& c, wxPoint pos, wxSize size) {
    auto* list = new wxDataViewListCtrl(parent, WxIdFor(c.id), pos, size, wxDV_MULTIPLE | wxBORDER_SUNKEN);
    for (const ListColumn& column : kSourceListColumns) {
        list->AppendTextColumn(ShownText(column.header), wxDATAVIEW_CELL_INERT,
                               parent->ConvertDialogToPixels(wxSize(column.width, 0)).GetWidth(), wxALIGN_LEFT,
                               wxDATAVIEW_COL_RESIZABLE);
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
    // A caption's mnemonic moves to the next control tabbing reaches, as on
    // Windows; a label that is no caption (a hint, a value, a box's title)
    // labels nothing.
    wxWindow* caption = nullptr;
    auto captions = std::make_shared<std::vector<std::pair<wxWindow*, wxWindow*>>>();
    for (const ControlTemplate& c : dialogTemplate.controls) {
        const wxPoint pos = parent->ConvertDialogToPixels(wxPoint(c.x, c.y));
        const wxSize size = parent->ConvertDialogToPixels(wxSize(c.width, c.height));
        switch (c.controlClass) {
            case ControlClass::kButton: {
                wxWindow* button = CreateButtonClass(parent, c, pos, size);
                if (c.Has(kStyleGroupBox)) captions->emplace_back(button, nullptr);
                break;
            }
            case ControlClass::kStatic: {
                wxWindow* label = CreateStaticClass(parent, c, pos, size, icons);
                if (!c.Has(kStyleNoPrefix) && c.text.find('&') != std::string_view::npos) caption = label;
                else captions->emplace_back(label, nullptr);
                break;
            }
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
        if (caption != nullptr && c.Has(kStyleTabStop)) {
            captions->emplace_back(caption, parent->FindWindow(WxIdFor(c.id)));
            caption = nullptr;
        }
    }
    // wx links every label to the control after it in tabbing order whenever
    // it orders the tabbing anew, on an idle turn; the links are set right on
    // the turns after.
    parent->Bind(wxEVT_IDLE, [captions](wxIdleEvent& event) {
        event.Skip();
        for (const auto& [label, control] : *captions) LinkCaption(label, control);
    });
    parent->SetClientSize(
        parent->ConvertDialogToPixels(wxSize(dialogTemplate.width, dialogTemplate.height)));
}

}  // namespace vantrel
