#include "app/plotModel.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/Strings.h"
#include "app/DisplaySettings.h"
#include "app/plotRho.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/graphics/Lines.h"

namespace {

constexpr float kFoot = 0.3048f;

int32_t Decades(int32_t lo, int32_t hi) { return std::max(hi - lo, 1); }

bool HasLayers(const SoundingRecord& r) { return r.Model.NLayers >= 1; }

// A model's resistivities and thicknesses (or depths) as spans of its
// parameter vector, bounded by what the vector holds.
struct ModelSpans {
  std::span<const float> rho, thick;
  int32_t nl = 0;
};
ModelSpans SpansOf(const Model1D& m) {
  ModelSpans s;
  const int32_t size = m.Value.Allocated ? m.Value.Size() : 0;
  const int32_t v = std::max(m.ValuesPerLayer, 1);
  s.nl = std::clamp(m.NLayers, 0, size);
  const std::span<const float> all(m.Value.Data.data(), static_cast<size_t>(size));
  s.rho = all.first(static_cast<size_t>(s.nl));
  const int32_t from = std::min(s.nl * v, size);
  const int32_t count = std::clamp(s.nl - 1, 0, size - from);
  s.thick = all.subspan(static_cast<size_t>(from), static_cast<size_t>(count));
  return s;
}

// One staircase into the frame, dashes that read as a solid line.
void DrawStaircase(const SoundingRecord& rec, GraphFrame& frame, float top, float bottom, int32_t colour) {
  const DisplaySettingsRecord& d = DisplaySettings();
  const ModelSpans s = SpansOf(rec.Model);
  if (s.nl < 1 || rec.Model.NParams < 1) return;
  std::vector<float> rho(static_cast<size_t>(2 * s.nl + 2)), z(rho.size());
  int32_t count = 0;
  // The clamping runs in metres; the depth axis is in feet when depths are
  // shown in feet.
  const float unit = d.LDInFeet ? kFoot : 1.0f;
  MDL2LIN(top * unit, bottom * unit, rho, z, count, false, s.rho, s.thick, s.nl, rec.Model.DepthFlag);
  if (count < 1) return;
  z[static_cast<size_t>(count - 1)] = bottom;
  SETPENCOLOR(colour);
  if (d.LMODONDAT) DS_PLOT(z, rho, count, 0.03f, 0.0001f, frame);
  else DS_PLOT(rho, z, count, 0.03f, 0.0001f, frame);
}

}  // namespace

void PLTMDL(SoundingRecord& record, SoundingRecord& partner, GraphFrame& frame, bool drawModel, bool equivalence,
            bool drawPartner, bool partnerEquivalence) {
  if (!HasLayers(record) && !HasLayers(partner)) return;
  const DisplaySettingsRecord& d = DisplaySettings();
  const AxisCaptionTableRecord& c = AxisCaptionTable();
  IGrLineThickness(d.LineWidth, 5 * d.LineWidth);
  frame.LimitNumberHeight = true;
  frame.MaxNumberHeight = 0.16f;
  if (d.LMODONDAT) {
    PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
  } else {
    SETPENCOLOR(d.KGRID);
    frame.ExtentMinX = frame.ExtentMaxX = frame.ExtentMinY = 0.0f;
    PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
    GNGRID(frame);
    FINDAS(frame);
    const float width = static_cast<float>(frame.XDivisions) * frame.XDivLength;
    const float height = static_cast<float>(frame.YDivisions) * frame.YDivLength;
    if (frame.NumberLeft) {
      std::string depth = c.CLDEPT;
      if (d.LDInFeet) IRPLPT(depth, static_cast<int32_t>(depth.size()), "(m)", 3, "(ft)", 4);
      const std::string_view t = TrimTrailingBlanks(depth);
      // An axis caption is never smaller than its axis's numbers; a turned
      // one keeps a quarter of its height clear of them.
      const float h = std::max(d.HIMODV, AxisNumberTextHeight(frame, false));
      CENTSY(frame.ExtentMinX - 0.75f * h + d.OFFMODV, height / 2.0f, h, t, 90.0f, static_cast<int32_t>(t.size()));
    }
    if (frame.NumberBottom) {
      const std::string_view t = TrimTrailingBlanks(c.CLRESM);
      const float h = std::max(d.HIMODH, AxisNumberTextHeight(frame, true));
      CENTSY(width / 2.0f, frame.ExtentMinY - 1.5f * h + d.OFFMODH, h, t, 0.0f, static_cast<int32_t>(t.size()));
    }
  }
  PLOTMODELSECTIONS(record, partner, frame, drawModel, equivalence, drawPartner, partnerEquivalence);
}

