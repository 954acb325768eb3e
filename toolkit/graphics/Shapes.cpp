#include "toolkit/graphics/Shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Polygons.h"

namespace {

constexpr float kIntMaxF = 2147483647.0f;
constexpr int32_t kMaxActiveEdges = 100;

enum class Kind { Trapezium, Triangle, Polygon };

struct Shape {
  Shape(Kind k, int32_t b) : kind(k), base(b) {}
  Kind kind;
  int32_t base;                 // odd shape code: 7, 11 or 15
  int32_t qualifier = 1;        // begin bracket of the hardcopy fill
  std::vector<float> x, y;      // corners, page units
  float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  // Trapezium lines parallel to its slanted sides (angle 1 or 2, equal widths).
  bool parallel = false;
  int32_t dir = 1;
};

void Bounds(Shape& s) {
  s.xmin = *std::min_element(s.x.begin(), s.x.end());
  s.xmax = *std::max_element(s.x.begin(), s.x.end());
  s.ymin = *std::min_element(s.y.begin(), s.y.end());
  s.ymax = *std::max_element(s.y.begin(), s.y.end());
}

// Narrows a run of lines at first, first + step, ... up to end to those
// that can cross low..high (a step's margin kept each side): the run starts
// at the first such line of the same grid and ends after the last. False
// when none can, or when the positions are too large for a step to move
// them. Shapes inside the viewport keep their run as it is.
bool VisibleLines(float& first, float& end, float step, float low, float high) {
  const double lo = static_cast<double>(low) - step, hi = static_cast<double>(high) + step;
  if (static_cast<double>(first) < lo) {
    const double skip = std::ceil((lo - first) / step);
    first = static_cast<float>(first + skip * step);
  }
  end = std::min(end, static_cast<float>(hi));
  if (!(first <= end)) return false;
  // From here the run is within the viewport's reach: a step always moves.
  return first + step > first && end + step > end;
}

bool OutsideViewport(const Shape& s) {
  const GraphicsStateRecord& g = GraphicsState();
  return s.ymin > g.ViewportTop || s.ymax < g.ViewportBottom || s.xmin > g.ViewportRight ||
         s.xmax < g.ViewportLeft;
}

int32_t RouteClass(int32_t pass) {
  return pass == 1 ? GraphicsState().ScreenColourCount : DriverParams().DeviceColourCount;
}

// Scan lines across the shape: horizontal lines (vertical=false) at
// positions from `first` by `step` up to the shape's end; each pair of
// boundary crossings becomes one segment. False when too many edges cross
// one line.
bool ScanLines(const Shape& s, bool vertical, float first, float step, float offset) {
  // Convex shapes hatch only where they have area; polygon runs of zero
  // length are drawn (a thin stem still shows).
  const bool needArea = s.kind != Kind::Polygon;
  const size_t n = s.x.size();
  const std::vector<float>& a = vertical ? s.y : s.x;  // along the line
  const std::vector<float>& b = vertical ? s.x : s.y;  // across the lines
  struct Edge { float lo, hi, a_lo, slope; };
  std::vector<Edge> edges;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    if (b[i] == b[j]) continue;
    const bool up = b[i] < b[j];
    const size_t l = up ? i : j, h = up ? j : i;
    edges.push_back({b[l], b[h], a[l], (a[h] - a[l]) / (b[h] - b[l])});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& p, const Edge& q) { return p.lo < q.lo; });
  if (!(step > 0.0f)) return true;
  // Only lines that can show are walked: those across the viewport.
  const GraphicsStateRecord& g = GraphicsState();
  float pos = first, end = vertical ? s.xmax : s.ymax;
  if (!VisibleLines(pos, end, step, vertical ? g.ViewportLeft : g.ViewportBottom,
                    vertical ? g.ViewportRight : g.ViewportTop))
    return true;
  std::vector<float> cross;
  for (; pos <= end; pos += step) {
    cross.clear();
    for (const Edge& e : edges) {
      if (e.lo > pos) break;
      if (pos < e.hi) cross.push_back(e.a_lo + (pos - e.lo) * e.slope);
    }
    if (static_cast<int32_t>(cross.size()) >= kMaxActiveEdges) return false;
    if (cross.size() % 2 != 0) continue;
    std::sort(cross.begin(), cross.end());
    for (size_t k = 0; k + 1 < cross.size(); k += 2) {
      const float from = cross[k] + offset, to = cross[k + 1] - offset;
      if (from > to || (needArea && from == to)) continue;
      if (vertical) YYSegmentPage(pos, from, pos, to);
      else YYSegmentPage(from, pos, to, pos);
    }
  }
  return true;
}

