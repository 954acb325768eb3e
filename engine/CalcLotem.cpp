#include "engine/CalcLotem.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "engine/AllTime.h"
#include "engine/FIELDS.h"
#include "engine/ForwardCommon.h"
#include "engine/HalfSpace.h"
#include "engine/SuiteSettings.h"
#include "engine/TRANSFOR.h"

namespace {

constexpr float kMissing = 1.0e20f;
// Times are kept where a 32-bit real holds the frequency grid around them.
constexpr float kEarliestTime = 1.0e-30f;
constexpr float kLatestTime = 1.0e30f;

std::string Num(double v) { return ShortestText(static_cast<float>(v)); }

int32_t LowDecade(float first) {
  return TruncSaturated(std::log10(std::fabs(first) * 1.001f)) - 1;
}
int32_t HighDecade(float last) {
  return TruncSaturated(std::log10(std::fabs(last) * 0.999f)) + 1;
}

}  // namespace

bool ForwardInputsFit(const SoundingRecord& record, std::string& why) {
  const Model1D& m = record.Model;
  const SuiteSettingsRecord& s = SuiteSettings();
  const int32_t nl = m.NLayers;
  const int32_t vpl = m.ValuesPerLayer;
  const RealArray& p = m.Value;

  if (nl < 1) {
    why = "Model has no layers";
    return false;
  }
  // The boundaries follow the per-layer values: without any the depth
  // check would index before the vector.
  if (vpl < 1) {
    why = "Model must have at least 1 value per layer: " + std::to_string(vpl);
    return false;
  }
  const int64_t needed = std::max<int64_t>(2LL * nl - 1, static_cast<int64_t>(vpl) * nl + nl - 1);
  if (!p.Allocated || p.Size() < needed) {
    why = "Model has " + std::to_string(p.Size()) + " parameter values; " + std::to_string(nl) +
          " layers need " + std::to_string(needed);
    return false;
  }
  if (m.DepthFlag && nl > 2) {
    const int32_t base = vpl * nl;
    for (int32_t k = 1; k <= nl - 2; ++k)
      if (!(p(base + k) <= p(base + k + 1))) {  // a layer of thickness 0 is a model like any other
        why = "Model specified as depth has negative thicknesses";
        return false;
      }
  }
  for (int32_t k = 1; k <= nl; ++k)
    if (!(p(k) > 0.0f) || !std::isfinite(p(k))) {
      why = "Resistivity must be greater than 0: layer " + std::to_string(k) + " has " + Num(p(k)) + " ohm-m";
      return false;
    }
  for (int32_t k = 1; k <= nl - 1; ++k) {
    const float h = (m.DepthFlag && k > 1) ? p(nl + k) - p(nl + k - 1) : p(nl + k);
    if (!(h >= 0.0f) || !std::isfinite(h)) {
      why = "Thickness must not be negative: layer " + std::to_string(k) + " has " + Num(h) + " m";
      return false;
    }
  }
  if (!(s.Offset > 0.0f) || !std::isfinite(s.Offset)) {
    why = "Offset must be greater than 0: " + Num(s.Offset) + " m";
    return false;
  }
  if (!TimeRangeFits(s.AbStart, s.AbEnd, why)) return false;
  if (s.IComponent < 1 || s.IComponent > 3) {
    why = "Field component must be 1 (Ex), 2 (Ey) or 3 (Hz): " + std::to_string(s.IComponent);
    return false;
  }
  if (s.IDisplay < 1 || s.IDisplay > 6) {
    why = "Data display must be 1 to 6: " + std::to_string(s.IDisplay);
    return false;
  }
  if (s.IComponent == 3 && s.IDisplay == 3) {
    why = "The electric field display needs the component Ex or Ey";
    return false;
  }
  if (std::isnan(s.TxRxAngle)) {
    why = "Angle must be a number";
    return false;
  }
  if (AngleSineDividesByZero(s.TxRxAngle, s.IComponent, s.IDisplay, nl)) {
    why = "Hz needs an angle whose sine is not 0: " + Num(s.TxRxAngle) + " degrees";
    return false;
  }
  return true;
}

