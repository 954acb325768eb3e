// Colours and the 256-entry palette. Colours are palette indices (palette
// mode) or packed RGB values 0x00BBGGRR (RGB mode); devices with 2 to 256
// colours get a device colour number mapped from the palette index.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

struct PaletteRecord {
  std::array<float, 256> ChromaX{};  // cos(hue) * saturation * value
  std::array<float, 256> Value{};    // brightest component / 255
  std::array<float, 256> ChromaY{};  // sin(hue) * saturation * value
  std::array<int32_t, 256> Rgb{};
  std::array<int32_t, 16> Table16{};  // device colours 0..15
  std::array<int32_t, 8> Table8{};    // device colours 0..7
  std::array<int32_t, 128> TableN{};  // device colours of classes 32..128
};
PaletteRecord& Palette();
void ResetPalette();

void IGrColourN(int32_t colour);
void IGrColour(std::string_view name);
void IGrColourHLS(int32_t index, int32_t hue, int32_t lightness, int32_t saturation,
                  std::optional<int32_t> flag = std::nullopt);

void YYColourMode(int32_t bits);
void YYColourRgbSet(int32_t index, int32_t rgb, int32_t device, int32_t route);
void YYPaletteDefault();
void YYPaletteEntryDefine(int32_t index, int32_t rgb, int32_t flag);
void YYPaletteEntryUpdate(int32_t index, int32_t rgb);
void YYColourNearestIndex(int32_t rgb, int32_t& index);
int32_t YYColourNameNumber(std::string_view name);
int32_t YYHlsToRgb(int32_t hue, int32_t lightness, int32_t saturation);
int32_t YYHlsComponent(float hue, float m1, float m2);
void YYRgbToHsv(int32_t rgb, float& hue, float& saturation, float& value);
void YYRgbSplit(int32_t rgb, int32_t* red, int32_t* green, int32_t* blue);
int32_t YYColourDeviceIndex(int32_t index);
int32_t YYDeviceColour16(int32_t k, int32_t row);

void YYColourIndexToRgb(int32_t index, int32_t& rgb);
void YYColourLookup8(int32_t k, int32_t& rgb);
void YYColourLookupB(int32_t k, int32_t& rgb);
void YYColourLookupN(int32_t k, int32_t& rgb);
void YYColourComponents(int32_t colour, int32_t& red, int32_t& green, int32_t& blue);
