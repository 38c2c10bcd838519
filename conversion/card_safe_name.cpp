#include "conversion/card_safe_name.h"

#include <array>

#include "conversion/ascii_case.h"

namespace vantrel {
namespace {

// What FAT and exFAT allow in a long name, and the longest such name.
constexpr size_t kMostUtf16Units = 255;

char SafeCharacter(char c) {
    switch (c) {
        case '"': return '\'';
        case '<': return '(';
        case '>': return ')';
        case '\\': case '/': case ':': case '*': case '?': case '|': return '-';
        default: return static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '-' : c;
    }
}

// The device names Windows keeps for itself, whatever follows their dot.
bool IsDeviceName(std::string_view stem) {
    constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    const std::string lower = AsciiLower(stem);
    for (std::string_view name : kPlain) {
        if (lower == name) return true;
    }
    return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) &&
           lower[3] >= '1' && lower[3] <= '9';
}

// UTF-16 units of the UTF-8 sequence that starts with `lead`: two for a
// letter beyond U+FFFF, one for any other (a stray byte counts as one).
size_t Utf16Units(unsigned char lead) { return lead >= 0xf0 && lead <= 0xf4 ? 2 : 1; }
bool IsContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

bool EndsInDotOrSpace(std::string_view text) {
    return !text.empty() && (text.back() == '.' || text.back() == ' ');
}

}  // namespace

std::string CardSafeFileName(std::string_view fileName, std::string_view extension) {
    const bool extended = fileName.size() >= extension.size() && fileName.ends_with(extension);
    std::string name(fileName);
    for (char& c : name) c = SafeCharacter(c);
    const size_t dot = name.find('.');
    if (IsDeviceName(std::string_view(name).substr(0, dot))) {
        name.insert(dot == std::string::npos ? name.size() : dot, "_");
    }
    // Whole letters only, as many as the units the extension leaves.
    const std::string tail(extended ? extension : "");
    std::string stem = name.substr(0, name.size() - tail.size());
    size_t units = tail.size(), keep = 0;
    for (size_t i = 0; i < stem.size();) {
        size_t next = i + 1;
        while (next < stem.size() && IsContinuation(static_cast<unsigned char>(stem[next]))) ++next;
        units += Utf16Units(static_cast<unsigned char>(stem[i]));
        if (units > kMostUtf16Units) break;
        keep = i = next;
    }
    stem.resize(keep);
    name = stem + tail;
    while (EndsInDotOrSpace(name)) name.pop_back();
    return name;
}

}  // namespace vantrel
