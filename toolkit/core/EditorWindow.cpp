#include "toolkit/core/EditorWindow.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/clip/Clipboard.h"
#include "platform/dlg/Dialog.h"
#include "platform/ctl/Controls.h"
#include "platform/os/Os.h"
#include "platform/res/Resources.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorDocuments.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/OsLayerCore.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogUnload.h"

using plat::Hwnd;
using plat::LParam;
using plat::LResult;
using plat::WParam;

namespace {

std::map<uint32_t, std::unique_ptr<EditorRecord>>& Editors() {
  static std::map<uint32_t, std::unique_ptr<EditorRecord>> m;
  return m;
}

WindowTablesRecord& T() { return WindowTables(); }
int32_t Level() { return WindowManagerState().RichEditLevel; }
// Positions of the program count a line end as two; the newer control as one.
bool Converts(const EditorRecord& r) { return Level() >= 2 && !r.RawPositions; }

LResult Send(Hwnd w, uint32_t m, WParam wp = 0, LParam lp = 0) { return plat::sendMessage(w, m, wp, lp); }

void Status(const EditorRecord& r, int part, const std::string& text) {
  if (!r.StatusBar) return;
  Send(r.StatusBar, plat::sb::SetText, static_cast<WParam>(part), reinterpret_cast<LParam>(text.c_str()));
  plat::updateWindow(r.StatusBar);
}

std::string DocumentItemText(int n, const std::string& name) {
  std::string t = n <= 9 ? "&" + std::to_string(n) + "\t" : std::string("&") + static_cast<char>(n + 55) + "\t";
  return t + (name.empty() ? "Untitled" : name);
}

plat::Hmenu ViewMenu(const EditorRecord& r) { return r.Menus[4]; }

int Window(Hwnd frame) { return YYWindowNumber(frame); }

EditorRecord* Current(Hwnd* frameOut = nullptr) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (n < 0 || n > kLastWindow) return nullptr;
  const Hwnd frame = T().Frame[static_cast<size_t>(n)];
  if (frameOut) *frameOut = frame;
  return YYEditorRecordOf(frame);
}

void ReportCommand(Hwnd frame, int32_t id) { YYEventStore(EventMenuCommand, 0, static_cast<WParam>(id), 0, frame); }

int MessageBoxOf(Hwnd owner, const std::string& text, const std::string& caption, uint32_t type) {
  return plat::messageBox(owner, text, caption, type);
}

// ------------------------------------------------------------- positions

int ToPlain(const EditorRecord& r, int control) {
  if (!Converts(r)) return control;
  return control + YYEditorCountReturns(r.EditControl, control);
}

}  // namespace

plat::CharRange YYEditorSelection(const EditorRecord& r) {
  plat::CharRange c;
  Send(r.EditControl, plat::emr::ExGetSel, 0, reinterpret_cast<LParam>(&c));
  return c;
}
void YYEditorSetSelection(const EditorRecord& r, int a, int b) {
  plat::CharRange c{a, b};
  Send(r.EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<LParam>(&c));
}
std::string YYEditorControlText(const EditorRecord& r, int a, int b) {
  const int n = static_cast<int>(Send(r.EditControl, plat::wm::GetTextLength));
  if (b < 0 || b > n) b = n;
  a = std::clamp(a, 0, b);
  std::string buf(static_cast<size_t>(b - a + 1), '\0');
  plat::TextRange tr{{a, b}, buf.data()};
  const LResult got = Send(r.EditControl, plat::emr::GetTextRange, 0, reinterpret_cast<LParam>(&tr));
  buf.resize(static_cast<size_t>(std::max<LResult>(0, got)));
  return buf;
}

EditorFinalStateRecord& EditorFinalState() {
  static EditorFinalStateRecord s;
  return s;
}

EditorRecord* YYEditorRecordOf(Hwnd frame) {
  auto it = Editors().find(frame.value);
  return it == Editors().end() ? nullptr : it->second.get();
}

namespace {
const EditorRecord* RecordOfWindow(int32_t window) {
  if (window < 0 || window > kLastWindow) return nullptr;
  return YYEditorRecordOf(T().Frame[static_cast<size_t>(window)]);
}
}  // namespace

std::vector<plat::Haccel> YYEditorTables(int32_t window) {
  const EditorRecord* r = RecordOfWindow(window);
  if (!r) return {};
  return {r->BuiltinAccelerators, r->UserAccelerators};
}

std::vector<plat::Haccel> YYEditorPaneTables(int32_t window) {
  const EditorRecord* r = RecordOfWindow(window);
  if (!r) return {};
  return {r->PaneAccelerators, r->BuiltinAccelerators, r->UserAccelerators};
}

plat::Hwnd YYEditorFindDialog(int32_t window) {
  const EditorRecord* r = RecordOfWindow(window);
  return r ? r->FindDialog : plat::Hwnd{};
}

plat::Hwnd YYEditorFindDialogHolding(plat::Hwnd w) {
  if (!w) return {};
  for (const auto& [frame, r] : Editors())
    if (r->FindDialog && (r->FindDialog == w || plat::isChild(r->FindDialog, w))) return r->FindDialog;
  return {};
}

int32_t YYEditorCountReturns(Hwnd control, int32_t position) {
  const int n = static_cast<int>(plat::sendMessage(control, plat::wm::GetTextLength, 0, 0));
  std::string buf(static_cast<size_t>(n + 1), '\0');
  plat::TextRange tr{{0, std::max(0, position)}, buf.data()};
  const LResult got = plat::sendMessage(control, plat::emr::GetTextRange, 0, reinterpret_cast<LParam>(&tr));
  return static_cast<int32_t>(std::count(buf.begin(), buf.begin() + std::max<LResult>(0, got), '\r'));
}

// The length is taken with the control out of sight and without the focus,
// so that the user sees no flicker; the view is put back as it was.
int32_t YYEditorTextLength(Hwnd control, bool frozen) {
  const int first = static_cast<int>(plat::sendMessage(control, plat::em::GetFirstVisibleLine, 0, 0));
  const bool focused = !frozen && plat::getFocus() == control;
  plat::Point before{};
  if (!frozen) {
    before = YYEditorCharPos(control, 0);
    plat::updateWindow(control);
    plat::showWindow(control, plat::ShowCmd::Hide);
    if (focused) plat::setFocus(plat::getParent(control));
  }
  const auto length = static_cast<int32_t>(plat::sendMessage(control, plat::wm::GetTextLength, 0, 0));
  const int now = static_cast<int>(plat::sendMessage(control, plat::em::GetFirstVisibleLine, 0, 0));
  if (now != first) plat::sendMessage(control, plat::emr::LineScroll, 0, first - now);
  if (!frozen) {
    plat::showWindow(control, plat::ShowCmd::Show);
    const plat::Point after = YYEditorCharPos(control, 0);
    if (after.x == before.x && after.y == before.y) plat::validateRect(control, nullptr);
    if (focused) plat::setFocus(control);
  }
  return length;
}

void YYEditorToRichPositions(int32_t a, int32_t b, int32_t& ra, int32_t& rb) {
  Hwnd frame;
  EditorRecord* r = Current(&frame);
  ra = a;
  rb = b;
  if (!r || !Converts(*r)) return;
  ra = rb = -1;
  if (r->CachedRich < 0 || a < r->CachedPlain || b < r->CachedPlain) {
    r->CachedRich = 0;
    r->CachedPlain = 0;
  }
  const int m = std::max(a, b) + 1;
  const std::string text = YYEditorControlText(*r, r->CachedRich, -1);
  int control = r->CachedRich, plain = r->CachedPlain;
  size_t k = 0;
  while (control <= m && (ra < 0 || rb < 0) && k <= text.size()) {
    if (plain == a && ra < 0) ra = control;
    if (plain == b && rb < 0) rb = control;
    if (k < text.size() && text[k] == '\r') {
      ++plain;
      if (plain == a && ra < 0) ra = control;
      if (plain == b && rb < 0) rb = control;
    }
    if (k == text.size()) break;
    ++control;
    ++plain;
    ++k;
  }
  r->CachedRich = control;
  r->CachedPlain = plain;
  // Positions past the end of the text are its end.
  const int end = r->CachedRich + static_cast<int>(text.size()) - static_cast<int>(k);
  if (ra < 0) ra = end;
  if (rb < 0) rb = end;
}

// --------------------------------------------------------------- title

void YYEditorTitle(Hwnd frame) {
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r) return;
  const bool modified = Send(r->EditControl, plat::em::GetModify) != 0;
  std::string name = r->HideName ? std::string() : r->FileName;
  if (!name.empty() && r->ModifiedMarker && modified) name += " *";
  const bool hasCaption = plat::getWindowStyle(frame) & plat::ws::Caption;
  if (hasCaption) {
    std::string t = r->Caption;
    if (!name.empty()) t = r->Caption.empty() ? name : r->Caption + " - [" + name + "]";
    if (t.size() > 1023) t.resize(1023);
    plat::setWindowText(frame, t);
  } else {
    Status(*r, 4, name);
  }
}

void YYEditorCloseFile(Hwnd frame) {
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r) return;
  int32_t& h = r->FileHandle[static_cast<size_t>(r->CurrentDocument - 1)];
  if (h > 0) plat::FileClose(h - 1);
  h = 0;
}

// --------------------------------------------------------------- fonts

void YYEditorMakeFont(EditorRecord& r, int32_t index, int32_t size) {
  plat::LogFont lf;
  const int ppi = plat::displayInfo().dpi;
  int points = size;
  if (index >= 7 && index <= 10) points = std::array<int, 4>{10, 11, 13, 14}[static_cast<size_t>(index - 7)];
  else if (points == 0) points = 12;
  lf.height = -(points * ppi / 72);
  lf.weight = 400;
  lf.charSet = plat::kDefaultCharSet;
  switch (index) {
    case 2: lf.faceName = "Times New Roman"; lf.pitchAndFamily = plat::kVariablePitch | plat::kFamilyRoman; break;
    case 3: lf.faceName = "Arial"; lf.pitchAndFamily = plat::kVariablePitch | plat::kFamilySwiss; break;
    case 4: lf.faceName = "Courier New"; lf.pitchAndFamily = plat::kVariablePitch | plat::kFamilyModern; break;
    case 7: case 8: case 9: case 10:
      // the console face of the original is a fixed-pitch face; ours is the monospaced one
      lf.faceName = "Lucida Console";
      lf.pitchAndFamily = plat::kFixedPitch | plat::kFamilyModern;
      break;
    case 1: lf.faceName = "Courier New"; lf.pitchAndFamily = plat::kFixedPitch | plat::kFamilyModern; break;
    default: lf.faceName = "Arial"; lf.pitchAndFamily = plat::kVariablePitch | plat::kFamilySwiss; break;
  }
  r.Font = plat::createFont(lf);
  r.FontIndex = index;
  r.FontSize = (index >= 7 && index <= 10) ? points : size;
  plat::TextMetrics tm;
  const plat::Hdc dc = plat::createCompatibleDc(0);
  plat::selectObject(dc, r.Font);
  plat::getTextMetrics(dc, tm);
  plat::deleteDc(dc);
  r.CharHeight = tm.height;
  r.CharBodyHeight = tm.height - tm.internalLeading;
}

