// The program's main window: start-up, the events its input gives, shutdown.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/menu/Menu.h"

namespace {

using wmtest::ToolkitTest;

TEST_F(ToolkitTest, StartUpOpensTheMainWindowWithItsBars) {
  OpenMainWindow();
  ASSERT_TRUE(plat::isWindow(Frame()));
  EXPECT_EQ(plat::getWindowText(Frame()), "Tesselby Research Quillon");
  EXPECT_TRUE(plat::getMenu(Frame()));
  EXPECT_TRUE(StatusBar());
  EXPECT_TRUE(Toolbar());
  EXPECT_EQ(WInfoWindowItem(1), 640);
  EXPECT_EQ(WInfoWindowItem(2), 512 - 28);  // the toolbar takes its height
  EXPECT_EQ(frameExtra_, 28);
  EXPECT_EQ(WInfoWindowItem(3), 39);
  EXPECT_EQ(WInfoWindowItem(5), 320);
  EXPECT_EQ(WInfoWindowItem(6), 256);
  EXPECT_EQ(WInfoWindowItem(9), 1);
  std::cout << plat::test::windowTree();
}

}  // namespace
