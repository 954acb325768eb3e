// The program run in the test's process: a scratch directory that holds a
// link named "quillon" (the program's path, so the settings, help and
// exports land there and never collide between tests), the toolkit started
// as the program starts it, and helpers to feed it input and read what it
// shows.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "app/DisplaySettings.h"
#include "app/Quillon.h"
#include "app/ViewProperties.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/menu/Menu.h"
#include "platform/os/Os.h"
#include "platform/print/Printer.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/HelpDisplay.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace apptest {

// Messages of WINMSG and WINWRN, in order.
inline std::vector<std::string>& Notices() {
  static std::vector<std::string> n;
  return n;
}
inline void CaptureNotice(std::string_view /*caption*/, std::string_view text) {
  Notices().emplace_back(TrimTrailingBlanks(text));
}

// Every record of the program back to how a fresh process holds it.
inline void FreshProgram() {
  ResetDisplaySettings();
  ResetMainState();
  ViewDialogState() = ViewDialogStateRecord{};
  ResetSuiteSettings();
  ResetSuiteResults();
  ResetSoundings();
  ResetPenPlotState();
  ResetGraphLibraryState();
  ResetRecordUnits();
}

class AppTest : public ::testing::Test {
 protected:
  AppTest()
      : plovan_("PLOVAN", nullptr),
        duda_("DUDA", nullptr),
        init_("PLOVINIT", nullptr),
        debug_("PLOVDEBUG", nullptr),
        temp_("TEMP", dir_.path().c_str()),
        home_("HOME", dir_.path().c_str()) {
    // The program's own path: a link in the scratch directory.
    program_ = dir_ / "quillon";
    std::error_code ec;
    std::filesystem::create_symlink("/proc/self/exe", program_, ec);
  }
  void SetUp() override {
    plat::SetProgramPathForTest(program_);
    BeginRun();
    SetWinMsgHook(CaptureNotice);
    Notices().clear();
  }
  void TearDown() override {
    if (!MainState().Ended && started_) EndRun();
    SetWinMsgHook(nullptr);
    plat::setIdleHook({});
  }

  // ---- input given whenever the program waits: one step at a time

  void Steps(std::initializer_list<std::function<void()>> steps) {
    steps_->insert(steps_->end(), steps);
    InstallSteps();
  }
  bool StepsDone() const { return steps_->empty(); }
  void InstallSteps() {
    auto steps = steps_;
    plat::setIdleHook([steps] {
      if (steps->empty()) return false;
      const std::function<void()> step = steps->front();
      steps->pop_front();
      step();
      return true;
    });
  }
  // A click in the middle of a field of the dialog the program works on.
  static void ClickField(int32_t id) {
    const plat::Hwnd c = YYFieldWindow(id);
    ASSERT_TRUE(c) << "no field " << id;
    plat::Rect r;
    plat::getClientRect(c, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(c, {r.width() / 2, r.height() / 2}));
  }
  static std::function<void()> Press(int32_t id) {
    return [id] { ClickField(id); };
  }
  // Types a value into a grid cell and leaves it downwards, as a user does.
  static std::function<void()> TypeInto(int32_t grid, int32_t column, int32_t row, std::string text) {
    return [grid, column, row, text] {
      const GridRecord& g = *YYGridRecordOf(YYFieldWindow(grid));
      int32_t x = 0;
      for (int32_t k = g.FirstColumn; k < column - 1; ++k) x += g.Cols[static_cast<size_t>(k)].Width - 1;
      const int32_t y = (row - 1 - g.FirstRow) * (g.RowHeight - 1);
      plat::test::click(plat::test::Button::Left,
                        plat::test::at(g.Client, {x + g.Cols[static_cast<size_t>(column - 1)].Width / 2, y + g.RowHeight / 2}));
      plat::test::key(plat::vk::Home);
      plat::test::key(plat::vk::End, plat::test::kShift);
      plat::test::typeText(text);
      plat::test::key(plat::vk::Down);
    };
  }
  // The suite pages passed as they open: the type page, the base model,
  // the member values, the time range.
  static constexpr int32_t kNext = 1355;
  void DefaultSuitePages() { Steps({Press(kNext), Press(kNext), Press(kNext), Press(kNext)}); }

  // A fresh process's state, before the program starts.
  void BeginRun() {
    plat::test::reset();
    ResetToolkitForTest();
    ResetWindowManagerForTest();
    ResetErrorState();
    ResetCommandLineForTest();
    ResetDialogTable();
    ResetGraphicsEngine();
    ScreenRouteDriver() = YYGAPI;
    ResetScreenDriver();
    FreshProgram();
    plat::setPrintersForTest(true, true);
    started_ = false;
  }
  // The start-up up to the event loop; unless the test has steps of its
  // own, the suite pages are passed as they open.
  void Start() {
    if (StepsDone()) DefaultSuitePages();
    QuillonStartup();
    started_ = true;
    EXPECT_TRUE(StepsDone());
    Drain();
  }
  // The toolkit's windows gone, as after the process ended.
  void EndRun() {
    if (!MainState().Ended) QuillonShutdown();
    ResetToolkitForTest();
    ResetWindowManagerForTest();
    plat::test::reset();
    started_ = false;
  }

  // Every event the pending input makes, handled as the loop handles it.
  void Drain() {
    for (int guard = 0; guard < 10000 && !MainState().Ended; ++guard) {
      int32_t type = 0;
      EventRecord r{};
      WEventPoll(type, r);
      if (type == kNoEvent) return;
      HandleEvent(type, r);
    }
  }
  void Menu(int32_t command) {
    ASSERT_TRUE(plat::test::chooseMenu(Frame(), static_cast<uint32_t>(command))) << command;
    Drain();
  }

  plat::Hwnd Frame() const { return WindowTables().Frame[0]; }
  plat::Hwnd Client() const { return WindowTables().Client[0]; }
  plat::Hwnd StatusBar() const { return WindowTables().StatusBar[0]; }
  plat::Hwnd Toolbar() const { return WindowTables().Toolbars[0][0]; }

  bool Checked(int32_t command) const {
    const int s = plat::test::menuItemState(Frame(), static_cast<uint32_t>(command));
    return s >= 0 && (s & plat::mf::Checked) != 0;
  }
  std::string Status(int part) const { return plat::test::statusText(StatusBar(), part - 1); }

  // A screen point of the drawing area for a page point in inches.
  plat::Point At(float xInch, float yInch) const {
    plat::Rect r;
    plat::getClientRect(Client(), r);
    const int px = static_cast<int>(std::lround(xInch / 10.0f * static_cast<float>(r.width())));
    const int py = static_cast<int>(std::lround((8.0f - yInch) / 8.0f * static_cast<float>(r.height())));
    return plat::test::at(Client(), {px, py});
  }
  plat::Surface Picture(bool whole = false) const {
    plat::Surface s;
    EXPECT_TRUE(plat::test::windowPicture(whole ? Frame() : Client(), whole, s));
    return s;
  }

  std::string File(const std::string& name) const { return testsupport::ReadFile(dir_ / name); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

  testsupport::ScratchDir dir_;
  testsupport::EnvOverride plovan_, duda_, init_, debug_, temp_, home_;
  std::string program_;
  bool started_ = false;
  std::shared_ptr<std::deque<std::function<void()>>> steps_ = std::make_shared<std::deque<std::function<void()>>>();
};

}  // namespace apptest
