// The toolkit's main window on an X server: what the server shows, input
// from outside (xdotool), closing, resizing, and a server that goes away.
#include "tests/platform/display/X11Fixture.h"

#include <cstdlib>

#include "platform/gdi/Gdi.h"
#include "platform/paint/WindowDc.h"

namespace {

using namespace x11test;

TEST_F(X11Test, TheMainWindowIsARealWindowShowingTheHeadlessPicture) {
  OpenShown();
  const std::string id = Hex(plat::display::nativeWindow(Frame()));
  EXPECT_EQ(RunProgram({"xdotool", "getwindowname", id}), "Tesselby Research Quillon\n");
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  const std::string geometry = RunProgram({"xdotool", "getwindowgeometry", "--shell", id});
  EXPECT_NE(geometry.find("X=" + std::to_string(outer.left) + "\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("WIDTH=" + std::to_string(outer.width()) + "\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=" + std::to_string(outer.height()) + "\n"), std::string::npos) << geometry;

  plat::Surface shot, headless;
  std::string why;
  ASSERT_TRUE(ReadXwd(RunProgram({"xwd", "-silent", "-id", id}), shot, why)) << why;
  ASSERT_TRUE(plat::test::windowPicture(Frame(), true, headless));
  ASSERT_EQ(shot.width, headless.width);
  ASSERT_EQ(shot.height, headless.height);
  int differing = 0;
  for (size_t i = 0; i < shot.pixels.size(); ++i) differing += shot.pixels[i] != headless.pixels[i];
  EXPECT_EQ(differing, 0) << "pixels of the server's picture that differ from the headless one";
  // the screen is the server's, at 96 dpi
  EXPECT_EQ(plat::displayInfo().width, 1280);
  EXPECT_EQ(plat::displayInfo().height, 1024);
  EXPECT_EQ(plat::displayInfo().dpi, 96);
}

TEST_F(X11Test, OnlyTheDamagedPartIsCopiedAndAnExposureNeedsNoRepaint) {
  OpenShown();
  plat::Rect c;
  plat::getClientRect(Client(), c);
  // a small area of the drawing area changes
  plat::Hdc dc = plat::getDC(Client());
  const plat::Rect box{10, 12, 30, 20};
  plat::fillRect(dc, box, static_cast<plat::HBrush>(plat::getStockObject(plat::Stock::kBlackBrush)));
  plat::releaseDC(Client(), dc);
  plat::display::flush();
  const std::vector<plat::Rect> copied = plat::display::lastCopiedRects(Frame());
  ASSERT_EQ(copied.size(), 1u);
  const plat::Point at = plat::mapWindowPoint(Client(), {}, {box.left, box.top});
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  EXPECT_EQ(copied[0].left, at.x - outer.left);
  EXPECT_EQ(copied[0].top, at.y - outer.top);
  EXPECT_EQ(copied[0].width(), box.width());
  EXPECT_EQ(copied[0].height(), box.height());

  // another window covering it and going away: the server asks for the
  // covered part again and gets it from the kept picture
  const int exposures = plat::display::counts().exposures;
  plat::test::MessageLog paints([](const plat::test::LoggedMessage& m) { return m.message == plat::wm::Paint; });
  Process cover = Start({"xlogo", "-geometry", "200x100+" + std::to_string(outer.left + 20) + "+" +
                                       std::to_string(outer.top + 20)});
  ASSERT_GT(cover.pid, 0);
  RunUntil([] { return false; }, 500);   // it maps over the frame
  kill(cover.pid, SIGTERM);
  Finish(cover, 5000);
  EXPECT_TRUE(RunUntil([&] { return plat::display::counts().exposures > exposures; }, 3000));
  EXPECT_TRUE(paints.messages().empty()) << "an exposure does not ask the program to paint";
}

TEST_F(X11Test, AResizeFromOutsideGivesOneSizeEventAndARepaint) {
  OpenShown();
  const std::string id = Hex(plat::display::nativeWindow(Frame()));
  plat::Rect before;
  plat::getWindowRect(Frame(), before);
  const int32_t clientWidth = WInfoWindowItem(1), clientHeight = WInfoWindowItem(2);
  Xdotool({"windowsize", id, std::to_string(before.width() + 100), std::to_string(before.height() + 50)});
  EventRecord e{};
  ASSERT_EQ(NextNotMotion(e), EventSized);
  EXPECT_EQ(e[1], clientWidth + 100);
  EXPECT_EQ(e[2], clientHeight + 50);
  plat::Rect after;
  plat::getWindowRect(Frame(), after);
  EXPECT_EQ(after.width(), before.width() + 100);
  EXPECT_EQ(after.height(), before.height() + 50);
  EXPECT_EQ(NextNotMotion(e, 300), kNoEvent) << "one size event";
  // the repaint reached the server: it shows the picture of the new size
  plat::display::flush();
  plat::Surface shot, headless;
  std::string why;
  ASSERT_TRUE(ReadXwd(RunProgram({"xwd", "-silent", "-id", id}), shot, why)) << why;
  ASSERT_TRUE(plat::test::windowPicture(Frame(), true, headless));
  ASSERT_EQ(shot.width, after.width());
  EXPECT_TRUE(shot.pixels == headless.pixels);
}

TEST_F(X11Test, TheDesktopsCloseIsTheCloseRequest) {
  OpenShown();
  int status = -1;
  RunProgram({X_HELPER, "delete", Hex(plat::display::nativeWindow(Frame()))}, &status);
  ASSERT_EQ(status, 0);
  EventRecord e{};
  EXPECT_EQ(NextNotMotion(e), EventCloseAsked);
  EXPECT_EQ(e[0], 0);
  EXPECT_TRUE(plat::isWindowVisible(Frame())) << "asked, not closed";
}

TEST_F(X11Test, ThePointerTakesTheShapeOfTheCursorUnderIt) {
  OpenShown();
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  struct Case {
    plat::Point at;   // window coordinates
    plat::SysCursor shape;
  };
  const Case cases[] = {{{1, outer.height() / 2}, plat::SysCursor::SizeWE},
                        {{outer.width() / 2, 1}, plat::SysCursor::SizeNS},
                        {{outer.width() - 2, outer.height() - 2}, plat::SysCursor::SizeNWSE},
                        {{outer.width() / 2, outer.height() / 2}, plat::SysCursor::Arrow}};
  for (const Case& c : cases) {
    Xdotool({"mousemove", At(c.at)[0], At(c.at)[1]});
    plat::SysCursor shown = plat::SysCursor::No;
    EXPECT_TRUE(RunUntil([&] {
      plat::display::flush();
      return plat::display::shownCursor(shown) && shown == c.shape;
    }, 3000)) << "at " << c.at.x << "," << c.at.y << ": shape " << static_cast<int>(shown);
  }
}

// The probe's own X server is killed under it: the probe ends at once with
// its message and a non-zero status.
TEST(X11LostDisplay, KillingTheServerEndsTheProgramWithAMessage) {
  Process server = Start({"Xvfb", "-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
  ASSERT_GT(server.pid, 0);
  std::string number;
  const auto end = Clock::now() + std::chrono::seconds(10);
  char c;
  while (Clock::now() < end && (number.empty() || number.back() != '\n')) {
    pollfd p{server.out, POLLIN, 0};
    if (poll(&p, 1, 100) > 0 && read(server.out, &c, 1) == 1) number += c;
  }
  ASSERT_FALSE(number.empty()) << "the test's own X server did not start";
  number.pop_back();
  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  setenv("DISPLAY", (":" + number).c_str(), 1);
  Process probe = Start({DISPLAY_PROBE}, {}, true);
  setenv("DISPLAY", saved.c_str(), 1);
  std::string line;
  const auto ready = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < ready && line.find('\n') == std::string::npos) {
    pollfd p{probe.out, POLLIN, 0};
    if (poll(&p, 1, 100) > 0 && read(probe.out, &c, 1) == 1) line += c;
  }
  ASSERT_EQ(line.rfind("ready", 0), 0u) << line;
  kill(server.pid, SIGKILL);
  int st = 0;
  waitpid(server.pid, &st, 0);
  const auto t0 = Clock::now();
  ASSERT_TRUE(Finish(probe, 10000)) << "the probe hung after its display went away";
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(5));
  EXPECT_EQ(probe.status, plat::display::kLostDisplayStatus);
  EXPECT_NE(probe.output.find("display_probe: the connection to the display was lost"), std::string::npos)
      << probe.output;
}

}  // namespace
