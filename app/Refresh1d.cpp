#include "app/Refresh1d.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/Strings.h"
#include "app/DisplaySettings.h"
#include "app/DrawGrid.h"
#include "app/DrawLabel.h"
#include "app/plotModel.h"
#include "app/plotRho.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/StrokeFont.h"

namespace {

int32_t MinorColour(bool on) { return on ? 13 : 0; }

// Entry j (1-based) of a model's parameter vector, when it has one.
float* Param(Model1D& m, int32_t j) {
  if (!m.Value.Allocated || j < 1 || j > m.Value.Size()) return nullptr;
  return &m.Value(j);
}

// Thicknesses into depths to the layers' bottoms, in place.
void ToDepths(Model1D& m) {
  if (m.DepthFlag) return;
  const int32_t p0 = m.NLayers * std::max(m.ValuesPerLayer, 1);
  for (int32_t j = 1; j <= m.NLayers - 2; ++j) {
    float* next = Param(m, p0 + j + 1);
    const float* here = Param(m, p0 + j);
    if (next && here) *next += *here;
  }
  m.DepthFlag = true;
}

// Member k's value of the varied parameter into the model being drawn.
void PutMemberValue(Model1D& m, const SuiteSnapshotRecord& s, float v) {
  const int32_t p0 = m.NLayers * std::max(m.ValuesPerLayer, 1);
  const int32_t layer = s.ILayer;
  switch (s.ISuiteType) {
    case 1:
      if (layer <= m.NLayers)
        if (float* p = Param(m, layer)) *p = v;
      break;
    case 2:
      if (layer < m.NLayers)
        if (float* p = Param(m, p0 + layer)) *p = v;
      break;
    case 3:
      if (layer < m.NLayers) {
        float* d = Param(m, p0 + layer);
        if (!d) break;
        const float old = *d;
        *d = v;
        // The boundary below keeps the thickness of the layer beneath.
        if (layer < m.NLayers - 1)
          if (float* below = Param(m, p0 + layer + 1)) *below = v + (*below - old);
      }
      break;
    case 6: {
      const Model1D& base = s.BaseModel;
      const Model1D& second = s.SecondModel;
      const int32_t n = std::min({base.NParams, base.Value.Size(), second.Value.Size(), m.Value.Size()});
      for (int32_t j = 1; j <= n; ++j) m.Value(j) = base.Value(j) + (second.Value(j) - base.Value(j)) * v / 100.0f;
      break;
    }
    default:
      break;  // offset and angle leave the model as it is
  }
}

// Both graphs' frames, numbers and captions (drawn from `record` without
// its curves or model), then their grid lines under the switches.
void DrawFramesAndGrids(SoundingRecord& record, SoundingRecord& partner, std::array<GraphFrame, 2>& curves,
                        std::array<GraphFrame, 2>& models, int32_t curvePanels, int32_t modelPanels) {
  const DisplaySettingsRecord& d = DisplaySettings();
  const bool computed = record.Computed;
  record.Computed = false;
  PLOT_RHO(curves[0], record, partner);
  record.Computed = computed;
  PLTMDL(record, partner, models[0], false, false, false, false);
  const int32_t curveMinor = MinorColour(d.LGRIDND), modelMinor = MinorColour(d.LGRIDNM);
  DRAWGRID(curves, d.LGRIDJD, curveMinor, curveMinor, false, curvePanels);
  DRAWGRID(models, d.LGRIDJM, modelMinor, modelMinor, false, modelPanels);
}

}  // namespace

