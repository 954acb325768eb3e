#include "toolkit/graphics/WindowText.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/gdi/Gdi.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

struct WindowTextFontRecord {
  plat::HFont current = 0;  // the font output draws with (stock or made here)
  plat::HFont own = 0;      // the font made here, deleted when the next is made
  int32_t underline = 0;
  int32_t fontsMade = 0;
};
WindowTextFontRecord gFont;

// The context window text is drawn into: the current window's client area,
// or the current drawing surface when no window has one.
plat::Hdc TextDc() {
  const WindowDrawingRecord& w = WindowDrawing();
  if (w.CurrentWindow >= 0 && w.CurrentWindow <= kMaxWindows) {
    if (const plat::Hdc dc = w.Dc[static_cast<size_t>(w.CurrentWindow)]) return dc;
  }
  return DrawingSurface().Dc;
}

plat::ColorRef TableColour(int32_t index) {
  const auto& table = WindowManagerState().ColourTable;
  return table[static_cast<size_t>(std::clamp(index, 0, kWindowColours - 1))];
}

// Number of characters that output writes: length - 1, within the text.
size_t OutputCount(std::string_view text, int32_t length) {
  if (length <= 1) return 0;
  return std::min(static_cast<size_t>(length - 1), text.size());
}

}  // namespace

WindowTextStateRecord& WindowTextState() {
  static WindowTextStateRecord state;
  return state;
}

std::array<int32_t, 5>& WindowTextFontMemory() {
  static std::array<int32_t, 5> memory{-1, -1, -1, -1, -1};
  return memory;
}

int32_t WindowTextFontsMade() { return gFont.fontsMade; }

void YYWindowTextToPixels() {
  WindowTextStateRecord& t = WindowTextState();
  YYUnitsToPixels(t.CellWidthUnits, t.CellHeightUnits, t.CellWidth, t.CellHeight);
  YYUnitsToPixels(t.PositionXUnits, t.PositionYUnits, t.PositionX, t.PositionY);
}

void YYWindowTextFontRefresh() {
  WindowTextStateRecord& t = WindowTextState();
  std::array<int32_t, 5>& m = WindowTextFontMemory();
  if (t.CellHeight == m[0] && t.CellWidth == m[1] && t.Italic == m[2] && t.Bold == m[3] && t.Font == m[4]) return;
  YYWindowTextFont(t.Font, t.Bold, t.Italic, t.CellWidth, t.CellHeight);
  m = {t.CellHeight, t.CellWidth, t.Italic, t.Bold, t.Font};
}

void YYWindowTextColour(int32_t foreground, int32_t background) {
  WindowTextStateRecord& t = WindowTextState();
  if (foreground >= 0 && foreground <= 16) t.Foreground = foreground;
  if (background >= 0 && background <= 15) t.Background = background;
  if (background == 16) t.Background = 17;
  YYWindowTextColours(t.Foreground, t.Background);
}

void YYWindowTextFlag(int32_t flag) {
  WindowTextState().Flag = flag != 0 ? 1 : 0;
  YYWindowTextUnderline(WindowTextState().Flag);
}

void YYWindowTextFont(int32_t kind, int32_t bold, int32_t italic, int32_t& width, int32_t& height) {
  if (gFont.own) plat::deleteObject(gFont.own);
  gFont.own = 0;
  if (kind == 1) {
    gFont.current = plat::getStockObject(plat::Stock::kSystemFixedFont);
  } else if (kind == -99) {
    gFont.current = plat::getStockObject(plat::Stock::kDefaultGuiFont);
  } else if (kind >= 2 && kind <= 6) {
    static constexpr const char* kFaces[5] = {"Times New Roman", "Arial", "Courier New", "Symbol", "Wingdings"};
    static constexpr int kFamilies[5] = {plat::kFamilyRoman, plat::kFamilySwiss, plat::kFamilyModern,
                                         plat::kFamilyDontCare, plat::kFamilyDontCare};
    plat::LogFont lf;
    lf.height = height;
    lf.width = width;
    lf.weight = bold != 0 ? 700 : 400;
    lf.italic = italic != 0;
    lf.charSet = plat::kDefaultCharSet;
    lf.pitchAndFamily = kFamilies[kind - 2] | plat::kVariablePitch;
    lf.faceName = kFaces[kind - 2];
    gFont.current = gFont.own = plat::createFont(lf);
  } else {
    gFont.current = plat::getStockObject(plat::Stock::kSystemFont);
  }
  ++gFont.fontsMade;
  // The metrics come from a context the font is selected into for a moment.
  plat::Hdc dc = TextDc();
  const bool own = dc == 0;
  if (own) dc = plat::createCompatibleDc(0);
  const plat::GdiObj old = plat::selectObject(dc, gFont.current);
  plat::TextMetrics tm;
  if (old && plat::getTextMetrics(dc, tm)) {
    height = tm.height;
    width = tm.aveCharWidth;
  }
  if (old) plat::selectObject(dc, old);
  if (own) plat::deleteDc(dc);
}

