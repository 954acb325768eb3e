// The event store's rules: kept repaints and resizes, the field-change
// queue, frame clicks, captured pointers and minimised windows.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/win/Keys.h"
#include "platform/win/PaintHooks.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/DialogServices.h"

namespace {

using plat::test::Button;
using wmtest::ToolkitTest;

constexpr uint32_t kTwoChanges = plat::wm::User + 1;

// A window standing in for a dialog: one message records two field changes
// in one dispatch, as a dialog's controls can.
plat::LResult DialogProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  if (m == kTwoChanges) {
    DialogRecord* r = YYDialogRecordOf(w);
    r->PreviousField = 1001;
    r->CurrentField = 1002;
    YYEventStore(EventFieldChange, 0, 0, 11, w);
    r->PreviousField = 1002;
    r->CurrentField = 1003;
    YYEventStore(EventFieldChange, 0, 0, 22, w);
    return 0;
  }
  return plat::defWindowProc(w, m, wp, lp);
}

class EventStoreTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    int32_t type = 0;
    Next(type);
  }
};

TEST_F(EventStoreTest, TwoFieldChangesInOneDispatchComeOneAfterTheOther) {
  plat::WindowClass wc;
  wc.name = "TestFieldDialog";
  wc.proc = DialogProc;
  plat::registerClass(wc);
  const plat::Hwnd dialog = plat::createWindow("TestFieldDialog", "", plat::ws::Popup | plat::ws::Visible, 0, 0, 50, 50);
  DialogRecord& rec = YYDialogRecordAttach(dialog);
  rec.Identifier = 104;
  rec.LastChangeValue = 5;
  plat::postMessage(dialog, kTwoChanges);
  int32_t type = 0;
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventFieldChange);
  EXPECT_EQ(e[0], 104);
  EXPECT_EQ(e[1], 1001);
  EXPECT_EQ(e[2], 1002);
  EXPECT_EQ(e[5], 5);   // the value before the change
  EXPECT_EQ(e[6], 11);
  e = Next(type);  // from the queue, without any message
  EXPECT_EQ(type, EventFieldChange);
  EXPECT_EQ(e[1], 1002);
  EXPECT_EQ(e[2], 1003);
  EXPECT_EQ(e[5], 11);
  EXPECT_EQ(e[6], 22);
  EXPECT_EQ(PollType(), kNoEvent);
  YYDialogRecordDetach(dialog);
  plat::destroyWindow(dialog);
}

TEST_F(EventStoreTest, ARepaintOutsideAFetchIsKeptAndCoversTheClient) {
  // A command and a part of the client to repaint, both pending: the
  // command comes first (painting waits until nothing else is queued).
  const plat::Rect part{10, 10, 20, 20};
  plat::invalidateRect(Client(), &part, true);
  plat::postMessage(Frame(), plat::wm::Command, 40014, 0);
  int32_t type = 0;
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventMenuCommand);
  EXPECT_EQ(e[1], 40014);
  e = Next(type);
  EXPECT_EQ(type, EventRepaint);
  EXPECT_EQ(e[5], YYPixelToWindowUnits(10, 640));
  EXPECT_EQ(e[1], YYPixelToWindowUnits(19, 640) - YYPixelToWindowUnits(10, 640));

  // The same part repainted while the program works between fetches: the
  // next fetch reports the whole client area.
  plat::invalidateRect(Client(), &part, true);
  plat::updateWindow(Client());
  e = Next(type);
  EXPECT_EQ(type, EventRepaint);
  EXPECT_EQ(e[0], 0);
  EXPECT_EQ(e[5], YYPixelToWindowUnits(0, 640));
  EXPECT_EQ(e[6], YYPixelToWindowUnits(0, 484));
  EXPECT_EQ(e[1], YYPixelToWindowUnits(639, 640) - YYPixelToWindowUnits(0, 640));
  EXPECT_EQ(e[2], YYPixelToWindowUnits(483, 484) - YYPixelToWindowUnits(0, 484));
  EXPECT_EQ(PollType(), kNoEvent);
}

