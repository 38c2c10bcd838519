#include "ui/win32/converter_window.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "conversion/string_table.h"
#include "platform/win32/wide_text.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/win32/accessible_names.h"
#include "ui/win32/about_box.h"
#include "ui/win32/file_choosers.h"
#include "ui/win32/list_view_rows.h"
#include "ui/win32/program_icon.h"
#include "ui/win32/template_dialog.h"

namespace vantrel {
namespace {

// Tells the window that queued actions are due.
constexpr UINT kQueueDueMessage = WM_APP + 1;

// Message boxes are captioned with the program's name, as its users know it
// from the program's file.
constexpr wchar_t kMessageCaption[] = L"vantrel";

bool IsPointerOver(HWND window) {
    POINT point;
    RECT place;
    return ::GetCursorPos(&point) && ::GetWindowRect(window, &place) && ::PtInRect(&place, point);
}

}  // namespace

ConverterWindow::ConverterWindow(EncoderSetup setup, SettingsStore* settings)
    : m_setup(std::move(setup)), m_settings(settings) {}

ConverterWindow::~ConverterWindow() {
    // Stops a run that is still going, should the window go without closing.
    m_logic.reset();
}

void ConverterWindow::Run(const std::vector<std::string>& startSources) {
    m_startSources = startSources;
    const TemplateDialogMemory memory(
        kConverterDialogTemplate, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER,
        WS_EX_APPWINDOW);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), memory.get(), nullptr, DialogProcedure,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ConverterWindow::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<ConverterWindow*>(lParam)->m_window = window;
    }
    // Null for the few messages that come before WM_INITDIALOG.
    auto* self = reinterpret_cast<ConverterWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self == nullptr ? FALSE : self->OnMessage(message, wParam, lParam);
}

INT_PTR ConverterWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return FALSE;  // the focus is set
        case kQueueDueMessage:
            m_queue.RunDue();
            return TRUE;
        case WM_COMMAND:
            // The controls tell of themselves while they are made, before the logic is.
            if (m_logic) OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM:
            if (wParam != kIdPreview) return FALSE;
            m_preview.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_NOTIFY:
            if (m_logic && reinterpret_cast<const NMHDR*>(lParam)->idFrom == kIdSourceList) {
                OnListNotification(*reinterpret_cast<const NMHDR*>(lParam));
            }
            return FALSE;  // nothing the list asks is refused
        case WM_SYSCOMMAND:
            // The system keeps the low four bits of a command for itself.
            if ((wParam & 0xFFF0) != kAboutCommand) return FALSE;
            ShowAboutBox(m_window);
            return TRUE;
        case WM_CLOSE:
            Close();
            return TRUE;
        case WM_ENDSESSION:
            // Windows is ending the session: the run stops and its partial
            // file goes before the process does.
            if (wParam) Close();
            return TRUE;
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wParam));
            return TRUE;
        case WM_DROPFILES:
            if (m_logic) OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_SETCURSOR:
            if (!m_busy) return FALSE;
            ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
            ::SetWindowLongPtrW(m_window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            return FALSE;
    }
}

void ConverterWindow::OnInitDialog() {
    CreateTemplateControls(m_window, kConverterDialogTemplate, nullptr, kSourceListColumns);
    AnnotateAccessibleNames(m_window);
    ::SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon(SM_CXICON)));
    ::SendMessageW(m_window, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(ProgramIcon(SM_CXSMICON)));
    const std::string about = Text(MessageKey::kAbout);
    if (HMENU menu = ::GetSystemMenu(m_window, FALSE); menu != nullptr && !about.empty()) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, kAboutCommand, ToWide(std::string(about)).c_str());
    }
    ::DragAcceptFiles(m_window, TRUE);
    m_queue.Attach(m_window, kQueueDueMessage);

    m_logic = std::make_unique<ConverterDialog>(*this, std::move(m_setup), m_settings, m_power.get());
    m_logic->OnInitDialog();
    if (!m_startSources.empty()) RunOnUiThread([this] { m_logic->OnAddPaths(m_startSources); });
    ::SetFocus(::GetDlgItem(m_window, kIdOpen));
}

