#include "ui/wx/converter_window.h"

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/dataview.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/image.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/app.h>
#include <wx/utils.h>

#include <algorithm>
#include <utility>
#include <cmath>

#include "ui/wx/about_box.h"
#include "ui/wx/accessibility.h"
#include "ui/accessible_names.h"
#include "ui/mnemonic_mark.h"
#include "ui/control_ids.h"
#include "platform/translation.h"
#include "platform/utf8_text.h"
#include "ui/dialog_templates.h"
#include "conversion/picture_fit.h"
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

// The template's control `id`.
const ControlTemplate& TemplateControl(int id) {
    const auto& controls = kConverterDialogTemplate.controls;
    return *std::find_if(controls.begin(), controls.end(), [id](const ControlTemplate& c) { return c.id == id; });
}

// The list's row with `key`, or -1.
int RowOf(wxDataViewListCtrl* list, ListRowKey key) {
    for (int row = 0; list != nullptr && row < list->GetItemCount(); ++row) {
        if (list->GetItemData(list->RowToItem(row)) == static_cast<wxUIntPtr>(key)) return row;
    }
    return -1;
}

// What a screen reader says of a control without a caption of its own: its
// name, and for one of the panel's values the value after it ("Duration
// 0:45").
wxString AccessibleNameOf(const AccessibleName& named, const std::string& value) {
    const wxString name = wxString::FromUTF8(WithoutMnemonicMark(Tr(named.name)));
    return named.isValue && !value.empty() ? name + " " + wxString::FromUTF8(value) : name;
}

}  // namespace

ConverterWindow::ConverterWindow(EncoderSetup setup, SettingsStore* settings)
    : wxDialog(nullptr, wxID_ANY, ShownText(kConverterDialogTemplate.caption), wxDefaultPosition,
               wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    CreateTemplateControls(this, kConverterDialogTemplate, ProgramIcons());
    for (const AccessibleName& named : kAccessibleNames) {
        SetAccessibleName(FindWindow(WxIdFor(named.id)), AccessibleNameOf(named, ""));
    }
    PlacePreview();
    SetIcons(ProgramIcons());
    Centre();

    m_logic = std::make_unique<ConverterDialog>(*this, std::move(setup), settings, m_power.get());

    // The choosers OPEN and "Save to" may open run modal loops of their own:
    // started from the event loop, not inside the click's handler, which an
    // assistive technology's request may be (its bridge answers nothing more
    // until the handler returns).
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { CallAfter([this] { m_logic->OnOpenSource(); }); }, kIdOpen);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { m_logic->OnEncode(); }, kIdEncode);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_CANCEL);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { m_logic->OnRemove(); }, kIdRemove);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { m_logic->OnClearFinished(); }, kIdClearFinished);
    Bind(
        wxEVT_CHOICE,
        [this](wxCommandEvent& event) {
            CallAfter([this, choice = event.GetSelection()] { m_logic->OnSaveTo(choice); });
        },
        kIdSaveTo);
    Bind(
        wxEVT_CHOICE, [this](wxCommandEvent& event) { m_logic->OnSubtitles(event.GetSelection()); },
        kIdSubtitles);
    Bind(
        wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent&) { m_logic->OnListSelectionChanged(); },
        kIdSourceList);
    if (wxWindow* list = FindWindow(kIdSourceList)) {
        list->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_DELETE) m_logic->OnRemove();
            else event.Skip();
        });
    }
    for (const int id : kQualityRadios) {
        Bind(
            wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { m_logic->OnQuality(id); }, WxIdFor(id));
    }
    for (const int id : kPictureFitRadios) {
        Bind(
            wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { m_logic->OnPictureFit(id); }, WxIdFor(id));
    }
    for (const int id : kWhenDoneRadios) {
        Bind(
            wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { m_logic->OnWhenDone(id); }, WxIdFor(id));
    }
    // A time typed is applied on Enter, or when the field is left.
    for (const int id : {kIdTrimFrom, kIdTrimTo}) {
        Bind(
            wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { ApplyTypedTrim(); }, id);
        FindWindow(id)->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
            ApplyTypedTrim();
            event.Skip();
        });
    }
    Bind(wxEVT_CLOSE_WINDOW, &ConverterWindow::OnCloseWindow, this);

    // GTK gives a program no system menu of its own to extend; the About
    // entry lives in the context menu, and F1 opens the same box.
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { ShowAboutBox(); }, kAboutCommand);
    Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent&) {
        wxMenu menu;
        menu.AppendSeparator();
        menu.Append(kAboutCommand, FromUtf8(Text(MessageKey::kAbout)));
        PopupMenu(&menu);
    });
    wxAcceleratorEntry help(wxACCEL_NORMAL, WXK_F1, kAboutCommand);
    SetAcceleratorTable(wxAcceleratorTable(1, &help));

    // A drop may arrive in the middle of the toolkit's drag protocol; a
    // folder's search waits until that is over.
    SetDropTarget(new SourceDropTarget([this](std::vector<std::string> paths) {
        RunOnUiThread([this, paths = std::move(paths)] { m_logic->OnAddPaths(paths); });
    }));

    m_logic->OnInitDialog();
    FindWindow(kIdOpen)->SetFocus();
}

