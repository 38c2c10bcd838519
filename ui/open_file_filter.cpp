#include "open_file_filter.h"

#include <algorithm>

namespace vantrel {
namespace {

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

std::string PatternsWithUpperCase(std::string_view patterns) {
    std::string out;
    size_t begin = 0;
    while (begin <= patterns.size()) {
        size_t end = patterns.find(';', begin);
        if (end == std::string_view::npos) end = patterns.size();
        const std::string_view pattern = patterns.substr(begin, end - begin);
        if (!out.empty()) out += ';';
        out += pattern;
        const std::string upper = UpperCase(pattern);
        if (upper != pattern) out += ';' + upper;
        begin = end + 1;
    }
    return out;
}

}  // namespace

std::string WithUpperCasePatterns(std::string_view filter) {
    std::string out;
    size_t begin = 0;
    // Fields alternate: description, patterns, description, patterns...
    for (int field = 0; begin <= filter.size(); ++field) {
        size_t end = filter.find('|', begin);
        if (end == std::string_view::npos) end = filter.size();
        const std::string_view text = filter.substr(begin, end - begin);
        if (field > 0) out += '|';
        out += field % 2 == 1 ? PatternsWithUpperCase(text) : std::string(text);
        begin = end + 1;
    }
    return out;
}

}  // namespace vantrel
