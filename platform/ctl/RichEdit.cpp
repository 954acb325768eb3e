// The rich-edit control: text with a full character format per character
// and a paragraph format per paragraph (kept at the paragraph's end mark,
// the last paragraph's in the state), a selection, grouped undo and redo,
// layout with the layer's fonts (lines wrap at the control's width unless
// it scrolls sideways), painting, keys and mouse, find, streams of plain
// text and RTF, and page layout onto any device context in twips.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "platform/clip/Clipboard.h"
#include "platform/ctl/ControlsInternal.h"
#include "platform/ctl/Rtf.h"
#include "platform/dlg/Dialog.h"
#include "platform/win/Keys.h"

namespace plat {

namespace {
int gOfferedLevel = 3;
}

void offerRichEditModules(int level) { gOfferedLevel = (level == 1 || level == 2) ? level : 3; }
int offeredRichEditLevel() { return gOfferedLevel; }

}  // namespace plat

namespace plat::detail {

namespace {

constexpr int kMargin = 2;            // pixels between the frame and the text
constexpr int kDefaultLimit = 32767;
constexpr int kLargest = 0x7FFFFFFE;
constexpr int kBulletIndent = 360;    // twips from a bullet to its text
constexpr int kDefaultTab = 720;      // twips between default tab stops
constexpr int kStreamBlock = 4096;

struct Slot {
  HFont font = 0;
  std::array<int, 256> widths{};
  int height = 1;
  int ascent = 1;
};

struct Line {
  int start = 0;    // first character
  int end = 0;      // past the last shown character (before a paragraph mark)
  int next = 0;     // where the next line starts
  int y = 0;        // top, from the top of the text
  int height = 1;
  int ascent = 1;
  int x = 0;        // left of the first character (indent and alignment)
  bool bullet = false;   // the first line of a bulleted paragraph
  int bulletX = 0;
  int para = 0;     // the paragraph's format index
  int width = 0;    // right of its last shown character, from the text's left
};

struct Step {
  int pos = 0;
  std::string removed, inserted;
  std::vector<uint32_t> removedCf, insertedCf, removedPf, insertedPf;
  int group = 0;
  int anchor = 0, caret = 0;   // the selection before the change
};

struct RichState {
  bool crlf = false;          // the older class: line ends are CR LF
  bool packedPositions = false;
  std::string text;
  std::vector<uint32_t> cf;   // per character: index into fmts
  std::vector<uint32_t> pf;   // per character: index into paras (read at paragraph marks)
  std::vector<CharFormat> fmts;
  std::vector<ParaFormat> paras;
  uint32_t lastPara = 0;
  uint32_t defaultFmt = 0;
  int insertFmt = -1;         // the format the next typed text takes
  int anchor = 0, caret = 0;
  bool hideSel = false;
  bool modified = false;
  int limit = kDefaultLimit;
  uint32_t mask = 0;
  bool focused = false, dragging = false, overtype = false;
  std::vector<Step> undo, redo;
  int group = 0;
  bool typingOpen = false;
  int zoomNum = 0, zoomDen = 0;
  std::vector<Line> lines;
  bool layoutValid = false;
  int layoutWidth = -2;
  int firstLine = 0;
  int scrollX = 0;
  int textWidth = 0;          // the widest line, in pixels
  // The scroll bars the control was made with: a bar hides while there is
  // nothing to scroll (which takes its style bit away) and must come back.
  bool vBar = false, hBar = false;
  std::map<uint32_t, Slot> slots;
};

StateTable<RichState>& richs() {
  static StateTable<RichState> t;
  return t;
}

void dropSlots(RichState& s) {
  for (auto& [k, slot] : s.slots) deleteObject(slot.font);
  s.slots.clear();
}
void resetRichs() {
  for (auto& [k, p] : richs().map) dropSlots(*p);
  richs().map.clear();
  offerRichEditModules(3);
}

RichState& st(Hwnd w) { return richs().make(w); }
int len(const RichState& s) { return static_cast<int>(s.text.size()); }
int selMin(const RichState& s) { return std::min(s.anchor, s.caret); }
int selMax(const RichState& s) { return std::max(s.anchor, s.caret); }
bool readOnly(Hwnd w) { return getWindowStyle(w) & es::ReadOnly; }
bool wraps(Hwnd w) {
  const uint32_t style = getWindowStyle(w);
  return !(style & es::AutoHScroll) && !(style & ws::HScroll) && !st(w).hBar;
}
void redraw(Hwnd w) { invalidateRect(w, nullptr, true); }

uint32_t intern(std::vector<CharFormat>& pool, CharFormat f) {
  f.mask = cfm::All;
  for (size_t i = 0; i < pool.size(); ++i) {
    const CharFormat& p = pool[i];
    if (p.effects == f.effects && p.height == f.height && p.colour == f.colour && p.backColour == f.backColour &&
        p.charSet == f.charSet && p.face == f.face && p.pitchAndFamily == f.pitchAndFamily)
      return static_cast<uint32_t>(i);
  }
  pool.push_back(f);
  return static_cast<uint32_t>(pool.size() - 1);
}
uint32_t intern(std::vector<ParaFormat>& pool, ParaFormat f) {
  f.mask = pfm::All;
  for (size_t i = 0; i < pool.size(); ++i) {
    const ParaFormat& p = pool[i];
    if (p.numbering == f.numbering && p.alignment == f.alignment && p.startIndent == f.startIndent &&
        p.rightIndent == f.rightIndent && p.offset == f.offset && p.tabs == f.tabs)
      return static_cast<uint32_t>(i);
  }
  pool.push_back(f);
  return static_cast<uint32_t>(pool.size() - 1);
}

// Paragraph marks: CR (the CR of CR LF in the older class).
int markLength(const RichState& s) { return s.crlf ? 2 : 1; }

// The paragraph format index of the paragraph holding position i.
uint32_t paraAt(const RichState& s, int i) {
  const size_t p = s.text.find('\r', static_cast<size_t>(std::max(0, i)));
  return p == std::string::npos ? s.lastPara : s.pf[p];
}
// First character of the paragraph holding i, and its end mark (or the end).
int paraStart(const RichState& s, int i) {
  if (i <= 0) return 0;
  const size_t p = s.text.rfind('\r', static_cast<size_t>(i - 1));
  if (p == std::string::npos) return 0;
  return static_cast<int>(p) + markLength(s) <= i ? static_cast<int>(p) + markLength(s) : paraStart(s, static_cast<int>(p));
}
int paraEnd(const RichState& s, int i) {
  const size_t p = s.text.find('\r', static_cast<size_t>(std::max(0, i)));
  return p == std::string::npos ? len(s) : static_cast<int>(p);
}

// Line ends as the class keeps them.
std::string ownLineEnds(const RichState& s, std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
      out += s.crlf ? "\r\n" : "\r";
    } else {
      out += c;
    }
  }
  return out;
}
std::string crlfLineEnds(const RichState& s, std::string_view in) {
  if (s.crlf) return std::string(in);
  std::string out;
  out.reserve(in.size() + in.size() / 16);
  for (char c : in) {
    if (c == '\r') out += "\r\n";
    else out += c;
  }
  return out;
}

// ------------------------------------------------------------------ fonts

LogFont logFontOf(const CharFormat& f, int pixelsPerInch, int zoomNum, int zoomDen) {
  LogFont lf;
  long h = static_cast<long>(f.height) * pixelsPerInch / 1440;
  if (zoomNum > 0 && zoomDen > 0) h = h * zoomNum / zoomDen;
  lf.height = -static_cast<int>(std::clamp<long>(h, 1, 2000));
  lf.weight = (f.effects & cfe::Bold) ? 700 : 400;
  lf.italic = f.effects & cfe::Italic;
  lf.underline = f.effects & cfe::Underline;
  lf.strikeOut = f.effects & cfe::StrikeOut;
  lf.charSet = f.charSet;
  lf.pitchAndFamily = f.pitchAndFamily;
  lf.faceName = f.face;
  return lf;
}

Hdc measureDc() {
  static Hdc dc = 0;
  if (!dc || !isDc(dc)) dc = createCompatibleDc(0);
  return dc;
}

void fillSlot(Slot& slot, Hdc dc) {
  const GdiObj old = selectObject(dc, slot.font);
  std::vector<int> widths;
  getCharWidths(dc, 0, 255, widths);
  for (size_t k = 0; k < 256 && k < widths.size(); ++k) slot.widths[k] = widths[k];
  TextMetrics tm;
  getTextMetrics(dc, tm);
  slot.height = std::max(1, tm.height);
  slot.ascent = std::max(1, tm.ascent);
  selectObject(dc, old);
}

const Slot& screenSlot(RichState& s, uint32_t fmt) {
  auto it = s.slots.find(fmt);
  if (it != s.slots.end()) return it->second;
  Slot& slot = s.slots[fmt];
  slot.font = createFont(logFontOf(s.fmts[fmt], displayInfo().dpi, s.zoomNum, s.zoomDen));
  fillSlot(slot, measureDc());
  return slot;
}

// ----------------------------------------------------------------- layout

// How wide characters are and how tall lines are, on the screen or on a
// printer.
struct Metrics {
  std::function<const Slot&(uint32_t)> slot;
  int ppiX = 96;
};

int twipsToPx(int twips, int ppi) { return static_cast<int>(static_cast<long long>(twips) * ppi / 1440); }

