// The routines through which a program drives a text editor, the command
// line under the text, and printing with the editor's two page set-ups.
#include <algorithm>
#include <array>
#include <cstring>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/ctl/Controls.h"
#include "platform/print/Printer.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"

using plat::Hwnd;
using plat::LParam;
using plat::LResult;
using plat::WParam;

namespace {

LResult Send(Hwnd w, uint32_t m, WParam wp = 0, LParam lp = 0) { return plat::sendMessage(w, m, wp, lp); }
int32_t Level() { return WindowManagerState().RichEditLevel; }
bool Converts(const EditorRecord& r) { return Level() >= 2 && !r.RawPositions; }

EditorRecord* Current(Hwnd* frame = nullptr) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (n < 0 || n > kLastWindow) return nullptr;
  const Hwnd f = WindowTables().Frame[static_cast<size_t>(n)];
  if (frame) *frame = f;
  return YYEditorRecordOf(f);
}
EditorRecord* OfWindow(int32_t n, Hwnd* frame = nullptr) {
  if (n < 0 || n > kLastWindow) return nullptr;
  const Hwnd f = WindowTables().Frame[static_cast<size_t>(n)];
  if (frame) *frame = f;
  return YYEditorRecordOf(f);
}

int ControlLength(const EditorRecord& r) { return static_cast<int>(YYEditorControlText(r, 0, -1).size()); }
int ToPlain(const EditorRecord& r, int control) {
  return Converts(r) ? control + YYEditorCountReturns(r.EditControl, control) : control;
}

}  // namespace

void YYEditorSetText(int32_t& status, const std::string& text) {
  EditorRecord* r = Current();
  if (!r) {
    status = 1;
    return;
  }
  r->Guard = 0;
  YYEditorPutLiteral(*r, text, true);
  r->Guard = 1;
  r->CachedRich = r->CachedPlain = -1;
  status = 0;
}

void YYEditorPutText(int32_t& start, int32_t end, const std::string& text) {
  EditorRecord* r = Current();
  if (!r) {
    start = -1;
    return;
  }
  if (!text.empty() || start != end) {
    // the program's change is an undo step of its own
    if (Level() == 1) Send(r->EditControl, plat::em::EmptyUndoBuffer);
    else Send(r->EditControl, plat::emr::StopGroupTyping);
  }
  int32_t a = 0, b = 0;
  YYEditorToRichPositions(start, end, a, b);
  Send(r->EditControl, plat::emr::HideSelection, 1);
  YYEditorSetSelection(*r, a, b);
  r->Guard = 0;
  YYEditorPutLiteral(*r, text, false);
  r->Guard = 1;
  Send(r->EditControl, plat::emr::HideSelection, 0);
  Send(r->EditControl, plat::em::ScrollCaret);
  start = 0;
}

void YYEditorGetTextFrom(int32_t& status, int32_t size, std::string& buffer) {
  EditorRecord* r = Current();
  if (!r) {
    status = 1;
    return;
  }
  // the window text counts a line end as two, as the program does
  const std::string all = plat::getWindowText(r->EditControl);
  if (size > static_cast<int32_t>(all.size())) {
    buffer = all;
    status = 0;
  } else {
    buffer = all.substr(0, static_cast<size_t>(std::max(0, size - 1)));
    status = 2;
  }
}

void YYEditorGetTextPart(int32_t& start, int32_t length, std::string& buffer) {
  EditorRecord* r = Current();
  if (!r) {
    start = -1;
    return;
  }
  int32_t a = 0, b = 0;
  YYEditorToRichPositions(start, start + std::max(0, length), a, b);
  const std::string part = YYEditorControlText(*r, a, b);
  buffer.clear();
  for (char c : part) {
    buffer += c;
    if (c == '\r' && Converts(*r)) buffer += '\n';
  }
  if (static_cast<int32_t>(buffer.size()) > length) buffer.resize(static_cast<size_t>(std::max(0, length)));
  start = 0;
}

void YYEditorSelect(int32_t& start, int32_t end) {
  EditorRecord* r = Current();
  if (!r) {
    start = -1;
    return;
  }
  int32_t a = 0, b = 0;
  YYEditorToRichPositions(start, end, a, b);
  YYEditorSetSelection(*r, a, b);
  Send(r->EditControl, plat::em::ScrollCaret);
}

void YYEditorCaretTo(int32_t position) {
  EditorRecord* r = Current();
  if (!r) return;
  int32_t a = 0, b = 0;
  YYEditorToRichPositions(position, position, a, b);
  YYEditorSetSelection(*r, a, a);
  Send(r->EditControl, plat::em::ScrollCaret);
  plat::invalidateRect(r->EditControl, nullptr, true);
}

