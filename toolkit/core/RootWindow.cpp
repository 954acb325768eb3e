#include "toolkit/core/RootWindow.h"

#include "platform/ctl/Controls.h"
#include "platform/os/Modules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "VOZUVar/NumericHelpers.h"
#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/clip/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Mail.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/OsLayerCore.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/core/Words.h"
#include "toolkit/core/WindowHooks.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MemoryBitmaps.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/WindowText.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

WindowTablesRecord gTables;
WindowManagerStateRecord gWindowManager;
// The records attached to frames, by frame handle.
std::map<uint32_t, std::unique_ptr<std::vector<int32_t>>> gRecords;

constexpr const char* kFatalCaption = "Plovane Window";
constexpr const char* kRegisterFailed = "Failed to register class - aborting.";
constexpr const char* kCreateFailed = "Failed to create window - aborting.";
// A window system that cannot make the main window ends the program with a
// failure status (it never looks like success to whoever started it).
constexpr int32_t kWindowSystemFailedExitCode = 4;

// What the run-time libraries of this build offer: triangle gradient fill
// is there, mail is there when a mail program is (YYMailLoad); the
// rich-edit level is probed.
constexpr int32_t kGradientPresent = 2;

// The rich-edit level: 1 with only the older library, else 2 or 3 by how
// the newer control answers a position (packed, or as a point).
int32_t ProbeRichEdit(plat::Hwnd parent) {
  if (!plat::loadLibrary("riched20.dll")) {
    plat::loadLibrary("riched32.dll");
    return 1;
  }
  const plat::Hwnd probe = plat::createWindowEx(0, plat::kRichEdit20Class, "", plat::ws::Child | plat::es::MultiLine, 0,
                                                0, 10, 10, parent);
  if (!probe) return 2;
  plat::setWindowText(probe, "ab");
  plat::Point a{-99, -99}, b{-99, -99};
  plat::sendMessage(probe, plat::emr::PosFromChar, reinterpret_cast<plat::WParam>(&a), 1);
  plat::sendMessage(probe, plat::emr::PosFromChar, reinterpret_cast<plat::WParam>(&b), 1);
  plat::destroyWindow(probe);
  return (a.x == -99 && a.y == -99 && b.x == -99 && b.y == -99) ? 2 : 3;
}

[[noreturn]] void WindowSystemFailure(const char* text) {
  YYFatalMessage(kFatalCaption, text);
  YYExitProcess(kWindowSystemFailedExitCode);
  std::abort();
}

// The drawing view of a window's client area for the graphics engine.
void NoteClientSize(int32_t window, int32_t width, int32_t height) {
  if (window < 0 || window > kLastWindow) return;
  WindowDrawingRecord& d = WindowDrawing();
  d.Width[static_cast<size_t>(window)] = width;
  d.Height[static_cast<size_t>(window)] = height;
}

void ResetTables() {
  for (int i = 0; i < kWindowSlots; ++i) {
    gTables.Frame[i] = {};
    gTables.Client[i] = {};
    gTables.StatusBar[i] = {};
    gTables.Menu[i] = {};
    gTables.Accelerators[i] = {};
    gTables.MenuStrings[i] = {};
    gTables.HelpCount[i] = 0;
    gTables.Toolbars[i] = {};
    gTables.Thickness[i] = {};
    gTables.Tooltips[i].clear();
    gTables.BackgroundBrush[i] = 0;
    gTables.BackgroundColour[i] = -1;
    gTables.PartWidth[i].fill(0);
    gTables.PartStyle[i].fill(kPartSunken);
    gTables.RestoreRect[i] = {-999, 0, 0, 0};
    gTables.OwnerToReactivate[i] = 0;
    gTables.Cursor[i] = {};
    gTables.CursorShape[i] = 0;
  }
}

// The WindowColourTable: 16 fixed colours, then the system's window text
// and window background colours.
void BuildColourTable() {
  static constexpr uint8_t kFixed[16][3] = {
      {0, 0, 0},     {191, 0, 0},   {191, 191, 0},   {0, 191, 0},   {0, 191, 191},   {0, 0, 191},
      {191, 0, 191}, {191, 191, 191}, {64, 64, 64},  {255, 0, 0},   {255, 255, 0},   {0, 255, 0},
      {0, 255, 255}, {0, 0, 255},   {255, 0, 255},   {255, 255, 255}};
  for (int i = 0; i < 16; ++i) gWindowManager.ColourTable[i] = plat::makeRgb(kFixed[i][0], kFixed[i][1], kFixed[i][2]);
  gWindowManager.ColourTable[16] = plat::sysColor(plat::SysColor::kWindowText);
  gWindowManager.ColourTable[17] = plat::sysColor(plat::SysColor::kWindow);
}

bool ClassRegistered(const char* name) {
  plat::WindowClass wc;
  return plat::getClassInfo(name, wc);
}

// The frame classes share one icon for the life of the process: a frame
// class that an earlier open registered already holds it, so reopening the
// root window loads no new icon.
plat::Hicon FrameClassIcon() {
  plat::WindowClass wc;
  if (plat::getClassInfo(kChildFrameClass, wc) && wc.icon) return wc.icon;
  if (plat::getClassInfo(kRootFrameClass, wc) && wc.icon) return wc.icon;
  return plat::loadIcon("icon1");
}

