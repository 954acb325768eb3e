// Dialogs driven by injected input: events of modeless dialogs, numeric
// fields that filter, check and spin, modal runs that end on any push
// button and nest, and the tab pages of the view-properties dialog.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include <cmath>

#include <algorithm>

namespace dlgtest {
namespace {

using plat::test::key;
using plat::test::typeText;

class InputTest : public DialogTest {
 protected:
  // Shows the current dialog modeless and forgets the events of the show.
  void ShowModeless() {
    WDialogShow();
    EXPECT_EQ(Error(), 0);
    Events();
  }
  // The up (or down) arrow of a spin field's up-down control.
  void ClickSpin(int32_t id, bool up) {
    const plat::Hwnd spin = YYFieldRecordOf(Field(id))->UpDown;
    plat::Rect r;
    plat::getClientRect(spin, r);
    const plat::Point p{r.width() / 2, up ? r.height() / 4 : r.height() * 3 / 4};
    plat::test::click(plat::test::Button::Left, plat::test::at(spin, p));
  }
};

TEST_F(InputTest, TabbingToAnotherFieldIsOneFieldChange) {
  WDialogLoad(104);
  ShowModeless();
  ASSERT_EQ(plat::getFocus(), Field(1351));
  key(plat::vk::Tab);
  EventRecord r{};
  ASSERT_EQ(Poll(r), EventFieldChange);
  EXPECT_EQ(r[0], 104);
  EXPECT_EQ(r[1], 1351);
  EXPECT_EQ(r[2], 1382);
  EXPECT_EQ(Poll(r), kNoEvent);
  // Focus back into the same field changes nothing.
  WDialogSetField(1382);
  EXPECT_EQ(Events(), std::vector<int32_t>{});
}

TEST_F(InputTest, ButtonsHelpAndEnterInAModelessDialog) {
  WDialogLoad(104);
  // Fields with a range must hold a value before "Next >" takes the page.
  WDialogPutInteger(1351, 5);
  for (int32_t id : {1382, 1383, 1384, 1071}) WDialogPutReal(id, 10.0f);
  ShowModeless();
  ClickField(1357);
  const std::vector<int32_t> types = Events();
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), EventButton);
  WDialogSetField(1382);
  Events();
  key(plat::vk::F1);
  EXPECT_EQ(Events(), std::vector<int32_t>{EventButton});
  EXPECT_EQ(records_[0][1], 9);
  // Enter in a numeric field presses the default button ("Next >").
  key(plat::vk::Return);
  EXPECT_EQ(Events(), std::vector<int32_t>{EventButton});
  EXPECT_EQ(records_[0][1], 1355);
  EXPECT_EQ(records_[0][2], 1382);
}

TEST_F(InputTest, NumericFieldsTakeOnlyTheCharactersOfTheirClass) {
  WDialogLoad(104);
  ShowModeless();
  const int beeps = plat::test::beepCount();
  WDialogSetField(1382);   // REALEDIT
  typeText("1a2e3");
  Events();
  EXPECT_EQ(Text(1382), "12E3");
  WDialogSetField(1351);   // INTEGERSPIN
  typeText("-7.5x");
  Events();
  EXPECT_EQ(Text(1351), "-75");
  EXPECT_EQ(plat::test::beepCount() - beeps, 3);
}

TEST_F(InputTest, AValueOutsideTheRangeKeepsTheFocusUntilItIsGood) {
  WDialogLoad(104);
  WDialogPutInteger(1351, 5);
  ShowModeless();
  WDialogSetField(1351);
  typeText("0");
  const int beeps = plat::test::beepCount();
  key(plat::vk::Tab);
  Events();
  EXPECT_EQ(plat::test::beepCount() - beeps, 1);
  EXPECT_EQ(plat::getFocus(), Field(1351));
  EXPECT_EQ(Text(1351), "0");
  typeText("7");   // the whole text was selected again
  key(plat::vk::Tab);
  Events();
  EXPECT_EQ(plat::getFocus(), Field(1382));
  EXPECT_EQ(Text(1351), "7");
  int32_t n = 0;
  WDialogGetInteger(1351, n);
  EXPECT_EQ(n, 7);
  // A real field reformats its text with its format when it was edited.
  WDialogSetField(1382);
  typeText("12.34");
  key(plat::vk::Tab);
  Events();
  EXPECT_EQ(Text(1382), "12.3");
}

