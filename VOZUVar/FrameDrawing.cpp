// The graph frame drawn: border, ticks and numbered axes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/Strings.h"

namespace {

// How far lines and numbers reach while a frame is drawn: loaded from the
// frame by GNGRID, widened by the axis routines, written back at the end.
struct Extents {
  float minX = 0.0f, maxX = 0.0f, minY = 0.0f;
};
Extents gExtent;

// The record the logarithmic horizontal axis hands to the pen.
GraphFrame gScratch;

void Line(float x1, float y1, float x2, float y2, GraphFrame& frame) {
  PLOTXY(x1, y1, 3, frame);
  PLOTXY(x2, y2, 2, frame);
}

// A frame line, drawn a second time beside itself on large frames.
void FrameLine(float x1, float y1, float x2, float y2, float dx, float dy, bool single,
               GraphFrame& frame) {
  Line(x1, y1, x2, y2, frame);
  if (!single) Line(x1 + dx, y1 + dy, x2 + dx, y2 + dy, frame);
}

std::string_view View(const std::array<char, 20>& text, int32_t n) {
  return std::string_view(text.data(), static_cast<size_t>(ClampCount(n, text.size())));
}

// The label of a linear-axis tick: value, decimals by JSIG (one more where
// the steps are small against the start), trailing zeros and point dropped,
// and optionally small values in thousandths with "m".
int32_t LinearLabel(int64_t k, float vstart, float step, bool geometric, bool milliAllowed,
                    std::array<char, 20>& text) {
  float v = geometric ? vstart * std::pow(step, static_cast<float>(k))
                      : vstart + static_cast<float>(k) * step;
  int32_t d = JSIG(v);
  if (!geometric && vstart != 0.0f && std::fabs(step / vstart) < 100.0f) d += 1;
  d = std::max(d, 0);
  const bool milli = milliAllowed && std::fabs(v) > 0.0f && std::fabs(v) < 0.01f && !LNLYEQ(v, 0.0f);
  if (milli) v *= 1000.0f;
  MAKNUM(v, text, 20, d);
  int32_t c = d;
  NTRAIL(text, c, '0');
  NTRAIL(text, c, '.');
  if (milli && c < 20) text[static_cast<size_t>(c++)] = 'm';
  return c;
}

int32_t Sign(float v) { return (v > 0.0f) - (v < 0.0f); }

}  // namespace

