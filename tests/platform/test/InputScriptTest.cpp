// A headless run driven by an input script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/dlg/CommonDialogs.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

std::vector<std::string> events;

LResult appProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  switch (m) {
    case wm::Char:
      events.push_back("char " + std::string(1, static_cast<char>(wp)));
      return 0;
    case wm::LButtonDown:
      events.push_back("click " + std::to_string(xFromParam(static_cast<uintptr_t>(lp))) + "," +
                       std::to_string(yFromParam(static_cast<uintptr_t>(lp))) + " at " + std::to_string(tickCount()));
      return 0;
    case wm::Command:
      if (loWord(wp) == 101) {
        int a = messageBox(w, "Really?", "App", mb::YesNo);
        events.push_back(a == kIdYes ? "answered yes" : "answered no");
      }
      return 0;
    case wm::Destroy:
      postQuitMessage(0);
      return 0;
    default:
      return defWindowProc(w, m, wp, lp);
  }
}

// The program: a frame with a menu and its message loop until it quits.
void runApp() {
  WindowClass wc;
  wc.name = "App";
  wc.proc = appProc;
  registerClass(wc);
  res::pushOverlay("MENU 1\n POPUP \"&File\"\n  ITEM \"&Ask\" 101\n END\nEND\n");
  Hwnd f = createWindow("App", "App", ws::OverlappedWindow | ws::Visible, 0, 0, 300, 200, {}, loadMenu(1));
  setFocus(f);
  Msg m;
  while (getMessage(m)) {
    translateMessage(m);
    dispatchMessage(m);
  }
}

class InputScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    events.clear();
  }
  void TearDown() override {
    setIdleHook({});
    test::reset();
  }
};

TEST_F(InputScriptTest, ScriptDrivesAHeadlessRunToItsEnd) {
  std::string error;
  ASSERT_TRUE(test::loadInputScriptText(R"(# a session
text "ok"
wait 250
click 10 20
menu 101
msgbox yes
close
)",
                                        "session", error))
      << error;
  runApp();
  EXPECT_EQ(events, (std::vector<std::string>{"char o", "char k", "click 10,20 at 250", "answered yes"}));
}

TEST_F(InputScriptTest, AScriptThatEndsTooSoonStarvesTheLoop) {
  std::string error;
  ASSERT_TRUE(test::loadInputScriptText("text \"a\"\n", "short", error));
  EXPECT_THROW(runApp(), FatalError);
  EXPECT_EQ(events, (std::vector<std::string>{"char a"}));
}

TEST_F(InputScriptTest, ScriptFromAFile) {
  const auto path = std::filesystem::temp_directory_path() / ("script_" + std::to_string(::getpid()));
  std::ofstream(path) << "key Shift+B\nclose\n";
  std::string error;
  ASSERT_TRUE(test::loadInputScript(path.string(), error)) << error;
  runApp();
  EXPECT_EQ(events, (std::vector<std::string>{"char B"}));
  std::filesystem::remove(path);
  EXPECT_FALSE(test::loadInputScript(path.string(), error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST_F(InputScriptTest, MalformedLinesAreRefusedWithTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"jump 1", "s:1: unknown action jump"},
      {"wait\n", "s:1: a number is missing"},
      {"\nkey Hyper+A", "s:2: unknown modifier hyper"},
      {"key Nokey", "s:1: unknown key Nokey"},
      {"text hello", "s:1: a text in quotes is missing"},
      {"click 1 2 sideways", "s:1: unknown button sideways"},
      {"msgbox maybe", "s:1: unknown message box answer maybe"},
      {"colour 12345", "s:1: bad colour 12345"},
      {"text \"open", "s:1: unterminated text"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(test::loadInputScriptText(c.text, "s", error)) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace plat
