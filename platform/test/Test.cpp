// The test interface.
#include "platform/test/Test.h"

#include <utility>
#include <algorithm>
#include <sstream>

#include "platform/bars/StatusBar.h"
#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/bars/Toolbar.h"
#include "platform/menu/Menu.h"
#include "platform/os/Modules.h"
#include "platform/print/Printer.h"
#include "platform/res/Resources.h"
#include "platform/menu/MenuState.h"
#include "platform/test/Answers.h"

namespace plat::test {

using namespace detail;

void reset() {
  stopRecordingSpawns();
  resetModules();
  resetWindows();
  resetMenus();
  resetBars();
  resetDialogs();
  resetPrinters();
  resetControls();
  resetClipboard();
  resetResources();
  res::clearOverlays();
  displayInfo() = DisplayInfo{};
  ensureStarted();
}

void advance(uint32_t ms) { state().clock += ms; }
uint32_t now() { return state().clock; }

// ---------------------------------------------------------------- keyboard

namespace {

void queueInput(QueueEntry e) {
  WinState& s = state();
  e.msg.time = s.clock;
  if (e.kind == QueueEntry::KeyInput || e.kind == QueueEntry::CharInput) e.msg.pt = s.cursorPos;
  s.queue.push_back(e);
}

void queueKey(uint32_t vkey, bool down) {
  QueueEntry e;
  e.kind = QueueEntry::KeyInput;
  e.vk = vkey;
  e.down = down;
  queueInput(e);
}

// The key (and Shift) that types a character on a US keyboard; false when none does.
bool keyFor(char c, uint32_t& vkey, bool& shift) {
  shift = false;
  if (c >= 'a' && c <= 'z') {
    vkey = static_cast<uint32_t>(c - 32);
    return true;
  }
  if (c >= 'A' && c <= 'Z') {
    vkey = static_cast<uint32_t>(c);
    shift = true;
    return true;
  }
  if (c >= '0' && c <= '9') {
    vkey = static_cast<uint32_t>(c);
    return true;
  }
  static const std::string shifted = ")!@#$%^&*(";
  if (auto p = shifted.find(c); p != std::string::npos) {
    vkey = static_cast<uint32_t>('0' + p);
    shift = true;
    return true;
  }
  struct K {
    char plain, shifted;
    uint32_t vk;
  };
  static constexpr K kOem[] = {
      {';', ':', vk::OemSemicolon}, {'=', '+', vk::OemPlus}, {',', '<', vk::OemComma}, {'-', '_', vk::OemMinus},
      {'.', '>', vk::OemPeriod}, {'/', '?', vk::OemSlash}, {'`', '~', vk::OemTilde}, {'[', '{', vk::OemLBracket},
      {'\\', '|', vk::OemBackslash}, {']', '}', vk::OemRBracket}, {'\'', '"', vk::OemQuote},
  };
  for (const K& k : kOem) {
    if (c == k.plain || c == k.shifted) {
      vkey = k.vk;
      shift = c == k.shifted;
      return true;
    }
  }
  switch (c) {
    case ' ': vkey = vk::Space; return true;
    case '\t': vkey = vk::Tab; return true;
    case '\r':
    case '\n': vkey = vk::Return; return true;
    case '\b': vkey = vk::Back; return true;
    case 27: vkey = vk::Escape; return true;
    default: return false;
  }
}

}  // namespace

void keyDown(uint32_t vkey) { queueKey(vkey, true); }
void keyUp(uint32_t vkey) { queueKey(vkey, false); }

void key(uint32_t vkey, unsigned mods) {
  if (mods & kCtrl) keyDown(vk::Control);
  if (mods & kShift) keyDown(vk::Shift);
  if (mods & kAlt) keyDown(vk::Menu);
  keyDown(vkey);
  keyUp(vkey);
  if (mods & kAlt) keyUp(vk::Menu);
  if (mods & kShift) keyUp(vk::Shift);
  if (mods & kCtrl) keyUp(vk::Control);
}

void typeText(std::string_view text) {
  for (char c : text) {
    uint32_t vkey = 0;
    bool shift = false;
    if (keyFor(c, vkey, shift)) {
      key(vkey, shift ? kShift : kNone);
    } else {
      QueueEntry e;
      e.kind = QueueEntry::CharInput;
      e.vk = static_cast<unsigned char>(c);
      queueInput(e);
    }
  }
}

// ---------------------------------------------------------------- mouse

namespace {
int buttonIndex(Button b) { return b == Button::Left ? 0 : b == Button::Right ? 1 : 2; }

void queueMouse(QueueEntry::Kind kind, Point p, int button, bool down, int delta) {
  QueueEntry e;
  e.kind = kind;
  e.msg.pt = p;
  e.button = button;
  e.down = down;
  e.delta = delta;
  queueInput(e);
}
}  // namespace

void mouseMove(Point p) { queueMouse(QueueEntry::MouseMoveInput, p, 0, false, 0); }
void mouseDown(Button b, Point p) { queueMouse(QueueEntry::ButtonInput, p, buttonIndex(b), true, 0); }
void mouseUp(Button b, Point p) { queueMouse(QueueEntry::ButtonInput, p, buttonIndex(b), false, 0); }

void click(Button b, Point p) {
  mouseMove(p);
  mouseDown(b, p);
  mouseUp(b, p);
}

void doubleClick(Button b, Point p) {
  click(b, p);
  mouseDown(b, p);
  mouseUp(b, p);
}

void wheel(int delta, Point p) { queueMouse(QueueEntry::WheelInput, p, 0, false, delta); }

Point at(Hwnd w, Point client) { return clientToScreen(w, client); }

// ---------------------------------------------------------------- frames

void dragFrameTo(Hwnd w, Point topLeft) {
  Rect r;
  if (!getWindowRect(w, r)) return;
  sendMessage(w, wm::EnterSizeMove, 0, 0);
  moveByUser(w, {topLeft.x, topLeft.y, topLeft.x + r.width(), topLeft.y + r.height()});
  sendMessage(w, wm::ExitSizeMove, 0, 0);
}

void dragFrameSize(Hwnd w, Size outer) {
  Rect r;
  if (!getWindowRect(w, r)) return;
  sendMessage(w, wm::EnterSizeMove, 0, 0);
  sizeByEdge(w, kHtBottomRight, {r.left, r.top, r.left + outer.cx, r.top + outer.cy}, trackLimits(w));
  sendMessage(w, wm::ExitSizeMove, 0, 0);
}

namespace {
void clickBox(Hwnd w, FramePart part) {
  Rect box = framePartRect(w, part);
  Rect outer;
  if (box.empty() || !getWindowRect(w, outer)) return;
  click(Button::Left, {outer.left + (box.left + box.right) / 2, outer.top + (box.top + box.bottom) / 2});
}
}  // namespace

void clickCloseBox(Hwnd w) { clickBox(w, FramePart::CloseButton); }
void clickMinimizeBox(Hwnd w) { clickBox(w, FramePart::MinButton); }
void clickMaximizeBox(Hwnd w) { clickBox(w, FramePart::MaxButton); }

// ---------------------------------------------------------------- menus, toolbars

bool chooseMenu(Hwnd frame, uint32_t command) {
  Hmenu bar = getMenu(frame);
  Hmenu holder;
  int pos = 0;
  if (!bar || !findMenuItem(bar, command, holder, pos)) return false;
  // The menu-bar item that leads to the command.
  int top = -1;
  for (int i = 0; i < getMenuItemCount(bar) && top < 0; ++i) {
    if (getMenuItemId(bar, i) == command) top = i;
    Hmenu sub = getSubMenu(bar, i);
    Hmenu h2;
    int p2 = 0;
    if (sub && findMenuItem(sub, command, h2, p2)) top = i;
  }
  Rect item = menuBarItemRect(frame, top);
  Rect outer;
  if (item.empty() || !getWindowRect(frame, outer)) return false;
  answerMenu(command);
  click(Button::Left, {outer.left + (item.left + item.right) / 2, outer.top + (item.top + item.bottom) / 2});
  return true;
}

void answerMenu(uint32_t command, std::function<void()> whileOpen) {
  answers().menus.push_back({MenuAnswer::Command, command, {}, std::move(whileOpen)});
}

void answerMenuPath(std::vector<int> path, std::function<void()> whileOpen) {
  answers().menus.push_back({MenuAnswer::Path, 0, std::move(path), std::move(whileOpen)});
}

void answerMenuDismiss(std::function<void()> whileOpen) {
  answers().menus.push_back({MenuAnswer::Dismiss, 0, {}, std::move(whileOpen)});
}

bool clickToolbarButton(Hwnd toolbar, int command) {
  const ToolbarState* st = toolbarState(toolbar);
  if (!st) return false;
  std::vector<Rect> rects = toolbarButtonRects(toolbar);
  for (size_t i = 0; i < st->buttons.size(); ++i) {
    const ToolbarButton& b = st->buttons[i];
    if ((b.style & btns::Sep) || b.command != command || rects[i].empty()) continue;
    const Rect& r = rects[i];
    click(Button::Left, at(toolbar, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- dialogs

void answerMessageBox(int buttonId, std::function<void()> whileOpen) {
  answers().boxes.push_back({buttonId, false, std::move(whileOpen)});
}

void answerMessageBoxFails() { answers().boxes.push_back({0, true, {}}); }

void answerFileDialog(FileAnswer a, std::function<void()> whileOpen) {
  answers().files.push_back({std::move(a), std::move(whileOpen)});
}

void answerPageSetup(PageSetupAnswer a, std::function<void()> whileOpen) {
  answers().pageSetups.push_back({a, std::move(whileOpen)});
}

void answerColour(bool ok, uint32_t rgb) { answers().colours.push_back({ok, rgb}); }
void answerFont(bool ok, FontChoice font) { answers().fonts.push_back({ok, std::move(font)}); }
void answerFolder(bool ok, std::string path) { answers().folders.push_back({ok, std::move(path)}); }

void findDialogAction(Hwnd dialog, uint32_t action, std::string_view findWhat, std::string_view replaceWith,
                      uint32_t optionFlags) {
  FindReplace* fr = reinterpret_cast<FindReplace*>(getUserData(dialog));
  if (!fr) return;
  constexpr uint32_t kActions = fr::FindNext | fr::Replace | fr::ReplaceAll | fr::DialogTerm;
  constexpr uint32_t kOptions = fr::Down | fr::WholeWord | fr::MatchCase;
  fr->findWhat = std::string(findWhat);
  fr->replaceWith = std::string(replaceWith);
  fr->flags = (fr->flags & ~(kActions | kOptions)) | (action & kActions) | (optionFlags & kOptions);
  sendMessage(fr->owner, registerWindowMessage(kFindMsgString), 0, reinterpret_cast<LParam>(fr));
  if (action & fr::DialogTerm) destroyWindow(dialog);
}

const std::vector<ShownDialog>& shownDialogs() { return answers().shown; }
void clearShownDialogs() { answers().shown.clear(); }

// ---------------------------------------------------------------- message log

MessageLog::MessageLog(std::function<bool(const LoggedMessage&)> filter) : filter_(std::move(filter)) {
  state().logs.push_back(this);
}

MessageLog::~MessageLog() {
  auto& logs = state().logs;
  logs.erase(std::remove(logs.begin(), logs.end(), this), logs.end());
}

void MessageLog::add(const LoggedMessage& m) {
  if (!filter_ || filter_(m)) messages_.push_back(m);
}

std::vector<std::string> MessageLog::names() const {
  std::vector<std::string> out;
  for (const LoggedMessage& m : messages_) {
    std::string n = messageName(m.message);
    switch (m.message) {
      case wm::KeyDown:
      case wm::KeyUp:
      case wm::SysKeyDown:
      case wm::SysKeyUp:
      case wm::Char:
      case wm::SysChar:
      case wm::Timer:
      case wm::Size:
        n += "(" + std::to_string(m.wParam) + ")";
        break;
      case wm::Command:
        n += "(" + std::to_string(loWord(m.wParam)) + "," + std::to_string(hiWord(m.wParam)) + ")";
        break;
      case wm::SysCommand:
        n += "(" + std::to_string(m.wParam) + ")";
        break;
      default:
        break;
    }
    out.push_back(n);
  }
  return out;
}

int pump() {
  int n = 0;
  Msg m;
  while (peekMessage(m, {}, 0, 0, kPmRemove)) {
    if (m.message == wm::Quit) {
      postQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    translateMessage(m);
    dispatchMessage(m);
    ++n;
  }
  return n;
}

// ---------------------------------------------------------------- inspection

namespace {
void treeLines(Hwnd w, int depth, std::ostringstream& out) {
  const WindowRecord* r = windowRecord(w);
  if (!r) return;
  Rect c;
  getClientRect(w, c);
  Rect s;
  getWindowRect(w, s);
  out << std::string(static_cast<size_t>(depth) * 2, ' ') << r->cls->wc.name << " id=" << r->id << " \"" << r->text
      << "\" " << ((r->style & ws::Visible) ? "visible" : "hidden") << " at " << s.left << "," << s.top << " client "
      << c.right << "x" << c.bottom << "\n";
  for (Hwnd k : r->children) treeLines(k, depth + 1, out);
}
}  // namespace

std::string windowTree() {
  std::ostringstream out;
  for (Hwnd t : topLevelWindows()) treeLines(t, 0, out);
  return out.str();
}

std::string statusText(Hwnd statusBar, int part) {
  const StatusBarState* st = statusBarState(statusBar);
  if (!st) return {};
  if (part == kSimplePart) return st->simpleText;
  if (part < 0 || part >= static_cast<int>(st->texts.size())) return {};
  return st->texts[static_cast<size_t>(part)];
}

int menuItemState(Hwnd frame, uint32_t command) {
  Hmenu bar = getMenu(frame);
  return bar ? getMenuState(bar, command, mf::ByCommand) : -1;
}

int toolbarButtonState(Hwnd toolbar, int command) {
  const ToolbarState* st = toolbarState(toolbar);
  if (!st) return -1;
  for (const ToolbarButton& b : st->buttons)
    if (!(b.style & btns::Sep) && b.command == command) return b.state;
  return -1;
}

bool currentCursor(SysCursor& shape) { return cursorShape(getCursor(), shape); }

int beepCount() { return state().beeps; }

Census census() {
  Census c;
  WinState& s = state();
  c.windows = static_cast<int>(s.windows.size());
  c.menus = static_cast<int>(menuState().menus.size());
  c.acceleratorTables = static_cast<int>(menuState().accels.size());
  c.timers = static_cast<int>(s.timers.size());
  barCounts(c.statusBars, c.toolbars);
  c.icons = iconCount();
  c.queued = static_cast<int>(s.queue.size());
  return c;
}

}  // namespace plat::test
