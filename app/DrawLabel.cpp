#include "app/DrawLabel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

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

// A label's text is drawn centred (CENTSY): each character takes at most
// this share of the text's height in width.
constexpr float kCharWidth = 0.456f;
// The box around the text: its height and the room beside the text, per
// text height; the margin inside the frame. A suite's labels stand in rows
// and columns whose boxes touch, so that the block is one white panel: no
// piece of a curve shows between two labels.
constexpr float kBoxHeight = 1.25f;
constexpr float kBoxPad = 0.6f;
constexpr float kRowPitch = kBoxHeight;
constexpr float kMargin = 0.08f;

// Characters of a label's text, without trailing blanks.
float TextUnits(std::string_view text) {
  return static_cast<float>(TrimTrailingBlanks(text.substr(0, std::min(text.size(), kLabelTextLength))).size());
}

float BoxWidth(std::string_view text, float height) { return (kCharWidth * TextUnits(text) + kBoxPad) * height; }

// A size in user terms for a length of `inches` on an axis: a length of
// user units on a linear axis, the box's factor on a logarithmic one.
float SizeOfInches(float inches, bool log, float divLength, float scale) {
  if (log) return std::pow(10.0f, inches / std::fabs(divLength));
  return inches / std::fabs(scale);
}

// A label's box as plotted, in inches from the frame's origin.
struct LabelBox {
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0, cx = 0, cy = 0;
  bool valid = false;
  float Width() const { return x2 - x1; }
  float Height() const { return y2 - y1; }
};
LabelBox PlottedBox(const LabelRecord& l, const GraphFrame& f) {
  LabelBox b;
  float a = 0.0f, c = 0.0f;
  Ends(l.LabelX, l.LabelSizeX, f.XLog, PLOFX, f, a, c);
  b.x1 = std::min(a, c);
  b.x2 = std::max(a, c);
  Ends(l.LabelY, l.LabelSizeY, f.YLog, PLOFY, f, a, c);
  b.y1 = std::min(a, c);
  b.y2 = std::max(a, c);
  b.cx = PLOFX(l.LabelX, f);
  b.cy = PLOFY(l.LabelY, f);
  b.valid = std::isfinite(b.x1) && std::isfinite(b.x2) && std::isfinite(b.y1) && std::isfinite(b.y2) &&
            std::isfinite(b.cx) && std::isfinite(b.cy);
  return b;
}

// Whether a box lies within the frame (a hair's tolerance).
bool InsideFrame(const LabelBox& b, const GraphFrame& f) {
  const float w = static_cast<float>(f.XDivisions) * f.XDivLength;
  const float h = static_cast<float>(f.YDivisions) * f.YDivLength;
  constexpr float e = 0.002f;
  return b.x1 >= std::min(0.0f, w) - e && b.x2 <= std::max(0.0f, w) + e && b.y1 >= std::min(0.0f, h) - e &&
         b.y2 <= std::max(0.0f, h) + e;
}

// The text's height in a box: the box's height allows it, and its width
// for the text's characters.
float TextHeight(const LabelBox& b, float units) {
  return std::max(0.0f, std::min(b.Height() / kBoxHeight, b.Width() / (kCharWidth * units + kBoxPad)));
}

// Where the suite's labels go, in inches from the block's top left: the
// caption (label 0) on row 0, then the values in columns of rows 1..
struct Slot {
  int32_t row = 0;
  float left = 0.0f, width = 0.0f;  // the column (the block for the caption)
};
struct Layout {
  float text = 0.0f;   // text height
  size_t placed = 0;   // labels that fit, from the first
  int32_t rows = 0;    // rows of the block
  float width = 0.0f;  // the block's width
  float columns = 0.0f;  // the columns' width together
  std::vector<Slot> slots;
};

Layout LayOut(std::span<const SuiteLabel> labels, float text, float W, float H) {
  Layout out;
  out.text = text;
  const float pitch = kRowPitch * text;
  const int32_t rows = static_cast<int32_t>(std::floor((H - 2.0f * kMargin) / pitch));
  const float room = W - 2.0f * kMargin;
  const size_t n = std::min(labels.size(), static_cast<size_t>(kMaxLabels));
  if (rows < 1 || !(room > 0.0f)) return out;
  out.slots.resize(n);
  // The caption.
  const float captionWidth = BoxWidth(labels[0].text, text);
  if (captionWidth > room) return out;
  out.slots[0] = {0, 0.0f, captionWidth};
  out.placed = 1;
  out.rows = 1;
  out.width = captionWidth;
  const int32_t perColumn = rows - 1;
  if (perColumn < 1) return out;
  float columnLeft = 0.0f;
  for (size_t first = 1; first < n; first += static_cast<size_t>(perColumn)) {
    const size_t last = std::min(n, first + static_cast<size_t>(perColumn));
    float width = 0.0f;
    for (size_t j = first; j < last; ++j) width = std::max(width, BoxWidth(labels[j].text, text));
    if (columnLeft + width > room) break;
    for (size_t j = first; j < last; ++j)
      out.slots[j] = {1 + static_cast<int32_t>(j - first), columnLeft, width};
    out.placed = last;
    out.rows = std::max(out.rows, 1 + static_cast<int32_t>(last - first));
    out.width = std::max(out.width, columnLeft + width);
    columnLeft += width;
    out.columns = columnLeft;
  }
  // The caption spans the block.
  out.slots[0].width = out.width;
  return out;
}

