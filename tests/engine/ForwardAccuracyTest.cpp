// The computed transient response against closed-form half-space fields and
// against kept layered-model values.
#include <cmath>

#include "engine/CalcLotem.h"
#include "engine/HalfSpace.h"
#include "tests/engine/EngineFixture.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kMu0 = 4.0e-7 * kPi;

double InductionNumber(double rho, double r, double t) { return r * std::sqrt(kMu0 / (4.0 * rho * t)); }

// Step-on Ex of a point dipole over a half-space.
double ExactEx(double rho, double r, double phiDeg, double t) {
  const double phi = phiDeg * kPi / 180.0, c = std::cos(phi);
  const double u = InductionNumber(rho, r, t);
  return rho / (2.0 * kPi * r * r * r) *
         (3.0 * c * c - 2.0 + std::erfc(u) + 2.0 / std::sqrt(kPi) * u * std::exp(-u * u));
}

class ForwardAccuracy : public EngineTest {
 protected:
  // Computes the record and returns the number of times of the curve.
  int32_t Compute(int32_t component, float offset, float angle) {
    SetArrangement(component, component == 3 ? 1 : 3, offset, angle);
    CALCLOTEM(rec_);
    EXPECT_TRUE(rec_.Computed);
    return ForwardCommon().NTimes;
  }
  float T(int32_t i) const { return ForwardCommon().Times[static_cast<size_t>(i)]; }
  float V(int32_t i) const { return ForwardCommon().Response[static_cast<size_t>(i)]; }
  SoundingRecord rec_;
};

TEST_F(ForwardAccuracy, HalfSpaceElectricFieldMatchesClosedForm) {
  SetModel(rec_, {100.0f}, {});
  for (float r : {1000.0f, 3000.0f}) {
    for (float phi : {0.0f, 45.0f, 90.0f}) {
      const int32_t nt = Compute(1, r, phi);
      const double scale = 100.0 / (2.0 * kPi * r * r * r);
      for (int32_t i = 0; i < nt && T(i) <= 1.0001f; ++i) {
        const double exact = std::fabs(ExactEx(100.0, r, phi, T(i)));
        if (phi == 45.0f)  // changes sign: absolute tolerance
          EXPECT_NEAR(V(i), exact, 1.0e-4 * scale) << "r " << r << " t " << T(i);
        else
          EXPECT_NEAR(V(i) / exact, 1.0, 2.0e-4) << "r " << r << " phi " << phi << " t " << T(i);
      }
    }
    // Ey of a half-space is its direct-current field at every time.
    const int32_t nt = Compute(2, r, 45.0f);
    const double exact = 100.0 * 3.0 * 0.5 / (2.0 * kPi * r * r * r);
    for (int32_t i = 0; i < nt && T(i) <= 1.0001f; ++i) EXPECT_NEAR(V(i) / exact, 1.0, 2.0e-4) << T(i);
  }
}

TEST_F(ForwardAccuracy, HzThroughTransformMatchesClosedFormWhileFilterHolds) {
  // One layer takes the closed form itself.
  SetModel(rec_, {100.0f}, {});
  Compute(3, 1000.0f, 90.0f);
  float exact = 0.0f;
  HZEXACT(T(7), 1.0f, 1.0f, 1000.0f, 90.0f, 100.0f, exact);
  EXPECT_EQ(V(7), exact);

  SetModel(rec_, {100.0f, 100.0f}, {200.0f});
  const int32_t nt = Compute(3, 1000.0f, 90.0f);
  int32_t compared = 0;
  for (int32_t i = 0; i < nt && T(i) <= 1.0001f; ++i) {
    if (InductionNumber(100.0, 1000.0, T(i)) < 0.1) continue;
    HZEXACT(T(i), 1.0f, 1.0f, 1000.0f, 90.0f, 100.0f, exact);
    EXPECT_NEAR(V(i) / exact, 1.0, 2.0e-3) << T(i);
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

TEST_F(ForwardAccuracy, LayersOfOneResistivityGiveTheHalfSpace) {
  for (int32_t component : {1, 2, 3}) {
    SetModel(rec_, {100.0f}, {});
    const int32_t nt = Compute(component, 1000.0f, 60.0f);
    std::vector<float> half(ForwardCommon().Response.begin(), ForwardCommon().Response.begin() + nt);
    SetModel(rec_, {100.0f, 100.0f, 100.0f, 100.0f}, {50.0f, 300.0f, 20.0f});
    ASSERT_EQ(Compute(component, 1000.0f, 60.0f), nt);
    for (int32_t i = 0; i < nt && T(i) <= 1.0001f; ++i) {
      if (component == 3 && InductionNumber(100.0, 1000.0, T(i)) < 0.1) continue;
      EXPECT_NEAR(V(i) / half[static_cast<size_t>(i)], 1.0, component == 3 ? 2.0e-3 : 1.0e-5)
          << "component " << component << " t " << T(i);
    }
  }
}

// Values of the response (per unit moment) at 1e-4, 1e-3, 1e-2 and 0.1 s,
// kept from an independent double-precision evaluation of the same
// transforms (r = 1000 m).
struct LayeredCase {
  std::initializer_list<float> rho;
  std::initializer_list<float> thick;
  float angle;
  int32_t component;
  double values[4];
};

TEST_F(ForwardAccuracy, LayeredModelsKeepTheirResponse) {
  const LayeredCase cases[] = {
      {{10.0f, 100.0f}, {200.0f}, 90.0f, 3, {4.76588e-12, 4.79525e-12, 4.73408e-12, 1.08354e-14}},
      {{100.0f, 10.0f}, {200.0f}, 90.0f, 3, {4.76071e-11, 1.29936e-11, 1.98566e-12, 4.25654e-14}},
      {{10.0f, 100.0f}, {200.0f}, 0.0f, 1, {1.59126e-09, 1.59648e-09, 4.68553e-09, 7.18304e-09}},
      {{100.0f, 10.0f}, {200.0f}, 90.0f, 1, {3.17273e-08, 1.18797e-08, 3.87963e-09, 2.23401e-09}},
      {{100.0f, 10.0f}, {200.0f}, 45.0f, 2, {2.37967e-08, 9.49972e-09, 4.40972e-09, 4.05648e-09}},
      {{100.0f, 10.0f, 1000.0f}, {100.0f, 300.0f}, 60.0f, 3, {3.12337e-11, 7.59061e-12, 2.98186e-12, 1.11430e-14}},
  };
  for (const LayeredCase& c : cases) {
    SetModel(rec_, c.rho, c.thick);
    Compute(c.component, 1000.0f, c.angle);
    for (int32_t d = 0; d < 4; ++d) {
      const int32_t i = 10 * d;  // 1e-4 s is the first time, ten per decade
      EXPECT_NEAR(T(i), std::pow(10.0, d - 4), 1.0e-6 * std::pow(10.0, d - 4));
      EXPECT_NEAR(V(i) / c.values[d], 1.0, 1.0e-3)
          << "component " << c.component << " rho1 " << *c.rho.begin() << " t " << T(i);
    }
  }
}

}  // namespace
