// The graph frame drawn: border, ticks and numbered axes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
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

// How the numbers of one linear axis are written, decided once per axis so
// that neighbouring ticks never read alike: as many decimals as the step
// needs, or, where those would run long (tiny steps, huge values), the
// mantissa and a power of ten that all numbers of the axis share.
struct NumberForm {
  bool geometric = false;  // v_k = vstart * step^k, each number on its own
  bool exponent = false;   // mantissa "E" power
  int32_t decimals = 0;    // fixed decimals, or the mantissa's
  int32_t power = 0;       // the shared power of ten of the exponent form
  double zero = 0.0;       // below this a value is written 0
};

// Values this long or this fine are written with a power of ten.
constexpr double kPlainLimit = 1.0e6;
constexpr int32_t kPlainDecimals = 5;

int32_t FloorLog10(double v) { return static_cast<int32_t>(std::floor(std::log10(v))); }

// Decimals a step's mantissa (1 <= m < 10) needs, up to 3: 2.5 needs 1.
int32_t MantissaDecimals(double m) {
  for (int32_t d = 0; d < 3; ++d) {
    const double scaled = m * std::pow(10.0, d);
    if (std::fabs(scaled - std::round(scaled)) <= 1.0e-3 * scaled) return d;
  }
  return 3;
}

NumberForm LinearForm(float vstart, float step, int64_t n, bool geometric) {
  NumberForm f;
  f.geometric = geometric;
  const double s = std::fabs(static_cast<double>(step));
  if (geometric || !(s > 0.0) || !std::isfinite(s)) {
    f.geometric = true;
    return f;
  }
  const double a = vstart, b = a + static_cast<double>(n) * step;
  const double big = std::max(std::fabs(a), std::fabs(b));
  const int32_t es = FloorLog10(s);
  const int32_t dm = MantissaDecimals(s / std::pow(10.0, es));
  f.decimals = std::max(0, dm - es);
  f.zero = 1.0e-3 * s;
  if (std::isfinite(big) && big < kPlainLimit && f.decimals <= kPlainDecimals) return f;
  f.exponent = true;
  f.power = big > 0.0 && std::isfinite(big) ? FloorLog10(big) : es;
  f.decimals = std::clamp(f.power - es + dm, 0, 6);
  return f;
}

// Trailing zeros and then a trailing point dropped from text[0..c).
int32_t Trim(std::array<char, 20>& text, int32_t c) {
  if (std::find(text.begin(), text.begin() + c, '.') == text.begin() + c) return c;
  while (c > 0 && text[static_cast<size_t>(c - 1)] == '0') --c;
  if (c > 0 && text[static_cast<size_t>(c - 1)] == '.') --c;
  return c;
}

int32_t Put(std::array<char, 20>& text, const char* format, double v, int32_t d) {
  char buf[64];
  const int n = std::snprintf(buf, sizeof buf, format, d, v);
  const int32_t c = std::clamp(n, 0, static_cast<int32_t>(text.size()));
  std::fill(text.begin(), text.end(), ' ');
  std::copy(buf, buf + c, text.begin());
  return c;
}

// A number in the shared exponent form: mantissa, "E", power ("2.5E-10").
int32_t ExponentText(double v, int32_t power, int32_t decimals, std::array<char, 20>& text) {
  int32_t c = Trim(text, Put(text, "%.*f", v / std::pow(10.0, power), decimals));
  char e[16];
  const int n = std::snprintf(e, sizeof e, "E%d", power);
  for (int i = 0; i < n && c < static_cast<int32_t>(text.size()); ++i) text[static_cast<size_t>(c++)] = e[i];
  return c;
}

