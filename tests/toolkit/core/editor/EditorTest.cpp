// The text editor: opening and its refusals, the caption, documents,
// loading and saving plain and rich text, find and replace, bookmarks,
// plain positions, the command line's history and printing.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/bars/Toolbar.h"
#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/os/Os.h"
#include "platform/print/Capture.h"
#include "platform/print/Printer.h"
#include "platform/res/Resources.h"
#include "platform/win/Keys.h"
#include "tests/support/GoldenPicture.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"

namespace {

using wmtest::ToolkitTest;

class EditorTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    plat::test::pump();
    ResetEditorPageSetupForTest();
    plat::setPrintersForTest(false, true);
    plat::publishDefaultPrinter();
  }

  int32_t Child(int32_t options = kOptionSystemMenu | kOptionStatusBar, const std::string& title = "Notes") {
    int32_t number = 0, dialog = 0, width = 420, height = 260;
    YYChildWindowOpen(40, 30, width, height, number, options, 0, {}, dialog, 0, -1, title);
    return number;
  }
  void Select(int32_t n) {
    int32_t w = 0, h = 0;
    YYWindowSelect(w, h, n);
  }
  // Opens an editor on a new child window; its window number.
  int32_t Editor(int32_t flags, const std::string& file = "", int32_t& status = Ignored()) {
    const int32_t n = Child();
    Select(n);
    status = 0;
    int32_t mode = 2;
    YYEditorOpen(status, mode, 0, flags, 3, 10, -1, -1, file, "");
    return n;
  }
  static int32_t& Ignored() {
    static int32_t v;
    return v;
  }
  plat::Hwnd FrameOf(int32_t n) { return WindowTables().Frame[static_cast<size_t>(n)]; }
  EditorRecord& Rec(int32_t n) { return *YYEditorRecordOf(FrameOf(n)); }
  std::string Path(const std::string& name) { return dir_.path() + "/" + name; }
  std::string Text(int32_t n) { return plat::getWindowText(Rec(n).EditControl); }
  int32_t Info(int32_t n, int32_t code) {
    int32_t v = -77;
    YYEditorInfo(n, code, v);
    return v;
  }
  void Command(int32_t n, int32_t id) { plat::sendMessage(FrameOf(n), plat::wm::Command, static_cast<plat::WParam>(id), 0); }
  void Type(int32_t n, const std::string& s) {
    plat::setFocus(Rec(n).EditControl);
    plat::test::typeText(s);
    plat::test::pump();
  }
  static void ClearEvents() { EventStore().StoredType = 0; }
  // Lets the event loop route what the keyboard and mouse queued.
  static void PollEvents() {
    int32_t type = 0;
    EventRecord e{};
    for (int i = 0; i < 40; ++i) WEventPoll(type, e);
  }
  static bool HasEvent(int32_t type) { return EventStore().StoredType == type; }
  int CountShown(const std::string& text) {
    int k = 0;
    for (const auto& d : plat::test::shownDialogs()) k += d.text == text;
    return k;
  }
};

TEST_F(EditorTest, OpeningRefusalsGiveTheirStatuses) {
  // the root window
  Select(0);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, -1, "", "");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(YYEditorRecordOf(FrameOf(0)), nullptr);

  // a 21st document of a several-document editor
  const int32_t n = Editor(kEdDocuments);
  for (int i = 1; i <= 20; ++i) testsupport::WriteFile(Path("d" + std::to_string(i) + ".txt"), "doc " + std::to_string(i));
  for (int i = 1; i <= 20; ++i) {
    status = 0;
    YYEditorOpen(status, mode, 0, 0, 0, 0, -1, -1, Path("d" + std::to_string(i) + ".txt"), "");
    ASSERT_EQ(status, 0) << i;
  }
  EXPECT_EQ(Info(n, 7), 20);
  testsupport::WriteFile(Path("d21.txt"), "doc 21");
  YYEditorOpen(status, mode, 0, 0, 0, 0, -1, -1, Path("d21.txt"), "");
  EXPECT_EQ(status, 12);
  EXPECT_EQ(Info(n, 7), 20);
  EXPECT_EQ(Text(n), "doc 20");

  // a modal editor asked for a command line opens without one and ends
  // when its window is closed
  const int32_t m = Child();
  Select(m);
  const plat::Hwnd frame = FrameOf(m);
  plat::setIdleHook([frame]() {
    plat::postMessage(frame, plat::wm::Close, 0, 0);
    plat::setIdleHook({});
    return true;
  });
  status = 0;
  mode = 1;
  YYEditorOpen(status, mode, 0, kEdCommandLine, 3, 10, -1, -1, "", "");
  EXPECT_EQ(status, 7);
  EXPECT_FALSE(plat::isWindow(frame));
  EXPECT_EQ(Info(-1, 1), 1);
}

TEST_F(EditorTest, AModalEditorLeavesItsResultsBehind) {
  testsupport::WriteFile(Path("m.txt"), "modal");
  const int32_t m = Child();
  Select(m);
  const plat::Hwnd frame = FrameOf(m);
  int step = 0;
  plat::setIdleHook([&]() {
    if (step++ == 0) {
      plat::setFocus(YYEditorRecordOf(frame)->EditControl);
      plat::test::typeText("ab");
      return true;
    }
    // the save question is answered No, and the window goes
    plat::test::answerMessageBox(plat::kIdNo);
    plat::postMessage(frame, plat::wm::Close, 0, 0);
    plat::setIdleHook({});
    return true;
  });
  int32_t status = 0, mode = 1;
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, -1, Path("m.txt"), "");
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(plat::isWindow(frame));
  EXPECT_EQ(Info(-1, 1), 0);
  EXPECT_EQ(Info(-1, 2), 7);
  EXPECT_EQ(Info(-1, 4), 3);
  std::string name;
  YYEditorInfoText(-1, 3, name, 260);
  std::string full;
  plat::FullPath(Path("m.txt"), full);
  EXPECT_EQ(name, full);
  // a program menu that cannot be loaded
  const int32_t n = Child();
  Select(n);
  mode = 2;
  YYEditorOpen(status, mode, 31999, 0, 3, 10, -1, -1, "", "");
  EXPECT_EQ(status, 3);
  EXPECT_GE(plat::test::menuItemState(FrameOf(n), kEdCmdOpen), 0);
}

TEST_F(EditorTest, TheCaptionShowsTheFileAndItsModifiedMarker) {
  testsupport::WriteFile(Path("p.txt"), "text");
  const int32_t n = Editor(kEdModifiedMarker, Path("p.txt"));
  std::string full;
  plat::FullPath(Path("p.txt"), full);
  EXPECT_EQ(plat::getWindowText(FrameOf(n)), "Notes - [" + full + "]");
  Type(n, "x");
  EXPECT_EQ(plat::getWindowText(FrameOf(n)), "Notes - [" + full + " *]");
  // the kept file keeps writers who ask for the lock away
  const int fd = ::open(full.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
  ::close(fd);
  EXPECT_EQ(Text(n), "xtext");
  EXPECT_EQ(Info(n, 3), 1);
}

TEST_F(EditorTest, DocumentsAreMatchedByTheirExactPath) {
  testsupport::WriteFile(Path("A.txt"), "upper");
  testsupport::WriteFile(Path("a.txt"), "lower");
  const int32_t n = Editor(kEdDocuments, Path("A.txt"));
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 0, 0, -1, -1, Path("a.txt"), "");
  EXPECT_EQ(Info(n, 7), 2);
  EXPECT_EQ(Text(n), "lower");
  // the same path again makes its document current
  YYEditorOpen(status, mode, 0, 0, 0, 0, -1, -1, Path("A.txt"), "");
  EXPECT_EQ(Info(n, 7), 2);
  EXPECT_EQ(Info(n, 6), 1);
  EXPECT_EQ(Text(n), "upper");
  EXPECT_EQ(plat::test::menuItemState(FrameOf(n), kEdCmdView + 1) & plat::mf::Checked, plat::mf::Checked);
}

TEST_F(EditorTest, ClosingAMiddleDocumentMovesTheLaterOnesDown) {
  for (const char* f : {"one.txt", "two.txt", "three.txt"}) testsupport::WriteFile(Path(f), f);
  const int32_t n = Editor(kEdDocuments, Path("one.txt"));
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 0, 0, 2, -1, Path("two.txt"), "");
  YYEditorOpen(status, mode, 0, 0, 0, 0, 3, -1, Path("three.txt"), "");
  int32_t at = 2;
  YYEditorSelect(at, 2);
  Command(n, kEdCmdSetBookmark);
  YYEditorPickDocument(2, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Text(n), "two.txt");
  Command(n, kEdCmdClose);
  EXPECT_EQ(Info(n, 7), 2);
  EXPECT_EQ(Info(n, 6), 2);
  EXPECT_EQ(Text(n), "three.txt");
  EXPECT_EQ(Rec(n).FileType[1], 3);
  EXPECT_EQ(Rec(n).Bookmark[1], 2);
  EXPECT_GE(plat::test::menuItemState(FrameOf(n), kEdCmdView + 2), 0);
  EXPECT_LT(plat::test::menuItemState(FrameOf(n), kEdCmdView + 3), 0);
  YYEditorPickDocument(5, status);
  EXPECT_EQ(status, 2);
}

TEST_F(EditorTest, OpenTakesTheChosenFileIntoANewDocumentOrTheEmptyOne) {
  for (const char* f : {"one.txt", "two.txt"}) testsupport::WriteFile(Path(f), f);
  const int32_t n = Editor(kEdDocuments | kEdModifiedMarker);
  struct Step {
    bool ok;
    const char* file;
    int32_t documents, current;
    const char* text;
  } steps[] = {
      {true, "one.txt", 1, 1, "one.txt"},    // the empty, unnamed document takes it
      {true, "two.txt", 2, 2, "two.txt"},    // a new document
      {false, "", 2, 2, "two.txt"},          // cancelled: nothing changes
      {true, "one.txt", 2, 1, "one.txt"},    // already open: its document becomes current
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.file);
    plat::test::answerFileDialog({s.ok, {s.ok ? Path(s.file) : std::string()}});
    ClearEvents();
    Command(n, kEdCmdOpen);
    EXPECT_EQ(Info(n, 7), s.documents);
    EXPECT_EQ(Info(n, 6), s.current);
    EXPECT_EQ(Text(n), s.text);
    EXPECT_EQ(HasEvent(EventMenuCommand), s.ok);
  }
  std::string full;
  plat::FullPath(Path("one.txt"), full);
  EXPECT_EQ(plat::getWindowText(FrameOf(n)), "Notes - [" + full + "]");
  EXPECT_GE(plat::test::menuItemState(FrameOf(n), kEdCmdView + 2), 0);
}

