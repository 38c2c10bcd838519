#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// One language however it is written: ISO 639-1 ("de"), 639-2/T ("deu") or
// 639-2/B ("ger"), in any case, with or without a region or script ("de_AT",
// "pt-BR", "zh-Hant", "sr@latin"), or by its English name ("German", as
// subtitle files are often named). The result is the 639-2/T code, lower case;
// empty for no language ("und", "zxx", "mul", an empty text) and for a text
// that names none of the languages the program knows.
std::string CanonicalLanguage(std::string_view code);

// Both name the same known language: "ger" and "de_AT" do, "und" and "und" do not.
bool SameLanguage(std::string_view a, std::string_view b);

// The language's name for the information panel and the notes, in the user's
// language ("German" for "ger" in English), empty when the code names no known
// language.
std::string LanguageName(std::string_view code);

}  // namespace vantrel