// The label of tick k of a linear axis; 0 characters for a value that is
// not a finite number. Small values of a horizontal axis may be written in
// thousandths with "m".
int32_t LinearLabel(int64_t k, float vstart, float step, const NumberForm& form, bool milliAllowed,
                    std::array<char, 20>& text) {
  double v = form.geometric ? static_cast<double>(vstart) * std::pow(static_cast<double>(step), static_cast<double>(k))
                            : static_cast<double>(vstart) + static_cast<double>(k) * step;
  if (!std::isfinite(v) || !std::isfinite(static_cast<float>(v))) return 0;
  if (form.geometric) {
    const double a = std::fabs(v);
    if (a >= kPlainLimit || (a > 0.0 && a < 1.0e-4)) return ExponentText(v, FloorLog10(a), 2, text);
    int32_t d = std::max(JSIG(static_cast<float>(v)), 0);
    return Trim(text, Put(text, "%.*f", v, d));
  }
  if (std::fabs(v) < form.zero) v = 0.0;
  if (form.exponent) return v == 0.0 ? Put(text, "%.*f", 0.0, 0) : ExponentText(v, form.power, form.decimals, text);
  const bool milli = milliAllowed && v != 0.0 && std::fabs(v) < 0.01 && form.decimals >= 3;
  int32_t c = Trim(text, milli ? Put(text, "%.*f", 1000.0 * v, form.decimals - 3) : Put(text, "%.*f", v, form.decimals));
  if (milli && c < 20) text[static_cast<size_t>(c++)] = 'm';
  return c;
}

// Labels on every s-th tick, so that numbers `need` inches apart in the
// direction of the axis never overlap on ticks `len` apart.
int32_t Stride(float need, float len) {
  const float spacing = std::fabs(len);
  if (!(spacing > 0.0f) || !(need > spacing)) return 1;
  return SaturateToInt32(int64_t{TruncSaturated(std::ceil(need / spacing))});
}

bool Labelled(int64_t e, int32_t stride) { return stride <= 1 || ((e % stride) + stride) % stride == 0; }

// Character width of plot text of height h, in inches.
constexpr float kCharWidth = 0.43f;

int32_t Sign(float v) { return (v > 0.0f) - (v < 0.0f); }

}  // namespace

// The smallest height hn of a frame's numbers, in inches.
constexpr float kSmallestNumberHeight = 0.15f;

float AxisNumberHeight(const GraphFrame& f) {
  const float W = std::fabs(f.XDivLength) * static_cast<float>(std::abs(static_cast<int64_t>(f.XDivisions)));
  const float H = std::fabs(f.YDivLength) * static_cast<float>(std::abs(static_cast<int64_t>(f.YDivisions)));
  float hn = 0.035f * std::sqrt(W * H);
  if (f.LimitNumberHeight && hn > f.MaxNumberHeight) hn = f.MaxNumberHeight;
  if (f.NumberBottom || f.NumberTop) hn = std::min(hn, std::fabs(0.2f * f.XDivLength));
  hn = std::min(hn, std::fabs(0.2f * f.YDivLength));
  // Smaller numbers do not read on a screen at the window's default size.
  if (!(hn >= kSmallestNumberHeight)) hn = kSmallestNumberHeight;
  return hn;
}

float AxisNumberTextHeight(const GraphFrame& f, bool xAxis) {
  return ((xAxis ? f.XLog : f.YLog) ? 1.3f : 1.5f) * AxisNumberHeight(f);
}

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

  const float hn = AxisNumberHeight(f);

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
  const NumberForm form = LinearForm(vstart, step, n, geometric);
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
      const int32_t c = LinearLabel(k, vstart, step, form, true, text);
      const float xl = X - static_cast<float>(c) * kCharWidth * hn;
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
      if (wmax > std::fabs(len)) {
        stride = SaturateToInt32(int64_t{TruncSaturated(wmax / std::fabs(len))} + 1);
        if (many) stride = std::max(stride, 2);
      }
    }
  }
}

