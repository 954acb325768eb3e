// The dialog manager: templates, keyboard navigation, the default button,
// modal runs.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/dlg/Dialog.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

using namespace plat;

namespace {

constexpr const char* kTemplates = R"(
DIALOG 300
  CAPTION "Navigation"
  STYLE POPUP CAPTION SYSMENU VISIBLE
  FONT 8 "MS Sans Serif"
  RECT 10 10 200 120
  CONTROL EDIT 1001 "" 8 8 80 12 TABSTOP GROUP BORDER
  CONTROL EDIT 1002 "" 8 24 80 12 TABSTOP BORDER
  CONTROL BUTTON 1010 "A" 8 40 40 10 AUTORADIOBUTTON GROUP TABSTOP
  CONTROL BUTTON 1011 "B" 8 52 40 10 AUTORADIOBUTTON
  CONTROL BUTTON 1012 "C" 8 64 40 10 AUTORADIOBUTTON
  CONTROL BUTTON 1020 "Check" 8 78 60 10 AUTOCHECKBOX TABSTOP GROUP
  CONTROL STATIC -1 "Label" 100 8 40 8
  CONTROL BUTTON 1 "OK" 100 90 40 14 DEFPUSHBUTTON TABSTOP GROUP
  CONTROL BUTTON 2 "Cancel" 150 90 40 14 PUSHBUTTON TABSTOP
END
DIALOG 310
  CAPTION "Outer"
  STYLE POPUP CAPTION SYSMENU
  FONT 8 "MS Sans Serif"
  RECT 0 0 120 60
  CONTROL BUTTON 100 "Nested" 8 8 50 14 DEFPUSHBUTTON TABSTOP
  CONTROL BUTTON 2 "Cancel" 60 8 50 14 PUSHBUTTON TABSTOP
END
DIALOG 311
  CAPTION "Inner"
  STYLE POPUP CAPTION SYSMENU
  FONT 8 "MS Sans Serif"
  RECT 0 0 120 60
  CONTROL EDIT 1001 "" 8 8 60 12 TABSTOP BORDER
  CONTROL BUTTON 1 "OK" 8 30 50 14 DEFPUSHBUTTON TABSTOP
END
)";

std::vector<std::string> gLog;

std::string idOf(LParam ctl) { return std::to_string(getWindowId(handleFrom<Hwnd>(ctl))); }

intptr_t loggingProc(Hwnd, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::InitDialog) {
    gLog.push_back("init focus " + idOf(static_cast<LParam>(wp)));
    return 1;
  }
  if (message == wm::Command) {
    gLog.push_back("command " + std::to_string(loWord(wp)) + " code " + std::to_string(hiWord(wp)));
    return 1;
  }
  if (message == wm::Help) {
    gLog.push_back("help " + std::to_string(reinterpret_cast<const HelpInfo*>(lp)->ctrlId));
    return 1;
  }
  return 0;
}

void pumpDialog(Hwnd dlg) {
  Msg m;
  while (peekMessage(m, {}, 0, 0, kPmRemove)) {
    if (!isDialogMessage(dlg, m)) {
      translateMessage(m);
      dispatchMessage(m);
    }
  }
}

class DialogManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    res::pushOverlay(kTemplates, "dialogs");
    gLog.clear();
  }
  void TearDown() override { test::reset(); }
};

TEST_F(DialogManagerTest, ControlsComeInTemplateOrderWithDialogUnitsOfTheFont) {
  Hwnd dlg = createDialogParam(300, {}, loggingProc);
  ASSERT_TRUE(dlg);
  std::vector<intptr_t> ids;
  for (Hwnd c : childWindows(dlg)) ids.push_back(getWindowId(c));
  EXPECT_EQ(ids, (std::vector<intptr_t>{1001, 1002, 1010, 1011, 1012, 1020, -1, 1, 2}));
  Rect unit{8, 24, 8 + 80, 24 + 12};
  ASSERT_TRUE(mapDialogRect(dlg, unit));
  Rect got;
  getWindowRect(getDlgItem(dlg, 1002), got);
  got = mapWindowRect({}, dlg, got);
  EXPECT_EQ(got, unit);
  const LParam base = dialogBaseUnits(dlg);
  EXPECT_GT(loWord(static_cast<uintptr_t>(base)), 3);
  EXPECT_GT(hiWord(static_cast<uintptr_t>(base)), 8);
  // A missing template or an unknown control class makes no dialog.
  EXPECT_FALSE(createDialogParam(399, {}, loggingProc));
  res::pushOverlay("DIALOG 320\n  STYLE POPUP\n  RECT 0 0 50 50\n  CONTROL NOSUCHCLASS 5 \"\" 0 0 10 10\nEND\n", "bad");
  EXPECT_FALSE(createDialogParam(320, {}, loggingProc));
}

