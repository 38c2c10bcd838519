#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_options.h"

namespace vantrel::cli {
namespace {

using Action = CliOptions::Action;

struct ParseCase {
    const char* what;
    std::vector<std::string> arguments;
    Action action;
    int32_t bitrate;
    std::vector<std::string> files;
    const char* errorPart;  // for usage errors
};

const ParseCase kParseCases[] = {
    {"one file, default quality", {"a.avi"}, Action::kConvert, 256, {"a.avi"}, ""},
    {"files keep their order", {"b.avi", "a.mov"}, Action::kConvert, 256, {"b.avi", "a.mov"}, ""},
    {"lowest", {"--quality", "lowest", "a.avi"}, Action::kConvert, 192, {"a.avi"}, ""},
    {"medium-lo", {"--quality", "medium-lo", "a.avi"}, Action::kConvert, 256, {"a.avi"}, ""},
    {"medium-hi", {"--quality", "medium-hi", "a.avi"}, Action::kConvert, 320, {"a.avi"}, ""},
    {"highest", {"--quality", "highest", "a.avi"}, Action::kConvert, 384, {"a.avi"}, ""},
    {"with an equals sign", {"--quality=highest", "a.avi"}, Action::kConvert, 384, {"a.avi"}, ""},
    {"option after the files", {"a.avi", "--quality", "lowest"}, Action::kConvert, 192, {"a.avi"}, ""},
    {"the last quality wins", {"--quality", "lowest", "--quality", "highest", "a.avi"},
     Action::kConvert, 384, {"a.avi"}, ""},
    {"after -- a dash is a name", {"--", "-x.avi", "--help"}, Action::kConvert, 256,
     {"-x.avi", "--help"}, ""},
    {"a lone dash is a name", {"-"}, Action::kConvert, 256, {"-"}, ""},
    {"names with blanks and colons", {"my trip.avi", "a:b.mp4"}, Action::kConvert, 256,
     {"my trip.avi", "a:b.mp4"}, ""},
    {"help", {"--help"}, Action::kHelp, 256, {}, ""},
    {"short help", {"-h"}, Action::kHelp, 256, {}, ""},
    {"help wins over a bad option", {"--bogus", "--help"}, Action::kHelp, 256, {}, ""},
    {"version", {"--version", "a.avi"}, Action::kVersion, 256, {}, ""},
    {"nothing at all", {}, Action::kUsageError, 256, {}, "no FILE given"},
    {"only options", {"--quality", "lowest"}, Action::kUsageError, 256, {}, "no FILE given"},
    {"unknown option", {"--bogus", "a.avi"}, Action::kUsageError, 256, {}, "unknown option '--bogus'"},
    {"unknown short option", {"-q", "a.avi"}, Action::kUsageError, 256, {}, "unknown option '-q'"},
    {"unknown quality", {"--quality", "best", "a.avi"}, Action::kUsageError, 256, {},
     "unknown quality 'best'"},
    {"quality is case-sensitive", {"--quality=Lowest", "a.avi"}, Action::kUsageError, 256, {},
     "unknown quality 'Lowest'"},
    {"quality without a value", {"a.avi", "--quality"}, Action::kUsageError, 256, {},
     "--quality needs a value"},
    {"empty quality", {"--quality=", "a.avi"}, Action::kUsageError, 256, {}, "unknown quality ''"},
};

TEST(ParseCommandLine, Table) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.what);
        const CliOptions options = ParseCommandLine(c.arguments);
        EXPECT_EQ(options.action, c.action);
        if (c.action == Action::kUsageError) {
            EXPECT_NE(options.error.find(c.errorPart), std::string::npos) << options.error;
            continue;
        }
        EXPECT_TRUE(options.error.empty()) << options.error;
        EXPECT_EQ(options.files, c.files);
        if (c.action == Action::kConvert) {
            EXPECT_EQ(options.videoBitrate, c.bitrate);
        }
    }
}

TEST(QualityBitrate, TheWindowsFourQualitiesAndNothingElse) {
    const struct {
        const char* name;
        std::optional<int32_t> bitrate;
    } cases[] = {{"lowest", 192}, {"medium-lo", 256}, {"medium-hi", 320}, {"highest", 384},
                 {"medium", std::nullopt}, {"256", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(QualityBitrate(c.name), c.bitrate) << c.name;
}

TEST(HelpAndVersion, NameTheProgramAndItsVersion) {
    EXPECT_EQ(UsageText().rfind("Usage: vantrel-convert [--quality QUALITY] FILE...\n", 0), 0u);
    EXPECT_EQ(VersionText(), std::string("vantrel-convert ") + VANTREL_VERSION + "\n");
}

}  // namespace
}  // namespace vantrel::cli
