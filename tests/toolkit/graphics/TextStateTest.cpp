// Character size, width table, text angle and font selection.
#include <gtest/gtest.h>

#include "RecordingDriver.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFont.h"

namespace {

class TextStateTest : public ::testing::Test {
 protected:
  void SetUp() override { GraphicsTestSetUp(); }
};

TEST_F(TextStateTest, TextAngleIsNormalisedAndSent) {
  StartRecordingHardcopy();
  Recording().clear();
  for (auto [in, out] : {std::pair{-90.0f, 270.0f}, {720.0f, 0.0f}, {359.5f, 359.5f},
                         {-720.5f, 359.5f}, {90.0f, 90.0f}}) {
    YYTextAngle(in);
    EXPECT_FLOAT_EQ(GraphicsState().TextAngle, out) << in;
  }
  EXPECT_EQ(OpsOf(Recording().screen, kOpTextDirection).size(), 5u);
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpTextDirection).size(), 5u);
  // At 90 degrees on a 401 x 301 view the sine terms carry the anisotropy.
  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_NEAR(g.TextDirCosine, 0.0f, 1e-6f);
  EXPECT_NEAR(g.TextDirSineAspect * g.TextDirSine, 1.0f, 1e-5f);
  EXPECT_NEAR(YYAnisotropy(), 1.0f, 1e-5f);
}

TEST_F(TextStateTest, CharacterSizeFallsBackToDefaults) {
  YYCharSizeSet(0.02f, 0.05f);
  EXPECT_FLOAT_EQ(GraphicsState().CharWidthFraction, 0.02f);
  YYCharSizeSet(0, -1);
  EXPECT_FLOAT_EQ(GraphicsState().CharWidthFraction, 0.01333333f);
  EXPECT_FLOAT_EQ(GraphicsState().CharHeightFraction, 0.04f);
}

TEST_F(TextStateTest, WidthTableResetsAndRefusesBadCodes) {
  EXPECT_FLOAT_EQ(YYCharWidth(37), 1.39f);
  EXPECT_FLOAT_EQ(YYCharWidth(64), 1.54f);
  EXPECT_FLOAT_EQ(YYCharWidth(87), 1.5f);
  EXPECT_FLOAT_EQ(YYCharWidth(198), 1.49f);
  EXPECT_FLOAT_EQ(YYCharWidth(128), 0.74f);
  EXPECT_FLOAT_EQ(YYCharWidth(122), 0.74f);
  EXPECT_FLOAT_EQ(YYCharWidth(191), 0.74f);
  EXPECT_FLOAT_EQ(YYCharWidth(255), 0.83f);
  for (int code : {127, 160, 1, 31, 129, -5, 256}) {
    ClearErrors();
    YYCHSPACE(code);
    EXPECT_EQ(LastErrorCode(), 66) << code;
  }
  ClearErrors();
  YYCHSPACE(128);
  YYCHSPACE(0);
  EXPECT_EQ(LastErrorCode(), 0);
}

TEST_F(TextStateTest, FontSelectionSetsKindSpacingAndFamily) {
  const GraphicsStateRecord& g = GraphicsState();
  Recording().clear();
  WGrTextFont(103, 1, 0.022f, 0.04f, std::nullopt, 2);  // the page's device font
  EXPECT_EQ(g.FontKind, 0);
  EXPECT_EQ(g.DeviceFamily, 3);
  EXPECT_EQ(g.SpacingMode, 1);
  EXPECT_EQ(g.FallbackFamily, 3);
  EXPECT_FLOAT_EQ(g.CharWidthFraction, 0.022f);
  EXPECT_EQ(OpsOf(Recording().screen, kOpFont).size(), 1u);

  WGrTextFont(101);
  EXPECT_EQ(g.SpacingMode, 0);
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
  EXPECT_EQ(g.SpacingMode, 0);  // family 1 keeps fixed pitch
  WGrTextFont(1);
  EXPECT_EQ(g.FontKind, 1);
  EXPECT_EQ(g.SpacingMode, 0);  // standard.chr is fixed pitch
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
  EXPECT_EQ(g.SpacingMode, 1);
  WGrTextFont(std::nullopt, 2);
  EXPECT_FLOAT_EQ(g.Slant, 0.4663f);

  // A width of 0 keeps the size but still sends op 21 for a device font.
  WGrTextFont(102);
  Recording().clear();
  WGrTextFont(std::nullopt, std::nullopt, 0.0f);
  EXPECT_FLOAT_EQ(g.CharWidthFraction, 0.022f);
  EXPECT_EQ(OpsOf(Recording().screen, kOpFont).size(), 1u);
}

TEST_F(TextStateTest, UserFontNeedsAName) {
  WGrTextFont(100);
  EXPECT_EQ(LastErrorCode(), 1058);
  ClearErrors();
  WGrTextFont(std::nullopt, 0);
  EXPECT_EQ(LastErrorCode(), 1058);  // again on every call while it stands
  ClearErrors();
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, "Courier");
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(GraphicsState().UserFontName.substr(0, 8), "Courier ");
  EXPECT_EQ(GraphicsState().UserFontName.size(), 100u);
  WGrTextFont(std::nullopt, 0);
  EXPECT_EQ(LastErrorCode(), 0);
}

}  // namespace
