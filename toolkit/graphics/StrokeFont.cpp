#include "toolkit/graphics/StrokeFont.h"

#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFontData.h"

namespace {
StrokeFontRecord gFont;
StrokeFontRecord gSecondary;  // slot 1: installed but never read
StrokeFontRecord gSaved;
int32_t gSavedFontKind = 0;

constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";

// A built-in font laid out as one glyph string with its start tables.
struct BuiltFont {
  std::string glyphs;
  std::array<int32_t, 96> low{};
  std::array<int32_t, 96> high{};
};

BuiltFont Build(const StrokeFontSource& src) {
  BuiltFont b;
  for (int i = 0; i < 95; ++i) {
    b.low[i] = static_cast<int32_t>(b.glyphs.size()) + 1;
    b.glyphs += src.Low[i];
  }
  b.low[95] = static_cast<int32_t>(b.glyphs.size()) + 1;
  b.glyphs += ' ';  // filler between the two tables
  for (int i = 0; i < 95; ++i) {
    b.high[i] = static_cast<int32_t>(b.glyphs.size()) + 1;
    b.glyphs += src.High[i];
  }
  b.high[95] = static_cast<int32_t>(b.glyphs.size()) + 1;
  return b;
}

void InstallSource(const StrokeFontSource& src, int32_t slot) {
  const BuiltFont b = Build(src);
  YYStrokeFontInstall(src.XUnits, src.YUnits, src.DesignWidth, src.DesignHeight, 8, src.Flags,
                      src.Proportional, slot, src.Name, b.glyphs, b.low, b.high);
}

bool NameStarts(std::string_view prefix) {
  return std::string_view(gFont.FontName).substr(0, prefix.size()) == prefix;
}

}  // namespace

StrokeFontRecord& StrokeFont() { return gFont; }
void ResetStrokeFont() {
  gFont = StrokeFontRecord{};
  gSecondary = StrokeFontRecord{};
  gSaved = StrokeFontRecord{};
  gSavedFontKind = 0;
}

int32_t YYGlyphValue(char c) {
  const size_t p = kAlphabet.find(c);
  return p == std::string_view::npos ? -1 : static_cast<int32_t>(p);
}

void YYStrokeFontInstall(float xUnits, float yUnits, float designWidth, float designHeight,
                         int32_t codeBits, int32_t flags, int32_t proportional, int32_t slot,
                         std::string_view name, std::string_view glyphs,
                         const std::array<int32_t, 96>& lowStarts,
                         const std::array<int32_t, 96>& highStarts) {
  StrokeFontRecord& f = slot == 1 ? gSecondary : gFont;
  f.XUnits = xUnits;
  f.YUnits = yUnits;
  f.DesignWidth = designWidth;
  f.DesignHeight = designHeight;
  f.CodeBits = codeBits;
  f.LineFont = flags & 1;
  f.EuroGlyph = (flags >> 1) & 1;
  f.Proportional = proportional;
  f.FontName.assign(260, ' ');
  YYPadField(f.FontName, name);
  f.GlyphString.assign(glyphs.substr(0, kGlyphStringMax));
  const int lowCount = f.EuroGlyph ? 96 : 95;
  for (int i = 0; i < lowCount; ++i) f.LowStarts[i] = lowStarts[i];
  f.HighStarts = highStarts;
  if (slot != 1) GraphicsState().BoldMarker = 0;
}

void YYCharSetStandard(std::optional<int32_t> slot) { InstallSource(kStandardFont, slot.value_or(0)); }
void YYCharSetFixed() { InstallSource(kFixedFont, 0); }
void YYCharSetFixedBold() { InstallSource(kFixedBoldFont, 0); }
void YYCharSetRoman() { InstallSource(kRomanFont, 0); }
void YYCharSetRomanBold() { InstallSource(kRomanBoldFont, 0); }
void YYCharSetSwiss() { InstallSource(kSwissFont, 0); }
void YYCharSetSwissBold() { InstallSource(kSwissBoldFont, 0); }
void YYCharSetSymbol() { InstallSource(kSymbolFont, 0); }

namespace {
void Family(void (*regular)(), void (*bold)()) {
  GraphicsStateRecord& g = GraphicsState();
  if (g.TextStyle & 1) bold();
  else regular();
  g.BoldMarker = g.TextStyle % 2;
}
}  // namespace

void YYFixedFamily() { Family(YYCharSetFixed, YYCharSetFixedBold); }
void YYRomanFamily() { Family(YYCharSetRoman, YYCharSetRomanBold); }
void YYSwissFamily() { Family(YYCharSetSwiss, YYCharSetSwissBold); }