bool RegisterClasses() {
  plat::WindowClass frame;
  frame.proc = YYFrameProc;
  frame.icon = FrameClassIcon();
  frame.smallIcon = frame.icon;
  frame.cursor = plat::loadCursor(plat::SysCursor::Arrow);
  // The root frame's class is made afresh at every open.
  frame.name = kRootFrameClass;
  plat::unregisterClass(kRootFrameClass);
  bool ok = plat::registerClass(frame) != 0;
  frame.name = kChildFrameClass;
  if (!ClassRegistered(kChildFrameClass)) ok = plat::registerClass(frame) != 0 && ok;

  plat::WindowClass client;
  client.name = kClientClass;
  client.style = plat::cs::HRedraw | plat::cs::VRedraw | plat::cs::DblClks;
  client.proc = YYClientProc;
  client.cursor = plat::loadCursor(plat::SysCursor::Arrow);
  client.background = static_cast<plat::HBrush>(plat::getStockObject(plat::Stock::kWhiteBrush));
  if (!ClassRegistered(kClientClass)) ok = plat::registerClass(client) != 0 && ok;

  plat::WindowClass splitter;
  splitter.style = plat::cs::HRedraw | plat::cs::VRedraw | plat::cs::ParentDC;
  splitter.proc = YYSplitterProc;
  splitter.background = plat::sysColorBrush(plat::SysColor::kBtnFace);
  splitter.name = kSplitterHClass;
  splitter.cursor = plat::loadCursor(plat::SysCursor::SizeNS);
  if (!ClassRegistered(kSplitterHClass)) ok = plat::registerClass(splitter) != 0 && ok;
  splitter.name = kSplitterVClass;
  splitter.cursor = plat::loadCursor(plat::SysCursor::SizeWE);
  if (!ClassRegistered(kSplitterVClass)) ok = plat::registerClass(splitter) != 0 && ok;
  return ok;
}

uint32_t FrameStyle(int32_t options) {
  uint32_t style = plat::ws::ClipChildren | plat::ws::Caption;
  if (options & kOptionSystemMenu) style |= plat::ws::SysMenu;
  if (options & kOptionMinimiseBox) style |= plat::ws::MinimizeBox;
  if (options & kOptionMaximiseBox) style |= plat::ws::MaximizeBox;
  if (!(options & kOptionFixedSize)) style |= plat::ws::ThickFrame;
  return style;
}

constexpr uint32_t kClientStyle =
    plat::ws::Child | plat::ws::Visible | plat::ws::ClipSiblings | plat::ws::ClipChildren;

int32_t OuterHeightOf(plat::Hwnd w) {
  plat::Rect r;
  return plat::getWindowRect(w, r) ? r.height() : 0;
}

void SelectPaletteInto(plat::Hdc dc) {
  if (gWindowManager.Palette != 0 && dc != 0) {
    plat::selectPalette(dc, gWindowManager.Palette);
    plat::realizePalette(dc);
  }
}

// The logical palette of a display with exactly 256 colours.
void BuildLogicalPalette(int32_t n) {
  if (gWindowManager.Palette != 0) plat::deleteObject(gWindowManager.Palette);
  std::vector<uint32_t> colours = YYLogicalPaletteEntries(n);
  for (uint32_t c : gWindowManager.ColourTable) colours.push_back(c);
  std::vector<plat::PaletteEntry> entries;
  for (uint32_t c : colours) {
    plat::PaletteEntry e;
    e.red = static_cast<uint8_t>(plat::redOf(c));
    e.green = static_cast<uint8_t>(plat::greenOf(c));
    e.blue = static_cast<uint8_t>(plat::blueOf(c));
    entries.push_back(e);
  }
  gWindowManager.Palette = plat::createPalette(entries);
  gWindowManager.PaletteSize = n;
}

// Makes the window drawing context of window n the drawing context, unless
// another drawable is active.
void MakeDrawingContext(int32_t n) {
  WindowDrawingRecord& d = WindowDrawing();
  DrawingSurfaceRecord& s = DrawingSurface();
  plat::Hdc dc = d.Dc[static_cast<size_t>(n)];
  if (dc == 0) return;
  if (GraphicsState().DrawableKind != kDrawableWindow) return;
  s.Dc = dc;
  s.Window = n;
  s.Palette = gWindowManager.Palette;
  s.PatternStale = 1;
  s.Dpi = gWindowManager.PixelsPerInch;
  plat::setBkMode(dc, plat::kTransparent);
  YYGdiScaleMetrics();
  SelectPaletteInto(dc);
}

}  // namespace

WindowTablesRecord& WindowTables() { return gTables; }
WindowManagerStateRecord& WindowManagerState() { return gWindowManager; }

void ResetWindowManagerForTest() {
  gRecords.clear();
  ResetTables();
  const int32_t beep = gWindowManager.ErrorBeep;
  gWindowManager = WindowManagerStateRecord{};
  gWindowManager.ErrorBeep = beep;
  ResetWindowDrawing();
  ResetEventStore();
  ResetDialogManager();
  WindowProcState() = WindowProcStateRecord{};
  DialogInfoItems().fill(0);
}

// ---------------------------------------------------------------- records

std::vector<int32_t>* YYWindowRecordOf(plat::Hwnd frame) {
  auto it = gRecords.find(frame.value);
  return it == gRecords.end() ? nullptr : it->second.get();
}

std::vector<int32_t>& YYWindowRecordAttach(plat::Hwnd frame, size_t words) {
  auto& slot = gRecords[frame.value];
  slot = std::make_unique<std::vector<int32_t>>(words, 0);
  plat::setUserData(frame, static_cast<intptr_t>(frame.value));
  return *slot;
}

void YYWindowRecordFree(plat::Hwnd frame) {
  gRecords.erase(frame.value);
  if (plat::isWindow(frame)) plat::setUserData(frame, 0);
}

int32_t YYWindowKindOf(int32_t window) {
  if (window < 0 || window > kLastWindow) return 0;
  const std::vector<int32_t>* r = YYWindowRecordOf(gTables.Frame[static_cast<size_t>(window)]);
  return r != nullptr && !r->empty() ? (*r)[0] : 0;
}

// ---------------------------------------------------------------- palette tables

