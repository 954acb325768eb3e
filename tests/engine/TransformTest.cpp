// The layered-earth kernel and the two filter transforms: tanh regimes, the
// admittance recursion, the Hankel and frequency walks and their start
// indices.
#include <cmath>
#include <complex>

#include "engine/CalcLotem.h"
#include "tests/engine/EngineFixture.h"

namespace {

class Transform : public EngineTest {
 protected:
  // A model in the forward state, as CURVE leaves it for the kernels.
  void Model(const std::vector<float>& rho, const std::vector<float>& thick, int32_t component = 3) {
    ForwardCommonRecord& fc = ForwardCommon();
    fc.RhoF = rho;
    fc.ThickF = thick;
    fc.ThickF.push_back(0.0f);
    fc.NLayersF = fc.KernelLayers = static_cast<int32_t>(rho.size());
    fc.ComponentF = component;
    fc.IsEx = component == 1;
    fc.IsEy = component == 2;
    fc.IsHz = component == 3;
    fc.CosPhi = 0.5f;
    fc.SinPhi = 0.8660254f;
    PrepareKernelLayers();
  }
  // The visited indices of a walk must be one contiguous run.
  template <size_t N>
  static void ExpectContiguous(const std::array<bool, N>& done, int32_t lo, int32_t hi) {
    int32_t first = 0, last = 0;
    for (int32_t i = 1; i <= static_cast<int32_t>(N); ++i) {
      if (!done[static_cast<size_t>(i - 1)]) continue;
      if (first == 0)
        first = i;
      else
        EXPECT_EQ(last, i - 1) << "gap before " << i;
      last = i;
    }
    EXPECT_LE(first, lo);
    EXPECT_GE(last, hi);
  }
};

TEST_F(Transform, TanhRegimes) {
  // Inside 0.1 <= |z| <= 4 the exponential ratio is exact; beyond 4 the
  // one-term form is off by about 2 e^(-4|z|); below 0.1 the series is
  // accurate to its z^9 term.
  struct {
    Complex z;
    double tol;
  } const cases[] = {{{4.0, 0.0}, 1e-15},    {{0.0, 4.0}, 1e-14},   {{0.1, 0.0}, 1e-15},
                     {{0.06, 0.05}, 1e-9},  {{2.0, 1.0}, 1e-15},   {{12.0, 3.0}, 1e-15},
                     {{30.0, 0.5}, 1e-15}};
  for (const auto& c : cases) {
    Complex t;
    CTANH(t, c.z);
    EXPECT_LT(std::abs(t - std::tanh(c.z)), c.tol * std::abs(std::tanh(c.z))) << c.z;
  }
  Complex t;
  CTANH(t, {4.0001, 0.0});
  EXPECT_NEAR(std::tanh(4.0001) - t.real(), 2.0 * std::exp(-4.0 * 4.0001), 1e-9);
}

TEST_F(Transform, TanhExponentialsOverTheKernelsRange) {
  // The exponential regimes, 1 - 2w and (1 - w) / (1 + w) with
  // w = e^(-2z), against the library's exponential, sine and cosine: every
  // quadrant of 2 Im z up to 41.6 (the kernel's range) and beyond it.
  for (double x : {0.05, 1.0, 3.0, 10.0, 20.0}) {
    for (double y = 0.0; y < 21.0; y += 0.37) {
      for (const Complex z : {Complex(x, y), Complex(x, 3.0e4 + y)}) {
        if (std::norm(z) < 0.01) continue;
        const Complex w = std::exp(-2.0 * z.real()) * Complex(std::cos(2.0 * z.imag()), -std::sin(2.0 * z.imag()));
        const Complex expected = std::norm(z) > 16.0 ? 1.0 - 2.0 * w : (1.0 - w) / (1.0 + w);
        Complex t;
        CTANH(t, z);
        EXPECT_LT(std::abs(t - expected), 1e-14 * std::abs(expected)) << z;
      }
    }
  }
}

TEST_F(Transform, AdmittanceOfHalfSpaceAndOfInvisibleLayers) {
  FieldsState().OmegaMu = 1.0e-4f;
  const float lambda = 2.0e-3f;
  const Complex u = std::sqrt(Complex(double(lambda) * lambda, double(1.0e-4f) / 100.0));
  Complex y, z;
  Model({100.0f}, {}, 1);
  ADMITT(lambda, y, z, true);
  EXPECT_LT(std::abs(y - u), 1e-15 * std::abs(u));
  EXPECT_LT(std::abs(z - u), 1e-15 * std::abs(u));
  // Equal resistivities leave both as they are; a top layer of zero
  // thickness leaves Y (Z is taken relative to the top layer).
  Model({100.0f, 100.0f, 100.0f}, {50.0f, 300.0f}, 1);
  ADMITT(lambda, y, z, true);
  EXPECT_LT(std::abs(y - u), 1e-12 * std::abs(u));
  EXPECT_LT(std::abs(z - u), 1e-12 * std::abs(u));
  Model({5.0f, 100.0f}, {0.0f}, 1);
  ADMITT(lambda, y, z, true);
  EXPECT_LT(std::abs(y - u), 1e-12 * std::abs(u));
  EXPECT_LT(std::abs(z - u * 20.0), 1e-12 * std::abs(u * 20.0));
}

TEST_F(Transform, AdmittanceThroughManyLayersAtTinyWavenumbers) {
  // Each layer scales the recursion's terms by about |u| (here 1e-8); eighty
  // layers of one resistivity must still give the half-space admittance.
  FieldsState().OmegaMu = 1.0e-14f;
  const float lambda = 1.0e-9f;
  const Complex u = std::sqrt(Complex(double(lambda) * lambda, double(1.0e-14f) / 100.0));
  Model(std::vector<float>(80, 100.0f), std::vector<float>(79, 1000.0f), 1);
  Complex y, z;
  ADMITT(lambda, y, z, true);
  EXPECT_LT(std::abs(y - u), 1e-12 * std::abs(u));
  EXPECT_LT(std::abs(z - u), 1e-12 * std::abs(u));
}

TEST_F(Transform, KernelValuesOfAPairEqualThoseTakenOneByOne) {
  // Two wavenumbers share one evaluation; neither may change the other,
  // whichever layer each one's recursion starts from (at large wavenumbers
  // the top layer hides the rest).
  ForwardCommonRecord& fc = ForwardCommon();
  FieldsRecord& f = FieldsState();
  const std::pair<int32_t, int32_t> pairs[] = {{20, 95}, {95, 20}, {60, 61}, {75, 50}, {100, 1}, {88, 84}};
  for (int32_t component : {1, 2, 3}) {
    Model({100.0f, 10.0f, 1000.0f, 30.0f}, {100.0f, 300.0f, 50.0f}, component);
    fc.R = 1000.0f;
    f.FreqIndex = 1;
    RWFIELDS(1.0e3f);  // the wavenumber grid of this offset
    const auto values = [&](int32_t i) {
      const size_t k = static_cast<size_t>(i - 1);
      return std::array<float, 5>{f.HankelT1[k], f.HankelT2[k], f.HankelT3[k], f.HankelT4[k], f.HankelT5[k]};
    };
    for (const auto& [a, b] : pairs) {
      KernelValuePair(a, b);
      const std::array<float, 5> pairA = values(a), pairB = values(b);
      KernelValuePair(a, a);
      EXPECT_EQ(values(a), pairA) << component << ": " << a << " with " << b;
      KernelValuePair(b, b);
      EXPECT_EQ(values(b), pairB) << component << ": " << b << " with " << a;
    }
  }
}

TEST_F(Transform, HankelWalkStartsAtItsIndexAndStaysInTheTable) {
  ForwardCommonRecord& fc = ForwardCommon();
  Model({100.0f, 10.0f}, {200.0f});
  struct {
    float r;
    int32_t start;
  } const cases[] = {{3000.0f, 91}, {1000.0f, 95}, {400.0f, 99}, {300.0f, 100}, {1.0e5f, 76}};
  for (const auto& c : cases) {
    fc.R = c.r;
    FieldsState().FreqIndex = 3;
    RWFIELDS(1.0e3f);
    EXPECT_EQ(FieldsState().HankelStart, c.start) << c.r;
    ExpectContiguous(FieldsState().LambdaDone, std::max(1, c.start - 5), std::min(100, c.start + 5));
    EXPECT_NE(FieldsState().FreqKernel1[2], 0.0f);
    EXPECT_FLOAT_EQ(FieldsState().Lambda[59], 1.0f / c.r);
  }
}

TEST_F(Transform, FrequencyWalkAndGrid) {
  ForwardCommonRecord& fc = ForwardCommon();
  Model({100.0f, 10.0f}, {200.0f});
  fc.R = 1000.0f;
  std::array<float, 1> t{}, v{};
  FTRANS(true, 1.0e-5f, 1, t, v, 1);
  EXPECT_EQ(t[0], 1.0e-5f);
  EXPECT_NE(v[0], 0.0f);
  // The first time starts at frequency 75 (filter index 6); the walk stays
  // within the filter's window k..k+79.
  ExpectContiguous(TimeTransformState().OmegaDone, 70, 80);
  EXPECT_FALSE(TimeTransformState().OmegaDone[80]);
  EXPECT_FLOAT_EQ(TimeTransformState().OmegaGrid[40], 1.0e5f);
}

TEST_F(Transform, ResponsesDoNotDependOnTheCurveLength) {
  SoundingRecord rec;
  SetModel(rec, {100.0f, 10.0f}, {200.0f});
  for (int32_t component : {1, 3}) {
    SetArrangement(component, component == 3 ? 1 : 3, 1000.0f, 60.0f, 1.0e-4f, 1.0f);
    rec.Data.NPoints = 1;
    CALCLOTEM(rec);
    const std::array<float, kMaxTimes> longCurve = ForwardCommon().Response;
    SetArrangement(component, component == 3 ? 1 : 3, 1000.0f, 60.0f, 1.0e-4f, 1.0e-2f);
    CALCLOTEM(rec);
    ASSERT_EQ(ForwardCommon().NTimes, 32);
    for (size_t i = 0; i < 32; ++i) EXPECT_EQ(ForwardCommon().Response[i], longCurve[i]) << i;
  }
}

}  // namespace
