// The stand-alone grid editor: opening it over a child window, its status
// bar and cell-change events, its menus and their greying, the messages of
// its operations, its files, and how it looks.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/bars/StatusBar.h"
#include "platform/clip/Clipboard.h"
#include "platform/menu/Menu.h"
#include "platform/os/Os.h"
#include "platform/dlg/CommonDialogs.h"
#include "tests/support/GoldenPicture.h"
#include "tests/toolkit/grideditor/GridFilesFixture.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/GridEditorWindow.h"
#include "toolkit/dialogs/GridInternal.h"
#include "platform/print/Printer.h"
#include "toolkit/dialogs/GridPrint.h"
#include "toolkit/hardcopy/DumpPage.h"

namespace {

constexpr int32_t kSmallDialog = 9700;
constexpr int32_t kSmallGrid = 9701;

constexpr const char* kSmallResources = R"(
DIALOG 9700
  CAPTION "Stations"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 200 100
  CONTROL QVZGRID 9701 "" 7 7 180 80 BORDER VSCROLL HSCROLL TABSTOP BITS(0x0600)
EXTRAS
[Grids] 
 9701 3 8 9710 
 24 
A 
B 
C 
END

DIALOG 9710
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 150 14
  CONTROL EDIT 711 "Station" 0 0 50 12 AUTOHSCROLL
  CONTROL INTEGEREDIT 712 "Depth" 50 0 36 12 BITS(0x0082)
  CONTROL BUTTON 713 "Ok" 86 0 20 12 AUTOCHECKBOX
END
)";

class GridEditorTest : public gridedtest::GridFilesTest {
 protected:
  void SetUp() override {
    gridedtest::GridFilesTest::SetUp();
    plat::res::pushOverlay(kSmallResources, "grid editor test");
    plat::test::clearShownDialogs();
  }

  // A child window (inside the root window's client area with `inside`),
  // made current; its number.
  int32_t Window(bool inside = false, int32_t options = kOptionSystemMenu | kOptionStatusBar) {
    int32_t w = 320, h = 220, number = 0, dialog = 0;
    YYChildWindowOpen(30, 30, w, h, number, options | (inside ? kOptionInsideParent : 0), 0, {}, dialog, 0, -1,
                      "Grid Editor");
    int32_t width = 0, height = 0;
    YYWindowSelect(width, height, number);
    return number;
  }
  // Opens an editor of the dialog's grid on a new window; the status.
  int32_t Open(int32_t options = 0, int32_t mode = 2, bool inside = false, int32_t field = gridedtest::kFilesGrid) {
    window_ = Window(inside);
    int32_t status = 0;
    mode_ = mode;
    YYGridEditorOpen(status, field, mode_, 0, options, -1, -1, "", "");
    return status;
  }
  // Splits window n in halves; the pane numbers.
  std::array<int32_t, 2> Split(int32_t n) {
    int32_t width = 0, height = 0;
    YYWindowSelect(width, height, n);
    std::array<SplitPaneArguments, 2> panes;
    panes[0].Title = "First";
    panes[1].Title = "Second";
    std::array<int32_t, 2> numbers{};
    YYSplitWindow(numbers, 0, -1, panes);
    return numbers;
  }
  // Opens a modeless editor on pane n held by `container`; the status.
  int32_t OpenPane(int32_t n, int32_t container, int32_t options = 0) {
    int32_t width = 0, height = 0, status = 0;
    YYWindowSelect(width, height, n);
    window_ = n;
    mode_ = 2;
    YYGridEditorOpen(status, gridedtest::kFilesGrid, mode_, 0, options, -1, container, "", "");
    return status;
  }
  // The editor's cell text (1-based), read as the program does.
  std::string EditorCell(int32_t column, int32_t row) {
    int32_t width = 0, height = 0, n = window_, field = 0;
    YYWindowSelect(width, height, n);
    std::string text;
    YYGridGetText(field, column - 1, row - 1, text, -1);
    return text;
  }
  GridEditorRecord& Editor() { return *YYGridEditorOfWindow(window_); }
  plat::Hwnd Frame() { return WindowTables().Frame[static_cast<size_t>(window_)]; }
  std::string Part(int part) { return plat::test::statusText(Editor().StatusBar, part); }
  // The item ids of a pop-up (0 for a separator).
  static std::vector<uint32_t> Items(plat::Hmenu menu) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < plat::getMenuItemCount(menu); ++i) ids.push_back(plat::getMenuItemId(menu, i));
    return ids;
  }
  // Opens a menu as the user would and tells whether an item is greyed.
  bool Greyed(plat::Hmenu menu, int32_t id) {
    plat::sendMessage(Frame(), plat::wm::InitMenuPopup, static_cast<plat::WParam>(menu.value), 0);
    return (plat::getMenuState(menu, static_cast<uint32_t>(id), plat::mf::ByCommand) & plat::mf::Grayed) != 0;
  }
  void Command(int32_t id) { plat::sendMessage(Frame(), plat::wm::Command, static_cast<plat::WParam>(id), 0); }
  const plat::test::ShownDialog& LastShown() { return plat::test::shownDialogs().back(); }
  void TearDown() override {
    plat::setIdleHook({});
    gridedtest::GridFilesTest::TearDown();
  }

  // Steps taken one per idle wait of the dialogs' loops.
  void Steps(std::vector<std::function<void()>> steps) {
    steps_.assign(steps.begin(), steps.end());
    plat::setIdleHook([this] {
      if (steps_.empty()) return false;
      auto step = steps_.front();
      steps_.pop_front();
      step();
      return true;
    });
  }
  plat::Hwnd Control(int32_t id) { return plat::getDlgItem(YYCurrentDialogWindow(), id); }
  void Press(int32_t id) {
    const plat::Hwnd b = Control(id);
    plat::Rect r;
    plat::getClientRect(b, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(b, {r.width() / 2, r.height() / 2}));
  }
  std::function<void()> Put(int32_t id, std::string text) {
    return [this, id, text] { plat::setWindowText(Control(id), text); };
  }
  std::function<void()> Click(int32_t id) {
    return [this, id] { Press(id); };
  }

  std::deque<std::function<void()>> steps_;

  int32_t window_ = 0;
  int32_t mode_ = 2;
};

TEST_F(GridEditorTest, OpeningRefusesAndWarnsByStatus) {
  // The root window, a window opened twice, a field that is no grid.
  int32_t status = 0, mode = 2;
  int32_t width = 0, height = 0, root = 0;
  YYWindowSelect(width, height, root);
  YYGridEditorOpen(status, gridedtest::kFilesGrid, mode, 0, 0, -1, -1, "", "");
  EXPECT_EQ(status, kEditorOnRoot);
  EXPECT_EQ(Open(), 0);
  status = 0;
  YYGridEditorOpen(status, gridedtest::kFilesGrid, mode, 0, 0, -1, -1, "", "");
  EXPECT_EQ(status, kEditorHasRecord);
  EXPECT_EQ(Open(0, 2, false, 1), kEditorNoGridField);
  // A child that is no pane of a split window: mode 2 and no menu bar.
  EXPECT_EQ(Open(0, 1, true), kEditorModeChanged);
  EXPECT_EQ(mode_, 2);
  EXPECT_EQ(Editor().Mode, 2);
  EXPECT_FALSE(plat::getMenu(Frame()));
  EXPECT_EQ(YYWindowKindOf(window_), kKindGrid);
}

