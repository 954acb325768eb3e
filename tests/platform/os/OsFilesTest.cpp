// Files, directories and the wildcard search of the OS layer.
#include "platform/os/Os.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <iterator>

#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScratchDir.h"

using testsupport::ReadFile;
using testsupport::ScratchDir;
using testsupport::WriteFile;

TEST(OsWildcard, MatchesLikeTheDesktopConvention) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*.plt", "a.plt", true},       {"*.plt", "a.plt.bak", false},
      {"*.*", "README", true},        {"*.*", "a.b.c", true},
      {"*", "x", true},               {"a?c", "abc", true},
      {"a?c", "ac", false},           {"data.*", "data", true},
      {"data.*", "data.dat", true},   {"*.dat", "DATA.DAT", false},  // case-sensitive names
      {"q*z*", "qvzabc", true},       {"*a*b", "xaxbxb", true},
      {"", "", true},                 {"", "a", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plat::WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
  }
}

TEST(OsFind, ListsMatchesSortedWithDirectoriesMarked) {
  ScratchDir dir;
  WriteFile("b.plt", "b");
  WriteFile("a.plt", "aa");
  WriteFile("c.txt", "c");
  std::filesystem::create_directory("sub.plt");
  std::vector<plat::FoundFile> found;
  ASSERT_EQ(plat::FindFiles(dir / "*.plt", found), 0);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "a.plt");
  EXPECT_EQ(found[0].status.size, 2);
  EXPECT_EQ(found[1].name, "b.plt");
  EXPECT_TRUE(found[2].status.directory);
  // Relative pattern: the current directory.
  ASSERT_EQ(plat::FindFiles("c.*", found), 0);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(plat::FindFiles("*.none", found), ENOENT);
  EXPECT_TRUE(found.empty());
  EXPECT_NE(plat::FindFiles(dir / "missing/*", found), 0);
}

TEST(OsFiles, OpenModesReadWriteSeek) {
  ScratchDir dir;
  int h = 0;
  EXPECT_EQ(plat::FileOpen("missing", plat::kOpenRead, h), ENOENT);
  EXPECT_EQ(h, -1);
  EXPECT_EQ(plat::FileOpen("missing", plat::kOpenUpdate, h), ENOENT);
  EXPECT_EQ(plat::FileOpen("x", 3, h), EINVAL);

  WriteFile("f", "old contents");
  ASSERT_EQ(plat::FileOpen("f", plat::kOpenWrite, h), 0);  // empties it
  size_t n = 0;
  ASSERT_EQ(plat::FileWrite(h, "hello", 5, n), 0);
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(plat::FileClose(h), 0);
  EXPECT_EQ(ReadFile("f"), "hello");

  ASSERT_EQ(plat::FileOpen("f", plat::kOpenUpdate, h), 0);
  int64_t pos = -1;
  ASSERT_EQ(plat::FileSeek(h, 0, 2, pos), 0);
  EXPECT_EQ(pos, 5);
  ASSERT_EQ(plat::FileSeek(h, 1, 0, pos), 0);
  ASSERT_EQ(plat::FileWrite(h, "A", 1, n), 0);
  ASSERT_EQ(plat::FileSeek(h, 0, 0, pos), 0);
  char buf[16] = {};
  ASSERT_EQ(plat::FileRead(h, buf, sizeof buf, n), 0);
  EXPECT_EQ(std::string(buf, n), "hAllo");
  ASSERT_EQ(plat::FileRead(h, buf, sizeof buf, n), 0);
  EXPECT_EQ(n, 0u);  // end of file is no failure
  EXPECT_EQ(plat::FileSeek(h, -10, 0, pos), EINVAL);
  plat::FileClose(h);

  // A directory is never opened as a file; a closed handle fails cleanly.
  std::filesystem::create_directory("d");
  EXPECT_EQ(plat::FileOpen("d", plat::kOpenRead, h), EISDIR);
  EXPECT_EQ(plat::FileRead(-1, buf, 1, n), EBADF);
  EXPECT_EQ(plat::FileClose(-1), EBADF);
}

