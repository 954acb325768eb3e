#include "toolkit/graphics/PresentationGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "toolkit/core/ErrorReporter.h"

namespace {

PresentationStateRecord gPg;

bool Bit(int32_t v, int b) { return ((static_cast<uint32_t>(v) >> b) & 1u) != 0; }
int32_t Logical(bool b) { return b ? -1 : 0; }

bool IsLogText(std::string_view t) {
  std::string s(t.substr(0, std::min<size_t>(3, t.size())));
  s.resize(3, ' ');
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s == "LOG";
}

// One axis of the chart's data range; from = to falls back to 0..1.
void SetAxis(float from, float to, float& f, float& t, float& range, float& lo, float& hi) {
  if (from == to) {
    YYERRREP(16, "IPgArea");
    from = 0.0f;
    to = 1.0f;
  }
  f = from;
  t = to;
  range = to - from;
  lo = std::min(from, to);
  hi = std::max(from, to);
}

int32_t Count(std::span<const int32_t> counts, size_t i) { return i < counts.size() ? counts[i] : 0; }

// A label step of 1, 2 or 5 times a power of ten that leaves at most 12
// labels along the values of a set.
int32_t LabelStepFor(int32_t values) {
  if (values <= 12) return 1;
  for (int64_t p = 1; p < (int64_t{1} << 40); p *= 10)
    for (int64_t m : {1, 2, 5, 10}) {
      const int64_t step = m * p;
      if ((values + step - 1) / step <= 12) return static_cast<int32_t>(std::min<int64_t>(step, INT32_MAX));
    }
  return 1;
}

// The per-set attributes of a scheme: colours cycle through the 14
// palette groups (scheme 1 of an unlisted type draws everything in 223),
// markers through 1..9, fills through the five fill styles.
void FillAttributes(int32_t scheme, bool black) {
  PresentationStateRecord& s = gPg;
  const size_t n = static_cast<size_t>(s.Sets);
  s.SetColour.assign(n, 223);
  s.SetMarker.assign(n, 1);
  s.SetFill.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    if (!black) s.SetColour[i] = 16 * static_cast<int32_t>((i + static_cast<size_t>(scheme)) % 14 + 1) - 1;
    s.SetMarker[i] = static_cast<int32_t>(i % 9) + 1;
    s.SetFill[i] = static_cast<int32_t>(i % 5);
  }
}

}  // namespace

PresentationStateRecord& PresentationState() { return gPg; }
void ResetPresentationState() { gPg = PresentationStateRecord{}; }

float YYLog10Safe(float x) { return x == 0.0f ? -38.0f : std::log10(std::fabs(x)); }

void IPgArea(float xfrom, float yfrom, float xto, float yto) {
  PresentationStateRecord& s = gPg;
  SetAxis(xfrom, xto, s.XFrom, s.XTo, s.XRange, s.XMin, s.XMax);
  SetAxis(yfrom, yto, s.YFrom, s.YTo, s.YRange, s.YMin, s.YMax);
  YYPgAxisTypeRefresh();
}

void IPgUnitsZ(float zmin, float zmax) {
  PresentationStateRecord& s = gPg;
  if (zmin < zmax) {
    s.ZMin = zmin;
    s.ZMax = zmax;
  } else {
    s.ZMin = 0.0f;
    s.ZMax = 1.0f;
    YYERRREP(16, "IPgUnitsZ");
  }
  s.ZRange = s.ZMax - s.ZMin;
}

void IPgUnitsPolar(float unit) {
  if (unit > 0.0f) {
    gPg.PolarUnit = unit;
  } else {
    gPg.PolarUnit = 1.0f;
    YYERRREP(16, "IPgUnitsPolar");
  }
  YYPgAxisTypeRefresh();
}

void YYPgMargins(float left, float bottom, float right, float top) {
  PresentationStateRecord& s = gPg;
  if (left >= 0.0f && left < 1.0f) s.MarginLeft = left;
  if (bottom >= 0.0f && bottom < 1.0f) s.MarginBottom = bottom;
  if (right > 0.0f && right <= 1.0f) s.MarginRight = right;
  if (top > 0.0f && top <= 1.0f) s.MarginTop = top;
}

