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
    {"highest", {"--quality", "highest", "a.avi"}, Action::kConvert, 384, {"a.avi"}, ""},
    {"with an equals sign", {"--quality=highest", "a.avi"}, Action::kConvert, 384, {"a.avi"}, ""},
    {"option after the files", {"a.avi", "--quality", "lowest"}, Action::kConvert, 192, {"a.avi"}, ""},
    {"after -- a dash is a name", {"--", "-x.avi", "--help"}, Action::kConvert, 256,
     {"-x.avi", "--help"}, ""},
    {"a lone dash is a name", {"-"}, Action::kConvert, 256, {"-"}, ""},
    {"help wins over a bad option", {"--bogus", "--help"}, Action::kHelp, 256, {}, ""},
    {"version", {"--version", "a.avi"}, Action::kVersion, 256, {}, ""},
    {"nothing at all", {}, Action::kUsageError, 256, {}, "no FILE given"},
    {"unknown option", {"--bogus", "a.avi"}, Action::kUsageError, 256, {}, "unknown option '--bogus'"},
    {"unknown quality", {"--quality", "best", "a.avi"}, Action::kUsageError, 256, {},
     "unknown quality 'best'"},
    {"quality without a value", {"a.avi", "--quality"}, Action::kUsageError, 256, {},
     "--quality needs a value"},
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

}  // namespace
}  // namespace vantrel::cli
