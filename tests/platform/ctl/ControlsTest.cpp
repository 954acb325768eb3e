// The controls: their main messages and the notifications they send.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

using namespace plat;

namespace {

// What the host window was told: "command <id> <code>", "notify <id> <code>",
// "hscroll <code> <pos>", "vscroll <code> <pos>".
std::vector<std::string> gLog;
LResult gNotifyAnswer = 0;

LResult hostProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::Command:
      gLog.push_back("command " + std::to_string(static_cast<int16_t>(loWord(wp))) + " " + std::to_string(hiWord(wp)));
      return 0;
    case wm::Notify: {
      const NotifyHeader* h = reinterpret_cast<const NotifyHeader*>(lp);
      std::string s = "notify " + std::to_string(h->idFrom) + " " + std::to_string(h->code);
      if (h->code == udn::DeltaPos) s += " delta " + std::to_string(reinterpret_cast<const NmUpDown*>(lp)->delta);
      gLog.push_back(s);
      return gNotifyAnswer;
    }
    case wm::HScroll:
    case wm::VScroll:
      gLog.push_back(std::string(message == wm::HScroll ? "hscroll " : "vscroll ") + std::to_string(loWord(wp)) + " " +
                     std::to_string(static_cast<int16_t>(hiWord(wp))));
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    WindowClass wc;
    wc.name = "CtlHost";
    wc.proc = hostProc;
    registerClass(wc);
    host = createWindow("CtlHost", "host", ws::Popup | ws::Caption | ws::Visible, 0, 0, 400, 300);
    gLog.clear();
    gNotifyAnswer = 0;
  }
  void TearDown() override { test::reset(); }
  Hwnd make(const char* cls, uint32_t style, int id, const char* text = "", Rect r = {10, 10, 110, 30}) {
    Hwnd c = createWindow(cls, text, ws::Child | ws::Visible | style, r.left, r.top, r.width(), r.height(), host, {}, id);
    gLog.clear();
    return c;
  }
  Point centre(Hwnd c) {
    Rect r;
    getClientRect(c, r);
    return test::at(c, {r.width() / 2, r.height() / 2});
  }
  Hwnd host;
};

TEST_F(ControlsTest, AnIconStaticFreesOnlyTheIconItLoaded) {
  const int icons = test::census().icons;
  for (int i = 0; i < 3; ++i) {
    Hwnd s = createWindow(kStaticClass, "icon1", ws::Child | ws::Visible | ss::Icon, 0, 0, 32, 32, host, {}, 50);
    ASSERT_TRUE(s);
    EXPECT_EQ(test::census().icons, icons + 1);
    destroyWindow(s);
  }
  EXPECT_EQ(test::census().icons, icons);
  // An icon set by the caller outlives the control.
  const Hicon own = loadIcon("icon1");
  Hwnd s = createWindow(kStaticClass, "", ws::Child | ws::Visible | ss::Icon, 0, 0, 32, 32, host, {}, 51);
  sendMessage(s, stm::SetIcon, static_cast<WParam>(toParam(own)), 0);
  destroyWindow(s);
  EXPECT_NE(iconImage(own), nullptr);
  destroyIcon(own);
}

TEST_F(ControlsTest, ButtonKindsToggleAndReportClicks) {
  struct Case {
    uint32_t kind;
    std::vector<int> checks;   // after each of three clicks
  };
  const std::vector<Case> cases = {
      {bs::PushButton, {0, 0, 0}},
      {bs::AutoCheckBox, {1, 0, 1}},
      {bs::AutoThreeState, {1, 2, 0}},
      {bs::CheckBox, {0, 0, 0}},   // the owner checks a plain check box
  };
  for (const Case& c : cases) {
    Hwnd b = make(kButtonClass, c.kind, 50, "b");
    for (int k = 0; k < 3; ++k) {
      if (k == 0) sendMessage(b, bm::Click);
      if (k == 1) {
        test::click(test::Button::Left, centre(b));
        test::pump();
      }
      if (k == 2) {
        setFocus(b);
        gLog.erase(std::remove_if(gLog.begin(), gLog.end(), [](const std::string& s) { return s != "command 50 0"; }), gLog.end());
        test::key(vk::Space);
        test::pump();
      }
      EXPECT_EQ(sendMessage(b, bm::GetCheck), c.checks[k]) << "kind " << c.kind << " click " << k;
    }
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "command 50 0"), 3) << "kind " << c.kind;
    destroyWindow(b);
  }
  // A click let go outside the button does nothing.
  Hwnd b = make(kButtonClass, bs::AutoCheckBox, 51, "b");
  Point p = centre(b);
  test::mouseDown(test::Button::Left, p);
  test::mouseUp(test::Button::Left, {p.x + 300, p.y});
  test::pump();
  EXPECT_EQ(sendMessage(b, bm::GetCheck), 0);
  EXPECT_TRUE(gLog.empty());
}