TEST_F(EditorTest, TheContextMenuIsTheEditMenuAndActsOnTheSelection) {
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "one two");
  int32_t at = 4;
  YYEditorSelect(at, 7);
  // from the mouse: Delete, the seventh item of the Edit menu
  plat::test::answerMenuPath({6});
  plat::sendMessage(FrameOf(n), plat::wm::ContextMenu, 0, plat::makeLParam(100, 100));
  plat::test::pump();
  EXPECT_EQ(Text(n), "one ");
  // from the keyboard (under the caret): Select All
  plat::test::answerMenu(kEdCmdSelectAll);
  plat::sendMessage(FrameOf(n), plat::wm::ContextMenu, 0, -1);
  plat::test::pump();
  plat::CharRange c;
  plat::sendMessage(Rec(n).EditControl, plat::emr::ExGetSel, 0, reinterpret_cast<plat::LParam>(&c));
  EXPECT_EQ(c.min, 0);
  EXPECT_EQ(c.max, 4);
}

TEST_F(EditorTest, ASemiModalEditorDisablesTheOtherWindowsUntilItGoes) {
  const int32_t n = Child();
  Select(n);
  int32_t status = 0, mode = 3;
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, -1, "", "");
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(plat::isWindowEnabled(FrameOf(0)));
  EXPECT_TRUE(plat::isWindowEnabled(FrameOf(n)));
  plat::sendMessage(FrameOf(n), plat::wm::Close, 0, 0);
  EXPECT_TRUE(HasEvent(EventCloseAsked));   // the program closes it
  plat::destroyWindow(FrameOf(n));
  EXPECT_TRUE(plat::isWindowEnabled(FrameOf(0)));
}

TEST_F(EditorTest, RichTextOnlyForRtfNamesAndALeadingBraceLoadsAsText) {
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0\\par}";
  testsupport::WriteFile(Path("notes.txt"), rtf);
  testsupport::WriteFile(Path("NOTES.RTF"), rtf);
  const int32_t n = Editor(kEdRichText, Path("notes.txt"));
  // a plain file that begins like rich text keeps its text
  EXPECT_EQ(Text(n), rtf);
  const int32_t m = Editor(kEdRichText, Path("NOTES.RTF"));
  EXPECT_EQ(Text(m), "plain bold");
  plat::CharRange c{6, 10};
  plat::sendMessage(Rec(m).EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&c));
  plat::CharFormat f;
  plat::sendMessage(Rec(m).EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
  EXPECT_TRUE(f.effects & plat::cfe::Bold);

  // zero bytes become blanks, a final Ctrl-Z goes
  testsupport::WriteFile(Path("z.txt"), std::string("a\0b\x1a", 4));
  const int32_t z = Editor(0, Path("z.txt"));
  EXPECT_EQ(Text(z), "a b");
}

TEST_F(EditorTest, SavingReplacesTheFileOnlyWhenCompleteAndKeepsRichText) {
  const int32_t n = Editor(kEdRichText | kEdQuietOpen, Path("out.rtf"));   // no such file yet
  int32_t status = 0;
  YYEditorSetText(status, "one two");
  YYEditorCharFormat(status, 1, 3, 1, -1, -1, -1, -1, -2, -2, "");
  EXPECT_EQ(status, 0);
  ASSERT_EQ(YYEditorSave(FrameOf(n), 0), 1);
  const std::string saved = testsupport::ReadFile(Path("out.rtf"));
  EXPECT_EQ(saved.substr(0, 6), "{\\rtf1");
  EXPECT_EQ(Info(n, 1), 1);
  // nothing but the file itself is left in its folder
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) files += e.path().filename().string().rfind("out", 0) == 0;
  EXPECT_EQ(files, 1);

  // a name the new file cannot take (a folder of that name): the failure
  // is reported and what was there stays
  const int32_t p = Editor(0);
  const std::string taken = Path("taken.txt");
  std::filesystem::create_directory(taken);
  testsupport::WriteFile(taken + "/inside.txt", "old contents");
  YYEditorSetText(status, "new");
  YYEditorSetModified(0, 1);
  Rec(p).FileName = taken;
  plat::test::clearShownDialogs();
  plat::test::answerMessageBox(plat::kIdOk);
  EXPECT_EQ(YYEditorSave(FrameOf(p), 0), 0);
  ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
  EXPECT_EQ(plat::test::shownDialogs()[0].caption, "Open Error");
  EXPECT_EQ(Info(p, 1), 0);
  int left = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) left += e.path().filename().string().rfind("taken", 0) == 0;
  EXPECT_EQ(left, 1);
  EXPECT_EQ(testsupport::ReadFile(taken + "/inside.txt"), "old contents");
}

// Paths longer than any fixed name field: after a switch of documents Save
// writes the document's own file (never a cut name beside it), and Save As
// and Open take such names.
TEST_F(EditorTest, LongPathsAreSavedAndOpenedWhole) {
  std::string deep = dir_.path();
  for (int i = 0; deep.size() < 300; ++i) deep += "/a-long-folder-name-" + std::to_string(i);
  std::filesystem::create_directories(deep);
  const std::string a = deep + "/first.txt", b = deep + "/second.txt", c = deep + "/third.txt";
  testsupport::WriteFile(a, "first");
  testsupport::WriteFile(b, "second");
  const int32_t n = Editor(kEdDocuments, a);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 0, 0, -1, -1, b, "");
  YYEditorPickDocument(1, status);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(Text(n), "first");
  YYEditorSetText(status, "first, changed");
  YYEditorSetModified(0, 1);
  ASSERT_EQ(YYEditorSave(FrameOf(n), 0), 1);
  EXPECT_EQ(testsupport::ReadFile(a), "first, changed");
  size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.path()))
    files += e.is_regular_file() && e.path().string().find("a-long-folder") != std::string::npos ? 1 : 0;
  EXPECT_EQ(files, 2u) << "no file under another name";

  plat::test::answerFileDialog({true, {c}});
  ASSERT_EQ(YYEditorSave(FrameOf(n), 1), 1);
  EXPECT_EQ(testsupport::ReadFile(c), "first, changed");
  EXPECT_EQ(Rec(n).FileName, c);

  plat::test::answerFileDialog({true, {b}});
  Command(n, kEdCmdOpen);
  EXPECT_EQ(Text(n), "second");
}

