// The rich-edit control: line ends of its two classes, grouped undo and
// redo, find, formats through RTF and back (read also by unrtf), an RTF of
// another writer, protection, and page layout onto a printer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/print/Capture.h"
#include "platform/print/Printer.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/support/ScratchDir.h"

using namespace plat;

namespace {

LResult gProtectedAnswer = 0;
int gProtectedCount = 0;

LResult hostProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::Notify) {
    const NotifyHeader* h = reinterpret_cast<const NotifyHeader*>(lp);
    if (h->code == ren::Protected) {
      ++gProtectedCount;
      return gProtectedAnswer;
    }
    return 0;
  }
  return defWindowProc(w, message, wp, lp);
}

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    WindowClass wc;
    wc.name = "RichHost";
    wc.proc = hostProc;
    registerClass(wc);
    host = createWindow("RichHost", "host", ws::Popup | ws::Visible, 0, 0, 500, 400);
    gProtectedAnswer = 0;
    gProtectedCount = 0;
  }
  void TearDown() override { test::reset(); }

  Hwnd Make(const char* cls = kRichEdit20Class, uint32_t style = es::AutoHScroll) {
    return createWindowEx(0, cls, "", ws::Child | ws::Visible | es::MultiLine | style, 0, 0, 400, 300, host, {}, 1002);
  }
  static std::string Range(Hwnd e, int a, int b) {
    std::vector<char> buf(static_cast<size_t>(b < 0 ? sendMessage(e, wm::GetTextLength) + 1 : b - a + 1));
    TextRange r{{a, b}, buf.data()};
    sendMessage(e, emr::GetTextRange, 0, reinterpret_cast<LParam>(&r));
    return buf.data();
  }
  static void Select(Hwnd e, int a, int b) {
    CharRange r{a, b};
    sendMessage(e, emr::ExSetSel, 0, reinterpret_cast<LParam>(&r));
  }
  static void Type(Hwnd e, const std::string& s) {
    for (char c : s) sendMessage(e, wm::Char, static_cast<unsigned char>(c), 0);
  }
  static CharFormat FormatOf(Hwnd e, int a, int b) {
    Select(e, a, b);
    CharFormat f;
    sendMessage(e, emr::GetCharFormat, scf::Selection, reinterpret_cast<LParam>(&f));
    return f;
  }
  static void SetEffects(Hwnd e, int a, int b, uint32_t mask, uint32_t effects) {
    Select(e, a, b);
    CharFormat f;
    f.mask = mask;
    f.effects = effects;
    sendMessage(e, emr::SetCharFormat, scf::Selection, reinterpret_cast<LParam>(&f));
  }
  static uint32_t CollectOut(uintptr_t cookie, uint8_t* buf, int32_t n, int32_t* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buf), static_cast<size_t>(n));
    *done = n;
    return 0;
  }
  struct Source {
    std::string data;
    size_t pos = 0;
  };
  static uint32_t FeedIn(uintptr_t cookie, uint8_t* buf, int32_t n, int32_t* done) {
    Source* s = reinterpret_cast<Source*>(cookie);
    const size_t k = std::min(static_cast<size_t>(n), s->data.size() - s->pos);
    std::memcpy(buf, s->data.data() + s->pos, k);
    s->pos += k;
    *done = static_cast<int32_t>(k);
    return 0;
  }
  static std::string StreamOut(Hwnd e, uint32_t flags) {
    std::string out;
    EditStream es{reinterpret_cast<uintptr_t>(&out), 0, CollectOut};
    sendMessage(e, emr::StreamOut, flags, reinterpret_cast<LParam>(&es));
    return out;
  }
  static bool StreamIn(Hwnd e, uint32_t flags, const std::string& data) {
    Source s{data};
    EditStream es{reinterpret_cast<uintptr_t>(&s), 0, FeedIn};
    sendMessage(e, emr::StreamIn, flags, reinterpret_cast<LParam>(&es));
    return es.error == 0;
  }

  Hwnd host;
};

