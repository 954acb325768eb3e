// The two graphs: scaling from the suite's ranges, the model staircase, the
// grid lines and the user labels, drawn onto the recording driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/Plotxy.h"
#include "app/DisplaySettings.h"
#include "app/DrawGrid.h"
#include "app/DrawLabel.h"
#include "app/plotModel.h"
#include "app/plotRho.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "toolkit/graphics/GraphicsArea.h"

namespace {

std::vector<std::string> gNotices;
void Capture(std::string_view, std::string_view text) { gNotices.emplace_back(text); }

class GraphsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDisplaySettings();
    ResetSuiteSettings();
    ResetSuiteResults();
    ResetSoundings();
    gNotices.clear();
    SetWinMsgHook(Capture);
  }
  void TearDown() override { SetWinMsgHook(nullptr); }

  // A record with the given times as its abscissa (one curve of values).
  static void Times(SoundingRecord& r, std::vector<float> t, std::vector<float> v = {}) {
    r.Data.NPoints = static_cast<int32_t>(t.size());
    r.Arrays->DataMatrix.Create(r.Data.NPoints, 1);
    r.Synthetics.Create(r.Data.NPoints, 1);
    for (size_t i = 0; i < t.size(); ++i) {
      r.Arrays->DataMatrix(static_cast<int32_t>(i + 1), 1) = t[i];
      if (i < v.size()) r.Synthetics(static_cast<int32_t>(i + 1), 1) = v[i];
    }
    r.Computed = !v.empty();
  }
  // A layered model: resistivities then thicknesses (or depths).
  static void Model(SoundingRecord& r, std::vector<float> rho, std::vector<float> t, bool depths = false) {
    Model1D& m = r.Model;
    m.NLayers = static_cast<int32_t>(rho.size());
    m.ValuesPerLayer = 1;
    m.NParams = static_cast<int32_t>(rho.size() + t.size());
    m.DepthFlag = depths;
    m.Value.Create(m.NParams);
    for (size_t i = 0; i < rho.size(); ++i) m.Value(static_cast<int32_t>(i + 1)) = rho[i];
    for (size_t i = 0; i < t.size(); ++i) m.Value(static_cast<int32_t>(rho.size() + i + 1)) = t[i];
  }
};

TEST_F(GraphsTest, TimeAxisFromTheRecordsTimes) {
  struct Case {
    std::vector<float> t;
    int32_t low, decades;
  } cases[] = {
      {{1.0e-5f, 1.0e-3f, 0.1f}, -6, 6},  // the single-precision 1e-5 lies just below 1e-5
      {{0.001f, 0.1f, 10.0f}, -3, 5},     // the stored 0.001 lies just above 0.001
      {{}, 29, 2},                        // no usable time
      {{0.02f, 0.02f}, -2, 1},            // one value: at least one decade
  };
  for (const Case& c : cases) {
    SoundingRecord r;
    Times(r, c.t);
    GraphFrame f;
    SCALE_X(f, r, r);
    EXPECT_EQ(f.XExponentOrMinor, c.low);
    EXPECT_EQ(f.XDivisions, c.decades);
    EXPECT_TRUE(f.XLog);
    EXPECT_EQ(f.XStep, 0.0f);
  }
}

TEST_F(GraphsTest, ValueAxisFromTheSuitesRange) {
  SuiteResultsRecord& r = SuiteResults();
  SoundingRecord rec;
  Times(rec, {1, 2, 3}, {3.0f, 1.0e20f, 250.0f});
  SCALE_Y_MINMAX(rec, r.SuiteYMin, r.SuiteYMax, 1, 2, 1, true, 0);
  EXPECT_FLOAT_EQ(r.SuiteYMin, 3.0f);   // the missing value never enters the range
  EXPECT_FLOAT_EQ(r.SuiteYMax, 250.0f);
  SCALE_Y_MINMAX(rec, r.SuiteYMin, r.SuiteYMax, 1, 2, 1, true, 1);  // a status: nothing
  GraphFrame& f = CurveGraphFrame()[0];
  f.XDivisions = 5;
  SCALESUITEY(1);
  EXPECT_EQ(f.YExponentOrMinor, 0);
  EXPECT_EQ(f.YDivisions, 3);
  EXPECT_FLOAT_EQ(f.YDivLength, 2.0f);
  EXPECT_FLOAT_EQ(f.XDivLength, 1.0f);
  EXPECT_FLOAT_EQ(f.OriginX, 1.25f);
  EXPECT_FLOAT_EQ(f.OriginY, 1.25f);
  EXPECT_TRUE(f.NumberBottom && f.NumberLeft && !f.NumberRight && !f.NumberTop);

  // An empty range: one decade, 20 to 21. A linear axis: minor intervals 5.
  r.SuiteYMin = 1.0e20f;
  r.SuiteYMax = -1.0e20f;
  SCALESUITEY(1);
  EXPECT_EQ(f.YExponentOrMinor, 20);
  EXPECT_EQ(f.YDivisions, 1);
  SuiteSettings().LogData = false;
  r.SuiteYMin = 0.0f;
  r.SuiteYMax = 450.0f;
  SCALESUITEY(1);
  EXPECT_FALSE(f.YLog);
  EXPECT_EQ(f.YExponentOrMinor, 5);
  EXPECT_GE(f.YStart + static_cast<float>(f.YDivisions) * f.YStep, 450.0f);
}

