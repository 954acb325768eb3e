// The status bar and the toolbar.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

std::string tooltipAnswer;
LResult parentProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == wm::Notify) {
    auto* t = reinterpret_cast<ToolTipText*>(lp);
    if (t->hdr.code == kTtnNeedText && !tooltipAnswer.empty()) {
      std::strncpy(t->text, tooltipAnswer.c_str(), sizeof t->text - 1);
      return 0;
    }
  }
  return defWindowProc(w, m, wp, lp);
}

class BarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    tooltipAnswer.clear();
    WindowClass wc;
    wc.name = "Parent";
    wc.proc = parentProc;
    registerClass(wc);
    parent = createWindow("Parent", "", ws::OverlappedWindow | ws::Visible, 0, 0, 500, 300);
    getClientRect(parent, pc);
  }
  void TearDown() override { test::reset(); }
  Hwnd parent;
  Rect pc;
};

TEST_F(BarsTest, StatusBarPlacesItselfAtTheBottomOfItsParent) {
  Hwnd sb = createWindow(kStatusBarClass, "", ws::Child | ws::Visible, 0, 0, pc.right, 10, parent, {}, 999);
  sendMessage(sb, wm::Size, 0, 0);
  Rect r;
  getWindowRect(sb, r);
  EXPECT_EQ(screenToClient(parent, {r.left, r.top}), (Point{0, pc.bottom - 20}));
  EXPECT_EQ(r.width(), pc.right);
  EXPECT_EQ(r.height(), 20);
}

TEST_F(BarsTest, StatusBarPartsTextsAndSimpleMode) {
  Hwnd sb = createWindow(kStatusBarClass, "", ws::Child | ws::Visible, 0, 0, pc.right, 20, parent, {}, 999);
  int edges[] = {100, 300, -1};
  ASSERT_TRUE(sendMessage(sb, sb::SetParts, 3, reinterpret_cast<LParam>(edges)));
  EXPECT_TRUE(sendMessage(sb, sb::SetText, 1 | kSbtPopOut, reinterpret_cast<LParam>("ready")));
  EXPECT_FALSE(sendMessage(sb, sb::SetText, 3, reinterpret_cast<LParam>("no such part")));
  int got[3] = {};
  EXPECT_EQ(sendMessage(sb, sb::GetParts, 3, reinterpret_cast<LParam>(got)), 3);
  EXPECT_EQ(got[2], -1);
  char buf[16];
  LResult r = sendMessage(sb, sb::GetText, 1, reinterpret_cast<LParam>(buf));
  EXPECT_STREQ(buf, "ready");
  EXPECT_EQ(loWord(static_cast<uintptr_t>(r)), 5);
  EXPECT_EQ(hiWord(static_cast<uintptr_t>(r)), kSbtPopOut);
  Rect part;
  sendMessage(sb, sb::GetRect, 2, reinterpret_cast<LParam>(&part));
  EXPECT_EQ(part.left, 300);
  EXPECT_EQ(part.right, pc.right) << "-1 reaches the right end";

  sendMessage(sb, sb::SetSimple, 1, 0);
  sendMessage(sb, sb::SetText, kSimplePart | kSbtNoBorders, reinterpret_cast<LParam>("help text"));
  EXPECT_EQ(test::statusText(sb, kSimplePart), "help text");
  sendMessage(sb, sb::SetSimple, 0, 0);
  EXPECT_FALSE(sendMessage(sb, sb::IsSimple, 0, 0));
  EXPECT_EQ(test::statusText(sb, 1), "ready") << "the parts come back";
}

class ToolbarTest : public BarsTest {
 protected:
  void SetUp() override {
    BarsTest::SetUp();
    res::pushOverlay(R"(
BITMAP 7 4 2
  COLOR r FF0000
  COLOR b 0000FF
  ROWS
  rrbb
  rrbb
END
)");
    tbar = createWindow(kToolbarClass, "", ws::Child | ws::Visible | tbstyle::Tooltips, 0, 0, 1, 1, parent, {}, 7);
    sendMessage(tbar, tb::SetBitmapSize, 0, makeLParam(2, 2));
    sendMessage(tbar, tb::SetButtonSize, 0, makeLParam(20, 18));
    ToolbarBitmap bmp{7, 0};
    EXPECT_EQ(sendMessage(tbar, tb::AddBitmap, 2, reinterpret_cast<LParam>(&bmp)), 0);
    ToolbarButton b[] = {{0, 31, tbstate::Enabled, btns::Button, 0},
                         {0, 0, 0, btns::Sep, 0},
                         {1, 32, 0, btns::Button, 0},
                         {1, 33, tbstate::Enabled, btns::Check, 0}};
    sendMessage(tbar, tb::AddButtons, 4, reinterpret_cast<LParam>(b));
    sendMessage(tbar, tb::AutoSize, 0, 0);
  }
  Hwnd tbar;
};

TEST_F(ToolbarTest, ImagesButtonsAndAutoSize) {
  const ToolbarState* st = toolbarState(tbar);
  ASSERT_EQ(st->images.size(), 2u);
  EXPECT_EQ(st->images[0].at(1, 1), 0xFF0000u);
  EXPECT_EQ(st->images[1].at(0, 0), 0x0000FFu);
  Rect r;
  getWindowRect(tbar, r);
  EXPECT_EQ(r.height(), 18 + kToolbarExtraHeight);
  EXPECT_EQ(r.width(), pc.right);
  Rect item;
  sendMessage(tbar, tb::GetItemRect, 2, reinterpret_cast<LParam>(&item));
  EXPECT_EQ(item.left, 20 + kToolbarSeparatorWidth);
  ToolbarBitmap missing{99, 0};
  EXPECT_EQ(sendMessage(tbar, tb::AddBitmap, 1, reinterpret_cast<LParam>(&missing)), -1);
}