TEST_F(ControlsTest, AutoRadioButtonsCheckOneOfTheirGroup) {
  Hwnd r1 = make(kButtonClass, bs::AutoRadioButton | ws::Group, 61, "1", {10, 10, 60, 20});
  Hwnd r2 = make(kButtonClass, bs::AutoRadioButton, 62, "2", {10, 20, 60, 30});
  Hwnd other = make(kButtonClass, bs::AutoRadioButton | ws::Group, 63, "3", {10, 30, 60, 40});
  // Creation order puts later windows on top; keep them in creation order.
  setWindowPos(r1, kHwndTop, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
  setWindowPos(other, kHwndBottom, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
  sendMessage(other, bm::SetCheck, kBstChecked);
  sendMessage(r1, bm::Click);
  sendMessage(r2, bm::Click);
  EXPECT_EQ(sendMessage(r1, bm::GetCheck), kBstUnchecked);
  EXPECT_EQ(sendMessage(r2, bm::GetCheck), kBstChecked);
  EXPECT_EQ(sendMessage(other, bm::GetCheck), kBstChecked);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 61 0", "command 62 0"}));
}

TEST_F(ControlsTest, EditTypingSelectionLimitAndReadOnly) {
  Hwnd e = make(kEditClass, ws::TabStop, 70);
  setFocus(e);
  gLog.clear();
  test::typeText("ab");
  test::pump();
  EXPECT_EQ(getWindowText(e), "ab");
  EXPECT_EQ(sendMessage(e, em::GetModify), 1);
  // Each character: update, then change.
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 70 1024", "command 70 768", "command 70 1024", "command 70 768"}));
  // Shift+Left selects, typing replaces the selection.
  test::key(vk::Left, test::kShift);
  test::typeText("X");
  test::pump();
  EXPECT_EQ(getWindowText(e), "aX");
  // The limit cuts insertions and says so.
  sendMessage(e, em::LimitText, 3);
  gLog.clear();
  sendMessage(e, em::ReplaceSel, 1, reinterpret_cast<LParam>("123"));
  EXPECT_EQ(getWindowText(e), "aX1");
  EXPECT_EQ(gLog.front(), "command 70 1281");
  // Read-only text changes only from the program.
  sendMessage(e, em::SetReadOnly, 1);
  test::typeText("z");
  test::key(vk::Back);
  test::pump();
  EXPECT_EQ(getWindowText(e), "aX1");
  setWindowText(e, "set");
  EXPECT_EQ(getWindowText(e), "set");
  EXPECT_EQ(sendMessage(e, em::GetModify), 0);
}

TEST_F(ControlsTest, EditUndoIsOneStepAndTheClipboardKeysWork) {
  Hwnd e = make(kEditClass, 0, 71);
  setFocus(e);
  test::typeText("one two");
  test::pump();
  sendMessage(e, em::SetSel, 0, 3);
  test::typeText("1");
  test::pump();
  EXPECT_EQ(getWindowText(e), "1 two");
  sendMessage(e, wm::Undo);
  EXPECT_EQ(getWindowText(e), "one two");
  sendMessage(e, wm::Undo);   // undoing the undo
  EXPECT_EQ(getWindowText(e), "1 two");
  // Ctrl+C, Ctrl+X and Ctrl+V through the clipboard.
  sendMessage(e, em::SetSel, 2, -1);
  test::key('C', test::kCtrl);
  test::key('X', test::kCtrl);
  test::pump();
  EXPECT_EQ(getWindowText(e), "1 ");
  ASSERT_TRUE(openClipboard({}));
  std::string clip;
  EXPECT_TRUE(getClipboardData(kCfText, clip));
  closeClipboard();
  EXPECT_EQ(clip, "two");
  test::key('V', test::kCtrl);
  test::key('V', test::kCtrl);
  test::pump();
  EXPECT_EQ(getWindowText(e), "1 twotwo");
  // Ctrl+A selects the whole text: typing replaces it.
  test::key('A', test::kCtrl);
  test::typeText("new");
  test::pump();
  EXPECT_EQ(getWindowText(e), "new");
  // A single-line edit pastes only the first line.
  openClipboard({});
  emptyClipboard();
  setClipboardData(kCfText, "a\r\nb");
  closeClipboard();
  setWindowText(e, "");
  sendMessage(e, wm::Paste);
  EXPECT_EQ(getWindowText(e), "a");
}

TEST_F(ControlsTest, MultiLineEditKeepsLinesAndWantsReturnOnlyWhenAsked) {
  Hwnd e = make(kEditClass, es::MultiLine | es::WantReturn, 72, "", {10, 10, 200, 100});
  setWindowText(e, "first\r\nsecond");
  EXPECT_EQ(sendMessage(e, em::GetLineCount), 2);
  EXPECT_EQ(sendMessage(e, em::LineIndex, 1), 7);
  EXPECT_EQ(sendMessage(e, em::LineLength, 8), 6);
  EXPECT_EQ(sendMessage(e, em::LineFromChar, 9), 1);
  Msg enter;
  enter.hwnd = e;
  enter.message = wm::KeyDown;
  enter.wParam = vk::Return;
  EXPECT_TRUE(sendMessage(e, wm::GetDlgCode, vk::Return, reinterpret_cast<LParam>(&enter)) & dlgc::WantAllKeys);
  Hwnd plain = make(kEditClass, es::MultiLine, 73, "", {10, 110, 200, 150});
  Msg enter2;
  enter2.hwnd = plain;
  enter2.message = wm::KeyDown;
  enter2.wParam = vk::Return;
  EXPECT_FALSE(sendMessage(plain, wm::GetDlgCode, vk::Return, reinterpret_cast<LParam>(&enter2)) & dlgc::WantAllKeys);
  setFocus(e);
  sendMessage(e, em::SetSel, 5, 5);
  test::key(vk::Return);
  test::pump();
  EXPECT_EQ(getWindowText(e), "first\r\n\r\nsecond");
}

TEST_F(ControlsTest, EditCanBeSuperclassed) {
  WindowClass edit;
  ASSERT_TRUE(getClassInfo(kEditClass, edit));
  static WndProc base = edit.proc;
  WindowClass sub = edit;
  sub.name = "DIGITEDIT";
  sub.proc = [](Hwnd w, uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == wm::Char && wp >= 32 && (wp < '0' || wp > '9')) return 0;
    return callWindowProc(base, w, m, wp, lp);
  };
  ASSERT_TRUE(registerClass(sub));
  Hwnd e = make("DIGITEDIT", 0, 74);
  setFocus(e);
  test::typeText("1a2");
  test::pump();
  EXPECT_EQ(getWindowText(e), "12");
}

// Selected text stands inside its highlight: a glyph whose stroke lies on
// its cell's left edge still has highlight before it, so the highlight's
// left edge is straight and no stroke runs into the field's background.
TEST_F(ControlsTest, SelectedTextStartsInsideItsHighlight) {
  const uint32_t highlight = pixelFromColor(sysColor(SysColor::kHighlight));
  int id = 75;
  for (const char* text : {"5", "Quillon", "E", "|l|"}) {
    SCOPED_TRACE(text);
    Hwnd e = make(kEditClass, ws::Border | es::NoHideSel, id++, text, {10, 40, 110, 62});
    sendMessage(e, em::SetSel, 0, -1);
    updateWindow(e);
    Surface pic;
    ASSERT_TRUE(test::windowPicture(e, false, pic));
    int left = -1, rows = 0;
    for (int y = 0; y < pic.height; ++y) {
      int first = -1;
      for (int x = 0; x < pic.width && first < 0; ++x)
        if (pic.at(x, y) == highlight) first = x;
      if (first < 0) continue;
      ++rows;
      if (left < 0) left = first;
      EXPECT_EQ(first, left) << "row " << y;
    }
    EXPECT_GT(rows, 8);
    destroyWindow(e);
  }
}

// A list shows whole rows unless its style says otherwise, also after its
// font, row height or size change.
TEST_F(ControlsTest, ListBoxesShowWholeRows) {
  Hwnd l = make(kListBoxClass, ws::Border, 81, "", {10, 10, 110, 110});
  Hwnd free = make(kListBoxClass, ws::Border | lbs::NoIntegralHeight, 82, "", {120, 10, 220, 110});
  const int row = static_cast<int>(sendMessage(l, lb::GetItemHeight));
  ASSERT_GT(row, 0);
  auto clientHeight = [](Hwnd w) {
    Rect c;
    getClientRect(w, c);
    return c.height();
  };
  EXPECT_EQ(clientHeight(l) % row, 0);
  EXPECT_EQ(clientHeight(l), (98 / row) * row);
  EXPECT_EQ(clientHeight(free), 98);
  sendMessage(l, lb::SetItemHeight, 0, 30);
  EXPECT_EQ(clientHeight(l), 90);
  moveWindow(l, 10, 10, 100, 75, true);
  EXPECT_EQ(clientHeight(l), 60);
  moveWindow(l, 10, 10, 100, 20, true);   // lower than a row: kept
  EXPECT_EQ(clientHeight(l), 18);
}

TEST_F(ControlsTest, ListBoxSelectionFindAndNotifications) {
  Hwnd l = make(kListBoxClass, lbs::Notify | lbs::Sort, 80, "", {10, 10, 110, 110});
  for (const char* t : {"pear", "Apple", "fig"}) sendMessage(l, lb::AddString, 0, reinterpret_cast<LParam>(t));
  char buf[16];
  sendMessage(l, lb::GetText, 0, reinterpret_cast<LParam>(buf));
  EXPECT_STREQ(buf, "Apple");
  EXPECT_EQ(sendMessage(l, lb::FindStringExact, static_cast<WParam>(-1), reinterpret_cast<LParam>("FIG")), 1);
  EXPECT_EQ(sendMessage(l, lb::FindString, static_cast<WParam>(-1), reinterpret_cast<LParam>("p")), 2);
  EXPECT_EQ(sendMessage(l, lb::GetCurSel), kLbErr);
  EXPECT_EQ(sendMessage(l, lb::SetCurSel, 9), kLbErr);
  setFocus(l);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 80 4"}));
  gLog.clear();
  test::key(vk::Down);
  test::key(vk::Down);
  test::pump();
  EXPECT_EQ(sendMessage(l, lb::GetCurSel), 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 80 1", "command 80 1"}));
  gLog.clear();
  test::doubleClick(test::Button::Left, test::at(l, {5, 2}));
  test::pump();
  EXPECT_EQ(sendMessage(l, lb::GetCurSel), 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 80 1", "command 80 2"}));
  EXPECT_EQ(sendMessage(l, lb::DeleteString, 0), 2);
  EXPECT_EQ(sendMessage(l, lb::GetCurSel), kLbErr);
}

TEST_F(ControlsTest, DropDownListChoosesWithKeysAndTheDroppedList) {
  Hwnd c = make(kComboBoxClass, cbs::DropDownList, 90, "", {10, 10, 110, 110});
  for (const char* t : {"red", "green", "blue"}) sendMessage(c, cb::AddString, 0, reinterpret_cast<LParam>(t));
  setFocus(c);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 90 3"}));
  gLog.clear();
  test::key(vk::Down);
  test::pump();
  EXPECT_EQ(sendMessage(c, cb::GetCurSel), 0);
  EXPECT_EQ(getWindowText(c), "red");
  test::key(vk::fn(4));
  test::pump();
  EXPECT_EQ(sendMessage(c, cb::GetDroppedState), 1);
  test::key(vk::Down);
  test::key(vk::Return);
  test::pump();
  EXPECT_EQ(sendMessage(c, cb::GetDroppedState), 0);
  EXPECT_EQ(sendMessage(c, cb::GetCurSel), 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 90 1", "command 90 7", "command 90 1", "command 90 9", "command 90 8"}));
  // Esc while dropped down puts the old choice back.
  gLog.clear();
  sendMessage(c, cb::ShowDropDown, 1);
  test::key(vk::Down);
  test::key(vk::Escape);
  test::pump();
  EXPECT_EQ(sendMessage(c, cb::GetCurSel), 1);
  EXPECT_EQ(gLog.back(), "command 90 8");
  // The closed combo box has the height of its field; the list takes the template's.
  Rect closed, dropped;
  getWindowRect(c, closed);
  sendMessage(c, cb::GetDroppedControlRect, 0, reinterpret_cast<LParam>(&dropped));
  EXPECT_LT(closed.height(), 40);
  EXPECT_EQ(dropped.height(), 100);
}

TEST_F(ControlsTest, DropDownWithEditReportsTypingAndFocus) {
  Hwnd c = make(kComboBoxClass, cbs::DropDown, 91, "", {10, 10, 110, 110});
  for (const char* t : {"alpha", "beta"}) sendMessage(c, cb::AddString, 0, reinterpret_cast<LParam>(t));
  setFocus(c);
  EXPECT_EQ(getWindowId(getFocus()), kComboEditId);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 91 3"}));
  gLog.clear();
  test::typeText("x");
  test::pump();
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 91 6", "command 91 5"}));
  EXPECT_EQ(getWindowText(c), "x");
  EXPECT_EQ(sendMessage(c, cb::GetCurSel), -1);
  sendMessage(c, cb::SetCurSel, 1);
  EXPECT_EQ(getWindowText(c), "beta");
}

TEST_F(ControlsTest, ScrollInfoKeepsThePositionInRange) {
  Hwnd s = make(kScrollBarClass, sbs::Vert, 100, "", {10, 10, 27, 210});
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos;
  si.min = 0;
  si.max = 99;
  si.page = 10;
  si.pos = 500;
  EXPECT_EQ(setScrollInfo(s, kSbCtl, si, true), 90);   // max - (page - 1)
  EXPECT_EQ(setScrollPos(s, kSbCtl, -5, true), 90);
  EXPECT_EQ(getScrollPos(s, kSbCtl), 0);
  // Nothing to scroll: with DisableNoScroll the bar is disabled.
  ScrollInfo none;
  none.mask = sif::Range | sif::Page | sif::DisableNoScroll;
  none.max = 5;
  none.page = 10;
  setScrollInfo(host, kSbVert, none, false);
  EXPECT_TRUE(scrollBarDisabled(host, kSbVert));
  // A click on the lower arrow asks the parent for a line down, then ends.
  test::click(test::Button::Left, test::at(s, {8, 195}));
  test::pump();
  EXPECT_EQ(gLog, (std::vector<std::string>{"vscroll 1 0", "vscroll 8 0"}));
}

TEST_F(ControlsTest, ProgressBarRangePositionAndStep) {
  Hwnd p = make(kProgressClass, 0, 110);
  EXPECT_EQ(sendMessage(p, pbm::SetRange, 0, makeLParam(10, 90)), makeLParam(0, 100));
  EXPECT_EQ(sendMessage(p, pbm::GetPos), 10);
  EXPECT_EQ(sendMessage(p, pbm::SetPos, 200), 10);
  EXPECT_EQ(sendMessage(p, pbm::GetPos), 90);
  sendMessage(p, pbm::SetPos, 85);
  sendMessage(p, pbm::SetStep, 10);
  sendMessage(p, pbm::StepIt);
  EXPECT_EQ(sendMessage(p, pbm::GetPos), 15);   // past the end it starts over
  EXPECT_EQ(sendMessage(p, pbm::DeltaPos, 5), 15);
  EXPECT_EQ(sendMessage(p, pbm::GetRange, 1), 10);
}

TEST_F(ControlsTest, UpDownStepsItsBuddyAndAcceleratesWithTheClock) {
  Hwnd e = make(kEditClass, 0, 120, "", {10, 10, 110, 30});
  Hwnd u = make(kUpDownClass, uds::AlignRight | uds::SetBuddyInt | uds::ArrowKeys, 121, "", {0, 0, 16, 20});
  sendMessage(u, udm::SetBuddy, toParam(e));
  Rect er, ur;
  getWindowRect(e, er);
  getWindowRect(u, ur);
  EXPECT_EQ(er.right, ur.left);   // placed at the buddy's right edge, the buddy narrower
  EXPECT_EQ(ur.right - er.left, 100);
  sendMessage(u, udm::SetRange32, 0, 50);
  gLog.clear();
  // Up button: one step of 1.
  Point up = test::at(u, {8, 3});
  test::mouseDown(test::Button::Left, up);
  test::pump();
  EXPECT_EQ(getWindowText(e), "1");
  // Held: repeats, and from two seconds on in steps of 5.
  for (int t = 0; t < 25; ++t) {
    test::advance(100);
    test::pump();
  }
  test::mouseUp(test::Button::Left, up);
  test::pump();
  // The buddy's own text notifications aside.
  gLog.erase(std::remove_if(gLog.begin(), gLog.end(), [](const std::string& s) { return s.rfind("command", 0) == 0; }),
             gLog.end());
  ASSERT_GE(gLog.size(), 4u);
  EXPECT_EQ(gLog[0], "notify 121 -1300 delta 1");
  EXPECT_EQ(gLog[1], "vscroll 4 1");
  EXPECT_NE(std::find(gLog.begin(), gLog.end(), "notify 121 -1300 delta 5"), gLog.end());
  EXPECT_EQ(gLog.back(), "vscroll 8 " + getWindowText(e));
  // The parent may refuse a step.
  gNotifyAnswer = 1;
  const std::string before = getWindowText(e);
  setFocus(e);
  test::key(vk::Down);
  test::pump();
  EXPECT_EQ(getWindowText(e), before);
  gNotifyAnswer = 0;
  test::key(vk::Down);
  test::pump();
  EXPECT_EQ(std::stoi(getWindowText(e)), std::stoi(before) - 1);
}

// A button held with no release ever coming: the repeat runs on the clock
// for a bounded time, then the wait fails instead of stepping for ever.
TEST_F(ControlsTest, AHeldUpDownWithNoReleaseEndsTheWait) {
  Hwnd u = make(kUpDownClass, 0, 122, "", {0, 0, 16, 20});
  sendMessage(u, udm::SetRange32, INT_MIN, INT_MAX);
  test::mouseDown(test::Button::Left, test::at(u, {8, 3}));
  ModalLoop loop;
  EXPECT_THROW(runModalLoop(loop), FatalError);
  EXPECT_LE(test::now(), 11u * 60 * 1000);
  EXPECT_GT(std::count_if(gLog.begin(), gLog.end(), [](const std::string& s) { return s.rfind("vscroll 4", 0) == 0; }),
            1000);
}

TEST_F(ControlsTest, TabSelectionCanBeRefusedAndCarriesItemData) {
  Hwnd t = make(kTabClass, 0, 130, "", {10, 10, 300, 200});
  for (int i = 0; i < 3; ++i) {
    TcItem it;
    it.mask = tcif::Text | tcif::Param;
    it.text = "Page " + std::to_string(i + 1);
    const int32_t data[2] = {121 + i, i == 2 ? 1 : 0};
    std::memcpy(it.data.data(), data, 8);
    EXPECT_EQ(sendMessage(t, tcm::InsertItem, static_cast<WParam>(i), reinterpret_cast<LParam>(&it)), i);
  }
  EXPECT_EQ(sendMessage(t, tcm::GetCurSel), 0);
  TcItem got;
  got.mask = tcif::Param | tcif::Text;
  sendMessage(t, tcm::GetItem, 2, reinterpret_cast<LParam>(&got));
  int32_t data[2];
  std::memcpy(data, got.data.data(), 8);
  EXPECT_EQ(data[0], 123);
  EXPECT_EQ(data[1], 1);
  EXPECT_EQ(got.text, "Page 3");
  Rect item;
  sendMessage(t, tcm::GetItemRect, 1, reinterpret_cast<LParam>(&item));
  test::click(test::Button::Left, test::at(t, {item.left + 4, item.top + 4}));
  test::pump();
  EXPECT_EQ(sendMessage(t, tcm::GetCurSel), 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"notify 130 -1400", "notify 130 -1401"}));
  gLog.clear();
  gNotifyAnswer = 1;
  test::key(vk::Right);
  test::pump();
  EXPECT_EQ(sendMessage(t, tcm::GetCurSel), 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"notify 130 -1400"}));
  Rect area{0, 0, 300, 200};
  sendMessage(t, tcm::AdjustRect, 0, reinterpret_cast<LParam>(&area));
  EXPECT_GT(area.top, item.bottom - 1);
  Rect back = area;
  sendMessage(t, tcm::AdjustRect, 1, reinterpret_cast<LParam>(&back));
  EXPECT_EQ(back, (Rect{0, 0, 300, 200}));
}

