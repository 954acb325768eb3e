// Stroke fonts: software vector fonts whose glyphs the engine draws itself
// as lines or filled outlines, and the choice between stroke and device
// fonts (WGrTextFont).
//
// Glyph strings: points are pairs of characters of the alphabet
// "0-9A-Za-t" (values 0..55), x then y; any other character ends a stroke.
// A glyph's extent comes from the start tables (1-based positions).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kGlyphStringMax = 17000;
inline constexpr int kStrokePointsMax = 150;

struct StrokeFontRecord {
  float XUnits = 7.68f;        // design units per character width
  float YUnits = 11.88f;       // design units per character height
  float DesignWidth = 6.0f;    // glyph design box
  float DesignHeight = 11.0f;
  int32_t CodeBits = 8;        // 7: codes 161..255 are blanks
  int32_t LineFont = 1;        // 1 strokes are lines, 0 closed outlines to fill
  int32_t EuroGlyph = 1;       // the glyph in the slot of code 127 serves code 128
  int32_t Proportional = 0;
  std::string FontName = std::string(260, ' ');
  std::string GlyphString;
  std::array<int32_t, 96> LowStarts{};   // codes 33..128
  std::array<int32_t, 96> HighStarts{};  // codes 161..256
};
StrokeFontRecord& StrokeFont();
void ResetStrokeFont();

// Per-glyph source of a built-in font: codes 33..127 and 161..255.
struct StrokeFontSource {
  float XUnits, YUnits, DesignWidth, DesignHeight;
  int32_t Flags;  // bit 0 line font, bit 1 Euro glyph
  int32_t Proportional;
  const char* Name;
  std::array<const char*, 95> Low;   // codes 33..127
  std::array<const char*, 95> High;  // codes 161..255
};

void YYStrokeFontInstall(float xUnits, float yUnits, float designWidth, float designHeight,
                         int32_t codeBits, int32_t flags, int32_t proportional, int32_t slot,
                         std::string_view name, std::string_view glyphs,
                         const std::array<int32_t, 96>& lowStarts,
                         const std::array<int32_t, 96>& highStarts);
void YYCharSetStandard(std::optional<int32_t> slot = std::nullopt);
void YYCharSetFixed();
void YYCharSetFixedBold();
void YYCharSetRoman();
void YYCharSetRomanBold();
void YYCharSetSwiss();
void YYCharSetSwissBold();
void YYCharSetSymbol();
void YYFixedFamily();
void YYRomanFamily();
void YYSwissFamily();
void YYStrokeFontSave(bool save);

void WGrTextFont(std::optional<int32_t> font = std::nullopt,
                 std::optional<int32_t> style = std::nullopt,
                 std::optional<float> width = std::nullopt,
                 std::optional<float> height = std::nullopt,
                 std::optional<std::string_view> name = std::nullopt,
                 std::optional<int32_t> spacing = std::nullopt);

// The glyph of a mapped character code in the installed font (empty when
// it has none).
std::string_view YYGlyph(int32_t code);
// Maps a character code as text output does: 32..126 themselves; 128 the
// Euro glyph (slot 127) when the font has one, else a blank; 161..255
// themselves unless the font has 7 code bits; anything else a blank.
int32_t YYMapCode(int32_t code);
// Value 0..55 of a glyph coordinate character, or -1 for a pen-up mark.
int32_t YYGlyphValue(char c);