// The backup of a private file is as private as the file, and replaces an
// older backup; a backup that cannot be written stops the save, so the old
// version the user asked to keep is never lost.
TEST_F(EditorTest, TheBackupKeepsItsFilesModeAndAFailedBackupStopsTheSave) {
  const std::string secret = Path("secret.txt");
  testsupport::WriteFile(secret, "old words");
  ::chmod(secret.c_str(), 0600);
  testsupport::WriteFile(secret + ".bak", "older words");
  ::chmod((secret + ".bak").c_str(), 0644);
  const int32_t n = Editor(kEdBackup, secret);
  int32_t status = 0;
  YYEditorSetText(status, "new words");
  YYEditorSetModified(0, 1);
  ASSERT_EQ(YYEditorSave(FrameOf(n), 0), 1);
  EXPECT_EQ(testsupport::ReadFile(secret), "new words");
  EXPECT_EQ(testsupport::ReadFile(secret + ".bak"), "old words");
  struct stat st {};
  ASSERT_EQ(::stat((secret + ".bak").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  const std::string other = Path("other.txt");
  testsupport::WriteFile(other, "kept");
  std::filesystem::create_directory(other + ".bak");  // no backup can take this name
  const int32_t p = Editor(kEdBackup, other);
  YYEditorSetText(status, "lost?");
  YYEditorSetModified(0, 1);
  plat::test::clearShownDialogs();
  plat::test::answerMessageBox(plat::kIdOk);
  EXPECT_EQ(YYEditorSave(FrameOf(p), 0), 0);
  ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
  EXPECT_NE(plat::test::shownDialogs()[0].text.find(other + ".bak could not be written"), std::string::npos)
      << plat::test::shownDialogs()[0].text;
  EXPECT_EQ(testsupport::ReadFile(other), "kept");
}

TEST_F(EditorTest, SaveAsksBeforeOverwritingAFileAnotherProgramChanged) {
  const std::string file = Path("shared.txt");
  testsupport::WriteFile(file, "first");
  const int32_t n = Editor(0, file);
  ASSERT_EQ(Text(n), "first");
  // unchanged on disk: saved without a question
  YYEditorSetText(Ignored(), "mine");
  YYEditorSetModified(0, 1);
  plat::test::clearShownDialogs();
  EXPECT_EQ(YYEditorSave(FrameOf(n), 0), 1);
  EXPECT_TRUE(plat::test::shownDialogs().empty());
  EXPECT_EQ(testsupport::ReadFile(file), "mine");

  struct Case {
    const char* change;
    int answer;
    int saved;
  };
  for (const Case c : {Case{"written", plat::kIdNo, 0}, Case{"replaced", plat::kIdNo, 0}, Case{"written", plat::kIdYes, 1}}) {
    SCOPED_TRACE(std::string(c.change) + " " + std::to_string(c.answer));
    const std::string theirs = std::string("theirs, ") + c.change;
    if (std::string(c.change) == "written") {
      testsupport::WriteFile(file, theirs);
    } else {
      testsupport::WriteFile(file + ".new", theirs);
      std::filesystem::rename(file + ".new", file);
    }
    YYEditorSetText(Ignored(), "mine again");
    YYEditorSetModified(0, 1);
    plat::test::clearShownDialogs();
    plat::test::answerMessageBox(c.answer);
    EXPECT_EQ(YYEditorSave(FrameOf(n), 0), c.saved);
    ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
    EXPECT_EQ(plat::test::shownDialogs()[0].text,
              file + " has been changed by another program since it was opened.\nDo you want to overwrite it?");
    EXPECT_EQ(testsupport::ReadFile(file), c.saved ? "mine again" : theirs);
    EXPECT_EQ(Info(n, 1), c.saved);   // not modified once saved
  }
}

TEST_F(EditorTest, ARichTextNameOnAFileThatIsNotRichTextIsRefusedByName) {
  const std::string file = Path("notes.rtf");
  testsupport::WriteFile(file, "plain words, no rich text");
  plat::test::answerMessageBox(plat::kIdOk);
  const int32_t n = Editor(kEdRichText, file);
  ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
  EXPECT_EQ(plat::test::shownDialogs()[0].text, "Not a rich-text file: " + file);
  EXPECT_EQ(plat::test::shownDialogs()[0].caption, "Read Error");
  EXPECT_EQ(Text(n), "");
}

TEST_F(EditorTest, AFileLongerThanTheLimitIsRefusedNotCut) {
  testsupport::WriteFile(Path("big.txt"), std::string(64, 'x'));
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "before");
  Rec(n).TextLimit = 32;
  Rec(n).FileName = Path("big.txt");
  plat::test::answerMessageBox(plat::kIdOk);
  EXPECT_EQ(YYEditorLoad(FrameOf(n), 0), 0);
  EXPECT_EQ(Text(n), "before");
  ASSERT_FALSE(plat::test::shownDialogs().empty());
  EXPECT_EQ(plat::test::shownDialogs().back().caption, "Open Error");
}

TEST_F(EditorTest, ASavePromptThatCannotBeShownKeepsTheEditorOpen) {
  const int32_t n = Editor(0);
  Type(n, "unsaved");
  plat::test::answerMessageBoxFails();
  ClearEvents();
  plat::sendMessage(FrameOf(n), plat::wm::Close, 0, 0);
  EXPECT_TRUE(plat::isWindow(FrameOf(n)));
  EXPECT_FALSE(HasEvent(EventCloseAsked));
  plat::test::answerMessageBox(plat::kIdNo);
  plat::sendMessage(FrameOf(n), plat::wm::Close, 0, 0);
  EXPECT_TRUE(HasEvent(EventCloseAsked));
}

TEST_F(EditorTest, SearchingDownTwiceFindsTwoPlacesAndReplaceAllEndsOnce) {
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "cat dog cat bird");
  EditorRecord& r = Rec(n);
  r.FindText = "cat";
  r.FindBlock.flags = plat::fr::Down;
  int32_t zero = 0;
  YYEditorSelect(zero, 0);
  ASSERT_EQ(YYEditorFindNext(FrameOf(n), r, r.FindBlock), 1);
  EXPECT_EQ(Info(n, 4), 1);
  ASSERT_EQ(YYEditorFindNext(FrameOf(n), r, r.FindBlock), 1);
  EXPECT_EQ(Info(n, 4), 9);

  // Replace All through the dialog's notice: no match, one message
  Command(n, kEdCmdReplace);
  ASSERT_TRUE(r.FindDialog);
  plat::test::clearShownDialogs();
  plat::test::answerMessageBox(plat::kIdOk);
  plat::test::findDialogAction(r.FindDialog, plat::fr::ReplaceAll, "fish", "cow");
  EXPECT_EQ(CountShown("End of text reached"), 1);
  // with matches, every one is replaced
  plat::test::answerMessageBox(plat::kIdOk);
  plat::test::findDialogAction(r.FindDialog, plat::fr::ReplaceAll, "cat", "cow");
  EXPECT_EQ(Text(n), "cow dog cow bird");
}

TEST_F(EditorTest, EnterTabAndEscapeWorkInTheFindDialogOfAModelessEditor) {
  for (int32_t mode : {2, 3}) {
    SCOPED_TRACE(mode);
    const int32_t n = Child();
    Select(n);
    int32_t status = 0, m = mode;
    YYEditorOpen(status, m, 0, 0, 3, 10, -1, -1, "", "");
    ASSERT_EQ(status, 0);
    YYEditorSetText(Ignored(), "cat dog cat");
    Command(n, kEdCmdFind);
    const plat::Hwnd dialog = Rec(n).FindDialog;
    ASSERT_TRUE(dialog);
    const plat::Hwnd field = plat::getDlgItem(dialog, 1152);
    plat::setFocus(field);
    plat::test::typeText("dog");
    PollEvents();
    plat::test::key(plat::vk::Return);   // Find Next
    PollEvents();
    EXPECT_EQ(Info(n, 4), 5);
    EXPECT_EQ(Info(n, 5), 7);
    plat::test::key(plat::vk::Tab);      // on to the next control of the dialog
    PollEvents();
    EXPECT_NE(plat::getFocus(), field);
    EXPECT_TRUE(plat::isChild(dialog, plat::getFocus()));
    plat::test::key(plat::vk::Escape);   // the dialog closes
    PollEvents();
    EXPECT_FALSE(Rec(n).FindDialog);
    EXPECT_FALSE(plat::isWindow(dialog));
  }
}

TEST_F(EditorTest, CancellingTheFindDialogOfAnEditorInsideItsParentFocusesTheEditor) {
  const int32_t n = Child(kOptionSystemMenu | kOptionInsideParent);
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  YYEditorSetText(Ignored(), "alpha beta");
  Command(n, kEdCmdFind);
  const plat::Hwnd dialog = Rec(n).FindDialog;
  ASSERT_TRUE(dialog);
  plat::test::pump();
  plat::setFocus(plat::getDlgItem(dialog, plat::kIdCancel));
  plat::sendMessage(dialog, plat::wm::Command, plat::makeWParam(plat::kIdCancel, plat::bn::Clicked),
                    static_cast<plat::LParam>(plat::getDlgItem(dialog, plat::kIdCancel).value));
  plat::test::pump();
  EXPECT_FALSE(Rec(n).FindDialog);
  EXPECT_FALSE(plat::isWindow(dialog));
  EXPECT_EQ(plat::getFocus(), Rec(n).EditControl);
}

// The frames of the toolkit's windows as they were last told to look:
// 1 active, 0 inactive, -1 not told since the log began.
class ActiveLooks {
 public:
  ActiveLooks() : log_([](const plat::test::LoggedMessage& m) { return m.message == plat::wm::NcActivate; }) {}
  int Of(plat::Hwnd frame) const {
    int look = -1;
    for (const plat::test::LoggedMessage& m : log_.messages())
      if (m.hwnd == frame) look = m.wParam != 0 ? 1 : 0;
    return look;
  }
  void Clear() { log_.clear(); }

 private:
  plat::test::MessageLog log_;
};

TEST_F(EditorTest, AClickBringsAnEditorInsideItsParentForwardWithTheFocus) {
  const int32_t n = Child(kOptionSystemMenu | kOptionStatusBar | kOptionInsideParent);
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, kEdCommandLine, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  const plat::Hwnd frame = FrameOf(n), rootClient = WindowTables().Client[0];
  // a plain window in the same parent over the editor's right part, and a
  // window of its own on the screen
  int32_t sibling = 0, popup = 0, dialog = 0, w = 300, h = 200;
  YYChildWindowOpen(260, 60, w, h, sibling, kOptionSystemMenu | kOptionInsideParent, 0, {}, dialog, 0, -1, "Beside");
  w = 200, h = 100;
  YYChildWindowOpen(600, 500, w, h, popup, kOptionSystemMenu, 0, {}, dialog, 0, -1, "Apart");
  ASSERT_GT(sibling, 0);
  ASSERT_GT(popup, 0);
  ActiveLooks looks;
  using plat::test::Button;
  struct Case {
    const char* what;
    Button button;
    plat::Hwnd target;
    int32_t before;   // the window active before the click
  } cases[] = {
      {"left in the text", Button::Left, Rec(n).EditControl, sibling},
      {"right in the text", Button::Right, Rec(n).EditControl, sibling},
      {"middle in the command line", Button::Middle, Rec(n).CommandLine, sibling},
      // the parent's top-level window is not active: mouse activation
      {"left with another top-level window active", Button::Left, Rec(n).EditControl, popup},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const plat::Hwnd before = FrameOf(c.before);
    plat::setWindowPos(FrameOf(sibling), plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize);
    YYWindowFocus(before);
    ASSERT_NE(plat::childWindows(rootClient).front(), frame);
    ASSERT_TRUE(plat::isChild(before, plat::getFocus()) || plat::getFocus() == before);
    looks.Clear();
    plat::test::click(c.button, plat::test::at(c.target, {4, 4}));
    plat::test::pump();
    EXPECT_EQ(plat::childWindows(rootClient).front(), frame);
    EXPECT_TRUE(plat::isChild(frame, plat::getFocus()));
    EXPECT_EQ(looks.Of(frame), 1);
    EXPECT_EQ(looks.Of(before), 0);
    EXPECT_EQ(plat::getActiveWindow(), WindowTables().Frame[0]);
  }
  // the focus that lies inside the editor stays inside it
  plat::setFocus(Rec(n).CommandLineEdit);
  EXPECT_EQ(plat::sendMessage(frame, plat::wm::MouseActivate, static_cast<plat::WParam>(WindowTables().Frame[0].value),
                              plat::makeLParam(plat::kHtClient, static_cast<int>(plat::wm::LButtonDown))),
            0);
  EXPECT_TRUE(plat::isChild(frame, plat::getFocus()));
}

