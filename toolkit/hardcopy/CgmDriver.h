// Driver 9: binary Computer Graphics Metafiles. One metafile with one
// picture per hardcopy; attributes are written only when they change.
// The elements are built by the same element writers as the graphics
// engine's memory metafiles.
#pragma once

#include <cstdint>

void XXCGM(int32_t op);
