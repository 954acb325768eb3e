// The suite command under injected input: the pages in their order with
// Next, Back and Cancel, Cancel on the progress dialog, and each page's own
// behaviour (the component rule, the variation grid, the time range).
#include "tests/engine/suite/PagesFixture.h"

#include "VOZUVar/Strings.h"

namespace suitetest {
namespace {

constexpr int32_t kNext = 1355, kBack = 1357, kCancel = 2;
const std::string kType = "Model Suite Parameters", kBaseEditor = "Base Resistivity Model",
                  kDifferenceEditor = "Model for response difference", kVariation = "Suite Parameter Variation",
                  kAbscissa = "Curve Generation Abscissa";

class SuitePages : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    ThreeLayerSuite(3);
  }
};

TEST_F(SuitePages, PagesInOrderWithBackAndNext) {
  Steps({Press(kBack), Press(kNext), Press(kBack), Press(kNext), Press(kNext),
         [this] {
           // Member values of 0 show as the member numbers.
           EXPECT_EQ(Column(1006, 2, 3), (std::vector<float>{1.0f, 2.0f, 3.0f}));
           EXPECT_EQ(plat::getWindowText(Field(1367)), "Parameter to vary is Resistivity of layer           1");
         },
         Press(kBack), Press(kNext), Press(kNext), Press(kBack), Press(kNext), Press(kNext)});
  EXPECT_FALSE(Run());
  EXPECT_FALSE(firstCall_);
  EXPECT_EQ(pages_, (std::vector<std::string>{kType, kType, kBaseEditor, kType, kBaseEditor, kVariation, kBaseEditor,
                                              kVariation, kAbscissa, kVariation, kAbscissa}));
  const SuiteResultsRecord& r = SuiteResults();
  EXPECT_TRUE(r.Snapshot.Valid);
  EXPECT_EQ(r.Snapshot.NSuite, 3);
  EXPECT_EQ(r.Snapshot.Computed, 3);
  EXPECT_EQ(r.Snapshot.VParam, (std::vector<float>{1.0f, 2.0f, 3.0f}));
  EXPECT_EQ(SuiteSettings().ISuiteType, 1);
  EXPECT_EQ(SuiteBaseModel().Primary.Model.Value.Data, CurrentSounding().Primary.Model.Value.Data);
  EXPECT_EQ(LabelStore().LabelCount, 4);
  EXPECT_EQ(SavedCurveGraphFrame()[0].XDivisions, CurveGraphFrame()[0].XDivisions);
  // The pages are hidden, the progress dialog is gone.
  EXPECT_EQ(YYDialogNumber(213), -1);
  EXPECT_EQ(plat::test::windowTree().find("Model Suite Calculation Progress"), std::string::npos);
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(SuitePages, SecondModelPageWhenTheSecondIsSubtracted) {
  SuiteSettings().NSuite = 1;
  Steps({[this] { ClickField(1413); }, Press(kNext), Press(kNext), Press(kBack), Press(kNext),
         [this] { EXPECT_FALSE(plat::isWindowVisible(Field(1368))); }, Press(kNext), Press(kBack), Press(kNext),
         Press(kNext)});
  EXPECT_FALSE(Run());
  EXPECT_EQ(pages_, (std::vector<std::string>{kType, kBaseEditor, kDifferenceEditor, kBaseEditor, kDifferenceEditor,
                                              kAbscissa, kDifferenceEditor, kAbscissa}));
  EXPECT_TRUE(SuiteSettings().LDifference);
  EXPECT_EQ(SuiteResults().Snapshot.NSuite, 1);
}

TEST_F(SuitePages, CancelOnEachPageEndsTheSuite) {
  struct Case {
    const char* page;
    int32_t nexts;  // pages passed with Next before Cancel
    bool subtract;
  } const cases[] = {{"type", 0, false}, {"base model", 1, false}, {"second model", 2, true},
                     {"variation", 2, false}, {"abscissa", 3, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    SuiteSettings().LDifference = c.subtract;
    for (int32_t k = 0; k < c.nexts; ++k) Steps({Press(kNext)});
    Steps({Press(kCancel)});
    EXPECT_TRUE(Run());
    EXPECT_FALSE(SuiteResults().Snapshot.Valid);
  }
  EXPECT_EQ(pages_.back(), kAbscissa);
}

TEST_F(SuitePages, AnAngleWhoseSineDividesIsRefusedOnTheVariationPage) {
  SuiteSettingsRecord& s = SuiteSettings();
  s.ISuiteType = 5;
  s.NSuite = 2;
  s.VParam[0] = 45.0f;
  s.VParam[1] = 180.0f;
  Steps({Press(kNext), Press(kNext),
         [this] {
           // Shown as stored: the page judges it on "Next >".
           EXPECT_EQ(Column(1006, 2, 2), (std::vector<float>{45.0f, 180.0f}));
         },
         Press(kNext),
         [this] {
           EXPECT_EQ(ShownMessages(),
                     std::vector<std::string>{"Illegal Cell Value, please re-enter: row 2 holds 180 (allowed: an angle "
                                              "whose sine is not 0 for the HZ component and this display)"});
           EXPECT_EQ(Page(), kVariation);
           EXPECT_EQ(WGridInfoItem(1006, 5), 2);
         },
         Press(kCancel)});
  EXPECT_TRUE(Run());
  EXPECT_FALSE(SuiteResults().Snapshot.Valid);
  EXPECT_EQ(s.TxRxAngle, 90.0f);
}

// With the received voltage of a layered model no sine divides: 0 degrees
// is taken, and shown as 0 when the page opens again.
TEST_F(SuitePages, AnAngleOfZeroIsKeptWhereNothingDividesByItsSine) {
  SuiteSettingsRecord& s = SuiteSettings();
  s.ISuiteType = 5;
  s.NSuite = 2;
  s.IDisplay = 1;
  s.VParam[0] = 0.0f;
  s.VParam[1] = 30.0f;
  Steps({Press(kNext), Press(kNext), Press(kNext), Press(kBack),
         [this] { EXPECT_EQ(Column(1006, 2, 2), (std::vector<float>{0.0f, 30.0f})); }, Press(kCancel)});
  EXPECT_TRUE(Run());
  EXPECT_TRUE(ShownMessages().empty());
  EXPECT_EQ(s.VParam[0], 0.0f);
}

TEST_F(SuitePages, CancelDuringTheComputationStopsAfterTheMember) {
  SuiteSettings().NSuite = 5;
  SetSuiteMemberHook([](int32_t k) {
    if (k != 2) return;
    // The progress dialog's Cancel, seen by the poll after this member.
    const plat::Hwnd cancel = plat::getDlgItem(YYCurrentDialogWindow(), kCancel);
    plat::Rect r;
    plat::getClientRect(cancel, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(cancel, {r.width() / 2, r.height() / 2}));
  });
  Steps({Press(kNext), Press(kNext), Press(kNext), Press(kNext)});
  EXPECT_TRUE(Run());
  const SuiteResultsRecord& r = SuiteResults();
  EXPECT_EQ(r.Snapshot.NSuite, 5);
  EXPECT_EQ(r.Snapshot.Computed, 2);
  EXPECT_LT(r.Curve(10, 1, 2), 1.0e10f);
  EXPECT_EQ(r.Curve(10, 1, 3), kSuiteMissing);
  EXPECT_EQ(r.Curve(42, 1, 5), kSuiteMissing);
  EXPECT_EQ(LabelStore().LabelCount, 6);
  EXPECT_EQ(SuiteBaseModel().Primary.Model.Value(1), 100.0f);
}

TEST_F(SuitePages, TypePageComponentRuleAndRefusals) {
  SuiteSettingsRecord& s = SuiteSettings();
  s.IComponent = 2;
  s.IDisplay = 4;
  s.ISuiteType = 0;
  s.Offset = 0.0f;
  Steps({[this] {
           int32_t display = 0, kind = 0;
           WDialogGetRadioButton(1381, display);
           WDialogGetRadioButton(1354, kind);
           EXPECT_EQ(display, 1);  // "Received Voltage"
           EXPECT_EQ(kind, 1);     // "Single Layer Resistivity"
           EXPECT_FALSE(plat::isWindowEnabled(Field(1068)));
           EXPECT_TRUE(plat::isWindowEnabled(Field(1067)));
           ClickField(1008);  // HZ
         },
         [this] {
           EXPECT_TRUE(plat::isWindowEnabled(Field(1068)));
           EXPECT_FALSE(plat::isWindowEnabled(Field(1067)));
           ClickField(1069);  // all-time
         },
         Press(kNext), CloseBox(),
         [this] {
           EXPECT_EQ(boxes_, std::vector<std::string>{"Offset: 0.0 is out of range (allowed: greater than 0)"});
           EXPECT_EQ(plat::getFocus(), Field(1072));
           WDialogPutReal(1072, 500.0f);
           WDialogPutInteger(1351, 7);
         },
         Press(kNext)});
  int32_t exit = 0;
  bool cancelled = true;
  MODELSUITETYPE(exit, cancelled);
  EXPECT_TRUE(ScriptDone());
  // Nothing was put into or read from a field the page does not have.
  EXPECT_EQ(Error(), 0);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(exit, kNext);
  EXPECT_EQ(s.IComponent, 3);
  EXPECT_EQ(s.IDisplay, 5);
  EXPECT_EQ(s.Offset, 500.0f);
  EXPECT_EQ(s.NSuite, 7);
  EXPECT_EQ(s.ISuiteType, 1);
  EXPECT_EQ(TrimTrailingBlanks(SuiteBaseModel().Primary.Data.Waveform), "STEP OFF");
  EXPECT_FALSE(plat::isWindowVisible(Dialog()));
}

TEST_F(SuitePages, VariationValuesGenerateAndArithmetic) {
  SuiteSettingsRecord& s = SuiteSettings();
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  // The fade shows values outside 0..100 as member numbers.
  s.ISuiteType = kFadeInKind;
  s.NSuite = 3;
  s.VParam[0] = -5.0f;
  s.VParam[1] = 150.0f;
  s.VParam[2] = 30.0f;
  Steps({[this] { EXPECT_EQ(Column(1006, 2, 3), (std::vector<float>{1.0f, 2.0f, 30.0f})); }, Press(kBack)});
  int32_t exit = 0;
  bool cancelled = true;
  MODELSUITEVARY(0.0f, 5.0f, 100.0f, 8, false, 20, exit, cancelled);
  EXPECT_EQ(exit, kBack);
  EXPECT_FALSE(cancelled);

  // Generate from row 3 of 30: rows 3..22 become 0, 5, .. 95. Resistivity
  // may not be 0, so "Next >" stops at row 3; Add To and Multiply By then
  // mend the values from the current row down.
  s.ISuiteType = 1;
  s.NSuite = 30;
  s.VParam.fill(0.0f);
  Steps({[this] { plat::test::click(plat::test::Button::Left, Cell(1006, 2, 3)); }, Press(1378),
         [this] {
           const std::vector<float> v = Column(1006, 2, 30);
           for (int32_t i = 1; i <= 30; ++i) {
             const float want = i >= 3 && i <= 22 ? 5.0f * static_cast<float>(i - 3) : static_cast<float>(i);
             EXPECT_EQ(v[static_cast<size_t>(i - 1)], want) << i;
           }
         },
         Press(kNext),
         [this] {
           EXPECT_EQ(ShownMessages(), std::vector<std::string>{"Illegal Cell Value, please re-enter: row 3 holds 0 "
                                                               "(allowed: greater than 0)"});
           EXPECT_EQ(WGridInfoItem(1006, 5), 3);
         },
         Press(1019), Number(1.0f), Press(1020), Number(2.0f),
         [this] {
           const std::vector<float> v = Column(1006, 2, 30);
           EXPECT_EQ(v[1], 2.0f);
           EXPECT_EQ(v[2], 2.0f);
           EXPECT_EQ(v[3], 12.0f);
           EXPECT_EQ(v[29], 62.0f);
         },
         Press(kNext)});
  MODELSUITEVARY(0.0f, 5.0f, 100.0f, 8, false, 20, exit, cancelled);
  EXPECT_EQ(exit, kNext);
  EXPECT_EQ(s.VParam[2], 2.0f);
  EXPECT_EQ(s.VParam[29], 62.0f);
}

TEST_F(SuitePages, VariationChecksTheVariedBoundary) {
  SuiteSettingsRecord& s = SuiteSettings();
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  s.ISuiteType = 3;
  s.NSuite = 2;
  s.VParam[0] = 50.0f;
  // Layer 1: between 0 and 300 (either end makes a layer of thickness 0).
  s.ILayer = 1;
  s.VParam[1] = 301.0f;
  Steps({Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages().back(),
                     "Boundary encroaches on layer below, please re-enter: row 2 holds 301 (allowed: up to 300)");
           WGridPutCellReal(1006, 2, 2, 300.0f);
         },
         Press(kNext)});
  int32_t exit = 0;
  bool cancelled = true;
  MODELSUITEVARY(0.0f, 5.0f, 100.0f, 8, false, 20, exit, cancelled);
  EXPECT_EQ(s.VParam[1], 300.0f);
  // Layer 2: 100 or more, no upper bound.
  s.ILayer = 2;
  s.VParam[1] = 5000.0f;
  Steps({Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages().back(),
                     "Boundary encroaches on layer above, please re-enter: row 1 holds 50 (allowed: 100 or more)");
           EXPECT_EQ(WGridInfoItem(1006, 5), 1);
           WGridPutCellReal(1006, 2, 1, 101.0f);
         },
         Press(kNext)});
  MODELSUITEVARY(0.0f, 5.0f, 100.0f, 8, false, 20, exit, cancelled);
  EXPECT_EQ(s.VParam[0], 101.0f);
  EXPECT_EQ(s.VParam[1], 5000.0f);
  EXPECT_EQ(ShownMessages().size(), 2u);
}