// A handle is refused once closed, also after its slot (and the system's
// descriptor) went to another file; the standard streams are no handles.
TEST(OsFiles, ClosedHandlesStayClosed) {
  ScratchDir dir;
  WriteFile("a", "first");
  WriteFile("b", "second");
  int a = -1, b = -1;
  ASSERT_EQ(plat::FileOpen("a", plat::kOpenRead, a), 0);
  ASSERT_EQ(plat::FileClose(a), 0);
  ASSERT_EQ(plat::FileOpen("b", plat::kOpenUpdate, b), 0);
  EXPECT_NE(a, b);
  char buf[16];
  size_t n = 0;
  EXPECT_EQ(plat::FileRead(a, buf, sizeof buf, n), EBADF);
  EXPECT_EQ(plat::FileWrite(a, "x", 1, n), EBADF);
  int64_t pos = 0;
  EXPECT_EQ(plat::FileSeek(a, 0, 2, pos), EBADF);
  EXPECT_EQ(plat::FileClose(a), EBADF);
  ASSERT_EQ(plat::FileRead(b, buf, sizeof buf, n), 0);
  EXPECT_EQ(std::string(buf, n), "second");
  EXPECT_EQ(plat::FileClose(b), 0);
  for (int standard : {0, 1, 2}) {
    EXPECT_EQ(plat::FileWrite(standard, "x", 1, n), EBADF) << standard;
    EXPECT_EQ(plat::FileRead(standard, buf, 1, n), EBADF) << standard;
  }
}

// Names that are no regular file are refused at once, never waited on.
TEST(OsFiles, NoRegularFileIsRefusedAtOnce) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  std::filesystem::create_directory("d");
  int h = 0;
  for (int mode : {plat::kOpenRead, plat::kOpenUpdate}) {
    EXPECT_EQ(plat::FileOpen("pipe", mode, h), ENOTSUP);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(plat::FileOpen("/dev/null", mode, h), ENOTSUP);
  }
  EXPECT_EQ(plat::FileCopy("pipe", "copy"), ENOTSUP);
  EXPECT_EQ(plat::FileCopy("/dev/zero", "copy"), ENOTSUP);
  EXPECT_EQ(plat::FileCopy("d", "copy"), EISDIR);
  EXPECT_FALSE(plat::PathExists("copy"));
  // Nor is one replaced by a whole file.
  EXPECT_EQ(plat::FileWriteWhole("pipe", "x"), ENOTSUP);
}

// A file moves to another file system as a whole copy, with its bits and
// times; the source goes only then, and an existing target is never
// replaced.
TEST(OsFiles, RenameMovesAcrossFileSystems) {
  ScratchDir dir;
  struct stat here, shm;
  if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  ScratchDir other;  // made current; the source lies in the first one
  const std::string target = "/dev/shm/quillon-move-" + std::to_string(::getpid());
  WriteFile(dir / "a.dat", "moved bytes");
  ASSERT_EQ(::chmod((dir / "a.dat").c_str(), 0640), 0);
  ASSERT_EQ(plat::FileSetTimes(dir / "a.dat", 1000000000, 1000000060), 0);
  WriteFile(target, "already there");
  EXPECT_EQ(plat::FileRenameNoReplace(dir / "a.dat", target), EEXIST);
  EXPECT_EQ(ReadFile(target), "already there");
  EXPECT_EQ(ReadFile(dir / "a.dat"), "moved bytes");
  ASSERT_EQ(::unlink(target.c_str()), 0);

  ASSERT_EQ(plat::FileRenameNoReplace(dir / "a.dat", target), 0);
  EXPECT_FALSE(plat::PathExists(dir / "a.dat"));
  EXPECT_EQ(ReadFile(target), "moved bytes");
  struct stat moved;
  ASSERT_EQ(::stat(target.c_str(), &moved), 0);
  EXPECT_EQ(moved.st_mode & 07777, 0640u);
  EXPECT_EQ(moved.st_mtim.tv_sec, 1000000060);
  ::unlink(target.c_str());
}

TEST(OsFiles, RenameNeverReplaces) {
  ScratchDir dir;
  WriteFile("a", "A");
  WriteFile("b", "B");
  EXPECT_EQ(plat::FileRenameNoReplace("a", "b"), EEXIST);
  EXPECT_EQ(ReadFile("a"), "A");
  EXPECT_EQ(ReadFile("b"), "B");
  EXPECT_EQ(plat::FileRenameNoReplace("a", "c"), 0);
  EXPECT_FALSE(plat::PathExists("a"));
  EXPECT_EQ(ReadFile("c"), "A");
  EXPECT_EQ(plat::FileRenameNoReplace("nothing", "d"), ENOENT);
}

