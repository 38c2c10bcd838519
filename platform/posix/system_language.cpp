#include "platform/system_language.h"

#include <cstdlib>

namespace vantrel {

std::string SystemLanguage() {
    // The variables in the order the C library weighs them for messages. "C"
    // and "POSIX" (a service's or a script's setting) say nothing of the
    // user, so the next is asked.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr) continue;
        // "language[_territory][.codeset][@modifier]"
        std::string language(value);
        language = language.substr(0, language.find_first_of("_.@-"));
        bool letters = language.size() >= 2 && language.size() <= 3;
        for (char& c : language) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            letters = letters && c >= 'a' && c <= 'z';
        }
        if (letters) return language;
    }
    return {};
}

}  // namespace vantrel