// The layouts a suite's labels may take on a frame: a little larger than
// the numbers when all fit so, then as large as the numbers.
std::vector<Layout> SuiteLayouts(std::span<const SuiteLabel> labels, const GraphFrame& frame) {
  const float W = std::fabs(static_cast<float>(frame.XDivisions) * frame.XDivLength);
  const float H = std::fabs(static_cast<float>(frame.YDivisions) * frame.YDivLength);
  const float smallest = LabelTextMinimum(frame);
  std::vector<Layout> out;
  for (const float text : {1.15f * smallest, smallest}) {
    Layout l = LayOut(labels, text, W, H);
    if (l.placed == std::min(labels.size(), static_cast<size_t>(kMaxLabels)) || text == smallest)
      out.push_back(std::move(l));
  }
  return out;
}

// The boxes of the placed labels in a corner (1 bottom left, 2 top left, 3
// top right, 4 bottom right), in inches from the frame's origin: the
// caption across the block, the columns beneath it flush with the corner's
// side. Every box spans its column, its text centred in it.
std::vector<LabelBox> SuiteBoxes(const Layout& layout, int32_t corner, const GraphFrame& frame) {
  const float W = std::fabs(static_cast<float>(frame.XDivisions) * frame.XDivLength);
  const float H = std::fabs(static_cast<float>(frame.YDivisions) * frame.YDivLength);
  const float left0 = std::min(0.0f, static_cast<float>(frame.XDivisions) * frame.XDivLength);
  const float bottom0 = std::min(0.0f, static_cast<float>(frame.YDivisions) * frame.YDivLength);
  const bool left = corner == 1 || corner == 2, top = corner == 2 || corner == 3;
  const float pitch = kRowPitch * layout.text, h = kBoxHeight * layout.text;
  const float blockLeft = left ? left0 + kMargin : left0 + W - kMargin - layout.width;
  const float columnsLeft = left ? blockLeft : blockLeft + layout.width - layout.columns;
  const float blockTop = top ? bottom0 + H - kMargin : bottom0 + kMargin + static_cast<float>(layout.rows) * pitch;
  std::vector<LabelBox> boxes(layout.placed);
  for (size_t j = 0; j < layout.placed; ++j) {
    const Slot& p = layout.slots[j];
    LabelBox& b = boxes[j];
    b.x1 = (j == 0 ? blockLeft : columnsLeft) + p.left;
    b.x2 = b.x1 + p.width;
    b.y2 = blockTop - static_cast<float>(p.row) * pitch;
    b.y1 = b.y2 - h;
    b.cx = (b.x1 + b.x2) / 2.0f;
    b.cy = (b.y1 + b.y2) / 2.0f;
    b.valid = true;
  }
  return boxes;
}

// Whether the segment (x1, y1)-(x2, y2) passes through a box (the segment
// clipped to each of the box's four sides in turn).
bool SegmentMeetsBox(float x1, float y1, float x2, float y2, const LabelBox& b) {
  float t0 = 0.0f, t1 = 1.0f;
  const float p[4] = {x1 - x2, x2 - x1, y1 - y2, y2 - y1};
  const float q[4] = {x1 - b.x1, b.x2 - x1, y1 - b.y1, b.y2 - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0f) {
      if (q[i] < 0.0f) return false;
      continue;
    }
    const float r = q[i] / p[i];
    if (p[i] < 0.0f) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  return true;
}

