#include "cli/posix/system_gettext.h"

#include <libintl.h>

#include <clocale>

#include "platform/message_catalog.h"
#include "platform/translation.h"

namespace vantrel::cli {
namespace {

constexpr const char* kDomain = "vantrel";

// gettext gives the text it was asked for back when it has no translation.
class SystemGettext final : public Translator {
public:
    const char* Translate(const char* text) const override {
        const char* translated = ::dgettext(kDomain, text);
        return translated == text ? nullptr : translated;
    }
    const char* TranslatePlural(const char* singular, const char* plural, unsigned long count) const override {
        const char* translated = ::dngettext(kDomain, singular, plural, count);
        return translated == singular || translated == plural ? nullptr : translated;
    }
};

}  // namespace

void UseSystemGettext() {
    // Only the messages follow the locale: numbers stay as ffmpeg writes and
    // reads them ("10.5", never "10,5").
    std::setlocale(LC_MESSAGES, "");
    const std::string folder = ProgramLocaleFolder();
    if (!folder.empty()) ::bindtextdomain(kDomain, folder.c_str());
    ::bind_textdomain_codeset(kDomain, "UTF-8");
    static const SystemGettext translator;
    UseTranslator(&translator);
}

}  // namespace vantrel::cli