TEST_F(EditorTest, AnEditorInsideItsParentKeepsItsPlacementAndItsLayoutThroughMaximiseAndRestore) {
  plat::res::pushOverlay(R"(
RCDATA 31010
  16 1 32121 32127 32122 32123 0 0
END
BITMAP 31010 64 1
  COLOR . 808080
  ROWS
  ................................................................
END
)");
  int32_t n = 0, dialog = 0, width = 420, height = 260;
  YYChildWindowOpen(40, 30, width, height, n,
                    kOptionSystemMenu | kOptionStatusBar | kOptionMaximiseBox | kOptionMinimiseBox | kOptionInsideParent, 0,
                    {31010, 0, 0, 0}, dialog, 0, -1, "Notes");
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, kEdCommandLine, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  const plat::Hwnd frame = FrameOf(n);
  const EditorRecord& r = Rec(n);
  const size_t k = static_cast<size_t>(n);
  // The parts stacked from the top and the bottom of the frame, and the
  // status bar's own parts.
  auto laidOut = [&](const char* when) {
    SCOPED_TRACE(when);
    plat::Rect area, own, top, edit, line, bar;
    plat::getClientRect(frame, area);
    auto inFrame = [&](plat::Hwnd w, plat::Rect& out) {
      plat::getWindowRect(w, out);
      const plat::Point o = plat::clientToScreen(frame, {0, 0});
      out = {out.left - o.x, out.top - o.y, out.right - o.x, out.bottom - o.y};
    };
    inFrame(r.EditorToolbar, own);
    inFrame(r.WindowToolbars[0], top);
    inFrame(r.EditControl, edit);
    inFrame(r.CommandLineEdit, line);
    inFrame(r.StatusBar, bar);
    EXPECT_EQ(own.top, 0);
    EXPECT_EQ(top.top, own.bottom);
    EXPECT_EQ(top.width(), area.width());
    EXPECT_EQ(edit.top, top.bottom);
    EXPECT_EQ(edit.bottom, line.top);
    EXPECT_EQ(line.bottom, bar.top);
    EXPECT_EQ(bar.bottom, area.bottom);
    int edges[5] = {};
    ASSERT_EQ(plat::sendMessage(r.StatusBar, plat::sb::GetParts, 5, reinterpret_cast<plat::LParam>(edges)), 4);
    EXPECT_EQ(std::vector<int>(edges, edges + 4), (std::vector<int>{130, 170, 210, 250}));
  };
  laidOut("opened");
  plat::WindowPlacement normal;
  plat::getWindowPlacement(frame, normal);
  EXPECT_EQ(WindowTables().RestoreRect[k].left, -999);

  plat::showWindow(frame, plat::ShowCmd::ShowMaximized);
  EXPECT_TRUE(plat::isZoomed(frame));
  EXPECT_EQ(WindowTables().RestoreRect[k], normal.normalPosition);
  laidOut("maximised");

  plat::showWindow(frame, plat::ShowCmd::Restore);
  EXPECT_FALSE(plat::isZoomed(frame));
  EXPECT_EQ(WindowTables().RestoreRect[k].left, -999);
  plat::WindowPlacement back;
  plat::getWindowPlacement(frame, back);
  EXPECT_EQ(back.normalPosition, normal.normalPosition);
  laidOut("restored");

  // minimised, it looks inactive and the window it lies in active
  ActiveLooks looks;
  plat::showWindow(frame, plat::ShowCmd::ShowMinimized);
  EXPECT_EQ(looks.Of(frame), 0);
  EXPECT_EQ(looks.Of(WindowTables().Frame[0]), 1);
  plat::res::popOverlay();
}

TEST_F(EditorTest, AnEditorInsideItsParentHasTheFocusBackAfterItsDialogsAndBoxes) {
  const int32_t n = Child(kOptionSystemMenu | kOptionStatusBar | kOptionInsideParent);
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  testsupport::WriteFile(Path("there.txt"), "there");
  YYEditorSetText(status, "here");
  const plat::Hwnd frame = FrameOf(n);
  auto file = [](bool ok, const std::string& path) {
    plat::test::FileAnswer a;
    a.ok = ok;
    if (ok) a.paths = {path};
    return a;
  };
  struct Case {
    const char* what;
    std::function<void()> act;
  } cases[] = {
      {"Save As chosen",
       [&] {
         plat::test::answerFileDialog(file(true, Path("here.txt")));
         Command(n, kEdCmdSaveAs);
       }},
      {"Save As cancelled",
       [&] {
         plat::test::answerFileDialog(file(false, ""));
         Command(n, kEdCmdSaveAs);
       }},
      {"Open chosen",
       [&] {
         plat::test::answerFileDialog(file(true, Path("there.txt")));
         Command(n, kEdCmdOpen);
       }},
      {"Open cancelled",
       [&] {
         plat::test::answerFileDialog(file(false, ""));
         Command(n, kEdCmdOpen);
       }},
      {"no printer to print on",
       [&] {
         // the printer chosen in the set-up goes away before printing
         plat::test::answerPageSetup({}, [] { plat::setPrintersForTest(false, false); });
         plat::test::answerMessageBox(plat::kIdOk);
         Command(n, kEdCmdPrint);
         plat::setPrintersForTest(false, true);
         plat::publishDefaultPrinter();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::setFocus(Rec(n).EditControl);
    c.act();
    EXPECT_TRUE(plat::isChild(frame, plat::getFocus()));
  }
  EXPECT_EQ(Text(n), "there");
  EXPECT_EQ(CountShown("Unable to print text"), 1);
}

TEST_F(EditorTest, TheFindDialogGoesWithAnEditorInsideItsParent) {
  const int32_t n = Child(kOptionSystemMenu | kOptionInsideParent);
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, 0, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  YYEditorSetText(status, "alpha beta");
  Command(n, kEdCmdReplace);
  const plat::Hwnd dialog = Rec(n).FindDialog;
  ASSERT_TRUE(dialog);
  plat::test::pump();
  int32_t window = n, bar = 0;
  YYWindowClose(window, bar);
  plat::test::pump();
  // a dialog left behind would act on the editor that is gone
  EXPECT_FALSE(plat::isWindow(dialog));
}

TEST_F(EditorTest, ABookmarkMovesWithTextTypedBeforeIt) {
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "hello world");
  int32_t at = 6;
  YYEditorSelect(at, 6);
  Command(n, kEdCmdSetBookmark);
  YYEditorCaretTo(0);
  Type(n, "abc");
  YYEditorCaretTo(11);
  Type(n, "!");   // after it: no move
  Command(n, kEdCmdGotoBookmark);
  EXPECT_EQ(Info(n, 4), 10);
  EXPECT_EQ(Info(n, 5), 9);
}

TEST_F(EditorTest, FormattingKeysStyleTheSelectionOrWhatIsTypedNext) {
  const int32_t n = Editor(kEdRichText);
  const plat::Hwnd e = Rec(n).EditControl;
  auto press = [](uint32_t vk) {
    plat::test::key(vk, plat::test::kCtrl);
    int32_t type = 0;
    EventRecord record{};
    for (int i = 0; i < 10 && type != EventMenuCommand; ++i) WEventPoll(type, record);
    return type == EventMenuCommand ? record[1] : -1;
  };
  // effects of the characters a..b, with the bits uniform over them
  auto effects = [&](int a, int b) {
    plat::CharRange c{a, b};
    plat::sendMessage(e, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&c));
    plat::CharFormat f;
    plat::sendMessage(e, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
    return f.effects & f.mask & (plat::cfe::Bold | plat::cfe::Italic | plat::cfe::Underline);
  };
  Type(n, "word");
  EXPECT_EQ(press('B'), kEdCmdBold);
  Type(n, " next");
  EXPECT_EQ(Text(n), "word next");
  EXPECT_EQ(effects(0, 4), 0u);                     // the word typed before stays plain
  EXPECT_EQ(effects(4, 9), plat::cfe::Bold);        // what came after the key is bold
  // a selection takes the style, the text after it does not
  plat::setFocus(e);
  plat::CharRange word{0, 4};
  plat::sendMessage(e, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&word));
  EXPECT_EQ(press('I'), kEdCmdItalic);
  EXPECT_EQ(effects(0, 4), plat::cfe::Italic);
  EXPECT_EQ(effects(4, 9), plat::cfe::Bold);
  // pressed twice with nothing selected, the key takes its style back off
  YYEditorCaretTo(9);
  plat::setFocus(e);
  EXPECT_EQ(press('U'), kEdCmdUnderline);
  EXPECT_EQ(press('U'), kEdCmdUnderline);
  EXPECT_EQ(press('U'), kEdCmdUnderline);
  Type(n, "!");
  EXPECT_EQ(effects(9, 10), plat::cfe::Bold | plat::cfe::Underline);
  EXPECT_EQ(effects(0, 4), plat::cfe::Italic);
}

TEST_F(EditorTest, APlainTextEditorTakesTextThatLooksLikeRichTextLiterally) {
  const std::string rich = "{\\rtf1 {\\b x}\\par}";
  struct Case {
    int32_t flags;
    std::string shown;   // what each way of putting the text in shows
  };
  for (const Case& c : {Case{0, rich}, Case{kEdRichText, "x"}}) {
    SCOPED_TRACE(c.flags);
    const int32_t n = Editor(c.flags);
    YYEditorSetText(Ignored(), rich);
    EXPECT_EQ(Text(n), c.shown);
    YYEditorSetText(Ignored(), "");
    int32_t at = 1;
    YYEditorPutText(at, 0, rich);
    EXPECT_EQ(Text(n), c.shown);
    YYEditorSetText(Ignored(), "");
    ASSERT_TRUE(plat::openClipboard(Rec(n).EditControl));
    plat::emptyClipboard();
    plat::setClipboardData(plat::kCfText, rich);
    plat::closeClipboard();
    Command(n, kEdCmdPaste);
    // the rich-text editor pastes with the control's own paste, as text
    EXPECT_EQ(Text(n), rich);
  }
  // a plain-text editor's replacement text goes in as it stands too
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "a b");
  Rec(n).FindText = "b";
  Rec(n).ReplaceText = rich;
  plat::FindReplace block;
  block.flags = plat::fr::Down;
  int32_t at = 2;
  YYEditorSelect(at, 3);   // the b
  plat::test::answerMessageBox(plat::kIdOk);   // no further match
  YYEditorReplaceOne(FrameOf(n), Rec(n), block);
  EXPECT_EQ(Text(n), "a " + rich);
}

