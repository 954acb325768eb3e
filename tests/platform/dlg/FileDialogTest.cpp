// The file open and save dialog as a real dialog, driven by mouse and keys:
// each table case makes the same choices once as queued answers and once in
// the dialog, and both must answer alike (result, path, filter, error,
// current directory, and the questions and notices shown on the way).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/os/Os.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/platform/dlg/DialogDriver.h"
#include "tests/support/GoldenPicture.h"
#include "tests/support/ScratchDir.h"

namespace plat {
namespace {

namespace fs = std::filesystem;
using testing::activeDialog;
using testing::clickItem;
using testing::clickListItem;
using testing::DialogDriver;
using testing::retype;

// The dialog's controls.
constexpr int kName = 1152, kFiles = 1120, kFolderField = 1088, kFolders = 1121, kTypes = 1136, kUp = 1090;


// The index of a text in a list box of the active dialog (-1: not listed).
int listIndex(int list, const std::string& text) {
  return static_cast<int>(sendDlgItemMessage(activeDialog(), list, lb::FindStringExact, static_cast<WParam>(-1),
                                             reinterpret_cast<LParam>(text.c_str())));
}

std::vector<std::string> listTexts(int list) {
  std::vector<std::string> out;
  const auto n = static_cast<int>(sendDlgItemMessage(activeDialog(), list, lb::GetCount));
  for (int i = 0; i < n; ++i) {
    char buf[512] = {};
    sendDlgItemMessage(activeDialog(), list, lb::GetText, static_cast<WParam>(i), reinterpret_cast<LParam>(buf));
    out.emplace_back(buf);
  }
  return out;
}

// Clicks a listed name (twice: a double click).
void pick(int list, const std::string& text, bool twice = false) {
  const int i = listIndex(list, text);
  ASSERT_GE(i, 0) << text << " is not listed";
  clickListItem(list, i, twice);
}

void typeInName(const std::string& text) {
  clickItem(kName);
  retype(text);
}

void ctrlClick(int list, const std::string& text) {
  test::keyDown(vk::Control);
  pick(list, text);
  test::keyUp(vk::Control);
}

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    owner = testing::openPlainOwner("Quillon", 100, 100, 600, 450);
    for (const char* f : {"old.dat", "b.dat", "notes.TXT", "M\xC3\xBCller suite.dat", ".hidden.dat"})
      testsupport::WriteFile(dir / f, "x");
    fs::create_directories(dir / "sub");
    fs::create_directories(dir / "deep dir");
    fs::create_directories(dir / ".cache");
  }
  void TearDown() override {
    setIdleHook({});
    test::reset();
  }

  struct Outcome {
    bool chosen = false;
    std::string file;
    int filterIndex = 0;
    uint32_t error = 0;
    std::string cwd;
    std::vector<std::string> shown;   // kind, answer, text of each dialog and box shown
  };

  OpenFileName dialogFor(uint32_t flags, int filterIndex, bool defExt, size_t maxFile, const std::string& start) {
    OpenFileName o;
    o.owner = owner;
    o.filters = {{"Flat ASCII Data File", "*.DAT"}, {"Text", "*.TXT"}};
    o.filterIndex = filterIndex;
    o.initialDir = start;
    o.flags = flags;
    o.hasDefExt = defExt;
    o.maxFile = maxFile;
    o.title = "Flat ASCII Data File";
    return o;
  }

  Outcome run(OpenFileName o, bool save) {
    fs::current_path(dir.path());
    test::clearShownDialogs();
    Outcome out;
    out.chosen = save ? getSaveFileName(o) : getOpenFileName(o);
    setIdleHook({});
    out.file = o.file;
    out.filterIndex = o.filterIndex;
    out.error = commDlgExtendedError();
    out.cwd = fs::current_path().string();
    for (const test::ShownDialog& d : test::shownDialogs())
      out.shown.push_back(d.kind + " " + std::to_string(d.answer) + " " + d.text);
    return out;
  }

  testsupport::ScratchDir dir;
  Hwnd owner;
};

