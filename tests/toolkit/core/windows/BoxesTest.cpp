// The message box, the library's boxes, file selection, the error
// reporter's status-bar and box modes, and the cancel poll.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include <filesystem>

#include "VOZUVar/CancelPoll.h"
#include "VOZUVar/MessageBoxes.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/Gdi.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/graphics/WindowText.h"

namespace {

using wmtest::ToolkitTest;

// The last dialog of a kind shown.
plat::test::ShownDialog LastShown(const std::string& kind) {
  for (auto it = plat::test::shownDialogs().rbegin(); it != plat::test::shownDialogs().rend(); ++it)
    if (it->kind == kind) return *it;
  return {};
}

class BoxesTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    int32_t type = 0;
    Next(type);
    plat::test::clearShownDialogs();
  }
  const plat::test::ShownDialog& Shown() { return plat::test::shownDialogs().back(); }
};

TEST_F(BoxesTest, EveryButtonOfEverySetGivesItsAnswer) {
  struct Case {
    int32_t set, defaultButton;
    int button;
    int32_t answer;
    uint32_t style;  // buttons and default place as shown
  };
  const Case cases[] = {
      {0, 1, plat::kIdOk, 1, plat::mb::Ok},
      {6, 2, plat::kIdOk, 1, plat::mb::Ok},
      {1, 1, plat::kIdOk, 1, plat::mb::OkCancel},
      {1, 1, plat::kIdCancel, 0, plat::mb::OkCancel},
      {2, 2, plat::kIdRetry, 1, plat::mb::RetryCancel | plat::mb::DefButton2},
      {2, 0, plat::kIdCancel, 0, plat::mb::RetryCancel | plat::mb::DefButton2},
      {3, 0, plat::kIdNo, 2, plat::mb::YesNo | plat::mb::DefButton2},
      {3, 1, plat::kIdYes, 1, plat::mb::YesNo},
      {4, 1, plat::kIdYes, 1, plat::mb::YesNoCancel},
      {4, 2, plat::kIdNo, 2, plat::mb::YesNoCancel | plat::mb::DefButton2},
      {4, 0, plat::kIdCancel, 0, plat::mb::YesNoCancel | plat::mb::DefButton3},
      {5, 1, plat::kIdRetry, 1, plat::mb::AbortRetryIgnore | plat::mb::DefButton2},
      {5, 2, plat::kIdAbort, 2, plat::mb::AbortRetryIgnore},
      {5, 0, plat::kIdIgnore, 0, plat::mb::AbortRetryIgnore | plat::mb::DefButton3},
  };
  for (const Case& c : cases) {
    plat::test::answerMessageBox(c.button);
    DialogInfoItems()[1] = 9;
    WMessageBox(c.set, 3, c.defaultButton, "Question?", "Caption");
    EXPECT_EQ(WDialogInfoItem(4), c.answer) << c.set << " " << c.button;
    EXPECT_EQ(WDialogInfoItem(2), 0);
    EXPECT_EQ(Shown().flags & (plat::mb::TypeMask | plat::mb::DefMask), c.style) << c.set << " " << c.defaultButton;
    EXPECT_EQ(Shown().flags & plat::mb::IconMask, plat::mb::IconExclamation);
  }
  EXPECT_EQ(LastErrorCode(), 0);
}

TEST_F(BoxesTest, ABoxThatCannotBeShownAnswersFailed) {
  plat::test::answerMessageBox(plat::kIdYes);
  WMessageBox(3, 2, 1, "First", "Caption");
  ASSERT_EQ(WDialogInfoItem(4), 1);
  plat::test::answerMessageBoxFails();
  WMessageBox(3, 2, 1, "Second", "Caption");
  EXPECT_EQ(WDialogInfoItem(4), -1);  // not the stale Yes of the first box
  EXPECT_EQ(LastErrorCode(), 1004);
}

TEST_F(BoxesTest, TextsLoseTrailingBlanksOnly) {
  plat::test::answerMessageBox(plat::kIdOk);
  WMessageBox(0, 4, 1, "  two lines\nof text    ", "Title   ");
  EXPECT_EQ(Shown().text, "  two lines\nof text");
  EXPECT_EQ(Shown().caption, "Title");
  plat::test::answerMessageBox(plat::kIdOk);
  WMessageBox(0, 4, 1, "        ", "");
  EXPECT_EQ(Shown().text, "");
}

