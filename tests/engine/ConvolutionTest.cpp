// Convolution with a system response, the rational spline, and the curve
// rescaling routines.
#include <cmath>
#include <vector>

#include "engine/Convolution.h"
#include "tests/engine/EngineFixture.h"

namespace {

class Convolution : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ResetConvolutionState();
  }
};

TEST_F(Convolution, CausalConvolutionOrBypass) {
  std::vector<float> data = {1.0f, 2.0f, 3.0f, 4.0f};
  const std::vector<float> h = {0.5f, 0.25f, 0.25f};
  CONV(data, 4, h, 0.1f, 0.1f, 3);
  // Samples before the first are taken as the first.
  const std::vector<float> expected = {1.0f, 0.5f * 2 + 0.25f * 1 + 0.25f * 1, 0.5f * 3 + 0.25f * 2 + 0.25f * 1,
                                       0.5f * 4 + 0.25f * 3 + 0.25f * 2};
  EXPECT_EQ(data, expected);

  testing::internal::CaptureStdout();
  CONV(data, 4, h, 1.0e-3f, 2.0e-3f, 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "  DATA SAMPLE :    1.00E-03 .NE. SYSTEM SAMPLE :    2.00E-03\n");
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0], "***  DECONVOLUTION BYPASSED.  ***");
  EXPECT_EQ(data, expected);
}

TEST_F(Convolution, RationalSplineReproducesWhatItShould) {
  // Tension 0 is the cubic spline: with exact end slopes it reproduces a
  // cubic on uneven knots; any tension reproduces a straight line.
  const std::vector<float> x = {0.0f, 0.3f, 1.0f, 1.2f, 2.5f, 3.0f};
  struct {
    float tension;
    float (*fn)(float);
    float (*slope)(float);
    float tol;
  } const cases[] = {
      {0.0f, [](float v) { return v * v * v - 2.0f * v; }, [](float v) { return 3.0f * v * v - 2.0f; }, 2e-5f},
      {20.0f, [](float v) { return 3.0f * v + 1.0f; }, [](float) { return 3.0f; }, 2e-6f},
  };
  for (const auto& c : cases) {
    const int32_t n = static_cast<int32_t>(x.size());
    std::vector<float> y(x.size()), p(x.size(), c.tension), q(x.size(), c.tension), y1(x.size()), a(x.size()),
        b(x.size()), cc(x.size()), d(x.size());
    for (size_t i = 0; i < x.size(); ++i) y[i] = c.fn(x[i]);
    y1.front() = c.slope(x.front());
    y1.back() = c.slope(x.back());
    RASPL1(n, x, y, p, q, y1, a, b, cc, d);
    for (size_t i = 1; i + 1 < x.size(); ++i) EXPECT_NEAR(y1[i], c.slope(x[i]), 20 * c.tol) << i;
    for (float v : {0.0f, 0.1f, 0.65f, 1.1f, 2.0f, 2.9f, 3.0f}) {
      float s = 0.0f;
      YSPLINE(n, x, v, a, b, cc, d, s, p, q);
      EXPECT_NEAR(s, c.fn(v), c.tol * 10.0f) << "tension " << c.tension << " at " << v;
    }
  }
}

TEST_F(Convolution, ResampledCurveThroughIdentitySystem) {
  ForwardCommonRecord& fc = ForwardCommon();
  ConvolutionRecord& g = ConvolutionState();
  fc.NTimes = 20;
  for (size_t i = 0; i < 20; ++i) {
    fc.Times[i] = 0.01f * std::pow(1.25f, static_cast<float>(i));
    fc.Response[i] = 2.0f * fc.Times[i];
  }
  g.SysResponse[0] = 1.0f;
  g.SysLength = 1;
  g.SysDt = 0.02f;
  CURVCON(0.0f, 0.0f, 204 + 20);  // room for 20 samples: the curve ends before 0.4 s
  EXPECT_EQ(fc.NTimes, 17);
  EXPECT_LT(fc.Times[16], 0.4f);
  // Later times take the uniform sample at or one before theirs.
  for (int32_t i = g.EarlyPoints + 1; i <= fc.NTimes; ++i)
    EXPECT_NEAR(fc.Response[static_cast<size_t>(i - 1)], 2.0f * fc.Times[static_cast<size_t>(i - 1)], 2.0f * 0.03f + 1e-4f);
}

TEST_F(Convolution, OversizedWorkEndsTheProgram) {
  EXPECT_EXIT(CURVCON(0.0f, 0.0f, 1025), testing::ExitedWithCode(1), "");
}

TEST_F(Convolution, TimeAxisMessageLineAndRescaling) {
  std::vector<float> t(3);
  TGEN(t, 0, 0.5f, 3);
  EXPECT_EQ(t, (std::vector<float>{0.5f, 1.0f, 1.5f}));
  TGEN(t, 3, 0.5f, 3);
  EXPECT_EQ(t, (std::vector<float>{-1.0f, -0.5f, 0.0f}));

  testing::internal::CaptureStdout();
  WIN("abcdef", 3, 0);
  WIN("abc", 3, -2);
  WIN("abc", 3, 5);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "+abc\n&abc\n abc\n");

  ForwardCommonRecord& fc = ForwardCommon();
  ConvolutionRecord& g = ConvolutionState();
  fc.NTimes = 2;
  fc.Times[0] = 1.0f;
  fc.Response[0] = 2.0f;
  fc.ComponentF = 1;  // Ex: both moments, times the fourth factor with selector 1
  CURVNORM(2.0f, 3.0f, 5.0f, 7.0f);
  EXPECT_EQ(fc.Response[0], 2.0f * 6.0f * 7.0f);
  fc.ComponentF = 3;  // Hz, selector 3: early-time factor and the late-time output
  fc.OffsetF = 1000.0f;
  fc.AngleRad = 1.5707964f;
  fc.Response[0] = 1.0e-12f;
  g.DisplaySelector = 3;
  g.AbscissaMode = 2;
  fc.NLayersF = 2;
  fc.ParamsF = {100.0f, 10.0f, 200.0f, 0.0f};
  CURVNORM(1.0f, 1.0f, 1.0f, 1.0f);
  const double rhoEarly = 1.0e-12 * 1.0e12 * 6.2831855 / 3.0;
  EXPECT_NEAR(fc.Response[0], rhoEarly, 1e-5 * rhoEarly);
  EXPECT_NEAR(g.LateRho[0], 6.5192075e-12 * std::pow(1.0e15 / rhoEarly, 0.6666667), 1e-3);
  EXPECT_NEAR(fc.Times[0], std::sqrt(62831852.0 * 100.0) / 200.0, 1e-3);
}

}  // namespace
