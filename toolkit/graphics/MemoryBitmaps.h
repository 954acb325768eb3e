// Memory bitmaps: up to 50 off-screen bitmaps compatible with the display,
// numbered 1..50 for users; the operations here take the slot (number - 1).
// A bitmap can be filled, read, copied to and from the current drawable,
// stretched, mirrored, turned, shown in a bitmap viewer and selected as the
// drawable (kind 2), so that every primitive draws into it.
//
// Pixel coordinates are those of the drawing surfaces: origin at the
// top-left pixel, y downward. Colours are packed 0x00BBGGRR. Operations
// give a status (0 success, 1020 creation failed, 1021 no such bitmap,
// 1036 shown in a viewer, 1066 a failed or refused transfer) and report
// nothing themselves.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Gdi.h"

inline constexpr int kBitmapSlots = 50;

struct BitmapSlot {
  plat::HBitmap Bitmap = 0;  // 0: a free slot
  int32_t Width = 0;
  int32_t Height = 0;
};
struct BitmapTableRecord {
  std::array<BitmapSlot, kBitmapSlots> Slot;
  int32_t RasterMode = 0;  // 0 copy, 1 or, 2 and, 3 exclusive or
  int32_t Current = -1;    // slot that is the current drawable, -1 none
  plat::Hdc CurrentDc = 0; // the drawing surface holding it
};
BitmapTableRecord& BitmapTable();

// The words of a bitmap viewer's window record.
enum ViewerWord : size_t {
  kViewerKind = 0,          // 2
  kViewerToolbars = 1,      // four: top, left, right, bottom
  kViewerChild = 5,         // the viewer window
  kViewerStatusBar = 6,
  kViewerMode = 7,          // 1 modal, 2 modeless, 3 modal without blocking
  kViewerEnd = 8,           // set when a mode-1 viewer closes
  kViewerBitmap = 9,        // the bitmap shown
  kViewerBitmapWidth = 10,
  kViewerBitmapHeight = 11,
  kViewerFitWidth = 12,     // frame size showing the whole bitmap, -999 unset
  kViewerFitHeight = 13,
  kViewerOptions = 14,      // bit 0 keys scroll, bit 1 dragging scrolls
  kViewerDragging = 15,
  kViewerDragX = 16,
  kViewerDragY = 17,
  kViewerDragH = 18,
  kViewerDragV = 19,
  kViewerWords = 20,
};
inline constexpr int32_t kViewerRecordKind = 2;

void YYBitmapCreate(int32_t& number, int32_t width, int32_t height, int32_t colour);
void YYBitmapDelete(int32_t slot, int32_t& status);
void YYBitmapGrab(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height, int32_t& status);
// direction non-zero: bitmap to drawable; 0: drawable to bitmap.
void YYBitmapCopy(int32_t slot, int32_t sx, int32_t sy, int32_t tx, int32_t ty, int32_t width, int32_t height,
                  int32_t direction, int32_t& status);
void YYBitmapPut(int32_t slot, int32_t stretch, int32_t x, int32_t y, int32_t width, int32_t height,
                 int32_t& status);
// The rectangle x1..x2 x y1..y2 of the bitmap, row after row from y1;
// a rectangle outside the bitmap or an array too short gives 1066.
void YYBitmapPutPixels(int32_t slot, std::span<const int32_t> colours, int32_t x1, int32_t y1, int32_t x2,
                       int32_t y2, int32_t& status);
void YYBitmapGetPixels(int32_t slot, std::span<int32_t> colours, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t& status);
void YYBitmapLoadResource(int32_t slot, int32_t resource, int32_t& status);
void YYBitmapResourceSize(int32_t resource, int32_t& width, int32_t& height);
void YYBitmapResize(int32_t slot, int32_t width, int32_t height, int32_t& viewer, int32_t& status);
void YYBitmapMirror(int32_t slot, int32_t vertical, int32_t& viewer, int32_t& status);
// 90 a quarter turn anticlockwise, 180, 270 clockwise.
void YYBitmapRotate(int32_t slot, int32_t angle, int32_t& viewer, int32_t& status);
// A new bitmap with the slot's pixels (0 for no such bitmap); the caller
// deletes it.
plat::HBitmap YYBitmapDuplicate(int32_t slot);
void YYBitmapSize(int32_t slot, int32_t& width, int32_t& height);
void YYBitmapRasterMode(int32_t mode);
// Makes the bitmap the drawing surface; status 1 for no such bitmap.
void YYBitmapSelect(int32_t slot, int32_t& width, int32_t& height, int32_t& status);
// Ends a bitmap drawable: its drawing surface goes.
void YYBitmapRelease();
// Number 1..50 of the first viewer window showing the bitmap, 0 if none.
int32_t YYBitmapViewerOf(int32_t slot);
// Item 3, 4, 5, 101, 102 or 103 of the bitmap viewer of window `viewer`.
int32_t YYBitmapViewerInfo(int32_t viewer, int32_t item);
// Releases what window n's bitmap viewer holds on the window (its frame
// procedure, its place among the viewers that keep the others disabled)
// before the window manager destroys the viewer and shows the client again.
void YYBitmapViewerRevert(int32_t window);

// ---- the bitmap viewer -------------------------------------------------------

// Shows bitmap `slot` in the current window (a child window 1..50) from
// the scroll positions x, y. Modes: 1 modal (returns when the viewer is
// closed), 2 modeless, 3 modal without blocking. Options: bit 0 the keys
// scroll, bit 1 dragging scrolls. Status (not written on success): 1 the
// root window, 2 no such bitmap, 3 the bitmap is the drawable, 4 the window
// has another record, 5 (the viewer still opens) modeless in a window
// inside another, 6 nothing could be made, 9 the client area holds windows.
void YYBitmapViewerOpen(int32_t slot, int32_t x, int32_t y, int32_t mode, int32_t options, int32_t& status);
// Puts bitmap `slot` in the viewer of a record: the frame shrinks to show
// it whole where it can, the scroll bars take its size and, for a position
// not negative, the position.
void YYViewerSetBitmap(std::vector<int32_t>& record, int32_t slot, int32_t x, int32_t y);
plat::LResult YYViewerProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYViewerFrameProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
// Viewers shown in mode 3.
int32_t& BitmapViewerCount();
// Deletes every memory bitmap of the table (the window manager's close-all).
void YYBitmapTableClear();
