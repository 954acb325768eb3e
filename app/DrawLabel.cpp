#include "app/DrawLabel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "toolkit/graphics/TextOutput.h"

namespace {

// Labels whose position is not a number, already said: the message comes
// once per label, not at every pointer move.
std::array<bool, kMaxLabels> gNanSaid{};

float Sqrt(float v) { return std::sqrt(std::fabs(v)); }

// The two plotted ends of a label's extent along one axis: v -/+ size / 2
// on a linear axis, v / sqrt(size) and v * sqrt(size) on a logarithmic
// one (a size below 1 gives the ends in the other order).
void Ends(float v, float size, bool log, float (*plot)(float, const GraphFrame&), const GraphFrame& f, float& a,
          float& b) {
  if (log) {
    const float r = Sqrt(size);
    a = plot(v / r, f);
    b = plot(v * r, f);
  } else {
    a = plot(v - size / 2.0f, f);
    b = plot(v + size / 2.0f, f);
  }
}

// The pointer's page point in inches.
void PointerInches(int32_t u, int32_t v, float& x, float& y) {
  x = 10.0f * static_cast<float>(u) / 10000.0f;
  y = 8.0f * (10000.0f - static_cast<float>(v)) / 10000.0f;
}

float Distance(float x1, float y1, float x2, float y2) {
  const float dx = x1 - x2, dy = y1 - y2;
  return std::sqrt(dx * dx + dy * dy + 1.0e-10f);
}

}  // namespace

bool AddLabel(const LabelRecord& label) {
  LabelStoreRecord& s = LabelStore();
  if (s.LabelCount >= kMaxLabels) {
    WINMSG("Too many labels");
    return false;
  }
  s.Labels[static_cast<size_t>(s.LabelCount)] = label;
  s.Labels[static_cast<size_t>(s.LabelCount)].LabelText.resize(kLabelTextLength, ' ');
  ++s.LabelCount;
  return true;
}

void RemoveLabel(int32_t i) {
  LabelStoreRecord& s = LabelStore();
  if (i < 1 || i > s.LabelCount) return;
  for (int32_t j = i; j < s.LabelCount; ++j) s.Slot(j) = s.Slot(j + 1);
  s.Slot(s.LabelCount) = LabelRecord{};
  --s.LabelCount;
}

bool LabelAtItsAnchor(const LabelRecord& l) {
  return std::fabs(l.AnchorY - l.LabelY) < 0.0001f && std::fabs(l.AnchorX - l.LabelX) < 0.0001f;
}

void DRAWLABELS(int32_t owner, GraphFrame& frame) {
  const LabelStoreRecord& s = LabelStore();
  SETPENCOLOR(DisplaySettings().LabelDefaultColour);
  for (int32_t i = 1; i <= s.LabelCount; ++i) {
    if (s.Slot(i).LabelOwner != owner) continue;
    SETPENCOLOR(s.Slot(i).LabelColour);
    DRAWLABEL(i, false, frame);
  }
}

void DRAWLABEL(int32_t i, bool xorMode, GraphFrame& frame) {
  LabelStoreRecord& s = LabelStore();
  if (i < 1 || i > s.LabelCount) return;
  LabelRecord& l = s.Slot(i);
  l.LabelSizeY = std::fabs(l.LabelSizeY);
  float y1 = 0.0f, y2 = 0.0f, x1 = 0.0f, x2 = 0.0f;
  Ends(l.LabelY, l.LabelSizeY, frame.YLog, PLOFY, frame, y1, y2);
  float h = std::fabs(y2 - y1);
  const float px = PLOFX(l.LabelX, frame), py = PLOFY(l.LabelY, frame);
  std::string text = l.LabelText;
  text.resize(kLabelTextLength, ' ');
  CHR_CHK(text, static_cast<int32_t>(text.size()));
  const int32_t n = INDSTR(text, static_cast<int32_t>(text.size()));
  Ends(l.LabelX, l.LabelSizeX, frame.XLog, PLOFX, frame, x1, x2);
  const float w = std::fabs(x2 - x1);
  const float tw = n > 0 ? WGrTextLengthUnits(std::string_view(text).substr(0, static_cast<size_t>(n))) : 0.0f;
  // A blank text has no width to limit the height by.
  const float limit = tw > 0.0f ? l.LabelSizeX * frame.XScale / (0.5f * tw) : h;
  const float hText = std::isfinite(limit) ? std::min(h, limit) : h;
  const bool atAnchor = LabelAtItsAnchor(l);

  if (xorMode) {
    SETPENCOLOR(7);
    XORON();
    PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
    BOX(px, py, w / 2.0f, h / 2.0f, false, frame);
    XOROFF();
  } else {
    if (n > 0 && h > 0.0f && w > 0.0f) {
      int32_t colour = 0;
      GETPENCOLOR(colour);
      XOROFF();
      FILLRECT(px - w / 2.0f, py - h / 2.0f, px + w, py + h / 2.0f, 2.0f * w, 15);
      SETPENCOLOR(colour);
    }
    const float textW = 0.43f * hText * tw;
    float left = px - w;
    if (atAnchor) left = px - textW / 2.0f;
    else if (l.AnchorX > l.LabelX) left = px + w - textW;
    CENTSY(left + 0.1f * hText, py, hText, text, 0.0f, n);
  }
  if (!atAnchor) {
    if (xorMode) XORON();
    const float sign = l.AnchorX > l.LabelX ? 1.0f : -1.0f;
    const float tickEnd = px + sign * (w + hText);
    PLOTXY(px + sign * (w + hText / 2.0f), py, 3, frame);
    PLOTXY(tickEnd, py, 2, frame);
    PLOTXY(PLOFX(l.AnchorX, frame), PLOFY(l.AnchorY, frame), 2, frame);
    if (xorMode) XOROFF();
  }
}