void YYPgAxisType(std::string_view xtype, std::string_view ytype) {
  gPg.XLogRequested = Logical(IsLogText(xtype));
  gPg.YLogRequested = Logical(IsLogText(ytype));
  YYPgAxisTypeRefresh();
}

void YYPgAxisTypeRefresh() {
  PresentationStateRecord& s = gPg;
  s.XLog = Logical(s.XLogRequested != 0 && !s.Flag0 && !s.Flag6 && s.GraphType != 1);
  s.YLog = Logical(s.YLogRequested != 0 && !s.Flag0 && s.GraphType != 2);
  if (s.XLog) {
    s.XLogMin = YYLog10Safe(s.XMin);
    s.XLogMax = YYLog10Safe(s.XMax);
    s.XLogRange = s.XLogMax - s.XLogMin;
  }
  if (s.YLog) {
    s.YLogMin = YYLog10Safe(s.YMin);
    s.YLogMax = YYLog10Safe(s.YMax);
    s.YLogRange = s.YLogMax - s.YLogMin;
    s.ReferenceLog = YYLog10Safe(s.ReferenceValue);
    s.ReferenceLogShifted = s.ReferenceLog + 38.0f;
  }
}

void YYPgGraphDefine(int32_t type, int32_t sets, std::span<const int32_t> counts, int32_t options,
                     int32_t styles) {
  PresentationStateRecord& s = gPg;
  s.Sets = std::clamp(sets, 1, kPgMaxSets);
  s.ValuesPerSet = std::max(Count(counts, 0), 1);
  s.GraphType = type >= 1 && type <= 11 ? type : 4;
  if (s.SetColour.size() < static_cast<size_t>(s.Sets)) {
    s.SetColour.resize(static_cast<size_t>(s.Sets), 223);
    s.SetMarker.resize(static_cast<size_t>(s.Sets), 1);
    s.SetFill.resize(static_cast<size_t>(s.Sets), 0);
  }

  const int32_t t = s.GraphType;
  s.Options = options;
  const bool bit0Types = t == 1 || t == 2 || t == 5 || t == 6 || t == 7 || t == 8 || t == 10;
  s.Flag0 = Bit(options, 0) && bit0Types;
  s.Flag1 = Bit(options, 1);
  s.Flag3 = Bit(options, 3);
  s.Flag5 = Bit(options, 5);
  s.Flag6 = Bit(options, 6);
  s.Flag7 = Bit(options, 7);
  s.Flag9 = Bit(options, 9);
  s.Flag10 = Bit(options, 10);
  s.Flag11 = Bit(options, 11);
  s.BarMode = Bit(options, 2) ? 1 : Bit(options, 8) ? 2 : Bit(options, 4) ? 3 : 0;
  if (s.Flag5 && t == 1) s.Flag0 = s.Flag10 = 0;
  if (s.Flag0) s.Flag6 = 0;

  s.SecondCount = s.ThirdCount = 1;
  const bool paired = t == 8 || t == 10 || (s.Flag0 && (t == 5 || t == 6 || t == 7 || t == 8 || t == 10));
  if (paired) {
    s.ValuesPerSet = std::max(s.ValuesPerSet, 2);
    if (t != 6 && t != 7) s.SecondCount = Count(counts, 1) >= 2 ? Count(counts, 1) : s.ValuesPerSet;
    if (t == 10) s.ThirdCount = std::max(Count(counts, 2), 2);
  }
  s.BarWidth = std::min(0.6f / static_cast<float>(s.ValuesPerSet), 0.25f);
  YYPgAxisTypeRefresh();

  if (styles == 0) return;
  s.LabelStep = 1;
  bool black = false;
  switch (t) {
    case 4:
      s.StyleScheme = 2;
      s.LabelStep = LabelStepFor(s.ValuesPerSet);
      break;
    case 5: s.StyleScheme = 2; break;
    case 6: s.StyleScheme = 4; break;
    case 7: s.StyleScheme = s.Flag0 ? 6 : 5; break;
    case 8: s.StyleScheme = s.BarMode == 2 ? 3 : s.BarMode == 3 ? 8 : 1; break;
    case 9: s.StyleScheme = 7; break;
    case 10: s.StyleScheme = 1; break;
    case 11: s.StyleScheme = 9; break;
    default:
      s.StyleScheme = 1;
      black = true;
      break;
  }
  FillAttributes(s.StyleScheme, black);
}
