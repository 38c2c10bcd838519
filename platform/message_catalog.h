#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/expected.h"
#include "platform/translation.h"

namespace vantrel {

// A compiled catalog of translations (gettext's .mo file), read whole into
// memory. Windows has no gettext of its own, so its programs read the same
// catalogs the Linux package installs with this.
class MessageCatalog final : public Translator {
public:
    // The catalog in `path`; fails with why when it is missing, unreadable or
    // not a catalog.
    static Expected<MessageCatalog> Load(const std::string& path);

    const char* Translate(const char* text) const override;
    const char* TranslatePlural(const char* singular, const char* plural, unsigned long count) const override;

    // The plural form the catalog's "Plural-Forms" header picks for `count`:
    // 0 for one and 1 for any other count when it has none.
    unsigned long PluralForm(unsigned long count) const;

private:
    std::unordered_map<std::string, std::string> m_texts;
    std::string m_pluralRule = "n != 1";
    unsigned long m_pluralForms = 2;
};

// Where a catalog of `domain` in `language` ("de") lies under `localeFolder`,
// laid out as gettext installs them: FOLDER/LANGUAGE/LC_MESSAGES/DOMAIN.mo.
std::string CatalogPath(const std::string& localeFolder, const std::string& language, const std::string& domain);

// The value of a plural rule of gettext's (a C expression in n, such as
// "n==1 ? 0 : n%10>=2 && n%10<=4 ? 1 : 2") for `n`; 0 for a rule it cannot
// read.
unsigned long EvaluatePluralRule(const std::string& rule, unsigned long n);

}  // namespace vantrel

namespace vantrel {

// The folder of this program's catalogs: "locale" beside the program, as the
// Windows zip lays it out, or else "share/locale" beside the program's folder,
// as an installed Linux program (and the build folder) has it. Empty when
// neither exists.
std::string ProgramLocaleFolder();

}  // namespace vantrel

namespace vantrel {

// Looks texts up, for the rest of the run, in this program's catalog of the
// user's language, when there is one: the Windows programs' start, since
// Windows has no gettext. Called before any other thread starts.
void UseProgramCatalog();

}  // namespace vantrel