void YYEditorSetFont(int32_t& status, int32_t index, int32_t size) {
  Hwnd frame;
  EditorRecord* r = Current(&frame);
  if (!r) {
    status = 1;
    return;
  }
  status = 0;
  const bool wasModified = Send(r->EditControl, plat::em::GetModify) != 0;
  const plat::HFont old = r->Font;
  YYEditorMakeFont(*r, index < 0 ? r->FontIndex : index, size < 0 ? r->FontSize : size);
  Send(r->EditControl, plat::wm::SetFont, static_cast<WParam>(r->Font), 1);
  if (!r->RichText && !wasModified) {
    Send(r->EditControl, plat::em::SetModify, 0);
    if (r->ModifiedMarker) YYEditorTitle(frame);
  }
  if (old && old != r->Font) plat::deleteObject(old);
}

// ---------------------------------------------------------------- menus

namespace {

void BuildMenus(EditorRecord& r, int32_t menuId, bool withProgramMenu) {
  using plat::mf::Separator;
  using plat::mf::String;
  plat::Hmenu bar = withProgramMenu && menuId != 0 ? plat::loadMenu(menuId) : plat::Hmenu{};
  if (!bar) {
    if (withProgramMenu && menuId != 0) r.MenuMissing = true;
    bar = plat::createMenu();
  }
  plat::Hmenu file = plat::createPopupMenu(), edit = plat::createPopupMenu(), search = plat::createPopupMenu();
  if (r.NewAllowed) plat::appendMenu(file, String, kEdCmdNew, "&New\tCtrl+N");
  if (r.OpenAllowed) plat::appendMenu(file, String, kEdCmdOpen, "&Open\tCtrl+O");
  if (r.SeveralDocuments && !r.NoClose) {
    plat::appendMenu(file, String, kEdCmdClose, "&Close");
    if (r.SaveAllowed || r.SaveAsAllowed) plat::appendMenu(file, Separator, 0);
  }
  if (r.SaveAllowed) plat::appendMenu(file, String, kEdCmdSave, "&Save\tCtrl+S");
  if (r.SaveAsAllowed) plat::appendMenu(file, String, kEdCmdSaveAs, "Save &As\tF12");
  if (r.NewAllowed || r.OpenAllowed || r.SaveAllowed || r.SaveAsAllowed) plat::appendMenu(file, Separator, 0);
  if (r.PrintAllowed) {
    plat::appendMenu(file, String, kEdCmdPrint, "&Print\tCtrl+P");
    plat::appendMenu(file, String, kEdCmdPrintSelection, "Prin&t Selection\tCtrl+Shift+P");
    plat::appendMenu(file, Separator, 0);
  }
  plat::appendMenu(file, String, kEdCmdExit, "E&xit");
  if (!r.ReadOnly) {
    plat::appendMenu(edit, String, kEdCmdUndo, "&Undo\tCtrl+Z");
    if (Level() >= 2) plat::appendMenu(edit, String, kEdCmdRedo, "&Redo\tCtrl+Y");
    plat::appendMenu(edit, Separator, 0);
    plat::appendMenu(edit, String, kEdCmdCut, "Cu&t\tCtrl+X");
  }
  plat::appendMenu(edit, String, kEdCmdCopy, "&Copy\tCtrl+C");
  if (!r.ReadOnly) {
    plat::appendMenu(edit, String, kEdCmdPaste, "&Paste\tCtrl+V");
    plat::appendMenu(edit, String, kEdCmdDelete, "&Delete\tDel");
  }
  plat::appendMenu(edit, Separator, 0);
  plat::appendMenu(edit, String, kEdCmdSelectAll, "Select &All\tCtrl+A");
  plat::appendMenu(search, String, kEdCmdFind, "&Find\tCtrl+F");
  plat::appendMenu(search, String, kEdCmdFindNext, "Find &Next\tF3");
  if (!r.ReadOnly) plat::appendMenu(search, String, kEdCmdReplace, "&Replace\tCtrl+H");
  plat::appendMenu(search, Separator, 0);
  plat::appendMenu(search, String, kEdCmdSetBookmark, "&Set Bookmark\tShift+F2");
  plat::appendMenu(search, String | plat::mf::Grayed, kEdCmdGotoBookmark, "Goto &Bookmark\tF2");
  std::vector<std::pair<plat::Hmenu, const char*>> pops = {{file, "&File"}, {edit, "&Edit"}, {search, "&Search"}};
  r.Menus = {file, edit, search, {}, {}};
  if (r.RichText && !r.ReadOnly) {
    plat::Hmenu format = plat::createPopupMenu();
    plat::appendMenu(format, String, kEdCmdFont, "&Font");
    plat::appendMenu(format, String, kEdCmdBullets, "&Bullet Style");
    plat::appendMenu(format, Separator, 0);
    const bool x = r.Extended;
    plat::appendMenu(format, String, kEdCmdAlignLeft, x ? "Align &Left\tCtrl+Shift+L" : "Align &Left\tCtrl+L");
    plat::appendMenu(format, String, kEdCmdAlignCentre, x ? "Align &Centre\tCtrl+Shift+E" : "Align &Centre\tCtrl+E");
    plat::appendMenu(format, String, kEdCmdAlignRight, x ? "Align &Right\tCtrl+Shift+R" : "Align &Right\tCtrl+R");
    pops.push_back({format, "F&ormat"});
    r.Menus[3] = format;
  }
  if (r.SeveralDocuments) {
    plat::Hmenu view = plat::createPopupMenu();
    plat::appendMenu(view, String | plat::mf::Checked, kEdCmdView + 1, DocumentItemText(1, r.FileName));
    pops.push_back({view, "&View"});
    r.Menus[4] = view;
  }
  for (size_t k = 0; k < pops.size(); ++k)
    plat::insertMenu(bar, static_cast<uint32_t>(k), plat::mf::ByPosition | plat::mf::Popup,
                     static_cast<uintptr_t>(pops[k].first.value), pops[k].second);
  r.MenuBar = bar;
}

void BuildAccelerators(EditorRecord& r) {
  using namespace plat::fvirt;
  std::vector<plat::Accel> a;
  auto add = [&](uint8_t f, uint16_t key, int32_t cmd) {
    a.push_back({static_cast<uint8_t>(f | VirtKey | NoInvert), key, static_cast<uint16_t>(cmd)});
  };
  if (r.NewAllowed) add(Control, 'N', kEdCmdNew);
  if (r.OpenAllowed) add(Control, 'O', kEdCmdOpen);
  if (r.SaveAllowed) add(Control, 'S', kEdCmdSave);
  if (r.SaveAsAllowed) add(0, plat::vk::fn(12), kEdCmdSaveAs);
  if (r.PrintAllowed) {
    add(Control, 'P', kEdCmdPrint);
    add(Control | Shift, 'P', kEdCmdPrintSelection);
  }
  add(Control, 'F', kEdCmdFind);
  add(0, plat::vk::fn(3), kEdCmdFindNext);
  add(Shift, plat::vk::fn(2), kEdCmdSetBookmark);
  add(0, plat::vk::fn(2), kEdCmdGotoBookmark);
  if (!r.ReadOnly) add(Control, 'H', kEdCmdReplace);
  if (r.RichText && !r.ReadOnly) {
    add(Control, 'B', kEdCmdBold);
    add(Control, 'I', kEdCmdItalic);
    if (!r.Extended) add(Control, 'U', kEdCmdUnderline);
    const uint8_t m = r.Extended ? static_cast<uint8_t>(Control | Shift) : Control;
    add(m, 'L', kEdCmdAlignLeft);
    add(m, 'E', kEdCmdAlignCentre);
    add(m, 'R', kEdCmdAlignRight);
  }
  r.BuiltinAccelerators = plat::createAcceleratorTable(a);
}

// The clipboard and undo keys of an editor that is a pane of a split
// container: the container translates them for the pane whose menu it
// shows.
void BuildPaneAccelerators(EditorRecord& r) {
  using namespace plat::fvirt;
  std::vector<plat::Accel> a;
  auto add = [&](uint8_t f, uint16_t key, int32_t cmd) {
    a.push_back({static_cast<uint8_t>(f | VirtKey | NoInvert), key, static_cast<uint16_t>(cmd)});
  };
  if (!r.ReadOnly) {
    add(Control, 'Z', kEdCmdUndo);
    if (Level() >= 2) add(Control, 'Y', kEdCmdRedo);
    add(Control, 'X', kEdCmdCut);
    add(Shift, plat::vk::Delete, kEdCmdCut);
    add(Control, 'V', kEdCmdPaste);
    add(Shift, plat::vk::Insert, kEdCmdPaste);
    add(0, plat::vk::Delete, kEdCmdDelete);
  }
  add(Control, 'C', kEdCmdCopy);
  add(Control, 'A', kEdCmdSelectAll);
  r.PaneAccelerators = plat::createAcceleratorTable(a);
}

// The editor's parts fill the frame's client area: status bar at the
// bottom, command line above it, the control in the rest.
void Layout(Hwnd frame, EditorRecord& r) {
  plat::Rect area;
  plat::getClientRect(frame, area);
  if (r.StatusBar) {
    Send(r.StatusBar, plat::wm::Size, 0, 0);
    plat::Rect sb;
    plat::getWindowRect(r.StatusBar, sb);
    area.bottom -= sb.height();
  }
  if (r.EditorToolbar) {
    Send(r.EditorToolbar, plat::tb::AutoSize);
    plat::Rect tb;
    plat::getWindowRect(r.EditorToolbar, tb);
    area.top += tb.height();
  }
  // The window's own toolbars: the top one under the editor's, the bottom
  // one above the status bar, both across the width; the left and right
  // ones between them at the window's toolbar widths.
  const int n = Window(frame);
  if (n >= 0) {
    const size_t k = static_cast<size_t>(n);
    const std::array<Hwnd, 4>& bars = T().Toolbars[k];
    const int width = area.width();
    plat::Rect br;
    if (bars[0] && plat::getWindowRect(bars[0], br)) {
      plat::moveWindow(bars[0], area.left, area.top, width, br.height(), true);
      area.top += br.height();
    }
    if (bars[3] && plat::getWindowRect(bars[3], br)) {
      area.bottom -= br.height();
      plat::moveWindow(bars[3], area.left, area.bottom, width, br.height(), true);
    }
    if (bars[1]) {
      plat::moveWindow(bars[1], area.left, area.top, T().Thickness[k][1], std::max(0, area.height()), true);
      area.left += T().Thickness[k][1];
    }
    if (bars[2]) {
      area.right -= T().Thickness[k][2];
      plat::moveWindow(bars[2], area.right, area.top, T().Thickness[k][2], std::max(0, area.height()), true);
    }
  }
  if (r.CommandLine) {
    const int h = r.CommandLineHeight;
    plat::Rect pr;
    plat::getWindowRect(r.PromptFrame, pr);
    const int pw = pr.width();
    plat::moveWindow(r.PromptFrame, area.left, area.bottom - h, pw, h, true);
    // one line: a combo box with history drops its list below when opened
    plat::moveWindow(r.CommandLine, area.left + pw, area.bottom - h, std::max(1, area.width() - pw), h, true);
    area.bottom -= h;
  }
  plat::moveWindow(r.EditControl, area.left, area.top, std::max(1, area.width()), std::max(1, area.height()), true);
  if (n >= 0 && T().Client[static_cast<size_t>(n)])
    plat::moveWindow(T().Client[static_cast<size_t>(n)], area.left, area.top, std::max(1, area.width()),
                     std::max(1, area.height()), false);
}

void CreateCommandLine(Hwnd frame, EditorRecord& r, bool history) {
  const uint32_t style = plat::ws::Child | plat::ws::Visible | plat::ws::ClipSiblings;
  const int h = std::max(r.CharHeight, 8) + 8;
  r.CommandLineHeight = h;
  if (history) {
    // the drop-down list brings its own scroll bar; one on the combo box
    // would stand beside the one line
    r.CommandLine = plat::createWindowEx(0, plat::kComboBoxClass, "",
                                        style | plat::cbs::DropDown | plat::cbs::AutoHScroll, 0, 0,
                                        10, h * 10, frame, {}, kEditorCommandLineId);
    r.CommandLineEdit = plat::getDlgItem(r.CommandLine, plat::kComboEditId);
  } else {
    r.CommandLine = plat::createWindowEx(0, plat::kEditClass, "", style | plat::es::AutoHScroll | plat::ws::Border,
                                        0, 0, 10, h, frame, {}, kEditorCommandLineId);
    r.CommandLineEdit = r.CommandLine;
  }
  Send(r.CommandLine, plat::wm::SetFont, static_cast<WParam>(r.Font), 0);
  r.PromptOffset = 2;
  r.PromptFrame = plat::createWindowEx(0, plat::kStaticClass, "", style | plat::ss::Center, 0, 0, 0, h, frame, {},
                                      kEditorPromptId);
  r.PromptLabel = plat::createWindowEx(0, plat::kStaticClass, "", plat::ws::Child | plat::ws::Visible | plat::ss::Center,
                                      0, r.PromptOffset, 0, h - r.PromptOffset, r.PromptFrame, {}, kEditorPromptId);
  Send(r.PromptLabel, plat::wm::SetFont, static_cast<WParam>(r.Font), 0);
  if (r.CommandLineEdit) r.CommandLineProc = plat::setWindowProc(r.CommandLineEdit, YYEditorCommandLineProc);
}


// The editor's own toolbar: the standard small images; formatting buttons
// come from bitmap resources 32101 and 2001 of the program, left out when
// it has none.
void CreateEditorToolbar(Hwnd frame, EditorRecord& r) {
  const uint32_t style = plat::ws::Child | plat::ws::Visible | plat::ws::ClipSiblings | plat::tbstyle::Tooltips;
  r.EditorToolbar = plat::createWindowEx(0, plat::kToolbarClass, "", style, 0, 0, 1, 1, frame, {}, 1001);
  if (!r.EditorToolbar) return;
  Send(r.EditorToolbar, plat::tb::ButtonStructSize, sizeof(plat::ToolbarButton));
  Send(r.EditorToolbar, plat::tb::SetBitmapSize, 0, plat::makeLParam(16, 15));
  Send(r.EditorToolbar, plat::tb::SetButtonSize, 0, plat::makeLParam(22, 21));
  plat::ToolbarBitmap standard;
  standard.standardSet = plat::kStdSmallImages;
  Send(r.EditorToolbar, plat::tb::AddBitmap, 15, reinterpret_cast<LParam>(&standard));
  // images of the standard set
  enum { kCut = 0, kCopy = 1, kPaste = 2, kUndo = 3, kRedo = 4, kNewFile = 6, kOpen = 7, kSave = 8, kFind = 12, kPrint = 14 };
  std::vector<plat::ToolbarButton> b;
  auto button = [&](int image, int command, bool enabled) {
    plat::ToolbarButton t;
    t.image = image;
    t.command = command;
    t.state = enabled ? plat::tbstate::Enabled : 0;
    b.push_back(t);
  };
  auto separator = [&]() {
    plat::ToolbarButton t;
    t.style = plat::btns::Sep;
    t.state = 0;
    b.push_back(t);
  };
  if (r.NewAllowed) button(kNewFile, kEdCmdNew, true);
  if (r.OpenAllowed) button(kOpen, kEdCmdOpen, true);
  if (r.SaveAllowed) button(kSave, kEdCmdSave, true);
  if (r.NewAllowed || r.OpenAllowed || r.SaveAllowed) separator();
  if (r.PrintAllowed) {
    button(kPrint, kEdCmdPrint, true);
    separator();
  }
  button(kFind, kEdCmdFind, true);
  separator();
  if (!r.ReadOnly) button(kCut, kEdCmdCut, false);
  button(kCopy, kEdCmdCopy, false);
  if (!r.ReadOnly) {
    button(kPaste, kEdCmdPaste, true);
    button(kUndo, kEdCmdUndo, false);
    if (Level() >= 2) button(kRedo, kEdCmdRedo, false);
  }
  if (r.RichText && !r.ReadOnly) {
    // bold, italic, underline, left, centre, right, bullets
    plat::ToolbarBitmap formats;
    formats.resourceId = 32101;
    const int f = static_cast<int>(Send(r.EditorToolbar, plat::tb::AddBitmap, 7, reinterpret_cast<LParam>(&formats)));
    if (f >= 0) {
      separator();
      button(f, kEdCmdBold, true);
      button(f + 1, kEdCmdItalic, true);
      if (!r.Extended) button(f + 2, kEdCmdUnderline, true);
      separator();
      button(f + 3, kEdCmdAlignLeft, true);
      b.back().state |= plat::tbstate::Checked;
      button(f + 4, kEdCmdAlignCentre, true);
      button(f + 5, kEdCmdAlignRight, true);
      separator();
      button(f + 6, kEdCmdBullets, true);
    }
    if (r.Extended) {
      plat::ToolbarBitmap inserts;
      inserts.resourceId = 2001;
      const int g = static_cast<int>(Send(r.EditorToolbar, plat::tb::AddBitmap, 2, reinterpret_cast<LParam>(&inserts)));
      if (g >= 0) {
        button(g, kEdCmdInsertPicture, true);
        button(g + 1, kEdCmdInsertLink, true);
      }
    }
  }
  Send(r.EditorToolbar, plat::tb::AddButtons, b.size(), reinterpret_cast<LParam>(b.data()));
  Send(r.EditorToolbar, plat::tb::AutoSize);
}

const char* TooltipText(const EditorRecord& r, int command) {
  switch (command) {
    case kEdCmdNew: return "New";
    case kEdCmdOpen: return "Open";
    case kEdCmdSave: return "Save";
    case kEdCmdPrint: return "Print";
    case kEdCmdPrintSelection: return "Print selected text";
    case kEdCmdUndo: return "Undo";
    case kEdCmdCut: return "Cut";
    case kEdCmdCopy: return "Copy";
    case kEdCmdPaste: return "Paste";
    case kEdCmdRedo: return "Redo";
    case kEdCmdFind: return "Find";
    case kEdCmdBullets: return "Bullets";
    case kEdCmdAlignLeft: return "Align Left";
    case kEdCmdAlignCentre: return "Centre";
    case kEdCmdAlignRight: return "Align Right";
    case kEdCmdBold: return "Bold";
    case kEdCmdItalic: return "Italic";
    case kEdCmdUnderline: return "Underline";
    case kEdCmdInsertPicture: return r.Extended ? "Insert Picture" : "";
    case kEdCmdInsertLink: return r.Extended ? "Insert Link" : "";
    default: return "";
  }
}

std::string ItemHelp(const EditorRecord& r, int id) {
  switch (id) {
    case kEdCmdNew: return "Creates a new document";
    case kEdCmdOpen: return "Opens an existing document";
    case kEdCmdSave: return "Saves the active document";
    case kEdCmdSaveAs: return "Saves the active document with a new name";
    case kEdCmdPrint: return "Prints the active document";
    case kEdCmdPrintSelection: return "Prints the selected text";
    case kEdCmdClose:
      return r.ReadOnly || !r.SaveAllowed ? "Closes the current document"
                                          : "Closes the current document; prompts you to save changes";
    case kEdCmdExit:
      return r.ReadOnly ? "Closes the browser"
             : r.SaveAllowed ? "Closes the editor; prompts you to save changes"
                             : "Closes the editor";
    case kEdCmdUndo: return "Reverses the last action";
    case kEdCmdCut: return "Cuts the selected text and places it on the clipboard";
    case kEdCmdCopy: return "Copies the selected text and places it on the clipboard";
    case kEdCmdPaste: return "Inserts clipboard contents";
    case kEdCmdDelete: return "Deletes the selected text";
    case kEdCmdSelectAll: return "Selects the entire document";
    case kEdCmdRedo: return "Redoes the last action that was undone";
    case kEdCmdFind: return "Finds the specified text";
    case kEdCmdFindNext: return "Repeats the last find";
    case kEdCmdReplace: return "Replaces specific text with different text";
    case kEdCmdSetBookmark: return "Bookmarks the current cursor position";
    case kEdCmdGotoBookmark: return "Moves to a previously bookmarked position";
    case kEdCmdFont: return "Selects the font for the selected or new text";
    case kEdCmdBullets: return "Inserts a bullet on this line";
    default: return {};
  }
}

const char* PopupHelp(const EditorRecord& r, plat::Hmenu popup) {
  if (!popup) return nullptr;
  if (popup == r.Menus[0]) return "Commands to Load, Save and Print files";
  if (popup == r.Menus[1]) return "Commands for editing text";
  if (popup == r.Menus[2]) return "Commands to locate and replace text";
  if (popup == r.Menus[3]) return "Commands to change the formatting of text";
  if (popup == r.Menus[4]) return "Commands to switch between files";
  return nullptr;
}

void SimpleStatus(const EditorRecord& r, const std::string& text) {
  if (!r.StatusBar) return;
  Send(r.StatusBar, plat::sb::SetText, plat::kSimplePart | plat::kSbtNoBorders, reinterpret_cast<LParam>(text.c_str()));
  plat::updateWindow(r.StatusBar);
}

// The buttons that follow the selection and the undo state.
// Cut and Copy follow the selection on the editor toolbar and on the
// window's own top toolbar; Cut only takes text that is not protected.
void FollowSelection(EditorRecord& r) {
  if (!plat::isWindowVisible(r.EditControl)) return;
  const plat::CharRange c = YYEditorSelection(r);
  const bool empty = c.min == c.max;
  if (r.EditorToolbar) {
    if (empty) {
      Send(r.EditorToolbar, plat::tb::EnableButton, kEdCmdCopy, 0);
      Send(r.EditorToolbar, plat::tb::EnableButton, kEdCmdCut, 0);
    } else {
      Send(r.EditorToolbar, plat::tb::EnableButton, kEdCmdCopy, 1);
      if (r.Menus[1]) plat::enableMenuItem(r.Menus[1], kEdCmdCopy, plat::mf::Enabled);
      plat::CharFormat f;
      Send(r.EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&f));
      const bool unprotected = (f.mask & plat::cfm::Protected) && !(f.effects & plat::cfe::Protected);
      Send(r.EditorToolbar, plat::tb::EnableButton, kEdCmdCut, unprotected);
    }
  }
  if (const Hwnd top = r.WindowToolbars[0]) {
    Send(top, plat::tb::EnableButton, kEdCmdCut, !empty);
    Send(top, plat::tb::EnableButton, kEdCmdCopy, !empty);
  }
}
void FollowUndo(EditorRecord& r) {
  const bool undo = Send(r.EditControl, plat::em::CanUndo) != 0, redo = Send(r.EditControl, plat::emr::CanRedo) != 0;
  for (const Hwnd bar : {r.EditorToolbar, r.WindowToolbars[0]}) {
    if (!bar) continue;
    Send(bar, plat::tb::EnableButton, kEdCmdUndo, undo);
    Send(bar, plat::tb::EnableButton, kEdCmdRedo, redo);
  }
}

