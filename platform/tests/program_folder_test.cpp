#include "program_folder.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FolderOf, KeepsEverythingBeforeTheLastSlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/tools/conv", "/opt/tools"},
        {"/conv", ""},  // only a leading slash
        {"conv", ""},
        {"a/b/", "a/b"},
        {"/home/user/Mes films/x.avi", "/home/user/Mes films"},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOf(path), folder) << path;
}

TEST(ProgramFolder, IsTheFolderOfThisTestProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(IsExecutableFile(folder + "/platform_tests"));
}

TEST(FindOnPath, FindsShellButNotMissingNames) {
    EXPECT_FALSE(FindOnPath("sh").empty());
    EXPECT_TRUE(FindOnPath("no-such-program-vantrel").empty());
}

}  // namespace
}  // namespace vantrel