void YYEditorScrollTo(int32_t line) {
  EditorRecord* r = Current();
  if (!r) return;
  const int first = static_cast<int>(Send(r->EditControl, plat::em::GetFirstVisibleLine));
  Send(r->EditControl, plat::emr::LineScroll, 0, line - first);
}

void YYEditorPosition(int32_t kind, int32_t value, int32_t& result) {
  EditorRecord* r = Current();
  if (!r) {
    result = -2;
    return;
  }
  if (kind == 1) {
    int32_t a = 0, b = 0;
    YYEditorToRichPositions(value, value, a, b);
    result = static_cast<int32_t>(Send(r->EditControl, plat::em::LineFromChar, static_cast<WParam>(a)));
    return;
  }
  const int32_t index = static_cast<int32_t>(Send(r->EditControl, plat::em::LineIndex, static_cast<WParam>(value)));
  // plain positions count a line end as two: one more for each paragraph
  // mark before the line (not for each line before it: wrapped lines have
  // no mark)
  result = index < 0 ? index : (Converts(*r) ? index + YYEditorCountReturns(r->EditControl, index) : index);
}

void YYEditorSetModified(int32_t notModified, int32_t changed) {
  Hwnd frame;
  EditorRecord* r = Current(&frame);
  if (!r) return;
  Send(r->EditControl, plat::em::SetModify, notModified ? 0 : 1);
  r->Changed = changed;
  if (r->ModifiedMarker) YYEditorTitle(frame);
}

void YYEditorClearUndo() {
  EditorRecord* r = Current();
  if (!r) return;
  Send(r->EditControl, plat::em::EmptyUndoBuffer);
  if (r->EditorToolbar) {
    Send(r->EditorToolbar, plat::tb::EnableButton, kEdCmdUndo, 0);
    Send(r->EditorToolbar, plat::tb::EnableButton, kEdCmdRedo, 0);
  }
}

namespace {
// The current editor when it holds rich text; otherwise none, with status
// -1 (no editor) or -2 (plain text).
EditorRecord* RichCurrent(int32_t& status) {
  EditorRecord* r = Current();
  if (!r) {
    status = -1;
    return nullptr;
  }
  if (!r->RichText) {
    status = -2;
    return nullptr;
  }
  return r;
}

// Runs apply with characters start..end (counted from 1) selected out of
// sight, then puts the selection and the cached positions back as they were.
template <typename Apply>
void OnRange(EditorRecord& r, int32_t start, int32_t end, Apply apply) {
  int32_t a = 0, b = 0;
  YYEditorToRichPositions(start - 1, end, a, b);
  const plat::CharRange saved = YYEditorSelection(r);
  const int32_t ca = r.CachedRich, cb = r.CachedPlain;
  Send(r.EditControl, plat::emr::HideSelection, 1);
  YYEditorSetSelection(r, a, b);
  apply();
  YYEditorSetSelection(r, saved.min, saved.max);
  Send(r.EditControl, plat::emr::HideSelection, 0);
  r.CachedRich = ca;
  r.CachedPlain = cb;
}
}  // namespace

void YYEditorCharFormat(int32_t& status, int32_t start, int32_t end, int32_t bold, int32_t italic, int32_t underline,
                        int32_t strikeOut, int32_t size, int32_t colour, int32_t background, const std::string& face) {
  EditorRecord* r = RichCurrent(status);
  if (!r) return;
  plat::CharFormat f;
  auto onOff = [&](int32_t v, uint32_t bit, bool anyPositive) {
    if (v == -1) return;
    f.mask |= bit;
    if (anyPositive ? v >= 1 : v == 1) f.effects |= bit;
  };
  onOff(bold, plat::cfm::Bold, false);
  onOff(italic, plat::cfm::Italic, false);
  onOff(strikeOut, plat::cfm::StrikeOut, false);
  onOff(underline, plat::cfm::Underline, true);
  if (size != -1) {
    f.mask |= plat::cfm::Size;
    f.height = size * 20;
  }
  if (colour != -2) {
    f.mask |= plat::cfm::Colour;
    if (colour == -1) f.effects |= plat::cfe::AutoColour;
    else f.colour = static_cast<uint32_t>(colour);
  }
  if (background != -2 && Level() >= 2) {
    f.mask |= plat::cfm::BackColour;
    if (background == -1) f.effects |= plat::cfe::AutoBackColour;
    else f.backColour = static_cast<uint32_t>(background);
  }
  if (!face.empty()) {
    f.mask |= plat::cfm::Face;
    f.face = face;
  }
  OnRange(*r, start, end, [&] {
    r->Guard = 0;
    Send(r->EditControl, plat::emr::SetCharFormat, plat::scf::Selection, reinterpret_cast<LParam>(&f));
    r->Guard = 1;
  });
  status = 0;
}

