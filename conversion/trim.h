#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The part of a source a conversion takes, in seconds of the source: from
// `start` to `end`; none for its beginning, or its end.
struct Trim {
    std::optional<double> start;
    std::optional<double> end;

    bool Trims() const { return StartSeconds() > 0 || end.has_value(); }
    double StartSeconds() const { return start.value_or(0.0); }
    // The seconds converted of a source that lasts `duration` (none when
    // unknown): none when that is unknown too.
    std::optional<double> Length(std::optional<double> duration) const;
    // Why a source that lasts `duration` has nothing to convert: its end
    // comes at or before the start. Empty when it has.
    std::string WhyNothingIsLeft(std::optional<double> duration) const;
};

// A moment as a user writes it: seconds ("90", "12.5"), m:ss ("1:30") or
// h:mm:ss ("1:02:03.250"), minutes and seconds below 60 after the first
// field. None for anything else.
std::optional<double> ParseMoment(std::string_view text);

// A moment as h:mm:ss, with its fraction to the millisecond when it has one:
// "0:01:30", "1:02:03.25". ParseMoment reads it back.
std::string MomentText(double seconds);

}  // namespace vantrel
