// What the controls share: registration, reset, notifications, fonts,
// colours and the small painting helpers.
#include <algorithm>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct CommonState {
  std::unordered_map<uint32_t, HFont> fonts;
  std::vector<void (*)()> resets;
  Hdc measure = 0;
};

CommonState& common() {
  static CommonState s;
  return s;
}

Hdc measuringDc(HFont f) {
  CommonState& c = common();
  if (!c.measure || !isDc(c.measure)) c.measure = createCompatibleDc(0);
  selectObject(c.measure, f ? f : getStockObject(Stock::kDefaultGuiFont));
  return c.measure;
}

}  // namespace

void onControlsReset(void (*fn)()) {
  auto& r = common().resets;
  if (std::find(r.begin(), r.end(), fn) == r.end()) r.push_back(fn);
}

void registerControlClass(const char* name, WndProc proc, uint32_t style) {
  WindowClass wc;
  wc.name = name;
  wc.proc = proc;
  wc.style = style;
  wc.cursor = loadCursor(SysCursor::Arrow);
  registerClass(wc);
}

void registerControlClasses() {
  registerButtonClass();
  registerStaticClass();
  registerEditClass();
  registerListBoxClass();
  registerComboBoxClass();
  registerScrollBarClass();
  registerProgressClass();
  registerUpDownClass();
  registerTabClass();
  registerHeaderClass();
  registerTrackbarClass();
  registerTreeViewClass();
  registerRichEditClasses();
  registerDialogManagerClass();
}

void resetControls() {
  CommonState& c = common();
  for (auto fn : c.resets) fn();
  c.fonts.clear();
  resetDialogManager();
}

Hwnd notifyTarget(Hwnd w) {
  Hwnd p = getParent(w);
  return p ? p : getOwner(w);
}

void notifyCommand(Hwnd w, uint32_t code) {
  Hwnd p = notifyTarget(w);
  if (p) sendMessage(p, wm::Command, makeWParam(static_cast<int>(getWindowId(w)), static_cast<int>(code)), toParam(w));
}

LResult notifyParent(Hwnd w, NotifyHeader& hdr, int code) {
  hdr.hwndFrom = w;
  hdr.idFrom = static_cast<uintptr_t>(getWindowId(w));
  hdr.code = code;
  Hwnd p = notifyTarget(w);
  return p ? sendMessage(p, wm::Notify, hdr.idFrom, reinterpret_cast<LParam>(&hdr)) : 0;
}

HFont controlFont(Hwnd w) {
  auto it = common().fonts.find(w.value);
  HFont f = it == common().fonts.end() ? 0 : it->second;
  return f && objectKind(f) == ObjectKind::kFont ? f : getStockObject(Stock::kDefaultGuiFont);
}

bool fontMessage(Hwnd w, uint32_t message, WParam wp, LParam lp, LResult& out) {
  if (message == wm::SetFont) {
    common().fonts[w.value] = static_cast<HFont>(wp);
    if (lp) invalidateRect(w, nullptr, true);
    out = 0;
    return true;
  }
  if (message == wm::GetFont) {
    auto it = common().fonts.find(w.value);
    out = it == common().fonts.end() ? 0 : it->second;
    return true;
  }
  return false;
}

void forgetFont(Hwnd w) { common().fonts.erase(w.value); }

LResult copyItemText(const std::string& text, char* buf) {
  std::copy(text.begin(), text.end(), buf);
  buf[text.size()] = '\0';
  return static_cast<LResult>(text.size());
}

int textWidth(HFont f, std::string_view s) {
  Size sz;
  getTextExtent(measuringDc(f), s, sz);
  return sz.cx;
}

int fontHeight(HFont f) {
  TextMetrics tm;
  getTextMetrics(measuringDc(f), tm);
  return std::max(1, tm.height);
}

ControlDc::ControlDc(Hwnd w, uint32_t message, WParam wp) : w_(w) {
  getClientRect(w, client_);
  if (message == wm::PrintClient) {
    dc_ = static_cast<Hdc>(wp);
  } else {
    painting_ = true;
    beginPaint(w, ps_);
    dc_ = ps_.hdc;
    if (!dc_) {
      // No drawing layer plugged in: paint into the window's own surface.
      dc_ = createSurfaceDc(clientSurface(w));
      own_ = true;
    }
  }
  if (dc_) oldFont_ = selectObject(dc_, controlFont(w));
}

ControlDc::~ControlDc() {
  if (dc_ && oldFont_) selectObject(dc_, oldFont_);
  if (own_) deleteDc(dc_);
  if (painting_) endPaint(w_, ps_);
}

HBrush controlColours(Hwnd w, Hdc dc, uint32_t request, SysColor text, SysColor back) {
  setTextColor(dc, sysColor(text));
  setBkColor(dc, sysColor(back));
  Hwnd p = notifyTarget(w);
  LResult b = p ? sendMessage(p, request, dc, toParam(w)) : 0;
  if (b && objectKind(static_cast<GdiObj>(b)) == ObjectKind::kBrush) return static_cast<HBrush>(b);
  setTextColor(dc, sysColor(text));
  setBkColor(dc, sysColor(back));
  return sysColorBrush(back);
}

