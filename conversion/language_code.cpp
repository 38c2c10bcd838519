#include "conversion/language_code.h"

#include "conversion/ascii_case.h"
#include "platform/translation.h"

#include <algorithm>
#include <array>

namespace vantrel {
namespace {

struct Language {
    std::string_view one;          // ISO 639-1; empty where the language has no two-letter code
    std::string_view terminology;  // ISO 639-2/T, what the program keeps
    std::string_view bibliographic;  // ISO 639-2/B, which older files and players write
    const char* name;  // in English, as file names and tags write it; shown translated
};

// The languages films are dubbed and subtitled in: every official language of
// the EU and those of the big film and subtitle markets beside them. A code
// not here is treated as no language, which only costs the automatic choice.
// clang-format off
constexpr std::array kLanguages = {
    Language{"af", "afr", "afr", TextToTranslate("Afrikaans")},
    Language{"sq", "sqi", "alb", TextToTranslate("Albanian")},
    Language{"am", "amh", "amh", TextToTranslate("Amharic")},
    Language{"ar", "ara", "ara", TextToTranslate("Arabic")},
    Language{"hy", "hye", "arm", TextToTranslate("Armenian")},
    Language{"az", "aze", "aze", TextToTranslate("Azerbaijani")},
    Language{"eu", "eus", "baq", TextToTranslate("Basque")},
    Language{"be", "bel", "bel", TextToTranslate("Belarusian")},
    Language{"bn", "ben", "ben", TextToTranslate("Bengali")},
    Language{"bs", "bos", "bos", TextToTranslate("Bosnian")},
    Language{"br", "bre", "bre", TextToTranslate("Breton")},
    Language{"bg", "bul", "bul", TextToTranslate("Bulgarian")},
    Language{"my", "mya", "bur", TextToTranslate("Burmese")},
    Language{"",   "yue", "yue", TextToTranslate("Cantonese")},  // 639-3, but what Cantonese tracks carry
    Language{"ca", "cat", "cat", TextToTranslate("Catalan")},
    Language{"zh", "zho", "chi", TextToTranslate("Chinese")},
    Language{"co", "cos", "cos", TextToTranslate("Corsican")},
    Language{"hr", "hrv", "hrv", TextToTranslate("Croatian")},
    Language{"cs", "ces", "cze", TextToTranslate("Czech")},
    Language{"da", "dan", "dan", TextToTranslate("Danish")},
    Language{"nl", "nld", "dut", TextToTranslate("Dutch")},
    Language{"en", "eng", "eng", TextToTranslate("English")},
    Language{"eo", "epo", "epo", TextToTranslate("Esperanto")},
    Language{"et", "est", "est", TextToTranslate("Estonian")},
    Language{"fo", "fao", "fao", TextToTranslate("Faroese")},
    Language{"",   "fil", "fil", TextToTranslate("Filipino")},
    Language{"fi", "fin", "fin", TextToTranslate("Finnish")},
    Language{"fr", "fra", "fre", TextToTranslate("French")},
    Language{"gl", "glg", "glg", TextToTranslate("Galician")},
    Language{"ka", "kat", "geo", TextToTranslate("Georgian")},
    Language{"de", "deu", "ger", TextToTranslate("German")},
    Language{"el", "ell", "gre", TextToTranslate("Greek")},
    Language{"gu", "guj", "guj", TextToTranslate("Gujarati")},
    Language{"ha", "hau", "hau", TextToTranslate("Hausa")},
    Language{"he", "heb", "heb", TextToTranslate("Hebrew")},
    Language{"hi", "hin", "hin", TextToTranslate("Hindi")},
    Language{"hu", "hun", "hun", TextToTranslate("Hungarian")},
    Language{"is", "isl", "ice", TextToTranslate("Icelandic")},
    Language{"ig", "ibo", "ibo", TextToTranslate("Igbo")},
    Language{"id", "ind", "ind", TextToTranslate("Indonesian")},
    Language{"ga", "gle", "gle", TextToTranslate("Irish")},
    Language{"it", "ita", "ita", TextToTranslate("Italian")},
    Language{"ja", "jpn", "jpn", TextToTranslate("Japanese")},
    Language{"kn", "kan", "kan", TextToTranslate("Kannada")},
    Language{"kk", "kaz", "kaz", TextToTranslate("Kazakh")},
    Language{"km", "khm", "khm", TextToTranslate("Khmer")},
    Language{"ko", "kor", "kor", TextToTranslate("Korean")},
    Language{"ku", "kur", "kur", TextToTranslate("Kurdish")},
    Language{"ky", "kir", "kir", TextToTranslate("Kyrgyz")},
    Language{"lo", "lao", "lao", TextToTranslate("Lao")},
    Language{"la", "lat", "lat", TextToTranslate("Latin")},
    Language{"lv", "lav", "lav", TextToTranslate("Latvian")},
    Language{"lt", "lit", "lit", TextToTranslate("Lithuanian")},
    Language{"lb", "ltz", "ltz", TextToTranslate("Luxembourgish")},
    Language{"mk", "mkd", "mac", TextToTranslate("Macedonian")},
    Language{"ms", "msa", "may", TextToTranslate("Malay")},
    Language{"ml", "mal", "mal", TextToTranslate("Malayalam")},
    Language{"mt", "mlt", "mlt", TextToTranslate("Maltese")},
    Language{"mr", "mar", "mar", TextToTranslate("Marathi")},
    Language{"mn", "mon", "mon", TextToTranslate("Mongolian")},
    Language{"ne", "nep", "nep", TextToTranslate("Nepali")},
    Language{"no", "nor", "nor", TextToTranslate("Norwegian")},
    Language{"nb", "nob", "nob", TextToTranslate("Norwegian Bokmål")},
    Language{"nn", "nno", "nno", TextToTranslate("Norwegian Nynorsk")},
    Language{"oc", "oci", "oci", TextToTranslate("Occitan")},
    Language{"ps", "pus", "pus", TextToTranslate("Pashto")},
    Language{"fa", "fas", "per", TextToTranslate("Persian")},
    Language{"pl", "pol", "pol", TextToTranslate("Polish")},
    Language{"pt", "por", "por", TextToTranslate("Portuguese")},
    Language{"pa", "pan", "pan", TextToTranslate("Punjabi")},
    Language{"ro", "ron", "rum", TextToTranslate("Romanian")},
    Language{"ru", "rus", "rus", TextToTranslate("Russian")},
    Language{"gd", "gla", "gla", TextToTranslate("Scottish Gaelic")},
    Language{"sr", "srp", "srp", TextToTranslate("Serbian")},
    Language{"si", "sin", "sin", TextToTranslate("Sinhala")},
    Language{"sk", "slk", "slo", TextToTranslate("Slovak")},
    Language{"sl", "slv", "slv", TextToTranslate("Slovenian")},
    Language{"so", "som", "som", TextToTranslate("Somali")},
    Language{"es", "spa", "spa", TextToTranslate("Spanish")},
    Language{"sw", "swa", "swa", TextToTranslate("Swahili")},
    Language{"sv", "swe", "swe", TextToTranslate("Swedish")},
    Language{"tl", "tgl", "tgl", TextToTranslate("Tagalog")},
    Language{"tg", "tgk", "tgk", TextToTranslate("Tajik")},
    Language{"ta", "tam", "tam", TextToTranslate("Tamil")},
    Language{"te", "tel", "tel", TextToTranslate("Telugu")},
    Language{"th", "tha", "tha", TextToTranslate("Thai")},
    Language{"bo", "bod", "tib", TextToTranslate("Tibetan")},
    Language{"tr", "tur", "tur", TextToTranslate("Turkish")},
    Language{"tk", "tuk", "tuk", TextToTranslate("Turkmen")},
    Language{"uk", "ukr", "ukr", TextToTranslate("Ukrainian")},
    Language{"ur", "urd", "urd", TextToTranslate("Urdu")},
    Language{"uz", "uzb", "uzb", TextToTranslate("Uzbek")},
    Language{"vi", "vie", "vie", TextToTranslate("Vietnamese")},
    Language{"cy", "cym", "wel", TextToTranslate("Welsh")},
    Language{"xh", "xho", "xho", TextToTranslate("Xhosa")},
    Language{"yi", "yid", "yid", TextToTranslate("Yiddish")},
    Language{"yo", "yor", "yor", TextToTranslate("Yoruba")},
    Language{"zu", "zul", "zul", TextToTranslate("Zulu")},
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
    return language ? Tr(language->name) : std::string();
}

}  // namespace vantrel
