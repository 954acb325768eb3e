// The metafile table: 20 entries that a drawable of kind 4 names, each an
// enhanced metafile (type 3, recorded through the platform) or a memory
// metafile recorded as binary CGM elements (type 6).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi/Emf.h"

struct CgmElement;

inline constexpr int kMetafileEntries = 20;
inline constexpr int kMetafileAttributes = 10;

struct MetafileEntry {
  int32_t WidthPoints = 0;     // picture size in points
  int32_t HeightPoints = 0;
  int32_t DrawableWidth = 0;   // drawable size: pixels of the reference device,
  int32_t DrawableHeight = 0;  // or the VDC extent of a memory metafile after its header
  int32_t Type = 0;            // 0 empty, 3 enhanced metafile, 6 memory metafile
  int32_t InUse = 0;
  int32_t Capacity = 0;        // bytes of the CGM buffer
  int32_t Used = 0;
  std::vector<uint8_t> Buffer;
  // The recorder's attribute cache (line, text, fill, edge and auxiliary
  // colour, text font index, character height, text alignment, edge width,
  // edge type): an element is written only when its value changes.
  std::array<int32_t, kMetafileAttributes> Cache = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  // A picture is valid from its header to its end: elements come only after
  // the header, a full buffer stops the recording for good while keeping
  // room to end the picture, and nothing follows the end.
  int32_t HeaderWritten = 0;
  int32_t Full = 0;
  int32_t Ended = 0;
};

// Entries 1..20 (element 0 unused).
struct MetafileTableRecord {
  std::array<MetafileEntry, kMetafileEntries + 1> Entry;
};
MetafileTableRecord& MetafileTable();
void ResetMetafileTable();

// ---- memory metafiles (binary CGM) ------------------------------------------

// Bytes kept free in a memory metafile for END PICTURE and END METAFILE.
inline constexpr int32_t kCgmEndReserve = 4;

// The memory-metafile recorder: the screen route's driver while a memory
// metafile is the drawable.
void YYCgmRecordDriver(int32_t op);
// Appends n bytes to the buffer of the current entry, all or nothing;
// 1062 when they do not fit.
void YYGCGM1(const uint8_t* bytes, int32_t n);
// A shaded polygon (op 40) for both writers of CGM: its vertices, the
// first ShadedVertexCount points of the shared point lists, are shaded
// whole triangles at a time, each as an interpolated interior polygon (the
// pattern reference point at its first vertex, the interior's two edges
// from there and the three vertex colours, then the polygon). `vdc` maps
// page units, a position or the difference of two, to VDC; `emit` writes
// one element.
using CgmVdcMap = std::array<int32_t, 2> (*)(float x, float y);
using CgmEmit = void (*)(const CgmElement& e);
void YYCgmShadedPolygon(CgmVdcMap vdc, CgmEmit emit);
// The CELL ARRAY of an image of nx x ny pixels (0xBBGGRR, row by row from
// the top as read from its file, already turned by the page rotation 0, 90,
// 180 or 270 into nx x ny) between the viewport's pixel corners.
std::vector<uint8_t> YYCgmCellArray(std::span<const int32_t> pixels, int32_t nx, int32_t ny, int32_t rotation);
// The same between any three corners in VDC: p the corner of the first
// cell's row start, q the opposite corner, r the corner at the end of the
// first row (the CGM driver puts images into its clip window).
std::vector<uint8_t> YYCgmCellArrayAt(std::span<const int32_t> pixels, int32_t nx, int32_t ny, int32_t rotation,
                                      std::array<int32_t, 2> p, std::array<int32_t, 2> q, std::array<int32_t, 2> r);

// Frees entry 1..20 of either type; a number out of range or an empty
// entry reports 1060.
void WMetafileDestroy(int32_t number);

// ---- enhanced metafiles, slots 0..19 (entry = slot + 1) ----------------------

struct EmfSlot {
  plat::Hdc Recording = 0;            // recording context; kept after the close
  plat::HEnhMetaFile Metafile = 0;    // the finished metafile
  bool Loaded = false;                // made from a file: no recording context
};
std::array<EmfSlot, kMetafileEntries>& EmfSlots();

// Starts recording slot `slot` for a picture of width x height points on
// the default printer when one is known, else on the screen; returns the
// reference device's resolution in pixels and size in millimetres.
void YYEmfCreate(int32_t slot, int32_t widthPoints, int32_t heightPoints, int32_t& hres, int32_t& vres,
                 int32_t& hsize, int32_t& vsize);
void YYEmfDelete(int32_t slot);
// Loads `size` bytes of a metafile file: status 0, 1 when the file cannot
// be opened, 2 when fewer bytes could be read or they are no metafile.
void YYEmfLoad(int32_t slot, int32_t size, int32_t& status, int32_t& error, std::string_view file);
// Plays the slot's metafile into the rectangle of the current surface.
void YYEmfPlay(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Writes the slot's metafile to a file: status 0, else 1 and the system's error.
void YYEmfCopy(int32_t slot, int32_t& status, int32_t& error, std::string_view file);
// Makes slot `slot`'s recording context the drawing surface; status 1 when
// the slot is not recording.
void YYEmfSelect(int32_t slot, int32_t width, int32_t height, int32_t& status);
// Ends the recording of a slot that is still recording.
void YYEmfClose(int32_t slot);
