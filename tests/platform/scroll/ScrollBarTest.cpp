// Scroll bars driven by the pointer: a window's own bars and scroll bar
// controls, the controls that scroll from their bars (list box, multi-line
// edit, tree view), word wrapping of multi-line edits, scrolling a window's
// contents with its children, header dividers and drawing a control into a
// bitmap.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "platform/paint/WindowDc.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"
#include "tests/support/GoldenPicture.h"

using namespace plat;

namespace {

// What the test windows were told: "vscroll <code> <pos>", "hscroll ...",
// "notify <code> <item>".
std::vector<std::string> gLog;
int gTrackWidth = -1;   // a width the parent imposes while a divider is dragged

LResult hostProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::HScroll:
    case wm::VScroll:
      gLog.push_back(std::string(message == wm::HScroll ? "hscroll " : "vscroll ") + std::to_string(loWord(wp)) + " " +
                     std::to_string(hiWord(wp)));
      return 0;
    case wm::Notify: {
      auto* nm = reinterpret_cast<NmHeader*>(lp);
      gLog.push_back("notify " + std::to_string(nm->hdr.code) + " " + std::to_string(nm->item));
      if (nm->hdr.code == hdn::Track && gTrackWidth >= 0 && nm->pitem) nm->pitem->cxy = gTrackWidth;
      return 0;
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    WindowClass wc;
    wc.name = "ScrollHost";
    wc.proc = hostProc;
    registerClass(wc);
    host = createWindow("ScrollHost", "host", ws::Popup | ws::Caption | ws::Visible, 0, 0, 420, 320);
    gLog.clear();
    gTrackWidth = -1;
  }
  void TearDown() override { test::reset(); }

  Hwnd list20() {
    Hwnd l = createWindow(kListBoxClass, "", ws::Child | ws::Visible | ws::VScroll | ws::Border, 10, 10, 150, 122, host, {}, 7);
    for (int i = 1; i <= 20; ++i) {
      const std::string t = "Item " + std::to_string(i);
      sendMessage(l, lb::AddString, 0, reinterpret_cast<LParam>(t.c_str()));
    }
    return l;
  }
  // A point of a window's own bar: its parts in screen coordinates.
  Rect bar(Hwnd w, FramePart part) {
    Rect outer;
    getWindowRect(w, outer);
    return framePartRect(w, part).offset(outer.left, outer.top);
  }
  int top(Hwnd l) { return static_cast<int>(sendMessage(l, lb::GetTopIndex)); }
  Hwnd host;
};

TEST_F(ScrollBarTest, AListOfTwentyScrollsByItsArrowTrackAndThumb) {
  Hwnd l = list20();
  const int visible = static_cast<int>(122 - 2) / static_cast<int>(sendMessage(l, lb::GetItemHeight));
  ASSERT_LT(visible, 20);
  const Rect b = bar(l, FramePart::VScroll);
  const Point down{b.left + b.width() / 2, b.bottom - 3};
  for (int k = 0; k < 3; ++k) test::click(test::Button::Left, down);
  test::pump();
  EXPECT_EQ(top(l), 3);   // three clicks, three rows
  // A click on the track above the thumb moves a page up (as far as the
  // top), one below it a page down.
  test::click(test::Button::Left, {down.x, b.top + b.width() + 1});
  test::pump();
  EXPECT_EQ(top(l), 0);
  test::click(test::Button::Left, {down.x, b.bottom - b.width() - 4});
  test::pump();
  EXPECT_EQ(top(l), visible);
  // Dragging the thumb to the end shows the last item.
  ScrollInfo si;
  getScrollInfo(l, kSbVert, si);
  EXPECT_EQ(si.pos, top(l));
  EXPECT_EQ(static_cast<int>(si.page), visible);
  const int thumbY = b.top + b.width() + 1 + (b.height() - 2 * b.width()) * si.pos / 20 + 2;
  test::mouseDown(test::Button::Left, {down.x, thumbY});
  test::mouseMove({down.x, b.bottom + 40});
  test::mouseUp(test::Button::Left, {down.x, b.bottom + 40});
  test::pump();
  EXPECT_EQ(top(l), 20 - visible);
  Rect last;
  sendMessage(l, lb::GetItemRect, 19, reinterpret_cast<LParam>(&last));
  Rect c;
  getClientRect(l, c);
  EXPECT_LE(last.bottom, c.bottom);
  // The wheel scrolls too, and at the top the up arrow does nothing more.
  setScrollPos(l, kSbVert, 0, true);
  sendMessage(l, wm::VScroll, makeWParam(kSbTop, 0), 0);
  EXPECT_EQ(top(l), 0);
  test::click(test::Button::Left, {down.x, b.top + 3});
  test::pump();
  EXPECT_EQ(top(l), 0);
}

