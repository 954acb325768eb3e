// The page redraw: REFRESHSUITE draws the whole page from what the last
// suite computation stored (every member's curves and model staircase in
// its own colour, the noise and difference curves, grid lines, labels);
// REFRESH1D is the simpler redraw of one record that the View Properties
// dialog uses. Neither computes nor rescales anything.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "VOZUVar/GraphFrame.h"
#include "engine/SoundingHandler.h"

// The record decides the guard (a record with fewer than 2 times or no
// curve panel gives a cleared page) and the grids; the members are drawn
// through SuiteBaseModel from the stored results and the definition they
// were computed with.
void REFRESHSUITE(SoundingRecord& record, SoundingRecord& partner);
void REFRESH1D(SoundingRecord& record, SoundingRecord& partner, std::array<GraphFrame, 2>& curveFrame,
               std::array<GraphFrame, 2>& modelFrame, int32_t extra);

// Routines of the module that no command calls.
void RESCALESUITE();
void SWAPLOGDATA(SoundingRecord& record, SoundingRecord& partner);
void ZOOMSUITE(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void PLOTCONTOURS(GraphFrame& frame);
void SCALECONTOURS(GraphFrame& frame, std::span<const float> x, int32_t nx, std::span<const float> y, int32_t ny);
// The contour options and the rule the dialog applies to them.
struct ContourOptionsRecord {
  int32_t Quantity = 4;   // 1..6
  bool CheckA = false;
  bool CheckB = false;
  int32_t Choice = 1;     // 1..2
  float FirstLow = 0.0f, FirstHigh = 1.0f;
  float SecondLow = 0.0f, SecondHigh = 1.0f;
};
ContourOptionsRecord& ContourOptions();
void SUITECONTOURPARAMS();
void DATARESCALE1D(SoundingRecord& record, SoundingRecord& partner, std::array<GraphFrame, 2>& curveFrame);
void MODELREMAKE(SoundingRecord& record, std::array<GraphFrame, 2>& modelFrame);
void MODELRESCALE1D(SoundingRecord& record, std::array<GraphFrame, 2>& modelFrame);
