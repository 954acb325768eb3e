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
#include "VOZUVar/Strings.h"
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


// A curve graph of the page's place and size (5 by 6 inches): time over
// five decades, values over `decades` decades or a linear range.
GraphFrame SuiteFrame(bool logY, int32_t decades) {
  GraphFrame f;
  f.OriginX = f.OriginY = 1.25f;
  f.XLog = true;
  f.XStep = 0.0f;
  f.XExponentOrMinor = -3;
  f.XDivisions = 5;
  f.XDivLength = 1.0f;
  if (logY) {
    f.YLog = true;
    f.YStep = 0.0f;
    f.YExponentOrMinor = -decades / 2;
    f.YDivisions = decades;
  } else {
    f.YLog = false;
    LINNX(0.0f, decades == 2 ? 450.0f : 9.0e-10f, f.YStart, f.YStep, f.YDivisions, f.YExponentOrMinor);
  }
  f.YDivLength = 6.0f / static_cast<float>(f.YDivisions);
  f.NumberBottom = f.NumberLeft = true;
  f.LimitNumberHeight = true;
  f.MaxNumberHeight = 0.16f;
  FINDAS(f);
  return f;
}

// A label's box in inches from its frame's origin.
struct Box {
  float x1, x2, y1, y2;
};
Box BoxOf(const LabelRecord& l, const GraphFrame& f) {
  auto ends = [&](float v, float s, bool log, float (*plot)(float, const GraphFrame&), float& a, float& b) {
    const float p = log ? plot(v / std::sqrt(s), f) : plot(v - s / 2.0f, f);
    const float q = log ? plot(v * std::sqrt(s), f) : plot(v + s / 2.0f, f);
    a = std::min(p, q);
    b = std::max(p, q);
  };
  Box b{};
  ends(l.LabelX, l.LabelSizeX, f.XLog, PLOFX, b.x1, b.x2);
  ends(l.LabelY, l.LabelSizeY, f.YLog, PLOFY, b.y1, b.y2);
  return b;
}

// Texts drawn: the characters of one text share its end points.
size_t TextsDrawn() {
  size_t n = 0;
  std::string last;
  for (const std::string& op : OpsOf(Recording().screen, kOpText)) {
    const size_t e = op.find(" E2="), w = op.find(" whole");
    const std::string ends = e == std::string::npos ? op : op.substr(e, w - e);
    if (ends != last) ++n;
    last = ends;
  }
  return n;
}

// The suite's labels for N members: the caption and the members' values.
std::vector<SuiteLabel> SuiteLabels(int32_t n) {
  std::vector<SuiteLabel> out{{"Resistivity of layer 2", 3, 0}};
  for (int32_t k = 1; k <= n; ++k) out.push_back({std::to_string(10 * k), 2 + 2 * (k % 7), k});
  return out;
}

TEST_F(GraphsTest, SuiteLabelsAreLegibleInsideTheirGraphAndApart) {
  GraphicsTestSetUp(1001, 801);
  ResetPenPlotState();
  GraphFrame page;
  PLOTXY(1.0f, 0.0f, 1, page);
  DisplaySettings().LLABELS = true;
  for (bool logY : {true, false})
    for (int32_t decades : {2, 10})
      for (int32_t n : {1, 5, 20, 50})
        for (int32_t corner = 1; corner <= 4; ++corner) {
          SCOPED_TRACE(std::string(logY ? "log" : "linear") + " " + std::to_string(decades) + " decades, " +
                       std::to_string(n) + " members, corner " + std::to_string(corner));
          const GraphFrame f = SuiteFrame(logY, decades);
          const std::vector<SuiteLabel> labels = SuiteLabels(n);
          const int32_t leftOut = PlaceSuiteLabels(labels, corner, f);
          const LabelStoreRecord& s = LabelStore();
          EXPECT_EQ(leftOut, std::max(0, n + 1 - kMaxLabels));
          ASSERT_EQ(s.LabelCount, n + 1 - leftOut);
          // The axis numbers: 1.3 hn high on a log axis, 1.5 hn on a linear one.
          const float numbers = (logY ? 1.3f : 1.5f) * AxisNumberHeight(f);
          std::vector<Box> boxes;
          for (int32_t i = 1; i <= s.LabelCount; ++i) {
            const LabelRecord& l = s.Slot(i);
            EXPECT_EQ(TrimTrailingBlanks(l.LabelText), labels[static_cast<size_t>(i - 1)].text);
            EXPECT_EQ(l.LabelColour, labels[static_cast<size_t>(i - 1)].colour);
            const Box b = BoxOf(l, f);
            EXPECT_GE(b.x1, 0.0f) << i;
            EXPECT_LE(b.x2, 5.0f) << i;
            EXPECT_GE(b.y1, 0.0f) << i;
            EXPECT_LE(b.y2, 6.0f) << i;
            // The text's height the box gives: its height, and its width
            // for the text's characters.
            const float chars = static_cast<float>(TrimTrailingBlanks(l.LabelText).size());
            const float text = std::min((b.y2 - b.y1) / 1.25f, (b.x2 - b.x1) / (0.456f * chars + 0.6f));
            EXPECT_GE(text, numbers * 0.999f) << i;
            for (size_t j = 0; j < boxes.size(); ++j) {
              const Box& o = boxes[j];
              const bool apart = b.x2 <= o.x1 + 1e-4f || o.x2 <= b.x1 + 1e-4f || b.y2 <= o.y1 + 1e-4f ||
                                 o.y2 <= b.y1 + 1e-4f;
              EXPECT_TRUE(apart) << "label " << i << " over label " << j + 1;
            }
            boxes.push_back(b);
          }
          // The block stands in the chosen corner: the caption against its
          // side edge, the caption against the top or the last label
          // against the bottom.
          const Box& caption = boxes.front();
          if (corner <= 2) EXPECT_LT(caption.x1, 0.2f);
          else EXPECT_GT(caption.x2, 4.8f);
          if (corner == 2 || corner == 3) EXPECT_GT(caption.y2, 5.8f);
          else EXPECT_LT(std::min_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
                           return a.y1 < b.y1;
                         })->y1, 0.2f);
          // Every placed label is drawn: one text each.
          GraphFrame g = f;
          PLOTXY(g.OriginX, g.OriginY, -3, g);
          Recording().clear();
          DRAWLABELS(0, g);
          EXPECT_EQ(TextsDrawn(), static_cast<size_t>(s.LabelCount));
        }
}