void StatusLineCol(EditorRecord& r) {
  if (!r.StatusBar) return;
  const plat::CharRange c = YYEditorSelection(r);
  const int line = static_cast<int>(Send(r.EditControl, plat::em::LineFromChar, static_cast<WParam>(c.max)));
  const int start = static_cast<int>(Send(r.EditControl, plat::em::LineIndex, static_cast<WParam>(line)));
  Status(r, 0, "Line:" + std::to_string(line + 1) + "   Col:" + std::to_string(c.max - start + 1));
}

// A fresh empty document in the control.
void EmptyDocument(Hwnd frame, EditorRecord& r) {
  r.Guard = 0;
  YYEditorClear(r);
  Send(r.EditControl, plat::em::SetModify, 0);
  YYEditorFormatState(r);
  r.Changed = 0;
  r.Guard = 1;
  (void)frame;
}

}  // namespace

// --------------------------------------------------------------- opening

void YYEditorOpen(int32_t& status, int32_t& mode, int32_t menu, int32_t flags, int32_t fontIndex, int32_t fontSize,
                  int32_t fileType, int32_t container, const std::string& fileName, const std::string& filter) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (n == 0) {
    status = 1;
    return;
  }
  if (n < 0 || n > kLastWindow || !T().Frame[static_cast<size_t>(n)]) {
    status = 1;
    return;
  }
  const Hwnd frame = T().Frame[static_cast<size_t>(n)];
  std::string full;
  if (!fileName.empty()) plat::FullPath(fileName, full);

  if (EditorRecord* r = YYEditorRecordOf(frame)) {
    // An editor already: the call opens a file in it.
    const bool reuse = r->DocumentCount == 1 && Send(r->EditControl, plat::wm::GetTextLength) == 0 &&
                       Send(r->EditControl, plat::em::GetModify) == 0 && r->FileName.empty() &&
                       r->FileHandle[static_cast<size_t>(r->CurrentDocument - 1)] == 0;
    if (r->SeveralDocuments && !reuse) {
      YYEditorStoreName(n, r->CurrentDocument, r->FileName);
      // Names are compared exactly: two names that differ in case are two files here.
      for (int32_t d = 1; d <= r->DocumentCount; ++d) {
        std::string name = d == r->CurrentDocument ? r->FileName : YYEditorDocumentNameOf(n, d);
        if (!full.empty() && name == full) {
          YYEditorSelectDocument(frame, d);
          return;
        }
      }
      if (r->DocumentCount >= 20) {
        status = 12;
        return;
      }
      plat::checkMenuItem(ViewMenu(*r), static_cast<uint32_t>(kEdCmdView + r->CurrentDocument), plat::mf::Unchecked);
      YYEditorKeepDocument(n, r->CurrentDocument);
      r->FileName = full;
      ++r->DocumentCount;
      r->CurrentDocument = r->DocumentCount;
      const size_t d = static_cast<size_t>(r->CurrentDocument - 1);
      r->Bookmark[d] = -1;
      r->BookmarkLength[d] = -1;
      r->FileHandle[d] = 0;
      if (!full.empty()) {
        if (!YYEditorLoad(frame, 1)) {
          EmptyDocument(frame, *r);
        }
      } else {
        EmptyDocument(frame, *r);
      }
      YYEditorStoreName(n, r->CurrentDocument, r->FileName);
      plat::appendMenu(ViewMenu(*r), plat::mf::String | plat::mf::Checked,
                       static_cast<uintptr_t>(kEdCmdView + r->CurrentDocument),
                       DocumentItemText(r->CurrentDocument, r->FileName));
    } else {
      r->FileName = full;
      if (!full.empty()) {
        YYEditorCloseFile(frame);
        if (!YYEditorLoad(frame, 1)) r->FileName.clear();
        else if (r->SeveralDocuments)
          plat::modifyMenu(ViewMenu(*r), static_cast<uint32_t>(kEdCmdView + 1), plat::mf::String, kEdCmdView + 1,
                           DocumentItemText(1, r->FileName));
      }
    }
    r->FileType[static_cast<size_t>(r->CurrentDocument - 1)] = fileType < 0 ? 1 : fileType;
    YYEditorTitle(frame);
    return;
  }
  if (YYWindowRecordOf(frame) != nullptr) {
    status = 8;
    return;
  }
  const Hwnd client = T().Client[static_cast<size_t>(n)];
  if (client && !plat::childWindows(client).empty()) {
    status = 11;
    return;
  }
  const bool insideParent = plat::getWindowStyle(frame) & plat::ws::Child;
  bool menus = !(flags & kEdNoMenu);
  // A pane of split containers: its menu goes to the outermost container
  // when that one is a top-level window.
  const int32_t outer = insideParent ? YYSplitOutermost(n) : -1;
  PendingUpdates pending{};
  if (insideParent) {
    const bool outerIsChild = outer < 0 || (plat::getWindowStyle(T().Frame[static_cast<size_t>(outer)]) & plat::ws::Child);
    if (mode != 2) {
      if (mode == 1) {
        int32_t ignored = 0;
        YYSnapshotMode(0, -1, ignored);
      }
      status = 5;
      mode = 2;
    }
    if (menu != 0 && outerIsChild) status = 4;
    if (outerIsChild) menus = false;
    if (outer >= 0) pending = YYPendingUpdates();
  }
  if (mode == 1 && menu != 0) {
    status = 2;
    menu = 0;
  }

  auto owned = std::make_unique<EditorRecord>();
  EditorRecord& r = *owned;
  Editors()[frame.value] = std::move(owned);
  std::vector<int32_t>& words = YYWindowRecordAttach(frame, 24);
  words[0] = kKindEditor;
  r.Bookmark.fill(-1);
  r.BookmarkLength.fill(-1);
  r.ReadOnly = flags & kEdReadOnly;
  r.NewAllowed = !(flags & kEdNoNewOpen) && !r.ReadOnly;
  r.OpenAllowed = !(flags & kEdNoNewOpen);
  r.SaveAllowed = !(flags & kEdNoSave) && !r.ReadOnly;
  r.SaveAsAllowed = !(flags & kEdNoSaveAs) && !(flags & kEdNoSave);
  r.PrintAllowed = !(flags & kEdNoPrint);
  r.RichText = flags & kEdRichText;
  r.SeveralDocuments = flags & kEdDocuments;
  r.NoClose = flags & kEdNoClose;
  r.HideName = flags & kEdHideName;
  r.QuietOpen = flags & kEdQuietOpen;
  r.ProgramPrints = flags & kEdProgramPrints;
  r.Extended = flags & kEdExtended;
  r.RawPositions = flags & kEdRawPositions;
  r.Backup = flags & kEdBackup;
  r.ModifiedMarker = flags & kEdModifiedMarker;
  r.WordWrap = flags & kEdWordWrap;
  r.Mode = mode;
  r.FileType[0] = fileType < 0 ? 1 : fileType;
  // The filter: its last character separates descriptions and patterns.
  std::string f = filter.substr(0, 1000);
  if (!f.empty()) {
    const char sep = f.back();
    std::vector<std::string> parts;
    std::string cur;
    for (char c : f) {
      if (c == sep) {
        parts.push_back(cur);
        cur.clear();
      } else {
        cur += c;
      }
    }
    for (size_t k = 0; k + 1 < parts.size(); k += 2) {
      if (parts[k].empty()) break;
      r.Filter.push_back({parts[k], parts[k + 1]});
    }
  }
  if (r.Filter.empty()) {
    if (r.RichText) r.Filter.push_back({"Rich Text Files (*.RTF)", "*.RTF"});
    r.Filter.push_back({"Text Files (*.TXT)", "*.TXT"});
    r.Filter.push_back({"All Files (*.*)", "*.*"});
  }
  BuildAccelerators(r);
  if (client) plat::showWindow(client, plat::ShowCmd::Hide);
  if (menus) {
    BuildMenus(r, mode == 1 ? 0 : menu, mode != 1);
    if (r.MenuMissing) status = 3;
    const size_t k = static_cast<size_t>(n);
    const plat::Hmenu old = insideParent ? T().Menu[k] : plat::getMenu(frame);
    // containers that showed the pane's earlier menu forget it
    if (insideParent) YYSplitForgetPane(n);
    else plat::setMenu(frame, r.MenuBar);
    if (old && old != r.MenuBar) plat::destroyMenu(old);
    if (T().Accelerators[k]) plat::destroyAcceleratorTable(T().Accelerators[k]);
    T().Accelerators[k] = {};
    T().MenuStrings[k] = {};
    T().Menu[k] = r.MenuBar;
    words[15] = static_cast<int32_t>(r.MenuBar.value);
    if (outer >= 0 && YYSplitHandMenu(n, container, r.MenuBar)) BuildPaneAccelerators(r);
    // the help texts of the program's items, for the frame's menu help
    T().MenuStrings[static_cast<size_t>(n)] =
        mode != 1 && menu != 0 ? plat::res::findData(plat::res::kMenuStringType, menu) : std::span<const uint8_t>{};
  }
  if (mode != 1 && menu != 0) r.UserAccelerators = plat::loadAccelerators(menu);
  if (mode != 1) {
    // The toolkit's event wait looks for a window's keys through its
    // accelerator slot and puts the editor's own before the slot's: the
    // slot holds the program's table, or the built-in one when there is
    // none, so that the editor's keys are found. A table of a menu the
    // editor replaced goes with that menu.
    plat::Haccel& slot = T().Accelerators[static_cast<size_t>(n)];
    if (menus || !slot) {
      if (slot) plat::destroyAcceleratorTable(slot);
      slot = r.UserAccelerators ? r.UserAccelerators : r.BuiltinAccelerators;
    }
  }
  r.WindowToolbars = mode == 1 ? std::array<Hwnd, 4>{} : T().Toolbars[static_cast<size_t>(n)];
  if (!(flags & kEdNoToolbar)) {
    CreateEditorToolbar(frame, r);
    words[6] = static_cast<int32_t>(r.EditorToolbar.value);
  }
  r.StatusBar = T().StatusBar[static_cast<size_t>(n)];
  if (r.StatusBar) {
    const bool caption = plat::getWindowStyle(frame) & plat::ws::Caption;
    const int edges[5] = {130, 170, 210, 250, -1};
    Send(r.StatusBar, plat::sb::SetParts, caption ? 4 : 5, reinterpret_cast<LParam>(edges));
    Status(r, 0, "Line:1   Col:1");
    Status(r, 1, (plat::getKeyState(plat::vk::Capital) & 1) ? "\tCAPS" : "");
    Status(r, 2, (plat::getKeyState(plat::vk::NumLock) & 1) ? "\tNUM" : "");
    Status(r, 3, "\tINS");
  }
  YYEditorMakeFont(r, fontIndex, fontSize);
  if (flags & (kEdCommandLine | kEdCommandHistory)) {
    if (mode == 1) status = 7;
    else CreateCommandLine(frame, r, flags & kEdCommandHistory);
  }
  r.InsertMode = 1;
  const bool newer = Level() >= 2;
  uint32_t style = plat::ws::Child | plat::ws::Visible | plat::ws::VScroll | plat::es::MultiLine |
                   plat::es::AutoVScroll | plat::es::NoHideSel;
  if (r.ReadOnly) style |= plat::es::ReadOnly;
  if (!r.WordWrap) style |= plat::ws::HScroll | plat::es::AutoHScroll;
  r.EditControl = plat::createWindowEx(plat::wsx::ClientEdge, newer ? plat::kRichEdit20Class : plat::kRichEdit10Class,
                                      "", style, 0, 0, 10, 10, frame, {}, kEditorControlId);
  words[5] = static_cast<int32_t>(r.EditControl.value);
  Send(r.EditControl, plat::wm::SetFont, static_cast<WParam>(r.Font), 0);
  Send(r.EditControl, plat::emr::ExLimitText, 0, r.TextLimit);
  r.FindBlock.owner = frame;
  r.FindBlock.flags = plat::fr::Down | (Level() == 1 ? plat::fr::NoUpDown | plat::fr::HideUpDown : 0);
  if (insideParent) {
    r.FindBlock.flags |= plat::fr::EnableHook;
    r.FindBlock.hook = YYEditorFindHook;
  }
  uint32_t mask = plat::enm::Change | plat::enm::Scroll | plat::enm::MouseEvents | plat::enm::SelChange |
                  plat::enm::Protected;
  if (r.StatusBar) mask |= plat::enm::KeyEvents;
  Send(r.EditControl, plat::emr::SetEventMask, 0, static_cast<LParam>(mask));
  r.FocusTarget = r.CommandLineEdit ? r.CommandLineEdit : r.EditControl;
  Layout(frame, r);
  r.FrameProc = plat::setWindowProc(frame, YYEditorProc);
  r.Caption = plat::getWindowText(frame).substr(0, 1024);
  r.FileName = full;
  if (!full.empty() && !YYEditorLoad(frame, 1)) {
    // a new editor keeps the name with an empty text
  }
  plat::setFocus(r.FocusTarget);
  Send(r.EditControl, plat::em::SetModify, 0);
  r.Changed = 0;
  if (mode == 3) ++DialogManager().SemiModalCount;
  if (!plat::isWindowEnabled(frame)) plat::enableWindow(frame, true);
  plat::showWindow(frame, plat::ShowCmd::Show);
  YYWindowFocus(frame);
  if (mode == 1 || mode == 3) YYDisableOthers(frame, 1);
  // only the new editor repaints
  if (outer >= 0) YYValidateUnpending(pending, {});
  if (mode != 1) return;

  // The modal editor's own loop, until it closes.
  plat::Msg msg;
  while (EditorRecord* live = YYEditorRecordOf(frame)) {
    if (live->ModalEnd) break;
    if (!plat::getMessage(msg, {}, 0, 0)) break;
    if (live->BuiltinAccelerators && plat::translateAccelerator(frame, live->BuiltinAccelerators, msg)) continue;
    if (live->FindDialog && plat::isDialogMessage(live->FindDialog, msg)) continue;
    if (msg.message == 0x118 && msg.wParam == 65526) continue;
    plat::translateMessage(msg);
    plat::dispatchMessage(msg);
  }
  Editors().erase(frame.value);
  const Hwnd root = T().Frame[0];
  YYEnableOthers(frame, 1);
  if (root) YYWindowFocus(root);
}