TEST(OsFiles, CopyOverwritesButNeverOntoItself) {
  ScratchDir dir;
  WriteFile("a.dat", "source bytes");
  WriteFile("b.dat", "old");
  EXPECT_EQ(plat::FileCopy("a.dat", "b.dat"), 0);
  EXPECT_EQ(ReadFile("b.dat"), "source bytes");
  // One file under two names: refused, and the bytes survive.
  EXPECT_TRUE(plat::SameFile("./a.dat", dir / "a.dat"));
  EXPECT_EQ(plat::FileCopy("./a.dat", "a.dat"), EEXIST);
  std::filesystem::create_hard_link("a.dat", "link.dat");
  EXPECT_EQ(plat::FileCopy("a.dat", "link.dat"), EEXIST);
  EXPECT_EQ(ReadFile("a.dat"), "source bytes");
  std::filesystem::create_directory("out");
  EXPECT_EQ(plat::FileCopy("a.dat", "out"), EISDIR);
  EXPECT_EQ(plat::FileCopy("missing", "x"), ENOENT);
  EXPECT_FALSE(plat::SameFile("a.dat", "b.dat"));
}

TEST(OsFiles, FailedCopyKeepsTheOldTarget) {
  ScratchDir dir;
  WriteFile("b.dat", "old target");
  // A source that opens but cannot be read.
  EXPECT_EQ(plat::FileCopy("/proc/self/mem", "b.dat"), EIO);
  EXPECT_EQ(ReadFile("b.dat"), "old target");
  std::vector<plat::FoundFile> found;
  ASSERT_EQ(plat::FindFiles("*", found), 0);
  EXPECT_EQ(found.size(), 1u);  // no half-written copy left behind
}

TEST(OsFiles, WholeFileWriteReplacesOnlyWhenComplete) {
  ScratchDir dir;
  const auto entries = [&] {
    return std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator());
  };
  WriteFile("a.dat", "old");
  EXPECT_EQ(plat::FileWriteWhole("a.dat", "new bytes"), 0);
  EXPECT_EQ(ReadFile("a.dat"), "new bytes");
  EXPECT_EQ(plat::FileWriteWhole("missing/a.dat", "x"), ENOENT);
  // A target that cannot be replaced keeps what it was; no temporary file stays.
  std::filesystem::create_directory("d");
  EXPECT_EQ(plat::FileWriteWhole("d", "x"), EISDIR);
  EXPECT_TRUE(std::filesystem::is_directory("d"));
  EXPECT_EQ(entries(), 2);

  // A file marked failed, or abandoned, leaves the old one as it was.
  plat::WholeFileWriter w;
  ASSERT_EQ(plat::WholeFileBegin(w, "a.dat"), 0);
  EXPECT_EQ(plat::WholeFileWrite(w, "half"), 0);
  plat::WholeFileFail(w, EINVAL);
  EXPECT_EQ(plat::WholeFileWrite(w, "more"), EINVAL);
  EXPECT_EQ(plat::WholeFileCommit(w), EINVAL);
  ASSERT_EQ(plat::WholeFileBegin(w, "a.dat"), 0);
  EXPECT_EQ(plat::WholeFileWrite(w, "other"), 0);
  plat::WholeFileAbandon(w);
  EXPECT_EQ(ReadFile("a.dat"), "new bytes");
  EXPECT_EQ(entries(), 2);

  // A full disk: the writes fail, the old file stays.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_EQ(plat::FileWriteWhole("a.dat", std::string(200000, 'x')), EFBIG);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadFile("a.dat"), "new bytes");
  EXPECT_EQ(entries(), 2);
}