// An editor in a pane of a split window: a cell change makes it the
// container's active pane, and the container's frame shows its menu.
TEST_F(GridEditorTest, APaneEditorBecomesTheActivePaneOnACellChange) {
  const int32_t container = Window();
  int32_t width = 0, height = 0, n = container;
  YYWindowSelect(width, height, n);
  std::array<SplitPaneArguments, 2> panes;
  panes[0].Title = "First";
  panes[1].Title = "Second";
  std::array<int32_t, 2> numbers{};
  YYSplitWindow(numbers, 0, -1, panes);
  ASSERT_GT(numbers[1], 0);
  n = numbers[1];
  YYWindowSelect(width, height, n);
  window_ = numbers[1];
  int32_t status = 0, mode = 2;
  YYGridEditorOpen(status, gridedtest::kFilesGrid, mode, 0, 0, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  ASSERT_TRUE(Editor().MenuBar) << "a pane of a top-level container carries a menu";
  WGridSetCell(0, 2, 3);
  const plat::Hwnd outer = WindowTables().Frame[static_cast<size_t>(container)];
  const std::vector<int32_t>& record = *YYWindowRecordOf(outer);
  EXPECT_EQ(record[kSplitActive], static_cast<int32_t>(Frame().value));
  EXPECT_EQ(plat::getMenu(outer), Editor().MenuBar);
}

TEST_F(GridEditorTest, APaneEditorHandsItsMenuToTheContainersAndTakesItsKeysInEveryPane) {
  Row(1, "alpha", 1, 1.0f, 1.0, 0, 1);
  const int32_t outer = Window(false, kOptionSystemMenu);
  const std::array<int32_t, 2> p = Split(outer);
  const std::array<int32_t, 2> q = Split(p[1]);
  ASSERT_GT(q[1], 0);
  ASSERT_EQ(OpenPane(q[1], outer), 0);
  // both containers between the editor and the one named take its menu
  for (int32_t c : {p[1], outer}) {
    EXPECT_EQ(WindowTables().Menu[static_cast<size_t>(c)], Editor().MenuBar) << c;
    EXPECT_EQ((*YYWindowRecordOf(WindowTables().Frame[static_cast<size_t>(c)]))[kSplitCommand],
              static_cast<int32_t>(Frame().value)) << c;
  }
  // Ctrl+I in the grid inserts a row before the current one ...
  plat::setFocus(Editor().Grid);
  Key('I', plat::test::kCtrl);
  EXPECT_EQ(EditorCell(1, 1), "");
  EXPECT_EQ(EditorCell(1, 2), "alpha");
  // ... and Ctrl+E typed in the other pane deletes it again
  plat::setFocus(WindowTables().Client[static_cast<size_t>(p[0])]);
  Key('E', plat::test::kCtrl);
  EXPECT_EQ(EditorCell(1, 1), "alpha");
  EXPECT_EQ(plat::getFocus(), WindowTables().Client[static_cast<size_t>(p[0])]);
}

TEST_F(GridEditorTest, OpeningInAPaneRepaintsOnlyTheEditorInItsContainer) {
  // A container large enough that the editor shrinks its pane to fit the
  // grid, uncovering part of the container.
  int32_t w = 900, h = 700, outer = 0, dialog = 0;
  YYChildWindowOpen(10, 10, w, h, outer, kOptionSystemMenu, 0, {}, dialog, 0, -1, "Large");
  const std::array<int32_t, 2> p = Split(outer);
  Events();
  std::vector<plat::Hwnd> clients;
  for (int32_t n : {outer, p[0], p[1]}) clients.push_back(WindowTables().Client[static_cast<size_t>(n)]);
  for (const plat::Hwnd c : clients) plat::validateRect(c, nullptr);
  plat::invalidateRect(clients[1], nullptr, false);
  plat::Rect before, after;
  plat::getWindowRect(WindowTables().Frame[static_cast<size_t>(p[1])], before);
  ASSERT_EQ(OpenPane(p[1], outer), 0);
  plat::getWindowRect(Frame(), after);
  ASSERT_LT(after.height(), before.height());
  EXPECT_TRUE(plat::getUpdateRect(clients[1], nullptr, false)) << "a repaint that waited before still waits";
  EXPECT_FALSE(plat::getUpdateRect(clients[0], nullptr, false));
  EXPECT_FALSE(plat::getUpdateRect(clients[2], nullptr, false));
}

TEST_F(GridEditorTest, ASplitContainerClosesOnlyWhenEveryEditorPaneAgrees) {
  const int32_t outer = Window(false, kOptionSystemMenu);
  const std::array<int32_t, 2> p = Split(outer);
  int32_t width = 0, height = 0, n = p[0], status = 0, mode = 2;
  YYWindowSelect(width, height, n);
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, outer, "", "");
  ASSERT_EQ(status, 0);
  const EditorRecord& text = *YYEditorRecordOf(WindowTables().Frame[static_cast<size_t>(p[0])]);
  plat::setFocus(text.EditControl);
  Type("notes");
  ASSERT_EQ(OpenPane(p[1], outer), 0);
  WGridSetCell(0, 1, 1);
  int32_t field = 0;
  YYGridPutValue(field, 0, 0, 0.0, "changed", "");
  ASSERT_EQ(YYGridRecordOf(Editor().Grid)->Unsaved, 1);
  const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(outer)];

  // Each pane asks in turn; Cancel in the grid keeps everything open.
  EventStore().StoredType = 0;
  plat::test::clearShownDialogs();
  plat::test::answerMessageBox(plat::kIdNo);
  plat::test::answerMessageBox(plat::kIdCancel);
  plat::sendMessage(frame, plat::wm::Close, 0, 0);
  const auto& shown = plat::test::shownDialogs();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "First");
  EXPECT_EQ(shown[1].text, "Do you want to save changes?");
  EXPECT_EQ(shown[1].caption, "Plovane Grid Editor");
  EXPECT_NE(EventStore().StoredType, EventCloseAsked);
  // No in both: the container may close.
  plat::test::clearShownDialogs();
  plat::test::answerMessageBox(plat::kIdNo);
  plat::test::answerMessageBox(plat::kIdNo);
  plat::sendMessage(frame, plat::wm::Close, 0, 0);
  EXPECT_EQ(plat::test::shownDialogs().size(), 2u);
  EXPECT_EQ(EventStore().StoredType, EventCloseAsked);
  EXPECT_EQ(EventStore().Stored[0], outer);
  // A grid without Save enabled does not ask.
  const int32_t other = Window(false, kOptionSystemMenu);
  const std::array<int32_t, 2> r = Split(other);
  ASSERT_EQ(OpenPane(r[0], other, kEditorNoSave), 0);
  field = 0;
  YYGridPutValue(field, 0, 0, 0.0, "changed", "");
  plat::test::clearShownDialogs();
  EventStore().StoredType = 0;
  plat::sendMessage(WindowTables().Frame[static_cast<size_t>(other)], plat::wm::Close, 0, 0);
  EXPECT_TRUE(plat::test::shownDialogs().empty());
  EXPECT_EQ(EventStore().StoredType, EventCloseAsked);
}