void YYEditorParaFormat(int32_t& status, int32_t start, int32_t end, int32_t bullets, int32_t alignment) {
  EditorRecord* r = RichCurrent(status);
  if (!r) return;
  plat::ParaFormat p;
  if (bullets != -1) {
    p.mask |= plat::pfm::Numbering;
    p.numbering = bullets == 1 ? plat::kBullets : 0;
  }
  if (alignment >= 0 && alignment <= 2) {
    p.mask |= plat::pfm::Alignment;
    p.alignment = alignment == 1 ? plat::kAlignCentre : alignment == 2 ? plat::kAlignRight : plat::kAlignLeft;
  }
  OnRange(*r, start, end, [&] { Send(r->EditControl, plat::emr::SetParaFormat, 0, reinterpret_cast<LParam>(&p)); });
  status = 0;
}

namespace {
struct FreezeStore {
  plat::CharRange selection;
  int firstLine = 0;
};
FreezeStore& Freeze() {
  static FreezeStore f;
  return f;
}
}  // namespace

void YYEditorFreeze(int32_t flag) {
  EditorRecord* r = Current();
  if (!r) return;
  if (flag == 0) {
    Freeze().selection = YYEditorSelection(*r);
    Freeze().firstLine = static_cast<int>(Send(r->EditControl, plat::em::GetFirstVisibleLine));
    plat::showWindow(r->EditControl, plat::ShowCmd::Hide);
    r->Frozen = true;
  } else {
    YYEditorSetSelection(*r, Freeze().selection.min, Freeze().selection.max);
    YYEditorScrollTo(Freeze().firstLine);
    plat::showWindow(r->EditControl, plat::ShowCmd::Show);
    r->Frozen = false;
  }
}

void YYEditorRedraw(int32_t window) {
  if (EditorRecord* r = OfWindow(window)) plat::invalidateRect(r->EditControl, nullptr, true);
}

void YYEditorPickDocument(int32_t document, int32_t& status) {
  Hwnd frame;
  EditorRecord* r = Current(&frame);
  if (!r) {
    status = 1;
    return;
  }
  if (r->DocumentCount == 1 || document < 1 || document > r->DocumentCount) {
    status = 2;
    return;
  }
  YYEditorSelectDocument(frame, document);
  status = 0;
}

void YYEditorSetBackup(int32_t value) {
  if (EditorRecord* r = Current()) r->Backup = value == 1;
}

void YYEditorInfo(int32_t window, int32_t code, int32_t& value) {
  if (code == 8) {
    value = Level();
    return;
  }
  if (window == -1) {
    const EditorFinalStateRecord& f = EditorFinalState();
    switch (code) {
      case 1: value = f.NotModified; break;
      case 2: value = f.TextLength; break;
      case 3: value = f.Changed; break;
      case 4: value = f.SelectionStart + 1; break;
      case 5: value = f.SelectionEnd; break;
      case 6: value = f.CurrentDocument; break;
      case 7: value = f.DocumentCount; break;
      case 9: value = f.FirstLine; break;
      case 11: value = f.FontIndex; break;
      case 12: value = f.FontSize; break;
      default: break;
    }
    return;
  }
  EditorRecord* r = OfWindow(window);
  if (!r) return;
  const Hwnd e = r->EditControl;
  switch (code) {
    case 1: value = Send(e, plat::em::GetModify) ? 0 : 1; break;
    case 2:
      value = (r->RawPositions && Level() >= 2) ? ControlLength(*r) : YYEditorTextLength(e, r->Frozen);
      break;
    case 3: value = r->Changed; break;
    case 4: value = ToPlain(*r, YYEditorSelection(*r).min) + 1; break;
    case 5: {
      int32_t length = 0;
      YYEditorInfo(window, 2, length);
      value = std::min(ToPlain(*r, YYEditorSelection(*r).max), length);
      break;
    }
    case 6: value = r->CurrentDocument; break;
    case 7: value = r->DocumentCount; break;
    case 9: value = static_cast<int32_t>(Send(e, plat::em::GetFirstVisibleLine)); break;
    case 10:
      value = r->CommandLine && r->CommandLine != r->CommandLineEdit
                  ? static_cast<int32_t>(Send(r->CommandLine, plat::cb::GetCount))
                  : 0;
      break;
    case 11: value = r->FontIndex; break;
    case 12: value = r->FontSize; break;
    case 102: {
      plat::Rect c;
      plat::getClientRect(e, c);
      value = static_cast<int32_t>(Send(e, plat::em::GetFirstVisibleLine)) + c.height() / std::max(1, r->CharHeight);
      break;
    }
    case 103: value = static_cast<int32_t>(Send(e, plat::em::GetLineCount)); break;
    case 104: value = r->RawPositions ? 1 : 0; break;
    default: break;
  }
}