ConverterWindow::~ConverterWindow() {
    // Stops a run that is still going, should the window go without closing.
    m_logic.reset();
}

void ConverterWindow::AddAtStart(const std::vector<std::string>& paths) {
    RunOnUiThread([this, paths] { m_logic->OnAddPaths(paths); });
}

void ConverterWindow::OnCloseWindow(wxCloseEvent&) {
    if (closed()) return;
    // Stops a running conversion and waits for its worker, which ends within
    // moments: STOP ends the encoder at once.
    m_logic->OnClose();
    MarkClosed();
    // A box open over the window (a signal or the session's end may close
    // it meanwhile) is its child, with its loop further down the stack:
    // destroyed now, it would be freed twice. It is asked to end, and the
    // window goes once its loop has returned.
    if (m_modalDepth == 0) return (void)Destroy();
    m_destroyDue = true;
    if (m_modal != nullptr) m_modal->EndModal(wxID_CANCEL);
    // The box's loop sees that it is to end only when it next wakes.
    wxWakeUpIdle();
}

int ConverterWindow::RunModal(wxDialog& dialog) {
    wxDialog* outer = std::exchange(m_modal, &dialog);
    ++m_modalDepth;
    const int answer = dialog.ShowModal();
    --m_modalDepth;
    m_modal = outer;
    if (m_modalDepth == 0 && m_destroyDue) CallAfter([this] { Destroy(); });
    return answer;
}

void ConverterWindow::PostToUiThread(std::function<void()> action) { CallAfter(std::move(action)); }

void ConverterWindow::ApplyTypedTrim() {
    auto* from = dynamic_cast<wxTextCtrl*>(FindWindow(kIdTrimFrom));
    auto* to = dynamic_cast<wxTextCtrl*>(FindWindow(kIdTrimTo));
    if (from == nullptr || to == nullptr || m_logic == nullptr || (!from->IsModified() && !to->IsModified())) {
        return;
    }
    // Only a field the user changed: several rows selected keep their own
    // times for the other.
    const std::string fromText(from->GetValue().utf8_str()), toText(to->GetValue().utf8_str());
    const bool fromTyped = from->IsModified(), toTyped = to->IsModified();
    from->DiscardEdits();
    to->DiscardEdits();
    m_logic->OnTrim(fromTyped ? std::optional<std::string_view>(fromText) : std::nullopt,
                    toTyped ? std::optional<std::string_view>(toText) : std::nullopt);
}

void ConverterWindow::RunOnUiThreadAfter(std::chrono::milliseconds delay, std::function<void()> action) {
    const int number = ++m_lastTimer;
    auto timer = std::make_unique<wxTimer>();
    timer->Bind(wxEVT_TIMER, [this, number, action = std::move(action)](wxTimerEvent&) {
        // The timer goes once its event is over.
        CallAfter([this, number] { m_timers.erase(number); });
        if (!closed()) action();
    });
    timer->StartOnce(static_cast<int>(std::max<int64_t>(delay.count(), 1)));
    m_timers[number] = std::move(timer);
}

void ConverterWindow::Quit() {
    CallAfter([this] { Close(); });
}

