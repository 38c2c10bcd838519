#include "platform/free_space.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FileSystemFreeSpace, IsKnownOnlyWhereTheFolderHasASize) {
    EXPECT_TRUE(FileSystemFreeSpace().FreeBytes(::testing::TempDir()).has_value());
    // No size at all is unknown, which must not read as full.
    EXPECT_FALSE(FileSystemFreeSpace().FreeBytes("/proc").has_value());
    EXPECT_FALSE(FileSystemFreeSpace().FreeBytes("/nonexistent-vantrel-folder").has_value());
}

}  // namespace
}  // namespace vantrel
