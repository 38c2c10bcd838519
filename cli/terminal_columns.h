#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel::cli {

// How a terminal lays out UTF-8 text, as far as the program's own texts and
// their translations need it: a character takes one column, a Chinese,
// Japanese or Korean one two. A text in another language than English may
// hold characters of several bytes, so that its bytes do not count its columns.
namespace terminal_columns_detail {

// The code point that starts at `at`, and where the next one starts. A byte
// that starts no sequence counts as a character of its own.
inline char32_t NextCharacter(std::string_view text, size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t character = more == 0 ? lead : lead & (0x3F >> more);
    for (int i = 0; i < more && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; ++i)
        character = character << 6 | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return character;
}

inline bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace terminal_columns_detail

// The columns `text` takes on a terminal.
inline size_t TerminalColumns(std::string_view text) {
    size_t columns = 0;
    for (size_t at = 0; at < text.size();)
        columns += terminal_columns_detail::IsWide(terminal_columns_detail::NextCharacter(text, at)) ? 2 : 1;
    return columns;
}

// The start of `text` that fits in `columns`, never cut inside a character.
inline std::string_view FirstColumns(std::string_view text, size_t columns) {
    size_t used = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        used += terminal_columns_detail::IsWide(terminal_columns_detail::NextCharacter(text, at)) ? 2 : 1;
        if (used > columns) return text.substr(0, start);
    }
    return text;
}

}  // namespace vantrel::cli