void YYEditorInfoText(int32_t window, int32_t code, std::string& text, int32_t length) {
  std::string s;
  if (window == -1) {
    const EditorFinalStateRecord& f = EditorFinalState();
    s = code == 1 ? f.FindText : code == 2 ? f.ReplaceText : code == 3 ? f.FileName : std::string();
  } else if (EditorRecord* r = OfWindow(window)) {
    s = code == 1 ? r->FindText : code == 2 ? r->ReplaceText : code == 3 ? r->FileName : std::string();
  } else {
    return;
  }
  if (length >= 0 && static_cast<int32_t>(s.size()) > length) s.resize(static_cast<size_t>(length));
  text = s;
}

// ----------------------------------------------------------- streaming

uint32_t YYEditorMeasureChunk(uintptr_t cookie, uint8_t* /*buffer*/, int32_t count, int32_t* done) {
  *reinterpret_cast<int32_t*>(cookie) += count;
  *done = count;
  return 0;
}

uint32_t YYEditorOutChunk(uintptr_t cookie, uint8_t* buffer, int32_t count, int32_t* done) {
  EditorStreamMemory& m = *reinterpret_cast<EditorStreamMemory*>(cookie);
  const int32_t k = std::clamp(count, 0, std::max(0, m.remaining));
  if (k > 0) std::memcpy(m.position, buffer, static_cast<size_t>(k));
  m.position += k;
  m.remaining -= k;
  *done = k;
  // a block that does not fit ends the stream instead of running past the memory
  return k < count ? 1 : 0;
}

uint32_t YYEditorInChunk(uintptr_t cookie, uint8_t* buffer, int32_t count, int32_t* done) {
  EditorStreamMemory& m = *reinterpret_cast<EditorStreamMemory*>(cookie);
  const int32_t k = std::clamp(count, 0, std::max(0, m.remaining));
  if (k > 0) std::memcpy(buffer, m.position, static_cast<size_t>(k));
  m.position += k;
  m.remaining -= k;
  *done = k;
  return 0;
}

namespace {
uint32_t StreamFormat(const EditorRecord& r) { return r.RichText ? plat::sf::Rtf : plat::sf::Text; }
}  // namespace

void YYEditorPutLiteral(const EditorRecord& r, const std::string& text, bool whole) {
  if (r.RichText) {
    if (whole) plat::setWindowText(r.EditControl, text);
    else Send(r.EditControl, plat::em::ReplaceSel, 1, reinterpret_cast<LParam>(text.c_str()));
    return;
  }
  // The control reads text that begins like rich text as rich text; as a
  // plain-text stream it is taken as it stands.
  EditorStreamMemory m{reinterpret_cast<uint8_t*>(const_cast<char*>(text.data())),
                       static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX))};
  plat::EditStream es{reinterpret_cast<uintptr_t>(&m), 0, YYEditorInChunk};
  Send(r.EditControl, plat::emr::StreamIn, plat::sf::Text | (whole ? 0 : plat::sf::Selection), reinterpret_cast<LParam>(&es));
}

void YYEditorMeasure(int32_t& size) {
  size = 0;
  const EditorRecord* r = Current();
  if (!r) return;
  plat::EditStream es{reinterpret_cast<uintptr_t>(&size), 0, YYEditorMeasureChunk};
  Send(r->EditControl, plat::emr::StreamOut, StreamFormat(*r), reinterpret_cast<LParam>(&es));
}

void YYEditorStreamOut(uint8_t* memory, int32_t size) {
  const EditorRecord* r = Current();
  if (!r || !memory) return;
  EditorStreamMemory m{memory, size};
  plat::EditStream es{reinterpret_cast<uintptr_t>(&m), 0, YYEditorOutChunk};
  Send(r->EditControl, plat::emr::StreamOut, StreamFormat(*r), reinterpret_cast<LParam>(&es));
}

