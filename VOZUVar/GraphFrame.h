// The graph frame: one record per graph of the plot page, saying where the
// frame stands, how its axes are divided and numbered, how user values map
// to plot inches and where drawing is clipped.
//
// Plot inches are relative to the frame's origin unless a comment says
// otherwise; "user values" are the data's own values on an axis.
#pragma once

#include <cstdint>

struct GraphFrame {
  float OriginX = 0.0f;     // page position of the lower-left corner, plot inches
  float OriginY = 0.0f;
  float XDivLength = 0.0f;  // plot inches per division (linear) or decade (log);
  float YDivLength = 0.0f;  //   negative: the axis runs leftwards / downwards
  float XStart = 0.0f;      // user value at the origin (linear axes)
  float YStart = 0.0f;
  float XStep = 0.0f;       // user units per division; 0 marks a log axis for the
  float YStep = 0.0f;       //   frame drawing; negative: values decrease along it
  float XOffset = 0.0f;     // plot inches added after scaling
  float YOffset = 0.0f;
  float XScale = 0.0f;      // plot inches per user unit (linear); 1 on a log axis
  float YScale = 0.0f;
  float MaxNumberHeight = 0.0f;  // upper limit of the axis-number height
  float ExtentMinX = 0.0f;  // how far frame lines and numbers reach (in and out
  float ExtentMaxX = 0.0f;  //   of the frame drawing): smallest and largest x,
  float ExtentMinY = 0.0f;  //   lowest x-axis number
  float ClipXLow = 0.0f;    // clip window
  float ClipXHigh = 0.0f;
  float ClipYLow = 0.0f;
  float ClipYHigh = 0.0f;
  int32_t XDivisions = 0;   // divisions (linear) or decades (log); the frame
  int32_t YDivisions = 0;   //   drawing reads a negative count as an option
  // Linear axis: minor subdivisions per division (0 or less: geometric
  // numbering); logarithmic axis: exponent of the first decade.
  int32_t XExponentOrMinor = 0;
  int32_t YExponentOrMinor = 0;
  int32_t MarkerStyle = 0;  // marker code 1..11
  int32_t YExtraA = 0;      // copied with the y axis, not otherwise used
  int32_t YExtraB = 0;
  bool XLog = false;
  bool YLog = false;
  bool LimitNumberHeight = false;  // numbers no higher than MaxNumberHeight
  bool MarkerAlternative = false;  // diamond instead of square for unknown styles
  bool NoCurveBreaks = false;      // curves go on across sweep reversals and repeated x
  bool SingleFrameLines = false;   // frame lines once even on large frames
  bool NumberBottom = false;
  bool NumberLeft = false;
  bool NumberRight = false;
  bool NumberTop = false;
};
