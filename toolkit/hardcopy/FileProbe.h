// Graphics files recognised by their content and measured: the file types
// the hardcopy drivers write (and a few foreign ones), the picture's size,
// colours and a value or two of the format; page and picture counts of
// HP-GL, CGM and PIC files.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// GraphicsFileType codes (element 1 of the probe's answer).
enum GraphicsFileType : int32_t {
  kFileNone = -1,
  kFileUnknown = 0,
  kFileBmp = 1,
  kFilePcx = 2,
  kFileMetafile = 3,
  kFileHpgl = 4,
  kFileHpgl2 = 5,
  kFileCgm = 6,
  kFilePic = 7,
  kFileDraw = 8,
  kFileTektronix = 9,
  kFilePostScript = 10,
  kFilePcl = 11,
  kFileEscP2 = 12,
  kFileDotMatrix = 13,
  kFileDxf = 14,
  kFilePng = 15,
  kFileSvg = 16,
};

// Fills up to n (1..6, and never more than info holds) elements of info:
// type, width, height, colours, extra, sixth. Elements 2..n are written
// only when the file could be read (type 0 or more), as -1 unless
// measured; for type -1 they keep the caller's values.
void YYGraphicsFileProbe(std::string_view name, std::span<int32_t> info, int32_t n);

// Pages of an HP-GL or HP-GL/2 file (end-of-page records), at least 1.
void YYCNTHPG(std::string_view name, int32_t& pages);
// Pictures of a binary CGM file (at least 1) and the width-to-height ratio
// of its (maximum) VDC extent, 1.0 when it has none.
void YYINFOCGM(std::string_view name, int32_t& pictures, float& aspect);
// Pictures of a Lotus PIC file, at least 1.
void YYCNTPIC(std::string_view name, int32_t& count);

// Big-endian numbers of YYINFOCGM's parameter bytes (1-based position):
// precision 16 reads two bytes as a signed value, any other four; bytes
// beyond the kept parameters read as 0.
int32_t YYCgmReadInt(int32_t position, int32_t precision);
float YYCgmReadReal(int32_t position);