void YYEditorStreamIn(int32_t size, const uint8_t* memory) {
  EditorRecord* r = Current();
  if (!r) return;
  // the control only reads through the position
  EditorStreamMemory m{const_cast<uint8_t*>(memory), memory ? size : 0};
  plat::EditStream es{reinterpret_cast<uintptr_t>(&m), 0, YYEditorInChunk};
  Send(r->EditControl, plat::emr::StreamIn, StreamFormat(*r), reinterpret_cast<LParam>(&es));
  r->CachedRich = r->CachedPlain = -1;
}

// ------------------------------------------------------------ command line

namespace {

EditorRecord* CommandLineEditor(Hwnd edit, Hwnd* frame) {
  Hwnd parent = plat::getParent(edit);
  if (plat::getClassName(parent) == plat::kComboBoxClass) parent = plat::getParent(parent);
  *frame = parent;
  return YYEditorRecordOf(parent);
}

bool HasHistory(const EditorRecord& r) { return r.CommandLine && r.CommandLine != r.CommandLineEdit; }

// Shows history entry `index` in the command line, selected whole so
// that typing replaces it rather than going in front of it.
void Recall(const EditorRecord& r, int index) {
  Send(r.CommandLine, plat::cb::SetCurSel, static_cast<WParam>(index));
  Send(r.CommandLineEdit, plat::em::SetSel, 0, -1);
}

void EnterPressed(Hwnd frame, EditorRecord& r) {
  YYEventStore(EventEditorEnter, 0, 0, 0, frame);
  if (!HasHistory(r)) return;
  const std::string text = plat::getWindowText(r.CommandLineEdit);
  if (text.find_first_not_of(' ') == std::string::npos) return;
  const int count = static_cast<int>(Send(r.CommandLine, plat::cb::GetCount));
  std::string top;
  if (count > 0) {
    top.resize(static_cast<size_t>(Send(r.CommandLine, plat::cb::GetLBTextLen, 0)) + 1);
    Send(r.CommandLine, plat::cb::GetLBText, 0, reinterpret_cast<LParam>(top.data()));
    top.resize(std::strlen(top.c_str()));
  }
  if (count == 0 || top != text) {
    if (count >= 100) Send(r.CommandLine, plat::cb::DeleteString, 99);
    Send(r.CommandLine, plat::cb::InsertString, 0, reinterpret_cast<LParam>(text.c_str()));
  }
  Recall(r, 0);
}

}  // namespace

LResult YYEditorCommandLineProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  Hwnd frame;
  EditorRecord* r = CommandLineEditor(w, &frame);
  if (!r || !r->CommandLineProc) return plat::defWindowProc(w, message, wp, lp);
  const plat::WndProc own = r->CommandLineProc;
  const bool dropped = HasHistory(*r) && Send(r->CommandLine, plat::cb::GetDroppedState) != 0;
  if (message == plat::wm::KeyDown) {
    switch (wp) {
      case plat::vk::Prior:
      case plat::vk::Next:
        Send(r->EditControl, plat::emr::Scroll, wp == plat::vk::Prior ? plat::kSbPageUp : plat::kSbPageDown);
        return 0;
      case plat::vk::Up:
      case plat::vk::Down: {
        const bool up = wp == plat::vk::Up;
        if (!HasHistory(*r)) {
          Send(r->EditControl, plat::emr::Scroll, up ? plat::kSbLineUp : plat::kSbLineDown);
          return 0;
        }
        if (dropped) break;
        const int count = static_cast<int>(Send(r->CommandLine, plat::cb::GetCount));
        int sel = static_cast<int>(Send(r->CommandLine, plat::cb::GetCurSel));
        if (sel < 0) {
          const std::string text = plat::getWindowText(r->CommandLineEdit);
          sel = static_cast<int>(Send(r->CommandLine, plat::cb::FindStringExact, static_cast<WParam>(-1),
                                      reinterpret_cast<LParam>(text.c_str())));
          sel = std::clamp(sel, 0, std::max(0, count - 1));
        } else {
          sel = up ? std::max(0, sel - 1) : std::min(count - 1, sel + 1);
        }
        Recall(*r, sel);
        return 0;
      }
      default: break;
    }
  }
  if (message == plat::wm::Char) {
    switch (wp) {
      case 1: Send(w, plat::em::SetSel, 0, -1); return 0;
      case '\t': plat::setFocus(r->EditControl); return 0;
      case 27:
        if (dropped) break;
        plat::setWindowText(r->CommandLineEdit, "");
        return 0;
      case '\r':
        if (dropped) {
          plat::callWindowProc(own, w, message, wp, lp);
          EnterPressed(frame, *r);
          return 0;
        }
        EnterPressed(frame, *r);
        return 0;
      default: break;
    }
  }
  return plat::callWindowProc(own, w, message, wp, lp);
}