// The frames as they were last told to look: 1 active, 0 inactive, -1 not
// told since the log began.
int LastLook(const plat::test::MessageLog& log, plat::Hwnd frame) {
  int look = -1;
  for (const plat::test::LoggedMessage& m : log.messages())
    if (m.hwnd == frame && m.message == plat::wm::NcActivate) look = m.wParam != 0 ? 1 : 0;
  return look;
}

// An editor inside the root window's client: a press of any button in it
// brings it above its sibling, focuses it and draws it as the active
// frame, also when the root window itself was not the active one.
TEST_F(GridEditorTest, AClickBringsAnEditorInsideItsParentForwardWithTheFocus) {
  ASSERT_EQ(Open(0, 2, true), 0);
  // the dialog whose grid it copied would lie over it
  plat::showWindow(YYCurrentDialogWindow(), plat::ShowCmd::Hide);
  const plat::Hwnd frame = Frame(), rootClient = WindowTables().Client[0];
  int32_t sibling = 0, popup = 0, dialog = 0, w = 300, h = 200;
  YYChildWindowOpen(200, 150, w, h, sibling, kOptionSystemMenu | kOptionInsideParent, 0, {}, dialog, 0, -1, "Beside");
  w = 200, h = 100;
  YYChildWindowOpen(600, 500, w, h, popup, kOptionSystemMenu, 0, {}, dialog, 0, -1, "Apart");
  ASSERT_GT(sibling, 0);
  ASSERT_GT(popup, 0);
  plat::test::MessageLog looks([](const plat::test::LoggedMessage& m) { return m.message == plat::wm::NcActivate; });
  using plat::test::Button;
  struct Case {
    const char* what;
    Button button;
    int32_t before;   // the window active before the click
  } cases[] = {
      {"left", Button::Left, sibling},
      {"right", Button::Right, sibling},
      {"middle", Button::Middle, sibling},
      {"left with another top-level window active", Button::Left, popup},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const plat::Hwnd before = WindowTables().Frame[static_cast<size_t>(c.before)];
    plat::setWindowPos(WindowTables().Frame[static_cast<size_t>(sibling)], plat::kHwndTop, 0, 0, 0, 0,
                       plat::kSwpNoMove | plat::kSwpNoSize);
    YYWindowFocus(before);
    ASSERT_NE(plat::childWindows(rootClient).front(), frame);
    looks.clear();
    plat::test::click(c.button, plat::test::at(Editor().Grid, {40, 30}));
    plat::test::pump();
    EXPECT_EQ(plat::childWindows(rootClient).front(), frame);
    EXPECT_TRUE(plat::isChild(frame, plat::getFocus()));
    EXPECT_EQ(LastLook(looks, frame), 1);
    EXPECT_EQ(LastLook(looks, before), 0);
    EXPECT_EQ(plat::getActiveWindow(), WindowTables().Frame[0]);
  }
  EXPECT_EQ(plat::sendMessage(frame, plat::wm::MouseActivate, static_cast<plat::WParam>(WindowTables().Frame[0].value),
                              plat::makeLParam(plat::kHtClient, static_cast<int>(plat::wm::LButtonDown))),
            0);
}

