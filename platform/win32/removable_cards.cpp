#include "platform/removable_cards.h"

#include <windows.h>
// After windows.h, which it needs.
#include <dbt.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/free_space.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// What Windows names a card's file system: "FAT" up to FAT16, "FAT32", "exFAT".
std::optional<std::string> CardFileSystem(const std::wstring& name) {
    if (name == L"FAT" || name == L"FAT12" || name == L"FAT16" || name == L"FAT32") return "FAT";
    if (name == L"exFAT") return "exFAT";
    return std::nullopt;
}

std::string Hex(DWORD serial) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(serial));
    return text;
}

std::optional<RemovableCard> CardAt(const std::wstring& root) {
    if (::GetDriveTypeW(root.c_str()) != DRIVE_REMOVABLE) return std::nullopt;
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    DWORD serial = 0;
    // An empty card reader answers "not ready": no card in it.
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr,
                                 fileSystem, MAX_PATH + 1)) {
        return std::nullopt;
    }
    const auto kind = CardFileSystem(fileSystem);
    if (!kind) return std::nullopt;
    RemovableCard card;
    card.folder = ToUtf8(root);
    std::string name = ToUtf8(label);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    // A drive's own name is its letter: "E:".
    card.label = name.empty() ? card.folder.substr(0, card.folder.find('\\')) : name;
    card.fileSystem = *kind;
    card.serial = Hex(serial);
    card.freeBytes = FileSystemFreeSpace().FreeBytes(card.folder);
    return card;
}

// A path's components, a "\\?\" prefix dropped, as either separator splits them.
std::vector<std::wstring> Components(const std::string& path) {
    std::wstring wide = ToWide(path);
    if (wide.rfind(L"\\\\?\\", 0) == 0 && wide.rfind(L"\\\\?\\UNC\\", 0) != 0) wide.erase(0, 4);
    std::vector<std::wstring> components;
    for (size_t start = 0; start <= wide.size();) {
        const size_t end = std::min(wide.find_first_of(L"\\/", start), wide.size());
        const std::wstring component = wide.substr(start, end - start);
        if (!component.empty() && component != L".") components.push_back(component);
        start = end + 1;
    }
    return components;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<RemovableCard> ListRemovableCards() {
    // A drive with no card would otherwise ask the user to insert one.
    DWORD oldMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    std::vector<RemovableCard> cards;
    std::wstring roots(::GetLogicalDriveStringsW(0, nullptr), L'\0');
    roots.resize(::GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data()));
    for (size_t start = 0; start < roots.size();) {
        const size_t end = std::min(roots.find(L'\0', start), roots.size());
        if (auto card = CardAt(roots.substr(start, end - start))) cards.push_back(std::move(*card));
        start = end + 1;
    }
    ::SetThreadErrorMode(oldMode, nullptr);
    std::sort(cards.begin(), cards.end(),
              [](const RemovableCard& a, const RemovableCard& b) { return a.folder < b.folder; });
    return cards;
}

std::optional<RemovableCard> CardHolding(const std::string& path,
                                         const std::vector<RemovableCard>& cards) {
    const std::vector<std::wstring> inside = Components(path);
    const RemovableCard* holder = nullptr;
    size_t deepest = 0;
    for (const RemovableCard& card : cards) {
        const std::vector<std::wstring> folder = Components(card.folder);
        if (folder.size() <= inside.size() && (holder == nullptr || folder.size() > deepest) &&
            std::equal(folder.begin(), folder.end(), inside.begin(), SameName)) {
            holder = &card;
            deepest = folder.size();
        }
    }
    if (holder == nullptr) return std::nullopt;
    return *holder;
}

// Windows tells of volumes coming and going with WM_DEVICECHANGE, broadcast
// to every top-level window. A message-only window gets no broadcast, so the
// watcher's window is a top-level one that is never shown.
struct CardChangeWatcher::State {
    std::function<void()> changed;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable started;
    bool ready = false;     // the thread has made its window, or failed to
    HWND window = nullptr;  // set once, before `ready`

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM what, LPARAM detail) {
        if (message == WM_DEVICECHANGE &&
            (what == DBT_DEVICEARRIVAL || what == DBT_DEVICEREMOVECOMPLETE)) {
            if (auto* state = reinterpret_cast<State*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
                state->changed();
            }
            return TRUE;
        }
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
            return 0;
        }
        return ::DefWindowProcW(window, message, what, detail);  // WM_CLOSE destroys it
    }

    void Run() {
        static constexpr wchar_t kClass[] = L"VantrelCardChangeWatcher";
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClass;
        ::RegisterClassExW(&windowClass);  // fails harmlessly when an earlier watcher did it
        const HWND made = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 0, 0,
                                            nullptr, nullptr, instance, nullptr);
        if (made) ::SetWindowLongPtrW(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        {
            std::lock_guard<std::mutex> lock(mutex);
            window = made;
            ready = true;
        }
        started.notify_all();
        if (!made) return;
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
};

CardChangeWatcher::CardChangeWatcher(std::function<void()> changed)
    : state_(std::make_unique<State>()) {
    state_->changed = std::move(changed);
    try {
        state_->thread = std::thread([state = state_.get()] { state->Run(); });
    } catch (const std::system_error&) {
        return;  // no thread: not watching
    }
    // Waits for the window, so that watching() tells the truth at once.
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->started.wait(lock, [&] { return state_->ready; });
}

CardChangeWatcher::~CardChangeWatcher() {
    if (!state_->thread.joinable()) return;
    // The window's WM_CLOSE destroys it, and its WM_DESTROY ends the loop.
    if (state_->window) ::PostMessageW(state_->window, WM_CLOSE, 0, 0);
    state_->thread.join();
}

bool CardChangeWatcher::watching() const { return state_->window != nullptr; }

}  // namespace vantrel