// ---------------------------------------------------------------- closing

namespace {

void FillFinalState(const EditorRecord& r) {
  EditorFinalStateRecord& f = EditorFinalState();
  f.NotModified = Send(r.EditControl, plat::em::GetModify) ? 0 : 1;
  f.TextLength = Converts(r) || Level() < 2 ? YYEditorTextLength(r.EditControl, false) : static_cast<int32_t>(YYEditorControlText(r, 0, -1).size());
  f.Changed = r.Changed;
  const plat::CharRange c = YYEditorSelection(r);
  f.SelectionStart = ToPlain(r, c.min);
  f.SelectionEnd = ToPlain(r, c.max);
  f.CurrentDocument = r.CurrentDocument;
  f.DocumentCount = r.DocumentCount;
  f.FirstLine = static_cast<int32_t>(Send(r.EditControl, plat::em::GetFirstVisibleLine));
  f.FontIndex = r.FontIndex;
  f.FontSize = r.FontSize;
  f.FindText = r.FindText;
  f.ReplaceText = r.ReplaceText;
  f.FileName = r.FileName;
}

LResult Close(Hwnd frame, EditorRecord& r) {
  const int n = Window(frame);
  const int32_t start = r.CurrentDocument;
  int32_t go = YYEditorSavePrompt(frame, r);
  if (r.SeveralDocuments && go) {
    for (int32_t d = 1; d <= r.DocumentCount && go; ++d) {
      if (d == r.CurrentDocument) continue;
      int32_t notModified = 1;
      YYEditorDocumentNotModified(n, d, notModified);
      if (notModified) continue;
      YYEditorSelectDocument(frame, d);
      go = YYEditorSavePrompt(frame, r);
    }
  }
  if (!go) {
    if (r.SeveralDocuments && r.CurrentDocument != start) YYEditorSelectDocument(frame, start);
    return 0;
  }
  if (r.Mode != 1) {
    YYEventStore(EventCloseAsked, 0, 0, 0, frame);
    return 0;
  }
  r.ModalEnd = 1;
  FillFinalState(r);
  plat::destroyWindow(frame);
  return 0;
}

void Destroyed(Hwnd frame, EditorRecord& r) {
  // The find dialog talks to this editor through the record's request
  // block, so it goes with the editor. The system takes it down with a
  // top-level frame, but a frame inside its parent only stands as its
  // owner here: its top-level window really owns it and stays.
  if (const Hwnd find = r.FindDialog) {
    r.FindDialog = {};
    plat::destroyWindow(find);
  }
  if (r.Mode == 3 && DialogManager().SemiModalCount > 0) {
    --DialogManager().SemiModalCount;
    YYEnableOthers(frame, 1);
  }
  if (const int k = Window(frame); k >= 0) {
    plat::Haccel& slot = T().Accelerators[static_cast<size_t>(k)];
    if (slot && (slot == r.BuiltinAccelerators || slot == r.UserAccelerators)) slot = {};
  }
  if (r.BuiltinAccelerators) plat::destroyAcceleratorTable(r.BuiltinAccelerators);
  if (r.UserAccelerators) plat::destroyAcceleratorTable(r.UserAccelerators);
  if (r.PaneAccelerators) plat::destroyAcceleratorTable(r.PaneAccelerators);
  r.BuiltinAccelerators = r.UserAccelerators = r.PaneAccelerators = {};
  if (r.Font) plat::deleteObject(r.Font);
  r.Font = 0;
  for (int32_t& h : r.FileHandle) {
    if (h > 0) plat::FileClose(h - 1);
    h = 0;
  }
  const int n = Window(frame);
  if (n > 0) {
    for (int32_t d = 1; d <= kEditorDocuments; ++d) YYEditorRemoveDocument(n, 1);
    if (r.Mode == 1) {
      // the window is gone with the modal editor
      const size_t k = static_cast<size_t>(n);
      T().Frame[k] = {};
      T().Client[k] = {};
      T().StatusBar[k] = {};
      T().Menu[k] = {};
      if (WindowDrawing().CurrentWindow == n) WindowDrawing().CurrentWindow = 0;
    }
  }
}

// ------------------------------------------------------------- commands

void GotoBookmark(EditorRecord& r) {
  const int b = r.Bookmark[static_cast<size_t>(r.CurrentDocument - 1)];
  if (b < 0) return;
  YYEditorSetSelection(r, b, b);
  Send(r.EditControl, plat::em::ScrollCaret);
}

void NewCommand(Hwnd frame, EditorRecord& r) {
  const int n = Window(frame);
  if (r.SeveralDocuments) {
    if (r.DocumentCount >= 20) return;
    plat::checkMenuItem(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + r.CurrentDocument), plat::mf::Unchecked);
    YYEditorKeepDocument(n, r.CurrentDocument);
    YYEditorStoreName(n, r.CurrentDocument, r.FileName);
    r.Guard = 0;
    YYEditorClear(r);
    Send(r.EditControl, plat::em::SetModify, 0);
    YYEditorFormatState(r);
    r.Changed = 0;
    ReportCommand(frame, kEdCmdNew);
    r.Guard = 1;
    const int32_t type = r.FileType[static_cast<size_t>(r.CurrentDocument - 1)];
    ++r.DocumentCount;
    r.CurrentDocument = r.DocumentCount;
    const size_t d = static_cast<size_t>(r.CurrentDocument - 1);
    r.FileType[d] = type;
    r.Bookmark[d] = r.BookmarkLength[d] = -1;
    r.FileHandle[d] = 0;
    r.FileName.clear();
    YYEditorTitle(frame);
    plat::appendMenu(ViewMenu(r), plat::mf::String | plat::mf::Checked, static_cast<uintptr_t>(kEdCmdView + r.CurrentDocument),
                     DocumentItemText(r.CurrentDocument, ""));
    return;
  }
  if (!YYEditorSavePrompt(frame, r)) return;
  r.Guard = 0;
  YYEditorCloseFile(frame);
  r.FileName.clear();
  YYEditorClear(r);
  Send(r.EditControl, plat::em::SetModify, 0);
  YYEditorFormatState(r);
  r.Changed = 0;
  r.Bookmark[static_cast<size_t>(r.CurrentDocument - 1)] = -1;
  YYEditorTitle(frame);
  ReportCommand(frame, kEdCmdNew);
  r.Guard = 1;
}

