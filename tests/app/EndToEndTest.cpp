// The whole road a user takes, as one run of the program driven by injected
// input: start-up and the suite, the computed page (its operation stream
// and its picture against goldens), the odometer, zoom and unzoom, a label
// dragged, grids, the depth axis, View Properties, both exports, printing,
// help and exit; then the settings file it leaves and a second run that
// reads it back.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/IniFile.h"
#include "app/Refresh1d.h"
#include "tests/app/AppFixture.h"
#include "tests/support/GoldenPicture.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogTable.h"

namespace {

using apptest::AppTest;

std::string Output(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(command.c_str(), "r"), ::pclose);
  if (!p) return out;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p.get()) != nullptr) out += buf;
  return out;
}

void ExpectGoldenText(const std::string& text, const std::string& name) {
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/app/" + name;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) std::ofstream(path, std::ios::binary) << text;
  EXPECT_EQ(text, testsupport::ReadFile(path)) << "differs from " << path;
}

bool SameFrame(const GraphFrame& a, const GraphFrame& b) {
  return a.XExponentOrMinor == b.XExponentOrMinor && a.XDivisions == b.XDivisions && a.XStart == b.XStart &&
         a.XStep == b.XStep && a.XDivLength == b.XDivLength && a.YExponentOrMinor == b.YExponentOrMinor &&
         a.YDivisions == b.YDivisions && a.YStart == b.YStart && a.YStep == b.YStep && a.YDivLength == b.YDivLength &&
         a.OriginX == b.OriginX && a.OriginY == b.OriginY && a.XLog == b.XLog && a.YLog == b.YLog;
}

// A label's box as drawn on a frame: its width and height in inches.
std::array<float, 2> LabelInches(const LabelRecord& l, const GraphFrame& f) {
  auto extent = [&f](float v, float s, bool log, float (*plot)(float, const GraphFrame&)) {
    return log ? std::fabs(plot(v * std::sqrt(s), f) - plot(v / std::sqrt(s), f))
               : std::fabs(plot(v + s / 2.0f, f) - plot(v - s / 2.0f, f));
  };
  return {extent(l.LabelX, l.LabelSizeX, f.XLog, PLOFX), extent(l.LabelY, l.LabelSizeY, f.YLog, PLOFY)};
}

// The settings file with the fields that depend on the run's place named.
std::string Named(std::string text, const std::string& dir) {
  const size_t at = text.find("LastDir=" + dir);
  if (at != std::string::npos) text.replace(at, text.find("\r\n", at) - at, "LastDir=@DIR@");
  return text;
}

class EndToEnd : public AppTest {
 protected:
  // Page point (inches) of the pointer's last position.
  void Move(float x, float y) {
    plat::test::mouseMove(At(x, y));
    Drain();
  }
  void Down(float x, float y, plat::test::Button b = plat::test::Button::Left) {
    plat::test::mouseDown(b, At(x, y));
    Drain();
  }
  void Up(float x, float y, plat::test::Button b = plat::test::Button::Left) {
    plat::test::mouseUp(b, At(x, y));
    Drain();
  }
  // A press, a hold of `ms`, a move and a release.
  void Drag(float x1, float y1, float x2, float y2, uint32_t ms) {
    Move(x1, y1);
    Down(x1, y1);
    plat::test::advance(ms);
    Move(x2, y2);
    Up(x2, y2);
  }
  // Clicks a button of a loaded dialog.
  static void ClickButton(int32_t dialog, int32_t button) {
    WDialogSelect(dialog);
    const plat::Hwnd b = YYFieldWindow(button);
    ASSERT_TRUE(b) << button;
    plat::Rect r;
    plat::getClientRect(b, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(b, {r.width() / 2, r.height() / 2}));
  }
};