TEST_F(GridEditorTest, AnEditorInsideItsParentKeepsItsPlacementThroughMaximiseAndRestore) {
  window_ = Window(true, kOptionSystemMenu | kOptionStatusBar | kOptionMaximiseBox | kOptionMinimiseBox);
  int32_t status = 0;
  YYGridEditorOpen(status, gridedtest::kFilesGrid, mode_, 0, 0, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  const plat::Hwnd frame = Frame();
  const size_t k = static_cast<size_t>(window_);
  // the grid fills the frame between the toolbar and the status bar
  auto gridFills = [&](const char* when) {
    SCOPED_TRACE(when);
    plat::Rect area, grid, toolbar, bar;
    plat::getClientRect(frame, area);
    plat::getWindowRect(Editor().Grid, grid);
    plat::getWindowRect(Editor().Toolbar, toolbar);
    plat::getWindowRect(Editor().StatusBar, bar);
    EXPECT_EQ(grid.top, toolbar.bottom);
    EXPECT_EQ(grid.bottom, bar.top);
    EXPECT_EQ(grid.width(), area.width());
  };
  plat::WindowPlacement normal;
  plat::getWindowPlacement(frame, normal);
  EXPECT_EQ(WindowTables().RestoreRect[k].left, -999);

  plat::showWindow(frame, plat::ShowCmd::ShowMaximized);
  EXPECT_TRUE(plat::isZoomed(frame));
  EXPECT_EQ(WindowTables().RestoreRect[k], normal.normalPosition);
  gridFills("maximised");

  plat::showWindow(frame, plat::ShowCmd::Restore);
  EXPECT_FALSE(plat::isZoomed(frame));
  EXPECT_EQ(WindowTables().RestoreRect[k].left, -999);
  plat::WindowPlacement back;
  plat::getWindowPlacement(frame, back);
  EXPECT_EQ(back.normalPosition, normal.normalPosition);
  gridFills("restored");

  // minimised, it looks inactive and the window it lies in active
  plat::test::MessageLog looks([](const plat::test::LoggedMessage& m) { return m.message == plat::wm::NcActivate; });
  plat::showWindow(frame, plat::ShowCmd::ShowMinimized);
  EXPECT_EQ(LastLook(looks, frame), 0);
  EXPECT_EQ(LastLook(looks, WindowTables().Frame[0]), 1);
}

TEST_F(GridEditorTest, TheStatusBarFollowsTheCurrentCellAndEventsKeepTheCellOfTheWaitsStart) {
  Row(1, "alpha", 1, 1.0f, 1.0, 0, 1);
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(Part(0), "Row");
  EXPECT_EQ(Part(1), "\t\t1");
  EXPECT_EQ(Part(2), "\tColumn");
  EXPECT_EQ(Part(3), "\t\t1");
  EXPECT_EQ(plat::statusBarState(Editor().StatusBar)->edges.size(), 4u);
  // The editor's grid is a copy of the field's.
  int32_t f = 0;
  std::string text;
  YYGridGetText(f, 0, 0, text, -1);
  EXPECT_EQ(text, "alpha");

  WEventOptionSet(EventFieldChange, 1);
  EventStoreRecord& s = EventStore();
  s.FirstChange = 1;   // a wait begins
  s.StoredType = 0;
  WGridSetCell(0, 3, 5);
  WGridSetCell(0, 2, 7);
  EXPECT_EQ(Part(1), "\t\t7");
  EXPECT_EQ(Part(3), "\t\t2");
  ASSERT_EQ(s.StoredType, EventFieldChange);
  EXPECT_EQ(s.Stored[0], window_);
  EXPECT_EQ(s.Stored[5], (1 << 18) + 1) << "the cell when the wait began";
  EXPECT_EQ(s.Stored[6], (2 << 18) + 7);
  EXPECT_EQ(Editor().LastCell, (2 << 18) + 7);
}

TEST_F(GridEditorTest, MenusHoldTheCommandsTheOptionsAndTheGridAllow) {
  struct Case {
    int32_t options;
    bool readOnly;
    std::vector<uint32_t> file;
  };
  const std::vector<Case> cases = {
      {0, false, {32101, 32102, 32103, 32104, 32109, 32108, 0, 32105, 32106, 0, 32107}},
      {kEditorNoNewOpen, true, {32104, 32109, 32108, 0, 32105, 32106, 0, 32107}},
      {kEditorNoSave | kEditorNoPrint, false, {32107}},
      {kEditorNoSaveAs | kEditorNoHtml | kEditorNoPrint, false, {32101, 32102, 32103, 0, 32107}},
  };
  for (const Case& k : cases) {
    YYGridReadOnlySet(Field(gridedtest::kFilesGrid), k.readOnly);
    ASSERT_LT(Open(k.options), 4);
    EXPECT_EQ(Items(Editor().FileMenu), k.file) << "options " << k.options;
    const std::vector<uint32_t> edit = Items(Editor().EditMenu);
    EXPECT_EQ(std::count(edit.begin(), edit.end(), 32127u), k.readOnly ? 0 : 1);
    EXPECT_EQ(std::count(edit.begin(), edit.end(), 32122u), k.readOnly ? 0 : 1);
    EXPECT_EQ(std::count(edit.begin(), edit.end(), 32128u), k.readOnly ? 0 : 1);
  }
  // Without any command that has a key, the File and Search texts show
  // none; the Edit texts keep theirs.
  YYGridReadOnlySet(Field(gridedtest::kFilesGrid), false);
  ASSERT_EQ(Open(kEditorNoNewOpen | kEditorNoSave | kEditorNoPrint | kEditorNoFind | kEditorNoRowOperations), 0);
  EXPECT_EQ(plat::getMenuString(Editor().FileMenu, 32107, plat::mf::ByCommand), "E&xit");
  EXPECT_EQ(plat::getMenuString(Editor().EditMenu, 32122, plat::mf::ByCommand), "Cu&t\tCtrl+X");
  EXPECT_EQ(plat::getMenuString(Editor().SearchMenu, 32144, plat::mf::ByCommand), "&Goto Cell");
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(plat::getMenuString(Editor().FileMenu, 32104, plat::mf::ByCommand), "Save &As\tF12");
  EXPECT_EQ(plat::getMenuString(Editor().SearchMenu, 32142, plat::mf::ByCommand), "Find &Next\tF3");
  plat::MenuItemInfo title;
  title.mask = plat::miim::Id;
  ASSERT_TRUE(plat::getMenuItemInfo(plat::getMenu(Frame()), 0, true, title));
  EXPECT_EQ(title.id, 32100u);
}

TEST_F(GridEditorTest, ToolbarTooltipsAndMenuHelp) {
  YYGridReadOnlySet(Field(gridedtest::kFilesGrid), true);
  ASSERT_EQ(Open(kEditorNoPrint), 0);
  GridEditorRecord& r = Editor();
  // A read-only grid: no New, Save, Cut or Paste; Open, Find and Copy stay.
  for (const auto& [command, present] : std::vector<std::pair<int, bool>>{
           {32101, false}, {32102, true}, {32103, false}, {32105, false}, {32141, true}, {32122, false},
           {32123, true}, {32124, false}}) {
    EXPECT_EQ(plat::test::toolbarButtonState(r.Toolbar, command) >= 0, present) << command;
  }
  for (const auto& [command, text] : std::vector<std::pair<int, std::string>>{{32102, "Open"}, {32141, "Find"}, {32123, "Copy"}}) {
    plat::ToolTipText t;
    t.hdr.hwndFrom = r.Tooltips;
    t.hdr.idFrom = static_cast<uintptr_t>(command);
    t.hdr.code = plat::kTtnNeedText;
    plat::sendMessage(Frame(), plat::wm::Notify, 0, reinterpret_cast<plat::LParam>(&t));
    EXPECT_EQ(std::string(t.text), text);
  }
  plat::sendMessage(Frame(), plat::wm::EnterMenuLoop, 0, 0);
  plat::sendMessage(Frame(), plat::wm::MenuSelect, plat::makeWParam(32144, 0),
                    static_cast<plat::LParam>(r.SearchMenu.value));
  EXPECT_EQ(Part(plat::kSimplePart), "Moves to the specified cell");
  plat::sendMessage(Frame(), plat::wm::ExitMenuLoop, 0, 0);
}

TEST_F(GridEditorTest, ItemsAreGreyedByTheGridsState) {
  ASSERT_EQ(Open(), 0);
  GridEditorRecord& r = Editor();
  // No selection and nothing selected in the cell editor.
  EXPECT_TRUE(Greyed(r.EditMenu, 32122));
  EXPECT_TRUE(Greyed(r.EditMenu, 32125));
  EXPECT_TRUE(Greyed(r.FileMenu, 32109));
  YYGridSelect(r.Grid, 0, 1, 0, 1);
  EXPECT_FALSE(Greyed(r.EditMenu, 32123));
  EXPECT_FALSE(Greyed(r.FileMenu, 32109));
  // Find Next waits for a first Find.
  EXPECT_TRUE(Greyed(r.SearchMenu, 32142));
  r.FindText = "abc";
  EXPECT_FALSE(Greyed(r.SearchMenu, 32142));
  // Insert after the last row: only with a variable row count.
  WGridSetCell(0, 1, 10);
  EXPECT_TRUE(Greyed(r.EditMenu, 32129));
  r.VariableRows = 1;
  EXPECT_FALSE(Greyed(r.EditMenu, 32129));
  // One read-only cell anywhere greys Sort, unless read-only cells are ignored.
  EXPECT_FALSE(Greyed(r.EditMenu, 32127));
  int32_t field = 0;
  YYGridCellState(field, 1, 2, 2);
  EXPECT_TRUE(Greyed(r.EditMenu, 32127));
  r.IgnoreReadOnly = 1;
  EXPECT_FALSE(Greyed(r.EditMenu, 32127));
}

TEST_F(GridEditorTest, FindRunsOnAndSaysWhenTheGridEnds) {
  // The search starts after the current cell (row 1) and ignores case.
  Row(2, "xxABC", 1, 1.0f, 1.0, 0, 1);
  Row(4, "abcd", 2, 2.0f, 2.0, 0, 1);
  ASSERT_EQ(Open(), 0);
  GridEditorRecord& r = Editor();
  r.FindText = "abc";
  Command(kCmdFindNext);
  EXPECT_EQ(WGridInfoItem(0, 5), 2);
  Command(kCmdFindNext);
  EXPECT_EQ(WGridInfoItem(0, 5), 4);
  // F3 through the program's event loop.
  WGridSetCell(0, 1, 1);
  Key(plat::vk::F1 + 2);
  EXPECT_EQ(WGridInfoItem(0, 5), 2) << "the key repeats the find";
  WGridSetCell(0, 1, 4);
  plat::test::answerMessageBox(plat::kIdOk);
  Command(kCmdFindNext);
  EXPECT_EQ(LastShown().text, "End of grid reached");
  EXPECT_EQ(LastShown().caption, "Find");
  EXPECT_EQ(r.FindText, "abc");
}

TEST_F(GridEditorTest, OperationsReportWhatStopsThem) {
  ASSERT_EQ(Open(), 0);
  HardcopyFiles().PrinterAvailableFlag = 0;
  plat::test::answerMessageBox(plat::kIdOk);
  Command(kCmdPrint);
  EXPECT_EQ(LastShown().text, "No printer installed");
  EXPECT_EQ(LastShown().caption, "Error");

  // Loads: a bad number is a data error, yet the file becomes the editor's.
  struct Case {
    std::string content;
    std::string message;
    std::string caption;
  };
  const std::vector<Case> cases = {
      {"\"a\",x1,1,1,Yes,Alpha\r\n", "Non-numeric data found for numeric cell", "Data Error"},
      {"\"a\",99999999999,1,1,Yes,Alpha\r\n", "Out of range value found for numeric cell", "Data Error"},
      {"\"a\",1,1,1,Yes,Omega\r\n", "Non-matching data found for menu cell", "Data Error"},
      {"\"a\",1,1,1,Yes,Alpha,extra\r\n", "File contains too many rows/columns", "Data Error"},
  };
  GridEditorRecord& r = Editor();
  for (const Case& k : cases) {
    std::ofstream("in.csv", std::ios::binary) << k.content;
    plat::test::clearShownDialogs();
    plat::test::answerMessageBox(plat::kIdOk);
    plat::test::answerFileDialog({.ok = true, .paths = {"in.csv"}});
    r.FileName.clear();
    Command(kCmdOpen);
    ASSERT_FALSE(plat::test::shownDialogs().empty());
    EXPECT_EQ(LastShown().text, k.message) << k.content;
    EXPECT_EQ(LastShown().caption, k.caption);
    EXPECT_NE(r.FileName.find("in.csv"), std::string::npos) << "the file is the editor's";
  }
  EXPECT_NE(plat::getWindowText(Frame()).find(" - ["), std::string::npos);

  // A file that cannot be opened: not loaded, the name not taken.
  plat::test::answerMessageBox(plat::kIdOk);
  std::string name = "missing.csv";
  int32_t result = -1, index = 1, cut = 0;
  YYGridEditorLoad(window_, 0, 0, result, index, 0, name, "", cut);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(LastShown().text, "Error opening file\rmissing.csv\rNo such file or directory");
  EXPECT_EQ(LastShown().caption, "File Error");

  // A file that cannot be written: the box names it and the system's reason.
  plat::test::answerMessageBox(plat::kIdOk);
  name = "no-such-folder/out.csv";
  YYGridEditorSave(window_, 0, result, index, 0, 0, -1, -1, -1, -1, name, "", cut);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(LastShown().text, "Error opening file\rno-such-folder/out.csv\rNo such file or directory");
  EXPECT_EQ(LastShown().caption, "File Error");
  EXPECT_FALSE(std::filesystem::exists("no-such-folder"));
}

TEST_F(GridEditorTest, FindDialogBeepsAtAnEmptyTextAndSearchesTheTyped) {
  Row(3, "xxABC", 1, 1.0f, 1.0, 0, 1);
  ASSERT_EQ(Open(), 0);
  const int beeps = plat::test::beepCount();
  std::string shown = "?";
  Steps({Click(1), [&] { shown = plat::getWindowText(Control(1002)); }, Put(1002, "abc"), Click(1)});
  Command(kCmdFind);
  EXPECT_EQ(shown, "") << "the dialog stayed open after the empty text";
  EXPECT_EQ(plat::test::beepCount(), beeps + 1);
  EXPECT_EQ(WGridInfoItem(0, 5), 3);
  EXPECT_EQ(Editor().FindText, "abc");
  EXPECT_EQ(YYCurrentDialogWindow(), plat::getParent(YYFieldWindow(gridedtest::kFilesGrid)))
      << "the dialog selected before is selected again";
}

TEST_F(GridEditorTest, GotoRowAndSortDialogs) {
  ASSERT_EQ(Open(), 0);
  WGridSetCell(0, 2, 1);
  std::string label, title;
  Steps({[&] {
           label = plat::getWindowText(Control(1001));
           title = plat::getWindowText(YYCurrentDialogWindow());
         },
         Put(1002, "11"), Click(1), Put(1002, "7"), Click(1)});
  Command(kCmdGotoRow);
  EXPECT_EQ(label, "&Row");
  EXPECT_EQ(title, "Goto Row");
  EXPECT_EQ(WGridInfoItem(0, 5), 7) << "11 is beyond the 10 rows";
  EXPECT_EQ(WGridInfoItem(0, 4), 2) << "the column stays";

  std::vector<std::string> listed;
  Steps({[&] {
           const plat::Hwnd list = Control(1002);
           const int n = static_cast<int>(plat::sendMessage(list, plat::cb::GetCount));
           for (int i = 0; i < n; ++i) listed.push_back(ComboItem(list, i));
         },
         Click(2)});
  Command(kCmdSort);
  ASSERT_EQ(listed.size(), 6u);
  EXPECT_EQ(listed[0], "Name");
  EXPECT_EQ(listed[4], "Column 5");
}

TEST_F(GridEditorTest, PrintDialogPrintsTheGridWithTheEditorsSet) {
  plat::setPrintersForTest(false, true);
  GridGlobals().PrintDefaultsSet = 1;
  ASSERT_TRUE(plat::printerSettingsFor(plat::kRecordingPrinterName, GridPrintPrinters()[1]));
  GridPrintOptionSets()[1].Units = 1;
  GridPrintOptionSets()[1].Paper = {8500, 11000};
  GridPrintOptionSets()[1].Margins = {500, 500, 500, 500};
  HardcopyFiles().PrinterAvailableFlag = 1;
  Row(1, "one", 1, 1.0f, 1.0, 1, 1);
  ASSERT_EQ(Open(), 0);
  Editor().FileName = "stations.csv";
  Steps({Click(1002), Click(1)});
  Command(kCmdPrint);
  EXPECT_FALSE(plat::recordedPages().empty());
  EXPECT_EQ(plat::recordedDocName(), "stations.csv");
  EXPECT_EQ(GridPrintOptionSets()[1].RowLines, 0) << "the dialog's row lines were switched off";
  plat::resetPrinters();
}

TEST_F(GridEditorTest, HtmlExportProposesTheCsvNameWithHtm) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"data.csv", "data.htm"}, {"report", "report.htm"}, {"/tmp/v1.2/report", "/tmp/v1.2/report.htm"},
      {"a/b.c.csv", "a/b.c.htm"}, {"", ""}};
  for (const auto& [file, html] : cases) EXPECT_EQ(YYGridEditorHtmlName(file), html) << file;

  // The dialog: the proposal, then a typed name of an existing file is
  // written only after Yes to the question (No is its default).
  Row(1, "a<b", 1, 1.0f, 1.0, 1, 1);
  ASSERT_EQ(Open(), 0);
  Editor().FileName = "data.csv";
  std::ofstream("data.htm") << "old";
  std::string proposed;
  plat::test::answerMessageBox(plat::kIdNo);
  plat::test::answerMessageBox(plat::kIdYes);
  Steps({[&] { proposed = plat::getWindowText(Control(1002)); }, Click(1), Click(1)});
  Command(kCmdSaveHtml);
  EXPECT_EQ(proposed, "data.htm");
  const auto& shown = plat::test::shownDialogs();
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown[shown.size() - 2].text, "data.htm already exists\rDo you want to replace it?");
  EXPECT_EQ(shown[shown.size() - 2].caption, "Select File");
  const std::string html = testsupport::ReadFile("data.htm");
  EXPECT_NE(html.find("\r\na&lt;b\r\n"), std::string::npos) << html;
}

