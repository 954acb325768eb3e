// The driver protocol: every drawing operation reaches a device as one
// operation code handed to one driver routine. The operands travel in the
// shared operand block below and in the graphics state (GraphicsState.h);
// replies come back through the operand block.
//
// A driver is one routine switching on the code; codes it does not handle
// are ignored. At op 1 each driver publishes its column of DeviceInfo.
//
// Point and pixel slots are numbered 1..4 as the operations name them
// (element 0 is unused); the shared point lists are ordinary 0-based
// arrays of OpCount points.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using GraphicsDriver = void (*)(int32_t op);

// Operation codes. Shape codes come in pairs: the odd code asks for the
// fill of fill style 3 (a blend of previous and current colour on the
// screen), the even code for a plain solid fill. Even codes go only to the
// screen route; hardcopy drivers get the odd code as begin (OpQualifier 1,
// or the trapezium direction) and end (OpQualifier -1) brackets around the
// fill lines the engine draws itself.
enum DriverOp : int32_t {
  kOpInit = 1,            // publish DeviceInfo; OpCount -999 on the hardcopy route: identify probe
  kOpLine = 2,            // point 1 to point 2
  kOpColour = 3,          // colour fields of the graphics state changed
  kOpEllipse = 4,         // outline; centre point 1, radii in slot 2
  kOpEllipseFill = 5,
  kOpEllipseSolid = 6,
  kOpQuad = 7,            // points 1..4
  kOpQuadSolid = 8,
  kOpRect = 9,            // lower-left point 1, upper-right point 2
  kOpRectSolid = 10,
  kOpTriangle = 11,       // points 1..3
  kOpTriangleSolid = 12,
  kOpSector = 13,         // centre 1, radii 2, angles (radians) 3, start/sweep (degrees) 4
  kOpSectorSolid = 14,
  kOpPolygon = 15,        // OpCount points in the point lists; pixel 1 first, 2/3 bounding box
  kOpPolygonSolid = 16,
  kOpClear = 17,
  kOpBegin = 18,          // begin output; OpQualifier -1 on the hardcopy route: rescale notice
  kOpEnd = 19,
  kOpPage = 20,           // end of page
  kOpFont = 21,           // character size and font; reply: CharScaleX/Y
  kOpText = 22,           // OpText, count in PixelX[1]; see the text output
  kOpBlockMove = 23,
  kOpClip = 24,           // the viewport's pixel corners
  kOpTextWidth = 25,      // OpText, length in OpQualifier; reply PointX[1], OpCount = 1
  kOpPoint = 26,
  kOpPlotMode = 27,       // screen route only
  kOpPaletteEntry = 28,   // OpCount index, OpQualifier device index, PixelX[1] rgb, PixelX[4] defer
  kOpLineStyle = 29,
  kOpLineThickness = 30,
  kOpPixelRead = 31,      // reply PixelX[1] packed or -1, PixelX[2]/[3] green, blue
  kOpPolyline = 32,       // OpCount points in the point lists
  kOpTextDirection = 33,  // reply as op 21
  kOpArc = 34,
  kOpColourReassert = 35,
  kOpLineJoin = 36,
  kOpLineCap = 37,
  kOpImage = 38,          // file name in OpText; reply OpQualifier status, OpCount OS error
  kOpMetafileHeader = 39,
  kOpShadedPolygon = 40,
};
inline constexpr int32_t kOpLast = 40;
inline constexpr int32_t kProbe = -999;  // OpCount of the identify probe

inline constexpr int kOpTextSize = 260;
inline constexpr int kShadedMaxVertices = 1000;
inline constexpr int kShadedMaxTriangleWords = 3 * kShadedMaxVertices - 6;

struct DriverParamsRecord {
  // ---- hardcopy group: shared by the hardcopy switch and its drivers ----
  int32_t DeviceColourCount = 0;     // colour class of the hardcopy device
  int32_t DeviceColourMax = 0;
  int32_t DeviceWritesFile = 0;      // the driver writes an ordinary file
  int32_t InitialisedDriver = 0;     // driver number written at op 1 (0 none)
  float HardcopyPageAspect = 1.0f;   // page aspect of the hardcopy options
  float RotatedScaleY = 1.0f;        // device scale turned by the page rotation
  float RotatedScaleX = 1.0f;
  float DeviceScaleY = 1.0f;         // device units per page unit
  float DeviceScaleX = 1.0f;
  float PenWidthUnits = 1.0f;        // spacing of software fill lines, page units
  int32_t DeviceDpiX = 0;            // per-inch values published at op 1
  int32_t DeviceDpiY = 0;
  int32_t PageOpen = 0;              // something drawn on the current page
  float LastPenX = -9999.0f;         // last pen position written to the device
  float LastPenY = -9999.0f;
  std::string DefaultOutputName = std::string(kOpTextSize, ' ');
  std::string OutputTitle = std::string(200, ' ');