TEST_F(EditorTest, AReadOnlyEditorOpensButRefusesChanges) {
  const int32_t n = Editor(kEdReadOnly | kEdRichText);
  const plat::Hwnd f = FrameOf(n);
  struct Case {
    uint32_t command;
    bool present;
  };
  for (const Case c : {Case{kEdCmdOpen, true}, Case{kEdCmdSaveAs, true}, Case{kEdCmdNew, false}, Case{kEdCmdSave, false},
                       Case{kEdCmdReplace, false}, Case{kEdCmdPaste, false}, Case{kEdCmdCopy, true},
                       Case{kEdCmdBold, false}}) {
    EXPECT_EQ(plat::test::menuItemState(f, c.command) >= 0, c.present) << c.command;
  }
  YYEditorSetText(Ignored(), "fixed");
  Type(n, "x");
  Command(n, kEdCmdDelete);
  EXPECT_EQ(Text(n), "fixed");
  // the toolbar names its buttons, the menu's items say what they do
  plat::ToolTipText tip;
  tip.hdr.hwndFrom = plat::handleFrom<plat::Hwnd>(
      static_cast<uintptr_t>(plat::sendMessage(Rec(n).EditorToolbar, plat::tb::GetToolTips, 0, 0)));
  tip.hdr.idFrom = kEdCmdFind;
  tip.hdr.code = plat::kTtnNeedText;
  plat::sendMessage(f, plat::wm::Notify, 0, reinterpret_cast<plat::LParam>(&tip));
  EXPECT_STREQ(tip.text, "Find");
  plat::sendMessage(f, plat::wm::MenuSelect, plat::makeLParam(kEdCmdExit, 0), 0);
  EXPECT_EQ(plat::test::statusText(WindowTables().StatusBar[static_cast<size_t>(n)], plat::kSimplePart),
            "Closes the browser");
}

TEST_F(EditorTest, HighlightPaintingShowsTheSelectionOnlyAtTabsAndLineEnds) {
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "ab\tcd\r\nef");
  YYEditorHighlightOn();
  int32_t from = 1;
  YYEditorSelect(from, 8);   // b, the tab, cd, the line end, e
  plat::test::pump();
  const plat::Hwnd e = Rec(n).EditControl;
  plat::Surface pic;
  ASSERT_TRUE(plat::test::windowPicture(e, false, pic));
  const uint32_t highlight = plat::pixelFromColor(plat::sysColor(plat::SysColor::kHighlight));
  auto highlighted = [&](int32_t a, int32_t b) {
    // how many pixels of the cells of characters a..b are highlight-coloured
    const plat::Point p = YYEditorCharPos(e, a), q = YYEditorCharPos(e, b);
    int count = 0;
    for (int y = p.y + 1; y < p.y + Rec(n).CharHeight - 1; ++y)
      for (int x = p.x + 1; x < q.x - 1; ++x) count += (pic.at(x, y) & 0xFFFFFF) == (highlight & 0xFFFFFF);
    return count;
  };
  EXPECT_GT(highlighted(2, 3), 0);    // the tab
  EXPECT_EQ(highlighted(1, 2), 0);    // b is drawn plain
  EXPECT_EQ(highlighted(3, 5), 0);    // so is cd
  const plat::Point end = YYEditorCharPos(e, 5);
  EXPECT_EQ(pic.at(end.x + 2, end.y + 3) & 0xFFFFFF, highlight & 0xFFFFFF);   // the line end
}

// A text of 40 numbered lines, shown from line 10 with the selection on
// line 2, out of view.
std::string FortyLines() {
  std::string t;
  for (int i = 0; i < 40; ++i) t += "line " + std::to_string(i) + "\r\n";
  return t;
}

TEST_F(EditorTest, ZoomingWithTheWheelKeepsTheFirstLineAndTheSelection) {
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), FortyLines());
  YYEditorHighlightOn();
  const plat::Hwnd e = Rec(n).EditControl;
  int32_t from = 14;
  YYEditorSelect(from, 16);
  YYEditorScrollTo(10);
  plat::Rect before;
  plat::getWindowRect(e, before);
  const plat::CharRange sel = [&] {
    plat::CharRange c;
    plat::sendMessage(e, plat::emr::ExGetSel, 0, reinterpret_cast<plat::LParam>(&c));
    return c;
  }();
  plat::sendMessage(e, plat::wm::MouseWheel, plat::makeWParam(plat::kMkControl, 240), 0);
  plat::test::pump();
  int num = 0, den = 0;
  plat::sendMessage(e, plat::emr::GetZoom, reinterpret_cast<plat::WParam>(&num), reinterpret_cast<plat::LParam>(&den));
  EXPECT_EQ(num * 10, den * 12);   // two clicks: 120 %
  EXPECT_EQ(plat::sendMessage(e, plat::em::GetFirstVisibleLine), 10);
  plat::CharRange now;
  plat::sendMessage(e, plat::emr::ExGetSel, 0, reinterpret_cast<plat::LParam>(&now));
  EXPECT_EQ(now.min, sel.min);
  EXPECT_EQ(now.max, sel.max);
  EXPECT_TRUE(plat::isWindowVisible(e));
  plat::Rect after;
  plat::getWindowRect(e, after);
  EXPECT_EQ(after.width(), before.width());
  EXPECT_EQ(after.height(), before.height());

  // a frozen editor zooms but stays hidden
  YYEditorFreeze(0);
  plat::sendMessage(e, plat::wm::MouseWheel, plat::makeWParam(plat::kMkControl, 120), 0);
  EXPECT_FALSE(plat::isWindowVisible(e));
  YYEditorFreeze(1);
  EXPECT_TRUE(plat::isWindowVisible(e));
}

TEST_F(EditorTest, ThawingPutsBackTheSelectionAndTheFirstLine) {
  const int32_t n = Editor(0);
  const plat::Hwnd e = Rec(n).EditControl;
  YYEditorSetText(Ignored(), FortyLines());
  int32_t from = 14;
  YYEditorSelect(from, 16);
  YYEditorScrollTo(10);
  YYEditorFreeze(0);
  EXPECT_FALSE(plat::isWindowVisible(e));
  // work done while frozen moves the selection and the view
  int32_t end = 0;
  YYEditorSelect(end, -1);
  YYEditorScrollTo(0);
  EXPECT_FALSE(plat::isWindowVisible(e));
  YYEditorFreeze(1);
  EXPECT_TRUE(plat::isWindowVisible(e));
  EXPECT_EQ(plat::sendMessage(e, plat::em::GetFirstVisibleLine), 10);
  plat::CharRange c;
  plat::sendMessage(e, plat::emr::ExGetSel, 0, reinterpret_cast<plat::LParam>(&c));
  int32_t a = 0, b = 0;
  YYEditorToRichPositions(14, 16, a, b);
  EXPECT_EQ(c.min, a);
  EXPECT_EQ(c.max, b);

  // a redraw repaints the control of that window only
  plat::test::pump();
  plat::validateRect(e, nullptr);
  YYEditorRedraw(n);
  EXPECT_TRUE(plat::getUpdateRect(e, nullptr, false));
  plat::validateRect(e, nullptr);
  YYEditorRedraw(n + 1);
  YYEditorRedraw(0);
  EXPECT_FALSE(plat::getUpdateRect(e, nullptr, false));
}

TEST_F(EditorTest, CutCopyUndoAndRedoButtonsFollowTheSelectionOnBothToolbars) {
  // the window's own top toolbar carries Undo, Redo, Cut and Copy too
  plat::res::pushOverlay(R"(
RCDATA 31010
  16 1 32121 32127 32122 32123 0 0
END
BITMAP 31010 64 1
  COLOR . 808080
  ROWS
  ................................................................
END
)");
  int32_t n = 0, dialog = 0, width = 420, height = 260;
  YYChildWindowOpen(40, 30, width, height, n, kOptionSystemMenu | kOptionStatusBar, 0, {31010, 0, 0, 0}, dialog, 0, -1, "Notes");
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, kEdRichText, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  const plat::Hwnd own = Rec(n).EditorToolbar, top = Rec(n).WindowToolbars[0];
  ASSERT_TRUE(own);
  ASSERT_TRUE(top);
  Type(n, "one two");
  const plat::Hwnd e = Rec(n).EditControl;
  plat::CharRange c{4, 7};
  plat::sendMessage(e, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&c));
  plat::CharFormat f;
  f.mask = plat::cfm::Protected;
  f.effects = plat::cfe::Protected;
  plat::sendMessage(e, plat::emr::SetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
  auto on = [](plat::Hwnd bar, int id) { return (plat::test::toolbarButtonState(bar, id) & plat::tbstate::Enabled) != 0; };
  struct Case {
    int from, to;
    bool cut, copy, topCutCopy;
  } cases[] = {
      {2, 2, false, false, false},   // nothing selected
      {0, 3, true, true, true},      // plain text
      {4, 7, false, true, true},     // protected text is copied, not cut
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.from);
    c = {k.from, k.to};
    plat::sendMessage(e, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&c));
    EXPECT_EQ(on(own, kEdCmdCut), k.cut);
    EXPECT_EQ(on(own, kEdCmdCopy), k.copy);
    EXPECT_EQ(on(top, kEdCmdCut), k.topCutCopy);
    EXPECT_EQ(on(top, kEdCmdCopy), k.topCutCopy);
  }
  // typing can be undone, not redone; undoing it can be redone
  EXPECT_TRUE(on(top, kEdCmdUndo));
  EXPECT_FALSE(on(top, kEdCmdRedo));
  Command(n, kEdCmdUndo);
  EXPECT_TRUE(on(own, kEdCmdRedo));
  EXPECT_TRUE(on(top, kEdCmdRedo));
  // the program empties the undo buffer
  YYEditorClearUndo();
  EXPECT_FALSE(on(own, kEdCmdUndo));
  EXPECT_FALSE(on(own, kEdCmdRedo));
  plat::res::popOverlay();
}

// A bitmap resource of `images` 16 x 15 images side by side.
std::string ButtonStrip(int id, int images) {
  std::string t = "BITMAP " + std::to_string(id) + " " + std::to_string(16 * images) + " 15\n  COLOR . 808080\n  ROWS\n";
  for (int y = 0; y < 15; ++y) t += "  " + std::string(static_cast<size_t>(16 * images), '.') + "\n";
  return t + "END\n";
}

