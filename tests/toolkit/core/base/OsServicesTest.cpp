// The toolkit's operating-system services.
#include "toolkit/core/OsServices.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/os/Os.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScratchDir.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"

using testsupport::EnvOverride;
using testsupport::ReadFile;
using testsupport::ScratchDir;
using testsupport::WriteFile;

namespace {

class OsServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetErrorState(); }
  void TearDown() override {
    ResetErrorState();
    ResetCommandLineForTest();
  }
  std::string Word(int32_t n) {
    std::string text(20, '#');
    IOsCommandLineWord(n, text);
    return text;
  }
};

TEST_F(OsServicesTest, CommandLineWords) {
  plat::SetArgumentsForTest({"./prog", "my file.dat", "-x"});
  ResetCommandLineForTest();
  EXPECT_EQ(Word(1), "my file.dat         ");
  EXPECT_EQ(Word(2), "-x                  ");
  EXPECT_EQ(Word(3), std::string(20, ' '));
  EXPECT_EQ(Word(-1), std::string(20, ' '));
  EXPECT_EQ(IOsSystemInfo(2), 2);
  // Word 0 is the program's full path, whatever it was started as.
  std::string path(300, ' ');
  IOsCommandLineWord(0, path);
  EXPECT_EQ(path.substr(0, plat::ProgramPath().size()), plat::ProgramPath());
  EXPECT_EQ(path[0], '/');

  // Words come back exactly as they were given: double quotes, tabs,
  // letters beyond ASCII, blanks; an empty argument is no word.
  const std::vector<std::string> given = {"say \"hi\"", "\"quoted", "tab\there", "Zürich-Δ", "", "a\" \"b", "last"};
  std::vector<std::string> args = {"./prog"};
  args.insert(args.end(), given.begin(), given.end());
  plat::SetArgumentsForTest(args);
  ResetCommandLineForTest();
  std::vector<std::string> back;
  for (int32_t n = 1; n <= 7; ++n) {
    std::string text(40, '#');
    IOsCommandLineWord(n, text);
    back.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
  }
  EXPECT_EQ(back, (std::vector<std::string>{"say \"hi\"", "\"quoted", "tab\there", "Zürich-Δ", "a\" \"b", "last", ""}));
  EXPECT_EQ(IOsSystemInfo(2), 6);

  // A command text: an empty quoted pair is no word, an open quote runs to
  // the end.
  struct Case {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"a \"\" b", {"a", "b"}},
      {"\"x y\"z w", {"x y", "z", "w"}},
      {"a \"open ended", {"a", "open ended"}},
      {"   ", {}},
      {"one", {"one"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineWords(c.line), c.words) << c.line;
}

TEST_F(OsServicesTest, SystemInfoCodes) {
  EXPECT_EQ(IOsSystemInfo(1), 6);
  EXPECT_EQ(IOsSystemInfo(3), 501);
  EXPECT_EQ(IOsSystemInfo(6), 47);
  EXPECT_EQ(IOsSystemInfo(16), 4);
  EXPECT_EQ(IOsSystemInfo(18), 1);
  for (int code : {7, 10, 11, 19, 65, 67, 90, 165, 190}) EXPECT_EQ(IOsSystemInfo(code), 0) << code;
  EXPECT_GE(IOsSystemInfo(15), 0);
  EXPECT_GE(IOsSystemInfo(17), 0);
  EXPECT_LE(IOsSystemInfo(17), 2147155968);
  EXPECT_GE(IOsSystemInfo(21), 0);
  {
    EnvOverride l("LC_ALL", "C");
    EXPECT_EQ(IOsSystemInfo(20), '.');
  }
  ScratchDir dir;
  EXPECT_EQ(IOsSystemInfo(9), 0);
  IOsDirChange("/");
  EXPECT_EQ(IOsSystemInfo(9), 1);
}

TEST_F(OsServicesTest, CurrentDirectory) {
  ScratchDir dir;
  std::string cwd = std::filesystem::canonical(dir.path()).string();
  std::string text(cwd.size() + 3, '#');
  IOsDirName(text);
  EXPECT_EQ(text, cwd + "   ");
  std::string shortText(cwd.size() - 1, '#');
  IOsDirName(shortText);
  EXPECT_EQ(shortText, std::string(cwd.size() - 1, ' '));
  EXPECT_EQ(LastErrorCode(), 1023);

  ResetErrorState();
  IOsDirChange("missing   ");
  EXPECT_EQ(LastErrorCode(), 13);
  EXPECT_EQ(ErrorState().SecondaryStatus, ENOENT);
  ResetErrorState();
  IOsDirChange("   ");  // blank: nothing happens
  EXPECT_EQ(LastErrorCode(), 0);
}

TEST_F(OsServicesTest, DeleteWithWildcards) {
  ScratchDir dir;
  WriteFile("a.plt", "");
  WriteFile("b.plt", "");
  WriteFile("c.txt", "");
  std::filesystem::create_directory("keep.plt");
  IOsDeleteFile(dir / "*.plt");
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_FALSE(std::filesystem::exists("a.plt"));
  EXPECT_FALSE(std::filesystem::exists("b.plt"));
  EXPECT_TRUE(std::filesystem::exists("c.txt"));
  EXPECT_TRUE(std::filesystem::is_directory("keep.plt"));
  IOsDeleteFile("*.none");
  EXPECT_EQ(LastErrorCode(), 13);
  ResetErrorState();
  IOsDeleteFile("c.txt   ");
  EXPECT_FALSE(std::filesystem::exists("c.txt"));
  IOsDeleteFile("  ");
  EXPECT_EQ(LastErrorCode(), 0);
}

TEST_F(OsServicesTest, RenameNeverReplaces) {
  ScratchDir dir;
  WriteFile("a", "A");
  WriteFile("b", "B");
  IOsRenameFile("a", "b");
  EXPECT_EQ(LastErrorCode(), 13);
  EXPECT_EQ(ErrorState().SecondaryStatus, EEXIST);
  EXPECT_EQ(ReadFile("b"), "B");
  ResetErrorState();
  IOsRenameFile("a  ", "c  ");
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(ReadFile("c"), "A");
  IOsRenameFile("", "d");
  EXPECT_EQ(LastErrorCode(), 0);
}

// A file moves to another file system as the move it stands for does.
TEST_F(OsServicesTest, RenameMovesToAnotherFileSystem) {
  ScratchDir dir;
  struct stat here {}, shm {};
  if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  const std::string target = "/dev/shm/quillon-rename-" + std::to_string(::getpid());
  WriteFile("a.dat", "across");
  IOsRenameFile("a.dat", target);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_FALSE(std::filesystem::exists("a.dat"));
  EXPECT_EQ(ReadFile(target), "across");
  ::unlink(target.c_str());
}

TEST_F(OsServicesTest, CopyTargetsAndTheSameFile) {
  ScratchDir dir;
  WriteFile("a.dat", "AAA");
  std::filesystem::create_directory("out");

  IOsCopyFile("a.dat", "");  // the target becomes a.dat itself
  EXPECT_EQ(LastErrorCode(), 55);
  ResetErrorState();
  IOsCopyFile("./a.dat", "a.dat");  // one file under two names
  EXPECT_EQ(LastErrorCode(), 55);
  EXPECT_EQ(ReadFile("a.dat"), "AAA");

  ResetErrorState();
  IOsCopyFile("a.dat", "out/");
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(ReadFile("out/a.dat"), "AAA");
  WriteFile("a.dat", "new");
  IOsCopyFile("a.dat", "out/a.dat");  // replaces
  EXPECT_EQ(ReadFile("out/a.dat"), "new");
  IOsCopyFile("a.dat", "out");  // a directory as the target file
  EXPECT_EQ(LastErrorCode(), 13);

  // Wildcards: into a directory; onto themselves refused untouched.
  WriteFile("b.dat", "BBB");
  ResetErrorState();
  IOsCopyFile("*.dat", "out");
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(ReadFile("out/b.dat"), "BBB");
  IOsCopyFile("*.dat", "");
  EXPECT_EQ(LastErrorCode(), 55);
  EXPECT_EQ(ReadFile("a.dat"), "new");
  EXPECT_EQ(ReadFile("b.dat"), "BBB");
  ResetErrorState();
  IOsCopyFile("*.none", "out");
  EXPECT_EQ(LastErrorCode(), 13);
}

TEST_F(OsServicesTest, FullPathAndDate) {
  ScratchDir dir;
  std::string text(300, '#');
  IOsFullPathname("sub/../x.txt", text);
  std::string expect = std::filesystem::canonical(dir.path()).string() + "/x.txt";
  EXPECT_EQ(text.substr(0, expect.size() + 1), expect + " ");
  IOsFullPathname("   ", text);
  EXPECT_EQ(text, std::string(300, ' '));
  // A text too small for the whole path is refused, never given a cut one.
  std::string small(expect.size() - 1, '#');
  IOsFullPathname("x.txt", small);
  EXPECT_EQ(small, std::string(expect.size() - 1, ' '));
  EXPECT_EQ(LastErrorCode(), 1023);
  // Paths past the old 1023-character bound are given whole.
  std::string deep = "sub";
  while (deep.size() < 1100) deep += "/" + std::string(100, 'd');
  std::string wide(2000, '#');
  IOsFullPathname(deep + "/x.txt", wide);
  EXPECT_EQ(wide.substr(0, wide.find_last_not_of(' ') + 1), std::filesystem::canonical(dir.path()).string() + "/" + deep + "/x.txt");
  int32_t y = 0, m = 0, d = 0;
  IOsLocalDate(y, m, d);
  EXPECT_GE(y, 2000);
  EXPECT_TRUE(m >= 1 && m <= 12 && d >= 1 && d <= 31);
}

TEST_F(OsServicesTest, RegistryValues) {
  ScratchDir dir;
  EnvOverride x("XDG_CONFIG_HOME", dir.path().c_str());
  EXPECT_EQ(YYRegistryRootKey("hkey_local_machine"), static_cast<int32_t>(0x80000002u));
  EXPECT_EQ(YYRegistryRootKey("HKEY_LOCA"), -1);

  IOsRegistryPut("hkey_current_user\\Software\\Test", "  some value  ", "Name");
  EXPECT_EQ(LastErrorCode(), 0);
  std::string value(20, '#');
  IOsRegistryGet("HKEY_CURRENT_USER\\software\\test", &value, "name  ");
  EXPECT_EQ(value, "  some value        ");
  std::string tiny(5, '#');
  IOsRegistryGet("HKEY_CURRENT_USER\\Software\\Test", &tiny, "Name");
  EXPECT_EQ(tiny, "     ");
  EXPECT_EQ(LastErrorCode(), 1023);

  ResetErrorState();
  IOsRegistryGet("HKEY_CURRENT_USER\\Software\\Test", &value, "missing");
  EXPECT_EQ(value, std::string(20, ' '));
  IOsRegistryGet("HKEY_CURRENT_USER\\No\\Key", &value);
  EXPECT_EQ(value, std::string(20, ' '));
  EXPECT_EQ(LastErrorCode(), 0);

  IOsRegistryPut("HKEY_CURRENT_USER\\Software\\Test", std::string("a\0b", 3), "bin", 3);
  IOsRegistryGet("HKEY_CURRENT_USER\\Software\\Test", &value, "bin");
  EXPECT_EQ(value, std::string("a\0b", 3) + std::string(17, ' '));
  IOsRegistryPut("HKEY_CURRENT_USER\\Software\\Test", "default");
  IOsRegistryGet("HKEY_CURRENT_USER\\Software\\Test", &value);
  EXPECT_EQ(value, "default" + std::string(13, ' '));

  for (const char* bad : {"HKEY_NOWHERE\\x", "HKEY_CURRENT_USER"}) {
    ResetErrorState();
    IOsRegistryGet(bad, &value);
    EXPECT_EQ(LastErrorCode(), 1050) << bad;
    ResetErrorState();
    IOsRegistryPut(bad, "x");
    EXPECT_EQ(LastErrorCode(), 1050) << bad;
  }
}

// A key store that exists but cannot be read is never overwritten: the
// write is reported and the keys in it survive.
TEST_F(OsServicesTest, UnreadableKeyStoreIsNeverOverwritten) {
  ScratchDir dir;
  EnvOverride x("XDG_CONFIG_HOME", dir.path().c_str());
  IOsRegistryPut("HKEY_CURRENT_USER\\Software\\Kept", "kept", "Name");
  ASSERT_EQ(LastErrorCode(), 0);
  const std::string path = plat::RegistryPath();
  const std::string before = ReadFile(path);
  for (const std::string& d : {dir.path(), dir.path() + "/quillon"}) ASSERT_EQ(::chmod(d.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0222), 0);
  EXPECT_TRUE(testsupport::AsOrdinaryUser([] {
    IOsRegistryPut("HKEY_CURRENT_USER\\Software\\New", "lost", "Name");
    return LastErrorCode() == 13 && ErrorState().SecondaryStatus == EACCES;
  }));
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadFile(path), before);
  std::string value(10, '#');
  IOsRegistryGet("HKEY_CURRENT_USER\\Software\\Kept", &value, "Name");
  EXPECT_EQ(value, "kept      ");
}

