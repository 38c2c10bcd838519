#include "conversion/filter_graph_text.h"

namespace vantrel {
namespace {

std::string Escaped(std::string_view text, std::string_view special) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        if (special.find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::string FilterOptionValue(std::string_view text) {
    return Escaped(Escaped(text, "\\':="), "\\'[],;");
}

}  // namespace vantrel
