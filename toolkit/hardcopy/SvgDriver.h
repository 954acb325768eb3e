// Driver 3: SVG files. One document per hardcopy: a flat sequence of
// stroke groups (colour, width, dashes, join, cap), fill and text groups
// inside them, and the elements that carry the geometry. Coordinates are
// user units of a page of option 1 by option 2, y downward.
#pragma once

#include <cstdint>
#include <string>

void XXSVG(int32_t op);

// A number for SVG: fixed point with two decimals, trailing zeros and a
// point without decimals dropped ("12", "12.5", "-0.25").
std::string YYSvgNumber(float value);