TEST_F(ScrollBarTest, AHeldArrowRepeatsOnTheClockUntilItComesUp) {
  Hwnd w = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::VScroll, 10, 10, 100, 200, host, {}, 1);
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos;
  si.max = 99;
  si.page = 10;
  setScrollInfo(w, kSbVert, si, true);
  const Rect b = bar(w, FramePart::VScroll);
  test::mouseDown(test::Button::Left, {b.left + 3, b.bottom - 3});
  test::pump();
  EXPECT_EQ(gLog, (std::vector<std::string>{"vscroll 1 0"}));
  // First again after 400 ms, then every 50 ms while held.
  test::advance(399);
  test::pump();
  EXPECT_EQ(gLog.size(), 1u);
  test::advance(1);
  test::pump();
  test::advance(50);
  test::pump();
  test::advance(50);
  test::pump();
  EXPECT_EQ(gLog.size(), 4u);
  test::mouseUp(test::Button::Left, {b.left + 3, b.bottom - 3});
  test::pump();
  EXPECT_EQ(gLog.back(), "vscroll 8 0");
  const size_t n = gLog.size();
  test::advance(500);
  test::pump();
  EXPECT_EQ(gLog.size(), n);   // nothing after the release
  EXPECT_EQ(test::census().timers, 0);
}

TEST_F(ScrollBarTest, ATrackPressStopsWhereTheThumbReachesThePointer) {
  Hwnd w = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::VScroll, 10, 10, 100, 200, host, {}, 1);
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos;
  si.max = 99;
  si.page = 10;
  setScrollInfo(w, kSbVert, si, true);
  const Rect b = bar(w, FramePart::VScroll);
  // The window moves its own bar as it is asked to.
  const Point at{b.left + 3, b.top + b.height() / 2};
  test::mouseDown(test::Button::Left, at);
  for (int k = 0; k < 40; ++k) {
    test::pump();
    if (!gLog.empty() && gLog.back() == "vscroll 3 0") setScrollPos(w, kSbVert, getScrollPos(w, kSbVert) + 10, true);
    gLog.clear();
    test::advance(k == 0 ? 400 : 50);
  }
  test::mouseUp(test::Button::Left, at);
  test::pump();
  // The thumb stopped under the pointer: half way.
  EXPECT_NEAR(getScrollPos(w, kSbVert), 45, 10);
}

TEST_F(ScrollBarTest, DraggingTheThumbSendsTrackThenTheFinalPosition) {
  Hwnd w = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::HScroll, 10, 10, 217, 60, host, {}, 1);
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos;
  si.max = 18;
  si.page = 1;
  setScrollInfo(w, kSbHorz, si, true);
  const Rect b = bar(w, FramePart::HScroll);
  const int y = b.top + b.height() / 2;
  test::mouseDown(test::Button::Left, {b.left + b.height() + 2, y});
  test::mouseMove({b.right - b.height() - 2, y});
  test::mouseUp(test::Button::Left, {b.right - b.height() - 2, y});
  test::pump();
  ASSERT_GE(gLog.size(), 3u);
  EXPECT_EQ(gLog[gLog.size() - 3], "hscroll 5 18");
  EXPECT_EQ(gLog[gLog.size() - 2], "hscroll 4 18");
  EXPECT_EQ(gLog.back(), "hscroll 8 0");
}

