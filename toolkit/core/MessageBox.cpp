#include "toolkit/core/MessageBox.h"

#include "VOZUVar/Strings.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogServices.h"

namespace {

uint32_t ButtonSetStyle(int32_t set) {
  switch (set) {
    case 1: return plat::mb::OkCancel;
    case 2: return plat::mb::RetryCancel;
    case 3: return plat::mb::YesNo;
    case 4: return plat::mb::YesNoCancel;
    case 5: return plat::mb::AbortRetryIgnore;
    default: return plat::mb::Ok;
  }
}

uint32_t IconStyle(int32_t icon) {
  switch (icon) {
    case 1: return plat::mb::IconStop;
    case 2: return plat::mb::IconQuestion;
    case 3: return plat::mb::IconExclamation;
    case 4: return plat::mb::IconInformation;
    default: return 0;
  }
}

int32_t AnswerCode(int button) {
  switch (button) {
    case plat::kIdOk:
    case plat::kIdRetry:
    case plat::kIdYes: return 1;
    case plat::kIdCancel:
    case plat::kIdIgnore: return 0;
    case plat::kIdAbort:
    case plat::kIdNo: return 2;
    default: return -1;
  }
}

}  // namespace

int32_t YYDefaultButtonPlace(int32_t set, int32_t defaultButton) {
  switch (set) {
    case 1:
    case 2:
    case 3: return defaultButton == 1 ? 1 : 2;
    case 4: return defaultButton == 1 ? 1 : defaultButton == 2 ? 2 : 3;
    case 5: return defaultButton == 1 ? 2 : defaultButton == 2 ? 1 : 3;
    default: return 1;
  }
}

void YYMessageBox(int32_t set, int32_t icon, int32_t place, int32_t& answer, const std::string& text,
                  const std::string& caption) {
  uint32_t style = ButtonSetStyle(set) | IconStyle(icon);
  if (place == 2) style |= plat::mb::DefButton2;
  if (place == 3) style |= plat::mb::DefButton3;
  int button = 0;
  YYRunModalBox([&](plat::Hwnd owner) { button = plat::messageBox(owner, text, caption, style); });
  answer = AnswerCode(button);
}

void YYRunModalBox(const std::function<void(plat::Hwnd owner)>& show) {
  const plat::Hwnd owner = YYDialogDefaultParent();
  const plat::Hwnd focus = plat::getFocus();
  YYDisableOthers(owner, 1);
  show(owner);
  const DialogManagerRecord& dm = DialogManager();
  YYEnableOthers(dm.ModalDialog ? dm.ModalDialog : owner, 1);
  if (owner && (plat::getWindowStyle(owner) & plat::ws::Child)) {
    plat::setFocus(owner);
    YYWindowFocus(owner);
  }
  if (focus && plat::isWindow(focus) && owner && plat::isChild(owner, focus)) plat::setFocus(focus);
}

void WMessageBox(int32_t set, int32_t icon, int32_t defaultButton, std::string_view text, std::string_view caption) {
  const int32_t place = YYDefaultButtonPlace(set, defaultButton);
  int32_t status = 0;
  YYSnapshotMode(1, -1, status);
  int32_t answer = -1;
  YYMessageBox(set, icon, place, answer, std::string(TrimTrailingBlanks(text)), std::string(TrimTrailingBlanks(caption)));
  YYSnapshotMode(0, -1, status);
  DialogInfoItems()[1] = 0;
  // The report comes first: in report mode 4 it shows a box of its own,
  // whose answer must not stand for this one.
  if (answer == -1) YYERRREP(1004, "WMessageBox");
  // A box that could not be shown answers "failed", never a stale answer.
  DialogInfoItems()[3] = answer;
}
