// Driver 11: the test page as a plain, placeable and enhanced metafile file,
// read by libwmf and emf2svg; the placeable header; a blank name puts the
// picture on the clipboard; a placeable file that cannot be made or put in
// place fails. The driver's files played back into a window, into another
// recording and from the clipboard, and the player's errors. Dashes of an
// enhanced metafile scaled to its reference device, and its gradients.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/clip/Clipboard.h"
#include "platform/gdi/Png.h"
#include "platform/print/Printer.h"
#include "tests/support/EmfDecoder.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/vectordrivers/VectorFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/hardcopy/FileProbe.h"
#include "toolkit/hardcopy/PrintManagerDriver.h"
#include "toolkit/hardcopy/WmfDriver.h"

namespace {

uint32_t Le(const std::string& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b.at(at + static_cast<size_t>(i)));
  return v;
}

// A white memory bitmap standing in as the current window.
class WindowBitmap {
 public:
  WindowBitmap(int w, int h) : saved_(DrawingSurface()) {
    bitmap_ = plat::createBitmap(w, h, 32);
    dc_ = plat::createCompatibleDc(0);
    plat::selectObject(dc_, bitmap_);
    surface().pixels.assign(surface().pixels.size(), 0xFFFFFF);
    DrawingSurface().Dc = dc_;
  }
  ~WindowBitmap() {
    DrawingSurface() = saved_;
    plat::deleteDc(dc_);
    plat::deleteObject(bitmap_);
  }
  plat::Surface& surface() { return *plat::bitmapSurface(bitmap_); }
  // Ink bounds, right and bottom exclusive.
  plat::Rect ink() {
    const plat::Surface& s = surface();
    plat::Rect r{s.width, s.height, 0, 0};
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x)
        if ((s.at(x, y) & 0xFFFFFF) != 0xFFFFFF)
          r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    return r;
  }

 private:
  DrawingSurfaceRecord saved_;
  plat::HBitmap bitmap_ = 0;
  plat::Hdc dc_ = 0;
};

// Pixels whose colours lie further apart than 48 in a channel.
double DifferingShare(const plat::Surface& a, const plat::Surface& b) {
  size_t differ = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) - static_cast<int>((b.pixels[i] >> shift) & 0xFF)) > 48) {
        ++differ;
        break;
      }
  return static_cast<double>(differ) / static_cast<double>(a.pixels.size());
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

class WmfDriverTest : public vdtest::VectorTest {
 protected:
  void TearDown() override {
    vdtest::VectorTest::TearDown();
    ResetMetafileDriver();
    plat::detail::resetClipboard();
    plat::resetPrinters();
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  }
  static std::function<void()> Kind(int32_t kind) {
    return [kind] { HardcopyOptions().Opt[OptMetafileType] = kind; };
  }
};

// 756 x 540 points: the box (0, 0, 10500, 7500) in thousandths of an inch,
// 1000 per inch, and the checksum of the ten words before it.
TEST_F(WmfDriverTest, PlaceableHeaderOfTheDefaultPage) {
  const std::string h = YYWmfPlaceableHeader(10500, 7500);
  ASSERT_EQ(h.size(), 22u);
  EXPECT_EQ(Le(h, 0, 4), 0x9AC6CDD7u);
  EXPECT_EQ(Le(h, 4, 2), 0u);
  EXPECT_EQ(Le(h, 6, 2), 0u);
  EXPECT_EQ(Le(h, 8, 2), 0u);
  EXPECT_EQ(Le(h, 10, 2), 10500u);
  EXPECT_EQ(Le(h, 12, 2), 7500u);
  EXPECT_EQ(Le(h, 14, 2), 1000u);
  EXPECT_EQ(Le(h, 16, 4), 0u);
  EXPECT_EQ(Le(h, 20, 2), 0x60B1u);
  uint32_t x = 0;
  for (size_t i = 0; i < 20; i += 2) x ^= Le(h, i, 2);
  EXPECT_EQ(x, 0x60B1u);
  // The driver's own file starts with it, followed by a memory metafile.
  const std::string file = Plot(11, DrawTestPage, Kind(1), "page.wmf");
  ASSERT_GT(file.size(), 40u);
  EXPECT_EQ(file.substr(0, 22), h);
  EXPECT_EQ(Le(file, 22, 2), 1u);       // memory metafile
  EXPECT_EQ(Le(file, 24, 2), 9u);       // header words
  EXPECT_EQ(Le(file, 26, 2), 0x300u);
  EXPECT_EQ(Le(file, 28, 4) * 2, file.size() - 22);  // its size in words
}

