// Environment, arguments, processes, temporary files and the key store of
// the OS layer.
#include "platform/os/Os.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <set>

#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScratchDir.h"

using testsupport::EnvOverride;
using testsupport::ReadFile;
using testsupport::ScratchDir;
using testsupport::WriteFile;

TEST(OsEnvironment, GetSetUnset) {
  std::string v;
  ASSERT_EQ(plat::EnvSet("QUILLON_TEST_VAR", "a b"), 0);
  EXPECT_TRUE(plat::EnvGet("QUILLON_TEST_VAR", v));
  EXPECT_EQ(v, "a b");
  ASSERT_EQ(plat::EnvUnset("QUILLON_TEST_VAR"), 0);
  EXPECT_FALSE(plat::EnvGet("QUILLON_TEST_VAR", v));
  EXPECT_EQ(v, "");
  EXPECT_EQ(plat::EnvSet("BAD=NAME", "x"), EINVAL);
}

TEST(OsProgram, CommandLineQuotesWordsWithBlanks) {
  plat::SetArgumentsForTest({"prog", "my file.dat", "-x", ""});
  EXPECT_EQ(plat::CommandLine(), "prog \"my file.dat\" -x \"\"");
  EXPECT_EQ(plat::Arguments().size(), 4u);
  // The program's own path is absolute whatever the first argument says.
  ASSERT_FALSE(plat::ProgramPath().empty());
  EXPECT_EQ(plat::ProgramPath()[0], '/');
  EXPECT_TRUE(plat::PathExists(plat::ProgramPath()));
}

TEST(OsTemp, DirectoryFromTempThenTmpThenDefault) {
  {
    EnvOverride t("TEMP", "/var/x"), u("TMP", "/other/");
    EXPECT_EQ(plat::TempDirectory(), "/var/x/");
  }
  {
    EnvOverride t("TEMP", nullptr), u("TMP", "/other/");
    EXPECT_EQ(plat::TempDirectory(), "/other/");
  }
  {
    EnvOverride t("TEMP", nullptr), u("TMP", nullptr);
    EXPECT_EQ(plat::TempDirectory(), "/tmp/");
  }
}

TEST(OsTemp, FilesAreNewAndKeepPrefixAndExtension) {
  ScratchDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 5; ++i) {
    std::string path;
    ASSERT_EQ(plat::CreateTempFile(dir.path(), "qvz", ".plt", path), 0);
    EXPECT_EQ(path.rfind(dir.path() + "/qvz", 0), 0u) << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".plt");
    EXPECT_TRUE(plat::PathExists(path));
    names.insert(path);
  }
  EXPECT_EQ(names.size(), 5u);
  std::string path;
  EXPECT_NE(plat::CreateTempFile(dir / "missing", "qvz", ".plt", path), 0);
  EXPECT_EQ(path, "");
}

TEST(OsProcess, SpawnWithArgumentVector) {
  ScratchDir dir;
  plat::SpawnOutcome out;
  ASSERT_EQ(plat::Spawn({"true"}, true, -1, out), 0);
  EXPECT_TRUE(out.ended);
  EXPECT_EQ(out.exitStatus, 0);
  ASSERT_EQ(plat::Spawn({"false"}, true, 10, out), 0);
  EXPECT_TRUE(out.ended);
  EXPECT_EQ(out.exitStatus, 1);
  // An argument with shell characters reaches the program as one word.
  ASSERT_EQ(plat::Spawn({"touch", "a b;c$(x)"}, true, -1, out), 0);
  EXPECT_TRUE(plat::PathExists("a b;c$(x)"));
  EXPECT_EQ(plat::Spawn({"no-such-program-quillon"}, true, -1, out), ENOENT);
  EXPECT_EQ(plat::Spawn({}, true, -1, out), ENOENT);
  // A zero time-out returns at once while the process still runs.
  ASSERT_EQ(plat::Spawn({"sleep", "5"}, true, 0, out), 0);
  EXPECT_FALSE(out.ended);
  ASSERT_EQ(plat::Spawn({"true"}, false, -1, out), 0);
  EXPECT_FALSE(out.ended);
}

namespace {
uint32_t gFakeTicks = 0;
uint32_t FakeTicks() { return gFakeTicks; }
}  // namespace

TEST(OsTime, TickSourceAndLocalTimeRoundTrip) {
  gFakeTicks = 0xFFFFFFF0u;
  plat::SetTickSource(FakeTicks);
  EXPECT_EQ(plat::TickCount(), 0x7FFFFFF0u);  // top bit cleared
  plat::SetTickSource(nullptr);
  EXPECT_LT(plat::TickCount(), 0x80000000u);

  plat::LocalTime t = plat::LocalNow();
  EXPECT_GE(t.year, 2000);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
  EXPECT_GE(t.day, 1);
  EXPECT_LE(t.day, 31);
  plat::LocalTime u = plat::ToLocalTime(1234567890);
  EXPECT_EQ(plat::FromLocalTime(u), 1234567890);
}

