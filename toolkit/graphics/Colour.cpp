#include "toolkit/graphics/Colour.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
PaletteRecord gPalette;

constexpr std::array<int32_t, 8> kTable8Entries = {0, 159, 95, 127, 31, 191, 63, 223};
constexpr std::array<int32_t, 16> kTable16Entries = {0,   175, 111, 143, 47,  207, 79, 239,
                                                     240, 159, 95,  127, 31,  191, 63, 223};
// Colour names 0..7 (black, blue, green, cyan, red, magenta, yellow, white).
constexpr std::array<int32_t, 8> kNameIndex = {0, 159, 95, 127, 31, 191, 63, 223};
constexpr std::array<int32_t, 8> kNameRgb = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00,
                                             0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr int32_t kOrder16[2][8] = {{0, 4, 6, 2, 3, 1, 5, 7}, {0, 5, 3, 4, 1, 6, 2, 7}};

int32_t Pack(int32_t r, int32_t g, int32_t b) { return r + 256 * g + 65536 * b; }

// RGB of default palette entry i.
int32_t DefaultEntry(int32_t i) {
  const int32_t group = i / 16, j = i % 16;
  const int32_t hi = 195 + 4 * j, lo = 131 + 4 * j;
  switch (group) {
    case 0: return Pack(255 - 4 * j, 255 - 4 * j, 255 - 4 * j);
    case 1: return Pack(hi, 0, 0);
    case 2: return Pack(lo, 0, 0);
    case 3: return Pack(hi, hi, 0);
    case 4: return Pack(lo, lo, 0);
    case 5: return Pack(0, hi, 0);
    case 6: return Pack(0, lo, 0);
    case 7: return Pack(0, hi, hi);
    case 8: return Pack(0, lo, lo);
    case 9: return Pack(0, 0, hi);
    case 10: return Pack(0, 0, lo);
    case 11: return Pack(hi, 0, hi);
    case 12: return Pack(lo, 0, lo);
    case 13: return Pack(60 - 4 * j, 60 - 4 * j, 60 - 4 * j);
    case 14: return Pack(124 - 4 * j, 124 - 4 * j, 124 - 4 * j);
    default: return Pack(191 - 4 * j, 191 - 4 * j, 191 - 4 * j);
  }
}

void StoreHsv(int32_t index, int32_t rgb) {
  float h = 0.0f, s = 0.0f, v = 0.0f;
  YYRgbToHsv(rgb, h, s, v);
  gPalette.Value[index] = v;
  gPalette.ChromaX[index] = std::cos(h) * v * s;
  gPalette.ChromaY[index] = std::sin(h) * v * s;
}

bool ClassHasNTable(int32_t c) { return c >= 32 && c <= 128; }

// Takes the new current colour after copying the current one to previous.
void ColourStore(int32_t index, int32_t rgb, int32_t device) {
  GraphicsStateRecord& g = GraphicsState();
  g.PreviousColourIndex = g.ColourIndex;
  g.PreviousColourRgb = g.ColourRgb;
  g.PreviousDeviceColour = g.DeviceColour;
  g.ColourIndex = index;
  g.ColourRgb = rgb;
  g.DeviceColour = device;
}
}  // namespace

PaletteRecord& Palette() { return gPalette; }
void ResetPalette() { gPalette = PaletteRecord{}; }

void IGrColourN(int32_t colour) {
  GraphicsStateRecord& g = GraphicsState();
  int32_t index = -1, rgb = 0;
  if (g.ColourMode != 2) {
    if (colour < 0 || colour > 255) {
      YYERRREP(42, "IGrColourN");
      return;
    }
    index = colour;
    rgb = gPalette.Rgb[index];
  } else {
    rgb = colour;
    const DeviceInfoRecord& d = DeviceInfo();
    if ((g.ScreenOutput && d.Screen.TrueColour == 0) ||
        (g.HardcopyActive >= 1 && d.Hardcopy.TrueColour == 0))
      YYColourNearestIndex(rgb, index);
  }
  ColourStore(index, rgb, YYColourDeviceIndex(index));
  YYGrBothOps(kOpColour);
}

void YYColourRgbSet(int32_t index, int32_t rgb, int32_t device, int32_t route) {
  ColourStore(index, rgb, device);
  if (route != 2) YYGrScreenOp(kOpColour);
  if (route != 1) YYGrHardcopyOp(kOpColour);
}

void YYColourMode(int32_t bits) {
  GraphicsStateRecord& g = GraphicsState();
  if (bits == 24) {
    g.ColourMode = 2;
    return;
  }
  g.ColourMode = 1;
  if (g.PreviousColourIndex == -1) YYColourNearestIndex(g.PreviousColourRgb, g.PreviousColourIndex);
  if (g.ColourIndex == -1) YYColourNearestIndex(g.ColourRgb, g.ColourIndex);
}

