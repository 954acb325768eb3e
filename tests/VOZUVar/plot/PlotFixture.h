// The pen-plot layer's tests draw through the whole graphics engine onto the
// recording driver and read the line and text operations back in plot
// inches: the page is 1001 x 801 pixels, so one inch is about 100 pixels.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "VOZUVar/GraphFrame.h"
#include "VOZUVar/Gngrid.h"
#include "VOZUVar/Plotxy.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

namespace plottest {

struct Segment {
  float x1, y1, x2, y2;
  float Length() const { return std::hypot(x2 - x1, y2 - y1); }
};

// Every line the screen route drew, in user units (plot inches on a page).
inline std::vector<Segment> Segments(bool skipEmpty = true) {
  std::vector<Segment> out;
  for (const std::string& op : OpsOf(Recording().screen, kOpLine)) {
    float a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(op.c_str(), "2 (%f,%f)-(%f,%f)", &a, &b, &c, &d) != 4) continue;
    Segment s{};
    YYPageToUnits(a, b, s.x1, s.y1);
    YYPageToUnits(c, d, s.x2, s.y2);
    if (skipEmpty && s.Length() < 1.0e-3f) continue;
    out.push_back(s);
  }
  return out;
}

// The texts drawn, in order, with the start of each (plot inches; for
// unturned text its y is the y the text was given). Proportional text
// reaches the driver one character at a time; the characters of one text
// share its end points.
struct Label {
  std::string text;
  float x = 0.0f, y = 0.0f;
};
inline std::vector<Label> Labels() {
  std::vector<Label> out;
  std::string lastEnds;
  for (const std::string& op : OpsOf(Recording().screen, kOpText)) {
    const size_t a = op.find('\''), b = op.find("' S="), e = op.find(" E2="), w = op.find(" whole");
    if (a == std::string::npos || b == std::string::npos || e == std::string::npos) continue;
    const std::string text = op.substr(a + 1, b - a - 1);
    const std::string ends = op.substr(e, w - e);
    if (!out.empty() && ends == lastEnds) {
      out.back().text += text;
    } else {
      Label l;
      l.text = text;
      float px = 0, py = 0;
      std::sscanf(op.c_str() + b, "' S=(%f,%f)", &px, &py);
      YYPageToUnits(px, py, l.x, l.y);
      out.push_back(l);
    }
    lastEnds = ends;
  }
  return out;
}

inline std::vector<std::string> Texts() {
  std::vector<std::string> out;
  for (const Label& l : Labels()) out.push_back(l.text);
  return out;
}

// The text operations that the engine itself sends for a text at (x, y)
// with the given character size, justification and angle: the oracle of
// the plot text routines.
inline std::vector<std::string> EngineText(float x, float y, float cw, float ch, int32_t justify,
                                           float angle, std::string_view text) {
  WGrTextFont(std::nullopt, std::nullopt, cw, ch, std::nullopt, 2);
  IGrTextAttributes(justify, angle);
  Recording().clear();
  IGrTextOut(x, y, text);
  return OpsOf(Recording().screen, kOpText);
}

inline bool Near(const Segment& s, float x1, float y1, float x2, float y2, float tol = 2.0e-3f) {
  return std::fabs(s.x1 - x1) < tol && std::fabs(s.y1 - y1) < tol && std::fabs(s.x2 - x2) < tol &&
         std::fabs(s.y2 - y2) < tol;
}

inline std::string Describe(const Segment& s) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "(%.3f,%.3f)-(%.3f,%.3f)", s.x1, s.y1, s.x2, s.y2);
  return buf;
}

#define EXPECT_SEGMENT(s, X1, Y1, X2, Y2) \
  EXPECT_TRUE(plottest::Near((s), (X1), (Y1), (X2), (Y2))) << plottest::Describe(s)

// A fresh engine on the recording driver, a fresh pen-plot layer and a
// screen page started; the log holds only what the test draws.
class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(1001, 801);
    ResetPenPlotState();
    ResetGraphLibraryState();
    PLOTXY(1.0f, 0.0f, 1, frame_);
    Recording().clear();
  }
  GraphFrame frame_;
};

// A frame of nx by ny divisions at the given origin, numbered nowhere.
inline GraphFrame LinearFrame(float ox, float oy, int32_t nx, float dx, int32_t ny, float dy) {
  GraphFrame f;
  f.OriginX = ox;
  f.OriginY = oy;
  f.XDivLength = dx;
  f.YDivLength = dy;
  f.XDivisions = nx;
  f.YDivisions = ny;
  f.XStart = 0.0f;
  f.YStart = 0.0f;
  f.XStep = 1.0f;
  f.YStep = 1.0f;
  f.XExponentOrMinor = 5;
  f.YExponentOrMinor = 5;
  FINDAS(f);
  return f;
}

}  // namespace plottest