TEST_F(ToolbarTest, ButtonStatesByCommand) {
  EXPECT_TRUE(sendMessage(tbar, tb::CheckButton, 31, 1));
  EXPECT_EQ(sendMessage(tbar, tb::IsButtonChecked, 31, 0), 1);
  EXPECT_TRUE(sendMessage(tbar, tb::EnableButton, 32, 1));
  EXPECT_EQ(test::toolbarButtonState(tbar, 32), tbstate::Enabled);
  EXPECT_FALSE(sendMessage(tbar, tb::CheckButton, 99, 1));
  EXPECT_EQ(sendMessage(tbar, tb::IsButtonChecked, 99, 0), -1);
}

TEST_F(ToolbarTest, ClicksOnEnabledButtonsOnly) {
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.hwnd == parent && m.message == wm::Command; });
  test::clickToolbarButton(tbar, 32);   // disabled
  test::clickToolbarButton(tbar, 31);
  test::clickToolbarButton(tbar, 33);
  test::pump();
  ASSERT_EQ(log.names(), (std::vector<std::string>{"Command(31,0)", "Command(33,0)"}));
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[0].lParam), tbar);
  EXPECT_EQ(sendMessage(tbar, tb::IsButtonChecked, 33, 0), 1) << "a check button toggled";
  EXPECT_EQ(getCapture(), Hwnd{});
}

TEST_F(ToolbarTest, PressThenReleaseOffTheButtonIsNoClick) {
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.message == wm::Command; });
  Rect item;
  sendMessage(tbar, tb::GetItemRect, 0, reinterpret_cast<LParam>(&item));
  test::mouseDown(test::Button::Left, test::at(tbar, {item.left + 2, item.top + 2}));
  test::mouseUp(test::Button::Left, test::at(tbar, {item.left + 2, item.top + 200}));
  test::pump();
  EXPECT_TRUE(log.messages().empty());
  EXPECT_EQ(test::toolbarButtonState(tbar, 31), tbstate::Enabled) << "no longer pressed";
}

// The pointer resting on a button for the hover delay brings its tooltip:
// the text is asked of the parent then, and the tip shows below the
// pointer; moving off the button, or off the toolbar, hides it.
TEST_F(ToolbarTest, TooltipsComeWhenThePointerRestsOnAButton) {
  tooltipAnswer = "Open a file";
  int asked = 0;
  test::MessageLog log([&](const test::LoggedMessage& m) {
    if (m.hwnd == parent && m.message == wm::Notify) ++asked;
    return false;
  });
  const Hwnd tip = toolbarState(tbar)->tooltip;
  Rect item, check;
  sendMessage(tbar, tb::GetItemRect, 0, reinterpret_cast<LParam>(&item));
  sendMessage(tbar, tb::GetItemRect, 3, reinterpret_cast<LParam>(&check));
  const Point onOpen = test::at(tbar, {item.left + 5, item.top + 5});
  test::mouseMove(onOpen);
  test::pump();
  test::advance(kTooltipDelay - 1);
  test::pump();
  EXPECT_FALSE(isWindowVisible(tip));
  EXPECT_EQ(asked, 0);
  test::advance(1);
  test::pump();
  ASSERT_TRUE(isWindowVisible(tip));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(getWindowText(tip), "Open a file");
  Rect r;
  getWindowRect(tip, r);
  EXPECT_EQ(r.left, onOpen.x);
  EXPECT_GT(r.top, onOpen.y);
  EXPECT_GT(r.width(), 40);
  // Moving within the button keeps it; onto the separator hides it.
  test::mouseMove({onOpen.x + 2, onOpen.y + 1});
  test::advance(200);
  test::pump();
  EXPECT_TRUE(isWindowVisible(tip));
  test::mouseMove(test::at(tbar, {item.right + 2, item.top + 5}));
  test::pump();
  EXPECT_FALSE(isWindowVisible(tip));
  // Another button, then off the toolbar altogether.
  tooltipAnswer = "Keep";
  test::mouseMove(test::at(tbar, {check.left + 3, check.top + 3}));
  test::pump();
  test::advance(kTooltipDelay);
  test::pump();
  EXPECT_TRUE(isWindowVisible(tip));
  EXPECT_EQ(getWindowText(tip), "Keep");
  test::mouseMove(test::at(parent, {200, 200}));
  test::pump();
  test::advance(100);
  test::pump();
  EXPECT_FALSE(isWindowVisible(tip));
  // A press hides it; it goes by itself after a while; timers stop then.
  test::mouseMove(onOpen);
  test::pump();
  test::advance(kTooltipDelay);
  test::pump();
  EXPECT_TRUE(isWindowVisible(tip));
  test::advance(kTooltipShowTime);
  test::pump();
  EXPECT_FALSE(isWindowVisible(tip));
  EXPECT_EQ(test::census().timers, 0);
}

TEST_F(ToolbarTest, TooltipTextComesFromTheParent) {
  const ToolbarState* st = toolbarState(tbar);
  ASSERT_TRUE(st->tooltip);
  EXPECT_EQ(handleFrom<Hwnd>(sendMessage(tbar, tb::GetToolTips, 0, 0)), st->tooltip);
  tooltipAnswer = "Open a file";
  EXPECT_EQ(toolbarTooltipText(tbar, 31), "Open a file");
  EXPECT_EQ(getWindowText(st->tooltip), "Open a file");
  EXPECT_EQ(toolbarTooltipText(tbar, 99), "") << "no such button";
  Hwnd tip = st->tooltip;
  destroyWindow(tbar);
  EXPECT_FALSE(isWindow(tip));
}

}  // namespace
}  // namespace plat
