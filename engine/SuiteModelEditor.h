// The model editor page of the suite (dialog 207): a layered model in a
// grid, one layer per row with its resistivity, thickness and depth to its
// bottom; column arithmetic from the current row down, and insertion and
// deletion of cells and rows, with the thickness and depth columns kept
// consistent as the user types.
#pragma once

#include <cstdint>

#include "engine/SoundingHandler.h"

// Runs the page on the record. mode: 1 the base model, 2 the second model
// as the fade's target, 3 the second model whose response is subtracted.
// exit: the last button pressed; cancelled: true after Cancel.
void SUITEMODELEDIT(SoundingRecord& record, bool& cancelled, int32_t& exit, int32_t mode);
// Reads the grid into the record's layered model; failed (with a message
// and the offending cell current) when a cell is empty or a value cannot be
// a resistivity or a thickness.
void ISUITEGETMODEL(SoundingRecord& record, bool& failed);
// The depth column from the thickness column (column = the thickness
// column), or the reverse (column = the depth column).
void DEPTHADJUSTSUITE(int32_t column);
// Fills the grid from the record's model.
void ISUITEPUTMODEL(const SoundingRecord& record);
