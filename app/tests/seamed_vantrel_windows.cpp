// vantrel.exe with a seam for its window tests under wine, as
// seamed_vantrel.cpp is for the Linux window: the tests see the real window's
// state through it and stand in for the file chooser. It reads commands on its
// standard input, one a line, applies each on the UI thread after the updates
// already queued, and only then answers on its standard output. Every answer
// ends with "end".
//   state        "window\tTITLE" for each dialog of the program, the main one
//                first, each followed by its controls:
//                "control ID ENABLED CHECKED X Y W H\tTEXT" (X Y W H on the
//                screen; a drop-down list's TEXT is its chosen line), the
//                main one's also by its list's rows, as the list view shows
//                them: "row SELECTED\tNAME\tSAVED AS\tDURATION\tSIZE\tSTATE"; then
//                "menu OPENED", whether a menu is open, and "progress P..."
//                with every position the bar has taken; then "preview SHOWN
//                W H R G B R G B": whether it shows a frame, its picture's
//                size as drawn, in physical pixels, and the colours drawn on
//                the screen at its middle and at the middle of its top
//                sixteenth; each control is followed by what the system's
//                accessibility layer says of it: "access ROLE\tNAME"
//   choose PATH  the next OPEN takes PATH instead of showing the chooser
// The settings live under the key that VANTREL_SETTINGS_KEY names, so that a
// test starts afresh and never touches the user's.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/windows_start.h"
#include "ui/mnemonic_mark.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/converter_window.h"
#include "ui/win32/list_view_rows.h"
#include "ui/win32/registry_settings_store.h"

namespace vantrel {
namespace {

std::wstring SettingsKey() {
    wchar_t key[512];
    const DWORD n = ::GetEnvironmentVariableW(L"VANTREL_SETTINGS_KEY", key, 512);
    return n > 0 && n < 512 ? key : L"Software\\vantrel-window-test";
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64];
    return std::wstring(name, static_cast<size_t>(::GetClassNameW(window, name, 64)));
}

// A line of the answer: a text with its line breaks (and tabs) made blanks.
std::string OneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c < L' ') c = L' ';
    }
    return ToUtf8(text);
}

// A control's text; a drop-down list's is the line chosen in it.
std::string TextOf(HWND window) {
    if (ClassOf(window) == WC_COMBOBOXW) {
        const LRESULT chosen = ::SendMessageW(window, CB_GETCURSEL, 0, 0);
        if (chosen == CB_ERR) return {};
        std::wstring text(static_cast<size_t>(::SendMessageW(window, CB_GETLBTEXTLEN, chosen, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            ::SendMessageW(window, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()))));
        return OneLine(text);
    }
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    // The text as shown: a button's, or a label's that reads '&' as a
    // mnemonic, without the mnemonic's mark.
    const bool marksMnemonic = ClassOf(window) == WC_BUTTONW ||
                               (ClassOf(window) == WC_STATICW && (::GetWindowLongW(window, GWL_STYLE) & SS_NOPREFIX) == 0);
    if (marksMnemonic) return OneLine(ToWide(WithoutMnemonicMark(ToUtf8(text))));
    return OneLine(text);
}

// What the system's accessibility layer tells a screen reader of a control:
// "access ROLE\tNAME", or nothing where it answers nothing.
std::string AccessibleOf(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&accessible)))) {
        return {};
    }
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    ::VariantInit(&role);
    wchar_t roleText[64] = L"";
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        ::GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, 64);
    }
    BSTR name = nullptr;
    std::string text;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr) {
        text = OneLine(std::wstring(name, ::SysStringLen(name)));
        ::SysFreeString(name);
    }
    accessible->Release();
    return "access " + ToUtf8(roleText) + '\t' + text + '\n';
}

// The list's rows as the list view holds them, each cell on one line.
std::string RowsOf(HWND list) {
    std::string rows;
    const auto count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        rows += "row " + std::to_string(IsListViewRowSelected(list, row));
        for (int column = 0; column < static_cast<int>(std::tuple_size_v<ListRowTexts>); ++column) {
            rows += '\t' + OneLine(ToWide(ListViewCellText(list, row, column)));
        }
        rows += '\n';
    }
    return rows;
}