  // ---- operands -------------------------------------------------------------
  int32_t OpCount = 0;      // first word: point count, palette index, replies
  int32_t OpQualifier = 0;  // second word: lengths, fill brackets, device index, notices
  std::array<float, 5> PointY{};    // page units, slots 1..4
  std::array<float, 5> PointX{};
  std::array<int32_t, 5> PixelY{};  // pixels (page units truncated), slots 1..4
  std::array<int32_t, 5> PixelX{};  // also: [1] text length / title given, [2] text part, [4] text whole

  // Text of ops 22 and 25, file names of ops 18 and 38: blank-padded.
  std::string OpText = std::string(kOpTextSize, ' ');

  // Vertices of ops 15, 16, 32 and 40 in page units (OpCount of them).
  std::vector<float> PointListX;
  std::vector<float> PointListY;

  // Text-direction slots written by text output before op 22:
  // slot 1 sH*sin/A, slot 2 sH*cos (the up step, x negated),
  // slot 3 sW*sin*A, slot 4 sW*cos (the advance along the baseline).
  float CharHeightStepX = 0.0f;  // slot 1
  float CharHeightStepY = 0.0f;  // slot 2
  float CharWidthStepY = 0.0f;   // slot 3
  float CharWidthStepX = 0.0f;   // slot 4

  // Shaded polygon (op 40): device pixels with rows downward, colours
  // 0xBBGGRR, triangles as 1-based vertex triples.
  int32_t ShadedVertexCount = 0;
  std::array<int32_t, kShadedMaxVertices> ShadedX{};
  std::array<int32_t, kShadedMaxVertices> ShadedRow{};
  std::array<int32_t, kShadedMaxVertices> ShadedColour{};
  std::array<int32_t, kShadedMaxTriangleWords> ShadedTriangles{};
  int32_t ShadedTriangleCount = 0;
};

// What a driver publishes at op 1, one column per route.
inline constexpr int kMaskLength = 29;
constexpr std::array<char, kMaskLength> ZeroMask() {
  std::array<char, kMaskLength> m{};
  for (char& c : m) c = '0';
  return m;
}
struct DeviceColumn {
  int32_t Gradient = 1;      // 2: shades whole triangles itself (op 40)
  int32_t TrueColour = 1;    // 1: takes packed RGB; 0: needs palette indices
  int32_t InfoC = 2;         // 2: dashes keep at any line thickness
  int32_t AngleSteps = 360;  // 0 never device text, 1 only at <= 1 degree, else any angle
  std::array<char, kMaskLength> CapabilityMask = ZeroMask();  // '0'/'1', position 1 first
  int32_t LineStyles = 8;    // published; read by the state enquiry (item 38)
  // Device-text limit: below 1.7e38 makes text output check the device
  // font's size before using it.
  float MaxCoordinate = 1.7e38f;
};

struct DeviceInfoRecord {
  // Hardcopy only.
  int32_t HcInfoA = 0;             // published
  int32_t HcBoxWord = 0;           // 0: the driver cannot draw boxed text itself
  int32_t HcDeviceTextWhole = 0;   // 0: proportional device text goes character by character
  DeviceColumn Screen;
  DeviceColumn Hardcopy;
};

inline constexpr std::string_view kScreenMask = "11111111111111111110111011111";

// The single instances and their resets (for start-up and tests).
DriverParamsRecord& DriverParams();
void ResetDriverParams();
DeviceInfoRecord& DeviceInfo();
void ResetDeviceInfo();

// Sets a blank-padded text field to `text`, cut or padded to its length.
void YYPadField(std::string& field, std::string_view text);
// Fills a column's mask from 29 characters.
void YYMaskSet(DeviceColumn& column, std::string_view mask);