void TESTLABEL(int32_t& label, float& tolerance, int32_t pointerX, int32_t pointerY, const GraphFrame& frame,
               GraphFrame& frameCopy, bool& anchorPicked, int32_t& handle, int32_t owner) {
  const LabelStoreRecord& s = LabelStore();
  if (!DisplaySettings().LLABELS || s.LabelCount <= 0) return;
  float px = 0.0f, py = 0.0f;
  PointerInches(pointerX, pointerY, px, py);
  auto pick = [&](int32_t i, float d, bool anchor, int32_t mode) {
    tolerance = d;
    label = i;
    frameCopy = frame;
    anchorPicked = anchor;
    handle = mode;
  };
  for (int32_t i = 1; i <= s.LabelCount; ++i) {
    const LabelRecord& l = s.Slot(i);
    if (l.LabelOwner != owner) continue;
    bool& said = gNanSaid[static_cast<size_t>(i - 1)];
    const float qx = PLOFX(l.LabelX, frame) + frame.OriginX, qy = PLOFY(l.LabelY, frame) + frame.OriginY;
    if (std::isnan(l.LabelX) || std::isnan(l.LabelY) || std::isnan(qx) || std::isnan(qy)) {
      if (!said) WINMSG(std::isnan(l.LabelX) || std::isnan(l.LabelY) ? "nan in testlab 1" : "nan in testlab 2");
      said = true;
      continue;
    }
    said = false;
    const float d = Distance(px, py, qx, qy);
    if (label == 0) {
      // The box doubled in each direction (x / sx .. x * sx on a log
      // axis); either order of its ends.
      float a = 0.0f, b = 0.0f, c = 0.0f, e = 0.0f;
      Ends(l.LabelX, frame.XLog ? l.LabelSizeX * l.LabelSizeX : 2.0f * l.LabelSizeX, frame.XLog, PLOFX, frame, a, b);
      Ends(l.LabelY, frame.YLog ? l.LabelSizeY * l.LabelSizeY : 2.0f * l.LabelSizeY, frame.YLog, PLOFY, frame, c, e);
      const float xlo = std::min(a, b) + frame.OriginX, xhi = std::max(a, b) + frame.OriginX;
      const float ylo = std::min(c, e) + frame.OriginY, yhi = std::max(c, e) + frame.OriginY;
      if (px > xlo && px < xhi && py > ylo && py < yhi) pick(i, std::min(tolerance, d), false, 0);
    } else if (d < tolerance) {
      pick(i, d, false, 0);
    }
    auto handlePoint = [&](float tx, float ty, float& hx, float& hy) {
      const float vx = frame.XLog ? l.LabelX * std::pow(std::fabs(l.LabelSizeX), tx) : l.LabelX + tx * l.LabelSizeX;
      const float vy = frame.YLog ? l.LabelY * std::pow(std::fabs(l.LabelSizeY), ty) : l.LabelY + ty * l.LabelSizeY;
      hx = PLOFX(vx, frame) + frame.OriginX;
      hy = PLOFY(vy, frame) + frame.OriginY;
    };
    static constexpr float kSides[4][2] = {{-0.5f, 0.0f}, {0.5f, 0.0f}, {0.0f, -0.5f}, {0.0f, 0.5f}};
    for (int32_t k = 0; k < 4; ++k) {
      float hx = 0.0f, hy = 0.0f;
      handlePoint(kSides[k][0], kSides[k][1], hx, hy);
      const float dh = Distance(px, py, hx, hy);
      if (dh < tolerance) pick(i, dh, false, k < 2 ? 2 : -2);
    }
    static constexpr float kCorners[4][2] = {{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}};
    for (const auto& c : kCorners) {
      float hx = 0.0f, hy = 0.0f;
      handlePoint(c[0], c[1], hx, hy);
      const float dh = Distance(px, py, hx, hy);
      int32_t mode = c[0] == c[1] ? 1 : -1;
      if (frame.YStep < 0.0f) mode = -mode;
      if (dh < tolerance) pick(i, dh, false, mode);
    }
    if (!LabelAtItsAnchor(l)) {
      const float ax = PLOFX(l.AnchorX, frame) + frame.OriginX, ay = PLOFY(l.AnchorY, frame) + frame.OriginY;
      const float da = Distance(px, py, ax, ay);
      if (da < tolerance) pick(i, da, true, 0);
    }
  }
}