bool AngleSineDividesByZero(float angleDegrees, int32_t component, int32_t display, int32_t layers) {
  if (component != 3) return false;
  float cosPhi = 0.0f, sinPhi = 0.0f;
  KernelCosSin(angleDegrees / 57.29578f, cosPhi, sinPhi);
  return sinPhi == 0.0f && (display != 1 || layers == 1);
}

bool TimeRangeFits(float first, float last, std::string& why) {
  if (!(first > 0.0f) || !std::isfinite(first)) {
    why = "Time range: the first time must be greater than 0: " + Num(first) + " s";
    return false;
  }
  if (!(last > first) || !std::isfinite(last)) {
    why = "Time range: the last time must be greater than the first: " + Num(first) + " s to " + Num(last) + " s";
    return false;
  }
  if (first < kEarliestTime || last > kLatestTime) {
    why = "Time range: times must lie between 1e-30 s and 1e+30 s: " + Num(first) + " s to " + Num(last) + " s";
    return false;
  }
  const int32_t decades = HighDecade(last) - LowDecade(first);
  if (decades > kMaxDecades) {
    why = "Time range too wide: " + Num(first) + " s to " + Num(last) + " s spans " + std::to_string(decades) +
          " decades; at most " + std::to_string(kMaxDecades) + " fit";
    return false;
  }
  return true;
}

int32_t NTIMES(float first, float last, int32_t& nlo, int32_t& nhi) {
  nlo = LowDecade(first);
  nhi = HighDecade(last);
  return SaturateToInt32(10LL * (static_cast<int64_t>(nhi) - nlo) + 2);
}

bool CURVE(float first, float last) {
  ForwardCommonRecord& fc = ForwardCommon();
  std::string why;
  if (!TimeRangeFits(first, last, why)) return false;

  fc.IsEx = fc.ComponentF == 1;
  fc.IsEy = fc.ComponentF == 2;
  fc.IsHz = fc.ComponentF == 3;
  fc.HankelTol = 0.001f;
  fc.TimeTol = 0.001f;
  fc.R = fc.OffsetF;
  fc.R2 = fc.R * fc.R;
  fc.R3 = fc.R2 * fc.R;
  fc.SourceLengthF = 1.0f;
  fc.UnitMoment = 1.0f;
  KernelCosSin(fc.AngleRad, fc.CosPhi, fc.SinPhi);
  fc.KernelLayers = fc.NLayersF;
  PrepareKernelLayers();

  const int32_t nlo = LowDecade(first);
  const int32_t nt = SaturateToInt32(10LL * (static_cast<int64_t>(TruncSaturated(std::log10(std::fabs(last) * 0.999f))) - nlo) + 12);
  const float t0 = static_cast<float>(std::pow(10.0, nlo));

  if (fc.IsHz && fc.NLayersF == 1) {
    if (!CALC_HALF(t0, nt, fc.Times, fc.Response, fc.RhoF[0], fc.R, fc.AngleRad * 180.0f / ForwardCommonRecord::PiF))
      return false;
    fc.NTimes = nt;
    return true;
  }

  fc.NTimes = nt;
  if (fc.IsHz) {
    // The time filter of the sine transform ends at omega t = 10^-3.9; once
    // the induction number of the most resistive layer is below 0.25 the field
    // has parts below it, and the cosine transform takes over.
    const double rhoMax = *std::max_element(fc.RhoF.begin(), fc.RhoF.end());
    const double switchTime = 4.0e-7 * std::numbers::pi * static_cast<double>(fc.R) * fc.R / (4.0 * rhoMax * 0.25 * 0.25);
    int32_t early = 0;
    for (int32_t i = 0; i < nt; ++i) {
      const float t = static_cast<float>(std::pow(static_cast<double>(1.2589254f), i) * t0);
      fc.Times[static_cast<size_t>(i)] = t;
      if (t < switchTime) early = i + 1;
    }
    if (early > 0) FTRANS(true, t0, early, fc.Times, fc.Response, 1);
    // At induction numbers of the top layer above 100 the fields of the
    // early times lie beyond the wavenumber grid (|k| r above 10^4): no
    // value can be backed there.
    const double missingBefore = 4.0e-7 * std::numbers::pi * static_cast<double>(fc.R) * fc.R / (4.0 * fc.RhoF[0] * 100.0 * 100.0);
    for (int32_t i = 0; i < early; ++i)
      if (fc.Times[static_cast<size_t>(i)] < missingBefore) fc.Response[static_cast<size_t>(i)] = kMissing;
    HzCosineTransform(t0, early + 1, nt, fc.Times, fc.Response);
  } else {
    FTRANS(true, t0, nt, fc.Times, fc.Response, fc.IsEx ? 2 : 3);
  }

  if (fc.IsEx || fc.IsEy) {
    const double rho1 = fc.RhoF[0];
    const double s = fc.SinPhi, c = fc.CosPhi;
    const double d = fc.IsEx ? fc.UnitMoment * rho1 * (2.0 - 3.0 * s * s) / (2.0 * ForwardCommonRecord::PiF * fc.R3)
                             : fc.UnitMoment * rho1 * 3.0 * c * s / (2.0 * ForwardCommonRecord::PiF * fc.R3);
    for (int32_t i = 0; i < nt; ++i)
      fc.Response[static_cast<size_t>(i)] = static_cast<float>(std::fabs(d + fc.Response[static_cast<size_t>(i)]));
  }
  return true;
}