TEST_F(SuitePages, AbscissaPageTimeRange) {
  SuiteSettingsRecord& s = SuiteSettings();
  SetBase({100.0f}, {});
  s.IAbscissa = 2;
  // A half-space has no normalised time; Back keeps nothing typed.
  Steps({[this] {
           EXPECT_FALSE(plat::isWindowEnabled(Field(1073)));
           WDialogPutReal(1360, 5.0f);
         },
         Press(kBack)});
  int32_t exit = 0;
  bool cancelled = true;
  MODELSUITEABS(exit, cancelled);
  EXPECT_EQ(exit, kBack);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(s.IAbscissa, 1);
  EXPECT_EQ(s.AbStart, 0.001f);
  // A range that cannot be computed is refused and the page opens again.
  s.LogAbscissa = false;
  Steps({[] { WDialogPutReal(1360, 20.0f); }, Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages(),
                     std::vector<std::string>{"Time range: the last time must be greater than the first: 20 s to 10 s"});
           WDialogPutReal(1360, 0.01f);
           WDialogPutReal(1362, 100.0f);
         },
         Press(kNext)});
  MODELSUITEABS(exit, cancelled);
  EXPECT_EQ(exit, kNext);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(s.AbStart, 0.01f);
  EXPECT_EQ(s.AbEnd, 100.0f);
  EXPECT_TRUE(s.LogAbscissa);
}

}  // namespace
}  // namespace suitetest
