// Small modal dialogs that ask for one value or one choice, and the reader
// of a model grid. Each learns how it ended from the field that ended it:
// 1 OK, 2 Cancel.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/SoundingHandler.h"

// Dialog 220: a real number. OK takes the number typed; Cancel, or OK on a
// field that holds no number, sets cancelled and leaves value as it was.
void NUMINDLG(std::string_view prompt, float& value, bool& cancelled);
// Dialog 266: a text of the caller's length (cut and blank-padded).
void STRINGINDLG(std::string_view prompt, std::string& text, bool& cancelled);
// Dialog 117: early (2), late (4) or all-time (6) apparent resistivity;
// count is the number of choices offered (2 or 3).
void EARLYLATEDLG(int32_t& choice, int32_t count, bool& cancelled);
// The layered model from a model grid: failed when the grid holds no
// complete model (with a message unless quiet).
void IGRIDGETMODEL(SoundingRecord& record, bool& failed, bool quiet);

// Dialogs of the module that no command calls.
void INUMINDLG(std::string_view prompt, int32_t& value, bool& cancelled);
void PROCEEDDLG(std::string_view prompt, bool& cancelled);
// Print or export selection: anything true when a data box is on, nothing
// true when no box is on (or on Cancel).
void PRINTDLG(bool& anything, bool exportMode, bool& nothing);
void SAVEFILEDLGQJRES(std::string_view prompt, bool& yes, bool& cancelled);
void GENERATEPAR(float& start, float& end, float& step, int32_t& count, bool& logSpaced, bool& cancelled);
void COLORDLG(bool& cancelled);
// The colour names COLORDLG offers, colour 0 first.
std::string_view ColourName(int32_t colour);
