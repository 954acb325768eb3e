// The backend on other desktops than a bare X server: an X server with a
// window manager, and a Wayland compositor (weston, nested in an X server of
// the test's own). A maximised window covers the work area and no more; a
// compositor that goes away ends the program at once.
#include "tests/platform/display/Desktops.h"

#include <sstream>

namespace {

using namespace x11test;

struct Maximized {
  plat::Rect frame, work;
  bool ok = false;
};

// Starts the probe, has it maximise its frame, and reads back where the
// frame went and the work area it was given.
Maximized ProbeMaximized(Process& probe) {
  Maximized m;
  probe = Start({DISPLAY_PROBE, "maximize"}, {}, true);
  if (!ReadUntil(probe, "work ")) return m;
  ReadUntil(probe, "\n", 1000);
  const size_t at = probe.output.find("maximized ");
  if (at == std::string::npos) return m;
  std::istringstream in(probe.output.substr(at));
  std::string word;
  in >> word >> m.frame.left >> m.frame.top >> m.frame.right >> m.frame.bottom;
  in >> word >> m.work.left >> m.work.top >> m.work.right >> m.work.bottom;
  m.ok = !in.fail();
  return m;
}

// The window's outer rectangle as the X server has it.
plat::Rect XGeometry(const std::string& display, const std::string& id) {
  EnvVar d("DISPLAY", display.c_str());
  const std::string g = RunProgram({"xdotool", "getwindowgeometry", "--shell", id});
  auto value = [&](const std::string& key) {
    const size_t at = g.find(key + "=");
    return at == std::string::npos ? -99999 : std::atoi(g.c_str() + at + key.size() + 1);
  };
  const int x = value("X"), y = value("Y");
  return {x, y, x + value("WIDTH"), y + value("HEIGHT")};
}

TEST(DesktopMaximize, OnAnXServerWithAndWithoutAWindowManagerTheWindowCoversTheScreenExactly) {
  for (const bool withManager : {false, true}) {
    SCOPED_TRACE(withManager ? "openbox" : "no window manager");
    if (withManager && !HaveProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    OwnXServer x("1024x768");
    ASSERT_FALSE(x.display.empty()) << "the test's own X server did not start";
    std::unique_ptr<WindowManager> wm;
    if (withManager) wm = std::make_unique<WindowManager>(x.display);
    Process probe;
    Maximized m;
    {
      EnvVar d("DISPLAY", x.display.c_str());
      EnvVar w("WAYLAND_DISPLAY", nullptr);
      EnvVar v("SDL_VIDEODRIVER", "x11");
      m = ProbeMaximized(probe);
    }
    ASSERT_TRUE(m.ok) << probe.output;
    EXPECT_EQ(m.work, (plat::Rect{0, 0, 1024, 768}));
    EXPECT_EQ(m.frame, m.work) << "the maximised frame is the work area, its borders inside";
    const std::string id = probe.output.substr(6, probe.output.find('\n') - 6);
    // the window manager may take a moment to place it
    plat::Rect onServer;
    for (int i = 0; i < 40; ++i) {
      onServer = XGeometry(x.display, id);
      if (onServer == m.work) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(onServer, m.work) << "where the X server has the window";
    Stop(probe);
  }
}

TEST(DesktopMaximize, OnAWaylandCompositorTheWindowFillsItsWorkAreaBelowThePanel) {
  if (!HaveProgram("weston")) GTEST_SKIP() << "weston is not installed";
  OwnXServer x("1024x768");
  ASSERT_FALSE(x.display.empty());
  NestedCompositor c(x.display, 1024, 768);
  ASSERT_TRUE(c.ready) << c.weston.output;
  Process probe;
  Maximized m;
  {
    OnCompositor env(c);
    m = ProbeMaximized(probe);
  }
  ASSERT_TRUE(m.ok) << probe.output;
  // the compositor gives the output less its panel: the whole width, most
  // of the height, and the frame takes exactly that size
  EXPECT_EQ(m.frame.left, 0);
  EXPECT_EQ(m.frame.top, 0);
  EXPECT_EQ(m.frame.width(), 1024);
  EXPECT_GT(m.frame.height(), 700);
  EXPECT_LT(m.frame.height(), 768) << "the panel stays visible";

  // On the compositor's output the frame's bottom edge is the output's
  // bottom row: the status bar and the border are on the screen.
  plat::Surface shot;
  std::string why;
  {
    EnvVar d("DISPLAY", x.display.c_str());
    // the compositor's output window covers the test's X screen
    ASSERT_TRUE(ReadXwd(RunProgram({"xwd", "-silent", "-root"}), shot, why)) << why;
  }
  ASSERT_EQ(shot.width, 1024);
  ASSERT_EQ(shot.height, 768);
  const uint32_t border = shot.at(512, 767);
  EXPECT_EQ(shot.at(5, 767), border);
  EXPECT_EQ(shot.at(1018, 767), border);
  // the frame's top edge lies right below the panel
  const int top = 768 - m.frame.height();
  EXPECT_NE(shot.at(512, top - 1), shot.at(512, top)) << "panel and frame meet at row " << top;
  Stop(probe);
}

// The compositor goes away under a program: it ends within a second with
// its message and the lost-display status, and does not spin.
TEST(DesktopLost, KillingTheCompositorEndsTheProgramWithAMessage) {
  if (!HaveProgram("weston")) GTEST_SKIP() << "weston is not installed";
  OwnXServer x("800x600");
  ASSERT_FALSE(x.display.empty());
  NestedCompositor c(x.display, 800, 600);
  ASSERT_TRUE(c.ready) << c.weston.output;
  Process probe;
  {
    OnCompositor env(c);
    probe = Start({DISPLAY_PROBE}, {}, true);
  }
  ASSERT_TRUE(ReadUntil(probe, "ready")) << probe.output;
  Stop(c.weston, SIGKILL);
  const auto t0 = Clock::now();
  ASSERT_TRUE(Finish(probe, 10000)) << "the probe hung after its compositor went away";
  EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(1000));
  EXPECT_EQ(probe.status, plat::display::kLostDisplayStatus);
  EXPECT_NE(probe.output.find("display_probe: the connection to the display was lost"), std::string::npos)
      << probe.output;
}

}  // namespace
