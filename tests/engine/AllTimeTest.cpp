// The all-time search: the safeguarded root finder, its root function and
// the field curve it matches.
#include <cmath>
#include <vector>

#include "engine/AllTime.h"
#include "engine/CalcLotem.h"
#include "engine/HalfSpace.h"
#include "tests/engine/EngineFixture.h"

namespace {

std::vector<float> gEvaluated;

void RootAt12(float x, float& f, float& df) {
  gEvaluated.push_back(x);
  f = x - 12.0f;
  df = 1.0f;
}

void NoRoot(float x, float& f, float& df) {
  f = x * x + 1.0f;
  df = 2.0f * x;
}

class AllTime : public EngineTest {};

TEST_F(AllTime, RootSearchBracketsFromItsStart) {
  gEvaluated.clear();
  float x = 10.0f;
  EXPECT_NEAR(RTSAFE(RootAt12, 0.001f, x, 1.0e6f, 1.0e-5f), 12.0f, 1.0e-5f);
  EXPECT_NEAR(x, 12.0f, 1.0e-5f);
  ASSERT_GE(gEvaluated.size(), 2u);
  EXPECT_EQ(gEvaluated[0], 5.0f);  // the first bracket tried is [5, 15]
  EXPECT_EQ(gEvaluated[1], 15.0f);

  // Without a sign change the start value comes back unchanged.
  x = 10.0f;
  EXPECT_EQ(RTSAFE(NoRoot, 0.001f, x, 1.0e6f, 1.0e-5f), 10.0f);
  EXPECT_EQ(x, 10.0f);
}

TEST_F(AllTime, RootFunctionComparesWithTheStepOnField) {
  AllTimeSearchRecord& s = AllTimeSearch();
  s.Time = 1.0e-2f;
  s.Offset = 1000.0f;
  s.Moment = 10000.0f;
  float target = 0.0f, dTarget = 0.0f;
  HZ_LOT_HSP(false, s.Time, s.Moment, s.Offset, 100.0f, target, dTarget);
  s.Target = target;
  float f = 1.0f, df = 0.0f;
  HZ_LOTEM2(100.0f, f, df);
  EXPECT_EQ(f, 0.0f);
  EXPECT_EQ(df, dTarget);
}

TEST_F(AllTime, FieldCurveReachesTheDirectCurrentField) {
  SoundingRecord rec;
  SetModel(rec, {10.0f, 100.0f}, {200.0f});
  SetArrangement(3, 6, 1000.0f, 90.0f);
  CALCLOTEM(rec);
  const ForwardCommonRecord& fc = ForwardCommon();
  float largest = 0.0f;
  for (int32_t i = 2; i <= fc.NTimes; ++i) largest = std::max(largest, std::fabs(fc.HzConverted[static_cast<size_t>(i - 1)]));
  EXPECT_FLOAT_EQ(largest, 10000.0f / (12.566371f * 1000.0f * 1000.0f));
}

}  // namespace
