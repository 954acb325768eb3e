// Text output: current position, device passes per route, clipping by
// characters, stroke fallback.
#include <gtest/gtest.h>

#include "RecordingDriver.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

namespace {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(401, 301);
    IGrUnits(0, 0, 400.99f, 300.99f);  // user units are page units
    Recording().clear();
  }
};

TEST_F(TextTest, CurrentPositionAfterJustification) {
  // Device font, fixed pitch: nominal cell 400.99 * 0.01333333 wide.
  const float cw = 400.99f * 0.01333333f;
  struct Case { int justify; float x; };
  for (const Case c : {Case{0, 100 + 4 * cw}, {1, 100 + 2 * cw + 0.5f * cw}, {2, 100 + cw}}) {
    IGrTextAttributes(c.justify);
    IGrTextOut(100.0f, 50.0f, "ABCD");
    EXPECT_NEAR(GraphicsState().CurrentX, c.x, 1e-3f) << c.justify;
    EXPECT_NEAR(GraphicsState().CurrentY, 50.0f, 1e-4f);
  }
  Recording().clear();
  IGrTextAttributes(1);
  IGrTextOut(100.0f, 50.0f, "");
  EXPECT_TRUE(OpsOf(Recording().screen, kOpText).empty());
  EXPECT_NEAR(GraphicsState().CurrentX, 100 + 0.5f * cw, 1e-3f);
}

TEST_F(TextTest, WholeStringOnTheScreenAndPerCharacterWithWidthTable) {
  IGrTextAttributes(0);
  IGrTextOut(100.0f, 50.0f, "Hello");
  ASSERT_EQ(OpsOf(Recording().screen, kOpText).size(), 1u);
  EXPECT_EQ(OpsOf(Recording().screen, kOpText)[0].substr(0, 28), "22 n=5 'Hello' S=(100.00,50.");
  Recording().clear();
  WGrTextFont(103, 0, std::nullopt, std::nullopt, std::nullopt, 2);  // spacing mode 1
  IGrTextOut(100.0f, 50.0f, "Hello");
  EXPECT_EQ(OpsOf(Recording().screen, kOpText).size(), 5u);
}

TEST_F(TextTest, CharactersLeftOfTheClipWindowAreDropped) {
  IGrTextAttributes(0);
  YYViewportSet(20, 0, 400.99f, 300.99f);
  IGrUnits(20, 0, 400.99f, 300.99f);
  const float cw = 400.99f * 0.01333333f;
  IGrTextOut(20 - 2 * cw + 0.5f, 50.0f, "ABCDE");
  const auto ops = OpsOf(Recording().screen, kOpText);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].substr(0, 12), "22 n=3 'CDE'");
  Recording().clear();
  IGrTextOut(-100.0f, 50.0f, "AB");  // every character dropped
  EXPECT_TRUE(OpsOf(Recording().screen, kOpText).empty());
}

TEST_F(TextTest, HardcopyWithoutDeviceTextFallsBackToStrokes) {
  Recording().hardcopyOptions.column.MaxCoordinate = 0.0f;  // no device text at any size
  StartRecordingHardcopy();
  Recording().clear();
  const std::string nameBefore = StrokeFont().FontName;
  IGrTextAttributes(0);
  IGrTextOut(100.0f, 50.0f, "AB");
  EXPECT_EQ(OpsOf(Recording().screen, kOpText).size(), 1u);
  EXPECT_TRUE(OpsOf(Recording().hardcopy, kOpText).empty());
  EXPECT_EQ(StrokeFont().FontName, nameBefore);
  EXPECT_EQ(GraphicsState().FontKind, 0);
  // A driver that takes device text gets the string whole.
  Recording().hardcopyOptions.column.MaxCoordinate = 1.7e38f;
  StartRecordingHardcopy();
  Recording().clear();
  IGrTextOut(100.0f, 50.0f, "AB");
  ASSERT_EQ(OpsOf(Recording().hardcopy, kOpText).size(), 1u);
  EXPECT_NE(OpsOf(Recording().hardcopy, kOpText)[0].find("part=3 whole=1"), std::string::npos);
}

