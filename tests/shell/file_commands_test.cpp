#include <gtest/gtest.h>

#include "shell/logic/FileCommands.h"

namespace tivolan {
namespace {

TEST(ConfigSuffix, AppendedUnlessTheExactTextIsThere) {
  EXPECT_EQ(WithConfigSuffix("panel.txt"), "panel.txt.cf8");
  EXPECT_EQ(WithConfigSuffix("PANEL.CF8"), "PANEL.CF8.cf8");
  EXPECT_EQ(WithConfigSuffix("a.cf8x"), "a.cf8x");
  EXPECT_EQ(WithConfigSuffix("panel.cf8"), "panel.cf8");
  EXPECT_EQ(WithConfigSuffix("panel"), "panel.cf8");
}

TEST(FolderOf, KeepsTheTrailingSeparator) {
  EXPECT_EQ(FolderOf("/home/user/panels/a.cf8"), "/home/user/panels/");
  EXPECT_EQ(CurrentFolder().back(), '/');
}

}  // namespace
}  // namespace tivolan
