// The extras applied to a dialog's controls: colours, text limits, fonts,
// option bits, trackbars, tree contents from a menu, and the layout of a
// resizable dialog.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include "platform/gdi/Gdi.h"
#include "platform/paint/WindowDc.h"
#include "platform/res/Resources.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogUnload.h"

namespace dlgtest {
namespace {

// A resizable dialog: the list 1050 stretches, the buttons right of it
// move, the field aligned with its right edge widens, the check box below
// it moves down.
const char* kLayoutDialog =
    "MENU 30500\n POPUP \"Models\" ID 40100 CHECKED\n  ITEM \"Layered\" 40101\n  ITEM \"Half-space\" 40102\n END\n"
    " ITEM \"Suite\" 40103\nEND\n"
    "DIALOG 710\n CAPTION \"Layout\"\n STYLE POPUP CAPTION THICKFRAME\n RECT 0 0 200 120\n"
    " CONTROL LISTBOX 1050 \"\" 10 10 120 60 NOINTEGRALHEIGHT\n"
    " CONTROL EDIT 1051 \"\" 10 75 120 12 BORDER\n"
    " CONTROL BUTTON 1 \"OK\" 140 10 50 14\n"
    " CONTROL BUTTON 1096 \"Check\" 10 95 60 10 AUTOCHECKBOX\n"
    " CONTROL EDIT 1026 \"\" 140 30 50 12 BORDER\n"
    " CONTROL msctls_trackbar32 1200 \"7\" 140 50 50 14 ENABLESELRANGE\n"
    " CONTROL SysTreeView32 1300 \"\" 140 70 50 40\n"
    "EXTRAS\n"
    "[Colours]\n 1096 000 000 000 191 191 191 \n 1026 256 0 0 -1 0 0 \n"
    "[Lengths]\n 1026    80 \n"
    "[Fonts]\n 1051 10 Times New Roman, 700 1 \n"
    "[Flags]\n 1050 1 \n"
    "[Ranges]\n 1200 0 20 \n"
    "[Trackbars]\n 1200 5 2 4 3 9 \n"
    "[Treeviews]\n 1300 30500 40102 \n"
    "[Dialog]\n 1 1050 1 \n"
    "END\n";

class ExtrasApplyTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    plat::res::pushOverlay(kLayoutDialog);
    WDialogLoad(710);
    ASSERT_EQ(Error(), 0);
  }
  void TearDown() override {
    plat::res::popOverlay();
    DialogTest::TearDown();
  }
  plat::Rect RectOf(int32_t id) { return YYControlRect(Field(id)); }
};

TEST_F(ExtrasApplyTest, ColoursLimitsFontsAndFlags) {
  const FieldRecord* check = YYFieldRecordOf(Field(1096));
  EXPECT_EQ(check->TextColour, static_cast<int32_t>(plat::makeRgb(0, 0, 0)));
  EXPECT_EQ(check->BackgroundColour, static_cast<int32_t>(plat::makeRgb(191, 191, 191)));
  // Red 256: the system colour; red -1: unchanged.
  const FieldRecord* limited = YYFieldRecordOf(Field(1026));
  EXPECT_EQ(limited->TextColour, -1);
  EXPECT_EQ(limited->BackgroundColour, -1);
  EXPECT_EQ(limited->TextLengthLimit, 80);
  EXPECT_EQ(plat::sendMessage(Field(1026), plat::em::GetLimitText), 80);

  // Drawn black on grey: the colour request answers a brush of the grey.
  WDialogShow(10, 10, 0, 2);
  const plat::Hdc dc = plat::getDC(Field(1096));
  const plat::HBrush brush = YYFieldColourProc(Dialog(), plat::wm::CtlColorBtn, dc, Field(1096));
  EXPECT_NE(brush, 0u);
  EXPECT_EQ(plat::getTextColor(dc), plat::makeRgb(0, 0, 0));
  EXPECT_EQ(plat::getBkColor(dc), plat::makeRgb(191, 191, 191));
  EXPECT_EQ(YYFieldColourProc(Dialog(), plat::wm::CtlColorEdit, dc, Field(1051)), 0u);
  plat::releaseDC(Field(1096), dc);

  plat::LogFont lf;
  ASSERT_TRUE(plat::getLogFont(static_cast<plat::HFont>(plat::sendMessage(Field(1051), plat::wm::GetFont)), lf));
  EXPECT_EQ(lf.faceName, "Times New Roman");
  EXPECT_EQ(lf.weight, 700);
  EXPECT_TRUE(lf.italic);
  EXPECT_EQ(lf.height, -13);   // 10 points at 96 dots per inch
  EXPECT_EQ(YYFieldRecordOf(Field(1050))->OptionBits, 1);
}

