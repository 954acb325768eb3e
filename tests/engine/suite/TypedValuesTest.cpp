// What the user types into the suite's pages is taken as typed or refused
// with a message that names the field, the text and the values allowed;
// never replaced behind the user's back. Values are typed by keys into the
// real pages and the pages left with "Next >" (a click) and with Enter.
#include "tests/engine/suite/PagesFixture.h"

#include "VOZUVar/Strings.h"

namespace suitetest {
namespace {

constexpr int32_t kNext = 1355, kCancel = 2;
const std::string kType = "Model Suite Parameters";

class TypedValues : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    ThreeLayerSuite(5);
    SuiteSettingsRecord& s = SuiteSettings();
    s.TxAmps = 1.0f;
    s.Offset = 1000.0f;
    s.TxRxAngle = 90.0f;
  }
  // Puts the focus into a field and replaces its text by keys (Ctrl+A
  // selects the old text, typing replaces it, Delete empties it).
  std::function<void()> Type(int32_t id, std::string text) {
    return [this, id, text] {
      ClickField(id);
      plat::test::key('A', plat::test::kCtrl);
      if (text.empty()) plat::test::key(plat::vk::Delete);
      else plat::test::typeText(text);
    };
  }
};

TEST_F(TypedValues, RefusedValuesKeepThePageWithAMessage) {
  struct Case {
    int32_t field;
    const char* typed;
    const char* message;
    // The field's text after the focus left it: as typed, unless the
    // dialog took the number and wrote it in the field's format (the page
    // then refused it for a reason of its own).
    const char* shown = nullptr;
  } const cases[] = {
      {1351, "0", "Number of models: 0 is out of range (allowed: from 1 to 1000)"},
      {1351, "1001", "Number of models: 1001 is out of range (allowed: from 1 to 1000)"},
      {1351, "2000", "Number of models: 2000 is out of range (allowed: from 1 to 1000)"},
      {1351, "", "Number of models: no value entered (allowed: from 1 to 1000)"},
      {1383, "0.5", "Current (A): 0.5 is out of range (allowed: from 1 to 3.4028e+38)"},
      {1383, "", "Current (A): no value entered (allowed: from 1 to 3.4028e+38)"},
      {1382, "2,5",
       "Length (m): \"2,5\" is not a number (the decimal mark is a point: \".\") (allowed: from 1 to 3.4028e+38)"},
      {1072, "", "Offset: no value entered (allowed: greater than 0)"},
      {1072, "0", "Offset: 0.0 is out of range (allowed: greater than 0)", "0.0"},
      {1072, "-5", "Offset: -5.0 is out of range (allowed: greater than 0)", "-5.0"},
      {1072, "1,5", "Offset: \"1,5\" is not a number (the decimal mark is a point: \".\")"},
      {1075, "180",
       "Tx/Offset Angle(deg): 180.0 is out of range (allowed: an angle whose sine is not 0 for the HZ component "
       "and this display)",
       "180.0"},
      {1075, "", "Tx/Offset Angle(deg): no value entered (allowed: an angle whose sine is not 0 for the HZ "
                 "component and this display)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.field) + " \"" + c.typed + "\"");
    const SuiteSettingsRecord before = SuiteSettings();
    boxes_.clear();
    const auto kept = [this, c] {
      EXPECT_EQ(Page(), kType);
      EXPECT_EQ(plat::getFocus(), Field(c.field));
      EXPECT_EQ(TrimTrailingBlanks(Text(c.field)), c.shown != nullptr ? c.shown : c.typed);
    };
    Steps({Type(c.field, c.typed), Press(kNext), CloseBox(),
           [kept] {
             kept();
             plat::test::key(plat::vk::Return);  // Enter in the field presses "Next >"
           },
           CloseBox(), [this, kept] {
             kept();
             ClickField(kCancel);
           }});
    EXPECT_TRUE(Run());
    EXPECT_EQ(boxes_, (std::vector<std::string>{c.message, c.message}));
    const SuiteSettingsRecord& s = SuiteSettings();
    EXPECT_EQ(s.NSuite, before.NSuite);
    EXPECT_EQ(s.TxLength, before.TxLength);
    EXPECT_EQ(s.TxAmps, before.TxAmps);
    EXPECT_EQ(s.Offset, before.Offset);
    EXPECT_EQ(s.TxRxAngle, before.TxRxAngle);
    EXPECT_FALSE(SuiteResults().Snapshot.Valid);
  }
}

