// All-time apparent resistivity: for every time of the current curve, the
// resistivity of the half-space whose step-on Hz has the magnitude of the
// field curve integrated from the computed response.
#pragma once

#include <cstdint>
#include <span>

// A root function: value and derivative at x.
using RootFunction = void (*)(float x, float& f, float& df);

// What the root function of the search reads: the time and target field of
// the current index, the moment and the offset.
struct AllTimeSearchRecord {
  float Time = 0.0f;
  int32_t Index = 0;
  float Target = 0.0f;
  float Moment = 10000.0f;
  float Offset = 0.0f;
};

AllTimeSearchRecord& AllTimeSearch();

// Fills AllTimeRho(1..NTimes) of the forward state for the model of the
// forward state: at each time the resistivity of the half-space whose
// vertical field equals the model's (its step fields from the transform,
// HzConverted the step-on field of moment Moment); a time whose field
// matches no half-space gets the missing value 1.0e20.
void ALLTIME();

// Turns an early-time apparent resistivity curve into the step-on field
// curve of moment L: the field at the first time is that of the half-space
// matched to the curve there, the later ones add the integral of the
// field's time derivative. The flag is not read.
void RHOET_TO_HZ(bool flag, float r, float a, float L, int32_t nt, std::span<const float> times,
                 std::span<const float> curve, std::span<float> field);

// Safeguarded Newton root search in [x1, x2] starting from x (updated);
// returns the root, or x unchanged when no bracket is found. `found`, when
// given, tells the two apart.
float RTSAFE(RootFunction func, float x1, float& x, float x2, float xacc, bool* found = nullptr);

// The root function of the search: |Hz(rho)| - |target| of the step-on
// half-space field, with the signed derivative of Hz.
void HZ_LOTEM2(float rho, float& f, float& df);
