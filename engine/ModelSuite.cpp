#include "engine/ModelSuite.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "VOZUVar/GraphFrame.h"
#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "app/SuiteServices.h"
#include "engine/CalcLotem.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"

namespace {

// Values above this are missing, as everywhere in the plots.
constexpr float kMissingAbove = 1.0e10f;

SuiteMemberHook gMemberHook = nullptr;

std::string I5(int32_t v) {
  std::string t(5, ' ');
  RecordWrite(std::span<char>(t), "(I5)", {v});
  return t;
}

int32_t CurvesPerMember(int32_t display) { return display < 4 ? 1 : (display == 4 ? 2 : 3); }

bool IsMissing(float v) { return std::isnan(v) || std::fabs(v) > kMissingAbove; }

// Depths to the bottoms of layers 1..NL-1 by running sums of the
// thicknesses, in place.
void ToDepthForm(Model1D& m) {
  if (m.DepthFlag) return;
  const int32_t p0 = m.NLayers * m.ValuesPerLayer;
  for (int32_t j = 2; j <= m.NLayers - 1; ++j) m.Value(p0 + j) = m.Value(p0 + j) + m.Value(p0 + j - 1);
  m.DepthFlag = true;
}

// Puts member value v into the model or the arrangement. The model of kind
// 3 is in depth form; kind 6 fades saved towards target.
void ApplyMemberValue(Model1D& m, SuiteSettingsRecord& s, int32_t kind, int32_t layer, float v, const Model1D& saved,
                      const Model1D& target) {
  const int32_t nl = m.NLayers;
  const int32_t p0 = nl * m.ValuesPerLayer;
  switch (kind) {
    case 1: m.Value(layer) = v; break;
    case 2: m.Value(p0 + layer) = v; break;
    case 3:
      if (layer < nl - 1) m.Value(p0 + layer + 1) = m.Value(p0 + layer + 1) - m.Value(p0 + layer) + v;
      m.Value(p0 + layer) = v;
      break;
    case 4: s.Offset = v; break;
    case 5: s.TxRxAngle = v; break;
    case kFadeInKind: {
      const int32_t np = std::min({saved.NParams, saved.Value.Size(), target.Value.Size(), m.Value.Size()});
      for (int32_t j = 1; j <= np; ++j) m.Value(j) = saved.Value(j) + (target.Value(j) - saved.Value(j)) * v / 100.0f;
      break;
    }
    default: break;
  }
}

bool Refuse(const std::string& why) {
  WINMSG(why);
  return false;
}

// Every check of the suite's inputs, each member's model and arrangement
// included, before anything is computed.
bool SuiteInputsFit(const SoundingRecord& base, const SoundingRecord& second) {
  SuiteSettingsRecord& s = SuiteSettings();
  const int32_t n = s.NSuite;
  const int32_t kind = s.ISuiteType;
  const int32_t layer = s.ILayer;
  const Model1D& m = base.Model;
  const int32_t nl = m.NLayers;
  if (n < 1 || n > kMaxSuiteMembers)
    return Refuse("Number of models must be 1 to " + std::to_string(kMaxSuiteMembers) + ": " + std::to_string(n));
  if (kind < 1 || kind > kFadeInKind) return Refuse("Parameter to vary must be 1 to 6: " + std::to_string(kind));
  std::string why;
  if (!ForwardInputsFit(base, why)) return Refuse(why);
  if (m.ValuesPerLayer != 1) return Refuse("The suite's model must have one value per layer: " + std::to_string(m.ValuesPerLayer));
  if (kind <= 3) {
    if (layer < 1) return Refuse("Layer to vary must be 1 or more: " + std::to_string(layer));
    if (kind == 1 && nl < layer)
      return Refuse("Resistivity of layer " + I5(layer) + " is varied. Must have at least " + I5(layer) + " layers");
    if (kind == 2 && nl <= layer)
      return Refuse("Thickness of layer " + I5(layer) + " is varied. Must have at least " + I5(layer + 1) + " layers");
    if (kind == 3 && nl <= layer)
      return Refuse("Depth to bottom of layer " + I5(layer) + " is varied. Must have at least " + I5(layer + 1) +
                    " layers");
  }
  if (kind == kFadeInKind && second.Model.NParams != m.NParams)
    return Refuse("First and Second models must have same number of layers");
  if (s.LDifference && !ForwardInputsFit(second, why)) return Refuse("Second model: " + why);
  if (n == 1) return true;

  // Each member as the loop will compute it, on copies.
  const float offset = s.Offset, angle = s.TxRxAngle;
  SoundingRecord work;
  Model1D saved = m;
  if (kind == 3) ToDepthForm(saved);
  bool fits = true;
  for (int32_t k = 1; k <= n && fits; ++k) {
    const float v = s.VParam[static_cast<size_t>(k - 1)];
    if (kind == 3) work.Model = saved;  // the loop moves boundaries from member to member
    else if (k == 1) work.Model = m;
    ApplyMemberValue(work.Model, s, kind, layer, v, m, second.Model);
    if (kind == 3) saved = work.Model;
    if (!ForwardInputsFit(work, why) || (s.LDifference && (kind == 4 || kind == 5) && !ForwardInputsFit(second, why))) {
      fits = Refuse("Model " + std::to_string(k) + " of the suite (value " + ShortestText(v) + "): " + why);
    }
  }
  s.Offset = offset;
  s.TxRxAngle = angle;
  return fits;
}

// The corner of the curve graph farthest from all first curves, and the
// start and step of the labels there.
void PlaceLabels(const SoundingRecord& base) {
  SuiteResultsRecord& r = SuiteResults();
  GraphFrame& f = CurveGraphFrame()[0];
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  FINDAS(f);
  const float w = static_cast<float>(f.XDivisions) * f.XDivLength;
  const float h = static_cast<float>(f.YDivisions) * f.YDivLength;
  float dist[4] = {1.0e20f, 1.0e20f, 1.0e20f, 1.0e20f};
  const RealArray& data = base.Arrays->DataMatrix;
  const int32_t nt = (data.Allocated && data.Dim2 >= 1) ? std::min(r.SuiteNT, data.Dim1) : 0;
  const int32_t n = r.Snapshot.NSuite;
  for (int32_t k = 1; k <= n; ++k) {
    for (int32_t i = 1; i <= nt; ++i) {
      const float t = data(i, 1), v = r.Curve(i, 1, k);
      if (IsMissing(t) || IsMissing(v)) continue;
      const float x = PLOFX(t, f), y = PLOFY(v, f);
      dist[0] = std::min(dist[0], std::sqrt(x * x + y * y));
      dist[1] = std::min(dist[1], std::sqrt(x * x + (y - h) * (y - h)));
      dist[2] = std::min(dist[2], std::sqrt((x - w) * (x - w) + (y - h) * (y - h)));
      dist[3] = std::min(dist[3], std::sqrt((x - w) * (x - w) + y * y));
    }
  }
  float best = 0.0f;
  int32_t corner = 0;
  for (int32_t c = 0; c < 4; ++c)
    if (dist[c] > best) {
      corner = c + 1;
      best = dist[c];
    }
  if (corner == 0) return;  // the previous placement stays

  r.LabelCorner = corner;
}

// The caption label's text: the parameter caption after "vary is ", with
// runs of blanks made single.
std::string CaptionLabelText() {
  std::string c = SuiteParameterCaption();
  const int32_t len = static_cast<int32_t>(c.size());
  const int32_t p = IFNDPT(c, len, "vary is", 7);
  if (p > 0) {
    SHFSTR(c, len, -(p + 7));
    while (IFNDPT(c, INDSTR(c, len), "  ", 2) > 0) RPL_PAT(c, INDSTR(c, len), "  ", 2, " ", 1);
  }
  c.resize(50, ' ');
  return c;
}

// Member value v as a label: as many decimals as it needs, trailing zeros
// and point removed.
std::string ValueLabelText(float v) {
  std::string t(50, ' ');
  int32_t ndec = JSIG(v) + 1;
  MAKNUM(v, t, 50, ndec);
  int32_t n = INDSTR(t, 50);
  NTRAIL(t, n, '0');
  NTRAIL(t, n, '.');
  return t;
}

// The members' curves as the page draws them on the curve graph.
std::vector<PlottedCurve> MemberCurves() {
  const SuiteResultsRecord& r = SuiteResults();
  const SuiteSnapshotRecord& p = r.Snapshot;
  const GraphFrame& f = CurveGraphFrame()[0];
  const int32_t nt = std::min(r.SuiteNT, static_cast<int32_t>(p.Times.size()));
  const int32_t nc = std::min(r.SuiteNC, CurvesPerMember(p.IDisplay));
  const int32_t members = std::min(p.Computed, p.NSuite);
  std::vector<PlottedCurve> out;
  if (nt < 2 || nc < 1 || members < 1 || r.SuiteCurves.size() < r.Index(1, 1, members + 1)) return out;
  out.reserve(static_cast<size_t>(members) * static_cast<size_t>(nc));
  for (int32_t k = 1; k <= members; ++k)
    for (int32_t c = 1; c <= nc; ++c) {
      PlottedCurve& curve = out.emplace_back();
      curve.x.reserve(static_cast<size_t>(nt));
      curve.y.reserve(static_cast<size_t>(nt));
      for (int32_t i = 1; i <= nt; ++i) {
        const float t = p.Times[static_cast<size_t>(i - 1)], v = r.Curve(i, c, k);
        const bool missing = IsMissing(t) || IsMissing(v);
        curve.x.push_back(missing ? NAN : PLOFX(t, f));
        curve.y.push_back(missing ? NAN : PLOFY(v, f));
      }
    }
  return out;
}

// The caption label and one label per member, placed in the corner that
// keeps them off the curves; one notice says how many could not be placed.
void MakeLabels() {
  SuiteResultsRecord& r = SuiteResults();
  const SuiteSettingsRecord& s = SuiteSettings();
  DisplaySettingsRecord& d = DisplaySettings();
  const int32_t n = std::clamp(r.Snapshot.NSuite, 0, static_cast<int32_t>(s.VParam.size()));
  std::vector<SuiteLabel> labels;
  labels.reserve(static_cast<size_t>(n) + 1);
  labels.push_back({CaptionLabelText(), d.LabelDefaultColour, 0});
  int32_t colour = d.KCALC[0];
  for (int32_t j = 1; j <= n; ++j) {
    labels.push_back({ValueLabelText(s.VParam[static_cast<size_t>(j - 1)]), colour, j});
    colour = NextMemberColour(colour);
  }
  const int32_t leftOut =
      PlaceSuiteLabels(labels, r.LabelCorner, CurveGraphFrame()[0], MemberCurves(), &r.LabelCorner);
  d.LLABELS = true;
  if (leftOut > 0)
    WINMSG("Too many labels: " + std::to_string(leftOut) + " of the " + std::to_string(n + 1) +
           " labels of this suite do not fit on the graph and are not drawn.");
}

// The definition the results were computed with.
void TakeSnapshot(const SoundingRecord& base, const SoundingRecord& second, int32_t computed) {
  SuiteResultsRecord& r = SuiteResults();
  const SuiteSettingsRecord& s = SuiteSettings();
  SuiteSnapshotRecord& p = r.Snapshot;
  p.Valid = true;
  p.NSuite = s.NSuite;
  p.NC = r.SuiteNC;
  p.NT = r.SuiteNT;
  p.Computed = computed;
  p.IDisplay = s.IDisplay;
  p.IComponent = s.IComponent;
  p.ISuiteType = s.ISuiteType;
  p.ILayer = s.ILayer;
  p.IAbscissa = s.IAbscissa;
  p.LDifference = s.LDifference;
  p.LPercent = s.LPercent;
  p.TxLength = s.TxLength;
  p.TxAmps = s.TxAmps;
  p.RxLength = s.RxLength;
  p.RxArea = s.RxArea;
  p.Offset = s.Offset;
  p.TxRxAngle = s.TxRxAngle;
  p.VNoise = s.VNoise;
  p.VParam.assign(s.VParam.begin(), s.VParam.begin() + s.NSuite);
  p.Times.assign(static_cast<size_t>(r.SuiteNT), kSuiteMissing);
  const RealArray& data = base.Arrays->DataMatrix;
  if (data.Allocated && data.Dim2 >= 1)
    for (int32_t i = 1; i <= std::min(r.SuiteNT, data.Dim1); ++i) p.Times[static_cast<size_t>(i - 1)] = data(i, 1);
  GETMODEL1D(base, p.BaseModel);
  GETMODEL1D(second, p.SecondModel);
}

// Member k's curves (differences applied) into SuiteCurves; a member the
// forward computation refused keeps the missing value.
void StoreMember(int32_t k, const SoundingRecord& base) {
  SuiteResultsRecord& r = SuiteResults();
  if (!base.Computed) return;
  const RealArray& syn = base.Synthetics;
  for (int32_t c = 1; c <= r.SuiteNC; ++c)
    for (int32_t i = 1; i <= r.SuiteNT; ++i)
      r.Curve(i, c, k) = (syn.Allocated && i <= syn.Dim1 && c <= syn.Dim2) ? syn(i, c) : kSuiteMissing;
}

// The second model's response taken from the member's, over the rows and
// columns both records hold; a difference against a missing value, or a
// percentage of 0, is missing.
void SubtractSecond(SoundingRecord& base, const SoundingRecord& second, bool percent) {
  if (!base.Computed || !second.Computed || !base.Synthetics.Allocated || !second.Synthetics.Allocated) return;
  RealArray& b = base.Synthetics;
  const RealArray& d = second.Synthetics;
  const int32_t cols = std::min({base.Data.NCurves, b.Dim2, d.Dim2});
  const int32_t rows = std::min({SuiteResults().SuiteNT, b.Dim1, d.Dim1});
  for (int32_t c = 1; c <= cols; ++c)
    for (int32_t i = 1; i <= rows; ++i) b(i, c) = SuiteDifference(b(i, c), d(i, c), percent);
}

}  // namespace

