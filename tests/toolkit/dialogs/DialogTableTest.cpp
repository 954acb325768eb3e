// Loading, selecting and unloading dialogs: the table of loaded dialogs,
// its limits and the numbers that move when a dialog goes.
#include "tests/toolkit/dialogs/DialogFixture.h"

namespace dlgtest {
namespace {

// The application's dialogs that hold no grid field, with their page
// dialogs where they have tab fields.
const int32_t kApplicationDialogs[] = {104, 111, 213, 220, 266, 117, 125, 136, 192, 110, 273, 221, 139, 211, 101};

TEST_F(DialogTest, EveryApplicationDialogWithoutAGridLoads) {
  for (int32_t id : kApplicationDialogs) {
    SCOPED_TRACE(id);
    WDialogLoad(id);
    EXPECT_EQ(Error(), 0);
    EXPECT_EQ(DialogTable().Selected, id);
    EXPECT_TRUE(plat::isWindow(Dialog()));
    EXPECT_FALSE(plat::isWindowVisible(Dialog()));   // loading never shows
  }
  // 125 brought its five tab pages with it.
  EXPECT_EQ(DialogTable().Count, static_cast<int32_t>(std::size(kApplicationDialogs)) + 5);
  for (int32_t page : {121, 122, 123, 236, 124}) EXPECT_GT(YYDialogNumber(page), 0) << page;
}

TEST_F(DialogTest, LoadingALoadedDialogOnlySelectsIt) {
  WDialogLoad(220);
  const plat::Hwnd first = Dialog();
  WDialogLoad(266);
  WDialogLoad(220);
  EXPECT_EQ(Error(), 0);
  EXPECT_EQ(Dialog(), first);
  EXPECT_EQ(DialogTable().Count, 2);
  EXPECT_EQ(DialogTable().Selected, 220);
}

TEST_F(DialogTest, FailedLoadsReportAndLeaveTheTableAlone) {
  WDialogLoad(220);
  WDialogLoad(9999);
  EXPECT_EQ(Error(), 1007);
  EXPECT_EQ(DialogTable().Count, 1);
  EXPECT_EQ(DialogTable().Selected, 220);
  WDialogSelect(9999);
  EXPECT_EQ(Error(), 1008);
  EXPECT_EQ(DialogTable().Selected, 220);
}

TEST_F(DialogTest, TheHundredthLoadSucceedsAndTheNextFails) {
  for (int32_t i = 1; i <= kMaxDialogs; ++i) WDialogLoad(192, 5000 + i);
  EXPECT_EQ(Error(), 0);
  EXPECT_EQ(DialogTable().Count, kMaxDialogs);
  WDialogLoad(192, 6000);
  EXPECT_EQ(Error(), 1087);
  EXPECT_EQ(DialogTable().Count, kMaxDialogs);
  EXPECT_EQ(DialogTable().Selected, 5000 + kMaxDialogs);
}

TEST_F(DialogTest, UnloadingMovesLaterDialogsDownAndKeepsTheCurrentOne) {
  const int32_t ids[] = {220, 266, 117, 136, 192};
  for (int32_t id : ids) WDialogLoad(id);
  EXPECT_EQ(YYDialogNumber(136), 4);
  // Unloading number 3 while number 5 is current: the others move down
  // and the current dialog is still the same dialog.
  YYDialogUnload(0, 3);
  EXPECT_EQ(DialogTable().Count, 4);
  EXPECT_EQ(YYDialogNumber(136), 3);
  EXPECT_EQ(YYDialogNumber(192), 4);
  EXPECT_EQ(YYDialogRecordOf(Dialog())->Identifier, 192);
  WDialogSelect(136);
  EXPECT_EQ(DialogTable().Current, 3);

  WDialogUnload();
  EXPECT_EQ(DialogTable().Selected, 0);
  WDialogPutString(1117, "x");
  EXPECT_EQ(Error(), 1005);
  WDialogHide();   // nothing selected: nothing reported
  EXPECT_EQ(Error(), 0);
  WDialogUnload();
  EXPECT_EQ(Error(), 1005);
}

TEST_F(DialogTest, UnloadingATabbedDialogUnloadsItsPagesUnlessKept) {
  WDialogLoad(125);
  EXPECT_EQ(DialogTable().Count, 6);
  WDialogUnload();
  EXPECT_EQ(DialogTable().Count, 0);

  WDialogLoad(125);
  WDialogUnload(1);
  EXPECT_EQ(DialogTable().Count, 5);
  // A page is a dialog of its own, but while its tab field's dialog is
  // loaded it cannot be hidden or unloaded by itself.
  WDialogLoad(125);
  WDialogSelect(122);
  WDialogUnload();
  EXPECT_EQ(Error(), 1069);
}

TEST_F(DialogTest, StateCodesComeFromTheTemplateStyles) {
  WDialogLoad(213);
  int32_t field = 1331, state = -1;
  YYFieldStateFromStyle(field, state);
  EXPECT_EQ(state, 2);   // visible, read-only numeric field
  field = 2;
  YYFieldStateFromStyle(field, state);
  EXPECT_EQ(state, 1);
  field = 4242;
  YYFieldStateFromStyle(field, state);
  EXPECT_EQ(field, -1);
}

}  // namespace
}  // namespace dlgtest
