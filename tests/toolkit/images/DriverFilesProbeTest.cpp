// Every file the system's plot-file drivers write is recognised by the
// probe and measured: the test page through each driver in turn.
#include <gtest/gtest.h>

#include <array>

#include "tests/toolkit/vectordrivers/VectorFixture.h"
#include "toolkit/hardcopy/FileProbe.h"

namespace {

using Info = std::array<int32_t, 6>;

class DriverFilesProbeTest : public vdtest::VectorTest {
 protected:
  Info ProbeOf(int32_t driver, const std::string& name, const std::function<void()>& options = {}) {
    Plot(driver, DrawTestPage, options, name);
    Info info;
    info.fill(77);
    YYGraphicsFileProbe(Path(), info, 6);
    return info;
  }
};

TEST_F(DriverFilesProbeTest, DriverFilesAreClassifiedAndMeasured) {
  // HP-GL: the model record and the input window give the page in points.
  const Info hpgl = ProbeOf(1, "page.plt");
  EXPECT_EQ(hpgl[0], kFileHpgl);
  EXPECT_EQ(hpgl[4], 1);  // plotter model 1
  EXPECT_EQ(hpgl[3], 4);  // its pens
  EXPECT_NEAR(hpgl[1], 742, 1);
  EXPECT_NEAR(hpgl[2], 530, 1);
  EXPECT_EQ(hpgl[5], 1);  // one page
  // HP-GL/2: the device-type comment and the input window.
  const Info hpgl2 = ProbeOf(12, "page2.plt");
  EXPECT_EQ(hpgl2, (Info{kFileHpgl2, 769, 561, 2, 1, 1}));
  // SVG: the svg element's width and height.
  const Info svg = ProbeOf(3, "page.svg");
  EXPECT_EQ(svg[0], kFileSvg);
  EXPECT_EQ(svg[1], 640);
  EXPECT_EQ(svg[2], 480);
  // DXF with the default options: 10.5 x 7.5 inches.
  const Info dxf = ProbeOf(8, "page.dxf");
  EXPECT_EQ(dxf[0], kFileDxf);
  EXPECT_EQ(dxf[1], 756);
  EXPECT_EQ(dxf[2], 540);
  // PostScript: no bounding box on line 2; EPS: the box's upper corner.
  const Info ps = ProbeOf(2, "page.ps");
  EXPECT_EQ(ps[0], kFilePostScript);
  EXPECT_EQ(ps[3], 0);
  const Info eps = ProbeOf(2, "page.eps", [] { HardcopyOptions().Opt[OptEps] = 1; });
  EXPECT_EQ(eps[0], kFilePostScript);
  EXPECT_EQ(eps[3], 1);
  const auto lines = vdtest::Lines(vdtest::ReadBytes(Path()));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "%%BoundingBox: 0 0 " + std::to_string(eps[1]) + " " + std::to_string(eps[2]));
  EXPECT_GT(eps[1], 0);
  // CGM: one picture, 1000 wide and high by the VDC extent's aspect.
  const Info cgm = ProbeOf(9, "page.cgm");
  EXPECT_EQ(cgm[0], kFileCgm);
  EXPECT_EQ(cgm[1], 1000);
  EXPECT_EQ(cgm[3], 1);
  int32_t pictures = 0;
  float aspect = 0.0f;
  YYINFOCGM(Path(), pictures, aspect);
  EXPECT_EQ(cgm[2], static_cast<int32_t>(1000.0 / static_cast<double>(aspect)));
  EXPECT_NEAR(aspect, 756.0 / 540.0, 0.01);
}

}  // namespace