void OpenCommand(Hwnd frame, EditorRecord& r) {
  const int n = Window(frame);
  if (r.SeveralDocuments && r.DocumentCount >= 20) return;
  if (!r.SeveralDocuments && !YYEditorSavePrompt(frame, r)) return;
  // However the command ends, a frame inside its parent has the focus
  // back afterwards.
  struct Refocus {
    Hwnd frame;
    ~Refocus() { YYEditorRefocus(frame); }
  } refocus{frame};
  plat::OpenFileName ofn;
  ofn.owner = frame;
  ofn.filters = r.Filter;
  ofn.filterIndex = r.FileType[static_cast<size_t>(r.CurrentDocument - 1)];
  ofn.file = r.FileName;
  ofn.maxFile = kEditorNameRoom;
  ofn.flags = plat::ofn::FileMustExist | plat::ofn::HideReadOnly | plat::ofn::NoChangeDir;
  ofn.hasDefExt = true;
  if (r.Mode == 2) YYDisableOthers(frame, 1);
  const bool ok = plat::getOpenFileName(ofn);
  if (r.Mode == 2) YYEnableOthers(frame, 1);
  if (!ok) return;
  const std::string chosen = ofn.file;
  const bool reuse = r.DocumentCount == 1 && Send(r.EditControl, plat::wm::GetTextLength) == 0 &&
                     Send(r.EditControl, plat::em::GetModify) == 0 && r.FileName.empty() &&
                     r.FileHandle[static_cast<size_t>(r.CurrentDocument - 1)] == 0;
  const bool adding = r.SeveralDocuments && !reuse;
  const int32_t previous = r.CurrentDocument;
  const std::string previousName = r.FileName;
  int32_t already = 0;
  if (adding) {
    YYEditorStoreName(n, r.CurrentDocument, r.FileName);
    for (int32_t d = 1; d <= r.DocumentCount; ++d)
      if ((d == r.CurrentDocument ? r.FileName : YYEditorDocumentNameOf(n, d)) == chosen) already = d;
    if (already == 0) {
      r.FileName = chosen;
      plat::checkMenuItem(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + r.CurrentDocument), plat::mf::Unchecked);
      YYEditorKeepDocument(n, r.CurrentDocument);
      ++r.DocumentCount;
      r.CurrentDocument = r.DocumentCount;
      r.FileHandle[static_cast<size_t>(r.CurrentDocument - 1)] = 0;
    }
  } else {
    YYEditorCloseFile(frame);
    r.FileName = chosen;
  }
  r.FileType[static_cast<size_t>(r.CurrentDocument - 1)] = ofn.filterIndex;
  if (already > 0) {
    YYEditorSelectDocument(frame, already);
    ReportCommand(frame, kEdCmdView + already);
    return;
  }
  if (YYEditorLoad(frame, 0)) {
    if (adding) {
      YYEditorStoreName(n, r.CurrentDocument, r.FileName);
      plat::appendMenu(ViewMenu(r), plat::mf::String | plat::mf::Checked, static_cast<uintptr_t>(kEdCmdView + r.CurrentDocument),
                       DocumentItemText(r.CurrentDocument, r.FileName));
    } else if (r.SeveralDocuments) {
      plat::modifyMenu(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + 1), plat::mf::String, kEdCmdView + 1,
                       DocumentItemText(1, r.FileName));
    }
    YYEditorTitle(frame);
    ReportCommand(frame, kEdCmdOpen);
  } else if (adding) {
    --r.DocumentCount;
    r.CurrentDocument = previous;
    YYEditorRestoreDocument(n, previous);
    r.FileName = YYEditorDocumentNameOf(n, previous);
    plat::checkMenuItem(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + previous), plat::mf::Checked);
    YYEditorTitle(frame);
  } else {
    r.FileName = previousName;
    YYEditorTitle(frame);
  }
}

