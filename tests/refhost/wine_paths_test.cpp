#include "refhost/wine_paths.h"

#include <gtest/gtest.h>

namespace refhost {
namespace {

TEST(WinePaths, TranslateBothWays) {
  EXPECT_EQ(LinuxToWindowsPath("/work/out/pay.csv"), "Z:\\work\\out\\pay.csv");
  EXPECT_EQ(LinuxToWindowsPath("relative/file"), "relative\\file");
  EXPECT_EQ(WindowsToLinuxPath("Z:\\work\\out\\pay.csv", "/p"), "/work/out/pay.csv");
  EXPECT_EQ(WindowsToLinuxPath("z:\\", "/p"), "/");
  EXPECT_EQ(WindowsToLinuxPath("C:\\payments.csv", "/p"), "/p/dosdevices/c:/payments.csv");
  EXPECT_EQ(WindowsToLinuxPath("plain", "/p"), "plain");
}

}  // namespace
}  // namespace refhost