void ConverterWindow::OnCommand(int id, int code) {
    if (id == kIdSaveTo && code == CBN_SELCHANGE) {
        const auto choice = static_cast<int>(::SendDlgItemMessageW(m_window, kIdSaveTo, CB_GETCURSEL, 0, 0));
        // Once the drop-down list has closed and let go of the mouse: the
        // choice may open the folder chooser.
        if (choice >= 0) RunOnUiThread([this, choice] { m_logic->OnSaveTo(choice); });
        return;
    }
    if (id == kIdSubtitles && code == CBN_SELCHANGE) {
        const auto choice = static_cast<int>(::SendDlgItemMessageW(m_window, kIdSubtitles, CB_GETCURSEL, 0, 0));
        if (choice >= 0) m_logic->OnSubtitles(choice);
        return;
    }
    // A time typed is applied when the field is left, or on Enter.
    if ((id == kIdTrimFrom || id == kIdTrimTo) && code == EN_KILLFOCUS) return ApplyTypedTrim();
    // Esc and Enter come as clicks of the Cancel and the default button.
    if (code != BN_CLICKED) return;
    const HWND focus = ::GetFocus();
    if (id != kIdCancel && (focus == ::GetDlgItem(m_window, kIdTrimFrom) || focus == ::GetDlgItem(m_window, kIdTrimTo))) {
        return ApplyTypedTrim();  // Enter in a field, not a click, which takes the focus first
    }
    switch (id) {
        case kIdOpen:
            m_logic->OnOpenSource();
            return;
        case kIdEncode:
            m_logic->OnEncode();
            return;
        case kIdRemove:
            m_logic->OnRemove();
            return;
        case kIdClearFinished:
            m_logic->OnClearFinished();
            return;
        case kIdCancel:
            Close();
            return;
        default:
            break;
    }
    // The logic passes over an id that is not one of its buttons.
    m_logic->OnQuality(id);
    m_logic->OnPictureFit(id);
    m_logic->OnWhenDone(id);
}

void ConverterWindow::ApplyTypedTrim() {
    if (!m_logic) return;
    // Only a field the user changed: several rows selected keep their own
    // times for the other.
    std::optional<std::string> typed[2];
    const int fields[2] = {kIdTrimFrom, kIdTrimTo};
    for (int i = 0; i < 2; ++i) {
        HWND field = ::GetDlgItem(m_window, fields[i]);
        if (::SendMessageW(field, EM_GETMODIFY, 0, 0) == 0) continue;
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(field)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
        typed[i] = ToUtf8(text);
        ::SendMessageW(field, EM_SETMODIFY, FALSE, 0);
    }
    if (!typed[0] && !typed[1]) return;
    m_logic->OnTrim(typed[0] ? std::optional<std::string_view>(*typed[0]) : std::nullopt,
                    typed[1] ? std::optional<std::string_view>(*typed[1]) : std::nullopt);
}

void ConverterWindow::RunOnUiThreadAfter(std::chrono::milliseconds delay, std::function<void()> action) {
    const UINT_PTR number = ++m_lastTimer;
    m_timers[number] = std::move(action);
    ::SetTimer(m_window, number, static_cast<UINT>(std::max<int64_t>(delay.count(), USER_TIMER_MINIMUM)), nullptr);
}

void ConverterWindow::OnTimer(UINT_PTR number) {
    ::KillTimer(m_window, number);
    const auto timer = m_timers.find(number);
    if (timer == m_timers.end()) return;
    const std::function<void()> action = std::move(timer->second);
    m_timers.erase(timer);
    if (!closed()) action();
}

void ConverterWindow::Quit() { ::PostMessageW(m_window, WM_CLOSE, 0, 0); }

// Tools by the control's place in the window, not by its window: a disabled
// control gets no mouse messages, and its tooltip says why it is disabled.
void ConverterWindow::ApplyTooltip(int id, const std::string& text) {
    if (m_tooltips == nullptr) {
        m_tooltips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window,
                                       nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = static_cast<UINT_PTR>(id);
    ::SendMessageW(m_tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty()) return;
    HWND control = ::GetDlgItem(m_window, id);
    ::GetWindowRect(control, &tool.rect);
    ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&tool.rect), 2);
    std::wstring shown = ToWide(text);
    tool.lpszText = shown.data();
    ::SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ConverterWindow::OnListNotification(const NMHDR& header) {
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        // Texts change too; only a row selected or let go of is news.
        if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
            m_logic->OnListSelectionChanged();
        }
    } else if (header.code == LVN_KEYDOWN) {
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) m_logic->OnRemove();
    }
}

