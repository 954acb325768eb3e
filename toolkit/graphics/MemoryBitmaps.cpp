#include "toolkit/graphics/MemoryBitmaps.h"

// Stand-in: no bitmap exists yet; completed with the memory bitmaps.
void YYBitmapSelect(int32_t /*slot*/, int32_t& width, int32_t& height, int32_t& status) {
  width = 0;
  height = 0;
  status = 1021;
}

// Stand-in: no viewer exists yet; completed with the bitmap viewer.
int32_t YYBitmapViewerInfo(int32_t /*viewer*/, int32_t /*item*/) { return 0; }

// Stand-in: no viewer exists yet; completed with the bitmap viewer (its
// frame procedure and what it holds go).
void YYBitmapViewerRevert(int32_t /*window*/) {}

// Stand-in: no bitmap exists yet; completed with the memory bitmaps.
void YYBitmapTableClear() {}
