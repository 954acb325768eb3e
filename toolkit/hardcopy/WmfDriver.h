// Hardcopy driver 11: the page recorded as a Windows metafile (plain,
// placeable or enhanced, by option 27) into the output file or, for a
// hardcopy started without a name, onto the clipboard.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/Gdi.h"

void XXWMF(int32_t op);

// The 22-byte header of a placeable metafile whose picture is right x
// bottom thousandths of an inch, 1000 units per inch, with its checksum.
std::string YYWmfPlaceableHeader(int32_t right, int32_t bottom);

// The context of the metafile being recorded (0 when none) and the
// driver's clip region on it (0 when none), for images drawn there.
plat::Hdc MetafileDriverDc();
plat::HRgn MetafileDriverClip();
// Forgets the driver's recording and objects (tests).
void ResetMetafileDriver();