std::string& SuiteParameterCaption() {
  static std::string caption(256, ' ');
  return caption;
}

void ComposeParameterCaption() {
  static constexpr const char* kNames[] = {"Resistivity of layer", "Thickness of layer", "Depth to bottom of layer",
                                           "Source-Receiver Offset", "Tx-Rx Angle", "Fade-in of Second Model (%)"};
  const SuiteSettingsRecord& s = SuiteSettings();
  std::string& c = SuiteParameterCaption();
  const int32_t kind = std::clamp(s.ISuiteType, 1, kFadeInKind);
  const std::string_view name = kNames[kind - 1];
  if (kind <= 3) RecordWrite(std::span<char>(c), "('Parameter to vary is ',A,I)", {name, s.ILayer});
  else RecordWrite(std::span<char>(c), "('Parameter to vary is ',A)", {name});
}

void SetSuiteMemberHook(SuiteMemberHook hook) { gMemberHook = hook; }

float SuiteDifference(float member, float second, bool percent) {
  if (IsMissing(member) || IsMissing(second) || (percent && second == 0.0f)) return kSuiteMissing;
  return percent ? (member - second) * 100.0f / second : member - second;
}

int32_t ComputeSuite(const SuiteProgressHooks& hooks) {
  SuiteSettingsRecord& s = SuiteSettings();
  SuiteResultsRecord& r = SuiteResults();
  SoundingRecord& base = SuiteBaseModel().Primary;
  SoundingRecord& second = SuiteSecondModel().Primary;
  if (!SuiteInputsFit(base, second)) return kSuiteRefused;

  const int32_t n = s.NSuite;
  const int32_t kind = s.ISuiteType;
  const int32_t layer = s.ILayer;
  const int32_t nc = CurvesPerMember(s.IDisplay);
  base.Data.NCurves = nc;
  r.SuiteNC = nc;

  const int32_t p0 = base.Model.NLayers * base.Model.ValuesPerLayer;
  switch (kind) {
    case 1: r.SavedValue = base.Model.Value(layer); break;
    case 2: r.SavedValue = base.Model.Value(p0 + layer); break;
    case 4: r.SavedValue = s.Offset; break;
    case 5: r.SavedValue = s.TxRxAngle; break;
    default: GETMODEL1D(base, r.SavedModel); break;
  }
  int32_t nlo = 0, nhi = 0;
  r.SuiteNT = NTIMES(s.AbStart, s.AbEnd, nlo, nhi);

  // The previous run's results go first; a run that cannot make its arrays
  // leaves none.
  r.Snapshot = SuiteSnapshotRecord{};
  r.SuiteCurves.clear();
  r.SuiteCurves.shrink_to_fit();
  r.NoiseCurve.clear();
  r.NoiseCurve.shrink_to_fit();
  try {
    r.SuiteCurves.assign(static_cast<size_t>(r.SuiteNT) * static_cast<size_t>(nc) * static_cast<size_t>(n),
                         kSuiteMissing);
    r.NoiseCurve.assign(static_cast<size_t>(r.SuiteNT), 0.0f);
  } catch (const std::bad_alloc&) {
    r.SuiteCurves.clear();
    r.NoiseCurve.clear();
    WINMSG("Error allocating array in Model Suite");
    return kSuiteNoMemory;
  }
  if (hooks.Begin) hooks.Begin(n);

  r.SuiteYMin = r.ModelDepthMin = r.ModelElevMin = kSuiteMissing;
  r.SuiteYMax = r.ModelDepthMax = r.ModelElevMax = -kSuiteMissing;
  r.ModelRhoMin.fill(kSuiteMissing);
  r.ModelRhoMax.fill(-kSuiteMissing);

  if (kind == 3) {
    GETMODEL1D(base, r.SavedModel);
    ToDepthForm(base.Model);
  } else if (kind == kFadeInKind) {
    GETMODEL1D(base, r.SavedModel);
  }
  r.NoiseOn = s.VNoise > 0.0f && kind != 4 && (s.IComponent == 1 || s.IComponent == 3);
  if (r.NoiseOn) {
    r.NoiseCurve.assign(r.NoiseCurve.size(), s.VNoise);
    GETNX(r.NoiseCurve, r.SuiteNT, r.SuiteYMin, r.SuiteYMax);
  }
  if (s.LDifference) {
    // Sized like the base record before curves are written into it.
    second.Data.NCurves = nc;
    second.Data.NPoints = 1;
    second.Computed = false;
    CALCLOTEM(second);
  }
  const bool extra = s.IComponent == 1;
  base.Data.ExtraCurves = second.Data.ExtraCurves = SuiteSpareCopy().Primary.Data.ExtraCurves = extra;
  base.Data.NPoints = 1;

  bool cancelled = false;
  int32_t computed = 0;
  for (int32_t k = 1; k <= n; ++k) {
    const float v = s.VParam[static_cast<size_t>(k - 1)];
    if (hooks.MemberStart) hooks.MemberStart(k);
    base.Computed = false;
    if (n != 1) ApplyMemberValue(base.Model, s, kind, layer, v, r.SavedModel, second.Model);
    CALCLOTEM(base);
    if (s.LDifference && (kind == 4 || kind == 5)) {
      second.Computed = false;
      CALCLOTEM(second);
    }
    if (s.LDifference && n > 1) SubtractSecond(base, second, s.LPercent);
    StoreMember(k, base);
    SCALE_Y_MINMAX(base, r.SuiteYMin, r.SuiteYMax, 1, nc, 1, s.LogData, 0);
    SCALE_MDL_MINMAX(base, false, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax, r.ModelElevMin,
                     r.ModelElevMax);
    computed = k;
    if (gMemberHook) gMemberHook(k);
    if (hooks.MemberDone && hooks.MemberDone(k)) {
      cancelled = true;
      break;
    }
    base.Computed = false;
  }
  if (hooks.End) hooks.End();

  GraphFrame& model = ModelGraphFrame()[0];
  SCALEMODELS(model, base, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
  if (s.LDifference) SCALEMODELS(model, second, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
  if (!(r.ModelDepthMax > r.ModelDepthMin)) {
    r.ModelDepthMin = 100.0f;
    r.ModelDepthMax = 1000.0f;
  }
  MODINCH(model, 1);
  GraphFrame& curves = CurveGraphFrame()[0];
  SCALE_X(curves, base, base);
  for (int32_t j = 1; j <= std::max(1, base.Data.NCurveSets); ++j) SCALESUITEY(j);
  if (s.IDisplay == 4 || s.IDisplay == 6) curves.YExponentOrMinor += 1;

  TakeSnapshot(base, second, computed);
  LabelStore().LabelCount = 0;
  PlaceLabels(base);
  if (base.Model.ModelCountA > 0) {
    r.ModelRhoMin[0] = std::min(r.ModelRhoMin[0], r.ModelRhoMin[1]);
    r.ModelRhoMax[0] = std::max(r.ModelRhoMax[0], r.ModelRhoMax[1]);
  }
  switch (kind) {
    case 1: base.Model.Value(layer) = r.SavedValue; break;
    case 2: base.Model.Value(p0 + layer) = r.SavedValue; break;
    case 4: s.Offset = r.SavedValue; break;
    case 5: s.TxRxAngle = r.SavedValue; break;
    default: PUTMODEL1D(base, r.SavedModel); break;
  }
  GETMODEL1D(base, r.Snapshot.BaseModel);
  MakeLabels();
  return cancelled ? kSuiteCancelled : kSuiteComputed;
}