// Each kind is a file the outside readers take, and the probe measures it.
TEST_F(WmfDriverTest, EveryKindIsReadByOutsideReaders) {
  if (!vdtest::Have("wmf2svg") || !vdtest::Have("emf2svg-conv")) GTEST_SKIP() << "libwmf-bin and emf2svg needed";
  struct Case {
    int32_t kind;
    const char* name;
    std::string read;
    int32_t probedKind, width, height;
  } cases[] = {
      {0, "plain.wmf", "wmf2svg -o plain.svg plain.wmf", 0, -1, -1},
      {1, "placeable.wmf", "wmf2svg -o placeable.svg placeable.wmf", 1, 756, 540},
      {2, "enhanced.emf", "emf2svg-conv -i enhanced.emf -o enhanced.svg", 2, 756, 540},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = Plot(11, DrawTestPage, Kind(c.kind), c.name);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(vdtest::RunCommand("cd " + scratch_.path() + " && " + c.read + " >/dev/null 2>&1"), 0);
    std::array<int32_t, 4> info{};
    YYGraphicsFileProbe(Path(), info, 4);
    EXPECT_EQ(info, (std::array<int32_t, 4>{kFileMetafile, c.width, c.height, c.probedKind}));
  }
}

// Every kind of file gets the mode of the user's other files (0666 less
// the umask); an enhanced metafile names the driver and the picture's title
// in its header's description, read here by Python from the file's bytes.
TEST_F(WmfDriverTest, FilesGetTheUsualModeAndEnhancedOnesTheirDescription) {
  const mode_t old = ::umask(022);
  for (const int32_t kind : {0, 1, 2}) {
    SCOPED_TRACE(kind);
    const std::string name = "mode" + std::to_string(kind) + ".wmf";
    ASSERT_FALSE(Plot(11, DrawTestPage, Kind(kind), name, std::string("Survey line 7")).empty());
    struct stat st {};
    ASSERT_EQ(::stat(Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
  }
  ::umask(old);
  const std::string read =
      "/usr/bin/python3 -c \"import struct,sys; b=open(sys.argv[1],'rb').read(); n,o=struct.unpack_from('<II',b,60); "
      "print(repr(b[o:o+2*n].decode('utf-16-le')))\" " + Path();
  std::string printed;
  if (FILE* f = ::popen(read.c_str(), "r")) {
    char buf[256];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) printed.append(buf, n);
    ::pclose(f);
  }
  EXPECT_EQ(printed, "'QVZ metafile driver\\x00Survey line 7\\x00\\x00'\n");
  if (vdtest::Have("emf2svg-conv")) {
    EXPECT_EQ(vdtest::RunCommand("emf2svg-conv -i " + Path() + " -o " + Path() + ".svg >/dev/null 2>&1"), 0);
  }
}

std::vector<std::string> gFileNotices;

// Every kind of file written over an old one keeps what the user set on it:
// a symbolic link stays a link and the file it leads to gets the picture;
// the file's permission bits stay. A file the user may not write is
// refused and keeps its bytes, with one box naming it and the system's
// reason in the program's report mode 0, which shows the toolkit's own
// reports nowhere (checked as an ordinary user: root may write anything).
TEST_F(WmfDriverTest, FilesKeepLinksAndModesAndAFileTheUserMayNotWriteIsTold) {
  namespace fs = std::filesystem;
  fs::create_directories("real");
  for (const int32_t kind : {0, 1, 2}) {
    SCOPED_TRACE(kind);
    const std::string k = std::to_string(kind);
    testsupport::WriteFile("real/target" + k, "old");
    fs::create_symlink("real/target" + k, "link" + k);
    const std::string bytes = Plot(11, DrawTestPage, Kind(kind), "link" + k);
    EXPECT_TRUE(fs::is_symlink("link" + k));
    EXPECT_GT(bytes.size(), 40u);
    EXPECT_EQ(testsupport::ReadFile("real/target" + k), bytes);

    testsupport::WriteFile("kept" + k, "old");
    ASSERT_EQ(::chmod(("kept" + k).c_str(), 0640), 0);
    EXPECT_GT(Plot(11, DrawTestPage, Kind(kind), "kept" + k).size(), 40u);
    struct stat st {};
    ASSERT_EQ(::stat(("kept" + k).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    testsupport::WriteFile("locked" + k, "old");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator("real"), fs::directory_iterator()), 3) << "no new file left beside";

  testsupport::GiveToOrdinaryUser(scratch_.path());
  for (const int32_t kind : {0, 1, 2}) ASSERT_EQ(::chmod(("locked" + std::to_string(kind)).c_str(), 0444), 0);
  ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) { gFileNotices.emplace_back(text); };
  const auto outcome = testsupport::CheckAsOrdinaryUser([&] {
    bool all = true;
    for (const int32_t kind : {0, 1, 2}) {
      const std::string name = "locked" + std::to_string(kind);
      gFileNotices.clear();
      ResetErrorState();
      ErrorState().ReportMode = 0;
      Plot(11, DrawTestPage, Kind(kind), name);
      YYGrStateInit(" ");
      const bool told = gFileNotices.size() == 1 &&
                        gFileNotices[0] == "The file could not be written:\r" + Path() + "\r" + std::strerror(EACCES);
      if (!told) std::fprintf(stderr, "kind %d: %zu notices %s\n", kind, gFileNotices.size(), gFileNotices.empty() ? "" : gFileNotices[0].c_str());
      all = all && told && ErrorState().LastErrorCode != 0 && testsupport::ReadFile(scratch_ / name) == "old";
    }
    return all;
  });
  ErrorReportHooksRecord().fileNotice = nullptr;
  if (outcome == testsupport::UserCheck::kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to run as";
  EXPECT_EQ(outcome, testsupport::UserCheck::kPassed);
}

// The test page as libwmf draws the placeable file.
TEST_F(WmfDriverTest, TestPageAsDrawnByWmf2gd) {
  if (!vdtest::Have("wmf2gd")) GTEST_SKIP() << "libwmf-bin needed";
  Plot(11, DrawTestPage, Kind(1), "page.wmf");
  ASSERT_EQ(vdtest::RunCommand("cd " + scratch_.path() + " && wmf2gd -t png --maxwidth=756 --maxheight=540 -o page.png "
                               "page.wmf >/dev/null 2>&1"),
            0);
  vdtest::ExpectRenderedGolden(scratch_ / "page.png", "wmf_page.png", 0.02);
}

// Without an output name the picture goes to the clipboard: a metafile
// picture (mapping mode 8, the frame in hundredths of a millimetre) or the
// enhanced metafile's bytes.
TEST_F(WmfDriverTest, ABlankNameGoesToTheClipboard) {
  for (int32_t kind : {0, 1, 2}) {
    SCOPED_TRACE(kind);
    plat::detail::resetClipboard();
    YYHardcopySelect(kOpInit, 11);
    HardcopyOptions().Opt[OptMetafileType] = kind;
    YYGrStateInit("HP");
    YYHardcopyStartStop(" ");
    DrawTestPage();
    YYHardcopyStartStop("S");
    YYGrStateInit(" ");
    ASSERT_TRUE(plat::openClipboard({}));
    std::string data;
    if (kind == 2) {
      ASSERT_TRUE(plat::getClipboardData(plat::kCfEnhMetafile, data));
      EXPECT_EQ(data.substr(40, 4), " EMF");
    } else {
      ASSERT_TRUE(plat::getClipboardData(plat::kCfMetafilePict, data));
      ASSERT_GT(data.size(), 34u);
      EXPECT_EQ(Le(data, 0, 4), 8u);
      EXPECT_EQ(Le(data, 4, 4), 26670u);  // 7560 x 254 / 72
      EXPECT_EQ(Le(data, 8, 4), 19050u);
      EXPECT_EQ(Le(data, 16, 2), 1u);     // a memory metafile follows
    }
    plat::closeClipboard();
  }
  // A clipboard held elsewhere: error 1094, the picture not delivered.
  plat::detail::resetClipboard();
  ResetErrorState();
  plat::test::holdClipboard(true);
  YYHardcopySelect(kOpInit, 11);
  YYGrStateInit("HP");
  YYHardcopyStartStop(" ");
  DrawTestPage();
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  plat::test::holdClipboard(false);
  EXPECT_EQ(ErrorState().LastErrorCode, 1094);
  EXPECT_FALSE(plat::isClipboardFormatAvailable(plat::kCfMetafilePict));
}

// A placeable file that cannot be made is error 1 under XXWMF and ends the
// hardcopy; nothing is written.
TEST_F(WmfDriverTest, APlaceableFileThatCannotBeMadeFails) {
  ResetErrorState();
  ErrorState().ReportMode = 0;
  YYHardcopySelect(kOpInit, 11);
  YYGrStateInit("HP");
  YYHardcopyStartStop(scratch_ / "no/such/dir/page.wmf");
  EXPECT_EQ(ErrorState().LastErrorCode, 1);
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  EXPECT_EQ(MetafileDriverDc(), 0u);
}

// Each kind of the test page's file played into a window looks as libwmf
// draws the placeable file (its golden): both draw the whole page, which
// the driver's files record as their extent. The fonts differ.
TEST_F(WmfDriverTest, EveryKindPlaysBackAsLibwmfDrawsIt) {
  plat::Surface want;
  ASSERT_TRUE(plat::readPng(std::string(QUILLON_GOLDEN_DIR) + "/wmf_page.png", want));
  const int w = want.width, h = want.height;
  for (int32_t kind : {0, 1, 2}) {
    SCOPED_TRACE(kind);
    Plot(11, DrawTestPage, Kind(kind), "page" + std::to_string(kind));
    int32_t error = -1;
    WindowBitmap window(w, h);
    YYWmfPlay(kind, 0, 0, w - 1, h - 1, 0, 0, 0, 0, Path(), error);
    ASSERT_EQ(error, 0);
    // The fonts differ, and thin lines land a pixel apart where the two
    // round the page's scale differently.
    const double share = DifferingShare(window.surface(), want);
    EXPECT_LT(share, 0.03);
    if (share >= 0.03) plat::writePng(window.surface(), ::testing::TempDir() + "played_wmf_page.png");
  }
}

// Played turned and shifted, the picture lands where the world transform
// puts it; played into a recording, it becomes part of that picture; played
// on the printer, its calls fall inside the rectangle of the page.
TEST_F(WmfDriverTest, PlayingTurnedAndIntoAnotherRecording) {
  const std::string plain = scratch_ / "plain.wmf";
  Plot(11, DrawTestPage, Kind(0), "plain.wmf");
  int32_t error = -1;
  plat::Rect a, b;
  {
    WindowBitmap window(200, 200);
    YYWmfPlay(0, 0, 0, 99, 69, 0, 0, 0, 0, plain, error);
    ASSERT_EQ(error, 0);
    a = window.ink();
  }
  {
    // A quarter turn anticlockwise about the origin, then down by 199.
    WindowBitmap window(200, 200);
    YYWmfPlay(0, 0, 0, 99, 69, 0, 90, 0, 199, plain, error);
    ASSERT_EQ(error, 0);
    b = window.ink();
  }
  EXPECT_NEAR(b.left, a.top, 1);
  EXPECT_NEAR(b.right, a.bottom, 1);
  EXPECT_NEAR(b.top, 200 - a.right, 1);
  EXPECT_NEAR(b.bottom, 200 - a.left, 1);
  // Route 11: into the top-left quarter of an enhanced recording.
  Start(11, Kind(2), "nested.emf");
  // The recording's picture in its logical units.
  const int32_t pw = static_cast<int32_t>(DriverParams().DeviceScaleX * GraphicsState().PageExtentX);
  const int32_t ph = static_cast<int32_t>(DriverParams().DeviceScaleY * GraphicsState().PageExtentY);
  YYWmfPlay(0, 0, 0, pw / 2, ph / 2, 11, 0, 0, 0, plain, error);
  EXPECT_EQ(error, 0);
  Finish();
  const int32_t w = 378, h = 270;
  WindowBitmap window(w, h);
  YYWmfPlay(2, 0, 0, w - 1, h - 1, 0, 0, 0, 0, Path(), error);
  ASSERT_EQ(error, 0);
  const plat::Rect ink = window.ink();
  EXPECT_LT(ink.left, 20);
  EXPECT_LT(ink.top, 20);
  EXPECT_GT(ink.right, w / 2 - 30);
  EXPECT_LE(ink.right, w / 2 + 2);
  EXPECT_LE(ink.bottom, h / 2 + 2);
  // Route 10: onto the open print job's page.
  plat::setPrintersForTest(false, true);
  int32_t colours = 0, failed = 0;
  YYPrnStartDoc(1, 1, "play", colours, failed, error);
  ASSERT_EQ(failed, 0);
  plat::setRecording(PrintManagerDc(), true);
  YYWmfPlay(0, 100, 100, 299, 239, 10, 0, 0, 0, plain, error);
  EXPECT_EQ(error, 0);
  const std::vector<plat::DrawCall>* calls = plat::recordedCalls(PrintManagerDc());
  ASSERT_NE(calls, nullptr);
  int polylines = 0;
  for (const plat::DrawCall& c : *calls) {
    polylines += c.op == plat::CallOp::kPolyline;
    for (const plat::Point& q : c.pts) {
      EXPECT_GE(q.x, 100);
      EXPECT_LE(q.x, 300);
    }
  }
  EXPECT_GT(polylines, 0);
  YYPrnEndDoc();
}

// What the player answers when there is nothing it can play.
TEST_F(WmfDriverTest, PlayerErrors) {
  const std::string plain = scratch_ / "plain.wmf", garbage = scratch_ / "garbage";
  Plot(11, DrawTestPage, Kind(0), "plain.wmf");
  std::ofstream(garbage) << "no metafile at all, not even a header of one";
  // The clipboard's enhanced metafile.
  YYHardcopySelect(kOpInit, 11);
  HardcopyOptions().Opt[OptMetafileType] = 2;
  YYGrStateInit("HP");
  YYHardcopyStartStop(" ");
  DrawTestPage();
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  WindowBitmap window(60, 40);
  struct Case {
    const char* what;
    int32_t kind, route;
    std::string file;
    int32_t error;
  } cases[] = {
      {"no such file", 0, 0, scratch_ / "none.wmf", 1},
      {"a directory", 0, 0, scratch_.path(), 1},
      {"no plain metafile", 0, 0, garbage, 2},
      {"no placeable metafile", 1, 0, garbage, 2},
      {"no enhanced metafile", 2, 0, garbage, 2},
      {"a plain metafile read as enhanced", 2, 0, plain, 2},
      {"no print job", 0, 10, plain, 1},
      {"no recording", 0, 11, plain, 1},
  };
  for (const Case& c : cases) {
    int32_t error = -1;
    YYWmfPlay(c.kind, 0, 0, 59, 39, c.route, 0, 0, 0, c.file, error);
    EXPECT_EQ(error, c.error) << c.what;
  }
  EXPECT_EQ(window.ink().right, 0);
  // The clipboard held elsewhere, then free.
  int32_t error = -1;
  plat::test::holdClipboard(true);
  YYWmfPlay(2, 0, 0, 59, 39, 0, 0, 0, 0, "C", error);
  plat::test::holdClipboard(false);
  EXPECT_EQ(error, 1094);
  EXPECT_EQ(window.ink().right, 0);
  YYWmfPlay(2, 0, 0, 59, 39, 0, 0, 0, 0, "C", error);
  EXPECT_EQ(error, 0);
  EXPECT_GT(window.ink().right, 40);
  // A clipboard without an enhanced metafile.
  plat::detail::resetClipboard();
  YYWmfPlay(2, 0, 0, 59, 39, 0, 0, 0, 0, "C", error);
  EXPECT_EQ(error, 1095);
}

// A complete placeable file that cannot replace its target (a directory
// took its name meanwhile) is error 2 under XXWMF; the target stays.
TEST_F(WmfDriverTest, APlaceableFileThatCannotBePutInPlaceFails) {
  ResetErrorState();
  ErrorState().ReportMode = 1;
  Start(11, Kind(1), "page.wmf");
  DrawTestPage();
  std::filesystem::create_directories(Path() + "/taken");
  YYHardcopyStartStop("S");
  EXPECT_EQ(ErrorState().LastErrorCode, 2);
  EXPECT_NE(ErrorState().MessageBuffer.find("XXWMF"), std::string::npos) << ErrorState().MessageBuffer;
  EXPECT_NE(ErrorState().MessageBuffer.find("directory"), std::string::npos) << ErrorState().MessageBuffer;
  EXPECT_TRUE(std::filesystem::is_directory(Path() + "/taken"));
  ErrorState().ReportMode = 0;
}

// A dashed, thick line in an enhanced metafile: with option 29 at 0 a
// geometric pen with the line style's own pattern, scaled from the screen
// to the reference device (the selected printer when there is one) with
// the gaps widened by the width less one; with option 29 the built-in
// dash style on a geometric pen. Square caps and bevel joins either way.
TEST_F(WmfDriverTest, EnhancedDashesFollowTheReferenceDevice) {
  plat::setPrintersForTest(false, true);
  plat::PrinterInfo printer;
  ASSERT_TRUE(plat::findPrinter(plat::kRecordingPrinterName, printer));
  struct Case {
    int32_t option29;
    bool printer;
    int dpi;
  } cases[] = {{0, false, 96}, {0, true, printer.dpi}, {1, false, 96}, {1, true, printer.dpi}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.option29) + (c.printer ? " printer" : " screen"));
    WindowsPrinterSettings().Device = c.printer ? plat::kRecordingPrinterName : "";
    const std::string bytes = Plot(11, [] {
      GraphicsState().LineStyle = 2;
      Op(kOpLineStyle);
      HardcopyOptions().Opt[OptLineThickness] = 40;
      Op(kOpLineThickness);
      DriverParamsRecord& p = DriverParams();
      p.PointX[1] = 10, p.PointY[1] = 10, p.PointX[2] = 200, p.PointY[2] = 100;
      Op(kOpLine);
    }, [&] {
      HardcopyOptions().Opt[OptMetafileType] = 2;
      HardcopyOptions().Opt[OptMetafile29] = c.option29;
    }, "dash.emf");
    const auto f = testsupport::emf::Decode(Bytes(bytes));
    ASSERT_EQ(f.error, "");
    // The reference device's resolution.
    EXPECT_NEAR(f.devicePx[0] * 25400.0 / f.deviceUm[0], c.dpi, 1.0);
    const testsupport::emf::Record* pen = nullptr;
    for (const auto& r : f.records)
      if (r.type == 95) pen = &r;
    ASSERT_NE(pen, nullptr);
    const uint32_t style = pen->u32(28);
    const int width = pen->i32(32);
    EXPECT_EQ(style & 0x000F0000u, 0x00010000u);  // geometric
    EXPECT_EQ(style & 0x0F00u, 0x0100u);          // square caps
    EXPECT_EQ(style & 0xF000u, 0x1000u);          // bevel joins
    EXPECT_NEAR(width, 4.0 * c.dpi / 72.0, 2.0);  // 4 points
    if (c.option29 == 0) {
      EXPECT_EQ(style & 0xFu, 7u);
      ASSERT_EQ(pen->u32(48), 2u);
      EXPECT_EQ(pen->i32(52), 8 * c.dpi / 96);
      EXPECT_EQ(pen->i32(56), 6 * c.dpi / 96 + width - 1);
    } else {
      EXPECT_EQ(style & 0xFu, 1u);  // dash
      EXPECT_EQ(pen->u32(48), 0u);
    }
    // emf2svg draws the built-in dash styles (it leaves user patterns
    // solid).
    if (vdtest::Have("emf2svg-conv")) {
      EXPECT_EQ(vdtest::RunCommand("emf2svg-conv -i " + Path() + " -o " + Path() + ".svg >/dev/null 2>&1"), 0);
      if (c.option29 != 0) {
        EXPECT_NE(vdtest::ReadBytes(Path() + ".svg").find("stroke-dasharray"), std::string::npos);
      }
    }
  }
}

