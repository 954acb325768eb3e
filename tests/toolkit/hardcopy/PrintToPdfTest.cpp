// The Print road to a PDF file: one page drawn on the screen and through
// driver 10 on the built-in PDF printer; the PDF is checked by qpdf and
// pdfinfo, rendered by pdftoppm and compared with the screen's picture.
// A stand-in lp first on PATH takes the jobs of a CUPS queue.
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "VOZUVar/Strings.h"
#include "platform/gdi/Png.h"
#include "platform/print/Capture.h"
#include "platform/print/Printer.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "tests/toolkit/graphics/ScreenWindow.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace hctest {
namespace {

namespace fs = std::filesystem;

// The drawable: the printable page of A4 landscape at 72 dpi, one pixel
// per point.
constexpr int kWidth = 697, kHeight = 451;

// A shape the engine hands to the drivers as a solid fill: the screen gets
// its solid code, the hardcopy the odd code bracketed by qualifiers 1 and -1.
void SolidShape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  for (int i = 1; i <= 4; ++i) {
    p.PixelX[static_cast<size_t>(i)] = static_cast<int32_t>(p.PointX[static_cast<size_t>(i)]);
    p.PixelY[static_cast<size_t>(i)] = static_cast<int32_t>(p.PointY[static_cast<size_t>(i)]);
  }
  // radii stay in page units
  p.PixelX[2] = static_cast<int32_t>(p.PointX[2]);
  p.PixelY[2] = static_cast<int32_t>(p.PointY[2]);
  YYGrScreenOp(op + 1);
  p.OpQualifier = 1;
  YYGrHardcopyOp(op);
  p.OpQualifier = -1;
  YYGrHardcopyOp(op);
}

// Centre and radii in user units to the operand slots in page units.
void Slots(float cx, float cy, float rx, float ry) {
  DriverParamsRecord& p = DriverParams();
  float px = 0, py = 0, ex = 0, ey = 0;
  YYUserToPage(cx, cy, px, py);
  YYUserToPage(cx + rx, cy + ry, ex, ey);
  p.PointX[1] = px;
  p.PointY[1] = py;
  p.PointX[2] = ex - px;
  p.PointY[2] = ey - py;
}

void Ellipse(float cx, float cy, float rx, float ry) {
  Slots(cx, cy, rx, ry);
  SolidShape(kOpEllipseFill);
}

void Pie(float cx, float cy, float r, float fromDegrees, float sweepDegrees) {
  Slots(cx, cy, r, r);
  DriverParamsRecord& p = DriverParams();
  const float a = fromDegrees * 3.14159265f / 180.0f, b = (fromDegrees + sweepDegrees) * 3.14159265f / 180.0f;
  p.PointX[3] = a;
  p.PointY[3] = b;
  p.PointX[4] = fromDegrees;
  p.PointY[4] = sweepDegrees;
  SolidShape(kOpSector);
}

void ShadedPolygon(std::vector<std::pair<float, float>> corners, std::vector<int32_t> colours) {
  DriverParamsRecord& p = DriverParams();
  p.PointListX.clear();
  p.PointListY.clear();
  for (size_t i = 0; i < corners.size(); ++i) {
    float px = 0, py = 0;
    YYUserToPage(corners[i].first, corners[i].second, px, py);
    p.PointListX.push_back(px);
    p.PointListY.push_back(py);
    p.ShadedColour[i] = colours[i];
  }
  p.ShadedVertexCount = static_cast<int32_t>(corners.size());
  const std::vector<float> x = p.PointListX, y = p.PointListY;
  const std::array<int32_t, 4> c{colours[0], colours[1], colours[2], colours[3]};
  YYGrScreenOp(kOpShadedPolygon);
  // The screen driver may have merged vertices: the hardcopy starts afresh.
  p.PointListX = x;
  p.PointListY = y;
  for (size_t i = 0; i < c.size(); ++i) p.ShadedColour[i] = c[i];
  p.ShadedVertexCount = static_cast<int32_t>(corners.size());
  YYGrHardcopyOp(kOpShadedPolygon);
}

