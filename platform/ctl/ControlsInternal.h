// Shared by the control modules: state tables, notifications, colours and
// the painting helpers. Internal to platform/ctl.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/ctl/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WinState.h"
#include "platform/win/Window.h"

namespace plat::detail {

// One record per window of a control kind, made on first use and dropped on
// NcDestroy (and by a test reset).
template <class T>
struct StateTable {
  std::unordered_map<uint32_t, std::unique_ptr<T>> map;
  T* get(Hwnd w) {
    auto it = map.find(w.value);
    return it == map.end() ? nullptr : it->second.get();
  }
  T& make(Hwnd w) {
    auto& p = map[w.value];
    if (!p) p = std::make_unique<T>();
    return *p;
  }
  void drop(Hwnd w) { map.erase(w.value); }
};
// Registers a reset routine run by resetControls().
void onControlsReset(void (*fn)());

// Command notification to the parent: low word the control's id, high word
// the code, lParam the control.
void notifyCommand(Hwnd w, uint32_t code);
// Notify to the parent; the header is filled in here.
LResult notifyParent(Hwnd w, NotifyHeader& hdr, int code);

// The font a control draws with (wm::SetFont), the GUI font when none.
HFont controlFont(Hwnd w);
// wm::SetFont / wm::GetFont for any control; true when it was one of them.
bool fontMessage(Hwnd w, uint32_t message, WParam wp, LParam lp, LResult& out);
void forgetFont(Hwnd w);

// Width of a text and the cell height of a font (a shared measuring context).
int textWidth(HFont f, std::string_view s);
int fontHeight(HFont f);

// A device context for painting a control: the paint hooks' one, or one on
// the window's own surface when no drawing layer is plugged in; with
// wm::PrintClient the caller's context.
class ControlDc {
 public:
  ControlDc(Hwnd w, uint32_t message, WParam wp);
  ~ControlDc();
  ControlDc(const ControlDc&) = delete;
  ControlDc& operator=(const ControlDc&) = delete;
  Hdc dc() const { return dc_; }
  Rect client() const { return client_; }

 private:
  Hwnd w_;
  bool painting_ = false;
  bool own_ = false;
  PaintStruct ps_;
  Hdc dc_ = 0;
  Rect client_;
  GdiObj oldFont_ = 0;
};
// Runs `paint` for wm::Paint or wm::PrintClient; true when it was one.
template <class F>
bool paintMessage(Hwnd w, uint32_t message, WParam wp, F&& paint) {
  if (message != wm::Paint && message != wm::PrintClient) return false;
  ControlDc c(w, message, wp);
  if (c.dc()) paint(c.dc(), c.client());
  return true;
}

// Asks the parent for the colours (a CtlColor message) after setting the
// system ones in the context; returns the background brush to use.
HBrush controlColours(Hwnd w, Hdc dc, uint32_t request, SysColor text, SysColor back);

// Text drawing.
enum DrawTextFlags : unsigned {
  kDtLeft = 0,
  kDtCenter = 1,
  kDtRight = 2,
  kDtVCenter = 4,
  kDtBottom = 8,
  kDtWordBreak = 16,
  kDtNoPrefix = 32,   // '&' is an ordinary character
  kDtSingleLine = 64,
};
// Draws text in the context's font and text colour, transparently, clipped
// to `r`. Returns the height used.
int drawTextIn(Hdc dc, const Rect& r, std::string_view text, unsigned flags);
// A dotted focus rectangle (every other pixel inverted).
void drawFocusRect(Hdc dc, const Rect& r);
// An image (a bitmap or icon) copied with its top-left corner at (x, y).
void drawImage(Hdc dc, const Surface& img, int x, int y);
void fillSolid(Hdc dc, const Rect& r, ColorRef c);
void lineSolid(Hdc dc, int x0, int y0, int x1, int y1, ColorRef c);
// The arrow glyph of scroll bars, up-down controls and combo boxes.
enum class ArrowDir { Up, Down, Left, Right };
void drawArrow(Hdc dc, const Rect& r, ArrowDir dir, bool enabled);
// A push-button-like box: raised (or sunken when pressed) on button face.
void drawButtonBox(Hdc dc, const Rect& r, bool pressed);

// Copies a line of text into a caller's line buffer whose first two bytes
// give its room (low byte first); the count of characters copied.
inline int copyToLineBuffer(char* buf, const char* line, int length) {
  const int room = static_cast<unsigned char>(buf[0]) | (static_cast<unsigned char>(buf[1]) << 8);
  const int n = std::min(room, length);
  std::copy_n(line, n, buf);
  return n;
}

bool isDisabled(Hwnd w);
Hwnd notifyTarget(Hwnd w);   // the parent of a control (its owner for pop-ups)

// The registration of each control module.
void registerButtonClass();
void registerStaticClass();
void registerEditClass();
void registerListBoxClass();
void registerComboBoxClass();
void registerScrollBarClass();
void registerProgressClass();
void registerUpDownClass();
void registerTabClass();
void registerHeaderClass();
void registerTrackbarClass();
void registerTreeViewClass();
void registerRichEditClasses();
// A window class of the layer: the arrow cursor, double clicks.
void registerControlClass(const char* name, WndProc proc, uint32_t style = cs::DblClks | cs::ParentDC);

// The code a dropped-down list sends its combo box when an item was
// clicked (the choice is made).
constexpr uint32_t kComboListChosen = 0x7F01;

// Item texts of list and combo boxes, compared with case ignored.
// The first item after `after` (below 0: from the first), wrapping round,
// whose text begins with `text` (exact: equals it); -1 when none.
template <class TextOf>
int findItemText(int count, int after, const char* text, bool exact, TextOf textOf) {
  if (!text) return -1;
  const std::string key = upper(text);
  for (int k = 1; k <= count; ++k) {
    const int i = ((after < 0 ? -1 : after) + k) % count;
    const std::string t = upper(textOf(i));
    if (exact ? t == key : t.compare(0, key.size(), key) == 0) return i;
  }
  return -1;
}
// Where a text goes in a sorted list: after every item that sorts with it or before it.
template <class TextOf>
int sortedPosition(int count, std::string_view text, TextOf textOf) {
  const std::string key = upper(text);
  int i = 0;
  while (i < count && upper(textOf(i)) <= key) ++i;
  return i;
}
// Copies an item's text and a NUL into buf; the text's length.
LResult copyItemText(const std::string& text, char* buf);

// List-box internals shared with the combo box's dropped-down list.
LResult listBoxProc(Hwnd w, uint32_t message, WParam wp, LParam lp);

}  // namespace plat::detail
