// The two digital-filter transforms of the forward computation: the Hankel
// transform over wavenumber (one frequency) and the frequency-to-time
// transform (one curve).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/FIELDS.h"

// Times a curve may have in the frequency-to-time transform: the filter
// window of time k starts at frequency k + 5 at least, within the
// 160-frequency grid.
inline constexpr int32_t kMaxTransformTimes = kFrequencies - 5;

struct TimeTransformRecord {
  std::array<float, kFrequencies> OmegaGrid{};  // omega_j = 1.2589254^(41-j) / t0
  std::array<bool, kFrequencies> OmegaDone{};
};

TimeTransformRecord& TimeTransformState();
void ResetTimeTransformState();

// The Hankel sum of kind 1 (Hz, J1), 2 (Ex) or 3 (Ey) at offset r for the
// current frequency. A true newGrid starts a new wavenumber grid and is
// cleared; with it false the previous kernel values are reused.
float HTRANS(bool& newGrid, float r, int32_t kind);

// The transient response at nt times t0 * 1.2589254^(k-1) of kind 1 (Hz),
// 2 (Ex) or 3 (Ey). Times beyond kMaxTransformTimes are given the missing
// mark 1.0e20; times and response must hold nt values.
void FTRANS(bool newGrid, float t0, int32_t nt, std::span<float> times, std::span<float> response,
            int32_t kind);

// Hz (the step-off dBz/dt per unit moment) at the times first..nt (1-based)
// of times by the cosine transform of the in-phase spectrum less its
// direct-current value, on a frequency grid of ten per decade below
// 10^8 / t0 that is sampled where the filter needs it and interpolated
// between its points.
void HzCosineTransform(float t0, int32_t first, int32_t nt, std::span<const float> times, std::span<float> response);

// The step-on and step-off Hz (A/m per unit moment) of the current model at
// times(1..nt), from the same in-phase spectrum by the sine filter (closed
// forms for one layer).
void HzStepFields(float t0, int32_t nt, std::span<const float> times, std::span<double> stepOn,
                  std::span<double> stepOff);
