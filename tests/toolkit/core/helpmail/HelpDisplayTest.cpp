// Help display: our help files in the platform's viewer, HTML help through
// a run-time library, web pages and documents through the desktop's
// opener (recorded, never run), and the program's own help text.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include <filesystem>
#include <unistd.h>

#include "platform/ctl/Controls.h"
#include "platform/help/Help.h"
#include "platform/menu/Menu.h"
#include "platform/os/Modules.h"
#include "platform/os/Os.h"
#include "toolkit/core/HelpDisplay.h"

namespace {

using wmtest::ToolkitTest;

constexpr const char* kSmallHelp =
    "QUILLON HELP 1\n"
    "#topic 1 Contents\n"
    "First page.\n"
    "#topic 7 Zooming\n"
    "#keys zoom; box\n"
    "Drag a box.\n";

class HelpTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    ResetHelpDisplay();
    plat::test::recordSpawns({"xdg-open"});
    OpenMainWindow();
    testsupport::WriteFile("X.HLP", kSmallHelp);
  }
  void TearDown() override {
    ResetHelpDisplay();
    ToolkitTest::TearDown();
  }
  int32_t Show(std::string_view name, int32_t topic, std::string_view text = "", int32_t popup = 0,
               int32_t lookup = 0) {
    ResetErrorState();
    WHelpFile(name, topic, text, popup, lookup);
    return LastErrorCode();
  }
  std::string ShownText() { return plat::getWindowText(plat::helpViewerState().text); }
};

TEST_F(HelpTest, OurHelpFilesShowInTheViewer) {
  struct Case {
    const char* name;
    int32_t topic;
    const char* text;
    int32_t lookup;
    int32_t error;
    int shown;   // topic in the viewer afterwards, 0 when none
  };
  const Case cases[] = {
      {"X.HLP", 7, "", 0, 0, 7},              // capitals are our help too
      {"x.hlp", 7, "", 0, 1, 0},              // names keep their case
      {"X.HLP", -1, "", 1, 0, 1},             // contents
      {"X.HLP", -1, "Zoom ", 0, 0, 7},        // keyword
      {"X.HLP", -1, "pan", 0, 1030, 0},       // no such keyword
      {"X.HLP", 99, "", 0, 1030, 0},          // no such topic
      {"notes.txt", 1, "", 0, 1031, 0},
      {"gone.hlp", 1, "", 0, 1, 0},
      {"plain.hlp", 1, "", 0, 1030, 0},       // not a help file of ours
  };
  testsupport::WriteFile("plain.hlp", "just some text\n#topic 1 A\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + std::string(" ") + std::to_string(c.topic) + c.text);
    Show(" ", -1);
    EXPECT_EQ(Show(c.name, c.topic, c.text, 0, c.lookup), c.error);
    const plat::HelpViewerState& v = plat::helpViewerState();
    EXPECT_EQ(static_cast<bool>(v.window), c.shown != 0);
    if (c.shown != 0) {
      EXPECT_EQ(v.topic, c.shown);
      EXPECT_EQ(v.file, dir_ / "X.HLP");
      EXPECT_TRUE(plat::isWindowVisible(v.window));
      EXPECT_EQ(plat::sendMessage(v.topicList, plat::lb::GetCount), 2);
    }
  }
  EXPECT_EQ(Show("X.HLP", 7), 0);
  EXPECT_EQ(ShownText(), "Drag a box.\r\n");
  // a blank name closes the viewer
  EXPECT_EQ(Show("   ", -1), 0);
  EXPECT_FALSE(plat::helpViewerState().window);
}

TEST_F(HelpTest, APopupTopicShowsInASmallWindowOfItsOwn) {
  EXPECT_EQ(Show("X.HLP", 7, "", 1), 0);
  const plat::HelpViewerState& v = plat::helpViewerState();
  ASSERT_TRUE(v.popup);
  EXPECT_FALSE(v.window);
  EXPECT_EQ(plat::getWindowText(v.popup), "Zooming");
}