// ---------------------------------------------------------------- not called

namespace {

// Sizes for a new label of `owner`: the previous slot's, or for the first
// label a share of the frame's steps; then those of the lowest-numbered
// earlier label of the owner whose two sizes are both set.
void NewLabelSizes(int32_t owner, const GraphFrame& frame, LabelRecord& l) {
  const LabelStoreRecord& s = LabelStore();
  if (s.LabelCount >= 1) {
    l.LabelSizeX = s.Slot(s.LabelCount).LabelSizeX;
    l.LabelSizeY = s.Slot(s.LabelCount).LabelSizeY;
  } else {
    l.LabelSizeX = 0.75f * std::fabs(frame.XStep);
    l.LabelSizeY = 0.2f * std::fabs(frame.YStep);
  }
  for (int32_t j = s.LabelCount; j >= 1; --j) {
    const LabelRecord& e = s.Slot(j);
    if (e.LabelOwner == owner && e.LabelSizeX != 0.0f && e.LabelSizeY != 0.0f) {
      l.LabelSizeX = e.LabelSizeX;
      l.LabelSizeY = e.LabelSizeY;
    }
  }
}

}  // namespace

void MANVLABEL(int32_t owner, float value, int32_t pointerX, int32_t pointerY, const GraphFrame& frame,
               std::string_view unit) {
  float px = 0.0f, py = 0.0f;
  PointerInches(pointerX, pointerY, px, py);
  LabelRecord l;
  l.LabelType = 1;
  l.LabelOwner = owner;
  l.LabelColour = DisplaySettings().LabelDefaultColour;
  l.LabelX = l.AnchorX = XOFPL(px, frame);
  l.LabelY = l.AnchorY = YOFPL(py, frame);
  NewLabelSizes(owner, frame, l);
  std::string t(7, ' ');
  RecordWrite(std::span<char>(t), "(F7.0)", {value});
  const size_t point = t.find('.');
  const std::string number = point == std::string::npos ? t : t.substr(0, point);
  l.LabelText = number + (unit == "(ft)    " ? " ft/S" : " m/S");
  AddLabel(l);
}

void MANDLABL(int32_t owner, int32_t pointerX, int32_t pointerY, float value, const GraphFrame& frame) {
  float px = 0.0f, py = 0.0f;
  PointerInches(pointerX, pointerY, px, py);
  LabelRecord l;
  l.LabelType = 2;
  l.LabelOwner = owner;
  l.LabelColour = DisplaySettings().LabelDefaultColour;
  l.LabelX = l.AnchorX = value;
  l.LabelY = l.AnchorY = YOFPL(py, frame);
  NewLabelSizes(owner, frame, l);
  std::string t(5, ' ');
  RecordWrite(std::span<char>(t), "(F5.1)", {value});
  l.LabelText = t;
  AddLabel(l);
}

void CLEARLABELS(int32_t owner) {
  for (int32_t i = LabelStore().LabelCount; i >= 1; --i)
    if (LabelStore().Slot(i).LabelOwner == owner) RemoveLabel(i);
}

void DELETELABEL(int32_t& label) {
  if (label >= 1 && label <= LabelStore().LabelCount) {
    RemoveLabel(label);
    label = 0;
  }
}

void SCALELABELSIZE(float LabelRecord::*field, float factor) {
  LabelStoreRecord& s = LabelStore();
  for (int32_t i = 1; i <= s.LabelCount; ++i) s.Slot(i).*field *= factor;
}

void INCLABELSIZE(float LabelRecord::*field, float amount) {
  LabelStoreRecord& s = LabelStore();
  for (int32_t i = 1; i <= s.LabelCount; ++i) s.Slot(i).*field += amount;
}
