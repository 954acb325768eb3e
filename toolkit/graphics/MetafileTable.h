// The metafile table: 20 entries that a drawable of kind 4 names, each an
// enhanced metafile (type 3) or a memory metafile recorded as CGM (type 6).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

inline constexpr int kMetafileEntries = 20;

struct MetafileEntry {
  int32_t WidthPoints = 0;     // picture size in points
  int32_t HeightPoints = 0;
  int32_t DrawableWidth = 0;   // drawable size in pixels
  int32_t DrawableHeight = 0;
  int32_t Type = 0;            // 0 empty, 3 enhanced metafile, 6 memory metafile
  int32_t InUse = 0;
  int32_t Capacity = 0;        // bytes of the CGM buffer
  int32_t Used = 0;
  std::vector<uint8_t> Buffer;
};

// Entries 1..20 (element 0 unused).
struct MetafileTableRecord {
  std::array<MetafileEntry, kMetafileEntries + 1> Entry;
};
MetafileTableRecord& MetafileTable();
void ResetMetafileTable();

// The memory-metafile recorder: the screen route's driver while a memory
// metafile is the drawable.
void YYCgmRecordDriver(int32_t op);
// Frees entry 1..20 of either type; a number out of range or an empty
// entry reports 1060.
void WMetafileDestroy(int32_t number);
// Makes an enhanced metafile's recording context the drawing surface.
void YYEmfSelect(int32_t entry, int32_t& failed, int32_t& width, int32_t& height);