uint32_t YYMasterScaleColour(int k) {
  const int ramp = k / 16;
  const int i = k % 16;
  auto grey = [](int v) { return plat::makeRgb(v, v, v); };
  switch (ramp) {
    case 0: return grey(255 - 4 * i);
    case 1: return plat::makeRgb(195 + 4 * i, 0, 0);
    case 2: return plat::makeRgb(131 + 4 * i, 0, 0);
    case 3: return plat::makeRgb(195 + 4 * i, 195 + 4 * i, 0);
    case 4: return plat::makeRgb(131 + 4 * i, 131 + 4 * i, 0);
    case 5: return plat::makeRgb(0, 195 + 4 * i, 0);
    case 6: return plat::makeRgb(0, 131 + 4 * i, 0);
    case 7: return plat::makeRgb(0, 195 + 4 * i, 195 + 4 * i);
    case 8: return plat::makeRgb(0, 131 + 4 * i, 131 + 4 * i);
    case 9: return plat::makeRgb(0, 0, 195 + 4 * i);
    case 10: return plat::makeRgb(0, 0, 131 + 4 * i);
    case 11: return plat::makeRgb(195 + 4 * i, 0, 195 + 4 * i);
    case 12: return plat::makeRgb(131 + 4 * i, 0, 131 + 4 * i);
    case 13: return grey(60 - 4 * i);
    case 14: return grey(124 - 4 * i);
    default: return grey(191 - 4 * i);
  }
}

