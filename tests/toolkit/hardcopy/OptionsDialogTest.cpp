// The hardcopy options dialog: driver 10's page set-up with scripted
// answers, the options dialog 32098 and the format pages on their
// templates, and the ways out that must leave the exit state at 0.
#include <deque>
#include <functional>

#include "VOZUVar/Strings.h"
#include "platform/print/Printer.h"
#include "tests/toolkit/dialogs/DialogFixture.h"
#include "tests/toolkit/hardcopy/HardcopyFixture.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/HardcopyDialog.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace hctest {
namespace {

using plat::test::key;

class OptionsDialogTest : public dlgtest::DialogTest {
 protected:
  void SetUp() override {
    dlgtest::DialogTest::SetUp();
    plat::setPrintersForTest(false, true);
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
    ResetCommonDialogs();
    ErrorReportHooksRecord().messageBox = [](std::string_view text, std::string_view) {
      Reports().emplace_back(text);
      return 1;
    };
    YYERRMODE(4);
    Reports().clear();
    Driver() = StandInDriver{};
  }
  void TearDown() override {
    plat::setIdleHook({});
    dlgtest::DialogTest::TearDown();
    plat::resetPrinters();
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  }
  static std::vector<std::string>& Reports() {
    static std::vector<std::string> r;
    return r;
  }
  int32_t ExitState() const { return DialogInfoItems()[3]; }
  const HardcopyOptionsRecord& Options() const { return HardcopyOptions(); }