TEST_F(RichEditTest, TheNewerClassKeepsALineEndAsOneCharacterTheOlderAsTwo) {
  struct Case {
    const char* cls;
    int controlLength;
    const char* secondLine;   // from the character after "ab" and its line end
  };
  for (const Case& c : {Case{kRichEdit20Class, 5, "cd"}, Case{kRichEdit10Class, 6, "cd"}}) {
    Hwnd e = Make(c.cls);
    setWindowText(e, "ab\ncd");
    // the window text always counts a line end as two
    EXPECT_EQ(sendMessage(e, wm::GetTextLength), 6) << c.cls;
    EXPECT_EQ(getWindowText(e), "ab\r\ncd") << c.cls;
    EXPECT_EQ(Range(e, 0, -1).size(), static_cast<size_t>(c.controlLength)) << c.cls;
    EXPECT_EQ(sendMessage(e, em::GetLineCount), 2) << c.cls;
    const int second = static_cast<int>(sendMessage(e, em::LineIndex, 1));
    EXPECT_EQ(Range(e, second, second + 2), c.secondLine) << c.cls;
    EXPECT_EQ(sendMessage(e, em::LineLength, static_cast<WParam>(second)), 2) << c.cls;
    // plain text streams out with CR LF line ends in both
    EXPECT_EQ(StreamOut(e, sf::Text), "ab\r\ncd") << c.cls;
    destroyWindow(e);
  }
}

TEST_F(RichEditTest, TypingIsOneUndoStepAndTheNewerClassRedoesIt) {
  Hwnd e = Make();
  Type(e, "abc");
  sendMessage(e, emr::StopGroupTyping);
  Type(e, "de");
  EXPECT_EQ(getWindowText(e), "abcde");
  EXPECT_EQ(sendMessage(e, em::Undo), 1);
  EXPECT_EQ(getWindowText(e), "abc");
  EXPECT_EQ(sendMessage(e, emr::CanRedo), 1);
  sendMessage(e, em::Undo);
  EXPECT_EQ(getWindowText(e), "");
  sendMessage(e, emr::Redo);
  sendMessage(e, emr::Redo);
  EXPECT_EQ(getWindowText(e), "abcde");
  // the caret stands after what was redone, nothing selected
  CharRange sel;
  sendMessage(e, emr::ExGetSel, 0, reinterpret_cast<LParam>(&sel));
  EXPECT_EQ(sel.min, 5);
  EXPECT_EQ(sel.max, 5);

  // the older class: one step, undoing again redoes, no redo of its own
  Hwnd old = Make(kRichEdit10Class);
  Type(old, "xy");
  sendMessage(old, em::Undo);
  EXPECT_EQ(getWindowText(old), "x");
  sendMessage(old, em::Undo);
  EXPECT_EQ(getWindowText(old), "xy");
  EXPECT_EQ(sendMessage(old, emr::CanRedo), 0);
}

TEST_F(RichEditTest, FindGoesDownOrUpAndTheOlderClassOnlyDown) {
  Hwnd e = Make();
  setWindowText(e, "one two One two");
  struct Case {
    uint32_t flags;
    CharRange range;
    int found;
  };
  const Case cases[] = {
      {ft::Down, {0, -1}, 0},
      {ft::Down, {1, -1}, 8},                       // any case
      {ft::Down | ft::MatchCase, {1, -1}, -1},
      {0, {15, 0}, 8},                              // up, from the end
      {ft::MatchCase, {15, 0}, 0},
  };
  for (const Case& c : cases) {
    FindTextEx f{c.range, "one", {}};
    EXPECT_EQ(sendMessage(e, emr::FindTextEx, c.flags, reinterpret_cast<LParam>(&f)), c.found) << c.flags;
  }
  FindTextEx whole{{0, -1}, "tw", {}};
  EXPECT_EQ(sendMessage(e, emr::FindTextEx, ft::Down | ft::WholeWord, reinterpret_cast<LParam>(&whole)), -1);

  // without the down flag the newer class searches up from 1, the older down
  FindTextEx up{{1, -1}, "one", {}};
  EXPECT_EQ(sendMessage(e, emr::FindTextEx, 0, reinterpret_cast<LParam>(&up)), -1);
  Hwnd old = Make(kRichEdit10Class);
  setWindowText(old, "one two one");
  EXPECT_EQ(sendMessage(old, emr::FindTextEx, 0, reinterpret_cast<LParam>(&up)), 8);
}