int charWidth(const Slot& slot, char c) { return slot.widths[static_cast<unsigned char>(c)]; }

// The next tab stop after x (pixels from the paragraph's left edge).
int nextTab(const ParaFormat& p, int x, int ppi) {
  for (int t : p.tabs) {
    const int px = twipsToPx(t, ppi);
    if (px > x) return px;
  }
  const int step = std::max(1, twipsToPx(kDefaultTab, ppi));
  return (x / step + 1) * step;
}

// Lays out the text from `from` (a paragraph start) while lines start before
// `to`, breaking lines at `width` pixels (no breaking below 1), the whole
// paragraph of `to` included. Stops once a line's top passes `maxY` (when >= 0).
std::vector<Line> layoutText(const RichState& s, int from, int to, int width, const Metrics& m, int maxY = -1) {
  std::vector<Line> out;
  int y = 0;
  int a = from;
  const int n = len(s);
  while (true) {
    const int b = paraEnd(s, a);
    const ParaFormat& pf = s.paras[paraAt(s, a)];
    const int bulletPx = pf.numbering == kBullets ? twipsToPx(kBulletIndent, m.ppiX) : 0;
    const int firstLeft = twipsToPx(pf.startIndent, m.ppiX) + bulletPx;
    const int otherLeft = twipsToPx(pf.startIndent + pf.offset, m.ppiX) + bulletPx;
    const int right = twipsToPx(pf.rightIndent, m.ppiX);
    int pos = a;
    bool first = true;
    do {
      const int left = std::max(0, first ? firstLeft : otherLeft);
      const int room = width > 0 ? std::max(1, width - left - right) : kLargest;
      int x = 0, e = pos, lastBreak = -1;
      int height = 0, ascent = 0;
      while (e < b) {
        const char c = s.text[static_cast<size_t>(e)];
        const Slot& slot = m.slot(s.cf[static_cast<size_t>(e)]);
        const int nx = c == '\t' ? nextTab(pf, left + x, m.ppiX) - left : x + charWidth(slot, c);
        if (nx > room && e > pos) break;
        x = nx;
        height = std::max(height, slot.height);
        ascent = std::max(ascent, slot.ascent);
        if (c == ' ' || c == '\t') lastBreak = e;
        ++e;
      }
      Line l;
      l.start = pos;
      if (e >= b) {
        l.end = b;
        l.next = b < n ? b + markLength(s) : n;
      } else {
        int next = lastBreak >= pos ? lastBreak + 1 : e;
        while (lastBreak >= pos && next < b && s.text[static_cast<size_t>(next)] == ' ') ++next;
        l.end = next;
        l.next = next;
      }
      if (height == 0) {
        // an empty line is as tall as the format at its mark (or before it)
        const int k = l.start < n ? l.start : l.start - 1;
        const Slot& slot = m.slot(k >= 0 ? s.cf[static_cast<size_t>(k)] : s.defaultFmt);
        height = slot.height;
        ascent = slot.ascent;
      }
      int shown = 0;
      for (int i = l.start, px = 0; i < l.end; ++i) {
        const char c = s.text[static_cast<size_t>(i)];
        px = c == '\t' ? nextTab(pf, left + px, m.ppiX) - left : px + charWidth(m.slot(s.cf[static_cast<size_t>(i)]), c);
        if (c != ' ') shown = px;
      }
      l.x = left;
      l.width = left + shown;
      if (width > 0 && pf.alignment == kAlignCentre) l.x += std::max(0, (room - shown) / 2);
      if (width > 0 && pf.alignment == kAlignRight) l.x += std::max(0, room - shown);
      l.y = y;
      l.height = height;
      l.ascent = ascent;
      l.bullet = first && pf.numbering == kBullets;
      l.bulletX = std::max(0, firstLeft - bulletPx);
      l.para = static_cast<int>(paraAt(s, a));
      out.push_back(l);
      y += height;
      pos = l.next;
      first = false;
      if (maxY >= 0 && y > maxY) return out;
    } while (pos < b);
    if (b >= n) {
      // A text that ends with a mark has an empty last line after it.
      if (n > 0 && b == n && s.text.back() == '\n' + 0 * 0) {}
      if (b == n && a == n) break;
      if (b == n) break;
    }
    a = b + markLength(s);
    if (a > n) break;
    if (a == n) {
      // the empty paragraph after a final mark
      Line l;
      l.start = l.end = l.next = n;
      const Slot& slot = m.slot(n > 0 ? s.cf[static_cast<size_t>(n - 1)] : s.defaultFmt);
      l.height = slot.height;
      l.ascent = slot.ascent;
      l.y = y;
      const ParaFormat& lp = s.paras[s.lastPara];
      l.x = twipsToPx(lp.startIndent, m.ppiX);
      l.para = static_cast<int>(s.lastPara);
      out.push_back(l);
      break;
    }
    if (to >= 0 && a > to) break;
  }
  if (out.empty()) {
    Line l;
    const Slot& slot = m.slot(s.defaultFmt);
    l.height = slot.height;
    l.ascent = slot.ascent;
    l.para = static_cast<int>(s.lastPara);
    out.push_back(l);
  }
  return out;
}

Rect formatRect(Hwnd w) {
  Rect r;
  getClientRect(w, r);
  r.left += kMargin;
  r.top += 1;
  r.right = std::max(r.left + 1, r.right - kMargin);
  return r;
}

Metrics screenMetrics(RichState& s) {
  Metrics m;
  m.slot = [&s](uint32_t f) -> const Slot& { return screenSlot(s, f); };
  m.ppiX = displayInfo().dpi;
  return m;
}

const std::vector<Line>& linesOf(Hwnd w) {
  RichState& s = st(w);
  const int width = wraps(w) ? formatRect(w).width() : -1;
  if (s.layoutValid && s.layoutWidth == width) return s.lines;
  s.lines = layoutText(s, 0, -1, width, screenMetrics(s));
  s.textWidth = 0;
  for (const Line& l : s.lines) s.textWidth = std::max(s.textWidth, l.width);
  s.layoutValid = true;
  s.layoutWidth = width;
  return s.lines;
}
void changed(RichState& s) { s.layoutValid = false; }

