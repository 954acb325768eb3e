// The one global graphics state: which drawable is current, which outputs
// are on, the graphics area and its user units, the current position and
// every drawing attribute. Primitives read it, fill the operand block
// (DriverProtocol.h) and hand one operation code to a route; drivers read
// the attributes they need straight from here.
//
// Three coordinate systems meet here:
//  - user units over the graphics area (IGrUnits), y upward;
//  - page units: float pixel coordinates of the drawable, origin at its
//    bottom-left corner, y upward, extents width - 0.01 and height - 0.01;
//  - pixels: page units truncated toward zero.
//
// Field names are shared with the drivers of the hardcopy layer; keep them.
#pragma once

#include <cstdint>
#include <string>

// Kinds of drawable that IGrSelect can make current.
enum DrawableKind : int32_t {
  kDrawableWindow = 1,    // a toolkit window (number: window number)
  kDrawableBitmap = 2,    // a memory bitmap (number: bitmap number)
  kDrawableField = 3,     // a picture field of the current dialog (number: field id)
  kDrawableMetafile = 4,  // an entry of the metafile table (number: 1..20)
};

// Character-size defaults (fractions of the area width and height).
inline constexpr float kDefaultCharWidth = 0.01333333f;
inline constexpr float kDefaultCharHeight = 0.04f;
// The colour indices of white and black in the default palette.
inline constexpr int32_t kPaletteWhite = 0;
inline constexpr int32_t kPaletteBlack = 223;

struct GraphicsStateRecord {
  // ---- view group -------------------------------------------------------
  int32_t PageRotation = 0;      // degrees: 0, 90, 180 or 270
  // The viewport as seen along the text baseline (swapped at 90 and 270).
  float AreaHeightUnits = 0.0f;  // text-view height, page units
  float AreaWidthUnits = 0.0f;   // text-view width, page units
  float UnitsYRange = 1.0f;      // units top - bottom
  float UnitsXRange = 1.0f;      // units right - left
  float ViewportHeight = 0.0f;   // page units
  float ViewportWidth = 0.0f;
  // Drawable extents turned by the page rotation (the "page extent").
  float RotatedExtentY = 0.0f;
  float RotatedExtentX = 0.0f;
  // Drawable height - 0.01 and width - 0.01, set on every rescale.
  float PageExtentY = 0.0f;
  float PageExtentX = 0.0f;
  int32_t ViewportPixelHeight = 0;  // truncated top - truncated bottom + 1
  int32_t ViewportPixelWidth = 0;
  // Viewport corners in pixels (truncated page units); op 24 sends them.
  int32_t ClipPixelYMax = 0;
  int32_t ClipPixelXMax = 0;
  int32_t ClipPixelYMin = 0;
  int32_t ClipPixelXMin = 0;
  // The clip window: the viewport widened by 0.001 page units.
  float ClipYMax = 0.0f;
  float ClipXMax = 0.0f;
  float ClipYMin = 0.0f;
  float ClipXMin = 0.0f;
  // The viewport: the area's image in page units.
  float ViewportTop = 0.0f;
  float ViewportRight = 0.0f;
  float ViewportBottom = 0.0f;
  float ViewportLeft = 0.0f;
  float CurrentY = 0.0f;  // current position, user units
  float CurrentX = 0.0f;
  float UnitsTop = 1.0f;  // user units of the area's edges
  float UnitsRight = 1.0f;
  float UnitsBottom = 0.0f;
  float UnitsLeft = 0.0f;
  float AreaFractionHeight = 1.0f;  // area top - bottom
  float AreaFractionWidth = 1.0f;   // area right - left
  float AreaY2 = 1.0f;              // area top, fraction of the drawable
  float AreaX2 = 1.0f;              // area right
  float AreaY1 = 0.0f;              // area bottom
  float AreaX1 = 0.0f;              // area left
  // Drawable width / height (height / width at 90 and 270), or the page
  // aspect of the hardcopy while screen output is off. Text routines divide
  // by it; the state enquiry reports it times 100. 1.32 from start-up until
  // the first rescale.
  float Aspect = 1.32f;