void IGrColour(std::string_view name) {
  const int32_t n = YYColourNameNumber(name);
  if (n < 0) {
    YYERRREP(42, "IGrColour");
    return;
  }
  int32_t c = n % 8;
  if (GraphicsState().ColourMode != 2) {
    if (c == 0) c = 7;
    else if (c == 7) c = 0;
    IGrColourN(kNameIndex[c]);
  } else {
    IGrColourN(kNameRgb[c]);
  }
}

int32_t YYColourNameNumber(std::string_view name) {
  size_t b = 0;
  while (b < name.size() && name[b] == ' ') ++b;
  if (b == name.size()) return -1;
  size_t e = b;
  while (e < name.size() && name[e] != ' ') ++e;
  char w[4] = {' ', ' ', ' ', ' '};
  for (size_t i = 0; i < 4 && b + i < e; ++i)
    w[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[b + i])));
  int32_t result = 0;
  int k = 0;
  if (w[0] == 'B' && w[1] != 'L') {
    k = 1;
    result = 8;
  }
  if (w[k] == 'B' && w[k + 1] == 'L' && w[k + 2] == 'A') return result;
  if (w[k] == 'B' && w[k + 1] == 'L' && w[k + 2] == 'U') return result + 1;
  static constexpr std::string_view kLetters = "GCRMYW";
  const size_t p = kLetters.find(w[k]);
  if (p == std::string_view::npos) return -1;
  return result + 2 + static_cast<int32_t>(p);
}

void IGrColourHLS(int32_t index, int32_t hue, int32_t lightness, int32_t saturation,
                  std::optional<int32_t> flag) {
  // An index outside the palette would write past its tables.
  if (index < 0 || index > 255) {
    YYERRREP(42, "IGrColourHLS");
    return;
  }
  YYPaletteEntryDefine(index, YYHlsToRgb(hue, lightness, saturation), flag.value_or(0));
}

int32_t YYHlsComponent(float hue, float m1, float m2) {
  const float hh = std::fmod(hue + 360.0f, 360.0f);
  float v;
  if (hh < 60.0f) v = m1 + (m2 - m1) * hh / 60.0f;
  else if (hh < 180.0f) v = m2;
  else if (hh < 240.0f) v = m1 + (m2 - m1) * (240.0f - hh) / 60.0f;
  else v = m1;
  return TruncSaturated(v * 255.0f);
}

int32_t YYHlsToRgb(int32_t hue, int32_t lightness, int32_t saturation) {
  const int32_t h = std::clamp(hue, 0, 359);
  const int32_t l = std::clamp(lightness, 0, 100);
  const int32_t s = std::clamp(saturation, 0, 100);
  if (s == 0) {
    const int32_t c = l * 255 / 100;
    return Pack(c, c, c);
  }
  const float L = static_cast<float>(l) / 100.0f, S = static_cast<float>(s) / 100.0f;
  float m1, m2;
  if (l < 50) {
    m2 = L * (1.0f + S);
    m1 = L * (1.0f - S);
  } else {
    m2 = L + S - L * S;
    m1 = L + L * S - S;
  }
  const float fh = static_cast<float>(h);
  return Pack(YYHlsComponent(fh, m1, m2), YYHlsComponent(fh - 120.0f, m1, m2),
              YYHlsComponent(fh + 120.0f, m1, m2));
}

void YYRgbToHsv(int32_t rgb, float& hue, float& saturation, float& value) {
  const int32_t R = rgb & 0xFF, G = (rgb >> 8) & 0xFF, B = (rgb >> 16) & 0xFF;
  const int32_t mx = std::max({R, G, B}), mn = std::min({R, G, B});
  value = static_cast<float>(mx) / 255.0f;
  if (mx == mn) {
    saturation = 0.0f;
    hue = 0.0f;
    return;
  }
  const float r = R / 255.0f, g = G / 255.0f, b = B / 255.0f, m = mn / 255.0f;
  const float d = value - m;
  const float cr = (value - r) / d, cg = (value - g) / d, cb = (value - b) / d;
  auto match = [](float a, float c) { return std::fabs(a - c) < 0.039f; };
  float sextant;
  if (match(value, r)) sextant = match(m, g) ? 5.0f + cb : 1.0f - cg;
  else if (match(value, g)) sextant = match(m, b) ? 1.0f + cr : 3.0f - cb;
  else sextant = match(m, r) ? 3.0f + cg : 5.0f - cr;
  saturation = d / value;
  hue = sextant * 60.0f * 0.01745329f;
}

void YYRgbSplit(int32_t rgb, int32_t* red, int32_t* green, int32_t* blue) {
  if (red) *red = rgb & 0xFF;
  if (green) *green = (rgb >> 8) & 0xFF;
  if (blue) *blue = (rgb >> 16) & 0xFF;
}