TEST(OsLocale, DecimalSeparatorFollowsTheUserLocale) {
  EnvOverride a("LC_ALL", "C"), b("LC_NUMERIC", nullptr), c("LANG", nullptr);
  EXPECT_EQ(plat::DecimalSeparator(), '.');
}

TEST(OsRegistry, RoundTripCaseInsensitiveKeysAndValues) {
  ScratchDir dir;
  EnvOverride x("XDG_CONFIG_HOME", dir.path().c_str());
  EXPECT_EQ(plat::RegistryPath(), dir.path() + "/quillon/registry");
  int type = 0;
  std::vector<uint8_t> data;
  EXPECT_EQ(plat::RegistryRead(1, "Software\\Test", "v", type, data), ENOENT);
  EXPECT_FALSE(plat::PathExists(plat::RegistryPath()));  // created on first write

  std::vector<uint8_t> text = {'a', ' ', 'b', 0};
  ASSERT_EQ(plat::RegistryWrite(1, "Software\\Test", "Name", 1, text), 0);
  ASSERT_EQ(plat::RegistryWrite(1, "Software\\Test", "", 3, {0, 0xFF, '\n'}), 0);
  ASSERT_EQ(plat::RegistryRead(1, "SOFTWARE\\test", "name", type, data), 0);
  EXPECT_EQ(type, 1);
  EXPECT_EQ(data, text);
  ASSERT_EQ(plat::RegistryRead(1, "Software\\Test\\", "", type, data), 0);
  EXPECT_EQ(type, 3);
  EXPECT_EQ(data, (std::vector<uint8_t>{0, 0xFF, '\n'}));
  EXPECT_EQ(plat::RegistryRead(1, "Software\\Test", "other", type, data), ENODATA);
  EXPECT_EQ(plat::RegistryRead(2, "Software\\Test", "name", type, data), ENOENT);
  // Parents exist; a key with subkeys is not deleted.
  EXPECT_EQ(plat::RegistryRead(1, "Software", "x", type, data), ENODATA);
  EXPECT_EQ(plat::RegistryDeleteKey(1, "Software"), ENOTEMPTY);
  EXPECT_EQ(plat::RegistryDeleteValue(1, "Software\\Test", "NAME"), 0);
  EXPECT_EQ(plat::RegistryRead(1, "Software\\Test", "name", type, data), ENODATA);
  EXPECT_EQ(plat::RegistryDeleteKey(1, "Software\\Test"), 0);
  EXPECT_EQ(plat::RegistryRead(1, "Software\\Test", "", type, data), ENOENT);
  EXPECT_EQ(plat::RegistryWrite(7, "x", "y", 1, {}), EINVAL);
}

TEST(OsRegistry, DamagedLinesAreSkipped) {
  ScratchDir dir;
  EnvOverride x("XDG_CONFIG_HOME", dir.path().c_str());
  ASSERT_EQ(plat::RegistryWrite(0, "k", "v", 4, {1, 2, 3, 4}), 0);
  std::string text = ReadFile(plat::RegistryPath());
  WriteFile(plat::RegistryPath(), "garbage\nV 0 6b 76 4 zz\nV 9 6b 76 4 00\nK 0\n" + text);
  int type = 0;
  std::vector<uint8_t> data;
  ASSERT_EQ(plat::RegistryRead(0, "K", "V", type, data), 0);
  EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3, 4}));
}

// A store that exists but cannot be read is never replaced: a write fails
// and the keys in it survive.
TEST(OsRegistry, UnreadableStoreIsNeverOverwritten) {
  ScratchDir dir;
  EnvOverride x("XDG_CONFIG_HOME", dir.path().c_str());
  ASSERT_EQ(plat::RegistryWrite(1, "Software\\Kept", "v", 1, {'k', 0}), 0);
  const std::string path = plat::RegistryPath();
  const std::string before = ReadFile(path);
  for (const std::string& d : {dir.path(), dir.path() + "/quillon"}) ASSERT_EQ(::chmod(d.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0222), 0);  // writable, not readable
  EXPECT_TRUE(testsupport::AsOrdinaryUser([] {
    int type = 0;
    std::vector<uint8_t> data;
    return plat::RegistryWrite(1, "Software\\New", "v", 1, {'n', 0}) == EACCES &&
           plat::RegistryCreateKey(1, "Software\\Other") == EACCES &&
           plat::RegistryRead(1, "Software\\Kept", "v", type, data) == EACCES;
  }));
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadFile(path), before);
}
