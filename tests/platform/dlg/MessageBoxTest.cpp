// The message box as a real dialog, driven by mouse and keys: it answers
// what a queued answer for the same button answers, and looks like its
// goldens (QUILLON_UPDATE_GOLDENS=1 writes them again: look at each).
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/platform/dlg/DialogDriver.h"
#include "tests/support/GoldenPicture.h"

namespace plat {
namespace {

using testing::activeDialog;
using testing::clickItem;
using testing::DialogDriver;


class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    owner = testing::openPlainOwner("Owner", 100, 100, 500, 400);
  }
  void TearDown() override { test::reset(); }

  // The box answered by `steps`, and what the log says of it.
  int real(uint32_t type, const std::function<void(DialogDriver&)>& steps, test::ShownDialog* shown = nullptr) {
    test::clearShownDialogs();
    DialogDriver d;
    steps(d);
    d.install();
    const int answer = messageBox(owner, "Go on?", "Quillon", type);
    setIdleHook({});
    if (shown && !test::shownDialogs().empty()) *shown = test::shownDialogs().back();
    return answer;
  }
  int queued(uint32_t type, int button, test::ShownDialog* shown) {
    test::clearShownDialogs();
    test::answerMessageBox(button);
    const int answer = messageBox(owner, "Go on?", "Quillon", type);
    *shown = test::shownDialogs().back();
    return answer;
  }
  Hwnd owner;
};

void expectSameLog(const test::ShownDialog& a, const test::ShownDialog& b) {
  EXPECT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.text, b.text);
  EXPECT_EQ(a.caption, b.caption);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.answer, b.answer);
}

TEST_F(MessageBoxTest, EveryButtonClickedAnswersAsItsQueuedAnswer) {
  const uint32_t sets[] = {mb::Ok, mb::OkCancel, mb::AbortRetryIgnore, mb::YesNoCancel, mb::YesNo, mb::RetryCancel};
  for (uint32_t set : sets) {
    for (int button : messageBoxButtons(set)) {
      SCOPED_TRACE("set " + std::to_string(set) + " button " + std::to_string(button));
      test::ShownDialog byMouse, byQueue;
      EXPECT_EQ(real(set | mb::IconQuestion, [&](DialogDriver& d) { d.then([=] { clickItem(button); }); }, &byMouse),
                button);
      EXPECT_EQ(queued(set | mb::IconQuestion, button, &byQueue), button);
      expectSameLog(byMouse, byQueue);
    }
  }
}

TEST_F(MessageBoxTest, KeysChooseTheDefaultTheFocusedButtonOrCancel) {
  struct Case {
    uint32_t type;
    std::vector<uint32_t> keys;
    int answer;
  } cases[] = {
      {mb::Ok, {vk::Return}, kIdOk},
      {mb::Ok, {vk::Escape}, kIdOk},   // a lone OK is dismissed by Escape
      {mb::OkCancel, {vk::Escape}, kIdCancel},
      {mb::OkCancel | mb::DefButton2, {vk::Return}, kIdCancel},
      {mb::YesNo | mb::DefButton2, {vk::Return}, kIdNo},
      {mb::YesNo, {vk::Escape}, kIdNo},   // no Cancel: Escape answers No, which changes nothing
      {mb::YesNoCancel | mb::DefButton3, {vk::Return}, kIdCancel},
      {mb::YesNoCancel, {vk::Escape}, kIdCancel},
      {mb::AbortRetryIgnore | mb::DefButton2, {vk::Return}, kIdRetry},
      {mb::AbortRetryIgnore, {vk::Tab, vk::Tab, vk::Return}, kIdIgnore},
      {mb::RetryCancel, {vk::Tab, vk::Space}, kIdCancel},
      {mb::YesNo, {vk::Right, vk::Return}, kIdNo},
      // The buttons' letters.
      {mb::YesNo, {'Y'}, kIdYes},
      {mb::YesNo, {'N'}, kIdNo},
      {mb::YesNo | mb::DefButton2, {'Y'}, kIdYes},
      {mb::YesNoCancel, {'C'}, kIdCancel},
      {mb::OkCancel | mb::DefButton2, {'O'}, kIdOk},
      {mb::AbortRetryIgnore, {'R'}, kIdRetry},
      {mb::AbortRetryIgnore, {'I'}, kIdIgnore},
      {mb::YesNo, {'X', 'N'}, kIdNo},   // a letter no button has does nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.keys.front()));
    EXPECT_EQ(real(c.type, [&](DialogDriver& d) {
                for (uint32_t k : c.keys) d.then([k] { test::key(k); });
              }),
              c.answer);
  }
}