TEST_F(ControlsTest, HeaderDividerDragAndItemClick) {
  Hwnd h = make(kHeaderClass, hds::Buttons, 140, "", {0, 0, 300, 20});
  for (int i = 0; i < 2; ++i) {
    HdItem it;
    it.mask = hdi::Text | hdi::Width;
    it.text = i ? "B" : "A";
    it.cxy = 60;
    sendMessage(h, hdm::InsertItem, static_cast<WParam>(i), reinterpret_cast<LParam>(&it));
  }
  test::mouseDown(test::Button::Left, test::at(h, {60, 5}));
  test::mouseMove(test::at(h, {80, 5}));
  test::mouseUp(test::Button::Left, test::at(h, {90, 5}));
  test::pump();
  HdItem got;
  got.mask = hdi::Width;
  sendMessage(h, hdm::GetItem, 0, reinterpret_cast<LParam>(&got));
  EXPECT_EQ(got.cxy, 90);
  EXPECT_EQ(gLog, (std::vector<std::string>{"notify 140 -1504", "notify 140 -1506", "notify 140 -1505",
                                            "notify 140 -1500", "notify 140 -1501"}));
  gLog.clear();
  test::click(test::Button::Left, test::at(h, {120, 5}));
  test::pump();
  EXPECT_EQ(gLog, (std::vector<std::string>{"notify 140 -1502"}));
}