TEST_F(RichEditTest, FormatsGoThroughRtfAndBack) {
  Hwnd e = Make();
  setWindowText(e, "plain bold italic\nsecond {x} \\ line");
  SetEffects(e, 6, 10, cfm::Bold, cfe::Bold);
  SetEffects(e, 11, 17, cfm::Italic, cfe::Italic);
  Select(e, 18, 18);
  ParaFormat centre;
  centre.mask = pfm::Alignment | pfm::Numbering;
  centre.alignment = kAlignCentre;
  centre.numbering = kBullets;
  sendMessage(e, emr::SetParaFormat, 0, reinterpret_cast<LParam>(&centre));
  CharFormat red;
  red.mask = cfm::Colour | cfm::Size;
  red.colour = 0x0000FF;
  red.height = 480;
  Select(e, 0, 5);
  sendMessage(e, emr::SetCharFormat, scf::Selection, reinterpret_cast<LParam>(&red));
  const std::string rtf = StreamOut(e, sf::Rtf);
  ASSERT_EQ(rtf.substr(0, 6), "{\\rtf1");

  Hwnd back = Make();
  ASSERT_TRUE(StreamIn(back, sf::Rtf, rtf));
  EXPECT_EQ(getWindowText(back), getWindowText(e));
  EXPECT_EQ(FormatOf(back, 6, 10).effects & cfe::Bold, cfe::Bold);
  EXPECT_EQ(FormatOf(back, 6, 10).mask & cfm::Bold, cfm::Bold);
  EXPECT_EQ(FormatOf(back, 11, 17).effects & (cfe::Italic | cfe::Bold), cfe::Italic);
  EXPECT_EQ(FormatOf(back, 0, 5).colour, 0x0000FFu);
  EXPECT_EQ(FormatOf(back, 0, 5).height, 480);
  EXPECT_EQ(FormatOf(back, 0, 10).mask & cfm::Bold, 0u);   // mixed
  Select(back, 20, 20);
  ParaFormat p;
  sendMessage(back, emr::GetParaFormat, 0, reinterpret_cast<LParam>(&p));
  EXPECT_EQ(p.alignment, kAlignCentre);
  EXPECT_EQ(p.numbering, kBullets);
  Select(back, 0, 0);
  sendMessage(back, emr::GetParaFormat, 0, reinterpret_cast<LParam>(&p));
  EXPECT_EQ(p.alignment, kAlignLeft);

  // another reader sees the same text and runs
  testsupport::ScratchDir dir;
  const std::string file = dir.path() + "/f.rtf";
  testsupport::WriteFile(file, rtf);
  std::string html;
  ASSERT_EQ(print::runCapture({"unrtf", "--html", file}, html, 30), 0);
  EXPECT_NE(html.find("<b>bold</b>"), std::string::npos) << html;
  EXPECT_NE(html.find("<i>italic</i>"), std::string::npos) << html;
  EXPECT_NE(html.find("second {x} \\ line"), std::string::npos) << html;
}

TEST_F(RichEditTest, RtfOfAnotherWriterLoadsAndUnknownGroupsAreSkipped) {
  testsupport::ScratchDir dir;
  const std::string text = dir.path() + "/in.txt", rtf = dir.path() + "/in.rtf";
  testsupport::WriteFile(text, "Hello world\nSecond line {braces}\n");
  std::string out;
  ASSERT_EQ(print::runCapture({"enscript", "-q", "-w", "rtf", "-o", rtf, text}, out, 30), 0);
  Hwnd e = Make();
  ASSERT_TRUE(StreamIn(e, sf::Rtf, testsupport::ReadFile(rtf)));
  EXPECT_EQ(getWindowText(e), "Hello world\r\nSecond line {braces}");
  CharFormat f = FormatOf(e, 0, 5);
  EXPECT_EQ(f.face, "Courier New");

  ASSERT_TRUE(StreamIn(e, sf::Rtf,
                       "{\\rtf1{\\*\\generator x;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}"
                       "a\\tab b{\\*\\unknown skipped}\\'e9\\u8364?c\\par\\trowd\\cell x\\cell\\row}"));
  EXPECT_EQ(getWindowText(e), "a\tb\xe9?c\r\n\tx\t");
  EXPECT_FALSE(StreamIn(e, sf::Rtf, "plain words"));
}