std::vector<uint32_t> YYLogicalPaletteEntries(int32_t n) {
  std::vector<uint32_t> out;
  if (n == 16) {
    static constexpr uint8_t kSixteen[16][3] = {
        {255, 255, 255}, {0, 0, 191},  {0, 191, 0},   {0, 191, 191},   {191, 0, 0},  {191, 0, 191},
        {191, 191, 0},   {64, 64, 64}, {191, 191, 191}, {0, 0, 255},   {0, 255, 0},  {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {0, 0, 0}};
    for (const auto& c : kSixteen) out.push_back(plat::makeRgb(c[0], c[1], c[2]));
    return out;
  }
  if (n != 32 && n != 64 && n != 128) return out;
  const int s = 256 / n;
  for (int k = 0; k < n; ++k) {
    const int m = k * s;
    out.push_back(YYMasterScaleColour(m <= 15 || m >= 240 ? m : m + s - 1));
  }
  return out;
}

// ---------------------------------------------------------------- opening

void WindowOpen(WindowOpenArguments& a) {
  if (gWindowManager.RootWindowOpen) return;
  if (a.Width < 1) a.Width = gWindowManager.ScreenWidth * 8 / 10;
  if (a.Height < 1) a.Height = gWindowManager.ScreenHeight * 8 / 10;
  if (a.PaletteSize != 16 && a.PaletteSize != 32 && a.PaletteSize != 64 && a.PaletteSize != 128) a.PaletteSize = 16;
  WindowDrawing().CurrentWidth = a.Width;
  WindowDrawing().CurrentHeight = a.Height;
  std::string title = a.Title;
  title.erase(title.find_last_not_of(' ') + 1);

  YYRootWindowOpen(a.X, a.Y, a.Width, a.Height, a.Options, a.Menu, a.Toolbars, a.PaletteSize, a.Dialog,
                   a.Background, title);

  if (a.Dialog > 0) {
    DialogTable().Selected = a.Dialog;
    DialogInfoItems()[2] = a.Dialog;
  } else if (a.Dialog == -1) {
    YYERRREP(1007, "WindowOpen");
  } else if (a.Dialog == -2) {
    YYERRREP(1045, "WindowOpen");
  } else if (a.Dialog == -4) {
    YYERRREP(1088, "WindowOpen");
  }
  if (gWindowManager.DisplayColours == 256) GraphicsState().ScreenColourCount = a.PaletteSize;

  gWindowManager.RootOptions = a.Options;
  WindowDrawing().CurrentWindow = 0;
  WindowTextStateRecord& t = WindowTextState();
  t.Font = 0;
  t.Bold = 0;
  t.Italic = 0;
  t.Flag = 0;
  t.PositionXUnits = t.PositionYUnits = 0;
  t.PositionX = t.PositionY = 0;
  t.Foreground = 0;
  t.Background = 15;
  int32_t cellWidth = 0, cellHeight = 0;
  YYWindowTextFont(0, 0, 0, cellWidth, cellHeight);
  t.CellWidthUnits = YYPixelToWindowUnits(cellWidth, a.Width);
  t.CellHeightUnits = YYPixelToWindowUnits(cellHeight, a.Height);
  YYWindowTextToPixels();
  gWindowManager.RootWindowOpen = 1;
  YYPaletteDefault();
  YYGrStateInit(" ");
}

void YYRootWindowOpen(int32_t x, int32_t y, int32_t& width, int32_t& height, int32_t options, int32_t menuId,
                      const std::array<int32_t, 4>& toolbarIds, int32_t paletteSize, int32_t& dialog,
                      int32_t background, std::string_view title) {
  WindowTablesRecord& t = gTables;
  YYEventOptionsDefault();
  YYWindowReportHooks();

  if (!RegisterClasses()) WindowSystemFailure(kRegisterFailed);

  // A hidden pop-up stands in the root's frame slot while the classes of
  // the dialog manager are registered and probed.
  plat::Hwnd temporary = plat::createWindow(kRootFrameClass, "", plat::ws::Popup, 0, 0, 10, 10);
  if (!temporary) WindowSystemFailure(kCreateFailed);
  t.Frame[0] = temporary;
  YYRegisterNumericClasses();
  YYRegisterGridClasses();
  gWindowManager.RichEditLevel = ProbeRichEdit(temporary);
  gWindowManager.FindReplaceMessage = plat::registerWindowMessage("commdlg_FindReplace");
  YYProbeClassesA();
  YYProbeClassesB();
  NumericValidation().RestorePending = 1;
  if (dialog != 0) dialog = DialogBarQualify(dialog, options, width, height);

  plat::destroyWindow(temporary);
  t.Frame[0] = {};
  plat::Hmenu menu = menuId != 0 ? plat::loadMenu(menuId) : plat::Hmenu{};

  const uint32_t style = FrameStyle(options);
  const uint32_t exStyle = (options & kOptionTopMost) ? plat::wsx::TopMost : 0;
  if (background != -1) {
    t.BackgroundBrush[0] = plat::createSolidBrush(static_cast<plat::ColorRef>(background));
    t.BackgroundColour[0] = background;
  }

  // Sizes and positions may come from a settings file: bounded as the
  // window system bounds windows, and a given position within reach.
  const plat::Size most = plat::maxWindowSize();
  width = std::clamp(width, 0, most.cx);
  height = std::clamp(height, 0, most.cy);
  plat::Rect outer{0, 0, width, height};
  plat::adjustWindowRectEx(outer, style, false, exStyle);
  plat::adjustWindowRectEx(outer, kClientStyle, static_cast<bool>(menu), 0);
  int32_t outerWidth = outer.width();
  int32_t outerHeight = outer.height();
  const bool centredY = y == kNotGiven;
  const bool maximised = (options & kOptionMaximised) != 0;
  const bool givenX = x != kNotGiven, givenY = y != kNotGiven;
  x = givenX ? std::clamp(x, -plat::kMaxCoordinate, plat::kMaxCoordinate) : (gWindowManager.ScreenWidth - outerWidth) / 2;
  y = givenY ? std::clamp(y, -plat::kMaxCoordinate, plat::kMaxCoordinate) : (gWindowManager.ScreenHeight - outerHeight) / 2;
  const plat::Point reach = plat::reachablePosition({x, y, x + outerWidth, y + outerHeight}, plat::workArea());
  if (givenX) x = reach.x;
  if (givenY) y = reach.y;

  plat::Hwnd frame = plat::createWindowEx(exStyle, kRootFrameClass, title, style, x, y, outerWidth, outerHeight, {}, menu);
  t.Frame[0] = frame;
  if (!frame) WindowSystemFailure(kCreateFailed);
  YYWindowFatalHook(true);

  if (menu) {
    t.Menu[0] = menu;
    YYMenuTexts(menu, menuId);
    t.Accelerators[0] = plat::loadAccelerators(menuId);
    t.MenuStrings[0] = plat::res::findData(plat::res::kMenuStringType, menuId);
  }

  plat::Rect at;
  plat::getWindowRect(frame, at);
  x = at.left;
  y = at.top;
  bool barsMade = false;
  for (int32_t pos = 0; pos < 4; ++pos) {
    if (toolbarIds[static_cast<size_t>(pos)] == 0) continue;
    int32_t id = toolbarIds[static_cast<size_t>(pos)], w = 0, h = 0;
    YYToolbarCreate(id, 0, pos, w, h);
    if (!t.Toolbars[0][static_cast<size_t>(pos)]) continue;
    barsMade = true;
    const int32_t thick = t.Thickness[0][static_cast<size_t>(pos)];
    if (pos == 0 || pos == 3) {
      outerHeight += thick;
      if (centredY && !maximised) y -= thick / 2;
    } else {
      outerWidth += thick;
      if (centredY && !maximised) x -= thick / 2;
    }
  }

  t.PartStyle[0].fill(kPartSunken);
  if (options & kOptionStatusBar) {
    uint32_t barStyle = plat::ws::Child | plat::ws::Visible;
    if (!(options & kOptionFixedSize)) barStyle |= plat::sbars::SizeGrip;
    plat::Hwnd bar = plat::createWindowEx(0, plat::kStatusBarClass, "", barStyle, 0, 0, width, 10, frame, {}, kStatusBarId);
    if (bar) {
      t.StatusBar[0] = bar;
      t.PartWidth[0][0] = -1;
      const int32_t barHeight = OuterHeightOf(bar);
      outerHeight += barHeight;
      if (centredY && !maximised) y -= barHeight / 2;
      barsMade = true;
    }
  }

  if (barsMade) {
    plat::setWindowPos(frame, {}, x, y, outerWidth, outerHeight,
                       plat::kSwpNoActivate | plat::kSwpNoRedraw | plat::kSwpNoZOrder);
    if (t.StatusBar[0]) plat::sendMessage(t.StatusBar[0], plat::wm::Size, 0, 0);
  }

  plat::Rect area;
  plat::getClientRect(frame, area);
  auto thickness = [&](int pos) {
    plat::Rect r;
    return t.Toolbars[0][static_cast<size_t>(pos)] && plat::getWindowRect(t.Toolbars[0][static_cast<size_t>(pos)], r)
               ? (pos == 0 || pos == 3 ? r.height() : r.width())
               : 0;
  };
  area.top += thickness(0);
  area.left += thickness(1);
  area.right -= thickness(2);
  area.bottom -= thickness(3);
  if (t.StatusBar[0]) area.bottom -= OuterHeightOf(t.StatusBar[0]);
  plat::Hwnd client = plat::createWindowEx(0, kClientClass, "", kClientStyle, area.left, area.top,
                                           std::max(0, area.width()), std::max(0, area.height()), frame, {}, -1);
  t.Client[0] = client;
  if (!plat::isWindow(frame) || !client) WindowSystemFailure(kCreateFailed);
  const plat::Hwnd bar = dialog > 0 ? DialogBarLoad(0, dialog) : plat::Hwnd{};

  if (options & kOptionHidden) {
    gWindowManager.RootHidden = 1;
    plat::showWindow(frame, plat::ShowCmd::Hide);
  } else {
    gWindowManager.RootHidden = 0;
    if (maximised) {
      plat::showWindow(frame, plat::ShowCmd::ShowMaximized);
    } else {
      plat::showWindow(frame, plat::ShowCmd::ShowNormal);
    }
  }
  plat::validateRect(client, nullptr);
  if (bar) {
    DialogBarAttach(0, bar, !(options & kOptionHidden));
    // a maximised window's drawing area grew after the dialog was made
    plat::Rect c;
    plat::getClientRect(client, c);
    if (maximised) plat::sendMessage(client, plat::wm::Size, plat::kSizeMaximized, plat::makeLParam(c.width(), c.height()));
    plat::updateWindow(bar);
  }

  plat::Rect clientRect;
  plat::getClientRect(client, clientRect);
  width = clientRect.width();
  height = clientRect.height();
  WindowDrawingRecord& d = WindowDrawing();
  if (d.Dc[0] != 0) plat::deleteDc(d.Dc[0]);
  d.Dc[0] = plat::createSurfaceDc(plat::clientSurface(client));
  plat::setBkMode(d.Dc[0], plat::kTransparent);
  plat::setTextAlign(d.Dc[0], plat::kTaBaseline);
  d.CurrentWindow = 0;
  d.CurrentWidth = width;
  d.CurrentHeight = height;
  NoteClientSize(0, width, height);

  gWindowManager.TextForeground = 0;
  gWindowManager.TextBackground = 15;
  BuildColourTable();
  if (gWindowManager.DisplayColours == 256) BuildLogicalPalette(paletteSize);
  MakeDrawingContext(0);

  gWindowManager.GradientAvailable = kGradientPresent;
  YYMailLoad();
  if (gWindowManager.ClipboardFormat == 0) {
    gWindowManager.ClipboardFormat = plat::registerClipboardFormat("Plovane CGM");
  }
  for (PendingEventSlot& s : EventStore().Pending) s = PendingEventSlot{};
  if (!(options & kOptionHidden)) plat::setFocus(client);
  DialogManager().MainFrame = frame;
}

// ---------------------------------------------------------------- closing

void YYWindowSystemClose() {
  YYWindowFatalHook(false);
  WindowTablesRecord& t = gTables;
  WindowDrawingRecord& d = WindowDrawing();
  DrawingSurfaceRecord& s = DrawingSurface();
  if (s.Pattern) plat::deleteObject(s.Pattern);
  s.Pattern = 0;
  if (gWindowManager.Palette != 0) plat::deleteObject(gWindowManager.Palette);
  gWindowManager.Palette = 0;
  s.Palette = 0;
  YYBitmapTableClear();

  for (int i = 0; i <= kLastWindow; ++i) {
    const plat::Hwnd frame = t.Frame[static_cast<size_t>(i)];
    std::vector<int32_t>* r = YYWindowRecordOf(frame);
    if (r == nullptr) continue;
    if (!r->empty() && (*r)[0] == kKindSplit && r->size() > 5) {
      plat::destroyWindow(plat::Hwnd{static_cast<uint32_t>((*r)[5])});
    }
    YYWindowRecordFree(frame);
  }
  YYDialogsCloseAll();
  YYMailUnload();
  for (int i = 0; i <= kLastWindow; ++i) YYMciClose(i);

  for (int i = kLastWindow; i >= 0; --i) {
    const size_t k = static_cast<size_t>(i);
    if (d.Dc[k] != 0) plat::deleteDc(d.Dc[k]);
    d.Dc[k] = 0;
    if (t.Frame[k]) plat::destroyWindow(t.Frame[k]);
    t.Frame[k] = {};
    t.Client[k] = {};
    t.StatusBar[k] = {};
    t.Cursor[k] = {};
    t.CursorShape[k] = 0;
    if (t.BackgroundBrush[k] != 0) plat::deleteObject(t.BackgroundBrush[k]);
    t.BackgroundBrush[k] = 0;
    t.BackgroundColour[k] = -1;
    NoteClientSize(i, 0, 0);
  }
  s.Dc = 0;
  s.Window = -1;
  d.CurrentWindow = 0;
  for (int i = 0; i < kWindowSlots; ++i) {
    t.Toolbars[static_cast<size_t>(i)] = {};
    t.Tooltips[static_cast<size_t>(i)].clear();
  }
  YYEventOptionsDefault();
  gWindowManager.RootHidden = 0;
}

// ---------------------------------------------------------------- display

void YYDisplayMetrics(int32_t& width, int32_t& height, int32_t& colours, int32_t& paletteSize, int32_t& flags) {
  const plat::DisplayInfo& screen = plat::displayInfo();
  const int32_t bits = std::min(screen.bitsPerPixel, 24);
  colours = static_cast<int32_t>(1u << bits);
  paletteSize = colours == 2 ? 2 : colours == 16 ? 8 : colours == 256 ? 16 : 256;
  width = screen.width;
  height = screen.height;
  flags = 3;
  gWindowManager.ScreenWidth = width;
  gWindowManager.ScreenHeight = height;
  gWindowManager.PixelsPerInch = screen.dpi;
  gWindowManager.DisplayColours = colours;
  gWindowManager.NtPlatform = 1;
  gWindowManager.MajorVersion = 5;
}

// ---------------------------------------------------------------- selection and placement

void YYWindowSelect(int32_t& width, int32_t& height, int32_t& window) {
  if (window < 0 || window > kLastWindow || !gTables.Frame[static_cast<size_t>(window)]) {
    window = -1;
    return;
  }
  WindowDrawingRecord& d = WindowDrawing();
  const plat::Hwnd client = gTables.Client[static_cast<size_t>(window)];
  if (d.Dc[static_cast<size_t>(window)] == 0 && client) {
    d.Dc[static_cast<size_t>(window)] = plat::createSurfaceDc(plat::clientSurface(client));
    plat::setTextAlign(d.Dc[static_cast<size_t>(window)], plat::kTaBaseline);
  }
  d.CurrentWindow = window;
  MakeDrawingContext(window);
  plat::Rect r;
  plat::getClientRect(client, r);
  width = r.width();
  height = r.height();
  d.CurrentWidth = width;
  d.CurrentHeight = height;
  NoteClientSize(window, width, height);
}

void YYWindowParentNumber(int32_t& number) {
  number = -1;
  const plat::Hwnd frame = gTables.Frame[static_cast<size_t>(WindowDrawing().CurrentWindow)];
  if (!frame || !(plat::getWindowStyle(frame) & plat::ws::Child)) return;
  number = YYWindowNumber(plat::getParent(frame));
}

void YYNormalClientSize(int32_t window, int32_t& width, int32_t& height) {
  width = height = 0;
  if (window < 0 || window > kLastWindow) return;
  const size_t k = static_cast<size_t>(window);
  const plat::Hwnd frame = gTables.Frame[k];
  if (!frame) return;
  plat::WindowPlacement p;
  plat::getWindowPlacement(frame, p);
  const uint32_t style = plat::getWindowStyle(frame) & ~(plat::ws::Minimize | plat::ws::Maximize);
  const plat::Insets in = plat::nonClientInsets(style, plat::getWindowExStyle(frame), static_cast<bool>(plat::getMenu(frame)));
  width = p.normalPosition.width() - in.left - in.right;
  height = p.normalPosition.height() - in.top - in.bottom;
  for (int pos = 0; pos < 4; ++pos) {
    const plat::Hwnd bar = gTables.Toolbars[k][static_cast<size_t>(pos)];
    plat::Rect r;
    if (!bar || !plat::getWindowRect(bar, r)) continue;
    if (pos == 0 || pos == 3) height -= r.height();
    else width -= r.width();
  }
  if (gTables.StatusBar[k]) height -= OuterHeightOf(gTables.StatusBar[k]);
  width = std::max(0, width);
  height = std::max(0, height);
}

void YYWindowPlacement(int32_t x, int32_t y, int32_t& width, int32_t& height, int32_t state) {
  const int32_t n = WindowDrawing().CurrentWindow;
  const plat::Hwnd frame = gTables.Frame[static_cast<size_t>(n)];
  const plat::Hwnd client = gTables.Client[static_cast<size_t>(n)];
  if (!frame) return;
  const bool child = (plat::getWindowStyle(frame) & plat::ws::Child) != 0;
  const bool minimised = plat::isIconic(frame);
  const bool maximisedNow = plat::isZoomed(frame);
  if (state == -1) state = minimised ? 0 : maximisedNow ? 2 : plat::isWindowVisible(frame) ? 1 : 3;

  plat::WindowPlacement placement;
  plat::getWindowPlacement(frame, placement);
  plat::Rect present;
  if (minimised || maximisedNow) {
    present = placement.normalPosition;
  } else {
    plat::getWindowRect(frame, present);
    if (child) present = plat::mapWindowRect({}, plat::getParent(frame), present);
  }
  plat::Rect clientNow{};
  plat::getClientRect(client, clientNow);
  int32_t clientWidth = clientNow.width(), clientHeight = clientNow.height();
  if (maximisedNow || minimised) YYNormalClientSize(n, clientWidth, clientHeight);

  std::vector<int32_t>* record = YYWindowRecordOf(frame);
  const int32_t kind = record != nullptr && !record->empty() ? (*record)[0] : 0;
  if (kind == kKindDialogBar && record->size() >= 8) {
    // a dialog bar that cannot be resized keeps its size
    width = kNotGiven;
    height = kNotGiven;
  }

  if (x == kNotGiven) x = present.left;
  if (y == kNotGiven) y = present.top;
  if (width == kNotGiven) width = clientWidth;
  if (height == kNotGiven) height = clientHeight;
  // The values may come from a settings file that a user edits: bound them
  // before any arithmetic, as the window system bounds windows.
  const plat::Size most = plat::maxWindowSize();
  width = std::clamp(width, 0, most.cx);
  height = std::clamp(height, 0, most.cy);
  x = std::clamp(x, -plat::kMaxCoordinate, plat::kMaxCoordinate);
  y = std::clamp(y, -plat::kMaxCoordinate, plat::kMaxCoordinate);

  // Outer size: the client size, the frame's own parts and every bar.
  plat::Rect outer{0, 0, width, height};
  plat::adjustWindowRectEx(outer, kClientStyle, false, 0);
  plat::adjustWindowRectEx(outer, plat::getWindowStyle(frame) & ~plat::ws::Visible,
                           static_cast<bool>(plat::getMenu(frame)), plat::getWindowExStyle(frame));
  int32_t outerWidth = outer.width(), outerHeight = outer.height();
  for (int pos = 0; pos < 4; ++pos) {
    const plat::Hwnd bar = gTables.Toolbars[static_cast<size_t>(n)][static_cast<size_t>(pos)];
    plat::Rect r;
    if (!bar || !plat::getWindowRect(bar, r)) continue;
    if (pos == 0 || pos == 3) outerHeight += r.height();
    else outerWidth += r.width();
  }
  if (kind == kKindEditor && record->size() > 6 && (*record)[6] != 0) {
    outerHeight += OuterHeightOf(plat::Hwnd{static_cast<uint32_t>((*record)[6])});
  }
  if (gTables.StatusBar[static_cast<size_t>(n)]) outerHeight += OuterHeightOf(gTables.StatusBar[static_cast<size_t>(n)]);
  outerWidth = std::min(outerWidth, most.cx);
  outerHeight = std::min(outerHeight, most.cy);
  if (!child) {
    // a frame never shrinks below what the user could still take hold of
    outerWidth = std::max(outerWidth, plat::getSystemMetrics(plat::Metric::MinTrackWidth));
    outerHeight = std::max(outerHeight, plat::getSystemMetrics(plat::Metric::MinTrackHeight));
  }
  // Wherever it is asked to go, the window stays where the user can reach
  // it: on the screen, or in its parent's client area.
  plat::Rect area = plat::workArea();
  if (child) plat::getClientRect(plat::getParent(frame), area);
  const plat::Point reach = plat::reachablePosition({x, y, x + outerWidth, y + outerHeight}, area);
  x = reach.x;
  y = reach.y;

  if (YYSplitPanePlace(n, outerWidth, outerHeight)) {
    // a pane is placed by its container's splitter bar
  } else if (minimised || maximisedNow || state == 0 || state == 2) {
    plat::WindowPlacement p = placement;
    p.normalPosition = {x, y, x + outerWidth, y + outerHeight};
    if (child && maximisedNow) gTables.RestoreRect[static_cast<size_t>(n)] = p.normalPosition;
    p.showCmd = state == 0   ? plat::ShowCmd::ShowMinNoActive
                : state == 1 ? plat::ShowCmd::ShowNoActivate
                : state == 2 ? plat::ShowCmd::ShowMaximized
                             : plat::ShowCmd::Hide;
    plat::setWindowPlacement(frame, p);
    if (n == 0) gWindowManager.RootHidden = state == 3 ? 1 : 0;
  } else if (state == 3) {
    plat::setWindowPos(frame, {}, x, y, outerWidth, outerHeight,
                       plat::kSwpNoActivate | plat::kSwpNoZOrder | plat::kSwpHideWindow);
    if (n == 0) gWindowManager.RootHidden = 1;
  } else {
    plat::setWindowPos(frame, {}, x, y, outerWidth, outerHeight,
                       plat::kSwpNoActivate | plat::kSwpNoZOrder | plat::kSwpShowWindow);
    if (n == 0) gWindowManager.RootHidden = 0;
  }
  plat::Rect after;
  plat::getClientRect(client, after);
  width = after.width();
  height = after.height();
}

// ---------------------------------------------------------------- title, status bar

void YYWindowTitleIcon(int32_t& icon, int32_t titleFlag, std::string_view title) {
  const plat::Hwnd frame = gTables.Frame[static_cast<size_t>(WindowDrawing().CurrentWindow)];
  if (!frame) return;
  if (titleFlag == 1) plat::setWindowText(frame, title);
  if (icon == -1) return;
  plat::Hicon made = icon == 0 ? plat::loadIcon("icon1") : plat::loadIcon(icon);
  if (!made) {
    icon = -2;
    return;
  }
  const plat::Hicon oldBig =
      plat::handleFrom<plat::Hicon>(plat::sendMessage(frame, plat::wm::SetIcon, plat::kIconBig, plat::toParam(made)));
  const plat::Hicon oldSmall =
      plat::handleFrom<plat::Hicon>(plat::sendMessage(frame, plat::wm::SetIcon, plat::kIconSmall, plat::toParam(made)));
  if (oldBig && oldBig != made) plat::destroyIcon(oldBig);
  if (oldSmall && oldSmall != made && oldSmall != oldBig) plat::destroyIcon(oldSmall);
}

void YYStatusPartSet(int32_t part, int32_t width, int32_t style) {
  if (part < 1 || part > kStatusParts) return;
  const size_t n = static_cast<size_t>(WindowDrawing().CurrentWindow);
  gTables.PartWidth[n][static_cast<size_t>(part - 1)] = width;
  gTables.PartStyle[n][static_cast<size_t>(part - 1)] = style == 0 ? kPartNoBorder : style == 2 ? kPartRaised : kPartSunken;
}

namespace {
uint32_t PartTextStyle(int32_t stored) {
  return stored == kPartNoBorder ? plat::kSbtNoBorders : stored == kPartRaised ? plat::kSbtPopOut : plat::kSbtSunken;
}
}  // namespace

void YYStatusPartsLayout(int32_t window, int32_t count) {
  const size_t n = static_cast<size_t>(window);
  const plat::Hwnd bar = gTables.StatusBar[n];
  if (!bar || count < 1) return;
  count = std::min(count, kStatusParts);
  const auto& widths = gTables.PartWidth[n];
  std::vector<int> edges(static_cast<size_t>(count));
  int stretch = -1;
  int64_t edge = 0;
  for (int i = 0; i < count; ++i) {
    if (widths[static_cast<size_t>(i)] == -1) {
      stretch = i;
      break;
    }
    edge += widths[static_cast<size_t>(i)];
    edges[static_cast<size_t>(i)] = SaturateToInt32(edge);
  }
  if (stretch >= 0) {
    plat::Rect fc;
    plat::getClientRect(gTables.Frame[n], fc);
    edges[static_cast<size_t>(count - 1)] = fc.width();
    for (int i = count - 2; i >= stretch; --i) {
      edges[static_cast<size_t>(i)] = edges[static_cast<size_t>(i + 1)] - widths[static_cast<size_t>(i + 1)];
    }
  }
  plat::sendMessage(bar, plat::sb::SetParts, static_cast<plat::WParam>(count), reinterpret_cast<plat::LParam>(edges.data()));
}

void YYStatusPartsApply(int32_t count) {
  const int32_t window = WindowDrawing().CurrentWindow;
  const plat::Hwnd bar = gTables.StatusBar[static_cast<size_t>(window)];
  if (!bar || count < 1) return;
  count = std::min(count, kStatusParts);
  // the present texts, re-applied with the new styles
  std::vector<std::string> texts(static_cast<size_t>(count));
  if (const plat::StatusBarState* st = plat::statusBarState(bar)) {
    for (int i = 0; i < count && i < static_cast<int>(st->texts.size()); ++i)
      texts[static_cast<size_t>(i)] = st->texts[static_cast<size_t>(i)].substr(0, 511);
  }
  YYStatusPartsLayout(window, count);
  for (int i = 0; i < count; ++i) {
    const uint32_t style = PartTextStyle(gTables.PartStyle[static_cast<size_t>(window)][static_cast<size_t>(i)]);
    plat::sendMessage(bar, plat::sb::SetText, static_cast<plat::WParam>(i) | style,
                      reinterpret_cast<plat::LParam>(texts[static_cast<size_t>(i)].c_str()));
  }
  plat::updateWindow(bar);
}

void YYStatusTextSet(int32_t part, std::string_view text) {
  const int32_t window = WindowDrawing().CurrentWindow;
  const plat::Hwnd bar = gTables.StatusBar[static_cast<size_t>(window)];
  if (!bar || part < 1 || part > kStatusParts) return;
  const std::string zeroEnded(text.substr(0, std::min(text.find('\0'), text.size())));
  const uint32_t style = PartTextStyle(gTables.PartStyle[static_cast<size_t>(window)][static_cast<size_t>(part - 1)]);
  plat::sendMessage(bar, plat::sb::SetText, static_cast<plat::WParam>(part - 1) | style,
                    reinterpret_cast<plat::LParam>(zeroEnded.c_str()));
  plat::updateWindow(bar);
}

void YYWindowKindGet(int32_t& kind) { kind = YYWindowKindOf(WindowDrawing().CurrentWindow); }

// ---------------------------------------------------------------- filling, cursor, focus

void YYFillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t colour) {
  const plat::Hdc dc = DrawingSurface().Dc;
  if (dc == 0) return;
  plat::ColorRef c = colour == -1 ? gWindowManager.ColourTable[static_cast<size_t>(
                                        std::clamp(WindowTextState().Background, 0, kWindowColours - 1))]
                                  : static_cast<plat::ColorRef>(colour);
  if (gWindowManager.Palette != 0) c = plat::getNearestColor(dc, c);
  const plat::HBrush brush = plat::createSolidBrush(c);
  const int64_t r = static_cast<int64_t>(right) + 1, b = static_cast<int64_t>(bottom) + 1;
  plat::fillRect(dc, plat::Rect{left, top, static_cast<int>(std::min<int64_t>(r, INT32_MAX)),
                                static_cast<int>(std::min<int64_t>(b, INT32_MAX))},
                 brush);
  plat::deleteObject(brush);
}

