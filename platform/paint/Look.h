// How the layer's own parts look: frames with caption and boxes, menu bars,
// pop-up menus, status bars, toolbars and tooltips, in the grey 3-D look
// of the system colours. Each routine paints into a device context inside
// the rectangles its caller laid out; where parts lie is the window
// system's business, how they look is decided here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace plat::look {

// The fonts of the layer's parts (owned here, re-made after a reset).
HFont menuFont();     // menus, status bars, tooltips
HFont captionFont();  // caption titles (bold)

// 3-D edges: two pixel lines each side, light from the top left.
enum class Edge { kRaised, kSunken, kRaisedThin, kSunkenThin, kEtched };
void drawEdge(Hdc dc, const Rect& r, Edge edge);
void fill(Hdc dc, const Rect& r, SysColor colour);

// Text in which "&x" underlines x and "&&" is one "&", drawn with its
// top-left corner at (x, y) in the selected font, transparently.
void drawMnemonicText(Hdc dc, int x, int y, std::string_view text, ColorRef colour);
int mnemonicTextWidth(Hdc dc, std::string_view text);
// The character such a text marks with "&" (lower case), 0 for none: the
// key that chooses a menu item or presses a dialog's button.
int mnemonicOf(std::string_view text);
// The width of a menu text in the menu font, marks not counted.
int menuTextWidth(std::string_view text);

// ---------------------------------------------------------------- frames

enum class CaptionBox { kSystem, kMinimise, kMaximise, kRestore, kClose };
struct CaptionButton {
  CaptionBox kind = CaptionBox::kClose;
  Rect rect;
  bool pressed = false;
  bool disabled = false;
};

struct FrameLook {
  Rect outer;          // the whole window, normally (0, 0, width, height)
  int borderWidth = 0; // frame lines round the window (sizing border or fixed frame)
  bool raisedBorder = true;
  bool clientEdge = false;
  Rect client;         // the client area, for a client edge round it
  Rect caption;        // empty: no caption
  bool active = true;
  std::string title;
  std::vector<CaptionButton> buttons;
  const Surface* icon = nullptr;   // the window's icon in its system box; none: a plain window picture
};
void paintFrame(Hdc dc, const FrameLook& f);

// ------------------------------------------------------------------ menus

struct MenuItemLook {
  Rect rect;
  std::string text;  // "&File", "Cu&t\tCtrl+X"
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  bool highlighted = false;
  bool popup = false;   // opens a further menu
  bool isDefault = false;
};
void paintMenuBar(Hdc dc, const Rect& bar, const std::vector<MenuItemLook>& items);
// The client area of a pop-up menu's window (its border is the frame's).
void paintPopupMenu(Hdc dc, const Rect& client, const std::vector<MenuItemLook>& items);

// --------------------------------------------------------------- bars

struct StatusPartLook {
  Rect rect;
  std::string text;  // a tab moves the rest to the centre, a second to the right
  enum class Border { kSunken, kNone, kRaised } border = Border::kSunken;
};
void paintStatusBar(Hdc dc, const Rect& client, const std::vector<StatusPartLook>& parts, bool sizeGrip);

struct ToolButtonLook {
  Rect rect;
  bool separator = false;
  const Surface* image = nullptr;  // shown centred; pixels of the button face colour are background
  bool enabled = true;
  bool checked = false;
  bool pressed = false;
  bool indeterminate = false;
};
void paintToolbar(Hdc dc, const Rect& client, const std::vector<ToolButtonLook>& buttons);

void paintTooltip(Hdc dc, const Rect& client, std::string_view text);

// A window scroll bar in `r`: arrow buttons at both ends and a thumb for
// `page` of the range min..max at `pos`. Without room to scroll (page
// covering the range) or when disabled, the arrows are greyed and there is
// no thumb. `pressed` is the part held down (0 the first arrow, 1 the
// second, 2 the track before the thumb, 3 the track after it, 5 the thumb;
// -1 none): arrows are drawn sunk, the track darkened.
struct ScrollLook {
  bool vertical = true;
  int min = 0;
  int max = 100;
  int page = 0;
  int pos = 0;
  bool enabled = true;
  int pressed = -1;
};
// Where the parts of such a bar lie; the thumb is empty when there is none.
// Painting and the pointer's hit testing both use it.
struct ScrollParts {
  Rect first, second, track, thumb;
};
ScrollParts scrollBarParts(const Rect& r, const ScrollLook& s);
void paintScrollBar(Hdc dc, const Rect& r, const ScrollLook& s);

}  // namespace plat::look
