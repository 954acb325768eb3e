// The look of the layer's parts: edges, mnemonics, menus and bars.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/paint/Look.h"
#include "tests/platform/gdi/CanvasFixture.h"

namespace plat {
namespace {

using testing::Canvas;

class LookTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(liveObjectCount(), 0);
    resetGdi();
  }
};

uint32_t sys(SysColor c) { return pixelFromColor(sysColor(c)); }

TEST_F(LookTest, EdgesAreLitFromTheTopLeft) {
  Canvas cv(10, 10);
  look::drawEdge(cv.dc, Rect{0, 0, 10, 10}, look::Edge::kRaised);
  EXPECT_EQ(cv.px(0, 0), sys(SysColor::k3dLight));
  EXPECT_EQ(cv.px(9, 9), sys(SysColor::k3dDkShadow));
  EXPECT_EQ(cv.px(9, 0), sys(SysColor::k3dDkShadow));  // the dark side owns the corner
  EXPECT_EQ(cv.px(1, 1), sys(SysColor::kBtnHighlight));
  EXPECT_EQ(cv.px(8, 8), sys(SysColor::kBtnShadow));
  EXPECT_EQ(cv.px(2, 2), 0xFFFFFFu);  // inside untouched
  look::drawEdge(cv.dc, Rect{0, 0, 10, 10}, look::Edge::kSunken);
  EXPECT_EQ(cv.px(0, 0), sys(SysColor::kBtnShadow));
  EXPECT_EQ(cv.px(9, 9), sys(SysColor::kBtnHighlight));
}

TEST_F(LookTest, MnemonicsUnderlineTheMarkedLetterOnly) {
  EXPECT_EQ(look::menuTextWidth("&File"), look::menuTextWidth("File"));
  EXPECT_GT(look::menuTextWidth("A&&B"), look::menuTextWidth("AB"));  // "&&" shows one "&"
  Canvas marked(80, 20), plain(80, 20);
  selectObject(marked.dc, look::menuFont());
  selectObject(plain.dc, look::menuFont());
  look::drawMnemonicText(marked.dc, 2, 2, "Fi&le", 0);
  look::drawMnemonicText(plain.dc, 2, 2, "File", 0);
  TextMetrics tm;
  getTextMetrics(marked.dc, tm);
  const int underline = 2 + tm.ascent + 1;
  int extra = 0;
  for (int x = 0; x < 80; ++x) extra += marked.ink(x, underline) && !plain.ink(x, underline);
  Size fi, l;
  getTextExtent(marked.dc, "Fi", fi);
  getTextExtent(marked.dc, "l", l);
  EXPECT_EQ(extra, l.cx);
  EXPECT_TRUE(marked.ink(2 + fi.cx, underline));
}

TEST_F(LookTest, PopupMenuItems) {
  const int h = 20;
  Canvas cv(160, 3 * h + 20);
  const std::vector<look::MenuItemLook> items = {
      {Rect{3, 3, 157, 3 + h}, "&Copy\tCtrl+C", false, false, true, true},
      {Rect{3, 3 + h, 157, 12 + h}, "", true},
      {Rect{3, 12 + h, 157, 12 + 2 * h}, "&Paste", false, true},
  };
  look::paintPopupMenu(cv.dc, Rect{0, 0, 160, 3 * h + 20}, items);
  EXPECT_EQ(cv.px(100, 4), sys(SysColor::kHighlight));        // highlighted item
  EXPECT_EQ(cv.px(100, 3 + h + 3), sys(SysColor::kBtnShadow));  // the separator's groove
  EXPECT_EQ(cv.px(100, 3 + h + 4), sys(SysColor::kBtnHighlight));
  int grey = 0, highlightText = 0;
  for (int y = 0; y < cv.surface->height; ++y)
    for (int x = 0; x < 160; ++x) {
      grey += cv.px(x, y) == sys(SysColor::kGrayText) && y > 12 + h;
      highlightText += cv.px(x, y) == sys(SysColor::kHighlightText) && y < 3 + h;
    }
  EXPECT_GT(grey, 10);           // the greyed item's text
  EXPECT_GT(highlightText, 10);  // text and check mark on the highlight
}