// The page: a frame, solid, dashed and thick lines, a polyline, filled
// polygons, a shaded polygon, ellipses, pies and text in each face.
void DrawPage() {
  IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
  IGrUnits(0, 0, 100, 64);
  IGrColourN(223);
  IGrMoveToPoint(1, 1);
  for (auto [x, y] : {std::pair{99.0f, 1.0f}, {99.0f, 63.0f}, {1.0f, 63.0f}, {1.0f, 1.0f}}) IGrLineToPoint(x, y);
  IGrColourN(31);
  YYLineStyleSet(2);
  IGrMoveToPoint(5, 58);
  IGrLineToPoint(60, 58);
  YYLineStyleSet(0);
  IGrLineThickness(3, 30);
  IGrColourN(95);
  IGrMoveToPoint(5, 54);
  IGrLineToPoint(60, 54);
  IGrLineThickness(1, 5);
  IGrColourN(159);
  const std::vector<float> px = {5, 15, 25, 35, 45, 55};
  const std::vector<float> py = {35, 48, 38, 50, 40, 46};
  YYPolyline(px, py, 6, 0);
  IGrFillStyle(4);
  IGrColourN(47);
  const std::vector<float> fx = {65, 95, 90, 70};
  const std::vector<float> fy = {40, 42, 58, 55};
  IGrPolygonByTriangles(fx, fy, 4);
  IGrColourN(191);
  IGrTriangle(5, 5, 25, 5, 15, 25);
  ShadedPolygon({{30, 5}, {50, 5}, {50, 25}, {30, 25}}, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF});
  IGrColourN(111);
  Ellipse(62, 15, 8, 6);
  IGrColourN(63);
  Pie(85, 15, 9, 30, 120);
  IGrColourN(127);
  Pie(85, 15, 9, 200, 90);
  IGrFillStyle(0);
  IGrColourN(223);
  int32_t face = 101;
  float y = 30;
  for (const char* text : {"Courier 101", "Arial 102", "Times 103", "abgd 104"}) {
    WGrTextFont(face++, 0, 0.015f, 0.04f);
    IGrTextAttributes(0, 0.0f);
    IGrTextOut(65.0f, y, text);
    y -= 3.0f;
  }
  WGrTextFont(1, 0, 0.015f, 0.04f);
  IGrTextOut(65.0f, y, "Stroke");
  WGrTextFont(102, 0, 0.015f, 0.04f);
  IGrTextAttributes(0, 90.0f);
  IGrTextOut(97.0f, 30.0f, "Turned");
  IGrTextAttributes(0, 0.0f);
}

class PrintToPdfTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    plat::setPrintersForTest(true, false);
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
    OpenScreenWindow(kWidth, kHeight, "Page");
    ErrorReportHooksRecord().messageBox = [](std::string_view text, std::string_view) {
      Reports().emplace_back(text);
      return 1;
    };
    YYERRMODE(4);
    Reports().clear();
  }
  void TearDown() override {
    ResetScreenDriver();
    ToolkitTest::TearDown();
    plat::resetPrinters();
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  }
  static std::vector<std::string>& Reports() {
    static std::vector<std::string> r;
    return r;
  }
  // The Print command's road, drawing the page, to the selected printer.
  static void Print(std::optional<std::string_view> title = std::nullopt) {
    YYHardcopySelect(kOpInit, 10);
    YYGrStateInit("HP");
    YYHardcopyStartStop(" ", title);
    DrawPage();
    YYHardcopyStartStop("S");
    YYGrStateInit(" ");
  }
  static std::string Run(const std::vector<std::string>& argv, int expected = 0) {
    std::string out;
    EXPECT_EQ(plat::print::runCapture(argv, out, 60), expected) << argv[0] << ": " << out;
    return out;
  }
};

// Grey level of a block of a picture.
double BlockGrey(const plat::Surface& s, int x0, int y0, int block) {
  double sum = 0;
  for (int y = y0; y < y0 + block; ++y)
    for (int x = x0; x < x0 + block; ++x) {
      const uint32_t p = s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
      sum += ((p >> 16) & 0xFF) * 0.3 + ((p >> 8) & 0xFF) * 0.59 + (p & 0xFF) * 0.11;
    }
  return sum / (block * block);
}

