// The graph library: axis scaling of a graph frame (GraphFrame.h), curves
// and markers through it, clipping, the graph cursor and zoom, the frame
// with its numbered axes, fills and dashed lines.
//
// Drawing routines work in plot inches relative to the frame's origin: the
// caller first moves the pen-plotter origin there (PLOTXY with pen code -3).
// Values above 1.0e10 are missing: curves and markers skip them.
#pragma once

#include <cstdint>
#include <span>

#include "VOZUVar/GraphFrame.h"

// ---- axis scaling -----------------------------------------------------------

// Axis set-up from a data range: LOGNX on a logarithmic axis (step 0, low
// exponent and decade count), else LINNX straight into the frame.
void X_AXIS(float vmin, float vmax, GraphFrame& frame);
void Y_AYIS(float vmin, float vmax, GraphFrame& frame);
// Decade exponents lo..hi covering |a|..|b| (at least one decade).
void LOGNX(float a, float b, int32_t& lo, int32_t& hi);
// Powers of two covering a..b.
void LOG2NX(float a, float b, int32_t& lo, int32_t& hi);
// A nice linear axis over a..b with at most 5 divisions (minor is 5).
// Reversed or NaN ranges become 0..1, equal ends a range of 20 around them.
void LINNX(float a, float b, float& start, float& step, int32_t& ndiv, int32_t& minor);
// Scale, offset and clip window of both axes, or one.
void FINDAS(GraphFrame& frame);
void FINDASX(GraphFrame& frame);
void FINDASY(GraphFrame& frame);
// User value to plot inches (relative to the origin); NaN gives 0.
float PLOFX(float v, const GraphFrame& frame);
float PLOFY(float v, const GraphFrame& frame);
void PLOF_XY(float vx, float vy, float& px, float& py, const GraphFrame& frame);
// Page position (origin not yet removed) back to a user value.
float XOFPL(float p, const GraphFrame& frame);
float YOFPL(float p, const GraphFrame& frame);
// Decimals to show for an axis value: -1 for a whole number (no point).
int32_t JSIG(float v);
// Smallest and largest magnitude of the usable elements of x(1:n) (not 0,
// not NaN, 1e-15 < |x| < 1e15), onto the caller's preset values.
void GETNX(std::span<const float> x, int32_t n, float& amin, float& amax);
void IFNDNX(std::span<const int32_t> i, int32_t n, int32_t& imin, int32_t& imax);
// Nice limits from a table of steps; ndiv is in and out.
void FIGLIM(float a, float b, float& first, float& step, int32_t& nminor, int32_t& ndiv);
void COPYXAXIS(GraphFrame& to, const GraphFrame& from);
void COPYYAXIS(GraphFrame& to, const GraphFrame& from);
void COPYXAXISY(GraphFrame& to, const GraphFrame& from);
void COPYYAXISX(GraphFrame& to, const GraphFrame& from);
// One save slot for a frame's division lengths, start values, steps,
// offsets, scales, division counts and minor counts or exponents.
void GTODPL(const GraphFrame& frame);
void DPLTOG(GraphFrame& frame);

// ---- curves and markers -----------------------------------------------------

void GN_MOVE(float vx, float vy, GraphFrame& frame);
void GN_DRAW(float vx, float vy, GraphFrame& frame);
void GN_BOX(float vx, float vy, GraphFrame& frame);
void GN_SYMB(std::span<const float> vx, std::span<const float> vy, int32_t n, GraphFrame& frame);
// Marker at (px, py) plot inches, half sizes dx, dy, in the frame's style.
void BOX(float px, float py, float dx, float dy, bool alt, GraphFrame& frame);
// The same marker clipped to the clip window of PLOTCP.
void BOX_CP(float px, float py, float dx, float dy, bool alt, GraphFrame& frame);
void BOXSTYLE(int32_t style, GraphFrame& frame);
// A curve (lsymb false) or markers (lsymb true) through the frame, clipped
// to its clip window; the pen lifts at missing values, sweep reversals and
// repeated x unless the frame says no curve breaks.
void GNPLOT(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb,
            GraphFrame& frame);
// Sweeps alternate one pixel up and down in two colours (in XOR mode).
void GNPLOTSWEEP(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb,
                 GraphFrame& frame);
// Unclipped: inside points drawn, outside points only lift the pen.
void GNPLOTNOCLIP(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb,
                  GraphFrame& frame);
// No breaks at all.
void GNPLOTCONT(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb,
                GraphFrame& frame);
// Negative values in the next colour.
void GNPLOTSIGN(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb,
                GraphFrame& frame);
// Error markers: height from e(i) (a percentage on a log axis); crosses
// where flag(i).
void GNPLTS(std::span<const float> vx, std::span<const float> vy, std::span<const float> e,
            int32_t n, std::span<const bool> flag, GraphFrame& frame);
// Squares, or crosses where flag(i).
void GNPLTM(std::span<const float> vx, std::span<const float> vy, int32_t n,
            std::span<const bool> flag, GraphFrame& frame);
// Curve or markers whose colour is col(k(i) mod 5 + 1) where k(i) >= 0.
void GNPLTL(std::span<const float> vx, std::span<const float> vy, int32_t n,
            std::span<const int32_t> k, std::span<const int32_t> col, bool lmark,
            GraphFrame& frame);
// Squares or crosses in colour col(k(i) mod 15 + 1) where k(i) >= 0.
void GNPLTLM(std::span<const float> vx, std::span<const float> vy, int32_t n,
             std::span<const int32_t> k, std::span<const int32_t> col, std::span<const bool> flag,
             GraphFrame& frame);