void REFRESHSUITE(SoundingRecord& record, SoundingRecord& partner) {
  DisplaySettingsRecord& d = DisplaySettings();
  AxisCaptionTableRecord& c = AxisCaptionTable();
  const SuiteResultsRecord& r = SuiteResults();
  const SuiteSnapshotRecord& s = r.Snapshot;
  std::array<GraphFrame, 2>& curves = CurveGraphFrame();
  std::array<GraphFrame, 2>& models = ModelGraphFrame();
  SoundingRecord& base = SuiteBaseModel().Primary;
  SoundingRecord& second = SuiteSecondModel().Primary;

  WindowFillArea();
  if (d.LPRINTING) PLOTXY(0.0f, 1.0f, 1, curves[0]);
  else PLOTXY(1.0f, 0.0f, 1, curves[0]);
  const std::string savedCaption = c.CRVOLT;
  // The suite as it was computed; without results nothing is drawn.
  const int32_t members = s.Valid ? std::min(s.NSuite, static_cast<int32_t>(s.VParam.size())) : 0;
  d.LVOLTPLOT = s.Valid && s.IComponent == 1;
  if (s.Valid && s.LPercent && s.LDifference && s.ISuiteType != 0 && members > 1) c.CRVOLT = c.CLPCTD;
  const int32_t savedKBEST = d.KBEST, savedKCALC = d.KCALC[0];

  if (record.Data.NCurveSets <= 0 || record.Data.NPoints < 2) {
    c.CRVOLT = savedCaption;
    return;
  }
  // Frames and captions first, then the grid lines, then the data: lines
  // of the grid never cover a curve or a staircase.
  SoundingRecord& framed = SuiteSettings().LDataDisplay ? record : base;
  SoundingRecord& framedPartner = &framed == &record ? partner : SuiteBaseModel().Partner;
  if (SuiteSettings().LDataDisplay || members >= 1)
    DrawFramesAndGrids(framed, framedPartner, curves, models, record.Data.NCurveSets, record.Model.ValuesPerLayer);
  if (SuiteSettings().LDataDisplay) {
    PLOTRHOCURVES(curves[0], record, partner, true);
    PLOTMODELSECTIONS(record, partner, models[0], true, false, false, false);
  }

  // The members are drawn with the model they were computed from; the base
  // record's own model comes back afterwards.
  const Model1D current = base.Model;
  if (s.Valid) {
    base.Model = s.BaseModel;
    if (s.ISuiteType == 3) ToDepths(base.Model);
  }
  for (int32_t k = 1; k <= members; ++k) {
    CopySuiteMember(k, base);
    d.KBEST = d.KCALC[0];
    base.Computed = true;
    if (members != 1) PutMemberValue(base.Model, s, s.VParam[static_cast<size_t>(k - 1)]);
    PLOTRHOCURVES(curves[0], base, SuiteBaseModel().Partner, true);
    if (k == 1 && r.NoiseOn) {
      int32_t n = std::min({r.SuiteNT, static_cast<int32_t>(r.NoiseCurve.size()), base.Data.NPoints});
      const RealArray& times = base.Arrays->DataMatrix;
      if (times.Allocated && times.Dim2 >= 1) {
        n = std::min(n, times.Dim1);
        GNPLOT(std::span<const float>(times.Data.data(), static_cast<size_t>(std::max(n, 0))), r.NoiseCurve, n,
               false, curves[0]);
      }
    }
    if (k == 1 || s.ISuiteType <= 3 || s.ISuiteType == 6)
      PLOTMODELSECTIONS(base, SuiteBaseModel().Partner, models[0], true, false, false, false);
    if (k == 1 && s.LDifference) PLOTMODELSECTIONS(second, partner, models[0], true, false, false, false);
    d.KCALC[0] = NextMemberColour(d.KCALC[0]);
  }
  base.Model = current;
  if (s.Valid && s.LDifference && (s.ISuiteType <= 0 || members <= 1))
    PLOTRHOCURVES(curves[0], second, partner, true);
  if (d.LLABELS) {
    GraphFrame scratch;
    PLOTXY(curves[0].OriginX, curves[0].OriginY, -3, scratch);
    DRAWLABELS(d.LabelPageOwner, curves[0]);
  }
  d.KBEST = savedKBEST;
  d.KCALC[0] = savedKCALC;
  c.CRVOLT = savedCaption;
}