void PLOTMODELSECTIONS(SoundingRecord& record, SoundingRecord& partner, GraphFrame& frame, bool drawModel,
                       bool /*equivalence*/, bool drawPartner, bool /*partnerEquivalence*/) {
  if (!HasLayers(record) && !HasLayers(partner)) return;
  const DisplaySettingsRecord& d = DisplaySettings();
  IGrLineThickness(d.LineWidth, 5 * d.LineWidth);
  SETPENCOLOR(d.KGRID);
  const float w = static_cast<float>(frame.XDivisions) * frame.XDivLength;
  const float h = static_cast<float>(frame.YDivisions) * frame.YDivLength;
  PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
  float top = 0.0f, bottom = 0.0f;
  if (d.LMODONDAT) {
    PCLIP(-0.01f, w + 0.01f, -0.01f, h + 0.01f);
    top = std::pow(10.0f, static_cast<float>(frame.XExponentOrMinor));
    bottom = std::pow(10.0f, static_cast<float>(frame.XExponentOrMinor + frame.XDivisions));
  } else if (frame.YLog) {
    PCLIP(-0.01f, w + 0.01f, h - 0.01f, 0.01f);
    top = std::pow(10.0f, static_cast<float>(frame.YExponentOrMinor));
    bottom = std::pow(10.0f, static_cast<float>(frame.YExponentOrMinor + frame.YDivisions));
  } else {
    PCLIP(-0.01f, w + 0.01f, -0.01f, h + 0.01f);
    top = 0.0f;
    bottom = frame.YStep >= 0.0f ? frame.YStart + static_cast<float>(frame.YDivisions) * frame.YStep : frame.YStart;
  }
  if (drawModel) DrawStaircase(record, frame, top, bottom, d.KBEST);
  if (drawPartner && HasLayers(partner) && partner.Computed) DrawStaircase(partner, frame, top, bottom, d.KSMOO);
  PLOTXY(0.0f, 0.0f, 3, frame);
}

void MDL2LIN(float top, float bottom, std::span<float> rho, std::span<float> z, int32_t& count, bool /*flag*/,
             std::span<const float> resistivities, std::span<const float> thicknesses, int32_t nl, bool depthFlag) {
  count = 0;
  nl = std::min({nl, static_cast<int32_t>(resistivities.size()), static_cast<int32_t>(rho.size() / 2),
                 static_cast<int32_t>(z.size() / 2)});
  if (nl < 1) return;
  float depth = 0.0f;
  auto shown = [&](float v) { return v < top ? top : v; };
  for (int32_t i = 1; i <= nl; ++i) {
    const float r = resistivities[static_cast<size_t>(i - 1)];
    rho[static_cast<size_t>(count)] = r;
    z[static_cast<size_t>(count++)] = shown(depth);
    const float t = static_cast<size_t>(i - 1) < thicknesses.size() ? thicknesses[static_cast<size_t>(i - 1)] : 0.0f;
    float next = 0.0f;
    if (i == nl) next = bottom;
    else if (depthFlag && i > 1) next = t;
    else next = depth + t;
    depth = std::min(next, bottom);
    rho[static_cast<size_t>(count)] = r;
    z[static_cast<size_t>(count++)] = shown(depth);
  }
  if (DisplaySettings().LDInFeet)
    for (int32_t i = 0; i < count; ++i) z[static_cast<size_t>(i)] /= kFoot;
}