TEST_F(DialogManagerTest, KeyboardNavigationGivesTheNotificationsInOrder) {
  Hwnd dlg = createDialogParam(300, {}, loggingProc);
  ASSERT_TRUE(dlg);
  pumpDialog(dlg);
  EXPECT_EQ(getWindowId(getFocus()), 1001);
  struct Step {
    uint32_t key;
    unsigned mods;
    intptr_t focus;
    std::vector<std::string> log;
  };
  const std::vector<Step> steps = {
      {vk::Tab, test::kNone, 1002, {"command 1001 code 512", "command 1002 code 256"}},
      // No radio button checked: the group's tab stop.
      {vk::Tab, test::kNone, 1010, {"command 1002 code 512"}},
      // Arrows move within the group and click automatic radio buttons.
      {vk::Down, test::kNone, 1011, {"command 1011 code 0"}},
      {vk::Down, test::kNone, 1012, {"command 1012 code 0"}},
      {vk::Down, test::kNone, 1010, {"command 1010 code 0"}},
      {vk::Up, test::kNone, 1012, {"command 1012 code 0"}},
      {vk::Tab, test::kNone, 1020, {}},
      // Back into the group: its checked button.
      {vk::Tab, test::kShift, 1012, {}},
      {vk::Return, test::kNone, 1012, {"command 1 code 0"}},
      {vk::Escape, test::kNone, 1012, {"command 2 code 0"}},
      {vk::F1, test::kNone, 1012, {"help 1012"}},
      // From the last tab stop round to the first.
      {vk::Tab, test::kShift, 1002, {"command 1002 code 256"}},
      {vk::Tab, test::kShift, 1001, {"command 1002 code 512", "command 1001 code 256"}},
      {vk::Tab, test::kShift, 2, {"command 1001 code 512"}},
      {vk::Return, test::kNone, 2, {"command 2 code 0"}},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    gLog.clear();
    test::key(steps[i].key, steps[i].mods);
    pumpDialog(dlg);
    EXPECT_EQ(getWindowId(getFocus()), steps[i].focus) << "step " << i;
    EXPECT_EQ(gLog, steps[i].log) << "step " << i;
  }
  EXPECT_EQ(isDlgButtonChecked(dlg, 1012), kBstChecked);
  EXPECT_EQ(isDlgButtonChecked(dlg, 1010), kBstUnchecked);
}

TEST_F(DialogManagerTest, DefaultButtonLookFollowsTheFocus) {
  Hwnd dlg = createDialogParam(300, {}, loggingProc);
  pumpDialog(dlg);
  auto kind = [&](int id) { return getWindowStyle(getDlgItem(dlg, id)) & bs::TypeMask; };
  EXPECT_EQ(kind(1), bs::DefPushButton);
  sendMessage(dlg, wm::NextDlgCtl, toParam(getDlgItem(dlg, 2)), 1);
  EXPECT_EQ(kind(2), bs::DefPushButton);
  EXPECT_EQ(kind(1), bs::PushButton);
  sendMessage(dlg, wm::NextDlgCtl, toParam(getDlgItem(dlg, 1)), 1);
  EXPECT_EQ(kind(1), bs::DefPushButton);
  EXPECT_EQ(kind(2), bs::PushButton);
  sendMessage(dlg, wm::NextDlgCtl, toParam(getDlgItem(dlg, 2)), 1);
  sendMessage(dlg, wm::NextDlgCtl, toParam(getDlgItem(dlg, 1001)), 1);
  EXPECT_EQ(kind(1), bs::DefPushButton);
  EXPECT_EQ(kind(2), bs::PushButton);
  EXPECT_EQ(sendMessage(dlg, dm::GetDefId), makeLParam(1, kDcHasDefId));
  // A disabled default button is not pressed by Enter.
  enableWindow(getDlgItem(dlg, 1), false);
  gLog.clear();
  test::key(vk::Return);
  pumpDialog(dlg);
  EXPECT_TRUE(gLog.empty());
}