TEST_F(RichEditTest, AColourIndexTheTableDoesNotHaveIsAutomatic) {
  struct Case {
    const char* rtf;
    uint32_t autoBit;
  };
  const Case cases[] = {
      {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf2 x}", cfe::AutoColour},
      {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\highlight2 x}", cfe::AutoBackColour},
      {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cb2 x}", cfe::AutoBackColour},
      {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\chcbpat2 x}", cfe::AutoBackColour},
      {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf999999999 x}", cfe::AutoColour},
      {"{\\rtf1\\cf1 x}", cfe::AutoColour},
      {"{\\rtf1\\highlight1 x}", cfe::AutoBackColour},
  };
  Hwnd e = Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rtf);
    ASSERT_TRUE(StreamIn(e, sf::Rtf, c.rtf));
    EXPECT_EQ(getWindowText(e), "x");
    EXPECT_EQ(FormatOf(e, 0, 1).effects & c.autoBit, c.autoBit);
  }
  // the last entry of the table is still found
  ASSERT_TRUE(StreamIn(e, sf::Rtf, "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 x}"));
  EXPECT_EQ(FormatOf(e, 0, 1).effects & cfe::AutoColour, 0u);
  EXPECT_EQ(FormatOf(e, 0, 1).colour, 0x0000FFu);
}

TEST_F(RichEditTest, RtfPutsNoControlBytesIntoTheText) {
  struct Case {
    std::string rtf, text;
  };
  const Case cases[] = {
      {"{\\rtf1 a\\'zzb}", "azzb"},          // not hex: the escape stands for nothing
      {"{\\rtf1 a\\'4zb}", "a4zb"},
      {"{\\rtf1 a\\'}", "a"},                // cut short at the end
      {"{\\rtf1 a\\'0db\\'0ac\\'01d}", "abcd"},
      {"{\\rtf1 a\\u1 ?b\\u0 ?c}", "abc"},
      {std::string("{\\rtf1 a\x01" "b\x1f" "c\\'09d}"), "abc\td"},
      {"{\\rtf1 \\'e9\\'41}", "\xe9" "A"},
  };
  Hwnd e = Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rtf);
    ASSERT_TRUE(StreamIn(e, sf::Rtf, c.rtf));
    EXPECT_EQ(getWindowText(e), c.text);
  }
}

TEST_F(RichEditTest, GroupsNestedTooDeepAreSkippedAndTheRestIsRead) {
  Hwnd e = Make();
  // text at a depth readers keep, and a group far deeper that is skipped
  std::string rtf = "{\\rtf1 a";
  rtf += std::string(200, '{') + "kept" + std::string(200, '}');
  rtf += std::string(100000, '{') + "\\b lost\\}" + std::string(100000, '}');
  rtf += "b}";
  ASSERT_TRUE(StreamIn(e, sf::Rtf, rtf));
  EXPECT_EQ(getWindowText(e), "akeptb");
  EXPECT_EQ(FormatOf(e, 5, 6).effects & cfe::Bold, 0u);
  // unbalanced: braces that never close
  ASSERT_TRUE(StreamIn(e, sf::Rtf, "{\\rtf1 x" + std::string(1000000, '{')));
  EXPECT_EQ(getWindowText(e), "x");
}

TEST_F(RichEditTest, RtfStartsFromTheDefaultFormatNotTheOneSetForTyping) {
  Hwnd e = Make();
  SetEffects(e, 0, 0, cfm::Bold | cfm::Italic, cfe::Bold | cfe::Italic);   // on for typing
  ASSERT_TRUE(StreamIn(e, sf::Rtf, "{\\rtf1 a\\b b\\plain c}"));
  EXPECT_EQ(getWindowText(e), "abc");
  EXPECT_EQ(FormatOf(e, 0, 1).effects & (cfe::Bold | cfe::Italic), 0u);
  EXPECT_EQ(FormatOf(e, 1, 2).effects & (cfe::Bold | cfe::Italic), cfe::Bold);
  EXPECT_EQ(FormatOf(e, 2, 3).effects & (cfe::Bold | cfe::Italic), 0u);
}