TEST_F(HelpTest, AHelpFileOnlyBesideTheProgramIsFound) {
  const std::string programDir = std::filesystem::path(plat::ProgramPath()).parent_path().string();
  const std::string name = "beside-" + std::to_string(::getpid()) + "-" + std::filesystem::path(dir_.path()).filename().string() + ".hlp";
  const std::string beside = programDir + "/" + name;
  testsupport::WriteFile(beside, kSmallHelp);
  const int32_t error = Show(name, 1);
  std::filesystem::remove(beside);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(plat::helpViewerState().file, beside);
}

// A program path longer than any fixed field: the help file beside it is
// found there, not beside a cut path.
TEST_F(HelpTest, AHelpFileBesideAProgramOfALongPathIsFound) {
  std::string programDir = dir_.path();
  while (programDir.size() < 1100) programDir += "/" + std::string(100, 'p');
  std::filesystem::create_directories(programDir);
  const std::string started = plat::ProgramPath();
  plat::SetProgramPathForTest(programDir + "/quillon");
  testsupport::WriteFile(programDir + "/long.hlp", kSmallHelp);
  const int32_t error = Show("long.hlp", 1);
  plat::SetProgramPathForTest(started);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(plat::helpViewerState().file, programDir + "/long.hlp");
}

TEST_F(HelpTest, AWebAddressOpensWithTheOpenerAndItsProbeDoesNotRemain) {
  struct Case {
    int32_t topic;
    int32_t lookup;
    const char* argument;
  };
  const Case cases[] = {
      {0, 1, "http://example.org/a b"},
      {3, 1, "http://example.org/a b#part"},
      {0, 2, "http://example.org/a b"},   // no browser of ours takes an anchor by itself
      {0, 0, "http://example.org/a b"},   // other lookup modes: still an address
      {2, 5, "http://example.org/a b#part"},
  };
  // A file under the old fixed probe name is neither used nor removed.
  std::filesystem::create_symlink(dir_ / "victim.txt", dir_ / "$$tmp$$.htm");
  testsupport::WriteFile("victim.txt", "keep");
  for (const Case& c : cases) {
    EXPECT_EQ(Show("http://example.org/a b", c.topic, "part  ", 0, c.lookup), 0);
  }
  EXPECT_EQ(testsupport::ReadFile("victim.txt"), "keep");
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "$$tmp$$.htm"));
  std::filesystem::remove(dir_ / "$$tmp$$.htm");
  const auto& spawns = plat::test::recordedSpawns();
  ASSERT_EQ(spawns.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(spawns[i].argv, (std::vector<std::string>{"xdg-open", cases[i].argument}));
    EXPECT_FALSE(spawns[i].waited);
  }
  // nothing is left in the temporary directory
  int left = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) left += e.path().extension() == ".htm";
  EXPECT_EQ(left, 0);
}

TEST_F(HelpTest, PagesAndDocumentsOpenAsFilesAndNeedTheOpener) {
  testsupport::WriteFile("page.html", "<p>x</p>");
  testsupport::WriteFile("manual.pdf", "%PDF-1.4");
  EXPECT_EQ(Show("file://page.html", 2, "sec", 0, 0), 0);
  EXPECT_EQ(Show("manual.pdf", -1), 0);
  EXPECT_EQ(Show("page.html", 0, "sec", 0, 3), 0);   // any lookup mode: still a page
  const auto& spawns = plat::test::recordedSpawns();
  ASSERT_EQ(spawns.size(), 3u);
  EXPECT_EQ(spawns[0].argv, (std::vector<std::string>{"xdg-open", "file://" + (dir_ / "page.html") + "#sec"}));
  EXPECT_EQ(spawns[1].argv, (std::vector<std::string>{"xdg-open", dir_ / "manual.pdf"}));
  EXPECT_EQ(spawns[2].argv, (std::vector<std::string>{"xdg-open", "file://" + (dir_ / "page.html")}));
  plat::test::recordSpawns({});
  EXPECT_EQ(Show("manual.pdf", -1), 1030);
  EXPECT_EQ(Show("http://example.org", 0, "", 0, 1), 1030);
  EXPECT_TRUE(plat::test::recordedSpawns().empty());
}

