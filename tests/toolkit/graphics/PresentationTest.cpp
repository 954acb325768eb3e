// The presentation-graphics set-up: ranges with their fallbacks, axis
// types and the graph definition's clamps.
#include <gtest/gtest.h>

#include <vector>

#include "RecordingDriver.h"
#include "toolkit/graphics/PresentationGraphics.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

class PresentationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp();
    ResetPresentationState();
  }
  const PresentationStateRecord& S() { return PresentationState(); }
};

TEST_F(PresentationTest, AreaTakesEitherOrderAndFallsBackPerAxis) {
  IPgArea(5, 0, 1, 10);
  EXPECT_EQ(CountReports(16), 0);
  EXPECT_FLOAT_EQ(S().XFrom, 5);
  EXPECT_FLOAT_EQ(S().XTo, 1);
  EXPECT_FLOAT_EQ(S().XRange, -4);
  EXPECT_FLOAT_EQ(S().XMin, 1);
  EXPECT_FLOAT_EQ(S().XMax, 5);
  EXPECT_FLOAT_EQ(S().YRange, 10);

  IPgArea(2, 3, 2, 3);
  EXPECT_EQ(CountReports(16), 2);
  EXPECT_FLOAT_EQ(S().XFrom, 0);
  EXPECT_FLOAT_EQ(S().XTo, 1);
  EXPECT_FLOAT_EQ(S().YFrom, 0);
  EXPECT_FLOAT_EQ(S().YTo, 1);

  IPgUnitsZ(3, 3);
  IPgUnitsPolar(-1);
  EXPECT_EQ(CountReports(16), 4);
  EXPECT_FLOAT_EQ(S().ZRange, 1);
  EXPECT_FLOAT_EQ(S().PolarUnit, 1);
  IPgUnitsZ(-2, 6);
  EXPECT_FLOAT_EQ(S().ZRange, 8);
}

TEST_F(PresentationTest, MarginsOutsideTheirRangeAreIgnoredSilently) {
  YYPgMargins(-0.1f, 1.0f, 0.0f, 1.5f);
  EXPECT_FLOAT_EQ(S().MarginLeft, 0.1f);
  EXPECT_FLOAT_EQ(S().MarginBottom, 0.1f);
  EXPECT_FLOAT_EQ(S().MarginRight, 0.9f);
  EXPECT_FLOAT_EQ(S().MarginTop, 0.9f);
  YYPgMargins(0.95f, 0.0f, 0.05f, 1.0f);  // left need not lie below right
  EXPECT_FLOAT_EQ(S().MarginLeft, 0.95f);
  EXPECT_FLOAT_EQ(S().MarginRight, 0.05f);
  EXPECT_EQ(CountReports(16), 0);
}

TEST_F(PresentationTest, AxisTypesAndWhatTheGraphTypeLeavesOfThem) {
  IPgArea(1, 10, 1000, 100000);
  YYPgAxisType("log", "Lin");
  EXPECT_TRUE(S().XLog);
  EXPECT_FALSE(S().YLog);
  EXPECT_FLOAT_EQ(S().XLogMin, 0);
  EXPECT_FLOAT_EQ(S().XLogRange, 3);
  const std::vector<int32_t> one = {1};
  YYPgGraphDefine(1, 3, one);
  EXPECT_FALSE(S().XLog);  // graph type 1 keeps x linear
  YYPgGraphDefine(2, 3, one);
  YYPgAxisType("LOGARITHMIC", "lo");
  EXPECT_TRUE(S().XLog);
  EXPECT_FALSE(S().YLog);
  YYPgAxisType("x", "Log");
  EXPECT_FALSE(S().YLog);   // graph type 2 keeps y linear
  YYPgGraphDefine(5, 3, one, 1);  // bit 0 with type 5 makes both linear
  YYPgAxisType("log", "log");
  EXPECT_FALSE(S().XLog);
  EXPECT_FALSE(S().YLog);
  YYPgGraphDefine(4, 3, one, 1);  // bit 0 has no effect for type 4
  EXPECT_TRUE(S().XLog);
  EXPECT_TRUE(S().YLog);
  EXPECT_FLOAT_EQ(S().YLogMin, 1);
  EXPECT_FLOAT_EQ(S().ReferenceLogShifted, 38);
  EXPECT_FLOAT_EQ(YYLog10Safe(0), -38);
  EXPECT_FLOAT_EQ(YYLog10Safe(-100), 2);
}

TEST_F(PresentationTest, GraphDefinitionClampsAndSplitsItsOptions) {
  const std::vector<int32_t> counts = {0, 7, 1};
  YYPgGraphDefine(12, 900, counts);
  EXPECT_EQ(S().GraphType, 4);
  EXPECT_EQ(S().Sets, 500);
  EXPECT_EQ(S().ValuesPerSet, 1);
  EXPECT_FLOAT_EQ(S().BarWidth, 0.25f);
  YYPgGraphDefine(0, 0, counts);
  EXPECT_EQ(S().Sets, 1);

  YYPgGraphDefine(10, 5, counts, (1 << 8) | (1 << 4) | (1 << 6));
  EXPECT_EQ(S().BarMode, 2);  // bits 2, 8, 4 in that order
  EXPECT_EQ(S().ValuesPerSet, 2);
  EXPECT_EQ(S().SecondCount, 7);
  EXPECT_EQ(S().ThirdCount, 2);
  EXPECT_TRUE(S().Flag6);
  YYPgGraphDefine(10, 5, counts, 1 | (1 << 6));
  EXPECT_FALSE(S().Flag6);  // cleared by the bit-0 flag
  YYPgGraphDefine(1, 5, counts, 1 | (1 << 5) | (1 << 10));
  EXPECT_FALSE(S().Flag0);
  EXPECT_FALSE(S().Flag10);
  const std::vector<int32_t> four = {4};
  YYPgGraphDefine(8, 5, four);
  EXPECT_EQ(S().SecondCount, 4);  // a missing second count equals the first
  EXPECT_FLOAT_EQ(S().BarWidth, 0.15f);

  const std::vector<int32_t> many = {50};
  YYPgGraphDefine(4, 6, many, 0, 1);
  EXPECT_EQ(S().StyleScheme, 2);
  EXPECT_EQ(S().LabelStep, 5);
  EXPECT_EQ(S().SetColour.size(), 6u);
}

// The state initialisation puts the set-up back to its defaults.
TEST_F(PresentationTest, StateInitialisationRestoresTheDefaults) {
  const std::vector<int32_t> counts = {12, 3};
  IPgArea(5, 6, 7, 8);
  YYPgMargins(0.3f, 0.3f, 0.6f, 0.6f);
  YYPgGraphDefine(8, 20, counts, 1);
  YYGrStateInit(" ");
  EXPECT_FLOAT_EQ(S().XFrom, 0);
  EXPECT_FLOAT_EQ(S().YTo, 1);
  EXPECT_FLOAT_EQ(S().YRange, 1);
  EXPECT_FLOAT_EQ(S().MarginLeft, 0.1f);
  EXPECT_FLOAT_EQ(S().MarginTop, 0.9f);
  EXPECT_EQ(S().GraphType, 4);
  EXPECT_EQ(S().Sets, 500);
  EXPECT_EQ(S().ValuesPerSet, 1);
  EXPECT_EQ(S().Options, 0);
  EXPECT_EQ(S().Flag0, 0);
  EXPECT_EQ(CountReports(16), 0);
}

}  // namespace
