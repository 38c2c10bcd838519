#include "platform/system_language.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// "de" of "de-AT", "zh" of "zh-Hans-CN"; empty for the invariant locale's "".
std::string LanguageOf(const wchar_t* localeName) {
    std::string language = ToUtf8(localeName);
    language = language.substr(0, language.find('-'));
    for (char& c : language) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return language;
}

}  // namespace

std::string SystemLanguage() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    // The language Windows itself is shown in, which the user reads; the
    // regional format's language only when that names none.
    const LCID display = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (::LCIDToLocaleName(display, name, LOCALE_NAME_MAX_LENGTH, 0) > 0) {
        if (std::string language = LanguageOf(name); !language.empty()) return language;
    }
    if (::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) > 0) return LanguageOf(name);
    return {};
}

}  // namespace vantrel
