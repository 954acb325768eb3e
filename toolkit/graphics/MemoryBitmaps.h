// Memory bitmaps and their viewer windows, as the graphics state uses them.
#pragma once

#include <cstdint>

// Makes bitmap slot (number - 1) the drawing surface; status 0 on success.
void YYBitmapSelect(int32_t slot, int32_t& width, int32_t& height, int32_t& status);
// Item 3, 4, 5, 101, 102 or 103 of a bitmap viewer.
int32_t YYBitmapViewerInfo(int32_t viewer, int32_t item);
// Releases what window n's bitmap viewer holds on the window before the
// window manager destroys the viewer and shows the client again.
void YYBitmapViewerRevert(int32_t window);
// Deletes every memory bitmap of the table (the window manager's close-all).
void YYBitmapTableClear();
