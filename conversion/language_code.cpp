#include "conversion/language_code.h"

#include "conversion/ascii_case.h"

#include <algorithm>
#include <array>

namespace vantrel {
namespace {

struct Language {
    std::string_view one;          // ISO 639-1; empty where the language has no two-letter code
    std::string_view terminology;  // ISO 639-2/T, what the program keeps
    std::string_view bibliographic;  // ISO 639-2/B, which older files and players write
    std::string_view name;
};

// The languages films are dubbed and subtitled in: every official language of
// the EU and those of the big film and subtitle markets beside them. A code
// not here is treated as no language, which only costs the automatic choice.
// clang-format off
constexpr std::array kLanguages = {
    Language{"af", "afr", "afr", "Afrikaans"},
    Language{"sq", "sqi", "alb", "Albanian"},
    Language{"am", "amh", "amh", "Amharic"},
    Language{"ar", "ara", "ara", "Arabic"},
    Language{"hy", "hye", "arm", "Armenian"},
    Language{"az", "aze", "aze", "Azerbaijani"},
    Language{"eu", "eus", "baq", "Basque"},
    Language{"be", "bel", "bel", "Belarusian"},
    Language{"bn", "ben", "ben", "Bengali"},
    Language{"bs", "bos", "bos", "Bosnian"},
    Language{"br", "bre", "bre", "Breton"},
    Language{"bg", "bul", "bul", "Bulgarian"},
    Language{"my", "mya", "bur", "Burmese"},
    Language{"",   "yue", "yue", "Cantonese"},  // 639-3, but what Cantonese tracks carry
    Language{"ca", "cat", "cat", "Catalan"},
    Language{"zh", "zho", "chi", "Chinese"},
    Language{"co", "cos", "cos", "Corsican"},
    Language{"hr", "hrv", "hrv", "Croatian"},
    Language{"cs", "ces", "cze", "Czech"},
    Language{"da", "dan", "dan", "Danish"},
    Language{"nl", "nld", "dut", "Dutch"},
    Language{"en", "eng", "eng", "English"},
    Language{"eo", "epo", "epo", "Esperanto"},
    Language{"et", "est", "est", "Estonian"},
    Language{"fo", "fao", "fao", "Faroese"},
    Language{"",   "fil", "fil", "Filipino"},
    Language{"fi", "fin", "fin", "Finnish"},
    Language{"fr", "fra", "fre", "French"},
    Language{"gl", "glg", "glg", "Galician"},
    Language{"ka", "kat", "geo", "Georgian"},
    Language{"de", "deu", "ger", "German"},
    Language{"el", "ell", "gre", "Greek"},
    Language{"gu", "guj", "guj", "Gujarati"},
    Language{"ha", "hau", "hau", "Hausa"},
    Language{"he", "heb", "heb", "Hebrew"},
    Language{"hi", "hin", "hin", "Hindi"},
    Language{"hu", "hun", "hun", "Hungarian"},
    Language{"is", "isl", "ice", "Icelandic"},
    Language{"ig", "ibo", "ibo", "Igbo"},
    Language{"id", "ind", "ind", "Indonesian"},
    Language{"ga", "gle", "gle", "Irish"},
    Language{"it", "ita", "ita", "Italian"},
    Language{"ja", "jpn", "jpn", "Japanese"},
    Language{"kn", "kan", "kan", "Kannada"},
    Language{"kk", "kaz", "kaz", "Kazakh"},
    Language{"km", "khm", "khm", "Khmer"},
    Language{"ko", "kor", "kor", "Korean"},
    Language{"ku", "kur", "kur", "Kurdish"},
    Language{"ky", "kir", "kir", "Kyrgyz"},
    Language{"lo", "lao", "lao", "Lao"},
    Language{"la", "lat", "lat", "Latin"},
    Language{"lv", "lav", "lav", "Latvian"},
    Language{"lt", "lit", "lit", "Lithuanian"},
    Language{"lb", "ltz", "ltz", "Luxembourgish"},
    Language{"mk", "mkd", "mac", "Macedonian"},
    Language{"ms", "msa", "may", "Malay"},
    Language{"ml", "mal", "mal", "Malayalam"},
    Language{"mt", "mlt", "mlt", "Maltese"},
    Language{"mr", "mar", "mar", "Marathi"},
    Language{"mn", "mon", "mon", "Mongolian"},
    Language{"ne", "nep", "nep", "Nepali"},
    Language{"no", "nor", "nor", "Norwegian"},
    Language{"nb", "nob", "nob", "Norwegian Bokmål"},
    Language{"nn", "nno", "nno", "Norwegian Nynorsk"},
    Language{"oc", "oci", "oci", "Occitan"},
    Language{"ps", "pus", "pus", "Pashto"},
    Language{"fa", "fas", "per", "Persian"},
    Language{"pl", "pol", "pol", "Polish"},
    Language{"pt", "por", "por", "Portuguese"},
    Language{"pa", "pan", "pan", "Punjabi"},
    Language{"ro", "ron", "rum", "Romanian"},
    Language{"ru", "rus", "rus", "Russian"},
    Language{"gd", "gla", "gla", "Scottish Gaelic"},
    Language{"sr", "srp", "srp", "Serbian"},
    Language{"si", "sin", "sin", "Sinhala"},
    Language{"sk", "slk", "slo", "Slovak"},
    Language{"sl", "slv", "slv", "Slovenian"},
    Language{"so", "som", "som", "Somali"},
    Language{"es", "spa", "spa", "Spanish"},
    Language{"sw", "swa", "swa", "Swahili"},
    Language{"sv", "swe", "swe", "Swedish"},
    Language{"tl", "tgl", "tgl", "Tagalog"},
    Language{"tg", "tgk", "tgk", "Tajik"},
    Language{"ta", "tam", "tam", "Tamil"},
    Language{"te", "tel", "tel", "Telugu"},
    Language{"th", "tha", "tha", "Thai"},
    Language{"bo", "bod", "tib", "Tibetan"},
    Language{"tr", "tur", "tur", "Turkish"},
    Language{"tk", "tuk", "tuk", "Turkmen"},
    Language{"uk", "ukr", "ukr", "Ukrainian"},
    Language{"ur", "urd", "urd", "Urdu"},
    Language{"uz", "uzb", "uzb", "Uzbek"},
    Language{"vi", "vie", "vie", "Vietnamese"},
    Language{"cy", "cym", "wel", "Welsh"},
    Language{"xh", "xho", "xho", "Xhosa"},
    Language{"yi", "yid", "yid", "Yiddish"},
    Language{"yo", "yor", "yor", "Yoruba"},
    Language{"zu", "zul", "zul", "Zulu"},
};
// clang-format on

const Language* Find(std::string_view code) {
    const std::string whole = AsciiLower(code);
    // The primary subtag of a locale or language tag: "pt" of "pt-BR",
    // "de" of "de_AT.UTF-8", "sr" of "sr@latin".
    const std::string primary = whole.substr(0, whole.find_first_of("-_.@"));
    for (const Language& language : kLanguages) {
        if (!primary.empty() && (primary == language.one || primary == language.terminology ||
                                 primary == language.bibliographic)) {
            return &language;
        }
        if (whole == AsciiLower(language.name)) return &language;
    }
    return nullptr;
}

}  // namespace

std::string CanonicalLanguage(std::string_view code) {
    const Language* language = Find(code);
    return language ? std::string(language->terminology) : std::string();
}

bool SameLanguage(std::string_view a, std::string_view b) {
    const Language* first = Find(a);
    return first && first == Find(b);
}

std::string LanguageName(std::string_view code) {
    const Language* language = Find(code);
    return language ? std::string(language->name) : std::string();
}

}  // namespace vantrel
