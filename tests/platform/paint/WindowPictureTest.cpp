// Pictures of windows as the layer paints them: a frame with its caption,
// menu bar, an open pop-up menu, toolbar and status bar, compared with a
// golden picture pixel by pixel.
//
// The golden is tests/golden/platform_frame.png. To make it again after an
// intended change of the look, run
//   QUILLON_UPDATE_GOLDENS=1 build/tests/platform/paint/platform_paint_tests
// and look at the new picture before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/dlg/Dialog.h"
#include "platform/menu/Menu.h"
#include "platform/paint/WindowDc.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"
#include "tests/support/GoldenPicture.h"

namespace plat {
namespace {

constexpr int kToolbarBitmap = 30104;

constexpr const char* kIcons = R"(
BITMAP 30104 64 15
  COLOR . C0C0C0
  COLOR k 000000
  COLOR w FFFFFF
  COLOR y FFFF00
  COLOR g 808080
  COLOR r FF0000
  ROWS
    ................................................................
    ...kkkkkkk...........................kkkk...........kkkkkkkk....
    ...kwwwwwkk........................kkwwwwkk.........kwwwwwwk....
    ...kwwwwwkwk.....kkkk..............kwwwwwwk.........kwkkkkwk....
    ...kwwwwwkkkk...kyyyykkkkkkk......kwwwwwwwwk........kwwwwwwk....
    ...kwwwwwwwwk...kyyyyyyyyyyyk.....kwwwwwwwwk......kkkkkkkkkkkk..
    ...kwwwwwwwwk...kyyyyyyyyyyyk.....kwwwwwwwwk.....kggggggggggggk.
    ...kwwwwwwwwk...kyyykkkkkkkkkk....kwwwwwwwwk.....kggggggggggggk.
    ...kwwwwwwwwk...kyykyyyyyyyyyk.....kwwwwwwk......kggggggggggrgk.
    ...kwwwwwwwwk...kykyyyyyyyyyk......kkwwwwkkk.....kkkkkkkkkkkkkk.
    ...kwwwwwwwwk...kkyyyyyyyyyk.........kkkk.kkk....kggggggggggggk.
    ...kwwwwwwwwk...kyyyyyyyyyk................kkk....kwwwwwwwwwwk..
    ...kwwwwwwwwk...kkkkkkkkkkk.................kkk...kwkkkkkkwwk...
    ...kkkkkkkkkk................................kk...kkkkkkkkkkkk..
    ................................................................
END
)";

// The client area shows a small graph: axes, a curve and a caption.
LResult frameProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (message != wm::Paint) return defWindowProc(w, message, wp, lp);
  PaintStruct ps;
  Hdc dc = beginPaint(w, ps);
  HPen axis = createPen(kPenSolid, 1, makeRgb(0, 0, 0));
  HPen curve = createPen(kPenSolid, 2, makeRgb(200, 0, 0));
  GdiObj old = selectObject(dc, axis);
  moveTo(dc, 40, 60);
  lineTo(dc, 40, 220);
  lineTo(dc, 440, 220);
  selectObject(dc, curve);
  const Point pts[] = {{40, 70}, {120, 78}, {200, 110}, {280, 170}, {360, 190}, {440, 195}};
  polyline(dc, pts);
  LogFont lf;
  lf.faceName = "Arial";
  lf.height = -13;
  HFont font = createFont(lf);
  GdiObj oldFont = selectObject(dc, font);
  setBkMode(dc, kTransparent);
  textOut(dc, 50, 40, "Apparent resistivity");
  selectObject(dc, oldFont);
  selectObject(dc, old);
  deleteObject(font);
  deleteObject(axis);
  deleteObject(curve);
  endPaint(w, ps);
  return 0;
}

class WindowPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { test::reset(); }
  void TearDown() override {
    res::clearOverlays();
    test::reset();
  }
};

