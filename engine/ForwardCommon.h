// The one state record through which the routines of the forward computation
// exchange the model, the arrangement, the time grid and the computed curve.
// One computation at a time; every routine reaches it directly.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Capacity of the curve vectors (times per curve).
inline constexpr int32_t kMaxTimes = 300;

struct ForwardCommonRecord {
  // Model and arrangement, written by CALCLOTEM before each curve.
  int32_t NLayersF = 4;
  std::vector<float> RhoF;     // layer resistivities, ohm-m, top layer first (index 0 = layer 1)
  std::vector<float> ThickF;   // thicknesses of layers 1..NL-1, m; the last element is unused
  std::vector<float> ParamsF;  // the model's parameter vector as stored, 2NL-1 entries used
  float AngleRad = 1.5708f;    // Tx-offset angle
  float OffsetF = 3000.0f;
  float SourceLengthF = 50.0f; // the source length; CURVE sets it to 1.0 (point source)
  float ReceiverAreaF = 1.0f;
  float ScaleCopy = 1.0f;
  int32_t ComponentF = 1;      // 1 Ex, 2 Ey, 3 Hz
  float AbStartF = 0.0f;
  float AbEndF = 0.0f;
  static constexpr float TwoPiF = 6.2831855f;
  static constexpr float PiF = 3.1415927f;

  // The curve.
  int32_t NTimes = 0;
  std::array<float, kMaxTimes> Times{};
  std::array<float, kMaxTimes> Response{};     // per unit source moment
  std::array<float, kMaxTimes> HzConverted{};  // field curve of the all-time transform
  std::array<float, kMaxTimes> AllTimeRho{};

  // Kernel state, set by CURVE at the start of every curve.
  bool IsEx = false;
  bool IsEy = false;
  bool IsHz = false;
  float HankelTol = 0.001f;
  float TimeTol = 0.001f;
  float R = 0.0f;
  float R2 = 0.0f;
  float R3 = 0.0f;
  float UnitMoment = 1.0f;
  float CosPhi = 0.0f;
  float SinPhi = 0.0f;
  int32_t KernelLayers = 0;
};

ForwardCommonRecord& ForwardCommon();
void ResetForwardCommon();  // back to the start values (tests)

// Cosine and sine of an angle by the kernel's rule: a magnitude below 1.0e-6
// counts as 0.0; an angle of magnitude 2^63 radians or more has sine 0.0 and
// cosine 1.0.
void KernelCosSin(float angleRad, float& cosPhi, float& sinPhi);
