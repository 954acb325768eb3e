// The page set-up as a real dialog, driven by mouse and keys: it answers as
// the queued answer of the same choices; its printer list, output file and
// paper choice; its golden (QUILLON_UPDATE_GOLDENS=1 writes it again).
#include <gtest/gtest.h>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/print/Printer.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/platform/dlg/DialogDriver.h"
#include "tests/support/GoldenPicture.h"

namespace plat {
namespace {

using testing::activeDialog;
using testing::clickItem;
using testing::DialogDriver;
using testing::retype;

constexpr int kPrinters = 1136, kOutput = 1159, kPaper = 1137, kCopies = 1160, kPortraitRadio = 1056, kLandscapeRadio = 1057,
              kLeft = 1155, kTop = 1156, kRight = 1157, kBottom = 1158;


void typeInto(int id, const std::string& text) {
  clickItem(id);
  retype(text);
}

// Chooses an entry of a drop-down list by its first letter.
void chooseByKey(int combo, char first) {
  clickItem(combo);
  test::typeText(std::string(1, first));
  test::key(vk::Return);
}

class PageSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    setPrintersForTest(true, true);
    setFilePrinterPath("/tmp/page-setup-test.pdf");
    publishDefaultPrinter();
    owner = testing::openPlainOwner("Quillon", 100, 100, 600, 450);
  }
  void TearDown() override {
    setIdleHook({});
    test::reset();
  }
  PageSetup request(uint32_t unit) {
    PageSetup ps;
    ps.owner = owner;
    ps.flags = unit | psd::Margins;
    ps.margins = unit == psd::InThousandthsOfInches ? Rect{1000, 1000, 1000, 1000} : Rect{2500, 2500, 2500, 2500};
    return ps;
  }
  Hwnd owner;
};

void expectSame(const PageSetup& a, const PageSetup& b) {
  const PrinterSettings &p = a.printer, &q = b.printer;
  EXPECT_EQ(p.device, q.device);
  EXPECT_EQ(p.driver, q.driver);
  EXPECT_EQ(p.port, q.port);
  EXPECT_EQ(p.orientation, q.orientation);
  EXPECT_EQ(p.paperSize, q.paperSize);
  EXPECT_EQ(p.paperWidth, q.paperWidth);
  EXPECT_EQ(p.paperLength, q.paperLength);
  EXPECT_EQ(p.copies, q.copies);
  EXPECT_EQ(p.colours, q.colours);
  EXPECT_EQ(a.paper, b.paper);
  EXPECT_EQ(a.margins, b.margins);
}

