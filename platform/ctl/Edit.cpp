// The edit control: single-line and multi-line text with a selection, a
// caret, a text limit, read-only state, one step of undo and the clipboard.
// Multi-line text keeps CR LF line ends; unless it scrolls sideways
// (es::AutoHScroll or a horizontal bar) it also breaks its lines between
// words to fit its width. Its scroll bars move it by lines and pixels.
#include <algorithm>
#include <vector>

#include "platform/clip/Clipboard.h"
#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

constexpr int kMarginX = 2;
constexpr int kDefaultLimit = 30000;
constexpr int kLargestLimit = 0x7FFFFFFE;

// Where the shown lines of a text begin and end (a line's end excludes its
// CR LF; a line broken between words ends where the next one begins).
struct Layout {
  std::vector<int> starts, ends;
  int operator[](size_t i) const { return starts[i]; }
  size_t size() const { return starts.size(); }
};

struct EditState {
  std::string text;
  int anchor = 0;          // the fixed end of the selection
  int caret = 0;           // the moving end, where the caret is
  bool modified = false;
  int limit = kDefaultLimit;
  bool canUndo = false;
  std::string undoText;
  int undoAnchor = 0, undoCaret = 0;
  bool typing = false;     // the undo step is collecting typed characters
  bool focused = false;
  bool dragging = false;
  int scrollX = 0;         // single line: pixels scrolled left
  int firstLine = 0;       // multi-line: first visible line
  char passwordChar = 0;
  std::vector<int> tabStops;
  bool hasVBar = false;    // made with scroll bars (multi-line)
  bool hasHBar = false;
  // The layout of the text, made again when the text, the width or the
  // font changed.
  Layout layout;
  bool layoutValid = false;
  int layoutWidth = -1;
  HFont layoutFont = 0;
};

StateTable<EditState>& edits() {
  static StateTable<EditState> t;
  return t;
}
void resetEdits() { edits().map.clear(); }

EditState& st(Hwnd w) { return edits().make(w); }
bool multiLine(Hwnd w) { return getWindowStyle(w) & es::MultiLine; }
bool readOnly(Hwnd w) { return getWindowStyle(w) & es::ReadOnly; }
int selMin(const EditState& s) { return std::min(s.anchor, s.caret); }
int selMax(const EditState& s) { return std::max(s.anchor, s.caret); }
int len(const EditState& s) { return static_cast<int>(s.text.size()); }

// Multi-line text breaks between words unless it scrolls sideways.
bool wraps(Hwnd w) {
  const uint32_t style = getWindowStyle(w);
  return (style & es::MultiLine) && !(style & es::AutoHScroll) && !st(w).hasHBar;
}

Rect formatRect(Hwnd w);
std::string shown(const EditState& s, std::string_view part);

// The lines of the hard line [a, b) broken to fit `width`: after the last
// blank that fits, or, in a word longer than the width, after the last
// character that fits (at least one).
void wrapLine(const EditState& s, HFont font, int width, int a, int b, Layout& out) {
  int pos = a;
  while (true) {
    int x = 0, e = pos, lastBlank = -1;
    while (e < b) {
      const int cw = textWidth(font, shown(s, std::string_view(s.text).substr(e, 1)));
      if (x + cw > width && e > pos) break;
      x += cw;
      if (s.text[e] == ' ') lastBlank = e;
      ++e;
    }
    if (e >= b) {
      out.starts.push_back(pos);
      out.ends.push_back(b);
      return;
    }
    // Blanks at the break stay with the line they end.
    int next = lastBlank >= pos ? lastBlank + 1 : e;
    while (lastBlank >= pos && next < b && s.text[next] == ' ') ++next;
    out.starts.push_back(pos);
    out.ends.push_back(next);
    pos = next;
  }
}