TEST_F(EventStoreTest, FrameClicksAndTheMinimiseButton) {
  WEventOptionSet(EventFrameClick, 1);
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  const plat::Rect caption = plat::framePartRect(Frame(), plat::FramePart::Caption);
  plat::test::click(Button::Left, {outer.left + caption.left + 40, outer.top + (caption.top + caption.bottom) / 2});
  int32_t type = 0;
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventFrameClick);
  EXPECT_EQ(e[0], 0);
  EXPECT_EQ(e[1], 1);
  EXPECT_EQ(PollType(), kNoEvent);

  // The minimise button: no frame click, and the minimised window no EventSized.
  plat::test::clickMinimizeBox(Frame());
  EXPECT_EQ(PollType(), kNoEvent);
  EXPECT_TRUE(plat::isIconic(Frame()));
  YYWINSELFWD(0);
  EXPECT_EQ(WInfoWindowItem(9), 0);
  EXPECT_EQ(WInfoWindowItem(5), 320);  // its normal position
  EXPECT_EQ(WInfoWindowItem(6), 256);
  EXPECT_EQ(WInfoWindowItem(11), 640);  // the drawing area of its normal state
  EXPECT_EQ(WInfoWindowItem(12), 484);
}

TEST_F(EventStoreTest, CapturedPointersOutsideTheClientKeepTheirSign) {
  // A drawing area wider than the screen: positions past the screen's width
  // are positions, not negative numbers.
  WindowPlace(1400, 400, 0, 0, 1);
  int32_t type = 0;
  Next(type);  // its resize
  WEventOptionSet(EventMouseMotion, 0);
  plat::test::mouseDown(Button::Left, plat::test::at(Client(), {10, 10}));
  plat::test::mouseDown(Button::Right, plat::test::at(Client(), {-5, 10}));
  plat::test::mouseDown(Button::Middle, plat::test::at(Client(), {1300, 10}));
  EventRecord e = Next(type);
  EXPECT_EQ(e[1], 1);
  e = Next(type);
  EXPECT_EQ(type, EventMouseDown);
  EXPECT_EQ(e[1], 3);
  EXPECT_EQ(e[5], YYPixelToWindowUnits(-5, 1400));
  EXPECT_LT(e[5], 0);
  e = Next(type);
  EXPECT_EQ(e[1], 2);
  EXPECT_EQ(e[5], YYPixelToWindowUnits(1300, 1400));
  EXPECT_EQ(e[2], 4 | 16 | 8);  // all three buttons held
}

TEST_F(EventStoreTest, TheWheelReportsTheClientPosition) {
  WEventOptionSet(EventMouseMotion, 0);
  plat::test::wheel(120, plat::test::at(Client(), {100, 50}));
  int32_t type = 0;
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventMouseDown);
  EXPECT_EQ(e[1], 4);
  EXPECT_EQ(e[5], YYPixelToWindowUnits(100, 640));
  EXPECT_EQ(e[6], YYPixelToWindowUnits(50, 484));
  plat::test::wheel(-120, plat::test::at(Client(), {100, 50}));
  e = Next(type);
  EXPECT_EQ(e[1], 5);
}

TEST_F(EventStoreTest, PositionsInGraphicsUnits) {
  WEventOptionSet(EventMouseMotion, 0);
  plat::test::click(Button::Left, plat::test::at(Client(), {0, 0}));
  int32_t type = 0;
  EventRecord e = Next(type);
  // the pixel's centre in the units 0..1 of the whole client area, y upward
  EXPECT_NEAR(EventReal(e, 9), 0.5f / 639.99f, 1e-6f);
  EXPECT_NEAR(EventReal(e, 10), 483.5f / 483.99f, 1e-6f);
}