TEST_F(PageSetupTest, ChoicesMadeInTheDialogAnswerAsTheirQueuedAnswers) {
  struct Case {
    const char* name;
    uint32_t unit;
    test::PageSetupAnswer queued;
    std::function<void(DialogDriver&)> drive;
  } cases[] = {
      {"OK as it stands", psd::InHundredthsOfMillimeters, {},
       [](DialogDriver& d) { d.then([] { clickItem(kIdOk); }); }},
      {"landscape and three copies", psd::InHundredthsOfMillimeters, {true, 2, 3, false, {}},
       [](DialogDriver& d) {
         d.then([] { clickItem(kLandscapeRadio); }).then([] { typeInto(kCopies, "3"); }).then([] {
           test::key(vk::Return);
         });
       }},
      {"margins in millimetres", psd::InHundredthsOfMillimeters, {true, 0, 0, true, {2000, 1250, 2500, 3005}},
       [](DialogDriver& d) {
         d.then([] { typeInto(kLeft, "20"); })
             .then([] { typeInto(kTop, "12.5"); })
             .then([] { typeInto(kBottom, "30.05"); })
             .then([] { test::key(vk::Return); });
       }},
      {"margins in inches, portrait again", psd::InThousandthsOfInches, {true, 1, 0, true, {750, 1000, 1250, 1000}},
       [](DialogDriver& d) {
         d.then([] { clickItem(kLandscapeRadio); })
             .then([] { clickItem(kPortraitRadio); })
             .then([] { typeInto(kLeft, "0.75"); })
             .then([] { typeInto(kRight, "1.25"); })
             .then([] { test::key(vk::Return); });
       }},
      {"a margin that is no length, then one", psd::InHundredthsOfMillimeters, {true, 0, 0, true, {1500, 2500, 2500, 2500}},
       [](DialogDriver& d) {
         d.then([] { typeInto(kLeft, "wide"); })
             .then([] { test::key(vk::Return); })
             .then([] { test::key(vk::Return); })   // the notice; the field has the focus
             .then([] { retype("15"); })
             .then([] { test::key(vk::Return); });
       }},
      {"margins that leave no paper, then fewer", psd::InHundredthsOfMillimeters, {true, 0, 2, false, {}},
       [](DialogDriver& d) {
         d.then([] { typeInto(kLeft, "150"); })
             .then([] { typeInto(kRight, "100"); })
             .then([] { test::key(vk::Return); })
             .then([] { test::key(vk::Return); })
             .then([] { retype("25"); })
             .then([] { typeInto(kRight, "25"); })
             .then([] { typeInto(kCopies, "2"); })
             .then([] { test::key(vk::Return); });
       }},
      {"Cancel", psd::InHundredthsOfMillimeters, {false, 0, 0, false, {}},
       [](DialogDriver& d) { d.then([] { clickItem(kLandscapeRadio); }).then([] { clickItem(kIdCancel); }); }},
      {"Escape", psd::InThousandthsOfInches, {false, 0, 0, false, {}},
       [](DialogDriver& d) { d.then([] { test::key(vk::Escape); }); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageSetup real = request(c.unit);
    DialogDriver d;
    c.drive(d);
    d.install();
    const bool realOk = pageSetupDialog(real);
    setIdleHook({});
    EXPECT_EQ(d.done(), d.size()) << "every step was taken";
    PageSetup queued = request(c.unit);
    test::answerPageSetup(c.queued);
    EXPECT_EQ(pageSetupDialog(queued), realOk);
    EXPECT_EQ(realOk, c.queued.ok);
    if (realOk) expectSame(real, queued);
  }
}

TEST_F(PageSetupTest, ThePrinterListTheOutputFileAndThePaper) {
  PageSetup ps = request(psd::InHundredthsOfMillimeters);
  std::vector<std::string> printers;
  bool outputOn = false, outputOff = true;
  std::string output;
  DialogDriver d;
  d.then([&] {
     Hwnd list = getDlgItem(activeDialog(), kPrinters);
     for (int i = 0; i < sendMessage(list, cb::GetCount); ++i) {
       char name[128] = {};
       sendMessage(list, cb::GetLBText, static_cast<WParam>(i), reinterpret_cast<LParam>(name));
       printers.emplace_back(name);
     }
     output = getDlgItemText(activeDialog(), kOutput);
     outputOn = isWindowEnabled(getDlgItem(activeDialog(), kOutput));
     typeInto(kOutput, "/tmp/suite page.pdf");
   })
      .then([] { chooseByKey(kPaper, 'L'); })
      .then([] { clickItem(kIdOk); });
  d.install();
  ASSERT_TRUE(pageSetupDialog(ps));
  EXPECT_EQ(printers, (std::vector<std::string>{kFilePrinterName, kRecordingPrinterName}));
  EXPECT_EQ(output, "/tmp/page-setup-test.pdf");
  EXPECT_TRUE(outputOn);
  EXPECT_EQ(ps.printer.device, kFilePrinterName);
  EXPECT_EQ(ps.printer.port, "/tmp/suite page.pdf");
  EXPECT_EQ(ps.printer.paperSize, kPaperLetter);
  EXPECT_EQ(ps.paper, (Size{21590, 27940}));
  EXPECT_EQ(test::shownDialogs().back().output, "/tmp/page-setup-test.pdf");

  // Another printer: its own settings, no output file; orientation and
  // copies stay as chosen.
  DialogDriver d2;
  d2.then([] { clickItem(kLandscapeRadio); })
      .then([] { chooseByKey(kPrinters, 'Q'); })   // the first of them again ...
      .then([] {
        test::key(vk::Down);                       // ... and the recording printer
      })
      .then([&] {
        outputOff = isWindowEnabled(getDlgItem(activeDialog(), kOutput));
        clickItem(kIdOk);
      });
  d2.install();
  ASSERT_TRUE(pageSetupDialog(ps));
  EXPECT_FALSE(outputOff);
  EXPECT_EQ(ps.printer.device, kRecordingPrinterName);
  EXPECT_EQ(ps.printer.port, "none");
  EXPECT_EQ(ps.printer.orientation, kLandscape);
  EXPECT_EQ(ps.printer.paperSize, kPaperA4);
  EXPECT_EQ(ps.paper, (Size{29700, 21000}));
}

TEST_F(PageSetupTest, LooksLikeItsGolden) {
  PageSetup ps = request(psd::InHundredthsOfMillimeters);
  ps.margins = {2000, 1500, 2000, 2500};
  Surface picture;
  DialogDriver d;
  d.then([] { clickItem(kLandscapeRadio); })
      .then([&] { ASSERT_TRUE(test::windowPicture(activeDialog(), true, picture)); })
      .then([] { test::key(vk::Escape); });
  d.install();
  pageSetupDialog(ps);
  testsupport::ExpectGoldenPicture(picture, "platform_page_setup.png");
}

}  // namespace
}  // namespace plat
