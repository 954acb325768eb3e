// A text editor in a pane of split windows: its menu handed to the
// containers and shown on the outermost frame as the focus moves, its
// clipboard keys reaching it from elsewhere in the container, what repaints
// when it opens, and what is left when its container closes.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/menu/Menu.h"
#include "platform/win/Keys.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/dialogs/DialogServices.h"

namespace {

using wmtest::ToolkitTest;

class EditorPaneTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    plat::test::pump();
  }

  // A top-level child window without a menu; its number.
  int32_t Container() {
    int32_t number = 0, dialog = 0, width = 460, height = 320;
    YYChildWindowOpen(40, 30, width, height, number, kOptionSystemMenu, 0, {}, dialog, 0, -1, "Notes");
    return number;
  }
  void Select(int32_t n) {
    int32_t w = 0, h = 0;
    YYWindowSelect(w, h, n);
  }
  // Splits window n in halves; the pane numbers. The first pane may carry
  // a menu of its own.
  std::array<int32_t, 2> Split(int32_t n, int32_t firstMenu = 0) {
    Select(n);
    std::array<SplitPaneArguments, 2> panes;
    panes[0].Title = "First";
    panes[1].Title = "Second";
    panes[0].Menu = firstMenu;
    std::array<int32_t, 2> numbers{};
    YYSplitWindow(numbers, 0, -1, panes);
    return numbers;
  }
  // Opens a modeless editor on window n held by `container`; the status.
  int32_t OpenEditor(int32_t n, int32_t container, int32_t flags = 0, int32_t mode = 2) {
    Select(n);
    int32_t status = 0;
    YYEditorOpen(status, mode, 0, flags, 3, 10, -1, container, "", "");
    return status;
  }
  plat::Hwnd FrameOf(int32_t n) { return WindowTables().Frame[static_cast<size_t>(n)]; }
  plat::Hwnd ClientOf(int32_t n) { return WindowTables().Client[static_cast<size_t>(n)]; }
  plat::Hmenu MenuSlot(int32_t n) { return WindowTables().Menu[static_cast<size_t>(n)]; }
  int32_t Word(int32_t n, size_t w) { return (*YYWindowRecordOf(FrameOf(n)))[w]; }
  static int32_t H(plat::Hwnd w) { return static_cast<int32_t>(w.value); }
  EditorRecord& Rec(int32_t n) { return *YYEditorRecordOf(FrameOf(n)); }
  std::string Text(int32_t n) { return plat::getWindowText(Rec(n).EditControl); }
  void Type(int32_t n, const std::string& s) {
    plat::setFocus(Rec(n).EditControl);
    plat::test::typeText(s);
    plat::test::pump();
  }
  // A key pressed while the program's event wait runs, until it has no
  // more events.
  void Press(uint32_t vk, unsigned mods) {
    plat::test::key(vk, mods);
    while (PollType() != kNoEvent) {}
  }
  static std::string Clipboard() {
    std::string text;
    if (plat::openClipboard({})) {
      plat::getClipboardData(plat::kCfText, text);
      plat::closeClipboard();
    }
    return text;
  }
  static bool Pending(plat::Hwnd w) { return plat::getUpdateRect(w, nullptr, false); }
};

TEST_F(EditorPaneTest, ThePaneMenuGoesToTheContainersWithoutOneAndFollowsTheFocus) {
  // An outer container holds a plain pane with a menu of its own and an
  // inner container whose second pane becomes the editor.
  const int32_t outer = Container();
  const std::array<int32_t, 2> p = Split(outer, wmtest::kMainMenu);
  ASSERT_GT(p[1], 0);
  const std::array<int32_t, 2> q = Split(p[1]);
  ASSERT_GT(q[1], 0);
  const plat::Hmenu plainMenu = MenuSlot(p[0]);
  ASSERT_TRUE(plainMenu);
  ASSERT_EQ(OpenEditor(q[1], outer), 0);
  const plat::Hmenu editorMenu = Rec(q[1]).MenuBar;
  ASSERT_TRUE(editorMenu);
  EXPECT_EQ(MenuSlot(q[1]), editorMenu);
  // both containers had no menu: they take the editor's and its pane
  for (int32_t c : {outer, p[1]}) {
    EXPECT_EQ(MenuSlot(c), editorMenu) << c;
    EXPECT_EQ(Word(c, kSplitCommand), H(FrameOf(q[1]))) << c;
  }
  // the editor has the focus: it is the active pane up to the outermost
  // frame, which shows its menu
  EXPECT_EQ(Word(p[1], kSplitActive), H(FrameOf(q[1])));
  EXPECT_EQ(Word(outer, kSplitActive), H(FrameOf(p[1])));
  EXPECT_EQ(plat::getMenu(FrameOf(outer)), editorMenu);

  // the plain pane's own menu shows while it has the focus ...
  plat::setFocus(ClientOf(p[0]));
  EXPECT_EQ(Word(outer, kSplitActive), H(FrameOf(p[0])));
  EXPECT_EQ(plat::getMenu(FrameOf(outer)), plainMenu);
  // ... and the editor's again when a control of the editor takes it
  plat::setFocus(Rec(q[1]).EditControl);
  EXPECT_EQ(Word(outer, kSplitActive), H(FrameOf(p[1])));
  EXPECT_EQ(plat::getMenu(FrameOf(outer)), editorMenu);
  // the other inner pane has no menu: the first found going out is the
  // inner container's, the editor's, which is already shown
  plat::setFocus(ClientOf(q[0]));
  EXPECT_EQ(Word(p[1], kSplitActive), H(FrameOf(q[0])));
  EXPECT_EQ(plat::getMenu(FrameOf(outer)), editorMenu);

  // A menu command of the outer frame reaches the editor.
  Type(q[1], "abc");
  plat::sendMessage(FrameOf(outer), plat::wm::Command, kEdCmdSelectAll, 0);
  plat::sendMessage(FrameOf(outer), plat::wm::Command, kEdCmdDelete, 0);
  EXPECT_EQ(Text(q[1]), "");
}

