#include "VOZUVar/SaveFileDialog.h"

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"

namespace {

constexpr int32_t kQuestionDialog = 101;
constexpr int32_t kMessageField = 1002;
constexpr int32_t kYes = 6;
constexpr int32_t kNo = 7;

}  // namespace

void SAVEFILEDLG(std::string_view text, bool& save, bool& cancel) {
  cancel = true;
  WDialogLoad(kQuestionDialog);
  if (DialogTable().Selected != kQuestionDialog) return;
  WDialogPutString(kMessageField, text);
  // The answer of this run only: a run that never happened ends nothing.
  DialogInfoItems()[0] = -1;
  WDialogShow(-1, -1, 0, 1);
  switch (WDialogInfoItem(1)) {
    case kYes:
      save = true;
      cancel = false;
      break;
    case kNo:
      save = false;
      cancel = false;
      break;
    default: break;
  }
}
