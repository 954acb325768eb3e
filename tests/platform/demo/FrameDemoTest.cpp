// A small program on the window system: a frame with a menu from the
// resources, a status bar, a toolbar and a client area. Injected input must
// give exactly the messages in the tables below.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

struct Demo {
  Hwnd frame, client, status, toolbar;
  Haccel accel;
};
Demo demo;

void layout() {
  sendMessage(demo.status, wm::Size, 0, 0);
  sendMessage(demo.toolbar, tb::AutoSize, 0, 0);
  Rect fc, sr, tr;
  getClientRect(demo.frame, fc);
  getWindowRect(demo.status, sr);
  getWindowRect(demo.toolbar, tr);
  moveWindow(demo.client, 0, tr.height(), fc.right, fc.bottom - tr.height() - sr.height());
}

LResult frameProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  switch (m) {
    case wm::Size:
      if (demo.client) layout();
      return 0;
    case wm::Close:   // asked, not obeyed: the program decides when to close
    case wm::Command:
      return 0;
    default:
      return defWindowProc(w, m, wp, lp);
  }
}

LResult clientProc(Hwnd w, uint32_t m, WParam wp, LParam lp) { return defWindowProc(w, m, wp, lp); }

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The program's loop, without waiting: accelerators first, then translate
// and dispatch.
void run() {
  Msg m;
  while (peekMessage(m, {}, 0, 0, kPmRemove)) {
    if (translateAccelerator(demo.frame, demo.accel, m)) continue;
    translateMessage(m);
    dispatchMessage(m);
  }
}

class FrameDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    res::pushOverlay(readFile(QUILLON_TEST_DATA "/platform/demo.qres"), "demo.qres");
    WindowClass wc;
    wc.name = "DemoFrame";
    wc.proc = frameProc;
    ASSERT_NE(registerClass(wc), 0);
    wc.name = "DemoClient";
    wc.proc = clientProc;
    wc.style = cs::DblClks | cs::HRedraw | cs::VRedraw;
    ASSERT_NE(registerClass(wc), 0);

    demo = {};
    demo.frame = createWindow("DemoFrame", "Demo", ws::OverlappedWindow | ws::ClipChildren, 100, 100, 640, 480, {},
                              loadMenu(100));
    demo.accel = loadAccelerators(100);
    demo.status = createWindow(kStatusBarClass, "", ws::Child | ws::Visible | sbars::SizeGrip, 0, 0, 10, 10, demo.frame,
                               {}, 999);
    demo.toolbar = createWindow(kToolbarClass, "", ws::Child | ws::Visible | tbstyle::Tooltips, 0, 0, 1, 1, demo.frame,
                                {}, 300);
    sendMessage(demo.toolbar, tb::SetBitmapSize, 0, makeLParam(16, 16));
    sendMessage(demo.toolbar, tb::SetButtonSize, 0, makeLParam(22, 22));
    ToolbarBitmap bmp{300, 0};
    ASSERT_EQ(sendMessage(demo.toolbar, tb::AddBitmap, 3, reinterpret_cast<LParam>(&bmp)), 0);
    ToolbarButton buttons[] = {{0, 101, tbstate::Enabled, btns::Button, 0},
                               {0, 0, 0, btns::Sep, 0},
                               {1, 111, tbstate::Enabled | tbstate::Checked, btns::Check, 0},
                               {2, 120, tbstate::Enabled, btns::Button, 0}};
    sendMessage(demo.toolbar, tb::AddButtons, 4, reinterpret_cast<LParam>(buttons));
    demo.client = createWindow("DemoClient", "", ws::Child | ws::Visible, 0, 0, 10, 10, demo.frame, {}, 1);
    int parts[] = {200, -1};
    sendMessage(demo.status, sb::SetParts, 2, reinterpret_cast<LParam>(parts));
    showWindow(demo.frame, ShowCmd::ShowNormal);
    layout();
    setFocus(demo.client);
    run();
  }
  void TearDown() override { test::reset(); }

  // The messages that reached the frame, client and toolbar, by name,
  // without the hit tests, cursor requests, pointer moves and painting that
  // accompany them.
  std::vector<std::string> logged(const test::MessageLog& log) {
    std::vector<std::string> out;
    auto names = log.names();
    for (size_t i = 0; i < names.size(); ++i) {
      const test::LoggedMessage& m = log.messages()[i];
      std::string who = m.hwnd == demo.frame ? "frame" : m.hwnd == demo.client ? "client" : "toolbar";
      out.push_back(who + " " + names[i]);
    }
    return out;
  }
  static bool quiet(const test::LoggedMessage& m) {
    switch (m.message) {
      case wm::NcHitTest:
      case wm::SetCursor:
      case wm::MouseMove:
      case wm::NcMouseMove:
      case wm::Paint:
      case wm::EraseBkgnd:
      case wm::NcPaint:
      case wm::GetText:
      case wm::GetTextLength:
        return false;
      default:
        return m.hwnd == demo.frame || m.hwnd == demo.client || m.hwnd == demo.toolbar;
    }
  }
};

