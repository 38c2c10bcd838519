#include "free_space.h"

#include <gtest/gtest.h>

#include "program_folder.h"

namespace vantrel {
namespace {

// Asked, as a conversion asks, for the folder a target file goes into.
TEST(FileSystemFreeSpace, IsKnownOnlyWhereTheTargetFolderHasASize) {
    const std::pair<std::string, bool> cases[] = {
        {::testing::TempDir() + "/film.d3v", true},
        {"/proc/film.d3v", false},  // no size at all: unknown, which must not read as full
        {"/nonexistent-vantrel-folder/film.d3v", false},
    };
    for (const auto& [target, known] : cases) {
        EXPECT_EQ(FileSystemFreeSpace().FreeBytes(FolderOf(target)).has_value(), known) << target;
    }
}

}  // namespace
}  // namespace vantrel
