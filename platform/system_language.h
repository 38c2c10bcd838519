#pragma once

#include <string>

namespace vantrel {

// The language the user reads, as the system's settings give it, for choosing
// sound and subtitle tracks when the user names none: its code as the system
// writes it, lower case and without region ("de" of "de_AT.UTF-8", "pt" of
// "pt-BR"); empty when the settings name no language.
std::string SystemLanguage();

}  // namespace vantrel
