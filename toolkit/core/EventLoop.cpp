#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/dlg/Dialog.h"
#include "platform/menu/Menu.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/GridEditorWindow.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

EventStoreRecord gStore;

constexpr std::array<int32_t, kEventTypes> kDefaultOptions = {1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0};

// The timer of YYWaitTicks and the platform's caret timer, never dispatched.
constexpr uintptr_t kWaitTimer = 999;
constexpr uintptr_t kCaretTimer = 0xFFF6;

void SetWords(EventRecord& r, int from, int to, int32_t value) {
  for (int i = from; i <= to; ++i) r[static_cast<size_t>(i)] = value;
}

int32_t MessageTime() { return static_cast<int32_t>(plat::getMessageTime() & 0x7FFFFFFFu); }

// Positions packed in a message parameter, as signed 16-bit halves (points
// left of or above a window, while it has the mouse captured, come out
// negative whatever the screen size).
void PointerWords(EventRecord& r, plat::LParam p2) {
  r[5] = plat::xFromParam(static_cast<uintptr_t>(p2));
  r[6] = plat::yFromParam(static_cast<uintptr_t>(p2));
}

bool IsViewerWindow(int32_t number) { return YYWindowKindOf(number) == kKindViewer; }

void Stored() { gStore.LoopState = 0; }

// The client size of the event's window (place kinds 0 and 2).
bool ClientSize(int32_t window, int32_t& w, int32_t& h) {
  if (window < 0 || window > kLastWindow) return false;
  const plat::Hwnd client = WindowTables().Client[static_cast<size_t>(window)];
  plat::Rect r;
  if (!client || !plat::getClientRect(client, r)) return false;
  w = r.width();
  h = r.height();
  return true;
}

void CopyOut(int32_t type, const EventRecord& from, int32_t& typeOut, EventRecord& record) {
  typeOut = type;
  for (int i = 0; i <= 6; ++i) record[static_cast<size_t>(i)] = from[static_cast<size_t>(i)];
  record[11] = from[11];
}

// Delivers the first parked repaint or resize, then a queued field change.
bool DeliverKept(int32_t& type, EventRecord& record) {
  for (int32_t n = 0; n < kPendingSlots; ++n) {
    PendingEventSlot& slot = gStore.Pending[static_cast<size_t>(n)];
    if (slot.Type == 0) continue;
    int32_t w = 0, h = 0;
    if (!ClientSize(n, w, h)) {
      slot = PendingEventSlot{};  // its window is gone
      continue;
    }
    EventRecord words = slot.Words;
    words[0] = n;
    if (slot.Type == EventRepaint) {
      words[1] = w;
      words[2] = h;
      words[3] = 0;
      words[5] = 0;
      words[6] = 0;
    }
    CopyOut(slot.Type, words, type, record);
    slot = PendingEventSlot{};
    return true;
  }
  if (gStore.QueuedChangeType != 0) {
    CopyOut(gStore.QueuedChangeType, gStore.QueuedChange, type, record);
    gStore.QueuedChangeType = 0;
    return true;
  }
  return false;
}

// The toolkit window a message belongs to: its own number, or that of the
// nearest parent (at most `depth` levels up) that is a toolkit window.
int32_t ToolkitWindowOf(plat::Hwnd w, int depth) {
  for (int i = 0; i <= depth && w; ++i) {
    const int32_t n = YYWindowNumber(w);
    if (n >= 0) return n;
    w = plat::getParent(w);
  }
  return -1;
}

// The text-editor or grid window a message belongs to: the first toolkit
// child frame with a window record among the message's window and its
// three parents, when that record is an editor's or a grid's; else -1.
int32_t EditorWindowOf(plat::Hwnd w) {
  for (int i = 0; i <= 3 && w; ++i, w = plat::getParent(w)) {
    const int32_t n = YYWindowNumber(w);
    if (n < 1 || WindowTables().Frame[static_cast<size_t>(n)] != w || YYWindowRecordOf(w) == nullptr) continue;
    const int32_t kind = YYWindowKindOf(n);
    return kind == kKindEditor || kind == kKindGrid ? n : -1;
  }
  return -1;
}

