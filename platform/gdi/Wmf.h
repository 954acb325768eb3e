// Windows metafiles: a recording context whose drawing calls become the
// records of the published Windows-metafile layout (an 18-byte header,
// records of 16-bit words, an end record; little-endian). Coordinates are
// the context's logical units, kept within 16 bits.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace plat {

// Starts a metafile whose picture spans `width` x `height` logical units
// (what device capabilities report for the context).
Hdc createMetaFile(int width, int height);

struct MetaFileSetup {
  bool disk = false;   // the header's type: 2 (a file) or 1 (memory)
  int mapMode = 8;     // written first, with the window's origin 0, 0 ...
  Size windowExtent;   // ... and extent, when not empty
};
// Ends the recording into metafile bytes; the context is deleted. False for
// a context that is not recording a metafile.
bool closeMetaFile(Hdc dc, const MetaFileSetup& setup, std::vector<uint8_t>& out);

// True for whole, well-formed metafile bytes (no placeable header): a
// header the layout knows and records that end in an end record within the
// bytes.
bool isMetaFileBits(std::span<const uint8_t> bytes);

// Plays metafile bytes into `rect` (logical units of `dc`, right and bottom
// exclusive): the metafile's window (its window origin and extent records)
// is mapped onto the rectangle. A metafile that sets no window extent takes
// `window` when given, else one unit per pixel from the rectangle's corner.
// The context's world transform (a quarter turn or mirror and a shift) is
// applied to everything drawn; the context's clip bounds the picture; its
// objects and settings are as before afterwards. False, drawing nothing,
// for bytes that are not a metafile. Every size in the bytes is checked
// against the record it is in.
bool playMetaFile(Hdc dc, std::span<const uint8_t> bytes, const Rect& rect, const Rect* window = nullptr);

}  // namespace plat
