#include <windows.h>

#include <climits>
#include <string_view>

#include "platform/system_error_text.h"
#include "platform/text_decoding.h"
#include "platform/translation.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// Windows's code page for each encoding name the program keeps. Where Windows
// has only a superset (932 for Shift_JIS, 949 for EUC-KR, 936 for GB2312) the
// superset reads the file, as it does on Linux.
UINT CodePageOf(std::string_view encoding) {
    static const struct {
        std::string_view name;
        UINT codePage;
    } kCodePages[] = {
        {"WINDOWS-1250", 1250}, {"WINDOWS-1251", 1251}, {"WINDOWS-1252", 1252},
        {"WINDOWS-1253", 1253}, {"WINDOWS-1254", 1254}, {"WINDOWS-1255", 1255},
        {"WINDOWS-1256", 1256}, {"WINDOWS-1257", 1257}, {"WINDOWS-1258", 1258},
        {"WINDOWS-874", 874},   {"TIS-620", 874},
        {"ISO-8859-1", 28591},  {"ISO-8859-2", 28592},  {"ISO-8859-3", 28593},
        {"ISO-8859-4", 28594},  {"ISO-8859-5", 28595},  {"ISO-8859-6", 28596},
        {"ISO-8859-7", 28597},  {"ISO-8859-8", 28598},  {"ISO-8859-9", 28599},
        {"ISO-8859-13", 28603}, {"ISO-8859-15", 28605},
        {"SHIFT_JIS", 932},     {"EUC-JP", 20932},      {"ISO-2022-JP", 50220},
        {"GB18030", 54936},     {"GB2312", 936},        {"GBK", 936},
        {"HZ-GB-2312", 52936},  {"BIG5", 950},
        {"EUC-KR", 949},        {"UHC", 949},           {"ISO-2022-KR", 50225},
        {"KOI8-R", 20866},      {"KOI8-U", 21866},      {"IBM866", 866},
        {"IBM855", 855},        {"IBM852", 852},        {"IBM437", 437},
        {"IBM850", 850},        {"MAC-CYRILLIC", 10007}, {"MAC-CENTRALEUROPE", 10029},
    };
    for (const auto& entry : kCodePages) {
        if (entry.name == encoding) return entry.codePage;
    }
    return 0;
}

}  // namespace

Expected<std::string> ReadWholeFile(const std::string& path) {
    const HANDLE file = ::CreateFileW(ToWindowsPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            ::CloseHandle(file);
            return Fail(SystemErrorText(static_cast<int>(error)));
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    ::CloseHandle(file);
    return bytes;
}

Expected<std::string> LegacyToUtf8(std::string_view bytes, const std::string& encoding) {
    const UINT codePage = CodePageOf(encoding);
    if (codePage == 0 || !::IsValidCodePage(codePage)) {
        // TRANSLATORS: {1} is the name of a text encoding as the user gave it, such as WINDOWS-1252.
        return Fail(Fill(Tr("unknown text encoding {1}"), {encoding}));
    }
    if (bytes.empty()) return std::string();
    if (bytes.size() > INT_MAX) return Fail(Tr("the file is too large for a text"));
    const int inLength = static_cast<int>(bytes.size());
    // Without MB_ERR_INVALID_CHARS, bytes that are no character come out as
    // the code page's default character rather than failing the whole text.
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), inLength, nullptr, 0);
    if (length <= 0) return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), inLength, wide.data(), length);
    return ToUtf8(wide);
}

}  // namespace vantrel
