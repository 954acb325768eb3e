// The clipping pen, the graph cursor, the point-in-graph test and the zoom
// of a frame to a box drawn with the mouse.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/Plotxy.h"

namespace {

GraphLibraryStateRecord& S() { return GraphLibraryState(); }

// Window units (0..10000, y from the top) to page inches of the 10 x 8 page.
float PageX(int32_t wx) { return 10.0f * static_cast<float>(wx) / 10000.0f; }
float PageY(int32_t wy) { return 8.0f * static_cast<float>(10000 - static_cast<int64_t>(wy)) / 10000.0f; }

// Zooms one axis to the user values v1..v2 (ordered here), keeping its
// length on the page.
struct AxisFields {
  float& divLength;
  float& start;
  float& step;
  int32_t& divisions;
  int32_t& exponentOrMinor;
  bool log;
};

void ZoomAxis(AxisFields a, float v1, float v2, bool keepDescending) {
  const float length = static_cast<float>(a.divisions) * a.divLength;
  const bool descending = a.step < 0.0f;
  if (v1 > v2) std::swap(v1, v2);
  if (a.log) {
    int32_t hi = 0;
    LOGNX(v1, v2, a.exponentOrMinor, hi);
    a.divisions = std::max(1, hi - a.exponentOrMinor);
  } else {
    LINNX(v1, v2, a.start, a.step, a.divisions, a.exponentOrMinor);
    if (keepDescending && descending) {
      a.start = a.start + static_cast<float>(a.divisions) * a.step;
      a.step = -std::fabs(a.step);
    }
  }
  a.divLength = length / static_cast<float>(a.divisions);
}

AxisFields XFields(GraphFrame& f) {
  return {f.XDivLength, f.XStart, f.XStep, f.XDivisions, f.XExponentOrMinor, f.XLog};
}
AxisFields YFields(GraphFrame& f) {
  return {f.YDivLength, f.YStart, f.YStep, f.YDivisions, f.YExponentOrMinor, f.YLog};
}

bool WithinAxis(float v, bool log, float start, float step, int32_t divisions, int32_t exponent) {
  if (log) {
    const float low = std::pow(10.0f, static_cast<float>(exponent));
    const float high = std::pow(10.0f, static_cast<float>(static_cast<int64_t>(exponent) + divisions));
    return low <= v && v <= high;
  }
  const float end = start + static_cast<float>(divisions) * step;
  if (step > 0.0f) return start <= v && v <= end;
  return end <= v && v <= start;
}

}  // namespace

void PCLIP(float xlo, float xhi, float ylo, float yhi) {
  S().ClipXLow = xlo;
  S().ClipXHigh = xhi;
  S().ClipYLow = ylo;
  S().ClipYHigh = yhi;
  S().Clipping = true;
  S().NoClipping = false;
}

void NOCLIP() {
  S().Clipping = false;
  S().NoClipping = true;
}

void PLOTCP(float x, float y, int32_t ipen, GraphFrame& frame) {
  GraphLibraryStateRecord& s = S();
  if (s.Clipping && (ipen == 2 || ipen == 3)) {
    const bool inside = s.ClipXLow <= x && x <= s.ClipXHigh && s.ClipYLow <= y && y <= s.ClipYHigh;
    if (ipen == 3) {
      if (inside) PLOTXY(x, y, 3, frame);
    } else if (inside && s.LastInside) {
      PLOTXY(x, y, 2, frame);
    } else {
      float x1 = s.LastX, y1 = s.LastY, x2 = x, y2 = y;
      bool visible = false;
      CLIPLN(x1, y1, x2, y2, s.ClipXLow, s.ClipXHigh, s.ClipYLow, s.ClipYHigh, visible);
      if (visible) {
        if (!s.LastInside) PLOTXY(x1, y1, 3, frame);
        PLOTXY(x2, y2, 2, frame);
      }
    }
    s.LastX = x;
    s.LastY = y;
    s.LastInside = inside;
    return;
  }
  if (ipen == 1) s.Clipping = false;
  if (ipen == 2 || ipen == 3) {
    s.LastX = x;
    s.LastY = y;
    s.LastInside = true;
  }
  PLOTXY(x, y, ipen, frame);
}

