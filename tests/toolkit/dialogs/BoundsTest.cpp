// Values out of all proportion, as an edited settings file or resource can
// hold them: the dialog still shows where the user reaches it, steps
// saturate, controls paint in bounded time and the extras stay defined.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include <climits>

#include "platform/res/Resources.h"
#include "platform/win/Metrics.h"

namespace dlgtest {
namespace {

const char* kBoundsDialog =
    "DIALOG 720\n CAPTION \"Bounds\"\n STYLE POPUP CAPTION\n RECT 0 0 200 120\n"
    " CONTROL msctls_trackbar32 1200 \"7\" 10 10 150 20\n"
    " CONTROL msctls_trackbar32 1201 \"0\" 10 35 150 20 VERT\n"
    " CONTROL msctls_progress32 1300 \"0\" 10 60 150 10\n"
    " CONTROL LISTBOX 1400 \"\" 10 75 80 30\n"
    " CONTROL COMBOBOX 1401 \"\" 100 75 80 60 DROPDOWNLIST\n"
    " CONTROL STATIC 1402 \"Big\" 100 95 80 10\n"
    "EXTRAS\n"
    "[Ranges]\n 1200 0 8e16 \n 1300 0 100 \n"
    "[Trackbars]\n 1200 1 1 1 0 0 \n"
    "[Menus]\n 1400 2 -99999999999 \nOne\nTwo\n 1401 2 99999999999 \nOne\nTwo\n"
    "[Fonts]\n 1402 1610612736 Arial, 99999999999 1 \n"
    "END\n";

class BoundsTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    plat::res::pushOverlay(kBoundsDialog);
    WDialogLoad(720);
    ASSERT_EQ(Error(), 0);
  }
  void TearDown() override {
    plat::res::popOverlay();
    DialogTest::TearDown();
  }
};

TEST_F(BoundsTest, ADialogShownFarAwayStaysWithinReach) {
  WDialogShow(2000000000, 2000000000, 0, 2);
  plat::Rect r;
  plat::getWindowRect(Dialog(), r);
  EXPECT_LE(r.top, 1024 - plat::kReachable);
  EXPECT_LE(r.left, 1280 - plat::kReachable);
  EXPECT_GE(r.top, 0);
  EXPECT_TRUE(plat::isWindowVisible(Dialog()));
  WDialogHide();
  WDialogShow(-2000000000, -2000000000, 0, 2);
  plat::getWindowRect(Dialog(), r);
  EXPECT_GE(r.right, plat::kReachable);
  EXPECT_GE(r.top, 0);
}

TEST_F(BoundsTest, ProgressStepsSaturate) {
  WDialogPutProgressBar(1300, 50);
  WDialogPutProgressBar(1300, INT_MAX, 1);
  WDialogPutProgressBar(1300, INT_MAX, 1);
  EXPECT_EQ(plat::sendMessage(Field(1300), plat::pbm::GetPos), 100);
  WDialogPutProgressBar(1300, INT_MIN, 1);
  WDialogPutProgressBar(1300, INT_MIN, 1);
  EXPECT_EQ(plat::sendMessage(Field(1300), plat::pbm::GetPos), 0);
  EXPECT_EQ(Error(), 0);
}

// A range of 8e16 with a tick at every value: ticks at most one a pixel,
// painted at once; positions map to pixels and back across the range.
TEST_F(BoundsTest, TrackbarsOfHugeRangesPaintInBoundedTime) {
  const plat::Hwnd t = Field(1200);
  EXPECT_EQ(plat::sendMessage(t, plat::tbm::GetRangeMax), INT_MAX);
  int32_t field = 1201;
  YYTrackbarRange(field, INT_MIN, INT_MAX, 1);
  EXPECT_EQ(field, 1201);
  WDialogShow(10, 10, 0, 2);
  plat::updateWindow(Dialog());
  for (plat::Hwnd w : {t, Field(1201)}) {
    EXPECT_GT(plat::sendMessage(w, plat::tbm::GetNumTics), 1000000);
    plat::Rect thumb, channel;
    plat::sendMessage(w, plat::tbm::GetChannelRect, 0, reinterpret_cast<plat::LParam>(&channel));
    // the thumb of the far end sits at the far end of the channel
    plat::sendMessage(w, plat::tbm::SetPos, 1, INT_MAX);
    plat::sendMessage(w, plat::tbm::GetThumbRect, 0, reinterpret_cast<plat::LParam>(&thumb));
    const bool vert = w == Field(1201);
    EXPECT_EQ(vert ? (thumb.top + thumb.bottom) / 2 : (thumb.left + thumb.right) / 2,
              vert ? channel.bottom - 1 : channel.right - 1);
    // a click past the thumb pages without overflowing
    plat::sendMessage(w, plat::tbm::SetPageSize, 0, INT_MAX);
    plat::sendMessage(w, plat::tbm::SetPos, 1, INT_MIN);
    ClickOn(w);
    plat::test::pump();
    EXPECT_EQ(plat::sendMessage(w, plat::tbm::GetPos), vert ? -1 : INT_MAX);
  }
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(t, false, picture));
  // tick marks along the bottom edge: at most one a pixel
  int ticks = 0;
  for (int x = 0; x < picture.width; ++x) ticks += picture.at(x, picture.height - 3) != picture.at(0, picture.height - 3);
  EXPECT_GT(ticks, 10);
  EXPECT_LE(ticks, picture.width);
}

// Integers beyond 32 bits in the extras are read saturated and used without
// overflow: an initial option far below the list selects nothing, one far
// above it nothing either, a font of a billion points is the largest font.
TEST_F(BoundsTest, ExtrasOfAnyIntegerStayDefined) {
  EXPECT_EQ(plat::sendMessage(Field(1400), plat::lb::GetCurSel), plat::kLbErr);
  EXPECT_EQ(plat::sendMessage(Field(1401), plat::cb::GetCurSel), plat::kCbErr);
  const plat::HFont font = static_cast<plat::HFont>(plat::sendMessage(Field(1402), plat::wm::GetFont));
  ASSERT_NE(font, 0u);
  plat::LogFont lf;
  ASSERT_TRUE(plat::getLogFont(font, lf));
  EXPECT_LT(lf.height, -1000);
  EXPECT_LE(lf.weight, 1000);
}

}  // namespace
}  // namespace dlgtest