TEST_F(GraphsTest, ModelAxesFromTheKeptRanges) {
  struct Case {
    std::vector<std::vector<float>> rho, thick;
    bool linear;
    int32_t xlow, xdecades, ylow, ydivisions;
  } cases[] = {
      // Half-spaces: the depth range falls back to 125..500 m.
      {{{10}}, {{}}, false, 1, 1, 2, 1},
      // First boundaries 20..200 m: LOGNX(18, 220), 10 m at the top edge.
      {{{100, 10}, {100, 10}}, {{20}, {200}}, false, 1, 2, 1, 2},
      // One boundary: no depth range either.
      {{{5, 300}}, {{50}}, false, 0, 3, 2, 1},
      {{{100, 100}}, {{50}}, false, 2, 1, 2, 1},
  };
  for (const Case& c : cases) {
    SuiteResultsRecord r;
    for (size_t i = 0; i < c.rho.size(); ++i) {
      SoundingRecord rec;
      Model(rec, c.rho[i], c.thick[i]);
      SCALE_MDL_MINMAX(rec, false, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax, r.ModelElevMin,
                       r.ModelElevMax);
    }
    DisplaySettings().LINEARMOD = c.linear;
    GraphFrame f;
    SoundingRecord any;
    SCALEMODELS(f, any, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
    const GraphFrame once = f;
    SCALEMODELS(f, any, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
    EXPECT_EQ(std::memcmp(&once, &f, sizeof f), 0) << "scaling twice gives the same axes";
    EXPECT_EQ(f.XExponentOrMinor, c.xlow);
    EXPECT_EQ(f.XDivisions, c.xdecades);
    EXPECT_EQ(f.YExponentOrMinor, c.ylow);
    EXPECT_EQ(f.YDivisions, c.ydivisions);
    MODINCH(f, 1);
    EXPECT_FLOAT_EQ(f.OriginY, 7.25f);  // a log depth axis starts at the top edge
    EXPECT_LT(f.YDivLength, 0.0f);
  }
  // Half-spaces on a linear axis: from 0; MODINCH turns it downwards.
  SuiteResultsRecord r;
  DisplaySettings().LINEARMOD = true;
  GraphFrame f;
  SoundingRecord any;
  SCALEMODELS(f, any, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
  EXPECT_FLOAT_EQ(r.ModelDepthMin, 125.0f);
  EXPECT_FLOAT_EQ(r.ModelDepthMax, 500.0f);
  EXPECT_EQ(f.YStart, 0.0f);
  f.YStart = 0.0f;
  f.YStep = 100.0f;
  f.YDivisions = 5;
  MODINCH(f, 1);
  EXPECT_FLOAT_EQ(f.YStart, 500.0f);
  EXPECT_FLOAT_EQ(f.YStep, -100.0f);
  EXPECT_FLOAT_EQ(f.YDivLength, 1.2f);
  EXPECT_FLOAT_EQ(f.OriginX, 7.25f);
  EXPECT_FLOAT_EQ(f.OriginY, 1.25f);
}

TEST_F(GraphsTest, StaircaseVertices) {
  struct Case {
    const char* what;
    std::vector<float> rho, thick;
    bool depths;
    float top, bottom;
    std::vector<float> x, z;
  } cases[] = {
      {"a half-space", {10}, {}, false, 0, 600, {10, 10}, {0, 600}},
      {"two layers on a log axis", {100, 10}, {50}, false, 10, 1000, {100, 100, 10, 10}, {10, 50, 50, 1000}},
      {"the same as depths", {100, 10}, {50}, true, 10, 1000, {100, 100, 10, 10}, {10, 50, 50, 1000}},
      {"three layers as depths take the second depth as it is", {100, 10, 50}, {50, 80}, true, 0, 500,
       {100, 100, 10, 10, 50, 50}, {0, 50, 50, 80, 80, 500}},
      {"three layers as thicknesses add up", {100, 10, 50}, {50, 80}, false, 0, 500,
       {100, 100, 10, 10, 50, 50}, {0, 50, 50, 130, 130, 500}},
      {"boundaries below the range collapse onto its bottom", {100, 10, 50}, {50, 800}, false, 0, 500,
       {100, 100, 10, 10, 50, 50}, {0, 50, 50, 500, 500, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<float> x(2 * c.rho.size() + 2), z(x.size());
    int32_t n = 0;
    MDL2LIN(c.top, c.bottom, x, z, n, false, c.rho, c.thick, static_cast<int32_t>(c.rho.size()), c.depths);
    ASSERT_EQ(n, static_cast<int32_t>(c.x.size()));
    for (int32_t i = 0; i < n; ++i) {
      EXPECT_FLOAT_EQ(x[static_cast<size_t>(i)], c.x[static_cast<size_t>(i)]) << i;
      EXPECT_FLOAT_EQ(z[static_cast<size_t>(i)], c.z[static_cast<size_t>(i)]) << i;
    }
  }
  // In feet: the depths divided by 0.3048.
  DisplaySettings().LDInFeet = true;
  std::vector<float> x(6), z(6);
  int32_t n = 0;
  const std::vector<float> rho{100, 10}, t{50};
  MDL2LIN(0, 500, x, z, n, false, rho, t, 2, false);
  EXPECT_FLOAT_EQ(z[0], 0.0f);
  EXPECT_NEAR(z[1], 164.042f, 1e-3);
  EXPECT_NEAR(z[2], 164.042f, 1e-3);
}

// Lines the recording driver got, in plot inches of the 10 x 8 inch page.
struct Line {
  float x1, y1, x2, y2;
};
std::vector<Line> Lines() {
  std::vector<Line> out;
  for (const std::string& op : OpsOf(Recording().screen, kOpLine)) {
    Line l{};
    if (std::sscanf(op.c_str(), "2 (%f,%f)-(%f,%f)", &l.x1, &l.y1, &l.x2, &l.y2) != 4) continue;
    YYPageToUnits(l.x1, l.y1, l.x1, l.y1);
    YYPageToUnits(l.x2, l.y2, l.x2, l.y2);
    if (std::hypot(l.x2 - l.x1, l.y2 - l.y1) > 1e-3f) out.push_back(l);
  }
  return out;
}

TEST_F(GraphsTest, GridLineCounts) {
  struct Case {
    const char* what;
    bool log;
    int32_t divisions, minorCount;
    bool major;
    int32_t minorColour;
    size_t vertical;
  } cases[] = {
      {"log axis of 3 decades: 8 minor lines a decade and 2 major", true, 3, -1, true, 13, 26},
      {"linear axis of 4 divisions of 5: 4 minor a division and 3 major", false, 4, 5, true, 13, 19},
      {"minor colour 0: majors only", false, 4, 5, true, 0, 3},
      {"major off: nothing", true, 3, -1, false, 13, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GraphicsTestSetUp(1001, 801);
    ResetPenPlotState();
    GraphFrame page;
    PLOTXY(1.0f, 0.0f, 1, page);
    std::array<GraphFrame, 2> f{};
    f[0].OriginX = f[0].OriginY = 1.0f;
    f[0].XLog = c.log;
    f[0].XDivisions = c.divisions;
    f[0].XDivLength = 1.5f;
    f[0].XExponentOrMinor = c.minorCount;
    f[0].YDivisions = 1;  // one division without subdivisions: no horizontal lines
    f[0].YDivLength = 4.0f;
    f[0].YExponentOrMinor = 0;
    Recording().clear();
    DRAWGRID(f, c.major, c.minorColour, c.minorColour, false, 1);
    const std::vector<Line> lines = Lines();
    EXPECT_EQ(lines.size(), c.vertical);
    for (const Line& l : lines) {
      EXPECT_FLOAT_EQ(l.x1, l.x2);
      EXPECT_NEAR(l.y1, 1.0f, 1e-2);
      EXPECT_NEAR(l.y2, 5.0f, 1e-2);
    }
  }
}

TEST_F(GraphsTest, LabelStoreAddsFiftyAndRemovesWithoutGaps) {
  for (int i = 1; i <= 50; ++i) {
    LabelRecord l;
    l.LabelColour = i % 16;
    l.LabelMember = i;
    l.LabelText = "L" + std::to_string(i);
    EXPECT_TRUE(AddLabel(l));
  }
  EXPECT_EQ(LabelStore().LabelCount, 50);
  EXPECT_FALSE(AddLabel(LabelRecord{}));
  EXPECT_EQ(gNotices, (std::vector<std::string>{"Too many labels"}));
  RemoveLabel(3);
  EXPECT_EQ(LabelStore().LabelCount, 49);
  EXPECT_EQ(LabelStore().Slot(3).LabelMember, 4);
  EXPECT_EQ(LabelStore().Slot(3).LabelColour, 4);
  EXPECT_EQ(LabelStore().Slot(4).LabelText.substr(0, 3), "L5 ");
  int32_t n = 49;
  DELETELABEL(n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(LabelStore().LabelCount, 48);
  CLEARLABELS(0);
  EXPECT_EQ(LabelStore().LabelCount, 0);
}

// A log-log frame of the curve graph's place and size.
GraphFrame CurveFrame() {
  GraphFrame f;
  f.OriginX = f.OriginY = 1.25f;
  f.XLog = f.YLog = true;
  f.XExponentOrMinor = -3;
  f.XDivisions = 5;
  f.XDivLength = 1.0f;
  f.YExponentOrMinor = 0;
  f.YDivisions = 3;
  f.YDivLength = 2.0f;
  FINDAS(f);
  return f;
}

// Event units of a page point.
int32_t U(float x) { return static_cast<int32_t>(std::lround(x * 1000.0f)); }
int32_t V(float y) { return static_cast<int32_t>(std::lround(10000.0f - y * 1250.0f)); }

TEST_F(GraphsTest, PickingFindsTheNearestPartOfALabel) {
  DisplaySettings().LLABELS = true;
  const GraphFrame f = CurveFrame();
  LabelRecord l;
  l.LabelX = l.AnchorX = 0.1f;  // x: decade -1, 2 inches right of the origin
  l.LabelY = l.AnchorY = 10.0f;  // y: decade 1, 2 inches up
  // Log-axis sizes below 1 are factors too: the box runs between the two
  // ends whatever their order.
  l.LabelSizeX = 0.5f;
  l.LabelSizeY = 0.24f;
  AddLabel(l);
  const float cx = 1.25f + 2.0f, cy = 1.25f + 2.0f;
  struct Case {
    const char* what;
    float x, y;
    int32_t label, handle;
  } cases[] = {
      {"the box", cx + 0.02f, cy + 0.03f, 1, 0},
      {"the right side", cx + std::log10(std::sqrt(2.0f)) * 1.0f, cy, 1, 2},
      {"a corner", cx + std::log10(std::sqrt(2.0f)), cy + 2.0f * std::log10(std::sqrt(1.0f / 0.24f)), 1, 1},
      {"far away", cx + 2.0f, cy + 2.0f, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int32_t label = 0, handle = 99;
    float tolerance = 0.05f;
    bool anchor = true;
    GraphFrame copy;
    TESTLABEL(label, tolerance, U(c.x), V(c.y), f, copy, anchor, handle, 0);
    EXPECT_EQ(label, c.label);
    if (c.label != 0) {
      EXPECT_EQ(handle, c.handle);
      EXPECT_FALSE(anchor);
    }
  }
  // The anchor of a moved label.
  LabelStore().Slot(1).LabelX = 1.0f;
  int32_t label = 0, handle = 0;
  float tolerance = 0.05f;
  bool anchor = false;
  GraphFrame copy;
  TESTLABEL(label, tolerance, U(cx), V(cy), f, copy, anchor, handle, 0);
  EXPECT_EQ(label, 1);
  EXPECT_TRUE(anchor);
  // Hidden labels are never picked.
  DisplaySettings().LLABELS = false;
  label = 0;
  tolerance = 0.05f;
  TESTLABEL(label, tolerance, U(cx), V(cy), f, copy, anchor, handle, 0);
  EXPECT_EQ(label, 0);
}

TEST_F(GraphsTest, ALabelAtNoNumberIsSkippedAndSaidOnce) {
  DisplaySettings().LLABELS = true;
  const GraphFrame f = CurveFrame();
  LabelRecord bad;
  bad.LabelX = bad.AnchorX = std::nanf("");
  bad.LabelY = bad.AnchorY = 10.0f;
  bad.LabelSizeX = bad.LabelSizeY = 2.0f;
  AddLabel(bad);
  for (int i = 0; i < 5; ++i) {
    int32_t label = 0, handle = 0;
    float tolerance = 0.05f;
    bool anchor = false;
    GraphFrame copy;
    TESTLABEL(label, tolerance, U(3.25f), V(3.25f), f, copy, anchor, handle, 0);
    EXPECT_EQ(label, 0);
  }
  EXPECT_EQ(gNotices, (std::vector<std::string>{"nan in testlab 1"}));
}

}  // namespace