void CLIPLN(float& x1, float& y1, float& x2, float& y2, float xlo, float xhi, float ylo, float yhi,
            bool& visible) {
  // A segment with an end that is not a finite number has no visible part
  // that could be computed: it is not drawn.
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    visible = false;
    return;
  }
  float a1 = x1, b1 = y1, a2 = x2, b2 = y2;
  CLIP2(a1, b1, a2, b2, xlo, true, visible);
  if (visible) CLIP2(a1, b1, a2, b2, xhi, false, visible);
  if (visible) CLIP2(b1, a1, b2, a2, ylo, true, visible);
  if (visible) CLIP2(b1, a1, b2, a2, yhi, false, visible);
  if (!visible) return;
  x1 = a1;
  y1 = b1;
  x2 = a2;
  y2 = b2;
}

void CLIP2(float& p1, float& q1, float& p2, float& q2, float limit, bool islow, bool& visible) {
  visible = true;
  const bool out1 = islow ? p1 < limit : p1 >= limit;
  const bool out2 = islow ? p2 < limit : p2 >= limit;
  if (out1 && out2) {
    visible = false;
    return;
  }
  if (!out1 && !out2) return;
  const float q = q1 + (q2 - q1) * (limit - p1) / (p2 - p1);
  if (out1) {
    p1 = limit;
    q1 = q;
  } else {
    p2 = limit;
    q2 = q;
  }
}

void GRFCUR(float vx, float vy, GraphFrame& frame) {
  GraphLibraryStateRecord& s = S();
  if (s.CursorHalfWidth <= 0.0f) s.CursorHalfWidth = 0.3f;
  if (s.CursorHalfHeight <= 0.0f) s.CursorHalfHeight = 0.3f;
  const float px = PLOFX(vx, frame), py = PLOFY(vy, frame);
  const float hx = s.CursorHalfWidth, hy = s.CursorHalfHeight;
  SAVEXOR();
  XORON();
  int32_t colour = 0;
  GETPENCOLOR(colour);
  SETPENCOLOR(s.CursorColour);
  PLOTXY(px, py - hy, 3, frame);
  PLOTXY(px, py + hy, 2, frame);
  PLOTXY(px - hx, py, 3, frame);
  PLOTXY(px + hx, py, 2, frame);
  RESTOREXOR();
  SETPENCOLOR(colour);
}

void GRFCURCOL(int32_t icol) { S().CursorColour = icol; }

void GRFCURSIZE(float hx, float hy) {
  S().CursorHalfWidth = hx;
  S().CursorHalfHeight = hy;
}

bool LINGRAPH(float vx, float vy, const GraphFrame& f) {
  return WithinAxis(vx, f.XLog, f.XStart, f.XStep, f.XDivisions, f.XExponentOrMinor) &&
         WithinAxis(vy, f.YLog, f.YStart, f.YStep, f.YDivisions, f.YExponentOrMinor);
}

void LINEBACK(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2, float& vx1, float& vy1, float& vx2,
              float& vy2, const GraphFrame& frame) {
  vx1 = XOFPL(PageX(wx1), frame);
  vy1 = YOFPL(PageY(wy1), frame);
  vx2 = XOFPL(PageX(wx2), frame);
  vy2 = YOFPL(PageY(wy2), frame);
}

void ZOOMBOX(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2, GraphFrame& frame) {
  const float x1 = XOFPL(PageX(wx1), frame), x2 = XOFPL(PageX(wx2), frame);
  const float y1 = YOFPL(PageY(wy1), frame), y2 = YOFPL(PageY(wy2), frame);
  ZoomAxis(XFields(frame), x1, x2, true);
  ZoomAxis(YFields(frame), y1, y2, true);
  FINDASX(frame);
  FINDASY(frame);
}

void ZOOMBOXX(int32_t wx1, int32_t wx2, GraphFrame& frame) {
  ZoomAxis(XFields(frame), XOFPL(PageX(wx1), frame), XOFPL(PageX(wx2), frame), false);
  FINDASX(frame);
}

void ZOOMBOXZ(int32_t wy1, int32_t wy2, GraphFrame& frame) {
  ZoomAxis(YFields(frame), YOFPL(PageY(wy1), frame), YOFPL(PageY(wy2), frame), false);
  FINDASY(frame);
}
