// The test interface of the window system: inject input, answer dialogs and
// menus, move the clock, and look at windows, menus and bars.
//
// Input is queued like real input and takes effect when a message loop takes
// it (hit testing, capture, focus and double clicks are decided then). The
// clock never moves by itself: input is stamped with the current time, and
// advance() moves it, so two clicks at one place with no advance() in between
// are a double click.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/win/Window.h"

namespace plat::test {

// Everything back to the start: windows destroyed (without messages),
// classes, menus, timers, queue, clock, key state, answers, overlays and the
// screen as at program start. The drawing hooks are installed again.
void reset();

// ---------------------------------------------------------------- clock

void advance(uint32_t ms);
uint32_t now();

// ---------------------------------------------------------------- keyboard

// Modifiers held around a key press.
enum Mods : unsigned { kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4 };
void keyDown(uint32_t vk);
void keyUp(uint32_t vk);
// Presses and releases a key with modifiers: modifier downs, key down, key
// up, modifier ups.
void key(uint32_t vk, unsigned mods = kNone);
// Types text on a US keyboard (with Shift where needed); characters that
// have no key arrive as Char messages to the focus window.
void typeText(std::string_view text);

// ---------------------------------------------------------------- mouse (screen coordinates)

enum class Button { Left, Right, Middle };
void mouseMove(Point screen);
void mouseDown(Button b, Point screen);
void mouseUp(Button b, Point screen);
void click(Button b, Point screen);          // move, down, up
void doubleClick(Button b, Point screen);    // two clicks with no time between
void wheel(int delta, Point screen);         // positive: away from the user
// A point given in a window's client coordinates, on the screen.
Point at(Hwnd w, Point client);

// ---------------------------------------------------------------- frames

// A user drag of the frame to a new position or outer size: EnterSizeMove,
// Moving or Sizing (whose rectangle the window may change), the new
// position, ExitSizeMove. Runs at once (not queued).
void dragFrameTo(Hwnd w, Point topLeft);
void dragFrameSize(Hwnd w, Size outer);
// Clicks on a caption box (queued as mouse input on the box).
void clickCloseBox(Hwnd w);
void clickMinimizeBox(Hwnd w);
void clickMaximizeBox(Hwnd w);

// ---------------------------------------------------------------- menus, toolbars

// Chooses a command from a frame's menu bar as a user does: the answer is
// queued and a click on the menu-bar item that holds the command is queued.
// False when the menu bar has no such command.
bool chooseMenu(Hwnd frame, uint32_t command);
// Answers for the next menu loop: a command, a path of 0-based positions
// from the menu's top level, or dismissing the menu.
void answerMenu(uint32_t command, std::function<void()> whileOpen = {});
void answerMenuPath(std::vector<int> path, std::function<void()> whileOpen = {});
void answerMenuDismiss(std::function<void()> whileOpen = {});
// Queues a click on a toolbar button. False when there is no such button.
bool clickToolbarButton(Hwnd toolbar, int command);

// ---------------------------------------------------------------- dialogs

// Each answer serves one dialog of its kind, in order. `whileOpen` runs while
// the dialog is open (its owner disabled), before the answer is given.
void answerMessageBox(int buttonId, std::function<void()> whileOpen = {});
void answerMessageBoxFails();                 // the box cannot be shown
struct FileAnswer {
  bool ok = true;
  std::vector<std::string> paths;             // one, or several for multi-selection; relative to the initial directory
  int filterIndex = 0;                        // 0: keep
  uint32_t error = 0;                         // a failure with this extended error (ok false)
};
void answerFileDialog(FileAnswer a, std::function<void()> whileOpen = {});
struct PageSetupAnswer {
  bool ok = true;
  int orientation = 0;                        // 0: keep, 1 portrait, 2 landscape
  int copies = 0;                             // 0: keep
  bool setMargins = false;
  Rect margins;                               // in the unit the dialog was asked for
};
void answerPageSetup(PageSetupAnswer a, std::function<void()> whileOpen = {});
void answerColour(bool ok, uint32_t rgb = 0);
void answerFont(bool ok, FontChoice font = {});
void answerFolder(bool ok, std::string path = {});
// Drives an open find or replace dialog: sets its texts and flags and sends
// its notice to the owner (fr::FindNext, Replace, ReplaceAll or DialogTerm).
void findDialogAction(Hwnd dialog, uint32_t action, std::string_view findWhat, std::string_view replaceWith = {},
                      uint32_t optionFlags = fr::Down);

// Every box and dialog shown, in order.
struct ShownDialog {
  std::string kind;        // "message box", "open file", "save file", "page setup", "colour", "font", "folder", "find", "replace"
  std::string text;        // message text, or file dialog's initial file name
  std::string caption;     // caption or title
  uint32_t flags = 0;      // mb:: type, ofn::, psd:: ...
  int answer = 0;          // button, or 1 confirmed / 0 cancelled / -1 failed
  std::string initialDir;  // file dialogs
  std::string output;      // page set-up: the output file it shows (the PDF file printer)
};
const std::vector<ShownDialog>& shownDialogs();
void clearShownDialogs();

// ---------------------------------------------------------------- message log

// Records every message that reaches a window procedure (sent or dispatched)
// while it exists. The filter keeps what a test looks at.
struct LoggedMessage {
  Hwnd hwnd;
  uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  bool sent = false;       // sent (true) or taken from the queue (false)
  int depth = 0;           // nesting of sends at the time
};
class MessageLog {
 public:
  explicit MessageLog(std::function<bool(const LoggedMessage&)> filter = {});
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;
  const std::vector<LoggedMessage>& messages() const { return messages_; }
  // "Paint", "KeyDown(65)", ... one per message, for comparing with a table.
  std::vector<std::string> names() const;
  void clear() { messages_.clear(); }
  void add(const LoggedMessage& m);

