#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace vantrel {

std::wstring ToWide(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int inLength = static_cast<int>(utf8.size());
    // Without MB_ERR_INVALID_CHARS, invalid bytes become U+FFFD.
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), length);
    return wide;
}

std::string ToUtf8(const std::wstring& wide) {
    if (wide.empty() || wide.size() > INT_MAX) return {};
    const int inLength = static_cast<int>(wide.size());
    // Lone surrogates become U+FFFD.
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring ToWindowsPath(const std::string& utf8) {
    std::wstring path = ToWide(utf8);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    // CreateDirectoryW's limit is 12 below MAX_PATH, to leave room for an 8.3 name.
    constexpr size_t kClassicLimit = MAX_PATH - 12;
    const bool hasDrive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool isShare = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    const bool prefixed = path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0;
    if (path.size() < kClassicLimit || prefixed || !(hasDrive || isShare)) return path;

    // The prefix turns off the clean-up of "." and ".." parts, so do it first.
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed > 0) {
        std::wstring full(needed, L'\0');
        const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (written > 0 && written < needed) {
            full.resize(written);
            path = full;
        }
    }
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

}  // namespace vantrel
