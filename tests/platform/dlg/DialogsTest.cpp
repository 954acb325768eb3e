// The message box and the common dialogs, answered by the test interface.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/dlg/CommonDialogs.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/platform/dlg/DialogDriver.h"

namespace plat {
namespace {

namespace fs = std::filesystem;


class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    owner = testing::openPlainOwner("", 0, 0, 300, 200);
    saved = fs::current_path();
    dir = fs::temp_directory_path() / ("platdlg_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "old.dat") << "x";
  }
  void TearDown() override {
    fs::current_path(saved);
    fs::remove_all(dir);
    test::reset();
  }
  Hwnd owner;
  fs::path saved, dir;
};

TEST_F(DialogsTest, MessageBoxButtonsAndAnswers) {
  struct Case {
    uint32_t type;
    int answer;
  } cases[] = {{mb::Ok, kIdOk}, {mb::OkCancel, kIdCancel}, {mb::AbortRetryIgnore, kIdIgnore},
               {mb::YesNoCancel, kIdNo}, {mb::YesNo, kIdYes}, {mb::RetryCancel, kIdRetry}};
  for (const Case& c : cases) {
    test::answerMessageBox(c.answer);
    EXPECT_EQ(messageBox(owner, "text", "caption", c.type), c.answer);
  }
  EXPECT_EQ(messageBoxButtons(mb::AbortRetryIgnore), (std::vector<int>{kIdAbort, kIdRetry, kIdIgnore}));
  test::answerMessageBoxFails();
  EXPECT_EQ(messageBox(owner, "text", "caption", mb::Ok), 0);
  EXPECT_EQ(test::shownDialogs().back().answer, -1);
}

TEST_F(DialogsTest, MessageBoxKeepsItsOwnerDisabledWhileOpen) {
  bool ownerEnabled = true;
  test::answerMessageBox(kIdOk, [&] { ownerEnabled = isWindowEnabled(owner); });
  messageBox(owner, "Saved.", "Quillon", mb::Ok | mb::IconInformation);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(isWindowEnabled(owner));
  const test::ShownDialog& d = test::shownDialogs().back();
  EXPECT_EQ(d.text, "Saved.");
  EXPECT_EQ(d.caption, "Quillon");
}

TEST_F(DialogsTest, WrongOrMissingAnswersFailLoudly) {
  test::answerMessageBox(kIdYes);
  EXPECT_THROW(messageBox(owner, "t", "c", mb::OkCancel), FatalError);
  try {
    messageBox(owner, "t", "c", mb::Ok);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "no answer for message box");
  }
  OpenFileName o;
  EXPECT_THROW(getOpenFileName(o), FatalError);
}

TEST_F(DialogsTest, SaveDialogResolvesNamesAddsTheFilterExtensionAndMovesTheDirectory) {
  OpenFileName o;
  o.owner = owner;
  o.filters = {{"Flat ASCII Data File", "*.DAT"}, {"Text", "*.TXT"}};
  o.filterIndex = 2;
  o.initialDir = dir.string();
  o.flags = ofn::PathMustExist | ofn::OverwritePrompt;
  o.hasDefExt = true;
  test::answerFileDialog({true, {"sub/result"}, 0, 0});
  ASSERT_TRUE(getSaveFileName(o));
  EXPECT_EQ(o.file, (dir / "sub" / "result.TXT").string());
  EXPECT_EQ(fs::current_path(), dir / "sub");
  EXPECT_EQ(test::shownDialogs().back().answer, 1);
}

TEST_F(DialogsTest, OverwriteQuestionAndMissingPathKeepTheDialogOpen) {
  OpenFileName o;
  o.initialDir = dir.string();
  o.flags = ofn::PathMustExist | ofn::OverwritePrompt | ofn::NoChangeDir;
  test::answerFileDialog({true, {"nowhere/x.dat"}, 0, 0});   // refused: no such directory
  test::answerFileDialog({true, {"old.dat"}, 0, 0});         // exists: asked ...
  test::answerMessageBox(kIdNo);                            // ... and declined
  test::answerFileDialog({true, {"new.dat"}, 0, 0});
  ASSERT_TRUE(getSaveFileName(o));
  EXPECT_EQ(o.file, (dir / "new.dat").string());
  EXPECT_EQ(fs::current_path(), saved) << "NoChangeDir";
  std::vector<std::string> kinds;
  for (auto& d : test::shownDialogs()) kinds.push_back(d.kind);
  EXPECT_EQ(kinds, (std::vector<std::string>{"save file", "message box", "message box"}));
}