const Layout& layoutOf(Hwnd w) {
  EditState& s = st(w);
  const bool multi = getWindowStyle(w) & es::MultiLine;
  const bool wrap = wraps(w);
  const int width = wrap ? std::max(1, formatRect(w).width()) : -1;
  const HFont font = controlFont(w);
  if (s.layoutValid && s.layoutWidth == width && s.layoutFont == font) return s.layout;
  Layout& l = s.layout;
  l.starts.clear();
  l.ends.clear();
  const int n = static_cast<int>(s.text.size());
  if (!multi) {
    l.starts.push_back(0);
    l.ends.push_back(n);
  } else {
    int a = 0;
    while (true) {
      int b = a;
      while (b < n && !(s.text[b] == '\r' && b + 1 < n && s.text[b + 1] == '\n')) ++b;
      if (wrap) wrapLine(s, font, width, a, b, l);
      else {
        l.starts.push_back(a);
        l.ends.push_back(b);
      }
      if (b >= n) break;
      a = b + 2;
      if (a > n) break;
    }
  }
  s.layoutValid = true;
  s.layoutWidth = width;
  s.layoutFont = font;
  return l;
}
void textChanged(EditState& s) { s.layoutValid = false; }

int lineOf(const Layout& l, int index) {
  const auto it = std::upper_bound(l.starts.begin(), l.starts.end(), index);
  return std::max(0, static_cast<int>(it - l.starts.begin()) - 1);
}
int lineEnd(const EditState&, const Layout& l, int line) { return l.ends[static_cast<size_t>(line)]; }
// The last place the caret can take on a line: a line broken between
// words ends where the next begins, so its caret stops a character short.
int caretEnd(const Layout& l, int line) {
  const size_t i = static_cast<size_t>(line);
  const int e = l.ends[i];
  return i + 1 < l.size() && l.starts[i + 1] == e && e > l.starts[i] ? e - 1 : e;
}

std::string shown(const EditState& s, std::string_view part) {
  return s.passwordChar ? std::string(part.size(), s.passwordChar) : std::string(part);
}

Rect formatRect(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  return Rect{c.left + kMarginX, c.top + (multiLine(w) ? 1 : 0), c.right - kMarginX, c.bottom};
}

int lineHeight(Hwnd w) { return fontHeight(controlFont(w)); }

// Top of the text line of a single-line edit: centred in the client area.
int singleLineTop(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  return std::max(0, (c.height() - lineHeight(w)) / 2);
}

// The client position of character `index` (left edge, line top).
Point posFromChar(Hwnd w, int index) {
  EditState& s = st(w);
  index = std::clamp(index, 0, len(s));
  const bool multi = multiLine(w);
  const Layout& starts = layoutOf(w);
  const int line = lineOf(starts, index);
  const Rect f = formatRect(w);
  const int x = textWidth(controlFont(w), shown(s, std::string_view(s.text).substr(starts[line], index - starts[line])));
  int left = f.left + x - s.scrollX;
  if (!multi) {
    const uint32_t align = getWindowStyle(w) & es::AlignMask;
    const int whole = textWidth(controlFont(w), shown(s, s.text));
    if (align == es::Right) left += std::max(0, f.width() - whole);
    if (align == es::Center) left += std::max(0, (f.width() - whole) / 2);
    return {left, singleLineTop(w)};
  }
  // Each line of a multi-line text is aligned on its own.
  const uint32_t align = getWindowStyle(w) & es::AlignMask;
  if (align == es::Right || align == es::Center) {
    const int whole = textWidth(controlFont(w), shown(s, std::string_view(s.text).substr(starts[line], starts.ends[line] - starts[line])));
    left += align == es::Right ? std::max(0, f.width() - whole) : std::max(0, (f.width() - whole) / 2);
  }
  return {left, f.top + (line - s.firstLine) * lineHeight(w)};
}

int charFromPos(Hwnd w, Point p) {
  EditState& s = st(w);
  const bool multi = multiLine(w);
  const Layout& starts = layoutOf(w);
  int line = 0;
  if (multi) {
    line = s.firstLine + (p.y - formatRect(w).top) / std::max(1, lineHeight(w));
    line = std::clamp(line, 0, static_cast<int>(starts.size()) - 1);
  }
  const int a = starts[line], b = caretEnd(starts, line);
  int best = a;
  for (int i = a; i <= b; ++i) {
    const int x = posFromChar(w, i).x;
    if (x <= p.x) best = i;
    // The nearer edge of a character decides.
    if (i < b) {
      const int next = posFromChar(w, i + 1).x;
      if (p.x >= x && p.x < next) return (p.x - x) * 2 < (next - x) ? i : i + 1;
    }
  }
  return best;
}