// The editor keeps its file's name in a field of 259 characters. A name
// given to it that does not fit (the application's opening name, one over
// or far over) is refused with a box naming it whole: the file under the
// cut name, which exists here, is neither read nor written. A name that
// fits exactly is loaded and saved whole. The HTML export's name is kept
// nowhere, so a typed name of any length is written whole.
TEST_F(GridEditorTest, ANameLongerThanTheEditorsFieldIsRefusedNeverCut) {
  const std::string folder = "n/" + std::string(200, 'a') + "/";
  std::filesystem::create_directories(folder);
  for (const size_t length : {kGridEditorNameRoom, kGridEditorNameRoom + 1, size_t{400}}) {
    SCOPED_TRACE(length);
    const std::string name = folder + std::string(length - folder.size() - 4, 'b') + ".csv";
    ASSERT_EQ(name.size(), length);
    const std::string cut = name.substr(0, kGridEditorNameRoom);
    testsupport::WriteFile(name, "\"whole\",1\r\n");
    if (cut != name) testsupport::WriteFile(cut, "\"cut\",2\r\n");
    plat::test::clearShownDialogs();
    if (length > kGridEditorNameRoom) plat::test::answerMessageBox(plat::kIdOk);
    window_ = Window();
    int32_t status = 0;
    YYGridEditorOpen(status, gridedtest::kFilesGrid, mode_, 0, 0, -1, -1, name, "");
    ASSERT_EQ(status, 0);
    if (length == kGridEditorNameRoom) {
      EXPECT_TRUE(plat::test::shownDialogs().empty());
      EXPECT_EQ(EditorCell(1, 1), "whole");
      EXPECT_EQ(Editor().FileName, name);
      WGridPutCellInteger(0, 2, 1, 7);
      Command(kCmdSave);
      EXPECT_EQ(testsupport::ReadFile(name).substr(0, 10), "\"whole\",7,");
    } else {
      ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
      EXPECT_EQ(LastShown().text, "The file name is too long (" + std::to_string(length) +
                                      " characters, at most 259 fit); nothing was read:\r" + name);
      EXPECT_EQ(LastShown().caption, "File Error");
      EXPECT_EQ(EditorCell(1, 1), "") << "neither file was read";
      EXPECT_EQ(Editor().FileName, "");
      EXPECT_EQ(testsupport::ReadFile(name), "\"whole\",1\r\n");
      EXPECT_EQ(testsupport::ReadFile(cut), "\"cut\",2\r\n");
    }

    std::string html = name.substr(0, name.size() - 4) + ".htm";
    html[folder.size()] = 'h';
    Steps({Put(1002, html), Click(1)});
    Command(kCmdSaveHtml);
    EXPECT_NE(testsupport::ReadFile(html).find("<table"), std::string::npos);
    if (html.size() > kGridEditorNameRoom) EXPECT_FALSE(plat::PathExists(html.substr(0, kGridEditorNameRoom)));
  }
}