TEST_F(OsServicesTest, LowerLayerFindInfoAndSwappedBlocks) {
  ScratchDir dir;
  WriteFile("one.bin", std::string(1500, 'z'));
  ASSERT_EQ(plat::FileSetTimes("one.bin", 0, plat::FromLocalTime({2001, 2, 3, 4, 5, 6, 0})), 0);
  std::string found;
  int32_t attributes = 0, when = 0, size = 0, status = 0;
  YYFileFind(0, "*.bin", found, attributes, when, size, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(found, "one.bin");
  EXPECT_EQ(attributes, kAttributeNormal);
  EXPECT_EQ(size, 1500);
  EXPECT_EQ(static_cast<uint32_t>(when) >> 16, (21u << 9) | (2u << 5) | 3u);
  EXPECT_EQ(static_cast<uint32_t>(when) & 0xFFFF, (4u << 11) | (5u << 5) | 3u);
  YYFileFind(1, "*.bin", found, attributes, when, size, status);
  EXPECT_EQ(status, 1);
  YYFileFindClose();

  int32_t y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, kb = 0;
  YYFileInfo("one.bin", size, y, mo, d, h, mi, s, attributes, kb);
  EXPECT_EQ(size, 1500);
  EXPECT_EQ(kb, 2);
  EXPECT_EQ(y * 10000 + mo * 100 + d, 20010203);
  YYFileInfo("missing", size, y, mo, d, h, mi, s, attributes, kb);
  EXPECT_EQ(size, -1);

  int32_t handle = -1;
  YYFileCreate("sw.bin", 1, handle, status);
  ASSERT_EQ(status, 0);
  const uint8_t items[] = {1, 2, 3, 4, 5, 6};
  int32_t written = 0;
  YYFileWriteSwapped(handle, items, 6, 2, written, status);
  EXPECT_EQ(written, 6);
  EXPECT_EQ(items[0], 1);  // the caller's buffer is left alone
  YYFileCloseOs(handle);
  EXPECT_EQ(ReadFile("sw.bin"), std::string("\2\1\4\3\6\5"));
  YYFileCreate("sw.bin", 0, handle, status);
  uint8_t back[6] = {};
  int32_t got = 0;
  YYFileReadSwapped(handle, back, 6, 3, got, status);
  EXPECT_EQ(got, 6);
  EXPECT_EQ(std::vector<uint8_t>(back, back + 6), (std::vector<uint8_t>{4, 1, 2, 5, 6, 3}));
  YYFileCloseOs(handle);

  std::array<int32_t, 6> times{};
  YYFileTimesGet("one.bin", times, status);
  ASSERT_EQ(status, 0);
  YYFileTimesCopy("one.bin", "sw.bin", status);
  ASSERT_EQ(status, 0);
  std::array<int32_t, 6> copied{};
  YYFileTimesGet("sw.bin", copied, status);
  EXPECT_EQ(copied[4], times[4]);
  EXPECT_EQ(copied[5], times[5]);
}

TEST_F(OsServicesTest, ExecuteWithArgumentVector) {
  ScratchDir dir;
  int32_t status = 0;
  YYExecute({"true"}, 1, 1, -1, status);
  EXPECT_EQ(status, 32);
  YYExecute({"sleep", "5"}, 1, 1, 0, status);
  EXPECT_EQ(status, -1);
  YYExecute({"no-such-program-quillon"}, 1, 1, -1, status);
  EXPECT_EQ(status, ENOENT);
  YYExecute({"touch", "started"}, 0, 0, 0, status);
  EXPECT_EQ(status, 32);
  int32_t result = 0;
  YYWinExec(result, "touch \"two words\"");
  EXPECT_EQ(result, 32);
}

}  // namespace