TEST_F(ScrollBarTest, ABarWithNothingToScrollHidesUnlessAskedToStayDisabled) {
  Hwnd w = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::VScroll, 10, 10, 100, 200, host, {}, 1);
  Rect c;
  getClientRect(w, c);
  const int withBar = c.width();
  ScrollInfo none;
  none.mask = sif::Range | sif::Page;
  none.max = 5;
  none.page = 10;
  setScrollInfo(w, kSbVert, none, true);
  EXPECT_FALSE(getWindowStyle(w) & ws::VScroll);
  getClientRect(w, c);
  EXPECT_GT(c.width(), withBar);
  none.mask |= sif::DisableNoScroll;
  setScrollInfo(w, kSbVert, none, true);
  EXPECT_TRUE(getWindowStyle(w) & ws::VScroll);
  EXPECT_TRUE(scrollBarDisabled(w, kSbVert));
  // A disabled bar takes no presses.
  const Rect b = bar(w, FramePart::VScroll);
  test::click(test::Button::Left, {b.left + 3, b.bottom - 3});
  test::pump();
  EXPECT_TRUE(gLog.empty());
  ScrollInfo some = none;
  some.max = 50;
  setScrollInfo(w, kSbVert, some, true);
  EXPECT_FALSE(scrollBarDisabled(w, kSbVert));
}

// A range as wide as an int holds: the bar has something to scroll, its
// page and position stay inside the range, and a drag of its thumb to the
// far end gives the last position a page allows, on a window's own bar
// and on a scroll bar control.
TEST_F(ScrollBarTest, TheWidestRangesScrollWithoutOverflow) {
  Hwnd w = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::HScroll, 10, 10, 217, 60, host, {}, 1);
  Hwnd c = createWindow(kScrollBarClass, "", ws::Child | ws::Visible | sbs::Horz, 10, 100, 217, 17, host, {}, 2);
  for (Hwnd target : {w, c}) {
    const int which = target == w ? kSbHorz : kSbCtl;
    ScrollInfo si;
    si.mask = sif::Range | sif::Page | sif::Pos;
    si.min = INT_MIN;
    si.max = INT_MAX;
    si.page = 0x80000000u;
    si.pos = INT_MAX;
    setScrollInfo(target, which, si, true);
    ScrollInfo got;
    got.mask = sif::Range | sif::Page | sif::Pos;
    ASSERT_TRUE(getScrollInfo(target, which, got));
    EXPECT_EQ(got.min, INT_MIN);
    EXPECT_EQ(got.max, INT_MAX);
    EXPECT_EQ(got.page, 0x80000000u);
    EXPECT_EQ(got.pos, static_cast<int>(static_cast<long long>(INT_MAX) - 0x80000000LL + 1));
    EXPECT_FALSE(scrollBarDisabled(target, which));
    if (target == w) EXPECT_TRUE(getWindowStyle(w) & ws::HScroll) << "something to scroll: the bar stays";
    gLog.clear();
    const Rect b = target == w ? bar(w, FramePart::HScroll) : [&] {
      Rect r;
      getWindowRect(c, r);
      return r;
    }();
    // At the start, a press on the track's far end asks for the next page.
    si.mask = sif::Pos;
    si.pos = INT_MIN;
    setScrollInfo(target, which, si, true);
    test::click(test::Button::Left, {b.right - b.height() - 3, b.top + b.height() / 2});
    test::pump();
    ASSERT_FALSE(gLog.empty());
    EXPECT_EQ(gLog.front(), "hscroll 3 0") << (target == w ? "own bar" : "control");
  }
}

TEST_F(ScrollBarTest, ScrollingAWindowMovesItsChildrenAndInvalidatesWhatIsLaidBare) {
  Hwnd w = createWindow("ScrollHost", "", ws::Child | ws::Visible, 10, 10, 200, 100, host, {}, 1);
  Hwnd k = createWindow(kButtonClass, "k", ws::Child | ws::Visible, 20, 30, 40, 20, w, {}, 2);
  updateWindow(w);
  validateRect(w, nullptr);
  ASSERT_TRUE(scrollWindowEx(w, 0, -19, sw::ScrollChildren | sw::Invalidate));
  Rect r;
  getWindowRect(k, r);
  const Point p = screenToClient(w, {r.left, r.top});
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 11);
  Rect u;
  ASSERT_TRUE(getUpdateRect(w, &u, false));
  EXPECT_EQ(u.bottom, 100);
  EXPECT_LE(u.top, 81);
}