// A shaded polygon is gradient triangles in an enhanced metafile (which
// emf2svg reads but leaves out) and single pixels in a plain one; both
// play back shaded from red at the first corner to green at the second.
TEST_F(WmfDriverTest, ShadedPolygonsAreGradientsOnlyWhenEnhanced) {
  auto shaded = [] {
    DriverParamsRecord& p = DriverParams();
    p.PointListX = {10.0f, 15.0f, 15.0f, 10.0f};
    p.PointListY = {10.0f, 10.0f, 13.0f, 13.0f};
    p.ShadedVertexCount = 4;
    p.ShadedColour[0] = 0x0000FF;
    p.ShadedColour[1] = 0x00FF00;
    p.ShadedColour[2] = 0xFF0000;
    p.ShadedColour[3] = 0x00FFFF;
    Op(kOpShadedPolygon);
  };
  const std::string emfBytes = Plot(11, shaded, Kind(2), "shaded.emf");
  const auto f = testsupport::emf::Decode(Bytes(emfBytes));
  ASSERT_EQ(f.error, "");
  int gradients = 0, pixels = 0;
  for (const auto& r : f.records) gradients += r.type == 118, pixels += r.type == 15;
  EXPECT_GE(gradients, 2);
  EXPECT_EQ(pixels, 0);
  if (vdtest::Have("emf2svg-conv")) {
    EXPECT_EQ(vdtest::RunCommand("emf2svg-conv -i " + Path() + " -o " + Path() + ".svg >/dev/null 2>&1"), 0);
  }
  // Played back: red near the first corner, green near the second.
  auto corners = [&](int32_t kind) {
    // The shape in the window, from its page units.
    WindowBitmap window(756, 540);
    int32_t error = -1;
    YYWmfPlay(kind, 0, 0, 755, 539, 0, 0, 0, 0, Path(), error);
    ASSERT_EQ(error, 0);
    const plat::Rect ink = window.ink();
    ASSERT_FALSE(ink.empty());
    const uint32_t first = window.surface().at(ink.left + 1, ink.bottom - 2) & 0xFFFFFF;
    const uint32_t second = window.surface().at(ink.right - 2, ink.bottom - 2) & 0xFFFFFF;
    auto red = [](uint32_t p) { return p >> 16; };
    auto green = [](uint32_t p) { return (p >> 8) & 0xFF; };
    auto blue = [](uint32_t p) { return p & 0xFF; };
    EXPECT_GT(red(first), std::max(green(first), blue(first)) + 80) << std::hex << first;
    EXPECT_GT(green(second), std::max(red(second), blue(second)) + 80) << std::hex << second;
  };
  corners(2);
  Plot(11, shaded, Kind(0), "shaded.wmf");
  corners(0);
}

}  // namespace
