// Dither patterns of a colour for devices that show colours as dots: a
// colour's brightness (or each of its components) becomes a 32-bit level
// pattern, one bit per dot of an 8 x 4 cell (byte k is row k, bit j of a
// byte column j). The HP-GL/2 driver's raster fills and the rasteriser use
// them.
#pragma once

#include <cstdint>

// The level pattern of a fraction 0..1 with its stagger (2, 3 or 4): about
// f x 32 bits set, spread in runs, no two rows alike.
uint32_t YYLevelPattern(double fraction, int32_t stagger);

// The three patterns of the current colour for the hardcopy device.
// colourModel: 0 monochrome, 1 RGB, 2 CMY (the raster printer's model).
// A two-colour device gets its brightness pattern three times; a colour
// device its red, green and blue patterns (one for a grey).
void YYHpgl2DitherPattern(int32_t colourModel, uint32_t& pattern1, uint32_t& pattern2, uint32_t& pattern3);
