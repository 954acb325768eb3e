// Window snapshots, drawing fields and the controls' subclass procedures:
// disabled tabs, trackbar selection keys and Enter in edit fields.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/res/Resources.h"

namespace dlgtest {
namespace {

const char* kToolsDialog =
    "DIALOG 720\n CAPTION \"Tools\"\n STYLE POPUP CAPTION\n RECT 0 0 200 120\n"
    " CONTROL STATIC 1201 \"\" 10 10 80 40 NOTIFY\n"
    " CONTROL msctls_trackbar32 1202 \"5\" 100 10 90 14 ENABLESELRANGE TABSTOP\n"
    " CONTROL msctls_trackbar32 1203 \"5\" 100 30 90 14 TABSTOP\n"
    " CONTROL EDIT 1204 \"\" 10 60 80 30 MULTILINE WANTRETURN BORDER TABSTOP\n"
    " CONTROL EDIT 1205 \"\" 100 60 80 12 BORDER TABSTOP\n"
    " CONTROL BUTTON 1 \"OK\" 100 90 40 14 DEFPUSHBUTTON TABSTOP\n"
    "EXTRAS\n[Ranges]\n 1202 0 10 \n 1203 0 10 \nEND\n"
    "DIALOG 721\n CAPTION \"Inside\"\n STYLE CHILD CAPTION SYSMENU\n RECT 0 0 100 40\n"
    " CONTROL BUTTON 2 \"Cancel\" 5 5 40 14 TABSTOP\nEND\n";

class ServicesTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    plat::res::pushOverlay(kToolsDialog);
  }
  void TearDown() override {
    plat::res::popOverlay();
    DialogTest::TearDown();
  }
};

TEST_F(ServicesTest, SnapshotsNestAndAModalRunPaintsFromThem) {
  int32_t status = -1;
  YYSnapshotMode(1, -1, status);
  YYSnapshotMode(1, -1, status);
  EXPECT_EQ(status, 0);
  YYSnapshotMode(0, -1, status);
  EXPECT_TRUE(DialogManager().SnapshotsActive);
  EXPECT_EQ(DialogManager().SnapshotCount[0], 1);
  YYSnapshotMode(0, -1, status);
  EXPECT_FALSE(DialogManager().SnapshotsActive);
  EXPECT_EQ(DialogManager().SnapshotCount[0], 0);

  WDialogLoad(220);
  int32_t during = -1;
  plat::setIdleHook([&] {
    if (during >= 0) return false;
    during = DialogManager().SnapshotCount[0];
    plat::test::key(plat::vk::Escape);
    return true;
  });
  WDialogShow(-1, -1, 0, 1);
  plat::setIdleHook({});
  EXPECT_EQ(during, 1);
  EXPECT_FALSE(DialogManager().SnapshotsActive);
}

TEST_F(ServicesTest, ADrawingFieldReportsItsMouseByDoubleClickOption) {
  WDialogLoad(720);
  WDialogShow(10, 10, 0, 2);
  Events();
  int32_t field = 1201, w = 0, h = 0;
  YYFieldDrawable(field, w, h);
  ASSERT_EQ(field, 1201);
  EXPECT_EQ(w, YYDialogFieldGeometry(1201, 3));
  EXPECT_TRUE(YYDialogHasDrawing(Dialog()));
  auto doubleClick = [&] {
    plat::test::doubleClick(plat::test::Button::Left, plat::test::at(Field(1201), {5, 5}));
    std::vector<int32_t> downs;
    const std::vector<int32_t> types = Events();
    for (size_t i = 0; i < types.size(); ++i) {
      if (types[i] != EventMouseDown && types[i] != EventMouseDoubleClick) continue;
      EXPECT_EQ(records_[i][0], 720);
      EXPECT_EQ(records_[i][1], 1);      // left button
      EXPECT_EQ(records_[i][4], 1201);   // the field
      downs.push_back(types[i]);
    }
    return downs;
  };
  WEventOptionSet(EventMouseDown, 1);
  WEventOptionSet(EventMouseDoubleClick, 0);
  EXPECT_EQ(doubleClick(), (std::vector<int32_t>{EventMouseDown, EventMouseDown}));
  plat::test::advance(2000);
  WEventOptionSet(EventMouseDoubleClick, 1);
  EXPECT_EQ(doubleClick(), (std::vector<int32_t>{EventMouseDown, EventMouseDoubleClick}));
}

