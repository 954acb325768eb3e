// What the hardcopy drivers do alike around their own output: answering
// the identify probe, telling the engine what the device can do, reading
// the shared point lists, the device scale of a new output, the colour
// inversion of option 6 and the pixels of an image.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "toolkit/graphics/Polygons.h"

// Op 0's identify probe: when the op count asks for it, the driver's
// number goes back in the op count and true comes back (nothing else is
// set up).
bool YYDriverProbe(int32_t driverNumber);

// What a hardcopy device does itself, as its driver tells the engine at
// op 0. Every hardcopy device takes device text at any angle.
struct HardcopyAbilities {
  int32_t lineStyles = 8;
  int32_t infoC = 2;      // 2: dashes keep at any line thickness
  int32_t trueColour = 1;
  int32_t gradient = 0;
  int32_t textWhole = 1;  // proportional device text goes whole
  int32_t infoA = 0;
  int32_t boxWord = 0;    // draws boxed (opaque) text itself
  float maxCoordinate = 1.7e38f;
  std::string_view mask;  // the capability mask, position 1 first
};
void YYSetHardcopyAbilities(const HardcopyAbilities& a);

// The ops that fill or outline a shape: ellipse, quadrilateral, rectangle,
// triangle, sector and polygon.
bool YYIsShapeOp(int32_t op);

// How many points of the shared point lists the op names: its count, cut
// to the lists' length, never negative.
int32_t YYPointListCount();

// Device units per page unit for a page of width x height device units.
void YYScaleToPage(float width, float height);

// Near white and near black: all three components above 245, or below 10.
bool YYNearWhite(int32_t red, int32_t green, int32_t blue);
bool YYNearBlack(int32_t red, int32_t green, int32_t blue);

// The program draws with palette indices 0..15 (its own colours). True
// when the current colour is one of them, with its value (0x00BBGGRR) in
// `rgb`; other colours keep each driver's own rule.
bool YYProgramColour(int32_t& rgb);
// White (0x00BBGGRR near white): the paper's colour on a plotter.
bool YYPaperWhite(int32_t rgb);
// The ink of a device with a few fixed inks (0x00BBGGRR, 0-based) that
// draws `rgb`: a grey to the ink of nearest value among the grey inks, any
// other colour to the ink of nearest hue among the coloured ones. -1 for
// white, which is the paper's colour: it is never inked.
int32_t YYNearestInk(int32_t rgb, std::span<const int32_t> inks);

// A text for a place of a plot file that takes no control characters
// (line ends would start lines of their own) or a character that ends
// the place (`ends`): each of them becomes a blank.
std::string YYPlainText(std::string_view text, std::string_view ends = {});

// Option 6 on a colour: 1 inverts every colour, 2 only those near black
// or near white.
void YYInvertColourByOption(int32_t& red, int32_t& green, int32_t& blue);

// Op 38's pixels: the image file that the op text names, read into
// width x height pixels (0xBBGGRR) without a report. A size that is not
// positive, or too large to hold, answers 1066 in the op qualifier (op
// count 0); a failed read answers its error code, with the system's error
// number in the op count, and leaves it as the last error code. True, with
// op qualifier 0 and the last error code as it was, when the pixels hold
// the image.
bool YYDriverImagePixels(int32_t width, int32_t height, std::vector<int32_t>& pixels);

// Page units to device pixels, truncating, with y counted down from the top
// of the page: for the drivers that draw through a device context.
int32_t YYPageToDeviceX(float x);
int32_t YYPageToDeviceY(float y);

// The points of slots 1..n, in device pixels.
void YYDevicePointsFromSlots(int32_t n, std::vector<plat::Point>& points);

// The points that the shared point lists hold for the op, in device pixels;
// the count of points taken.
int32_t YYDevicePointsFromLists(std::vector<plat::Point>& points);

// The pen's dash style for the engine's line style 0..7; any other style
// keeps the dash style in use.
int32_t YYDashStyleOfLineStyle(int32_t style, int32_t current);

// The dash patterns of line styles 1..7 (dash, gap, ...; row 0 unused) for
// a device: the screen's table scaled by the device's resolution over the
// screen's, and every gap widened by width - 1 for a width of 2 or more,
// so that the square caps of a wide pen do not close it.
using DashPatterns = std::array<std::array<int, 6>, 8>;
void YYScaleDashPatterns(int32_t resolution, int32_t width, DashPatterns& out);
// The unscaled table (screen pixels).
const DashPatterns& YYScreenDashPatterns();
// A geometric pen with square caps and bevel joins drawing line style
// `number` (1..7) by its row of the patterns.
plat::HPen YYUserDashPen(const DashPatterns& patterns, int32_t number, int32_t width, plat::ColorRef colour);

// Gradient triangles on a context: vertex pixels and colours (0xBBGGRR),
// triangles as 1-based vertex triples; false (nothing drawn) when a
// triangle names no vertex or the context refuses.
bool YYGradientTrianglesOn(plat::Hdc dc, const int32_t* x, const int32_t* y, const int32_t* colour,
                           const int32_t* triangles, int32_t n, int32_t count);

// Operation 38 on a driver that draws through a device context: the image
// file of the operand text drawn into the clip (its sides swapped for a
// quarter-turned page when `turnsClip`), turned by the page rotation about
// the offsets (drawable pixels, kept as they are for another rotation).
// Answers the status in OpQualifier and the error in OpCount.
void YYDcImageOp(int32_t driver, bool turnsClip, int32_t& offsetX, int32_t& offsetY);
// Operation 40 on such a driver: the shaded polygon of the point lists,
// clipped, through the driver's pixel and gradient routines.
void YYDcShadedOp(int32_t mode, ShadePixelRoutine pixel, ShadeTriangleRoutine triangle);