void SCALE_MDL_MINMAX(const SoundingRecord& record, bool /*equivalence*/, std::array<float, 4>& rhoMin,
                      std::array<float, 4>& rhoMax, float& depthMin, float& depthMax, float& /*elevationMin*/,
                      float& /*elevationMax*/) {
  const Model1D& m = record.Model;
  if (m.NLayers < 1 || m.NParams < 1) return;
  const ModelSpans s = SpansOf(m);
  GETNX(s.rho, s.nl, rhoMin[0], rhoMax[0]);
  if (s.nl > 1 && !s.thick.empty()) {
    float deepest = 0.0f;
    if (m.DepthFlag) deepest = s.thick.back();
    else
      for (float t : s.thick) deepest += t;
    depthMax = std::max(depthMax, deepest);
    depthMin = std::min(depthMin, s.thick.front());
  }
  depthMax = std::max(depthMax, 0.0f);
}

void SCALEMODELS(GraphFrame& frame, const SoundingRecord& /*record*/, std::array<float, 4>& rhoMin,
                 std::array<float, 4>& rhoMax, float& depthMin, float& depthMax) {
  int32_t lo = 0, hi = 0;
  LOGNX(rhoMin[0], rhoMax[0], lo, hi);
  frame.XExponentOrMinor = lo;
  frame.XDivisions = Decades(lo, hi);
  frame.XStep = 0.0f;
  frame.XLog = true;
  if (!(depthMin < depthMax)) {
    depthMin = 125.0f;
    depthMax = 500.0f;
  }
  float top = 0.9f * depthMin;
  float bottom = 1.1f * depthMax;
  // Depths shown in feet get an axis in feet.
  if (DisplaySettings().LDInFeet) {
    top /= kFoot;
    bottom /= kFoot;
  }
  if (DisplaySettings().LINEARMOD) {
    top = 0.0f;
    LINNX(top, bottom, frame.YStart, frame.YStep, frame.YDivisions, frame.YExponentOrMinor);
    frame.YLog = false;
  } else {
    LOGNX(top, bottom, lo, hi);
    frame.YExponentOrMinor = lo;
    frame.YDivisions = Decades(lo, hi);
    frame.YStep = 0.0f;
    frame.YLog = true;
  }
}

void MODINCH(GraphFrame& frame, int32_t /*panels*/) {
  frame.OriginX = 7.25f;
  frame.OriginY = 1.25f;
  frame.XDivLength = 2.5f / static_cast<float>(std::max(frame.XDivisions, 1));
  frame.YDivLength = 6.0f / static_cast<float>(std::max(frame.YDivisions, 1));
  frame.NumberBottom = frame.NumberLeft = true;
  frame.NumberRight = frame.NumberTop = false;
  if (frame.YLog) {
    frame.OriginY = 1.25f + static_cast<float>(frame.YDivisions) * std::fabs(frame.YDivLength);
    frame.YDivLength = -std::fabs(frame.YDivLength);
  } else {
    frame.YStart += static_cast<float>(frame.YDivisions) * frame.YStep;
    frame.YStep = -frame.YStep;
  }
}