TEST_F(RichEditTest, TheControlsOwnRtfComesBackExactlySaveAfterSave) {
  // texts that end with line ends keep every one of them
  for (const char* text : {"", "a", "a\r\n", "a\r\n\r\n", "\r\n", "a\r\nb"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(text)));
    Hwnd e = Make();
    setWindowText(e, text);
    for (int round = 0; round < 3; ++round) {
      Hwnd back = Make();
      ASSERT_TRUE(StreamIn(back, sf::Rtf, StreamOut(e, sf::Rtf)));
      EXPECT_EQ(getWindowText(back), text) << "round " << round;
      destroyWindow(e);
      e = back;
    }
  }
  // sizes: whole and half points, and the size of a font of whole pixels
  Hwnd e = Make();
  LogFont lf;
  lf.height = -13;   // 10 points at 96 pixels per inch
  lf.faceName = "Arial";
  sendMessage(e, wm::SetFont, createFont(lf), 0);
  setWindowText(e, "abcd");
  EXPECT_EQ(FormatOf(e, 0, 1).height, 200);
  CharFormat size;
  size.mask = cfm::Size;
  for (int k : {1, 2, 3}) {
    size.height = 180 + 30 * k;   // 210, 240, 270
    Select(e, k, k + 1);
    sendMessage(e, emr::SetCharFormat, scf::Selection, reinterpret_cast<LParam>(&size));
  }
  for (int round = 0; round < 2; ++round) {
    Hwnd back = Make();
    ASSERT_TRUE(StreamIn(back, sf::Rtf, StreamOut(e, sf::Rtf)));
    const int want[] = {200, 210, 240, 270};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(FormatOf(back, k, k + 1).height, want[k]) << k << " round " << round;
    e = back;
  }
}

TEST_F(RichEditTest, ProtectedTextChangesOnlyWhenTheParentAgrees) {
  Hwnd e = Make();
  sendMessage(e, emr::SetEventMask, 0, enm::Protected);
  setWindowText(e, "keep this");
  SetEffects(e, 0, 4, cfm::Protected, cfe::Protected);
  gProtectedAnswer = 1;
  Select(e, 1, 3);
  sendMessage(e, em::ReplaceSel, 1, reinterpret_cast<LParam>("X"));
  EXPECT_EQ(getWindowText(e), "keep this");
  EXPECT_EQ(gProtectedCount, 1);
  // copying is no change; outside the protected run nothing is asked
  sendMessage(e, wm::Copy);
  Select(e, 5, 9);
  sendMessage(e, em::ReplaceSel, 1, reinterpret_cast<LParam>("that"));
  EXPECT_EQ(getWindowText(e), "keep that");
  EXPECT_EQ(gProtectedCount, 1);
  gProtectedAnswer = 0;
  Select(e, 0, 4);
  sendMessage(e, em::ReplaceSel, 1, reinterpret_cast<LParam>("drop"));
  EXPECT_EQ(getWindowText(e), "drop that");
}

TEST_F(RichEditTest, PagesOfARangeEndWhereTheTextStopsFitting) {
  setPrintersForTest(false, true);
  Hwnd e = Make();
  std::string text;
  for (int i = 0; i < 200; ++i) text += "Line " + std::to_string(i) + "\n";
  setWindowText(e, text);
  const Hdc dc = createPrinterDc(kRecordingPrinterName, PrintSettings{});
  ASSERT_TRUE(dc);
  const int total = static_cast<int>(Range(e, 0, -1).size());
  FormatRange fr;
  fr.dc = dc;
  fr.rect = {1440, 1440, 1440 * 7, 1440 * 10};
  fr.page = {0, 0, 1440 * 8, 1440 * 11};
  fr.range = {0, total};
  int pages = 0;
  while (fr.range.min < total && pages < 50) {
    const int next = static_cast<int>(sendMessage(e, emr::FormatRange, 1, reinterpret_cast<LParam>(&fr)));
    ASSERT_GT(next, fr.range.min);
    // a page ends at a line's start
    EXPECT_TRUE(next == total || Range(e, next - 1, next) == "\r");
    fr.range.min = next;
    ++pages;
  }
  EXPECT_GT(pages, 1);
  EXPECT_LT(pages, 50);
  // a rectangle too small for a line takes nothing
  fr.rect = {1440, 1440, 1440 * 7, 1441};
  fr.range = {0, total};
  EXPECT_EQ(sendMessage(e, emr::FormatRange, 1, reinterpret_cast<LParam>(&fr)), 0);
  deleteDc(dc);
}

TEST_F(RichEditTest, PositionsAnswerAsPointsOrPackedByTheModuleVersion) {
  offerRichEditModules(2);
  Hwnd packed = Make();
  setWindowText(packed, "ab");
  const LResult r = sendMessage(packed, emr::PosFromChar, 1, 0);
  EXPECT_GT(xFromParam(static_cast<uintptr_t>(r)), 0);
  offerRichEditModules(3);
  Hwnd points = Make();
  setWindowText(points, "ab");
  Point p{-99, -99};
  sendMessage(points, emr::PosFromChar, reinterpret_cast<WParam>(&p), 1);
  EXPECT_EQ(p.x, xFromParam(static_cast<uintptr_t>(r)));
}

}  // namespace