void redraw(Hwnd w) { invalidateRect(w, nullptr, true); }

int visibleLines(Hwnd w) { return std::max(1, formatRect(w).height() / std::max(1, lineHeight(w))); }

// The scroll bars of a multi-line edit follow its first line and its
// sideways scroll; they show disabled while everything fits.
void updateBars(Hwnd w) {
  EditState& s = st(w);
  if (!multiLine(w)) return;
  const Layout& l = layoutOf(w);
  const int lines = static_cast<int>(l.size());
  s.firstLine = std::clamp(s.firstLine, 0, std::max(0, lines - 1));
  if (s.hasVBar) {
    ScrollInfo si;
    si.mask = sif::Range | sif::Page | sif::Pos | sif::DisableNoScroll;
    si.max = lines - 1;
    si.page = static_cast<unsigned>(visibleLines(w));
    si.pos = s.firstLine;
    setScrollInfo(w, kSbVert, si, true);
  }
  if (s.hasHBar) {
    int widest = 0;
    for (size_t i = 0; i < l.size(); ++i)
      widest = std::max(widest, textWidth(controlFont(w), shown(s, std::string_view(s.text).substr(l.starts[i], l.ends[i] - l.starts[i]))));
    ScrollInfo si;
    si.mask = sif::Range | sif::Page | sif::Pos | sif::DisableNoScroll;
    si.max = widest;
    si.page = static_cast<unsigned>(std::max(1, formatRect(w).width()));
    si.pos = s.scrollX;
    setScrollInfo(w, kSbHorz, si, true);
  }
}

// A request of a scroll bar (or the wheel) moves the view, not the caret.
void scrollView(Hwnd w, bool vertical, uint32_t code, int thumb) {
  EditState& s = st(w);
  if (!multiLine(w)) return;
  if (vertical) {
    const int lines = static_cast<int>(layoutOf(w).size());
    const int page = visibleLines(w);
    int top = s.firstLine;
    switch (code) {
      case kSbLineUp: --top; break;
      case kSbLineDown: ++top; break;
      case kSbPageUp: top -= page; break;
      case kSbPageDown: top += page; break;
      case kSbThumbTrack:
      case kSbThumbPosition: top = thumb; break;
      case kSbTop: top = 0; break;
      case kSbBottom: top = lines; break;
      default: return;
    }
    s.firstLine = std::clamp(top, 0, std::max(0, lines - page));
  } else {
    if (wraps(w)) return;
    const int step = std::max(1, textWidth(controlFont(w), "x"));
    const int page = std::max(1, formatRect(w).width());
    int x = s.scrollX;
    switch (code) {
      case kSbLineUp: x -= step; break;
      case kSbLineDown: x += step; break;
      case kSbPageUp: x -= page; break;
      case kSbPageDown: x += page; break;
      case kSbThumbTrack:
      case kSbThumbPosition: x = thumb; break;
      case kSbTop: x = 0; break;
      default: return;
    }
    s.scrollX = std::max(0, x);
  }
  updateBars(w);
  redraw(w);
}

void scrollCaret(Hwnd w) {
  EditState& s = st(w);
  const Rect f = formatRect(w);
  if (multiLine(w)) {
    const Layout& starts = layoutOf(w);
    const int line = lineOf(starts, s.caret);
    const int visible = std::max(1, f.height() / std::max(1, lineHeight(w)));
    if (line < s.firstLine) s.firstLine = line;
    if (line >= s.firstLine + visible) s.firstLine = line - visible + 1;
  }
  if (!wraps(w)) {
    const int x = posFromChar(w, s.caret).x;
    if (x < f.left) s.scrollX -= f.left - x;
    if (x >= f.right) s.scrollX += x - f.right + 1;
    if (s.scrollX < 0) s.scrollX = 0;
  }
  updateBars(w);
}

