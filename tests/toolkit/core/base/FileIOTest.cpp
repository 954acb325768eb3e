// The binary file layer and buffer compression.
#include "toolkit/core/FileIO.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ScratchDir.h"
#include "toolkit/core/ErrorReporter.h"

using testsupport::ReadFile;
using testsupport::ScratchDir;
using testsupport::WriteFile;

namespace {

class FileIOTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetErrorState(); }
  void TearDown() override { ResetErrorState(); }
};

TEST_F(FileIOTest, OpenModesAndTheirFailures) {
  ScratchDir dir;
  FileHandle h = 0;
  for (int mode : {0, 2}) {
    IFileOpen("missing.bin", mode, h);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(LastErrorCode(), 1);
    EXPECT_EQ(ErrorState().OsErrorKind, 2);
    EXPECT_EQ(ErrorState().OsErrorNumber, ENOENT);
  }
  // Bad mode or blank name: error 1 with no system error.
  for (auto [name, mode] : {std::pair{"a.bin", 3}, std::pair{"a.bin", -1}, std::pair{"    ", 1}}) {
    ResetErrorState();
    IFileOpen(name, mode, h);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(LastErrorCode(), 1);
    EXPECT_EQ(ErrorState().OsErrorNumber, 0);
  }
  EXPECT_FALSE(std::filesystem::exists("a.bin"));

  WriteFile("old.bin", "previous contents");
  ResetErrorState();
  IFileOpen("  old.bin  ", 1, h);  // blanks around the name are ignored; mode 1 empties
  ASSERT_GE(h, 0);
  EXPECT_EQ(LastErrorCode(), 0);
  YYFileCloseHandle(h);
  EXPECT_EQ(ReadFile("old.bin"), "");
}

TEST_F(FileIOTest, ReadWriteSeekStatuses) {
  ScratchDir dir;
  WriteFile("thirty.bin", std::string(30, 'x'));
  FileHandle h = -1;
  IFileOpen("thirty.bin", 2, h);
  ASSERT_GE(h, 0);
  std::vector<uint8_t> buf(100);
  int32_t count = 0;
  IFileReadChar(h, buf, 100, count);
  EXPECT_EQ(count, 30);
  IFileReadChar(h, buf, 100, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(LastErrorCode(), 0);

  int32_t offset = 0;
  IFileSeek(h, offset, 2);
  EXPECT_EQ(offset, 30);
  offset = 5;
  IFileSeek(h, offset, 3);  // unknown origin: nothing at all
  EXPECT_EQ(offset, 5);
  offset = 2;
  IFileSeek(h, offset, 0);
  EXPECT_EQ(offset, 2);
  std::string text = "AB";
  IFileWriteChar(h, std::span<const char>(text), 2, count);
  EXPECT_EQ(count, 2);
  offset = -3;
  IFileSeek(h, offset, 1);
  EXPECT_EQ(offset, 1);
  offset = -100;
  IFileSeek(h, offset, 1);
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(LastErrorCode(), 2);
  YYFileCloseHandle(h);
  EXPECT_EQ(ReadFile("thirty.bin"), "xxAB" + std::string(26, 'x'));
}

TEST_F(FileIOTest, CountsBeyondTheBufferAndBadHandlesAreRefused) {
  ScratchDir dir;
  WriteFile("f.bin", std::string(64, 'y'));
  FileHandle h = -1;
  IFileOpen("f.bin", 0, h);
  ASSERT_GE(h, 0);
  std::vector<char> small(8, '.');
  int32_t count = 0;
  IFileReadChar(h, std::span<char>(small), 64, count);
  EXPECT_EQ(count, -1);
  EXPECT_EQ(LastErrorCode(), 2);
  EXPECT_EQ(std::string(small.begin(), small.end()), "........");
  IFileWriteChar(h, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("abc"), 3), 4, count);
  EXPECT_EQ(count, -1);
  // Writing to a file opened for reading fails with the system's error.
  ResetErrorState();
  IFileWriteChar(h, std::span<const char>("abc", 3), 3, count);
  EXPECT_EQ(count, -1);
  EXPECT_EQ(LastErrorCode(), 2);
  EXPECT_EQ(ErrorState().OsErrorNumber, EBADF);
  YYFileCloseHandle(h);

  // A closed or never-opened handle gives errors, not crashes.
  for (FileHandle bad : {-1, h}) {
    ResetErrorState();
    IFileReadChar(bad, std::span<char>(small), 4, count);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(LastErrorCode(), 2);
    int32_t offset = 0;
    IFileSeek(bad, offset, 0);
    EXPECT_EQ(offset, -1);
  }
  YYFileCloseHandle(-1);
}