namespace {
plat::Hcursor CursorFor(int32_t shape, int32_t& loadedShape) {
  loadedShape = shape;
  if (shape >= 0 && shape <= 11) return plat::loadCursor(static_cast<plat::SysCursor>(shape));
  return {};  // the program has no cursor resources
}

bool PointerOver(plat::Hwnd w) {
  if (!w || !plat::isWindowVisible(w)) return false;
  plat::Rect r;
  plat::getWindowRect(w, r);
  const plat::Point p = plat::getCursorPos();
  return r.contains(p.x, p.y);
}
}  // namespace

void YYCursorSet(int32_t shape, int32_t mode, int32_t drawableKind, int32_t number) {
  int32_t loaded = 0;
  const plat::Hcursor cursor = CursorFor(shape, loaded);
  if (mode == 1) {
    if (drawableKind == kDrawableField && number != 0) return;  // drawing fields come with the dialog manager
    if (number < 0 || number > kLastWindow) return;
    const size_t n = static_cast<size_t>(number);
    gTables.Cursor[n] = cursor;
    gTables.CursorShape[n] = loaded;
    if (cursor && PointerOver(gTables.Client[n])) plat::setCursor(cursor);
    return;
  }
  if (mode != 2) {
    for (int i = 0; i <= kLastWindow; ++i) {
      gTables.Cursor[static_cast<size_t>(i)] = {};
      gTables.CursorShape[static_cast<size_t>(i)] = 0;
    }
  }
  if (!cursor) return;
  gWindowManager.GlobalCursor = cursor;
  gWindowManager.GlobalCursorShape = loaded;
  plat::setCursor(cursor);
}