TEST_F(MessageBoxTest, TheOwnerIsDisabledWhileOpenAndTheCloseBoxIsCancel) {
  bool ownerEnabled = true;
  Hwnd box;
  EXPECT_EQ(real(mb::OkCancel,
                 [&](DialogDriver& d) {
                   d.then([&] {
                     ownerEnabled = isWindowEnabled(owner);
                     box = activeDialog();
                     test::clickCloseBox(box);
                   });
                 }),
            kIdCancel);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_FALSE(isWindow(box));
  EXPECT_TRUE(isWindowEnabled(owner));
  // Without Cancel the close box answers No.
  EXPECT_EQ(real(mb::YesNo, [&](DialogDriver& d) { d.then([&] { test::clickCloseBox(activeDialog()); }); }), kIdNo);
}

TEST_F(MessageBoxTest, LongTextsWrapToASensibleWidthAndPathsBreakAtTheirSlashes) {
  const std::string path = "/home/someone/" + std::string(60, 'x') + "/" + std::string(60, 'y') + "/suite.dat";
  const std::string sentence =
      "The specified directory does not exist and the program cannot write the export file there; choose another "
      "directory or create this one first.";
  Rect outer, text;
  int lines = 0;
  test::clearShownDialogs();
  DialogDriver d;
  d.then([&] {
     Hwnd box = activeDialog();
     getWindowRect(box, outer);
     Hwnd t = getDlgItem(box, 21);
     getClientRect(t, text);
     const std::string shown = getWindowText(t);
     lines = 1 + static_cast<int>(std::count(shown.begin(), shown.end(), '\n'));
     EXPECT_EQ(shown.find(path), std::string::npos) << "the path was broken";
     EXPECT_NE(shown.find("x/\n" + std::string(60, 'y') + "/suite.dat"), std::string::npos) << shown;
   }).then([] { test::key(vk::Return); });
  d.install();
  EXPECT_EQ(messageBox(owner, sentence + "\n" + path, "Save As", mb::Ok | mb::IconExclamation), kIdOk);
  EXPECT_LE(text.width(), 1280 * 3 / 8 + 1);
  EXPECT_GE(lines, 4);
  EXPECT_EQ(text.height() % lines, 0);
  EXPECT_LT(outer.width(), 600);
  EXPECT_EQ(test::shownDialogs().back().text, sentence + "\n" + path) << "logged as given";
}

TEST_F(MessageBoxTest, AnAnswerQueuedWhileTheBoxIsOpenAnswersIt) {
  DialogDriver d;
  d.then([] { test::answerMessageBox(kIdRetry); });
  d.install();
  EXPECT_EQ(messageBox(owner, "Disk full", "Quillon", mb::RetryCancel), kIdRetry);
  EXPECT_EQ(test::shownDialogs().back().answer, kIdRetry);
  DialogDriver d2;
  d2.then([] { test::answerMessageBoxFails(); });
  d2.install();
  EXPECT_EQ(messageBox(owner, "Disk full", "Quillon", mb::RetryCancel), 0);
  EXPECT_EQ(test::shownDialogs().back().answer, -1);
}

TEST_F(MessageBoxTest, EachIconLooksLikeItsGolden) {
  struct Case {
    uint32_t type;
    const char* caption;
    const char* text;
    const char* golden;
  } cases[] = {
      {mb::AbortRetryIgnore | mb::IconStop, "Library Error",
       "Internal routine:YYWINSEL\rError=1003\rInvalid window handle", "platform_msgbox_stop.png"},
      {mb::YesNo | mb::IconQuestion, "Create Directory?",
       "The specified directory does not exist.\nDo you wish to create it?", "platform_msgbox_question.png"},
      {mb::YesNoCancel | mb::IconExclamation | mb::DefButton2, "Save As",
       "/home/user/soundings/M\xFCller suite.dat already exists.\nDo you want to replace it?",
       "platform_msgbox_warning.png"},
      {mb::Ok | mb::IconInformation, "Find", "End of text reached", "platform_msgbox_information.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    Surface picture;
    DialogDriver d;
    d.then([&] { ASSERT_TRUE(test::windowPicture(activeDialog(), true, picture)); }).then([] { test::key(vk::Return); });
    d.install();
    messageBox(owner, c.text, c.caption, c.type);
    testsupport::ExpectGoldenPicture(picture, c.golden);
  }
}

}  // namespace
}  // namespace plat
