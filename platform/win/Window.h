// The window system: classes, windows, the message queue, painting, focus,
// capture, timers and the virtual clock.
//
// Single-threaded and deterministic. There is one FIFO queue for posted and
// input messages; a character made from a key-down is the next message;
// paint and timer messages are made only when nothing else is queued; send
// calls the window procedure at once and may nest; modal loops nest. A
// blocking wait on an empty queue asks the idle hook for input (a test or an
// input script) and fails with "event loop starved" when there is none.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Surface.h"
#include "platform/win/Keys.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Styles.h"

namespace plat {

// A failure that must not pass silently in a headless run: a wait with no
// input source, a dialog or menu with no queued answer.
struct FatalError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
[[noreturn]] void fatal(const std::string& what);

// ---------------------------------------------------------------- classes

struct WindowClass {
  std::string name;                // compared without regard to case
  uint32_t style = 0;              // cs::
  WndProc proc = nullptr;
  int classExtraBytes = 0;
  int windowExtraBytes = 0;        // extra words of each window (getWindowExtra)
  Hicon icon;
  Hicon smallIcon;
  Hcursor cursor;                  // set in the client area by the default procedure
  HBrush background = 0;           // client background the default procedure erases with
};

// Returns the class atom (non-zero), or 0 when the name is in use, empty or
// has no procedure.
uint16_t registerClass(const WindowClass& wc);
// Refused (false) while windows of the class exist, or for an unknown name.
bool unregisterClass(std::string_view name);
bool getClassInfo(std::string_view name, WindowClass& out);
uint16_t classAtom(std::string_view name);     // 0 when not registered
std::string getClassName(Hwnd w);
uint32_t getClassStyle(Hwnd w);
// Class-wide settings changed through one of its windows; each returns the
// previous value.
uint32_t setClassStyle(Hwnd w, uint32_t style);
Hcursor setClassCursor(Hwnd w, Hcursor c);
Hicon setClassIcon(Hwnd w, Hicon icon, IconKind kind = kIconBig);
HBrush setClassBackground(Hwnd w, HBrush b);

// ---------------------------------------------------------------- windows

constexpr int kUseDefault = INT_MIN;   // position or size chosen by the system

// Creates a window. For a child window (ws::Child) `parent` is its parent and
// `id` its control identifier; for a top-level window `parent` is its owner
// (or none) and `menu` its menu bar. Order of messages: NcCreate, Create,
// (ParentNotify to the parent chain), Size, Move, and when ws::Visible is set
// ShowWindow and the activation of a top-level window. Returns none when the
// class is unknown, the parent of a child is missing, or NcCreate or Create
// refuse.
Hwnd createWindowEx(uint32_t exStyle, std::string_view className, std::string_view title, uint32_t style,
                    int x, int y, int cx, int cy, Hwnd parent, Hmenu menu = {}, intptr_t id = 0,
                    LParam createParam = 0);
inline Hwnd createWindow(std::string_view className, std::string_view title, uint32_t style, int x, int y,
                         int cx, int cy, Hwnd parent = {}, Hmenu menu = {}, intptr_t id = 0) {
  return createWindowEx(0, className, title, style, x, y, cx, cy, parent, menu, id, 0);
}

// Destroys a window: windows it owns first, then Destroy to it and to its
// children (parent first), NcDestroy to them (children first), and frees
// them with their menu bar, timers and surfaces. Focus, activation and
// capture held inside move away first.
bool destroyWindow(Hwnd w);
bool isWindow(Hwnd w);

Hwnd getParent(Hwnd w);                 // the parent of a child window; none for a top-level window
Hwnd getOwner(Hwnd w);                  // the owner of a top-level window
Hwnd setParent(Hwnd w, Hwnd newParent); // returns the old parent; none makes it top-level
enum class Ancestor { Parent, Root, RootOwner };
Hwnd getAncestor(Hwnd w, Ancestor kind);
bool isChild(Hwnd parent, Hwnd w);      // w lies (at any depth) inside parent
enum class Relation { First, Last, Next, Prev, Owner, Child };
Hwnd getWindow(Hwnd w, Relation r);     // siblings in Z order, top first
Hwnd getTopWindow(Hwnd parent);         // none: the top-level window on top
std::vector<Hwnd> childWindows(Hwnd parent);   // direct children, top of the Z order first
std::vector<Hwnd> topLevelWindows();           // top of the Z order first
Hwnd getDlgItem(Hwnd parent, intptr_t id);     // first direct child with that id

intptr_t getWindowId(Hwnd w);
intptr_t setWindowId(Hwnd w, intptr_t id);
uint32_t getWindowStyle(Hwnd w);
uint32_t setWindowStyle(Hwnd w, uint32_t style);      // StyleChanging, StyleChanged; returns the old style
uint32_t getWindowExStyle(Hwnd w);
uint32_t setWindowExStyle(Hwnd w, uint32_t exStyle);
intptr_t getUserData(Hwnd w);
intptr_t setUserData(Hwnd w, intptr_t value);         // returns the old value
WndProc getWindowProc(Hwnd w);
WndProc setWindowProc(Hwnd w, WndProc proc);          // returns the replaced procedure
LResult callWindowProc(WndProc proc, Hwnd w, uint32_t message, WParam wp, LParam lp);
// Extra words of a window (WindowClass::windowExtraBytes), at byte offsets
// that are multiples of sizeof(intptr_t). Out of range: 0 and nothing stored.
intptr_t getWindowExtra(Hwnd w, int offset);
intptr_t setWindowExtra(Hwnd w, int offset, intptr_t value);

bool setWindowText(Hwnd w, std::string_view text);    // sends SetText
std::string getWindowText(Hwnd w);                    // sends GetTextLength and GetText
int getWindowTextLength(Hwnd w);

// ---------------------------------------------------------------- geometry

bool getWindowRect(Hwnd w, Rect& r);   // outer rectangle, screen coordinates
bool getClientRect(Hwnd w, Rect& r);   // (0, 0, width, height)
Point clientToScreen(Hwnd w, Point p);
Point screenToClient(Hwnd w, Point p);
// From the client coordinates of one window to another's (none: the screen).
Point mapWindowPoint(Hwnd from, Hwnd to, Point p);
Rect mapWindowRect(Hwnd from, Hwnd to, Rect r);

// Position and size of the outer rectangle in the parent's client
// coordinates (screen coordinates for a top-level window).
bool setWindowPos(Hwnd w, Hwnd insertAfter, int x, int y, int cx, int cy, uint32_t flags);
bool moveWindow(Hwnd w, int x, int y, int cx, int cy, bool repaint = true);
bool bringWindowToTop(Hwnd w);

struct WindowPlacement {
  ShowCmd showCmd = ShowCmd::ShowNormal;
  Point minPosition;
  Point maxPosition;
  Rect normalPosition;   // the restored outer rectangle (work-area coordinates, here equal to the screen's)
};
bool getWindowPlacement(Hwnd w, WindowPlacement& p);
bool setWindowPlacement(Hwnd w, const WindowPlacement& p);

bool showWindow(Hwnd w, ShowCmd cmd);   // returns whether it was visible before
bool isWindowVisible(Hwnd w);           // it and every ancestor are visible
bool isIconic(Hwnd w);
bool isZoomed(Hwnd w);
bool enableWindow(Hwnd w, bool enable); // sends Enable; returns whether it was disabled before
bool isWindowEnabled(Hwnd w);

// The visible, enabled window under a screen point (children searched,
// windows answering kHtTransparent skipped).
Hwnd windowFromPoint(Point screen);
Hwnd childWindowFromPoint(Hwnd parent, Point client);   // a direct child or the parent itself

// ---------------------------------------------------------------- focus, activation, capture

Hwnd setFocus(Hwnd w);          // KillFocus to the old window, SetFocus to the new; returns the old
Hwnd getFocus();
Hwnd setActiveWindow(Hwnd w);   // top-level windows; returns the previously active one
Hwnd getActiveWindow();
Hwnd setCapture(Hwnd w);        // returns the previous capture window
bool releaseCapture();
Hwnd getCapture();

// ---------------------------------------------------------------- messages

LResult sendMessage(Hwnd w, uint32_t message, WParam wp = 0, LParam lp = 0);
bool postMessage(Hwnd w, uint32_t message, WParam wp = 0, LParam lp = 0);
void postQuitMessage(int exitCode);

// Takes the next message (of window `filter` only when one is given, in the
// message range first..last when last != 0). Waits through the idle hook;
// returns false for Quit.
bool getMessage(Msg& m, Hwnd filter = {}, uint32_t first = 0, uint32_t last = 0);
enum PeekFlags : uint32_t { kPmNoRemove = 0, kPmRemove = 1 };
bool peekMessage(Msg& m, Hwnd filter, uint32_t first, uint32_t last, uint32_t flags);
// Queues the character of a key-down as the very next message.
bool translateMessage(const Msg& m);
LResult dispatchMessage(const Msg& m);
void waitMessage();                      // returns when a message is available
uint32_t getMessageTime();               // time of the message taken last
Point getMessagePos();
uint32_t registerWindowMessage(std::string_view name);   // same name (any case), same number
bool inSendMessage();                    // a sent message is being handled
LResult defWindowProc(Hwnd w, uint32_t message, WParam wp, LParam lp);

// A nested message loop that runs until endModalLoop() ends it. Loops nest:
// ending an outer loop while an inner one runs takes effect when the inner
// one has returned. A Quit message ends the loop (result -1) and is posted again.
struct ModalLoop {
  bool ended = false;
  int result = 0;
};
int runModalLoop(ModalLoop& loop, const std::function<bool(Msg&)>& preTranslate = {});
void endModalLoop(ModalLoop& loop, int result);
int modalLoopDepth();

// Called by a blocking wait when the queue is empty, nothing needs painting
// and no timer is due. Return true after supplying input (or answers); false
// when there is nothing more to give.
using IdleHook = std::function<bool()>;
void setIdleHook(IdleHook hook);
// Whether a blocking wait can ever get input: the desktop of a display
// backend, or headless an idle hook (a test or an input script). Dialogs
// with no queued answer open for real only when it can.
bool inputSourceAvailable();

// ---------------------------------------------------------------- timers and the clock

using TimerProc = void (*)(Hwnd, uint32_t message, uintptr_t id, uint32_t time);
// Returns the id, or 0 when the window does not exist. A timer fires when the
// virtual clock reaches its time; a blocking wait with nothing else to do
// moves the clock on to the next timer.
uintptr_t setTimer(Hwnd w, uintptr_t id, uint32_t elapseMs, TimerProc proc = nullptr);
bool killTimer(Hwnd w, uintptr_t id);
uint32_t tickCount();                    // the virtual clock, in milliseconds

// ---------------------------------------------------------------- painting

struct PaintStruct {
  Hdc hdc = 0;
  bool erase = false;     // the background still needs erasing
  Rect paint;             // the area to paint, client coordinates
};
// Sends EraseBkgnd when the area was invalidated with erasing, then marks
// the window valid. The device context comes from the drawing layer.
Hdc beginPaint(Hwnd w, PaintStruct& ps);
bool endPaint(Hwnd w, const PaintStruct& ps);
bool invalidateRect(Hwnd w, const Rect* r, bool erase);   // r null: the whole client area
bool validateRect(Hwnd w, const Rect* r);
bool getUpdateRect(Hwnd w, Rect* r, bool erase);          // true when something needs painting
bool updateWindow(Hwnd w);                                // sends Paint now when needed
bool redrawWindow(Hwnd w, const Rect* r, uint32_t rdwFlags);

// The backing pixels of a window's client area (sized to it), and of its
// whole outer rectangle (frame included; made on first use). Null for an
// unknown window.
Surface* clientSurface(Hwnd w);
Surface* windowSurface(Hwnd w);

// Moves the pixels of a window's client area by dx, dy (its child windows
// stay where they are); a pending update area moves with them. `uncovered`
// gets the strips the move laid bare, in client coordinates (the columns
// first, then the rows; none when nothing moved): their pixels are left as
// they were and nothing is invalidated, so the caller fills them.
bool scrollWindowEx(Hwnd w, int dx, int dy, std::vector<Rect>& uncovered);
// The same, for a window whose painting fills what is laid bare:
// sw::Invalidate invalidates the uncovered strips (erased first with
// sw::Erase), sw::ScrollChildren moves the child windows along.
namespace sw {
constexpr uint32_t ScrollChildren = 0x01;
constexpr uint32_t Invalidate = 0x02;
constexpr uint32_t Erase = 0x04;
}  // namespace sw
bool scrollWindowEx(Hwnd w, int dx, int dy, uint32_t swFlags);

// ---------------------------------------------------------------- cursor, keys, beeps

enum class SysCursor { Arrow, Wait, AppStarting, Cross, IBeam, No, SizeAll, SizeNS, SizeWE, SizeNESW, SizeNWSE, UpArrow };
Hcursor loadCursor(SysCursor shape);     // the same handle every time
bool cursorShape(Hcursor c, SysCursor& shape);   // false for cursors that are not system shapes
Hcursor setCursor(Hcursor c);            // returns the previous cursor
Hcursor getCursor();
Point getCursorPos();                    // screen coordinates
// Moves the pointer; the move reaches the window under it as mouse input
// does, when a loop takes it.
void setCursorPos(Point screen);

// High bit (a negative value) when the key is down, low bit when toggled
// (Caps Lock, Num Lock, Scroll Lock), as of the message taken last.
int16_t getKeyState(uint32_t vk);

bool messageBeep(uint32_t type);

}  // namespace plat