TEST_F(EventStoreTest, FrameTimersFireOnceClientTimersRepeat) {
  YYTimerSet(100, 7, 0);
  int32_t type = 0;
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventTimer);
  EXPECT_EQ(e[1], 7);
  YYTimerSet(100, 8, 1);
  for (int i = 0; i < 2; ++i) {
    e = Next(type);
    EXPECT_EQ(type, EventTimer);
    EXPECT_EQ(e[1], 8);
  }
  YYTimerSet(0, 8, 1);
  EXPECT_EQ(PollType(), kNoEvent);
  int32_t before = 0, after = 0;
  YYOsTickCount(before);
  YYWaitTicks(5);
  YYOsTickCount(after);
  EXPECT_GE(after - before, 50);
  EXPECT_EQ(PollType(), kNoEvent);
}

// With timer events switched off, a repeating timer is all that keeps a
// blocking wait going: with no input source left it fails instead of
// taking timer messages for ever.
TEST_F(EventStoreTest, AWaitOnlyTimersSwitchedOffCanEndFailsLoudly) {
  WEventOptionSet(13, 0);
  YYTimerSet(10, 9, 1);
  int32_t type = 0;
  try {
    Next(type);
    FAIL() << "an event came: " << type;
  } catch (const plat::FatalError& e) {
    EXPECT_STREQ(e.what(), "event loop starved");
  }
  YYTimerSet(0, 9, 1);
  WEventOptionSet(13, 1);
}

TEST_F(EventStoreTest, AKeyWithoutCharacterLeavesTheNextMessageAlone) {
  plat::test::keyDown(plat::vk::fn(1));
  plat::postMessage(Frame(), plat::wm::Command, 40014, 0);
  int32_t type = 0;
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventKey);
  EXPECT_EQ(e[1], 301);
  e = Next(type);
  EXPECT_EQ(type, EventMenuCommand);
  EXPECT_EQ(e[1], 40014);
  plat::test::keyUp(plat::vk::fn(1));
}

TEST_F(ToolkitTest, AMainWindowThatCannotBeMadeEndsTheProgramWithAFailureStatus) {
  // A window of another class of the frame's name holds the name, so the
  // frame's class cannot be made afresh.
  plat::WindowClass taken;
  taken.name = kRootFrameClass;
  taken.proc = plat::defWindowProc;
  plat::registerClass(taken);
  plat::createWindow(kRootFrameClass, "", plat::ws::Popup, 0, 0, 10, 10);
  EXPECT_EXIT(
      {
        WindowOpenArguments a;
        WindowOpen(a);
      },
      ::testing::ExitedWithCode(4), "");
}

TEST(KeyCodes, VirtualKeysBecomeToolkitCodes) {
  struct Case {
    int32_t vk, m, code;
  };
  const Case cases[] = {{9, 0, 9},     {9, 20, 274},  {38, 0, 258},   {38, 20, 262},  {40, 40, 267},
                        {39, 40, 268}, {37, 0, 261},  {33, 20, 262},  {34, 0, 263},   {36, 0, 270},
                        {35, 0, 271},  {41, 0, 271},  {45, 0, 272},   {46, 40, 273},  {96, 0, 280},
                        {105, 0, 289}, {12, 0, 285},  {109, 0, 290},  {110, 0, 291},  {107, 0, 292},
                        {108, 0, 292}, {111, 0, 293}, {106, 0, 294},  {44, 0, 300},   {112, 0, 301},
                        {113, 40, 342}, {131, 20, 340}, {65, 40, 65}, {132, 0, 132}};
  for (const Case& c : cases) EXPECT_EQ(YYKeyCode(c.vk, c.m), c.code) << c.vk << " " << c.m;
}

TEST(WindowUnits, PixelsToUnits) {
  EXPECT_EQ(YYPixelToWindowUnits(0, 400), 12);
  EXPECT_EQ(YYPixelToWindowUnits(399, 400), 9986);
  EXPECT_EQ(YYPixelToWindowUnits(5, 1), 0);
  EXPECT_EQ(YYPixelToWindowUnits(INT32_MAX, 2), INT32_MAX);
}

}  // namespace
