#include "VOZUVar/MessageBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ShownBox {
  int32_t buttons, icon, defaultButton;
  std::string text, caption;
};
std::vector<ShownBox> gShown;
int32_t gAnswer = 1;

int32_t FakeBox(int32_t buttons, int32_t icon, int32_t defaultButton, std::string_view text,
                std::string_view caption) {
  gShown.push_back({buttons, icon, defaultButton, std::string(text), std::string(caption)});
  return gAnswer;
}

class LibraryBoxes : public ::testing::Test {
 protected:
  void SetUp() override {
    gShown.clear();
    SetLibraryBoxHook(FakeBox);
  }
  void TearDown() override { SetLibraryBoxHook(nullptr); }
};

TEST_F(LibraryBoxes, EachRoutineShowsItsButtonsIconAndDefault) {
  bool flag = false;
  WINMSG("note   ");
  WINWRN("warn");
  WINMSGC("go on?", flag);
  flag = true;
  WINQUE("yes first?", flag);
  flag = false;
  WINQUE("no first?", flag);
  WINANS("sure?", flag);
  ASSERT_EQ(gShown.size(), 6u);
  struct Expect {
    int32_t buttons, icon, defaultButton;
  };
  const Expect expected[] = {{0, 4, 1}, {0, 3, 1}, {1, 4, 1}, {3, 2, 1}, {3, 2, 2}, {3, 3, 2}};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(gShown[i].buttons, expected[i].buttons) << i;
    EXPECT_EQ(gShown[i].icon, expected[i].icon) << i;
    EXPECT_EQ(gShown[i].defaultButton, expected[i].defaultButton) << i;
    EXPECT_EQ(gShown[i].caption, "Tesselby Library Message");
  }
  EXPECT_EQ(gShown[0].text, "note   ");  // passed whole; the box trims it
}

TEST_F(LibraryBoxes, AnswersSetTheFlags) {
  struct Case {
    int32_t answer;
    bool cancelled, yes;
  };
  // 1 OK/Yes, 0 Cancel, 2 No, -1 a box that could not be shown: neither Cancel nor Yes.
  for (const Case& c : {Case{1, false, true}, Case{0, true, false}, Case{2, false, false}, Case{-1, false, false}}) {
    gAnswer = c.answer;
    bool cancelled = !c.cancelled, yes = !c.yes, answered = !c.yes;
    WINMSGC("?", cancelled);
    WINQUE("?", yes);
    WINANS("?", answered);
    EXPECT_EQ(cancelled, c.cancelled) << c.answer;
    EXPECT_EQ(yes, c.yes) << c.answer;
    EXPECT_EQ(answered, c.yes) << c.answer;
  }
  gAnswer = 1;
}

TEST_F(LibraryBoxes, ACaptureTakesTheNotices) {
  static std::vector<std::string> captured;
  SetWinMsgHook([](std::string_view, std::string_view text) { captured.emplace_back(text); });
  WINMSG("a");
  WINWRN("b");
  SetWinMsgHook(nullptr);
  EXPECT_EQ(captured, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(gShown.empty());
}

}  // namespace