TEST_F(EditorTest, FormattingButtonsFollowTheSelection) {
  plat::res::pushOverlay(ButtonStrip(32101, 7) + ButtonStrip(2001, 2));
  const int32_t n = Editor(kEdRichText);
  const plat::Hwnd bar = Rec(n).EditorToolbar, e = Rec(n).EditControl;
  auto state = [&](int id) { return plat::test::toolbarButtonState(bar, id); };
  using plat::tbstate::Checked;
  using plat::tbstate::Enabled;
  using plat::tbstate::Indeterminate;
  EXPECT_EQ(state(kEdCmdAlignLeft), Enabled | Checked);
  EXPECT_LT(state(kEdCmdInsertPicture), 0) << "picture and link buttons only with extended formatting";
  int32_t s = 0;
  YYEditorSetText(s, "plain bold\r\nsecond");
  YYEditorCharFormat(s, 7, 10, 1, -1, -1, -1, -1, -2, -2, "");
  YYEditorParaFormat(s, 13, 18, -1, 1);
  struct Case {
    int from, to;
    int bold, left, centre;
  } cases[] = {
      {6, 10, Enabled | Checked, Enabled | Checked, Enabled},          // "bold"
      {0, 10, Enabled | Indeterminate, Enabled | Checked, Enabled},    // "plain bold"
      {0, -1, Enabled | Indeterminate, Enabled | Indeterminate, Enabled | Indeterminate},
      {12, 14, Enabled, Enabled, Enabled | Checked},                   // in the centred line
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.from);
    YYEditorSetSelection(Rec(n), k.from, k.to);
    EXPECT_EQ(state(kEdCmdBold), k.bold);
    EXPECT_EQ(state(kEdCmdAlignLeft), k.left);
    EXPECT_EQ(state(kEdCmdAlignCentre), k.centre);
    EXPECT_EQ(state(kEdCmdAlignRight), k.left & Indeterminate ? Enabled | Indeterminate : Enabled);
  }
  // the buttons' commands: Bold on a mixed selection makes it all bold,
  // Bullets puts bullets on its paragraph
  YYEditorSetSelection(Rec(n), 0, 10);
  plat::sendMessage(FrameOf(n), plat::wm::Command, kEdCmdBold, static_cast<plat::LParam>(bar.value));
  plat::sendMessage(FrameOf(n), plat::wm::Command, kEdCmdBullets, static_cast<plat::LParam>(bar.value));
  EXPECT_EQ(state(kEdCmdBold), Enabled | Checked);
  EXPECT_EQ(state(kEdCmdBullets), Enabled | Checked);
  EXPECT_EQ(plat::getMenuState(Rec(n).Menus[3], kEdCmdBullets, plat::mf::ByCommand) & plat::mf::Checked, plat::mf::Checked);
  // protected text greys them
  plat::CharFormat f;
  f.mask = plat::cfm::Protected;
  f.effects = plat::cfe::Protected;
  plat::sendMessage(e, plat::emr::SetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
  YYEditorSetSelection(Rec(n), 1, 3);
  EXPECT_EQ(state(kEdCmdItalic), 0);
  EXPECT_EQ(state(kEdCmdBold), Checked);

  // Which buttons an editor has: underline gives way to picture and link
  // with extended formatting; none for read-only or plain text, or when the
  // program has no button images.
  struct Kind {
    int32_t flags;
    bool pushed;
    bool bold, underline, picture;
  } kinds[] = {
      {kEdRichText | kEdExtended, true, true, false, true},
      {kEdRichText | kEdReadOnly, true, false, false, false},
      {0, true, false, false, false},
      {kEdRichText, false, false, false, false},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.flags);
    if (!k.pushed) plat::res::popOverlay();
    const plat::Hwnd b = Rec(Editor(k.flags)).EditorToolbar;
    EXPECT_EQ(plat::test::toolbarButtonState(b, kEdCmdBold) >= 0, k.bold);
    EXPECT_EQ(plat::test::toolbarButtonState(b, kEdCmdUnderline) >= 0, k.underline);
    EXPECT_EQ(plat::test::toolbarButtonState(b, kEdCmdInsertLink) >= 0, k.picture);
  }
}

TEST_F(EditorTest, TheTextLengthLeavesTheViewAndTheFocusAsTheyWere) {
  const int32_t n = Editor(0);
  const plat::Hwnd e = Rec(n).EditControl;
  YYEditorSetText(Ignored(), FortyLines());
  YYEditorScrollTo(10);
  plat::setFocus(e);
  plat::test::pump();
  plat::validateRect(e, nullptr);
  const int32_t length = static_cast<int32_t>(FortyLines().size());
  EXPECT_EQ(Info(n, 2), length) << "a line end counts two";
  EXPECT_TRUE(plat::isWindowVisible(e));
  EXPECT_EQ(plat::getFocus(), e);
  EXPECT_EQ(plat::sendMessage(e, plat::em::GetFirstVisibleLine), 10);
  EXPECT_FALSE(plat::getUpdateRect(e, nullptr, false)) << "nothing moved, nothing to repaint";
  // a frozen control stays hidden
  YYEditorFreeze(0);
  EXPECT_EQ(Info(n, 2), length);
  EXPECT_FALSE(plat::isWindowVisible(e));
  YYEditorFreeze(1);
  EXPECT_EQ(plat::sendMessage(e, plat::em::GetFirstVisibleLine), 10);
}

TEST_F(EditorTest, TheStreamRoutinesCopyTheWholeTextOutAndIn) {
  Editor(kEdRichText);
  int32_t s = 0;
  YYEditorSetText(s, "one\r\ntwo");
  YYEditorCharFormat(s, 6, 8, 1, -1, -1, -1, -1, -2, -2, "");
  int32_t size = 0;
  YYEditorMeasure(size);
  ASSERT_GT(size, 20);
  std::vector<uint8_t> rtf(static_cast<size_t>(size));
  YYEditorStreamOut(rtf.data(), size);
  EXPECT_EQ(std::string(rtf.begin(), rtf.begin() + 5), "{\\rtf");
  // memory smaller than the text takes no more than its size
  std::vector<uint8_t> part(static_cast<size_t>(size), 0xAA);
  YYEditorStreamOut(part.data(), 10);
  EXPECT_TRUE(std::equal(part.begin(), part.begin() + 10, rtf.begin()));
  EXPECT_EQ(std::count(part.begin() + 10, part.end(), 0xAA), size - 10);

  // streamed into another editor, the text comes back with its bold word
  const int32_t m = Editor(kEdRichText);
  YYEditorStreamIn(size, rtf.data());
  EXPECT_EQ(Text(m), "one\r\ntwo");
  YYEditorSetSelection(Rec(m), 4, 7);
  plat::CharFormat f;
  plat::sendMessage(Rec(m).EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
  EXPECT_TRUE((f.mask & plat::cfm::Bold) && (f.effects & plat::cfe::Bold));

  // plain text streams as it stands in a file; no editor, no bytes
  Editor(0);
  YYEditorSetText(s, "a\r\nb");
  YYEditorMeasure(size);
  std::vector<uint8_t> plain(static_cast<size_t>(size));
  YYEditorStreamOut(plain.data(), size);
  EXPECT_EQ(std::string(plain.begin(), plain.end()), "a\r\nb");
  Select(0);
  YYEditorMeasure(size);
  EXPECT_EQ(size, 0);
}

TEST_F(EditorTest, TheProgramsMenuBringsItsHelpTextsAndItsKeysAfterTheEditors) {
  plat::res::pushOverlay(R"(
MENU 9730
  POPUP "&Tools"
    ITEM "&Check" 40001
  END
END
MENUSTRINGS 9730
  40001 "Checks the notes"
END
ACCELERATORS 9730
  VIRTKEY K 40001 CTRL
  VIRTKEY F3 40002
END
)");
  auto command = [](uint32_t vk, unsigned mods) {
    plat::test::key(vk, mods);
    int32_t type = 0;
    EventRecord e{};
    for (int i = 0; i < 10 && type != EventMenuCommand; ++i) WEventPoll(type, e);
    return type == EventMenuCommand ? e[1] : -1;
  };
  // with the program's menu: its keys, and F3 stays Find Next
  const int32_t n = Child();
  Select(n);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 9730, 0, 3, 10, -1, -1, "", "");
  ASSERT_EQ(status, 0);
  // while its menu is open the program's item shows its help text
  const plat::Hwnd bar = WindowTables().StatusBar[static_cast<size_t>(n)];
  plat::sendMessage(FrameOf(n), plat::wm::EnterMenuLoop, 0, 0);
  plat::sendMessage(FrameOf(n), plat::wm::MenuSelect, plat::makeLParam(40001, 0),
                    static_cast<plat::LParam>(plat::getSubMenu(Rec(n).MenuBar, 3).value));
  EXPECT_EQ(plat::test::statusText(bar, plat::kSimplePart), "Checks the notes");
  plat::sendMessage(FrameOf(n), plat::wm::MenuSelect, plat::makeLParam(kEdCmdFind, 0),
                    static_cast<plat::LParam>(Rec(n).Menus[2].value));
  EXPECT_EQ(plat::test::statusText(bar, plat::kSimplePart), "Finds the specified text");
  plat::sendMessage(FrameOf(n), plat::wm::ExitMenuLoop, 0, 0);
  plat::setFocus(Rec(n).EditControl);
  EXPECT_EQ(command('K', plat::test::kCtrl), 40001);
  EXPECT_EQ(command(plat::vk::fn(3), plat::test::kNone), kEdCmdFindNext);
  // without a menu the editor's own keys still work
  const int32_t m = Editor(0);
  plat::setFocus(Rec(m).EditControl);
  EXPECT_EQ(command(plat::vk::fn(3), plat::test::kNone), kEdCmdFindNext);
  plat::res::popOverlay();
}

