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

// The field curve of a half-space is its step-on field: matched at the
// first time, integrated after it, never scaled to the direct-current field.
TEST_F(AllTime, FieldCurveOfAHalfSpaceIsItsStepOnField) {
  SoundingRecord rec;
  SetModel(rec, {100.0f}, {});
  SetArrangement(3, 6, 3000.0f, 90.0f);
  CALCLOTEM(rec);
  const ForwardCommonRecord& fc = ForwardCommon();
  const float dc = 10000.0f / (12.566371f * 3000.0f * 3000.0f);
  for (int32_t i = 1; i <= fc.NTimes; ++i) {
    const size_t k = static_cast<size_t>(i - 1);
    float field = 0.0f, discard = 0.0f;
    HZ_LOT_HSP(false, fc.Times[k], 10000.0f, 3000.0f, 100.0f, field, discard);
    EXPECT_NEAR(fc.HzConverted[k] / field, 1.0f, 1.0e-4f) << i;
    EXPECT_LT(fc.HzConverted[k], dc) << i;
  }
}

// The all-time apparent resistivity of a half-space is its resistivity:
// wherever the time transform holds from the second time to 1 s, within
// 2 %; anywhere else within 2 % or missing (1e20, where the field lies
// within rounding of the direct-current field), never a start value.
TEST_F(AllTime, HalfSpacesGiveTheirResistivity) {
  constexpr double kMu0 = 1.2566370614e-6;
  for (float rho : {1.0f, 10.0f, 100.0f, 1000.0f}) {
    for (float r : {500.0f, 1000.0f, 3000.0f}) {
      SCOPED_TRACE(testing::Message() << rho << " ohm-m at " << r << " m");
      SoundingRecord rec;
      SetModel(rec, {rho}, {});
      SetArrangement(3, 6, r, 90.0f);
      CALCLOTEM(rec);
      ASSERT_TRUE(rec.Computed);
      const ForwardCommonRecord& fc = ForwardCommon();
      int32_t compared = 0;
      for (int32_t i = 1; i <= fc.NTimes; ++i) {
        const double t = fc.Times[static_cast<size_t>(i - 1)];
        const float value = rec.Synthetics(i, 3);
        const bool transformHolds = i >= 2 && t <= 1.0001 && r * std::sqrt(kMu0 / (4.0 * rho * t)) >= 0.1;
        if (value == 1.0e20f && !transformHolds) continue;
        EXPECT_NEAR(value / rho, 1.0f, 0.02f) << "t " << t;
        if (transformHolds) ++compared;
      }
      EXPECT_GE(compared, rho * 1.0e6f < r * r ? 40 : 10);
    }
  }
}

// A field the root search cannot bracket leaves its start value and says
// it found nothing.
TEST_F(AllTime, FieldsNoHalfSpaceHasAreNotFound) {
  ForwardCommonRecord& fc = ForwardCommon();
  SoundingRecord rec;
  SetModel(rec, {100.0f}, {});
  SetArrangement(3, 6, 1000.0f, 90.0f);
  CALCLOTEM(rec);
  AllTimeSearchRecord& s = AllTimeSearch();
  s.Time = fc.Times[10];
  float hz = 0.0f, discard = 0.0f;
  HZ_LOT_HSP(false, s.Time, 10000.0f, 1000.0f, 2.0e6f, hz, discard);  // past the search's upper limit
  s.Target = hz * 1.001f;
  float x = 37.0f;
  bool found = true;
  EXPECT_EQ(RTSAFE(HZ_LOTEM2, 0.001f, x, 1.0e6f, 1.0e-5f, &found), 37.0f);
  EXPECT_FALSE(found);

}

}  // namespace