void CALCLOTEM(SoundingRecord& record) {
  const int32_t ntRec = record.Data.NPoints;
  if (ntRec < 1) return;

  // Every input is checked before anything is computed or stored: a refusal
  // leaves the forward state and the record exactly as they were.
  std::string why;
  if (!ForwardInputsFit(record, why)) {
    WINMSG(why);
    return;
  }

  RealArray& syn = record.Synthetics;
  record.MeasureA = 1.0e10f;
  record.MeasureB = 1.0e10f;
  if (syn.Allocated && syn.Dim2 >= 1)
    for (int32_t i = 1; i <= std::min(ntRec, syn.Dim1); ++i) syn(i, 1) = kMissing;

  ForwardCommonRecord& fc = ForwardCommon();
  const SuiteSettingsRecord& s = SuiteSettings();
  const Model1D& m = record.Model;
  const int32_t nl = m.NLayers;
  const RealArray& p = m.Value;

  fc.RhoF.assign(static_cast<size_t>(nl), 0.0f);
  fc.ThickF.assign(static_cast<size_t>(nl), 0.0f);
  fc.ParamsF.assign(2 * static_cast<size_t>(nl), 0.0f);
  for (int32_t k = 1; k <= nl; ++k) fc.RhoF[static_cast<size_t>(k - 1)] = p(k);
  for (int32_t k = 1; k <= 2 * nl - 1; ++k) fc.ParamsF[static_cast<size_t>(k - 1)] = p(k);
  for (int32_t k = 1; k <= nl - 1; ++k)
    fc.ThickF[static_cast<size_t>(k - 1)] = (m.DepthFlag && k > 1) ? p(nl + k) - p(nl + k - 1) : p(nl + k);
  fc.NLayersF = nl;

  fc.AngleRad = s.TxRxAngle / 57.29578f;
  const float sinA = std::sin(fc.AngleRad);
  fc.ScaleCopy = record.Data.ScaleA;
  fc.ReceiverAreaF = s.RxArea;
  fc.SourceLengthF = s.TxLength;
  fc.AbStartF = s.AbStart;
  fc.AbEndF = s.AbEnd;
  fc.OffsetF = s.Offset;
  fc.ComponentF = s.IComponent;
  const bool computed = CURVE(fc.AbStartF, fc.AbEndF);
  auto releaseWork = [&fc] {
    fc.RhoF.clear();
    fc.ThickF.clear();
    fc.ParamsF.clear();
  };
  if (!computed) {
    releaseWork();
    record.Computed = false;
    return;
  }

  const int32_t nt = fc.NTimes;
  RealArray& data = record.Arrays->DataMatrix;
  if (ntRec <= 1) {
    syn.Release();
    data.Release();
    syn.Create(nt, record.Data.NCurves);
    data.Create(nt, 1);
    record.Data.NPoints = nt;
  } else if (ntRec < nt) {
    WINMSG("Increase in number of points in suite curve:");
  } else if (ntRec > nt) {
    for (int32_t i = nt + 1; i <= ntRec; ++i) {
      if (syn.Allocated && syn.Dim2 >= 1 && i <= syn.Dim1) syn(i, 1) = kMissing;
      if (data.Allocated && data.Dim2 >= 1 && i <= data.Dim1) data(i, 1) = kMissing;
    }
  }
  // Results go only into the rows and columns the record holds.
  const int32_t rows = syn.Allocated ? std::min(nt, syn.Dim1) : 0;
  const int32_t cols = syn.Allocated ? syn.Dim2 : 0;

  const bool hz = s.IComponent == 3;
  const double r = fc.OffsetF;
  double momentScale;
  if (!hz)
    momentScale = static_cast<double>(s.TxLength) * 1.0e9 * s.TxAmps * (s.IDisplay == 3 ? 1.0 : s.RxLength);
  else if (s.IDisplay == 1)
    momentScale = static_cast<double>(s.TxLength) * 1.65e9 * s.TxAmps * s.RxArea;
  else
    momentScale = r * r * r * r * ForwardCommonRecord::TwoPiF / 3.0 / sinA;
  const float scale = static_cast<float>(momentScale);

  if (hz && (s.IDisplay == 4 || s.IDisplay == 5 || s.IDisplay == 6) && cols >= 2) {
    const double r5 = r * r * r * r * r;
    for (int32_t i = 1; i <= rows; ++i) {
      const double a = std::fabs(static_cast<double>(scale) * fc.Response[static_cast<size_t>(i - 1)]);
      const double t = fc.Times[static_cast<size_t>(i - 1)];
      syn(i, 2) = static_cast<float>(6.5192075e-12 * std::pow(r5 / (std::pow(t, 2.5) * a), 0.6666667));
    }
  }
  if (cols >= 1)
    for (int32_t i = 1; i <= rows; ++i) syn(i, 1) = fc.Response[static_cast<size_t>(i - 1)] * scale;

  const int32_t dataRows = (data.Allocated && data.Dim2 >= 1) ? std::min(nt, data.Dim1) : 0;
  const bool normalised = s.IAbscissa == 2 && nl >= 2;
  for (int32_t i = 1; i <= dataRows; ++i) {
    const float t = fc.Times[static_cast<size_t>(i - 1)];
    data(i, 1) = normalised ? 500.0f * std::sqrt(fc.RhoF[0] * t) / fc.ThickF[0] : t;
  }

  if (s.IDisplay == 5 || s.IDisplay == 6) {
    ALLTIME();
    for (int32_t i = 1; i <= rows; ++i) {
      const float rho = fc.AllTimeRho[static_cast<size_t>(i - 1)];
      if (cols >= 3) syn(i, 3) = rho;
      if (s.IDisplay == 5 && cols >= 1) syn(i, 1) = rho;
    }
    if (s.IDisplay == 5) record.Data.NCurves = 1;
  }

  releaseWork();
  record.Computed = true;
}
