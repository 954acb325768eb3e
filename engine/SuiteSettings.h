// The model suite's definition: N models that vary one parameter of a
// layered model or of the measuring arrangement, the arrangement itself,
// the displayed quantity and the time range. The suite pages fill it, the
// settings file keeps the fields marked "key", the forward computation
// reads the arrangement from it.
#pragma once

#include <array>
#include <cstdint>

// Most members a suite can have: the size of the value list and of the
// variation grid.
inline constexpr int32_t kMaxSuiteMembers = 1000;
// The varied-parameter kind that fades the base model towards the second.
inline constexpr int32_t kFadeInKind = 6;

// The values of the variation page's "Generate" button.
struct SuiteGenerationRecord {
  float Start = 0.0f;
  float Increment = 5.0f;
  float End = 100.0f;
  int32_t Count = 20;
  bool Geometric = false;
};

struct SuiteSettingsRecord {
  int32_t NSuite = 5;         // (key) N, the number of members, 1..1000
  // (key) 1 resistivity, 2 thickness, 3 bottom depth of layer ILayer,
  // 4 source-receiver offset, 5 transmitter-receiver angle, 6 fade-in of
  // the second model in percent
  int32_t ISuiteType = 0;
  int32_t ILayer = 1;         // (key) the layer kinds 1..3 vary
  std::array<float, kMaxSuiteMembers> VParam{};  // (key) member k takes VParam[k - 1]
  float TxLength = 1000.0f;   // (key) source wire length, m
  float TxAmps = 1.0f;        // (key) source current, A
  float RxLength = 1.0f;      // (key) receiver length, m
  float RxArea = 100000.0f;   // receiver area, m^2
  float Offset = 1000.0f;     // source-receiver offset, m
  float TxRxAngle = 90.0f;    // transmitter-receiver angle, degrees
  int32_t IComponent = 0;     // 1 Ex, 2 Ey, 3 Hz
  // 1 voltage, 2 early rho-a, 3 E field, 4 early+late, 5 all-time,
  // 6 early, late and all-time
  int32_t IDisplay = 4;
  bool LDifference = false;   // (key) the second model's response is subtracted
  bool LPercent = false;      // differences in percent of the second model
  float VNoise = 0.0f;        // (key) noise level drawn as a flat curve when positive
  float AbStart = 0.001f;     // (key) first time, s
  float AbEnd = 10.0f;        // (key) last time, s
  int32_t IAbscissa = 1;      // (key) 1 real time, 2 normalised time
  bool LogAbscissa = true;    // (key) log-spaced times
  int32_t NAbscissa = 31;     // (key) kept in the settings file only
  bool LogData = true;        // (key) logarithmic data axis
  bool LDataDisplay = false;  // (key) the page redraw also draws the base record's own curves
  int32_t IWaveform = 0;      // 3 impulse, 2 step on, otherwise step off
  SuiteGenerationRecord Generation;
};

SuiteSettingsRecord& SuiteSettings();
void ResetSuiteSettings();