// First grid line: one spacing above the largest multiple of the integer
// spacing at or below the shape's lowest coordinate. At coordinates so
// large that a spacing no longer changes them, the lowest coordinate.
float GridStart(float low, float step, int32_t istep) {
  const float base = std::floor(low / static_cast<float>(istep)) * static_cast<float>(istep);
  float first = base + step;
  for (int i = 0; first < low && i < 4; ++i) first += step;
  return first < low || !std::isfinite(first) ? low : first;
}

float PixelCentre(float v) {
  return static_cast<float>(TruncSaturated(v)) + (v < 0.0f ? -0.5f : 0.5f);
}

// Lines of a trapezium parallel to its slanted sides.
void ParallelLines(const Shape& s, float step, int32_t istep, float phase) {
  if (!(step > 0.0f)) return;
  const GraphicsStateRecord& g = GraphicsState();
  if (s.dir == 1) {
    // From the left side to the right side, parallel to corner 4 -> 3; a
    // line from y shows only when y .. y + dy meets the viewport.
    const float dy = s.y[2] - s.y[3];
    const float x1 = s.x[0], x2 = s.x[1];
    float y = GridStart(s.y[0], step, istep) + phase, end = s.y[3];
    if (!VisibleLines(y, end, step, g.ViewportBottom - std::max(dy, 0.0f), g.ViewportTop - std::min(dy, 0.0f))) return;
    for (; y <= end; y += step) YYSegmentPage(x1, y, x2, y + dy);
  } else {
    // From the bottom side to the top side, parallel to corner 2 -> 3.
    const float dx = s.x[2] - s.x[1];
    const float y1 = s.y[0], y2 = s.y[2];
    float x = GridStart(s.x[0], step, istep) + phase, end = s.x[1];
    if (!VisibleLines(x, end, step, g.ViewportLeft - std::max(dx, 0.0f), g.ViewportRight - std::min(dx, 0.0f))) return;
    for (; x <= end; x += step) YYSegmentPage(x, y1, x + dx, y2);
  }
}

// One set of hatch lines of a pass; false on error 49.
bool HatchSet(const Shape& s, int32_t pass, int32_t style, int32_t angle,
              const HatchSpacing& sp, float phase) {
  const bool grid = s.kind != Kind::Polygon;
  auto first = [&](bool vertical) {
    const float low = vertical ? s.xmin : s.ymin;
    const float step = vertical ? sp.across_v : sp.across_h;
    if (grid) return GridStart(low, step, vertical ? sp.int_v : sp.int_h) + phase;
    return (pass == 1 ? PixelCentre(low) : low) + phase;
  };
  const bool parallel = s.kind == Kind::Trapezium && s.parallel && (angle == 1 || angle == 2);
  bool horizontal = style == 2 || angle == 3 || (!parallel && (angle == 1 || angle == 2));
  bool vertical = style == 2 || angle == 4;
  if (parallel) ParallelLines(s, sp.across_h, sp.int_h, phase);
  if (horizontal && !ScanLines(s, false, first(false), sp.across_h, sp.end_offset)) return false;
  if (vertical && !ScanLines(s, true, first(true), sp.across_v, sp.end_offset)) return false;
  return true;
}

struct SavedColours {
  int32_t pi, pr, pd, ci, cr, cd;
};

// Switches the route's drawing colour to the previous colour for the
// second set of a pattern fill; false when the device cannot show it.
bool YYPatternColourSwitch(int32_t pass, SavedColours& saved) {
  GraphicsStateRecord& g = GraphicsState();
  saved = {g.PreviousColourIndex, g.PreviousColourRgb, g.PreviousDeviceColour,
           g.ColourIndex,         g.ColourRgb,         g.DeviceColour};
  const int32_t cls = RouteClass(pass);
  if (cls == 1) return false;
  if (cls == 2 && g.ColourIndex != 0) YYColourRgbSet(0, 0, 0, pass);
  else YYColourRgbSet(g.PreviousColourIndex, g.PreviousColourRgb, g.PreviousDeviceColour, pass);
  return true;
}

