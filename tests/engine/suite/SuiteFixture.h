// Shared set-up of the model-suite tests: clean suite records, labels and
// frames, a capture of the messages shown, a fixed clock for the printout,
// and the base and second models of a suite.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/SuiteServices.h"
#include "engine/CalcLotem.h"
#include "engine/MOD_OUT.h"
#include "engine/ModelSuite.h"
#include "engine/SuiteResults.h"
#include "tests/engine/EngineFixture.h"

namespace suitetest {

// 9 December 2026, 14:05:09.
inline std::tm FixedClock() {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_sec = 9;
  return t;
}

inline void ResetSuiteState() {
  ResetForwardCommon();
  ResetFieldsState();
  ResetTimeTransformState();
  ResetSuiteSettings();
  ResetSuiteResults();
  ResetSoundings();
  DisplaySettings() = DisplaySettingsRecord{};
  LabelStore() = LabelStoreRecord{};
  CurveGraphFrame() = {};
  ModelGraphFrame() = {};
  SavedCurveGraphFrame() = {};
  SavedModelGraphFrame() = {};
  SuiteParameterCaption().assign(256, ' ');
  SetSuiteMemberHook(nullptr);
  SetPrintoutClock(FixedClock);
  ShownMessages().clear();
}

// The base model of the suite (one curve set, as the program's start-up
// record has) and the second model, whose record keeps one curve column
// and one point as the current sounding gives them.
inline void SetBase(std::initializer_list<float> rho, std::initializer_list<float> bounds, bool depth = false) {
  SoundingRecord& base = SuiteBaseModel().Primary;
  SetModel(base, rho, bounds, depth, 1, 1);
  base.Data.NCurveSets = 1;
}
inline void SetSecond(std::initializer_list<float> rho, std::initializer_list<float> bounds, bool depth = false) {
  SetModel(SuiteSecondModel().Primary, rho, bounds, depth, 1, 1);
}

// A suite definition: component, display, kind, layer and member values;
// the other settings keep their start values (1000 m offset, 90 degrees,
// 0.001 s to 10 s).
inline void Define(int32_t component, int32_t display, int32_t kind, int32_t layer, std::vector<float> values) {
  SuiteSettingsRecord& s = SuiteSettings();
  s.IComponent = component;
  s.IDisplay = display;
  s.ISuiteType = kind;
  s.ILayer = layer;
  s.NSuite = static_cast<int32_t>(values.size());
  for (size_t k = 0; k < values.size(); ++k) s.VParam[k] = values[k];
}

// The curves of one model computed on its own with the settings in force.
inline RealArray Single(std::initializer_list<float> rho, std::initializer_list<float> bounds, bool depth = false) {
  SoundingRecord r;
  SetModel(r, rho, bounds, depth, 1, 3);
  CALCLOTEM(r);
  EXPECT_TRUE(r.Computed);
  return r.Synthetics;
}

class SuiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSuiteState();
    SetWinMsgHook(CaptureMessage);
  }
  void TearDown() override {
    SetWinMsgHook(nullptr);
    SetPrintoutClock(nullptr);
  }
  static const SuiteResultsRecord& R() { return SuiteResults(); }
  static float Curve(int32_t i, int32_t c, int32_t k) { return SuiteResults().Curve(i, c, k); }
  // Member k's curve c against a curve computed alone (column c).
  static void ExpectMember(int32_t k, int32_t c, const RealArray& single) {
    for (int32_t i = 1; i <= R().SuiteNT; ++i) EXPECT_EQ(Curve(i, c, k), single(i, c)) << "member " << k << " point " << i;
  }
};

}  // namespace suitetest