void DefaultGraphFrames() {
  const SuiteSettingsRecord& s = SuiteSettings();
  GraphFrame& c = CurveGraphFrame()[0];
  c = GraphFrame{};
  int32_t lo = 0, hi = 0;
  LOGNX(s.AbStart, s.AbEnd, lo, hi);
  c.XExponentOrMinor = lo;
  c.XDivisions = Decades(lo, hi);
  c.XLog = true;
  if (s.LogData) {
    c.YExponentOrMinor = 0;
    c.YDivisions = 3;
    c.YLog = true;
  } else {
    LINNX(0.0f, 1.0f, c.YStart, c.YStep, c.YDivisions, c.YExponentOrMinor);
  }
  c.OriginX = c.OriginY = 1.25f;
  c.XDivLength = 5.0f / static_cast<float>(c.XDivisions);
  c.YDivLength = 6.0f / static_cast<float>(c.YDivisions);
  c.NumberBottom = c.NumberLeft = true;
  FINDAS(c);

  GraphFrame& m = ModelGraphFrame()[0];
  m = GraphFrame{};
  std::array<float, 4> rhoMin{1.0f, 1.0e20f, 1.0e20f, 1.0e20f}, rhoMax{1000.0f, -1.0e20f, -1.0e20f, -1.0e20f};
  float depthMin = 1.0e20f, depthMax = -1.0e20f;
  SCALEMODELS(m, SuiteBaseModel().Primary, rhoMin, rhoMax, depthMin, depthMax);
  MODINCH(m, 1);
  FINDAS(m);
}

// ---------------------------------------------------------------- not called

void MDL2SML(float limit, std::span<float> rho, std::span<float> z, int32_t& count,
             std::span<const float> resistivities, std::span<const float> thicknesses, int32_t nl, bool depthFlag) {
  count = 0;
  nl = std::min(nl, static_cast<int32_t>(resistivities.size()));
  if (nl < 1 || rho.size() < static_cast<size_t>(nl + 2) || z.size() < static_cast<size_t>(nl + 2)) return;
  auto thick = [&](int32_t i) {
    return static_cast<size_t>(i - 1) < thicknesses.size() ? thicknesses[static_cast<size_t>(i - 1)] : 0.0f;
  };
  rho[0] = resistivities[0];
  z[0] = 0.0f;
  count = 1;
  float layerTop = 0.0f;
  for (int32_t i = 1; i <= nl; ++i) {
    float mid = 0.0f, layerBottom = 0.0f;
    if (i == nl) {
      layerBottom = std::max(limit, layerTop);
      mid = 0.5f * (layerTop + layerBottom);
    } else if (depthFlag) {
      layerBottom = thick(i);
      mid = layerTop > 0.0f && layerBottom > 0.0f ? std::sqrt(layerTop * layerBottom) : 0.5f * layerBottom;
    } else {
      layerBottom = layerTop + thick(i);
      mid = layerTop + 0.5f * thick(i);
    }
    rho[static_cast<size_t>(count)] = resistivities[static_cast<size_t>(i - 1)];
    z[static_cast<size_t>(count++)] = mid;
    layerTop = layerBottom;
  }
  rho[static_cast<size_t>(count)] = resistivities[static_cast<size_t>(nl - 1)];
  z[static_cast<size_t>(count++)] = limit;
  if (DisplaySettings().LDInFeet)
    for (int32_t i = 1; i < count; ++i) z[static_cast<size_t>(i)] /= kFoot;
}

void RUBBERMODEL(SoundingRecord& record, GraphFrame& frame, int32_t layer, int32_t wx, int32_t wy) {
  const ModelSpans s = SpansOf(record.Model);
  if (layer == 0 || std::abs(layer) > s.nl) return;
  const float gx = XOFPL(10.0f * static_cast<float>(wx) / 10000.0f, frame);
  const float gy = YOFPL(8.0f * (10000.0f - static_cast<float>(wy)) / 10000.0f, frame);
  auto draw = [&] {
    XORON();
    PLOTMODELSECTIONS(record, record, frame, true, false, false, false);
    XOROFF();
  };
  draw();  // removes the staircase drawn last time
  Model1D& m = record.Model;
  const int32_t v = std::max(m.ValuesPerLayer, 1);
  if (layer > 0) {
    if (gx > 0.0f) m.Value(layer) = gx;
  } else if (-layer < s.nl && m.NLayers * v - layer <= m.Value.Size()) {
    const float depth = DisplaySettings().LDInFeet ? gy * kFoot : gy;
    m.Value(m.NLayers * v - layer) = std::max(depth, 0.0f);
  }
  draw();
}