void RestoreColours(int32_t pass, const SavedColours& s) {
  GraphicsStateRecord& g = GraphicsState();
  g.PreviousColourIndex = s.pi;
  g.PreviousColourRgb = s.pr;
  g.PreviousDeviceColour = s.pd;
  g.ColourIndex = s.ci;
  g.ColourRgb = s.cr;
  g.DeviceColour = s.cd;
  if (pass == 1) YYGrScreenOp(kOpColour);
  else YYGrHardcopyOp(kOpColour);
}

void Outline(const Shape& s) {
  const size_t n = s.x.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    YYSegmentPage(s.x[i], s.y[i], s.x[j], s.y[j]);
  }
}

// The frame that every shape shares. False when error 49 ended the fill.
bool Frame(Shape& s) {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  Bounds(s);
  if (OutsideViewport(s)) return true;
  const int32_t fillStyle = g.FillStyle;
  int32_t style = fillStyle, angle = g.HatchAngle;
  const int32_t density = g.HatchDensity;
  const bool solid = fillStyle == 3 || fillStyle == 4;
  if (solid) {
    int32_t code = s.base + fillStyle - 3;
    if (fillStyle == 3) code = YYSolidIfSameColour(s.base + 1, code);
    YYGrScreenOp(code);
    if (g.SoftFillScreen == 0 && g.HardcopyActive < 1) return true;
    style = 1;
    angle = 3;
  }
  const int32_t hardcopy = g.HardcopyActive;
  if (hardcopy >= 1) {
    p.OpQualifier = s.qualifier;
    YYGrHardcopyOp(s.base);
  }
  bool ok = true;
  for (int32_t pass = 1; pass <= 2 && ok; ++pass) {
    int32_t& request = pass == 1 ? g.SoftFillScreen : g.HatchFillMarker;
    if (pass == 1 && !g.ScreenOutput) continue;
    if (pass == 2 && hardcopy < 1) continue;
    if (solid && request == 0) continue;
    const int32_t savedScreen = g.ScreenOutput;
    if (pass == 1) g.HardcopyActive = 0;
    else g.ScreenOutput = 0;
    const bool pattern = solid && fillStyle == 3 && request == 2;
    if (g.FillOutline && fillStyle < 3) Outline(s);
    if (style == 1 || style == 2) {
      const HatchSpacing sp = YYHatchSpacing(pass, solid ? (pattern ? 2 : 1) : 0, density);
      ok = HatchSet(s, pass, style, angle, sp, 0.0f);
      SavedColours saved{};
      if (ok && pattern && YYPatternColourSwitch(pass, saved)) {
        ok = HatchSet(s, pass, style, angle, sp, 0.5f * sp.across_h);
        RestoreColours(pass, saved);
      }
    }
    request = 0;
    g.HardcopyActive = hardcopy;
    g.ScreenOutput = savedScreen;
  }
  if (!ok) YYERRREP(49, "YYPLYGON");
  if (hardcopy >= 1) {
    p.OpQualifier = -1;
    YYGrHardcopyOp(s.base);
  }
  return ok;
}

void SlotPoint(int slot, float x, float y) {
  DriverParamsRecord& p = DriverParams();
  p.PointX[slot] = x;
  p.PointY[slot] = y;
  p.PixelX[slot] = TruncSaturated(x);
  p.PixelY[slot] = TruncSaturated(y);
}

}  // namespace

void YYSwapReal(float& a, float& b) { std::swap(a, b); }

float YYEdgeXAtY(float x1, float y1, float x2, float y2, float y) {
  if (y1 == y2) return kIntMaxF;
  const float r = x1 + (y - y1) * (x2 - x1) / (y2 - y1);
  return std::fabs(r) > kIntMaxF || std::isnan(r) ? kIntMaxF : r;
}

float YYEdgeYAtX(float x1, float y1, float x2, float y2, float x) {
  return YYEdgeXAtY(y1, x1, y2, x2, x);
}