TEST_F(BoxesTest, WhileTheBoxIsOpenTheWindowIsDisabledAndRepaintsFromItsPicture) {
  WindowFillArea(0, 0, 9, 9, static_cast<int32_t>(plat::makeRgb(255, 0, 0)));
  plat::Surface* surface = plat::clientSurface(Client());
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->at(5, 5), 0xFF0000u);
  bool enabled = true;
  uint32_t repainted = 0;
  int32_t stored = -1;
  plat::test::answerMessageBox(plat::kIdOk, [&] {
    enabled = plat::isWindowEnabled(Frame());
    surface->at(5, 5) = 0x0000FF;
    plat::invalidateRect(Client(), nullptr, true);
    plat::updateWindow(Client());
    repainted = surface->at(5, 5);
    stored = EventStore().StoredType;
  });
  WMessageBox(0, 4, 1, "Wait", "Caption");
  EXPECT_FALSE(enabled);
  EXPECT_EQ(repainted, 0xFF0000u);
  EXPECT_EQ(stored, 0) << "no repaint event while the picture stands in";
  EXPECT_TRUE(plat::isWindowEnabled(Frame()));
  EXPECT_FALSE(DialogManager().SnapshotsActive);
}

TEST_F(BoxesTest, TheLibraryBoxesGoThroughTheToolkitsBox) {
  plat::test::answerMessageBox(plat::kIdOk);
  WINMSG("Model has no layers      ");
  EXPECT_EQ(Shown().text, "Model has no layers");
  EXPECT_EQ(Shown().caption, "Tesselby Library Message");
  EXPECT_EQ(Shown().flags, plat::mb::Ok | plat::mb::IconInformation);
  bool yes = true;
  plat::test::answerMessageBox(plat::kIdNo);
  WINQUE("Save?", yes);
  EXPECT_FALSE(yes);
  EXPECT_EQ(Shown().flags, plat::mb::YesNo | plat::mb::IconQuestion);  // Yes the default
  plat::test::answerMessageBoxFails();
  bool cancelled = true;
  WINMSGC("Go on?", cancelled);
  EXPECT_FALSE(cancelled);
}

TEST_F(BoxesTest, ReportModeThreeWritesTheRootStatusBar) {
  YYWindowTextPosition(100, 200);
  YYERRMODE(3);
  YYERRREP(1087, "WDialogLoad");
  EXPECT_EQ(plat::test::statusText(StatusBar(), 0), "Routine:WDialogLoad Error=1087:Too many dialogs");
  EXPECT_EQ(ErrorState().ReportMode, 3);
  EXPECT_EQ(LastErrorCode(), 1087);
  // The report selects no window: the text position stays.
  EXPECT_EQ(WindowTextState().PositionXUnits, 100);
  EXPECT_EQ(WindowTextState().PositionYUnits, 200);
}

TEST_F(BoxesTest, ReportModeFourShowsLibraryError) {
  YYERRMODE(4);
  plat::test::answerMessageBox(plat::kIdOk);
  YYERRREP(1003, "YYWINSEL");
  EXPECT_EQ(Shown().caption, "Library Error");
  EXPECT_EQ(Shown().text, "Internal routine:YYWINSEL\rError=1003\rInvalid window handle");
  EXPECT_EQ(Shown().flags, plat::mb::OkCancel | plat::mb::IconExclamation);
  EXPECT_EQ(ErrorState().ReportMode, 4);
  EXPECT_EQ(LastErrorCode(), 1003);
}

TEST_F(BoxesTest, CancelInLibraryErrorEndsTheProgramWithAFailureStatus) {
  YYERRMODE(4);
  EXPECT_EXIT(
      {
        plat::test::answerMessageBox(plat::kIdCancel);
        YYERRREP(1003, "YYWINSEL");
      },
      ::testing::ExitedWithCode(kCancelledErrorExitCode), "");
}