void setSelection(Hwnd w, int anchor, int caret) {
  EditState& s = st(w);
  s.anchor = std::clamp(anchor, 0, len(s));
  s.caret = std::clamp(caret, 0, len(s));
  s.typing = false;
  redraw(w);
}

void saveUndo(EditState& s) {
  s.undoText = s.text;
  s.undoAnchor = s.anchor;
  s.undoCaret = s.caret;
  s.canUndo = true;
}

// Replaces the selection with `ins` (cut at the limit; single-line text at
// its first line break). Returns false when nothing could change.
bool replaceSelection(Hwnd w, std::string ins, bool byUser, bool undoable, bool typing = false) {
  EditState& s = st(w);
  if (!multiLine(w)) {
    size_t cut = ins.find_first_of("\r\n");
    if (cut != std::string::npos) ins.resize(cut);
  }
  const int a = selMin(s), b = selMax(s);
  const int room = s.limit - (len(s) - (b - a));
  bool truncated = false;
  if (static_cast<int>(ins.size()) > room) {
    ins.resize(static_cast<size_t>(std::max(0, room)));
    truncated = true;
  }
  if (ins.empty() && a == b) {
    if (truncated) notifyCommand(w, en::MaxText);
    return false;
  }
  if (undoable && !(typing && s.typing)) saveUndo(s);
  s.text.replace(static_cast<size_t>(a), static_cast<size_t>(b - a), ins);
  textChanged(s);
  s.anchor = s.caret = a + static_cast<int>(ins.size());
  s.typing = typing;
  if (byUser) s.modified = true;
  scrollCaret(w);
  if (truncated) notifyCommand(w, en::MaxText);
  notifyCommand(w, en::Update);
  redraw(w);
  if (isWindow(w)) notifyCommand(w, en::Change);
  return true;
}

void copySelection(Hwnd w) {
  EditState& s = st(w);
  if (selMin(s) == selMax(s) || s.passwordChar) return;
  if (!openClipboard(w)) return;
  emptyClipboard();
  setClipboardData(kCfText, s.text.substr(static_cast<size_t>(selMin(s)), static_cast<size_t>(selMax(s) - selMin(s))));
  closeClipboard();
}

void paste(Hwnd w) {
  if (readOnly(w)) return;
  std::string t;
  if (!openClipboard(w)) return;
  const bool got = getClipboardData(kCfText, t);
  closeClipboard();
  if (got) replaceSelection(w, t, true, true);
}

void undo(Hwnd w) {
  EditState& s = st(w);
  if (!s.canUndo || readOnly(w)) return;
  std::swap(s.text, s.undoText);
  textChanged(s);
  std::swap(s.anchor, s.undoAnchor);
  std::swap(s.caret, s.undoCaret);
  s.typing = false;
  s.modified = true;
  scrollCaret(w);
  notifyCommand(w, en::Update);
  redraw(w);
  if (isWindow(w)) notifyCommand(w, en::Change);
}

bool isWordChar(char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; }

int wordLeft(const EditState& s, int i) {
  while (i > 0 && !isWordChar(s.text[i - 1])) --i;
  while (i > 0 && isWordChar(s.text[i - 1])) --i;
  return i;
}
int wordRight(const EditState& s, int i) {
  const int n = len(s);
  while (i < n && isWordChar(s.text[i])) ++i;
  while (i < n && !isWordChar(s.text[i])) ++i;
  return i;
}

void moveCaret(Hwnd w, int to, bool extend) {
  EditState& s = st(w);
  to = std::clamp(to, 0, len(s));
  // A CR LF pair is one step.
  if (to > 0 && to < len(s) && s.text[to - 1] == '\r' && s.text[to] == '\n') to += to > s.caret ? 1 : -1;
  s.caret = to;
  if (!extend) s.anchor = to;
  s.typing = false;
  scrollCaret(w);
  redraw(w);
}

