#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// `text` with A to Z in lower case and every other byte as it was. Case is
// folded for ASCII only: what is compared here are codes, extensions, keys
// and file names, where a fold beyond ASCII would match what differs.
inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace vantrel
