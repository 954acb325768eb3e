// The model suite's definition, as far as the forward computation reads it.
#pragma once

#include <cstdint>

// Stand-in: holds only what CALCLOTEM reads; the model-suite work completes
// the record (member values, kinds, display and settings-file fields).
struct SuiteSettingsRecord {
  float TxLength = 1000.0f;   // source wire length, m
  float TxAmps = 1.0f;        // source current, A
  float RxLength = 1.0f;      // receiver length, m
  float RxArea = 100000.0f;   // receiver area, m^2
  float Offset = 1000.0f;     // source-receiver offset, m
  float TxRxAngle = 90.0f;    // transmitter-receiver angle, degrees
  int32_t IComponent = 0;     // 1 Ex, 2 Ey, 3 Hz
  int32_t IDisplay = 4;       // 1 voltage, 2 early rho-a, 3 E field, 4 early+late, 5 all-time, 6 all three
  float AbStart = 0.001f;     // first time, s
  float AbEnd = 10.0f;        // last time, s
  int32_t IAbscissa = 1;      // 1 real time, 2 normalised time
};

SuiteSettingsRecord& SuiteSettings();
void ResetSuiteSettings();