  // ---- lines, fill and plot mode ----------------------------------------
  int32_t SoftFillScreen = 0;   // software-fill request of the screen route: 0, 1 lines, 2 pattern
  int32_t HatchFillMarker = 0;  // the same request of the hardcopy route
  int32_t FillOutline = 1;      // 1: hatch styles also draw the outline
  int32_t HatchAngle = 3;       // 1..4
  int32_t HatchDensity = 2;     // 1..5
  int32_t FillStyle = 0;        // 0 outline, 1 hatch, 2 cross-hatch, 3 pattern/solid, 4 solid
  int32_t MetafileLineThickness = 5;  // tenths of a point, metafile-table drawables
  int32_t ScreenLineThickness = 1;    // pixels, every other drawable
  int32_t LineStyle = 0;        // 0..7
  int32_t PlotMode = 0;         // 0 copy, 1 or, 2 and, 3 exclusive or

  // ---- colour -------------------------------------------------------------
  int32_t ColourMode = 1;              // 1 palette indices, 2 packed RGB
  int32_t ActiveColourCount = 256;     // colour class of the output in use
  int32_t PreviousColourIndex = kPaletteWhite;  // -1: an RGB colour without index
  int32_t ColourIndex = kPaletteBlack;
  int32_t PreviousColourRgb = 0x00FFFFFF;  // packed 0x00BBGGRR
  int32_t ColourRgb = 0;
  int32_t PreviousDeviceColour = 0;    // colour number for the device's class
  int32_t DeviceColour = kPaletteBlack;
  int32_t ScreenColourCount = 256;     // class of the display found at start-up: 2, 8, 16, 256
  int32_t DeviceColours = 256;         // class used to map indices onto device colours

  // ---- outputs and drawable -----------------------------------------------
  int32_t HardcopyActive = 0;       // >= 1 while a hardcopy is open
  int32_t ScreenOutput = 0;         // 0: the screen route ignores every op
  int32_t DrawableHeight = 0;       // pixels
  int32_t DrawableWidth = 0;
  int32_t MetafileRecording = 0;    // 1 while a memory metafile is the drawable
  int32_t WindowSelectionFlag = 0;  // set while the window layer re-selects a window
  int32_t DrawableOwner = 0;        // kind 3: the dialog holding the field
  int32_t DrawableNumber = 0;
  int32_t DrawableKind = kDrawableWindow;

  // ---- character size and text direction ----------------------------------
  float CharWidthFraction = kDefaultCharWidth;    // of the area width
  float CharHeightFraction = kDefaultCharHeight;  // of the area height
  float CharScaleX = 0.0f;  // page extent / character size, from the driver
  float CharScaleY = 0.0f;
  int32_t DeviceFamily = 1;    // 0 user font by name, 1 fixed, 2 sans, 3 serif, 4 symbol
  int32_t FallbackFamily = 1;  // stroke family when device text cannot be used (1..4)
  int32_t FontKind = 0;        // 1 stroke font in use, 0 device font
  float TextAngle = 0.0f;        // degrees, 0 <= angle < 360
  float DeviceTextAngle = 0.0f;  // (text angle + page rotation) mod 360
  float TextAngleCos = 1.0f;     // terms of the text angle
  float TextAngleSinAspect = 0.0f;  // sin * A
  float TextAngleSinOver = 0.0f;    // sin / A
  float TextDirCosine = 1.0f;       // terms of the effective angle
  float TextDirSineAspect = 0.0f;   // sin * A
  float TextDirSine = 0.0f;         // sin / A

  // ---- fonts and text attributes ------------------------------------------
  int32_t SpacingMode = 0;   // 0 fixed pitch, 1 width table, 2 widths measured by the driver
  int32_t TextStyle = 0;     // bits: 0 bold, 1 italic, 2 underline, 3 boxed
  int32_t BoldMarker = 0;    // bold bit for which the installed outline family was chosen
  float Slant = 0.0f;        // italic shear of stroke text
  std::string UserFontName = std::string(100, ' ');  // device family 0, blank-padded
  int32_t TextJustify = 1;        // 0 start, 1 centre, 2 end
  int32_t VerticalText = 0;       // non-zero: characters stacked downward
  int32_t TextSecondSetting = 2;  // stored only
  int32_t GlyphFillActive = 0;    // 1 while outline glyphs are being filled
};

// The one instance, and its reset to the values toolkit start-up leaves
// (screen output and hardcopy off, aspect 1.32), for start-up and tests.
GraphicsStateRecord& GraphicsState();
void ResetGraphicsState();
