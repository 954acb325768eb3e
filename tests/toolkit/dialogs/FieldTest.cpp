// Putting and reading field values: numbers with their ranges and formats,
// texts, null values, radio groups, check boxes, option lists, progress
// bars and field states.
#include "tests/toolkit/dialogs/DialogFixture.h"

namespace dlgtest {
namespace {

TEST_F(DialogTest, NumbersGoInWithTheFieldFormatAndComeBackExactly) {
  WDialogLoad(104);
  // (f10.1) from the extras.
  WDialogPutReal(1382, 1234.56f);
  EXPECT_EQ(Text(1382), "1234.6");
  float r = 0;
  WDialogGetReal(1382, r);
  EXPECT_FLOAT_EQ(r, 1234.56f);   // the value put, not its rounded text
  // (f11.0); then a format given with the put replaces the field's own.
  WDialogPutReal(1071, 100000.0f);
  EXPECT_EQ(Text(1071), "100000.");
  WDialogPutReal(1072, 1.5f, "(F8.3)");
  EXPECT_EQ(Text(1072), "1.500");
  WDialogPutReal(1072, 2.25f);
  EXPECT_EQ(Text(1072), "2.250");
  WDialogPutInteger(1351, 42);
  EXPECT_EQ(Text(1351), "42");
  EXPECT_EQ(Error(), 0);
}

TEST_F(DialogTest, ValuesOutsideTheRangeAreRefused) {
  WDialogLoad(104);
  WDialogPutInteger(1351, 5);
  WDialogPutInteger(1351, 0);   // range 1..1000 from the extras
  EXPECT_EQ(Error(), 1009);
  EXPECT_EQ(Text(1351), "5");
  WDialogPutReal(1383, 0.5f);   // 1.0 .. 3.4028e38
  EXPECT_EQ(Error(), 1009);
  // A field without a range takes anything; a range can be set and removed.
  WDialogPutReal(1072, -1000.0f);
  EXPECT_EQ(Error(), 0);
  WDialogRangeInteger(1072, 3);
  WDialogPutInteger(1072, 2);
  EXPECT_EQ(Error(), 1009);
  WDialogPutInteger(1072, 2147483647);
  EXPECT_EQ(Error(), 0);
  WDialogRangeInteger(1072);
  WDialogPutInteger(1072, -7);
  EXPECT_EQ(Error(), 0);
}

TEST_F(DialogTest, AFieldWithoutANumberReadsAsTheNullValue) {
  WDialogLoad(104);
  WDialogPutString(1382, "  ");
  float r = 0;
  WDialogGetReal(1382, r);
  EXPECT_EQ(r, -999.0f);
  EXPECT_EQ(Error(), 1010);
  int32_t n = 0;
  WDialogPutString(1351, "");
  WDialogGetInteger(1351, n);
  EXPECT_EQ(n, -999);
  EXPECT_EQ(Error(), 1010);
  // A text put into a numeric field is read as the number it shows.
  WDialogPutString(1382, "12.5");
  WDialogGetReal(1382, r);
  EXPECT_FLOAT_EQ(r, 12.5f);
  WDialogPutString(1072, "2.7");
  WDialogGetInteger(1072, n);
  EXPECT_EQ(n, 2);
  // Integer reads of numbers beyond 32 bits saturate.
  WDialogPutString(1072, "1e12");
  WDialogGetInteger(1072, n);
  EXPECT_EQ(n, 2147483647);
  EXPECT_EQ(Error(), 0);
}

TEST_F(DialogTest, MissingFieldsAndTextsOfTheirVariablesLength) {
  WDialogLoad(220);
  WDialogPutString(4242, "x");
  EXPECT_EQ(Error(), 1006);
  std::string five(5, '?');
  WDialogGetString(4242, five);
  EXPECT_EQ(five, "     ");
  EXPECT_EQ(Error(), 1006);
  WDialogPutString(1117, "Eleven char   ");
  WDialogGetString(1117, five);
  EXPECT_EQ(five, "Eleve");
  std::string wide(20, '?');
  WDialogGetString(1117, wide);
  EXPECT_EQ(wide, "Eleven char         ");
  int32_t length = 0;
  WDialogGetStringLength(1117, length);
  EXPECT_EQ(length, 11);
}

TEST_F(DialogTest, RadioGroupsAndCheckBoxes) {
  WDialogLoad(104);
  int32_t position = 0;
  WDialogGetRadioButton(1006, position);   // nothing checked yet
  EXPECT_EQ(position, -999);
  EXPECT_EQ(Error(), 1010);
  WDialogPutRadioButton(1008);
  WDialogGetRadioButton(1006, position);
  EXPECT_EQ(position, 3);
  WDialogPutRadioButton(1007);
  WDialogGetRadioButton(1008, position);   // any button of the group
  EXPECT_EQ(position, 2);
  // Groups are separate: the varied-parameter group keeps its own choice.
  WDialogPutRadioButton(1039);
  WDialogGetRadioButton(1354, position);
  EXPECT_EQ(position, 5);
  WDialogGetRadioButton(1006, position);
  EXPECT_EQ(position, 2);

  int32_t state = -1;
  WDialogGetCheckBox(1413, state);   // [Checks] 1413 0
  EXPECT_EQ(state, 0);
  WDialogPutCheckBox(1413, 1);
  WDialogGetCheckBox(1413, state);
  EXPECT_EQ(state, 1);
  WDialogPutCheckBox(1382, 1);   // no check box
  EXPECT_EQ(Error(), 1006);
}

TEST_F(DialogTest, ProgressBarRangeAndPosition) {
  WDialogLoad(213);
  plat::Hwnd bar = Field(1371);
  EXPECT_EQ(plat::sendMessage(bar, plat::pbm::GetRange, 0), 100);   // [Ranges] 1371 0 100
  WDialogRangeProgressBar(1371, 10, 10);
  EXPECT_EQ(Error(), 1013);
  WDialogRangeProgressBar(1371, 0, 65535);
  EXPECT_EQ(Error(), 0);
  WDialogRangeProgressBar(1371, 10, 90);
  WDialogPutProgressBar(1371, 30);
  WDialogPutProgressBar(1371, 5, 1);
  EXPECT_EQ(plat::sendMessage(bar, plat::pbm::GetPos), 35);
  int32_t field = 1371;
  YYFieldClear(field);
  EXPECT_EQ(plat::sendMessage(bar, plat::pbm::GetPos), 10);
  WDialogPutProgressBar(2, 1);   // a button
  EXPECT_EQ(Error(), 1006);
}

TEST_F(DialogTest, FieldStatesByClass) {
  WDialogLoad(104);
  WDialogFieldState(1355, 2);   // a push button: read-only disables it
  EXPECT_FALSE(plat::isWindowEnabled(Field(1355)));
  WDialogFieldState(1382, 2);   // an edit field: enabled and read-only
  EXPECT_TRUE(plat::isWindowEnabled(Field(1382)));
  EXPECT_TRUE(plat::getWindowStyle(Field(1382)) & plat::es::ReadOnly);
  WDialogFieldState(1351, 3);   // a spin field: its up-down goes with it
  EXPECT_FALSE(plat::getWindowStyle(Field(1351)) & plat::ws::Visible);
  EXPECT_FALSE(plat::getWindowStyle(YYFieldRecordOf(Field(1351))->UpDown) & plat::ws::Visible);
  WDialogFieldState(1351, 1);
  EXPECT_TRUE(plat::getWindowStyle(YYFieldRecordOf(Field(1351))->UpDown) & plat::ws::Visible);
  EXPECT_EQ(YYDialogFieldGeometry(1351, 5), 5);
  EXPECT_EQ(YYDialogFieldGeometry(1413, 5), 9);
  EXPECT_EQ(YYDialogFieldGeometry(1006, 5), 10);
  EXPECT_EQ(YYDialogFieldGeometry(4242, 5), 0);
}

TEST_F(DialogTest, OptionListsOfEveryKind) {
  // A dialog of our own with the three kinds of option lists.
  plat::res::pushOverlay(
      "DIALOG 700\n RECT 0 0 200 100\n"
      " CONTROL LISTBOX 1200 \"\" 0 0 50 50\n"
      " CONTROL LISTBOX 1201 \"\" 50 0 50 50 MULTIPLESEL\n"
      " CONTROL COMBOBOX 1202 \"\" 100 0 50 50 DROPDOWN\n"
      "EXTRAS\n[Menus]\n 1200 3 2 \n  Red  \nGreen\nBlue\n 1202 2 0 \nOne\nTwo\nEND\n");
  WDialogLoad(700);
  int32_t option = 0;
  std::string text(8, '?');
  WDialogGetMenu(1200, option, &text);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(text, "Green   ");
  EXPECT_EQ(plat::sendMessage(Field(1200), plat::lb::GetCount), 3);
  WDialogGetMenu(1202, option);   // initial option 0: nothing chosen
  EXPECT_EQ(option, -999);
  EXPECT_EQ(Error(), 1010);

  const std::vector<std::string> options{"Alpha   ", "Beta"};
  WDialogPutMenu(1201, options, 2, 1);   // multiple choice: refused
  EXPECT_EQ(Error(), 1006);
  EXPECT_EQ(plat::sendMessage(Field(1201), plat::lb::GetCount), 0);
  WDialogPutMenu(1200, options, 2, 0);   // replaced, but 0 is no option
  EXPECT_EQ(Error(), 1011);
  EXPECT_EQ(plat::sendMessage(Field(1200), plat::lb::GetCount), 2);
  WDialogPutMenu(1202, options, 2, 0, "Gamma");   // typed text of a combo box
  WDialogGetMenu(1202, option, &text);
  EXPECT_EQ(option, 0);
  EXPECT_EQ(text, "Gamma   ");
  WDialogPutOption(1202, 2);
  WDialogGetMenu(1202, option, &text);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(text, "Beta    ");
  EXPECT_EQ(Error(), 0);
  plat::res::popOverlay();
}

}  // namespace
}  // namespace dlgtest