// A single-precision field refuses what single precision cannot hold, as
// it refuses a value out of its range, and its value is never an infinity.
TEST_F(InputTest, ARealFieldRefusesValuesBeyondSinglePrecision) {
  WDialogLoad(104);
  ShowModeless();
  for (const char* typed : {"1e39", "-5e38"}) {
    SCOPED_TRACE(typed);
    WDialogSetField(1382);   // REALEDIT, no range
    typeText(typed);
    const int beeps = plat::test::beepCount();
    key(plat::vk::Tab);
    Events();
    EXPECT_EQ(plat::test::beepCount() - beeps, 1);
    EXPECT_EQ(plat::getFocus(), Field(1382));
    float v = 1.0f;
    WDialogGetReal(1382, v);   // the last value the field held
    EXPECT_EQ(v, 0.0f);
  }
  typeText("3e38");   // the whole text was selected again
  key(plat::vk::Tab);
  Events();
  EXPECT_NE(plat::getFocus(), Field(1382));
  float v = 0.0f;
  WDialogGetReal(1382, v);
  EXPECT_EQ(Error(), 0);
  EXPECT_FLOAT_EQ(v, 3e38f);
  // Its text read before it was checked: beyond single precision the
  // value is undefined, never an infinity.
  WDialogSetField(1382);
  typeText("-5e38");
  Events();
  EXPECT_EQ(Text(1382), "-5E38");
  WDialogGetReal(1382, v);
  EXPECT_EQ(Error(), 1010);
  EXPECT_TRUE(std::isfinite(v));
}

TEST_F(InputTest, OkIsRefusedAndCancelRestoresTheLastGoodValue) {
  plat::res::pushOverlay(
      "DIALOG 701\n RECT 0 0 200 60\n"
      " CONTROL REALEDIT 1398 \"\" 5 5 60 12 BORDER TABSTOP\n"
      " CONTROL BUTTON 1 \"OK\" 5 30 40 14 DEFPUSHBUTTON TABSTOP\n"
      " CONTROL BUTTON 2 \"Cancel\" 50 30 40 14 TABSTOP\n"
      "EXTRAS\n[Ranges]\n 1398 1.0 10.0 \nEND\n");
  WDialogLoad(701);
  WDialogPutReal(1398, 5.0f);
  ShowModeless();
  WDialogSetField(1398);
  typeText("12");
  Events();
  const int beeps = plat::test::beepCount();
  ClickField(1);
  const std::vector<int32_t> none = Events();
  EXPECT_EQ(std::count(none.begin(), none.end(), EventButton), 0);
  EXPECT_GE(plat::test::beepCount() - beeps, 1);
  EXPECT_EQ(plat::getFocus(), Field(1398));
  EXPECT_EQ(Text(1398), "12");
  // Enter (the default button, OK) is refused with a message that names the
  // field (it has no label: its number), the text and the range.
  plat::test::clearShownDialogs();
  plat::test::answerMessageBox(1);
  key(plat::vk::Return);
  const std::vector<int32_t> refused = Events();
  EXPECT_EQ(std::count(refused.begin(), refused.end(), EventButton), 0);
  ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
  EXPECT_EQ(plat::test::shownDialogs()[0].text, "Field 1398: 12 is out of range (allowed: from 1 to 10)");
  EXPECT_EQ(plat::getFocus(), Field(1398));
  EXPECT_EQ(Text(1398), "12");

  ClickField(2);
  const std::vector<int32_t> types = Events();
  ASSERT_FALSE(types.empty());
  ASSERT_EQ(types.back(), EventButton);
  EXPECT_EQ(Last(EventButton, types)[1], 2);
  EXPECT_EQ(Text(1398), "5.0000");
  float v = 0;
  WDialogGetReal(1398, v);
  EXPECT_EQ(v, 5.0f);
  plat::res::popOverlay();
}

TEST_F(InputTest, SpinArrowsStepSnapAndClamp) {
  WDialogLoad(104);
  int32_t field = 1351;
  YYIntegerSpinSteps(field, 2, 10, 1);
  WDialogPutInteger(1351, 4);
  WDialogRangeInteger(1351);
  ShowModeless();
  ClickSpin(1351, true);   // 4 + 2 = 6, snapped to 1 + 2k: 5
  std::vector<int32_t> types = Events();
  EXPECT_EQ(Text(1351), "5");
  EXPECT_EQ(plat::getFocus(), Field(1351));   // a click on the arrows focuses the field
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), EventFieldChange);
  WDialogRangeInteger(1351, 0, 5);
  ClickSpin(1351, true);   // clamped, not snapped
  Events();
  EXPECT_EQ(Text(1351), "5");
  ClickSpin(1351, false);
  Events();
  EXPECT_EQ(Text(1351), "3");

  // A step that truncates to 0 leaves the value where it is (no grid to
  // snap to, and no division by it).
  YYIntegerSpinSteps(field, 0, 0, 0);
  ClickSpin(1351, true);
  Events();
  EXPECT_EQ(Text(1351), "3");

  // A real spin field takes its steps as they are, in its format.
  plat::res::pushOverlay(
      "DIALOG 702\n RECT 0 0 100 40\n CONTROL REALSPIN 1360 \"1.5\" 5 5 60 12 BORDER TABSTOP\n"
      "EXTRAS\n[Formats]\n 1360 (F6.2) \nEND\n");
  WDialogLoad(702);
  field = 1360;
  YYRealSpinSteps(field, 0.25f, 1.0f);
  ShowModeless();
  ClickSpin(1360, false);
  Events();
  EXPECT_EQ(Text(1360), "1.25");
  float v = 0;
  WDialogGetReal(1360, v);
  EXPECT_FLOAT_EQ(v, 1.25f);
  plat::res::popOverlay();
}