// Segments of the curves that pass under any of the boxes.
size_t SegmentsUnder(std::span<const LabelBox> boxes, std::span<const PlottedCurve> curves) {
  if (boxes.empty()) return 0;
  LabelBox block = boxes.front();
  for (const LabelBox& b : boxes) {
    block.x1 = std::min(block.x1, b.x1);
    block.x2 = std::max(block.x2, b.x2);
    block.y1 = std::min(block.y1, b.y1);
    block.y2 = std::max(block.y2, b.y2);
  }
  size_t n = 0;
  for (const PlottedCurve& c : curves) {
    const size_t points = std::min(c.x.size(), c.y.size());
    for (size_t i = 1; i < points; ++i) {
      const float x1 = c.x[i - 1], y1 = c.y[i - 1], x2 = c.x[i], y2 = c.y[i];
      if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) continue;
      if (!SegmentMeetsBox(x1, y1, x2, y2, block)) continue;
      for (const LabelBox& b : boxes)
        if (SegmentMeetsBox(x1, y1, x2, y2, b)) {
          ++n;
          break;
        }
    }
  }
  return n;
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
  const LabelBox b = PlottedBox(l, frame);
  if (!b.valid) return;
  const bool atAnchor = LabelAtItsAnchor(l);
  const float hText = TextHeight(b, TextUnits(l.LabelText));

  if (xorMode) {
    SETPENCOLOR(7);
    XORON();
    PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
    BOX(b.cx, b.cy, b.Width() / 2.0f, b.Height() / 2.0f, false, frame);
    XOROFF();
  } else {
    // A label that a zoom or a drag has moved off its graph is not drawn:
    // it would cover the other graph or the numbers.
    if (!InsideFrame(b, frame)) return;
    std::string text = l.LabelText;
    text.resize(kLabelTextLength, ' ');
    CHR_CHK(text, static_cast<int32_t>(text.size()));
    const int32_t n = INDSTR(text, static_cast<int32_t>(text.size()));
    if (n > 0) {
      int32_t colour = 0;
      GETPENCOLOR(colour);
      XOROFF();
      FILLRECT(b.x1, b.y1, b.x2, b.y2, b.Width(), 15);
      SETPENCOLOR(colour);
      CENTSY(b.cx, b.cy, hText, text, 0.0f, n);
    }
  }
  if (!atAnchor) {
    if (xorMode) XORON();
    const bool right = l.AnchorX > l.LabelX;
    const float edge = right ? b.x2 : b.x1, sign = right ? 1.0f : -1.0f;
    PLOTXY(edge, b.cy, 3, frame);
    PLOTXY(edge + sign * hText / 2.0f, b.cy, 2, frame);
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
  px -= frame.OriginX;
  py -= frame.OriginY;
  // The nearest edge, corner or anchor within the tolerance wins; else the
  // body under the pointer (of the label drawn last, which lies on top).
  int32_t near = 0, nearMode = 0, body = 0;
  bool nearAnchor = false;
  float best = tolerance;
  for (int32_t i = 1; i <= s.LabelCount; ++i) {
    const LabelRecord& l = s.Slot(i);
    if (l.LabelOwner != owner) continue;
    bool& said = gNanSaid[static_cast<size_t>(i - 1)];
    const LabelBox b = PlottedBox(l, frame);
    if (std::isnan(l.LabelX) || std::isnan(l.LabelY) || !b.valid) {
      if (!said) WINMSG(std::isnan(l.LabelX) || std::isnan(l.LabelY) ? "nan in testlab 1" : "nan in testlab 2");
      said = true;
      continue;
    }
    said = false;
    if (!InsideFrame(b, frame)) continue;  // not drawn, so not picked
    // Edges and corners within the tolerance, but never deeper than a
    // quarter of the box: a small label keeps its middle for moving it.
    const float t = std::min(tolerance, 0.25f * std::min(b.Width(), b.Height()));
    const float dl = std::fabs(px - b.x1), dr = std::fabs(px - b.x2), db = std::fabs(py - b.y1),
                dt = std::fabs(py - b.y2);
    const float dx = std::min(dl, dr), dy = std::min(db, dt);
    const bool alongX = px > b.x1 - t && px < b.x2 + t, alongY = py > b.y1 - t && py < b.y2 + t;
    auto offer = [&](float d, int32_t mode) {
      if (d < best) {
        best = d;
        near = i;
        nearMode = mode;
        nearAnchor = false;
      }
    };
    if (dx < t && dy < t) {
      // A corner: 1 where its two sides lie the same way from the centre.
      int32_t mode = (dl < dr) == (db < dt) ? 1 : -1;
      if (frame.YStep < 0.0f) mode = -mode;
      offer(std::hypot(dx, dy), mode);
    } else if (dx < t && alongY) {
      offer(dx, 2);
    } else if (dy < t && alongX) {
      offer(dy, -2);
    } else if (px > b.x1 && px < b.x2 && py > b.y1 && py < b.y2) {
      body = i;
    }
    if (!LabelAtItsAnchor(l)) {
      const float da = Distance(px, py, PLOFX(l.AnchorX, frame), PLOFY(l.AnchorY, frame));
      if (da < best) {
        best = da;
        near = i;
        nearMode = 0;
        nearAnchor = true;
      }
    }
  }
  if (near != 0) {
    tolerance = best;
    label = near;
    handle = nearMode;
    anchorPicked = nearAnchor;
    frameCopy = frame;
  } else if (body != 0) {
    label = body;
    handle = 0;
    anchorPicked = false;
    frameCopy = frame;
  }
}