TEST_F(BoxesTest, TheCancelPollTakesOneEventAndStopsOnAButton) {
  EXPECT_FALSE(LKILL(1));
  EXPECT_FALSE(LKILL(0));  // nothing pending
  EXPECT_EQ(CancelPoll().Type, kNoEvent);

  // Two key presses: one poll takes one of them.
  plat::test::key('A');
  plat::test::key('B');
  EXPECT_FALSE(LKILL(0));
  EXPECT_EQ(CancelPoll().Type, EventKey);
  EXPECT_EQ(CancelPoll().Record[1], 'a');
  int32_t type = 0;
  EventRecord r{};
  WEventPoll(type, r);
  EXPECT_EQ(type, EventKey);
  EXPECT_EQ(r[1], 'b');

  // A push button of a dialog (here a window standing in for the progress
  // dialog's Cancel) stops the loop until the next reset.
  plat::WindowClass wc;
  wc.name = "TestDialog";
  wc.proc = [](plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) -> plat::LResult {
    if (m == plat::wm::Command) {
      YYEventStore(EventButton, 0, wp & 0xFFFF, lp, w);
      return 0;
    }
    return plat::defWindowProc(w, m, wp, lp);
  };
  plat::registerClass(wc);
  const plat::Hwnd dialog = plat::createWindow("TestDialog", "Progress", plat::ws::Popup | plat::ws::Visible, 0, 0,
                                               100, 50);
  DialogRecord& rec = YYDialogRecordAttach(dialog);
  rec.Identifier = 213;
  rec.PreviousField = 1371;
  plat::postMessage(dialog, plat::wm::Command, 2, 0);
  EXPECT_TRUE(LKILL(0));
  EXPECT_EQ(CancelPoll().Type, EventButton);
  EXPECT_EQ(CancelPoll().Record[0], 213);
  EXPECT_EQ(CancelPoll().Record[1], 2);
  EXPECT_EQ(CancelPoll().Record[2], 1371);
  EXPECT_TRUE(LKILL(0));
  EXPECT_FALSE(LKILL(1));
  EXPECT_FALSE(LKILL(0));
  YYDialogRecordDetach(dialog);
  plat::destroyWindow(dialog);
}

// ---------------------------------------------------------------- file selection

class SelectFileTest : public BoxesTest {
 protected:
  void SetUp() override {
    BoxesTest::SetUp();
    std::filesystem::create_directory(dir_ / "other");
    start_ = std::filesystem::current_path().string();
  }
  std::string Blank() { return std::string(256, ' '); }
  static std::string Trim(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }
  std::string start_;
};