TEST_F(EditorTest, LockAndInsertKeysShowTheirStateInTheStatusBar) {
  const int32_t n = Editor(0);
  const plat::Hwnd bar = WindowTables().StatusBar[static_cast<size_t>(n)];
  ASSERT_TRUE(bar);
  plat::setFocus(Rec(n).EditControl);
  const bool capsWasOn = plat::getKeyState(plat::vk::Capital) & 1, numWasOn = plat::getKeyState(plat::vk::NumLock) & 1;
  struct Press {
    uint32_t key;
    int part;
    const char* shown;
  } presses[] = {
      {plat::vk::Insert, 3, "\tOVR"}, {plat::vk::Insert, 3, "\tINS"},
      {plat::vk::Capital, 1, capsWasOn ? "" : "\tCAPS"}, {plat::vk::Capital, 1, capsWasOn ? "\tCAPS" : ""},
      {plat::vk::NumLock, 2, numWasOn ? "" : "\tNUM"},
  };
  for (const Press& p : presses) {
    plat::test::key(p.key);
    plat::test::pump();
    EXPECT_EQ(plat::test::statusText(bar, p.part), p.shown) << p.key;
  }
}

TEST_F(EditorTest, TheFontDialogFormatsTheSelection) {
  const int32_t n = Editor(kEdRichText);
  YYEditorSetText(Ignored(), "one two");
  int32_t at = 4;
  YYEditorSelect(at, 7);
  plat::FontChoice font;
  font.face = "Times New Roman";
  font.pointSize10 = 180;
  font.weight = 700;
  font.italic = true;
  font.color = 0x008000;
  plat::test::answerFont(true, font);
  Command(n, kEdCmdFont);
  plat::CharRange c{4, 7};
  plat::sendMessage(Rec(n).EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&c));
  plat::CharFormat f;
  plat::sendMessage(Rec(n).EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
  EXPECT_EQ(f.face, "Times New Roman");
  EXPECT_EQ(f.height, 360);   // twips
  EXPECT_EQ(f.effects & (plat::cfe::Bold | plat::cfe::Italic), plat::cfe::Bold | plat::cfe::Italic);
  EXPECT_EQ(f.colour, 0x008000u);
  // the rest keeps its format
  c = {0, 3};
  plat::sendMessage(Rec(n).EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<plat::LParam>(&c));
  plat::sendMessage(Rec(n).EditControl, plat::emr::GetCharFormat, plat::scf::Selection, reinterpret_cast<plat::LParam>(&f));
  EXPECT_EQ(f.effects & plat::cfe::Bold, 0u);
}

TEST_F(EditorTest, LinePositionsCountLineEndsNotWrappedLines) {
  const int32_t n = Editor(kEdWordWrap);
  std::string text;
  for (int i = 0; i < 30; ++i) text += "word" + std::to_string(i) + " ";
  text += "\r\nlast\r\nend";
  YYEditorSetText(Ignored(), text);
  const plat::Hwnd e = Rec(n).EditControl;
  const int32_t lines = static_cast<int32_t>(plat::sendMessage(e, plat::em::GetLineCount));
  ASSERT_GE(lines, 4);   // the first paragraph wraps
  int32_t at = 0;
  YYEditorPosition(0, 1, at);   // a wrapped line: no line end before it
  EXPECT_EQ(at, static_cast<int32_t>(plat::sendMessage(e, plat::em::LineIndex, 1)));
  YYEditorPosition(0, lines - 2, at);
  EXPECT_EQ(at, static_cast<int32_t>(text.find("last")));
  YYEditorPosition(0, lines - 1, at);
  EXPECT_EQ(at, static_cast<int32_t>(text.find("end")));
  YYEditorPosition(1, static_cast<int32_t>(text.find("end")), at);
  EXPECT_EQ(at, lines - 1);
}

TEST_F(EditorTest, RevertingAnEditorLeavesNoneOfItsPartsBehind) {
  const std::string file = Path("kept.txt");
  testsupport::WriteFile(file, "text");
  const int32_t n = Editor(kEdModifiedMarker, file);
  const plat::Hwnd frame = FrameOf(n);
  const plat::Hwnd bar = WindowTables().StatusBar[static_cast<size_t>(n)];
  ASSERT_TRUE(plat::getMenu(frame));
  ASSERT_TRUE(plat::getDlgItem(frame, 1001));
  ASSERT_NE(plat::getWindowText(frame), "Notes");
  YYEditorRevert(n);
  EXPECT_EQ(YYEditorRecordOf(frame), nullptr);
  EXPECT_FALSE(plat::getMenu(frame));
  EXPECT_FALSE(WindowTables().Menu[static_cast<size_t>(n)]);
  EXPECT_FALSE(plat::getDlgItem(frame, 1001));   // the editor's toolbar
  EXPECT_FALSE(plat::getDlgItem(frame, kEditorControlId));
  EXPECT_EQ(plat::getWindowText(frame), "Notes");
  EXPECT_EQ(plat::sendMessage(bar, plat::sb::GetParts, 0, 0), 1);
  EXPECT_EQ(plat::test::statusText(bar, 0), "");
}

TEST_F(EditorTest, PlainPositionsCountALineEndAsTwo) {
  const int32_t n = Editor(0);
  YYEditorSetText(Ignored(), "ab\r\ncd");
  struct Case {
    int32_t plain, control;
  };
  for (const Case c : {Case{0, 0}, Case{2, 2}, Case{3, 2}, Case{4, 3}, Case{6, 5}, Case{50, 5}}) {
    int32_t a = 0, b = 0;
    YYEditorToRichPositions(c.plain, c.plain, a, b);
    EXPECT_EQ(a, c.control) << c.plain;
  }
  EXPECT_EQ(Info(n, 2), 6);
  int32_t line = 0;
  YYEditorPosition(0, 1, line);
  EXPECT_EQ(line, 4);
  std::string out;
  int32_t status = 0;
  YYEditorGetTextFrom(status, 7, out);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "ab\r\ncd");
  YYEditorGetTextFrom(status, 6, out);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(out, "ab\r\nc");
  int32_t start = 4;
  YYEditorPutText(start, 4, "X");
  EXPECT_EQ(Text(n), "ab\r\nXcd");
}

TEST_F(EditorTest, TheRichEditLevelFollowsTheModulesOffered) {
  struct Case {
    int offered;
    const char* cls;
  };
  for (const Case c : {Case{1, plat::kRichEdit10Class}, Case{2, plat::kRichEdit20Class}, Case{3, plat::kRichEdit20Class}}) {
    WShutdown();
    ResetToolkitForTest();
    ResetWindowManagerForTest();
    plat::test::reset();
    plat::offerRichEditModules(c.offered);
    WStartup(" ");
    OpenMainWindow();
    const int32_t n = Editor(0);
    EXPECT_EQ(Info(-1, 8), c.offered);
    EXPECT_EQ(plat::getClassName(Rec(n).EditControl), c.cls);
    // at every level the program's positions count a line end as two
    YYEditorSetText(Ignored(), "ab\r\ncd");
    int32_t a = 0, b = 0;
    YYEditorToRichPositions(4, 4, a, b);
    EXPECT_EQ(a, c.offered == 1 ? 4 : 3) << c.offered;
  }
}

TEST_F(EditorTest, TheHundredAndFirstHistoryEntryDropsTheOldest) {
  const int32_t n = Editor(kEdCommandHistory);
  EditorRecord& r = Rec(n);
  ASSERT_TRUE(r.CommandLine);
  plat::setFocus(r.CommandLineEdit);
  for (int i = 0; i <= 100; ++i) {
    plat::setWindowText(r.CommandLineEdit, "cmd " + std::to_string(i));
    plat::sendMessage(r.CommandLineEdit, plat::wm::Char, '\r', 0);
  }
  EXPECT_EQ(Info(n, 10), 100);
  std::string top, last;
  YYEditorGetHistory(0, top);
  YYEditorGetHistory(99, last);
  EXPECT_EQ(top, "cmd 100");
  EXPECT_EQ(last, "cmd 1");
  // blanks and a repeat of the top add nothing, but Enter still reaches the program
  ClearEvents();
  plat::setWindowText(r.CommandLineEdit, "   ");
  plat::sendMessage(r.CommandLineEdit, plat::wm::Char, '\r', 0);
  plat::setWindowText(r.CommandLineEdit, "cmd 100");
  plat::sendMessage(r.CommandLineEdit, plat::wm::Char, '\r', 0);
  EXPECT_EQ(Info(n, 10), 100);
  EXPECT_TRUE(HasEvent(EventEditorEnter));
}

TEST_F(EditorTest, PrintingEmptyTextOrSelectionMakesNoJob) {
  const int32_t n = Editor(0);
  int32_t status = -1;
  YYEditorPrintRange(status, -1, 0, "empty");
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(plat::recordedPages().empty());
  YYEditorSetText(status, "some text");
  int32_t at = 3;
  YYEditorSelect(at, 3);
  plat::test::answerPageSetup({});
  EXPECT_EQ(YYEditorPrint(FrameOf(n), Rec(n), 1, 1, 0, 0, ""), 1);
  EXPECT_TRUE(plat::recordedPages().empty());
  // a real text prints on pages, every line once
  std::string text;
  for (int i = 0; i < 150; ++i) text += "Printed line " + std::to_string(i) + "\r\n";
  YYEditorSetText(status, text);
  YYEditorPrintRange(status, -1, 0, "lines");
  EXPECT_EQ(status, 1);
  EXPECT_GE(plat::recordedPages().size(), 2u);
  EXPECT_EQ(plat::recordedDocName(), "lines");
}

TEST_F(EditorTest, APrintThatNoTextFitsOnSaysSoAndMakesNoJob) {
  const int32_t n = Editor(0);
  int32_t status = 0;
  YYEditorSetText(status, "a text that no page can hold");
  // a top margin that leaves no room for a line, in both page set-ups
  for (int32_t setup : {0, 1}) {
    int32_t height = 0, top = 0;
    YYEditorPageQuery(2, height, setup);
    YYEditorPageQuery(4, top, setup);
    YYEditorPageSet(4, top + height, setup);
  }
  // the program's print fails
  YYEditorPrintRange(status, -1, 0, "no room");
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(plat::recordedPages().empty());
  // the user's Print says so
  plat::test::clearShownDialogs();
  plat::test::answerPageSetup({});
  plat::test::answerMessageBox(plat::kIdOk);
  EXPECT_EQ(YYEditorPrint(FrameOf(n), Rec(n), 0, 1, 0, 0, ""), 0);
  EXPECT_EQ(CountShown("Nothing printed: no line of the text fits between the page's margins."), 1);
  EXPECT_TRUE(plat::recordedPages().empty());
}

