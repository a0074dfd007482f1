#include <gtest/gtest.h>
namespace kelvarn { int CoreBuildMarker(); }
TEST(Build, CoreLinks) { EXPECT_EQ(kelvarn::CoreBuildMarker(), 1); }
