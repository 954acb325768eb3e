// The window routines of the toolkit's programming interface.
//
// Stand-in: only the dialog enquiry values that shutdown resets are here
// yet; the window manager completes this file.
#pragma once

#include <array>
#include <cstdint>

// The values WDialogInfoItem reports, by item 1..10 (element item - 1).
std::array<int32_t, 10>& DialogInfoItems();
int32_t WDialogInfoItem(int32_t item);
