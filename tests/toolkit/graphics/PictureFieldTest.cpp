// Dialog picture fields showing memory bitmaps and enhanced metafiles: a
// memory bitmap's pixels, a metafile recorded by slot, a metafile resource,
// and a picture static whose template asks for the metafile resource of
// its identifier.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Emf.h"
#include "platform/res/Resources.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/dialogs/DialogFixture.h"
#include "toolkit/graphics/MemoryBitmaps.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/PrinterSettings.h"

namespace {

// A 100 x 100 picture: its frame filled with one colour.
std::string FilledMetafile(plat::ColorRef colour) {
  const plat::Hdc rec = plat::createEnhMetaFile(0, nullptr);
  const plat::HBrush brush = plat::createSolidBrush(colour);
  plat::fillRect(rec, {0, 0, 100, 100}, brush);
  plat::deleteObject(brush);
  const plat::HEnhMetaFile mf = plat::closeEnhMetaFile(rec);
  std::vector<uint8_t> bytes;
  plat::getEnhMetaFileBits(mf, bytes);
  plat::deleteEnhMetaFile(mf);
  return std::string(bytes.begin(), bytes.end());
}

class PictureFieldTest : public dlgtest::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    WindowsPrinterSettings().Device.clear();  // metafiles for the screen
    testsupport::WriteFile(dir_ / "red.emf", FilledMetafile(plat::makeRgb(255, 0, 0)));
    plat::res::pushOverlay(
        "DIALOG 730\n CAPTION \"Pictures\"\n STYLE POPUP CAPTION\n RECT 0 0 240 120\n"
        " CONTROL STATIC 1301 \"\" 5 5 50 40 ENHMETAFILE\n"
        " CONTROL STATIC 1302 \"\" 60 5 50 40\n"
        " CONTROL BUTTON 1303 \"Go\" 120 5 50 20 TABSTOP\n"
        " CONTROL EDIT 1304 \"\" 120 40 50 12 BORDER TABSTOP\n"
        "END\n"
        "DATA \"QVZMETAFILE\" 1301 FILE \"red.emf\"\n"
        "DATA \"QVZMETAFILE\" 1305 FILE \"red.emf\"\n",
        "pictures", dir_.path());
    WDialogLoad(730);
    WDialogShow(-1, -1, 0, 2);
    Events();
  }
  void TearDown() override {
    YYBitmapTableClear();
    ResetMetafileTable();
    plat::res::popOverlay();
    DialogTest::TearDown();
  }
  int32_t Put(int32_t id, int32_t reference, int32_t kind) {
    int32_t field = id;
    YYFieldPicture(field, reference, kind);
    return field;
  }
  // The colour in the middle of a field as the dialog shows it (or at a
  // point of it).
  uint32_t MiddleOf(int32_t id, int x = -1, int y = -1) {
    plat::test::pump();
    plat::Surface s;
    EXPECT_TRUE(plat::test::windowPicture(Field(id), false, s));
    return s.at(x < 0 ? s.width / 2 : x, y < 0 ? s.height / 2 : y) & 0xFFFFFF;
  }
};

TEST_F(PictureFieldTest, TemplateMetafileStaticShowsItsResource) {
  EXPECT_NE(plat::sendMessage(Field(1301), plat::stm::GetImage, plat::kImageEnhMetafile, 0), 0);
  EXPECT_EQ(MiddleOf(1301), 0xFF0000u);
}

TEST_F(PictureFieldTest, MemoryBitmapsAndMetafilesBecomePictures) {
  int32_t n = 0;
  YYBitmapCreate(n, 30, 30, plat::makeRgb(0, 0, 255));
  EXPECT_EQ(Put(1302, n, 3), 1302);
  EXPECT_EQ(plat::getWindowStyle(Field(1302)) & plat::ss::TypeMask, plat::ss::Bitmap);
  // A copy: the memory bitmap can go, the picture stays.
  int32_t status = -1;
  YYBitmapDelete(n - 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(MiddleOf(1302, 10, 10), 0x0000FFu);

  // A metafile still being recorded is ended and shown.
  int32_t hres = 0, vres = 0, hsize = 0, vsize = 0;
  YYEmfCreate(6, 72, 72, hres, vres, hsize, vsize);
  const plat::HBrush green = plat::createSolidBrush(plat::makeRgb(0, 200, 0));
  plat::fillRect(EmfSlots()[6].Recording, {0, 0, 96, 96}, green);
  plat::deleteObject(green);
  EXPECT_EQ(Put(1302, 7, 4), 1302);
  EXPECT_NE(EmfSlots()[6].Metafile, 0u);
  EXPECT_EQ(plat::getWindowStyle(Field(1302)) & plat::ss::TypeMask, plat::ss::EnhMetafile);
  EXPECT_EQ(MiddleOf(1302), 0x00C800u);

  EXPECT_EQ(Put(1302, 1305, 5), 1302);
  EXPECT_EQ(MiddleOf(1302), 0xFF0000u);
  EXPECT_EQ(Put(1303, n + 1, 3), -2);  // no such bitmap now
}

TEST_F(PictureFieldTest, WhatCannotBeShownIsRefused) {
  int32_t n = 0;
  YYBitmapCreate(n, 8, 8, 0);
  struct Case {
    int32_t id, reference, kind, status;
  } cases[] = {
      {1302, 99, 3, -2},   // no memory bitmap 99
      {1302, 12, 4, -2},   // nothing in metafile slot 12
      {1302, 0, 4, -2},
      {1302, 21, 4, -2},
      {1302, 1399, 5, -2}, // no such resource
      {1303, 1305, 5, -1}, // a button shows no metafile
      {1304, n, 3, -1},    // an edit shows no picture
      {1303, n, 3, 1303},  // a button shows a bitmap
  };
  const int objects = plat::liveObjectCount();
  for (const Case& c : cases) EXPECT_EQ(Put(c.id, c.reference, c.kind), c.status) << c.id << " " << c.kind;
  EXPECT_EQ(plat::getWindowStyle(Field(1303)) & plat::bs::Bitmap, plat::bs::Bitmap);
  EXPECT_EQ(plat::liveObjectCount(), objects + 1);  // only the button's picture is kept
}

}  // namespace
