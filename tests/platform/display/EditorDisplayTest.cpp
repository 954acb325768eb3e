// The text editor on a real X server: text typed on the desktop reaches
// the rich-edit control of an editor window.
#include "tests/platform/display/X11Fixture.h"

#include "platform/ctl/Controls.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"

namespace {

using x11test::Clock;
using x11test::X11Test;

TEST_F(X11Test, TextTypedOnTheDesktopReachesAnEditorWindow) {
  OpenShown();
  int32_t number = 0, dialog = 0, width = 420, height = 260;
  YYChildWindowOpen(60, 60, width, height, number, kOptionSystemMenu | kOptionStatusBar, 0, {}, dialog, 0, -1, "Notes");
  ASSERT_GT(number, 0);
  int32_t w = 0, h = 0;
  YYWindowSelect(w, h, number);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, kEdModifiedMarker, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(number)];
  const EditorRecord* r = YYEditorRecordOf(frame);
  ASSERT_NE(r, nullptr);
  plat::test::pump();
  plat::display::flush();
  x11test::Process user = x11test::Start({"xdotool", "-"}, "type --delay 40 Hello\nkey Return\ntype --delay 40 World\n");
  const auto end = Clock::now() + std::chrono::seconds(8);
  while (plat::getWindowText(r->EditControl) != "Hello\r\nWorld" && Clock::now() < end) {
    plat::test::pump();
    plat::display::waitForInput(20);
  }
  EXPECT_EQ(plat::getWindowText(r->EditControl), "Hello\r\nWorld");
  int32_t line = -1;
  YYEditorPosition(1, 9, line);
  EXPECT_EQ(line, 1);
  EXPECT_TRUE(x11test::Finish(user));
}

}  // namespace
