#include "engine/FIELDS.h"

#include <algorithm>
#include <cmath>

#include "engine/ForwardCommon.h"
#include "engine/TRANSFOR.h"

namespace {

FieldsRecord gFields;

constexpr float kMu0 = 1.256637e-6f;
// Beyond Re z = 20.8, 2 e^(-2z) is below 1e-18 and 1 - 2 e^(-2z) rounds to 1:
// tanh z is 1 without evaluating the exponentials.
constexpr double kTanhIsOne = 20.8;

// Complex helpers without the library's inf/NaN recovery paths, which
// dominate the kernel's cost; every operand here is finite.
[[gnu::always_inline]] inline Complex Div(Complex a, Complex b) {
  const double inv = 1.0 / (b.real() * b.real() + b.imag() * b.imag());
  return {(a.real() * b.real() + a.imag() * b.imag()) * inv, (a.imag() * b.real() - a.real() * b.imag()) * inv};
}

[[gnu::always_inline]] inline Complex Mul(Complex a, Complex b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// Principal square root.
[[gnu::always_inline]] inline Complex Sqrt(double re, double im) {
  const double m = std::sqrt(re * re + im * im);
  if (m == 0.0) return {0.0, 0.0};
  if (re >= 0.0) {
    const double x = std::sqrt(0.5 * (m + re));
    return {x, im / (2.0 * x)};
  }
  const double y = std::copysign(std::sqrt(0.5 * (m - re)), im);
  return {im / (2.0 * y), y};
}

[[gnu::always_inline]] inline void Tanh(Complex& result, Complex z) {
  // |z| compared through its square: the same regimes without a root.
  const double size2 = z.real() * z.real() + z.imag() * z.imag();
  if (size2 > 16.0) {
    // 1 - 2 e^(-2z), which is 1 once x is large enough.
    if (z.real() > kTanhIsOne) {
      result = {1.0, 0.0};
      return;
    }
    const double e = std::exp(-2.0 * z.real());
    const double s = std::sin(2.0 * z.imag()), c = std::cos(2.0 * z.imag());
    result = {1.0 - 2.0 * e * c, 2.0 * e * s};
  } else if (size2 < 0.01) {
    const Complex w = Mul(z, z);
    result = Mul(z, 1.0 - static_cast<double>(0.3333333f) * Mul(w, 1.0 - static_cast<double>(0.4f) *
                                                                   Mul(w, 1.0 - static_cast<double>(0.4047619f) * w)));
  } else {
    // (e^z - e^-z) / (e^z + e^-z) = (1 - w) / (1 + w) with w = e^(-2z)
    const double e = std::exp(-2.0 * z.real());
    const Complex w{e * std::cos(2.0 * z.imag()), -e * std::sin(2.0 * z.imag())};
    result = Div(1.0 - w, 1.0 + w);
  }
}

}  // namespace

FieldsRecord& FieldsState() { return gFields; }
void ResetFieldsState() { gFields = FieldsRecord{}; }

void RWFIELDS(float omega) {
  const ForwardCommonRecord& fc = ForwardCommon();
  FieldsRecord& f = gFields;
  if (f.FreqIndex < 1 || f.FreqIndex > kFrequencies) return;
  f.OmegaMu = omega * kMu0;
  const double sf = 1.0 / (2.0 * static_cast<double>(3.1415927f) * std::sqrt(static_cast<double>(omega)));
  const double a = -(static_cast<double>(f.OmegaMu) * fc.UnitMoment) / (12.566371f * static_cast<double>(fc.R));
  const size_t at = static_cast<size_t>(f.FreqIndex - 1);

  // One grid for all components of this frequency.
  bool newGrid = true;
  if (fc.IsHz) f.FreqKernel1[at] = static_cast<float>(a * HTRANS(newGrid, fc.R, 1) * fc.SinPhi * sf);
  if (fc.IsEx) f.FreqKernel2[at] = static_cast<float>(a * HTRANS(newGrid, fc.R, 2) * sf);
  if (fc.IsEy)
    f.FreqKernel3[at] = static_cast<float>(a * HTRANS(newGrid, fc.R, 3) * fc.SinPhi * fc.CosPhi * sf);
}

void UWFIELDS(float lambda) {
  const ForwardCommonRecord& fc = ForwardCommon();
  FieldsRecord& f = gFields;
  if (f.HankelIndex < 1 || f.HankelIndex > kHankelPoints) return;
  const bool electric = fc.IsEx || fc.IsEy;
  const double lam = lambda;
  const size_t i = static_cast<size_t>(f.HankelIndex - 1);

  ADMITT(lambda, f.AdmitY, f.AdmitZ, electric);
  // With Y = p + iq: Im((Y - lambda) / (Y + lambda)) = 2 q lambda / |Y + lambda|^2
  // and Im(1 / (Y + lambda)) = -q / |Y + lambda|^2, free of the cancellation
  // in Y - lambda.
  const double p = f.AdmitY.real() + lam, q = f.AdmitY.imag();
  const double invNorm = 1.0 / (p * p + q * q);
  const double imR = 2.0 * q * lam * invNorm;

  if (fc.IsHz) f.HankelT1[i] = static_cast<float>(-imR * lam);
  if (electric) {
    const double s1 = static_cast<double>(f.OmegaMu) / fc.RhoF[0];
    // Im((Z - lambda) / (i s1)) = (lambda - Re Z) / s1
    const double v = (lam - f.AdmitZ.real()) / s1 + q * invNorm;
    const double r = fc.R;
    if (fc.IsEx) {
      const double c = fc.CosPhi, s = fc.SinPhi;
      f.HankelT2[i] = static_cast<float>(imR - 2.0 * lam * c * c * v);
      f.HankelT3[i] = static_cast<float>((2.0 - 4.0 * s * s) * v / r);
    }
    if (fc.IsEy) {
      f.HankelT4[i] = static_cast<float>(-2.0 * lam * v);
      f.HankelT5[i] = static_cast<float>(4.0 * v / r);
    }
  }
}

void PrepareKernelLayers() {
  const ForwardCommonRecord& fc = ForwardCommon();
  const size_t nl = static_cast<size_t>(std::max(fc.KernelLayers, 0));
  gFields.InvRho.assign(nl, 0.0);
  gFields.RhoRatio.assign(nl, 0.0);
  gFields.LayerU.assign(nl, Complex{});
  for (size_t j = 0; j < nl; ++j) {
    gFields.InvRho[j] = 1.0 / fc.RhoF[j];
    if (j + 1 < nl) gFields.RhoRatio[j] = static_cast<double>(fc.RhoF[j]) / fc.RhoF[j + 1];
  }
}

void ADMITT(float lambda, Complex& Y, Complex& Z, bool electric) {
  const ForwardCommonRecord& fc = ForwardCommon();
  const double lam2 = static_cast<double>(lambda) * lambda;
  const double omegaMu = gFields.OmegaMu;
  const int32_t nl = fc.KernelLayers;
  const double* invRho = gFields.InvRho.data();
  const double* rhoRatio = gFields.RhoRatio.data();
  const float* thick = fc.ThickF.data();
  Complex* u = gFields.LayerU.data();

  // Top down to the first layer whose tanh is 1 to double precision: both
  // admittances there equal its wavenumber, (Y + u) / (1 + Y / u) = u,
  // whatever lies below, so the layers below it need not be evaluated.
  int32_t start = nl - 1;
  for (int32_t j = 0; j < nl - 1; ++j) {
    u[j] = Sqrt(lam2, omegaMu * invRho[j]);
    if (u[j].real() * static_cast<double>(thick[j]) > kTanhIsOne) {
      start = j;
      break;
    }
  }
  if (start == nl - 1) u[start] = Sqrt(lam2, omegaMu * invRho[start]);

  Y = u[start];
  if (electric) Z = u[start];
  for (int32_t j = start - 1; j >= 0; --j) {
    Complex t;
    Tanh(t, u[j] * static_cast<double>(thick[j]));
    // (Y + u T) / (1 + Y T / u), with u taken out of the denominator
    const Complex ut = Mul(u[j], t);
    Y = Mul(u[j], Div(Y + ut, u[j] + Mul(Y, t)));
    if (electric) {
      const double q = rhoRatio[j];
      Z = Mul(u[j], Div(Z + q * ut, q * u[j] + Mul(Z, t)));
    }
  }
}

void CTANH(Complex& result, Complex z) { Tanh(result, z); }