void YYStrokeFontSave(bool save) {
  GraphicsStateRecord& g = GraphicsState();
  if (save) {
    gSaved = gFont;
    gSavedFontKind = g.FontKind;
  } else {
    gFont = gSaved;
    g.FontKind = gSavedFontKind;
  }
}

int32_t YYMapCode(int32_t code) {
  if (code >= 32 && code <= 126) return code;
  if (code == 128) return gFont.EuroGlyph ? 128 : 32;
  if (code >= 161 && code <= 255) return gFont.CodeBits == 7 ? 32 : code;
  return 32;
}

std::string_view YYGlyph(int32_t code) {
  int32_t from = 0, to = 0;
  if (code >= 33 && code <= 126) {
    from = gFont.LowStarts[code - 33];
    to = gFont.LowStarts[code - 32];
  } else if (code == 128 && gFont.EuroGlyph) {
    from = gFont.LowStarts[94];
    to = gFont.LowStarts[95];
  } else if (code >= 161 && code <= 255) {
    from = gFont.HighStarts[code - 161];
    to = gFont.HighStarts[code - 160];
  } else {
    return {};
  }
  const int32_t size = static_cast<int32_t>(gFont.GlyphString.size());
  if (from < 1 || to <= from || from > size) return {};
  if (to - 1 > size) to = size + 1;
  return std::string_view(gFont.GlyphString).substr(static_cast<size_t>(from - 1),
                                                    static_cast<size_t>(to - from));
}

void WGrTextFont(std::optional<int32_t> font, std::optional<int32_t> style,
                 std::optional<float> width, std::optional<float> height,
                 std::optional<std::string_view> name, std::optional<int32_t> spacing) {
  GraphicsStateRecord& g = GraphicsState();
  bool changed = false;
  if (font) {
    const int32_t n = *font;
    if (n == 1) {
      g.FontKind = 1;
      g.SpacingMode = gFont.Proportional;
    } else if (n == 2) {
      g.FontKind = 0;
      g.SpacingMode = g.DeviceFamily == 1 ? 0 : 2;
    } else if (n == 101) {
      g.DeviceFamily = 1;
      g.FontKind = 0;
      g.SpacingMode = 0;
      changed = true;
    } else if (n == 100 || (n >= 102 && n <= 104)) {
      g.DeviceFamily = n - 100;
      g.FontKind = 0;
      g.SpacingMode = 2;
      changed = true;
    }
  }
  if (width) {
    if (*width > 0.0f) g.CharWidthFraction = *width;
    changed = true;
  }
  if (height) {
    if (*height > 0.0f) g.CharHeightFraction = *height;
    changed = true;
  }
  if (style) {
    if (g.FontKind == 0 && ((*style ^ g.TextStyle) & 7) != 0) changed = true;
    g.TextStyle = *style;
  }
  if (g.FontKind == 1 && gFont.LineFont == 0 && g.TextStyle % 2 != g.BoldMarker) {
    if (NameStarts("fixed")) YYFixedFamily();
    else if (NameStarts("swiss")) YYSwissFamily();
    else if (NameStarts("roman")) YYRomanFamily();
  }
  if (g.FontKind == 1 && (font || style)) g.Slant = (g.TextStyle & 2) ? 0.4663f : 0.0f;
  if (spacing) {
    const int32_t before = g.SpacingMode;
    const bool device = g.FontKind == 0;
    const bool family14 = g.DeviceFamily >= 1 && g.DeviceFamily <= 4;
    switch (*spacing) {
      case 0:
        g.SpacingMode = device ? (g.DeviceFamily == 1 ? 0 : 2) : gFont.Proportional;
        break;
      case 1:
        if (!(device && family14)) g.SpacingMode = 0;
        break;
      case 2:
        if (!(device && g.DeviceFamily == 1)) g.SpacingMode = 1;
        break;
      default:
        break;
    }
    if (device && g.SpacingMode != before) changed = true;
  }
  if (name && g.DeviceFamily == 0) {
    YYPadField(g.UserFontName, *name);
    changed = true;
  }
  if (g.FontKind == 0 && g.DeviceFamily == 0 && IsAllBlanks(g.UserFontName)) {
    YYERRREP(1058, "WGrTextFont");
    g.FallbackFamily = g.SpacingMode == 0 ? 1 : 2;
  }
  if (changed) YYCharSizeRefresh();
}