void YYWindowTextColours(int32_t foreground, int32_t background) {
  WindowManagerState().TextForeground = foreground;
  WindowManagerState().TextBackground = background;
}

void YYWindowTextPaletteEntry(int32_t index, int32_t red, int32_t green, int32_t blue) {
  if (index < 0 || index >= kWindowColours) return;
  WindowManagerStateRecord& m = WindowManagerState();
  const int32_t colour = red + 256 * green + 65536 * blue;
  if (m.Palette != 0) YYGdiPaletteEntry(m.PaletteSize + index, colour, 0);
  m.ColourTable[static_cast<size_t>(index)] = static_cast<uint32_t>(colour);
}

void YYWindowTextUnderline(int32_t flag) { gFont.underline = flag; }

void YYWindowTextOut(int32_t& x, int32_t& y, std::string_view text, int32_t length) {
  const size_t n = OutputCount(text, length);
  const plat::Hdc dc = TextDc();
  if (n == 0 || dc == 0) return;
  const WindowManagerStateRecord& m = WindowManagerState();
  plat::ColorRef fg = TableColour(m.TextForeground);
  plat::ColorRef bg = TableColour(m.TextBackground);
  if (m.Palette != 0) {
    fg = plat::getNearestColor(dc, fg);
    bg = plat::getNearestColor(dc, bg);
  }
  const plat::GdiObj oldFont = gFont.current ? plat::selectObject(dc, gFont.current) : 0;
  const int oldMode = plat::setBkMode(dc, plat::kOpaque);
  const unsigned oldAlign = plat::setTextAlign(dc, plat::kTaBaseline | plat::kTaLeft | plat::kTaUpdateCp);
  const plat::ColorRef oldText = plat::setTextColor(dc, fg);
  const plat::ColorRef oldBk = plat::setBkColor(dc, bg);
  const plat::Point oldPos = plat::moveTo(dc, x, y);
  plat::textOut(dc, x, y, text.substr(0, n));
  const plat::Point end = plat::currentPosition(dc);
  if (gFont.underline) {
    const plat::HPen pen = plat::createPen(plat::kPenSolid, 1, fg);
    const plat::GdiObj oldPen = plat::selectObject(dc, pen);
    plat::moveTo(dc, x, y + 2);
    plat::lineTo(dc, end.x, end.y + 2);
    plat::selectObject(dc, oldPen);
    plat::deleteObject(pen);
  }
  plat::moveTo(dc, oldPos.x, oldPos.y);
  x = end.x;
  y = end.y;
  plat::setBkColor(dc, oldBk);
  plat::setTextColor(dc, oldText);
  plat::setTextAlign(dc, oldAlign);
  plat::setBkMode(dc, oldMode);
  if (oldFont) plat::selectObject(dc, oldFont);
}

void YYWindowTextWidth(int32_t& width, std::string_view text, int32_t length) {
  width = 0;
  const size_t n = OutputCount(text, length);
  plat::Hdc dc = TextDc();
  const bool own = dc == 0;
  if (own) dc = plat::createCompatibleDc(0);
  const plat::GdiObj old = gFont.current ? plat::selectObject(dc, gFont.current) : 0;
  plat::Size ext;
  if (n > 0 && plat::getTextExtent(dc, text.substr(0, n), ext)) width = ext.cx;
  if (old) plat::selectObject(dc, old);
  if (own) plat::deleteDc(dc);
}

// ---------------------------------------------------------------- small text routines

int32_t YYByteValue(std::string_view text) {
  return text.empty() ? 0 : static_cast<int32_t>(static_cast<unsigned char>(text[0]));
}

int32_t YYOptionLetter(std::string_view options, std::string_view letter) {
  if (letter.empty()) return 0;
  const char c = letter[0];
  if (options.find(c) != std::string_view::npos) return -1;
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return options.find(lower) != std::string_view::npos ? -1 : 0;
}

void YYLowerCase(char* text, int32_t length) {
  for (int32_t i = 0; i < length; ++i)
    if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
}

int32_t YYFirstNonBlank(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != ' ' && text[i] != '\0') return static_cast<int32_t>(i + 1);
  return 0;
}

int32_t YYIndexNoCase(std::string_view text, std::string_view pattern, bool backward) {
  if (pattern.empty()) return backward ? static_cast<int32_t>(text.size()) + 1 : 1;
  if (pattern.size() > text.size()) return 0;
  auto upper = [](std::string_view s) {
    std::string u(s);
    for (char& c : u)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
  };
  const std::string t = upper(text), p = upper(pattern);
  const size_t at = backward ? t.rfind(p) : t.find(p);
  return at == std::string::npos ? 0 : static_cast<int32_t>(at + 1);
}