void YYEditorSetPrompt(int32_t& status, const std::string& text) {
  Hwnd frame;
  EditorRecord* r = Current(&frame);
  if (!r) {
    status = 1;
    return;
  }
  if (!r->CommandLine) {
    status = 2;
    return;
  }
  plat::setWindowText(r->PromptLabel, text);
  int width = 0;
  if (!text.empty()) {
    const plat::Hdc dc = plat::createCompatibleDc(0);
    plat::selectObject(dc, r->Font);
    plat::Size sz;
    plat::getTextExtent(dc, text, sz);
    plat::deleteDc(dc);
    width = sz.cx + 4;
  }
  plat::Rect pr;
  plat::getWindowRect(r->PromptFrame, pr);
  plat::setWindowPos(r->PromptFrame, {}, 0, 0, width, r->CommandLineHeight, plat::kSwpNoMove | plat::kSwpNoZOrder);
  plat::setWindowPos(r->PromptLabel, {}, 0, 0, width, r->CommandLineHeight - r->PromptOffset,
                     plat::kSwpNoMove | plat::kSwpNoZOrder);
  plat::sendMessage(frame, plat::wm::Size, 0, 0);
  status = 0;
}

void YYEditorSetCommand(int32_t& status, const std::string& text, int32_t caret) {
  EditorRecord* r = Current();
  if (!r) {
    status = 1;
    return;
  }
  if (!r->CommandLine) {
    status = 2;
    return;
  }
  if (HasHistory(*r)) Send(r->CommandLine, plat::cb::SetCurSel, static_cast<WParam>(-1));
  plat::setWindowText(r->CommandLineEdit, text);
  plat::callWindowProc(r->CommandLineProc, r->CommandLineEdit, plat::em::SetSel, static_cast<WParam>(caret), caret);
  status = 0;
}

void YYEditorHasHistory(int32_t& status) {
  EditorRecord* r = Current();
  status = !r ? 1 : HasHistory(*r) ? 0 : 2;
}

void YYEditorClearHistory(int32_t& status) {
  EditorRecord* r = Current();
  if (!r) {
    status = 1;
    return;
  }
  if (!HasHistory(*r)) {
    status = 2;
    return;
  }
  Send(r->CommandLine, plat::cb::ResetContent);
  status = 0;
}

void YYEditorAddHistory(int32_t index, const std::string& text) {
  EditorRecord* r = Current();
  if (!r || !HasHistory(*r)) return;
  Send(r->CommandLine, plat::cb::InsertString, static_cast<WParam>(index), reinterpret_cast<LParam>(text.c_str()));
}

void YYEditorGetCommand(int32_t& status, std::string& buffer, int32_t size) {
  EditorRecord* r = Current();
  if (!r) {
    status = 1;
    return;
  }
  if (!r->CommandLine) {
    status = 3;
    return;
  }
  buffer = plat::getWindowText(r->CommandLineEdit);
  status = 0;
  if (size > 0 && static_cast<int32_t>(buffer.size()) > size - 1) {
    buffer.resize(static_cast<size_t>(size - 1));
    status = 2;
  }
}

void YYEditorGetHistory(int32_t index, std::string& buffer) {
  EditorRecord* r = Current();
  buffer.clear();
  if (!r || !HasHistory(*r)) return;
  const LResult n = Send(r->CommandLine, plat::cb::GetLBTextLen, static_cast<WParam>(index));
  if (n < 0) return;
  buffer.resize(static_cast<size_t>(n) + 1);
  Send(r->CommandLine, plat::cb::GetLBText, static_cast<WParam>(index), reinterpret_cast<LParam>(buffer.data()));
  buffer.resize(static_cast<size_t>(n));
}

// ------------------------------------------------------ highlight painting

void YYEditorColourHook(int32_t /*frame*/, int32_t /*selectionStart*/, int32_t /*selectionEnd*/, int32_t capacity,
                        int32_t* starts, int32_t* ends, int32_t* colours, int32_t& count, const char* /*text*/,
                        int32_t /*length*/) {
  if (capacity > 0) starts[0] = ends[0] = colours[0] = 0;
  count = 0;
}

plat::Point YYEditorCharPos(Hwnd control, int32_t position) {
  plat::Point p{0, 0};
  if (Level() == 2) {
    const LResult packed = Send(control, plat::emr::PosFromChar, static_cast<WParam>(position));
    return {plat::xFromParam(static_cast<uintptr_t>(packed)), plat::yFromParam(static_cast<uintptr_t>(packed))};
  }
  Send(control, plat::emr::PosFromChar, reinterpret_cast<WParam>(&p), position);
  return p;
}

