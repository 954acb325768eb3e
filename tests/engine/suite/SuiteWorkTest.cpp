// The suite work: every varied parameter, component and display; the
// second model's difference and the fade; cancel part way; the checks that
// refuse a suite before anything is computed; the scaling and the labels.
#include <cmath>

#include "VOZUVar/Strings.h"

#include "tests/engine/suite/SuiteFixture.h"

namespace suitetest {
namespace {

TEST_F(SuiteTest, EveryKindComputesEachMemberAsTheModelAlone) {
  // Kind, layer and values; each member's curves equal those of the member's
  // model (or arrangement) computed on its own.
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  SetSecond({50.0f, 50.0f, 50.0f}, {300.0f, 100.0f});
  struct Case {
    int32_t kind, layer;
    std::vector<float> values;
  } const cases[] = {{1, 2, {5.0f, 20.0f}}, {2, 1, {50.0f, 400.0f}}, {3, 1, {150.0f, 250.0f}},
                     {4, 1, {500.0f, 2000.0f}}, {5, 1, {30.0f, 60.0f}}, {6, 1, {0.0f, 50.0f, 100.0f}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    Define(3, 6, c.kind, c.layer, c.values);
    ASSERT_EQ(ComputeSuite(), kSuiteComputed);
    EXPECT_EQ(R().SuiteNT, 42);
    EXPECT_EQ(R().SuiteNC, 3);
    EXPECT_EQ(R().SuiteCurves.size(), 42u * 3u * c.values.size());
    for (size_t m = 0; m < c.values.size(); ++m) {
      const float v = c.values[m];
      const int32_t k = static_cast<int32_t>(m) + 1;
      SuiteSettingsRecord& s = SuiteSettings();
      RealArray alone;
      switch (c.kind) {
        case 1: alone = Single({100.0f, v, 1000.0f}, {100.0f, 200.0f}); break;
        case 2: alone = Single({100.0f, 10.0f, 1000.0f}, {v, 200.0f}); break;
        // The boundary below keeps its depth difference to the moved one.
        case 3: alone = Single({100.0f, 10.0f, 1000.0f}, {v, v + 200.0f}, true); break;
        case 4:
          s.Offset = v;
          alone = Single({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
          s.Offset = 1000.0f;
          break;
        case 5:
          s.TxRxAngle = v;
          alone = Single({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
          s.TxRxAngle = 90.0f;
          break;
        default: {
          const auto fade = [v](float a, float b) { return a + (b - a) * v / 100.0f; };
          alone = Single({fade(100, 50), fade(10, 50), fade(1000, 50)}, {fade(100, 300), fade(200, 100)});
          break;
        }
      }
      for (int32_t col = 1; col <= 3; ++col) ExpectMember(k, col, alone);
    }
    // The varied parameter is back as it was.
    const Model1D& m = SuiteBaseModel().Primary.Model;
    EXPECT_EQ(m.Value.Data, (std::vector<float>{100.0f, 10.0f, 1000.0f, 100.0f, 200.0f}));
    EXPECT_FALSE(m.DepthFlag);
    EXPECT_EQ(SuiteSettings().Offset, 1000.0f);
    EXPECT_EQ(SuiteSettings().TxRxAngle, 90.0f);
  }
  // The fade's ends are the two models.
  const RealArray second = Single({50.0f, 50.0f, 50.0f}, {300.0f, 100.0f});
  ExpectMember(3, 1, second);
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(SuiteTest, EachComponentWithEachDisplayItAllows) {
  SetBase({100.0f, 10.0f}, {200.0f});
  struct Case {
    int32_t component, display, nc;
  } const cases[] = {{1, 1, 1}, {1, 3, 1}, {2, 1, 1}, {2, 3, 1}, {3, 1, 1},
                     {3, 2, 1}, {3, 4, 2}, {3, 5, 3}, {3, 6, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.component * 10 + c.display);
    Define(c.component, c.display, 1, 1, {30.0f, 300.0f});
    SuiteSettings().TxRxAngle = 60.0f;  // Ey is 0 at 90 degrees
    ASSERT_EQ(ComputeSuite(), kSuiteComputed);
    ASSERT_EQ(R().SuiteNC, c.nc);
    ASSERT_EQ(R().SuiteCurves.size(), static_cast<size_t>(42 * c.nc * 2));
    const RealArray alone = Single({300.0f, 10.0f}, {200.0f});
    for (int32_t col = 1; col <= c.nc; ++col) ExpectMember(2, col, alone);
    // Every curve has values where the time transform holds.
    for (int32_t k = 1; k <= 2; ++k)
      for (int32_t col = 1; col <= c.nc; ++col) EXPECT_LT(std::fabs(Curve(20, col, k)), 1.0e10f) << k << col;
    EXPECT_EQ(R().Snapshot.NC, c.nc);
    EXPECT_EQ(R().Snapshot.IDisplay, c.display);
  }
}

TEST_F(SuiteTest, EveryKindWithEveryComponentAndDisplay) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  SetSecond({50.0f, 50.0f, 50.0f}, {300.0f, 100.0f});
  const std::vector<float> values[] = {{20.0f, 40.0f}, {50.0f, 150.0f}, {80.0f, 150.0f},
                                       {800.0f, 1200.0f}, {30.0f, 60.0f}, {25.0f, 75.0f}};
  const int32_t combos[][3] = {{1, 1, 1}, {1, 3, 1}, {2, 1, 1}, {2, 3, 1}, {3, 1, 1},
                               {3, 2, 1}, {3, 4, 2}, {3, 5, 3}, {3, 6, 3}};
  for (int32_t kind = 1; kind <= 6; ++kind)
    for (const auto& c : combos) {
      SCOPED_TRACE(kind * 100 + c[0] * 10 + c[1]);
      Define(c[0], c[1], kind, 1, values[kind - 1]);
      SuiteSettings().TxRxAngle = kind == 5 ? 90.0f : 60.0f;
      ASSERT_EQ(ComputeSuite(), kSuiteComputed);
      ASSERT_EQ(R().SuiteCurves.size(), static_cast<size_t>(42 * c[2] * 2));
      // Each curve has values (the all-time transform leaves a time missing
      // where no half-space matches it).
      for (int32_t k = 1; k <= 2; ++k)
        for (int32_t col = 1; col <= c[2]; ++col) {
          int32_t values = 0;
          for (int32_t i = 1; i <= 42; ++i) values += std::isfinite(Curve(i, col, k)) && std::fabs(Curve(i, col, k)) < 1.0e10f;
          EXPECT_GE(values, 21) << k << " " << col;
        }
    }
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(SuiteTest, SecondModelDifferenceInItsOwnSizedRecord) {
  // The second record comes with one curve column and one point; Hz with
  // all three curves needs three columns of 42 points (under the sanitizer
  // a write past its curves would stop the test).
  SetBase({100.0f, 10.0f}, {200.0f});
  SetSecond({100.0f, 100.0f}, {200.0f});
  for (int32_t kind : {1, 4}) {
    SCOPED_TRACE(kind);
    Define(3, 6, kind, 1, kind == 1 ? std::vector<float>{30.0f, 300.0f} : std::vector<float>{800.0f, 1200.0f});
    SuiteSettings().LDifference = true;
    ASSERT_EQ(ComputeSuite(), kSuiteComputed);
    const SoundingRecord& second = SuiteSecondModel().Primary;
    EXPECT_EQ(second.Synthetics.Dim1, 42);
    EXPECT_EQ(second.Synthetics.Dim2, 3);
    SuiteSettingsRecord& s = SuiteSettings();
    if (kind == 4) s.Offset = 1200.0f;
    const RealArray d = Single({100.0f, 100.0f}, {200.0f});
    const RealArray b = kind == 1 ? Single({300.0f, 10.0f}, {200.0f}) : Single({100.0f, 10.0f}, {200.0f});
    s.Offset = 1000.0f;
    for (int32_t i = 1; i <= 42; ++i) EXPECT_EQ(Curve(i, 1, 2), SuiteDifference(b(i, 1), d(i, 1), false)) << i;
    EXPECT_NE(Curve(30, 1, 2), 0.0f);
  }
  // With one member nothing is subtracted.
  Define(3, 1, 1, 1, {30.0f});
  SuiteSettings().LDifference = true;
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  ExpectMember(1, 1, Single({100.0f, 10.0f}, {200.0f}));
}

TEST_F(SuiteTest, DifferencesAndPercentages) {
  EXPECT_EQ(SuiteDifference(5.0f, 2.0f, false), 3.0f);
  EXPECT_EQ(SuiteDifference(5.0f, 2.0f, true), 150.0f);
  EXPECT_EQ(SuiteDifference(-1.0f, 4.0f, true), -125.0f);
  EXPECT_EQ(SuiteDifference(5.0f, 0.0f, false), 5.0f);
  // A percentage of 0, or a missing value on either side, is missing.
  EXPECT_EQ(SuiteDifference(5.0f, 0.0f, true), kSuiteMissing);
  EXPECT_EQ(SuiteDifference(0.0f, 0.0f, true), kSuiteMissing);
  EXPECT_EQ(SuiteDifference(kSuiteMissing, 2.0f, false), kSuiteMissing);
  EXPECT_EQ(SuiteDifference(2.0f, kSuiteMissing, true), kSuiteMissing);
}

int32_t gStopAfter = 0;
bool StopAfter(int32_t k) { return k == gStopAfter; }

TEST_F(SuiteTest, CancelAfterAMemberKeepsItsCurvesAndEndsTheRun) {
  SetBase({100.0f, 10.0f}, {200.0f});
  Define(3, 4, 1, 1, {10.0f, 20.0f, 30.0f, 40.0f, 50.0f});
  SuiteProgressHooks hooks;
  hooks.MemberDone = StopAfter;
  gStopAfter = 3;
  ASSERT_EQ(ComputeSuite(hooks), kSuiteCancelled);
  ExpectMember(3, 1, Single({30.0f, 10.0f}, {200.0f}));
  for (int32_t k = 4; k <= 5; ++k)
    for (int32_t c = 1; c <= 2; ++c)
      for (int32_t i = 1; i <= 42; ++i) ASSERT_EQ(Curve(i, c, k), kSuiteMissing);
  // The snapshot holds all five members, three computed; the run ended as
  // a complete one does: scaled, labelled, the parameter restored.
  EXPECT_EQ(R().Snapshot.NSuite, 5);
  EXPECT_EQ(R().Snapshot.Computed, 3);
  EXPECT_EQ(LabelStore().LabelCount, 6);
  EXPECT_TRUE(CurveGraphFrame()[0].XLog);
  EXPECT_GT(CurveGraphFrame()[0].YDivisions, 0);
  EXPECT_EQ(SuiteBaseModel().Primary.Model.Value(1), 100.0f);
}

TEST_F(SuiteTest, RefusedInputsChangeNothing) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  SetSecond({100.0f, 10.0f}, {300.0f});
  Define(3, 4, 1, 1, {10.0f, 20.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  const std::vector<float> kept = R().SuiteCurves;
  const std::vector<float> model = SuiteBaseModel().Primary.Model.Value.Data;

  struct Case {
    const char* what;
    void (*change)();
    const char* message;
  } const cases[] = {
      {"no members", [] { SuiteSettings().NSuite = 0; }, "Number of models must be 1 to 1000: 0"},
      {"too many", [] { SuiteSettings().NSuite = 1001; }, "Number of models must be 1 to 1000: 1001"},
      {"kind", [] { SuiteSettings().ISuiteType = 7; }, "Parameter to vary must be 1 to 6: 7"},
      {"layer 0", [] { SuiteSettings().ILayer = 0; }, "Layer to vary must be 1 or more: 0"},
      {"layer beyond", [] { SuiteSettings().ILayer = 4; },
       "Resistivity of layer     4 is varied. Must have at least     4 layers"},
      {"thickness of the half-space", [] { SuiteSettings().ISuiteType = 2; SuiteSettings().ILayer = 3; },
       "Thickness of layer     3 is varied. Must have at least     4 layers"},
      {"fade to another layer count", [] { SuiteSettings().ISuiteType = 6; },
       "First and Second models must have same number of layers"},
      {"fade while subtracting", [] { SuiteSettings().ISuiteType = 6; SuiteSettings().LDifference = true; },
       "First and Second models must have same number of layers"},
      {"resistivity 0", [] { SuiteSettings().VParam[1] = 0.0f; },
       "Model 2 of the suite (value 0): Resistivity must be greater than 0: layer 1 has 0 ohm-m"},
      {"offset 0", [] { SuiteSettings().ISuiteType = 4; SuiteSettings().VParam[0] = 0.0f; },
       "Model 1 of the suite (value 0): Offset must be greater than 0: 0 m"},
      {"angle 180 with Hz", [] { SuiteSettings().ISuiteType = 5; SuiteSettings().VParam[1] = 180.0f; },
       "Model 2 of the suite (value 180): Hz needs an angle whose sine is not 0: 180 degrees"},
      {"boundary above the one before", [] { SuiteSettings().ISuiteType = 3; SuiteSettings().ILayer = 2; SuiteSettings().VParam[0] = 150.0f; SuiteSettings().VParam[1] = 50.0f; },
       "Model 2 of the suite (value 50): Model specified as depth has negative thicknesses"},
      {"time range", [] { SuiteSettings().AbStart = 0.0f; },
       "Time range: the first time must be greater than 0: 0 s"},
      {"time range too wide", [] { SuiteSettings().AbStart = 1.0e-9f; SuiteSettings().AbEnd = 1.0e9f; }, nullptr},
      {"second model", [] { SuiteSettings().LDifference = true; SuiteSecondModel().Primary.Model.Value(1) = -1.0f; },
       "Second model: Resistivity must be greater than 0: layer 1 has -1 ohm-m"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Define(3, 4, 1, 1, {10.0f, 20.0f});
    SuiteSettings().AbStart = 0.001f;
    SuiteSettings().AbEnd = 10.0f;
    SuiteSettings().LDifference = false;
    SuiteSecondModel().Primary.Model.Value(1) = 100.0f;
    c.change();
    ShownMessages().clear();
    EXPECT_EQ(ComputeSuite(), kSuiteRefused);
    ASSERT_EQ(ShownMessages().size(), 1u);
    if (c.message != nullptr) {
      EXPECT_EQ(ShownMessages()[0], c.message);
    }
    EXPECT_EQ(R().SuiteCurves, kept);
    EXPECT_EQ(R().Snapshot.NSuite, 2);
    EXPECT_EQ(SuiteBaseModel().Primary.Model.Value.Data, model);
    EXPECT_FALSE(SuiteBaseModel().Primary.Model.DepthFlag);
  }
}

TEST_F(SuiteTest, DepthOfTheLastBoundaryMovesOnlyItAndTheModelComesBack) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  Define(3, 1, 3, 2, {150.0f, 400.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  ExpectMember(1, 1, Single({100.0f, 10.0f, 1000.0f}, {100.0f, 150.0f}, true));
  ExpectMember(2, 1, Single({100.0f, 10.0f, 1000.0f}, {100.0f, 400.0f}, true));
  const Model1D& m = SuiteBaseModel().Primary.Model;
  EXPECT_FALSE(m.DepthFlag);
  EXPECT_EQ(m.NParams, 5);
  EXPECT_EQ(m.Value.Data, (std::vector<float>{100.0f, 10.0f, 1000.0f, 100.0f, 200.0f}));
}

TEST_F(SuiteTest, OneMemberComputesTheBaseModelUnchanged) {
  SetBase({100.0f, 10.0f}, {200.0f});
  SetSecond({30.0f, 30.0f}, {100.0f});
  Define(3, 2, kFadeInKind, 1, {0.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  ExpectMember(1, 1, Single({100.0f, 10.0f}, {200.0f}));
  // Two labels: the caption (empty while no variation page composed it) and
  // the member's value.
  ASSERT_EQ(LabelStore().LabelCount, 2);
  EXPECT_EQ(LabelStore().Labels[0].LabelText, std::string(50, ' '));
  EXPECT_EQ(LabelStore().Labels[1].LabelText.substr(0, 2), "0 ");
}

TEST_F(SuiteTest, LabelsTextsColoursAndTheFiftyLimit) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  Define(3, 4, 1, 2, {10.0f, 2.5f, 0.125f, 100.5f, 0.0f});
  SuiteSettings().VParam[4] = 1.0e-3f;  // resistivity must be above 0
  ComposeParameterCaption();
  EXPECT_EQ(SuiteParameterCaption().substr(0, 54), "Parameter to vary is Resistivity of layer           2 ");
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  const LabelStoreRecord& l = LabelStore();
  ASSERT_EQ(l.LabelCount, 6);
  const char* texts[] = {"Resistivity of layer 2", "10", "2.5", "0.125", "100.5", "0.001"};
  const int32_t colours[] = {3, 2, 4, 6, 8, 10};
  for (int32_t j = 0; j < 6; ++j) {
    EXPECT_EQ(TrimTrailingBlanks(l.Labels[j].LabelText), texts[j]);
    EXPECT_EQ(l.Labels[j].LabelText.size(), 50u);
    EXPECT_EQ(l.Labels[j].LabelMember, j);
    EXPECT_EQ(l.Labels[j].LabelColour, colours[j]);
    EXPECT_EQ(l.Labels[j].LabelX, l.Labels[j].AnchorX);
  }
  EXPECT_TRUE(DisplaySettings().LLABELS);
  // Log axes: sizes are factors, the caption's box wider than a member's;
  // the members stand one under another.
  EXPECT_GT(l.Labels[0].LabelSizeX, l.Labels[1].LabelSizeX);
  EXPECT_GT(l.Labels[1].LabelSizeX, 1.0f);
  EXPECT_GT(l.Labels[1].LabelSizeY, 1.0f);
  EXPECT_GT(l.Labels[1].LabelY, l.Labels[2].LabelY);

  // Sixty members: the caption and members 1..49, then one notice for the
  // eleven labels that do not fit.
  std::vector<float> sixty(60);
  for (size_t k = 0; k < sixty.size(); ++k) sixty[k] = 1.0f + static_cast<float>(k);
  Define(3, 1, 1, 1, sixty);
  ShownMessages().clear();
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  EXPECT_EQ(LabelStore().LabelCount, 50);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].rfind("Too many labels: 11 of the 61 labels", 0), 0u) << ShownMessages()[0];
  EXPECT_EQ(TrimTrailingBlanks(LabelStore().Labels[49].LabelText), "49");
}

TEST_F(SuiteTest, LabelCornerFarthestFromTheCurves) {
  // Rising apparent resistivities from a resistive basement: the curves
  // leave the top-left corner free... whichever it is, the labels stand in
  // that corner's half of the graph.
  SetBase({10.0f, 1000.0f}, {300.0f});
  Define(3, 2, 1, 1, {5.0f, 10.0f, 20.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  const GraphFrame& f = CurveGraphFrame()[0];
  const int32_t corner = R().LabelCorner;
  ASSERT_GE(corner, 1);
  ASSERT_LE(corner, 4);
  const bool left = corner <= 2, bottom = corner == 1 || corner == 4;
  const float middleX = std::pow(10.0f, f.XExponentOrMinor + 0.5f * f.XDivisions);
  const float middleY = std::pow(10.0f, f.YExponentOrMinor + 0.5f * f.YDivisions);
  const LabelRecord& last = LabelStore().Labels[3];
  EXPECT_EQ(last.LabelX < middleX, left);
  EXPECT_EQ(last.LabelY < middleY, bottom);
}

TEST_F(SuiteTest, GraphsScaledFromTheRanges) {
  SetBase({10.0f, 1000.0f}, {300.0f});
  Define(3, 2, 2, 1, {100.0f, 500.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  // The 42 times from 0.001 s to 12.6 s span the decades -3..2.
  const GraphFrame& c = CurveGraphFrame()[0];
  EXPECT_TRUE(c.XLog);
  EXPECT_EQ(c.XExponentOrMinor, -3);
  EXPECT_EQ(c.XDivisions, 5);
  EXPECT_FLOAT_EQ(c.OriginX, 1.25f);
  EXPECT_FLOAT_EQ(c.XDivLength, 1.0f);
  // Resistivities 10 and 1000 and boundaries 100..500 m.
  EXPECT_EQ(R().ModelRhoMin[0], 10.0f);
  EXPECT_EQ(R().ModelRhoMax[0], 1000.0f);
  EXPECT_EQ(R().ModelDepthMin, 100.0f);
  EXPECT_EQ(R().ModelDepthMax, 500.0f);
  const GraphFrame& m = ModelGraphFrame()[0];
  EXPECT_EQ(m.XExponentOrMinor, 1);
  EXPECT_EQ(m.XDivisions, 3);
  EXPECT_FLOAT_EQ(m.OriginX, 7.25f);
  // Display 4 moves the y axis up by one decade.
  const int32_t low = c.YExponentOrMinor;
  Define(3, 4, 2, 1, {100.0f, 500.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  EXPECT_EQ(CurveGraphFrame()[0].YExponentOrMinor, low + 1);
}

}  // namespace
}  // namespace suitetest
