// The window routines of the programming interface and the root window's
// lower layer.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/Metrics.h"
#include "platform/res/Resources.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/graphics/WindowText.h"

namespace {

using wmtest::ToolkitTest;

class WindowApiTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
  }
  std::vector<int> Edges() { return plat::statusBarState(StatusBar())->edges; }
};

TEST_F(ToolkitTest, AWindowOpenedWithEveryArgumentAbsent) {
  WindowOpenArguments a;
  WindowOpen(a);
  ASSERT_TRUE(Frame());
  const uint32_t style = plat::getWindowStyle(Frame());
  EXPECT_TRUE(style & plat::ws::ThickFrame);
  EXPECT_TRUE(style & plat::ws::SysMenu);
  EXPECT_TRUE(style & plat::ws::MinimizeBox);
  EXPECT_TRUE(style & plat::ws::MaximizeBox);
  EXPECT_FALSE(plat::getMenu(Frame()));
  EXPECT_FALSE(StatusBar());
  EXPECT_EQ(a.Width, 1024);   // 80 percent of the screen
  EXPECT_EQ(a.Height, 819);
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  EXPECT_EQ(outer.left, (1280 - outer.width()) / 2);
  EXPECT_EQ(outer.top, (1024 - outer.height()) / 2);

  // A second open changes nothing and reports nothing.
  WindowOpenArguments b;
  b.Options = 39;
  WindowOpen(b);
  EXPECT_EQ(b.Width, -1);
  EXPECT_FALSE(StatusBar());
  EXPECT_EQ(LastErrorCode(), 0);
}

TEST_F(ToolkitTest, CentredFramesMakeRoomForTheirBars) {
  plat::res::pushOverlay(R"(
RCDATA 31002
  16 16 40023 0 0
END
)");
  WindowOpenArguments plain;
  plain.Options = 7;
  plain.Width = 400;
  plain.Height = 300;
  WindowOpen(plain);
  plat::Rect without;
  plat::getWindowRect(Frame(), without);
  WShutdown();
  WindowOpenArguments barred;
  barred.Options = 39;
  barred.Width = 400;
  barred.Height = 300;
  barred.Toolbars = {31002, 0, 0, 0};
  WindowOpen(barred);
  plat::Rect with;
  plat::getWindowRect(Frame(), with);
  // half of a 28-pixel toolbar and of a 20-pixel status bar
  EXPECT_EQ(without.top - with.top, 24);
  EXPECT_EQ(barred.Width, 400);
  EXPECT_EQ(barred.Height, 300);
  plat::res::popOverlay();
}

TEST_F(ToolkitTest, ReopeningTheMainWindowLoadsNoFurtherIcon) {
  WindowOpenArguments first;
  WindowOpen(first);
  WShutdown();
  const int icons = plat::test::census().icons;
  for (int i = 0; i < 3; ++i) {
    WindowOpenArguments again;
    WindowOpen(again);
    ASSERT_TRUE(Frame());
    WShutdown();
  }
  EXPECT_EQ(plat::test::census().icons, icons);
}