// A new file gets 0666 less the umask; a replaced one keeps its bits; a
// link is written through; a file the user may not write is refused; a
// name as long as the file system allows can be written.
TEST(OsFiles, WholeFileKeepsWhatTheUserSet) {
  ScratchDir dir;
  const mode_t mask = ::umask(027);
  EXPECT_EQ(plat::FileWriteWhole("new.dat", "n"), 0);
  struct stat st;
  ASSERT_EQ(::stat("new.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  ::umask(022);
  EXPECT_EQ(plat::FileWriteWhole("new2.dat", "n"), 0);
  ASSERT_EQ(::stat("new2.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);

  ASSERT_EQ(::chmod("new.dat", 0604), 0);
  EXPECT_EQ(plat::FileWriteWhole("new.dat", "replaced"), 0);
  ASSERT_EQ(::stat("new.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);

  std::filesystem::create_directory("real");
  WriteFile("real/target.dat", "old");
  std::filesystem::create_symlink("real/target.dat", "link.dat");
  std::filesystem::create_symlink("link.dat", "link2.dat");
  EXPECT_EQ(plat::FileWriteWhole("link2.dat", "through"), 0);
  EXPECT_TRUE(std::filesystem::is_symlink("link.dat"));
  EXPECT_TRUE(std::filesystem::is_symlink("link2.dat"));
  EXPECT_EQ(ReadFile("real/target.dat"), "through");
  std::filesystem::create_symlink("real/dangling.dat", "dangling.dat");
  EXPECT_EQ(plat::FileWriteWhole("dangling.dat", "made"), 0);
  EXPECT_EQ(ReadFile("real/dangling.dat"), "made");
  EXPECT_TRUE(std::filesystem::is_symlink("dangling.dat"));

  const std::string longName(255, 'n');
  EXPECT_EQ(plat::FileWriteWhole(longName, "long"), 0);
  EXPECT_EQ(ReadFile(longName), "long");
  EXPECT_EQ(plat::FileWriteWhole(longName + "n", "too long"), ENAMETOOLONG);

  WriteFile("locked.dat", "keep");
  ASSERT_EQ(::chmod("locked.dat", 0444), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  const std::string locked = dir / "locked.dat";
  EXPECT_TRUE(testsupport::AsOrdinaryUser([&] { return plat::FileWriteWhole(locked, "lost") == EACCES; }));
  EXPECT_EQ(ReadFile("locked.dat"), "keep");
  ::umask(mask);
}

TEST(OsFiles, DeleteSkipsDirectories) {
  ScratchDir dir;
  WriteFile("a", "A");
  std::filesystem::create_directory("d");
  EXPECT_EQ(plat::FileDelete("a"), 0);
  EXPECT_FALSE(plat::PathExists("a"));
  EXPECT_EQ(plat::FileDelete("d"), EISDIR);
  EXPECT_TRUE(plat::IsDirectory("d"));
  EXPECT_EQ(plat::FileDelete("a"), ENOENT);
}

TEST(OsFiles, StatTimesAndReadOnly) {
  ScratchDir dir;
  WriteFile(".hidden", "12345");
  plat::FileStatus st;
  ASSERT_EQ(plat::FileStat(".hidden", st), 0);
  EXPECT_EQ(st.size, 5);
  EXPECT_TRUE(st.hidden);
  EXPECT_FALSE(st.directory);
  ASSERT_EQ(plat::FileSetTimes(".hidden", 1000000000, 1000000060), 0);
  ASSERT_EQ(plat::FileStat(".hidden", st), 0);
  EXPECT_EQ(st.modified, 1000000060);
  EXPECT_EQ(st.accessed, 1000000000);
  ASSERT_EQ(plat::FileSetReadOnly(".hidden", true), 0);
  ASSERT_EQ(plat::FileStat(".hidden", st), 0);
  EXPECT_TRUE(st.readOnly);
  EXPECT_EQ(plat::FileStat("missing", st), ENOENT);
}

TEST(OsDirectories, CurrentCreateRemoveAndFullPath) {
  ScratchDir dir;
  std::string cwd;
  ASSERT_EQ(plat::DirGet(cwd), 0);
  EXPECT_EQ(cwd, std::filesystem::canonical(dir.path()).string());
  ASSERT_EQ(plat::DirCreate("sub"), 0);
  EXPECT_EQ(plat::DirCreate("sub"), EEXIST);
  ASSERT_EQ(plat::DirSet("sub"), 0);
  ASSERT_EQ(plat::DirGet(cwd), 0);
  EXPECT_EQ(cwd.substr(cwd.size() - 4), "/sub");
  EXPECT_EQ(plat::DirSet("missing"), ENOENT);
  ASSERT_EQ(plat::DirSet(".."), 0);
  EXPECT_EQ(plat::DirRemove("sub"), 0);

  std::string full;
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"/a/./b/../c", "/a/c"}, {"/", "/"}, {"/..", "/"}, {"//x//y/", "/x/y/"}, {"/a/b/..", "/a"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(plat::FullPath(c.in, full), 0);
    EXPECT_EQ(full, c.out) << c.in;
  }
  ASSERT_EQ(plat::FullPath("not/there.txt", full), 0);  // need not exist
  EXPECT_EQ(full, std::filesystem::canonical(dir.path()).string() + "/not/there.txt");
  EXPECT_EQ(plat::FullPath("", full), ENOENT);
}
