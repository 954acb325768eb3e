// Child windows and split windows: the lower layer of the window manager
// beside the root window. Up to 50 child windows (numbers 1..50) open in
// the same window tables as the root window; a window can be split into two
// panes divided by a splitter bar the mouse drags; windows close, turn back
// into plain windows, scroll their drawing area and come forward. Every
// routine reports through its status arguments only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/Types.h"

// Words of a split container's record (WindowRecord kind 5, 20 words).
inline constexpr size_t kSplitRecordWords = 20;
inline constexpr size_t kSplitBar = 5;
inline constexpr size_t kSplitContainer = 6;
inline constexpr size_t kSplitPane1 = 7;
inline constexpr size_t kSplitPane2 = 8;
inline constexpr size_t kSplitFlags = 9;
inline constexpr size_t kSplitOptions1 = 10;
inline constexpr size_t kSplitOptions2 = 11;
inline constexpr size_t kSplitSize1 = 12;
inline constexpr size_t kSplitSize2 = 13;
inline constexpr size_t kSplitMove = 14;
inline constexpr size_t kSplitWidth = 15;
inline constexpr size_t kSplitHeight = 16;
inline constexpr size_t kSplitActive = 17;
inline constexpr size_t kSplitCommand = 18;
inline constexpr size_t kSplitLayout = 19;
inline constexpr int32_t kMoveIdle = -999;

// Split flags (word 9).
inline constexpr int32_t kSplitAboveBelow = 1;
inline constexpr int32_t kSplitProportional = 2;
inline constexpr int32_t kSplitKeepSecond = 4;

// A pane without a caption.
inline constexpr int32_t kOptionNoCaption = 1024;

// Opens a child window; `number` comes back as its window number or a
// negative status (-1 none free or not made; -2 invisible parent, -3 parent
// combined with a dialog, -4 parent with another record, -5 parent not
// open). Width and height come back as the client size obtained.
void YYChildWindowOpen(int32_t x, int32_t y, int32_t& width, int32_t& height, int32_t& number, int32_t options,
                       int32_t menu, const std::array<int32_t, 4>& toolbars, int32_t& dialog, int32_t parent,
                       int32_t background, std::string_view title);

// Splits the current window into two panes; `panes` come back as their
// window numbers, or the same negative status in both.
struct SplitPaneArguments {
  int32_t Options = 0;
  std::array<int32_t, 4> Toolbars{};
  int32_t Menu = 0;
  int32_t Dialog = 0;        // in/out
  int32_t Background = -1;
  std::string_view Title;
};
void YYSplitWindow(std::array<int32_t, 2>& panes, int32_t flags, int32_t firstSize,
                   std::array<SplitPaneArguments, 2>& pane);
// Lays the panes and the bar of container n out in its client area.
void YYSplitLayout(int32_t container);
// Places pane n of a split container by moving the splitter bar so that
// the pane gets the outer size given along the split direction; false
// when n is no pane of a container.
bool YYSplitPanePlace(int32_t pane, int32_t outerWidth, int32_t outerHeight);

// Panes of split containers that become editors (text or grid editors).
// The split container whose client holds frame n directly, or -1.
int32_t YYSplitContainerOf(int32_t pane);
// The outermost of the nested containers that hold pane n, or -1 when n is
// no pane.
int32_t YYSplitOutermost(int32_t pane);
// Which client windows have a pending update region.
using PendingUpdates = std::array<bool, 51>;
PendingUpdates YYPendingUpdates();
// Marks valid again the client windows that had no pending update in
// `before`, only those inside `within` when it is given: an editor that
// opens in a pane repaints alone.
void YYValidateUnpending(const PendingUpdates& before, plat::Hwnd within);
// Every container from pane n up to container `upTo` that has no menu of
// its own takes `menu` into its menu slot and notes n as the pane that
// owns it (its command pane). False when `upTo` does not hold n.
bool YYSplitHandMenu(int32_t pane, int32_t upTo, plat::Hmenu menu);
// Pane n becomes the active pane of each container up to the outermost,
// whose frame then shows n's own menu, else the first menu found on the
// containers going outwards; the menu bar is replaced only when it differs.
void YYSplitActivatePane(int32_t pane);
// Containers whose command pane is n forget it and the menu they took
// from it; a frame that still shows that menu shows its own again.
void YYSplitForgetPane(int32_t pane);

void YYWindowClose(int32_t& window, int32_t& dialog);
void YYWindowCloseTree(int32_t window, int32_t& dialog);
void YYWindowDestroy(int32_t window, int32_t& dialog);
int32_t YYWindowFreeSlot();
void YYWindowActivate();
// Status 1 no window, 2 a plain window, 0 done.
void YYWindowRevert(int32_t& dialog, int32_t options, int32_t& status);
void YYWindowScroll(int32_t dx, int32_t dy, int32_t colour);
void YYWindowExists(int32_t window, int32_t& result);
void YYCursorMove(int32_t x, int32_t y, int32_t mode);
plat::LResult YYDialogBarProc(plat::Hwnd dialog, uint32_t message, plat::WParam wp, plat::LParam lp);

// Dialog bars of the root and the child windows.
// Whether a dialog can be a dialog bar: -5 already loaded, -3 no room for
// another dialog, -1 not in the resources, -4 not made, -2 not made to be
// combined with a window; otherwise the dialog itself, its client size in
// `width` and `height`, and `options` made fixed-size (no maximise box, not
// maximised) unless its extras let it grow. The dialog is tried with
// window 0's frame slot as its parent.
int32_t DialogBarQualify(int32_t dialog, int32_t& options, int32_t& width, int32_t& height);
// Window n's dialog bar: the dialog loaded again, combined with the window,
// filling its drawing area; none (and the dialog identifier -4) when the
// dialog manager could not load it.
plat::Hwnd DialogBarLoad(int32_t n, int32_t& dialog);
// Shows the dialog bar modeless; the window becomes one combined with it
// (a record of kind 3: the dialog, the frame's outer size).
void DialogBarAttach(int32_t n, plat::Hwnd bar, bool show);