void ConverterWindow::ApplyTooltip(int id, const std::string& text) {
    wxWindow* control = FindWindow(WxIdFor(id));
    if (control == nullptr) return;
    if (text.empty()) {
        control->UnsetToolTip();
    } else {
        control->SetToolTip(FromUtf8(text));
    }
}

void ConverterWindow::ApplyText(int id, const std::string& text) {
    wxWindow* control = FindWindow(WxIdFor(id));
    if (auto* field = dynamic_cast<wxTextCtrl*>(control)) {
        field->ChangeValue(FromUtf8(text));
        field->DiscardEdits();  // not the user's change
    } else if (auto* label = dynamic_cast<wxStaticText*>(control)) {
        label->SetLabelText(FromUtf8(text));  // a file name's '&' is shown, not taken as a mnemonic
        for (const AccessibleName& named : kAccessibleNames) {
            if (named.id == id) SetAccessibleName(label, AccessibleNameOf(named, text));
        }
        // A label that is not cut short runs on to its next line.
        if (!label->HasFlag(wxST_ELLIPSIZE_END)) label->Wrap(label->GetSize().GetWidth());
    } else if (control != nullptr) {
        control->SetLabel(FromUtf8(text));
    }
}

void ConverterWindow::ApplyEnabled(int id, bool enabled) {
    if (wxWindow* control = FindWindow(WxIdFor(id))) control->Enable(enabled);
}

void ConverterWindow::ApplyListRow(ListRowKey key, const ListRowTexts& texts) {
    auto* list = dynamic_cast<wxDataViewListCtrl*>(FindWindow(kIdSourceList));
    if (list == nullptr) return;
    int row = RowOf(list, key);
    if (row < 0) {
        list->AppendItem(wxVector<wxVariant>(texts.size(), wxVariant(wxString())), static_cast<wxUIntPtr>(key));
        row = list->GetItemCount() - 1;
    }
    bool changed = false;
    for (size_t column = 0; column < texts.size(); ++column) {
        // Only what changed, so that a row's progress does not make the list flicker.
        const wxString text = FromUtf8(texts[column]);
        if (list->GetTextValue(row, static_cast<unsigned>(column)) != text) {
            list->GetStore()->SetValueByRow(wxVariant(text), row, static_cast<unsigned>(column));
            changed = true;
        }
    }
    // The whole row told changed: GTK then tells a screen reader its cells'
    // new texts too, where a single value's change only redraws the cell.
    if (changed) list->GetStore()->ItemChanged(list->RowToItem(row));
}

void ConverterWindow::ApplyListRowRemoved(ListRowKey key) {
    auto* list = dynamic_cast<wxDataViewListCtrl*>(FindWindow(kIdSourceList));
    if (const int row = RowOf(list, key); row >= 0) list->DeleteItem(row);
}

void ConverterWindow::ApplyListRowSelected(ListRowKey key) {
    auto* list = dynamic_cast<wxDataViewListCtrl*>(FindWindow(kIdSourceList));
    const int chosen = RowOf(list, key);
    if (chosen < 0) return;
    const wxDataViewItem item = list->RowToItem(chosen);
    list->UnselectAll();
    list->Select(item);
    list->SetCurrentItem(item);
    list->EnsureVisible(item);
}

void ConverterWindow::ApplyChoices(int id, const std::vector<std::string>& choices, int selected) {
    auto* choice = dynamic_cast<wxChoice*>(FindWindow(WxIdFor(id)));
    if (choice == nullptr) return;
    choice->Clear();
    for (const std::string& text : choices) choice->Append(FromUtf8(text));
    choice->SetSelection(selected);
}

void ConverterWindow::PlacePreview() {
    auto* preview = dynamic_cast<wxStaticBitmap*>(FindWindow(kIdPreview));
    if (preview == nullptr) return;
    const ControlTemplate& room = TemplateControl(kIdPreview);
    const wxPoint at = ConvertDialogToPixels(wxPoint(room.x, room.y));
    const wxSize space = ConvertDialogToPixels(wxSize(room.width, room.height));
    // On a screen of several physical pixels to the toolkit's one, the
    // room's physical pixels decide.
    const double physical = GetContentScaleFactor();
    m_previewScale = WholeScale(kPlayerFormat.width, kPlayerFormat.height,
                                static_cast<int>(space.GetWidth() * physical),
                                static_cast<int>(space.GetHeight() * physical));
    const wxSize size(static_cast<int>(std::ceil(kPlayerFormat.width * m_previewScale / physical)),
                      static_cast<int>(std::ceil(kPlayerFormat.height * m_previewScale / physical)));
    m_previewPlace = wxRect(wxPoint(at.x + (space.GetWidth() - size.GetWidth()) / 2,
                                    at.y + (space.GetHeight() - size.GetHeight()) / 2),
                            size);
    ApplyPreview({});
}