void GNGRID(GraphFrame& f) {
  const bool yboth = f.YDivisions < 0;
  const bool xlines = f.XDivisions > 0;
  const int32_t nx = f.XDivisions == INT32_MIN ? INT32_MAX : std::abs(f.XDivisions);
  const int32_t ny = f.YDivisions == INT32_MIN ? INT32_MAX : std::abs(f.YDivisions);
  f.XDivisions = nx;
  f.YDivisions = ny;
  const float W = std::fabs(f.XDivLength) * static_cast<float>(nx);
  const float H = std::fabs(f.YDivLength) * static_cast<float>(ny);
  if (std::isnan(W) || std::isnan(H)) return;
  const bool single = (H <= 7.0f && W <= 12.0f) || f.SingleFrameLines;
  const float x0 = f.XDivLength < 0.0f ? static_cast<float>(nx) * f.XDivLength : 0.0f;
  const float y0 = f.YDivLength < 0.0f ? static_cast<float>(ny) * f.YDivLength : 0.0f;
  if (!(W * H > 0.0f)) return;

  float hn = 0.035f * std::sqrt(W * H);
  if (f.LimitNumberHeight && hn > f.MaxNumberHeight) hn = f.MaxNumberHeight;
  if (f.NumberBottom || f.NumberTop) hn = std::min(hn, std::fabs(0.2f * f.XDivLength));
  hn = std::min(hn, std::fabs(0.2f * f.YDivLength));
  if (hn < 0.1f) hn = 0.12f;

  gExtent = {f.ExtentMinX, f.ExtentMaxX, f.ExtentMinY};

  // Vertical lines: left border, inward ticks on the top edge, right border.
  const float dxLength = std::fabs(f.XDivLength);
  for (int64_t i = 1; i <= int64_t{nx} + 1; ++i) {
    const float X = x0 + static_cast<float>(i - 1) * dxLength;
    if (i == 1) FrameLine(X, y0, X, y0 + H, 0.01f, 0.0f, single, f);
    else if (i <= nx) FrameLine(X, y0 + H - hn, X, y0 + H, 0.01f, 0.0f, single, f);
    else FrameLine(X, y0 + H, X, y0, 0.01f, 0.0f, single, f);
    gExtent.minX = std::min(gExtent.minX, X);
    gExtent.maxX = std::max(gExtent.maxX, X);
  }
  // Horizontal lines: bottom border, inward ticks on the right edge, top border.
  if (xlines) {
    const float dyLength = std::fabs(f.YDivLength);
    for (int64_t j = 1; j <= int64_t{ny} + 1; ++j) {
      const float Y = y0 + static_cast<float>(j - 1) * dyLength;
      if (j == 1) FrameLine(x0, Y, x0 + W, Y, 0.0f, 0.01f, single, f);
      else if (j <= ny) {
        if (!yboth) FrameLine(x0 + W - hn, Y, x0 + W, Y, 0.0f, 0.01f, single, f);
      } else {
        FrameLine(x0 + W, Y, x0, Y, 0.0f, 0.01f, single, f);
      }
    }
  }

  const float xFar = static_cast<float>(nx) * f.XDivLength;
  const float yFar = static_cast<float>(ny) * f.YDivLength;
  auto horizontal = [&](float y, float T) {
    if (f.XStep == 0.0f) LGHAX(y, 0.0f, T, f.XDivLength, hn, f.XExponentOrMinor, nx);
    else LNHAX(0.0f, y, T, f.XStart, f.XStep, f.XDivLength, hn, f.XExponentOrMinor, nx, f);
  };
  auto vertical = [&](float x, float T) {
    if (f.YStep == 0.0f) LGVAX(x, 0.0f, T, f.YDivLength, hn, f.YExponentOrMinor, ny, f);
    else LNVAX(x, 0.0f, T, f.YStart, f.YStep, f.YDivLength, hn, f.YExponentOrMinor, ny, f);
  };
  if (f.NumberBottom) horizontal(y0, hn);
  if (f.NumberTop) horizontal(f.YDivLength > 0.0f ? yFar : 0.0f, -hn);
  if (f.NumberLeft) {
    vertical(f.XDivLength > 0.0f ? 0.0f : xFar, hn);
    if (yboth) vertical(f.XDivLength > 0.0f ? xFar : 0.0f, -hn);
  }
  if (f.NumberRight) vertical(f.XDivLength > 0.0f ? xFar : 0.0f, -hn);

  f.ExtentMinX = gExtent.minX;
  f.ExtentMaxX = gExtent.maxX;
  f.ExtentMinY = gExtent.minY;
}

