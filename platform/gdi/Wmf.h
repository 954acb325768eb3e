// Windows metafiles: a recording context whose drawing calls become the
// records of the published Windows-metafile layout (an 18-byte header,
// records of 16-bit words, an end record; little-endian). Coordinates are
// the context's logical units, kept within 16 bits.
#pragma once

#include <cstdint>
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

}  // namespace plat