int lineOf(const std::vector<Line>& l, int i) {
  int lo = 0, hi = static_cast<int>(l.size()) - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (l[static_cast<size_t>(mid)].start <= i) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

// The x of position i on its line, from the line's left.
int xOnLine(RichState& s, const Line& l, int i, const Metrics& m) {
  const ParaFormat& pf = s.paras[static_cast<size_t>(l.para)];
  int x = 0;
  for (int k = l.start; k < i && k < l.end; ++k) {
    const char c = s.text[static_cast<size_t>(k)];
    x = c == '\t' ? nextTab(pf, l.x + x, m.ppiX) - l.x : x + charWidth(m.slot(s.cf[static_cast<size_t>(k)]), c);
  }
  return x;
}

Point posFromChar(Hwnd w, int i) {
  RichState& s = st(w);
  const auto& lines = linesOf(w);
  i = std::clamp(i, 0, len(s));
  const Line& l = lines[static_cast<size_t>(lineOf(lines, i))];
  const Metrics m = screenMetrics(s);
  const Rect f = formatRect(w);
  const int top = lines[static_cast<size_t>(std::clamp(s.firstLine, 0, static_cast<int>(lines.size()) - 1))].y;
  return {f.left + l.x + xOnLine(s, l, i, m) - s.scrollX, f.top + l.y - top};
}

int charFromPos(Hwnd w, Point p) {
  RichState& s = st(w);
  const auto& lines = linesOf(w);
  const Rect f = formatRect(w);
  const int top = lines[static_cast<size_t>(std::clamp(s.firstLine, 0, static_cast<int>(lines.size()) - 1))].y;
  const int y = p.y - f.top + top;
  size_t k = 0;
  while (k + 1 < lines.size() && lines[k + 1].y <= y) ++k;
  const Line& l = lines[k];
  const Metrics m = screenMetrics(s);
  const int x = p.x - f.left + s.scrollX - l.x;
  for (int i = l.start; i < l.end; ++i) {
    const int a = xOnLine(s, l, i, m), b = xOnLine(s, l, i + 1, m);
    if (x < (a + b) / 2) return i;
  }
  return l.end;
}

int visibleHeight(Hwnd w) { return std::max(1, formatRect(w).height()); }

void updateBars(Hwnd w) {
  RichState& s = st(w);
  const auto& lines = linesOf(w);
  s.firstLine = std::clamp(s.firstLine, 0, static_cast<int>(lines.size()) - 1);
  if (s.vBar) {
    ScrollInfo si;
    si.mask = sif::Range | sif::Page | sif::Pos;
    si.max = static_cast<int>(lines.size()) - 1;
    si.page = static_cast<unsigned>(std::max(1, visibleHeight(w) / std::max(1, lines[0].height)));
    si.pos = s.firstLine;
    setScrollInfo(w, kSbVert, si, true);
  }
  if (s.hBar) {
    // pixels: the widest line and room for the caret after it
    const int view = std::max(1, formatRect(w).width());
    ScrollInfo si;
    si.mask = sif::Range | sif::Page | sif::Pos;
    si.max = wraps(w) ? 0 : s.textWidth + 8;
    si.page = static_cast<unsigned>(view);
    s.scrollX = std::clamp(s.scrollX, 0, std::max(0, si.max - view + 1));
    si.pos = s.scrollX;
    setScrollInfo(w, kSbHorz, si, true);
  }
}

void setScrollX(Hwnd w, int x) {
  RichState& s = st(w);
  const int old = s.scrollX;
  s.scrollX = wraps(w) ? 0 : std::max(0, x);   // wrapped lines never run past the right edge
  updateBars(w);
  if (old != s.scrollX) redraw(w);
}

void notifyScroll(Hwnd w) {
  if (st(w).mask & enm::Scroll) notifyCommand(w, en::VScroll);
}

void setFirstLine(Hwnd w, int line) {
  RichState& s = st(w);
  const int count = static_cast<int>(linesOf(w).size());
  const int old = s.firstLine;
  s.firstLine = std::clamp(line, 0, std::max(0, count - 1));
  updateBars(w);
  if (old != s.firstLine) {
    redraw(w);
    notifyScroll(w);
  }
}

// Lines that fit the view from line `first`.
int linesInView(Hwnd w, int first) {
  const auto& lines = linesOf(w);
  const int h = visibleHeight(w);
  int k = first;
  while (k < static_cast<int>(lines.size()) && lines[static_cast<size_t>(k)].y + lines[static_cast<size_t>(k)].height -
                                                        lines[static_cast<size_t>(first)].y <= h)
    ++k;
  return std::max(1, k - first);
}

void scrollCaret(Hwnd w) {
  RichState& s = st(w);
  const auto& lines = linesOf(w);
  const int line = lineOf(lines, s.caret);
  int first = s.firstLine;
  if (line < first) first = line;
  while (line >= first + linesInView(w, first)) ++first;
  setFirstLine(w, first);
  if (!wraps(w)) {
    const Rect f = formatRect(w);
    const int x = posFromChar(w, s.caret).x;
    if (x < f.left) s.scrollX -= f.left - x;
    if (x >= f.right) s.scrollX += x - f.right + 8;
    s.scrollX = std::max(0, s.scrollX);
    updateBars(w);
  }
  redraw(w);
}

// ------------------------------------------------------------- selection

void selectionChanged(Hwnd w, int oldA, int oldB) {
  RichState& s = st(w);
  redraw(w);
  if (oldA == selMin(s) && oldB == selMax(s)) return;
  if (s.mask & enm::SelChange) {
    SelChange sc;
    sc.range = {selMin(s), selMax(s)};
    notifyParent(w, sc.hdr, ren::SelChange);
  }
}

// A position never splits a CR LF of the older class.
int onBoundary(const RichState& s, int i) {
  i = std::clamp(i, 0, len(s));
  if (s.crlf && i > 0 && i < len(s) && s.text[static_cast<size_t>(i - 1)] == '\r' && s.text[static_cast<size_t>(i)] == '\n') --i;
  return i;
}

void setSelection(Hwnd w, int anchor, int caret) {
  RichState& s = st(w);
  const int oa = selMin(s), ob = selMax(s);
  s.anchor = onBoundary(s, anchor);
  s.caret = onBoundary(s, caret);
  s.insertFmt = -1;
  s.typingOpen = false;
  selectionChanged(w, oa, ob);
}

// ------------------------------------------------------------ text changes

bool protectedRange(const RichState& s, int a, int b) {
  auto prot = [&](int i) { return i >= 0 && i < len(s) && (s.fmts[s.cf[static_cast<size_t>(i)]].effects & cfe::Protected); };
  if (a == b) return prot(a - 1) && prot(a);
  for (int i = a; i < b; ++i)
    if (prot(i)) return true;
  return false;
}

// Asks the parent whether protected text in [a, b) may change.
bool mayChange(Hwnd w, int a, int b, uint32_t msg) {
  RichState& s = st(w);
  if (!(s.mask & enm::Protected) || !protectedRange(s, a, b)) return true;
  EnProtected p;
  p.msg = msg;
  p.range = {a, b};
  return notifyParent(w, p.hdr, ren::Protected) == 0;
}

// Replaces [pos, pos + count) with `ins` whose formats are given.
void rawReplace(RichState& s, int pos, int count, const std::string& ins, const std::vector<uint32_t>& cfs,
                const std::vector<uint32_t>& pfs) {
  const size_t p = static_cast<size_t>(pos);
  s.text.replace(p, static_cast<size_t>(count), ins);
  s.cf.erase(s.cf.begin() + pos, s.cf.begin() + pos + count);
  s.cf.insert(s.cf.begin() + pos, cfs.begin(), cfs.end());
  s.pf.erase(s.pf.begin() + pos, s.pf.begin() + pos + count);
  s.pf.insert(s.pf.begin() + pos, pfs.begin(), pfs.end());
  changed(s);
}

void textChangedNotice(Hwnd w) {
  RichState& s = st(w);
  s.modified = true;
  if (s.mask & enm::Change) notifyCommand(w, en::Change);
}

// Replaces the selection with `ins` (line ends of any kind), formatted as
// the insertion point is. Cut at the limit. `undoable`: recorded as a step;
// `typing` joins the open typing group.
bool replaceSelection(Hwnd w, const std::string& raw, bool undoable, bool typing, uint32_t msg) {
  RichState& s = st(w);
  std::string ins = ownLineEnds(s, raw);
  const int a = selMin(s), b = selMax(s);
  const int room = s.limit - (len(s) - (b - a));
  if (room < static_cast<int>(ins.size())) ins.resize(static_cast<size_t>(std::max(0, room)));
  if (s.crlf && !ins.empty() && ins.back() == '\r') ins.pop_back();
  if (ins.empty() && a == b) return false;
  if (!mayChange(w, a, b, msg)) return false;
  uint32_t fmt = s.insertFmt >= 0 ? static_cast<uint32_t>(s.insertFmt)
                 : a > 0           ? s.cf[static_cast<size_t>(a - 1)]
                 : a < len(s)      ? s.cf[static_cast<size_t>(a)]
                                   : s.defaultFmt;
  if (a > 0 && s.insertFmt < 0 && s.text[static_cast<size_t>(a - 1)] == (s.crlf ? '\n' : '\r') && a < len(s))
    fmt = s.cf[static_cast<size_t>(a)];
  // New marks split the paragraph: both halves keep its format.
  const uint32_t para = paraAt(s, a);
  Step step;
  step.pos = a;
  step.removed = s.text.substr(static_cast<size_t>(a), static_cast<size_t>(b - a));
  step.removedCf.assign(s.cf.begin() + a, s.cf.begin() + b);
  step.removedPf.assign(s.pf.begin() + a, s.pf.begin() + b);
  step.inserted = ins;
  step.insertedCf.assign(ins.size(), fmt);
  step.insertedPf.assign(ins.size(), para);
  step.anchor = s.anchor;
  step.caret = s.caret;
  rawReplace(s, a, b - a, ins, step.insertedCf, step.insertedPf);
  const int oa = selMin(s), ob = selMax(s);
  s.anchor = s.caret = a + static_cast<int>(ins.size());
  if (undoable) {
    if (s.crlf) {
      // one step: a new change replaces the one there was
      s.undo.clear();
      step.group = ++s.group;
      s.undo.push_back(std::move(step));
    } else {
      if (!(typing && s.typingOpen)) ++s.group;
      step.group = s.group;
      s.undo.push_back(std::move(step));
      s.typingOpen = typing;
    }
    s.redo.clear();
  } else {
    s.undo.clear();
    s.redo.clear();
  }
  textChangedNotice(w);
  updateBars(w);
  selectionChanged(w, oa, ob);
  return true;
}

// Undoes (or redoes) the last group of steps.
bool undoGroup(Hwnd w, bool redo) {
  RichState& s = st(w);
  auto& from = redo ? s.redo : s.undo;
  auto& to = redo ? s.undo : s.redo;
  if (from.empty()) return false;
  const int g = from.back().group;
  std::vector<Step> done;
  while (!from.empty() && from.back().group == g) {
    Step step = std::move(from.back());
    from.pop_back();
    rawReplace(s, step.pos, static_cast<int>(step.inserted.size()), step.removed, step.removedCf, step.removedPf);
    const int oa = selMin(s), ob = selMax(s);
    std::swap(step.inserted, step.removed);
    std::swap(step.insertedCf, step.removedCf);
    std::swap(step.insertedPf, step.removedPf);
    // the caret after what came back, nothing selected (undone or redone)
    s.anchor = s.caret = step.pos + static_cast<int>(step.inserted.size());
    (void)oa;
    (void)ob;
    done.push_back(std::move(step));
  }
  s.typingOpen = false;
  if (s.crlf) {
    // the older class: undoing again redoes
    s.undo = std::move(done);
    s.redo.clear();
  } else {
    // the steps come back in the order they were first made
    for (auto& step : done) to.push_back(std::move(step));
  }
  textChangedNotice(w);
  updateBars(w);
  scrollCaret(w);
  selectionChanged(w, -1, -1);
  return true;
}

// The control's format indexes of a document's formats.
std::vector<uint32_t> internAll(RichState& s, const RichText& doc) {
  std::vector<uint32_t> map(doc.formats.size());
  for (size_t k = 0; k < map.size(); ++k) map[k] = intern(s.fmts, doc.formats[k]);
  return map;
}

void setWholeText(Hwnd w, const RichText& doc) {
  RichState& s = st(w);
  s.text.clear();
  s.cf.clear();
  s.pf.clear();
  const std::vector<uint32_t> fmts = internAll(s, doc);
  std::vector<uint32_t> paras(doc.paraFormats.size());
  for (size_t k = 0; k < paras.size(); ++k) paras[k] = intern(s.paras, doc.paraFormats[k]);
  const uint32_t plainPara = intern(s.paras, ParaFormat{});
  auto paraOf = [&](size_t p) { return p < doc.paras.size() ? paras[doc.paras[p]] : plainPara; };
  const size_t marks = static_cast<size_t>(std::count(doc.text.begin(), doc.text.end(), '\r'));
  const size_t size = doc.text.size() + (s.crlf ? marks : 0);
  s.text.reserve(size);
  s.cf.reserve(size);
  s.pf.reserve(size);
  size_t para = 0;
  for (size_t i = 0; i < doc.text.size(); ++i) {
    const uint32_t f = fmts[doc.chars[i]];
    const uint32_t p = paraOf(para);
    if (doc.text[i] == '\r') {
      s.text += '\r';
      s.cf.push_back(f);
      s.pf.push_back(p);
      if (s.crlf) {
        s.text += '\n';
        s.cf.push_back(f);
        s.pf.push_back(p);
      }
      ++para;
    } else {
      s.text += doc.text[i];
      s.cf.push_back(f);
      s.pf.push_back(p);
    }
  }
  s.lastPara = para < doc.paras.size() ? paras[doc.paras[para]] : s.lastPara;
  changed(s);
}

// The control's text and formats as a document (CR paragraph ends) for the
// range [a, b).
RichText documentOf(const RichState& s, int a, int b) {
  RichText d;
  d.formats = s.fmts;
  d.paraFormats = s.paras;
  for (int i = a; i < b; ++i) {
    const char c = s.text[static_cast<size_t>(i)];
    if (s.crlf && c == '\n' && i > 0 && s.text[static_cast<size_t>(i - 1)] == '\r') continue;
    d.text += c;
    d.chars.push_back(s.cf[static_cast<size_t>(i)]);
    if (c == '\r') d.paras.push_back(s.pf[static_cast<size_t>(i)]);
  }
  d.paras.push_back(paraAt(s, b));
  return d;
}

// Plain text in, with the format of the insertion point.
RichText plainDocument(const RichState& s, const std::string& in, uint32_t fmt) {
  RichText d;
  d.formats.push_back(s.fmts[fmt]);
  d.paraFormats.push_back(s.paras[s.lastPara]);
  for (size_t i = 0; i < in.size(); ++i) {
    char c = in[i];
    if (c == '\n' && i > 0 && in[i - 1] == '\r') continue;
    if (c == '\n') c = '\r';
    d.text += c;
    d.chars.push_back(0);
    if (c == '\r') d.paras.push_back(0);
  }
  d.paras.push_back(0);
  return d;
}

bool looksLikeRtf(std::string_view t) { return t.substr(0, 5) == "{\\rtf"; }

void resetAfterWholeText(Hwnd w) {
  RichState& s = st(w);
  s.anchor = s.caret = 0;
  s.firstLine = 0;
  s.scrollX = 0;
  s.undo.clear();
  s.redo.clear();
  s.typingOpen = false;
  s.insertFmt = -1;
  s.modified = false;
  updateBars(w);
  redraw(w);
  if (s.mask & enm::Change) notifyCommand(w, en::Change);
}

// ----------------------------------------------------------------- formats

// The format of [a, b) with the mask of the fields that are uniform there.
CharFormat formatOfRange(const RichState& s, int a, int b) {
  if (a == b) {
    const uint32_t f = s.insertFmt >= 0 ? static_cast<uint32_t>(s.insertFmt)
                       : a > 0          ? s.cf[static_cast<size_t>(a - 1)]
                       : a < len(s)     ? s.cf[static_cast<size_t>(a)]
                                        : s.defaultFmt;
    CharFormat out = s.fmts[f];
    out.mask = cfm::All;
    return out;
  }
  CharFormat out = s.fmts[s.cf[static_cast<size_t>(a)]];
  out.mask = cfm::All;
  for (int i = a + 1; i < b; ++i) {
    const CharFormat& f = s.fmts[s.cf[static_cast<size_t>(i)]];
    for (uint32_t bit : {cfm::Bold, cfm::Italic, cfm::Underline, cfm::StrikeOut, cfm::Protected})
      if ((f.effects & bit) != (out.effects & bit)) out.mask &= ~bit;
    if (f.height != out.height) out.mask &= ~cfm::Size;
    if (f.face != out.face) out.mask &= ~cfm::Face;
    if (f.charSet != out.charSet) out.mask &= ~cfm::CharSet;
    if ((f.effects & cfe::AutoColour) != (out.effects & cfe::AutoColour) || f.colour != out.colour) out.mask &= ~cfm::Colour;
    if ((f.effects & cfe::AutoBackColour) != (out.effects & cfe::AutoBackColour) || f.backColour != out.backColour)
      out.mask &= ~cfm::BackColour;
  }
  return out;
}

CharFormat applied(CharFormat f, const CharFormat& c) {
  for (uint32_t bit : {cfm::Bold, cfm::Italic, cfm::Underline, cfm::StrikeOut, cfm::Protected})
    if (c.mask & bit) f.effects = (f.effects & ~bit) | (c.effects & bit);
  if (c.mask & cfm::Size) f.height = std::clamp(c.height, 20, 32760);
  if (c.mask & cfm::Face) {
    f.face = c.face;
    f.pitchAndFamily = c.pitchAndFamily;
  }
  if (c.mask & cfm::CharSet) f.charSet = c.charSet;
  if (c.mask & cfm::Colour) {
    f.effects = (f.effects & ~cfe::AutoColour) | (c.effects & cfe::AutoColour);
    f.colour = c.colour;
  }
  if (c.mask & cfm::BackColour) {
    f.effects = (f.effects & ~cfe::AutoBackColour) | (c.effects & cfe::AutoBackColour);
    f.backColour = c.backColour;
  }
  return f;
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0xC0; }

LResult setCharFormat(Hwnd w, uint32_t which, const CharFormat* c) {
  RichState& s = st(w);
  if (!c) return 0;
  if (which & scf::All) which = scf::Selection, s.anchor = 0, s.caret = len(s);
  if (!(which & scf::Selection)) {
    s.defaultFmt = intern(s.fmts, applied(s.fmts[s.defaultFmt], *c));
    if (s.text.empty()) s.insertFmt = -1;
    dropSlots(s);
    changed(s);
    redraw(w);
    return 1;
  }
  int a = selMin(s), b = selMax(s);
  if (a == b && (which & scf::Word)) {
    while (a > 0 && isWordChar(s.text[static_cast<size_t>(a - 1)])) --a;
    while (b < len(s) && isWordChar(s.text[static_cast<size_t>(b)])) ++b;
  }
  if (a == b) {
    s.insertFmt = static_cast<int>(intern(s.fmts, applied(formatOfRange(s, a, a), *c)));
    return 1;
  }
  if (!mayChange(w, a, b, emr::SetCharFormat)) return 0;
  for (int i = a; i < b; ++i) s.cf[static_cast<size_t>(i)] = intern(s.fmts, applied(s.fmts[s.cf[static_cast<size_t>(i)]], *c));
  changed(s);
  s.modified = true;
  updateBars(w);
  redraw(w);
  return 1;
}

// The paragraphs touched by [a, b): their mark positions (-1 for the last).
std::vector<int> paragraphMarks(const RichState& s, int a, int b) {
  std::vector<int> marks;
  int p = paraStart(s, a);
  while (true) {
    const int e = paraEnd(s, p);
    marks.push_back(e < len(s) ? e : -1);
    if (e >= len(s) || e >= b) break;
    p = e + markLength(s);
    if (p > b) break;
  }
  return marks;
}

LResult setParaFormat(Hwnd w, const ParaFormat* p) {
  RichState& s = st(w);
  if (!p) return 0;
  for (int mark : paragraphMarks(s, selMin(s), selMax(s))) {
    ParaFormat f = s.paras[mark < 0 ? s.lastPara : s.pf[static_cast<size_t>(mark)]];
    if (p->mask & pfm::Numbering) f.numbering = p->numbering;
    if (p->mask & pfm::Alignment) f.alignment = p->alignment;
    if (p->mask & pfm::StartIndent) f.startIndent = p->startIndent;
    if (p->mask & pfm::RightIndent) f.rightIndent = p->rightIndent;
    if (p->mask & pfm::Offset) f.offset = p->offset;
    if (p->mask & pfm::TabStops) f.tabs = p->tabs;
    const uint32_t k = intern(s.paras, f);
    if (mark < 0) s.lastPara = k;
    else {
      s.pf[static_cast<size_t>(mark)] = k;
      if (s.crlf) s.pf[static_cast<size_t>(mark) + 1] = k;
    }
  }
  changed(s);
  s.modified = true;
  updateBars(w);
  redraw(w);
  return 1;
}

ParaFormat getParaFormat(const RichState& s) {
  const auto marks = paragraphMarks(s, selMin(s), selMax(s));
  auto at = [&](int m) -> const ParaFormat& { return s.paras[m < 0 ? s.lastPara : s.pf[static_cast<size_t>(m)]]; };
  ParaFormat out = at(marks[0]);
  out.mask = pfm::All;
  for (size_t k = 1; k < marks.size(); ++k) {
    const ParaFormat& f = at(marks[k]);
    if (f.numbering != out.numbering) out.mask &= ~pfm::Numbering;
    if (f.alignment != out.alignment) out.mask &= ~pfm::Alignment;
    if (f.startIndent != out.startIndent) out.mask &= ~pfm::StartIndent;
    if (f.rightIndent != out.rightIndent) out.mask &= ~pfm::RightIndent;
    if (f.offset != out.offset) out.mask &= ~pfm::Offset;
    if (f.tabs != out.tabs) out.mask &= ~pfm::TabStops;
  }
  return out;
}

// ------------------------------------------------------------------- find

LResult findText(const RichState& s, uint32_t flags, FindTextEx* f) {
  if (!f || !f->text || !*f->text) return -1;
  const std::string key = ownLineEnds(s, f->text);
  const bool down = s.crlf || (flags & ft::Down);
  const bool matchCase = flags & ft::MatchCase;
  const bool whole = flags & ft::WholeWord;
  const int n = len(s), k = static_cast<int>(key.size());
  auto eq = [&](char a, char b) {
    return matchCase ? a == b : std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  auto matchAt = [&](int p) {
    if (p < 0 || p + k > n) return false;
    for (int j = 0; j < k; ++j)
      if (!eq(s.text[static_cast<size_t>(p + j)], key[static_cast<size_t>(j)])) return false;
    if (whole) {
      if (p > 0 && isWordChar(s.text[static_cast<size_t>(p - 1)])) return false;
      if (p + k < n && isWordChar(s.text[static_cast<size_t>(p + k)])) return false;
    }
    return true;
  };
  const int from = std::clamp(f->range.min, 0, n);
  if (down) {
    const int to = f->range.max < 0 ? n : std::min(f->range.max, n);
    for (int p = from; p + k <= to; ++p) {
      if (matchAt(p)) {
        f->found = {p, p + k};
        return p;
      }
    }
  } else {
    const int to = f->range.max < 0 ? 0 : std::clamp(f->range.max, 0, n);
    for (int p = from - k; p >= to; --p) {
      if (matchAt(p)) {
        f->found = {p, p + k};
        return p;
      }
    }
  }
  f->found = {-1, -1};
  return -1;
}

// --------------------------------------------------------------- streams

LResult streamIn(Hwnd w, uint32_t flags, EditStream* es) {
  RichState& s = st(w);
  if (!es || !es->callback) return 0;
  std::string data;
  std::vector<uint8_t> block(kStreamBlock);
  es->error = 0;
  while (true) {
    int32_t done = 0;
    const uint32_t r = es->callback(es->cookie, block.data(), kStreamBlock, &done);
    if (r != 0) {
      es->error = r;
      break;
    }
    if (done <= 0) break;
    data.append(reinterpret_cast<const char*>(block.data()), static_cast<size_t>(std::min(done, kStreamBlock)));
    if (data.size() > static_cast<size_t>(kLargest)) break;
  }
  if (es->error != 0) return 0;
  RichText doc;
  const uint32_t fmt = s.insertFmt >= 0 ? static_cast<uint32_t>(s.insertFmt) : s.defaultFmt;
  // Rich text starts from the control's default format, whatever is set
  // for typing: \plain in the file means that format.
  if (!((flags & sf::Rtf) && readRtf(data, s.fmts[s.defaultFmt], s.paras[s.lastPara], doc))) {
    if (flags & sf::Rtf) {
      es->error = kStreamNotRichText;
      return 0;
    }
    doc = plainDocument(s, data, fmt);
  }
  if (static_cast<int>(doc.text.size()) > s.limit) {
    doc.text.resize(static_cast<size_t>(s.limit));
    doc.chars.resize(doc.text.size());
  }
  if (flags & sf::Selection) {
    // in place of the selection, as plain text in the document's first format
    replaceSelection(w, doc.text, true, false, emr::StreamIn);
    return static_cast<LResult>(doc.text.size());
  }
  setWholeText(w, doc);
  resetAfterWholeText(w);
  return static_cast<LResult>(doc.text.size());
}

LResult streamOut(Hwnd w, uint32_t flags, EditStream* es) {
  RichState& s = st(w);
  if (!es || !es->callback) return 0;
  const int a = (flags & sf::Selection) ? selMin(s) : 0;
  const int b = (flags & sf::Selection) ? selMax(s) : len(s);
  std::string out = (flags & sf::Rtf) ? writeRtf(documentOf(s, a, b)) : crlfLineEnds(s, std::string_view(s.text).substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
  es->error = 0;
  size_t pos = 0;
  while (pos < out.size()) {
    const int32_t count = static_cast<int32_t>(std::min<size_t>(kStreamBlock, out.size() - pos));
    int32_t done = 0;
    const uint32_t r = es->callback(es->cookie, reinterpret_cast<uint8_t*>(out.data() + pos), count, &done);
    if (r != 0) {
      es->error = r;
      break;
    }
    if (done <= 0) {
      es->error = 1;
      break;
    }
    pos += static_cast<size_t>(std::min(done, count));
  }
  return static_cast<LResult>(pos);
}

// ------------------------------------------------------------ drawing text

// Draws lines [first, last) of a layout at (ox, oy) (the first line's top
// at oy); fonts from `m`. Selection [sa, sb) in highlight colours.
void drawLines(const RichState& s, Hdc dc, const std::vector<Line>& lines, size_t first, size_t last, int ox, int oy,
               const Metrics& m, int sa, int sb, const Rect& clip, bool screen) {
  setBkMode(dc, kTransparent);
  setTextAlign(dc, kTaLeft | kTaTop);
  const int top = first < lines.size() ? lines[first].y : 0;
  for (size_t k = first; k < last && k < lines.size(); ++k) {
    const Line& l = lines[k];
    const int y = oy + l.y - top;
    if (screen && y >= clip.bottom) break;
    const ParaFormat& pf = s.paras[static_cast<size_t>(l.para)];
    if (l.bullet) {
      const Slot& slot = m.slot(l.start < len(s) ? s.cf[static_cast<size_t>(l.start)] : s.defaultFmt);
      const int d = std::max(5, slot.height * 2 / 5);
      const int cx = ox + l.bulletX + d, cy = y + l.ascent - slot.ascent + slot.height / 2;
      const HBrush b = createSolidBrush(sysColor(SysColor::kWindowText));
      const GdiObj oldBrush = selectObject(dc, b);
      const GdiObj oldPen = selectObject(dc, getStockObject(Stock::kNullPen));
      ellipse(dc, cx - d / 2, cy - d / 2, cx + d / 2 + 1, cy + d / 2 + 1);
      selectObject(dc, oldPen);
      selectObject(dc, oldBrush);
      deleteObject(b);
    }
    int x = 0;
    int i = l.start;
    while (i < l.end || (i == l.end && i < sb && i >= sa && l.end < l.next && screen)) {
      if (i == l.end) {
        // a selected paragraph mark shows as a blank cell
        const Slot& slot = m.slot(s.cf[static_cast<size_t>(i)]);
        fillSolid(dc, Rect{ox + l.x + x, y, ox + l.x + x + charWidth(slot, ' '), y + l.height}, sysColor(SysColor::kHighlight));
        break;
      }
      // A run: one format, one side of the selection, no tab inside.
      const uint32_t f = s.cf[static_cast<size_t>(i)];
      const bool sel = i >= sa && i < sb;
      int j = i;
      if (s.text[static_cast<size_t>(i)] != '\t') {
        while (j < l.end && s.cf[static_cast<size_t>(j)] == f && (j >= sa && j < sb) == sel && s.text[static_cast<size_t>(j)] != '\t') ++j;
      } else {
        j = i + 1;
      }
      const Slot& slot = m.slot(f);
      const CharFormat& cf = s.fmts[f];
      int w = 0;
      if (s.text[static_cast<size_t>(i)] == '\t') w = nextTab(pf, l.x + x, m.ppiX) - l.x - x;
      else
        for (int k2 = i; k2 < j; ++k2) w += charWidth(slot, s.text[static_cast<size_t>(k2)]);
      const int px = ox + l.x + x;
      const int py = y + l.ascent - slot.ascent;
      if (sel) fillSolid(dc, Rect{px, y, px + w, y + l.height}, sysColor(SysColor::kHighlight));
      else if (!(cf.effects & cfe::AutoBackColour)) fillSolid(dc, Rect{px, y, px + w, y + l.height}, cf.backColour);
      if (s.text[static_cast<size_t>(i)] != '\t') {
        const GdiObj old = selectObject(dc, slot.font);
        setTextColor(dc, sel ? sysColor(SysColor::kHighlightText)
                             : (cf.effects & cfe::AutoColour) ? sysColor(SysColor::kWindowText) : cf.colour);
        extTextOut(dc, px, py, kEtoClipped, &clip, std::string_view(s.text).substr(static_cast<size_t>(i), static_cast<size_t>(j - i)));
        selectObject(dc, old);
      }
      x += w;
      i = j;
    }
  }
}

void paintRich(Hwnd w, Hdc dc, const Rect& c) {
  RichState& s = st(w);
  const HBrush bg = controlColours(w, dc, wm::CtlColorEdit, SysColor::kWindowText, SysColor::kWindow);
  fillRect(dc, c, bg);
  const auto& lines = linesOf(w);
  const Rect f = formatRect(w);
  const bool showSel = !s.hideSel && (s.focused || (getWindowStyle(w) & es::NoHideSel));
  const int sa = showSel ? selMin(s) : 0, sb = showSel ? selMax(s) : 0;
  Rect clip = f;
  clip.top = c.top;
  clip.bottom = c.bottom;
  intersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  const Metrics m = screenMetrics(s);
  drawLines(s, dc, lines, static_cast<size_t>(s.firstLine), lines.size(), f.left - s.scrollX, f.top, m, sa, sb, clip, true);
  if (s.focused && sa == sb && !s.hideSel) {
    const Point p = posFromChar(w, s.caret);
    const Line& l = lines[static_cast<size_t>(lineOf(lines, s.caret))];
    if (p.x >= f.left && p.x < f.right) lineSolid(dc, p.x, p.y, p.x, p.y + l.height, sysColor(SysColor::kWindowText));
  }
}

// Lays out and (when `draw`) draws the range onto the device context of a
// printer in twips; the first character that did not fit.
LResult formatRange(Hwnd w, bool draw, FormatRange* fr) {
  RichState& s = st(w);
  if (!fr) return 0;
  if (!isDc(fr->dc)) return fr->range.min;
  const int ppiX = std::max(1, getDeviceCaps(fr->dc, Cap::kLogPixelsX));
  const int ppiY = std::max(1, getDeviceCaps(fr->dc, Cap::kLogPixelsY));
  std::map<uint32_t, Slot> slots;
  Metrics m;
  m.ppiX = ppiX;
  m.slot = [&](uint32_t f) -> const Slot& {
    auto it = slots.find(f);
    if (it != slots.end()) return it->second;
    Slot& slot = slots[f];
    slot.font = createFont(logFontOf(s.fmts[f], ppiY, 0, 0));
    fillSlot(slot, fr->dc);
    return slot;
  };
  const int left = twipsToPx(fr->rect.left, ppiX), right = twipsToPx(fr->rect.right, ppiX);
  const int top = twipsToPx(fr->rect.top, ppiY), bottom = twipsToPx(fr->rect.bottom, ppiY);
  const int end = fr->range.max < 0 ? len(s) : std::min(fr->range.max, len(s));
  int start = std::clamp(fr->range.min, 0, end);
  LResult result = start;
  if (start < end && right > left && bottom > top) {
    const int from = paraStart(s, start);
    const std::vector<Line> lines = layoutText(s, from, end, right - left, m, bottom - top + 1);
    size_t k = 0;
    while (k < lines.size() && lines[k].next <= start && lines[k].start < start) ++k;
    const size_t first = k;
    const int oy = top;
    int used = 0;
    size_t last = first;
    while (last < lines.size() && lines[last].start < end) {
      const int h = lines[last].y + lines[last].height - lines[first].y;
      if (h > bottom - top) break;
      used = h;
      ++last;
    }
    (void)used;
    if (draw && last > first) {
      const Rect clip{left, top, right, bottom};
      // A range that starts inside a line draws from its start only.
      drawLines(s, fr->dc, lines, first, last, left, oy, m, -1, -1, clip, false);
    }
    result = last > first ? std::min(end, lines[last - 1].next) : start;
  }
  for (auto& [k, slot] : slots) deleteObject(slot.font);
  return result;
}

// ---------------------------------------------------------------- keys

void moveCaret(Hwnd w, int to, bool extend) {
  RichState& s = st(w);
  setSelection(w, extend ? s.anchor : to, to);
  scrollCaret(w);
}

bool filtered(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  RichState& s = st(w);
  const bool key = message == wm::KeyDown || message == wm::KeyUp || message == wm::Char;
  const bool mouse = message == wm::LButtonDown || message == wm::LButtonUp || message == wm::RButtonDown ||
                     message == wm::RButtonUp || message == wm::MouseMove || message == wm::LButtonDblClk;
  if (!((key && (s.mask & enm::KeyEvents)) || (mouse && (s.mask & enm::MouseEvents)))) return false;
  MsgFilter f;
  f.msg = message;
  f.wParam = wp;
  f.lParam = lp;
  return notifyParent(w, f.hdr, ren::MsgFilter) != 0;
}

void copySelection(Hwnd w) {
  RichState& s = st(w);
  if (selMin(s) == selMax(s)) return;
  if (!openClipboard(w)) return;
  emptyClipboard();
  setClipboardData(kCfText, crlfLineEnds(s, std::string_view(s.text).substr(static_cast<size_t>(selMin(s)), static_cast<size_t>(selMax(s) - selMin(s)))));
  closeClipboard();
}

void paste(Hwnd w) {
  if (readOnly(w)) return;
  std::string t;
  if (!openClipboard(w)) return;
  const bool got = getClipboardData(kCfText, t);
  closeClipboard();
  if (got) {
    replaceSelection(w, t, true, false, wm::Paste);
    scrollCaret(w);
  }
}

LResult keyDown(Hwnd w, WParam key) {
  RichState& s = st(w);
  const bool shift = getKeyState(vk::Shift) < 0;
  const bool ctrl = getKeyState(vk::Control) < 0;
  const auto& lines = linesOf(w);
  const int line = lineOf(lines, s.caret);
  const int step = s.crlf ? 2 : 1;
  switch (key) {
    case vk::Left: {
      int to = s.caret > 0 ? s.caret - 1 : 0;
      if (s.crlf && to > 0 && s.text[static_cast<size_t>(to)] == '\n') --to;
      if (!shift && selMin(s) != selMax(s)) to = selMin(s);
      moveCaret(w, to, shift);
      return 0;
    }
    case vk::Right: {
      int to = std::min(len(s), s.caret + (s.caret < len(s) && s.text[static_cast<size_t>(s.caret)] == '\r' ? step : 1));
      if (!shift && selMin(s) != selMax(s)) to = selMax(s);
      moveCaret(w, to, shift);
      return 0;
    }
    case vk::Home: moveCaret(w, ctrl ? 0 : lines[static_cast<size_t>(line)].start, shift); return 0;
    case vk::End: moveCaret(w, ctrl ? len(s) : lines[static_cast<size_t>(line)].end, shift); return 0;
    case vk::Up:
    case vk::Down:
    case vk::Prior:
    case vk::Next: {
      const int page = linesInView(w, s.firstLine);
      const int delta = key == vk::Up ? -1 : key == vk::Down ? 1 : key == vk::Prior ? -page : page;
      const int target = std::clamp(line + delta, 0, static_cast<int>(lines.size()) - 1);
      const Point p = posFromChar(w, s.caret);
      const Point q = posFromChar(w, lines[static_cast<size_t>(target)].start);
      moveCaret(w, charFromPos(w, {p.x, q.y}), shift);
      return 0;
    }
    case vk::Delete: {
      if (readOnly(w)) return 0;
      if (shift) {
        copySelection(w);
        replaceSelection(w, {}, true, false, wm::KeyDown);
        return 0;
      }
      if (selMin(s) == selMax(s)) {
        if (s.caret >= len(s)) return 0;
        setSelection(w, s.caret, s.caret + (s.text[static_cast<size_t>(s.caret)] == '\r' ? step : 1));
      }
      replaceSelection(w, {}, true, false, wm::KeyDown);
      scrollCaret(w);
      return 0;
    }
    case vk::Insert:
      if (shift) paste(w);
      else if (ctrl) copySelection(w);
      else s.overtype = !s.overtype;
      return 0;
    default:
      return 0;
  }
}

LResult character(Hwnd w, WParam ch) {
  RichState& s = st(w);
  const char c = static_cast<char>(ch);
  switch (ch) {
    case 1: setSelection(w, 0, len(s)); return 0;    // Ctrl+A
    case 3: copySelection(w); return 0;              // Ctrl+C
    case 22: paste(w); return 0;                     // Ctrl+V
    case 24:                                         // Ctrl+X
      if (!readOnly(w)) {
        copySelection(w);
        replaceSelection(w, {}, true, false, wm::Cut);
      }
      return 0;
    case 26: undoGroup(w, false); return 0;          // Ctrl+Z
    case 25: if (!s.crlf) undoGroup(w, true); return 0;   // Ctrl+Y
    case 8:                                          // Backspace
      if (readOnly(w)) return 0;
      if (selMin(s) == selMax(s)) {
        if (s.caret == 0) return 0;
        int from = s.caret - 1;
        if (s.crlf && from > 0 && s.text[static_cast<size_t>(from)] == '\n') --from;
        setSelection(w, from, s.caret);
      }
      replaceSelection(w, {}, true, false, wm::Char);
      scrollCaret(w);
      return 0;
    default: break;
  }
  if (readOnly(w)) return 0;
  if (c == '\r' || c == '\t' || static_cast<unsigned char>(c) >= 32) {
    const int fmt = s.insertFmt;
    if (s.overtype && selMin(s) == selMax(s) && s.caret < len(s) && s.text[static_cast<size_t>(s.caret)] != '\r') {
      s.anchor = s.caret + 1;
    }
    s.insertFmt = fmt;
    const bool open = s.typingOpen;
    const int g = s.group;
    if (replaceSelection(w, std::string(1, c == '\r' ? '\r' : c), true, true, wm::Char)) {
      (void)open;
      (void)g;
      s.insertFmt = fmt;
    }
    scrollCaret(w);
  }
  return 0;
}

LResult richProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (message != wm::Create && message != wm::NcCreate && !richs().get(w) && message != wm::NcDestroy) {
    st(w);
  }
  if (filtered(w, message, wp, lp)) return 0;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintRich(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      RichState& s = st(w);
      s.crlf = getClassName(w) == kRichEdit10Class;
      s.vBar = getWindowStyle(w) & ws::VScroll;
      s.hBar = getWindowStyle(w) & ws::HScroll;
      s.packedPositions = !s.crlf && offeredRichEditLevel() == 2;
      CharFormat base;
      base.mask = cfm::All;
      base.height = 200;
      base.face = "Arial";
      base.effects = cfe::AutoColour | cfe::AutoBackColour;
      s.defaultFmt = intern(s.fmts, base);
      s.lastPara = intern(s.paras, ParaFormat{});
      updateBars(w);
      return 0;
    }
    case wm::NcDestroy:
      if (RichState* s = richs().get(w)) dropSlots(*s);
      richs().drop(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::SetFont: {
      RichState& s = st(w);
      LogFont lf;
      if (!getLogFont(handleFrom<HFont>(wp), lf)) getLogFont(static_cast<HFont>(getStockObject(Stock::kDefaultGuiFont)), lf);
      CharFormat f = s.fmts[s.defaultFmt];
      if (lf.height == 0) lf.height = -16;
      TextMetrics tm;
      if (lf.height > 0) {
        const GdiObj old = selectObject(measureDc(), handleFrom<HFont>(wp));
        getTextMetrics(measureDc(), tm);
        selectObject(measureDc(), old);
        lf.height = -(tm.height - tm.internalLeading);
      }
      // to the nearest half point: a font of whole pixels (13 pixels at 96
      // per inch for 10 points) is the size it was asked for, not 9.75 points
      f.height = static_cast<int>((static_cast<long>(-lf.height) * 1440 / displayInfo().dpi + 5) / 10 * 10);
      f.face = lf.faceName;
      f.charSet = lf.charSet;
      f.pitchAndFamily = lf.pitchAndFamily;
      f.effects = (f.effects & ~(cfe::Bold | cfe::Italic | cfe::Underline | cfe::StrikeOut)) |
                  (lf.weight >= 600 ? cfe::Bold : 0) | (lf.italic ? cfe::Italic : 0) |
                  (lf.underline ? cfe::Underline : 0) | (lf.strikeOut ? cfe::StrikeOut : 0);
      // the font of the whole text and of what is typed
      const uint32_t k = intern(s.fmts, f);
      s.defaultFmt = k;
      for (auto& c : s.cf) c = k;
      s.insertFmt = -1;
      dropSlots(s);
      changed(s);
      updateBars(w);
      if (lp) redraw(w);
      return 0;
    }
    case wm::GetFont: return 0;
    case wm::SetText: {
      RichState& s = st(w);
      const char* t = reinterpret_cast<const char*>(lp);
      const std::string in = t ? t : "";
      RichText doc;
      if (!(!s.crlf && looksLikeRtf(in) && readRtf(in, s.fmts[s.defaultFmt], s.paras[s.lastPara], doc)))
        doc = plainDocument(s, in, s.defaultFmt);
      if (static_cast<int>(doc.text.size()) > s.limit) {
        doc.text.resize(static_cast<size_t>(s.limit));
        doc.chars.resize(doc.text.size());
      }
      setWholeText(w, doc);
      resetAfterWholeText(w);
      return 1;
    }
    case wm::GetText: {
      RichState& s = st(w);
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      const std::string t = crlfLineEnds(s, s.text);
      const size_t n = std::min(t.size(), static_cast<size_t>(wp) - 1);
      std::copy_n(t.data(), n, buf);
      buf[n] = '\0';
      return static_cast<LResult>(n);
    }
    case wm::GetTextLength: {
      RichState& s = st(w);
      if (s.crlf) return len(s);
      return len(s) + static_cast<LResult>(std::count(s.text.begin(), s.text.end(), '\r'));
    }
    case wm::GetDlgCode:
      return dlgc::WantChars | dlgc::HasSetSel | dlgc::WantArrows | dlgc::WantAllKeys;
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
    case wm::Size:
      changed(st(w));
      updateBars(w);
      redraw(w);
      return 0;
    case wm::VScroll: {
      RichState& s = st(w);
      const int page = linesInView(w, s.firstLine);
      switch (loWord(wp)) {
        case kSbLineUp: setFirstLine(w, s.firstLine - 1); break;
        case kSbLineDown: setFirstLine(w, s.firstLine + 1); break;
        case kSbPageUp: setFirstLine(w, s.firstLine - page); break;
        case kSbPageDown: setFirstLine(w, s.firstLine + page); break;
        case kSbThumbTrack:
        case kSbThumbPosition: {
          // the bar's own position: the message's word holds 16 bits only
          ScrollInfo si;
          si.mask = sif::TrackPos;
          setFirstLine(w, getScrollInfo(w, kSbVert, si) ? si.trackPos : hiWord(wp));
          break;
        }
        case kSbTop: setFirstLine(w, 0); break;
        case kSbBottom: setFirstLine(w, static_cast<int>(linesOf(w).size())); break;
        default: break;
      }
      return 0;
    }
    case wm::HScroll: {
      RichState& s = st(w);
      const int view = std::max(1, formatRect(w).width());
      switch (loWord(wp)) {
        case kSbLineUp: setScrollX(w, s.scrollX - 8); break;
        case kSbLineDown: setScrollX(w, s.scrollX + 8); break;
        case kSbPageUp: setScrollX(w, s.scrollX - view); break;
        case kSbPageDown: setScrollX(w, s.scrollX + view); break;
        case kSbThumbTrack:
        case kSbThumbPosition: {
          ScrollInfo si;
          si.mask = sif::TrackPos;
          setScrollX(w, getScrollInfo(w, kSbHorz, si) ? si.trackPos : hiWord(wp));
          break;
        }
        case kSbTop: setScrollX(w, 0); break;
        case kSbBottom: setScrollX(w, s.textWidth); break;
        default: break;
      }
      return 0;
    }
    case wm::MouseWheel: {
      RichState& s = st(w);
      const int clicks = static_cast<int16_t>(hiWord(wp)) / 120;
      if (loWord(wp) & kMkControl) {
        // Ctrl with the wheel zooms by tenths
        int num = s.zoomNum > 0 ? s.zoomNum : 10, den = s.zoomDen > 0 ? s.zoomDen : 10;
        num = std::clamp(num * 10 / den + clicks, 1, 64);
        s.zoomNum = num;
        s.zoomDen = 10;
        dropSlots(s);
        changed(s);
        updateBars(w);
        redraw(w);
        return 0;
      }
      setFirstLine(w, s.firstLine - clicks * 3);
      return 0;
    }
    case wm::LButtonDown: {
      setFocus(w);
      const int i = charFromPos(w, pointFromParam(static_cast<uintptr_t>(lp)));
      moveCaret(w, i, (wp & kMkShift) != 0);
      st(w).dragging = true;
      setCapture(w);
      return 0;
    }
    case wm::MouseMove:
      if (st(w).dragging && getCapture() == w) moveCaret(w, charFromPos(w, pointFromParam(static_cast<uintptr_t>(lp))), true);
      return 0;
    case wm::LButtonUp:
      if (st(w).dragging) {
        st(w).dragging = false;
        if (getCapture() == w) releaseCapture();
      }
      return 0;
    case wm::LButtonDblClk: {
      RichState& s = st(w);
      const int i = charFromPos(w, pointFromParam(static_cast<uintptr_t>(lp)));
      int a = i, b = i;
      while (a > 0 && isWordChar(s.text[static_cast<size_t>(a - 1)])) --a;
      while (b < len(s) && isWordChar(s.text[static_cast<size_t>(b)])) ++b;
      setSelection(w, a, b);
      return 0;
    }
    case wm::KeyDown: return keyDown(w, wp);
    case wm::Char: return character(w, wp);
    case wm::Cut:
      if (!readOnly(w) && selMin(st(w)) != selMax(st(w)) && mayChange(w, selMin(st(w)), selMax(st(w)), message)) {
        copySelection(w);
        replaceSelection(w, {}, true, false, message);
      }
      return 0;
    case wm::Copy: copySelection(w); return 0;
    case wm::Paste: paste(w); return 0;
    case wm::Clear:
      if (!readOnly(w) && selMin(st(w)) != selMax(st(w))) replaceSelection(w, {}, true, false, message);
      return 0;
    case wm::Undo:
    case em::Undo: return undoGroup(w, false) ? 1 : 0;
    case emr::Redo: return !st(w).crlf && undoGroup(w, true) ? 1 : 0;
    case em::CanUndo: return st(w).undo.empty() ? 0 : 1;
    case emr::CanRedo: return st(w).redo.empty() ? 0 : 1;
    case em::EmptyUndoBuffer:
      st(w).undo.clear();
      st(w).redo.clear();
      st(w).typingOpen = false;
      return 0;
    case emr::StopGroupTyping: st(w).typingOpen = false; return 0;
    case em::GetSel: {
      RichState& s = st(w);
      if (int* p = reinterpret_cast<int*>(wp)) *p = selMin(s);
      if (int* p = reinterpret_cast<int*>(lp)) *p = selMax(s);
      return makeLParam(selMin(s), selMax(s));
    }
    case emr::ExGetSel:
      if (CharRange* r = reinterpret_cast<CharRange*>(lp)) *r = {selMin(st(w)), selMax(st(w))};
      return 0;
    case em::SetSel:
    case emr::ExSetSel: {
      RichState& s = st(w);
      int a = 0, b = 0;
      if (message == em::SetSel) {
        a = static_cast<int>(static_cast<intptr_t>(wp));
        b = static_cast<int>(lp);
      } else if (const CharRange* r = reinterpret_cast<const CharRange*>(lp)) {
        a = r->min;
        b = r->max;
      }
      if (a == -1) setSelection(w, s.caret, s.caret);
      else if (a == 0 && b == -1) setSelection(w, 0, len(s));
      else setSelection(w, a, b < 0 ? len(s) : b);
      return selMax(s);
    }
    case emr::HideSelection:
      st(w).hideSel = wp != 0;
      redraw(w);
      return 0;
    case em::ReplaceSel: {
      RichState& s = st(w);
      const char* t = reinterpret_cast<const char*>(lp);
      const std::string in = t ? t : "";
      RichText doc;
      if (!s.crlf && looksLikeRtf(in) && readRtf(in, s.fmts[s.defaultFmt], s.paras[s.lastPara], doc)) {
        // rich text given as text goes in with its formats
        const int a = selMin(s);
        if (!replaceSelection(w, doc.text, wp != 0, false, message) && !doc.text.empty()) return 0;
        const std::vector<uint32_t> fmts = internAll(s, doc);
        for (size_t k = 0; k < doc.text.size() && a + static_cast<int>(k) < len(s); ++k)
          s.cf[static_cast<size_t>(a) + k] = fmts[doc.chars[k]];
        changed(s);
        redraw(w);
        return 0;
      }
      replaceSelection(w, in, wp != 0, false, message);
      return 0;
    }
    case emr::GetSelText: {
      RichState& s = st(w);
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf) return 0;
      const int n = selMax(s) - selMin(s);
      std::copy_n(s.text.data() + selMin(s), n, buf);
      buf[n] = '\0';
      return n;
    }
    case emr::GetTextRange: {
      RichState& s = st(w);
      TextRange* r = reinterpret_cast<TextRange*>(lp);
      if (!r || !r->text) return 0;
      const int a = std::clamp(r->range.min, 0, len(s));
      const int b = r->range.max < 0 ? len(s) : std::clamp(r->range.max, a, len(s));
      std::copy_n(s.text.data() + a, b - a, r->text);
      r->text[b - a] = '\0';
      return b - a;
    }
    case em::LimitText:
    case emr::ExLimitText: {
      const LParam v = message == em::LimitText ? static_cast<LParam>(wp) : lp;
      st(w).limit = v <= 0 ? 65535 : static_cast<int>(std::min<LParam>(v, kLargest));
      return 0;
    }
    case em::GetLimitText: return st(w).limit;
    case emr::SetEventMask: {
      const uint32_t old = st(w).mask;
      st(w).mask = static_cast<uint32_t>(lp);
      return old;
    }
    case emr::GetEventMask: return st(w).mask;
    case emr::FindTextEx: return findText(st(w), static_cast<uint32_t>(wp), reinterpret_cast<FindTextEx*>(lp));
    case emr::GetCharFormat: {
      RichState& s = st(w);
      CharFormat* f = reinterpret_cast<CharFormat*>(lp);
      if (!f) return 0;
      if (wp & scf::Selection) *f = formatOfRange(s, selMin(s), selMax(s));
      else {
        *f = s.fmts[s.defaultFmt];
        f->mask = cfm::All;
      }
      return static_cast<LResult>(f->mask);
    }
    case emr::SetCharFormat: return setCharFormat(w, static_cast<uint32_t>(wp), reinterpret_cast<const CharFormat*>(lp));
    case emr::GetParaFormat:
      if (ParaFormat* p = reinterpret_cast<ParaFormat*>(lp)) *p = getParaFormat(st(w));
      return 0;
    case emr::SetParaFormat: return setParaFormat(w, reinterpret_cast<const ParaFormat*>(lp));
    case em::GetLineCount: return static_cast<LResult>(linesOf(w).size());
    case em::LineIndex: {
      RichState& s = st(w);
      const auto& lines = linesOf(w);
      int line = static_cast<int>(static_cast<intptr_t>(wp));
      if (line < 0) line = lineOf(lines, s.caret);
      return line < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(line)].start : -1;
    }
    case em::LineLength: {
      RichState& s = st(w);
      const auto& lines = linesOf(w);
      int idx = static_cast<int>(static_cast<intptr_t>(wp));
      if (idx < 0) idx = s.caret;
      const Line& l = lines[static_cast<size_t>(lineOf(lines, std::clamp(idx, 0, len(s))))];
      return l.end - l.start;
    }
    case em::LineFromChar: {
      RichState& s = st(w);
      int idx = static_cast<int>(static_cast<intptr_t>(wp));
      if (idx < 0) idx = s.caret;
      return lineOf(linesOf(w), std::clamp(idx, 0, len(s)));
    }
    case em::GetLine: {
      RichState& s = st(w);
      const auto& lines = linesOf(w);
      const int line = static_cast<int>(wp);
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || line < 0 || line >= static_cast<int>(lines.size())) return 0;
      const Line& l = lines[static_cast<size_t>(line)];
      // the line with its paragraph mark
      return copyToLineBuffer(buf, s.text.data() + l.start, l.next - l.start);
    }
    case em::GetFirstVisibleLine: return st(w).firstLine;
    case emr::LineScroll: {
      RichState& s = st(w);
      setScrollX(w, s.scrollX + static_cast<int>(static_cast<intptr_t>(wp)) * 8);
      setFirstLine(w, s.firstLine + static_cast<int>(lp));
      redraw(w);
      return 1;
    }
    case emr::Scroll: {
      RichState& s = st(w);
      const int before = s.firstLine;
      const int page = linesInView(w, s.firstLine);
      switch (wp) {
        case kSbLineUp: setFirstLine(w, s.firstLine - 1); break;
        case kSbLineDown: setFirstLine(w, s.firstLine + 1); break;
        case kSbPageUp: setFirstLine(w, s.firstLine - page); break;
        case kSbPageDown: setFirstLine(w, s.firstLine + page); break;
        default: return 0;
      }
      return makeLParam(std::abs(s.firstLine - before), 1);
    }
    case em::ScrollCaret:
      scrollCaret(w);
      return 0;
    case em::GetModify: return st(w).modified ? 1 : 0;
    case em::SetModify: st(w).modified = wp != 0; return 0;
    case em::SetReadOnly: {
      const uint32_t s0 = getWindowStyle(w);
      setWindowStyle(w, wp ? (s0 | es::ReadOnly) : (s0 & ~es::ReadOnly));
      redraw(w);
      return 1;
    }
    case emr::GetZoom: {
      RichState& s = st(w);
      if (int* p = reinterpret_cast<int*>(wp)) *p = s.zoomNum;
      if (int* p = reinterpret_cast<int*>(lp)) *p = s.zoomDen;
      return 1;
    }
    case emr::SetZoom: {
      RichState& s = st(w);
      const int num = static_cast<int>(wp), den = static_cast<int>(lp);
      if (!((num == 0 && den == 0) || (num > 0 && den > 0 && num * 64 >= den && num <= den * 64))) return 0;
      s.zoomNum = num;
      s.zoomDen = den;
      dropSlots(s);
      changed(s);
      updateBars(w);
      redraw(w);
      return 1;
    }
    case emr::PosFromChar: {
      RichState& s = st(w);
      if (s.packedPositions) {
        const int i = static_cast<int>(wp);
        if (wp > static_cast<WParam>(len(s))) return -1;
        const Point p = posFromChar(w, i);
        return makeLParam(p.x, p.y);
      }
      Point* out = reinterpret_cast<Point*>(wp);
      if (!out || lp < 0 || lp > len(s)) return 0;
      *out = posFromChar(w, static_cast<int>(lp));
      return 0;
    }
    case em::PosFromChar: {
      const Point p = posFromChar(w, static_cast<int>(wp));
      return makeLParam(p.x, p.y);
    }
    case em::CharFromPos: {
      const Point p{xFromParam(static_cast<uintptr_t>(lp)), yFromParam(static_cast<uintptr_t>(lp))};
      return charFromPos(w, p);
    }
    case emr::StreamIn: return streamIn(w, static_cast<uint32_t>(wp), reinterpret_cast<EditStream*>(lp));
    case emr::StreamOut: return streamOut(w, static_cast<uint32_t>(wp), reinterpret_cast<EditStream*>(lp));
    case emr::FormatRange: return formatRange(w, wp != 0, reinterpret_cast<FormatRange*>(lp));
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerRichEditClasses() {
  for (const char* name : {kRichEdit20Class, kRichEdit10Class}) {
    WindowClass wc;
    wc.name = name;
    wc.proc = richProc;
    wc.style = cs::DblClks;
    wc.cursor = loadCursor(SysCursor::IBeam);
    registerClass(wc);
  }
  onControlsReset(resetRichs);
}

}  // namespace plat::detail