void LNHAX(float x, float y, float T, float vstart, float step, float len, float hn, int32_t E,
           int32_t n, GraphFrame& frame) {
  gExtent.minY = 1.0e30f;
  const bool geometric = E <= 0;
  const bool many = geometric && n > 9;
  std::array<char, 20> text{};
  float wmax = 0.0f;
  int32_t stride = 1;
  for (int pass = 1; pass <= 2; ++pass) {
    int64_t next = 1;
    bool alternate = true;
    bool stopped = false;
    for (int64_t k = 0; k <= n; ++k) {
      const float X = x + static_cast<float>(k) * len;
      Line(X, y, X, y - T, frame);
      const int32_t c = LinearLabel(k, vstart, step, geometric, true, text);
      const float xl = X - static_cast<float>(c) * 0.43f * hn;
      // Below a bottom axis; above a top axis by the same rule mirrored.
      const float yl = T >= 0.0f ? y - T - 2.7f * hn : y - T + 1.5f * hn;
      gExtent.minY = std::min(gExtent.minY, yl);
      if (pass == 1) {
        wmax = std::max(wmax, static_cast<float>(c) * 1.5f * hn);
        continue;
      }
      const int64_t i = k + 1;
      if (i == next && !stopped) {
        if (many && !alternate) {
          stopped = true;
        } else {
          SYMBOL(xl, yl, 1.5f * hn, View(text, c), 0.0f, c);
          next += stride;
        }
      }
      alternate = !alternate;
      if (k != n && !geometric) {
        for (int32_t j = 1; j <= E; ++j) {
          const float Xj = X + static_cast<float>(j) * len / static_cast<float>(E);
          Line(Xj, y, Xj, y - T / 2.0f, frame);
        }
      }
    }
    if (pass == 1) {
      stride = many ? 2 : 1;
      if (wmax > len) {
        stride = SaturateToInt32(int64_t{TruncSaturated(wmax / len)} + 1);
        if (many) stride = std::max(stride, 2);
      }
    }
  }
}

void LNVAX(float x, float y, float T, float vstart, float step, float len, float hn, int32_t E,
           int32_t n, GraphFrame& frame) {
  const bool geometric = E <= 0;
  const float inward = 0.9375f * hn * static_cast<float>(Sign(len));
  std::array<char, 20> text{};
  for (int64_t k = 0; k <= n; ++k) {
    const float Y = y + static_cast<float>(k) * len;
    Line(x, Y, x - T, Y, frame);
    if (k != n && !geometric) {
      for (int32_t j = 1; j <= E; ++j) {
        const float Yj = Y + static_cast<float>(j) * len / static_cast<float>(E);
        Line(x, Yj, x - T / 2.0f, Yj, frame);
      }
    }
    const int32_t c = LinearLabel(k, vstart, step, geometric, false, text);
    float yl = Y;
    if (k == 0) yl += inward;
    if (k == n) yl -= inward;
    const float w = STRINGWIDTH(1.5f * hn, View(text, c), 0.0f, c);
    if (T > 0.0f) {
      const float xl = x - T - 0.1f * hn;
      gExtent.minX = std::min(gExtent.minX, xl - w);
      SYMBOR(xl, yl, 1.5f * hn, View(text, c), 0.0f, c);
    } else {
      const float xl = x - T + 0.1f * hn;
      gExtent.maxX = std::max(gExtent.maxX, xl + w);
      SYMBOL(xl, yl - 0.75f * hn, 1.5f * hn, View(text, c), 0.0f, c);
    }
  }
}

void LGHAX(float y, float x, float T, float len, float hn, int32_t e0, int32_t n) {
  const int64_t first = len > 0.0f ? 1 : int64_t{n} + 1;
  const int64_t last = len > 0.0f ? int64_t{n} + 1 : 1;
  const bool powers = static_cast<int64_t>(e0) + n > 4 || e0 < -3;
  std::array<char, 20> text{};
  for (int64_t index = 1; index <= int64_t{n} + 1; ++index) {
    const int64_t e = e0 + index - 1;
    const float X = x + static_cast<float>(index - 1) * len;
    Line(X, y, X, y - T, gScratch);
    if (index <= n) {
      for (int32_t j = 2; j <= 9; ++j) {
        const float Xj = X + std::log10(static_cast<float>(j)) * len;
        Line(Xj, y, Xj, y - T / 2.0f, gScratch);
      }
    }
    if (e >= -3 && e <= 3) {
      const float v = std::pow(10.0f, static_cast<float>(e));
      int32_t d = e < 0 ? -e : JSIG(v);
      MAKNUM(v, text, 20, d);
      const float c = static_cast<float>(d);
      float yl;
      if (T > 0.0f) {
        const float f = powers ? 2.6f : 1.2f;
        yl = y - T / 2.0f - hn - f * hn;
        gExtent.minY = std::min(gExtent.minY, yl - 0.65f * hn);
      } else {
        yl = y - T / 2.0f + 0.4f * hn;
      }
      float xl = X;
      if (index == first) xl = X + c * 0.43f * hn;
      else if (index == last) xl = X - c * 0.43f * hn;
      const int32_t L = INDSTR(std::string_view(text.data(), text.size()), 20);
      CENTSY(xl, yl, 1.3f * hn, View(text, L), 0.0f, L);
    } else {
      const float ye = T > 0.0f ? y - T / 2.0f - 2.0f * hn : y - T / 2.0f + hn;
      float xe = X;
      if (index == first) xe += 3.1f * hn;
      else if (index == last) xe -= 0.6f * hn;
      NUMBER(xe, ye, hn, static_cast<float>(e), 0.0f, -1);
      NUMBER(xe - 2.0f * hn, ye - 2.1f * hn, 1.5f * hn, 10.0f, 0.0f, -1);
      gExtent.minY = std::min(gExtent.minY, ye - 2.1f * hn);
    }
  }
}