float LabelTextMinimum(const GraphFrame& frame) {
  // As tall as the taller numbers of the two axes.
  return std::max(AxisNumberTextHeight(frame, true), AxisNumberTextHeight(frame, false));
}

void SizeLabelTo(LabelRecord& l, int32_t handle, float gx, float gy, const GraphFrame& frame) {
  // The edge follows the pointer: the box spans the centre -/+ half its
  // size (a factor's square root on a log axis).
  auto size = [](bool log, float g, float centre) {
    if (log) {
      const float r = std::fabs(g / centre);
      return r * r;
    }
    return 2.0f * std::fabs(g - centre);
  };
  const bool sizeX = handle == 1 || handle == -1 || handle == 2;
  const bool sizeY = handle == 1 || handle == -1 || handle == -2;
  if (sizeX) l.LabelSizeX = size(frame.XLog, gx, l.LabelX);
  if (sizeY) l.LabelSizeY = size(frame.YLog, gy, l.LabelY);
  // Never smaller than its text at a legible height.
  const float text = LabelTextMinimum(frame);
  const float wMin = (kCharWidth * TextUnits(l.LabelText) + kBoxPad) * text, hMin = kBoxHeight * text;
  const LabelBox b = PlottedBox(l, frame);
  if (!b.valid) return;
  if (b.Width() < wMin) l.LabelSizeX = SizeOfInches(wMin, frame.XLog, frame.XDivLength, frame.XScale);
  if (b.Height() < hMin) l.LabelSizeY = SizeOfInches(hMin, frame.YLog, frame.YDivLength, frame.YScale);
}

int32_t PlaceSuiteLabels(std::span<const SuiteLabel> labels, int32_t corner, const GraphFrame& frame,
                         std::span<const PlottedCurve> curves, int32_t* cornerTaken) {
  LabelStoreRecord& store = LabelStore();
  store.LabelCount = 0;
  if (cornerTaken) *cornerTaken = corner;
  if (labels.empty()) return 0;
  const std::vector<Layout> layouts = SuiteLayouts(labels, frame);
  // The corner and size whose boxes lie over the fewest segments of the
  // curves; on a tie the larger text, then the corner asked for.
  std::vector<int32_t> corners{corner};
  if (!curves.empty())
    for (int32_t c = 1; c <= 4; ++c)
      if (c != corner) corners.push_back(c);
  const Layout* chosen = &layouts.back();
  std::vector<LabelBox> boxes;
  size_t fewest = SIZE_MAX;
  for (const Layout& layout : layouts)
    for (const int32_t c : corners) {
      std::vector<LabelBox> b = SuiteBoxes(layout, c, frame);
      const size_t n = SegmentsUnder(b, curves);
      if (n < fewest) {
        fewest = n;
        chosen = &layout;
        boxes = std::move(b);
        if (cornerTaken) *cornerTaken = c;
      }
    }
  for (size_t j = 0; j < chosen->placed; ++j) {
    const LabelBox& b = boxes[j];
    LabelRecord l;
    l.LabelType = DisplaySettings().LabelType;
    l.LabelMember = labels[j].member;
    l.LabelOwner = DisplaySettings().LabelPageOwner;
    l.LabelColour = labels[j].colour;
    l.LabelX = l.AnchorX = XOFPL(b.cx + frame.OriginX, frame);
    l.LabelY = l.AnchorY = YOFPL(b.cy + frame.OriginY, frame);
    l.LabelSizeX = SizeOfInches(b.Width(), frame.XLog, frame.XDivLength, frame.XScale);
    l.LabelSizeY = SizeOfInches(b.Height(), frame.YLog, frame.YDivLength, frame.YScale);
    l.LabelText = labels[j].text;
    l.LabelText.resize(kLabelTextLength, ' ');
    store.Labels[static_cast<size_t>(store.LabelCount++)] = l;
  }
  return static_cast<int32_t>(labels.size() - chosen->placed);
}

void KeepLabelSizesOnPage(int32_t owner, const GraphFrame& before, const GraphFrame& after) {
  LabelStoreRecord& s = LabelStore();
  for (int32_t i = 1; i <= s.LabelCount; ++i) {
    LabelRecord& l = s.Slot(i);
    if (l.LabelOwner != owner) continue;
    const LabelBox b = PlottedBox(l, before);
    if (!b.valid) continue;
    const float sx = SizeOfInches(b.Width(), after.XLog, after.XDivLength, after.XScale);
    const float sy = SizeOfInches(b.Height(), after.YLog, after.YDivLength, after.YScale);
    if (std::isfinite(sx) && sx > 0.0f) l.LabelSizeX = sx;
    if (std::isfinite(sy) && sy > 0.0f) l.LabelSizeY = sy;
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