TEST_F(GraphsTest, LabelsOffTheirGraphAfterAZoomAreNotDrawnNorPicked) {
  GraphicsTestSetUp(1001, 801);
  ResetPenPlotState();
  GraphFrame page;
  PLOTXY(1.0f, 0.0f, 1, page);
  DisplaySettings().LLABELS = true;
  GraphFrame f = SuiteFrame(true, 10);
  ASSERT_EQ(PlaceSuiteLabels(SuiteLabels(5), 2, f), 0);
  auto texts = [&](GraphFrame& g) {
    PLOTXY(g.OriginX, g.OriginY, -3, g);
    Recording().clear();
    DRAWLABELS(0, g);
    return TextsDrawn();
  };
  EXPECT_GT(texts(f), 0u);
  // Zoomed to the lower decades: the labels' places lie above the frame.
  f.YExponentOrMinor -= 6;
  FINDAS(f);
  EXPECT_EQ(texts(f), 0u);
  int32_t label = 0, handle = 0;
  float tolerance = 0.05f;
  bool anchor = false;
  GraphFrame copy;
  TESTLABEL(label, tolerance, U(1.25f + 0.5f), V(1.25f + 5.8f), f, copy, anchor, handle, 0);
  EXPECT_EQ(label, 0);
}

TEST_F(GraphsTest, ASmallLabelKeepsItsBodyAndNeverShrinksBelowItsText) {
  DisplaySettings().LLABELS = true;
  const GraphFrame f = SuiteFrame(true, 10);
  ASSERT_EQ(PlaceSuiteLabels(SuiteLabels(1), 2, f), 0);
  LabelRecord& l = LabelStore().Slot(2);  // "10"
  const Box b = BoxOf(l, f);
  const float cx = 1.25f + (b.x1 + b.x2) / 2.0f, cy = 1.25f + (b.y1 + b.y2) / 2.0f;
  auto pickAt = [&](float x, float y, int32_t& handle) {
    int32_t label = 0;
    float tolerance = 0.05f;
    bool anchor = false;
    GraphFrame copy;
    handle = 99;
    TESTLABEL(label, tolerance, U(x), V(y), f, copy, anchor, handle, 0);
    return label;
  };
  int32_t handle = 0;
  // Inside, off the centre: the body, to move it.
  EXPECT_EQ(pickAt(cx + 0.03f, cy + 0.02f, handle), 2);
  EXPECT_EQ(handle, 0);
  // On its right edge: the side, to size it; on its bottom-right corner (its
  // top edge touches the caption's box): a corner.
  EXPECT_EQ(pickAt(1.25f + b.x2, cy, handle), 2);
  EXPECT_EQ(handle, 2);
  EXPECT_EQ(pickAt(1.25f + b.x2, 1.25f + b.y1, handle), 2);
  EXPECT_EQ(handle, -1);
  // A corner dragged onto the centre leaves the box as large as its text
  // needs; dragged out, the edge follows the pointer.
  SizeLabelTo(l, 1, l.LabelX, l.LabelY, f);
  const Box small = BoxOf(l, f);
  const float numbers = 1.3f * AxisNumberHeight(f);
  EXPECT_GE(small.y2 - small.y1, 1.25f * numbers * 0.999f);
  EXPECT_GE(small.x2 - small.x1, (0.456f * 2.0f + 0.6f) * numbers * 0.999f);
  SizeLabelTo(l, 2, XOFPL(cx + 0.6f, f), l.LabelY, f);
  const Box wide = BoxOf(l, f);
  EXPECT_NEAR(1.25f + wide.x2, cx + 0.6f, 2e-3f);
  EXPECT_NEAR(1.25f + wide.x1, cx - 0.6f, 2e-3f);
}

}  // namespace