Hmenu makeMenuBar() {
  Hmenu bar = createMenu();
  Hmenu file = createPopupMenu();
  appendMenu(file, mf::String, 40001, "&New\tCtrl+N");
  appendMenu(file, mf::String, 40002, "&Open...\tCtrl+O");
  appendMenu(file, mf::Separator, 0);
  appendMenu(file, mf::String | mf::Checked, 40003, "&Auto Redraw");
  appendMenu(file, mf::String | mf::Grayed, 40004, "Export in &KAPRIL format");
  appendMenu(file, mf::String, 40005, "&Print...\tCtrl+P");
  appendMenu(file, mf::Separator, 0);
  appendMenu(file, mf::String, 40006, "E&xit");
  Hmenu edit = createPopupMenu();
  appendMenu(edit, mf::String, 40010, "&Copy");
  Hmenu scale = createPopupMenu();
  appendMenu(scale, mf::String, 40030, "&Linear");
  appendMenu(scale, mf::String, 40031, "L&ogarithmic");
  Hmenu view = createPopupMenu();
  appendMenu(view, mf::String | mf::Checked, 40040, "&Toolbar");
  appendMenu(view, mf::String | mf::Checked, 40041, "&Status Bar");
  appendMenu(view, mf::Separator, 0);
  appendMenu(view, mf::String, 40024, "&Zoom\tF5");
  appendMenu(view, mf::String | mf::Grayed, 40025, "&Unzoom");
  appendMenu(view, mf::Popup, scale.value, "S&cale");
  appendMenu(view, mf::String, 40042, "&Properties...");
  appendMenu(bar, mf::Popup, file.value, "&File");
  appendMenu(bar, mf::Popup, edit.value, "&Edit");
  appendMenu(bar, mf::String, 40020, "&Calculate");
  appendMenu(bar, mf::Popup, view.value, "&View");
  appendMenu(bar, mf::String | mf::Grayed, 40021, "&Help");
  return bar;
}

Hwnd makeFrame() {
  WindowClass wc;
  wc.name = "QuillonPictureFrame";
  wc.proc = frameProc;
  wc.background = sysColorBrush(SysColor::kWindow);
  registerClass(wc);
  Hwnd frame = createWindow(wc.name, "Quillon - New Quillon *", ws::OverlappedWindow | ws::Visible, 40, 30, 480,
                            360, {}, makeMenuBar());

  Hwnd bar = createWindow(kToolbarClass, "", ws::Child | ws::Visible, 0, 0, 0, 0, frame, {}, 30104);
  sendMessage(bar, tb::ButtonStructSize, sizeof(ToolbarButton));
  ToolbarBitmap bm;
  bm.resourceId = kToolbarBitmap;
  sendMessage(bar, tb::AddBitmap, 4, reinterpret_cast<LParam>(&bm));
  ToolbarButton buttons[6];
  buttons[0] = {0, 40001};
  buttons[1] = {1, 40002};
  buttons[2] = {0, 0, tbstate::Enabled, btns::Sep};
  buttons[3] = {2, 40024, tbstate::Enabled | tbstate::Checked, btns::Check};
  buttons[4] = {3, 40005, 0};  // disabled
  buttons[5] = {3, 40006};
  sendMessage(bar, tb::AddButtons, 6, reinterpret_cast<LParam>(buttons));
  sendMessage(bar, tb::AutoSize);

  Hwnd status = createWindow(kStatusBarClass, "", ws::Child | ws::Visible | sbars::SizeGrip, 0, 0, 0, 0, frame, {}, 1);
  const int edges[] = {180, 300, -1};
  sendMessage(status, sb::SetParts, 3, reinterpret_cast<LParam>(edges));
  sendMessage(status, sb::SetText, 0, reinterpret_cast<LParam>("Ready"));
  sendMessage(status, sb::SetText, 1, reinterpret_cast<LParam>("Model 3 of 5"));
  sendMessage(status, sb::SetText, 2, reinterpret_cast<LParam>("x=0.001 s"));
  sendMessage(status, wm::Size, 0, 0);
  redrawWindow(frame, nullptr, kRdwInvalidate | kRdwErase | kRdwFrame | kRdwAllChildren | kRdwUpdateNow);
  return frame;
}

TEST_F(WindowPictureTest, FrameWithMenuBarOpenPopupToolbarAndStatusBar) {
  res::pushOverlay(kIcons, "icons");
  Hwnd frame = makeFrame();
  Rect outer;
  ASSERT_TRUE(getWindowRect(frame, outer));
  Surface shot;
  bool taken = false;
  // View, then "Zoom", pictured while the pop-up is open
  test::answerMenuPath({3, 3}, [&] { taken = test::screenPicture(outer, shot); });
  ASSERT_TRUE(test::chooseMenu(frame, 40024));
  test::pump();
  ASSERT_TRUE(taken);
  testsupport::ExpectGoldenPicture(shot, "platform_frame.png");
}