// Files and folders alike: the logic finds the movies in a folder.
void ConverterWindow::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0), L'\0');
        ::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(ToUtf8(path));
    }
    ::DragFinish(drop);
    m_logic->OnAddPaths(paths);
}

void ConverterWindow::Close() {
    if (closed()) return;
    // Stops the running probes and conversions and waits for their workers,
    // which end within moments: a stop ends each ffmpeg at once.
    m_logic->OnClose();
    MarkClosed();
    ::EndDialog(m_window, 0);
}

void ConverterWindow::PostToUiThread(std::function<void()> action) { m_queue.Post(std::move(action)); }

void ConverterWindow::ApplyText(int id, const std::string& text) {
    ::SetDlgItemTextW(m_window, id, ToWide(text).c_str());
    AnnotateAccessibleValue(m_window, id, text);
}

void ConverterWindow::ApplyEnabled(int id, bool enabled) {
    HWND control = ::GetDlgItem(m_window, id);
    // A disabled control would keep the keyboard and do nothing with it:
    // the next control takes it until this one is back, unless the user
    // has moved on meanwhile. So OPEN, pressed with Enter, has it again
    // once the probe is over, and Enter does not land on Exit.
    if (!enabled && ::GetFocus() == control) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, 0, FALSE);
        m_focusReturnsTo = control;
        m_focusParkedOn = ::GetFocus();
    }
    ::EnableWindow(control, enabled);
    if (enabled && control == m_focusReturnsTo) {
        if (::GetFocus() == m_focusParkedOn) {
            ::SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        }
        m_focusReturnsTo = nullptr;
    }
}

void ConverterWindow::ApplyChecked(int id, bool checked) {
    ::CheckDlgButton(m_window, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ConverterWindow::ApplyProgress(int position) {
    ::SendDlgItemMessageW(m_window, kIdProgress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    ProgressShown(position);
}

void ConverterWindow::ProgressShown(int) {}

void ConverterWindow::ApplyMessage(const std::string& text) {
    ::MessageBoxW(m_window, ToWide(text).c_str(), kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
}

void ConverterWindow::ApplyListRow(ListRowKey key, const ListRowTexts& texts) {
    SetListViewRow(List(), key, texts);
}

void ConverterWindow::ApplyListRowRemoved(ListRowKey key) { RemoveListViewRow(List(), key); }

void ConverterWindow::ApplyListRowSelected(ListRowKey key) { SelectOnlyListViewRow(List(), key); }

void ConverterWindow::ApplyChoices(int id, const std::vector<std::string>& choices, int selected) {
    HWND box = ::GetDlgItem(m_window, id);
    ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& choice : choices) {
        ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(choice).c_str()));
    }
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    // The open list as wide as its longest line, which the closed box may cut.
    HDC dc = ::GetDC(box);
    const HGDIOBJ font = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(box, WM_GETFONT, 0, 0)));
    RECT place;
    ::GetWindowRect(box, &place);
    int widest = place.right - place.left;
    for (const std::string& choice : choices) {
        const std::wstring text = ToWide(choice);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max<int>(widest, size.cx + 4 * ::GetSystemMetrics(SM_CXEDGE) +
                                           ::GetSystemMetrics(SM_CXVSCROLL));
    }
    ::SelectObject(dc, font);
    ::ReleaseDC(box, dc);
    ::SendMessageW(box, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest), 0);
}

void ConverterWindow::ApplyPreview(const PreviewPicture& picture) {
    m_preview.Show(picture);
    ::InvalidateRect(::GetDlgItem(m_window, kIdPreview), nullptr, FALSE);
}

std::vector<std::string> ConverterWindow::ChooseSourceFiles(const std::string& folder) {
    return ChooseMovieFiles(m_window, folder);
}

std::optional<std::string> ConverterWindow::ChooseFolder(const std::string& folder) {
    return ChooseFileSystemFolder(m_window, folder);
}

std::vector<ListRowKey> ConverterWindow::SelectedListRows() { return SelectedListViewRows(List()); }

void ConverterWindow::NotifyConversionEnded(std::string_view) {
    if (::GetForegroundWindow() == m_window) return;
    // The taskbar button flashes until the user comes back to the window,
    // where the status line or a message box tells the rest.
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = m_window;
    flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
    ::FlashWindowEx(&flash);
}

void ConverterWindow::SetBusy(bool busy) {
    m_busy = busy;
    // Otherwise the pointer would change only when it next moves.
    if (IsPointerOver(m_window)) ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
}

}  // namespace vantrel
