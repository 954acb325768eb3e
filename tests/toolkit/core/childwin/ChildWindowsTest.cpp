// Child windows and split windows of the window manager: opening, the
// refusals, split layout, dragging the splitter bar, closing a pane,
// scrolling a drawing area, and what a split window looks like.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "tests/support/GoldenPicture.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

using wmtest::ToolkitTest;

class ChildWindowTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    plat::test::pump();
  }

  // A child window; its number (or status).
  int32_t Child(int32_t options, int32_t parent = 0, int32_t width = 200, int32_t height = 120,
                int32_t background = -1, int32_t menu = 0) {
    int32_t number = 0, dialog = 0;
    YYChildWindowOpen(40, 30, width, height, number, options, menu, {}, dialog, parent, background, "Child");
    return number;
  }

  std::vector<int32_t>& Record(int32_t n) { return *YYWindowRecordOf(WindowTables().Frame[static_cast<size_t>(n)]); }
  plat::Hwnd FrameOf(int32_t n) { return WindowTables().Frame[static_cast<size_t>(n)]; }
  plat::Rect ClientRectOf(int32_t n) {
    plat::Rect r;
    plat::getClientRect(WindowTables().Client[static_cast<size_t>(n)], r);
    return r;
  }
  void Select(int32_t n) {
    int32_t w = 0, h = 0;
    YYWindowSelect(w, h, n);
  }

  // Splits window n; the pane numbers.
  std::array<int32_t, 2> Split(int32_t n, int32_t flags, int32_t firstSize, int32_t menu1 = 0,
                               std::array<int32_t, 2> backgrounds = {-1, -1}) {
    Select(n);
    std::array<SplitPaneArguments, 2> panes;
    panes[0].Menu = menu1;
    panes[0].Title = "First";
    panes[1].Title = "Second";
    panes[0].Background = backgrounds[0];
    panes[1].Background = backgrounds[1];
    std::array<int32_t, 2> numbers{};
    YYSplitWindow(numbers, flags, firstSize, panes);
    return numbers;
  }
};

TEST_F(ChildWindowTest, FiftyChildWindowsFitAndTheFiftyFirstGetsNone) {
  for (int32_t i = 1; i <= kLastWindow; ++i) ASSERT_EQ(Child(kOptionHidden), i);
  const plat::test::Census before = plat::test::census();
  EXPECT_EQ(Child(kOptionHidden), -1);
  EXPECT_EQ(plat::test::census(), before);
  EXPECT_EQ(YYWindowFreeSlot(), -1);
}

TEST_F(ChildWindowTest, AParentRelativeChildNeedsAnOpenVisibleParent) {
  const int32_t hidden = Child(kOptionHidden | kOptionSystemMenu);
  ASSERT_GT(hidden, 0);
  EXPECT_EQ(Child(kOptionInsideParent, hidden), -2);
  EXPECT_EQ(Child(kOptionInsideParent, 7), -5);

  const int32_t inside = Child(kOptionInsideParent | kOptionSystemMenu, 0);
  ASSERT_GT(inside, 0);
  // It lies in the root's drawing area, placed in its co-ordinates.
  EXPECT_TRUE(plat::isChild(Client(), FrameOf(inside)));
  plat::Rect outer;
  plat::getWindowRect(FrameOf(inside), outer);
  EXPECT_EQ(plat::screenToClient(Client(), {outer.left, outer.top}), (plat::Point{40, 30}));
  EXPECT_EQ(ClientRectOf(inside).width(), 200);
  int32_t exists = 0;
  YYWindowExists(inside, exists);
  EXPECT_EQ(exists, 1);
  YYWindowExists(hidden + 30, exists);
  EXPECT_EQ(exists, 0);
}

