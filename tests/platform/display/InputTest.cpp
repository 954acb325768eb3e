// Input from outside the program (xdotool) on the X server: menus by the
// mouse and the keyboard, typing and Tab in a dialog, and the clipboard
// exchanged with another program (xclip).
#include "tests/platform/display/X11Fixture.h"

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/res/Resources.h"
#include "platform/win/PaintHooks.h"

namespace {

using namespace x11test;

TEST_F(X11Test, AClickOnViewOpensItsMenuAndAClickOnAnItemSendsItsCommand) {
  OpenShown();
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  const plat::Rect view = plat::menuBarItemRect(Frame(), 1);   // "View"
  // the pop-up opens below the item; its first item "Zoom" is 20 pixels high
  const plat::Point press{outer.left + view.left + 8, outer.top + view.top + 5};
  const plat::Point zoom{outer.left + view.left + 20, outer.top + view.bottom + 10};
  Process user = Start({"xdotool", "mousemove", std::to_string(press.x), std::to_string(press.y), "click", "1",
                        "sleep", "0.3", "mousemove", std::to_string(zoom.x), std::to_string(zoom.y), "sleep", "0.2",
                        "click", "1"});
  EventRecord e{};
  EXPECT_EQ(NextNotMotion(e), EventMenuCommand);
  EXPECT_EQ(e[1], 40024);
  EXPECT_TRUE(Finish(user));
  EXPECT_TRUE(plat::openMenus().empty());
}

TEST_F(X11Test, KeyboardMenusAltFArrowsEscapeAndF10) {
  OpenShown();
  // Alt+F opens "File", Down moves, Escape twice closes: the next key is the window's
  Process user = Start({"xdotool", "key", "--delay", "60", "alt+f", "Down", "Escape", "Escape", "a"});
  EventRecord e{};
  EXPECT_EQ(NextNotMotion(e), EventKey);
  EXPECT_EQ(e[1], 'a');
  EXPECT_TRUE(Finish(user));
  // F10 selects the bar; Right, Down open "View"; Down, Return choose its second item
  user = Start({"xdotool", "key", "--delay", "60", "F10", "Right", "Down", "Down", "Return"});
  EXPECT_EQ(NextNotMotion(e), EventMenuCommand);
  EXPECT_EQ(e[1], 40018);
  EXPECT_TRUE(Finish(user));
  // Alt+F, Down, Return: the second item of "File"
  user = Start({"xdotool", "key", "--delay", "60", "alt+f", "Down", "Return"});
  EXPECT_EQ(NextNotMotion(e), EventMenuCommand);
  EXPECT_EQ(e[1], 40003);
  EXPECT_TRUE(Finish(user));
}

constexpr const char* kDialog = R"(
DIALOG 900
  CAPTION "Typing"
  STYLE POPUP CAPTION SYSMENU VISIBLE
  FONT 8 "MS Sans Serif"
  RECT 40 40 200 80
  CONTROL EDIT 1001 "" 8 8 120 12 TABSTOP GROUP BORDER AUTOHSCROLL
  CONTROL EDIT 1002 "" 8 24 120 30 TABSTOP BORDER MULTILINE
  CONTROL BUTTON 1 "OK" 140 60 50 14 DEFPUSHBUTTON TABSTOP GROUP
END
)";

std::string first, second;

intptr_t TypingProc(plat::Hwnd d, uint32_t message, plat::WParam wp, plat::LParam) {
  if (message == plat::wm::InitDialog) return 1;
  if (message == plat::wm::Command && plat::loWord(wp) == plat::kIdOk) {
    first = plat::getWindowText(plat::getDlgItem(d, 1001));
    second = plat::getWindowText(plat::getDlgItem(d, 1002));
    plat::destroyWindow(d);
    return 1;
  }
  return 0;
}

TEST_F(X11Test, TypingIntoADialogsEditFieldAndTabMoveThroughIt) {
  OpenShown();
  plat::res::pushOverlay(kDialog, "typing.qres");
  first = second = "(not confirmed)";
  const plat::Hwnd dialog = plat::createDialogParam(900, Frame(), TypingProc);
  ASSERT_TRUE(dialog);
  plat::display::flush();   // shown, and the active window: the keyboard's
  // Latin-1 text arrives as typed; a character beyond Latin-1 is refused
  // (xdotool reads its commands from standard input: "type" takes every word after it)
  const int beeps = plat::test::beepCount();
  int bound = -1;
  RunProgram({X_HELPER, "bind", "udiaeresis", "ssharp", "lstroke"}, &bound);
  ASSERT_EQ(bound, 0);
  Process user = Start({"xdotool", "-"}, "type --delay 40 Grüße\nkey Tab\ntype --delay 40 zł!\nkey Return\n");
  const auto end = Clock::now() + std::chrono::seconds(8);
  while (plat::isWindow(dialog) && Clock::now() < end) {
    plat::Msg m;
    while (plat::isWindow(dialog) && plat::peekMessage(m, {}, 0, 0, plat::kPmRemove)) {
      if (plat::isDialogMessage(dialog, m)) continue;
      plat::translateMessage(m);
      plat::dispatchMessage(m);
    }
    plat::display::waitForInput(20);
  }
  EXPECT_FALSE(plat::isWindow(dialog)) << "Return pressed the default button";
  EXPECT_EQ(first, "Gr\xFC\xDF" "e");
  EXPECT_EQ(second, "z!");
  EXPECT_EQ(plat::test::beepCount(), beeps + 1);
  EXPECT_TRUE(Finish(user));
}

TEST_F(X11Test, ClipboardTextGoesToOtherProgramsAndComesBack) {
  OpenShown();
  plat::res::pushOverlay(kDialog, "typing.qres");
  const plat::Hwnd dialog = plat::createDialogParam(900, Frame(), TypingProc);
  ASSERT_TRUE(dialog);
  // lines end with CR LF in the program and with LF on the desktop
  const plat::Hwnd edit = plat::getDlgItem(dialog, 1002);
  plat::setWindowText(edit, "Gr\xFC\xDF" "e\r\nline");
  plat::sendMessage(edit, plat::em::SetSel, 0, -1);
  plat::sendMessage(edit, plat::wm::Copy);
  int status = -1;
  EXPECT_EQ(RunProgram({"xclip", "-o", "-selection", "clipboard"}, &status), "Grüße\nline");
  EXPECT_EQ(status, 0);

  // text another program puts there pastes into the control (beyond Latin-1: '?')
  Process owner = Start({"xclip", "-quiet", "-i", "-selection", "clipboard"}, "Zürich ł\ntwo");
  RunUntil([] { return false; }, 300);   // xclip takes the selection
  plat::setWindowText(edit, "");
  plat::sendMessage(edit, plat::wm::Paste);
  EXPECT_EQ(plat::getWindowText(edit), "Z\xFCrich ?\r\ntwo");
  kill(owner.pid, SIGTERM);
  Finish(owner);
  plat::destroyWindow(dialog);
}

}  // namespace
