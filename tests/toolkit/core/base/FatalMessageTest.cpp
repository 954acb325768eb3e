// The fatal messages: on standard error until the window system is up, then
// in a stop box; the process ends with the code of its cause.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include <cstdio>
#include <new>

#include "platform/dlg/CommonDialogs.h"
#include "toolkit/core/OsLayerCore.h"

namespace {

class FatalMessageTest : public wmtest::ToolkitTest {
 protected:
  static const plat::test::ShownDialog& Shown() { return plat::test::shownDialogs().back(); }
};

void BoxOpen() { std::fputs("box open\n", stderr); }

TEST_F(FatalMessageTest, ShowInABoxOnceWindowsExist) {
  EXPECT_EQ(FatalMessageHook(), nullptr);
  EXPECT_EXIT(YYAbnormalExit("early", 2), ::testing::ExitedWithCode(2),
              "^Plovane: Abnormal exit \\(code 2\\) : early\n$");

  OpenMainWindow();
  ASSERT_NE(FatalMessageHook(), nullptr);
  plat::test::answerMessageBox(plat::kIdOk);
  YYFatalMessage("Plovane", "Abnormal exit (code 5) : boom");
  EXPECT_EQ(Shown().kind, "message box");
  EXPECT_EQ(Shown().caption, "Plovane");
  EXPECT_EQ(Shown().text, "Abnormal exit (code 5) : boom");
  EXPECT_EQ(Shown().flags, plat::mb::Ok | plat::mb::IconStop | plat::mb::TaskModal);

  EXPECT_EXIT(
      {
        plat::test::answerMessageBox(plat::kIdOk, BoxOpen);
        YYAbnormalExit("boom", 5);
      },
      ::testing::ExitedWithCode(5), "^box open\n$");
  EXPECT_EXIT(
      {
        plat::test::answerMessageBox(plat::kIdOk, BoxOpen);
        std::get_new_handler()();
      },
      ::testing::ExitedWithCode(kAllocationFailedExitCode), "^box open\n$");
  // A box that cannot be shown leaves the message on standard error.
  EXPECT_EXIT(
      {
        plat::test::answerMessageBoxFails();
        YYAbnormalExit("boom", 5);
      },
      ::testing::ExitedWithCode(5), "^Plovane: Abnormal exit \\(code 5\\) : boom\n$");

  // Without windows the messages go to standard error again.
  WShutdown();
  EXPECT_EQ(FatalMessageHook(), nullptr);
  EXPECT_EXIT(YYAbnormalExit("late", 2), ::testing::ExitedWithCode(2),
              "^Plovane: Abnormal exit \\(code 2\\) : late\n$");
}

}  // namespace