// A child-style control dialog without caption becomes the root window's
// dialog bar: the window is combined with it (a record of kind 3), its
// drawing area is the dialog's size and, as the dialog does not grow, it
// is fixed in size; the dialog is the selected one.
TEST_F(ToolkitTest, TheRootWindowCarriesADialogBar) {
  plat::res::pushOverlay(R"(
DIALOG 730
  STYLE CHILD CONTROL
  FONT 8 "MS Sans Serif"
  RECT 0 0 160 60
  CONTROL EDIT 1001 "" 8 8 80 12 BORDER TABSTOP
  CONTROL BUTTON 1 "OK" 100 8 50 14 DEFPUSHBUTTON TABSTOP
END
DIALOG 731
  CAPTION "Not a bar"
  STYLE POPUP CAPTION SYSMENU
  RECT 0 0 100 40
END
)");
  WindowOpenArguments a;
  a.Options = 7;
  a.Dialog = 730;
  WindowOpen(a);
  ASSERT_TRUE(Frame());
  EXPECT_EQ(a.Dialog, 730);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(YYWindowKindOf(0), kKindDialogBar);
  const std::vector<int32_t>* record = YYWindowRecordOf(Frame());
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->size(), 8u);
  const plat::Hwnd bar{static_cast<uint32_t>((*record)[5])};
  EXPECT_TRUE(plat::isWindowVisible(bar));
  EXPECT_EQ(plat::getParent(bar), Client());
  EXPECT_EQ(plat::getDlgItem(bar, 1001) != plat::Hwnd{}, true);
  plat::Rect barRect, client, outer;
  plat::getWindowRect(bar, barRect);
  plat::getClientRect(Client(), client);
  plat::getWindowRect(Frame(), outer);
  EXPECT_EQ(client.width(), barRect.width());
  EXPECT_EQ(client.height(), barRect.height());
  EXPECT_EQ(a.Width, barRect.width());
  EXPECT_EQ((*record)[6], outer.width());
  EXPECT_EQ((*record)[7], outer.height());
  EXPECT_FALSE(plat::getWindowStyle(Frame()) & plat::ws::ThickFrame);
  EXPECT_FALSE(plat::getWindowStyle(Frame()) & plat::ws::MaximizeBox);
  EXPECT_EQ(DialogTable().Selected, 730);
  // Placing it keeps the size of a bar that does not grow.
  WindowPlace(800, 600, 10, 10, 1);
  EXPECT_EQ(WInfoWindowItem(1), barRect.width());
  WShutdown();
  EXPECT_FALSE(plat::isWindow(bar));

  // A dialog of the wrong style: the window opens without it.
  WindowOpenArguments b;
  b.Dialog = 731;
  WindowOpen(b);
  ASSERT_TRUE(Frame());
  EXPECT_EQ(b.Dialog, -2);
  EXPECT_EQ(LastErrorCode(), 1045);
  EXPECT_EQ(YYWindowKindOf(0), 0);
  plat::res::popOverlay();
}

TEST_F(ToolkitTest, ADialogBarThatIsNotInTheResources) {
  WindowOpenArguments a;
  a.Dialog = 4711;
  WindowOpen(a);
  EXPECT_TRUE(Frame());
  EXPECT_EQ(a.Dialog, -1);
  EXPECT_EQ(LastErrorCode(), 1007);
}

TEST_F(WindowApiTest, PlacingWithOnlyAStateMaximisesAndKeepsTheRest) {
  WindowPlace(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
  EXPECT_TRUE(plat::isZoomed(Frame()));
  EXPECT_EQ(WInfoWindowItem(9), 2);
  EXPECT_EQ(WInfoWindowItem(13), 320);
  EXPECT_EQ(WInfoWindowItem(14), 256);
  EXPECT_EQ(WInfoWindowItem(11), 640);
  EXPECT_EQ(WInfoWindowItem(12), 484);
  WindowPlace(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1);
  EXPECT_EQ(WInfoWindowItem(9), 1);
  EXPECT_EQ(WInfoWindowItem(1), 640);
  EXPECT_EQ(WInfoWindowItem(2), 484);
  EXPECT_EQ(WInfoWindowItem(5), 320);
}

// Sizes and positions a user may have written into the settings file: the
// window stays within a few screen sizes and within reach, and its drawing
// area follows what it got.
TEST_F(WindowApiTest, PlacingOutOfAllProportionGivesAReachableBoundedWindow) {
  struct Case {
    int32_t w, h, x, y;
  };
  const Case cases[] = {{100000, 100000, 100000, 100000},
                        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
                        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
                        {INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX}};
  const plat::Size most = plat::maxWindowSize();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " " + std::to_string(c.h) + " " + std::to_string(c.x) + " " + std::to_string(c.y));
    WindowPlace(c.w, c.h, c.x, c.y, 1);
    plat::Rect outer;
    ASSERT_TRUE(plat::getWindowRect(Frame(), outer));
    EXPECT_LE(outer.width(), most.cx);
    EXPECT_LE(outer.height(), most.cy);
    EXPECT_LE(most.cx, 2 * 1280);
    // its caption on the screen
    EXPECT_GE(outer.top, 0);
    EXPECT_LE(outer.top, 1024 - plat::kReachable);
    EXPECT_GE(outer.right, plat::kReachable);
    EXPECT_LE(outer.left, 1280 - plat::kReachable);
    plat::Rect client;
    plat::getClientRect(Client(), client);
    EXPECT_EQ(WInfoWindowItem(1), client.width());
    EXPECT_EQ(WInfoWindowItem(2), client.height());
    EXPECT_EQ(plat::clientSurface(Client())->width, client.width());
  }
  // A sensible placement is kept as asked.
  WindowPlace(500, 300, 40, 50, 1);
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  EXPECT_EQ(outer.left, 40);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(WInfoWindowItem(1), 500);
  EXPECT_EQ(WInfoWindowItem(2), 300);
}

