// Grid lines of a graph: major lines at the inner division boundaries and,
// inside each division, minor lines in their own colour, on linear and on
// logarithmic axes. The frame's own edges get no line from here.
#pragma once

#include <array>
#include <cstdint>

#include "VOZUVar/GraphFrame.h"

// Draws over the first `panels` frames (at most two). A minor colour of 0
// or less draws no minor lines in that direction; with major false nothing
// is drawn. The axis switch changes nothing in this program.
void DRAWGRID(std::array<GraphFrame, 2>& frames, bool major, int32_t minorColourX, int32_t minorColourY,
              bool axisSwitch, int32_t panels);
