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

// Fills AllTimeRho(1..NTimes) of the forward state from its Times and Response.
void ALLTIME();

// Turns a curve into a step-on field curve by scaling and time integration,
// normalised so that its largest magnitude after the first time is the
// direct-current field L / (4 pi r^2). The flag is not read.
void RHOET_TO_HZ(bool flag, float r, float a, float L, int32_t nt, std::span<const float> times,
                 std::span<const float> curve, std::span<float> field);

// Safeguarded Newton root search in [x1, x2] starting from x (updated);
// returns the root, or x unchanged when no bracket is found.
float RTSAFE(RootFunction func, float x1, float& x, float x2, float xacc);

// The root function of the search: |Hz(rho)| - |target| of the step-on
// half-space field, with the signed derivative of Hz.
void HZ_LOTEM2(float rho, float& f, float& df);