void CloseDocumentCommand(Hwnd frame, EditorRecord& r) {
  const int n = Window(frame);
  if (!YYEditorSavePrompt(frame, r)) return;
  if (r.DocumentCount == 1) {
    r.Guard = 0;
    YYEditorCloseFile(frame);
    r.FileName.clear();
    YYEditorClear(r);
    Send(r.EditControl, plat::em::SetModify, 0);
    YYEditorFormatState(r);
    r.Changed = 0;
    r.Bookmark[0] = -1;
    YYEditorTitle(frame);
    r.Guard = 1;
    plat::modifyMenu(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + 1), plat::mf::String | plat::mf::Checked,
                     kEdCmdView + 1, DocumentItemText(1, ""));
  } else {
    YYEditorCloseFile(frame);
    const int32_t c = r.CurrentDocument;
    YYEditorRemoveDocument(n, c);
    for (int32_t d = c; d < 20; ++d) {
      const size_t k = static_cast<size_t>(d - 1);
      r.FileType[k] = r.FileType[k + 1];
      r.FileHandle[k] = r.FileHandle[k + 1];
      r.Bookmark[k] = r.Bookmark[k + 1];
      r.BookmarkLength[k] = r.BookmarkLength[k + 1];
    }
    r.FileHandle[19] = 0;
    for (int32_t d = c; d < r.DocumentCount; ++d)
      plat::modifyMenu(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + d), plat::mf::String, static_cast<uintptr_t>(kEdCmdView + d),
                       DocumentItemText(d, YYEditorDocumentNameOf(n, d)));
    plat::deleteMenu(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + r.DocumentCount), plat::mf::ByCommand);
    --r.DocumentCount;
    if (r.CurrentDocument > r.DocumentCount) r.CurrentDocument = r.DocumentCount;
    plat::checkMenuItem(ViewMenu(r), static_cast<uint32_t>(kEdCmdView + r.CurrentDocument), plat::mf::Checked);
    YYEditorRestoreDocument(n, r.CurrentDocument);
    r.FileName = YYEditorDocumentNameOf(n, r.CurrentDocument);
    YYEditorTitle(frame);
  }
  ReportCommand(frame, kEdCmdClose);
}

void OpenFindDialog(Hwnd frame, EditorRecord& r, bool replace) {
  r.FindBlock.flags &= ~plat::fr::DialogTerm;
  if (r.FindDialog) plat::destroyWindow(r.FindDialog);
  r.FindBlock.findWhat = r.FindText;
  r.FindBlock.replaceWith = r.ReplaceText;
  r.FindBlock.owner = frame;
  r.FindDialog = replace ? plat::replaceText(r.FindBlock) : plat::findText(r.FindBlock);
}

void Command(Hwnd frame, EditorRecord& r, int32_t id) {
  switch (id) {
    case kEdCmdNew: if (r.NewAllowed) NewCommand(frame, r); return;
    case kEdCmdOpen: if (r.OpenAllowed) OpenCommand(frame, r); return;
    case kEdCmdSave: if (r.SaveAllowed && YYEditorSave(frame, 0)) ReportCommand(frame, id); return;
    case kEdCmdSaveAs: if (r.SaveAsAllowed && YYEditorSave(frame, 1)) ReportCommand(frame, id); return;
    case kEdCmdPrint:
    case kEdCmdPrintSelection:
      if (!r.PrintAllowed) return;
      if (r.ProgramPrints) {
        ReportCommand(frame, id);
        return;
      }
      if (YYEditorPrint(frame, r, id == kEdCmdPrintSelection ? 1 : 0, 1, 0, 0, "")) ReportCommand(frame, id);
      return;
    case kEdCmdClose: if (r.SeveralDocuments) CloseDocumentCommand(frame, r); return;
    case kEdCmdExit: plat::sendMessage(frame, plat::wm::Close, 0, 0); return;
    case kEdCmdUndo: if (!r.ReadOnly) Send(r.EditControl, plat::em::Undo); break;
    case kEdCmdRedo: if (!r.ReadOnly) Send(r.EditControl, plat::emr::Redo); break;
    case kEdCmdCut: if (!r.ReadOnly) Send(r.EditControl, plat::wm::Cut); break;
    case kEdCmdCopy: Send(r.EditControl, plat::wm::Copy); break;
    case kEdCmdDelete: if (!r.ReadOnly) Send(r.EditControl, plat::wm::Clear); break;
    case kEdCmdPaste: if (!r.ReadOnly) YYEditorPaste(r); break;
    case kEdCmdSelectAll:
      YYEditorSetSelection(r, 0, -1);
      Send(r.EditControl, plat::em::ScrollCaret);
      break;
    case kEdCmdFind: OpenFindDialog(frame, r, false); break;
    case kEdCmdReplace: if (!r.ReadOnly) OpenFindDialog(frame, r, true); break;
    case kEdCmdFindNext: YYEditorFindNext(frame, r, r.FindBlock); break;
    case kEdCmdSetBookmark: {
      const size_t d = static_cast<size_t>(r.CurrentDocument - 1);
      r.Bookmark[d] = YYEditorSelection(r).max;
      r.BookmarkLength[d] = static_cast<int32_t>(YYEditorControlText(r, 0, -1).size());
      if (r.Menus[2]) plat::enableMenuItem(r.Menus[2], kEdCmdGotoBookmark, plat::mf::Enabled);
      break;
    }
    case kEdCmdGotoBookmark: GotoBookmark(r); break;
    case kEdCmdFont: if (r.RichText && !r.ReadOnly) YYEditorFontDialog(frame, r); break;
    case kEdCmdBullets: if (r.RichText && !r.ReadOnly) YYEditorBullet(r); break;
    case kEdCmdAlignLeft:
    case kEdCmdAlignCentre:
    case kEdCmdAlignRight: if (r.RichText && !r.ReadOnly) YYEditorAlign(r, id); break;
    case kEdCmdBold:
    case kEdCmdItalic:
    case kEdCmdUnderline: if (r.RichText && !r.ReadOnly) YYEditorStyle(r, id); break;
    default:
      if (id > kEdCmdView && id <= kEdCmdView + 20) {
        if (id - kEdCmdView <= r.DocumentCount) YYEditorSelectDocument(frame, id - kEdCmdView);
      }
      break;
  }
  ReportCommand(frame, id);
}

void TextChanged(Hwnd frame, EditorRecord& r) {
  FollowUndo(r);
  r.Changed = 1;
  r.CachedRich = r.CachedPlain = -1;
  if (r.ModifiedMarker) YYEditorTitle(frame);
  const size_t d = static_cast<size_t>(r.CurrentDocument - 1);
  if (r.Bookmark[d] >= 0) {
    const int length = static_cast<int>(YYEditorControlText(r, 0, -1).size());
    const int diff = length - r.BookmarkLength[d];
    // text typed or removed before the bookmark moves it
    if (r.Bookmark[d] >= YYEditorSelection(r).min - diff) r.Bookmark[d] = std::max(0, r.Bookmark[d] + diff);
    r.BookmarkLength[d] = length;
  }
}

}  // namespace