TEST_F(FrameDemo, OpensWithMenuToolbarStatusBarAndClient) {
  Rect fc, cr, tr, sr;
  getClientRect(demo.frame, fc);
  getClientRect(demo.client, cr);
  getWindowRect(demo.toolbar, tr);
  getWindowRect(demo.status, sr);
  EXPECT_EQ(tr.height(), 22 + kToolbarExtraHeight);
  EXPECT_EQ(sr.height(), getSystemMetrics(Metric::StatusBarHeight));
  EXPECT_EQ(cr.bottom, fc.bottom - tr.height() - sr.height());
  EXPECT_EQ(screenToClient(demo.frame, {sr.left, sr.top}), (Point{0, fc.bottom - sr.height()}));
  EXPECT_EQ(getFocus(), demo.client);
  EXPECT_EQ(getActiveWindow(), demo.frame);
  EXPECT_EQ(test::menuItemState(demo.frame, 102), static_cast<int>(mf::Grayed));
  EXPECT_EQ(test::menuItemState(demo.frame, 111), static_cast<int>(mf::Checked));
  EXPECT_EQ(test::toolbarButtonState(demo.toolbar, 111), tbstate::Enabled | tbstate::Checked);
  const ToolbarState* st = toolbarState(demo.toolbar);
  ASSERT_EQ(st->images.size(), 3u);
  EXPECT_EQ(st->images[1].at(0, 0), 0x000080u) << "image 1 is the cross, cut from the strip";
  EXPECT_EQ(st->images[2].at(0, 0), 0xC0C0C0u);
}

TEST_F(FrameDemo, KeysWithCtrlAndShiftAndTypedCharacters) {
  test::MessageLog log(quiet);
  test::key(vk::letter('a'), test::kCtrl | test::kShift);
  test::typeText("a!");
  run();
  std::vector<std::string> want = {
      "client KeyDown(17)", "client KeyDown(16)", "client KeyDown(65)", "client Char(1)",
      "client KeyUp(65)", "client KeyUp(16)", "client KeyUp(17)",
      "client KeyDown(65)", "client Char(97)", "client KeyUp(65)",
      "client KeyDown(16)", "client KeyDown(49)", "client Char(33)", "client KeyUp(49)", "client KeyUp(16)"};
  EXPECT_EQ(logged(log), want);
}

TEST_F(FrameDemo, AcceleratorTurnsTheKeyIntoACommand) {
  test::MessageLog log(quiet);
  test::key(vk::fn(2), test::kCtrl);
  run();
  std::vector<std::string> want = {"client KeyDown(17)", "frame InitMenu", "frame InitMenuPopup",
                                   "frame Command(111,1)", "client KeyUp(113)", "client KeyUp(17)"};
  EXPECT_EQ(logged(log), want);
}

TEST_F(FrameDemo, ClickIsHitTestedBeforeItArrives) {
  test::MessageLog log([](const test::LoggedMessage& m) { return m.hwnd == demo.frame || m.hwnd == demo.client; });
  test::mouseDown(test::Button::Left, test::at(demo.client, {5, 6}));
  run();
  // The client's default procedure lets its parent decide the cursor first.
  std::vector<std::string> want = {"frame NcHitTest",   "client NcHitTest",   "client SetCursor",
                                   "frame SetCursor",   "frame ParentNotify", "client LButtonDown"};
  EXPECT_EQ(logged(log), want);
  EXPECT_EQ(pointFromParam(static_cast<uintptr_t>(log.messages().back().lParam)), (Point{5, 6}));
}

TEST_F(FrameDemo, DoubleClickAndWheel) {
  test::MessageLog log([](const test::LoggedMessage& m) {
    return quiet(m) && m.message != wm::ParentNotify;
  });
  test::doubleClick(test::Button::Left, test::at(demo.client, {20, 20}));
  test::wheel(120, test::at(demo.client, {20, 20}));
  run();
  std::vector<std::string> want = {"client LButtonDown", "client LButtonUp", "client LButtonDblClk",
                                   "client LButtonUp", "client MouseWheel", "frame MouseWheel"};
  EXPECT_EQ(logged(log), want);
  const test::LoggedMessage& w = log.messages()[4];
  EXPECT_EQ(static_cast<int16_t>(hiWord(w.wParam)), 120);
  EXPECT_EQ(pointFromParam(static_cast<uintptr_t>(w.lParam)), test::at(demo.client, {20, 20})) << "screen point";
}