void REFRESH1D(SoundingRecord& record, SoundingRecord& partner, std::array<GraphFrame, 2>& curveFrame,
               std::array<GraphFrame, 2>& modelFrame, int32_t /*extra*/) {
  const DisplaySettingsRecord& d = DisplaySettings();
  WGrTextFont(d.IFont, d.IStyle, d.FWidth, d.FHeight, std::nullopt, 2);
  const int32_t curveMinor = MinorColour(d.LGRIDND), modelMinor = MinorColour(d.LGRIDNM);
  YYWINSELFWD(0);
  WindowFillArea();
  // The grid lines go beneath the curves and the model.
  const bool computed = record.Computed;
  record.Computed = false;
  PLOT_RHO(curveFrame[0], record, partner);
  record.Computed = computed;
  PLOTXY(0.0f, 0.0f, 3, curveFrame[0]);
  DRAWGRID(curveFrame, d.LGRIDJD, curveMinor, curveMinor, false, record.Data.NCurveSets);
  if (d.LMODONDAT) {
    PLOTRHOCURVES(curveFrame[0], record, partner, true);
    PLTMDL(record, partner, curveFrame[0], d.LAYERED, false, d.LSMOOTH, false);
  } else {
    PLTMDL(record, partner, modelFrame[0], false, false, false, false);
    DRAWGRID(modelFrame, d.LGRIDJM, modelMinor, modelMinor, false, record.Model.ValuesPerLayer);
    PLOTRHOCURVES(curveFrame[0], record, partner, true);
    PLOTMODELSECTIONS(record, partner, modelFrame[0], d.LAYERED, false, d.LSMOOTH, false);
  }
  std::string title = "Tesselby Research Quillon [" + record.Data.Title + "]";
  WindowTitle(title);
}

// ---------------------------------------------------------------- not called