// Window n itself, or the nearest split container holding it, that shows
// a pane's menu; n when there is none.
int32_t CommandContainerOf(int32_t n) {
  for (int32_t c = n, guard = 0; c >= 0 && guard <= kLastWindow; c = YYSplitContainerOf(c), ++guard) {
    const std::vector<int32_t>* r = YYWindowRecordOf(WindowTables().Frame[static_cast<size_t>(c)]);
    if (YYWindowKindOf(c) == kKindSplit && r != nullptr && r->size() > kSplitCommand && (*r)[kSplitCommand] != 0) return c;
  }
  return n;
}

// Routes one message taken from the queue (step 4 of the wait).
void Route(const plat::Msg& m) {
  if (m.message == plat::wm::SysTimer && (m.wParam & 0xFFFF) == kCaretTimer) return;
  const DialogManagerRecord& dm = DialogManager();
  if (dm.ActiveModeless) {
    const DialogRecord* rec = YYDialogRecordOf(dm.ActiveModeless);
    const int32_t owner = rec != nullptr ? YYWindowNumber(rec->CombinedWindow ? rec->CombinedWindow : rec->Owner) : -1;
    if (owner >= 0) {
      int32_t withTable = owner;
      while (withTable > 0 && !WindowTables().Accelerators[static_cast<size_t>(withTable)]) {
        const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(withTable)];
        const int32_t parent = frame ? YYWindowNumber(plat::getParent(frame)) : -1;
        if (parent < 0) break;
        withTable = parent;
      }
      if (WindowTables().Accelerators[static_cast<size_t>(withTable)] && YYAccelTranslate(owner, withTable, m)) return;
    }
    if (YYDialogMessageCheck(m)) return;
  }
  // An editor's find dialog is a window of its own, owned by the editor
  // rather than inside it: its keys (Enter, Tab, Escape) are dialog keys.
  if (const plat::Hwnd find = YYEditorFindDialogHolding(m.hwnd)) {
    plat::Msg copy = m;
    if (plat::isDialogMessage(find, copy)) return;
  }
  // Text-editor and grid windows translate with their own tables; other
  // windows with the nearest window that has an accelerator table.
  const int32_t own = EditorWindowOf(m.hwnd);
  if (own > 0) {
    if (YYWindowKindOf(own) == kKindEditor) {
      const plat::Hwnd find = YYEditorFindDialog(own);
      plat::Msg copy = m;
      if (find && plat::isDialogMessage(find, copy)) return;
    }
    const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(own)];
    for (const plat::Haccel table : YYWindowKindOf(own) == kKindEditor ? YYEditorTables(own) : YYGridEditorTables(own)) {
      if (table && plat::translateAccelerator(frame, table, m)) return;
    }
  } else if (int32_t n = ToolkitWindowOf(m.hwnd, 3); n >= 0) {
    int32_t a = n;
    while (a > 0 && !WindowTables().Accelerators[static_cast<size_t>(a)]) {
      const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(a)];
      const plat::Hwnd parent = frame ? plat::getParent(frame) : plat::Hwnd{};
      const int32_t up = parent ? YYWindowNumber(parent) : 0;
      a = up < 0 ? 0 : up;
    }
    // A window without keys of its own inside split containers takes those
    // of the pane whose menu the nearest container shows.
    const int32_t f = a == n ? n : CommandContainerOf(n);
    if (YYAccelTranslate(f, a, m)) return;
  }
  plat::translateMessage(m);
  const bool paintOrSize = m.message == plat::wm::Paint || m.message == plat::wm::Size;
  if (paintOrSize) gStore.PaintSizeDispatch = 1;
  plat::dispatchMessage(m);
  if (paintOrSize) gStore.PaintSizeDispatch = 0;
}

// Steps 5 to 7 of the wait: the stored event goes out; a window's repaint
// or resize consumes its parked slot.
void FinishWait(int32_t& type, EventRecord& record) {
  CopyOut(gStore.StoredType, gStore.Stored, type, record);
  if ((type == EventSized || type == EventRepaint) && record[3] == 0 && record[0] >= 0 && record[0] < kPendingSlots) {
    PendingEventSlot& slot = gStore.Pending[static_cast<size_t>(record[0])];
    if (slot.Type == EventRepaint && type == EventRepaint) {
      int32_t w = 0, h = 0;
      if (ClientSize(record[0], w, h)) {
        record[1] = w;
        record[2] = h;
        record[5] = 0;
        record[6] = 0;
      }
    }
    slot = PendingEventSlot{};
  }
  gStore.Fetching = 0;
  gStore.StoredType = 0;
}

