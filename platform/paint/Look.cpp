#include "platform/paint/Look.h"

#include <cctype>
#include <algorithm>

#include "platform/gdi/GdiInternal.h"

namespace plat::look {
namespace {

HFont ownedFont(HFont& slot, int weight) {
  if (objectKind(slot) != ObjectKind::kFont) {
    LogFont lf;
    lf.height = -11;  // 8 points at 96 dots per inch
    lf.weight = weight;
    lf.faceName = "MS Shell Dlg";
    slot = createFont(lf);
    // kept for the whole run, like the stock fonts
    if (detail::ObjRec* r = detail::object(slot)) r->stock = true;
  }
  return slot;
}

// Restores what a routine selected into the caller's context.
struct SavedDc {
  Hdc dc;
  HFont font;
  int bkMode;
  ColorRef textColor;
  unsigned align;
  explicit SavedDc(Hdc d)
      : dc(d),
        font(selectObject(d, menuFont())),
        bkMode(setBkMode(d, kTransparent)),
        textColor(getTextColor(d)),
        align(setTextAlign(d, kTaLeft | kTaTop)) {}
  ~SavedDc() {
    if (font) selectObject(dc, font);
    setBkMode(dc, bkMode);
    setTextColor(dc, textColor);
    setTextAlign(dc, align);
  }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;
};

void hline(Hdc dc, int x0, int x1, int y, SysColor c) { fill(dc, Rect{x0, y, x1, y + 1}, c); }
void vline(Hdc dc, int x, int y0, int y1, SysColor c) { fill(dc, Rect{x, y0, x + 1, y1}, c); }

// One ring of an edge: top and left in `light`, bottom and right in `dark`.
void ring(Hdc dc, const Rect& r, SysColor light, SysColor dark) {
  if (r.empty()) return;
  hline(dc, r.left, r.right - 1, r.top, light);
  vline(dc, r.left, r.top, r.bottom - 1, light);
  hline(dc, r.left, r.right, r.bottom - 1, dark);
  vline(dc, r.right - 1, r.top, r.bottom, dark);
}

void pixel(Hdc dc, int x, int y, SysColor c) { setPixel(dc, x, y, sysColor(c)); }

// Drawn shapes of the caption boxes, centred on (cx, cy).
void boxGlyph(Hdc dc, CaptionBox kind, int cx, int cy, SysColor c) {
  switch (kind) {
    case CaptionBox::kClose:
      for (int i = 0; i < 7; ++i) {
        pixel(dc, cx - 4 + i, cy - 3 + i, c);
        pixel(dc, cx - 3 + i, cy - 3 + i, c);
        pixel(dc, cx + 2 - i, cy - 3 + i, c);
        pixel(dc, cx + 3 - i, cy - 3 + i, c);
      }
      break;
    case CaptionBox::kMinimise:
      fill(dc, Rect{cx - 4, cy + 2, cx + 2, cy + 4}, c);
      break;
    case CaptionBox::kMaximise:
      fill(dc, Rect{cx - 5, cy - 5, cx + 4, cy - 3}, c);
      ring(dc, Rect{cx - 5, cy - 5, cx + 4, cy + 4}, c, c);
      break;
    case CaptionBox::kRestore:
      fill(dc, Rect{cx - 3, cy - 5, cx + 3, cy - 4}, c);
      ring(dc, Rect{cx - 3, cy - 5, cx + 3, cy + 1}, c, c);
      fill(dc, Rect{cx - 5, cy - 2, cx + 1, cy - 1}, c);
      fill(dc, Rect{cx - 5, cy - 2, cx + 1, cy + 4}, SysColor::kBtnFace);
      ring(dc, Rect{cx - 5, cy - 2, cx + 1, cy + 4}, c, c);
      fill(dc, Rect{cx - 5, cy - 2, cx + 1, cy - 1}, c);
      break;
    case CaptionBox::kSystem:
      break;
  }
}

void systemIcon(Hdc dc, const Rect& r) {
  // a small window picture: white page, title strip, frame
  const int s = std::min(r.width(), r.height()) - 2;
  if (s < 6) return;
  const Rect page{r.left + (r.width() - s) / 2, r.top + (r.height() - s) / 2, 0, 0};
  const Rect box{page.left, page.top, page.left + s, page.top + s};
  fill(dc, box, SysColor::kWindow);
  fill(dc, Rect{box.left, box.top, box.right, box.top + 3}, SysColor::kHighlight);
  ring(dc, box, SysColor::kWindowFrame, SysColor::kWindowFrame);
}

// An icon made small for the caption: each pixel the average of the icon
// pixels it covers, so that thin lines stay visible.
void captionIcon(Hdc dc, const Rect& r, const Surface& img) {
  const int s = std::min(r.width(), r.height());
  if (s <= 0 || img.width <= 0 || img.height <= 0) return;
  const int x0 = r.left + (r.width() - s) / 2, y0 = r.top + (r.height() - s) / 2;
  for (int j = 0; j < s; ++j) {
    const int sy0 = j * img.height / s, sy1 = std::max(sy0 + 1, (j + 1) * img.height / s);
    for (int i = 0; i < s; ++i) {
      const int sx0 = i * img.width / s, sx1 = std::max(sx0 + 1, (i + 1) * img.width / s);
      int red = 0, green = 0, blue = 0, n = 0;
      for (int y = sy0; y < sy1; ++y)
        for (int x = sx0; x < sx1; ++x, ++n) {
          const uint32_t p = img.at(x, y);
          red += (p >> 16) & 0xFF;
          green += (p >> 8) & 0xFF;
          blue += p & 0xFF;
        }
      setPixel(dc, x0 + i, y0 + j, makeRgb(red / n, green / n, blue / n));
    }
  }
}

void checkGlyph(Hdc dc, int x, int y, ColorRef c) {
  // a 7 x 7 tick, 3 pixels thick
  const int ys[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) {
    for (int k = 0; k < 3; ++k) setPixel(dc, x + i, y + ys[i] + k, c);
  }
}

void arrowGlyph(Hdc dc, int x, int cy, ColorRef c) {
  for (int i = 0; i < 4; ++i) {
    for (int k = -3 + i; k <= 3 - i; ++k) setPixel(dc, x + i, cy + k, c);
  }
}

std::pair<std::string_view, std::string_view> splitTab(std::string_view text) {
  const size_t tab = text.find('\t');
  if (tab == std::string_view::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

HFont gMenuFont = 0;
HFont gCaptionFont = 0;

}  // namespace

HFont menuFont() { return ownedFont(gMenuFont, 400); }
HFont captionFont() { return ownedFont(gCaptionFont, 700); }

void fill(Hdc dc, const Rect& r, SysColor colour) {
  if (!r.empty()) fillRect(dc, r, sysColorBrush(colour));
}

void drawEdge(Hdc dc, const Rect& r, Edge edge) {
  switch (edge) {
    case Edge::kRaised:
      ring(dc, r, SysColor::k3dLight, SysColor::k3dDkShadow);
      ring(dc, r.inflate(-1, -1), SysColor::kBtnHighlight, SysColor::kBtnShadow);
      break;
    case Edge::kSunken:
      ring(dc, r, SysColor::kBtnShadow, SysColor::kBtnHighlight);
      ring(dc, r.inflate(-1, -1), SysColor::k3dDkShadow, SysColor::k3dLight);
      break;
    case Edge::kRaisedThin:
      ring(dc, r, SysColor::kBtnHighlight, SysColor::kBtnShadow);
      break;
    case Edge::kSunkenThin:
      ring(dc, r, SysColor::kBtnShadow, SysColor::kBtnHighlight);
      break;
    case Edge::kEtched:
      ring(dc, r, SysColor::kBtnShadow, SysColor::kBtnHighlight);
      ring(dc, r.inflate(-1, -1), SysColor::kBtnHighlight, SysColor::kBtnShadow);
      break;
  }
}

int mnemonicOf(std::string_view text) {
  for (size_t k = 0; k + 1 < text.size(); ++k) {
    if (text[k] != '&') continue;
    if (text[k + 1] == '&') {
      ++k;
      continue;
    }
    return std::tolower(static_cast<unsigned char>(text[k + 1]));
  }
  return 0;
}

int mnemonicTextWidth(Hdc dc, std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  Size s;
  getTextExtent(dc, plain, s);
  return s.cx;
}

void drawMnemonicText(Hdc dc, int x, int y, std::string_view text, ColorRef colour) {
  const ColorRef oldColour = setTextColor(dc, colour);
  const int oldMode = setBkMode(dc, kTransparent);
  const unsigned oldAlign = setTextAlign(dc, kTaLeft | kTaTop);
  TextMetrics tm;
  getTextMetrics(dc, tm);
  std::string run;
  int penX = x;
  auto flush = [&] {
    if (run.empty()) return;
    textOut(dc, penX, y, run);
    Size s;
    getTextExtent(dc, run, s);
    penX += s.cx;
    run.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&') {
        flush();
        run = std::string(1, text[i]);
        Size s;
        getTextExtent(dc, run, s);
        // the underline of the marked letter, one pixel under the baseline
        HBrush b = createSolidBrush(colour);
        fillRect(dc, Rect{penX, y + tm.ascent + 1, penX + s.cx, y + tm.ascent + 2}, b);
        deleteObject(b);
        flush();
        continue;
      }
    }
    run += text[i];
  }
  flush();
  setTextColor(dc, oldColour);
  setBkMode(dc, oldMode);
  setTextAlign(dc, oldAlign);
}

int menuTextWidth(std::string_view text) {
  Hdc dc = createCompatibleDc(0);
  const HFont old = selectObject(dc, menuFont());
  const int w = mnemonicTextWidth(dc, text);
  selectObject(dc, old);
  deleteDc(dc);
  return w;
}

// ------------------------------------------------------------------ frames

void paintFrame(Hdc dc, const FrameLook& f) {
  SavedDc saved(dc);
  // everything outside the client area is frame
  const Rect& o = f.outer;
  const Rect c = f.client.empty() ? Rect{o.left, o.bottom, o.left, o.bottom} : f.client;
  fill(dc, Rect{o.left, o.top, o.right, c.top}, SysColor::kActiveBorder);
  fill(dc, Rect{o.left, c.bottom, o.right, o.bottom}, SysColor::kActiveBorder);
  fill(dc, Rect{o.left, c.top, c.left, c.bottom}, SysColor::kActiveBorder);
  fill(dc, Rect{c.right, c.top, o.right, c.bottom}, SysColor::kActiveBorder);
  if (f.borderWidth > 0) {
    if (f.raisedBorder && f.borderWidth >= 2) {
      drawEdge(dc, o, Edge::kRaised);
    } else {
      ring(dc, o, SysColor::kWindowFrame, SysColor::kWindowFrame);
    }
  }
  if (f.clientEdge && !f.client.empty()) drawEdge(dc, f.client.inflate(2, 2), Edge::kSunken);
  if (f.caption.empty()) return;

  fill(dc, f.caption, f.active ? SysColor::kActiveCaption : SysColor::kInactiveCaption);
  int textLeft = f.caption.left + 2;
  int textRight = f.caption.right - 2;
  for (const CaptionButton& b : f.buttons) {
    if (b.kind == CaptionBox::kSystem) {
      textLeft = std::max(textLeft, b.rect.right + 2);
    } else {
      textRight = std::min(textRight, b.rect.left - 2);
    }
  }
  selectObject(dc, captionFont());
  TextMetrics tm;
  getTextMetrics(dc, tm);
  setTextColor(dc, sysColor(f.active ? SysColor::kCaptionText : SysColor::kInactiveCaptionText));
  const Rect clip{textLeft, f.caption.top, std::max(textLeft, textRight), f.caption.bottom};
  extTextOut(dc, textLeft, f.caption.top + (f.caption.height() - tm.height) / 2, kEtoClipped, &clip, f.title);

  for (const CaptionButton& b : f.buttons) {
    if (b.kind == CaptionBox::kSystem) {
      if (f.icon) captionIcon(dc, b.rect, *f.icon);
      else systemIcon(dc, b.rect);
      continue;
    }
    fill(dc, b.rect, SysColor::kBtnFace);
    drawEdge(dc, b.rect, b.pressed ? Edge::kSunken : Edge::kRaised);
    const int shift = b.pressed ? 1 : 0;
    const int cx = b.rect.left + b.rect.width() / 2 + shift;
    const int cy = b.rect.top + b.rect.height() / 2 + shift;
    if (b.disabled) {
      boxGlyph(dc, b.kind, cx + 1, cy + 1, SysColor::kBtnHighlight);
      boxGlyph(dc, b.kind, cx, cy, SysColor::kGrayText);
    } else {
      boxGlyph(dc, b.kind, cx, cy, SysColor::kBtnText);
    }
  }
}

// ------------------------------------------------------------------ menus

namespace {

void menuText(Hdc dc, int x, int y, std::string_view text, bool grayed, bool highlighted) {
  if (grayed && !highlighted) {
    drawMnemonicText(dc, x + 1, y + 1, text, sysColor(SysColor::kBtnHighlight));
    drawMnemonicText(dc, x, y, text, sysColor(SysColor::kGrayText));
  } else if (grayed) {
    drawMnemonicText(dc, x, y, text, sysColor(SysColor::kGrayText));
  } else {
    drawMnemonicText(dc, x, y, text, sysColor(highlighted ? SysColor::kHighlightText : SysColor::kMenuText));
  }
}

constexpr int kCheckColumn = 18;
constexpr int kArrowColumn = 18;

}  // namespace

void paintMenuBar(Hdc dc, const Rect& bar, const std::vector<MenuItemLook>& items) {
  SavedDc saved(dc);
  fill(dc, bar, SysColor::kMenu);
  TextMetrics tm;
  getTextMetrics(dc, tm);
  for (const MenuItemLook& it : items) {
    if (it.separator || it.rect.empty()) continue;
    if (it.highlighted) fill(dc, it.rect, SysColor::kHighlight);
    const int w = mnemonicTextWidth(dc, it.text);
    menuText(dc, it.rect.left + (it.rect.width() - w) / 2, it.rect.top + (it.rect.height() - tm.height) / 2,
             it.text, it.grayed, it.highlighted);
  }
}

void paintPopupMenu(Hdc dc, const Rect& client, const std::vector<MenuItemLook>& items) {
  SavedDc saved(dc);
  fill(dc, client, SysColor::kMenu);
  TextMetrics tm;
  getTextMetrics(dc, tm);
  for (const MenuItemLook& it : items) {
    const Rect& r = it.rect;
    if (r.empty()) continue;
    if (it.separator) {
      const int y = r.top + r.height() / 2 - 1;
      hline(dc, r.left + 1, r.right - 1, y, SysColor::kBtnShadow);
      hline(dc, r.left + 1, r.right - 1, y + 1, SysColor::kBtnHighlight);
      continue;
    }
    if (it.highlighted) fill(dc, r, SysColor::kHighlight);
    const ColorRef ink = sysColor(it.grayed ? SysColor::kGrayText
                                  : it.highlighted ? SysColor::kHighlightText
                                                   : SysColor::kMenuText);
    const int ty = r.top + (r.height() - tm.height) / 2;
    if (it.checked) checkGlyph(dc, r.left + 5, r.top + (r.height() - 7) / 2, ink);
    const auto [main, shortcut] = splitTab(it.text);
    const HFont plain = it.isDefault ? selectObject(dc, captionFont()) : 0;
    menuText(dc, r.left + kCheckColumn, ty, main, it.grayed, it.highlighted);
    if (!shortcut.empty()) {
      const int w = mnemonicTextWidth(dc, shortcut);
      menuText(dc, r.right - kArrowColumn - w, ty, shortcut, it.grayed, it.highlighted);
    }
    if (plain) selectObject(dc, plain);
    if (it.popup) arrowGlyph(dc, r.right - 12, r.top + r.height() / 2, ink);
  }
}

// ------------------------------------------------------------------- bars

void paintStatusBar(Hdc dc, const Rect& client, const std::vector<StatusPartLook>& parts, bool sizeGrip) {
  SavedDc saved(dc);
  fill(dc, client, SysColor::kBtnFace);
  TextMetrics tm;
  getTextMetrics(dc, tm);
  setTextColor(dc, sysColor(SysColor::kBtnText));
  for (const StatusPartLook& p : parts) {
    const Rect& r = p.rect;
    if (r.empty()) continue;
    if (p.border == StatusPartLook::Border::kSunken) drawEdge(dc, r, Edge::kSunkenThin);
    if (p.border == StatusPartLook::Border::kRaised) drawEdge(dc, r, Edge::kRaisedThin);
    const Rect inner = r.inflate(-2, -1);
    const int y = r.top + (r.height() - tm.height) / 2;
    // up to three pieces: left, centred, right
    std::string_view rest = p.text;
    std::string_view pieces[3];
    for (int k = 0; k < 3; ++k) {
      const size_t tab = k < 2 ? rest.find('\t') : std::string_view::npos;
      pieces[k] = rest.substr(0, tab);
      if (tab == std::string_view::npos) break;
      rest = rest.substr(tab + 1);
    }
    for (int k = 0; k < 3; ++k) {
      if (pieces[k].empty()) continue;
      Size s;
      getTextExtent(dc, pieces[k], s);
      const int x = k == 0 ? inner.left + 2 : k == 1 ? inner.left + (inner.width() - s.cx) / 2 : inner.right - 2 - s.cx;
      extTextOut(dc, x, y, kEtoClipped, &inner, pieces[k]);
    }
  }
  if (sizeGrip) {
    // three diagonal ridges in the bottom-right corner
    const int x1 = client.right - 1;
    const int y1 = client.bottom - 1;
    for (int k = 0; k < 3; ++k) {
      const int d = 3 + 4 * k;
      for (int i = 0; i <= d; ++i) {
        pixel(dc, x1 - d + i, y1 - i, SysColor::kBtnHighlight);
        pixel(dc, x1 - d + i + 1, y1 - i, SysColor::kBtnShadow);
        pixel(dc, x1 - d + i + 2, y1 - i, SysColor::kBtnShadow);
      }
    }
  }
}

namespace {

bool isBackground(uint32_t p) { return (p & 0xFFFFFF) == pixelFromColor(sysColor(SysColor::kBtnFace)); }

void drawImage(Hdc dc, const Surface& img, int x, int y, bool enabled) {
  for (int j = 0; j < img.height; ++j) {
    for (int i = 0; i < img.width; ++i) {
      const uint32_t p = img.at(i, j) & 0xFFFFFF;
      if (isBackground(p)) continue;
      if (enabled) {
        setPixel(dc, x + i, y + j, colorFromPixel(p));
        continue;
      }
      // disabled: dark pixels become an engraved shape, light ones vanish
      const int lum = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
      if (lum >= 192) continue;
      setPixel(dc, x + i + 1, y + j + 1, sysColor(SysColor::kBtnHighlight));
    }
  }
  if (enabled) return;
  for (int j = 0; j < img.height; ++j) {
    for (int i = 0; i < img.width; ++i) {
      const uint32_t p = img.at(i, j) & 0xFFFFFF;
      const int lum = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
      if (!isBackground(p) && lum < 192) pixel(dc, x + i, y + j, SysColor::kBtnShadow);
    }
  }
}

}  // namespace

void paintToolbar(Hdc dc, const Rect& client, const std::vector<ToolButtonLook>& buttons) {
  fill(dc, client, SysColor::kBtnFace);
  // an etched line along the top separates the bar from the menu
  hline(dc, client.left, client.right, client.top, SysColor::kBtnShadow);
  hline(dc, client.left, client.right, client.top + 1, SysColor::kBtnHighlight);
  for (const ToolButtonLook& b : buttons) {
    const Rect& r = b.rect;
    if (r.empty() || b.separator) continue;
    const bool down = b.pressed || b.checked;
    if (b.checked && !b.pressed) {
      // the checked face is a dither of highlight and face colours
      for (int y = r.top + 2; y < r.bottom - 2; ++y) {
        for (int x = r.left + 2; x < r.right - 2; ++x) {
          if ((x + y) % 2 == 0) pixel(dc, x, y, SysColor::kBtnHighlight);
        }
      }
    }
    drawEdge(dc, r, down ? Edge::kSunken : Edge::kRaised);
    if (b.image) {
      const int shift = down ? 1 : 0;
      const int x = r.left + (r.width() - b.image->width) / 2 + shift;
      const int y = r.top + (r.height() - b.image->height) / 2 + shift;
      drawImage(dc, *b.image, x, y, b.enabled && !b.indeterminate);
    }
  }
}

void paintTooltip(Hdc dc, const Rect& client, std::string_view text) {
  SavedDc saved(dc);
  fill(dc, client, SysColor::kInfoBk);
  ring(dc, client, SysColor::kInfoText, SysColor::kInfoText);
  TextMetrics tm;
  getTextMetrics(dc, tm);
  setTextColor(dc, sysColor(SysColor::kInfoText));
  const Rect inner = client.inflate(-1, -1);
  extTextOut(dc, client.left + 3, client.top + (client.height() - tm.height) / 2, kEtoClipped, &inner, text);
}

namespace {

// A small solid triangle pointing `dir` (0 up, 1 down, 2 left, 3 right).
void triangle(Hdc dc, int cx, int cy, int dir, SysColor c) {
  for (int i = 0; i < 4; ++i) {
    for (int k = -i; k <= i; ++k) {
      const int along = dir == 0 || dir == 2 ? i - 2 : 1 - i;
      if (dir < 2) pixel(dc, cx + k, cy + along, c);
      else pixel(dc, cx + along, cy + k, c);
    }
  }
}

}  // namespace

ScrollParts scrollBarParts(const Rect& r, const ScrollLook& s) {
  ScrollParts p;
  if (r.empty()) return p;
  const int thick = s.vertical ? r.width() : r.height();
  const int length = s.vertical ? r.height() : r.width();
  const int button = std::min(thick, length / 2);
  p.first = s.vertical ? Rect{r.left, r.top, r.right, r.top + button} : Rect{r.left, r.top, r.left + button, r.bottom};
  p.second = s.vertical ? Rect{r.left, r.bottom - button, r.right, r.bottom}
                        : Rect{r.right - button, r.top, r.right, r.bottom};
  p.track = s.vertical ? Rect{r.left, p.first.bottom, r.right, p.second.top}
                       : Rect{p.first.right, r.top, p.second.left, r.bottom};
  const long long range = static_cast<long long>(s.max) - s.min + 1;
  const bool active = s.enabled && range > 0 && s.page < range;
  const int trackLen = s.vertical ? p.track.height() : p.track.width();
  if (!active || trackLen < 8) return p;
  // The thumb is to the track what the page is to the range.
  const long long page = std::max(1, s.page);
  int thumb = static_cast<int>(page * trackLen / range);
  thumb = std::clamp(thumb, 8, trackLen);
  const long long span = range - page;
  const long long pos = std::clamp<long long>(static_cast<long long>(s.pos) - s.min, 0, std::max(0LL, span));
  const int offset = span > 0 ? static_cast<int>(pos * (trackLen - thumb) / span) : 0;
  p.thumb = s.vertical ? Rect{p.track.left, p.track.top + offset, p.track.right, p.track.top + offset + thumb}
                       : Rect{p.track.left + offset, p.track.top, p.track.left + offset + thumb, p.track.bottom};
  return p;
}

void paintScrollBar(Hdc dc, const Rect& r, const ScrollLook& s) {
  if (r.empty()) return;
  const ScrollParts p = scrollBarParts(r, s);
  // the track is a dither of highlight and face colours; the part held
  // down is darker
  fill(dc, p.track, SysColor::kBtnFace);
  for (int y = p.track.top; y < p.track.bottom; ++y) {
    for (int x = p.track.left; x < p.track.right; ++x) {
      if ((x + y) % 2 == 0) pixel(dc, x, y, SysColor::kBtnHighlight);
    }
  }
  if ((s.pressed == 2 || s.pressed == 3) && !p.thumb.empty()) {
    Rect held = p.track;
    if (s.vertical) (s.pressed == 2 ? held.bottom : held.top) = s.pressed == 2 ? p.thumb.top : p.thumb.bottom;
    else (s.pressed == 2 ? held.right : held.left) = s.pressed == 2 ? p.thumb.left : p.thumb.right;
    fill(dc, held, SysColor::kBtnShadow);
  }
  const long long range = static_cast<long long>(s.max) - s.min + 1;
  const bool active = s.enabled && range > 0 && s.page < range;
  const SysColor arrow = active ? SysColor::kBtnText : SysColor::kGrayText;
  for (int k = 0; k < 2; ++k) {
    const Rect& b = k == 0 ? p.first : p.second;
    const bool down = s.pressed == k && active;
    fill(dc, b, SysColor::kBtnFace);
    drawEdge(dc, b, down ? Edge::kSunkenThin : Edge::kRaised);
    const int dir = s.vertical ? k : 2 + k;
    triangle(dc, b.left + b.width() / 2 + (down ? 1 : 0), b.top + b.height() / 2 + (down ? 1 : 0), dir, arrow);
  }
  if (p.thumb.empty()) return;
  fill(dc, p.thumb, SysColor::kBtnFace);
  drawEdge(dc, p.thumb, Edge::kRaised);
}

}  // namespace plat::look