TEST_F(ControlsTest, TrackbarKeysReportMovesToTheParent) {
  Hwnd t = make(kTrackbarClass, tbs::EnableSelRange, 150, "", {10, 10, 210, 40});
  sendMessage(t, tbm::SetRange, 0, makeLParam(0, 10));
  sendMessage(t, tbm::SetPageSize, 0, 4);
  setFocus(t);
  gLog.clear();
  test::key(vk::Right);
  test::key(vk::Next);
  test::key(vk::End);
  test::key(vk::Home);
  test::pump();
  EXPECT_EQ(gLog, (std::vector<std::string>{"hscroll 1 1", "hscroll 8 1", "hscroll 3 5", "hscroll 8 5", "hscroll 7 10",
                                            "hscroll 8 10", "hscroll 6 0", "hscroll 8 0"}));
  sendMessage(t, tbm::SetSel, 0, makeLParam(2, 6));
  EXPECT_EQ(sendMessage(t, tbm::GetSelStart), 2);
  EXPECT_EQ(sendMessage(t, tbm::GetSelEnd), 6);
  sendMessage(t, tbm::SetTicFreq, 3);
  EXPECT_EQ(sendMessage(t, tbm::GetNumTics), 5);
}

TEST_F(ControlsTest, TreeViewSelectsAndExpandsByKeyboard) {
  Hwnd tv = make(kTreeViewClass, tvs::HasButtons | tvs::LinesAtRoot, 160, "", {10, 10, 210, 210});
  auto add = [&](HTreeItem parent, const char* text, LParam value) {
    TvInsert in;
    in.parent = parent;
    in.item.mask = tvif::Text | tvif::Param;
    in.item.text = text;
    in.item.param = value;
    return static_cast<HTreeItem>(sendMessage(tv, tvm::InsertItem, 0, reinterpret_cast<LParam>(&in)));
  };
  HTreeItem a = add(kTviRoot, "A", 1);
  HTreeItem a1 = add(a, "A1", 11);
  HTreeItem b = add(kTviRoot, "B", 2);
  EXPECT_EQ(sendMessage(tv, tvm::GetCount), 3);
  EXPECT_EQ(static_cast<HTreeItem>(sendMessage(tv, tvm::GetNextItem, kTvgnNext, static_cast<LParam>(a))), b);
  sendMessage(tv, tvm::SelectItem, kTvgnCaret, static_cast<LParam>(a));
  setFocus(tv);
  gLog.clear();
  test::key(vk::Right);   // expands
  test::key(vk::Right);   // into the child
  test::pump();
  EXPECT_EQ(static_cast<HTreeItem>(sendMessage(tv, tvm::GetNextItem, kTvgnCaret, 0)), a1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"notify 160 -1602", "notify 160 -1603", "notify 160 -1600", "notify 160 -1601"}));
  TvItem it;
  it.item = a1;
  it.mask = tvif::Param;
  sendMessage(tv, tvm::GetItem, 0, reinterpret_cast<LParam>(&it));
  EXPECT_EQ(it.param, 11);
  // Collapsing the parent moves the selection up to it.
  sendMessage(tv, tvm::Expand, kTveCollapse, static_cast<LParam>(a));
  EXPECT_EQ(static_cast<HTreeItem>(sendMessage(tv, tvm::GetNextItem, kTvgnCaret, 0)), a);
}

}  // namespace