TEST_F(GridEditorTest, SaveSelectionKeepsTheEditorsFileAndTitle) {
  Row(1, "one", 1, 1.0f, 1.0, 1, 1);
  Row(2, "two", 2, 2.0f, 2.0, 0, 2);
  ASSERT_EQ(Open(), 0);
  GridEditorRecord& r = Editor();
  r.FileName = dir_.path() + "/whole.csv";
  YYGridEditorTitle(Frame());
  const std::string title = plat::getWindowText(Frame());
  YYGridSelect(r.Grid, 1, 1, 0, 1);
  plat::test::answerFileDialog({.ok = true, .paths = {"part.csv"}});
  Command(kCmdSaveSelection);
  EXPECT_EQ(testsupport::ReadFile("part.csv"), "\"two\",2\r\n");
  EXPECT_EQ(r.FileName, dir_.path() + "/whole.csv");
  EXPECT_EQ(plat::getWindowText(Frame()), title);
  EXPECT_EQ(title, "Grid Editor - [" + dir_.path() + "/whole.csv]");
}

// With the backup option the file about to be replaced is copied first; a
// first save has nothing to copy and says nothing.
TEST_F(GridEditorTest, BackupCopiesOnlyAFileThatExists) {
  Row(1, "one", 1, 1.0f, 1.0, 1, 1);
  ASSERT_EQ(Open(kEditorBackup), 0);
  GridEditorRecord& r = Editor();
  r.FileName = dir_.path() + "/kept.csv";
  gridtest::Reported().clear();
  Command(kCmdSave);
  EXPECT_TRUE(gridtest::Reported().empty());
  EXPECT_FALSE(plat::PathExists(r.FileName + ".bak"));
  const std::string first = testsupport::ReadFile(r.FileName);
  WGridPutCellInteger(0, 2, 1, 7);
  Command(kCmdSave);
  EXPECT_EQ(testsupport::ReadFile(r.FileName + ".bak"), first);
  EXPECT_NE(testsupport::ReadFile(r.FileName), first);
  EXPECT_EQ(WGridInfoItem(0, 6), 1) << "saved";
}

// A field whose columns were rebuilt from a list of template controls (a
// double column, then a text column): the editor's columns have the same
// kinds and cells, and its file holds them.
TEST_F(GridEditorTest, AnEditorOfARebuiltFieldHasItsColumnsAndCells) {
  int32_t field = gridedtest::kFilesGrid;
  YYGridRebuildColumns(field, 2, {4, 1});
  ASSERT_EQ(field, gridedtest::kFilesGrid);
  WGridPutCellDouble(gridedtest::kFilesGrid, 1, 1, 4.5);
  field = gridedtest::kFilesGrid;
  YYGridPutValue(field, 1, 0, 0.0, "name1", "");
  const std::string number = Cell(1, 1);
  ASSERT_EQ(Cell(2, 1), "name1");
  ASSERT_EQ(Open(), 0);
  const GridRecord& g = *YYGridRecordOf(Editor().Grid);
  ASSERT_EQ(g.Columns, 2);
  EXPECT_EQ(g.Cols[0].Kind, kGridDouble);
  EXPECT_EQ(g.Cols[1].Kind, kGridText);
  EXPECT_EQ(EditorCell(1, 1), number);
  EXPECT_EQ(EditorCell(2, 1), "name1");
  Editor().FileName = dir_.path() + "/rebuilt.csv";
  Command(kCmdSave);
  EXPECT_EQ(testsupport::ReadFile("rebuilt.csv").substr(0, number.size() + 10), number + ",\"name1\"\r\n");
}