int32_t YYSolidIfSameColour(int32_t evencode, int32_t code) {
  const GraphicsStateRecord& g = GraphicsState();
  bool same;
  if (g.DeviceColours > 2) same = g.PreviousDeviceColour == g.DeviceColour;
  else if (g.ColourMode != 2) same = g.PreviousColourIndex == g.ColourIndex;
  else same = g.PreviousColourRgb == g.ColourRgb;
  return same ? evencode : code;
}

HatchSpacing YYHatchSpacing(int32_t pass, int32_t soft, int32_t density) {
  const GraphicsStateRecord& g = GraphicsState();
  HatchSpacing s;
  const int32_t k = 1 << std::clamp(density - 1, 0, 4);
  if (pass == 1) {
    if (soft == 0) {
      s.int_h = std::max(2, g.DrawableHeight / (20 + 10 * k));
      s.int_v = std::max(2, g.DrawableWidth / (10 + 20 * k));
    } else {
      s.int_h = s.int_v = soft == 2 ? 2 : 1;
    }
    s.across_h = static_cast<float>(s.int_h);
    s.across_v = static_cast<float>(s.int_v);
    s.end_offset = g.PlotMode != 0 ? 1.0f : 0.0f;
  } else {
    if (soft == 0) {
      s.across_h = g.RotatedExtentY / static_cast<float>(20 + 10 * k);
      s.across_v = g.RotatedExtentX / static_cast<float>(10 + 20 * k);
    } else {
      s.across_h = s.across_v = DriverParams().PenWidthUnits;
    }
    // A spacing below one unit would draw without end; use at least one.
    s.across_h = std::max(s.across_h, 1.0f);
    s.across_v = std::max(s.across_v, 1.0f);
    s.int_h = std::max(1, TruncSaturated(s.across_h));
    s.int_v = std::max(1, TruncSaturated(s.across_v));
  }
  return s;
}

void IGrTrapezium(float x1, float y1, float x2, float y2, float w1, float w2, int32_t dir) {
  if ((dir == 1 && x2 < x1) || (dir == 2 && y2 < y1)) {
    YYSwapReal(x1, x2);
    YYSwapReal(y1, y2);
  }
  if (w1 <= 0.0f || w2 <= 0.0f) {
    YYERRREP(21, "IGrTrapezium");
    return;
  }
  if ((dir == 1 && x1 == x2) || (dir == 2 && y1 == y2) || (dir != 1 && dir != 2)) {
    YYERRREP(22, "IGrTrapezium");
    return;
  }
  const float ux[4] = {x1, dir == 1 ? x2 : x1 + w1, x2, dir == 1 ? x1 : x2 - w2};
  const float uy[4] = {y1, dir == 1 ? y2 - w2 : y1, y2, dir == 1 ? y1 + w1 : y2};
  Shape s(Kind::Trapezium, kOpQuad);
  s.qualifier = dir;
  s.dir = dir;
  s.parallel = w1 == w2;
  s.x.resize(4);
  s.y.resize(4);
  for (int i = 0; i < 4; ++i) {
    YYUserToPage(ux[i], uy[i], s.x[i], s.y[i]);
    SlotPoint(i + 1, s.x[i], s.y[i]);
  }
  DriverParams().OpQualifier = dir;
  Frame(s);
  IGrMoveToPoint(x1, y1);
}

void IGrTrapezium(float x1, float y1, float x2, float y2, float w, int32_t dir) {
  IGrTrapezium(x1, y1, x2, y2, w, w, dir);
}

void IGrTrapeziumRel(float dx, float dy, float w1, float w2, int32_t dir) {
  const GraphicsStateRecord& g = GraphicsState();
  IGrTrapezium(g.CurrentX, g.CurrentY, g.CurrentX + dx, g.CurrentY + dy, w1, w2, dir);
}

void IGrTrapeziumRel(float dx, float dy, float w, int32_t dir) {
  IGrTrapeziumRel(dx, dy, w, w, dir);
}

