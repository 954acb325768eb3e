// The find and replace dialogs as real, modeless dialogs. Each button tells
// the owner through the registered find message, with the caller's record
// holding the texts, the options and the action (find next, replace,
// replace all, or the dialog's end). The owner's message loop passes the
// dialog's keys through isDialogMessage().
#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonInternal.h"

namespace plat::detail {

namespace {

enum FindControl : int {
  kFindEdit = 1152,
  kReplaceEdit = 1153,
  kWholeWord = 1040,
  kMatchCase = 1041,
  kUp = 1056,
  kDown = 1057,
  kDirection = 1072,
  kReplaceOne = 1024,
  kReplaceAll = 1025,
};

constexpr uint32_t kActions = fr::FindNext | fr::Replace | fr::ReplaceAll | fr::DialogTerm;

FindReplace* recordOf(Hwnd dialog) { return reinterpret_cast<FindReplace*>(getUserData(dialog)); }

// The buttons that act on the text need a text to find.
void enableActions(Hwnd dialog) {
  const bool any = !getDlgItemText(dialog, kFindEdit).empty();
  for (int id : {static_cast<int>(kIdOk), static_cast<int>(kReplaceOne), static_cast<int>(kReplaceAll)})
    if (Hwnd b = getDlgItem(dialog, id)) enableWindow(b, any);
}

void tell(Hwnd dialog, uint32_t action) {
  FindReplace* f = recordOf(dialog);
  if (!f) return;
  uint32_t options = 0;
  if (isDlgButtonChecked(dialog, kWholeWord) == kBstChecked) options |= fr::WholeWord;
  if (isDlgButtonChecked(dialog, kMatchCase) == kBstChecked) options |= fr::MatchCase;
  // The replace dialog always searches down.
  if (!getDlgItem(dialog, kUp) || isDlgButtonChecked(dialog, kUp) != kBstChecked) options |= fr::Down;
  f->findWhat = getDlgItemText(dialog, kFindEdit);
  if (getDlgItem(dialog, kReplaceEdit)) f->replaceWith = getDlgItemText(dialog, kReplaceEdit);
  f->flags = (f->flags & ~(kActions | fr::Down | fr::WholeWord | fr::MatchCase)) | action | options;
  const Hwnd owner = f->owner;
  if (action & fr::DialogTerm) {
    // The record may go with the notice: the dialog forgets it first.
    setUserData(dialog, 0);
    destroyWindow(dialog);
  }
  sendMessage(owner, registerWindowMessage(kFindMsgString), 0, reinterpret_cast<LParam>(f));
}

void init(Hwnd dialog, FindReplace& f) {
  setDlgItemText(dialog, kFindEdit, f.findWhat);
  if (getDlgItem(dialog, kReplaceEdit)) setDlgItemText(dialog, kReplaceEdit, f.replaceWith);
  checkDlgButton(dialog, kWholeWord, (f.flags & fr::WholeWord) ? kBstChecked : kBstUnchecked);
  checkDlgButton(dialog, kMatchCase, (f.flags & fr::MatchCase) ? kBstChecked : kBstUnchecked);
  checkRadioButton(dialog, kUp, kDown, (f.flags & fr::Down) ? kDown : kUp);
  const struct {
    uint32_t hide, disable;
    int ids[3];
  } options[] = {
      {fr::HideWholeWord, fr::NoWholeWord, {kWholeWord, 0, 0}},
      {fr::HideMatchCase, fr::NoMatchCase, {kMatchCase, 0, 0}},
      {fr::HideUpDown, fr::NoUpDown, {kUp, kDown, kDirection}},
  };
  for (const auto& o : options)
    for (int id : o.ids) {
      Hwnd c = id ? getDlgItem(dialog, id) : Hwnd{};
      if (!c) continue;
      if (f.flags & o.hide) showWindow(c, ShowCmd::Hide);
      else if (f.flags & o.disable) enableWindow(c, false);
    }
  enableActions(dialog);
}

using Hook = uintptr_t (*)(Hwnd, uint32_t, WParam, LParam);
Hook hookOf(const FindReplace* f) { return f && (f->flags & fr::EnableHook) ? f->hook : nullptr; }

intptr_t findProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  if (message != wm::InitDialog)
    if (Hook h = hookOf(recordOf(dialog)); h && h(dialog, message, wp, lp) != 0) return 1;
  switch (message) {
    case wm::InitDialog: {
      FindReplace& f = *reinterpret_cast<FindReplace*>(lp);
      init(dialog, f);
      centreOverOwner(dialog);
      // From here on the hook sees the dialog's messages, beginning with
      // the news that it opened.
      setUserData(dialog, lp);
      if (Hook h = hookOf(&f)) h(dialog, kHookInit, 0, f.hookData);
      return 1;
    }
    case wm::Command: {
      const int id = loWord(wp), code = hiWord(wp);
      if (id == kFindEdit && code == en::Change) {
        enableActions(dialog);
        return 1;
      }
      if (code != bn::Clicked) return 0;
      switch (id) {
        case kIdOk: tell(dialog, fr::FindNext); return 1;
        case kReplaceOne: tell(dialog, fr::Replace); return 1;
        case kReplaceAll: tell(dialog, fr::ReplaceAll); return 1;
        case kIdCancel: tell(dialog, fr::DialogTerm); return 1;
        default: return 0;
      }
    }
    default:
      return 0;
  }
}

}  // namespace

Hwnd makeFindDialog(FindReplace& f, bool replace) {
  Hwnd d = createDialogParam(replace ? kReplaceTemplate : kFindTemplate, f.owner, findProc, reinterpret_cast<LParam>(&f));
  if (d) showWindow(d, ShowCmd::ShowNormal);
  return d;
}

}  // namespace plat::detail