void LGVAX(float x, float y, float T, float len, float hn, int32_t e0, int32_t n, GraphFrame& frame) {
  const float sgn = static_cast<float>(Sign(len));
  const int64_t bottom = len > 0.0f ? 1 : int64_t{n} + 1;  // index of the lowest label on the page
  const int64_t top = len > 0.0f ? int64_t{n} + 1 : 1;
  std::array<char, 20> text{};
  for (int64_t index = 1; index <= int64_t{n} + 1; ++index) {
    const int64_t e = e0 + index - 1;
    const float Y = y + static_cast<float>(index - 1) * len;
    Line(x, Y, x - T, Y, frame);
    if (index <= n) {
      for (int32_t j = 2; j <= 9; ++j) {
        const float Yj = Y + std::log10(static_cast<float>(j)) * len;
        Line(x, Yj, x - T / 2.0f, Yj, frame);
      }
    }
    if (e >= -3 && e <= 3) {
      const float v = std::pow(10.0f, static_cast<float>(e));
      int32_t d = e < 0 ? -e : JSIG(v);
      MAKNUM(v, text, 20, d);
      float yl = Y;
      if (index == 1) yl += 0.9375f * hn * sgn;
      if (index == int64_t{n} + 1) yl -= 0.9375f * hn * sgn;
      const float w = STRINGWIDTH(1.3f * hn, View(text, d), 0.0f, d);
      if (T > 0.0f) {
        const float xl = x - T - 0.1f * hn;
        gExtent.minX = std::min(gExtent.minX, xl - w);
        SYMBOR(xl, yl, 1.3f * hn, View(text, d), 0.0f, d);
      } else {
        const float xl = x - T + hn;
        gExtent.maxX = std::max(gExtent.maxX, xl + w);
        SYMBOL(xl, yl, 1.3f * hn, View(text, d), 0.0f, d);
      }
    } else {
      float xe;
      if (T > 0.0f) {
        xe = x - T - hn;
        if (e >= 10 || e < 0) xe -= 0.25f * hn;
      } else {
        xe = x - T + 1.5f * hn;
        if (xe + 0.43f * hn > gExtent.maxX) gExtent.maxX = xe + hn;
      }
      float ye = Y;
      if (index == bottom) ye += 1.1f * hn;
      if (index == top) ye -= 0.47f * hn;
      gExtent.minX = std::min(gExtent.minX, xe);
      NUMBER(xe, ye, 0.75f * hn, static_cast<float>(e), 0.0f, -1);
      NUMBER(xe - 0.9f * hn, ye - 1.1f * hn, hn, 10.0f, 0.0f, -1);
      if (T > 0.0f) gExtent.minX = std::min(gExtent.minX, xe - 0.9f * hn);
    }
  }
}
