// The toolkit started as the program starts it, in a scratch directory,
// with the program's main window open (or not yet, for tests that open it
// themselves).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iostream>
#include <string>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/support/ScratchDir.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"

namespace wmtest {

inline constexpr int32_t kMainMenu = 30001;
inline constexpr int32_t kMainToolbar = 30104;
inline constexpr int32_t kStatusWidths[5] = {2800, 2800, 4500, 500, 500};

class ToolkitTest : public ::testing::Test {
 protected:
  ToolkitTest()
      : plovan_("PLOVAN", nullptr),
        duda_("DUDA", nullptr),
        init_("PLOVINIT", nullptr),
        debug_("PLOVDEBUG", nullptr),
        temp_("TEMP", dir_.path().c_str()),
        home_("HOME", dir_.path().c_str()) {}
  void SetUp() override {
    plat::test::reset();
    ResetToolkitForTest();
    ResetWindowManagerForTest();
    ResetErrorState();
    ErrorReportHooksRecord() = ErrorReportHooks{};
    WStartup(" ");
  }
  void TearDown() override {
    WShutdown();
    ErrorReportHooksRecord() = ErrorReportHooks{};
    ResetToolkitForTest();
    ResetWindowManagerForTest();
    ResetErrorState();
    plat::test::reset();
  }

  // The program's start-up as far as the toolkit goes: the main window at a
  // quarter of the screen, half its size, menu, status bar, toolbar.
  void OpenMainWindow(int32_t state = 1) {
    const float h = static_cast<float>(WInfoDisplay(2));
    const float w = static_cast<float>(WInfoDisplay(1));
    x_ = static_cast<int32_t>(std::lround(w * 0.25f));
    y_ = static_cast<int32_t>(std::lround(h * 0.25f));
    width_ = static_cast<int32_t>(std::lround(w * 0.5f));
    height_ = static_cast<int32_t>(std::lround(h * 0.5f));
    YYERRMODE(0);
    WindowTextRecord text;
    text.Font = 4;
    WindowTextSettings(text);
    WindowOpenRecordType record;
    record.Options = 39;
    record.X = x_;
    record.Y = y_;
    record.Width = width_;
    record.Height = height_;
    record.Menu = kMainMenu;
    record.Title = "Tesselby Research Quillon";
    record.Title.resize(80, ' ');
    WindowOpenRecord(record, 256);
    WindowPlace(width_, height_, x_, y_, state);
    WindowStatusParts(5, kStatusWidths);
    WMenuToolbar(kMainToolbar, 0, 1);
    frameExtra_ = height_ - WInfoWindowItem(2);
    WEventOptionSet(5, 1);
    WEventOptionSet(10, 1);
    YYERRMODE(0);
    WEventOptionSet(6, 1);
  }

  plat::Hwnd Frame() const { return WindowTables().Frame[0]; }
  plat::Hwnd Client() const { return WindowTables().Client[0]; }
  plat::Hwnd StatusBar() const { return WindowTables().StatusBar[0]; }
  plat::Hwnd Toolbar() const { return WindowTables().Toolbars[0][0]; }

  // The next event, after whatever input the test queued.
  EventRecord Next(int32_t& type) {
    EventRecord r{};
    WEventNext(type, r);
    return r;
  }
  int32_t PollType() {
    int32_t type = 0;
    EventRecord r{};
    WEventPoll(type, r);
    return type;
  }

  testsupport::ScratchDir dir_;
  testsupport::EnvOverride plovan_, duda_, init_, debug_, temp_, home_;
  int32_t x_ = 0, y_ = 0, width_ = 0, height_ = 0, frameExtra_ = 0;
};

}  // namespace wmtest
