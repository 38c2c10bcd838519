#include "platform/system_error_text.h"

#include <windows.h>

#include "platform/translation.h"
#include "platform/win32/wide_text.h"

namespace vantrel {

std::string SystemErrorText(int code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length > 0 ? std::wstring(text, length) : std::wstring();
    if (text != nullptr) ::LocalFree(text);
    // TRANSLATORS: {1} is a Windows error number, shown when the system has no words for it.
    if (words.empty()) return Fill(Tr("error {1}"), {std::to_string(code)});
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.'))
        words.pop_back();
    return ToUtf8(words);
}

}  // namespace vantrel