int32_t YYWindowNumber(plat::Hwnd window) {
  if (!window) return -1;
  for (int i = 0; i < kWindowSlots; ++i) {
    if (gTables.Frame[static_cast<size_t>(i)] == window || gTables.Client[static_cast<size_t>(i)] == window) return i;
  }
  for (int i = 0; i <= kLastWindow; ++i) {
    const std::vector<int32_t>* r = YYWindowRecordOf(gTables.Frame[static_cast<size_t>(i)]);
    if (r != nullptr && r->size() > 5 && (*r)[0] == kKindViewer && static_cast<uint32_t>((*r)[5]) == window.value) return i;
  }
  return -1;
}

void YYWindowFocus(plat::Hwnd window) {
  if (window && YYWindowNumber(window) >= 0) plat::setFocus(window);
  for (int i = 1; i <= kLastWindow; ++i) {
    const plat::Hwnd frame = gTables.Frame[static_cast<size_t>(i)];
    if (!frame) continue;
    const bool active = window && (frame == window || plat::isChild(frame, window));
    plat::sendMessage(frame, plat::wm::NcActivate, active ? 1 : 0, 0);
  }
}

// ---------------------------------------------------------------- small services

void YYBeep() { YYBeepIfOn(); }
void YYBeepIfOn() {
  if (gWindowManager.ErrorBeep) plat::messageBeep(0);
}
void YYBeepSwitch(int32_t on) { gWindowManager.ErrorBeep = on; }