TEST_F(ExtrasApplyTest, TrackbarsAndTrees) {
  const plat::Hwnd bar = Field(1200);
  EXPECT_EQ(plat::sendMessage(bar, plat::tbm::GetRangeMax), 20);
  EXPECT_EQ(plat::sendMessage(bar, plat::tbm::GetPos), 7);   // its template text
  EXPECT_EQ(plat::sendMessage(bar, plat::tbm::GetLineSize), 2);
  EXPECT_EQ(plat::sendMessage(bar, plat::tbm::GetPageSize), 4);
  int32_t field = 1200, pos = 0, start = 0, end = 0;
  YYTrackbarGet(field, pos, start, end);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 9);

  // The menu's items in order, pop-ups with their items; the value named
  // is selected; a checked pop-up starts expanded.
  field = 1300;
  int32_t value = 0;
  std::string text;
  YYTreeGetSelected(field, value, true, text);
  EXPECT_EQ(value, 40102);
  EXPECT_EQ(text, "Half-space");
  int32_t state = 0;
  YYTreeBranchState(field, 40100, state);
  EXPECT_EQ(state, 2);
  YYTreeBranchState(field, 40103, state);
  EXPECT_EQ(field, -3);   // no branch
  field = 1300;
  YYTreeInsert(field, 40103, 3, 40104, "Layers");
  YYTreeBranchState(field, 40103, state);
  EXPECT_EQ(field, 1300);
  EXPECT_EQ(state, 1);
  YYTreeUniqueValues(1);
  YYTreeInsert(field, 40103, 2, 40104, "Again");
  EXPECT_EQ(field, -3);
  field = 1300;
  YYTreeDelete(field, 99);
  EXPECT_EQ(field, -2);
}

TEST_F(ExtrasApplyTest, AResizedDialogLaysItsFieldsOut) {
  WDialogShow(10, 10, 0, 2);
  const plat::Rect list = RectOf(1050), edit = RectOf(1051), ok = RectOf(1), check = RectOf(1096);
  plat::Rect outer;
  plat::getWindowRect(Dialog(), outer);
  plat::setWindowPos(Dialog(), {}, 0, 0, outer.width() + 100, outer.height() + 40,
                     plat::kSwpNoMove | plat::kSwpNoZOrder);
  EXPECT_EQ(RectOf(1050).right, list.right + 100);    // the stretch field
  EXPECT_EQ(RectOf(1050).bottom, list.bottom + 40);
  EXPECT_EQ(RectOf(1).left, ok.left + 100);            // right of it: moves
  EXPECT_EQ(RectOf(1).width(), ok.width());
  EXPECT_EQ(RectOf(1051).right, edit.right + 100);     // aligned with it: widens
  EXPECT_EQ(RectOf(1051).left, edit.left);
  EXPECT_EQ(RectOf(1096).top, check.top + 40);         // below it: moves down
  // No smaller than it was made.
  plat::MinMaxInfo mm;
  plat::sendMessage(Dialog(), plat::wm::GetMinMaxInfo, 0, reinterpret_cast<plat::LParam>(&mm));
  EXPECT_EQ(mm.minTrackSize.x, outer.width());
}

TEST_F(ExtrasApplyTest, ResizingInDialogUnitsHidesAndRestoresFields) {
  // A dialog that is not laid out hides what no longer fits, and gives it
  // back its state when it fits again.
  WDialogLoad(220);
  WDialogFieldState(2, 0);
  int32_t status = 0;
  YYDialogResize(160, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(plat::getWindowStyle(Field(2)) & plat::ws::Visible);
  EXPECT_TRUE(plat::getWindowStyle(Field(1)) & plat::ws::Visible);
  YYDialogResize(220, 0, status);
  EXPECT_TRUE(plat::getWindowStyle(Field(2)) & plat::ws::Visible);
  EXPECT_FALSE(plat::isWindowEnabled(Field(2)));
}

}  // namespace
}  // namespace dlgtest