TEST_F(WindowApiTest, StatusBarPartsAndTexts) {
  const int32_t three[] = {2000, -1, 1500};
  WindowStatusParts(3, three);
  // 2000 and 1500 units of the 640-pixel client; the middle part stretches
  // to leave the last one its width at the right end.
  const int first = 2000 * 639 / 9999, last = 1500 * 639 / 9999;
  EXPECT_EQ(Edges(), (std::vector<int>{first, 640 - last, 640}));
  const int32_t two[] = {-1, -1};
  WindowStatusParts(2, two);
  EXPECT_EQ(Edges().size(), 3u);

  WindowStatusText(2, "Middle part   ");
  EXPECT_EQ(plat::test::statusText(StatusBar(), 1), "Middle part");
  WindowStatusText(0, "never");
  WindowStatusText(256, "never");
  EXPECT_EQ(LastErrorCode(), 0);

  // The styles given go with the texts.
  const int32_t widths[] = {100, 100};
  const int32_t styles[] = {0, 2};
  WindowStatusParts(2, widths, styles);
  WindowStatusText(1, "a");
  WindowStatusText(2, "b");
  const plat::StatusBarState* st = plat::statusBarState(StatusBar());
  EXPECT_EQ(st->styles[0], plat::kSbtNoBorders);
  EXPECT_EQ(st->styles[1], plat::kSbtPopOut);
}

TEST(StatusLayout, TheStretchingPartTakesWhatTheOthersLeave) {
  plat::test::reset();
  ResetWindowManagerForTest();
  WindowOpenArguments a;
  a.Options = 39;
  a.Width = 600;
  a.Height = 300;
  WindowOpen(a);
  const plat::Hwnd bar = WindowTables().StatusBar[0];
  YYStatusPartSet(1, 100, 1);
  YYStatusPartSet(2, -1, 1);
  YYStatusPartSet(3, 80, 1);
  YYStatusPartsLayout(0, 3);
  EXPECT_EQ(plat::statusBarState(bar)->edges, (std::vector<int>{100, 520, 600}));
  YYStatusPartSet(2, 200, 1);
  YYStatusPartsLayout(0, 2);
  EXPECT_EQ(plat::statusBarState(bar)->edges, (std::vector<int>{100, 300}));
  YYWindowSystemClose();
  ResetWindowManagerForTest();
  plat::test::reset();
}

