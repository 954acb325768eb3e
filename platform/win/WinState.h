// The window system's state: one record behind an accessor. Internal to
// platform/; other modules reach it through the routines of Window.h.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win/PaintHooks.h"
#include "platform/win/WindowRecord.h"

namespace plat::test {
class MessageLog;
}

namespace plat::detail {

// One entry of the queue: a posted message, or raw input that becomes a
// message when a loop reaches it.
struct QueueEntry {
  enum Kind { Posted, KeyInput, MouseMoveInput, ButtonInput, WheelInput, CharInput } kind = Posted;
  Msg msg;                 // Posted (and, for input, time and pointer position)
  uint32_t vk = 0;         // KeyInput: the key; CharInput: the character
  bool down = false;       // KeyInput, ButtonInput
  int button = 0;          // ButtonInput: 0 left, 1 right, 2 middle
  int delta = 0;           // WheelInput
};

struct TimerRecord {
  Hwnd hwnd;
  uintptr_t id = 0;
  uint32_t elapse = 0;
  uint32_t due = 0;
  TimerProc proc = nullptr;
};

struct WinState {
  std::map<std::string, std::unique_ptr<ClassRecord>> classes;   // by upper-case name
  uint16_t nextAtom = 0xC000;
  std::unordered_map<uint32_t, std::unique_ptr<WindowRecord>> windows;
  std::vector<Hwnd> topLevels;          // top of the Z order first
  std::deque<QueueEntry> queue;
  bool quitPosted = false;
  int quitCode = 0;
  Hwnd focus;
  Hwnd active;
  Hwnd capture;
  uint32_t clock = 0;
  uint32_t lastMsgTime = 0;
  Point lastMsgPos;
  Point cursorPos;
  Hcursor cursor;
  std::array<uint8_t, 256> keys{};      // 0x80 down, 0x01 toggled
  // The last button press, for double clicks.
  struct {
    Hwnd hwnd;
    uint32_t message = 0;
    uint32_t time = 0;
    Point pt;
    bool valid = false;
  } lastClick;
  std::vector<TimerRecord> timers;
  std::map<std::string, uint32_t> registered;   // upper-case name -> message
  std::map<uint32_t, std::string> registeredNames;
  uint32_t nextRegistered = wm::FirstRegistered;
  IdleHook idle;
  // Blocking waits that only a timer could end since input last came (from
  // the idle hook, or raw input taken from the queue): how far they moved
  // the clock and how often. Bounded, so that a loop that only timers keep
  // alive fails instead of running for ever.
  uint32_t timerOnlyMs = 0;
  int timerOnlyWakes = 0;
  int sendDepth = 0;
  int modalDepth = 0;
  std::vector<test::MessageLog*> logs;
  int beeps = 0;
  std::unordered_map<uint32_t, int> menuBarRedraws;
  std::array<Hcursor, 12> sysCursors{};
  bool hooksInstalled = false;
  bool builtinsRegistered = false;
  // A size drag in progress: from a press on a sizing border (or a size
  // grip) until the left button comes up, the mouse moves that edge.
  struct {
    Hwnd hwnd;               // none while no drag is in progress
    int hit = 0;             // the edge or corner dragged (kHtLeft..kHtBottomRight)
    Rect start;              // outer rectangle on the screen at the press
    Point anchor;            // screen point of the press
    Rect proposed;           // what the pointer asked for last
    MinMaxInfo limits;
  } sizeDrag;
  // A move drag in progress: from a press on a part answering "caption"
  // until the left button comes up, the mouse moves that window.
  struct {
    Hwnd hwnd;               // none while no drag is in progress
    Rect start;              // outer rectangle on the screen at the press
    Point anchor;            // screen point of the press
    Rect proposed;           // what the pointer asked for last
  } moveDrag;
};

WinState& state();
// Handle values are never reused; one counter serves every kind of handle.
uint32_t newHandleValue();
void resetHandleCounter();

WindowRecord* find(Hwnd w);
std::string upper(std::string_view s);

// Starts the window system on first use: drawing hooks and built-in classes.
void ensureStarted();
// Built-in classes of the other modules (status bar, toolbar, tooltip,
// menu pop-ups, dialogs).
void registerBuiltinClasses();

// Geometry helpers shared by the modules.
Rect screenRect(const WindowRecord& r);         // outer rectangle on the screen
Rect clientRectOnScreen(const WindowRecord& r);
Insets insetsOf(const WindowRecord& r);
Size clientSizeOf(const WindowRecord& r);
void resizeSurfaces(WindowRecord& r);
bool hiddenByAncestor(const WindowRecord& r);
Hwnd topLevelOf(Hwnd w);

// Frame geometry and hit testing (window coordinates relative to the outer
// top-left corner).
Rect framePart(const WindowRecord& r, FramePart part);
int frameWidthOf(const WindowRecord& r);
// What wm::GetMinMaxInfo proposes before the window's procedure changes it.
MinMaxInfo defaultMinMax(const WindowRecord& r);
int hitTest(const WindowRecord& r, Point screen);
// The window under a screen point and its hit code (NcHitTest sent).
Hwnd windowAt(Point screen, int& hit);
// Minimised or maximised without being shown (a hidden window made so).
void setHiddenState(Hwnd w, uint32_t stateBit);

// Sizing by the user. A sizing hit is an edge or corner, kHtLeft to
// kHtBottomRight. The track limits are the defaults as the window's
// procedure changes them (wm::GetMinMaxInfo). sizeByEdge keeps `proposed`
// (outer, on the screen) within them, moving only the edges `hit` names,
// lets the window change it (wm::Sizing) and puts the window there.
bool sizingHit(int hit);
MinMaxInfo trackLimits(Hwnd w);
void sizeByEdge(Hwnd w, int hit, Rect proposed, const MinMaxInfo& limits);
// Starts a size drag of window w's edge `hit` from a screen point, when w
// has a sizing border, is neither minimised nor maximised and the left
// button is down.
void beginSizeDrag(Hwnd w, int hit, Point screen);
// Mouse input during a size drag belongs to it: true when `e` was taken.
bool sizeDragInput(const QueueEntry& e);
// Moving by the user. moveByUser offers `proposed` (outer, on the screen) to the
// window (wm::Moving), which may change it, and puts the window there.
void moveByUser(Hwnd w, Rect proposed);
// Starts a move drag of window w from a screen point, when w is not
// maximised and the left button is down.
void beginMoveDrag(Hwnd w, Point screen);
// Mouse input during a move drag belongs to it: true when `e` was taken.
bool moveDragInput(const QueueEntry& e);

// A window's own scroll bars (platform/ctl): a press on one (hit
// kHtVScroll or kHtHScroll) holds it until the left button comes up; mouse
// input meanwhile belongs to it (true when `e` was taken). The bars'
// settings go with their window.
void beginWindowScrollTrack(Hwnd w, int hit, Point screen);
bool scrollTrackInput(const QueueEntry& e);
void forgetWindowScrollBars(Hwnd w);

// Painting helpers.
void invalidateBelow(Hwnd parent, const Rect& screenArea);   // uncovered area of siblings and parent
void frameChanged(Hwnd w);                                   // non-client repaint

// Activation after a window goes away or hides; activation by a click.
void activateWindow(Hwnd w, bool byClick);
void activateNextAfter(Hwnd leaving);
void dropFocusInside(Hwnd w);

// Message delivery. takeMessage() is the one place messages are found:
// queued entries (input converted on the way), Quit, Paint, then timers.
bool takeMessage(Msg& m, Hwnd filter, uint32_t first, uint32_t last, bool remove);
uint32_t mouseKeys();
// Moves the clock to the next timer when one is pending; false when none is.
bool advanceToNextTimer();
// Timer times are compared as distances on the wrapping 32-bit clock: a
// time is due when it is not ahead of the clock.
inline int32_t clockDistance(uint32_t to, uint32_t from) { return static_cast<int32_t>(to - from); }
inline bool clockReached(uint32_t due, uint32_t clock) { return clockDistance(due, clock) <= 0; }
// Input has come: waits that only timers end start counting again.
void noteInput();
LResult callProc(WndProc proc, Hwnd w, uint32_t message, WParam wp, LParam lp, bool sent);
void logMessage(Hwnd w, uint32_t message, WParam wp, LParam lp, bool sent);

// The menu loop of a frame's menu bar or system menu, started by a click
// (SysCommand kScMouseMenu) or the keyboard (kScKeyMenu): `key` 0 selects
// the bar (Alt alone, F10), ' ' opens the system menu, a letter opens the
// bar item of that mnemonic.
void trackMenuBar(Hwnd frame, Point screen, bool keyboard, int key = 0);
// Keys of the default window procedure that lead to the menu loop: Alt
// pressed and released alone, F10. True when the key was taken.
bool menuKey(Hwnd w, uint32_t message, WParam wp, LParam lp);
// Moving (or sizing) a window with the keyboard, from the system menu:
// arrows move it (the first arrow of a sizing picks the edge), Enter keeps
// the new place, Escape puts it back.
void keyboardSizeMove(Hwnd w, bool size);

// Built-in classes, registered when the window system starts.
void registerMenuClass();
void registerBarClasses();
void registerDialogClasses();

// Counts for the test census.
void barCounts(int& statusBars, int& toolbars);
int iconCount();

// Test reset of every module.
void resetWindows();
void resetMenus();
void resetBars();
void resetDialogs();
void resetResources();
void resetInput();

}  // namespace plat::detail