TEST_F(TextTest, AngleResolutionDecidesFallback) {
  DeviceColumn& hc = DeviceInfo().Hardcopy;
  GraphicsState().SpacingMode = 0;
  hc.MaxCoordinate = 1.0e30f;
  hc.AngleSteps = 1;
  YYTextAngle(0.5f);
  EXPECT_FALSE(YYDeviceTextCheck(1, 5, 12));
  YYTextAngle(359.5f);
  EXPECT_TRUE(YYDeviceTextCheck(1, 5, 12));
  hc.AngleSteps = 0;
  YYTextAngle(0);
  EXPECT_TRUE(YYDeviceTextCheck(1, 5, 12));
  hc.AngleSteps = 360;
  EXPECT_FALSE(YYDeviceTextCheck(1, 5, 12));
  GraphicsState().SpacingMode = 1;
  hc.CapabilityMask[26] = '0';
  EXPECT_TRUE(YYDeviceTextCheck(1, 5, 12));
}

TEST_F(TextTest, MeasuringByMode) {
  EXPECT_EQ(WGrTextLengthUnits("W\x80i"), 3.0f);  // fixed pitch counts characters
  Recording().screenOptions.answerTextWidth = true;
  WGrTextFont(103);  // spacing mode 2: the driver measures
  Recording().clear();
  EXPECT_NEAR(WGrTextLengthUnits("abc"), 3.0f, 1e-4f);
  EXPECT_EQ(OpsOf(Recording().screen, kOpTextWidth).size(), 1u);
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
  EXPECT_NEAR(WGrTextLengthUnits("W\x80\x7f"), 1.5f + 0.74f + 0.7f, 1e-5f);
}

}  // namespace

namespace {

class DeviceTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(401, 301);
    IGrUnits(0, 0, 400.99f, 300.99f);
    StartRecordingHardcopy();
    Recording().clear();
  }
};

TEST_F(DeviceTextTest, VerticalTextWholeOnScreenPerCharacterOnHardcopy) {
  IGrTextAttributes(0, std::nullopt, 1);
  IGrTextOut(100.0f, 200.0f, "abc");
  const auto screen = OpsOf(Recording().screen, kOpText);
  ASSERT_EQ(screen.size(), 1u);
  EXPECT_EQ(screen[0].substr(0, 12), "22 n=3 'abc'");
  const auto hc = OpsOf(Recording().hardcopy, kOpText);
  ASSERT_EQ(hc.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(hc[i].substr(0, 6), "22 n=1");
  EXPECT_NE(hc[0].find("part=1"), std::string::npos);
  EXPECT_NE(hc[1].find("part=0"), std::string::npos);
  EXPECT_NE(hc[2].find("part=2"), std::string::npos);
}

TEST_F(DeviceTextTest, EngineUnderlinesWhereTheDriverDoesNot) {
  WGrTextFont(std::nullopt, 4);  // underline
  IGrTextAttributes(0);
  IGrTextOut(100.0f, 100.0f, "Under");
  // The screen driver underlines itself (it clears the whole-text marker);
  // the recording hardcopy driver leaves it, so the engine draws a line.
  EXPECT_TRUE(OpsOf(Recording().screen, kOpLine).empty());
  ASSERT_EQ(OpsOf(Recording().hardcopy, kOpLine).size(), 1u);
  // 0.45 cell heights below, scaled on the hardcopy by page aspect / aspect.
  const float below = 0.45f * 300.99f * 0.04f * (1.0f / GraphicsState().Aspect);
  const DriverParamsRecord& p = DriverParams();
  EXPECT_NEAR(p.PointY[1], 100.0f - below, 1e-3f);
}

TEST_F(DeviceTextTest, BoxedTextOnADriverWithoutBoxes) {
  Recording().hardcopyOptions.boxWord = 0;
  StartRecordingHardcopy();
  Recording().clear();
  WGrTextFont(std::nullopt, 8);  // boxed
  IGrTextAttributes(0);
  IGrTextOut(100.0f, 100.0f, "Box");
  // The box goes to the hardcopy only, in the previous colour and back.
  EXPECT_TRUE(OpsOf(Recording().screen, kOpPolygonSolid).empty());
  const auto brackets = OpsOf(Recording().hardcopy, kOpPolygon);
  ASSERT_EQ(brackets.size(), 2u);
  EXPECT_EQ(brackets[0].substr(0, 5), "15 q=");
  const auto colours = OpsOf(Recording().hardcopy, kOpColour);
  ASSERT_EQ(colours.size(), 2u);
  EXPECT_EQ(colours[0].substr(0, 8), "3 idx=0 ");
  EXPECT_EQ(colours[1].substr(0, 10), "3 idx=223 ");
  EXPECT_TRUE(OpsOf(Recording().screen, kOpColour).empty());
}

}  // namespace
