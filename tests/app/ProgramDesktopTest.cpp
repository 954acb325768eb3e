// The program on a Wayland compositor (weston nested in an X server of the
// test's own) driven as a user drives it, by pointer and keys from outside:
// the suite pages to the page, each main menu, a dialog, the exit. And the
// desktop taken away under the running program, on Wayland and on X11: it
// ends at once, with its settings written.
//
// A compositor places windows where it likes, so the test finds the active
// window on the screen by its caption (the first long run of the active
// caption's colour) and clicks relative to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/gdi/Png.h"
#include "tests/platform/display/Desktops.h"
#include "tests/support/ScratchDir.h"

namespace {

using namespace x11test;

// These runs drive the whole program by timed input from outside; under the
// sanitizers it computes and paints many times slower than a user sees, so
// they run in the normal build only.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#define SKIP_WHEN_SANITIZED() \
  if (kSanitized) GTEST_SKIP() << "timed runs of the whole program: normal build only"

constexpr uint32_t kActiveCaption = 0x000080;
constexpr int kCaptionHeight = 22;

plat::Surface Screen(const std::string& display) {
  EnvVar d("DISPLAY", display.c_str());
  plat::Surface s;
  std::string why;
  ReadXwd(RunProgram({"xwd", "-silent", "-root"}), s, why);
  return s;
}

// The top-left corner of the active window's caption bar.
std::optional<plat::Point> ActiveCaption(const plat::Surface& s) {
  for (int y = 0; y < s.height; ++y) {
    int run = 0;
    for (int x = 0; x < s.width; ++x) {
      run = s.at(x, y) == kActiveCaption ? run + 1 : 0;
      if (run == 60) {
        int left = x - 59;
        while (left > 0 && s.at(left - 1, y) == kActiveCaption) --left;
        return plat::Point{left, y};
      }
    }
  }
  return std::nullopt;
}

// Waits until an active caption shows elsewhere than `not_at`.
std::optional<plat::Point> WaitForCaption(const std::string& display, std::optional<plat::Point> notAt = {},
                                          int ms = 20000) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    const auto c = ActiveCaption(Screen(display));
    if (c && !(notAt && c->x == notAt->x && c->y == notAt->y)) return c;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  return std::nullopt;
}

