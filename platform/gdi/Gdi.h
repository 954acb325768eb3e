// Device contexts and drawing objects of the platform layer.
//
// The toolkit draws through this interface the way a program of its kind
// draws on a desktop graphics interface: it creates pens, brushes, fonts,
// bitmaps, regions and palettes as objects, selects them into a device
// context and calls drawing routines with integer logical coordinates.
// Everything lands in a plat::Surface through our own rasteriser (no
// anti-aliasing, so XOR drawing is exactly reversible), or, on a printer
// context, in a list of recorded calls that the printer renders per page.
//
// Conventions kept from the classic interface because the toolkit's
// constants were tuned against them:
//  - a line leaves out its end pixel;
//  - rectangles, ellipses, pies and arcs take a bounding box whose right and
//    bottom edges are exclusive; without a pen a filled shape is one pixel
//    smaller on the right and at the bottom;
//  - polygons are filled at pixel centres (alternate or winding rule) and
//    outlined with the pen;
//  - colours are 0x00BBGGRR words (red in the low byte); a palette-index
//    reference has 0x01 in the top byte.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Surface.h"

namespace plat {

// ---------------------------------------------------------------------------
// Basic types

using ColorRef = uint32_t;  // 0x00BBGGRR
constexpr ColorRef kInvalidColor = 0xFFFFFFFFu;

constexpr ColorRef makeRgb(int r, int g, int b) {
  return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }
// A reference to entry `index` of the palette selected in the context.
constexpr ColorRef paletteIndexRef(int index) { return 0x01000000u | static_cast<uint32_t>(index & 0xFFFF); }

// Surfaces hold 0x00RRGGBB pixels; these convert between the two orders.
constexpr uint32_t pixelFromColor(ColorRef c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr ColorRef colorFromPixel(uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Left and top inclusive, right and bottom exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool contains(Point p) const { return contains(p.x, p.y); }
  Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
  // The common part; an empty rectangle (all zero) when they do not meet.
  Rect intersect(const Rect& o) const {
    Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
           right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
    return r.empty() ? Rect{} : r;
  }
  // The bounding rectangle of both; an empty rectangle adds nothing.
  Rect unite(const Rect& o) const {
    if (o.empty()) return *this;
    if (empty()) return o;
    return {left < o.left ? left : o.left, top < o.top ? top : o.top,
            right > o.right ? right : o.right, bottom > o.bottom ? bottom : o.bottom};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};
Rect intersectRect(const Rect& a, const Rect& b);

// Handles: 0 is "none". A handle carries a generation so that a stale handle
// of a deleted object is refused rather than aliasing a new one.
using Hdc = uint32_t;
using GdiObj = uint32_t;  // pen, brush, font, bitmap, region or palette
using HPen = GdiObj;
using HBrush = GdiObj;
using HFont = GdiObj;
using HBitmap = GdiObj;
using HRgn = GdiObj;
using HPalette = GdiObj;

enum class ObjectKind { kNone, kPen, kBrush, kFont, kBitmap, kRegion, kPalette };
ObjectKind objectKind(GdiObj obj);

// ---------------------------------------------------------------------------
// Objects

enum PenStyle : int {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4,
  kPenNull = 5,
  kPenInsideFrame = 6,
  kPenUserStyle = 7,  // geometric pen with its own dash array
};
enum PenCap : int { kCapRound = 0, kCapSquare = 1, kCapFlat = 2 };
enum PenJoin : int { kJoinRound = 0, kJoinBevel = 1, kJoinMiter = 2 };

struct PenDesc {
  int style = kPenSolid;
  int width = 1;  // 0 and 1 are both one pixel
  ColorRef color = 0;
  bool geometric = false;
  int cap = kCapRound;
  int join = kJoinRound;
  std::vector<int> dashes;  // kPenUserStyle: on, off, on, off ... in pixels
};

// A cosmetic pen: solid or one of the dashed styles, `width` pixels wide.
HPen createPen(int style, int width, ColorRef color);
// A geometric pen; with kPenUserStyle `dashes` gives the on/off run lengths.
HPen createGeometricPen(int style, int width, ColorRef color, int cap, int join,
                        std::span<const int> dashes = {});

enum BrushStyle : int { kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2, kBrushPattern = 3 };
enum HatchStyle : int {
  kHatchHorizontal = 0,
  kHatchVertical = 1,
  kHatchForwardDiagonal = 2,  // top-left to bottom-right
  kHatchBackwardDiagonal = 3,
  kHatchCross = 4,
  kHatchDiagonalCross = 5,
};

struct BrushDesc {
  int style = kBrushSolid;
  ColorRef color = 0;
  int hatch = 0;
  // kBrushPattern: 8 x 8 pixels, row by row, as 0x00RRGGBB; a pattern made
  // from a one-bit bitmap draws its 0 bits in the text colour and its 1 bits
  // in the background colour of the context it is used in.
  bool monoPattern = false;
  std::vector<uint32_t> pattern;
};

HBrush createSolidBrush(ColorRef color);
HBrush createHatchBrush(int hatch, ColorRef color);
// The top-left 8 x 8 pixels of `bitmap` (repeated when it is smaller).
HBrush createPatternBrush(HBitmap bitmap);

// Font request. height < 0: character (em) height in pixels; > 0: cell
// height; 0: the default size. width 0: natural proportions, otherwise the
// average character width. Escapement in tenths of a degree, anticlockwise.
enum FontCharSet : int { kAnsiCharSet = 0, kDefaultCharSet = 1, kSymbolCharSet = 2 };
// pitchAndFamily: a pitch in the low two bits, a family in the high four.
constexpr int kDefaultPitch = 0;
constexpr int kFixedPitch = 1;
constexpr int kVariablePitch = 2;
constexpr int kFamilyDontCare = 0x00;
constexpr int kFamilyRoman = 0x10;
constexpr int kFamilySwiss = 0x20;
constexpr int kFamilyModern = 0x30;
constexpr int kFamilyScript = 0x40;
constexpr int kFamilyDecorative = 0x50;
struct LogFont {
  int height = 0;
  int width = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = 400;  // 0 = default (400), 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = kAnsiCharSet;
  int pitchAndFamily = 0;
  std::string faceName;
};
HFont createFont(const LogFont& lf);
bool getLogFont(HFont font, LogFont& out);

// Bitmaps: 32-bit colour or 1-bit (kept as black and white pixels).
HBitmap createBitmap(int width, int height, int bitsPerPixel);
HBitmap createCompatibleBitmap(Hdc dc, int width, int height);
struct BitmapInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
};
bool getBitmapInfo(HBitmap bitmap, BitmapInfo& out);
// The pixels of a bitmap, for the layer's own painting and for tests.
Surface* bitmapSurface(HBitmap bitmap);

HRgn createRectRgn(int left, int top, int right, int bottom);

struct PaletteEntry {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t flags = 0;
};
HPalette createPalette(std::span<const PaletteEntry> entries);
int setPaletteEntries(HPalette palette, int start, std::span<const PaletteEntry> entries);
int getPaletteEntries(HPalette palette, int start, std::span<PaletteEntry> out);
int getNearestPaletteIndex(HPalette palette, ColorRef color);

// Stock objects, never deleted.
enum class Stock {
  kWhiteBrush,
  kLightGrayBrush,
  kGrayBrush,
  kDarkGrayBrush,
  kBlackBrush,
  kNullBrush,
  kWhitePen,
  kBlackPen,
  kNullPen,
  kSystemFont,        // proportional, bold, for captions and menus of old
  kSystemFixedFont,   // fixed pitch
  kAnsiFixedFont,
  kAnsiVarFont,
  kDeviceDefaultFont,
  kDefaultGuiFont,    // the font of dialogs, menus and bars
  kDefaultPalette,
};
GdiObj getStockObject(Stock which);

// Selecting returns the previously selected object of that kind (0 on
// failure). A region is copied into the context's clip and 0 or 1 returned
// as success; a bitmap only goes into a memory context.
GdiObj selectObject(Hdc dc, GdiObj obj);
bool deleteObject(GdiObj obj);  // false for stock objects and bad handles
int liveObjectCount();          // non-stock objects, for leak checks in tests

// ---------------------------------------------------------------------------
// Device contexts

// A context compatible with `dc` (or with the display when 0): drawing goes
// into the bitmap selected with selectObject; a 1 x 1 one-bit bitmap is
// selected at first.
Hdc createCompatibleDc(Hdc dc);
// A context drawing into a surface owned by its caller (window backing
// surfaces): the window layer hands these out to paint.
Hdc createSurfaceDc(Surface* surface);
// A context whose calls are only logged (no pixels); the size is what
// device capabilities report for it.
Hdc createRecordingDc(int width, int height);
bool deleteDc(Hdc dc);
bool isDc(Hdc dc);

// Raster operations for pens and brushes: a four-bit truth table over pen P
// and destination D, numbered 1 + table (P&D, P&~D, ~P&D, ~P&~D bits).
enum Rop2 : int {
  kR2Black = 1,
  kR2NotMergePen = 2,
  kR2MaskNotPen = 3,
  kR2NotCopyPen = 4,
  kR2MaskPenNot = 5,
  kR2Not = 6,
  kR2XorPen = 7,
  kR2NotMaskPen = 8,
  kR2MaskPen = 9,
  kR2NotXorPen = 10,
  kR2Nop = 11,
  kR2MergeNotPen = 12,
  kR2CopyPen = 13,
  kR2MergePenNot = 14,
  kR2MergePen = 15,
  kR2White = 16,
};
int setRop2(Hdc dc, int rop);  // returns the previous mode, 0 on failure
int getRop2(Hdc dc);

enum BkMode : int { kTransparent = 1, kOpaque = 2 };
int setBkMode(Hdc dc, int mode);
int getBkMode(Hdc dc);
ColorRef setBkColor(Hdc dc, ColorRef color);
ColorRef getBkColor(Hdc dc);
ColorRef setTextColor(Hdc dc, ColorRef color);
ColorRef getTextColor(Hdc dc);

enum PolyFillMode : int { kAlternate = 1, kWinding = 2 };
int setPolyFillMode(Hdc dc, int mode);

// Text alignment flags: one horizontal and one vertical choice.
enum TextAlign : unsigned {
  kTaLeft = 0,
  kTaRight = 2,
  kTaCenter = 6,
  kTaTop = 0,
  kTaBottom = 8,
  kTaBaseline = 24,
  kTaUpdateCp = 1,  // draw at, and move, the current position
};
unsigned setTextAlign(Hdc dc, unsigned align);
unsigned getTextAlign(Hdc dc);

// Logical to device: device = logical - window origin + viewport origin.
Point setWindowOrg(Hdc dc, int x, int y);
Point setViewportOrg(Hdc dc, int x, int y);
Point setBrushOrg(Hdc dc, int x, int y);

// Clipping, in logical coordinates (regions in device coordinates); a null
// rectangle or region clears the clip. Returns the kind of the resulting
// clip: 0 error, 1 empty, 2 a rectangle or none (the whole surface).
int selectClipRect(Hdc dc, const Rect* rect);
int intersectClipRect(Hdc dc, int left, int top, int right, int bottom);
int selectClipRgn(Hdc dc, HRgn rgn);  // 0 clears
// The clip box in logical coordinates (the whole surface without a clip).
int getClipBox(Hdc dc, Rect& out);

// ---------------------------------------------------------------------------
// Drawing

Point moveTo(Hdc dc, int x, int y);  // returns the previous position
Point currentPosition(Hdc dc);
bool lineTo(Hdc dc, int x, int y);
bool polyline(Hdc dc, std::span<const Point> pts);
bool polygon(Hdc dc, std::span<const Point> pts);
bool rectangle(Hdc dc, int left, int top, int right, int bottom);
bool ellipse(Hdc dc, int left, int top, int right, int bottom);
// The sector / arc from the ray towards (x1, y1) anticlockwise to the ray
// towards (x2, y2); equal rays give the whole ellipse.
bool pie(Hdc dc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
bool arc(Hdc dc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
ColorRef setPixel(Hdc dc, int x, int y, ColorRef color);  // the colour set
ColorRef getPixel(Hdc dc, int x, int y);                  // kInvalidColor outside
bool fillRect(Hdc dc, const Rect& rect, HBrush brush);
bool frameRect(Hdc dc, const Rect& rect, HBrush brush);
bool invertRect(Hdc dc, const Rect& rect);

// Gradient-filled triangles: colours in 16 bits per channel (value << 8).
struct TriVertex {
  int x = 0;
  int y = 0;
  uint16_t red = 0;
  uint16_t green = 0;
  uint16_t blue = 0;
  uint16_t alpha = 0;
};
struct GradientTriangle {
  uint32_t v1 = 0;
  uint32_t v2 = 0;
  uint32_t v3 = 0;
};
bool gradientFillTriangles(Hdc dc, std::span<const TriVertex> vertices,
                           std::span<const GradientTriangle> triangles);

// Ternary raster operations of block transfers: the truth table over
// pattern P (0xF0), source S (0xCC) and destination D (0xAA) in bits 16..23.
constexpr uint32_t rop3(uint8_t table) { return static_cast<uint32_t>(table) << 16; }
constexpr uint32_t kSrcCopy = rop3(0xCC);
constexpr uint32_t kSrcPaint = rop3(0xEE);   // S | D
constexpr uint32_t kSrcAnd = rop3(0x88);     // S & D
constexpr uint32_t kSrcInvert = rop3(0x66);  // S ^ D
constexpr uint32_t kSrcErase = rop3(0x44);   // S & ~D
constexpr uint32_t kNotSrcCopy = rop3(0x33);
constexpr uint32_t kNotSrcErase = rop3(0x11);
constexpr uint32_t kMergeCopy = rop3(0xC0);  // P & S
constexpr uint32_t kMergePaint = rop3(0xBB); // ~S | D
constexpr uint32_t kPatCopy = rop3(0xF0);
constexpr uint32_t kPatPaint = rop3(0xFB);
constexpr uint32_t kPatInvert = rop3(0x5A);
constexpr uint32_t kDstInvert = rop3(0x55);
constexpr uint32_t kBlackness = rop3(0x00);
constexpr uint32_t kWhiteness = rop3(0xFF);

// Colour to one-bit: source pixels equal to the source context's background
// colour become 1 (white), others 0. One-bit to colour: 0 bits take the
// destination's text colour, 1 bits its background colour.
bool bitBlt(Hdc dst, int x, int y, int w, int h, Hdc src, int sx, int sy, uint32_t rop);
// Nearest-neighbour scaling; a negative width or height mirrors.
bool stretchBlt(Hdc dst, int x, int y, int w, int h, Hdc src, int sx, int sy, int sw, int sh,
                uint32_t rop);
bool patBlt(Hdc dc, int x, int y, int w, int h, uint32_t rop);

// Device-independent bitmaps: rows padded to 4 bytes, bottom row first for a
// positive height, top row first for a negative one; 1, 4, 8, 24 or 32 bits
// per pixel; pixels of 24/32 bits are blue, green, red(, unused); indexed
// pixels use `colors`.
struct DibHeader {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 24;
  std::vector<PaletteEntry> colors;
};
size_t dibRowBytes(int width, int bitsPerPixel);
size_t dibImageBytes(const DibHeader& header);
HBitmap createDibBitmap(const DibHeader& header, std::span<const uint8_t> bits);
// Rows [startScan, startScan + numScans) of `bitmap` (counted as the header
// orders them) in the header's format; returns the rows copied. A header
// without a width takes the bitmap's size; an indexed format without
// colours gets a default colour table.
int getDibBits(HBitmap bitmap, int startScan, int numScans, DibHeader& header,
               std::vector<uint8_t>& out);
int setDibBits(HBitmap bitmap, int startScan, int numScans, const DibHeader& header,
               std::span<const uint8_t> bits);
// Draws the source rectangle of the DIB (sy counted from the bottom row, as
// for bottom-up bitmaps) scaled into the destination rectangle; returns the
// number of scan lines drawn, 0 on failure.
int stretchDibBits(Hdc dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                   const DibHeader& header, std::span<const uint8_t> bits, uint32_t rop);

// World transform of image transfers: a point (x, y) is drawn at
// (x eM11 + y eM21 + eDx, x eM12 + y eM22 + eDy). Only quarter turns and
// mirrors (each of eM11..eM22 -1, 0 or 1, one non-zero per row and column)
// with a translation are taken; stretchDibBits honours it, the other
// drawing calls of the layer do not. Null restores the identity.
struct XForm {
  int eM11 = 1;
  int eM12 = 0;
  int eM21 = 0;
  int eM22 = 1;
  int eDx = 0;
  int eDy = 0;
  friend bool operator==(const XForm&, const XForm&) = default;
};
bool setWorldTransform(Hdc dc, const XForm* xform);
bool getWorldTransform(Hdc dc, XForm& out);

// A one-bit mask of `bitmap`: 1 where its pixel is `background`.
HBitmap createMaskBitmap(HBitmap bitmap, ColorRef background);

// ---------------------------------------------------------------------------
// Text

struct TextMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 400;
  int overhang = 0;
  bool italic = false;
  bool underlined = false;
  bool struckOut = false;
  bool fixedPitch = false;
  int charSet = kAnsiCharSet;
  int firstChar = 32;
  int lastChar = 255;
  int defaultChar = 31;
  int breakChar = 32;
};
bool getTextMetrics(Hdc dc, TextMetrics& out);
// Width of the text laid out in the selected font, and the cell height.
bool getTextExtent(Hdc dc, std::string_view text, Size& out);
// Advance widths of the characters first..last, one per code.
bool getCharWidths(Hdc dc, int first, int last, std::vector<int>& out);
std::string getTextFace(Hdc dc);
// Text is 8-bit: Windows-1252 for ordinary fonts, the symbol font's own
// codes for symbol fonts. The reference point follows the text alignment;
// the escapement turns the text about it.
bool textOut(Hdc dc, int x, int y, std::string_view text);
// With a rectangle: kEtoOpaque fills it with the background colour first,
// kEtoClipped clips the text to it.
enum ExtTextFlags : unsigned { kEtoOpaque = 2, kEtoClipped = 4 };
bool extTextOut(Hdc dc, int x, int y, unsigned flags, const Rect* rect, std::string_view text);

// ---------------------------------------------------------------------------
// Palettes

HPalette selectPalette(Hdc dc, HPalette palette);
// Maps the selected palette into the display's palette when the display
// works with one (8 bits per pixel); returns the entries mapped.
int realizePalette(Hdc dc);
ColorRef getNearestColor(Hdc dc, ColorRef color);

// ---------------------------------------------------------------------------
// Device capabilities

enum class Cap {
  kHorzRes,         // drawable width in pixels
  kVertRes,
  kHorzSize,        // in millimetres
  kVertSize,
  kLogPixelsX,      // dots per inch
  kLogPixelsY,
  kBitsPixel,
  kPlanes,
  kNumColors,       // -1 above 256 colours
  kSizePalette,     // 0 without a palette
  kNumReserved,
  kColorRes,
  kRasterCaps,      // kRcPalette when the device works with a palette
  kPhysicalWidth,   // printers: the whole paper in device pixels
  kPhysicalHeight,
  kPhysicalOffsetX, // printers: the unprintable margin
  kPhysicalOffsetY,
  kTechnology,      // kTechRasterDisplay, kTechRasterPrinter, kTechMetafile
};
constexpr int kRcPalette = 0x100;
enum Technology : int { kTechRasterDisplay = 1, kTechRasterPrinter = 2, kTechMetafile = 5 };
int getDeviceCaps(Hdc dc, Cap cap);

// The display the layer emulates: fixed and headless by default.
struct DisplayInfo {
  int width = 1280;
  int height = 1024;
  int bitsPerPixel = 24;  // 8 emulates a palette display
  int dpi = 96;
};
DisplayInfo& displayInfo();

// ---------------------------------------------------------------------------
// System colours

enum class SysColor {
  kScrollbar,
  kDesktop,
  kActiveCaption,
  kInactiveCaption,
  kMenu,
  kWindow,
  kWindowFrame,
  kMenuText,
  kWindowText,
  kCaptionText,
  kActiveBorder,
  kInactiveBorder,
  kAppWorkspace,
  kHighlight,
  kHighlightText,
  kBtnFace,
  kBtnShadow,
  kGrayText,
  kBtnText,
  kInactiveCaptionText,
  kBtnHighlight,
  k3dDkShadow,
  k3dLight,
  kInfoText,
  kInfoBk,
  kCount,
};
ColorRef sysColor(SysColor which);
// A solid brush of the system colour, owned by the layer (never deleted).
HBrush sysColorBrush(SysColor which);

// ---------------------------------------------------------------------------
// Recording: every drawing call on a recording context, or on any context
// while recording is switched on, is kept with its arguments in device
// coordinates and the attributes it was drawn with.

enum class CallOp {
  kLine,      // pts[0] -> pts[1], end pixel left out
  kPolyline,
  kPolygon,
  kRectangle, // rect
  kEllipse,
  kPie,       // rect, pts[0], pts[1] radials
  kArc,
  kSetPixel,  // pts[0], color
  kFillRect,  // rect, brush
  kGradient,  // vertices
  kBlt,       // rect destination, srcRect, rop, image
  kText,      // pts[0] reference point, text
  kClear,     // start of page / surface cleared (printer pages)
};

struct DrawAttrs {
  PenDesc pen;
  BrushDesc brush;
  int rop2 = kR2CopyPen;
  int bkMode = kOpaque;
  ColorRef bkColor = makeRgb(255, 255, 255);
  ColorRef textColor = 0;
  unsigned textAlign = 0;
  int polyFillMode = kAlternate;
  LogFont font;
  bool clipped = false;
  Rect clip;  // device coordinates, valid when clipped
};

struct DrawCall {
  CallOp op = CallOp::kLine;
  std::vector<Point> pts;
  Rect rect;
  Rect srcRect;
  ColorRef color = 0;
  uint32_t rop = 0;
  std::string text;
  std::vector<TriVertex> vertices;
  Surface image;  // kBlt: the source pixels, already scaled to the destination
  DrawAttrs attrs;
};

void setRecording(Hdc dc, bool on);
const std::vector<DrawCall>* recordedCalls(Hdc dc);
void clearRecordedCalls(Hdc dc);
// One line per call, e.g. "line 0,0 -> 10,5 pen=solid/1/#ff0000 rop=13".
std::string describeCall(const DrawCall& call);

// ---------------------------------------------------------------------------
// Tests

// Deletes every context and non-stock object and restores the display
// settings.
void resetGdi();

}  // namespace plat
