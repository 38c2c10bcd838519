#include <gtest/gtest.h>

#include "platform/message_catalog.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

TEST(Fill, PutsEachValueInItsNumberedPlace) {
    struct Case {
        const char* pattern;
        std::initializer_list<std::string_view> values;
        const char* filled;
    };
    const Case cases[] = {
        {"The movie ends at {1}, before the start at {2}", {"0:05", "0:06"},
         "The movie ends at 0:05, before the start at 0:06"},
        {"{2}: {1}", {"a", "b"}, "b: a"},              // a translation's own order
        {"{1} and {1}", {"x"}, "x and x"},              // a place used twice
        {"{3} stays", {"a"}, "{3} stays"},              // no value for it
        {"{0} {x} {} {12345} {", {"a"}, "{0} {x} {} {12345} {"},  // not places
        {"{1}", {"{2}"}, "{2}"},                         // a value is not read again
        {"", {"a"}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Fill(c.pattern, c.values), c.filled) << c.pattern;
}

TEST(PluralRule, GivesTheFormEachCountTakes) {
    const std::string polish = "(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2)";
    struct Case {
        std::string rule;
        unsigned long n;
        unsigned long form;
    };
    const Case cases[] = {
        {"(n != 1)", 1, 0}, {"(n != 1)", 0, 1}, {"(n != 1)", 2, 1},   // German, Spanish
        {"(n > 1)", 0, 0},  {"(n > 1)", 1, 0},  {"(n > 1)", 2, 1},    // French
        {"0", 5, 0},                                                  // Japanese
        {polish, 1, 0},     {polish, 3, 1},     {polish, 5, 2},   {polish, 12, 2}, {polish, 22, 1},
        {"n<=1", 1, 1},     {"!(n>=2)", 3, 0},  {"n/10-n%3", 25, 1},
        {"n ==", 1, 0},     {"(n", 1, 0},       {"n % 0", 4, 0},  {"m", 1, 0},   // unreadable: the first form
    };
    for (const Case& c : cases) EXPECT_EQ(EvaluatePluralRule(c.rule, c.n), c.form) << c.rule << " n=" << c.n;
}

TEST(MessageCatalog, TranslatesTextsAndPluralsAndLeavesOthersToEnglish) {
    const auto catalog = MessageCatalog::Load(VANTREL_TEST_CATALOG);
    ASSERT_TRUE(catalog) << catalog.reason();
    UseTranslator(&*catalog);
    EXPECT_EQ(Tr("Encode"), "Koduj");
    EXPECT_EQ(Fill(Tr("The movie ends at {1}, before the start at {2}"), {"0:05", "0:06"}),
              "Przed startem o 0:06: film kończy się o 0:05");
    EXPECT_EQ(Tr("Untranslated"), "Untranslated");
    EXPECT_EQ(Tr("Not in the catalog"), "Not in the catalog");
    for (const auto& [n, text] : std::initializer_list<std::pair<unsigned long, const char*>>{
             {1, "1 sekunda"}, {3, "3 sekundy"}, {5, "5 sekund"}, {22, "22 sekundy"}})
        EXPECT_EQ(Fill(TrN("{1} second", "{1} seconds", n), {std::to_string(n)}), text);
    EXPECT_EQ(TrN("{1} minute", "{1} minutes", 2), "{1} minutes");
    UseTranslator(nullptr);
    EXPECT_EQ(Tr("Encode"), "Encode");
    EXPECT_EQ(TrN("{1} second", "{1} seconds", 1), "{1} second");
}

TEST(MessageCatalog, SaysWhyAFileIsNoCatalog) {
    EXPECT_NE(MessageCatalog::Load(VANTREL_TEST_DATA "/no-such.mo").reason().find("cannot open"), std::string::npos);
    const auto notCatalog = MessageCatalog::Load(VANTREL_TEST_DATA "/ffmpeg51_convert_progress.txt");
    ASSERT_FALSE(notCatalog);
    EXPECT_NE(notCatalog.reason().find("is not a catalog"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