TEST_F(PrintToPdfTest, APageToThePdfPrinterLooksAsOnTheScreen) {
  DrawPage();
  plat::Surface screen;
  ASSERT_TRUE(plat::test::windowPicture(Client(), false, screen));
  ASSERT_EQ(screen.width, kWidth);
  ASSERT_EQ(screen.height, kHeight);

  Print();
  EXPECT_TRUE(Reports().empty()) << Reports().front();
  const std::string pdf = "quillon-print-1.pdf";
  ASSERT_TRUE(fs::exists(pdf)) << "the first free automatic name";
  Run({"qpdf", "--check", pdf});
  const std::string info = Run({"pdfinfo", pdf});
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Page size:       841.89 x 595.276 pts (A4)"), std::string::npos) << info;
  EXPECT_NE(info.find("Title:           Plovane graphic"), std::string::npos) << info;
  const std::string fonts = Run({"pdffonts", pdf});
  for (const char* face : {"LiberationMono", "LiberationSans", "LiberationSerif", "StandardSymbolsPS"})
    EXPECT_NE(fonts.find(face), std::string::npos) << face << "\n" << fonts;

  // At 72 dpi a point is a pixel: the page lies an inch inside the sheet.
  Run({"pdftoppm", "-r", "72", "-png", "-singlefile", pdf, "page"});
  plat::Surface sheet;
  ASSERT_TRUE(plat::readPng("page.png", sheet));
  ASSERT_EQ(sheet.width, 842);
  ASSERT_GE(sheet.height, 595);  // 595.28 points rounded up
  plat::Surface printed;
  printed.width = kWidth;
  printed.height = kHeight;
  printed.pixels.resize(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      printed.pixels[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] =
          sheet.pixels[static_cast<size_t>(y + 72) * static_cast<size_t>(sheet.width) + static_cast<size_t>(x + 72)];
  // The margin is paper.
  EXPECT_GT(BlockGrey(sheet, 10, 10, 40), 250.0);
  // Compared in blocks of 8 x 8 pixels: the PDF's smoothed edges and its
  // fonts' own hinting differ from the screen's pixels, the page does not.
  constexpr int kBlock = 8;
  int blocks = 0, differ = 0;
  for (int y = 0; y + kBlock <= kHeight; y += kBlock)
    for (int x = 0; x + kBlock <= kWidth; x += kBlock) {
      ++blocks;
      if (std::fabs(BlockGrey(screen, x, y, kBlock) - BlockGrey(printed, x, y, kBlock)) > 48.0) ++differ;
    }
  if (const char* keep = std::getenv("QUILLON_KEEP_PICTURES")) {
    plat::writePng(screen, std::string(keep) + "/screen.png");
    plat::writePng(printed, std::string(keep) + "/printed.png");
  }
  EXPECT_LT(differ, blocks / 50) << differ << " of " << blocks << " blocks differ";
}

TEST_F(PrintToPdfTest, ACupsQueueGetsOneFinishedPdfWithTitleAndCopies) {
  const std::string bin = fs::current_path().string() + "/bin";
  fs::create_directories(bin);
  const std::string log = fs::current_path().string() + "/lp.log";
  const std::string kept = fs::current_path().string() + "/spooled.pdf";
  std::ofstream(bin + "/lp") << "#!/bin/sh\n"
                                "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '"
                             << log << "'; done\n"
                                       "eval last=\\${$#}\n"
                                       "cp \"$last\" '"
                             << kept << "'\n";
  ::chmod((bin + "/lp").c_str(), 0755);
  testsupport::EnvOverride path("PATH", (bin + ":" + std::string(std::getenv("PATH"))).c_str());
  plat::PrinterInfo queue;
  queue.name = "office";
  plat::addPrinterForTest(queue);
  WindowsPrinterSettings().Device = "office";
  WindowsPrinterSettings().Driver = "CUPS";
  WindowsPrinterSettings().Port = "lp";

  YYHardcopySelect(kOpInit, 10);
  YYGrStateInit("HP");
  YYHardcopySetOption(OptCopies, 2);
  YYHardcopyStartStop(" ", "Suite 3; rm -rf \"$HOME\" `x`");
  DrawPage();
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  EXPECT_TRUE(Reports().empty()) << Reports().front();
  std::istringstream lines(testsupport::ReadFile(log));
  std::vector<std::string> words;
  for (std::string w; std::getline(lines, w);) words.push_back(w);
  ASSERT_EQ(words.size(), 8u) << testsupport::ReadFile(log);
  EXPECT_EQ(words[0], "-d");
  EXPECT_EQ(words[1], "office");
  EXPECT_EQ(words[2], "-n");
  EXPECT_EQ(words[3], "2");
  EXPECT_EQ(words[4], "-t");
  EXPECT_EQ(words[5], "Suite 3; rm -rf \"$HOME\" `x`") << "one word, never a shell command";
  EXPECT_EQ(words[6], "--");
  EXPECT_FALSE(fs::exists(words[7])) << "the spooled file is removed";
  Run({"qpdf", "--check", kept});
  EXPECT_NE(Run({"pdfinfo", kept}).find("Pages:           1\n"), std::string::npos);

  // A failing lp is reported: the print is not a success.
  std::ofstream(bin + "/lp") << "#!/bin/sh\nexit 1\n";
  Reports().clear();
  Print();
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0], "Internal routine:XXWIN\rError=   2\rError reading/writing file or device: Input/output error\roffice");
}

}  // namespace
}  // namespace hctest