namespace {

struct PaintContext {
  int lineHeight = 0;
  int selStart = 0, selEnd = 0;
  bool whole = false;
};
PaintContext& Painting() {
  static PaintContext p;
  return p;
}

}  // namespace

void YYEditorTextRun(const EditorRecord& r, plat::Hdc dc, const std::string& text, int32_t position, int32_t count) {
  const PaintContext& pc = Painting();
  int32_t k = 0;
  while (k < count) {
    if (text[static_cast<size_t>(k)] == '\t') {
      const int32_t at = position + k;
      if (pc.whole || (at >= pc.selStart && at < pc.selEnd)) {
        const plat::Point a = YYEditorCharPos(r.EditControl, at), b = YYEditorCharPos(r.EditControl, at + 1);
        plat::fillRect(dc, plat::Rect{a.x, a.y, std::max(a.x + 1, b.x), a.y + pc.lineHeight},
                       plat::sysColorBrush(plat::SysColor::kHighlight));
      }
      ++k;
      continue;
    }
    int32_t e = k;
    while (e < count && text[static_cast<size_t>(e)] != '\t') ++e;
    const plat::Point p = YYEditorCharPos(r.EditControl, position + k);
    plat::extTextOut(dc, p.x, p.y, 0, nullptr, std::string_view(text).substr(static_cast<size_t>(k), static_cast<size_t>(e - k)));
    k = e;
  }
}

void YYEditorHighlightOn() {
  EditorRecord* r = Current();
  if (!r || r->Highlight) return;
  r->Highlight = true;
  r->ControlProc = plat::setWindowProc(r->EditControl, YYEditorPaintProc);
  plat::invalidateRect(r->EditControl, nullptr, true);
}

