#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "progress_display.h"
#include "progress_line.h"

namespace vantrel::cli {
namespace {

TEST(ComputeProgress, Table) {
    const struct {
        const char* what;
        int32_t position;
        double duration;
        double elapsed;
        double percent;
        std::optional<double> speed;
        std::optional<double> eta;
    } cases[] = {
        {"the start", 0, 60, 0.0, 0.0, std::nullopt, std::nullopt},
        {"duration unknown", 50000, 0, 2.0, 50.0, std::nullopt, std::nullopt},
        {"a clip shorter than a second", 50000, 0.5, 0.1, 50.0, 2.5, 0.1},
        {"half of 60 s in 2 s", 50000, 60, 2.0, 50.0, 15.0, 2.0},
        {"done", 100000, 60, 4.0, 100.0, 15.0, 0.0},
        {"beyond the end is the end", 104000, 60, 4.0, 100.0, 15.0, 0.0},
        {"below zero is zero", -5000, 60, 1.0, 0.0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgressFigures f = ComputeProgress(c.position, c.duration, c.elapsed);
        EXPECT_DOUBLE_EQ(f.percent, c.percent);
        ASSERT_EQ(f.speed.has_value(), c.speed.has_value());
        if (c.speed) {
            EXPECT_DOUBLE_EQ(*f.speed, *c.speed);
        }
        ASSERT_EQ(f.etaSeconds.has_value(), c.eta.has_value());
        if (c.eta) {
            EXPECT_DOUBLE_EQ(*f.etaSeconds, *c.eta);
        }
    }
}

TEST(FormatProgressLine, Table) {
    const struct {
        const char* what;
        ProgressFigures figures;
        int bar;
        const char* line;
    } cases[] = {
        {"nothing known yet", {0.0, std::nullopt, std::nullopt}, 10,
         "  0.0% [----------]  --.-x  ETA --:--"},
        {"halfway", {50.0, 15.0, 2.0}, 10, " 50.0% [#####-----]  15.0x  ETA 0:02"},
        {"slower than real time", {1.0, 0.25, 3960.0}, 4, "  1.0% [----]   0.2x  ETA 1:06:00"},
        {"a very fast encoder", {99.9, 250.0, 0.01}, 4, " 99.9% [###-]   250x  ETA 0:01"},
        {"done", {100.0, 15.0, 0.0}, 10, "100.0% [##########]  15.0x  ETA 0:00"},
        {"out of range percents are clamped", {130.0, std::nullopt, std::nullopt}, 2,
         "100.0% [##]  --.-x  ETA --:--"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FormatProgressLine(c.figures, c.bar), c.line);
    }
}

using Clock = ProgressDisplay::Clock;

// Feeds posts, each at its number of seconds after the start.
std::string Show(bool live, const std::vector<std::pair<int32_t, int>>& posts, bool finish = true) {
    std::ostringstream out;
    ProgressDisplay display(out, live);
    const Clock::time_point start{};
    display.Start(60, start);
    for (const auto& [position, second] : posts) {
        display.Update(position, start + std::chrono::seconds(second));
    }
    if (finish) display.Finish();
    return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(ProgressDisplay, PlainOutputWritesALinePerTenthAndNoCarriageReturn) {
    const struct {
        const char* what;
        std::vector<std::pair<int32_t, int>> posts;
        std::vector<std::string> percents;  // the start of each line
    } cases[] = {
        {"the start is silent", {{0, 0}}, {}},
        {"each tenth once", {{0, 0}, {5000, 1}, {10000, 1}, {15000, 2}, {21000, 2}, {100000, 4}},
         {" 10.0%", " 21.0%", "100.0%"}},
        {"beyond the end adds nothing", {{99000, 3}, {100000, 3}, {104000, 3}}, {" 99.0%", "100.0%"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = Show(false, c.posts);
        EXPECT_EQ(text.find('\r'), std::string::npos);
        const std::vector<std::string> lines = Lines(text);
        ASSERT_EQ(lines.size(), c.percents.size()) << text;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].rfind(c.percents[i], 0), 0u) << lines[i];
        }
    }
}

}  // namespace
}  // namespace vantrel::cli
