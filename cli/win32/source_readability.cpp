#include "cli/source_readability.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <cwchar>

#include "platform/translation.h"
#include "platform/win32/wide_text.h"

namespace vantrel::cli {
namespace {

// The system's own words for `error`, without the period and line break it
// ends them with.
std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    ::LocalFree(text);
    while (!message.empty() && std::wcschr(L"\r\n. ", message.back()) != nullptr) message.pop_back();
    // TRANSLATORS: {1} is a Windows error number, shown when the system has no words for it.
    if (message.empty()) return Fill(Tr("error {1}"), {std::to_string(error)});
    return ToUtf8(message);
}

}  // namespace

std::string WhyUnreadable(const std::string& path) {
    const std::wstring windowsPath = ToWindowsPath(path);
    // Checked first, since opening a folder as a file fails as "access denied".
    const DWORD attributes = ::GetFileAttributesW(windowsPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::strerror(EISDIR);
    const HANDLE file = ::CreateFileW(windowsPath.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemMessage(::GetLastError());
    ::CloseHandle(file);
    return {};
}

}  // namespace vantrel::cli
