// Character size relative to the graphics area, the proportional width
// table and the text direction.
#pragma once

#include <cstdint>

void YYCharSizeSet(float width, float height);
void YYCharSizeRefresh();
void YYCHSPACE(int32_t code);
void YYTextAngle(float angle);

// Width factor of a character code (32..126, 128 and 161..255) relative to
// the nominal character width; other codes give the blank's width.
float YYCharWidth(int32_t code);
// The anisotropy of the current view (1 for an unrotated full-size view).
float YYAnisotropy();