void LNVAX(float x, float y, float T, float vstart, float step, float len, float hn, int32_t E,
           int32_t n, GraphFrame& frame) {
  const bool geometric = E <= 0;
  const float inward = 0.9375f * hn * static_cast<float>(Sign(len));
  const NumberForm form = LinearForm(vstart, step, n, geometric);
  // Numbers 1.5 hn high: closer ticks are numbered every few.
  const int32_t stride = Stride(1.8f * hn, len);
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
    if (!Labelled(k, stride)) continue;
    const int32_t c = LinearLabel(k, vstart, step, form, false, text);
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

namespace {

// The plain number of decade e (-3..3): 0.001 .. 1000; c its characters.
int32_t DecadeText(int64_t e, std::array<char, 20>& text, int32_t& c) {
  const float v = std::pow(10.0f, static_cast<float>(e));
  int32_t d = e < 0 ? static_cast<int32_t>(-e) : JSIG(v);
  MAKNUM(v, text, 20, d);
  c = d;
  return INDSTR(std::string_view(text.data(), text.size()), 20);
}

// A power of ten: the base "10" and the exponent raised beside it, both as
// high as the plain numbers (1.3 hn): a smaller exponent's strokes merge on
// a screen at the window's default size.
// (xb, yb) is the lower-left corner of the base.
constexpr float kBaseHeight = 1.3f;
constexpr float kExponentHeight = 1.3f;
float BaseWidth(float hn) { return 2.0f * kCharWidth * kBaseHeight * hn; }
float ExponentWidth(int64_t e, float hn) {
  return static_cast<float>(e < 0 ? (e <= -10 ? 3 : 2) : (e >= 10 ? 2 : 1)) * kCharWidth * kExponentHeight * hn;
}
void Power(float xb, float yb, float hn, int64_t e) {
  NUMBER(xb + BaseWidth(hn) + 0.05f * hn, yb + 0.75f * hn, kExponentHeight * hn, static_cast<float>(e), 0.0f, -1);
  NUMBER(xb, yb, kBaseHeight * hn, 10.0f, 0.0f, -1);
}

}  // namespace

void LGHAX(float y, float x, float T, float len, float hn, int32_t e0, int32_t n) {
  const int64_t first = len > 0.0f ? 1 : int64_t{n} + 1;
  const int64_t last = len > 0.0f ? int64_t{n} + 1 : 1;
  const bool powers = static_cast<int64_t>(e0) + n > 4 || e0 < -3;
  // The widest number with a little room: on crowded decades only every
  // few decades are numbered.
  const float widest = powers ? BaseWidth(hn) + ExponentWidth(-10, hn) : 5.0f * kCharWidth * 1.3f * hn;
  const int32_t stride = Stride(widest + 0.5f * hn, len);
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
    if (!Labelled(e, stride)) continue;
    float yl;  // the numbers' centre line
    if (T > 0.0f) {
      const float f = powers ? 2.6f : 1.2f;
      yl = y - T / 2.0f - hn - f * hn;
      gExtent.minY = std::min(gExtent.minY, yl - 0.65f * hn);
    } else {
      yl = y - T / 2.0f + 0.4f * hn;
    }
    if (e >= -3 && e <= 3) {
      int32_t d = 0;
      const int32_t L = DecadeText(e, text, d);
      const float c = static_cast<float>(d);
      float xl = X;
      if (index == first) xl = X + c * kCharWidth * hn;
      else if (index == last) xl = X - c * kCharWidth * hn;
      CENTSY(xl, yl, 1.3f * hn, View(text, L), 0.0f, L);
    } else {
      const float w = BaseWidth(hn) + ExponentWidth(e, hn);
      float xb = X - w / 2.0f;
      if (index == first) xb = X;
      else if (index == last) xb = X - w;
      Power(xb, yl - 0.65f * hn, hn, e);
    }
  }
}

void LGVAX(float x, float y, float T, float len, float hn, int32_t e0, int32_t n, GraphFrame& frame) {
  const float sgn = static_cast<float>(Sign(len));
  const bool powers = static_cast<int64_t>(e0) + n > 3 || e0 < -3;
  // A power is 2.05 hn high, a plain number 1.3 hn.
  const int32_t stride = Stride(powers ? 2.2f * hn : 1.6f * hn, len);
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
    if (!Labelled(e, stride)) continue;
    float yl = Y;
    if (index == 1) yl += 0.9375f * hn * sgn;
    if (index == int64_t{n} + 1) yl -= 0.9375f * hn * sgn;
    if (e >= -3 && e <= 3) {
      int32_t d = 0;
      DecadeText(e, text, d);
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
      // Right-aligned to the numbers' edge on a left axis, left-aligned on
      // a right one; the top-most power is lowered so that its exponent
      // stays beside the frame.
      const float w = BaseWidth(hn) + 0.05f * hn + ExponentWidth(e, hn);
      const float xb = T > 0.0f ? x - T - 0.1f * hn - w : x - T + hn;
      const bool topMost = (len > 0.0f && index == int64_t{n} + 1) || (len < 0.0f && index == 1);
      const bool bottomMost = (len > 0.0f && index == 1) || (len < 0.0f && index == int64_t{n} + 1);
      const float yb = Y - 0.65f * hn + (bottomMost ? 0.65f * hn : 0.0f) - (topMost ? 0.75f * hn : 0.0f);
      gExtent.minX = std::min(gExtent.minX, xb);
      gExtent.maxX = std::max(gExtent.maxX, xb + w);
      Power(xb, yb, hn, e);
    }
  }
}
