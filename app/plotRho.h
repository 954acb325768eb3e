// The curve graph: the left-hand graph of the page, the suite's curves
// against time, and its scaling: the range of the plotted values over the
// whole suite, the time range, and from them the decades (or divisions)
// and lengths of both axes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "VOZUVar/GraphFrame.h"
#include "engine/SoundingHandler.h"

// Starts a page, draws the frame with its numbered axes, the record's title
// above it and both axis captions, then the record's curves.
void PLOT_RHO(GraphFrame& frame, SoundingRecord& record, SoundingRecord& partner);
// The record's curves in the frame, in the colour KBEST when setColour.
void PLOTRHOCURVES(GraphFrame& frame, SoundingRecord& record, SoundingRecord& partner, bool setColour);

// Widens ymin and ymax by the record's first curve column (magnitudes on a
// logarithmic axis); nothing when status is not 0.
void SCALE_Y_MINMAX(const SoundingRecord& record, float& ymin, float& ymax, int32_t first, int32_t last,
                    int32_t step, bool log, int32_t status);
// The time axis of frame from the record's times: always logarithmic.
void SCALE_X(GraphFrame& frame, const SoundingRecord& record, const SoundingRecord& again);
// The y axis of curve panel `set` from the suite's value range, and the
// curve graph's place and size on the page.
void SCALESUITEY(int32_t set);

// Routines of the module that no command calls.
void SCALE_X_MINMAX(const SoundingRecord& record, float& minimum, float& maximum);
// The frame's y axis from one record's curves; false when no work space
// could be had for the values.
bool SCALE_Y(GraphFrame& frame, const SoundingRecord& record, bool log);
float EFFDEPTH(float a, float b, std::string_view kind);
void PLOTPREP(std::span<float> vector, const RealArray& matrix, int32_t n, int32_t column,
              const SoundingRecord& record);

// The display code the curves are drawn by: that of the stored results
// when a suite has been computed, else the suite settings'.
int32_t DisplayedCode();
// The curve columns a display code draws (1, 2 or 3).
int32_t CurveColumnsOf(int32_t display);
