#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The kinds of subtitle file a conversion reads, by extension in any case:
// .srt, .ass, .ssa and .vtt.
bool IsSubtitleFileName(const std::string& path);

// The subtitle files beside `sourcePath` that belong to it: NAME.srt and
// NAME.LANG.srt, and the same with .ass, .ssa and .vtt, where NAME is the
// source's name without its extension (matched without regard to ASCII case)
// and LANG names a language (see CanonicalLanguage: "en", "ENG", "pt-BR",
// "French"). "Film.2020.srt" is not taken for "Film.mkv": 2020 is no language.
// Those in `preferredLanguage` come first, then those without a language,
// then the others; in name order within each. Each is the source's folder as
// given joined with the file's name; folders and unreadable folders give none.
std::vector<std::string> SubtitleFilesBeside(const std::string& sourcePath,
                                             const std::string& preferredLanguage);

// The language a subtitle file's name gives, "NAME.LANG.srt", as its 639-2/T
// code ("eng" for "Film.en.srt"); empty when none.
std::string LanguageOfSubtitleFile(const std::string& path);

}  // namespace vantrel
