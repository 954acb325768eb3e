// Driver 1: HP-GL plotter files. One text command per line, the whole
// page mapped onto 0..32760 plotter units in each axis by the scaling
// command, ten plotter models with their paper, resolution and pens, and
// four dialects that decide which shapes the plotter may fill itself.
// With option 18 the file also carries private records, disguised as
// scaling commands ("SC-n ..."), for a reader of our own.
//
// The command writer below is shared with the HP-GL/2 driver.
#pragma once

#include <cstdint>
#include <string_view>

void XXHPGL(int32_t op);

// ---- command writer (plot-file unit 2) -------------------------------------

// State both HP-GL drivers set at their begin of output.
struct HpglWriterRecord {
  bool leadingBlank = false;  // every line starts with one blank (option 17)
  char terminator = 4;        // label terminator (option 21)
  float stepsPerPoint = 14.111111f;
  int32_t p1x = 0, p1y = 0, p2x = 0, p2y = 0;  // scaling points, plotter steps
};
HpglWriterRecord& HpglWriter();

// Writes one command line: the two command letters are kept, every run of
// blanks after them is dropped where it touches the letters or the end
// and becomes one blank between two values.
void YYHpglLine(std::string_view command);
// Two letters, then x * DeviceScaleX and y * DeviceScaleY truncated, (2I6).
void YYHpglCommandXY(std::string_view command, float x, float y);
// "LB", the text unchanged and CR LF.
void YYHpglLabel(std::string_view text, int32_t length);
// A prepared command of at most 50 characters, as one line.
void YYHpglText(std::string_view command);
void YYHpglFlush();
// Private records (written only with option 18).
void YYHpglPointRecord(float x, float y);
void YYHpglAngleRecord(float a, float b);
void YYHpglPrivateRecord(int32_t code, bool restore, int32_t a, int32_t b, int32_t c);
// Writes a line unchanged (one blank first in leading-blank mode).
void YYHpglRawLine(std::string_view text);

// The start of op 5 in both drivers: the page is mapped onto 0..32760
// plotter units in each axis. A begin that opens no new output (op
// qualifier 0 or less) writes the restoring scaling line; otherwise the
// plot file is opened and the leading-blank and terminator options taken.
// True when a new output is open.
bool YYHpglOpenOutput();
// The prolog's initialisation: the scaling points from the page's offset
// and size (stepsPerPoint set), "IN; IP" with them, the rotation ("RO90"
// when turned) with them again, the label terminator and direction.
void YYHpglInitialisation(bool turned);
// Pen up to (x, y) unless the pen is there already.
void YYHpglPenUpTo(float x, float y);
// A pen-up to (x1, y1) where needed and a pen-down line to (x2, y2), which
// becomes the last pen position.
void YYHpglStroke(float x1, float y1, float x2, float y2);

// The stretched scaling of circles and arcs: the scaling line that makes
// one unit of y as long as one of x for the figure, and the figure's
// radius and centre in that scaling (page units).
struct HpglStretch {
  int32_t m = 32760;
  float radius = 0.0f;
  float cx = 0.0f, cy = 0.0f;
};
HpglStretch YYHpglStretchedScaling(float q);
// The sector (op 13) and elliptical arc (op 34) writer. The HP-GL/2 driver
// passes its comment, written before the scaling line, and its pen-down.
void YYHpglSectorArc(int32_t op, void (*beforeScaling)() = nullptr, std::string_view penDown = "PD");
// "LT", then the pattern number and length after a blank (nothing for a
// solid line: pattern "0").
void YYHpglLineType(std::string_view pattern, std::string_view length);
// The clip window in plotter steps ("SC", "IW ...", restore).
void YYHpglClipWindow();
// "SR" with the character size of the text kind's factors; cw divides the
// character width.
void YYHpglCharSize(const float* fw, const float* fh, float cw);