void Wait(int32_t& type, EventRecord& record, bool& complete, bool blocking) {
  gStore.Fetching = 1;
  gStore.StoredType = 0;
  complete = false;
  if (DeliverKept(type, record)) {
    gStore.Fetching = 0;
    complete = true;
    return;
  }
  gStore.LoopState = 1;
  gStore.FirstChange = 1;
  if (blocking) {
    while (gStore.LoopState == 1) {
      plat::Msg m;
      if (!plat::getMessage(m)) {
        // the window system was told to quit: no event will come
        gStore.LoopState = 0;
        gStore.Fetching = 0;
        gStore.StoredType = 0;
        type = kNoEvent;
        complete = true;
        return;
      }
      Route(m);
    }
  } else {
    while (gStore.StoredType == 0) {
      plat::Msg m;
      if (!plat::peekMessage(m, {}, 0, 0, plat::kPmRemove)) {
        gStore.StoredType = kNoEvent;
        break;
      }
      Route(m);
    }
    gStore.LoopState = 0;
  }
  if (gStore.StoredType == kNoEvent || gStore.StoredType == 0) {
    type = kNoEvent;
    gStore.Fetching = 0;
    gStore.StoredType = 0;
    return;
  }
  FinishWait(type, record);
  complete = true;
}

// Graphics mapping of an event's drawable while the event is converted.
struct SavedMapping {
  bool saved = false;
  GraphicsStateRecord state;
  int32_t dialog = 0;
};

}  // namespace

EventStoreRecord& EventStore() { return gStore; }

void ResetEventStore() {
  gStore = EventStoreRecord{};
  YYEventOptionsDefault();
}

void YYEventOptionsDefault() { gStore.Options = kDefaultOptions; }

void YYEventOptionStore(int32_t option, int32_t value) {
  if (option >= 1 && option <= kEventTypes) gStore.Options[static_cast<size_t>(option - 1)] = value;
}

void WEventOptionSet(int32_t option, int32_t value) { YYEventOptionStore(option, value); }

void WEventOptionGet(int32_t option, int32_t& value) {
  value = option >= 1 && option <= kEventTypes ? gStore.Options[static_cast<size_t>(option - 1)] : 0;
}

int32_t YYKeyCode(int32_t vk, int32_t m) {
  switch (vk) {
    case 9: return m == 20 ? 274 : 9;
    case 38: return 258 + m / 5;
    case 40: return 259 + m / 5;
    case 39: return 260 + m / 5;
    case 37: return 261 + m / 5;
    case 33: return 262;
    case 34: return 263;
    case 36: return 270;
    case 35:
    case 41: return 271;
    case 45: return 272;
    case 46: return 273;
    case 12: return 285;
    case 109: return 290;
    case 110: return 291;
    case 107:
    case 108: return 292;
    case 111: return 293;
    case 106: return 294;
    case 44: return 300;
    default: break;
  }
  if (vk >= 96 && vk <= 105) return 280 + (vk - 96);
  if (vk >= 112 && vk <= 131) return 301 + (vk - 112) + m;
  return vk;
}

int32_t YYMouseFlags(plat::WParam keys) {
  int32_t flags = 0;
  if (keys & plat::kMkControl) flags |= 1;
  if (keys & plat::kMkShift) flags |= 2;
  if (keys & plat::kMkLButton) flags |= 4;
  if (keys & plat::kMkMButton) flags |= 8;
  if (keys & plat::kMkRButton) flags |= 16;
  return flags;
}

void YYOsTickCount(int32_t& ticks) { ticks = static_cast<int32_t>(plat::tickCount() & 0x7FFFFFFFu); }

