// Small readers of printer streams, written from the printer languages:
// PCL raster graphics (with its run-length and PackBits row compression),
// the ESC . raster command of ink-jet printers, and the bit-image columns of
// 8- and 24-pin dot-matrix printers. They give back the dots sent and the
// commands around them, so that tests can compare a page with its raster.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rastertest {

// One decoded command: its letters and value (PCL: "*bW" 42), or for the
// ESC/P languages the command byte and its parameter bytes.
struct Command {
  std::string name;
  int64_t value = 0;
};

// Dots of one row: dot i is bit 7 - i % 8 of byte i / 8.
bool Dot(const std::string& bytes, int32_t i);

// PackBits and the PCL run-length rows back to their bytes; false when the
// codes run past their input.
bool UnpackBits(std::string_view packed, std::string& out);
bool UnpackRunLength(std::string_view packed, std::string& out);

struct PclPage {
  std::vector<Command> commands;             // every command in order
  std::vector<std::vector<std::string>> rows;  // raster rows, each its planes' bytes
  std::string error;                          // empty when the stream parsed
};
PclPage DecodePcl(std::string_view stream);

// Ink-jet raster: every row sent by ESC . at its vertical position (in
// units of the ESC ( U unit), in the colour selected then.
struct InkJetRow {
  int32_t y = 0;
  int32_t colour = -1;  // ESC r value, -1 none selected
  int32_t compression = 0;
  int32_t columns = 0;
  int32_t left = 0;  // ESC \ offset in dots
  std::string bytes;  // unpacked dots
};
struct InkJetPage {
  std::vector<Command> commands;
  std::vector<InkJetRow> rows;
  std::string error;
};
InkJetPage DecodeInkJet(std::string_view stream);

// Dot-matrix: every graphics row with the paper position it was printed at
// (in 1/216 inch, from the first row), its colour and its columns (one
// string of bytesPerColumn bytes per column, bit 7 the top pin).
struct DotRow {
  int64_t position = 0;
  int32_t colour = -1;
  int32_t bytesPerColumn = 1;
  std::vector<std::string> columns;
  bool lineFeed = false;  // ended by CR LF (else by CR)
};
struct DotMatrixPage {
  std::vector<Command> commands;
  std::vector<DotRow> rows;
  std::string error;
};
DotMatrixPage DecodeDotMatrix(std::string_view stream);

// The printed lines of a monochrome dot-matrix page, from the top: rows
// 1/216 inch below the one before are further passes of its band, whose
// pins print every passes-th line.
std::vector<std::vector<bool>> DotMatrixLines(const DotMatrixPage& page);

}  // namespace rastertest