TEST_F(InputTest, ModalRunsEndOnAnyPushButtonAndKeepTheirValues) {
  WDialogLoad(220);
  WDialogPutReal(1398, 2.5f);
  typeText("7");
  key(plat::vk::Return);
  WDialogShow(-1, -1, 0, 1);
  EXPECT_EQ(Error(), 0);
  EXPECT_EQ(WDialogInfoItem(1), 1);
  EXPECT_EQ(WDialogInfoItem(5), 220);
  EXPECT_FALSE(plat::isWindowVisible(Dialog()));
  float v = 0;
  WDialogGetReal(1398, v);
  EXPECT_FLOAT_EQ(v, 7.0f);
  EXPECT_EQ(Events(), std::vector<int32_t>{});   // nothing recorded for a modal run

  key(plat::vk::Escape);
  WDialogShow(-1, -1, 0, 1);
  EXPECT_EQ(WDialogInfoItem(1), 2);

  // The close box is Cancel too.
  plat::setIdleHook([this] {
    static bool done = false;
    if (done) return false;
    done = true;
    plat::test::clickCloseBox(Dialog());
    return true;
  });
  WDialogShow(-1, -1, 0, 1);
  plat::setIdleHook({});
  EXPECT_EQ(WDialogInfoItem(1), 2);
}

TEST_F(InputTest, TheApplicationsSmallDialogsRunToTheirButtons) {
  // The abscissa page: times typed, reformatted, Enter presses "Finish".
  WDialogLoad(111);
  WDialogPutReal(1360, 0.001f);
  WDialogPutReal(1362, 10.0f);
  WDialogFieldState(1073, 0);   // a one-layer model: real time only
  WDialogPutRadioButton(1074);
  typeText("2e-3");
  key(plat::vk::Tab);
  key(plat::vk::Return);
  WDialogShow(-1, -1, 0, 1);
  EXPECT_EQ(WDialogInfoItem(1), 1355);
  EXPECT_EQ(Text(1360), "2.000E-03");
  float t = 0;
  WDialogGetReal(1360, t);
  EXPECT_FLOAT_EQ(t, 0.002f);

  // The export quantity: arrows move within the radio group past the
  // disabled all-time button.
  WDialogLoad(117);
  WDialogPutRadioButton(1077);
  WDialogFieldState(1069, 0);
  key(plat::vk::Down);
  key(plat::vk::Return);
  WDialogShow(-1, -1, 0, 1);
  EXPECT_EQ(WDialogInfoItem(1), 1);
  int32_t choice = 0;
  WDialogGetRadioButton(1095, choice);
  EXPECT_EQ(choice, 1);

  // The comment of the printout.
  WDialogLoad(266);
  WDialogPutString(1117, "Comment:");
  typeText("Three layers");
  key(plat::vk::Return);
  WDialogShow(-1, -1, 0, 1);
  std::string comment(20, ' ');
  WDialogGetString(1136, comment);
  EXPECT_EQ(comment, "Three layers        ");

  // The progress dialog runs modeless; its Cancel is a button event.
  WDialogLoad(213);
  WDialogPutInteger(1332, 5);
  WDialogRangeProgressBar(1371, 0, 5);
  WDialogPutProgressBar(1371, 0);
  ShowModeless();
  WDialogPutInteger(1331, 2);
  WDialogPutProgressBar(1371, 2);
  ClickField(2);
  const std::vector<int32_t> types = Events();
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), EventButton);
  EXPECT_EQ(Last(EventButton, types)[0], 213);
  EXPECT_EQ(Last(EventButton, types)[1], 2);
  EXPECT_EQ(Text(1331), "2");
  EXPECT_EQ(Error(), 0);
}