TEST_F(LookTest, StatusBarPartsAndToolbarButtonStates) {
  Canvas cv(200, 24);
  look::paintStatusBar(cv.dc, Rect{0, 0, 200, 24},
                       {{Rect{2, 2, 100, 22}, "Ready"}, {Rect{102, 2, 180, 22}, "", look::StatusPartLook::Border::kNone}},
                       true);
  EXPECT_EQ(cv.px(2, 2), sys(SysColor::kBtnShadow));  // sunken part
  EXPECT_EQ(cv.px(102, 2), sys(SysColor::kBtnFace));  // no border
  EXPECT_EQ(cv.px(196, 23), sys(SysColor::kBtnHighlight));  // the grip
  int ink = 0;
  for (int x = 4; x < 98; ++x)
    for (int y = 4; y < 20; ++y) ink += cv.px(x, y) == sys(SysColor::kBtnText);
  EXPECT_GT(ink, 15);

  Surface img;
  img.resize(4, 4, pixelFromColor(sysColor(SysColor::kBtnFace)));
  img.at(1, 1) = 0xFF0000;
  Canvas tb(100, 30);
  const Rect up{2, 2, 25, 24}, down{30, 2, 53, 24}, off{60, 2, 83, 24};
  look::ToolButtonLook upButton{up, false, &img};
  look::ToolButtonLook checkedButton{down, false, &img, true, true};
  look::ToolButtonLook disabledButton{off, false, &img, false};
  look::paintToolbar(tb.dc, Rect{0, 0, 100, 30}, {upButton, checkedButton, disabledButton});
  EXPECT_EQ(tb.px(up.left + 1, up.top + 1), sys(SysColor::kBtnHighlight));  // raised
  EXPECT_EQ(tb.px(down.left + 1, down.top + 1), sys(SysColor::k3dDkShadow));  // sunken
  // the image sits one pixel lower and further right when the button is down
  EXPECT_EQ(tb.px(up.left + 9 + 1, up.top + 9 + 1), 0xFF0000u);
  EXPECT_EQ(tb.px(down.left + 9 + 2, down.top + 9 + 2), 0xFF0000u);
  // disabled: no colour, an engraved grey
  EXPECT_EQ(tb.px(off.left + 9 + 1, off.top + 9 + 1), sys(SysColor::kBtnShadow));
}

TEST_F(LookTest, ScrollBarThumbFollowsThePosition) {
  // a 16 x 116 bar: arrows of 16, a track of 84, a thumb of a quarter of it
  auto thumbTop = [](int pos) {
    Canvas cv(16, 116);
    look::ScrollLook s;
    s.min = 0;
    s.max = 99;
    s.page = 25;
    s.pos = pos;
    look::paintScrollBar(cv.dc, Rect{0, 0, 16, 116}, s);
    // the thumb's top edge is the first face-coloured row of the track's middle column
    for (int y = 16; y < 100; ++y)
      if (cv.px(1, y) == pixelFromColor(sysColor(SysColor::k3dLight)) && cv.px(2, y) == cv.px(1, y)) return y;
    return -1;
  };
  EXPECT_EQ(thumbTop(0), 16);
  EXPECT_EQ(thumbTop(75), 100 - 21);  // at the end of the track
  EXPECT_EQ(thumbTop(500), 100 - 21); // past the end: kept at the end
  Canvas none(16, 116);
  look::ScrollLook all;
  all.page = 200;  // the page covers the range: no thumb, grey arrows
  look::paintScrollBar(none.dc, Rect{0, 0, 16, 116}, all);
  EXPECT_EQ(none.px(8, 8), pixelFromColor(sysColor(SysColor::kGrayText)));  // the up arrow
  EXPECT_EQ(none.px(1, 50), none.px(3, 50));  // an even dither all along the track
}

}  // namespace
}  // namespace plat