// A read-only cell stays as it is whichever way a change comes: the
// toolbar's Cut and Paste, the commands of the Edit menu sent while their
// items would be greyed, and the row commands and their keys.
TEST_F(GridEditorTest, ReadOnlyCellsRefuseTheToolbarTheCommandsAndTheRowOperations) {
  Row(1, "one", 1, 1.0f, 1.0, 0, 1);
  Row(2, "two", 2, 2.0f, 2.0, 1, 2);
  Row(3, "three", 3, 3.0f, 3.0, 0, 3);
  ASSERT_EQ(Open(), 0);
  GridEditorRecord& r = Editor();
  int32_t field = 0;
  YYGridCellState(field, 0, 1, 2);   // "two" is read-only
  auto clipboard = [](const std::string& text) {
    plat::openClipboard({});
    plat::emptyClipboard();
    plat::setClipboardData(plat::kCfText, text);
    plat::closeClipboard();
  };
  struct Way {
    const char* name;
    std::function<void()> act;
  };
  const std::vector<Way> ways = {
      {"toolbar Cut", [&] {
         YYGridSelect(r.Grid, 0, 2, 0, 1);
         ASSERT_TRUE(plat::test::clickToolbarButton(r.Toolbar, kCmdCut));
         plat::test::pump();
       }},
      {"toolbar Paste", [&] {
         clipboard("x\ty\r\nz\tw\r\n");
         WGridSetCell(0, 1, 1);
         ASSERT_TRUE(plat::test::clickToolbarButton(r.Toolbar, kCmdPaste));
         plat::test::pump();
       }},
      {"Delete", [&] {
         YYGridSelect(r.Grid, 1, 1, 0, 0);
         Command(kCmdDelete);
       }},
      {"Insert Row Before", [&] {
         WGridSetCell(0, 2, 2);
         Command(kCmdInsertBefore);
       }},
      {"Delete Row", [&] {
         WGridSetCell(0, 2, 2);
         Command(kCmdDeleteRow);
       }},
      {"Insert Row After", [&] {
         WGridSetCell(0, 2, 1);
         Command(kCmdInsertAfter);
       }},
      {"Sort", [&] { Command(kCmdSort); }},
  };
  for (const Way& way : ways) {
    plat::test::clearShownDialogs();
    way.act();
    EXPECT_TRUE(plat::test::shownDialogs().empty()) << way.name;
    EXPECT_EQ(EditorCell(1, 1), "one") << way.name;
    EXPECT_EQ(EditorCell(1, 2), "two") << way.name;
    EXPECT_EQ(EditorCell(1, 3), "three") << way.name;
    EXPECT_EQ(EditorCell(2, 2), "2") << way.name;
    EXPECT_EQ(WGridInfoItem(0, 3), 10) << way.name;
  }
  // A writable selection is cut as before.
  YYGridSelect(r.Grid, 2, 2, 0, 0);
  ASSERT_TRUE(plat::test::clickToolbarButton(r.Toolbar, kCmdCut));
  plat::test::pump();
  EXPECT_EQ(EditorCell(1, 3), "");
}

// A file with more columns and rows than the grid takes is loaded cut;
// saving it asks first. No (the default) saves under another name and
// keeps the file whole, Cancel saves nothing, Yes replaces it; once saved
// the editor's file holds the grid and is saved without asking.
TEST_F(GridEditorTest, SavingAFileThatWasLoadedCutAsksFirst) {
  std::string whole;
  for (int r = 1; r <= 25; ++r) whole += "\"n" + std::to_string(r) + "\"," + std::to_string(r) + ",1.5,2.5,Yes,Beta,extra\r\n";
  struct Case {
    int answer;
    bool replaced;
    bool savedAs;
  };
  ASSERT_EQ(Open(), 0);
  GridEditorRecord& r = Editor();
  for (const Case& k : {Case{plat::kIdCancel, false, false}, Case{plat::kIdNo, false, true}, Case{plat::kIdYes, true, false}}) {
    testsupport::WriteFile("big.csv", whole);
    std::remove("other.csv");
    plat::test::answerMessageBox(plat::kIdOk);   // "File contains too many rows/columns"
    plat::test::answerFileDialog({.ok = true, .paths = {"big.csv"}});
    Command(kCmdOpen);
    ASSERT_NE(r.FileName.find("big.csv"), std::string::npos);
    EXPECT_EQ(LastShown().text, "File contains too many rows/columns");
    EXPECT_EQ(EditorCell(1, 10), "n10");
    plat::test::clearShownDialogs();
    plat::test::answerMessageBox(k.answer);
    if (k.savedAs) plat::test::answerFileDialog({.ok = true, .paths = {"other.csv"}});
    Command(kCmdSave);
    ASSERT_FALSE(plat::test::shownDialogs().empty()) << k.answer;
    EXPECT_NE(plat::test::shownDialogs().front().text.find("big.csv holds more rows or columns"), std::string::npos);
    const std::string now = testsupport::ReadFile("big.csv");
    if (k.replaced) {
      EXPECT_EQ(now.find("extra"), std::string::npos);
      EXPECT_EQ(now.find("n11"), std::string::npos);
    } else {
      EXPECT_EQ(now, whole) << k.answer;
    }
    EXPECT_EQ(plat::PathExists("other.csv"), k.savedAs) << k.answer;
    if (k.answer != plat::kIdCancel) {
      // The editor's file now holds the grid: a second save asks nothing.
      plat::test::clearShownDialogs();
      Command(kCmdSave);
      EXPECT_TRUE(plat::test::shownDialogs().empty()) << k.answer;
      EXPECT_NE(r.FileName.find(k.savedAs ? "other.csv" : "big.csv"), std::string::npos);
    }
  }
}

TEST_F(GridEditorTest, ClosingAsksToSaveAndStaysOpenWhenThePromptCannotShow) {
  ASSERT_EQ(Open(), 0);
  WGridPutCellInteger(0, 2, 1, 5);
  plat::test::answerMessageBoxFails();
  plat::sendMessage(Frame(), plat::wm::Close);
  EXPECT_EQ(LastShown().text, "Do you want to save changes?");
  EXPECT_EQ(LastShown().caption, "Plovane Grid Editor");
  EXPECT_NE(YYGridEditorOfWindow(window_), nullptr) << "still open";
  // No: a mode-2 editor leaves the closing to the application.
  plat::test::answerMessageBox(plat::kIdNo);
  EventStore().StoredType = 0;
  plat::sendMessage(Frame(), plat::wm::Close);
  EXPECT_EQ(EventStore().StoredType, EventCloseAsked);
}

// Mode 1: the editor runs its own loop until it closes; what it leaves is
// read through grid -2 and window -1.
TEST_F(GridEditorTest, AnEditorInItsOwnLoopLeavesItsStateWhenClosed) {
  ASSERT_EQ(Open(0, 1), 0);
  const plat::Hwnd frame = Frame();
  Editor().FindText = "abc";
  EXPECT_FALSE(plat::isWindowEnabled(WindowTables().Frame[0])) << "other windows are disabled";
  plat::test::answerMessageBox(plat::kIdNo);
  Steps({[] { WGridPutCellInteger(0, 2, 1, 5); }, [frame] { plat::postMessage(frame, plat::wm::Close); }});
  YYGridEditorRun();
  EXPECT_FALSE(plat::isWindow(frame));
  EXPECT_EQ(LastShown().text, "Do you want to save changes?");
  EXPECT_EQ(WGridInfoItem(-2, 6), 0) << "the changes were not saved";
  EXPECT_EQ(WGridInfoItem(-2, 7), 1);
  std::string find;
  YYGridWindowText(-1, 1, find, 1023);
  EXPECT_EQ(find, "abc");
  EXPECT_TRUE(plat::isWindowEnabled(WindowTables().Frame[0]));
}