  // Steps carried out one per wait of the dialog's event loop.
  void Script(std::vector<std::function<void()>> steps) {
    steps_.assign(steps.begin(), steps.end());
    plat::setIdleHook([this] {
      if (steps_.empty()) return false;
      auto step = steps_.front();
      steps_.pop_front();
      step();
      return true;
    });
  }
  // The stand-in at a number of the options dialog, selected.
  void UseStandIn(int32_t number, const char* name) {
    Driver().number = number;
    Driver().writesFile = true;
    Driver().defaultName = name;
    HardcopyDriverTable()[static_cast<size_t>(number)] = StandInDriverOp;
    YYHardcopySelect(kOpInit, number);
  }
  // The text of the last message box shown.
  static std::string LastBox() {
    const auto& shown = plat::test::shownDialogs();
    for (size_t i = shown.size(); i-- > 0;)
      if (shown[i].kind == "message box") return shown[i].text;
    return "<no box>";
  }
  std::deque<std::function<void()>> steps_;
};

// ---- driver 10: the page set-up -----------------------------------------------

TEST_F(OptionsDialogTest, PageSetupInInchesAndInMillimetres) {
  YYHardcopySelect(kOpInit, 10);
  ASSERT_EQ(Options().Opt[OptPageWidth], 697);
  // Thousandths of an inch: the options go out and come back unchanged.
  plat::test::answerPageSetup({});
  WHardcopyOptions(1);
  EXPECT_EQ(ExitState(), 1);
  ASSERT_FALSE(plat::test::shownDialogs().empty());
  EXPECT_TRUE(plat::test::shownDialogs().back().flags & plat::psd::InThousandthsOfInches);
  EXPECT_EQ(Options().Opt[OptPageWidth], 697);
  EXPECT_EQ(Options().Opt[OptPageHeight], 451);
  EXPECT_EQ(Options().Opt[OptOffsetX], 72);
  EXPECT_EQ(Options().Opt[OptOffsetY], 72);
  EXPECT_EQ(Options().Opt[OptOrientation], 1);
  EXPECT_EQ(WindowsPaper().WindowsPaperWidth, 842);  // 11693 thousandths: the longer side, landscape
  EXPECT_EQ(WindowsPaper().WindowsPaperHeight, 595);
  EXPECT_FALSE(YYSnapshotModeOn());

  // Half-inch margins, portrait, two copies.
  plat::test::answerPageSetup({true, 1, 2, true, {500, 500, 500, 500}});
  WHardcopyOptions(1);
  EXPECT_EQ(Options().Opt[OptOffsetX], 36);
  EXPECT_EQ(Options().Opt[OptOffsetY], 36);
  EXPECT_EQ(Options().Opt[OptPageWidth], 523);   // (8268 - 1000) / 13.8889
  EXPECT_EQ(Options().Opt[OptPageHeight], 770);  // (11693 - 1000) / 13.8889
  EXPECT_EQ(Options().Opt[OptOrientation], 0);
  EXPECT_EQ(Options().Opt[OptCopies], 2);
  EXPECT_EQ(WindowsPaper().WindowsPaperWidth, 595);
  EXPECT_EQ(WindowsPaper().WindowsPaperHeight, 842);

  // Hundredths of a millimetre: 20 mm margins are 57 points.
  plat::test::answerPageSetup({true, 2, 0, true, {2000, 2000, 2000, 2000}});
  WHardcopyOptions(-3);
  EXPECT_EQ(ExitState(), 1);
  EXPECT_TRUE(plat::test::shownDialogs().back().flags & plat::psd::InHundredthsOfMillimeters);
  EXPECT_EQ(Options().Opt[OptOffsetX], 57);
  EXPECT_EQ(Options().Opt[OptPageWidth], 729);   // (29700 - 4000) / 35.2778, rounded
  EXPECT_EQ(Options().Opt[OptPageHeight], 482);  // (21000 - 4000) / 35.2778
  EXPECT_EQ(Options().Opt[OptOrientation], 1);
}

TEST_F(OptionsDialogTest, TheLocaleDecidesWithoutUnits) {
  YYHardcopySelect(kOpInit, 10);
  struct Case {
    const char* locale;
    uint32_t flag;
  } cases[] = {{"en_US.UTF-8", plat::psd::InThousandthsOfInches}, {"de_DE.UTF-8", plat::psd::InHundredthsOfMillimeters}};
  for (const Case& c : cases) {
    testsupport::EnvOverride locale("LC_ALL", c.locale);
    plat::test::answerPageSetup({});
    WHardcopyOptions();
    EXPECT_TRUE(plat::test::shownDialogs().back().flags & c.flag) << c.locale;
    EXPECT_EQ(Options().Opt[OptPageWidth], 697) << c.locale;
    plat::test::answerPageSetup({});
    WHardcopyOptions(7);  // not a unit: the locale again
    EXPECT_TRUE(plat::test::shownDialogs().back().flags & c.flag) << c.locale;
  }
}

TEST_F(OptionsDialogTest, CancelChangesNothing) {
  YYHardcopySelect(kOpInit, 10);
  const HardcopyOptionsRecord before = Options();
  DialogInfoItems()[3] = 1;
  plat::test::answerPageSetup({false, 1, 4, true, {1, 1, 1, 1}});
  WHardcopyOptions(2);
  EXPECT_EQ(ExitState(), 0);
  EXPECT_EQ(Options().Opt, before.Opt);
  EXPECT_FALSE(YYSnapshotModeOn());
}

TEST_F(OptionsDialogTest, AMonochromePrinterAfterAColourOneSetsMonochrome) {
  YYHardcopySelect(kOpInit, 10);
  ASSERT_EQ(DriverParams().DeviceColourCount, 256);
  ASSERT_EQ(Options().Opt[OptMonochrome], 0);
  // The page set-up comes up with a black-and-white printer.
  plat::PrinterSettings mono;
  ASSERT_TRUE(plat::defaultPrinter(mono));
  mono.colours = 2;
  mono.color = 1;
  plat::setDefaultPrinter(mono);
  ResetCommonDialogs();
  plat::test::answerPageSetup({});
  WHardcopyOptions(1);
  EXPECT_EQ(Options().Opt[OptMonochrome], 1);
  EXPECT_EQ(DriverParams().DeviceColourCount, 2);
  // And back to colour.
  mono.colours = 16777216;
  plat::setDefaultPrinter(mono);
  ResetCommonDialogs();
  plat::test::answerPageSetup({});
  WHardcopyOptions(1);
  EXPECT_EQ(Options().Opt[OptMonochrome], 0);
  EXPECT_EQ(DriverParams().DeviceColourCount, 16777216);
}

TEST_F(OptionsDialogTest, NoDriverAndNoPrinterAreRefusedWithTheirTexts) {
  DriverParams().InitialisedDriver = 0;
  DialogInfoItems()[3] = 1;
  WHardcopyOptions(1);
  EXPECT_EQ(ExitState(), 0) << "a later Print must not go on";
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0], "Routine:WHardcopyOptions\rError=  46\rNo graphics hardcopy driver currently selected");

  plat::setPrintersForTest(false, false);
  YYHardcopySelect(kOpInit, 10);
  ASSERT_EQ(HardcopyFiles().PrinterAvailableFlag, 0);
  DialogInfoItems()[3] = 1;
  Reports().clear();
  WHardcopyOptions(1);
  EXPECT_EQ(ExitState(), 0);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0], "Routine:WHardcopyOptions\rError=  63\rWindows printer not available");
  EXPECT_FALSE(YYSnapshotModeOn()) << "the frozen pictures are released";
  EXPECT_TRUE(plat::test::shownDialogs().empty() ||
              plat::test::shownDialogs().back().kind != "page setup");
}