void YYLocaleDecimalPoint(char& character) { character = LocaleDecimal().Separator; }
void YYLocaleDecimalSwitch(int32_t value) { LocaleDecimal().UseIt = value == 1 ? 1 : 0; }

int32_t YYTextToInteger(std::string_view text) {
  text = text.substr(0, std::min(text.find('\0'), text.size()));
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = std::min<int64_t>(v * 10 + (text[i] - '0'), static_cast<int64_t>(INT32_MAX) + 1);
  }
  return SaturateToInt32(negative ? -v : v);
}

int32_t YYStrLen(std::string_view text) {
  return static_cast<int32_t>(std::min(text.find('\0'), text.size()));
}

int32_t YYWordLength(std::string_view text) {
  text = text.substr(0, static_cast<size_t>(YYStrLen(text)));
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return 0;
  const size_t end = text.find(' ', start);
  return static_cast<int32_t>((end == std::string_view::npos ? text.size() : end) - start);
}

void YYPadCopy(std::string_view text, std::string& field, size_t length) {
  text = text.substr(0, static_cast<size_t>(YYStrLen(text)));
  field.assign(text.substr(0, std::min(text.size(), length)));
  field.resize(length, ' ');
}

int32_t YYRegistryRootKey(std::string_view name) {
  static const char* const kRoots[] = {
      "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE", "HKEY_USERS",
      "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
  std::string key(name.substr(0, std::min<size_t>(22, name.size())));
  key.resize(22, ' ');
  YYUpperCase(key, 22);
  for (int32_t i = 0; i < 7; ++i) {
    std::string root = kRoots[i];
    root.resize(22, ' ');
    if (key == root) return static_cast<int32_t>(0x80000000u + static_cast<uint32_t>(i));
  }
  return -1;
}

// No multimedia devices exist here: a window never has one open.
void YYMciClose(int32_t window) {
  if (window < 0 || window > kLastWindow) return;
  WindowProcState().MciDevice[static_cast<size_t>(window)] = 0;
}