TEST_F(FrameDemo, ResizeByDraggingTheFrame) {
  test::MessageLog log([](const test::LoggedMessage& m) { return quiet(m) && m.hwnd == demo.frame; });
  test::dragFrameSize(demo.frame, {500, 400});
  std::vector<std::string> want = {"frame EnterSizeMove", "frame GetMinMaxInfo", "frame Sizing",
                                   "frame WindowPosChanging", "frame WindowPosChanged", "frame Size(0)",
                                   "frame ExitSizeMove"};
  EXPECT_EQ(logged(log), want);
  Rect fc, cr;
  getClientRect(demo.frame, fc);
  getClientRect(demo.client, cr);
  EXPECT_EQ(cr.right, fc.right) << "the frame laid out its client again";
}

TEST_F(FrameDemo, CloseBoxAsksTheFrameToClose) {
  test::MessageLog log([](const test::LoggedMessage& m) { return quiet(m) && m.hwnd == demo.frame; });
  test::clickCloseBox(demo.frame);
  run();
  std::vector<std::string> want = {"frame NcLButtonDown", "frame NcLButtonUp",
                                   "frame SysCommand(" + std::to_string(kScClose) + ")", "frame Close"};
  EXPECT_EQ(logged(log), want);
  EXPECT_TRUE(isWindow(demo.frame)) << "the frame's procedure keeps it open";
}

TEST_F(FrameDemo, MenuChoiceRunsTheMenuLoopThenCommands) {
  test::MessageLog log([](const test::LoggedMessage& m) { return quiet(m) && m.hwnd == demo.frame; });
  ASSERT_TRUE(test::chooseMenu(demo.frame, 112));
  run();
  std::vector<std::string> want = {
      "frame NcLButtonDown", "frame SysCommand(" + std::to_string(kScMouseMenu) + ")", "frame EnterMenuLoop",
      "frame InitMenu", "frame MenuSelect", "frame InitMenuPopup", "frame MenuSelect", "frame InitMenuPopup",
      "frame MenuSelect", "frame MenuSelect", "frame ExitMenuLoop", "frame NcLButtonUp", "frame Command(112,0)"};
  EXPECT_EQ(logged(log), want);
  // The highlighted items: View (position 1, a pop-up), Grid (position 1), Major (id 112); then closing.
  std::vector<std::pair<int, int>> selects;
  for (const auto& m : log.messages())
    if (m.message == wm::MenuSelect) selects.push_back({loWord(m.wParam), hiWord(m.wParam)});
  ASSERT_EQ(selects.size(), 4u);
  EXPECT_EQ(selects[0].first, 1);
  EXPECT_TRUE(selects[0].second & kMsfPopup);
  EXPECT_EQ(selects[1].first, 1);
  EXPECT_EQ(selects[2].first, 112);
  EXPECT_FALSE(selects[2].second & kMsfPopup);
  EXPECT_EQ(selects[3].second, static_cast<int>(kMenuClosed));
}

TEST_F(FrameDemo, GreyedMenuItemGivesNoCommand) {
  test::MessageLog log([](const test::LoggedMessage& m) { return m.message == wm::Command; });
  ASSERT_TRUE(test::chooseMenu(demo.frame, 102));
  run();
  EXPECT_TRUE(log.messages().empty());
}

TEST_F(FrameDemo, ToolbarClickIsACommandFromTheToolbar) {
  test::MessageLog log([](const test::LoggedMessage& m) {
    return quiet(m) && m.message != wm::CaptureChanged && m.message != wm::ParentNotify;
  });
  ASSERT_TRUE(test::clickToolbarButton(demo.toolbar, 111));
  run();
  std::vector<std::string> want = {"toolbar LButtonDown", "toolbar LButtonUp", "frame Command(111,0)"};
  EXPECT_EQ(logged(log), want);
  EXPECT_EQ(handleFrom<Hwnd>(log.messages().back().lParam), demo.toolbar);
  EXPECT_EQ(test::toolbarButtonState(demo.toolbar, 111), tbstate::Enabled) << "a check button toggles";
}

}  // namespace
}  // namespace plat