LResult YYEditorProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  EditorRecord* r = YYEditorRecordOf(w);
  if (!r) return plat::defWindowProc(w, message, wp, lp);
  const plat::WndProc frameProc = r->FrameProc;
  if (message == WindowManagerState().FindReplaceMessage && message != 0) {
    const plat::FindReplace* fr = reinterpret_cast<const plat::FindReplace*>(lp);
    if (!fr) return 0;
    r->FindText = fr->findWhat.substr(0, 1023);
    r->ReplaceText = fr->replaceWith.substr(0, 1023);
    r->FindBlock.flags = (r->FindBlock.flags & ~(plat::fr::Down | plat::fr::WholeWord | plat::fr::MatchCase)) |
                         (fr->flags & (plat::fr::Down | plat::fr::WholeWord | plat::fr::MatchCase));
    r->FindBlock.findWhat = r->FindText;
    r->FindBlock.replaceWith = r->ReplaceText;
    if (fr->flags & plat::fr::DialogTerm) r->FindDialog = {};
    else if (fr->flags & plat::fr::FindNext) YYEditorFindNext(w, *r, r->FindBlock);
    else if (fr->flags & plat::fr::Replace) YYEditorReplaceOne(w, *r, r->FindBlock);
    else if (fr->flags & plat::fr::ReplaceAll) {
      YYEditorSetSelection(*r, 0, 0);
      while (YYEditorReplaceOne(w, *r, r->FindBlock)) {}
    }
    return 0;
  }
  switch (message) {
    case plat::wm::Size:
      // The editor lays its parts out itself; the frame's own layout would
      // put the window's bars over the editor's and reset the status parts.
      YYChildFrameSized(w, Window(w), wp);
      if (wp != plat::kSizeMinimized) Layout(w, *r);
      return 0;
    case plat::wm::Close: return Close(w, *r);
    case plat::wm::Destroy: {
      Destroyed(w, *r);
      const LResult out = frameProc ? plat::callWindowProc(frameProc, w, message, wp, lp) : 0;
      if (r->Mode != 1) Editors().erase(w.value);
      return out;
    }
    case plat::wm::EraseBkgnd: return 1;
    case plat::wm::SetFocus:
      DialogManager().MainFrame = w;
      DialogManager().ActiveModeless = {};
      if (r->FocusTarget) plat::setFocus(r->FocusTarget);
      return 0;
    case plat::wm::MouseActivate:
    case plat::wm::ParentNotify:
      if (YYChildFrameClicked(w, message, wp)) return 0;
      break;
    case plat::wm::Command: {
      const int id = plat::loWord(wp), code = plat::hiWord(wp);
      const Hwnd from = plat::handleFrom<Hwnd>(lp);
      if (from == r->EditControl) {
        if (code == plat::en::Change) TextChanged(w, *r);
        if (code == plat::en::VScroll && Level() == 2) plat::invalidateRect(r->EditControl, nullptr, true);
        if (code == plat::en::SetFocus) {
          r->FocusTarget = r->EditControl;
          YYSplitActivatePane(Window(w));
        }
        return 0;
      }
      if (from && (from == r->CommandLine || from == r->CommandLineEdit)) {
        if ((from == r->CommandLine && code == plat::cbn::SetFocus) ||
            (from == r->CommandLineEdit && code == plat::en::SetFocus)) {
          r->FocusTarget = r->CommandLineEdit;
          YYSplitActivatePane(Window(w));
        }
        return 0;
      }
      if (code < 2) Command(w, *r, id);
      return 0;
    }
    case plat::wm::MenuSelect: {
      if (!r->StatusBar) break;
      const uint32_t flags = plat::hiWord(wp);
      if (flags == plat::kMenuClosed && lp == 0) break;
      std::string text;
      if (flags & plat::kMsfPopup) {
        const char* t = PopupHelp(*r, plat::getSubMenu(plat::handleFrom<plat::Hmenu>(lp), plat::loWord(wp)));
        if (!t) break;
        text = t;
      } else {
        text = ItemHelp(*r, plat::loWord(wp));
        if (text.empty()) break;
      }
      SimpleStatus(*r, text);
      return 0;
    }
    case plat::wm::ContextMenu: {
      if (!r->Menus[1]) return 0;
      plat::Point at = plat::pointFromParam(static_cast<uintptr_t>(lp));
      if (lp == -1) {
        // from the keyboard: under the caret
        plat::Point caret{0, 0};
        const plat::CharRange c = YYEditorSelection(*r);
        if (Level() == 2) {
          const LResult packed = Send(r->EditControl, plat::emr::PosFromChar, static_cast<WParam>(c.max));
          caret = {plat::xFromParam(static_cast<uintptr_t>(packed)), plat::yFromParam(static_cast<uintptr_t>(packed))};
        } else {
          Send(r->EditControl, plat::emr::PosFromChar, reinterpret_cast<WParam>(&caret), c.max);
        }
        int num = 0, den = 0;
        Send(r->EditControl, plat::emr::GetZoom, reinterpret_cast<WParam>(&num), reinterpret_cast<LParam>(&den));
        const int h = Level() == 3 && num > 0 && den > 0 ? r->CharHeight * num / den : r->CharHeight;
        at = plat::clientToScreen(r->EditControl, {caret.x, caret.y + h});
      }
      plat::trackPopupMenu(r->Menus[1], 0, at.x, at.y, w);
      return 0;
    }
    case plat::wm::Notify: {
      const plat::NotifyHeader* h = reinterpret_cast<const plat::NotifyHeader*>(lp);
      if (h && h->code == plat::kTtnNeedText && r->EditorToolbar &&
          h->hwndFrom == plat::handleFrom<Hwnd>(static_cast<uintptr_t>(Send(r->EditorToolbar, plat::tb::GetToolTips)))) {
        plat::ToolTipText* t = reinterpret_cast<plat::ToolTipText*>(lp);
        const char* text = TooltipText(*r, static_cast<int>(h->idFrom));
        std::strncpy(t->text, text, sizeof t->text - 1);
        return 0;
      }
      if (!h || h->hwndFrom != r->EditControl) break;
      if (h->code == plat::ren::SelChange) {
        FollowSelection(*r);
        StatusLineCol(*r);
        YYEditorFormatState(*r);
        return 0;
      }
      if (h->code == plat::ren::Protected) {
        const plat::EnProtected* p = reinterpret_cast<const plat::EnProtected*>(lp);
        if (p->msg == plat::wm::Copy) return 0;
        return r->Guard ? 1 : 0;
      }
      if (h->code == plat::ren::MsgFilter) {
        const plat::MsgFilter* f = reinterpret_cast<const plat::MsgFilter*>(lp);
        if (f->msg != plat::wm::KeyDown) return 0;
        const bool shift = plat::getKeyState(plat::vk::Shift) < 0, ctrl = plat::getKeyState(plat::vk::Control) < 0;
        const bool alt = plat::getKeyState(plat::vk::Menu) < 0;
        switch (f->wParam) {
          case plat::vk::Capital: Status(*r, 1, (plat::getKeyState(plat::vk::Capital) & 1) ? "\tCAPS" : ""); return 0;
          case plat::vk::NumLock: Status(*r, 2, (plat::getKeyState(plat::vk::NumLock) & 1) ? "\tNUM" : ""); return 0;
          case plat::vk::Insert:
            if (!shift && !ctrl) {
              r->InsertMode = 1 - r->InsertMode;
              Status(*r, 3, r->InsertMode ? "\tINS" : "\tOVR");
              return 0;
            }
            if (shift && !ctrl && !alt) {
              YYEditorPaste(*r);
              return 1;
            }
            return 0;
          case 'V':
            if (ctrl && !shift && !alt) {
              YYEditorPaste(*r);
              return 1;
            }
            return 0;
          case plat::vk::OemComma:
          case plat::vk::OemPeriod:
            // the font-size keys of rich text do nothing to plain text
            return ctrl && shift && !r->RichText ? 1 : 0;
          default: return 0;
        }
      }
      return 0;
    }
    case plat::wm::InitMenuPopup: {
      const plat::Hmenu m = plat::handleFrom<plat::Hmenu>(wp);
      const plat::CharRange c = YYEditorSelection(*r);
      const bool empty = c.min == c.max;
      if (m == r->Menus[0]) plat::enableMenuItem(m, kEdCmdPrintSelection, empty ? plat::mf::Grayed : plat::mf::Enabled);
      if (m == r->Menus[1]) {
        plat::enableMenuItem(m, kEdCmdUndo, Send(r->EditControl, plat::em::CanUndo) ? plat::mf::Enabled : plat::mf::Grayed);
        plat::enableMenuItem(m, kEdCmdRedo, Send(r->EditControl, plat::emr::CanRedo) ? plat::mf::Enabled : plat::mf::Grayed);
        for (int id : {kEdCmdCut, kEdCmdCopy, kEdCmdDelete})
          plat::enableMenuItem(m, static_cast<uint32_t>(id), empty ? plat::mf::Grayed : plat::mf::Enabled);
        plat::enableMenuItem(m, kEdCmdPaste, plat::isClipboardFormatAvailable(plat::kCfText) ? plat::mf::Enabled : plat::mf::Grayed);
      }
      if (m == r->Menus[2]) {
        plat::enableMenuItem(m, kEdCmdFindNext, r->FindText.empty() ? plat::mf::Grayed : plat::mf::Enabled);
        plat::enableMenuItem(m, kEdCmdGotoBookmark,
                             r->Bookmark[static_cast<size_t>(r->CurrentDocument - 1)] < 0 ? plat::mf::Grayed : plat::mf::Enabled);
      }
      return 0;
    }
    default: break;
  }
  return frameProc ? plat::callWindowProc(frameProc, w, message, wp, lp) : plat::defWindowProc(w, message, wp, lp);
}

void YYEditorRevert(int32_t window) {
  if (window < 0 || window > kLastWindow) return;
  const Hwnd frame = T().Frame[static_cast<size_t>(window)];
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r) return;
  Destroyed(frame, *r);
  if (r->FrameProc) plat::setWindowProc(frame, r->FrameProc);
  for (Hwnd c : {r->EditControl, r->CommandLine, r->PromptFrame, r->EditorToolbar}) if (c) plat::destroyWindow(c);
  if (r->TooltipWindow && plat::isWindow(r->TooltipWindow)) plat::destroyWindow(r->TooltipWindow);
  if (r->FindDialog) plat::destroyWindow(r->FindDialog);
  // The window goes back to what it was: no editor menu, its own caption,
  // a status bar of one empty part.
  const size_t k = static_cast<size_t>(window);
  if (r->MenuBar) {
    if (plat::getMenu(frame) == r->MenuBar) plat::setMenu(frame, {});
    if (T().Menu[k] == r->MenuBar) T().Menu[k] = {};
    T().MenuStrings[k] = {};
    plat::destroyMenu(r->MenuBar);
  }
  plat::setWindowText(frame, r->Caption);
  if (r->StatusBar && plat::isWindow(r->StatusBar)) {
    const int edge = -1;
    Send(r->StatusBar, plat::sb::SetParts, 1, reinterpret_cast<LParam>(&edge));
    Send(r->StatusBar, plat::sb::SetText, 0, reinterpret_cast<LParam>(""));
  }
  const Hwnd client = T().Client[static_cast<size_t>(window)];
  if (client) plat::showWindow(client, plat::ShowCmd::Show);
  Editors().erase(frame.value);
}

// ---------------------------------------------------------- find, formats

int32_t YYEditorFindNext(Hwnd frame, EditorRecord& r, const plat::FindReplace& block) {
  if (r.FindText.empty()) return 0;
  const plat::CharRange sel = YYEditorSelection(r);
  const bool down = Level() == 1 || (block.flags & plat::fr::Down);
  plat::FindTextEx ft;
  ft.text = r.FindText.c_str();
  if (down) ft.range = {sel.min + (sel.min != sel.max ? 1 : 0), -1};
  else ft.range = {sel.max - (sel.min != sel.max ? 1 : 0), 0};
  uint32_t flags = block.flags & (plat::ft::WholeWord | plat::ft::MatchCase);
  if (down) flags |= plat::ft::Down;
  const LResult p = Send(r.EditControl, plat::emr::FindTextEx, flags, reinterpret_cast<LParam>(&ft));
  if (p < 0) {
    const Hwnd owner = r.FindDialog ? r.FindDialog : frame;
    if (r.FindDialog) plat::enableWindow(frame, false);
    MessageBoxOf(owner, "End of text reached", "Find", plat::mb::IconInformation);
    if (r.FindDialog) plat::enableWindow(frame, true);
    return 0;
  }
  const int first = static_cast<int>(Send(r.EditControl, plat::em::GetFirstVisibleLine));
  YYEditorSetSelection(r, static_cast<int>(p), ft.found.max);
  Send(r.EditControl, plat::em::ScrollCaret);
  if (Send(r.EditControl, plat::em::GetFirstVisibleLine) != first) {
    Send(r.EditControl, plat::emr::LineScroll, 0, 6);
    Send(r.EditControl, plat::em::ScrollCaret);
  }
  return 1;
}

