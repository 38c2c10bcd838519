#include <gtest/gtest.h>

TEST(Win32Platform, Builds) { SUCCEED(); }