TEST_F(EndToEnd, TheWholeRoad) {
  DisplaySettingsRecord& d = DisplaySettings();
  // A window of the user's size: the page at about 100 pixels an inch.
  testsupport::WriteFile(program_ + ".INI",
                         "[Windows]\r\nDialog X=   -1\r\nDialog Y=   -1\r\nWindow X=   40\r\nWindow Y=   30\r\n"
                         "Window W= 1000\r\nWindow H=  828\r\nWindow State=    1\r\n");
  // ---- start-up and the suite pages: a three-layer model whose middle
  // layer's resistivity varies over five members, the vertical magnetic
  // field shown as early- and late-time apparent resistivity
  std::vector<std::string> pages;
  auto notePage = [&pages] { pages.push_back(plat::getWindowText(YYCurrentDialogWindow())); };
  Steps({[&] {
           notePage();
           ClickField(1008);  // HZ
           ClickField(1354);  // a layer's resistivity
           ClickField(1068);  // early + late
           ClickField(kNext);
         },
         TypeInto(1364, 2, 1, "100"), TypeInto(1364, 3, 1, "150"), TypeInto(1364, 2, 2, "10"),
         TypeInto(1364, 3, 2, "100"), TypeInto(1364, 2, 3, "1000"),
         [&] {
           notePage();
           WDialogPutInteger(1368, 2);  // the middle layer
           ClickField(kNext);
         },
         TypeInto(1006, 2, 1, "1"), TypeInto(1006, 2, 2, "3"), TypeInto(1006, 2, 3, "10"), TypeInto(1006, 2, 4, "30"),
         TypeInto(1006, 2, 5, "100"),
         [&] {
           notePage();
           ClickField(kNext);
         },
         [&] {
           notePage();
           ClickField(kNext);  // Finish
         }});
  QuillonStartup();
  started_ = true;
  EXPECT_TRUE(StepsDone());
  EXPECT_EQ(pages, (std::vector<std::string>{"Model Suite Parameters", "Base Resistivity Model",
                                             "Suite Parameter Variation", "Curve Generation Abscissa"}));
  ASSERT_TRUE(SuiteResults().Snapshot.Valid);
  EXPECT_EQ(SuiteResults().Snapshot.BaseModel.NLayers, 3);
  EXPECT_EQ(SuiteResults().Snapshot.VParam, (std::vector<float>{1, 3, 10, 30, 100}));
  // The page is drawn at once: no repaint has been handled yet.
  const plat::Surface firstPage = Picture();
  Drain();
  EXPECT_TRUE(Checked(40024) && Checked(40020) && Checked(40019));
  const GraphFrame curveAfterSuite = CurveGraphFrame()[0];
  const GraphFrame modelAfterSuite = ModelGraphFrame()[0];
  EXPECT_EQ(LabelStore().LabelCount, SuiteSettings().NSuite + 1);

  // ---- the computed page: drawn without any repaint, as operations and as
  // a picture
  {
    SCOPED_TRACE("computed page");
    ScreenRouteDriver() = RecordScreenDriver;
    Recording().clear();
    REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
    std::string ops;
    for (const std::string& op : Recording().screen) ops += op + "\n";
    ScreenRouteDriver() = YYGAPI;
    ExpectGoldenText(ops, "page_ops.txt");
    REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
    testsupport::ExpectGoldenPicture(Picture(), "app/page.png");
    EXPECT_EQ(Picture().pixels, firstPage.pixels);
  }
  const plat::Surface page = Picture();

  // ---- the odometer: values under the pointer, in parts that show
  {
    SCOPED_TRACE("odometer");
    Move(3.75f, 4.25f);
    const std::array<int32_t, 2> p = MainState().LastPointer;
    const GraphFrame& c = CurveGraphFrame()[0];
    char x[32];
    std::snprintf(x, sizeof x, "%.5f S", XOFPL(10.0f * static_cast<float>(p[0]) / 10000.0f, c));
    EXPECT_EQ(Status(2), x);
    // The value in four significant digits, small ones in the exponent
    // form, and the graph's unit.
    const float value = YOFPL(8.0f * (10000.0f - static_cast<float>(p[1])) / 10000.0f, c);
    float shown = 0.0f;
    char unit[16] = {};
    ASSERT_EQ(std::sscanf(Status(3).c_str(), "%f %15s", &shown, unit), 2) << Status(3);
    EXPECT_NEAR(shown, value, 1.0e-3f * std::fabs(value)) << Status(3);
    EXPECT_STREQ(unit, "o-m");
    Move(8.5f, 4.0f);
    EXPECT_NE(Status(3).find(" m"), std::string::npos) << Status(3);
    EXPECT_NE(Status(2).find(" o-m"), std::string::npos) << Status(2);
    const std::string keep = Status(2);
    Move(0.3f, 0.3f);  // outside both graphs
    EXPECT_EQ(Status(2), keep);
    // Both parts lie inside the window's status bar.
    plat::Rect bar;
    plat::getClientRect(StatusBar(), bar);
    for (int part : {2, 3}) {
      const plat::Rect r = plat::statusBarPartRect(StatusBar(), part - 1);
      EXPECT_LT(r.left + 20, bar.right) << part;
    }
  }

  // ---- zoom: a held drag draws a box and zooms the graph under it
  std::vector<LabelRecord> labelsBefore;
  std::vector<std::array<float, 2>> labelInches;
  {
    SCOPED_TRACE("zoom");
    GraphFrame drawn = curveAfterSuite;
    FINDAS(drawn);
    for (int32_t i = 1; i <= LabelStore().LabelCount; ++i) {
      labelsBefore.push_back(LabelStore().Slot(i));
      labelInches.push_back(LabelInches(LabelStore().Slot(i), drawn));
    }
    // Above the labels (they stand in the bottom-left corner). 300 ms held
    // is not long enough: no box, and the release zooms nothing.
    Drag(3.0f, 4.0f, 5.0f, 6.0f, 300);
    EXPECT_TRUE(SameFrame(CurveGraphFrame()[0], curveAfterSuite));
    // A box 50 units wide does nothing.
    Move(3.0f, 4.0f);
    Down(3.0f, 4.0f);
    const std::array<int32_t, 2> press = MainState().PressPoint;
    plat::test::advance(400);
    Move(5.0f, 6.0f);
    EXPECT_TRUE(MainState().ZoomBoxShown);
    EXPECT_NE(Picture().pixels, page.pixels);  // the box is on the page
    HandleEvent(EventMouseUp, EventRecord{0, 1, 0, 0, 0, press[0] + 50, press[1] + 300});
    EXPECT_FALSE(MainState().ZoomBoxShown);
    EXPECT_TRUE(SameFrame(CurveGraphFrame()[0], curveAfterSuite));
    EXPECT_EQ(Picture().pixels, page.pixels);  // the box is gone
    // A real box: the curve frame takes the box's ranges.
    Move(3.0f, 4.0f);
    Down(3.0f, 4.0f);
    const std::array<int32_t, 2> p1 = MainState().PressPoint;
    plat::test::advance(400);
    Move(5.5f, 7.0f);
    Up(5.5f, 7.0f);
    const std::array<int32_t, 2> p2 = MainState().BoxCorner;
    GraphFrame expected = curveAfterSuite;
    FINDAS(expected);
    ZOOMBOX(p1[0], p1[1], p2[0], p2[1], expected);
    EXPECT_TRUE(SameFrame(CurveGraphFrame()[0], expected));
    EXPECT_FALSE(SameFrame(CurveGraphFrame()[0], curveAfterSuite));
    EXPECT_TRUE(SameFrame(ModelGraphFrame()[0], modelAfterSuite));
    EXPECT_FLOAT_EQ(CurveGraphFrame()[0].XDivisions * CurveGraphFrame()[0].XDivLength, 5.0f);  // same size
    // The labels stay at their values and keep their size on the page: a
    // zoom spreads them, it does not magnify their text.
    for (size_t i = 0; i < labelsBefore.size(); ++i) {
      const LabelRecord& l = LabelStore().Labels[i];
      EXPECT_EQ(l.LabelX, labelsBefore[i].LabelX) << i;
      EXPECT_EQ(l.LabelY, labelsBefore[i].LabelY) << i;
      const std::array<float, 2> inches = LabelInches(l, CurveGraphFrame()[0]);
      EXPECT_NEAR(inches[0], labelInches[i][0], 1e-3f) << i;
      EXPECT_NEAR(inches[1], labelInches[i][1], 1e-3f) << i;
    }
  }

  // ---- unzoom: back to the suite's frames and the labels' sizes
  Menu(40018);
  for (size_t i = 0; i < labelsBefore.size(); ++i) {
    EXPECT_NEAR(LabelStore().Labels[i].LabelSizeX, labelsBefore[i].LabelSizeX, 1e-4f * labelsBefore[i].LabelSizeX);
    EXPECT_NEAR(LabelStore().Labels[i].LabelSizeY, labelsBefore[i].LabelSizeY, 1e-4f * labelsBefore[i].LabelSizeY);
  }
  EXPECT_TRUE(SameFrame(CurveGraphFrame()[0], curveAfterSuite));
  EXPECT_TRUE(SameFrame(ModelGraphFrame()[0], modelAfterSuite));
  EXPECT_EQ(Picture().pixels, page.pixels);

  // ---- a label dragged by its body takes its anchor along
  {
    SCOPED_TRACE("label drag");
    const LabelRecord before = LabelStore().Slot(2);
    const GraphFrame& c = CurveGraphFrame()[0];
    const float lx = c.OriginX + PLOFX(before.LabelX, c), ly = c.OriginY + PLOFY(before.LabelY, c);
    Move(lx, ly);
    EXPECT_NE(MainState().PickedLabel, 0);
    const int32_t picked = MainState().PickedLabel;
    Down(lx, ly);
    EXPECT_TRUE(MainState().LabelDragging);
    plat::test::advance(400);
    Move(lx + 1.0f, ly - 0.5f);
    const std::array<int32_t, 2> last = MainState().LastPointer;
    Up(lx + 1.0f, ly - 0.5f);
    const LabelRecord& after = LabelStore().Slot(picked);
    EXPECT_FLOAT_EQ(after.LabelX, XOFPL(10.0f * static_cast<float>(last[0]) / 10000.0f, c));
    EXPECT_FLOAT_EQ(after.LabelY, YOFPL(8.0f * (10000.0f - static_cast<float>(last[1])) / 10000.0f, c));
    EXPECT_FLOAT_EQ(after.AnchorX, after.LabelX);
    EXPECT_FALSE(MainState().LabelDragging);
  }

  // ---- grids: check marks and the lines on the page
  {
    SCOPED_TRACE("grids");
    Menu(40008);
    Menu(40011);
    EXPECT_TRUE(Checked(40008) && Checked(40011));
    ScreenRouteDriver() = RecordScreenDriver;
    Recording().clear();
    HandleEvent(EventRepaint, EventRecord{0});
    ScreenRouteDriver() = YYGAPI;
    // Minor lines in grey (13): 8 a decade on the log axes of the curve graph.
    const GraphFrame& c = CurveGraphFrame()[0];
    int grey = 0, colour = -1;
    for (const std::string& op : Recording().screen) {
      if (op.rfind("3 idx=", 0) == 0) colour = std::atoi(op.c_str() + 6);
      else if (op.rfind("2 ", 0) == 0 && colour == 13) ++grey;
    }
    EXPECT_EQ(grey, 8 * (c.XDivisions + c.YDivisions));
    Menu(40008);
    EXPECT_FALSE(Checked(40011));
  }

  // ---- the depth axis becomes logarithmic
  Menu(40020);
  EXPECT_FALSE(d.LINEARMOD);
  EXPECT_FALSE(Checked(40020));
  EXPECT_TRUE(ModelGraphFrame()[0].YLog);
  EXPECT_TRUE(SameFrame(CurveGraphFrame()[0], curveAfterSuite));

  // ---- View Properties: one more decade on the value axis, Apply, OK
  {
    SCOPED_TRACE("properties");
    const float length = CurveGraphFrame()[0].YDivisions * CurveGraphFrame()[0].YDivLength;
    const int32_t decades = CurveGraphFrame()[0].YDivisions;
    GraphFrame drawn = CurveGraphFrame()[0];
    FINDAS(drawn);
    std::vector<std::array<float, 2>> inchesBefore;
    for (int32_t i = 1; i <= LabelStore().LabelCount; ++i) inchesBefore.push_back(LabelInches(LabelStore().Slot(i), drawn));
    Steps({
        [] {
          WDialogSelect(121);
          int32_t n = 0;
          WDialogGetInteger(1081, n);
          WDialogPutInteger(1081, n + 1);
          ClickButton(125, 1090);
        },
        [] { ClickButton(125, 1); },
    });
    Menu(40021);
    EXPECT_TRUE(StepsDone());
    EXPECT_EQ(CurveGraphFrame()[0].YDivisions, decades + 1);
    EXPECT_FLOAT_EQ(CurveGraphFrame()[0].YDivisions * CurveGraphFrame()[0].YDivLength, length);
    EXPECT_EQ(ViewDialogState().ViewLastTab, 121);
    // A new axis keeps the labels' size on the page, as a zoom does.
    for (size_t i = 0; i < inchesBefore.size(); ++i) {
      const std::array<float, 2> inches = LabelInches(LabelStore().Labels[i], CurveGraphFrame()[0]);
      EXPECT_NEAR(inches[0], inchesBefore[i][0], 1e-3f) << i;
      EXPECT_NEAR(inches[1], inchesBefore[i][1], 1e-3f) << i;
    }
    EXPECT_EQ(YYDialogNumber(125), -1);  // unloaded
    Menu(40018);
  }

  // ---- the exports
  {
    SCOPED_TRACE("exports");
    plat::test::answerFileDialog({true, {"suite.PRT"}});
    Steps({[] {
      plat::test::typeText("first road");
      plat::test::key(plat::vk::Return);
    }});
    Menu(40016);
    EXPECT_TRUE(StepsDone());
    ASSERT_TRUE(Exists("suite.PRT"));
    const std::string prt = File("suite.PRT");
    // Its first lines: the file's own name, the date, the comment.
    EXPECT_EQ(prt.rfind(" Output file: \r\n " + (dir_ / "suite.PRT"), 0), 0u) << prt.substr(0, 80);
    EXPECT_NE(prt.find("\r\n Comments: first road"), std::string::npos) << prt.substr(0, 600);
    EXPECT_EQ(Status(1), "Exported to " + (dir_ / "suite.PRT"));
    plat::test::answerFileDialog({true, {"suite.DAT"}});
    Steps({[] {
      plat::test::key(plat::vk::Down);  // late time
      plat::test::key(plat::vk::Return);
    }});
    Menu(40004);
    EXPECT_TRUE(StepsDone());
    ASSERT_TRUE(Exists("suite.DAT"));
    EXPECT_EQ(Status(1), "Exported to " + (dir_ / "suite.DAT"));
    const std::string dat = File("suite.DAT");
    // The varied parameter with its layer in 12 places; the late-time
    // curves chosen for the early- and late-time display, one a member.
    std::istringstream lines(dat);
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    std::getline(lines, third);
    EXPECT_EQ(first, "Parameter to vary is Resistivity of layer           2\r");
    size_t late = 0;
    for (size_t at = third.find("Late Rho-A"); at != std::string::npos; at = third.find("Late Rho-A", at + 1)) ++late;
    EXPECT_EQ(late, 5u) << third;
  }

  // ---- print on the file printer: one landscape page; the screen again after
  {
    SCOPED_TRACE("print");
    const plat::Surface before = Picture();
    plat::test::answerPageSetup({true, 2, 0, false, {}});
    Menu(40023);
    ASSERT_TRUE(Exists("quillon-print-1.pdf"));
    const std::string pdf = dir_ / "quillon-print-1.pdf";
    EXPECT_EQ(Status(1), "Printed to " + pdf);
    EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' > /dev/null").c_str()), 0);
    const std::string info = Output("pdfinfo '" + pdf + "'");
    int pages = 0;
    const size_t pagesAt = info.find("Pages:");
    ASSERT_NE(pagesAt, std::string::npos) << info;
    std::sscanf(info.c_str() + pagesAt, "Pages: %d", &pages);
    EXPECT_EQ(pages, 1);
    float w = 0, h = 0;
    const size_t at = info.find("Page size:");
    ASSERT_NE(at, std::string::npos);
    std::sscanf(info.c_str() + at, "Page size: %f x %f", &w, &h);
    EXPECT_GT(w, h);
    EXPECT_EQ(Picture().pixels, before.pixels);
    EXPECT_FALSE(d.LPRINTING);
    // A cancelled set-up prints nothing.
    plat::test::answerPageSetup({false, 0, 0, false, {}});
    Menu(40023);
    EXPECT_FALSE(Exists("quillon-print-2.pdf"));
  }

  // ---- exit: the settings file it leaves
  Menu(40001);
  ASSERT_TRUE(MainState().Ended);
  const std::string settings = File("quillon.INI");
  ExpectGoldenText(Named(settings, dir_.path()), "settings_after_road.INI");

  // ---- a second run reads them back; its suite pages are cancelled at
  // once, which leaves an empty page and the loop running
  EndRun();
  BeginRun();
  SetWinMsgHook(apptest::CaptureNotice);
  Steps({Press(2)});
  Start();
  EXPECT_FALSE(SuiteResults().Snapshot.Valid);
  EXPECT_FALSE(DisplaySettings().LINEARMOD);
  EXPECT_FALSE(Checked(40020));
  EXPECT_TRUE(Checked(40024));
  EXPECT_FALSE(Checked(40008) || Checked(40011) || Checked(40012) || Checked(40013));
  EXPECT_EQ(SuiteSettings().ILayer, 2);
  EXPECT_EQ(SuiteSettings().NSuite, 5);
  EXPECT_FLOAT_EQ(SuiteSettings().VParam[4], 100.0f);
  const plat::Surface empty = Picture();
  for (uint32_t px : empty.pixels) ASSERT_EQ(px & 0xFFFFFF, empty.pixels[0] & 0xFFFFFF);
  // Without a suite, the exports say so and write nothing; the pointer
  // and a zoom box on the default frames stay finite.
  apptest::Notices().clear();
  Menu(40016);
  Menu(40004);
  EXPECT_EQ(apptest::Notices(), (std::vector<std::string>{"No model suite has been computed: nothing to export",
                                                         "No model suite has been computed: nothing to export"}));
  Drag(2.0f, 3.0f, 4.5f, 6.0f, 400);
  EXPECT_TRUE(std::isfinite(CurveGraphFrame()[0].XDivLength));
  EXPECT_FALSE(Status(2).empty());
  EXPECT_EQ(Status(2).find("*"), std::string::npos) << Status(2);
  Menu(40001);
}

}  // namespace
