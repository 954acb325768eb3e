// User labels of the page (the LabelStore of DisplaySettings.h): drawing
// them, finding the label part under the pointer, and adding and removing
// labels. Positions and sizes are user values of a graph, so a label stays
// at its data point when the graph is zoomed or rescaled.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "VOZUVar/GraphFrame.h"
#include "app/DisplaySettings.h"

// Adds a label in the next slot; a full store refuses it with "Too many
// labels" and gives false.
bool AddLabel(const LabelRecord& label);
// Removes slot i (1-based), moving the later slots down.
void RemoveLabel(int32_t i);
// True when the label sits at its anchor point (no leader line).
bool LabelAtItsAnchor(const LabelRecord& label);

// Every label of `owner`, in slot order, with the pen colour of each.
void DRAWLABELS(int32_t owner, GraphFrame& frame);
// One label: normally (a white box, its text centred in it and a leader to
// the anchor when moved away; nothing when the box leaves the frame) or,
// with xorMode, its outline and leader in XOR. The plot origin must be the
// frame's origin for normal drawing.
void DRAWLABEL(int32_t i, bool xorMode, GraphFrame& frame);
// The label part under the pointer (event units 0..9999): the nearest
// edge, corner or anchor within the tolerance, else the body the pointer
// is in; label 0 when none; anchorPicked for the anchor point; handle 0
// body or anchor, 2 left or right edge, -2 lower or upper edge, 1 or -1 a
// corner. The caller sets label to 0 and tolerance to the pick distance in
// inches. Labels not drawn are not picked; a label whose position is not a
// number is skipped and said once.
void TESTLABEL(int32_t& label, float& tolerance, int32_t pointerX, int32_t pointerY, const GraphFrame& frame,
               GraphFrame& frameCopy, bool& anchorPicked, int32_t& handle, int32_t owner);

// The smallest text height of a label on a frame: as tall as its axis
// numbers.
float LabelTextMinimum(const GraphFrame& frame);
// Sizes a label from a handle dragged to the user values (gx, gy): the
// picked edge (handle 2 or -2) or corner (1 or -1) follows the pointer;
// the box never gets smaller than its text at the smallest height.
void SizeLabelTo(LabelRecord& label, int32_t handle, float gx, float gy, const GraphFrame& frame);

// One of a suite's labels to place: its text, pen colour and member (0 for
// the caption, which comes first).
struct SuiteLabel {
  std::string text;
  int32_t colour = 0;
  int32_t member = 0;
};
// A curve as the page draws it: its points in inches from the frame's
// origin (a point that is not a number breaks it).
struct PlottedCurve {
  std::vector<float> x, y;
};
// Empties the store and places the labels in a corner of the frame (1
// bottom left, 2 top left, 3 top right, 4 bottom right): the caption on the
// first row, the values in columns beneath it, every box inside the frame,
// none over another, the boxes touching so that no curve shows between
// them, the text at least as tall as the axis numbers. Of the four corners
// the one whose labels lie over the fewest segments of `curves` is taken
// (`corner` without curves or on a tie), given back in cornerTaken. Labels
// that cannot be placed so (or beyond the store's 50) are left out; gives
// how many. The frame's scales must be current (FINDAS).
int32_t PlaceSuiteLabels(std::span<const SuiteLabel> labels, int32_t corner, const GraphFrame& frame,
                         std::span<const PlottedCurve> curves = {}, int32_t* cornerTaken = nullptr);

// After the frame's scales changed (a zoom, an unzoom), every label of
// `owner` keeps its size on the page: its place stays at its data values,
// its box as large as it was drawn on `before`, so that a zoom spreads the
// labels without magnifying their text.
void KeepLabelSizesOnPage(int32_t owner, const GraphFrame& before, const GraphFrame& after);

// Routines of the module that no command calls.
// A velocity label (the value with " m/S" or " ft/S") at the pointer.
void MANVLABEL(int32_t owner, float value, int32_t pointerX, int32_t pointerY, const GraphFrame& frame,
               std::string_view unit);
// A number label at x = value and the pointer's y.
void MANDLABL(int32_t owner, int32_t pointerX, int32_t pointerY, float value, const GraphFrame& frame);
void CLEARLABELS(int32_t owner);
void DELETELABEL(int32_t& label);
// Multiply (or add to) one size field of every label.
void SCALELABELSIZE(float LabelRecord::*field, float factor);
void INCLABELSIZE(float LabelRecord::*field, float amount);