void YYEventStore(int32_t kind, int32_t a, plat::WParam p1, plat::LParam p2, plat::Hwnd window) {
  EventStoreRecord& s = gStore;
  const int32_t t = kind > 100 ? kind - 100 : kind;
  if (t < 1 || t > kEventTypes || s.Options[static_cast<size_t>(t - 1)] == 0) return;
  if ((kind == 7 || kind == 107) && s.StoredType == EventSized && s.LoopState == 0) return;
  EventRecord& r = s.Stored;
  const int32_t number = YYWindowNumber(window);
  if (kind != 8 && kind != 108 && !(kind == 10 && s.LoopState == 0)) {
    s.StoredType = kind;
    r[0] = number;
    r[11] = MessageTime();
  }
  DialogRecord* dialog = YYDialogRecordOf(window);
  switch (kind) {
    case 1: {
      int32_t code = static_cast<int32_t>(p1);
      if (a == 1) {
        int32_t m = 0;
        if (code > 8192) {
          code -= 8192;
          m = 40;
        } else if (code > 4096) {
          code -= 4096;
          m = 20;
        }
        r[1] = YYKeyCode(code, m);
      } else {
        r[1] = code;
      }
      r[2] = -1;
      r[3] = IsViewerWindow(number) ? 2 : 0;
      r[4] = -1;
      const plat::Point p = plat::screenToClient(window, plat::getMessagePos());
      r[5] = p.x;
      r[6] = p.y;
      Stored();
      break;
    }
    case 2:
      r[1] = static_cast<int32_t>(p1 & 0xFFFF);
      SetWords(r, 2, 6, -1);
      Stored();
      break;
    case 3:
      r[0] = dialog != nullptr ? dialog->Identifier : -1;
      r[1] = static_cast<int32_t>(p1 & 0xFFFF);
      r[2] = dialog != nullptr ? dialog->PreviousField : -1;
      SetWords(r, 3, 6, -1);
      Stored();
      break;
    case 4:
    case 5:
    case 6:
    case 16:
      r[1] = kind == 6 ? -1 : a;
      r[2] = YYMouseFlags(p1);
      r[3] = IsViewerWindow(number) ? 2 : 0;
      r[4] = -1;
      PointerWords(r, p2);
      Stored();
      break;
    case 7: {
      plat::Rect u;
      plat::getUpdateRect(window, &u, true);
      r[1] = u.width();
      r[2] = u.height();
      r[3] = 0;
      r[4] = -1;
      r[5] = u.left;
      r[6] = u.top;
      Stored();
      break;
    }
    case 8: {
      if (p1 == plat::kSizeMinimized) break;
      const int32_t w = plat::loWord(static_cast<uintptr_t>(p2));
      const int32_t h = plat::hiWord(static_cast<uintptr_t>(p2));
      if (number >= 0 && number <= kLastWindow) {
        WindowDrawing().Width[static_cast<size_t>(number)] = w;
        WindowDrawing().Height[static_cast<size_t>(number)] = h;
      }
      if (plat::isWindowVisible(window)) {
        s.StoredType = EventSized;
        r[0] = number;
        r[11] = MessageTime();
        r[1] = w;
        r[2] = h;
        r[3] = 0;
        SetWords(r, 4, 6, -1);
        Stored();
      } else if (number >= 0) {
        YYWindowDrawableChanged(number, w, h);
      }
      break;
    }
    case 9:
    case 14:
      SetWords(r, 1, 6, -1);
      Stored();
      break;
    case 10: {
      if (dialog == nullptr) break;
      EventRecord change{};
      change[0] = dialog->Identifier;
      change[1] = dialog->PreviousField;
      change[2] = dialog->CurrentField;
      change[3] = 0;
      change[4] = -1;
      change[6] = static_cast<int32_t>(p2);
      change[11] = MessageTime();
      if (s.LoopState == 0 && s.Fetching) {
        change[5] = dialog->LastChangeValue;
        s.QueuedChange = change;
        s.QueuedChangeType = EventFieldChange;
      } else {
        // (between fetches the stored type stays, so the next fetch drops it)
        for (int i : {0, 1, 2, 3, 4, 6, 11}) r[static_cast<size_t>(i)] = change[static_cast<size_t>(i)];
        if (s.FirstChange) r[5] = dialog->LastChangeValue;
        s.FirstChange = 0;
        Stored();
      }
      dialog->LastChangeValue = static_cast<int32_t>(p2);
      break;
    }
    case 11:
      r[0] = dialog != nullptr ? dialog->Identifier : -1;
      r[1] = dialog != nullptr ? dialog->PageLeft : -1;
      r[2] = dialog != nullptr ? dialog->PageSelected : -1;
      SetWords(r, 3, 6, -1);
      Stored();
      break;
    case 12:
      r[1] = a;
      SetWords(r, 2, 6, -1);
      Stored();
      break;
    case 13:
      r[1] = static_cast<int32_t>(p1);
      SetWords(r, 2, 6, -1);
      Stored();
      break;
    case 15:
      r[1] = plat::loWord(static_cast<uintptr_t>(p2));
      r[2] = plat::hiWord(static_cast<uintptr_t>(p2));
      r[3] = 2;
      r[4] = -1;
      r[5] = 0;
      r[6] = 0;
      Stored();
      break;
    case 104:
    case 105:
    case 106:
    case 116:
      s.StoredType = kind - 100;
      r[0] = dialog != nullptr ? dialog->Identifier : -1;
      r[1] = kind == 106 ? -1 : (dialog != nullptr ? dialog->EventButton : 0);
      r[2] = YYMouseFlags(p1);
      r[3] = 1;
      r[4] = dialog != nullptr ? dialog->EventField : -1;
      PointerWords(r, p2);
      Stored();
      break;
    case 107:
      s.StoredType = EventRepaint;
      r[0] = dialog != nullptr ? dialog->Identifier : -1;
      r[1] = -1;
      r[2] = -1;
      r[3] = 1;
      r[4] = dialog != nullptr ? dialog->EventField : -1;
      r[5] = -1;
      r[6] = -1;
      Stored();
      break;
    case 108: {
      if (p1 == plat::kSizeMinimized || dialog == nullptr) break;
      const int32_t w = plat::loWord(static_cast<uintptr_t>(p2));
      const int32_t h = plat::hiWord(static_cast<uintptr_t>(p2));
      if (plat::isWindowVisible(window)) {
        s.StoredType = EventSized;
        r[11] = MessageTime();
        r[0] = dialog->Identifier;
        r[1] = w;
        r[2] = h;
        r[3] = 1;
        r[4] = dialog->EventField;
        r[5] = -1;
        r[6] = -1;
        Stored();
      } else {
        YYDrawableResized(dialog->Identifier, dialog->EventField, w, h);
      }
      break;
    }
    default:
      break;
  }
}