namespace {

// Lines of a text for drawing: split at line breaks, and at blanks to fit
// `width` with word breaking.
std::vector<std::string> textLines(Hdc dc, std::string_view text, int width, bool wordBreak, bool single) {
  std::vector<std::string> lines;
  std::string cur;
  auto measure = [&](const std::string& s) {
    std::string plain;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '&' && i + 1 < s.size()) ++i;
      plain += s[i];
    }
    Size sz;
    getTextExtent(dc, plain, sz);
    return sz.cx;
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    const char ch = end ? '\n' : text[i];
    if (!single && (ch == '\n' || ch == '\r')) {
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(cur);
      cur.clear();
      continue;
    }
    if (end) {
      lines.push_back(cur);
      break;
    }
    cur += ch;
    if (wordBreak && !single && measure(cur) > width) {
      size_t cut = cur.find_last_of(' ');
      if (cut != std::string::npos && cut > 0) {
        lines.push_back(cur.substr(0, cut));
        cur = cur.substr(cut + 1);
      }
    }
  }
  return lines;
}

}  // namespace

int drawTextIn(Hdc dc, const Rect& r, std::string_view text, unsigned flags) {
  TextMetrics tm;
  getTextMetrics(dc, tm);
  const bool single = flags & kDtSingleLine;
  std::vector<std::string> lines = textLines(dc, text, r.width(), flags & kDtWordBreak, single);
  const int lineH = std::max(1, tm.height);
  const int total = lineH * static_cast<int>(lines.size());
  int y = r.top;
  if (flags & kDtVCenter) y = r.top + (r.height() - total) / 2;
  if (flags & kDtBottom) y = r.bottom - total;
  Rect saveClip;
  const int hadClip = getClipBox(dc, saveClip);
  (void)hadClip;
  const ColorRef colour = getTextColor(dc);
  const int oldMode = setBkMode(dc, kTransparent);
  for (const std::string& line : lines) {
    const bool prefix = !(flags & kDtNoPrefix);
    int w = prefix ? look::mnemonicTextWidth(dc, line) : 0;
    if (!prefix) {
      Size sz;
      getTextExtent(dc, line, sz);
      w = sz.cx;
    }
    int x = r.left;
    if (flags & kDtCenter) x = r.left + (r.width() - w) / 2;
    if (flags & kDtRight) x = r.right - w;
    if (prefix) {
      look::drawMnemonicText(dc, x, y, line, colour);
    } else {
      const unsigned oldAlign = setTextAlign(dc, kTaLeft | kTaTop);
      extTextOut(dc, x, y, kEtoClipped, &r, line);
      setTextAlign(dc, oldAlign);
    }
    y += lineH;
  }
  setBkMode(dc, oldMode);
  return total;
}

void fillSolid(Hdc dc, const Rect& r, ColorRef c) {
  HBrush b = createSolidBrush(c);
  fillRect(dc, r, b);
  deleteObject(b);
}

void lineSolid(Hdc dc, int x0, int y0, int x1, int y1, ColorRef c) {
  HPen p = createPen(kPenSolid, 1, c);
  GdiObj old = selectObject(dc, p);
  moveTo(dc, x0, y0);
  lineTo(dc, x1, y1);
  selectObject(dc, old);
  deleteObject(p);
}

void drawFocusRect(Hdc dc, const Rect& r) {
  if (r.empty()) return;
  auto dot = [&](int x, int y) {
    ColorRef c = getPixel(dc, x, y);
    if (c != kInvalidColor) setPixel(dc, x, y, c ^ 0x00FFFFFFu);
  };
  for (int x = r.left; x < r.right; x += 2) {
    dot(x, r.top);
    if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 2; y < r.bottom - 1; y += 2) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
}

void drawImage(Hdc dc, const Surface& img, int x, int y) {
  if (img.width <= 0 || img.height <= 0) return;
  HBitmap b = createBitmap(img.width, img.height, 32);
  if (Surface* s = bitmapSurface(b)) *s = img;
  Hdc mem = createCompatibleDc(dc);
  GdiObj old = selectObject(mem, b);
  bitBlt(dc, x, y, img.width, img.height, mem, 0, 0, kSrcCopy);
  selectObject(mem, old);
  deleteDc(mem);
  deleteObject(b);
}

void drawArrow(Hdc dc, const Rect& r, ArrowDir dir, bool enabled) {
  const ColorRef c = sysColor(enabled ? SysColor::kBtnText : SysColor::kGrayText);
  const int cx = r.left + r.width() / 2, cy = r.top + r.height() / 2;
  const int n = std::max(1, std::min(r.width(), r.height()) / 4);
  for (int i = 0; i < n; ++i) {
    switch (dir) {
      case ArrowDir::Up: lineSolid(dc, cx - i, cy - n / 2 + i, cx + i + 1, cy - n / 2 + i, c); break;
      case ArrowDir::Down: lineSolid(dc, cx - i, cy + n / 2 - i, cx + i + 1, cy + n / 2 - i, c); break;
      case ArrowDir::Left: lineSolid(dc, cx - n / 2 + i, cy - i, cx - n / 2 + i, cy + i + 1, c); break;
      case ArrowDir::Right: lineSolid(dc, cx + n / 2 - i, cy - i, cx + n / 2 - i, cy + i + 1, c); break;
    }
  }
}

void drawButtonBox(Hdc dc, const Rect& r, bool pressed) {
  look::fill(dc, r, SysColor::kBtnFace);
  look::drawEdge(dc, r, pressed ? look::Edge::kSunkenThin : look::Edge::kRaised);
}

bool isDisabled(Hwnd w) { return !isWindowEnabled(w); }

}  // namespace plat::detail