 private:
  std::function<bool(const LoggedMessage&)> filter_;
  std::vector<LoggedMessage> messages_;
};

// Takes and dispatches queued messages (translating key-downs) until none
// is left; returns the number handled. Never waits.
int pump();

// ---------------------------------------------------------------- processes

// Records the processes the program would start (Spawn, SpawnWithInput)
// and runs none. The programs named in `onPath` are the ones FindProgram
// finds. Each start takes the next queued answer, else starts and ends
// with exit status 0. reset() stops recording.
struct SpawnAnswer {
  int startError = 0;   // an errno: the start fails
  int exitStatus = 0;
};
struct RecordedSpawn {
  std::vector<std::string> argv;
  bool hasInput = false;   // started with a standard input
  std::string input;
  bool waited = false;
};
void recordSpawns(std::vector<std::string> onPath);
void answerSpawn(SpawnAnswer answer);
const std::vector<RecordedSpawn>& recordedSpawns();
void stopRecordingSpawns();

// ---------------------------------------------------------------- inspection

// The window tree as text: one line per window, indented by depth, with
// class, id, text, visibility and client rectangle.
std::string windowTree();
std::string statusText(Hwnd statusBar, int part);     // kSimplePart for the simple-mode text
int menuItemState(Hwnd frame, uint32_t command);      // mf:: bits of the menu-bar item, -1 when absent
int toolbarButtonState(Hwnd toolbar, int command);    // tbstate:: bits, -1 when absent
bool currentCursor(SysCursor& shape);                 // false when the cursor is not a system shape
int beepCount();

// What the window system holds at the moment, to show that nothing is left
// behind when windows are destroyed.
struct Census {
  int windows = 0;
  int menus = 0;
  int acceleratorTables = 0;
  int timers = 0;
  int statusBars = 0;
  int toolbars = 0;
  int icons = 0;
  int queued = 0;
  friend bool operator==(const Census&, const Census&) = default;
};
Census census();

// ---------------------------------------------------------------- pictures

// What a window shows as it stands (nothing is painted for it): its client
// area, or the whole window with its frame, with its visible child windows.
// False for an unknown window.
bool windowPicture(Hwnd w, bool wholeWindow, Surface& out);
// What the screen shows in `area` (screen coordinates): the visible
// top-level windows, pop-up menus included, in Z order over the desktop.
bool screenPicture(const Rect& area, Surface& out);
// The picture of a window as a PNG file.
bool writeWindowPng(Hwnd w, bool wholeWindow, const std::string& path);

// ---------------------------------------------------------------- the input script

// Reads an input script (format in platform/README.md) and makes it the
// idle hook: each time a blocking wait finds nothing to do, the next line
// is carried out. Returns false with `error` ("file:line: message") when
// the file cannot be read or a line is malformed.
bool loadInputScript(const std::string& path, std::string& error);
bool loadInputScriptText(std::string_view text, std::string_view name, std::string& error);

}  // namespace plat::test