TEST_F(FileDialogTest, ChoicesMadeInTheDialogAnswerAsTheirQueuedAnswers) {
  const std::string d = dir.path();
  struct Case {
    const char* name;
    bool save;
    uint32_t flags;
    int filterIndex;
    bool defExt;
    size_t maxFile;
    std::string start;
    std::function<void()> queue;
    std::function<void(DialogDriver&)> drive;
    std::string expect;   // the chosen file ("" when none)
  };
  constexpr uint32_t kSave = ofn::PathMustExist | ofn::OverwritePrompt | ofn::HideReadOnly;
  using test::answerFileDialog;
  using test::answerMessageBox;
  const Case cases[] = {
      {"a new name in a subfolder gets the type's extension", true, kSave, 2, true, 260, d,
       [] { answerFileDialog({true, {"sub/result"}, 0, 0}); },
       [](DialogDriver& r) {
         r.then([] { pick(kFolders, "sub", true); }).then([] { typeInName("result"); }).then([] {
           test::key(vk::Return);
         });
       },
       d + "/sub/result.TXT"},
      {"a listed file and OK", false, ofn::FileMustExist, 1, false, 260, d,
       [] { answerFileDialog({true, {"old.dat"}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { pick(kFiles, "old.dat"); }).then([] { clickItem(kIdOk); }); },
       d + "/old.dat"},
      {"a double click on a file, the directory kept as it was", false, ofn::FileMustExist | ofn::NoChangeDir, 1,
       false, 260, d + "/sub", [] { answerFileDialog({true, {"../b.dat"}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { clickItem(kUp); }).then([] { pick(kFiles, "b.dat", true); }); },
       d + "/b.dat"},
      {"the overwrite question answered Yes", true, kSave, 1, true, 260, d,
       [] {
         answerFileDialog({true, {"old.dat"}, 0, 0});
         answerMessageBox(kIdYes);
       },
       [](DialogDriver& r) {
         r.then([] { pick(kFiles, "old.dat"); }).then([] { test::key(vk::Return); }).then([] { clickItem(kIdYes); });
       },
       d + "/old.dat"},
      {"the overwrite question answered No, then a new name", true, kSave, 1, true, 260, d,
       [] {
         answerFileDialog({true, {"old.dat"}, 0, 0});
         answerMessageBox(kIdNo);
         answerFileDialog({true, {"new"}, 0, 0});
       },
       [](DialogDriver& r) {
         r.then([] { pick(kFiles, "old.dat"); })
             .then([] { test::key(vk::Return); })
             .then([] { clickItem(kIdNo); })
             .then([] { typeInName("new"); })
             .then([] { test::key(vk::Return); });
       },
       d + "/new.DAT"},
      {"Cancel", true, kSave, 1, true, 260, d, [] { answerFileDialog({false, {}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { typeInName("abc"); }).then([] { clickItem(kIdCancel); }); }, ""},
      {"Escape", false, 0, 1, false, 260, d, [] { answerFileDialog({false, {}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { test::key(vk::Escape); }); }, ""},
      {"a missing folder is refused where the path must exist", true, kSave, 1, false, 260, d,
       [] {
         answerFileDialog({true, {"nowhere/x.dat"}, 0, 0});
         answerFileDialog({true, {"new.dat"}, 0, 0});
       },
       [](DialogDriver& r) {
         r.then([] { typeInName("nowhere/x.dat"); })
             .then([] { test::key(vk::Return); })
             .then([] { test::key(vk::Return); })   // the notice
             .then([] { typeInName("new.dat"); })
             .then([] { test::key(vk::Return); });
       },
       d + "/new.dat"},
      {"and accepted where it need not exist", true, ofn::OverwritePrompt, 1, false, 260, d,
       [] { answerFileDialog({true, {"nowhere/x.dat"}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { typeInName("nowhere/x.dat"); }).then([] { test::key(vk::Return); }); },
       d + "/nowhere/x.dat"},
      {"a file that must exist", false, ofn::FileMustExist, 1, false, 260, d,
       [] {
         answerFileDialog({true, {"missing.dat"}, 0, 0});
         answerFileDialog({true, {"old.dat"}, 0, 0});
       },
       [](DialogDriver& r) {
         r.then([] { typeInName("missing.dat"); })
             .then([] { test::key(vk::Return); })
             .then([] { test::key(vk::Return); })
             .then([] { pick(kFiles, "old.dat", true); });
       },
       d + "/old.dat"},
      {"a file to be created, asked", false, ofn::CreatePrompt, 1, false, 260, d,
       [] {
         answerFileDialog({true, {"in.dat"}, 0, 0});
         answerMessageBox(kIdYes);
       },
       [](DialogDriver& r) {
         r.then([] { typeInName("in.dat"); }).then([] { test::key(vk::Return); }).then([] { test::key(vk::Return); });
       },
       d + "/in.dat"},
      {"a path longer than the caller's buffer is refused, and a shorter one taken", false, 0, 1, false,
       d.size() + 7, d,
       [] {
         answerFileDialog({true, {"old.dat"}, 0, 0});
         answerFileDialog({true, {"b.dat"}, 0, 0});
       },
       [](DialogDriver& r) {
         r.then([] { pick(kFiles, "old.dat", true); })
             .then([] { test::key(vk::Return); })   // the notice
             .then([] { pick(kFiles, "b.dat", true); });
       },
       d + "/b.dat"},
      {"several files", false, ofn::AllowMultiSelect | ofn::Explorer | ofn::FileMustExist, 1, false, 260, d,
       [] { answerFileDialog({true, {"b.dat", "old.dat"}, 0, 0}); },
       [](DialogDriver& r) {
         r.then([] { pick(kFiles, "b.dat"); }).then([] { ctrlClick(kFiles, "old.dat"); }).then([] {
           clickItem(kIdOk);
         });
       },
       d + std::string("\0b.dat\0old.dat", 14)},
      {"another type lists its files and comes back", true, kSave, 1, true, 260, d,
       [] { answerFileDialog({true, {"notes2"}, 2, 0}); },
       [](DialogDriver& r) {
         r.then([] { clickItem(kTypes); })
             .then([] {
               test::key(vk::Escape);   // the dropped list closes
               test::key(vk::Down);
             })
             .then([] {
               EXPECT_EQ(listTexts(kFiles), std::vector<std::string>{"notes.TXT"});
               typeInName("notes2");
             })
             .then([] { test::key(vk::Return); });
       },
       d + "/notes2.TXT"},
      {"a typed folder is entered, then a name in it", true, kSave, 1, false, 260, d,
       [] { answerFileDialog({true, {"deep dir/x2.dat"}, 0, 0}); },
       [](DialogDriver& r) {
         r.then([] { typeInName("deep dir"); })
             .then([] { test::key(vk::Return); })
             .then([] {
               EXPECT_EQ(listTexts(kFolders).size(), 0u);
               typeInName("x2.dat");
             })
             .then([] { test::key(vk::Return); });
       },
       d + "/deep dir/x2.dat"},
      {"a hidden file is not listed but can be typed", false, ofn::FileMustExist, 1, false, 260, d,
       [] { answerFileDialog({true, {".hidden.dat"}, 0, 0}); },
       [](DialogDriver& r) {
         r.then([] {
            EXPECT_EQ(listIndex(kFiles, ".hidden.dat"), -1);
            EXPECT_EQ(listIndex(kFolders, ".cache"), -1);
            typeInName(".hidden.dat");
          }).then([] { test::key(vk::Return); });
       },
       d + "/.hidden.dat"},
      {"a listed name with blanks and a non-ASCII letter", false, ofn::FileMustExist, 1, false, 260, d,
       [] { answerFileDialog({true, {"M\xC3\xBCller suite.dat"}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { pick(kFiles, "M\xFCller suite.dat", true); }); },
       d + "/M\xC3\xBCller suite.dat"},
      {"a typed name with non-ASCII letters", true, kSave, 1, false, 260, d,
       [] { answerFileDialog({true, {"Gr\xC3\xB6\xC3\x9F" "e 2.dat"}, 0, 0}); },
       [](DialogDriver& r) { r.then([] { typeInName("Gr\xF6\xDF" "e 2.dat"); }).then([] { test::key(vk::Return); }); },
       d + "/Gr\xC3\xB6\xC3\x9F" "e 2.dat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.queue();
    const Outcome queued = run(dialogFor(c.flags, c.filterIndex, c.defExt, c.maxFile, c.start), c.save);
    DialogDriver driver;
    c.drive(driver);
    driver.install();
    const size_t steps = driver.size();
    const Outcome real = run(dialogFor(c.flags, c.filterIndex, c.defExt, c.maxFile, c.start), c.save);
    EXPECT_EQ(queued.chosen, !c.expect.empty());
    if (!c.expect.empty()) {
      EXPECT_EQ(queued.file, c.expect);
    }
    EXPECT_EQ(driver.done(), steps) << "every step was taken";
    EXPECT_EQ(real.chosen, queued.chosen);
    EXPECT_EQ(real.file, queued.file);
    EXPECT_EQ(real.filterIndex, queued.filterIndex);
    EXPECT_EQ(real.error, queued.error);
    EXPECT_EQ(real.cwd, queued.cwd);
    EXPECT_EQ(real.shown, queued.shown);
  }
}

TEST_F(FileDialogTest, TheListsShowTheFolderByTypeOrTypedPattern) {
  std::vector<std::string> files, folders, typed, hidden;
  std::string field;
  DialogDriver r;
  r.then([&] {
     files = listTexts(kFiles);
     folders = listTexts(kFolders);
     field = getDlgItemText(activeDialog(), kFolderField);
     typeInName("*.txt");
   })
      .then([] { test::key(vk::Return); })
      .then([&] {
        typed = listTexts(kFiles);
        typeInName(".*");
      })
      .then([] { test::key(vk::Return); })
      .then([&] {
        hidden = listTexts(kFiles);
        test::key(vk::Escape);
      });
  r.install();
  OpenFileName o = dialogFor(0, 1, false, 260, dir.path());
  EXPECT_FALSE(getOpenFileName(o));
  EXPECT_EQ(files, (std::vector<std::string>{"b.dat", "M\xFCller suite.dat", "old.dat"}));
  EXPECT_EQ(folders, (std::vector<std::string>{"deep dir", "sub"}));
  EXPECT_EQ(typed, std::vector<std::string>{"notes.TXT"}) << "patterns ignore case";
  EXPECT_EQ(hidden, std::vector<std::string>{".hidden.dat"});
  EXPECT_EQ(field, dir.path());
}

TEST_F(FileDialogTest, AFolderThatVanishedIsReportedAndItsParentShown) {
  fs::create_directories(dir / "gone/inner");
  std::vector<std::string> afterwards;
  DialogDriver r;
  r.then([&] {
     fs::remove_all(dir / "gone/inner");
     pick(kFolders, "inner", true);   // listed, but no longer there
   })
      .then([] { test::key(vk::Return); })
      .then([&] {
        fs::remove_all(dir / "gone");
        clickItem(kTypes);
      })
      .then([] {
        test::key(vk::Escape);
        test::key(vk::Down);   // another type: the folder is listed again
      })
      .then([] { test::key(vk::Return); })
      .then([&] {
        afterwards = listTexts(kFolders);
        typeInName("kept.dat");
      })
      .then([] { test::key(vk::Return); });
  r.install();
  OpenFileName o = dialogFor(ofn::PathMustExist, 1, false, 260, dir / "gone");
  ASSERT_TRUE(getSaveFileName(o));
  EXPECT_EQ(o.file, dir / "kept.dat") << "named in the parent shown instead";
  EXPECT_EQ(afterwards, (std::vector<std::string>{"deep dir", "sub"}));
  std::vector<std::string> notices;
  for (const test::ShownDialog& d : test::shownDialogs())
    if (d.kind == "message box") notices.push_back(d.text);
  EXPECT_EQ(notices, (std::vector<std::string>{dir / "gone/inner" + "\nThe folder no longer exists.",
                                               dir / "gone" + "\nThe folder no longer exists."}));
}

TEST_F(FileDialogTest, AnAnswerQueuedWhileOpenAnswersItAndNoInputSourceFailsLoudly) {
  DialogDriver r;
  r.then([] { test::answerFileDialog({true, {"sub/late.dat"}, 0, 0}); });
  r.install();
  OpenFileName o = dialogFor(0, 1, false, 260, dir.path());
  ASSERT_TRUE(getSaveFileName(o));
  EXPECT_EQ(o.file, dir / "sub/late.dat");
  setIdleHook({});
  try {
    getSaveFileName(o);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "no answer for save file dialog");
  }
}

TEST_F(FileDialogTest, SaveInAFolderOfADozenFilesLooksLikeItsGolden) {
  // A fixed folder name long enough that its field shows only its end.
  const fs::path folder = fs::path(dir.path()) / "Transient soundings of the Ostrava survey";
  fs::create_directories(folder / "archive");
  fs::create_directories(folder / "plots");
  fs::create_directories(folder / ".cache");
  for (const char* f : {"Line 1 early.DAT", "Line 1 late.DAT", "Line 2 early.DAT", "Line 2 late.DAT", "Line 3.DAT",
                        "M\xC3\xBCller suite.DAT", "Profile A.DAT", "Profile B.DAT", "Station 12.DAT",
                        "Station 14.DAT", "model1.dat", "model2.dat", "notes.txt", ".recent.DAT"})
    testsupport::WriteFile((folder / f).string(), "x");
  Surface picture;
  std::string field;
  DialogDriver r;
  r.then([&] {
     field = getDlgItemText(activeDialog(), kFolderField);
     pick(kFiles, "Profile B.DAT");
   })
      .then([&] { ASSERT_TRUE(test::windowPicture(activeDialog(), true, picture)); })
      .then([] { test::key(vk::Escape); });
  r.install();
  OpenFileName o = dialogFor(ofn::OverwritePrompt, 1, true, 260, folder.string());
  o.file = "suite.DAT";
  getSaveFileName(o);
  ASSERT_GT(field.size(), 3u);
  EXPECT_EQ(field.substr(0, 3), "...") << "the end of a long path";
  EXPECT_EQ(folder.string().substr(folder.string().size() - (field.size() - 3)), field.substr(3));
  testsupport::ExpectGoldenPicture(picture, "platform_file_save.png");
}

}  // namespace
}  // namespace plat