// The HTML help library stands in for the real one: it logs its calls.
struct HtmlCall {
  std::string file;
  uint32_t command;
  uintptr_t data;
  std::string keywords;
  uint32_t textId;
};
std::vector<HtmlCall> gHtmlCalls;
uintptr_t RecordingHtmlHelp(plat::Hwnd, const char* file, uint32_t command, uintptr_t data) {
  HtmlCall c{file != nullptr ? file : "", command, data, "", 0};
  if (command == hh::KeywordLookup) c.keywords = reinterpret_cast<const HhAkLinkRecord*>(data)->Keywords;
  if (command == hh::DisplayTextPopup) c.textId = reinterpret_cast<const HhPopupRecord*>(data)->TextId;
  gHtmlCalls.push_back(c);
  return 1;
}

TEST_F(HelpTest, HtmlHelpGoesToItsLibraryWhenThereIsOne) {
  testsupport::WriteFile("book.chm", "ITSF");
  EXPECT_EQ(Show("book.chm", 12), 1081);
  gHtmlCalls.clear();
  plat::registerModule("VIDADO.DLL", {{"yyHtmlHelp", reinterpret_cast<plat::ModuleEntry>(&RecordingHtmlHelp)}});
  const std::string file = dir_ / "book.chm";
  EXPECT_EQ(Show("book.chm", 12), 0);
  EXPECT_EQ(Show("book.chm", -1, "", 0, 1), 0);
  EXPECT_EQ(Show("book.chm", -1, "grids", 0, 0), 0);
  EXPECT_EQ(Show("book.chm", 5, "", 1), 0);
  EXPECT_EQ(Show("ms-its:book.chm::/a/b.htm", -1, "", 0, 1), 0);
  EXPECT_EQ(Show(" ", -1), 0);
  const std::vector<std::pair<uint32_t, std::string>> expected = {
      {hh::DisplayToc, file},         {hh::HelpContext, file},  {hh::DisplayTopic, file},
      {hh::DisplayToc, file},         {hh::KeywordLookup, file}, {hh::DisplayTextPopup, file + "::/popup.txt"},
      {hh::DisplayTopic, "ms-its:" + file + "::/a/b.htm"},
      {hh::DisplayToc, "ms-its:" + file + "::/a/b.htm"},
      {hh::CloseAll, ""}};
  ASSERT_EQ(gHtmlCalls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(gHtmlCalls[i].command, expected[i].first) << i;
    EXPECT_EQ(gHtmlCalls[i].file, expected[i].second) << i;
  }
  EXPECT_EQ(gHtmlCalls[1].data, 12u);
  EXPECT_EQ(gHtmlCalls[4].keywords, "grids");
  EXPECT_EQ(gHtmlCalls[5].textId, 5u);
}

TEST_F(HelpTest, TheProgramsHelpHasATopicPerMenuCommandAndOpensOnItsContents) {
  const std::string source = std::string(QUILLON_SOURCE_DIR) + "/resources/ProgramHelp.hlp";
  std::vector<plat::HelpTopic> topics;
  ASSERT_TRUE(plat::readHelpFile(source, topics));
  std::vector<int> numbers;
  for (const plat::HelpTopic& t : topics) numbers.push_back(t.number);
  // every command of the main menu
  std::vector<plat::Hmenu> menus{plat::loadMenu(wmtest::kMainMenu)};
  int commands = 0;
  while (!menus.empty()) {
    const plat::Hmenu m = menus.back();
    menus.pop_back();
    for (int i = 0; i < plat::getMenuItemCount(m); ++i) {
      if (const plat::Hmenu sub = plat::getSubMenu(m, i)) {
        menus.push_back(sub);
        continue;
      }
      const int id = static_cast<int>(plat::getMenuItemId(m, i));
      if (id == 0 || id == -1) continue;
      ++commands;
      EXPECT_NE(std::find(numbers.begin(), numbers.end(), id), numbers.end()) << id;
    }
  }
  EXPECT_EQ(commands, 17);
  std::filesystem::copy_file(source, dir_ / "quillon.HLP");
  EXPECT_EQ(Show(dir_ / "quillon.HLP", -1, "", 0, 1), 0);
  EXPECT_EQ(plat::helpViewerState().topic, 1);
  EXPECT_EQ(plat::getWindowText(plat::helpViewerState().text).substr(0, 16), "Quillon computes");
}

}  // namespace
