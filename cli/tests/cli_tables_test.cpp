// What a command line asks for, and the progress line a run shows.
#include <gtest/gtest.h>

#include "cli/cli_options.h"
#include "conversion/progress_line.h"

#include <optional>
#include <sstream>

namespace vantrel::cli {
namespace {

// "help", the bitrate, the fit and the files, or why the line is refused.
std::string Meaning(const std::vector<std::string>& arguments) {
    const CliOptions asked = ParseCommandLine(arguments);
    if (asked.action == CliOptions::Action::kHelp) return "help";
    std::string meaning = asked.error;
    for (const PictureFitChoice& fit : kPictureFits) {
        if (asked.error.empty() && fit.fit == asked.fit)
            meaning = std::to_string(asked.videoKilobits) + " " + std::string(fit.name);
    }
    if (asked.jobs > 0) meaning += " jobs " + std::to_string(asked.jobs);
    if (!asked.outputFolder.empty()) meaning += " into " + asked.outputFolder;
    const SubtitleChoice& subtitles = asked.subtitles;
    if (subtitles.mode == SubtitleMode::kOff) meaning += " no subtitles";
    if (subtitles.mode == SubtitleMode::kTrack) meaning += " subtitle track " + std::to_string(subtitles.track);
    if (subtitles.mode == SubtitleMode::kFile) meaning += " subtitles " + subtitles.file;
    if (!asked.language.empty()) meaning += " in " + asked.language;
    if (!asked.normalizeLoudness) meaning += " as loud as it is";
    if (!asked.subtitleEncoding.empty()) meaning += " read as " + asked.subtitleEncoding;
    if (!asked.previewPath.empty()) meaning += " previewed in " + asked.previewPath;
    std::ostringstream part;
    if (asked.trim.start) part << " from " << *asked.trim.start;
    if (asked.trim.end) part << " to " << *asked.trim.end;
    meaning += part.str();
    for (const std::string& file : asked.files) meaning += " " + file;
    return meaning;
}

// A line at `position` (none: the duration is unknown) with `convertedSeconds`
// of the source done.
std::string Line(std::optional<int32_t> position, double convertedSeconds, double elapsedSeconds) {
    const ProgressReport progress{position, static_cast<int64_t>(convertedSeconds * 100)};
    return FormatProgressLine(ComputeProgress(progress, elapsedSeconds), 10);
}

TEST(CliTables, WhatIsAskedAndWhatIsShown) {
    const std::pair<std::string, std::string> cases[] = {
        {Meaning({"a.avi", "--quality=highest"}), "384 fit a.avi"},
        {Meaning({"--quality", "lowest", "-", "--", "-x", "--help"}), "192 fit - -x --help"},
        {Meaning({"--fit=fill", "a.mkv", "--fit", "stretch"}), "256 stretch a.mkv"},
        {Meaning({"--jobs", "3", "a.avi", "--jobs=2"}), "256 fit jobs 2 a.avi"},
        {Meaning({"--jobs", "0", "a.avi"}), "unknown number of jobs '0' (choose 1 to 256)"},
        {Meaning({"-o", "out", "a.avi", "--output-dir=-o"}), "256 fit into -o a.avi"},
        {Meaning({"a.avi", "-o"}), "--output-dir needs a value"},
        {Meaning({"--fit", "squash", "a.avi"}), "unknown fit 'squash' (choose fit, fill or stretch)"},
        {Meaning({"--bogus", "--help"}), "help"},
        {Meaning({"--quality", "best", "a.avi"}),
         "unknown quality 'best' (choose lowest, medium-lo, medium-hi or highest)"},
        {Meaning({"--subtitles", "off", "a.mkv"}), "256 fit no subtitles a.mkv"},
        // Tracks are counted from 1, as the window lists them.
        {Meaning({"--subtitles=2", "a.mkv"}), "256 fit subtitle track 1 a.mkv"},
        {Meaning({"--subtitles", "0", "a.mkv"}), "--subtitles needs off, auto, a track number or a file"},
        {Meaning({"--subtitles", "auto", "--subtitles", "my.srt", "a.mkv"}), "256 fit subtitles my.srt a.mkv"},
        {Meaning({"--language", "ger", "--no-normalize", "a.mkv"}), "256 fit in ger as loud as it is a.mkv"},
        {Meaning({"--language", "klingon", "a.mkv"}),
         "unknown language 'klingon' (give a code such as de, deu or ger)"},
        {Meaning({"--subtitle-encoding", "SHIFT_JIS", "a.mkv"}), "256 fit read as SHIFT_JIS a.mkv"},
        {Meaning({"--preview", "p.png", "a.mkv"}), "256 fit previewed in p.png a.mkv"},
        {Meaning({"--preview", "p.png", "a.mkv", "b.mkv"}), "--preview takes one FILE"},
        // Seconds, m:ss or h:mm:ss, each with a fraction.
        {Meaning({"--start", "90", "--end=1:45.5", "a.mkv"}), "256 fit from 90 to 105.5 a.mkv"},
        {Meaning({"--start=1:02:03.25", "a.mkv"}), "256 fit from 3723.25 a.mkv"},
        {Meaning({"--end", "0:00:07", "a.mkv"}), "256 fit to 7 a.mkv"},
        {Meaning({"--start", "12.5", "--end", "0:12.5", "a.mkv"}), "--start must come before --end"},
        {Meaning({"--start", "2:00", "--end", "1:59.9", "a.mkv"}), "--start must come before --end"},
        {Meaning({"--start", "1:75", "a.mkv"}),
         "unknown time '1:75' for --start (give seconds, m:ss or h:mm:ss, such as 90, 1:30 or 1:02:03.5)"},
        {Meaning({"--end", "1:2:3:4", "a.mkv"}),
         "unknown time '1:2:3:4' for --end (give seconds, m:ss or h:mm:ss, such as 90, 1:30 or 1:02:03.5)"},
        {Meaning({"--start", "-5", "a.mkv"}),
         "unknown time '-5' for --start (give seconds, m:ss or h:mm:ss, such as 90, 1:30 or 1:02:03.5)"},
        {Meaning({"--start", "1.5:00", "a.mkv"}),
         "unknown time '1.5:00' for --start (give seconds, m:ss or h:mm:ss, such as 90, 1:30 or 1:02:03.5)"},
        {Line(-5000, 0, 1), "  0.0% [----------]  --.-x  ETA --:--"},
        {Line(50000, 30, 2), " 50.0% [#####-----]  15.0x  ETA 0:02"},
        {Line(1000, 10, 40), "  1.0% [----------]   0.2x  ETA 1:06:00"},
        {Line(50000, 0.25, 0.1), " 50.0% [#####-----]   2.5x  ETA 0:01"},
        // A source whose duration nobody knows: how much is done, and how fast.
        {Line(std::nullopt, 72, 4), "  1:12 converted  18.0x"},
        {Line(std::nullopt, 0, 0), "  0:00 converted  --.-x"},
    };
    for (const auto& [shown, expected] : cases) EXPECT_EQ(shown, expected);
}

// Every option is in the help, and no line is wider than a terminal's 80
// columns, however long an option's name.
TEST(CliTables, HelpNamesEveryOptionWithinEightyColumns) {
    const std::string help = UsageText();
    for (const char* option : {"--quality", "--fit", "--jobs", "-o, --output-dir DIR", "--subtitles",
                               "--language", "--no-normalize", "--subtitle-encoding", "--preview",
                               "--start TIME", "--end TIME", "--list-cards", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) EXPECT_LT(line.size(), 80u) << line;
}

}  // namespace
}  // namespace vantrel::cli
