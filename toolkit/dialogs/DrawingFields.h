// Dialogs and their picture fields as drawing surfaces.
#pragma once

#include <cstdint>

// The dialog whose fields can be drawn into (0 = none).
int32_t YYCurrentDialog();
// Makes field (0 = the dialog itself) the drawing surface; field -1 when
// the control is missing or has no drawing context.
void YYFieldDrawable(int32_t& field, int32_t& width, int32_t& height);
