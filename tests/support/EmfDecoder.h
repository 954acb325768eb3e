// A decoder of enhanced-metafile bytes written from the published record
// layout, the oracle of the metafiles the program writes (not derived from
// our writer). Every record is: a 32-bit type, a 32-bit size in bytes (a
// multiple of 4, at least 8, counting the type and size), then its fields,
// little-endian. The first record is the header:
//   8 bounds (4 x int32, device units, inclusive)   24 frame (4 x int32, 0.01 mm)
//   40 signature 0x464D4520                         44 version 0x00010000
//   48 total bytes   52 number of records   56 handles (16 bits)  58 reserved
//   60 description length  64 its offset   68 palette entries
//   72 reference device in pixels (2 x int32)  80 in millimetres (2 x int32)
//   88 pixel format size  92 its offset  96 OpenGL flag  100 in micrometres
// The last record is the end-of-file record (type 14): palette entries,
// their offset, and the size of this last record again.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace testsupport::emf {

struct Record {
  uint32_t type = 0;
  uint32_t size = 0;
  size_t offset = 0;
  std::vector<uint8_t> data;  // the whole record

  uint32_t u32(size_t at) const {
    if (at + 4 > data.size()) return 0xDEADBEEF;
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
  }
  int32_t i32(size_t at) const { return static_cast<int32_t>(u32(at)); }
  uint32_t u16(size_t at) const {
    if (at + 2 > data.size()) return 0xBEEF;
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8;
  }
};

struct File {
  std::vector<Record> records;
  std::string error;  // empty when the bytes follow the layout
  // Header fields.
  int32_t bounds[4] = {};
  int32_t frame[4] = {};
  uint32_t bytes = 0, count = 0, handles = 0;
  int32_t devicePx[2] = {}, deviceMm[2] = {}, deviceUm[2] = {};
};

inline File Decode(std::span<const uint8_t> b) {
  File f;
  size_t at = 0;
  while (at < b.size()) {
    if (b.size() - at < 8) {
      f.error = "truncated record at " + std::to_string(at);
      return f;
    }
    Record r;
    r.offset = at;
    r.data.assign(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 8));
    r.type = r.u32(0);
    r.size = r.u32(4);
    if (r.size < 8 || r.size % 4 != 0 || r.size > b.size() - at) {
      f.error = "bad record size " + std::to_string(r.size) + " at " + std::to_string(at);
      return f;
    }
    r.data.assign(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + r.size));
    at += r.size;
    f.records.push_back(std::move(r));
    if (f.records.back().type == 14) break;
  }
  if (f.records.empty() || f.records[0].type != 1 || f.records[0].size < 88) {
    f.error = "no header record first";
    return f;
  }
  const Record& h = f.records[0];
  for (int i = 0; i < 4; ++i) {
    f.bounds[i] = h.i32(8 + 4 * static_cast<size_t>(i));
    f.frame[i] = h.i32(24 + 4 * static_cast<size_t>(i));
  }
  if (h.u32(40) != 0x464D4520) f.error = "bad signature";
  if (h.u32(44) != 0x00010000) f.error = "bad version";
  f.bytes = h.u32(48);
  f.count = h.u32(52);
  f.handles = h.u16(56);
  f.devicePx[0] = h.i32(72);
  f.devicePx[1] = h.i32(76);
  f.deviceMm[0] = h.i32(80);
  f.deviceMm[1] = h.i32(84);
  if (h.size >= 108) {
    f.deviceUm[0] = h.i32(100);
    f.deviceUm[1] = h.i32(104);
  }
  const Record& last = f.records.back();
  if (!f.error.empty()) return f;
  if (last.type != 14) f.error = "no end-of-file record";
  else if (last.u32(last.size - 4) != last.size) f.error = "end record does not repeat its size";
  else if (at != b.size()) f.error = "bytes after the end record";
  else if (f.bytes != b.size()) f.error = "header's byte count " + std::to_string(f.bytes) + " is not " + std::to_string(b.size());
  else if (f.count != f.records.size()) f.error = "header's record count is not the records'";
  return f;
}

inline const char* Name(uint32_t type) {
  switch (type) {
    case 1: return "HEADER";
    case 2: return "POLYBEZIER";
    case 3: return "POLYGON";
    case 4: return "POLYLINE";
    case 14: return "EOF";
    case 15: return "SETPIXELV";
    case 18: return "SETBKMODE";
    case 19: return "SETPOLYFILLMODE";
    case 20: return "SETROP2";
    case 22: return "SETTEXTALIGN";
    case 24: return "SETTEXTCOLOR";
    case 25: return "SETBKCOLOR";
    case 27: return "MOVETOEX";
    case 37: return "SELECTOBJECT";
    case 38: return "CREATEPEN";
    case 39: return "CREATEBRUSHINDIRECT";
    case 40: return "DELETEOBJECT";
    case 42: return "ELLIPSE";
    case 43: return "RECTANGLE";
    case 45: return "ARC";
    case 47: return "PIE";
    case 54: return "LINETO";
    case 75: return "EXTSELECTCLIPRGN";
    case 76: return "BITBLT";
    case 81: return "STRETCHDIBITS";
    case 82: return "EXTCREATEFONTINDIRECTW";
    case 83: return "EXTTEXTOUTA";
    case 84: return "EXTTEXTOUTW";
    case 93: return "CREATEMONOBRUSH";
    case 94: return "CREATEDIBPATTERNBRUSHPT";
    case 95: return "EXTCREATEPEN";
    case 118: return "GRADIENTFILL";
    default: return "?";
  }
}

// The record names in order, blank-separated.
inline std::string Names(const File& f) {
  std::string s;
  for (const Record& r : f.records) s += (s.empty() ? "" : " ") + std::string(Name(r.type));
  return s;
}

}  // namespace testsupport::emf