TEST_F(EditorPaneTest, ClipboardKeysInAnotherPaneReachTheEditorWhoseMenuShows) {
  const int32_t outer = Container();
  const std::array<int32_t, 2> p = Split(outer);
  ASSERT_EQ(OpenEditor(p[1], outer), 0);
  Type(p[1], "pane text");
  plat::setFocus(ClientOf(p[0]));
  Press('A', plat::test::kCtrl);
  Press('C', plat::test::kCtrl);
  EXPECT_EQ(Clipboard(), "pane text");
  Press(plat::vk::Delete, plat::test::kNone);
  EXPECT_EQ(Text(p[1]), "");
  Press('Z', plat::test::kCtrl);
  EXPECT_EQ(Text(p[1]), "pane text");
  Press('Y', plat::test::kCtrl);
  EXPECT_EQ(Text(p[1]), "");
  Press('Z', plat::test::kCtrl);
  Press('A', plat::test::kCtrl);
  Press(plat::vk::Delete, plat::test::kShift);
  EXPECT_EQ(Text(p[1]), "");
  Press(plat::vk::Insert, plat::test::kShift);
  Press(plat::vk::Insert, plat::test::kShift);
  EXPECT_EQ(Text(p[1]), "pane textpane text");
  EXPECT_EQ(plat::getFocus(), ClientOf(p[0])) << "the keys do not move the focus";

  // A read-only editor takes only Copy and Select All.
  const int32_t other = Container();
  const std::array<int32_t, 2> r = Split(other);
  ASSERT_EQ(OpenEditor(r[0], other, kEdReadOnly), 0);
  Select(r[0]);
  int32_t status = 0;
  YYEditorSetText(status, "kept");
  plat::setFocus(ClientOf(r[1]));
  Press('A', plat::test::kCtrl);
  Press(plat::vk::Delete, plat::test::kNone);
  Press('X', plat::test::kCtrl);
  EXPECT_EQ(Text(r[0]), "kept");
  Press('C', plat::test::kCtrl);
  EXPECT_EQ(Clipboard(), "kept");
}

TEST_F(EditorPaneTest, OpeningInAPaneRepaintsOnlyTheEditorAndWhatWaitedAlready) {
  const int32_t outer = Container();
  const std::array<int32_t, 2> p = Split(outer);
  plat::test::pump();
  for (int32_t n : {0, outer, p[0], p[1]}) plat::validateRect(ClientOf(n), nullptr);
  plat::invalidateRect(ClientOf(0), nullptr, false);
  ASSERT_EQ(OpenEditor(p[1], outer), 0);
  EXPECT_TRUE(Pending(ClientOf(0))) << "a repaint that waited before still waits";
  for (int32_t n : {outer, p[0], p[1]}) EXPECT_FALSE(Pending(ClientOf(n))) << n;
  EXPECT_TRUE(plat::isWindowVisible(Rec(p[1]).EditControl));
}

TEST_F(EditorPaneTest, AModalRequestInAPaneReleasesOneLevelOfSnapshots) {
  const int32_t outer = Container();
  const std::array<int32_t, 2> p = Split(outer);
  int32_t status = 0;
  YYSnapshotMode(1, -1, status);
  YYSnapshotMode(1, -1, status);
  EXPECT_EQ(OpenEditor(p[1], outer, 0, 1), 5);
  EXPECT_EQ(Rec(p[1]).Mode, 2);
  EXPECT_TRUE(YYSnapshotModeOn());
  YYSnapshotMode(0, -1, status);
  EXPECT_FALSE(YYSnapshotModeOn()) << "the editor released one of the two levels";
}

TEST_F(EditorPaneTest, ClosingTheContainerLeavesNoMenuOfTheEditorBehind) {
  const plat::test::Census before = plat::test::census();
  const int32_t outer = Container();
  // the pane's own menu shows on the container until the editor replaces it
  const std::array<int32_t, 2> p = Split(outer, wmtest::kMainMenu);
  ASSERT_TRUE(plat::getMenu(FrameOf(outer)));
  ASSERT_EQ(OpenEditor(p[0], outer), 0);
  ASSERT_EQ(plat::getMenu(FrameOf(outer)), Rec(p[0]).MenuBar);
  int32_t window = p[0], dialog = 0;
  YYWindowClose(window, dialog);
  EXPECT_FALSE(MenuSlot(outer));
  EXPECT_FALSE(plat::getMenu(FrameOf(outer))) << "the container shows its own menu again: none";
  window = outer;
  YYWindowClose(window, dialog);
  EXPECT_EQ(plat::test::census(), before);
}

}  // namespace