TEST_F(InputTest, TheSelectedDialogsPlaceSizeAndKind) {
  WDialogLoad(220);
  WDialogShow(100, 50, 0, 2);
  EXPECT_EQ(WDialogInfoItem(3), 220);
  EXPECT_EQ(WDialogInfoItem(6), 100);   // screen pixels of a top-level dialog
  EXPECT_EQ(WDialogInfoItem(7), 50);
  plat::Rect r;
  plat::getWindowRect(Dialog(), r);
  EXPECT_EQ(WDialogInfoItem(8), r.width());
  EXPECT_EQ(WDialogInfoItem(10), 1);
  WDialogLoad(125);
  WDialogShow();
  WDialogSelect(122);
  EXPECT_EQ(WDialogInfoItem(10), 3);    // a tab page inside its dialog
  WDialogSelect(125);
  WDialogUnload();
  EXPECT_EQ(WDialogInfoItem(3), 0);
  EXPECT_EQ(WDialogInfoItem(6), 0);
}

TEST_F(InputTest, ModalRunsNest) {
  WDialogLoad(220);
  int step = 0;
  int32_t innerButton = 0, innerDialog = 0;
  plat::setIdleHook([&] {
    if (step++ != 0) return false;
    // While 220 runs, a second modal dialog runs and ends with Escape.
    key(plat::vk::Escape);
    WDialogLoad(266);
    WDialogShow(-1, -1, 0, 1);
    innerButton = WDialogInfoItem(1);
    innerDialog = WDialogInfoItem(5);
    WDialogSelect(220);
    key(plat::vk::Return);
    return true;
  });
  WDialogShow(-1, -1, 0, 1);
  plat::setIdleHook({});
  EXPECT_EQ(innerButton, 2);
  EXPECT_EQ(innerDialog, 266);
  EXPECT_EQ(WDialogInfoItem(1), 1);
  EXPECT_EQ(WDialogInfoItem(5), 220);
  // Both windows are usable again.
  EXPECT_TRUE(plat::isWindowEnabled(Frame()));
}

TEST_F(InputTest, TabPagesSwitchWithTheirEvents) {
  WDialogLoad(125);
  ShowModeless();
  const plat::Hwnd tab = Field(1089);
  auto clickTab = [&](int index) {
    plat::Rect r;
    plat::sendMessage(tab, plat::tcm::GetItemRect, static_cast<plat::WParam>(index), reinterpret_cast<plat::LParam>(&r));
    plat::test::click(plat::test::Button::Left, plat::test::at(tab, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  };
  const plat::Hwnd rho = DialogTable().Slot[static_cast<size_t>(YYDialogNumber(121))];
  const plat::Hwnd time = DialogTable().Slot[static_cast<size_t>(YYDialogNumber(122))];
  EXPECT_TRUE(plat::isWindowVisible(rho));
  EXPECT_FALSE(plat::isWindowVisible(time));
  clickTab(1);
  std::vector<int32_t> types = Events();
  const EventRecord r = Last(EventTabChange, types);
  EXPECT_EQ(r[1], 121);
  EXPECT_EQ(r[2], 122);
  EXPECT_FALSE(plat::isWindowVisible(rho));
  EXPECT_TRUE(plat::isWindowVisible(time));
  int32_t page = 0;
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 122);

  // Selected by the program: no event. A disabled page cannot be selected.
  WDialogSetTab(1089, 124);
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 124);
  WDialogTabState(1089, 123, 0);
  WDialogSetTab(1089, 123);
  EXPECT_EQ(Error(), 1012);
  clickTab(2);
  types = Events();
  WDialogGetTab(1089, page);
  EXPECT_EQ(page, 124);
  EXPECT_EQ(std::count(types.begin(), types.end(), EventTabChange), 0);

  // A page's fields are reached by selecting the page; its title is its tab.
  WDialogSelect(122);
  WDialogPutString(1086, "Time (s)");
  WDialogTitle("Times");
  WDialogSelect(125);
  EXPECT_EQ(YYTabLabel(tab, 1), "Times");
  WDialogRangeInteger(1081, 1, 500);   // a field of a page is not the dialog's
  EXPECT_EQ(Error(), 1006);
}

TEST_F(InputTest, ModeThreeDisablesTheOtherWindowsUntilHidden) {
  WDialogLoad(220);
  WDialogShow(-1, -1, 0, 3);
  EXPECT_FALSE(plat::isWindowEnabled(Frame()));
  WDialogLoad(266);
  WDialogShow(-1, -1, 0, 2);   // turned into mode 3 while one is up
  EXPECT_EQ(Error(), 1014);
  WDialogHide();
  EXPECT_FALSE(plat::isWindowEnabled(Frame()));
  WDialogSelect(220);
  WDialogHide();
  EXPECT_TRUE(plat::isWindowEnabled(Frame()));
}

}  // namespace
}  // namespace dlgtest
