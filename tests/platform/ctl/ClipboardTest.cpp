// The clipboard: opening, owners, text and registered formats.
#include <gtest/gtest.h>

#include "platform/clip/Clipboard.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

using namespace plat;

namespace {

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { test::reset(); }
  void TearDown() override { test::reset(); }
};

TEST_F(ClipboardTest, DataNeedsAnOpenClipboardAndOneOpenerAtATime) {
  std::string out;
  EXPECT_FALSE(setClipboardData(kCfText, "x"));
  EXPECT_FALSE(getClipboardData(kCfText, out));
  ASSERT_TRUE(openClipboard({}));
  EXPECT_FALSE(openClipboard({}));
  EXPECT_TRUE(emptyClipboard());
  EXPECT_TRUE(setClipboardData(kCfText, std::string_view("ab\0cd", 5)));
  EXPECT_TRUE(closeClipboard());
  EXPECT_FALSE(closeClipboard());
  ASSERT_TRUE(openClipboard({}));
  EXPECT_TRUE(getClipboardData(kCfText, out));
  closeClipboard();
  EXPECT_EQ(out, "ab");   // text ends at its zero
  test::holdClipboard(true);
  EXPECT_FALSE(openClipboard({}));
  test::holdClipboard(false);
  EXPECT_TRUE(openClipboard({}));
  closeClipboard();
}

TEST_F(ClipboardTest, RegisteredFormatsSitBesideText) {
  const uint32_t grid = registerClipboardFormat("Quillon Cells");
  EXPECT_GE(grid, 0xC000u);
  EXPECT_EQ(registerClipboardFormat("quillon cells"), grid);
  EXPECT_EQ(registerClipboardFormat(""), 0u);
  EXPECT_EQ(getClipboardFormatName(grid), "Quillon Cells");
  Hwnd owner = createWindow("#32770", "o", ws::Popup, 0, 0, 10, 10);
  ASSERT_TRUE(openClipboard(owner));
  emptyClipboard();
  setClipboardData(kCfText, "1\t2\r\n");
  setClipboardData(grid, std::string("\x01\x02", 2));
  closeClipboard();
  EXPECT_EQ(getClipboardOwner(), owner);
  EXPECT_EQ(countClipboardFormats(), 2);
  EXPECT_EQ(enumClipboardFormats(0), kCfText);
  EXPECT_EQ(enumClipboardFormats(kCfText), grid);
  EXPECT_EQ(enumClipboardFormats(grid), 0u);
  EXPECT_TRUE(isClipboardFormatAvailable(grid));
  // Emptying drops every format.
  openClipboard({});
  emptyClipboard();
  closeClipboard();
  EXPECT_FALSE(isClipboardFormatAvailable(kCfText));
}

}  // namespace