int32_t NEARMODEL(const SoundingRecord& record, const GraphFrame& frame, int32_t wx, int32_t wy) {
  const ModelSpans s = SpansOf(record.Model);
  int32_t found = 0;
  if (s.nl >= 1) {
    std::vector<float> rho(static_cast<size_t>(2 * s.nl + 2)), z(rho.size());
    int32_t count = 0;
    const float bottom = frame.YLog ? std::pow(10.0f, static_cast<float>(frame.YExponentOrMinor + frame.YDivisions))
                                    : std::max(frame.YStart, frame.YStart + static_cast<float>(frame.YDivisions) * frame.YStep);
    MDL2LIN(0.0f, DisplaySettings().LDInFeet ? bottom * kFoot : bottom, rho, z, count, false, s.rho, s.thick, s.nl,
            record.Model.DepthFlag);
    const float px = 10.0f * static_cast<float>(wx) / 10000.0f - frame.OriginX;
    const float py = 8.0f * (10000.0f - static_cast<float>(wy)) / 10000.0f - frame.OriginY;
    float best = 0.1f;
    for (int32_t i = 0; i + 1 < count; ++i) {
      const float x1 = PLOFX(rho[static_cast<size_t>(i)], frame), y1 = PLOFY(z[static_cast<size_t>(i)], frame);
      const float x2 = PLOFX(rho[static_cast<size_t>(i + 1)], frame), y2 = PLOFY(z[static_cast<size_t>(i + 1)], frame);
      // Distance from the pointer to the segment.
      const float dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
      const float t = len2 > 0.0f ? std::clamp(((px - x1) * dx + (py - y1) * dy) / len2, 0.0f, 1.0f) : 0.0f;
      const float dist = std::hypot(px - (x1 + t * dx), py - (y1 + t * dy));
      if (dist < best) {
        best = dist;
        // Even segments are the layers' vertical pieces, odd ones the
        // boundaries between them.
        found = i % 2 == 0 ? i / 2 + 1 : -(i / 2 + 1);
      }
    }
  }
  WCursorShape(found > 0 ? 8 : found < 0 ? 7 : 0);
  return found;
}

void SCALE_MDL(GraphFrame& frame, const SoundingRecord& record, bool& first) {
  static std::array<float, 4> rhoMin{}, rhoMax{};
  static float depthMin = 0.0f, depthMax = 0.0f;
  if (first) {
    rhoMin.fill(1.0e30f);
    rhoMax.fill(-1.0e30f);
    depthMin = 1.0e30f;
    depthMax = 0.0f;
    first = false;
  }
  float e1 = 0.0f, e2 = 0.0f;
  SCALE_MDL_MINMAX(record, false, rhoMin, rhoMax, depthMin, depthMax, e1, e2);
  if (record.Model.NLayers == 1) {
    depthMin = std::min(depthMin, 0.1f);
    depthMax = std::max(depthMax, 0.2f);
  }
  int32_t lo = 0, hi = 0;
  LOGNX(rhoMin[0], rhoMax[0], lo, hi);
  frame.XExponentOrMinor = lo;
  frame.XDivisions = Decades(lo, hi);
  frame.XStep = 0.0f;
  frame.XLog = true;
  float top = 0.9f * depthMin, bottom = 1.1f * depthMax;
  if (DisplaySettings().LDInFeet) {
    top /= kFoot;
    bottom /= kFoot;
  }
  if (DisplaySettings().LINEARMOD) {
    LINNX(0.0f, bottom, frame.YStart, frame.YStep, frame.YDivisions, frame.YExponentOrMinor);
    frame.YLog = false;
  } else {
    LOGNX(top, bottom, lo, hi);
    frame.YExponentOrMinor = lo;
    frame.YDivisions = Decades(lo, hi);
    frame.YStep = 0.0f;
    frame.YLog = true;
  }
}