class SeamedWindow : public ConverterWindow {
public:
    SeamedWindow(EncoderSetup setup, SettingsStore* settings)
        : ConverterWindow(std::move(setup), settings) {
        // Blocks in its reads for the program's life; ExitProcess ends it.
        std::thread([this] { ReadCommands(); }).detach();
    }

    std::vector<std::string> ChooseSourceFiles(const std::string& folder) override {
        const std::optional<std::string> choice = std::exchange(m_nextChoice, std::nullopt);
        return choice ? std::vector<std::string>{*choice} : ConverterWindow::ChooseSourceFiles(folder);
    }

protected:
    void ProgressShown(int position) override { m_progress.push_back(position); }

private:
    void ReadCommands() {
        std::string pending;
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) &&
               got > 0) {
            pending.append(buffer, got);
            for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                // Once on the UI thread, where the window is up, it goes
                // behind the updates queued by then, so that the state shows them.
                RunOnUiThread([this, command = pending.substr(0, end)] {
                    RunOnUiThread([this, command] { Answer(command); });
                });
            }
        }
    }

    void Answer(const std::string& command) {
        std::string answer;
        if (command.rfind("choose ", 0) == 0) m_nextChoice = command.substr(7);
        if (command == "state") answer = State();
        answer += "end\n";
        DWORD written = 0;
        ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), answer.data(), static_cast<DWORD>(answer.size()),
                    &written, nullptr);
    }

    std::string State() {
        std::vector<HWND> windows{handle()};
        bool menuOpened = false;
        auto list = [&](HWND window) {
            if (!::IsWindowVisible(window)) return;
            if (ClassOf(window) == L"#32768") menuOpened = true;
            if (ClassOf(window) == L"#32770" && window != handle()) windows.push_back(window);
        };
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND window, LPARAM lister) {
                (*reinterpret_cast<decltype(list)*>(lister))(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&list));
        std::string state;
        for (HWND window : windows) {
            state += "window\t" + TextOf(window) + "\n";
            for (HWND c = ::GetWindow(window, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
                RECT r;
                ::GetWindowRect(c, &r);
                const bool checked = ::SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
                state += "control " + std::to_string(::GetDlgCtrlID(c)) + ' ' +
                         std::to_string(::IsWindowEnabled(c) != FALSE) + ' ' + std::to_string(checked) +
                         ' ' + std::to_string(r.left) + ' ' + std::to_string(r.top) + ' ' +
                         std::to_string(r.right - r.left) + ' ' + std::to_string(r.bottom - r.top) +
                         '\t' + TextOf(c) + '\n' + AccessibleOf(c);
            }
            if (window == handle()) state += RowsOf(::GetDlgItem(window, kIdSourceList));
        }
        state += "menu " + std::to_string(menuOpened) + "\nprogress";
        for (int position : m_progress) state += ' ' + std::to_string(position);
        // What the control has drawn, once it has drawn what it was given.
        HWND control = ::GetDlgItem(handle(), kIdPreview);
        ::UpdateWindow(control);
        RECT room;
        ::GetClientRect(control, &room);
        const RECT drawn = preview().PlaceIn(room);
        const int width = drawn.right - drawn.left, height = drawn.bottom - drawn.top;
        state += "\npreview " + std::to_string(preview().shown()) + ' ' + std::to_string(width) + ' ' +
                 std::to_string(height);
        HDC screen = ::GetDC(control);
        for (const int y : {height / 2, height / 32}) {
            const COLORREF c = ::GetPixel(screen, drawn.left + width / 2, drawn.top + y);
            state += ' ' + std::to_string(GetRValue(c)) + ' ' + std::to_string(GetGValue(c)) + ' ' +
                     std::to_string(GetBValue(c));
        }
        ::ReleaseDC(control, screen);
        return state + '\n';
    }

    std::optional<std::string> m_nextChoice;
    std::vector<int> m_progress;
};

}  // namespace
}  // namespace vantrel

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vantrel::WindowsStart start = vantrel::PrepareWindowsStart();
    vantrel::RegistrySettingsStore settings(vantrel::SettingsKey());
    vantrel::SeamedWindow window(std::move(start.setup), &settings);
    window.Run(start.startSources);
    // The command reader may be about to queue one more answer: it ends
    // with the process, before the window it would queue to goes.
    ::ExitProcess(0);
}