int DifferingPixels(const plat::Surface& a, const plat::Surface& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

// Input from outside, into the X server the compositor's output is on.
struct User {
  std::string display;
  plat::Point origin;   // the active window's client area on the screen
  void xdotool(std::vector<std::string> args) const {
    EnvVar d("DISPLAY", display.c_str());
    args.insert(args.begin(), "xdotool");
    RunProgram(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  void key(const std::string& k) const { xdotool({"key", k}); }
  void type(const std::string& t) const { xdotool({"type", "--delay", "40", t}); }
  void click(int x, int y) const {
    xdotool({"mousemove", std::to_string(origin.x + x), std::to_string(origin.y + y), "click", "1"});
  }
  // The client area of a dialog whose caption starts at `caption`.
  void at(plat::Point caption) { origin = {caption.x, caption.y + kCaptionHeight}; }
};

struct RunningProgram {
  Process p;
  ~RunningProgram() { Stop(p, SIGKILL); }
};

TEST(ProgramOnWayland, TheSuitePagesMenusAndADialogWorkAndTheMenuEndsIt) {
  SKIP_WHEN_SANITIZED();
  if (!HaveProgram("weston")) GTEST_SKIP() << "weston is not installed";
  testsupport::ScratchDir dir;
  std::filesystem::create_symlink(QUILLON_PROGRAM, dir / "quillon");
  OwnXServer x("1280x1024");
  ASSERT_FALSE(x.display.empty());
  NestedCompositor c(x.display, 1280, 1024);
  ASSERT_TRUE(c.ready) << c.weston.output;
  RunningProgram program;
  {
    OnCompositor env(c);
    program.p = Start({dir / "quillon"}, {}, true);
  }
  User user{x.display, {}};

  // The suite pages, as the demonstration fills them: a three-layer model
  // whose middle layer's resistivity takes five values.
  auto pages = WaitForCaption(x.display);
  ASSERT_TRUE(pages) << "the suite pages did not show";
  user.at(*pages);
  user.xdotool({"mousemove", std::to_string(user.origin.x + 300), std::to_string(user.origin.y + 100)});
  user.key("Return");
  auto model = WaitForCaption(x.display, pages);
  ASSERT_TRUE(model) << "the model page did not show";
  user.at(*model);
  for (const char* k : {"100", "Right", "150", "Down", "Left", "10", "Right", "100", "Down", "Left", "300", "Down"})
    (k[0] >= '0' && k[0] <= '9') ? user.type(k) : user.key(k);
  user.click(232, 316);
  user.key("Home");
  user.key("shift+End");
  user.type("2");
  user.click(347, 351);
  auto values = WaitForCaption(x.display, model);
  ASSERT_TRUE(values) << "the variation page did not show";
  user.at(*values);
  for (const char* k : {"1", "Down", "3", "Down", "10", "Down", "30", "Down", "100"})
    (k[0] >= '0' && k[0] <= '9') ? user.type(k) : user.key(k);
  user.click(302, 334);
  auto times = WaitForCaption(x.display, values);
  ASSERT_TRUE(times) << "the time page did not show";
  user.key("Return");
  auto main = WaitForCaption(x.display, times);
  ASSERT_TRUE(main) << "the main window did not come back";
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const plat::Surface page = Screen(x.display);
  ASSERT_TRUE(plat::writePng(page, dir / "page.png"));
  // the page's curves: coloured pixels inside the window
  int coloured = 0;
  for (int yy = main->y + 60; yy < std::min(page.height, main->y + 500); ++yy)
    for (int xx = main->x; xx < std::min(page.width, main->x + 600); ++xx) {
      const uint32_t v = page.at(xx, yy);
      const int r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
      coloured += std::max({r, g, b}) - std::min({r, g, b}) > 80;
    }
  EXPECT_GT(coloured, 2000) << "no curves on the page (see " << dir / "page.png" << ")";

  // The keyboard follows a click into the window (the compositor decides
  // where it goes after the dialogs went).
  user.at(*main);
  user.click(450, 10);   // the menu bar right of its items
  const plat::Surface before = Screen(x.display);

  // Each main menu opens inside the window and closes again.
  struct Menu {
    const char* keys;
    const char* what;
  };
  for (const Menu& m : {Menu{"alt+f", "File"}, Menu{"F10 Right Down", "View"}, Menu{"F10 Left Down", "Help"}}) {
    SCOPED_TRACE(m.what);
    std::vector<std::string> args{"key"};
    for (std::string k, s = m.keys; !s.empty();) {
      const size_t sp = s.find(' ');
      args.push_back(s.substr(0, sp));
      s = sp == std::string::npos ? "" : s.substr(sp + 1);
    }
    user.xdotool(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const plat::Surface open = Screen(x.display);
    EXPECT_GT(DifferingPixels(open, before), 2000) << "the menu did not show";
    EXPECT_EQ(ActiveCaption(open)->y, main->y) << "the menu is drawn in the window, which stays active";
    user.key("Escape");
    user.key("Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  // View, Properties: the dialog opens, takes its Escape and goes.
  user.xdotool({"key", "F10", "Right", "Down", "p"});
  auto properties = WaitForCaption(x.display, main);
  ASSERT_TRUE(properties) << "View Properties did not open";
  user.key("Escape");
  ASSERT_TRUE(WaitForCaption(x.display, properties)) << "View Properties did not close";
  // Calculate/Model Suite (a command on the menu bar itself, clicked):
  // the pages again, cancelled.
  user.click(150, 10);
  auto again = WaitForCaption(x.display, main);
  ASSERT_TRUE(again) << "the suite pages did not open from the menu";
  user.key("Escape");
  ASSERT_TRUE(WaitForCaption(x.display, again)) << "the suite pages did not close";

  // File, Exit: the program ends normally, its settings written.
  user.click(450, 10);
  user.key("alt+f");
  user.key("x");
  ASSERT_TRUE(Finish(program.p, 10000)) << program.p.output;
  EXPECT_EQ(program.p.status, 0) << program.p.output;
  EXPECT_TRUE(std::filesystem::exists(dir / "quillon.INI"));
}

// The desktop taken away under the program: it says so and ends within a
// second with the lost-display status, its settings written.
void ExpectEndsWithSettings(RunningProgram& program, const testsupport::ScratchDir& dir,
                            const std::function<void()>& takeAway) {
  std::filesystem::remove(dir / "quillon.INI");
  takeAway();
  const auto t0 = Clock::now();
  ASSERT_TRUE(Finish(program.p, 10000)) << "the program hung after its display went away";
  EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(1000));
  EXPECT_EQ(program.p.status, plat::display::kLostDisplayStatus) << program.p.output;
  EXPECT_NE(program.p.output.find("quillon: the connection to the display was lost"), std::string::npos)
      << program.p.output;
  EXPECT_TRUE(std::filesystem::exists(dir / "quillon.INI"));
}

TEST(ProgramLosesItsDisplay, TheCompositorKilledUnderIt) {
  SKIP_WHEN_SANITIZED();
  if (!HaveProgram("weston")) GTEST_SKIP() << "weston is not installed";
  testsupport::ScratchDir dir;
  std::filesystem::create_symlink(QUILLON_PROGRAM, dir / "quillon");
  OwnXServer x("1024x768");
  ASSERT_FALSE(x.display.empty());
  NestedCompositor c(x.display, 1024, 768);
  ASSERT_TRUE(c.ready) << c.weston.output;
  RunningProgram program;
  {
    OnCompositor env(c);
    program.p = Start({dir / "quillon"}, {}, true);
  }
  ASSERT_TRUE(WaitForCaption(x.display)) << "the suite pages did not show";
  ExpectEndsWithSettings(program, dir, [&] { Stop(c.weston, SIGKILL); });
}

TEST(ProgramLosesItsDisplay, TheXServerKilledUnderIt) {
  SKIP_WHEN_SANITIZED();
  testsupport::ScratchDir dir;
  std::filesystem::create_symlink(QUILLON_PROGRAM, dir / "quillon");
  OwnXServer x("1024x768");
  ASSERT_FALSE(x.display.empty());
  RunningProgram program;
  {
    EnvVar d("DISPLAY", x.display.c_str());
    EnvVar w("WAYLAND_DISPLAY", nullptr);
    EnvVar v("SDL_VIDEODRIVER", "x11");
    program.p = Start({dir / "quillon"}, {}, true);
  }
  bool shown = false;
  for (int i = 0; i < 200 && !shown; ++i) {
    EnvVar d("DISPLAY", x.display.c_str());
    shown = !RunProgram({"xdotool", "search", "--name", "^Model Suite Parameters$"}).empty();
    if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(shown) << "the suite pages did not show";
  ExpectEndsWithSettings(program, dir, [&] { Stop(x.server, SIGKILL); });
}

}  // namespace