LResult YYEditorPaintProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  const Hwnd frame = plat::getParent(w);
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r || !r->ControlProc) return plat::defWindowProc(w, message, wp, lp);
  const plat::WndProc own = r->ControlProc;
  if (message == plat::wm::MouseWheel && (plat::loWord(wp) & plat::kMkControl)) {
    const LResult out = plat::callWindowProc(own, w, message, wp, lp);
    if (r->Frozen) return out;
    // The control changed its zoom; lay it out again around the same
    // first line and selection, hidden so the steps do not show.
    plat::showWindow(w, plat::ShowCmd::Hide);
    const int first = static_cast<int>(Send(w, plat::em::GetFirstVisibleLine));
    const plat::CharRange c = YYEditorSelection(*r);
    YYEditorSetSelection(*r, c.min, c.max);
    Send(w, plat::emr::LineScroll, 0, first - static_cast<int>(Send(w, plat::em::GetFirstVisibleLine)));
    plat::showWindow(w, plat::ShowCmd::Show);
    plat::Rect box;
    plat::getWindowRect(w, box);
    const plat::Point at = plat::screenToClient(frame, {box.left, box.top});
    plat::moveWindow(w, at.x, at.y, 1, 1, false);
    plat::moveWindow(w, at.x, at.y, box.width(), box.height(), true);
    return out;
  }
  if (message != plat::wm::Paint || !r->Highlight) return plat::callWindowProc(own, w, message, wp, lp);
  const int32_t number = YYWindowNumber(frame);
  plat::PaintStruct ps;
  const plat::Hdc dc = plat::beginPaint(w, ps);
  PaintContext& pc = Painting();
  int num = 0, den = 0;
  plat::HFont zoomFont = 0;
  pc.lineHeight = r->CharHeight;
  if (Level() == 3) Send(w, plat::emr::GetZoom, reinterpret_cast<WParam>(&num), reinterpret_cast<LParam>(&den));
  if (Level() == 3 && den != 0 && num > 0) {
    pc.lineHeight = r->CharHeight * num / den;
    plat::LogFont lf;
    lf.faceName = "Courier New";
    lf.height = -(r->CharBodyHeight * num / den);
    lf.weight = 400;
    lf.charSet = plat::kDefaultCharSet;
    lf.pitchAndFamily = plat::kVariablePitch | plat::kFamilyModern;
    zoomFont = plat::createFont(lf);
  }
  const plat::GdiObj oldFont = plat::selectObject(dc, zoomFont ? zoomFont : r->Font);
  plat::Rect c;
  plat::getClientRect(w, c);
  const plat::HBrush back = plat::sysColorBrush(plat::SysColor::kWindow);
  plat::fillRect(dc, plat::Rect{c.left, c.top, c.left + 1, c.bottom}, back);
  plat::fillRect(dc, plat::Rect{c.right - 1, c.top, c.right, c.bottom}, back);
  plat::intersectClipRect(dc, c.left + 1, c.top, c.right - 1, c.bottom);
  const plat::CharRange sel = YYEditorSelection(*r);
  pc.selStart = sel.min;
  pc.selEnd = sel.max;
  pc.whole = sel.min == 0 && sel.max == -1;
  const int lines = static_cast<int>(Send(w, plat::em::GetLineCount));
  int line = static_cast<int>(Send(w, plat::em::GetFirstVisibleLine));
  int bottom = c.top;
  plat::setBkMode(dc, plat::kTransparent);
  for (bool first = true; line < lines; ++line, first = false) {
    const int32_t start = static_cast<int32_t>(Send(w, plat::em::LineIndex, static_cast<WParam>(line)));
    const plat::Point at = YYEditorCharPos(w, start);
    if (at.y >= c.bottom) break;
    std::string text(32770, '\0');
    text[0] = static_cast<char>(32768 & 0xFF);
    text[1] = static_cast<char>(32768 >> 8);
    const int32_t got = static_cast<int32_t>(Send(w, plat::em::GetLine, static_cast<WParam>(line), reinterpret_cast<LParam>(text.data())));
    text.resize(static_cast<size_t>(std::max(0, got)));
    int32_t n = static_cast<int32_t>(text.size());
    while (n > 0 && (text[static_cast<size_t>(n - 1)] == '\r' || text[static_cast<size_t>(n - 1)] == '\n')) --n;
    const int top = first ? c.top : at.y;
    plat::fillRect(dc, plat::Rect{c.left + 1, top, c.right - 1, at.y + pc.lineHeight + 1}, back);
    bottom = at.y + pc.lineHeight + 1;
    if (pc.whole) {
      plat::setTextColor(dc, plat::sysColor(plat::SysColor::kHighlightText));
      plat::fillRect(dc, plat::Rect{at.x, at.y, c.right - 1, at.y + pc.lineHeight}, plat::sysColorBrush(plat::SysColor::kHighlight));
      YYEditorTextRun(*r, dc, n > 0 ? text : std::string(" "), start, std::max(n, 1));
      continue;
    }
    int32_t s1 = -1, s2 = -1;
    if (sel.min != sel.max && sel.max > start && sel.min <= start + n) {
      s1 = std::max(sel.min - start + 1, 1);
      s2 = std::min(sel.max - start, n);
    }
    std::array<int32_t, 100> starts{}, ends{}, colours{};
    int32_t count = 0;
    YYEditorColourHook(number, s1, s2, 100, starts.data(), ends.data(), colours.data(), count, text.c_str(), n);
    int32_t pos = 0;
    auto run = [&](int32_t from, int32_t to, plat::ColorRef colour, bool selected) {
      if (to <= from) return;
      plat::setTextColor(dc, selected ? plat::sysColor(plat::SysColor::kHighlightText) : colour);
      YYEditorTextRun(*r, dc, text.substr(static_cast<size_t>(from)), start + from, to - from);
    };
    const plat::ColorRef ink = plat::sysColor(plat::SysColor::kWindowText);
    for (int32_t t = 0; t < std::min(count, 100); ++t) {
      const int32_t a = starts[static_cast<size_t>(t)] - 1, b = ends[static_cast<size_t>(t)];
      run(pos, a, ink, false);
      run(a, b, colours[static_cast<size_t>(t)] == -1 ? ink : static_cast<plat::ColorRef>(colours[static_cast<size_t>(t)]),
          colours[static_cast<size_t>(t)] == -1);
      pos = b;
    }
    run(pos, n, ink, false);
    if (start + n >= sel.min && start + n < sel.max) {
      // the line end inside the selection shows as a selected blank
      const plat::Point e = YYEditorCharPos(w, start + n);
      plat::Size sz;
      plat::getTextExtent(dc, " ", sz);
      plat::fillRect(dc, plat::Rect{e.x, e.y, e.x + sz.cx, e.y + pc.lineHeight}, plat::sysColorBrush(plat::SysColor::kHighlight));
    }
  }
  if (bottom < c.bottom) plat::fillRect(dc, plat::Rect{c.left + 1, bottom, c.right - 1, c.bottom}, back);
  plat::selectObject(dc, oldFont);
  if (zoomFont) plat::deleteObject(zoomFont);
  plat::endPaint(w, ps);
  return 0;
}