TEST_F(DialogManagerTest, FocusChangesNameTheOtherWindow) {
  Hwnd dlg = createDialogParam(300, {}, loggingProc);
  pumpDialog(dlg);
  test::MessageLog log([](const test::LoggedMessage& m) { return m.message == wm::KillFocus || m.message == wm::SetFocus; });
  Hwnd a = getDlgItem(dlg, 1001), b = getDlgItem(dlg, 1002);
  test::key(vk::Tab);
  pumpDialog(dlg);
  ASSERT_EQ(log.messages().size(), 2u);
  EXPECT_EQ(log.messages()[0].hwnd, a);
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[0].wParam), b);
  EXPECT_EQ(log.messages()[1].hwnd, b);
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[1].wParam), a);
}

TEST_F(DialogManagerTest, CloseBoxIsCancel) {
  Hwnd dlg = createDialogParam(300, {}, loggingProc);
  pumpDialog(dlg);
  gLog.clear();
  test::clickCloseBox(dlg);
  pumpDialog(dlg);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 2 code 0"}));
  EXPECT_TRUE(isWindow(dlg));
}

// Nested modal dialogs: the inner one ends first, each with its own result.
std::deque<uint32_t> gKeys;
Hwnd gOuter;

intptr_t innerProc(Hwnd dlg, uint32_t message, WParam wp, LParam) {
  if (message == wm::InitDialog) return 1;
  if (message == wm::Command && loWord(wp) == 1) {
    EXPECT_FALSE(isWindowEnabled(gOuter));   // the owner waits while the inner dialog runs
    gLog.push_back("inner ends");
    endDialog(dlg, 7);
    return 1;
  }
  return 0;
}

intptr_t outerProc(Hwnd dlg, uint32_t message, WParam wp, LParam) {
  if (message == wm::InitDialog) {
    gOuter = dlg;
    return 1;
  }
  if (message != wm::Command) return 0;
  if (loWord(wp) == 100) {
    const intptr_t r = dialogBoxParam(311, dlg, innerProc);
    gLog.push_back("inner returned " + std::to_string(r));
    EXPECT_TRUE(isWindowEnabled(dlg));
  } else if (loWord(wp) == 2) {
    gLog.push_back("outer ends");
    endDialog(dlg, 2);
  }
  return 1;
}

TEST_F(DialogManagerTest, NestedModalDialogsEndInOrder) {
  Hwnd frame = createWindow("#32770", "owner", ws::Popup | ws::Caption | ws::Visible, 0, 0, 300, 200);
  ASSERT_TRUE(frame);
  gKeys = {vk::Return, vk::Return, vk::Escape};
  setIdleHook([] {
    if (gKeys.empty()) return false;
    test::key(gKeys.front());
    gKeys.pop_front();
    return true;
  });
  const intptr_t r = dialogBoxParam(310, frame, outerProc);
  setIdleHook({});
  EXPECT_EQ(r, 2);
  EXPECT_EQ(gLog, (std::vector<std::string>{"inner ends", "inner returned 7", "outer ends"}));
  EXPECT_FALSE(isWindow(gOuter));
  EXPECT_TRUE(isWindowEnabled(frame));
  EXPECT_EQ(modalLoopDepth(), 0);
  // A modal dialog with nothing to drive it fails loudly instead of waiting,
  // also while a periodic timer of its owner keeps the loop busy.
  EXPECT_THROW(dialogBoxParam(311, frame, innerProc), FatalError);
  setTimer(frame, 1, 100);
  try {
    dialogBoxParam(311, frame, innerProc);
    FAIL() << "the dialog returned";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "event loop starved");
  }
  EXPECT_LE(test::now(), 11u * 60 * 1000);
}

TEST_F(DialogManagerTest, HelpersReachControlsById) {
  Hwnd dlg = createDialogParam(300, {}, loggingProc);
  EXPECT_TRUE(setDlgItemInt(dlg, 1001, -42));
  bool ok = false;
  EXPECT_EQ(getDlgItemInt(dlg, 1001, &ok), -42);
  EXPECT_TRUE(ok);
  setDlgItemText(dlg, 1002, "12x");
  getDlgItemInt(dlg, 1002, &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(checkRadioButton(dlg, 1010, 1012, 1011));
  EXPECT_EQ(isDlgButtonChecked(dlg, 1011), kBstChecked);
  EXPECT_EQ(isDlgButtonChecked(dlg, 1012), kBstUnchecked);
  EXPECT_EQ(getNextDlgGroupItem(dlg, getDlgItem(dlg, 1012), false), getDlgItem(dlg, 1010));
}

}  // namespace
