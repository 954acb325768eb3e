// The toolkit started with the program's main window open, for dialogs to
// be loaded, shown and driven by injected input.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/test/Test.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldValues.h"
#include "toolkit/dialogs/NumericFields.h"

namespace dlgtest {

class DialogTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    wmtest::ToolkitTest::SetUp();
    OpenMainWindow();
    WEventOptionSet(EventButton, 1);
    WEventOptionSet(EventFieldChange, 1);
    WEventOptionSet(EventTabChange, 1);
    YYERRMODE(0);
    ErrorState().LastErrorCode = 0;
    Events();   // the main window's start-up resize
  }

  // The last error code, cleared for the next call.
  int32_t Error() {
    const int32_t code = ErrorState().LastErrorCode;
    ErrorState().LastErrorCode = 0;
    return code;
  }

  plat::Hwnd Dialog() const { return YYCurrentDialogWindow(); }
  plat::Hwnd Field(int32_t id) const { return plat::getDlgItem(Dialog(), id); }
  std::string Text(int32_t id) const { return plat::getWindowText(Field(id)); }

  // The pending event, if any (type -1 when none).
  int32_t Poll(EventRecord& r) {
    int32_t type = 0;
    WEventPoll(type, r);
    return type;
  }
  // Takes the queued input as the program's event loop does (keyboard
  // navigation of the active dialog included) and returns the types of
  // the events it made, in order; the records go to records_.
  std::vector<int32_t> Events() {
    std::vector<int32_t> types;
    records_.clear();
    EventRecord r{};
    for (int32_t t = Poll(r); t != kNoEvent; t = Poll(r)) {
      types.push_back(t);
      records_.push_back(r);
    }
    return types;
  }
  // The record of the last event of that type from the last Events().
  EventRecord Last(int32_t type, const std::vector<int32_t>& types) const {
    for (size_t i = types.size(); i-- > 0;)
      if (types[i] == type) return records_[i];
    ADD_FAILURE() << "no event of type " << type;
    return {};
  }
  std::vector<EventRecord> records_;

  // A click in the middle of a control.
  void ClickOn(plat::Hwnd control) {
    plat::Rect r;
    plat::getClientRect(control, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(control, {r.width() / 2, r.height() / 2}));
  }
  void ClickField(int32_t id) { ClickOn(Field(id)); }
};

}  // namespace dlgtest
