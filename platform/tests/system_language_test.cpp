#include "platform/system_language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vantrel {
namespace {

#ifdef _WIN32
TEST(SystemLanguage, IsALanguageCodeWithoutRegion) {
    // Whatever the machine's setting, a code of two or three lower-case letters.
    const std::string language = SystemLanguage();
    ASSERT_GE(language.size(), 2u) << language;
    ASSERT_LE(language.size(), 3u) << language;
    for (char c : language) EXPECT_TRUE(c >= 'a' && c <= 'z') << language;
}
#else
// Sets the locale variables for one test and puts the earlier ones back.
class LocaleVariables {
public:
    LocaleVariables() {
        for (int i = 0; i < 3; ++i) {
            if (const char* value = std::getenv(kNames[i])) saved_[i] = value;
        }
    }
    ~LocaleVariables() {
        for (int i = 0; i < 3; ++i) Set(i, saved_[i] ? saved_[i]->c_str() : nullptr);
    }
    static void Set(int i, const char* value) {
        if (value) {
            ::setenv(kNames[i], value, 1);
        } else {
            ::unsetenv(kNames[i]);
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};

private:
    std::optional<std::string> saved_[3];
};

TEST(SystemLanguage, FromTheLocaleVariablesInTheirOrder) {
    const struct {
        const char* all;
        const char* messages;
        const char* lang;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", "de"},
        {nullptr, nullptr, "pt_BR", "pt"},
        {nullptr, nullptr, "sr_RS@latin", "sr"},
        {nullptr, nullptr, "fil_PH.UTF-8", "fil"},
        {nullptr, nullptr, "EN_us", "en"},
        {nullptr, nullptr, "fr", "fr"},
        {"it_IT.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "it"},
        {nullptr, "de_DE.UTF-8", "fr_FR.UTF-8", "de"},
        {"", "", "fr_FR.UTF-8", "fr"},
        // C and POSIX say nothing of the user.
        {"C", "de_AT", "fr_FR", "de"},
        {"C.UTF-8", "POSIX", "ja_JP.UTF-8", "ja"},
        {"C", nullptr, "POSIX", ""},
        {nullptr, nullptr, nullptr, ""},
        {nullptr, nullptr, "/usr/lib/locale/x", ""},
    };
    for (const auto& row : cases) {
        const LocaleVariables restore;
        LocaleVariables::Set(0, row.all);
        LocaleVariables::Set(1, row.messages);
        LocaleVariables::Set(2, row.lang);
        EXPECT_EQ(SystemLanguage(), row.expected)
            << (row.all ? row.all : "-") << " " << (row.messages ? row.messages : "-") << " "
            << (row.lang ? row.lang : "-");
    }
}
#endif

}  // namespace
}  // namespace vantrel