LResult keyDown(Hwnd w, WParam key) {
  EditState& s = st(w);
  const bool shift = getKeyState(vk::Shift) < 0, ctrl = getKeyState(vk::Control) < 0;
  const bool multi = multiLine(w);
  const Layout& starts = layoutOf(w);
  const int line = lineOf(starts, s.caret);
  switch (key) {
    case vk::Left:
      if (!shift && selMin(s) != selMax(s)) moveCaret(w, selMin(s), false);
      else moveCaret(w, ctrl ? wordLeft(s, s.caret) : s.caret - 1, shift);
      return 0;
    case vk::Right:
      if (!shift && selMin(s) != selMax(s)) moveCaret(w, selMax(s), false);
      else moveCaret(w, ctrl ? wordRight(s, s.caret) : s.caret + 1, shift);
      return 0;
    case vk::Home: moveCaret(w, ctrl ? 0 : starts[line], shift); return 0;
    case vk::End: moveCaret(w, ctrl ? len(s) : caretEnd(starts, line), shift); return 0;
    case vk::Up:
    case vk::Down: {
      if (!multi) {
        moveCaret(w, key == vk::Up ? s.caret - 1 : s.caret + 1, shift);
        return 0;
      }
      const int target = line + (key == vk::Up ? -1 : 1);
      if (target < 0 || target >= static_cast<int>(starts.size())) return 0;
      Point p = posFromChar(w, s.caret);
      p.y += (key == vk::Up ? -1 : 1) * lineHeight(w);
      // Keep the column: look along the target line.
      const int x = p.x;
      int best = starts[target];
      for (int i = starts[target]; i <= caretEnd(starts, target); ++i)
        if (posFromChar(w, i).x <= x) best = i;
      moveCaret(w, best, shift);
      return 0;
    }
    case vk::Delete:
      if (readOnly(w)) return 0;
      if (shift) {
        copySelection(w);
        if (selMin(s) != selMax(s)) replaceSelection(w, {}, true, true);
        return 0;
      }
      if (selMin(s) == selMax(s)) {
        if (s.caret >= len(s)) return 0;
        s.anchor = s.caret + ((s.text[s.caret] == '\r' && s.caret + 1 < len(s) && s.text[s.caret + 1] == '\n') ? 2 : 1);
      }
      replaceSelection(w, {}, true, true);
      return 0;
    case vk::Insert:
      if (ctrl) copySelection(w);
      else if (shift) paste(w);
      return 0;
    default:
      return 0;
  }
}

