// The plot-file output unit: every hardcopy driver that writes a file
// writes it here. The unit creates the file the hardcopy manager named in
// OpText, writes raw bytes or text lines ended by CR LF (gathered into
// blocks: a page of many short lines costs a few system writes), closes
// it, and hands out the system handle to drivers that write to it
// themselves (what the unit holds goes first). Failures leave PlotFileStatus
// at -1 and are told under "YYPROU" once per file, naming it, whatever the
// report mode (a plot file is what the user printed or exported).
//
// A plot file replaces an old file of its name only when it is complete:
// the bytes go to a private file beside it, and the close hands them to
// the OS layer's whole-file writer when no write of the unit failed. A
// file that never reaches its close (the driver gave up, or the hardcopy
// ended without one) is discarded, and the old file stays as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t kPlotFileUnits = 8;

// 0 after a successful open, -1 after any failed open, write or close.
int32_t& PlotFileStatus();

// Writes exactly `length` bytes of `bytes`.
void YYPROU(int32_t unit, std::string_view bytes, int32_t length);
// Writes the first `length` characters of `text` and CR LF as one block.
void YYPlotFileWriteLine(int32_t unit, std::string_view text, int32_t length);
// Creates the file named by the first word of OpText onwards (leading
// blanks kept, trailing blanks cut). A unit that is still open is closed
// first.
void YYPlotFileOpen(int32_t unit);
void YYPlotFileClose(int32_t unit);
// The unit's system handle (-1 when none is open).
void YYPlotFileHandle(int32_t unit, int32_t& handle);

// The file the last finished hardcopy wrote (a plot file, or the PDF of
// the file printer), as it was named; empty while none was written. The
// program names it to the user after a print or an export.
std::string& LastHardcopyFile();
// The printer queue the last finished hardcopy was handed to, by its name;
// empty while none was. Named to the user as the file is.
std::string& LastHardcopyPrinter();

// Discards every plot file still open: its bytes are dropped and the file
// it was to replace is left alone. The hardcopy manager calls it once a
// hardcopy has ended.
void PlotFileDiscardOpen();
// Forgets the units (open files are discarded), for tests.
void ResetPlotFiles();
