#include "command_line.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ComposeArgumentText, IsTheRecordedCommandToTheByte) {
    EXPECT_EQ(ComposeArgumentText("C:\\Movies\\Trip.avi", 256, "c:\\movies\\trip.d3v"),
              "-y -i \"C:\\Movies\\Trip.avi\" -b 256 -strict \"-2\" -s 256x192 -r 12 -f mpeg "
              "-vcodec mpeg1video -ab 64 -ar 22050 -coder 1 -ac 1 -acodec mp2  "
              "\"c:\\movies\\trip.d3v\"");
}

TEST(ComposeArgumentText, ProbeEndsInAnEmptyQuotedTarget) {
    const std::string text = ComposeArgumentText("/m/a.avi", 384, "");
    EXPECT_EQ(text.substr(text.size() - 7), "mp2  \"\"");
    // The fixed part is 117 characters.
    EXPECT_EQ(text.size(), 117u + 8 + 3);
}

// Each word is one field of the text above, quotes removed; a path with
// blanks, quotes or a leading dash stays a single word.
TEST(ArgumentWords, MatchTheTextFieldByField) {
    const std::string source = "/home/u/My \"best\" -clip.avi";
    const std::vector<std::string> words = ArgumentWords(source, 192, "/home/u/t.d3v");
    std::string rebuilt;
    for (size_t i = 0; i < words.size(); ++i) {
        const bool quoted = i == 2 || i == 6 || i + 1 == words.size();
        if (i > 0) rebuilt += i + 1 == words.size() ? "  " : " ";
        rebuilt += quoted ? "\"" + words[i] + "\"" : words[i];
    }
    EXPECT_EQ(rebuilt, ComposeArgumentText(source, 192, "/home/u/t.d3v"));
    EXPECT_EQ(words[2], source);
}

TEST(TranslateForInstalledEncoder, SpeaksTodaysUnits) {
    const std::vector<std::string> expected = {
        "-y",     "-loglevel", "repeat+info", "-i",     "file:/m/-x:y.avi",
        "-b:v",   "320k",      "-strict",     "-2",     "-s",
        "256x192", "-r",       "12",          "-f",     "mpeg",
        "-vcodec", "mpeg1video", "-b:a",      "64k",    "-ar",
        "22050",  "-ac",       "1",           "-acodec", "mp2",
        "file:/m/-x:y.d3v"};
    EXPECT_EQ(TranslateForInstalledEncoder(ArgumentWords("/m/-x:y.avi", 320, "/m/-x:y.d3v")),
              expected);
}

TEST(TranslateForInstalledEncoder, ProbeKeepsItsEmptyTarget) {
    const auto words = TranslateForInstalledEncoder(ArgumentWords("/m/a.avi", 256, ""));
    EXPECT_EQ(words.back(), "");
}

}  // namespace
}  // namespace vantrel