TEST_F(ScrollBarTest, AMultiLineEditWrapsBetweenWordsUnlessItScrollsSideways) {
  const char* text = "one two three four five six seven eight nine ten";
  Hwnd wrap = createWindow(kEditClass, text, ws::Child | ws::Visible | es::MultiLine, 10, 10, 80, 100, host, {}, 1);
  Hwnd side = createWindow(kEditClass, text, ws::Child | ws::Visible | es::MultiLine | es::AutoHScroll, 10, 120, 80, 100,
                           host, {}, 2);
  const int lines = static_cast<int>(sendMessage(wrap, em::GetLineCount));
  EXPECT_GT(lines, 2);
  EXPECT_EQ(sendMessage(side, em::GetLineCount), 1);
  // Each line begins a word; a hard line break still breaks.
  for (int i = 1; i < lines; ++i) {
    const int at = static_cast<int>(sendMessage(wrap, em::LineIndex, static_cast<WParam>(i)));
    EXPECT_EQ(text[at - 1], ' ') << "line " << i;
  }
  setWindowText(wrap, "abc\r\ndef");
  EXPECT_EQ(sendMessage(wrap, em::GetLineCount), 2);
  // A word longer than the line breaks inside.
  setWindowText(wrap, std::string(60, 'w'));
  EXPECT_GT(sendMessage(wrap, em::GetLineCount), 1);
}

TEST_F(ScrollBarTest, MultiLineEditsAndTreesScrollFromTheirBars) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  Hwnd e = createWindow(kEditClass, text, ws::Child | ws::Visible | ws::VScroll | es::MultiLine, 10, 10, 150, 100, host, {}, 1);
  ScrollInfo si;
  getScrollInfo(e, kSbVert, si);
  EXPECT_EQ(si.max, 30);
  const Rect b = bar(e, FramePart::VScroll);
  test::click(test::Button::Left, {b.left + 3, b.bottom - 3});
  test::click(test::Button::Left, {b.left + 3, b.bottom - 3});
  test::pump();
  EXPECT_EQ(sendMessage(e, em::GetFirstVisibleLine), 2);
  EXPECT_EQ(getScrollPos(e, kSbVert), 2);

  Hwnd t = createWindow(kTreeViewClass, "", ws::Child | ws::Visible | ws::VScroll, 200, 10, 150, 100, host, {}, 2);
  for (int i = 0; i < 25; ++i) {
    TvInsert in;
    in.item.mask = tvif::Text;
    in.item.text = "node " + std::to_string(i);
    sendMessage(t, tvm::InsertItem, 0, reinterpret_cast<LParam>(&in));
  }
  const HTreeItem first = static_cast<HTreeItem>(sendMessage(t, tvm::GetNextItem, kTvgnFirstVisible, 0));
  const Rect tb = bar(t, FramePart::VScroll);
  test::click(test::Button::Left, {tb.left + 3, tb.bottom - 3});
  test::pump();
  const HTreeItem now = static_cast<HTreeItem>(sendMessage(t, tvm::GetNextItem, kTvgnFirstVisible, 0));
  EXPECT_EQ(now, static_cast<HTreeItem>(sendMessage(t, tvm::GetNextItem, kTvgnNextVisible, static_cast<LParam>(first))));
  // Selecting the last item brings it into view.
  HTreeItem last = first;
  for (HTreeItem n = first; n; n = static_cast<HTreeItem>(sendMessage(t, tvm::GetNextItem, kTvgnNext, static_cast<LParam>(n))))
    last = n;
  sendMessage(t, tvm::SelectItem, kTvgnCaret, static_cast<LParam>(last));
  Rect r;
  r.left = static_cast<int>(last);
  ASSERT_TRUE(sendMessage(t, tvm::GetItemRect, 0, reinterpret_cast<LParam>(&r)));
  Rect c;
  getClientRect(t, c);
  EXPECT_LE(r.bottom, c.bottom);
  EXPECT_GE(r.top, 0);
}

