#include "platform/posix/mount_table.h"

#include <algorithm>
#include <charconv>

namespace vantrel {
namespace {

// The kernel escapes space, tab, newline and backslash in paths as three
// octal digits after a backslash; anything else stays as it is.
std::string Unescaped(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (size_t start = 0; start < line.size();) {
        const size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool ParseNumber(std::string_view text, unsigned& number) {
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), number);
    return failed == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<MountEntry> ParseMountInfoLine(std::string_view line) {
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    const std::vector<std::string_view> fields = Fields(line);
    size_t separator = 6;  // the optional fields end at a lone "-"
    while (separator < fields.size() && fields[separator] != "-") ++separator;
    if (separator + 2 >= fields.size()) return std::nullopt;

    MountEntry entry;
    const std::string_view device = fields[2];
    const size_t colon = device.find(':');
    if (colon == std::string_view::npos || !ParseNumber(device.substr(0, colon), entry.major) ||
        !ParseNumber(device.substr(colon + 1), entry.minor)) {
        return std::nullopt;
    }
    entry.root = Unescaped(fields[3]);
    entry.mountPoint = Unescaped(fields[4]);
    entry.fileSystemType = Unescaped(fields[separator + 1]);
    entry.source = Unescaped(fields[separator + 2]);
    return entry;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        if (auto entry = ParseMountInfoLine(text.substr(start, end - start))) {
            entries.push_back(std::move(*entry));
        }
        start = end + 1;
    }
    return entries;
}

}  // namespace vantrel