// ---- clipping, cursor and zoom ----------------------------------------------

// Clip window of PLOTCP (plot inches relative to the pen-plotter origin);
// switches clipping on.
void PCLIP(float xlo, float xhi, float ylo, float yhi);
void NOCLIP();
// PLOTXY kept inside the clip window while clipping is on.
void PLOTCP(float x, float y, int32_t ipen, GraphFrame& frame);
// Clips a segment to the window; the ends change only when a part is visible.
void CLIPLN(float& x1, float& y1, float& x2, float& y2, float xlo, float xhi, float ylo, float yhi,
            bool& visible);
// Clips against one limit of one coordinate p (q the other). On an upper
// limit a point exactly on it counts as outside.
void CLIP2(float& p1, float& q1, float& p2, float& q2, float limit, bool islow, bool& visible);
// Cross cursor at a user point in exclusive-or mode: drawing it twice at
// the same point removes it.
void GRFCUR(float vx, float vy, GraphFrame& frame);
void GRFCURCOL(int32_t icol);
void GRFCURSIZE(float hx, float hy);
// True when the user point lies within both axis ranges, limits included.
bool LINGRAPH(float vx, float vy, const GraphFrame& frame);
// Two window positions (0..10000, y from the top) as user values of frame.
void LINEBACK(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2, float& vx1, float& vy1,
              float& vx2, float& vy2, const GraphFrame& frame);
// New nice axis ranges enclosing a box given in window units, keeping the
// frame's place and size on the page (and a descending axis descending).
void ZOOMBOX(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2, GraphFrame& frame);
void ZOOMBOXX(int32_t wx1, int32_t wx2, GraphFrame& frame);
void ZOOMBOXZ(int32_t wy1, int32_t wy2, GraphFrame& frame);

// ---- frame and axes ---------------------------------------------------------

// The height hn of a frame's numbers and ticks (the numbers themselves are
// 1.3 hn high on logarithmic axes, 1.5 hn on linear ones).
float AxisNumberHeight(const GraphFrame& frame);
// The height the numbers of one axis are drawn at (1.3 or 1.5 hn): the
// least height of any text that names or marks that axis.
float AxisNumberTextHeight(const GraphFrame& frame, bool xAxis);
// Border, inward ticks on the top and right edges and the numbered axes the
// frame's flags ask for; the extents grow to cover lines and numbers.
void GNGRID(GraphFrame& frame);
// Numbered axes from (x, y), n divisions of len inches, ticks of length T
// (towards y - T or x - T), minor count E (0 or less: geometric numbering).
void LNHAX(float x, float y, float T, float vstart, float step, float len, float hn, int32_t E,
           int32_t n, GraphFrame& frame);
void LNVAX(float x, float y, float T, float vstart, float step, float len, float hn, int32_t E,
           int32_t n, GraphFrame& frame);
// Logarithmic axes, n decades of len inches from decade e0; note y before x.
void LGHAX(float y, float x, float T, float len, float hn, int32_t e0, int32_t n);
void LGVAX(float x, float y, float T, float len, float hn, int32_t e0, int32_t n,
           GraphFrame& frame);

// ---- fills, dashes and angle line -------------------------------------------

// Filled box (plot inches) cut to the frame's clip window; the corners are
// changed in place and w is the width drawn.
void GNFILL(float& x1, float& y1, float& x2, float& y2, float& w, int32_t icol,
            const GraphFrame& frame);
// The 10 x 8 inch page filled in colour 15.
void PAGECLEAR();
// Filled polygon of user values, kept just inside the clip window.
void GNPOLYFILL(std::span<const float> vx, std::span<const float> vy, int32_t n, int32_t icol,
                const GraphFrame& frame);
// A line across the frame at slope s.
void DRAWANGLINE(GraphFrame& frame, float s);
// Dashed profile split into runs of monotone x, each drawn by DS_PLOT.
void DSPLOT(std::span<const float> vx, std::span<const float> vy, int32_t n, float dash, float gap,
            GraphFrame& frame);
// Dashed line through the points, dash and gap in plot inches; each dash is
// drawn only where its end lies in the clip window. A dash plus gap of 0 or
// less (or a pattern too fine to walk) draws a solid line.
void DS_PLOT(std::span<const float> vx, std::span<const float> vy, int32_t n, float dash,
             float gap, GraphFrame& frame);
// The same for points already in plot inches.
void DS_PLOTIN(std::span<const float> px, std::span<const float> py, int32_t n, float dash,
               float gap, GraphFrame& frame);

// ---- library state ----------------------------------------------------------

struct GraphLibraryStateRecord {
  // Clip window of PLOTCP.
  float ClipXLow = 0.0f, ClipXHigh = 0.0f, ClipYLow = 0.0f, ClipYHigh = 0.0f;
  bool Clipping = false;    // set by PCLIP, cleared by NOCLIP and page starts
  bool NoClipping = false;  // set by NOCLIP, cleared by PCLIP
  float LastX = 0.0f, LastY = 0.0f;  // last point given to PLOTCP, unclipped
  bool LastInside = false;
  // Graph cursor.
  float CursorHalfWidth = 0.3f, CursorHalfHeight = 0.3f;
  int32_t CursorColour = 0;
  // Current point of the dashed line.
  float DashX = 0.0f, DashY = 0.0f;
  // The save slot of GTODPL.
  GraphFrame Saved;
};
GraphLibraryStateRecord& GraphLibraryState();
void ResetGraphLibraryState();
