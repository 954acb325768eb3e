// Real fonts for device text, through FreeType and fontconfig.
//
// Face names the program asks for are mapped onto a small fixed set of
// font files from Debian packages, looked up by fontconfig in a
// configuration of our own that sees only those folders, so the result
// never depends on what else is installed:
//   Arial, Helvetica, MS Sans Serif, MS Shell Dlg, System ... -> Liberation Sans
//   Times New Roman, Times, MS Serif                          -> Liberation Serif
//   Courier New, Courier, Fixedsys, Terminal                  -> Liberation Mono
//   Symbol                                                    -> Standard Symbols PS
//   Wingdings (check marks only)                              -> DejaVu Sans
// Any other name falls back by the requested pitch and family, then to
// Liberation Sans. Glyphs are rendered one bit deep (no anti-aliasing).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace plat::font {

// A font realised at its pixel size. Realised fonts are cached by their
// request and live until resetFonts().
using FontId = int;
FontId realize(const LogFont& lf);

const TextMetrics& metrics(FontId id);
// The face family that was actually chosen, e.g. "Liberation Sans".
const std::string& familyName(FontId id);
// The faces the layer has, by their own names (the font dialog lists them).
std::vector<std::string> faceNames();

// Glyph layout of 8-bit text, left to right, unrotated: one entry per byte.
struct GlyphPos {
  unsigned glyphIndex = 0;
  int x = 0;        // pen position from the start of the text
  int advance = 0;  // whole pixels
};
std::vector<GlyphPos> layout(FontId id, std::string_view text);
int textWidth(FontId id, std::string_view text);
int charAdvance(FontId id, unsigned char ch);

// Decorations in unrotated text space, y downwards from the baseline.
struct Decorations {
  int underlineTop = 0;
  int underlineThickness = 1;
  int strikeTop = 0;
  int strikeThickness = 1;
};
Decorations decorations(FontId id);

// Ink of the text drawn with its reference point (left end of the
// baseline) at (0, 0), turned anticlockwise by the font's escapement.
// Calls plot(x, y) once per ink pixel, y downwards.
template <class Plot>
void rasterize(FontId id, std::string_view text, Plot&& plot);

// Escapement of the font in radians, anticlockwise.
double escapementRadians(FontId id);

// For renderers that draw glyph outlines themselves (the PDF printer): the
// font file (they open it on their own, as they change its sizes), the
// glyph indices of layout(), and the size in pixels (x and y scale).
const std::string& filePath(FontId id);
int faceIndex(FontId id);
double pixelSizeX(FontId id);
double pixelSizeY(FontId id);
bool syntheticBold(FontId id);
bool syntheticItalic(FontId id);

// Frees every realised font and the FreeType and fontconfig state.
void resetFonts();

// Implementation detail of rasterize(): one mono bitmap per glyph.
struct GlyphBitmap {
  int left = 0;  // ink offset from the pen position, x right
  int top = 0;   // ink offset above the pen position, y up
  int width = 0;
  int rows = 0;
  int pitch = 0;
  std::vector<uint8_t> bits;  // one bit per pixel, most significant first
};
// Renders glyph `i` of `text` placed at its rotated pen position; the pen
// position in whole pixels is returned in (penX, penY), y downwards.
bool renderGlyph(FontId id, std::string_view text, size_t i, GlyphBitmap& out, int& penX,
                 int& penY);

template <class Plot>
void rasterize(FontId id, std::string_view text, Plot&& plot) {
  GlyphBitmap g;
  for (size_t i = 0; i < text.size(); ++i) {
    int px = 0;
    int py = 0;
    if (!renderGlyph(id, text, i, g, px, py)) continue;
    for (int r = 0; r < g.rows; ++r) {
      const uint8_t* row = g.bits.data() + static_cast<size_t>(r) * g.pitch;
      for (int c = 0; c < g.width; ++c) {
        if (row[c >> 3] & (0x80 >> (c & 7))) plot(px + g.left + c, py - g.top + r);
      }
    }
  }
}

}  // namespace plat::font