void RESCALESUITE() {
  SuiteResultsRecord& r = SuiteResults();
  SoundingRecord& base = SuiteBaseModel().Primary;
  SCALEMODELS(ModelGraphFrame()[0], base, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
  MODINCH(ModelGraphFrame()[0], 1);
  SCALE_X(CurveGraphFrame()[0], base, base);
  for (int32_t i = 1; i <= std::clamp(base.Data.NCurveSets, 1, 2); ++i) {
    SCALESUITEY(i);
    FINDAS(CurveGraphFrame()[static_cast<size_t>(i - 1)]);
  }
}

void SWAPLOGDATA(SoundingRecord& record, SoundingRecord& partner) {
  SuiteSettings().LogData = !SuiteSettings().LogData;
  RESCALESUITE();
  REFRESHSUITE(record, partner);
}

void ZOOMSUITE(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  std::array<GraphFrame, 2>& curves = CurveGraphFrame();
  std::array<GraphFrame, 2>& models = ModelGraphFrame();
  const int32_t panels = std::clamp(SuiteBaseModel().Primary.Data.NCurveSets, 1, 2);
  const float cx = 10.0f * (0.5f * static_cast<float>(x1) + 0.5f * static_cast<float>(x2)) / 10000.0f;
  const float cy = 8.0f * (10000.0f - (0.5f * static_cast<float>(y1) + 0.5f * static_cast<float>(y2))) / 10000.0f;
  if (cx >= models[0].OriginX) {
    const size_t zoomed = panels > 1 && cx >= models[1].OriginX ? 1 : 0;
    ZOOMBOX(x1, y1, x2, y2, models[zoomed]);
    if (panels > 1) COPYXAXIS(models[1 - zoomed], models[zoomed]);
  } else {
    const size_t zoomed = cy > curves[0].OriginY || panels < 2 ? 0 : 1;
    ZOOMBOX(x1, y1, x2, y2, curves[zoomed]);
    if (panels > 1) COPYXAXIS(curves[1 - zoomed], curves[zoomed]);
  }
}

void PLOTCONTOURS(GraphFrame& frame) {
  const AxisCaptionTableRecord& c = AxisCaptionTable();
  frame.LimitNumberHeight = true;
  frame.MaxNumberHeight = 0.12f;
  frame.ExtentMinX = frame.ExtentMaxX = frame.ExtentMinY = 0.0f;
  PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
  GNGRID(frame);
  FINDAS(frame);
  const float width = static_cast<float>(frame.XDivisions) * frame.XDivLength;
  const float height = static_cast<float>(frame.YDivisions) * frame.YDivLength;
  const std::string_view space = TrimTrailingBlanks(c.CLSPACE), freq = TrimTrailingBlanks(c.CLFREQ);
  const int32_t ns = static_cast<int32_t>(space.size()), nf = static_cast<int32_t>(freq.size());
  if (frame.NumberLeft) CENTSY(frame.ExtentMinX - 0.15f, height / 2.0f, 0.12f, space, 90.0f, ns);
  if (frame.NumberRight) CENTSY(frame.ExtentMaxX + 0.15f, height / 2.0f, 0.12f, space, 90.0f, ns);
  CENTSY(width / 2.0f, frame.ExtentMinY - 0.2f, 0.12f, freq, 0.0f, nf);
}

void SCALECONTOURS(GraphFrame& frame, std::span<const float> x, int32_t nx, std::span<const float> y, int32_t ny) {
  float xmin = 1.0e20f, xmax = -1.0e20f, ymin = 1.0e20f, ymax = -1.0e20f;
  FINDNX(x, nx, xmin, xmax);
  FINDNX(y, ny, ymin, ymax);
  int32_t lo = 0, hi = 0;
  LOGNX(0.99f * xmin, 1.01f * xmax, lo, hi);
  frame.XExponentOrMinor = lo;
  frame.XDivisions = std::max(hi - lo, 1);
  frame.XStep = 0.0f;
  frame.XLog = true;
  frame.XDivLength = 5.0f / static_cast<float>(frame.XDivisions);
  LINNX(0.99f * ymin, 1.01f * ymax, frame.YStart, frame.YStep, frame.YDivisions, frame.YExponentOrMinor);
  frame.YLog = false;
  frame.YDivLength = 6.0f / static_cast<float>(std::max(frame.YDivisions, 1));
  frame.OriginX = frame.OriginY = 1.25f;
  frame.ClipXLow = -0.01f;
  frame.ClipXHigh = 5.01f;
  frame.ClipYLow = -0.01f;
  frame.ClipYHigh = 3.01f;
}

ContourOptionsRecord& ContourOptions() {
  static ContourOptionsRecord o;
  return o;
}

namespace {
// The contour dialog's number: kept in its own variable, which nothing in
// this program sets.
int32_t gContourDialog = 0;
}  // namespace

void SUITECONTOURPARAMS() {
  ContourOptionsRecord& o = ContourOptions();
  if (o.Quantity < 1 || o.Quantity > 6) o.Quantity = 4;
  if (o.Choice < 1 || o.Choice > 2) o.Choice = 1;
  if (!(o.SecondLow < o.SecondHigh)) {
    o.SecondLow = o.FirstLow;
    o.SecondHigh = o.FirstHigh;
  }
  if (gContourDialog == 0) return;  // no dialog to show
}

void DATARESCALE1D(SoundingRecord& record, SoundingRecord& /*partner*/, std::array<GraphFrame, 2>& curveFrame) {
  const int32_t panels = std::clamp(record.Data.NCurveSets, 1, 2);
  for (int32_t p = 0; p < panels; ++p) {
    GraphFrame& f = curveFrame[static_cast<size_t>(p)];
    SCALE_X(f, record, record);
    f.NumberLeft = true;
    f.NumberBottom = panels == 1;
    f.OriginX = f.OriginY = 1.25f;
    f.ClipXLow = -0.01f;
    f.ClipXHigh = 8.01f;
    f.ClipYLow = -0.01f;
    f.ClipYHigh = 3.01f;
    if (!SCALE_Y(f, record, SuiteSettings().LogData)) return;
    f.XDivLength = (DisplaySettings().LMODONDAT ? 8.5f : 5.0f) / static_cast<float>(std::max(f.XDivisions, 1));
    f.YDivLength = (panels > 1 ? 4.0f : 6.0f) / static_cast<float>(std::max(f.YDivisions, 1));
    if (panels > 1 && p == 0) f.OriginY = 3.25f;
  }
}

void MODELREMAKE(SoundingRecord& record, std::array<GraphFrame, 2>& modelFrame) {
  if (modelFrame[0].XDivisions != 0) return;
  bool first = true;
  SCALE_MDL(modelFrame[0], record, first);
  MODINCH(modelFrame[0], 1);
}

void MODELRESCALE1D(SoundingRecord& record, std::array<GraphFrame, 2>& modelFrame) {
  bool first = true;
  SCALE_MDL(modelFrame[0], record, first);
  MODINCH(modelFrame[0], std::max(record.Data.NCurveSets, 1));
}