TEST_F(ServicesTest, TrackbarSelectionKeysAndEnterInEditFields) {
  WDialogLoad(720);
  WDialogShow(10, 10, 0, 2);
  Events();
  WDialogSetField(1202);
  Events();
  plat::test::key('A', plat::test::kCtrl);
  std::vector<int32_t> types = Events();
  EXPECT_EQ(std::count(types.begin(), types.end(), EventFieldChange), 1);
  int32_t field = 1202, pos = 0, start = 0, end = 0;
  YYTrackbarGet(field, pos, start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 10);
  plat::test::key(plat::vk::Delete);
  Events();
  YYTrackbarGet(field, pos, start, end);
  EXPECT_EQ(end, start);   // cleared: no selection to report
  WDialogSetField(1203);   // no selection style: Ctrl+A does nothing of ours
  Events();
  plat::test::key('A', plat::test::kCtrl);
  types = Events();
  EXPECT_EQ(std::count(types.begin(), types.end(), EventFieldChange), 0);

  // Enter in a multi-line field that wants it starts a new line; in a
  // plain edit field it presses the default button.
  WDialogSetField(1204);
  plat::test::typeText("a");
  plat::test::key(plat::vk::Return);
  plat::test::typeText("b");
  types = Events();
  EXPECT_EQ(std::count(types.begin(), types.end(), EventButton), 0);
  EXPECT_NE(Text(1204).find('\n'), std::string::npos);
  WDialogSetField(1205);
  Events();
  plat::test::key(plat::vk::Return);
  types = Events();
  ASSERT_EQ(types, std::vector<int32_t>{EventButton});
  EXPECT_EQ(records_[0][1], 1);
}

TEST_F(ServicesTest, DisabledTabsAreSkippedByArrowsAndClicks) {
  WDialogLoad(125);
  WDialogShow(-1, -1, 0, 2);
  WDialogTabState(1089, 122, 0);
  const plat::Hwnd tab = Field(1089);
  plat::setFocus(tab);
  Events();
  plat::test::key(plat::vk::Right);   // over the disabled "Time" to "Log Depth"
  Events();
  int32_t page = 0;
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 123);
  plat::test::key(plat::vk::Left);    // only a disabled tab and "Rho-A" to the left
  Events();
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 121);
  plat::test::key(plat::vk::Left);    // nothing enabled further left
  Events();
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 121);
  plat::Rect r;
  plat::sendMessage(tab, plat::tcm::GetItemRect, 1, reinterpret_cast<plat::LParam>(&r));
  plat::test::click(plat::test::Button::Left, plat::test::at(tab, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  const std::vector<int32_t> types = Events();
  EXPECT_EQ(std::count(types.begin(), types.end(), EventTabChange), 0);
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 121);
}

TEST_F(ServicesTest, AChildDialogIsModelessAndHasItsSystemMenuAtThePointer) {
  WDialogLoad(721, 721, 0);
  EXPECT_EQ(plat::getParent(Dialog()), Client());
  WDialogShow(0, 0, 0, 1);   // modal is no mode for a dialog inside a window
  EXPECT_EQ(Error(), 1014);
  EXPECT_TRUE(plat::isWindowVisible(Dialog()));
  EXPECT_EQ(YYDialogRecordOf(Dialog())->ShownFlag, 1);
  Events();
  // Close from the system menu is Cancel: a button event.
  plat::test::answerMenu(plat::kScClose);
  plat::Rect r;
  plat::getWindowRect(Dialog(), r);
  const plat::Point caption{r.left + 30, r.top + 5};
  plat::test::mouseDown(plat::test::Button::Right, caption);
  plat::test::mouseUp(plat::test::Button::Right, caption);
  const std::vector<int32_t> types = Events();
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), EventButton);
  EXPECT_EQ(Last(EventButton, types)[1], 2);
}

TEST_F(ServicesTest, ButtonFaceBackgroundReplacesTheCornerColour) {
  const plat::HBitmap b = plat::createBitmap(3, 1, 32);
  plat::Surface* s = plat::bitmapSurface(b);
  const uint32_t magenta = plat::pixelFromColor(plat::makeRgb(255, 0, 255));
  s->at(0, 0) = magenta;
  s->at(1, 0) = 0x000000;
  s->at(2, 0) = magenta;
  YYBitmapFaceBackground(b);
  const uint32_t face = plat::pixelFromColor(plat::sysColor(plat::SysColor::kBtnFace));
  EXPECT_EQ(s->at(0, 0) & 0xFFFFFF, face);
  EXPECT_EQ(s->at(1, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(s->at(2, 0) & 0xFFFFFF, face);
  plat::deleteObject(b);
}

}  // namespace
}  // namespace dlgtest