TEST_F(ScrollBarTest, AHeaderDividerFollowsThePointerAsItsParentCorrectsIt) {
  Hwnd h = createWindow(kHeaderClass, "", ws::Child | ws::Visible | hds::Buttons, 10, 10, 300, 20, host, {}, 5);
  for (int i = 0; i < 2; ++i) {
    HdItem it;
    it.mask = hdi::Width | hdi::Text;
    it.cxy = 100;
    it.text = i == 0 ? "A" : "B";
    sendMessage(h, hdm::InsertItem, static_cast<WParam>(i), reinterpret_cast<LParam>(&it));
  }
  gLog.clear();
  gTrackWidth = 40;   // the parent keeps the first column at 40
  test::mouseDown(test::Button::Left, test::at(h, {100, 10}));
  test::mouseMove(test::at(h, {60, 10}));
  test::mouseMove(test::at(h, {20, 10}));
  test::mouseUp(test::Button::Left, test::at(h, {20, 10}));
  test::pump();
  HdItem it;
  it.mask = hdi::Width;
  sendMessage(h, hdm::GetItem, 0, reinterpret_cast<LParam>(&it));
  EXPECT_EQ(it.cxy, 40);
  EXPECT_EQ(gLog.front(), "notify " + std::to_string(hdn::BeginTrack) + " 0");
  EXPECT_NE(std::find(gLog.begin(), gLog.end(), "notify " + std::to_string(hdn::EndTrack) + " 0"), gLog.end());
  // A click on an item reports it.
  gLog.clear();
  test::click(test::Button::Left, test::at(h, {90, 10}));
  test::pump();
  EXPECT_EQ(gLog, (std::vector<std::string>{"notify " + std::to_string(hdn::ItemClick) + " 1"}));
  // Over a divider the pointer sizes.
  test::mouseMove(test::at(h, {140, 10}));
  test::pump();
  SysCursor shape;
  ASSERT_TRUE(test::currentCursor(shape));
  EXPECT_EQ(shape, SysCursor::SizeWE);
}

TEST_F(ScrollBarTest, AControlDrawsIntoABitmapAsOnTheScreen) {
  Hwnd b = createWindow(kButtonClass, "Check", ws::Child | ws::Visible | bs::AutoCheckBox, 10, 10, 80, 20, host, {}, 3);
  sendMessage(b, bm::SetCheck, kBstChecked);
  updateWindow(host);
  updateWindow(b);
  Surface shown;
  ASSERT_TRUE(test::windowPicture(b, false, shown));
  // A bitmap of the window's own colour depth (one compatible with a bare
  // memory context would have one bit per pixel).
  const Hdc window = getDC(b);
  const Hdc mem = createCompatibleDc(window);
  const HBitmap bmp = createCompatibleBitmap(window, 80, 20);
  releaseDC(b, window);
  const GdiObj old = selectObject(mem, bmp);
  sendMessage(b, wm::PrintClient, mem, 0);
  selectObject(mem, old);
  deleteDc(mem);
  const Surface* drawn = bitmapSurface(bmp);
  ASSERT_NE(drawn, nullptr);
  ASSERT_EQ(drawn->width, shown.width);
  int differ = 0;
  for (size_t i = 0; i < shown.pixels.size(); ++i) differ += (shown.pixels[i] & 0xFFFFFF) != (drawn->pixels[i] & 0xFFFFFF);
  EXPECT_EQ(differ, 0);
  if (differ) {
    writePng(shown, ::testing::TempDir() + "shown.png");
    writePng(*drawn, ::testing::TempDir() + "drawn.png");
  }
  deleteObject(bmp);
}

TEST_F(ScrollBarTest, AListAndAMultiLineEditWithLiveBarsLookAsTheirGolden) {
  Hwnd l = list20();
  for (int k = 0; k < 4; ++k) sendMessage(l, wm::VScroll, makeWParam(kSbLineDown, 0), 0);
  std::string text =
      "Scroll bars show where the view lies: the thumb is as long, against its track, as the page "
      "is against the whole text.\r\n\r\n";
  for (int i = 1; i <= 12; ++i) text += "Line " + std::to_string(i) + " of the text\r\n";
  Hwnd e = createWindow(kEditClass, text, ws::Child | ws::Visible | ws::VScroll | ws::Border | es::MultiLine, 180, 10, 200,
                        122, host, {}, 8);
  sendMessage(e, wm::VScroll, makeWParam(kSbLineDown, 0), 0);
  Hwnd h = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::HScroll | ws::Border, 10, 150, 370, 60, host, {}, 9);
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos | sif::DisableNoScroll;
  si.max = 9;
  si.page = 3;
  si.pos = 6;
  setScrollInfo(h, kSbHorz, si, true);
  Hwnd off = createWindow("ScrollHost", "", ws::Child | ws::Visible | ws::HScroll | ws::Border, 10, 220, 370, 40, host, {}, 10);
  si.max = 2;
  si.page = 5;
  setScrollInfo(off, kSbHorz, si, true);
  for (Hwnd w : {host, l, e, h, off}) updateWindow(w);
  Surface pic;
  ASSERT_TRUE(test::windowPicture(host, true, pic));
  testsupport::ExpectGoldenPicture(pic, "platform_scroll_bars.png");
}

}  // namespace