void YYEventWait(int32_t& type, EventRecord& record, bool& complete) { Wait(type, record, complete, true); }
void YYEventPeekLoop(int32_t& type, EventRecord& record, bool& complete) { Wait(type, record, complete, false); }

void YYEventFinish(int32_t type, EventRecord& record) {
  switch (type) {
    case EventKey:
    case EventMouseDown:
    case EventMouseUp:
    case EventMouseMotion:
    case EventRepaint:
    case EventSized:
    case EventViewerScroll:
    case EventMouseDoubleClick:
      break;
    default:
      return;
  }
  GraphicsStateRecord& g = GraphicsState();
  if (type == EventViewerScroll) {
    float ux = 0.0f, uy = 0.0f;
    YYPixelToUnits(static_cast<float>(record[5]) + 0.5f,
                   static_cast<float>(g.DrawableHeight - record[6] - 1) + 0.5f, ux, uy, record[0]);
    SetEventReal(record, 9, ux);
    SetEventReal(record, 10, uy);
    return;
  }
  const int32_t place = record[3];
  const bool field = place == 1;
  const int32_t kind = field ? kDrawableField : kDrawableWindow;
  const int32_t number = field ? record[4] : record[0];
  const bool current = g.DrawableKind == kind && g.DrawableNumber == number && (!field || g.DrawableOwner == record[0]);
  int32_t w = 0, h = 0;
  if (current) {
    w = g.DrawableWidth;
    h = g.DrawableHeight;
  } else if (!field) {
    ClientSize(record[0], w, h);
  }
  SavedMapping saved;
  if (!current && !field && w > 0 && h > 0) {
    saved.saved = true;
    saved.state = g;
    saved.dialog = DialogTable().Selected;
    g.DrawableHeight = h;
    g.DrawableWidth = w;
    g.ViewportLeft = g.AreaX1 * (static_cast<float>(w) - 0.01f);
    g.ViewportRight = g.AreaX2 * (static_cast<float>(w) - 0.01f);
    g.ViewportBottom = g.AreaY1 * (static_cast<float>(h) - 0.01f);
    g.ViewportTop = g.AreaY2 * (static_cast<float>(h) - 0.01f);
    g.ViewportWidth = g.ViewportRight - g.ViewportLeft;
    g.ViewportHeight = g.ViewportTop - g.ViewportBottom;
  }
  auto units = [&](float px, float py, int word) {
    float ux = 0.0f, uy = 0.0f;
    if (place == 2) {
      YYPixelToUnits(px, py, ux, uy, record[0]);
    } else {
      YYPageToUnits(px, py, ux, uy);
    }
    SetEventReal(record, word, ux);
    SetEventReal(record, word + 1, uy);
  };
  switch (type) {
    case EventKey:
    case EventMouseDown:
    case EventMouseUp:
    case EventMouseMotion:
    case EventMouseDoubleClick:
      units(static_cast<float>(record[5]) + 0.5f, static_cast<float>(h - record[6] - 1) + 0.5f, 9);
      if (!field) {
        record[5] = YYPixelToWindowUnits(record[5], w);
        record[6] = YYPixelToWindowUnits(record[6], h);
      }
      break;
    case EventRepaint: {
      if (field) break;  // a picture field's repaint carries no area
      units(static_cast<float>(record[5]) + 0.5f, static_cast<float>(h - record[6] - 1) + 0.5f, 9);
      units(static_cast<float>(record[1]) + 0.5f, static_cast<float>(record[2]) + 0.5f, 7);
      const int32_t left = YYPixelToWindowUnits(record[5], w);
      const int32_t top = YYPixelToWindowUnits(record[6], h);
      const int32_t right = YYPixelToWindowUnits(record[5] + record[1] - 1, w);
      const int32_t bottom = YYPixelToWindowUnits(record[6] + record[2] - 1, h);
      record[1] = right - left;
      record[2] = bottom - top;
      record[5] = left;
      record[6] = top;
      break;
    }
    case EventSized:
      if (!field && record[0] == WindowDrawing().CurrentWindow) {
        WindowDrawing().CurrentWidth = record[1];
        WindowDrawing().CurrentHeight = record[2];
      }
      if (current) YYWindowRescale(kind, number, record[1], record[2]);
      break;
    default:
      break;
  }
  if (saved.saved) g = saved.state;
}