TEST_F(TypedValues, AcceptedValuesAreTakenAsTyped) {
  // An angle of 0 is fine for the received voltage of a layered model.
  SuiteSettings().IDisplay = 1;
  Steps({Type(1351, "7"), Type(1383, "2.5"), Type(1072, "250"), Type(1075, "0"),
         [this] { plat::test::key(plat::vk::Return); },
         [this] {
           EXPECT_EQ(Page(), "Base Resistivity Model");
           ClickField(kCancel);
         }});
  EXPECT_TRUE(Run());
  const SuiteSettingsRecord& s = SuiteSettings();
  EXPECT_EQ(s.NSuite, 7);
  EXPECT_EQ(s.TxAmps, 2.5f);
  EXPECT_EQ(s.Offset, 250.0f);
  EXPECT_EQ(s.TxRxAngle, 0.0f);
  EXPECT_TRUE(boxes_.empty());
}

// The whole suite by keys alone: Enter presses "Next >" from a field and
// from a grid cell not being edited, Enter in an edited cell moves down,
// Escape takes an edit back, Tab and Shift+Tab leave and enter the grid,
// Alt+F is "Finish"; Escape on a page with nothing edited is Cancel.
TEST_F(TypedValues, TheSuiteByKeyboardAlone) {
  const auto inGrid = [this](int32_t grid) {
    const plat::Hwnd f = plat::getFocus();
    return f == Field(grid) || plat::isChild(Field(grid), f);
  };
  Steps({[this] {
           EXPECT_EQ(Page(), kType);
           EXPECT_EQ(plat::getFocus(), Field(1351));
           plat::test::key('A', plat::test::kCtrl);
           plat::test::typeText("3");
           plat::test::key(plat::vk::Return);
         },
         [this, inGrid] {
           EXPECT_EQ(Page(), "Base Resistivity Model");
           EXPECT_TRUE(inGrid(1364));
           plat::test::key('A', plat::test::kCtrl);
           plat::test::typeText("50");
           plat::test::key(plat::vk::Return);  // edited: the value is kept and the next row is current
         },
         [this] {
           EXPECT_EQ(WGridInfoItem(1364, 5), 2);
           plat::test::typeText("7");
           plat::test::key(plat::vk::Escape);  // the edit is taken back; the page stays
         },
         [this, inGrid] {
           EXPECT_EQ(Page(), "Base Resistivity Model");
           EXPECT_EQ(Column(1364, 2, 3), (std::vector<float>{50.0f, 10.0f, 1000.0f}));
           plat::test::key(plat::vk::Tab);
         },
         [this, inGrid] {
           EXPECT_FALSE(inGrid(1364));
           EXPECT_EQ(plat::getFocus(), Field(1019));  // "Add To", the control after the grid
           plat::test::key(plat::vk::Tab, plat::test::kShift);
         },
         [this, inGrid] {
           EXPECT_TRUE(inGrid(1364));
           plat::test::key(plat::vk::Return);  // nothing edited: "Next >"
         },
         [this, inGrid] {
           EXPECT_EQ(Page(), "Suite Parameter Variation");
           EXPECT_TRUE(inGrid(1006));
           plat::test::key(plat::vk::Return);
         },
         [this] {
           EXPECT_EQ(Page(), "Curve Generation Abscissa");
           plat::test::key('F', plat::test::kAlt);
         }});
  EXPECT_FALSE(Run());
  const SuiteResultsRecord& r = SuiteResults();
  EXPECT_TRUE(r.Snapshot.Valid);
  EXPECT_EQ(r.Snapshot.NSuite, 3);
  EXPECT_EQ(r.Snapshot.Computed, 3);
  EXPECT_EQ(SuiteBaseModel().Primary.Model.Value(1), 50.0f);
  EXPECT_EQ(SuiteBaseModel().Primary.Model.Value(2), 10.0f);
  EXPECT_TRUE(boxes_.empty());

  Steps({[] { plat::test::key(plat::vk::Escape); }});
  EXPECT_TRUE(Run());
}

}  // namespace
}  // namespace suitetest