void YYColourNearestIndex(int32_t rgb, int32_t& index) {
  for (int32_t i = 0; i < 256; ++i) {
    if (gPalette.Rgb[i] == rgb) {
      index = i;
      return;
    }
  }
  float h = 0.0f, s = 0.0f, v = 0.0f;
  YYRgbToHsv(rgb, h, s, v);
  const float c = v * s, x = std::cos(h) * c, y = std::sin(h) * c;
  float best = 9999999.0f;
  index = 0;
  for (int32_t i = 0; i < 256; ++i) {
    const float dy = y - gPalette.ChromaY[i], dx = x - gPalette.ChromaX[i];
    const float dv = v - gPalette.Value[i];
    const float dist = dy * dy + dx * dx + dv * dv;
    if (dist < best) {
      best = dist;
      index = i;
    }
  }
}

int32_t YYDeviceColour16(int32_t k, int32_t row) {
  if (k < 0 || k > 15) return -1;
  const int32_t r = row == 1 ? 1 : 0;
  return kOrder16[r][k % 8] + (k >= 8 ? 8 : 0);
}

int32_t YYColourDeviceIndex(int32_t index) {
  if (index == -1) return -1;
  if (index == 0) return 0;
  const int32_t c = GraphicsState().DeviceColours;
  const int32_t group = YYDeviceColour16(((index + 16) / 32) % 8, 0);
  // Every class maps somewhere: classes between the listed ones take the
  // rule of the next smaller one, and true-colour devices (above 128, or a
  // count the device could not give) take the index itself.
  if (c == 1 || c == 2 || c == 3) return 1;
  if (c >= 4 && c <= 15) return group;
  if (c >= 16 && c <= 31) return (index & 16) ? group + 8 : group;
  if (c >= 32 && c <= 128) return index * c / 256;
  return index;
}

void YYPaletteEntryDefine(int32_t index, int32_t rgb, int32_t flag) {
  DriverParamsRecord& p = DriverParams();
  p.OpCount = index;
  p.OpQualifier = YYColourDeviceIndex(index);
  p.PixelX[1] = rgb;
  p.PixelX[4] = flag;
  YYGrBothOps(kOpPaletteEntry);
  YYPaletteEntryUpdate(index, rgb);
}

void YYPaletteEntryUpdate(int32_t index, int32_t rgb) {
  if (index < 0 || index > 255) return;
  gPalette.Rgb[index] = rgb;
  const int32_t g = YYDeviceColour16(((index + 16) / 32) % 8, 0);
  gPalette.Table8[g] = rgb;
  gPalette.Table16[(index & 16) ? g + 8 : g] = rgb;
  const int32_t c = GraphicsState().DeviceColours;
  if (ClassHasNTable(c)) gPalette.TableN[index * c / 256] = rgb;
  StoreHsv(index, rgb);
}

void YYPaletteDefault() {
  for (int32_t i = 0; i < 256; ++i) gPalette.Rgb[i] = DefaultEntry(i);
  for (int k = 0; k < 16; ++k) gPalette.Table16[k] = gPalette.Rgb[kTable16Entries[k]];
  for (int k = 0; k < 8; ++k) gPalette.Table8[k] = gPalette.Rgb[kTable8Entries[k]];
  const int32_t c = GraphicsState().DeviceColours;
  if (ClassHasNTable(c)) {
    const int32_t n = 256 / c;
    for (int32_t k = 0; k < c; ++k) {
      const int32_t e = k * n;
      gPalette.TableN[k] = gPalette.Rgb[(e < 16 || e >= 240) ? e : e + n - 1];
    }
  }
  for (int32_t i = 0; i < 256; ++i) StoreHsv(i, gPalette.Rgb[i]);
}

void YYColourIndexToRgb(int32_t index, int32_t& rgb) {
  if (index >= 0 && index <= 255) rgb = gPalette.Rgb[index];
}
void YYColourLookup8(int32_t k, int32_t& rgb) {
  if (k >= 0 && k < 8) rgb = gPalette.Table8[k];
}
void YYColourLookupB(int32_t k, int32_t& rgb) {
  if (k >= 0 && k < 16) rgb = gPalette.Table16[k];
}
void YYColourLookupN(int32_t k, int32_t& rgb) {
  if (k >= 0 && k < 128) rgb = gPalette.TableN[k];
}

void YYColourComponents(int32_t colour, int32_t& red, int32_t& green, int32_t& blue) {
  int32_t rgb = colour;
  if (GraphicsState().ColourMode != 2) {
    rgb = 0;
    YYColourIndexToRgb(colour, rgb);
  }
  YYRgbSplit(rgb, &red, &green, &blue);
}