// A blank preview is the player's screen off: black.
void ConverterWindow::ApplyPreview(const PreviewPicture& picture) {
    auto* preview = dynamic_cast<wxStaticBitmap*>(FindWindow(kIdPreview));
    if (preview == nullptr) return;
    m_previewShown = !picture.empty();
    wxImage image(m_previewShown ? picture.width : kPlayerFormat.width,
                  m_previewShown ? picture.height : kPlayerFormat.height, true);
    if (m_previewShown) std::copy(picture.rgb.begin(), picture.rgb.end(), image.GetData());
    // Each pixel a square of whole physical pixels: no smoothing.
    if (m_previewScale > 1) {
        image.Rescale(image.GetWidth() * m_previewScale, image.GetHeight() * m_previewScale,
                      wxIMAGE_QUALITY_NEAREST);
    }
    preview->SetBitmap(wxBitmap(image, wxBITMAP_SCREEN_DEPTH, GetContentScaleFactor()));
    // A new picture would have the control take the size it likes.
    preview->SetSize(m_previewPlace);
}

std::vector<ListRowKey> ConverterWindow::SelectedListRows() {
    std::vector<ListRowKey> keys;
    auto* list = dynamic_cast<wxDataViewListCtrl*>(FindWindow(kIdSourceList));
    if (list == nullptr) return keys;
    // In the list's order, as the rows are shown.
    for (int row = 0; row < list->GetItemCount(); ++row) {
        const wxDataViewItem item = list->RowToItem(row);
        if (list->IsSelected(item)) keys.push_back(static_cast<ListRowKey>(list->GetItemData(item)));
    }
    return keys;
}

void ConverterWindow::ApplyChecked(int id, bool checked) {
    if (auto* radio = dynamic_cast<wxRadioButton*>(FindWindow(WxIdFor(id)))) radio->SetValue(checked);
}

void ConverterWindow::ApplyProgress(int position) {
    if (auto* gauge = dynamic_cast<wxGauge*>(FindWindow(kIdProgress))) gauge->SetValue(position);
    ProgressShown(position);
}

void ConverterWindow::ProgressShown(int) {}

void ConverterWindow::ApplyMessage(const std::string& text) {
    wxMessageDialog box(this, FromUtf8(text), MessageCaption(), wxOK | wxICON_EXCLAMATION);
    RunModal(box);
}

std::vector<std::string> ConverterWindow::ChooseSourceFiles(const std::string& folder) {
    wxFileDialog dialog(this, FromUtf8(Tr("Open")), FromUtf8(folder), wxString(),
                        FromUtf8(OpenFileFilter()), wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
    std::vector<std::string> chosen;
    if (RunModal(dialog) != wxID_OK) return chosen;
    wxArrayString paths;
    dialog.GetPaths(paths);
    for (const wxString& path : paths) chosen.emplace_back(path.utf8_str());
    return chosen;
}

std::optional<std::string> ConverterWindow::ChooseFolder(const std::string& folder) {
    wxDirDialog dialog(this, FromUtf8(Tr("Save to")), FromUtf8(folder), wxDD_DEFAULT_STYLE);
    if (RunModal(dialog) != wxID_OK) return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

void ConverterWindow::NotifyConversionEnded(std::string_view text) {
    if (IsActive()) return;
    // Kept, not made afresh: the desktop may still answer the last one.
    if (!m_notification) m_notification = std::make_unique<wxNotificationMessage>();
    m_notification->SetParent(this);
    m_notification->SetTitle(ShownText(kConverterDialogTemplate.caption));
    wxString message = FromUtf8(ValidUtf8(text));
    message.Replace("\r\n", "\n");  // GTK would show the carriage returns
    m_notification->SetMessage(message);
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
    RunModal(box);
}

}  // namespace vantrel
