// Hardcopy driver 11: the page recorded as a Windows metafile (plain,
// placeable or enhanced, by option 27) into the output file or, for a
// hardcopy started without a name, onto the clipboard.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gdi/Gdi.h"

void XXWMF(int32_t op);

// The 22-byte header of a placeable metafile whose picture is right x
// bottom thousandths of an inch, 1000 units per inch, with its checksum.
std::string YYWmfPlaceableHeader(int32_t right, int32_t bottom);

// Plays a stored metafile (kind 0 plain, 1 placeable, 2 enhanced; a file
// name of one character: the clipboard's enhanced metafile) into the
// rectangle (both corners included) of route 0 (the current window), 10
// (the print-manager driver's printer) or 11 (the metafile being
// recorded), turned by `rotation` (0, 90, 180 or 270 degrees) and shifted
// by the offsets. Error 0; 1 the file does not open or the route has no
// context; 2 the bytes are no metafile of the kind; 1094 or 1095 the
// clipboard is held or holds no enhanced metafile.
void YYWmfPlay(int32_t kind, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t route,
               int32_t rotation, int32_t offsetX, int32_t offsetY, std::string_view file, int32_t& error);

// The context of the metafile being recorded (0 when none) and the
// driver's clip region on it (0 when none), for images drawn there.
plat::Hdc MetafileDriverDc();
plat::HRgn MetafileDriverClip();
// Forgets the driver's recording and objects (tests).
void ResetMetafileDriver();