TEST_F(ChildWindowTest, AChildWindowCarriesADialogBarThatFillsItsDrawingArea) {
  constexpr int32_t kPage = 121;   // a child, control-style dialog that does not grow
  int32_t number = 0, dialog = kPage, w = 10, h = 10;
  YYChildWindowOpen(kNotGiven, kNotGiven, w, h, number, kOptionSystemMenu | kOptionMaximiseBox, 0, {}, dialog, 0, -1,
                    "Bar");
  ASSERT_GT(number, 0);
  EXPECT_EQ(dialog, kPage);
  EXPECT_EQ(YYWindowKindOf(number), kKindDialogBar);
  const plat::Hwnd bar{static_cast<uint32_t>(Record(number)[5])};
  EXPECT_TRUE(plat::isWindowVisible(bar));
  EXPECT_EQ(plat::getParent(bar), WindowTables().Client[static_cast<size_t>(number)]);
  plat::Rect barRect;
  plat::getWindowRect(bar, barRect);
  EXPECT_EQ(ClientRectOf(number).width(), barRect.width());
  EXPECT_EQ(ClientRectOf(number).height(), barRect.height());
  EXPECT_EQ(w, barRect.width());
  // a dialog that does not grow makes the window fixed-size, without a maximise box
  EXPECT_FALSE(plat::getWindowStyle(FrameOf(number)) & plat::ws::ThickFrame);
  EXPECT_FALSE(plat::getWindowStyle(FrameOf(number)) & plat::ws::MaximizeBox);
  EXPECT_EQ(DialogTable().Count, 1);

  // refusals: the window opens without a bar
  const std::pair<int32_t, int32_t> refusals[] = {{kPage, -5}, {4711, -1}, {220, -2}};
  for (const auto& [asked, status] : refusals) {
    int32_t d = asked, n = 0;
    w = h = 50;
    YYChildWindowOpen(0, 0, w, h, n, kOptionSystemMenu, 0, {}, d, 0, -1, "No bar");
    EXPECT_GT(n, 0) << asked;
    EXPECT_EQ(d, status) << asked;
    EXPECT_EQ(YYWindowKindOf(n), 0) << asked;
  }
  EXPECT_EQ(DialogTable().Count, 1);

  // closing the window unloads its dialog
  int32_t current = DialogTable().Count;
  YYWindowClose(number, current);
  EXPECT_EQ(DialogTable().Count, 0);
  EXPECT_EQ(current, 0);
  EXPECT_FALSE(plat::isWindow(bar));

  // reverting turns it back into a plain window, sizable with a maximise box as asked
  dialog = kPage;
  YYChildWindowOpen(0, 0, w, h, number, kOptionSystemMenu, 0, {}, dialog, 0, -1, "Bar");
  ASSERT_EQ(YYWindowKindOf(number), kKindDialogBar);
  Select(number);
  int32_t status = -7;
  YYWindowRevert(current, kOptionMaximiseBox, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(YYWindowKindOf(number), 0);
  EXPECT_EQ(DialogTable().Count, 0);
  EXPECT_TRUE(plat::getWindowStyle(FrameOf(number)) & plat::ws::ThickFrame);
  EXPECT_TRUE(plat::getWindowStyle(FrameOf(number)) & plat::ws::MaximizeBox);
}

TEST_F(ChildWindowTest, FrameStylesFollowTheOptions) {
  const int32_t tool = Child(kOptionToolWindow | kOptionTopMost | kOptionSystemMenu);
  const int32_t plain = Child(kOptionSystemMenu | kOptionFixedSize);
  const int32_t sized = Child(kOptionSystemMenu);
  const uint32_t toolEx = plat::getWindowExStyle(FrameOf(tool));
  EXPECT_TRUE(toolEx & plat::wsx::ToolWindow);
  EXPECT_TRUE(toolEx & plat::wsx::TopMost);
  EXPECT_FALSE(toolEx & plat::wsx::AppWindow);
  EXPECT_TRUE(plat::getWindowExStyle(FrameOf(plain)) & plat::wsx::AppWindow);
  EXPECT_FALSE(plat::getWindowStyle(FrameOf(plain)) & plat::ws::ThickFrame);
  // a tool window has the small caption: less frame around the same drawing area
  plat::Rect toolOuter, sizedOuter;
  plat::getWindowRect(FrameOf(tool), toolOuter);
  plat::getWindowRect(FrameOf(sized), sizedOuter);
  EXPECT_EQ(ClientRectOf(tool).height(), ClientRectOf(sized).height());
  EXPECT_LT(toolOuter.height(), sizedOuter.height());
  EXPECT_EQ(toolOuter.width(), sizedOuter.width());
  // the always-on-top window stays above the one opened after it
  const std::vector<plat::Hwnd> order = plat::topLevelWindows();
  const auto at = [&](plat::Hwnd w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
  EXPECT_LT(at(FrameOf(tool)), at(FrameOf(plain)));
}

TEST_F(ChildWindowTest, SplittingAWindowThatHoldsAToolkitWindowIsRefused) {
  const int32_t inside = Child(kOptionInsideParent | kOptionSystemMenu, 0);
  ASSERT_GT(inside, 0);
  EXPECT_EQ(Split(0, kSplitAboveBelow, 100), (std::array<int32_t, 2>{-6, -6}));
  EXPECT_EQ(YYWindowKindOf(0), 0);
}

TEST_F(ChildWindowTest, AHalvesSplitMakesTwoPanesAndABar) {
  const int32_t c = Child(kOptionSystemMenu, 0, 300, 201);
  const std::array<int32_t, 2> p = Split(c, kSplitAboveBelow, -1);
  ASSERT_GT(p[0], 0);
  ASSERT_GT(p[1], 0);
  const std::vector<int32_t>& r = Record(c);
  EXPECT_EQ(r[0], kKindSplit);
  EXPECT_EQ(r[kSplitPane1], p[0]);
  EXPECT_EQ(r[kSplitPane2], p[1]);
  EXPECT_EQ(r[kSplitMove], kMoveIdle);
  const plat::Hwnd bar{static_cast<uint32_t>(r[kSplitBar])};
  EXPECT_EQ(plat::getClassName(bar), "PLOVSPLITH");
  EXPECT_TRUE(plat::isWindowVisible(FrameOf(p[0])));
  EXPECT_TRUE(plat::isWindowVisible(FrameOf(p[1])));
  // pane 1 + bar + pane 2 fill the container's drawing area, bar between
  plat::Rect a, b, bb;
  plat::getWindowRect(FrameOf(p[0]), a);
  plat::getWindowRect(FrameOf(p[1]), b);
  plat::getWindowRect(bar, bb);
  EXPECT_EQ(a.bottom, bb.top);
  EXPECT_EQ(bb.bottom, b.top);
  EXPECT_EQ(a.height() + bb.height() + b.height(), ClientRectOf(c).height());
  EXPECT_LE(std::abs(a.height() - b.height()), 1);
  EXPECT_EQ(r[kSplitActive], static_cast<int32_t>(FrameOf(p[0]).value));
}

TEST_F(ChildWindowTest, ProportionalLayoutGivesTheRemainderToTheSecondPane) {
  const int32_t c = Child(kOptionSystemMenu, 0, 300, 200);
  const std::array<int32_t, 2> p = Split(c, kSplitAboveBelow | kSplitProportional, 50);
  ASSERT_GT(p[0], 0);
  Record(c)[kSplitSize1] = 1;
  Record(c)[kSplitSize2] = 2;
  const plat::Hwnd bar{static_cast<uint32_t>(Record(c)[kSplitBar])};
  for (int32_t height : {190, 211, 250}) {
    Select(c);
    int32_t w = 300, h = height;
    YYWindowPlacement(kNotGiven, kNotGiven, w, h, 1);
    plat::Rect a, b, bb;
    plat::getWindowRect(FrameOf(p[0]), a);
    plat::getWindowRect(FrameOf(p[1]), b);
    plat::getWindowRect(bar, bb);
    const int32_t f1 = a.height() - ClientRectOf(p[0]).height();
    const int32_t f2 = b.height() - ClientRectOf(p[1]).height();
    const int32_t space = ClientRectOf(c).height() - f1 - f2 - bb.height();
    EXPECT_EQ(ClientRectOf(p[0]).height(), space / 3) << height;
    EXPECT_EQ(ClientRectOf(p[1]).height(), space - space / 3) << height;
    EXPECT_EQ(b.bottom, bb.bottom + b.height());
  }
}

TEST_F(ChildWindowTest, DraggingTheSplitterBarResizesBothPanesAndStoresTheirSizes) {
  const int32_t c = Child(kOptionSystemMenu, 0, 320, 200);
  const std::array<int32_t, 2> p = Split(c, 0, 100);   // side by side
  ASSERT_GT(p[0], 0);
  const plat::Hwnd bar{static_cast<uint32_t>(Record(c)[kSplitBar])};
  EXPECT_EQ(plat::getClassName(bar), "PLOVSPLITV");
  plat::Rect before, a0, b0;
  plat::getWindowRect(bar, before);
  plat::getWindowRect(FrameOf(p[0]), a0);
  plat::getWindowRect(FrameOf(p[1]), b0);
  const plat::Point grip{(before.left + before.right) / 2, (before.top + before.bottom) / 2};
  plat::test::mouseMove(grip);
  plat::test::mouseDown(plat::test::Button::Left, grip);
  plat::test::mouseMove({grip.x + 30, grip.y + 17});   // across the split: ignored
  plat::test::mouseUp(plat::test::Button::Left, {grip.x + 30, grip.y + 17});
  plat::test::pump();
  plat::Rect after, a, b;
  plat::getWindowRect(bar, after);
  plat::getWindowRect(FrameOf(p[0]), a);
  plat::getWindowRect(FrameOf(p[1]), b);
  EXPECT_EQ(after.left, before.left + 30);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(a.width(), a0.width() + 30);
  EXPECT_EQ(b.width(), b0.width() - 30);
  EXPECT_EQ(b.right, b0.right);
  EXPECT_EQ(Record(c)[kSplitSize1], a.width());
  EXPECT_EQ(Record(c)[kSplitSize2], b.width());
  EXPECT_EQ(Record(c)[kSplitMove], kMoveIdle);
}

TEST_F(ChildWindowTest, PlacingAPaneMovesTheSplitterBar) {
  const int32_t c = Child(kOptionSystemMenu, 0, 300, 240);
  const std::array<int32_t, 2> p = Split(c, kSplitAboveBelow, -1);
  ASSERT_GT(p[0], 0);
  const int32_t whole = ClientRectOf(p[0]).height() + ClientRectOf(p[1]).height();
  for (int32_t pane : {0, 1}) {
    Select(p[static_cast<size_t>(pane)]);
    int32_t w = kNotGiven, h = 60;
    YYWindowPlacement(kNotGiven, kNotGiven, w, h, -1);
    EXPECT_EQ(h, 60) << pane;
    EXPECT_EQ(ClientRectOf(p[static_cast<size_t>(1 - pane)]).height(), whole - 60) << pane;
    plat::Rect a, b;
    plat::getWindowRect(FrameOf(p[0]), a);
    plat::getWindowRect(FrameOf(p[1]), b);
    EXPECT_EQ(Record(c)[kSplitSize1], a.height());
    EXPECT_EQ(Record(c)[kSplitSize2], b.height());
    EXPECT_EQ(Record(c)[kSplitMove], kMoveIdle);
    EXPECT_EQ(Record(c)[kSplitLayout], 0);
  }
}

TEST_F(ChildWindowTest, ClosingOnePaneClosesTheSplitAndGivesTheContainerItsMenuBack) {
  const plat::Hmenu own = WindowTables().Menu[0];
  const plat::test::Census before = plat::test::census();
  const std::array<int32_t, 2> p = Split(0, kSplitAboveBelow, 120, wmtest::kMainMenu);
  ASSERT_GT(p[0], 0);
  const plat::Hwnd bar{static_cast<uint32_t>(Record(0)[kSplitBar])};
  EXPECT_NE(plat::getMenu(Frame()), own);   // the first pane's menu shows
  int32_t window = p[1], dialog = 0;
  YYWindowClose(window, dialog);
  EXPECT_EQ(window, p[1]);
  EXPECT_EQ(YYWindowKindOf(0), 0);
  EXPECT_FALSE(plat::isWindow(bar));
  EXPECT_FALSE(FrameOf(p[0]));
  EXPECT_FALSE(FrameOf(p[1]));
  EXPECT_EQ(plat::getMenu(Frame()), own);
  EXPECT_EQ(plat::test::census(), before);
  // a closed number, or the root, is not a child window to close
  YYWindowClose(window, dialog);
  EXPECT_EQ(window, -1);
}

TEST_F(ChildWindowTest, ClosingAWindowClosesTheWindowsInsideItAndThoseItOwns) {
  const plat::test::Census before = plat::test::census();
  const int32_t outer = Child(kOptionSystemMenu | kOptionStatusBar, 0, 300, 200, 0x00FF00, wmtest::kMainMenu);
  const int32_t inside = Child(kOptionInsideParent | kOptionSystemMenu, outer, 100, 60);
  const int32_t owned = Child(kOptionOwned | kOptionSystemMenu, outer, 100, 60, -1, wmtest::kMainMenu);
  ASSERT_GT(owned, 0);
  EXPECT_EQ(plat::getOwner(FrameOf(owned)), FrameOf(outer));
  // the window active last is the one to go back to
  EXPECT_EQ(WindowTables().OwnerToReactivate[static_cast<size_t>(owned)], inside);
  int32_t window = outer, dialog = 0;
  YYWindowClose(window, dialog);
  for (int32_t n : {outer, inside, owned}) {
    EXPECT_FALSE(FrameOf(n)) << n;
    EXPECT_FALSE(WindowTables().Menu[static_cast<size_t>(n)]) << n;
  }
  EXPECT_EQ(plat::test::census(), before);
  EXPECT_EQ(YYWindowFreeSlot(), 1);
}

TEST_F(ChildWindowTest, APaneDialogBarSizesAndFixesItsPane) {
  const int32_t c = Child(kOptionSystemMenu, 0, 600, 260);
  Select(c);
  std::array<SplitPaneArguments, 2> panes;
  panes[0].Dialog = 121;   // does not grow
  panes[1].Dialog = 4711;  // not in the resources
  std::array<int32_t, 2> p{};
  YYSplitWindow(p, kSplitProportional | kSplitKeepSecond, 50, panes);
  ASSERT_GT(p[0], 0);
  EXPECT_EQ(panes[0].Dialog, 121);
  EXPECT_EQ(panes[1].Dialog, -1);
  EXPECT_EQ(YYWindowKindOf(p[0]), kKindDialogBar);
  EXPECT_EQ(YYWindowKindOf(p[1]), 0);
  EXPECT_EQ(Record(c)[kSplitFlags] & (kSplitProportional | kSplitKeepSecond), 0);
  EXPECT_TRUE(Record(c)[kSplitOptions1] & kOptionFixedSize);
  const plat::Hwnd bar{static_cast<uint32_t>(Record(p[0])[5])};
  plat::Rect barRect;
  plat::getWindowRect(bar, barRect);
  EXPECT_EQ(ClientRectOf(p[0]).width(), barRect.width());
  EXPECT_TRUE(plat::isWindowVisible(bar));
  EXPECT_EQ(DialogTable().Count, 1);
  const int32_t paneWidth = ClientRectOf(p[0]).width();
  int32_t window = p[1], dialog = 0;
  YYWindowClose(window, dialog);
  EXPECT_EQ(DialogTable().Count, 0);
  // the pane took the dialog's width, as a window with that dialog bar does
  int32_t number = 0, w = 10, h = 10;
  dialog = 121;
  YYChildWindowOpen(0, 0, w, h, number, kOptionSystemMenu, 0, {}, dialog, 0, -1, "Bar");
  EXPECT_EQ(w, paneWidth);
}

TEST_F(ChildWindowTest, RevertingASplitContainerDissolvesIt) {
  const int32_t c = Child(kOptionSystemMenu, 0, 200, 150);
  ASSERT_GT(Split(c, 0, -1)[0], 0);
  int32_t dialog = 0, status = -7;
  Select(c);
  YYWindowRevert(dialog, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(YYWindowKindOf(c), 0);
  YYWindowRevert(dialog, 0, status);
  EXPECT_EQ(status, 2);
}

TEST_F(ChildWindowTest, ActivatingShowsTheWindowAndMovingThePointerReachesItsDrawingArea) {
  const int32_t c = Child(kOptionSystemMenu | kOptionHidden, 0, 200, 100);
  ASSERT_GT(c, 0);
  EXPECT_FALSE(plat::isWindowVisible(FrameOf(c)));
  Select(c);
  YYWindowActivate();
  EXPECT_TRUE(plat::isWindowVisible(FrameOf(c)));
  const std::vector<plat::Hwnd> order = plat::topLevelWindows();
  EXPECT_LT(std::find(order.begin(), order.end(), FrameOf(c)), std::find(order.begin(), order.end(), Frame()));
  EXPECT_EQ(plat::getFocus(), WindowTables().Client[static_cast<size_t>(c)]);
  YYCursorMove(15, 25, 1);
  EXPECT_EQ(plat::getCursorPos(), plat::clientToScreen(WindowTables().Client[static_cast<size_t>(c)], {15, 25}));
  int32_t type = 0;
  EventRecord e{};
  do {
    WEventPoll(type, e);
  } while (type != 0 && type != EventMouseMotion);
  EXPECT_EQ(type, EventMouseMotion);
  EXPECT_EQ(e[0], c);
  // other modes: the dialog field that is the drawing surface
  WDialogLoad(104);
  GraphicsState().DrawableKind = kDrawableField;
  GraphicsState().DrawableNumber = 1351;
  YYCursorMove(3, 4, 0);
  EXPECT_EQ(plat::getCursorPos(), plat::clientToScreen(YYFieldWindow(1351), {3, 4}));
  GraphicsState().DrawableKind = kDrawableWindow;
  GraphicsState().DrawableNumber = 0;
}

TEST_F(ChildWindowTest, RevertingAnEditorViewerOrGridWindowLeavesAPlainWindow) {
  const int32_t c = Child(kOptionSystemMenu, 0, 200, 100);
  const plat::Hwnd client = WindowTables().Client[static_cast<size_t>(c)];
  Select(c);
  for (int32_t kind : {kKindEditor, kKindViewer, kKindGrid}) {
    std::vector<int32_t>& r = YYWindowRecordAttach(FrameOf(c), 8);
    r[0] = kind;
    plat::Hwnd inner;
    if (kind == kKindViewer) {   // the viewer covers the drawing area in place of the client
      inner = plat::createWindowEx(0, "STATIC", "", plat::ws::Child | plat::ws::Visible, 0, 0, 50, 50, FrameOf(c), {});
      r[5] = static_cast<int32_t>(inner.value);
      plat::showWindow(client, plat::ShowCmd::Hide);
    }
    int32_t dialog = 0, status = -7;
    YYWindowRevert(dialog, 0, status);
    EXPECT_EQ(status, 0) << kind;
    EXPECT_EQ(YYWindowKindOf(c), 0) << kind;
    EXPECT_TRUE(plat::isWindowVisible(client)) << kind;
    if (inner) EXPECT_FALSE(plat::isWindow(inner));
  }
  int32_t dialog = 0, status = -7;
  YYWindowRevert(dialog, 0, status);
  EXPECT_EQ(status, 2);   // a plain window has nothing to revert
}

TEST_F(ChildWindowTest, ScrollingMovesThePixelsAndFillsTheStripWithoutARepaint) {
  const int32_t c = Child(kOptionSystemMenu, 0, 40, 30);
  Select(c);
  YYFillRect(0, 0, 39, 29, 0x0000FF);      // red
  YYFillRect(10, 5, 19, 14, 0xFF0000);     // a blue square
  plat::test::pump();
  YYWindowScroll(5, -3, 0x00FF00);         // green strips
  const plat::Surface& s = *plat::clientSurface(WindowTables().Client[static_cast<size_t>(c)]);
  EXPECT_EQ(s.at(15, 2) & 0xFFFFFF, 0x0000FFu);       // the square moved right and up
  EXPECT_EQ(s.at(24, 11) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(s.at(14, 2) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(s.at(2, 10) & 0xFFFFFF, 0x00FF00u);       // the first 5 columns
  EXPECT_EQ(s.at(20, 28) & 0xFFFFFF, 0x00FF00u);      // the last 3 rows
  EXPECT_EQ(s.at(20, 26) & 0xFFFFFF, 0xFF0000u);
  plat::Rect update;
  EXPECT_FALSE(plat::getUpdateRect(WindowTables().Client[static_cast<size_t>(c)], &update, false));
}

TEST_F(ChildWindowTest, ASplitWindowLooksAsItsGolden) {
  const int32_t c = Child(kOptionSystemMenu | kOptionMinimiseBox | kOptionMaximiseBox, 0, 240, 140);
  const std::array<int32_t, 2> p = Split(c, 0, -1, 0, {0xE0FFFF, 0xFFE0E0});
  ASSERT_GT(p[0], 0);
  plat::test::pump();
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(FrameOf(c), true, picture));
  testsupport::ExpectGoldenPicture(picture, "toolkit_split_window.png");
}

}  // namespace
