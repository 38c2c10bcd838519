#include "conversion/trim.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "conversion/progress_line.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

// Digits, with a fraction after a dot only where `fraction` allows it.
std::optional<double> Field(std::string_view text, bool fraction) {
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    if (whole.empty() || !std::all_of(whole.begin(), whole.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    if (dot != std::string_view::npos) {
        const std::string_view part = text.substr(dot + 1);
        if (!fraction || part.empty() ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [stop, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (fault != std::errc() || stop != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> Trim::Length(std::optional<double> duration) const {
    const std::optional<double> last = end && duration ? std::min(*end, *duration) : end ? end : duration;
    if (!last) return std::nullopt;
    return std::max(*last - StartSeconds(), 0.0);
}

std::string Trim::WhyNothingIsLeft(std::optional<double> duration) const {
    if (!duration || StartSeconds() < *duration) return {};
    // TRANSLATORS: {1} is the movie's length and {2} the moment the user chose to start at, both
    // times such as 1:05.
    return Fill(Tr("the movie ends at {1}, before the start at {2}"),
                {FormatClock(*duration), FormatClock(StartSeconds())});
}

std::optional<double> ParseMoment(std::string_view text) {
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
        const size_t colon = text.find(':', from);
        fields.push_back(text.substr(from, colon == std::string_view::npos ? std::string_view::npos : colon - from));
        if (colon == std::string_view::npos) break;
        from = colon + 1;
    }
    if (fields.size() > 3) return std::nullopt;
    double seconds = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool last = i + 1 == fields.size();
        const std::optional<double> value = Field(fields[i], last);
        // After the first field, minutes and seconds have two digits.
        if (!value || (i > 0 && (fields[i].substr(0, fields[i].find('.')).size() != 2 || *value >= 60))) {
            return std::nullopt;
        }
        seconds = seconds * 60 + *value;
    }
    return seconds;
}

std::string MomentText(double seconds) {
    const auto millis = static_cast<int64_t>(std::llround(std::max(seconds, 0.0) * 1000));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(millis / 3600000),
                  static_cast<long long>(millis / 60000 % 60), static_cast<long long>(millis / 1000 % 60));
    std::string shown = text;
    if (const int64_t fraction = millis % 1000; fraction != 0) {
        std::snprintf(text, sizeof text, ".%03lld", static_cast<long long>(fraction));
        shown += text;
        while (shown.back() == '0') shown.pop_back();
    }
    return shown;
}

}  // namespace vantrel