TEST_F(EditorTest, BackupCopiesOnlyAFileThatExists) {
  const int32_t n = Editor(kEdBackup);
  int32_t status = 0;
  YYEditorSetText(status, "first");
  Rec(n).FileName = Path("b.txt");
  ASSERT_EQ(YYEditorSave(FrameOf(n), 0), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("b.txt.bak")));
  YYEditorSetText(status, "second");
  ASSERT_EQ(YYEditorSave(FrameOf(n), 0), 1);
  EXPECT_EQ(testsupport::ReadFile(Path("b.txt.bak")), "first");
  EXPECT_EQ(testsupport::ReadFile(Path("b.txt")), "second");
  // a command the editor does not know reaches the program
  Command(n, 40001);
  EXPECT_EQ(EventStore().StoredType, EventMenuCommand);
  EXPECT_EQ(EventStore().Stored[1], 40001);
}

TEST_F(EditorTest, MarginsSurviveASwitchOfUnitsWithinTheConversion) {
  YYEditorPageDefaults();
  ASSERT_EQ(EditorPageSetupBlock(1).margins.left, 1000);
  int32_t result = 0;
  plat::test::answerPageSetup({});
  YYEditorPageSetup(2, 1, result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(EditorPageSetupBlock(1).margins.left, 2540);
  plat::test::answerPageSetup({});
  YYEditorPageSetup(1, 1, result);
  EXPECT_EQ(EditorPageSetupBlock(1).margins.left, 999);
  int32_t v = 0;
  YYEditorPageQuery(3, v, 1);
  EXPECT_EQ(v, 71);   // points
  // orientation through the set routine
  YYEditorPageSet(5, 1, 0);
  YYEditorPageQuery(5, v, 0);
  EXPECT_EQ(v, 1);
}

}  // namespace

namespace {

class EditorPictureTest : public EditorTest {
 protected:
  // A rich-text editor with a heading, runs of each style and a bulleted list.
  int32_t FormattedEditor() {
    const int32_t n = Editor(kEdRichText | kEdWordWrap);
    const std::string text =
        "Field notes\r\n"
        "Plain, bold, italic and underlined words, a red one and a struck one, "
        "in a paragraph long enough to wrap at the window's width.\r\n"
        "First point\r\nSecond point\r\n"
        "Right-aligned closing line";
    int32_t s = 0;
    YYEditorSetText(s, text);
    // plain positions of a word: 1-based start, end after it
    auto at = [&](const std::string& word) {
      const int32_t p = static_cast<int32_t>(text.find(word));
      return std::pair<int32_t, int32_t>{p + 1, p + static_cast<int32_t>(word.size())};
    };
    auto [h1, h2] = at("Field notes");
    YYEditorParaFormat(s, h1, h2, -1, 1);
    YYEditorCharFormat(s, h1, h2, 1, -1, -1, -1, 16, -2, -2, "Times New Roman");
    auto [b1, b2] = at("bold");
    YYEditorCharFormat(s, b1, b2, 1, -1, -1, -1, -1, -2, -2, "");
    auto [i1, i2] = at("italic");
    YYEditorCharFormat(s, i1, i2, -1, 1, -1, -1, -1, -2, -2, "");
    auto [u1, u2] = at("underlined");
    YYEditorCharFormat(s, u1, u2, -1, -1, 1, -1, -1, -2, -2, "");
    auto [r1, r2] = at("red");
    YYEditorCharFormat(s, r1, r2, -1, -1, -1, -1, -1, 0x0000C0, -2, "");
    auto [s1, s2] = at("struck");
    YYEditorCharFormat(s, s1, s2, -1, -1, -1, 1, -1, -2, -2, "");
    auto [p1, p2] = at("First point\r\nSecond point");
    YYEditorParaFormat(s, p1, p2, 1, -1);
    auto [c1, c2] = at("Right-aligned");
    YYEditorParaFormat(s, c1, c2, -1, 2);
    YYEditorCaretTo(0);
    return n;
  }
};

TEST_F(EditorPictureTest, AnEditorWindowWithFormattedText) {
  const int32_t n = FormattedEditor();
  plat::test::pump();
  plat::Surface pic;
  ASSERT_TRUE(plat::test::windowPicture(FrameOf(n), true, pic));
  testsupport::ExpectGoldenPicture(pic, "editor_window.png");
}

TEST_F(EditorPictureTest, ScrollBarsShowAndMoveTheViewBothWays) {
  // lines longer and more than the window shows
  std::string text;
  for (int i = 0; i < 60; ++i)
    text += "Line " + std::to_string(i) + " of a sounding log, long enough to run past the right edge of the window.\r\n";
  struct Case {
    int32_t flags;
    bool sideways;
  };
  for (const Case c : {Case{0, true}, Case{kEdWordWrap, false}}) {
    SCOPED_TRACE(c.flags);
    const int32_t n = Editor(c.flags);
    const plat::Hwnd e = Rec(n).EditControl;
    plat::test::pump();
    // empty at first: nothing to scroll, and the bar comes when there is
    YYEditorSetText(Ignored(), text);
    plat::test::pump();
    plat::ScrollInfo v;
    ASSERT_TRUE(plat::getScrollInfo(e, plat::kSbVert, v));
    EXPECT_TRUE(plat::getWindowStyle(e) & plat::ws::VScroll);
    EXPECT_GE(v.max, 60);
    EXPECT_GT(v.page, 3u);
    EXPECT_LT(static_cast<int>(v.page), v.max);
    plat::sendMessage(e, plat::wm::VScroll, plat::kSbPageDown, 0);
    EXPECT_EQ(plat::sendMessage(e, plat::em::GetFirstVisibleLine), static_cast<plat::LResult>(plat::getScrollPos(e, plat::kSbVert)));
    EXPECT_GT(plat::getScrollPos(e, plat::kSbVert), 0);
    const plat::LResult before = plat::sendMessage(e, plat::em::PosFromChar, 0, 0);
    plat::sendMessage(e, plat::wm::HScroll, plat::kSbPageDown, 0);
    const plat::LResult after = plat::sendMessage(e, plat::em::PosFromChar, 0, 0);
    EXPECT_EQ((plat::getWindowStyle(e) & plat::ws::HScroll) != 0, c.sideways);
    if (c.sideways) {
      plat::ScrollInfo h;
      ASSERT_TRUE(plat::getScrollInfo(e, plat::kSbHorz, h));
      EXPECT_GT(h.max, static_cast<int>(h.page));
      EXPECT_GT(h.pos, 0);
      EXPECT_LT(static_cast<int16_t>(plat::loWord(static_cast<plat::WParam>(after))),
                static_cast<int16_t>(plat::loWord(static_cast<plat::WParam>(before))));
    } else {
      EXPECT_EQ(after, before);
    }
    if (c.sideways) {
      plat::test::pump();
      plat::Surface pic;
      ASSERT_TRUE(plat::test::windowPicture(FrameOf(n), true, pic));
      testsupport::ExpectGoldenPicture(pic, "editor_scroll_bars.png");
    }
    // emptied again, the text fits and the bars have nothing to scroll
    YYEditorSetText(Ignored(), "short");
    EXPECT_EQ(plat::getScrollPos(e, plat::kSbVert), 0);
  }
}

TEST_F(EditorPictureTest, TheCommandLineIsOneLineAboveTheStatusBarAndARecalledCommandIsReplacedByTyping) {
  const int32_t n = Editor(kEdCommandHistory);
  EditorRecord& r = Rec(n);
  ASSERT_TRUE(r.CommandLine);
  int32_t status = 0;
  YYEditorSetPrompt(status, "Command:");
  YYEditorSetText(Ignored(), "Text of the editor above its command line.");
  plat::Rect line, bar, edit;
  plat::getWindowRect(r.CommandLine, line);
  plat::getWindowRect(WindowTables().StatusBar[static_cast<size_t>(n)], bar);
  plat::getWindowRect(r.EditControl, edit);
  EXPECT_EQ(line.height(), r.CommandLineHeight);
  EXPECT_LE(line.bottom, bar.top);
  EXPECT_GE(line.top, edit.bottom);
  plat::setFocus(r.CommandLineEdit);
  plat::test::typeText("first\r");
  PollEvents();
  plat::test::typeText("second");
  PollEvents();
  EXPECT_EQ(plat::getWindowText(r.CommandLineEdit), "second");
  plat::test::key(plat::vk::Return);
  PollEvents();
  plat::test::key(plat::vk::Down);   // the older command, selected
  PollEvents();
  EXPECT_EQ(plat::getWindowText(r.CommandLineEdit), "first");
  plat::test::typeText("third");
  PollEvents();
  EXPECT_EQ(plat::getWindowText(r.CommandLineEdit), "third");
  plat::test::pump();
  plat::Surface pic;
  ASSERT_TRUE(plat::test::windowPicture(FrameOf(n), true, pic));
  testsupport::ExpectGoldenPicture(pic, "editor_command_line.png");
}

TEST_F(EditorPictureTest, PageOneOfAPrintedFile) {
  const int32_t n = FormattedEditor();
  (void)n;
  const std::string pdf = Path("printed.pdf");
  plat::setFilePrinterPath(pdf);
  plat::setPrintersForTest(true, false);
  plat::publishDefaultPrinter();
  ResetEditorPageSetupForTest();
  int32_t status = 0;
  YYEditorPrintRange(status, -1, 0, "Field notes");
  ASSERT_EQ(status, 1);
  std::string out;
  ASSERT_EQ(plat::print::runCapture({"pdftoppm", "-r", "50", "-f", "1", "-l", "1", "-png", pdf, Path("page")}, out, 60), 0);
  plat::Surface page;
  ASSERT_TRUE(plat::readPng(Path("page-1.png"), page));
  testsupport::ExpectGoldenPicture(page, "editor_printed_page.png");
  plat::setFilePrinterPath("");
}

}  // namespace