// ---- the options dialog 32098 ---------------------------------------------------

TEST_F(OptionsDialogTest, OptionsDialogInInchesWithOrientationAndFormat) {
  UseStandIn(2, "plovplot.ps");
  std::string shownCaption, shownWidth, shownTitle;
  Script({
      [&] {
        shownCaption = Text(1206);
        shownWidth = Text(1001);
        shownTitle = plat::getWindowText(Dialog());
        ClickField(1208);  // portrait: width and height change places
      },
      [&] {
        EXPECT_EQ(Text(1001), "7.36");
        EXPECT_EQ(Text(1002), "10.31");
        // Encapsulated PostScript: the name's extension follows.
        WDialogSetField(1203);
        key(plat::vk::Down);
      },
      [&] {
        EXPECT_EQ(Text(1201), "plovplot.eps");
        WDialogPutString(1003, "");
        ClickField(1);
      },
  });
  WHardcopyOptions(1);
  EXPECT_EQ(shownCaption, "Size/Position (inches)");
  EXPECT_EQ(shownWidth, "10.31");  // 742 points
  EXPECT_EQ(shownTitle, "PostScript Output");
  EXPECT_EQ(ExitState(), 1);
  EXPECT_EQ(Options().Opt[OptPageWidth], 530);
  EXPECT_EQ(Options().Opt[OptPageHeight], 742);
  EXPECT_EQ(Options().Opt[OptOffsetX], 0) << "an empty field counts as 0";
  EXPECT_EQ(Options().Opt[OptOrientation], 0);
  EXPECT_EQ(Options().Opt[OptEps], 1);
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().DefaultOutputName), "plovplot.eps");
  EXPECT_EQ(DialogTable().Selected, 0) << "unloaded";
}

// The output name is never cut to its field: a typed name longer than the
// room the caller has is refused at OK with a box naming it whole, a
// longer one chosen with Browse is refused by the file dialog, and the
// dialog stays open until a name that fits is given.
TEST_F(OptionsDialogTest, ANameLongerThanItsFieldIsRefusedNotCut) {
  UseStandIn(2, "plovplot.ps");
  const std::string tooLong = std::string(kOpTextSize - 2, 'n') + ".ps", fits = std::string(kOpTextSize - 3, 'n') + ".ps";
  std::string typedRefusal, browsed;
  Script({
      [&] {
        WDialogPutString(1201, tooLong);
        plat::test::answerMessageBox(plat::kIdOk);
        ClickField(1);
      },
      [&] {
        typedRefusal = LastBox();
        // Browse to a path longer than the field: the file dialog refuses
        // it and the user cancels.
        plat::test::clearShownDialogs();
        plat::test::answerFileDialog({true, {tooLong}});
        plat::test::answerFileDialog({false, {}});
        ClickField(1202);
      },
      [&] {
        browsed = LastBox();
        EXPECT_EQ(Text(1201), tooLong) << "the field keeps the name typed";
        WDialogPutString(1201, fits);
        ClickField(1);
      },
  });
  WHardcopyOptions(1);
  EXPECT_EQ(typedRefusal.find(tooLong), typedRefusal.size() - tooLong.size()) << typedRefusal;
  EXPECT_NE(typedRefusal.find("(261 characters, at most 260 fit)"), std::string::npos) << typedRefusal;
  EXPECT_EQ(browsed.rfind(dir_.path() + "/" + tooLong + "\nThe name is too long", 0), 0u)
      << browsed;
  EXPECT_EQ(ExitState(), 1);
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().DefaultOutputName), fits);
  EXPECT_TRUE(Reports().empty()) << Reports()[0];

  // A caller's own shorter field bounds the name in the same way.
  std::string output = "my.ps";
  Script({
      [&] {
        WDialogPutString(1201, "mine.ps");
        plat::test::answerMessageBox(plat::kIdOk);
        ClickField(1);
      },
      [&] { ClickField(2); },
  });
  WHardcopyOptions(1, &output);
  EXPECT_EQ(ExitState(), 0);
  EXPECT_EQ(output, "my.ps");
}

