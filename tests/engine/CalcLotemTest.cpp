// The forward driver: the time grid, the displayed quantities, fitting the
// record, and the checks that refuse bad input before anything is computed.
#include <cmath>

#include "engine/CalcLotem.h"
#include "tests/engine/EngineFixture.h"

namespace {

class Driver : public EngineTest {
 protected:
  SoundingRecord rec_;
  float Syn(int32_t i, int32_t c) const { return rec_.Synthetics(i, c); }
};

TEST_F(Driver, TimeCountsAndDecades) {
  struct {
    float first, last;
    int32_t nlo, nhi, count;
  } const cases[] = {{1.0e-4f, 1.0f, -4, 1, 52}, {3.0e-4f, 1.0f, -4, 1, 52}, {5.0f, 500.0f, -1, 3, 42},
                     {0.5f, 0.6f, -1, 1, 22}};
  for (const auto& c : cases) {
    int32_t nlo = 0, nhi = 0;
    EXPECT_EQ(NTIMES(c.first, c.last, nlo, nhi), c.count) << c.first;
    EXPECT_EQ(nlo, c.nlo);
    EXPECT_EQ(nhi, c.nhi);
  }
  // The curve agrees, starting a full decade below the first time.
  SetModel(rec_, {100.0f, 10.0f}, {200.0f});
  SetArrangement(3, 1, 1000.0f, 90.0f, 5.0f, 500.0f);
  CALCLOTEM(rec_);
  EXPECT_EQ(ForwardCommon().NTimes, 42);
  EXPECT_EQ(rec_.Data.NPoints, 42);
  EXPECT_FLOAT_EQ(ForwardCommon().Times[0], 0.1f);
  EXPECT_FLOAT_EQ(rec_.Arrays->DataMatrix(11, 1), 1.0f);
}

TEST_F(Driver, DepthAndThicknessFormsGiveOneCurve) {
  for (int32_t component : {1, 3}) {
    SetArrangement(component, component == 3 ? 6 : 1, 1000.0f, 60.0f);
    SetModel(rec_, {100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
    CALCLOTEM(rec_);
    const RealArray thickness = rec_.Synthetics;
    SetModel(rec_, {100.0f, 10.0f, 1000.0f}, {100.0f, 300.0f}, true);
    CALCLOTEM(rec_);
    EXPECT_EQ(rec_.Synthetics.Data, thickness.Data) << component;
  }
}

TEST_F(Driver, DisplayedQuantities) {
  SetModel(rec_, {100.0f}, {});
  SoundingRecord layered;
  SetModel(layered, {100.0f, 10.0f}, {200.0f});
  SuiteSettingsRecord& s = SuiteSettings();

  // Received voltage: response times the source and receiver moments.
  SetArrangement(3, 1, 1000.0f, 90.0f);
  s.TxLength = 500.0f;
  s.TxAmps = 2.0f;
  s.RxArea = 100.0f;
  CALCLOTEM(rec_);
  ASSERT_TRUE(rec_.Computed);
  EXPECT_FLOAT_EQ(Syn(5, 1), ForwardCommon().Response[4] * 500.0f * 1.65e9f * 2.0f * 100.0f);
  EXPECT_EQ(ForwardCommon().SourceLengthF, 1.0f);
  SetArrangement(1, 3, 1000.0f, 0.0f);
  s.TxLength = 500.0f;
  s.RxLength = 7.0f;
  CALCLOTEM(rec_);
  EXPECT_FLOAT_EQ(Syn(5, 1), ForwardCommon().Response[4] * 500.0f * 1.0e9f);  // field: no receiver length
  s.IDisplay = 1;
  CALCLOTEM(rec_);
  EXPECT_FLOAT_EQ(Syn(5, 1), ForwardCommon().Response[4] * 500.0f * 1.0e9f * 7.0f);

  // On a half-space the early-time apparent resistivity starts at rho and
  // the late-time one ends there.
  SetArrangement(3, 4, 1000.0f, 90.0f);
  CALCLOTEM(rec_);
  EXPECT_NEAR(Syn(1, 1), 100.0f, 0.1f);
  for (int32_t i = 1; i <= 52; ++i) {
    const float t = ForwardCommon().Times[static_cast<size_t>(i - 1)];
    if (t > 0.4f && t < 1.01f) {
      EXPECT_NEAR(Syn(i, 2), 100.0f, 1.0f) << i;
    }
  }

  // All-time alone: one curve, equal to its column.
  SetArrangement(3, 5, 1000.0f, 90.0f);
  CALCLOTEM(rec_);
  EXPECT_EQ(rec_.Data.NCurves, 1);
  for (int32_t i = 1; i <= 52; ++i) EXPECT_EQ(Syn(i, 1), Syn(i, 3));

  // Normalised time needs a top layer; a half-space keeps seconds.
  s.IAbscissa = 2;
  CALCLOTEM(rec_);
  EXPECT_FLOAT_EQ(rec_.Arrays->DataMatrix(11, 1), 1.0e-3f);
  CALCLOTEM(layered);
  EXPECT_FLOAT_EQ(layered.Arrays->DataMatrix(11, 1), 500.0f * std::sqrt(100.0f * 1.0e-3f) / 200.0f);
}

TEST_F(Driver, AllTimeResistivityFitsTheHalfSpace) {
  SetArrangement(3, 6, 1000.0f, 90.0f);
  SetModel(rec_, {100.0f}, {});
  CALCLOTEM(rec_);
  for (int32_t i = 1; i <= 36; ++i) EXPECT_NEAR(Syn(i, 3), 100.0f, 1.0f) << i;

  // Ten over a hundred ohm-m: from 10 toward 100 while the transform holds
  // for the lower layer (u >= 0.1 up to about 0.3 s).
  SetModel(rec_, {10.0f, 100.0f}, {200.0f});
  CALCLOTEM(rec_);
  EXPECT_NEAR(Syn(1, 3), 10.0f, 0.1f);
  EXPECT_NEAR(Syn(11, 3), 10.0f, 0.1f);
  for (int32_t i = 13; i <= 36; ++i) EXPECT_GT(Syn(i, 3), Syn(i - 1, 3)) << i;
  EXPECT_GT(Syn(36, 3), 50.0f);
  EXPECT_LT(Syn(36, 3), 100.0f);
}

TEST_F(Driver, RecordIsFittedToTheCurve) {
  SetArrangement(3, 4, 1000.0f, 90.0f);
  // More rows than times: the rest is marked missing.
  SetModel(rec_, {100.0f, 10.0f}, {200.0f}, false, 60, 2);
  CALCLOTEM(rec_);
  EXPECT_EQ(rec_.Data.NPoints, 60);
  EXPECT_NE(Syn(52, 1), 1.0e20f);
  EXPECT_EQ(Syn(53, 1), 1.0e20f);
  EXPECT_EQ(rec_.Arrays->DataMatrix(60, 1), 1.0e20f);
  // Fewer rows: a notice, and only the rows held are written.
  SetModel(rec_, {100.0f, 10.0f}, {200.0f}, false, 20, 1);
  CALCLOTEM(rec_);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0], "Increase in number of points in suite curve:");
  EXPECT_TRUE(rec_.Computed);
  EXPECT_EQ(rec_.Synthetics.Dim1, 20);
  // No rows at all: nothing happens.
  rec_.Data.NPoints = 0;
  rec_.Computed = false;
  rec_.MeasureA = 5.0f;
  CALCLOTEM(rec_);
  EXPECT_FALSE(rec_.Computed);
  EXPECT_EQ(rec_.MeasureA, 5.0f);
}

TEST_F(Driver, WidestTimeRangeStaysInsideTheArrays) {
  int32_t nlo = 0, nhi = 0;
  ASSERT_EQ(NTIMES(1.0e-9f, 1.0e6f, nlo, nhi), 152);
  for (int32_t component : {1, 2, 3}) {
    SetArrangement(component, component == 3 ? 6 : 3, 100.0f, 45.0f, 1.0e-9f, 1.0e6f);
    SetModel(rec_, {100.0f, 10.0f}, {200.0f});
    CALCLOTEM(rec_);
    EXPECT_TRUE(rec_.Computed) << component;
    EXPECT_EQ(ForwardCommon().NTimes, 152);
  }
}

// The corners of the time ranges the driver accepts: the earliest and the
// latest times, the widest and the narrowest spans. The sanitizer build
// checks that the transform stays inside its frequency grid; every value is
// a number or the missing mark.
TEST_F(Driver, AcceptedTimeRangeCornersStayInsideTheGrid) {
  struct {
    float first, last;
    int32_t times;
  } const ranges[] = {
      {1.0e-30f, 1.0e-16f, 152},  // earliest, widest
      {1.0e-30f, 1.5e-30f, 22},   // earliest, narrowest
      {3.0e-20f, 3.0e-11f, 112},  // very early, nine decades and more
      {1.0e16f, 1.0e30f, 152},    // latest, widest
      {0.9e30f, 1.0e30f, 22},     // latest, narrowest
  };
  for (const auto& range : ranges) {
    std::string why;
    ASSERT_TRUE(TimeRangeFits(range.first, range.last, why)) << range.first << " " << why;
    for (int32_t component : {1, 3}) {
      SCOPED_TRACE(testing::Message() << range.first << " to " << range.last << ", component " << component);
      SetArrangement(component, component == 3 ? 6 : 3, 1000.0f, 90.0f, range.first, range.last);
      SetModel(rec_, {100.0f, 10.0f}, {200.0f});
      CALCLOTEM(rec_);
      ASSERT_TRUE(rec_.Computed);
      ASSERT_EQ(rec_.Data.NPoints, range.times);
      for (int32_t c = 1; c <= rec_.Synthetics.Dim2; ++c)
        for (int32_t i = 1; i <= range.times; ++i) EXPECT_FALSE(std::isnan(Syn(i, c))) << i << ", " << c;
    }
  }
}

// A layer of thickness 0 is a model like any other, whether the model gives
// thicknesses or depths: it computes as the model without that layer.
TEST_F(Driver, ZeroThicknessIsComputed) {
  SetArrangement(3, 6, 1000.0f, 90.0f);
  SetModel(rec_, {100.0f, 10.0f}, {200.0f});
  CALCLOTEM(rec_);
  ASSERT_TRUE(rec_.Computed);
  const std::vector<float> twoLayers = rec_.Synthetics.Data;
  for (bool depths : {false, true}) {
    SCOPED_TRACE(depths ? "depths 200, 200" : "thicknesses 200, 0");
    ShownMessages().clear();
    if (depths) SetModel(rec_, {100.0f, 10.0f, 10.0f}, {200.0f, 200.0f}, true);
    else SetModel(rec_, {100.0f, 10.0f, 10.0f}, {200.0f, 0.0f});
    CALCLOTEM(rec_);
    EXPECT_TRUE(ShownMessages().empty()) << ShownMessages()[0];
    ASSERT_TRUE(rec_.Computed);
    ASSERT_EQ(rec_.Synthetics.Data.size(), twoLayers.size());
    for (size_t i = 0; i < twoLayers.size(); ++i)
      EXPECT_NEAR(rec_.Synthetics.Data[i], twoLayers[i], 1e-3f * std::fabs(twoLayers[i]) + 1e-30f) << i;
  }
}

// Each refused input gives a message naming the value; nothing is computed
// into the forward state and nothing of the record changes.
TEST_F(Driver, BadInputIsRefusedBeforeComputing) {
  struct Case {
    const char* what;
    void (*apply)(SoundingRecord&);
    const char* message;
  } const cases[] = {
      {"start 0", [](SoundingRecord&) { SuiteSettings().AbStart = 0.0f; }, "first time must be greater than 0: 0 s"},
      {"start -1", [](SoundingRecord&) { SuiteSettings().AbStart = -1.0f; }, "greater than 0: -1 s"},
      {"start NaN", [](SoundingRecord&) { SuiteSettings().AbStart = std::nanf(""); }, "greater than 0: nan s"},
      {"end = start", [](SoundingRecord&) { SuiteSettings().AbEnd = 1.0e-4f; }, "1e-04 s to 1e-04 s"},
      {"end < start", [](SoundingRecord&) { SuiteSettings().AbEnd = 1.0e-5f; }, "1e-04 s to 1e-05 s"},
      {"16 decades", [](SoundingRecord&) { SuiteSettings().AbStart = 1.0e-10f; SuiteSettings().AbEnd = 1.0e6f; },
       "spans 16 decades; at most 15 fit"},
      {"tiny times", [](SoundingRecord&) { SuiteSettings().AbStart = 1.0e-35f; SuiteSettings().AbEnd = 1.0e-33f; },
       "times must lie between"},
      {"offset 0", [](SoundingRecord&) { SuiteSettings().Offset = 0.0f; }, "Offset must be greater than 0: 0 m"},
      {"offset -5", [](SoundingRecord&) { SuiteSettings().Offset = -5.0f; }, "greater than 0: -5 m"},
      {"rho 0", [](SoundingRecord& r) { r.Model.Value(2) = 0.0f; }, "layer 2 has 0 ohm-m"},
      {"rho -3", [](SoundingRecord& r) { r.Model.Value(1) = -3.0f; }, "layer 1 has -3 ohm-m"},
      {"thickness -10", [](SoundingRecord& r) { r.Model.Value(4) = -10.0f; }, "Thickness must not be negative: layer 1 has -10 m"},
      {"depths 100, 90", [](SoundingRecord& r) { r.Model.DepthFlag = true; r.Model.Value(5) = 90.0f; },
       "Model specified as depth has negative thicknesses"},
      {"no layers", [](SoundingRecord& r) { r.Model.NLayers = 0; }, "Model has no layers"},
      {"short vector", [](SoundingRecord& r) { r.Model.NLayers = 4; }, "Model has 5 parameter values; 4 layers need 7"},
      {"no values per layer", [](SoundingRecord& r) { r.Model.ValuesPerLayer = 0; }, "at least 1 value per layer: 0"},
      {"negative values per layer, depths", [](SoundingRecord& r) { r.Model.ValuesPerLayer = -3; r.Model.DepthFlag = true; },
       "at least 1 value per layer: -3"},
      {"Hz rho-a at 0 degrees", [](SoundingRecord&) { SuiteSettings().TxRxAngle = 0.0f; }, "sine is not 0: 0 degrees"},
      {"Hz rho-a at 180 degrees", [](SoundingRecord&) { SuiteSettings().TxRxAngle = 180.0f; }, "180 degrees"},
      {"component 0", [](SoundingRecord&) { SuiteSettings().IComponent = 0; }, "(Hz): 0"},
      {"display 7", [](SoundingRecord&) { SuiteSettings().IDisplay = 7; }, "1 to 6: 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetForwardCommon();
    SetArrangement(3, 6, 1000.0f, 90.0f);
    SetModel(rec_, {100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f}, false, 52, 3);
    CALCLOTEM(rec_);
    ASSERT_TRUE(rec_.Computed);
    rec_.MeasureA = 7.0f;
    rec_.MeasureB = 8.0f;
    const std::vector<float> synBefore = rec_.Synthetics.Data, dataBefore = rec_.Arrays->DataMatrix.Data;
    const float offsetBefore = ForwardCommon().OffsetF, responseBefore = ForwardCommon().Response[3];
    ShownMessages().clear();
    c.apply(rec_);
    CALCLOTEM(rec_);
    ASSERT_EQ(ShownMessages().size(), 1u);
    EXPECT_NE(ShownMessages()[0].find(c.message), std::string::npos) << ShownMessages()[0];
    EXPECT_TRUE(rec_.Computed);
    EXPECT_EQ(rec_.MeasureA, 7.0f);
    EXPECT_EQ(rec_.MeasureB, 8.0f);
    EXPECT_EQ(rec_.Data.NPoints, 52);
    EXPECT_EQ(rec_.Synthetics.Data, synBefore);
    EXPECT_EQ(rec_.Arrays->DataMatrix.Data, dataBefore);
    EXPECT_EQ(ForwardCommon().OffsetF, offsetBefore);
    EXPECT_EQ(ForwardCommon().Response[3], responseBefore);
    EXPECT_TRUE(ForwardCommon().RhoF.empty());
  }
}

TEST_F(Driver, AngleLimits) {
  SetModel(rec_, {100.0f, 10.0f}, {200.0f});
  // Perpendicular to the wire there is no Ey (the cosine counts as 0).
  SetArrangement(2, 3, 3000.0f, 90.0f);
  CALCLOTEM(rec_);
  for (int32_t i = 1; i <= 52; ++i) EXPECT_EQ(Syn(i, 1), 0.0f) << i;
  // On the wire axis a layered earth has no Hz: the voltage is 0, not refused.
  SetArrangement(3, 1, 1000.0f, 0.0f);
  CALCLOTEM(rec_);
  EXPECT_TRUE(rec_.Computed);
  EXPECT_EQ(Syn(10, 1), 0.0f);
  // A half-space is refused there with a message, before the half-space
  // formula could refuse it on the console; the record stays as it was.
  SetModel(rec_, {100.0f}, {});
  rec_.Computed = false;
  testing::internal::CaptureStdout();
  CALCLOTEM(rec_);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_FALSE(rec_.Computed);
  EXPECT_EQ(rec_.Data.NPoints, 1);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_NE(ShownMessages()[0].find("0 degrees"), std::string::npos);
}

TEST_F(Driver, StartValuesAndKernelAngles) {
  const ForwardCommonRecord& fc = ForwardCommon();
  EXPECT_EQ(fc.NLayersF, 4);
  EXPECT_EQ(fc.AngleRad, 1.5708f);
  EXPECT_EQ(fc.OffsetF, 3000.0f);
  EXPECT_EQ(fc.SourceLengthF, 50.0f);
  EXPECT_EQ(fc.ReceiverAreaF, 1.0f);
  EXPECT_EQ(fc.ScaleCopy, 1.0f);
  EXPECT_EQ(fc.ComponentF, 1);
  struct {
    float angle, cos, sin;
  } const cases[] = {{90.0f / 57.29578f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, {1.0e19f, 1.0f, 0.0f}, {-1.0e30f, 1.0f, 0.0f}};
  for (const auto& c : cases) {
    float cs = -2.0f, sn = -2.0f;
    KernelCosSin(c.angle, cs, sn);
    EXPECT_EQ(cs, c.cos) << c.angle;
    EXPECT_EQ(sn, c.sin) << c.angle;
  }
}

}  // namespace
