// Enhanced metafiles: a recording context keeps every drawing call as a
// record of the published enhanced-metafile format (a header, the records,
// an end record; little-endian, 32-bit aligned). A closed metafile can be
// played into any context, scaled into a rectangle, and read from or
// written to ".emf" bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace plat {

using HEnhMetaFile = uint32_t;

// Starts a metafile for the reference device of `reference` (0: the
// display): its resolution and size are the picture's device. `frame` is
// the picture's frame in hundredths of a millimetre; without one the frame
// is the bounds of what is drawn. The description (usually the program's
// name and the picture's title, each ended by a zero, and a zero after
// them) goes into the header.
Hdc createEnhMetaFile(Hdc reference, const Rect* frame, std::string_view description = {});
// Ends the recording: the context is deleted and the metafile made; 0 for
// a context that is not recording a metafile.
HEnhMetaFile closeEnhMetaFile(Hdc dc);
bool deleteEnhMetaFile(HEnhMetaFile mf);
bool isEnhMetaFile(HEnhMetaFile mf);
// A metafile from its bytes; 0 when they are not a whole, well-formed
// metafile (every size and offset is checked against the bytes).
HEnhMetaFile setEnhMetaFileBits(std::span<const uint8_t> bytes);
bool getEnhMetaFileBits(HEnhMetaFile mf, std::vector<uint8_t>& out);
// A copy in memory (empty file name) or written to the named file, which
// is replaced only once the new one is complete; 0 on failure (errno tells
// why for a file).
HEnhMetaFile copyEnhMetaFile(HEnhMetaFile mf, const std::string& file);

struct EnhMetaHeader {
  Rect bounds;      // device units, inclusive
  Rect frame;       // hundredths of a millimetre, as recorded
  Size device;      // reference device in pixels
  Size millimetres;
  Size micrometres;
  uint32_t bytes = 0;
  uint32_t records = 0;
  uint16_t handles = 0;
};
bool getEnhMetaFileHeader(HEnhMetaFile mf, EnhMetaHeader& out);

// Plays the metafile into `rect` (logical units of `dc`, right and bottom
// exclusive): its frame is mapped onto the rectangle. The context's world
// transform (a quarter turn or mirror and a shift) is applied to everything
// drawn. The context's clip bounds the picture; the context's objects and settings are as before
// afterwards.
bool playEnhMetaFile(Hdc dc, HEnhMetaFile mf, const Rect& rect);

// Deletes every metafile (tests).
void resetEnhMetaFiles();

}  // namespace plat