TEST_F(OptionsDialogTest, CancelRestoresOptionsAndTheDevice) {
  Driver().width = 0;
  UseStandIn(1, "plovplot.plt");
  YYPlotterSetting(2);
  // The stand-in takes its page from the plotter model, as HP-GL does.
  Driver().afterInit = [] {
    HardcopyOptions().Opt[OptPageWidth] = 1000 + 10 * PrinterConfiguration().PlotterModel;
    HardcopyOptions().Opt[OptPageHeight] = 500;
  };
  YYHardcopySelect(kOpInit, 1);
  ASSERT_EQ(Options().Opt[OptPageWidth], 1020);
  std::string name;
  Script({
      [&] {
        WDialogSetField(1203);
        key(plat::vk::Down);  // the third plotter
      },
      [&] {
        EXPECT_EQ(PrinterConfiguration().PlotterModel, 3);
        EXPECT_EQ(Text(1001), "363.36") << "the new model's page, in mm";
        ClickField(2);
      },
  });
  std::string output = "my.plt";
  WHardcopyOptions(3, &output);
  EXPECT_EQ(ExitState(), 0);
  EXPECT_EQ(PrinterConfiguration().PlotterModel, 2) << "the model it had";
  EXPECT_EQ(Options().Opt[OptPageWidth], 1020);
  EXPECT_EQ(output, "my.plt");
}

TEST_F(OptionsDialogTest, FormatPagesOfTheirDrivers) {
  // The SVG page, its integers and lists, and the name.
  UseStandIn(3, "plovplot.svg");
  Script({
      [&] {
        EXPECT_EQ(Text(1001), "742");
        WDialogPutInteger(1009, 12);
        WDialogPutOption(1006, 3);
        WDialogPutString(1201, "page.svg");
        ClickField(1);
      },
  });
  WHardcopyOptions(1);
  EXPECT_EQ(ExitState(), 1);
  EXPECT_EQ(Options().Opt[OptLineThickness], 12);
  EXPECT_EQ(Options().Opt[OptColourInversion], 2);
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().DefaultOutputName), "page.svg");

  // A negative unit shows the colour and line controls disabled.
  bool enabled = true;
  Script({[&] {
    enabled = plat::isWindowEnabled(Field(1009));
    ClickField(2);
  }});
  WHardcopyOptions(-2);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(ExitState(), 0);

  // The raster printer's page follows its family.
  struct Case {
    int32_t model, page;
  } cases[] = {{5, 32023}, {11, 32024}, {14, 32022}, {21, 32021}, {13, 32025}};
  UseStandIn(4, "plovplot.prn");
  for (const Case& c : cases) {
    YYRasterPrinterModel(c.model);
    int32_t seen = 0;
    Script({[&] { ClickField(1207); },
            [&] {
              seen = DialogTable().Selected;
              ClickField(2);
            },
            [&] { ClickField(2); }});
    WHardcopyOptions(1);
    EXPECT_EQ(seen, c.page) << c.model;
  }
}

TEST_F(OptionsDialogTest, ImageAndMetafilePagesChangeTheExtension) {
  UseStandIn(6, "plovplot.pcx");
  Script({
      [&] { ClickField(3263); },  // PNG
      [&] {
        EXPECT_EQ(Text(1201), "plovplot.png");
        WDialogPutOption(1023, 4);  // 24 bits
        ClickField(1);
      },
  });
  WHardcopyOptions(1);
  EXPECT_EQ(ExitState(), 1);
  EXPECT_EQ(Options().Opt[OptImageFormat], 3);
  EXPECT_EQ(Options().Opt[OptImageBits], 24);
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().DefaultOutputName), "plovplot.png");

  // A blank name is the clipboard; choosing it again blanks the name.
  UseStandIn(11, "");
  int32_t clipboard = 0;
  Script({
      [&] {
        WDialogGetRadioButton(4001, clipboard);
        ClickField(1014);
      },
      [&] {
        WDialogPutString(1201, "pic.wmf");
        ClickField(3272);  // enhanced
      },
      [&] {
        EXPECT_EQ(Text(1201), "pic.emf");
        ClickField(1);
      },
  });
  std::string output(40, ' ');
  WHardcopyOptions(1, &output);
  EXPECT_EQ(clipboard, 1);
  EXPECT_EQ(Options().Opt[OptMetafileType], 2);
  EXPECT_EQ(TrimTrailingBlanks(output), "pic.emf");
  EXPECT_EQ(output.size(), 40u);
  Script({[&] {
    ClickField(4001);
    ClickField(1);
  }});
  WHardcopyOptions(1, &output);
  EXPECT_TRUE(IsAllBlanks(output));
}

}  // namespace
}  // namespace hctest
