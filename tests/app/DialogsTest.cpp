// The small dialogs that ask for one value or one choice, and View
// Properties, answered as a user answers them: keys and clicks given while
// the program waits.
#include <gtest/gtest.h>

#include "app/Dialogs.h"
#include "tests/app/AppFixture.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogTable.h"

namespace {

using apptest::AppTest;

class DialogsTest : public AppTest {
 protected:
  // Replaces the text of the focused field.
  static void Retype(std::string_view text) {
    plat::test::key(plat::vk::Home);
    plat::test::key(plat::vk::End, plat::test::kShift);
    if (text.empty()) plat::test::key(plat::vk::Delete);
    else plat::test::typeText(text);
  }
  static bool Enabled(int32_t field) { return plat::isWindowEnabled(YYFieldWindow(field)); }
};

TEST_F(DialogsTest, QuantityChoiceIsClampedAndReturnedDoubled) {
  Start();
  struct Case {
    const char* what;
    int32_t choice, count;
    int32_t preselected;  // radio position
    bool allTimeOffered;
    int32_t answerKey;    // Return (OK) or Escape (Cancel)
    int32_t pick;         // 0: the preselection; else a radio button clicked
    int32_t expected;
    bool cancelled;
  };
  const Case cases[] = {
      {"all-time asked of two choices: late, kept", 6, 2, 2, false, plat::vk::Return, 0, 4, false},
      {"nothing asked: early", 0, 2, 1, false, plat::vk::Return, 0, 2, false},
      {"three choices: all-time offered and taken", 2, 3, 1, true, plat::vk::Return, 1069, 6, false},
      {"cancel keeps the clamped preselection", 9, 2, 2, false, plat::vk::Escape, 0, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int32_t shown = 0;
    bool offered = !c.allTimeOffered;
    Steps({[&] {
      WDialogGetRadioButton(1095, shown);
      offered = Enabled(1069);
      if (c.pick != 0) ClickField(c.pick);
      plat::test::key(static_cast<uint32_t>(c.answerKey));
    }});
    int32_t choice = c.choice;
    bool cancelled = !c.cancelled;
    EARLYLATEDLG(choice, c.count, cancelled);
    EXPECT_TRUE(StepsDone());
    EXPECT_EQ(shown, c.preselected);
    EXPECT_EQ(offered, c.allTimeOffered);
    EXPECT_EQ(choice, c.expected);
    EXPECT_EQ(cancelled, c.cancelled);
    // Hidden, not unloaded; its place is kept for the next time.
    EXPECT_GE(YYDialogNumber(117), 0);
    EXPECT_FALSE(plat::isWindowVisible(YYCurrentDialogWindow()));
    EXPECT_NE(DisplaySettings().DialogX, -1);
  }
}

TEST_F(DialogsTest, TextAndNumberPrompts) {
  Start();
  // A comment longer than the caller's text keeps what fits.
  std::string text(8, ' ');
  bool cancelled = true;
  Steps({[] {
    Retype("a comment of many words");
    plat::test::key(plat::vk::Return);
  }});
  STRINGINDLG("Enter Optional Comment:", text, cancelled);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(text, "a commen");
  // Cancel leaves the text.
  Steps({[] {
    Retype("other");
    plat::test::key(plat::vk::Escape);
  }});
  STRINGINDLG("Enter Optional Comment:", text, cancelled);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(text, "a commen");

  struct Case {
    const char* what;
    const char* typed;
    int32_t answerKey;
    float expected;
    bool cancelled;
  };
  const Case cases[] = {
      {"a number typed", "2.5", plat::vk::Return, 2.5f, false},
      {"cancelled: the caller's number stays", "7", plat::vk::Escape, 10.0f, true},
      {"OK on an empty field counts as cancel", "", plat::vk::Return, 10.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    float value = 10.0f;
    bool cancel = !c.cancelled;
    std::string shown;
    Steps({[&] {
      shown.assign(40, ' ');
      WDialogGetString(1117, shown);
      Retype(c.typed);
      plat::test::key(static_cast<uint32_t>(c.answerKey));
    }});
    NUMINDLG("Please enter number to multiply by:", value, cancel);
    EXPECT_TRUE(StepsDone());
    EXPECT_EQ(TrimTrailingBlanks(shown), "Please enter number to multiply by:");
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(cancel, c.cancelled);
  }
}

TEST_F(DialogsTest, ViewPropertiesUnitsCaptionsCountsAndTab) {
  Start();
  DisplaySettingsRecord& d = DisplaySettings();
  const GraphFrame before = CurveGraphFrame()[0];
  const float hidatv = d.HIDATV;
  bool firstCm = false, firstInchOff = false, applyOffAfterUnits = false, inchOnAfterUnits = false;
  // First opening: sizes in centimetres. Units changed to inches: no
  // setting changes and Apply stays off. A caption typed and left, then
  // Cancel.
  Steps({
      [&] {
        WDialogSelect(125);
        firstCm = Enabled(1115);
        firstInchOff = !Enabled(1114);
        WDialogSelect(121);
        firstCm = firstCm && Enabled(1092) && Enabled(1099);
        firstInchOff = firstInchOff && !Enabled(1091) && !Enabled(1093);
        WDialogSelect(125);
        ClickField(1116);
        plat::test::key(plat::vk::Tab);
      },
      [&] {
        WDialogSelect(125);
        applyOffAfterUnits = !Enabled(1090);
        inchOnAfterUnits = Enabled(1114) && !Enabled(1115);
        WDialogSelect(121);
        ClickField(1078);
        Retype("Rho-a of the suite");
        plat::test::key(plat::vk::Tab);
      },
      [&] {
        WDialogSelect(125);
        ClickField(2);
      },
  });
  Menu(40021);
  EXPECT_TRUE(StepsDone());
  EXPECT_TRUE(firstCm);
  EXPECT_TRUE(firstInchOff);
  EXPECT_TRUE(applyOffAfterUnits);
  EXPECT_TRUE(inchOnAfterUnits);
  EXPECT_TRUE(ViewDialogState().ViewUnitsInch);
  EXPECT_EQ(d.HIDATV, hidatv);
  // The caption was stored when it was left, and Cancel keeps it.
  EXPECT_EQ(TrimTrailingBlanks(AxisCaptionTable().CLRES), "Rho-a of the suite");
  EXPECT_EQ(ViewDialogState().ViewLastTab, 0);

  // Closed with OK on the "Time" page: the axes keep their counts and
  // lengths, and the page is remembered.
  int32_t countShown = 0;
  Steps({[] {
    WDialogSelect(125);
    WDialogSetTab(1089, 122);
    ClickField(1);
  }});
  Menu(40021);
  EXPECT_TRUE(StepsDone());
  EXPECT_EQ(CurveGraphFrame()[0].YDivisions, before.YDivisions);
  EXPECT_FLOAT_EQ(CurveGraphFrame()[0].YDivLength, before.YDivLength);
  EXPECT_EQ(ViewDialogState().ViewLastTab, 122);
  // A count below 1 (the field's own range refuses it while the dialog
  // is up): read back by the page's reader, the frame keeps its count and
  // the field shows it again.
  WDialogLoad(125);
  const AxisPage rhoA{121, 1078, 1091, 1092, 1093, 1099, 1081, 1082};
  for (int32_t count : {0, -3}) {
    SCOPED_TRACE(count);
    GraphFrame f = before;
    std::string caption = AxisCaptionTable().CLRES;
    float size = d.HIDATV, offset = d.OFFDATV;
    WDialogSelect(121);
    WDialogPutString(1081, std::to_string(count));
    GETLOGAXISY(rhoA, caption, size, offset, f);
    EXPECT_EQ(f.YDivisions, before.YDivisions);
    WDialogGetInteger(1081, countShown);
    EXPECT_EQ(countShown, before.YDivisions);
  }
  WDialogSelect(125);
  WDialogUnload();

  // It opens again on that page, in inches.
  int32_t tabShown = 0;
  bool inches = false;
  Steps({[&] {
    WDialogSelect(125);
    WDialogGetTab(1089, tabShown);
    inches = Enabled(1114);
    ClickField(2);
  }});
  Menu(40021);
  EXPECT_TRUE(StepsDone());
  EXPECT_EQ(tabShown, 122);
  EXPECT_TRUE(inches);
  EXPECT_EQ(YYDialogNumber(125), -1);
}


TEST_F(DialogsTest, ViewPropertiesApplyDrawsWhatOkDrawsAndBoundsItsValues) {
  Start();
  DisplaySettingsRecord& d = DisplaySettings();
  plat::Surface applied;
  float heightShown = 0.0f;
  // A line width of 7 and a larger name, Apply; then OK.
  Steps({
      [&] {
        WDialogSelect(125);
        ClickField(1116);  // sizes in inches
        ClickField(1256);
        Retype("7");
        plat::test::key(plat::vk::Tab);
      },
      [&] {
        WDialogSelect(125);
        ClickField(1090);
      },
      [&] {
        applied = Picture();
        WDialogSelect(125);
        ClickField(1);
      },
  });
  Menu(40021);
  EXPECT_TRUE(StepsDone());
  EXPECT_EQ(d.LineWidth, 7);
  // The page OK leaves is the page Apply drew: the whole suite.
  ASSERT_FALSE(applied.pixels.empty());
  EXPECT_EQ(Picture().pixels, applied.pixels);

  // A name height the page cannot show is refused: the field shows the
  // height kept again.
  const float name = d.HICNAME;
  Steps({
      [&] {
        WDialogSelect(125);
        ClickField(1114);
        Retype("-1");
        plat::test::key(plat::vk::Tab);
      },
      [&] {
        WDialogSelect(125);
        WDialogGetReal(1114, heightShown);
        ClickField(1);
      },
  });
  Menu(40021);
  EXPECT_TRUE(StepsDone());
  EXPECT_FLOAT_EQ(d.HICNAME, name);
  EXPECT_FLOAT_EQ(heightShown, name);
  // A line width outside 1..20 is refused at OK with a message; the dialog
  // stays, and Cancel keeps the width the page has.
  Steps({
      [&] {
        WDialogSelect(125);
        ClickField(1256);
        Retype("999999999");
        plat::test::key(plat::vk::Tab);
      },
      [] {
        plat::test::answerMessageBox(1);
        plat::test::key(plat::vk::Return);
      },
      [] {
        WDialogSelect(125);
        ClickField(2);
      },
  });
  Menu(40021);
  EXPECT_EQ(d.LineWidth, 7);
}

}  // namespace