TEST_F(GridEditorTest, AFrameWithoutCaptionShowsTheFileInTheStatusBar) {
  window_ = Window();
  plat::setWindowStyle(Frame(), plat::getWindowStyle(Frame()) & ~plat::ws::DlgFrame);
  int32_t status = 0, mode = 2;
  YYGridEditorOpen(status, gridedtest::kFilesGrid, mode, 0, 0, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  EXPECT_EQ(plat::statusBarState(Editor().StatusBar)->edges.size(), 5u);
  Editor().FileName = "depths.csv";
  YYGridEditorTitle(Frame());
  EXPECT_EQ(Part(4), "depths.csv");
}

TEST_F(GridEditorTest, FittingShrinksAndNeverEnlarges) {
  ASSERT_EQ(Open(), 0);
  auto fit = [&](int w, int h) {
    plat::setWindowPos(Frame(), {}, 0, 0, w, h, plat::kSwpNoMove | plat::kSwpNoZOrder);
    YYGridEditorFitWindow(Editor());
    plat::Rect r;
    plat::getWindowRect(Frame(), r);
    return std::pair<int, int>{r.width(), r.height()};
  };
  const auto natural = fit(640, 480);
  ASSERT_LT(natural.first, 640);
  ASSERT_LT(natural.second, 480);
  EXPECT_EQ(fit(640, 90), std::make_pair(natural.first, 90)) << "only the width shrinks";
  EXPECT_EQ(fit(120, 480), std::make_pair(120, natural.second)) << "only the height shrinks";
  EXPECT_EQ(fit(120, 90), std::make_pair(120, 90)) << "never enlarged";
  // The size limits: at most the fitted size, at least one cell.
  plat::MinMaxInfo info;
  info.maxSize = info.maxTrackSize = {5000, 5000};
  plat::sendMessage(Frame(), plat::wm::GetMinMaxInfo, 0, reinterpret_cast<plat::LParam>(&info));
  EXPECT_EQ(info.maxTrackSize.x, natural.first);
  EXPECT_EQ(info.maxTrackSize.y, natural.second);
  EXPECT_LT(info.minTrackSize.x, natural.first);
  EXPECT_LT(info.minTrackSize.y, natural.second);
}

TEST_F(GridEditorTest, SpinArrowsOfACellStepItsValue) {
  WDialogLoad(gridtest::kTestDialog);
  WDialogShow(-1, -1, 0, 2);
  WGridPutCellInteger(gridtest::kTestGrid, 2, 1, 5);
  ASSERT_EQ(Open(0, 2, false, gridtest::kTestGrid), 0);
  WGridSetCell(0, 2, 1);
  const GridRecord& g = *YYGridRecordOf(Editor().Grid);
  ASSERT_TRUE(g.Editor);
  const FieldRecord* f = YYFieldRecordOf(g.Editor);
  ASSERT_TRUE(f != nullptr && f->UpDown);
  const std::string before = plat::getWindowText(g.Editor);
  plat::Rect r;
  plat::getClientRect(f->UpDown, r);
  plat::test::click(plat::test::Button::Left, plat::test::at(f->UpDown, {r.width() / 2, 2}));
  plat::test::pump();
  EXPECT_EQ(before, "5");
  EXPECT_EQ(plat::getWindowText(g.Editor), "6");
}

TEST_F(GridEditorTest, TheEditorOfAThreeColumnGridLooksAsItsGolden) {
  WDialogLoad(kSmallDialog);
  WDialogShow(-1, -1, 0, 2);
  const char* names[] = {"Alder", "Birch", "Cedar"};
  for (int32_t r = 1; r <= 3; ++r) {
    int32_t f = kSmallGrid;
    YYGridPutValue(f, 0, r - 1, 0.0, names[r - 1], "");
    WGridPutCellInteger(kSmallGrid, 2, r, r * 120);
    WGridPutCellCheckBox(kSmallGrid, 3, r, r % 2);
  }
  ASSERT_EQ(Open(0, 2, false, kSmallGrid), 0);
  plat::test::pump();
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Frame(), true, picture));
  testsupport::ExpectGoldenPicture(picture, "grid_editor_window.png");
}

}  // namespace

namespace {

TEST_F(GridEditorTest, TheApplicationsMenuBringsItsHelpTextsAndItsKeys) {
  plat::res::pushOverlay(R"(
MENU 9720
  POPUP "&Stations"
    ITEM "&List" 40001
    ITEM "&Map" 40002
  END
END
MENUSTRINGS 9720
  40001 "Lists the stations"
END
ACCELERATORS 9720
  VIRTKEY K 40001 CTRL
  VIRTKEY I 40002 CTRL
END
)");
  window_ = Window();
  int32_t status = 0;
  YYGridEditorOpen(status, gridedtest::kFilesGrid, mode_, 9720, 0, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  // While a menu is open the application's item shows its help text and the
  // editor's items theirs.
  const plat::Hmenu stations = plat::getSubMenu(plat::getMenu(Frame()), 3);
  plat::sendMessage(Frame(), plat::wm::EnterMenuLoop, 0, 0);
  plat::sendMessage(Frame(), plat::wm::MenuSelect, plat::makeWParam(40001, 0), static_cast<plat::LParam>(stations.value));
  EXPECT_EQ(Part(plat::kSimplePart), "Lists the stations");
  plat::sendMessage(Frame(), plat::wm::MenuSelect, plat::makeWParam(32144, 0),
                    static_cast<plat::LParam>(Editor().SearchMenu.value));
  EXPECT_EQ(Part(plat::kSimplePart), "Moves to the specified cell");
  plat::sendMessage(Frame(), plat::wm::ExitMenuLoop, 0, 0);

  // The event wait translates the editor's keys, then the application's:
  // Ctrl+I stays the editor's Insert Row Before.
  plat::setFocus(Editor().Grid);
  struct Key {
    uint32_t vk;
    int32_t command;
  };
  for (const Key k : {Key{'K', 40001}, Key{'I', kCmdInsertBefore}}) {
    plat::test::key(k.vk, plat::test::kCtrl);
    int32_t type = 0;
    EventRecord e{};
    for (int i = 0; i < 10 && type != EventMenuCommand; ++i) WEventPoll(type, e);
    EXPECT_EQ(type, EventMenuCommand) << k.vk;
    EXPECT_EQ(e[1], k.command) << k.vk;
  }
}

TEST_F(GridEditorTest, TheNaturalSizeTakesAtMostTenThousandPixelsOfCellsEachWay) {
  ASSERT_EQ(Open(), 0);
  GridRecord& g = *YYGridRecordOf(Editor().Grid);
  int32_t cells = 1;
  for (const GridColumn& c : g.Cols) cells += c.Width - 1;
  const plat::Size small = YYGridEditorNaturalSize(Editor());
  const int32_t aroundX = small.cx - cells, aroundY = small.cy - ((g.RowHeight - 1) * g.Rows + 1);
  ASSERT_GT(aroundX, 0);
  ASSERT_GT(aroundY, 0);
  const int32_t width = g.Cols[0].Width, rowHeight = g.RowHeight;
  g.Cols[0].Width = 12000;
  g.RowHeight = 6000;
  const plat::Size big = YYGridEditorNaturalSize(Editor());
  plat::MinMaxInfo info;
  info.maxSize = info.maxTrackSize = {40000, 40000};
  plat::sendMessage(Frame(), plat::wm::GetMinMaxInfo, 0, reinterpret_cast<plat::LParam>(&info));
  g.Cols[0].Width = width;
  g.RowHeight = rowHeight;
  EXPECT_EQ(big.cx, 10000 + aroundX);
  EXPECT_EQ(big.cy, 10000 + aroundY);
  // the least size is one cell of the widest column, capped the same way
  EXPECT_EQ(info.minTrackSize.x, 10000 + aroundX);
  EXPECT_EQ(info.minTrackSize.y, 6000 + aroundY);
  // and the largest no more than the screen with its edges
  EXPECT_LT(info.maxTrackSize.x, big.cx);
}

}  // namespace