TEST_F(WindowApiTest, FillingTitlesCursorsAndSelection) {
  plat::Surface* s = plat::clientSurface(Client());
  ASSERT_NE(s, nullptr);
  WindowFillArea(10, 10, 20, 20, static_cast<int32_t>(plat::makeRgb(0, 0, 255)));
  int blue = 0;
  for (uint32_t p : s->pixels) blue += p == 0x0000FFu;
  EXPECT_EQ(blue, 11 * 11);
  WindowFillArea();
  for (uint32_t p : s->pixels) ASSERT_EQ(p, 0xFFFFFFu);  // the background colour

  WindowTitle("New title   ", 4711);
  EXPECT_EQ(LastErrorCode(), 1015);
  EXPECT_EQ(plat::getWindowText(Frame()), "New title");
  YYLastErrorStore(0);
  WindowTitle(std::nullopt, 0);
  EXPECT_EQ(LastErrorCode(), 0);

  WCursorShape(1);
  plat::SysCursor shape{};
  ASSERT_TRUE(plat::test::currentCursor(shape));
  EXPECT_EQ(shape, plat::SysCursor::Wait);
  WCursorShape(0);

  YYWINSEL(7, 0);
  EXPECT_EQ(LastErrorCode(), 1003);
  EXPECT_EQ(WInfoWindowItem(4), 0);
  EXPECT_EQ(YYWindowNumber(plat::Hwnd{123456}), -1);
  EXPECT_EQ(YYWindowNumber(Client()), 0);
}

TEST(RootWindowHelpers, TextRegistryAndPaletteTables) {
  EXPECT_EQ(YYTextToInteger("-12a"), -12);
  EXPECT_EQ(YYTextToInteger("a12"), 0);
  EXPECT_EQ(YYTextToInteger("99999999999"), INT32_MAX);
  EXPECT_EQ(YYWordLength("  two words"), 3);
  EXPECT_EQ(YYRegistryRootKey("hkey_local_machine"), static_cast<int32_t>(0x80000002u));
  EXPECT_EQ(YYRegistryRootKey("HKEY_LOCAL"), -1);
  std::string field;
  YYPadCopy(std::string_view("abc\0def", 7), field, 5);
  EXPECT_EQ(field, "abc  ");

  const std::vector<uint32_t> sixteen = YYLogicalPaletteEntries(16);
  ASSERT_EQ(sixteen.size(), 16u);
  EXPECT_EQ(sixteen.front(), plat::makeRgb(255, 255, 255));
  EXPECT_EQ(sixteen.back(), plat::makeRgb(0, 0, 0));
  const std::vector<uint32_t> thirtyTwo = YYLogicalPaletteEntries(32);
  ASSERT_EQ(thirtyTwo.size(), 32u);
  EXPECT_EQ(thirtyTwo[0], YYMasterScaleColour(0));     // indexes 0..15 and 240..255 as they are
  EXPECT_EQ(thirtyTwo[1], YYMasterScaleColour(8));
  EXPECT_EQ(thirtyTwo[2], YYMasterScaleColour(23));    // 16 + 8 - 1
  EXPECT_EQ(thirtyTwo[31], YYMasterScaleColour(248));  // 248 in the last grey ramp
  EXPECT_EQ(YYMasterScaleColour(16), plat::makeRgb(195, 0, 0));
  EXPECT_EQ(YYMasterScaleColour(223), plat::makeRgb(0, 0, 0));
  EXPECT_TRUE(YYLogicalPaletteEntries(256).empty());
}

TEST(RootWindowPalette, A256ColourDisplayGetsTheLogicalPalette) {
  plat::test::reset();
  plat::displayInfo().bitsPerPixel = 8;
  ResetWindowManagerForTest();
  int32_t w = 0, h = 0, colours = 0, palette = 0, flags = 0;
  YYDisplayMetrics(w, h, colours, palette, flags);
  EXPECT_EQ(colours, 256);
  EXPECT_EQ(palette, 16);
  WindowOpenArguments a;
  a.PaletteSize = 256;  // as the program asks: taken as 16
  WindowOpen(a);
  ASSERT_NE(WindowManagerState().Palette, 0u);
  std::vector<plat::PaletteEntry> entries(64);
  EXPECT_EQ(plat::getPaletteEntries(WindowManagerState().Palette, 0, entries), 34);
  YYWindowSystemClose();
  ResetWindowManagerForTest();
  plat::test::reset();
}

}  // namespace
