#include "conversion/language_code.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(CanonicalLanguage, EveryWayALanguageIsWritten) {
    const struct {
        const char* code;
        const char* canonical;
        const char* name;
    } cases[] = {
        {"de", "deu", "German"}, {"deu", "deu", "German"}, {"ger", "deu", "German"},
        {"DE", "deu", "German"}, {"GER", "deu", "German"}, {"de_AT", "deu", "German"},
        {"de_AT.UTF-8", "deu", "German"}, {"German", "deu", "German"},
        {"pt-BR", "por", "Portuguese"}, {"pt_br", "por", "Portuguese"},
        {"zh-Hant", "zho", "Chinese"}, {"chi", "zho", "Chinese"},
        {"sr@latin", "srp", "Serbian"}, {"fre", "fra", "French"}, {"cze", "ces", "Czech"},
        {"slo", "slk", "Slovak"}, {"rum", "ron", "Romanian"}, {"dut", "nld", "Dutch"},
        {"gre", "ell", "Greek"}, {"per", "fas", "Persian"}, {"may", "msa", "Malay"},
        {"ice", "isl", "Icelandic"}, {"wel", "cym", "Welsh"}, {"alb", "sqi", "Albanian"},
        {"he", "heb", "Hebrew"}, {"uk", "ukr", "Ukrainian"}, {"ja", "jpn", "Japanese"},
        {"nb", "nob", "Norwegian Bokmål"}, {"no", "nor", "Norwegian"},
        {"yue", "yue", "Cantonese"}, {"scottish gaelic", "gla", "Scottish Gaelic"},
        // No language, or none the program knows.
        {"und", "", ""}, {"zxx", "", ""}, {"mul", "", ""}, {"xx", "", ""}, {"", "", ""},
        {"-", "", ""}, {"_AT", "", ""}, {"d", "", ""}, {"deut", "", ""}, {"1080p", "", ""},
        {"Germany", "", ""}, {"e", "", ""},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(CanonicalLanguage(row.code), row.canonical) << row.code;
        EXPECT_EQ(LanguageName(row.code), row.name) << row.code;
    }
}

TEST(SameLanguage, OnlyWhenBothNameTheSameKnownLanguage) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"de", "ger", true},     {"DEU", "de_CH", true}, {"pt-BR", "por", true},
        {"English", "en", true}, {"nb", "no", false},    {"de", "da", false},
        {"und", "und", false},   {"", "", false},        {"xx", "xx", false},
        {"en", "", false},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(SameLanguage(row.a, row.b), row.same) << row.a << " / " << row.b;
        EXPECT_EQ(SameLanguage(row.b, row.a), row.same) << row.b << " / " << row.a;
    }
}

}  // namespace
}  // namespace vantrel
