// Shared set-up of the engine tests: a clean forward state, a capture of the
// messages shown, and records holding a given layered model.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "engine/FIELDS.h"
#include "engine/ForwardCommon.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteSettings.h"
#include "engine/TRANSFOR.h"

inline std::vector<std::string>& ShownMessages() {
  static std::vector<std::string> messages;
  return messages;
}

inline void CaptureMessage(std::string_view /*caption*/, std::string_view text) {
  ShownMessages().emplace_back(text);
}

// Fills a record's model: resistivities, then thicknesses (or depths with
// depth set), and sizes it for npoints rows of ncurves curves.
inline void SetModel(SoundingRecord& rec, std::initializer_list<float> rho, std::initializer_list<float> bounds,
                     bool depth = false, int32_t npoints = 1, int32_t ncurves = 3) {
  SoundingRecord partner;
  rec.Data.NPoints = npoints;
  rec.Data.NCurves = ncurves;
  rec.Data.NDataCols = 1;
  rec.Model.NLayers = static_cast<int32_t>(rho.size());
  rec.Model.ValuesPerLayer = 1;
  rec.Model.NParams = static_cast<int32_t>(rho.size() + bounds.size());
  rec.Model.DepthFlag = depth;
  ALLOCSOUND(rec, partner);
  int32_t k = 1;
  for (float v : rho) rec.Model.Value(k++) = v;
  for (float v : bounds) rec.Model.Value(k++) = v;
}

// The arrangement: component (1 Ex, 2 Ey, 3 Hz), display, offset, angle
// and time range; unit source and receiver moments.
inline void SetArrangement(int32_t component, int32_t display, float offset, float angle, float first = 1.0e-4f,
                           float last = 1.0f) {
  SuiteSettingsRecord& s = SuiteSettings();
  s.IComponent = component;
  s.IDisplay = display;
  s.Offset = offset;
  s.TxRxAngle = angle;
  s.AbStart = first;
  s.AbEnd = last;
  s.TxLength = 1.0f;
  s.TxAmps = 1.0f;
  s.RxLength = 1.0f;
  s.RxArea = 1.0f;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetForwardCommon();
    ResetFieldsState();
    ResetTimeTransformState();
    ResetSuiteSettings();
    ResetSoundings();
    ShownMessages().clear();
    SetWinMsgHook(CaptureMessage);
  }
  void TearDown() override { SetWinMsgHook(nullptr); }
};