int32_t YYEditorReplaceOne(Hwnd frame, EditorRecord& r, const plat::FindReplace& block) {
  const plat::CharRange sel = YYEditorSelection(r);
  std::string selected = YYEditorControlText(r, sel.min, sel.max).substr(0, 1023);
  std::string key = r.FindText;
  if (!(block.flags & plat::fr::MatchCase)) {
    for (char& c : selected) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (sel.min != sel.max && selected == key) {
    r.Guard = 0;
    YYEditorPutLiteral(r, r.ReplaceText, false);
    r.Guard = 1;
    // the search goes on after the replacement
    const int after = YYEditorSelection(r).max;
    YYEditorSetSelection(r, after, after);
  }
  return YYEditorFindNext(frame, r, block);
}

void YYEditorPaste(EditorRecord& r) {
  if (r.RichText) {
    Send(r.EditControl, plat::wm::Paste);
    return;
  }
  std::string text;
  if (!plat::openClipboard(r.EditControl)) return;
  const bool got = plat::getClipboardData(plat::kCfText, text);
  plat::closeClipboard();
  if (got) YYEditorPutLiteral(r, text, false);
}

void YYEditorStyle(EditorRecord& r, int32_t command) {
  plat::CharFormat f;
  Send(r.EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&f));
  const uint32_t bit = command == kEdCmdBold ? plat::cfm::Bold : command == kEdCmdItalic ? plat::cfm::Italic : plat::cfm::Underline;
  plat::CharFormat c;
  c.mask = bit;
  c.effects = (f.mask & bit) ? (f.effects & bit) ^ bit : bit;
  const int32_t a = r.CachedRich, b = r.CachedPlain;
  // The selection only: with nothing selected the style is for what is
  // typed next, not for the word the caret stands in.
  Send(r.EditControl, plat::emr::SetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&c));
  r.CachedRich = a;
  r.CachedPlain = b;
  YYEditorFormatState(r);
}

void YYEditorBullet(EditorRecord& r) {
  plat::ParaFormat p;
  Send(r.EditControl, plat::emr::GetParaFormat, 0, reinterpret_cast<LParam>(&p));
  plat::ParaFormat q;
  q.mask = plat::pfm::Numbering;
  q.numbering = (p.mask & plat::pfm::Numbering) && p.numbering == plat::kBullets ? 0 : plat::kBullets;
  const int32_t a = r.CachedRich, b = r.CachedPlain;
  Send(r.EditControl, plat::emr::SetParaFormat, 0, reinterpret_cast<LParam>(&q));
  r.CachedRich = a;
  r.CachedPlain = b;
  YYEditorFormatState(r);
}

void YYEditorAlign(EditorRecord& r, int32_t command) {
  plat::ParaFormat q;
  q.mask = plat::pfm::Alignment;
  q.alignment = command == kEdCmdAlignCentre ? plat::kAlignCentre : command == kEdCmdAlignRight ? plat::kAlignRight : plat::kAlignLeft;
  const int32_t a = r.CachedRich, b = r.CachedPlain;
  Send(r.EditControl, plat::emr::SetParaFormat, 0, reinterpret_cast<LParam>(&q));
  r.CachedRich = a;
  r.CachedPlain = b;
  YYEditorFormatState(r);
}

// The formatting buttons show the selection's character and paragraph
// formats: checked where they hold throughout, indeterminate where mixed,
// and greyed over protected text.
void YYEditorFormatState(EditorRecord& r) {
  if (!r.RichText || r.ReadOnly) return;
  plat::ParaFormat p;
  Send(r.EditControl, plat::emr::GetParaFormat, 0, reinterpret_cast<LParam>(&p));
  const bool bulletsMixed = !(p.mask & plat::pfm::Numbering);
  if (r.EditorToolbar) {
    plat::CharFormat f;
    Send(r.EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&f));
    const uint8_t base =
        (f.mask & plat::cfm::Protected) && !(f.effects & plat::cfe::Protected) ? plat::tbstate::Enabled : 0;
    auto set = [&](int command, bool mixed, bool on) {
      const uint8_t state = base | (mixed ? plat::tbstate::Indeterminate : on ? plat::tbstate::Checked : 0);
      Send(r.EditorToolbar, plat::tb::SetState, static_cast<WParam>(command), state);
    };
    set(kEdCmdBold, !(f.mask & plat::cfm::Bold), f.effects & plat::cfe::Bold);
    set(kEdCmdItalic, !(f.mask & plat::cfm::Italic), f.effects & plat::cfe::Italic);
    set(kEdCmdUnderline, !(f.mask & plat::cfm::Underline), f.effects & plat::cfe::Underline);
    set(kEdCmdBullets, bulletsMixed, p.numbering == plat::kBullets);
    const bool alignMixed = !(p.mask & plat::pfm::Alignment);
    set(kEdCmdAlignLeft, alignMixed, p.alignment == plat::kAlignLeft);
    set(kEdCmdAlignCentre, alignMixed, p.alignment == plat::kAlignCentre);
    set(kEdCmdAlignRight, alignMixed, p.alignment == plat::kAlignRight);
  }
  if (r.Menus[3]) {
    const bool bullets = bulletsMixed || p.numbering == plat::kBullets;
    plat::checkMenuItem(r.Menus[3], kEdCmdBullets, bullets ? plat::mf::Checked : plat::mf::Unchecked);
  }
}

void YYEditorClear(EditorRecord& r) {
  int num = 0, den = 0;
  if (Level() == 3) Send(r.EditControl, plat::emr::GetZoom, reinterpret_cast<WParam>(&num), reinterpret_cast<LParam>(&den));
  plat::setWindowText(r.EditControl, "");
  Send(r.EditControl, plat::wm::SetFont, static_cast<WParam>(r.Font), 0);
  plat::ParaFormat p;
  p.mask = plat::pfm::All;
  YYEditorSetSelection(r, 0, -1);
  Send(r.EditControl, plat::emr::SetParaFormat, 0, reinterpret_cast<LParam>(&p));
  YYEditorSetSelection(r, 0, 0);
  if (Level() == 3) Send(r.EditControl, plat::emr::SetZoom, static_cast<WParam>(num), den);
}

// A frame inside its parent cannot own the find dialog (its top-level
// window does), so closing the dialog would leave the focus there: give it
// back to the editor whose dialog it is.
uintptr_t YYEditorFindHook(Hwnd dialog, uint32_t message, WParam wp, LParam /*lp*/) {
  if (message == plat::kHookInit) return 1;
  if (message != plat::wm::Command || plat::loWord(wp) != plat::kIdCancel) return 0;
  for (const Hwnd frame : T().Frame)
    if (const EditorRecord* r = frame ? YYEditorRecordOf(frame) : nullptr; r && r->FindDialog == dialog) {
      YYWindowFocus(frame);
      break;
    }
  return 0;
}

void YYEditorRefocus(Hwnd frame) {
  if (plat::isWindow(frame) && (plat::getWindowStyle(frame) & plat::ws::Child)) YYWindowFocus(frame);
}

uintptr_t YYEditorFontHook(Hwnd dialog, uint32_t message, WParam /*wp*/, LParam lp) {
  if (message == plat::kHookInit) plat::enableWindow(plat::getDlgItem(dialog, 1041), lp != 0);
  return 0;
}

void YYEditorFontDialog(Hwnd frame, EditorRecord& r) {
  plat::CharFormat f;
  Send(r.EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&f));
  plat::ChooseFont cf;
  cf.owner = frame;
  const int ppi = plat::displayInfo().dpi;
  cf.font.face = (f.mask & plat::cfm::Face) ? f.face : std::string();
  cf.font.height = -(f.height / 20 * ppi / 72);
  cf.font.pointSize10 = f.height / 2;
  cf.font.weight = !(f.mask & plat::cfm::Bold) ? 0 : (f.effects & plat::cfe::Bold) ? 700 : 400;
  cf.font.italic = (f.mask & plat::cfm::Italic) && (f.effects & plat::cfe::Italic);
  cf.font.underline = (f.mask & plat::cfm::Underline) && (f.effects & plat::cfe::Underline);
  cf.font.strikeOut = (f.mask & plat::cfm::StrikeOut) && (f.effects & plat::cfe::StrikeOut);
  cf.font.charSet = f.charSet;
  cf.font.color = (f.mask & plat::cfm::Colour) && !(f.effects & plat::cfe::AutoColour) ? f.colour
                                                                                      : plat::sysColor(plat::SysColor::kWindowText);
  cf.flags = plat::cf::ScreenFonts | plat::cf::Effects | plat::cf::InitToLogFont;
  if (r.Extended) {
    // underlining may only be taken off here, not put on
    cf.flags |= plat::cf::EnableHook;
    cf.hook = YYEditorFontHook;
    cf.hookData = cf.font.underline ? 1 : 0;
  }
  if (!plat::chooseFont(cf)) return;
  plat::CharFormat c;
  c.mask = plat::cfm::Face | plat::cfm::Size | plat::cfm::Colour | plat::cfm::Bold | plat::cfm::Italic |
           plat::cfm::Underline | plat::cfm::StrikeOut;
  c.face = cf.font.face;
  c.height = cf.font.pointSize10 * 2;
  c.colour = cf.font.color;
  c.effects = (cf.font.weight >= 700 ? plat::cfe::Bold : 0) | (cf.font.italic ? plat::cfe::Italic : 0) |
              (cf.font.underline ? plat::cfe::Underline : 0) | (cf.font.strikeOut ? plat::cfe::StrikeOut : 0);
  const int32_t a = r.CachedRich, b = r.CachedPlain;
  // The selection only: with nothing selected the style is for what is
  // typed next, not for the word the caret stands in.
  Send(r.EditControl, plat::emr::SetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&c));
  r.CachedRich = a;
  r.CachedPlain = b;
  YYEditorFormatState(r);
}

bool YYEditorPaneAgreesToClose(int32_t window) {
  if (window < 0 || window > kLastWindow) return true;
  const Hwnd frame = T().Frame[static_cast<size_t>(window)];
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r) return true;
  if (!YYEditorSavePrompt(frame, *r)) return false;
  if (!r->SeveralDocuments) return true;
  for (int32_t d = 1; d <= r->DocumentCount; ++d) {
    if (d == r->CurrentDocument) continue;
    int32_t notModified = 1;
    YYEditorDocumentNotModified(window, d, notModified);
    if (notModified) continue;
    YYEditorSelectDocument(frame, d);
    if (!YYEditorSavePrompt(frame, *r)) return false;
  }
  return true;
}
