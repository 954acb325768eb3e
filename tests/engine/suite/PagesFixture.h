// The suite's pages driven by injected input: the toolkit with the main
// window open, the suite's records reset, and a script of steps that the
// program carries out one at a time whenever it waits for input (a step
// may click, type, answer a dialog or only look at the page).
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/SuiteModelEditor.h"
#include "engine/SuitePages.h"
#include "tests/engine/suite/SuiteFixture.h"
#include "tests/toolkit/dialogs/DialogFixture.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInterface.h"

namespace suitetest {

class PagesTest : public dlgtest::DialogTest {
 protected:
  void SetUp() override {
    dlgtest::DialogTest::SetUp();
    ResetSuiteState();
    SetWinMsgHook(CaptureMessage);
    plat::setIdleHook([this] {
      if (steps_.empty()) return false;
      const std::function<void()> step = steps_.front();
      steps_.pop_front();
      step();
      return true;
    });
  }
  void TearDown() override {
    plat::setIdleHook({});
    SetWinMsgHook(nullptr);
    SetPrintoutClock(nullptr);
    SetSuiteMemberHook(nullptr);
    dlgtest::DialogTest::TearDown();
  }

  // The current sounding a three-layer model (100, 10, 1000 ohm-m; 100
  // and 200 m) and a suite of n members of Hz with its early apparent
  // resistivity.
  void ThreeLayerSuite(int32_t members) {
    SoundingRecord& current = CurrentSounding().Primary;
    SetModel(current, {100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f}, false, 1, 1);
    current.Data.NCurveSets = 1;
    SuiteSettingsRecord& s = SuiteSettings();
    s.NSuite = members;
    s.IComponent = 3;
    s.IDisplay = 2;
  }
  // The suite command from its first page; true when it was cancelled.
  bool Run() {
    bool cancelled = false;
    MODELSUITE(CurrentSounding().Primary, CurrentSounding().Partner, cancelled, firstCall_);
    EXPECT_TRUE(ScriptDone());
    return cancelled;
  }
  bool firstCall_ = true;

  void Steps(std::initializer_list<std::function<void()>> steps) { steps_.insert(steps_.end(), steps); }
  bool ScriptDone() const { return steps_.empty(); }

  // The caption of the dialog the program works on.
  std::string Page() const { return plat::getWindowText(Dialog()); }
  // A step that notes the page and presses one of its buttons.
  std::function<void()> Press(int32_t id) {
    return [this, id] {
      pages_.push_back(Page());
      ClickField(id);
    };
  }
  std::vector<std::string> pages_;

  // The box is up: its text is noted and Enter closes it.
  std::function<void()> CloseBox() {
    return [this] {
      boxes_.push_back(BoxText());
      plat::test::key(plat::vk::Return);
    };
  }
  std::string BoxText() {
    const plat::Hwnd box = plat::getActiveWindow();
    const plat::Hwnd text = plat::getDlgItem(box, 21);
    if (!text) return "(no message box: " + plat::getWindowText(box) + ")";
    std::string t = plat::getWindowText(text);
    std::replace(t.begin(), t.end(), '\n', ' ');  // the box wraps long lines
    return t;
  }
  std::vector<std::string> boxes_;

  // The middle of a visible grid cell (1-based), on the screen.
  plat::Point Cell(int32_t grid, int32_t column, int32_t row) {
    const GridRecord& g = *YYGridRecordOf(Field(grid));
    int32_t x = 0;
    for (int32_t k = g.FirstColumn; k < column - 1; ++k) x += g.Cols[static_cast<size_t>(k)].Width - 1;
    const int32_t y = (row - 1 - g.FirstRow) * (g.RowHeight - 1);
    return plat::test::at(g.Client, {x + g.Cols[static_cast<size_t>(column - 1)].Width / 2, y + g.RowHeight / 2});
  }
  // Types a value into a cell and leaves it downwards, as a user does.
  std::function<void()> TypeInto(int32_t grid, int32_t column, int32_t row, std::string text) {
    return [this, grid, column, row, text] {
      plat::test::click(plat::test::Button::Left, Cell(grid, column, row));
      plat::test::key(plat::vk::Home);
      plat::test::key(plat::vk::End, plat::test::kShift);
      plat::test::typeText(text);
      plat::test::key(plat::vk::Down);
    };
  }
  // The number dialog's answer.
  std::function<void()> Number(float value) {
    return [value] {
      WDialogPutReal(1398, value);
      plat::test::key(plat::vk::Return);
    };
  }
  // A column of a grid of the current dialog, rows 1..n (empty cells as
  // missing).
  std::vector<float> Column(int32_t grid, int32_t column, int32_t n) {
    std::vector<float> v(static_cast<size_t>(n));
    for (int32_t row = 1; row <= n; ++row)
      if (WInfoGridCell(grid, column, row, 1) > 0) WGridGetCellReal(grid, column, row, v[static_cast<size_t>(row - 1)]);
      else v[static_cast<size_t>(row - 1)] = kSuiteMissing;
    return v;
  }

 private:
  std::deque<std::function<void()>> steps_;
};

}  // namespace suitetest