TEST_F(WindowPictureTest, ClientPictureLeavesOutTheFrame) {
  res::pushOverlay(kIcons, "icons");
  Hwnd frame = makeFrame();
  Surface client, whole;
  ASSERT_TRUE(test::windowPicture(frame, false, client));
  ASSERT_TRUE(test::windowPicture(frame, true, whole));
  Rect c;
  getClientRect(frame, c);
  EXPECT_EQ(client.width, c.width());
  EXPECT_EQ(client.height, c.height());
  const Rect inFrame = framePartRect(frame, FramePart::Client);
  for (int y = 0; y < client.height; y += 7)
    for (int x = 0; x < client.width; x += 5) ASSERT_EQ(client.at(x, y), whole.at(inFrame.left + x, inFrame.top + y));
  // the caption is the active caption colour
  const Rect cap = framePartRect(frame, FramePart::Caption);
  EXPECT_EQ(whole.at(cap.left + cap.width() / 2, cap.top + 2), pixelFromColor(sysColor(SysColor::kActiveCaption)));
  EXPECT_FALSE(test::windowPicture(Hwnd{12345}, true, whole));
  EXPECT_TRUE(test::writeWindowPng(frame, true, ::testing::TempDir() + "frame.png"));
}

TEST_F(WindowPictureTest, WindowContextsDrawAtOnceAndGoWithTheWindow) {
  Hwnd frame = makeFrame();
  Hdc dc = getDC(frame);
  ASSERT_NE(dc, 0u);
  setPixel(dc, 3, 4, makeRgb(1, 2, 3));
  EXPECT_EQ(clientSurface(frame)->at(3, 4), 0x010203u);
  EXPECT_TRUE(releaseDC(frame, dc));
  EXPECT_FALSE(isDc(dc));
  EXPECT_FALSE(releaseDC(frame, dc));
  Hdc whole = getWindowDC(frame);
  setPixel(whole, 0, 0, makeRgb(9, 9, 9));
  EXPECT_EQ(windowSurface(frame)->at(0, 0), 0x090909u);
  destroyWindow(frame);
  EXPECT_FALSE(isDc(whole));  // freed with its window
  EXPECT_EQ(getDC(frame), 0u);
}

// A frame shows its class's icon, made small, in its caption; a dialog with
// a modal frame shows none and a frame without an icon a plain picture.
TEST_F(WindowPictureTest, FramesShowTheirIconAndModalDialogsNone) {
  res::pushOverlay(R"(
ICON framed 4 4
  COLOR r FF0000
  COLOR b 0000FF
  ROWS
  rrbb
  rrbb
  rrbb
  rrbb
END
DIALOG 610
  CAPTION "Modal"
  STYLE POPUP CAPTION SYSMENU MODALFRAME VISIBLE
  RECT 0 0 120 40
END
)",
                   "icons");
  WindowClass wc;
  wc.name = "IconFrame";
  wc.proc = defWindowProc;
  wc.icon = loadIcon("framed");
  ASSERT_TRUE(wc.icon);
  registerClass(wc);
  wc.name = "PlainFrame";
  wc.icon = {};
  registerClass(wc);
  const Hwnd withIcon = createWindow("IconFrame", "Icon", ws::OverlappedWindow | ws::Visible, 10, 10, 300, 120);
  const Hwnd plain = createWindow("PlainFrame", "Plain", ws::OverlappedWindow | ws::Visible, 10, 200, 300, 120);
  const Hwnd modal = createDialogParam(610, withIcon, [](Hwnd, uint32_t, WParam, LParam) -> intptr_t { return 0; });
  ASSERT_TRUE(modal);
  auto colours = [](Hwnd w, const Rect& r) {
    Surface pic;
    EXPECT_TRUE(test::windowPicture(w, true, pic));
    int red = 0, blue = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, pic.height); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, pic.width); ++x) {
        red += pic.at(x, y) == 0xFF0000u;
        blue += pic.at(x, y) == 0x0000FFu;
      }
    return std::pair{red, blue};
  };
  const Rect box = framePartRect(withIcon, FramePart::SysMenuBox);
  ASSERT_FALSE(box.empty());
  const auto [red, blue] = colours(withIcon, box);
  EXPECT_EQ(red, blue) << "the icon's two halves, each half the box";
  EXPECT_EQ(red + blue, box.width() * box.height());
  EXPECT_EQ(colours(plain, framePartRect(plain, FramePart::SysMenuBox)), (std::pair{0, 0}));
  ASSERT_FALSE(framePartRect(modal, FramePart::Caption).empty());
  EXPECT_TRUE(framePartRect(modal, FramePart::SysMenuBox).empty());
  EXPECT_EQ(colours(modal, framePartRect(modal, FramePart::Caption)), (std::pair{0, 0}));
}

}  // namespace
}  // namespace plat
