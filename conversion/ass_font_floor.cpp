#include "conversion/ass_font_floor.h"

#include "conversion/ascii_case.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace vantrel {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && AsciiLower(text.substr(0, prefix.size())) == AsciiLower(prefix);
}

double Number(std::string_view text) {
    text = Trimmed(text);
    double value = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    return fault == std::errc() ? value : 0;
}

std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

// The script's height as libass takes it: PlayResY, else derived from
// PlayResX (1280 wide means 1024 high), else 288.
double ScriptHeight(std::string_view script) {
    double x = 0, y = 0;
    for (size_t start = 0; start < script.size();) {
        size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        const std::string_view line = Trimmed(script.substr(start, end - start));
        if (StartsWithNoCase(line, "PlayResY:")) y = Number(line.substr(9));
        if (StartsWithNoCase(line, "PlayResX:")) x = Number(line.substr(9));
        if (StartsWithNoCase(line, "[Events]")) break;
        start = end + 1;
    }
    if (y > 0) return y;
    if (x > 0) return x == 1280 ? 1024 : x * 3 / 4;
    return 288;
}

}  // namespace

std::string WithFontFloor(const std::string& script, int frameHeight, int floorLines) {
    const double height = ScriptHeight(script);
    const double floor = std::ceil(floorLines * height / frameHeight);
    std::string out;
    out.reserve(script.size());
    int fontColumn = -1;  // of the styles' Format line
    bool inStyles = false;
    for (size_t start = 0; start < script.size();) {
        size_t end = script.find('\n', start);
        end = end == std::string::npos ? script.size() : end + 1;
        std::string line = script.substr(start, end - start);
        start = end;
        const std::string_view text = Trimmed(line);
        if (!text.empty() && text.front() == '[') {
            inStyles = StartsWithNoCase(text, "[V4+ Styles]") || StartsWithNoCase(text, "[V4 Styles]");
        } else if (inStyles && StartsWithNoCase(text, "Format:")) {
            const auto names = Fields(text.substr(7));
            for (size_t i = 0; i < names.size(); ++i) {
                if (StartsWithNoCase(Trimmed(names[i]), "Fontsize")) fontColumn = static_cast<int>(i);
            }
        } else if (inStyles && fontColumn >= 0 && StartsWithNoCase(text, "Style:")) {
            const size_t body = line.find(':') + 1;
            auto fields = Fields(std::string_view(line).substr(body));
            if (static_cast<size_t>(fontColumn) < fields.size() &&
                Number(fields[static_cast<size_t>(fontColumn)]) < floor) {
                std::string rebuilt = line.substr(0, body);
                const std::string size = std::to_string(static_cast<int>(floor));
                for (size_t i = 0; i < fields.size(); ++i) {
                    if (i > 0) rebuilt += ',';
                    rebuilt += i == static_cast<size_t>(fontColumn) ? std::string_view(size) : fields[i];
                }
                line = rebuilt;
            }
        }
        out += line;
    }
    return out;
}

}  // namespace vantrel
