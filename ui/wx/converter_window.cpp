#include "ui/wx/converter_window.h"

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <algorithm>

#include "ui/wx/about_box.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "conversion/picture_fit.h"
#include "conversion/qualities.h"
#include "conversion/source_types.h"
#include "ui/wx/program_icon.h"
#include "ui/wx/source_drop_target.h"
#include "conversion/string_table.h"
#include "ui/wx/template_controls.h"

namespace vantrel {
namespace {

wxString FromUtf8(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

// Message boxes are captioned with the program's file name, as its users
// know it from the command that started it.
wxString MessageCaption() {
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetName();
}

// The outcome messages separate their lines with "\r\n"; GTK would show the
// carriage returns.
wxString ForDisplay(std::string_view text) {
    wxString shown = FromUtf8(text);
    shown.Replace("\r\n", "\n");
    return shown;
}

}  // namespace

ConverterWindow::ConverterWindow(EncoderSetup setup)
    : wxDialog(nullptr, wxID_ANY, FromUtf8(kConverterDialogTemplate.caption), wxDefaultPosition,
               wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    CreateTemplateControls(this, kConverterDialogTemplate, ProgramIcons());
    SetIcons(ProgramIcons());
    Centre();

    m_logic = std::make_unique<ConverterDialog>(*this, std::move(setup), &m_settings);

    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { m_logic->OnOpenSource(); }, kIdOpen);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { m_logic->OnEncode(); }, kIdEncode);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_CANCEL);
    for (const Quality& quality : kQualities) {
        Bind(
            wxEVT_RADIOBUTTON, [this, id = quality.radioId](wxCommandEvent&) { m_logic->OnQuality(id); },
            WxIdFor(quality.radioId));
    }
    for (const PictureFitChoice& fit : kPictureFits) {
        Bind(
            wxEVT_RADIOBUTTON, [this, id = fit.radioId](wxCommandEvent&) { m_logic->OnPictureFit(id); },
            WxIdFor(fit.radioId));
    }
    Bind(wxEVT_CLOSE_WINDOW, &ConverterWindow::OnCloseWindow, this);

    // GTK gives a program no system menu of its own to extend; the About
    // entry lives in the context menu, and F1 opens the same box.
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { ShowAboutBox(); }, kAboutCommand);
    Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent&) {
        wxMenu menu;
        menu.AppendSeparator();
        menu.Append(kAboutCommand, FromUtf8(LoadStringResource(kIdsAbout)));
        PopupMenu(&menu);
    });
    wxAcceleratorEntry help(wxACCEL_NORMAL, WXK_F1, kAboutCommand);
    SetAcceleratorTable(wxAcceleratorTable(1, &help));

    // A drop may arrive in the middle of the toolkit's drag protocol; the
    // probe waits until that is over.
    SetDropTarget(new SourceDropTarget([this](std::vector<std::string> paths) {
        Queue([this, paths = std::move(paths)] { m_logic->OnFilesDropped(paths); });
    }));

    m_logic->OnInitDialog();
    FindWindow(kIdOpen)->SetFocus();
}

ConverterWindow::~ConverterWindow() {
    // Stops a run that is still going, should the window go without closing.
    m_logic.reset();
}

void ConverterWindow::OpenAtStart(const std::string& path) {
    Queue([this, path] { m_logic->OnOpenPath(path); });
}

void ConverterWindow::OnCloseWindow(wxCloseEvent&) {
    // Stops a running conversion and waits for its worker, which ends within
    // moments: STOP ends the encoder at once.
    m_logic->OnClose();
    m_closed = true;
    Destroy();
}

void ConverterWindow::Queue(std::function<void()> action) {
    CallAfter([this, action = std::move(action)] {
        if (!m_closed) action();
    });
}

void ConverterWindow::SetControlText(int id, std::string_view text) {
    Queue([this, id, text = FromUtf8(text)] {
        wxWindow* control = FindWindow(WxIdFor(id));
        if (auto* label = dynamic_cast<wxStaticText*>(control)) {
            label->SetLabelText(text);  // a file name's '&' is shown, not taken as a mnemonic
        } else if (control != nullptr) {
            control->SetLabel(text);
        }
    });
}

void ConverterWindow::EnableControl(int id, bool enabled) {
    Queue([this, id, enabled] {
        if (wxWindow* control = FindWindow(WxIdFor(id))) control->Enable(enabled);
    });
}

void ConverterWindow::CheckControl(int id, bool checked) {
    Queue([this, id, checked] {
        if (auto* radio = dynamic_cast<wxRadioButton*>(FindWindow(WxIdFor(id)))) {
            radio->SetValue(checked);
        }
    });
}

void ConverterWindow::PostProgress(int32_t position) {
    Queue([this, position] {
        // A native progress bar shows a position outside its range clamped.
        const int shown = std::clamp<int32_t>(position, 0, kProgressRange);
        if (auto* gauge = dynamic_cast<wxGauge*>(FindWindow(kIdProgress))) gauge->SetValue(shown);
        ProgressShown(shown);
    });
}

void ConverterWindow::ProgressShown(int) {}

void ConverterWindow::RunOnUiThread(std::function<void()> action) { Queue(std::move(action)); }

void ConverterWindow::ShowMessage(std::string_view text) {
    Queue([this, text = ForDisplay(text)] {
        wxMessageBox(text, MessageCaption(), wxOK | wxICON_EXCLAMATION, this);
    });
}

std::optional<std::string> ConverterWindow::ChooseSourceFile(const std::string& folder) {
    wxFileDialog dialog(this, _("Open"), FromUtf8(folder), wxString(),
                        FromUtf8(OpenFileFilter()), wxFD_OPEN);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

void ConverterWindow::NotifyConversionEnded(std::string_view text) {
    if (IsActive()) return;
    // Kept, not made afresh: the desktop may still answer the last one.
    if (!m_notification) m_notification = std::make_unique<wxNotificationMessage>();
    m_notification->SetParent(this);
    m_notification->SetTitle(FromUtf8(kConverterDialogTemplate.caption));
    m_notification->SetMessage(ForDisplay(text));
    // Without a notification service on the desktop the toolkit would put
    // its complaint in a message box; the window tells the same already.
    wxLogNull quiet;
    m_notification->Show();
}

void ConverterWindow::SetBusy(bool busy) {
    if (busy) {
        wxBeginBusyCursor();
    } else {
        wxEndBusyCursor();
    }
}

void ConverterWindow::ShowAboutBox() {
    AboutBox box(this);
    box.ShowModal();
}

}  // namespace vantrel