// A handle closed stays closed even when the next file takes its place;
// standard input, output and error are no handles; a name that is no
// regular file is refused at once.
TEST_F(FileIOTest, ClosedHandlesStandardStreamsAndPipesAreRefused) {
  ScratchDir dir;
  WriteFile("a.bin", "first");
  WriteFile("b.bin", "second");
  FileHandle a = -1, b = -1;
  IFileOpen("a.bin", 0, a);
  ASSERT_GE(a, 0);
  YYFileCloseHandle(a);
  IFileOpen("b.bin", 2, b);
  ASSERT_GE(b, 0);
  std::vector<char> buf(16, '.');
  int32_t count = 0;
  for (FileHandle bad : {a, 0, 1, 2}) {
    ResetErrorState();
    IFileReadChar(bad, std::span<char>(buf), 4, count);
    EXPECT_EQ(count, -1) << bad;
    EXPECT_EQ(LastErrorCode(), 2);
    EXPECT_EQ(ErrorState().OsErrorNumber, EBADF);
    IFileWriteChar(bad, std::span<const char>("x", 1), 1, count);
    EXPECT_EQ(count, -1) << bad;
  }
  EXPECT_EQ(ReadFile("b.bin"), "second");
  IFileReadChar(b, std::span<char>(buf), 16, count);
  EXPECT_EQ(count, 6);
  YYFileCloseHandle(b);

  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  for (int32_t mode : {0, 2}) {
    ResetErrorState();
    FileHandle h = 7;
    IFileOpen("pipe", mode, h);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(LastErrorCode(), 1);
    EXPECT_EQ(ErrorState().OsErrorNumber, ENOTSUP);
  }
}

TEST(BytesToInt, ByteOrdersAndSignedWrap) {
  const uint8_t le2[] = {0x34, 0x12};
  const uint8_t le4[] = {0x78, 0x56, 0x34, 0x12};
  const uint8_t be4[] = {0x12, 0x34, 0x56, 0x78};
  const uint8_t high[] = {0xFF, 0xFF, 0xFF, 0xFF};
  int32_t v = 0;
  YYBytesToIntLE(le2, 2, v);
  EXPECT_EQ(v, 4660);
  YYBytesToIntLE(le4, 4, v);
  EXPECT_EQ(v, 305419896);
  YYBytesToIntLE(le4, 3, v);  // anything but 4 means 2
  EXPECT_EQ(v, 0x5678);
  YYBytesToIntBE(be4, v);
  EXPECT_EQ(v, 305419896);
  YYBytesToIntLE(high, 4, v);
  EXPECT_EQ(v, -1);
  YYBytesToIntBE(high, v);
  EXPECT_EQ(v, -1);
  YYBytesToIntLE(std::span<const uint8_t>(le4, 1), 4, v);  // short buffer: missing bytes are 0
  EXPECT_EQ(v, 0x78);
}

TEST_F(FileIOTest, CompressionRoundTripAndDamagedInput) {
  std::vector<uint8_t> source(5000);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>((i * 7) % 13);
  std::vector<uint8_t> packed(6000), unpacked(6000);
  int32_t packedLength = static_cast<int32_t>(packed.size());
  WCompress(source, packed, 5000, packedLength);
  ASSERT_GT(packedLength, 0);
  ASSERT_LT(packedLength, 5000);
  int32_t length = static_cast<int32_t>(unpacked.size());
  WUnCompress(std::span(packed).first(static_cast<size_t>(packedLength)), unpacked, packedLength,
              length);
  ASSERT_EQ(length, 5000);
  EXPECT_TRUE(std::equal(source.begin(), source.end(), unpacked.begin()));
  EXPECT_EQ(LastErrorCode(), 0);

  struct Case {
    const char* what;
    std::vector<uint8_t> input;
    int32_t capacity;
    int32_t status;
  } cases[] = {
      {"truncated", std::vector<uint8_t>(packed.begin(), packed.begin() + packedLength / 2), 6000,
       -3},
      {"corrupt", {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0x00, 0x11}, 6000, -3},
      {"empty", {}, 6000, -3},
      {"too small", std::vector<uint8_t>(packed.begin(), packed.begin() + packedLength), 100, -5},
  };
  for (auto& c : cases) {
    ResetErrorState();
    int32_t out = c.capacity;
    WUnCompress(c.input, unpacked, static_cast<int32_t>(c.input.size()), out);
    EXPECT_EQ(out, 0) << c.what;
    EXPECT_EQ(LastErrorCode(), 1044) << c.what;
    EXPECT_EQ(ErrorState().SecondaryStatus, c.status) << c.what;
  }

  // No room at all, and lengths beyond the buffers.
  ResetErrorState();
  int32_t none = 0;
  WCompress(source, packed, 5000, none);
  EXPECT_EQ(none, 0);
  EXPECT_EQ(LastErrorCode(), 1044);
  EXPECT_EQ(ErrorState().SecondaryStatus, -5);
  int32_t out = 6000;
  int32_t status = 0;
  YYCompressBuffer(std::span(source).first(10), packed, 5000, out, status);
  EXPECT_NE(status, 0);
  EXPECT_EQ(out, 0);
  // A capacity above the destination's size uses only the destination.
  std::vector<uint8_t> tiny(4);
  out = 6000;
  YYUncompressBuffer(std::span(packed).first(static_cast<size_t>(packedLength)), tiny,
                     packedLength, out, status);
  EXPECT_EQ(status, -5);
  EXPECT_EQ(out, 0);
}

}  // namespace
