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
        int64_t duration;
        double elapsed;
        double percent;
        std::optional<double> speed;
        std::optional<double> eta;
    } cases[] = {
        {"the start", 0, 60, 0.0, 0.0, std::nullopt, std::nullopt},
        {"no time has passed", 50000, 60, 0.0, 50.0, std::nullopt, std::nullopt},
        {"duration unknown", 50000, 0, 2.0, 50.0, std::nullopt, std::nullopt},
        {"half of 60 s in 2 s", 50000, 60, 2.0, 50.0, 15.0, 2.0},
        {"a quarter of 100 s in 50 s", 25000, 100, 50.0, 25.0, 0.5, 150.0},
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

TEST(FormatClock, Table) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {{0.0, "0:00"},     {0.2, "0:01"},       {7.0, "0:07"},      {59.5, "1:00"},
                 {754.0, "12:34"},  {3599.0, "59:59"},   {3723.0, "1:02:03"}, {-3.0, "0:00"},
                 {36000.0, "10:00:00"}};
    for (const auto& c : cases) EXPECT_EQ(FormatClock(c.seconds), c.text) << c.seconds;
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
        {"a partial cell is not filled", {45.2, 17.34, 12.0}, 10,
         " 45.2% [####------]  17.3x  ETA 0:12"},
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

TEST(FormatProgressLine, FitsAnOrdinaryTerminal) {
    const ProgressFigures widest{100.0, 9999.0, 36000.0 * 99};
    EXPECT_LT(FormatProgressLine(widest, ProgressDisplay::kBarWidth).size(), 80u);
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
        {"the end once, even when posted twice", {{100000, 3}, {100000, 3}}, {"100.0%"}},
        {"beyond the end adds nothing", {{99000, 3}, {100000, 3}, {104000, 3}}, {" 99.0%", "100.0%"}},
        {"a stop before the first tenth", {{0, 0}, {9999, 1}}, {}},
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

TEST(ProgressDisplay, LiveOutputRedrawsOneLine) {
    const std::string text = Show(true, {{0, 0}, {50000, 2}, {100000, 4}});
    EXPECT_EQ(text,
              "\r  0.0% [------------------------------]  --.-x  ETA --:--"
              "\r 50.0% [###############---------------]  15.0x  ETA 0:02 "
              "\r100.0% [##############################]  15.0x  ETA 0:00\n");
}

TEST(ProgressDisplay, LiveOutputBlanksWhatALongerLineLeft) {
    // The ETA shrinks from "27:30:00" to "0:00": four cells to blank.
    std::ostringstream out;
    ProgressDisplay display(out, true);
    display.Start(3600, Clock::time_point{});
    display.Update(1000, Clock::time_point{} + std::chrono::seconds(1000));
    display.Update(100000, Clock::time_point{} + std::chrono::seconds(1001));
    const std::string text = out.str();
    const size_t second = text.rfind('\r');
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(text.size() - second, second);  // both lines are equally wide
    EXPECT_EQ(text.substr(text.size() - 8), "0:00    ");
}

TEST(ProgressDisplay, FinishEndsTheLiveLineOnlyOnce) {
    std::ostringstream out;
    ProgressDisplay display(out, true);
    display.Finish();
    EXPECT_EQ(out.str(), "");
    display.Start(60, Clock::time_point{});
    display.Update(50000, Clock::time_point{} + std::chrono::seconds(2));
    display.Finish();
    display.Finish();
    const std::string text = out.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace vantrel::cli