TEST_F(DialogsTest, OpenDialogMustExistCancelAndFailures) {
  OpenFileName o;
  o.initialDir = dir.string();
  o.flags = ofn::FileMustExist;
  test::answerFileDialog({true, {"missing.dat"}, 0, 0});
  test::answerFileDialog({true, {"old.dat"}, 0, 0});
  ASSERT_TRUE(getOpenFileName(o));
  EXPECT_EQ(o.file, (dir / "old.dat").string());

  o.file = "keep";
  test::answerFileDialog({false, {}, 0, 0});
  EXPECT_FALSE(getOpenFileName(o));
  EXPECT_EQ(commDlgExtendedError(), 0u);
  EXPECT_EQ(o.file, "keep");

  // A path the caller has no room for is refused, named whole, and the
  // dialog asks again: a cut name would be another file.
  const std::string whole = (dir / "old.dat").string();
  o.maxFile = whole.size();
  test::clearShownDialogs();
  test::answerFileDialog({true, {"old.dat"}, 0, 0});
  test::answerFileDialog({false, {}, 0, 0});
  EXPECT_FALSE(getOpenFileName(o));
  EXPECT_EQ(commDlgExtendedError(), 0u);
  EXPECT_EQ(o.file, "keep");
  ASSERT_EQ(test::shownDialogs().size(), 2u);
  EXPECT_EQ(test::shownDialogs()[1].kind, "message box");
  EXPECT_EQ(test::shownDialogs()[1].text, whole + "\nThe name is too long (" + std::to_string(whole.size()) +
                                              " characters, at most " + std::to_string(whole.size() - 1) +
                                              " fit).\nChoose a shorter name.");
  // One character more of room takes it.
  o.maxFile = whole.size() + 1;
  test::answerFileDialog({true, {"old.dat"}, 0, 0});
  ASSERT_TRUE(getOpenFileName(o));
  EXPECT_EQ(o.file, whole);
}

TEST_F(DialogsTest, SeveralFilesComeBackAsDirectoryAndNames) {
  std::ofstream(dir / "b.dat") << "y";
  OpenFileName o;
  o.initialDir = dir.string();
  o.flags = ofn::AllowMultiSelect | ofn::Explorer | ofn::FileMustExist;
  test::answerFileDialog({true, {"old.dat", "b.dat"}, 0, 0});
  ASSERT_TRUE(getOpenFileName(o));
  EXPECT_EQ(o.file, dir.string() + std::string("\0old.dat\0b.dat", 14));
  EXPECT_EQ(o.files.size(), 2u);
}

TEST_F(DialogsTest, PageSetupFromTheDefaultPrinter) {
  PageSetup ps;
  ps.flags = psd::ReturnDefault;
  EXPECT_FALSE(pageSetupDialog(ps));
  EXPECT_EQ(commDlgExtendedError(), kCdeNoDefaultPrinter);
  PrinterSettings a4;
  a4.device = "File";
  setDefaultPrinter(a4);
  ASSERT_TRUE(pageSetupDialog(ps));
  EXPECT_EQ(ps.paper, (Size{21000, 29700})) << "hundredths of a millimetre";
  ps.flags = psd::InThousandthsOfInches;
  test::answerPageSetup({true, 2, 3, false, {}});
  ASSERT_TRUE(pageSetupDialog(ps));
  EXPECT_EQ(ps.printer.orientation, 2);
  EXPECT_EQ(ps.printer.copies, 3);
  EXPECT_EQ(ps.paper, (Size{11693, 8268})) << "landscape A4 in thousandths of an inch";
  test::answerPageSetup({false, 0, 0, false, {}});
  EXPECT_FALSE(pageSetupDialog(ps));
}

TEST_F(DialogsTest, ColourFontAndFolder) {
  ChooseColor cc;
  test::answerColour(true, 0x00112233);
  ASSERT_TRUE(chooseColor(cc));
  EXPECT_EQ(cc.rgb, 0x00112233u);
  ChooseFont cf;
  FontChoice f;
  f.face = "Liberation Serif";
  test::answerFont(true, f);
  ASSERT_TRUE(chooseFont(cf));
  EXPECT_EQ(cf.font.face, "Liberation Serif");
  BrowseInfo bi;
  std::vector<uint32_t> calls;
  bi.callback = [](Hwnd, uint32_t m, LParam, LParam data) {
    reinterpret_cast<std::vector<uint32_t>*>(data)->push_back(m);
    return 0;
  };
  bi.data = reinterpret_cast<LParam>(&calls);
  std::string path;
  test::answerFolder(true, "/tmp");
  ASSERT_TRUE(browseForFolder(bi, path));
  EXPECT_EQ(path, "/tmp");
  EXPECT_EQ(calls, (std::vector<uint32_t>{bffm::Initialized, bffm::SelChanged}));
}

std::vector<uint32_t> findNotices;
LResult findOwnerProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == registerWindowMessage(kFindMsgString)) {
    findNotices.push_back(reinterpret_cast<FindReplace*>(lp)->flags);
    return 0;
  }
  return defWindowProc(w, m, wp, lp);
}

TEST_F(DialogsTest, FindDialogTellsItsOwner) {
  WindowClass wc;
  wc.name = "FindOwner";
  wc.proc = findOwnerProc;
  registerClass(wc);
  findNotices.clear();
  FindReplace fr;
  fr.owner = createWindow("FindOwner", "", ws::OverlappedWindow, 0, 0, 100, 100);
  Hwnd d = findText(fr);
  ASSERT_TRUE(d);
  test::findDialogAction(d, fr::FindNext, "abc", "", fr::Down | fr::MatchCase);
  EXPECT_EQ(fr.findWhat, "abc");
  test::findDialogAction(d, fr::DialogTerm, "abc");
  EXPECT_EQ(findNotices, (std::vector<uint32_t>{fr::FindNext | fr::Down | fr::MatchCase, fr::DialogTerm | fr::Down}));
  EXPECT_FALSE(isWindow(d));
}

}  // namespace
}  // namespace plat