void WEventNext(int32_t& type, EventRecord& record) {
  bool complete = false;
  do {
    YYEventWait(type, record, complete);
  } while (!complete);
  YYEventFinish(type, record);
}

void WEventPoll(int32_t& type, EventRecord& record) {
  bool complete = false;
  YYEventPeekLoop(type, record, complete);
  if (type == kNoEvent || !complete) {
    type = kNoEvent;
    SetWords(record, 0, 6, -1);
    record[11] = -1;
    return;
  }
  YYEventFinish(type, record);
}

void YYTimerSet(int32_t period, int32_t identifier, int32_t place) {
  const plat::Hwnd client = WindowTables().Client[0];
  const plat::Hwnd frame = WindowTables().Frame[0];
  if (period > 0) {
    plat::setTimer(place == 1 ? client : frame, static_cast<uintptr_t>(identifier), static_cast<uint32_t>(period));
  } else {
    plat::killTimer(client, static_cast<uintptr_t>(identifier));
    plat::killTimer(frame, static_cast<uintptr_t>(identifier));
  }
}

void YYWaitTicks(int32_t n) {
  const plat::Hwnd client = WindowTables().Client[0];
  const uint32_t ms = static_cast<uint32_t>(std::clamp<int64_t>(static_cast<int64_t>(n) * 10, 1, INT32_MAX));
  if (!client || plat::setTimer(client, kWaitTimer, ms) == 0) return;
  gStore.TickWait = 1;
  while (gStore.TickWait) {
    plat::Msg m;
    if (!plat::getMessage(m)) break;
    plat::translateMessage(m);
    plat::dispatchMessage(m);
  }
  gStore.TickWait = 0;
}
