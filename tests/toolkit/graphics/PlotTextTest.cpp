// The utility library's centred, right and left strings.
#include <gtest/gtest.h>

#include "RecordingDriver.h"
#include "VOZUVar/PlotText.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

TEST(PlotTextTest, JustificationAndCount) {
  GraphicsTestSetUp(401, 301);
  IGrUnits(0, 0, 400.99f, 300.99f);
  struct Case { void (*draw)(float, float, std::string_view, int32_t); int justify; };
  for (const Case c : {Case{CENTSTRING, 1}, {RIGHTSTRING, 2}, {LEFTSTRING, 0}}) {
    Recording().clear();
    c.draw(50.0f, 100.0f, "Label text", 5);  // y first, then x
    EXPECT_EQ(GraphicsState().TextJustify, c.justify);
    const auto ops = OpsOf(Recording().screen, kOpText);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].substr(0, 14), "22 n=5 'Label'");
  }
  Recording().clear();
  LEFTSTRING(50.0f, 100.0f, "abc", -3);
  LEFTSTRING(50.0f, 100.0f, "abc", 99);  // never past the text
  const auto ops = OpsOf(Recording().screen, kOpText);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].substr(0, 12), "22 n=3 'abc'");
}

}  // namespace
