#pragma once

namespace vantrel::cli {

// Looks the program's texts up with the C library's gettext, in the language
// the user's locale settings (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) name, from
// the catalogs beside the program or the system's. Called first in main.
void UseSystemGettext();

}  // namespace vantrel::cli
