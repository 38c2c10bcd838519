#include "free_space.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FileSystemFreeSpace, IsKnownOnlyWhereTheFileSystemHasASize) {
    const std::pair<std::string, bool> cases[] = {
        {::testing::TempDir(), true},
        {"/proc", false},  // no size at all: unknown, which must not read as full
        {"/nonexistent-vantrel-folder", false},
    };
    for (const auto& [folder, known] : cases) {
        EXPECT_EQ(FileSystemFreeSpace().FreeBytes(folder).has_value(), known) << folder;
    }
}

}  // namespace
}  // namespace vantrel