LResult character(Hwnd w, WParam ch) {
  EditState& s = st(w);
  switch (ch) {
    case 1:   // Ctrl+A: the whole text
      setSelection(w, 0, len(s));
      return 0;
    case 3: copySelection(w); return 0;
    case 22: paste(w); return 0;
    case 24:
      if (!readOnly(w)) {
        copySelection(w);
        if (selMin(s) != selMax(s)) replaceSelection(w, {}, true, true);
      }
      return 0;
    case 26: undo(w); return 0;
    case 8:
      if (readOnly(w)) {
        messageBeep(0);
        return 0;
      }
      if (selMin(s) == selMax(s)) {
        if (s.caret == 0) return 0;
        s.anchor = s.caret - ((s.caret >= 2 && s.text[s.caret - 2] == '\r' && s.text[s.caret - 1] == '\n') ? 2 : 1);
      }
      replaceSelection(w, {}, true, true);
      return 0;
    case 13:
      if (multiLine(w) && !readOnly(w)) replaceSelection(w, "\r\n", true, true);
      return 0;
    case 9:
      if (multiLine(w) && !readOnly(w)) replaceSelection(w, "\t", true, true, true);
      return 0;
    default:
      break;
  }
  if (ch < 32 || ch > 255) return 0;
  if (readOnly(w)) {
    messageBeep(0);
    return 0;
  }
  char c = static_cast<char>(ch);
  const uint32_t style = getWindowStyle(w);
  if ((style & es::Number) && !(c >= '0' && c <= '9')) {
    messageBeep(0);
    return 0;
  }
  if ((style & es::UpperCase) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if ((style & es::LowerCase) && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  if (!replaceSelection(w, std::string(1, c), true, true, true)) messageBeep(0);
  return 0;
}

void paintEdit(Hwnd w, Hdc dc, const Rect& c) {
  EditState& s = st(w);
  const bool grey = isDisabled(w) || readOnly(w);
  HBrush bg = controlColours(w, dc, grey ? wm::CtlColorStatic : wm::CtlColorEdit,
                             isDisabled(w) ? SysColor::kGrayText : SysColor::kWindowText,
                             grey ? SysColor::kBtnFace : SysColor::kWindow);
  fillRect(dc, c, bg);
  const ColorRef textColour = getTextColor(dc);
  const bool multi = multiLine(w);
  const Layout& starts = layoutOf(w);
  const Rect f = formatRect(w);
  const int lh = lineHeight(w);
  const bool showSel = s.focused || (getWindowStyle(w) & es::NoHideSel);
  const int a = selMin(s), b = selMax(s);
  Rect clip = f;
  clip.top = c.top;
  clip.bottom = c.bottom;
  setBkMode(dc, kTransparent);
  setTextAlign(dc, kTaLeft | kTaTop);
  for (int line = multi ? s.firstLine : 0; line < static_cast<int>(starts.size()); ++line) {
    const int from = starts[line], to = lineEnd(s, starts, line);
    const Point p = posFromChar(w, from);
    if (p.y >= c.bottom) break;
    // Runs: before, inside and after the selection.
    const int cuts[4] = {from, std::clamp(a, from, to), std::clamp(b, from, to), to};
    for (int r = 0; r < 3; ++r) {
      if (cuts[r + 1] <= cuts[r]) continue;
      const std::string part = shown(s, std::string_view(s.text).substr(cuts[r], cuts[r + 1] - cuts[r]));
      const Point q = posFromChar(w, cuts[r]);
      const bool sel = r == 1 && showSel;
      if (sel) {
        // One pixel more on the left, into the margin where the text
        // begins there: glyphs start at their cell's edge, and a light
        // stroke there would run into the field's background.
        Rect hr{q.x - 1, q.y, q.x + textWidth(controlFont(w), part), q.y + lh};
        Rect room = clip;
        room.left = std::max(c.left, clip.left - 1);
        fillSolid(dc, hr.intersect(room), sysColor(SysColor::kHighlight));
        setTextColor(dc, sysColor(SysColor::kHighlightText));
      } else {
        setTextColor(dc, textColour);
      }
      extTextOut(dc, q.x, q.y, kEtoClipped, &clip, part);
    }
  }
  if (s.focused && a == b) {
    const Point p = posFromChar(w, s.caret);
    if (p.x >= c.left && p.x < c.right) lineSolid(dc, p.x, p.y, p.x, p.y + lh, sysColor(SysColor::kWindowText));
  }
}

LResult editProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) {
    if (message == wm::SetFont) scrollCaret(w);
    return out;
  }
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintEdit(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      EditState& s = st(w);
      const CreateStruct* cs = reinterpret_cast<const CreateStruct*>(lp);
      s.text = cs && cs->name ? cs->name : "";
      if (!multiLine(w)) s.text = s.text.substr(0, s.text.find_first_of("\r\n"));
      textChanged(s);
      s.hasVBar = multiLine(w) && (getWindowStyle(w) & ws::VScroll);
      s.hasHBar = multiLine(w) && (getWindowStyle(w) & ws::HScroll);
      if (getWindowStyle(w) & es::Password) s.passwordChar = '*';
      updateBars(w);
      return 0;
    }
    case wm::NcDestroy:
      edits().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::SetText: {
      EditState& s = st(w);
      const char* t = reinterpret_cast<const char*>(lp);
      s.text = t ? t : "";
      if (!multiLine(w)) s.text = s.text.substr(0, s.text.find_first_of("\r\n"));
      textChanged(s);
      s.anchor = s.caret = 0;
      s.scrollX = 0;
      s.firstLine = 0;
      s.modified = false;
      s.canUndo = false;
      s.typing = false;
      defWindowProc(w, message, wp, reinterpret_cast<LParam>(s.text.c_str()));
      updateBars(w);
      redraw(w);
      if (!multiLine(w)) {
        notifyCommand(w, en::Update);
        if (isWindow(w)) notifyCommand(w, en::Change);
      }
      return 1;
    }
    case wm::GetText: {
      EditState& s = st(w);
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      const size_t n = std::min(s.text.size(), static_cast<size_t>(wp) - 1);
      std::copy_n(s.text.data(), n, buf);
      buf[n] = '\0';
      return static_cast<LResult>(n);
    }
    case wm::GetTextLength:
      return static_cast<LResult>(st(w).text.size());
    case wm::GetDlgCode: {
      uint32_t code = dlgc::WantChars | dlgc::HasSetSel | dlgc::WantArrows;
      const Msg* m = reinterpret_cast<const Msg*>(lp);
      // Enter (its key and the character it makes) stays in a multi-line
      // field that wants it.
      const bool enter = m && ((m->message == wm::KeyDown && m->wParam == vk::Return) ||
                               (m->message == wm::Char && m->wParam == '\r'));
      if (multiLine(w) && enter && (getWindowStyle(w) & es::WantReturn)) code |= dlgc::WantAllKeys;
      return code;
    }
    case wm::SetFocus:
      st(w).focused = true;
      redraw(w);
      notifyCommand(w, en::SetFocus);
      return 0;
    case wm::KillFocus:
      st(w).focused = false;
      st(w).dragging = false;
      redraw(w);
      notifyCommand(w, en::KillFocus);
      return 0;
    case wm::Enable:
    case wm::StyleChanged:
      redraw(w);
      return 0;
    case wm::Size:
      updateBars(w);
      redraw(w);
      return 0;
    case wm::VScroll:
    case wm::HScroll:
      scrollView(w, message == wm::VScroll, loWord(wp), hiWord(wp));
      return 0;
    case wm::MouseWheel:
      if (!multiLine(w)) return defWindowProc(w, message, wp, lp);
      st(w).firstLine -= static_cast<int16_t>(hiWord(wp)) / 120 * 3;
      scrollView(w, true, kSbThumbPosition, st(w).firstLine);
      return 0;
    case wm::LButtonDown: {
      setFocus(w);
      if (!isWindow(w) || getFocus() != w) return 0;
      const int i = charFromPos(w, pointFromParam(static_cast<uintptr_t>(lp)));
      moveCaret(w, i, (wp & kMkShift) != 0);
      st(w).dragging = true;
      setCapture(w);
      return 0;
    }
    case wm::MouseMove:
      if (st(w).dragging && getCapture() == w)
        moveCaret(w, charFromPos(w, pointFromParam(static_cast<uintptr_t>(lp))), true);
      return 0;
    case wm::LButtonUp:
      if (st(w).dragging) {
        st(w).dragging = false;
        if (getCapture() == w) releaseCapture();
      }
      return 0;
    case wm::LButtonDblClk: {
      EditState& s = st(w);
      const int i = charFromPos(w, pointFromParam(static_cast<uintptr_t>(lp)));
      int a = i, b = i;
      while (a > 0 && isWordChar(s.text[a - 1])) --a;
      while (b < len(s) && isWordChar(s.text[b])) ++b;
      setSelection(w, a, b);
      return 0;
    }
    case wm::KeyDown:
      return keyDown(w, wp);
    case wm::Char:
      return character(w, wp);
    case wm::Cut:
      if (!readOnly(w)) {
        copySelection(w);
        if (selMin(st(w)) != selMax(st(w))) replaceSelection(w, {}, true, true);
      }
      return 0;
    case wm::Copy: copySelection(w); return 0;
    case wm::Paste: paste(w); return 0;
    case wm::Clear:
      if (!readOnly(w) && selMin(st(w)) != selMax(st(w))) replaceSelection(w, {}, true, true);
      return 0;
    case wm::Undo:
    case em::Undo:
      undo(w);
      return st(w).canUndo ? 1 : 0;
    case em::CanUndo: return st(w).canUndo ? 1 : 0;
    case em::EmptyUndoBuffer: st(w).canUndo = false; return 0;
    case em::GetSel: {
      EditState& s = st(w);
      if (int* p = reinterpret_cast<int*>(wp)) *p = selMin(s);
      if (int* p = reinterpret_cast<int*>(lp)) *p = selMax(s);
      return makeLParam(selMin(s), selMax(s));
    }
    case em::SetSel: {
      EditState& s = st(w);
      const int a = static_cast<int>(static_cast<intptr_t>(wp)), b = static_cast<int>(lp);
      if (a == -1) setSelection(w, s.caret, s.caret);
      else setSelection(w, a, b < 0 ? len(s) : b);
      return 0;
    }
    case em::GetCaretIndex: return st(w).caret;
    case em::ReplaceSel: {
      const char* t = reinterpret_cast<const char*>(lp);
      replaceSelection(w, t ? t : "", false, wp != 0);
      return 0;
    }
    case em::GetRect:
      if (Rect* r = reinterpret_cast<Rect*>(lp)) *r = formatRect(w);
      return 0;
    case em::ScrollCaret:
      scrollCaret(w);
      redraw(w);
      return 1;
    case em::GetModify: return st(w).modified ? 1 : 0;
    case em::SetModify: st(w).modified = wp != 0; return 0;
    case em::LimitText: st(w).limit = wp == 0 ? kLargestLimit : static_cast<int>(std::min<WParam>(wp, kLargestLimit)); return 0;
    case em::GetLimitText: return st(w).limit;
    case em::SetReadOnly: {
      const uint32_t s0 = getWindowStyle(w);
      setWindowStyle(w, wp ? (s0 | es::ReadOnly) : (s0 & ~es::ReadOnly));
      redraw(w);
      return 1;
    }
    case em::SetTabStops: {
      EditState& s = st(w);
      if (!multiLine(w)) return 0;
      const int* p = reinterpret_cast<const int*>(lp);
      s.tabStops.assign(p, p + (p ? wp : 0));
      redraw(w);
      return 1;
    }
    case em::GetLineCount: return static_cast<LResult>(layoutOf(w).size());
    case em::LineIndex: {
      EditState& s = st(w);
      const Layout& starts = layoutOf(w);
      int line = static_cast<int>(static_cast<intptr_t>(wp));
      if (line < 0) line = lineOf(starts, s.caret);
      return line < static_cast<int>(starts.size()) ? starts[line] : -1;
    }
    case em::LineLength: {
      EditState& s = st(w);
      const Layout& starts = layoutOf(w);
      int idx = static_cast<int>(static_cast<intptr_t>(wp));
      if (idx < 0) idx = s.caret;
      const int line = lineOf(starts, std::clamp(idx, 0, len(s)));
      return lineEnd(s, starts, line) - starts[line];
    }
    case em::LineFromChar: {
      EditState& s = st(w);
      int idx = static_cast<int>(static_cast<intptr_t>(wp));
      if (idx < 0) idx = s.caret;
      return lineOf(layoutOf(w), std::clamp(idx, 0, len(s)));
    }
    case em::GetLine: {
      EditState& s = st(w);
      const Layout& starts = layoutOf(w);
      const int line = static_cast<int>(wp);
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || line < 0 || line >= static_cast<int>(starts.size())) return 0;
      return copyToLineBuffer(buf, s.text.data() + starts[line], lineEnd(s, starts, line) - starts[line]);
    }
    case em::GetFirstVisibleLine: return multiLine(w) ? st(w).firstLine : 0;
    case em::SetPasswordChar: st(w).passwordChar = static_cast<char>(wp); redraw(w); return 0;
    case em::PosFromChar: {
      EditState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i > len(s)) return -1;
      const Point p = posFromChar(w, i);
      return makeLParam(p.x, p.y);
    }
    case em::CharFromPos: {
      const Point p{xFromParam(static_cast<uintptr_t>(lp)), yFromParam(static_cast<uintptr_t>(lp))};
      const int i = charFromPos(w, p);
      return makeLParam(i, lineOf(layoutOf(w), i));
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerEditClass() {
  WindowClass wc;
  wc.name = kEditClass;
  wc.proc = editProc;
  wc.style = cs::DblClks | cs::ParentDC;
  wc.cursor = loadCursor(SysCursor::IBeam);
  registerClass(wc);
  onControlsReset(resetEdits);
}

}  // namespace plat::detail
