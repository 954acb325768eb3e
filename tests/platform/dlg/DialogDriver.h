// Drives a real dialog headless: each step runs when the dialog's loop has
// nothing left to do (everything painted), as a user's next action would;
// steps inject input with the test interface or look at the dialog. When
// the steps run out the wait starves and the test fails loudly.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat::testing {

class DialogDriver {
 public:
  // Adds a step; a step may add further steps (an answer that depends on
  // what the dialog shows).
  DialogDriver& then(std::function<void()> step) {
    state_->steps.push_back(std::move(step));
    return *this;
  }
  // Makes the steps the idle hook.
  void install() {
    auto s = state_;
    setIdleHook([s] {
      if (s->next >= s->steps.size()) return false;
      // The user's pause between actions: two clicks of two steps are no
      // double click.
      test::advance(1000);
      s->steps[s->next++]();
      return true;
    });
  }
  size_t done() const { return state_->next; }
  size_t size() const { return state_->steps.size(); }

 private:
  struct State {
    std::vector<std::function<void()>> steps;
    size_t next = 0;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

// The dialog the user faces: the active window.
inline Hwnd activeDialog() { return getActiveWindow(); }

inline Point centreOf(Hwnd w) {
  Rect r;
  getClientRect(w, r);
  return test::at(w, {r.width() / 2, r.height() / 2});
}

// Clicks (or double-clicks) the middle of a control of the active dialog.
inline void clickItem(int id) { test::click(test::Button::Left, centreOf(getDlgItem(activeDialog(), id))); }
inline void doubleClickItem(int id) { test::doubleClick(test::Button::Left, centreOf(getDlgItem(activeDialog(), id))); }

// Clicks item `index` of a list box of the active dialog (double: enters it).
inline void clickListItem(int listId, int index, bool twice = false) {
  Hwnd list = getDlgItem(activeDialog(), listId);
  Rect r;
  sendMessage(list, lb::GetItemRect, static_cast<WParam>(index), reinterpret_cast<LParam>(&r));
  const Point p = test::at(list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  if (twice) test::doubleClick(test::Button::Left, p);
  else test::click(test::Button::Left, p);
}

// Replaces the text of the focused edit field as a user does: select it
// from its end to its start, then type.
inline void retype(const std::string& text) {
  test::key(vk::End);
  test::key(vk::Home, test::kShift);
  if (text.empty()) test::key(vk::Delete);
  else test::typeText(text);
}

// The dialogs' owner: a visible overlapped window of the "Plain" class,
// registered here with the default procedure only.
inline Hwnd openPlainOwner(const char* title, int x, int y, int width, int height) {
  WindowClass wc;
  wc.name = "Plain";
  wc.proc = [](Hwnd w, uint32_t m, WParam wp, LParam lp) { return defWindowProc(w, m, wp, lp); };
  registerClass(wc);
  return createWindow("Plain", title, ws::OverlappedWindow | ws::Visible, x, y, width, height);
}

}  // namespace plat::testing
