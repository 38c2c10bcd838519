#include "ui/win32/file_choosers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using namespace std::string_literals;

// The open dialog's answers hold NULs, so each is a string literal with its
// size ("..."s); its very last NUL is the one the string ends with anyway.
TEST(OpenDialogAnswer, GivesTheFullPathOfEveryFileChosen) {
    const struct {
        const char* what;
        std::wstring answer;
        std::vector<std::string> paths;
    } rows[] = {
        {"one file", L"C:\\Movies\\Trip.mp4\0"s, {"C:\\Movies\\Trip.mp4"}},
        {"several", L"C:\\Movies\0a.mp4\0b c.avi\0"s,
         {"C:\\Movies\\a.mp4", "C:\\Movies\\b c.avi"}},
        {"several at a drive's root", L"D:\\\0a.mp4\0b.mkv\0"s,
         {"D:\\a.mp4", "D:\\b.mkv"}},
        {"names outside ASCII", L"C:\\Filme\0Reise \u00fc.mp4\0\u65e5\u672c.mov\0"s,
         {"C:\\Filme\\Reise \xc3\xbc.mp4", "C:\\Filme\\\xe6\x97\xa5\xe6\x9c\xac.mov"}},
        {"on a share", L"\\\\server\\films\0a.mp4\0b.mp4\0"s,
         {"\\\\server\\films\\a.mp4", "\\\\server\\films\\b.mp4"}},
        {"nothing", L"\0"s, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(PathsChosenInOpenDialog(row.answer.c_str()), row.paths);
    }
}

}  // namespace
}  // namespace vantrel