void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3) {
  if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3)) {
    if (GraphicsState().FillOutline) YYERRREP(22, "IGrTriangle");
    return;
  }
  Shape s(Kind::Triangle, kOpTriangle);
  s.x.resize(3);
  s.y.resize(3);
  YYUserToPage(x1, y1, s.x[0], s.y[0]);
  YYUserToPage(x2, y2, s.x[1], s.y[1]);
  YYUserToPage(x3, y3, s.x[2], s.y[2]);
  int order[3] = {0, 1, 2};
  std::stable_sort(order, order + 3, [&](int a, int b) { return s.y[a] < s.y[b]; });
  const std::vector<float> px = s.x, py = s.y;
  for (int i = 0; i < 3; ++i) {
    s.x[i] = px[order[i]];
    s.y[i] = py[order[i]];
    SlotPoint(i + 1, s.x[i], s.y[i]);
  }
  Frame(s);
  IGrMoveToPoint(x1, y1);
}

void IGrTriangleRel(float dx2, float dy2, float dx3, float dy3) {
  const GraphicsStateRecord& g = GraphicsState();
  const float x = g.CurrentX, y = g.CurrentY;
  IGrTriangle(x, y, x + dx2, y + dy2, x + dx3, y + dy3);
}

namespace {
void PolygonOutline(std::span<const float> x, std::span<const float> y, int32_t n) {
  IGrMoveToPoint(x[0], y[0]);
  for (int32_t i = 1; i < n; ++i) IGrLineToPoint(x[i], y[i]);
  if (x[n - 1] != x[0] || y[n - 1] != y[0]) IGrLineToPoint(x[0], y[0]);
}
}  // namespace

void IGrPolygonByTriangles(std::span<const float> x, std::span<const float> y, int32_t n) {
  GraphicsStateRecord& g = GraphicsState();
  n = std::min<int32_t>(n, static_cast<int32_t>(std::min(x.size(), y.size())));
  if (n <= 0) return;
  if (n <= 2) {
    IGrMoveToPoint(x[0], y[0]);
    return;
  }
  if (g.FillStyle == 0) {
    if (g.FillOutline) PolygonOutline(x, y, n);
  } else {
    std::vector<int32_t> tri(static_cast<size_t>(3 * n - 6));
    int32_t count = 0;
    const int32_t savedError = LastErrorCode();
    YYLastErrorStore(0);
    YYPolygonDecompose(x, y, n, tri, count);
    // A polygon whose borders cross is refused whole.
    if (LastErrorCode() == 28) count = 0;
    else YYLastErrorStore(savedError);
    const int32_t outline = g.FillOutline;
    g.FillOutline = 0;
    for (int32_t t = 0; t < count; ++t) {
      const int32_t a = tri[3 * t] - 1, b = tri[3 * t + 1] - 1, c = tri[3 * t + 2] - 1;
      IGrTriangle(x[a], y[a], x[b], y[b], x[c], y[c]);
    }
    g.FillOutline = outline;
    if (g.FillStyle < 3 && g.FillOutline && count > 0) PolygonOutline(x, y, n);
  }
  IGrMoveToPoint(x[0], y[0]);
}

void YYPLYGON(std::span<const float> x, std::span<const float> y, int32_t n, int32_t pageflag) {
  n = std::min<int32_t>(n, static_cast<int32_t>(std::min(x.size(), y.size())));
  if (n < 2) return;
  if (x[n - 1] == x[0] && y[n - 1] == y[0]) --n;
  // Fewer than three corners enclose nothing.
  if (n < 3) return;
  DriverParamsRecord& p = DriverParams();
  Shape s(Kind::Polygon, kOpPolygon);
  s.x.resize(static_cast<size_t>(n));
  s.y.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    if (pageflag) {
      s.x[i] = x[i];
      s.y[i] = y[i];
    } else {
      YYUserToPage(x[i], y[i], s.x[i], s.y[i]);
    }
  }
  p.PointListX = s.x;
  p.PointListY = s.y;
  Bounds(s);
  p.OpCount = n;
  p.PixelX[1] = TruncSaturated(s.x[0]);
  p.PixelY[1] = TruncSaturated(s.y[0]);
  p.PixelX[2] = TruncSaturated(s.xmin);
  p.PixelY[2] = TruncSaturated(s.ymin);
  p.PixelX[3] = TruncSaturated(s.xmax);
  p.PixelY[3] = TruncSaturated(s.ymax);
  Frame(s);
  p.PointListX.clear();
  p.PointListY.clear();
}