TEST_F(SelectFileTest, ASaveThatKeepsTheDirectoryChosen) {
  std::string file = Blank();
  plat::test::answerFileDialog({true, {dir_ / "other/out.dat"}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, file, "Flat ASCII Data File");
  EXPECT_EQ(Shown().kind, "save file");
  EXPECT_EQ(Shown().caption, "Flat ASCII Data File");
  EXPECT_EQ(Shown().initialDir, start_);
  EXPECT_TRUE(Shown().flags & plat::ofn::OverwritePrompt);
  EXPECT_TRUE(Shown().flags & plat::ofn::HideReadOnly);
  EXPECT_FALSE(Shown().flags & plat::ofn::PathMustExist);  // flag 4
  EXPECT_EQ(file.size(), 256u);
  EXPECT_EQ(Trim(file), dir_ / "other/out.dat");
  EXPECT_EQ(WDialogInfoItem(4), 1);
  EXPECT_EQ(std::filesystem::current_path().string(), dir_ / "other");
}

TEST_F(SelectFileTest, WithoutKeepTheDirectoryComesBackAndFlagsChooseTheDialog) {
  std::string file = Blank();
  plat::test::answerFileDialog({true, {dir_ / "other/out.dat"}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 39, file, "Flat ASCII Data File");
  EXPECT_EQ(Trim(file), dir_ / "other/out.dat");
  EXPECT_EQ(std::filesystem::current_path().string(), start_);

  file = Blank();
  plat::test::answerFileDialog({true, {"in.dat"}});
  plat::test::answerMessageBox(plat::kIdYes);  // create the file that does not exist?
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 46, file, "Load");
  EXPECT_EQ(Shown().kind, "message box");
  EXPECT_TRUE(LastShown("open file").flags & plat::ofn::CreatePrompt);
  EXPECT_EQ(Trim(file), dir_ / "in.dat");
}

TEST_F(SelectFileTest, CancelAndFailureLeaveTheNameAndDirectory) {
  std::string file = Blank();
  plat::test::answerFileDialog({false, {}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, file, "Flat ASCII Data File");
  EXPECT_EQ(file, Blank());
  EXPECT_EQ(WDialogInfoItem(4), 0);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(std::filesystem::current_path().string(), start_);

}

// A chosen path longer than the caller's field is never cut: in the
// program's report mode 0 too, the dialog refuses it in a box naming it
// whole and asks again; a shorter choice is taken.
TEST_F(SelectFileTest, APathLongerThanTheFieldIsRefusedByNameAndAnotherTaken) {
  YYERRMODE(0);  // the program's mode: the toolkit's errors shown nowhere
  const std::string longName = dir_ / "other/a-long-name.dat";
  std::string small(longName.size(), ' ');
  plat::test::clearShownDialogs();
  plat::test::answerFileDialog({true, {longName}});
  plat::test::answerFileDialog({true, {dir_ / "other/short.dat"}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, small, "x");
  EXPECT_EQ(Trim(small), dir_ / "other/short.dat");
  EXPECT_EQ(WDialogInfoItem(4), 1);
  EXPECT_EQ(LastErrorCode(), 0);
  const plat::test::ShownDialog& refusal = LastShown("message box");
  EXPECT_EQ(refusal.text.rfind(longName + "\nThe name is too long", 0), 0u) << refusal.text;

  // Cancelled after the refusal: the field keeps what it had.
  const std::string before = std::filesystem::current_path().string();
  small.assign(longName.size(), ' ');
  plat::test::answerFileDialog({true, {longName}});
  plat::test::answerFileDialog({false, {}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, small, "x");
  EXPECT_EQ(small, std::string(longName.size(), ' '));
  EXPECT_EQ(WDialogInfoItem(4), 0);
  EXPECT_EQ(std::filesystem::current_path().string(), before);
}

TEST_F(SelectFileTest, TheFileNameGivesTheInitialDirectoryAndName) {
  std::string file = dir_ / "other/old.dat";
  file.resize(256, ' ');
  plat::test::answerFileDialog({false, {}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, file, "   ");
  EXPECT_EQ(Shown().initialDir, dir_ / "other");
  EXPECT_EQ(Shown().text, "old.dat");
  EXPECT_EQ(Shown().caption, "Select File");  // a blank title

  file = "old.dat";
  file.resize(256, ' ');
  plat::test::answerFileDialog({false, {}});
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, file);
  EXPECT_EQ(Shown().initialDir, start_);
}

TEST_F(SelectFileTest, FilterIndexPromptsDefaultExtensionAndMustExist) {
  std::string file = Blank();
  int32_t index = 2;
  plat::test::answerFileDialog({true, {"out"}, 2});
  WSelectFileDefaults("Text|*.TXT|Data|*.DAT|", 47, file, "Save", &index);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(Trim(file), dir_ / "out.DAT");  // the chosen filter's extension

  // An existing file is replaced only after Yes.
  testsupport::WriteFile("exists.dat", "x");
  file = Blank();
  plat::test::answerFileDialog({true, {"exists.dat"}});
  plat::test::answerMessageBox(plat::kIdNo);
  plat::test::answerFileDialog({true, {"exists.dat"}});
  plat::test::answerMessageBox(plat::kIdYes);
  WSelectFileDefaults("Data|*.DAT|", 47, file, "Save");
  EXPECT_EQ(Trim(file), dir_ / "exists.dat");

  // An open dialog with flag 128 takes only an existing file.
  file = Blank();
  plat::test::answerFileDialog({true, {"missing.dat"}});
  plat::test::answerFileDialog({true, {"exists.dat"}});
  WSelectFileDefaults("Data|*.DAT|", 128, file, "Open");
  EXPECT_EQ(Trim(file), dir_ / "exists.dat");
}

TEST(PathSplit, DirectoryAndFileParts) {
  struct Case {
    const char* path;
    const char* directory;
    const char* file;
  };
  const Case cases[] = {
      {"/data/old.dat", "/data", "old.dat"},
      {"  old.dat   ", "", "old.dat"},
      {"/a.txt", "/", "a.txt"},
      {"/data/dir/", "/data/dir", ""},
      {"/", "/", ""},
      {"dir/", "dir/", ""},
      {"a/..", "a/..", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string path = c.path, file = "junk";
    YYPathSplit(path, file);
    EXPECT_EQ(path, c.directory) << c.path;
    EXPECT_EQ(file, c.file) << c.path;
  }
}

}  // namespace

namespace {

class CommonDialogsTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    ResetCommonDialogs();
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
    plat::PrinterSettings printer;
    printer.device = "Office";
    printer.driver = "pdf";
    printer.port = "file:";
    plat::setDefaultPrinter(printer);
  }
};

TEST_F(CommonDialogsTest, PageSetUpInHundredthsOfAMillimetre) {
  int32_t paperW = 0, paperH = 0, printW = 19000, printH = 27700, left = 1000, top = 1000, orientation = 0,
          copies = 2, colours = 0, confirmed = -1;
  plat::test::answerPageSetup({});
  YYPageSetupDialog(paperW, paperH, printW, printH, left, top, orientation, copies, colours, 2, confirmed);
  EXPECT_EQ(confirmed, 1);
  EXPECT_EQ(paperW, 21000);  // A4
  EXPECT_EQ(paperH, 29700);
  EXPECT_EQ(left, 1000);
  EXPECT_EQ(printW, 19000);
  EXPECT_EQ(printH, 27700);
  EXPECT_EQ(copies, 2);
  EXPECT_EQ(colours, 16777216);
  EXPECT_EQ(WindowsPrinterSettings().PrinterSetUp, 1);
  EXPECT_EQ(WindowsPrinterSettings().Device, "Office");
  EXPECT_EQ(WindowsPrinterSettings().PaperSize, 9);

  // Landscape asked for: the sides swap.
  orientation = 1;
  plat::test::answerPageSetup({});
  YYPageSetupDialog(paperW, paperH, printW, printH, left, top, orientation, copies, colours, 2, confirmed);
  EXPECT_EQ(orientation, 1);
  EXPECT_EQ(paperW, 29700);
  EXPECT_EQ(paperH, 21000);
  // Landscape again: the kept sheet is landscape, so the margins and the
  // printable area come back as they went.
  const int32_t wideW = printW, wideH = printH;
  plat::test::answerPageSetup({});
  YYPageSetupDialog(paperW, paperH, printW, printH, left, top, orientation, copies, colours, 2, confirmed);
  EXPECT_EQ(paperW, 29700);
  EXPECT_EQ(printW, wideW);
  EXPECT_EQ(printH, wideH);

  // Cancel changes nothing.
  plat::test::PageSetupAnswer cancel;
  cancel.ok = false;
  plat::test::answerPageSetup(cancel);
  int32_t keptW = paperW;
  YYPageSetupDialog(paperW, paperH, printW, printH, left, top, orientation, copies, colours, 2, confirmed);
  EXPECT_EQ(confirmed, 0);
  EXPECT_EQ(paperW, keptW);
}

TEST_F(CommonDialogsTest, MeasurementSystemOfTheLocale) {
  int32_t measure = 0;
  {
    testsupport::EnvOverride all("LC_ALL", "en_US.UTF-8");
    YYLocaleMeasure(measure);
    EXPECT_EQ(measure, 1);
  }
  testsupport::EnvOverride all("LC_ALL", "de_DE.UTF-8");
  YYLocaleMeasure(measure);
  EXPECT_EQ(measure, 2);
}

TEST_F(CommonDialogsTest, ColourAndDirectoryDialogs) {
  int32_t red = 10, green = 20, blue = 30, answer = -1, error = -1;
  plat::test::answerColour(true, plat::makeRgb(200, 100, 50));
  YYColourDialog(red, green, blue, answer, error);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(red, 200);
  EXPECT_EQ(green, 100);
  EXPECT_EQ(blue, 50);
  plat::test::answerColour(false);
  YYColourDialog(red, green, blue, answer, error);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(red, 200);

  // A missing directory: refused, then offered for creation.
  std::string directory(300, '\0');
  plat::test::answerFolder(true, dir_ / "made");
  plat::test::answerMessageBox(plat::kIdOk);   // "does not exist"
  plat::test::answerFolder(false);
  YYDirectoryDialog(0, answer, 0, directory, "");
  EXPECT_EQ(answer, 2);
  EXPECT_EQ(LastShown("message box").caption, "Invalid Directory");

  plat::test::answerFolder(true, dir_ / "made");
  plat::test::answerMessageBox(plat::kIdYes);  // create it?
  YYDirectoryDialog(1, answer, 64, directory, "Where to");
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(directory, dir_ / "made");
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "made"));
  EXPECT_EQ(LastShown("message box").caption, "Create Directory?");
}

}  // namespace
