// Closed-form responses of a grounded-wire (point dipole) source over a
// homogeneous half-space of resistivity rho, at offset r and angle phi, with
// the induction number u = r sqrt(mu0 / (4 rho t)).
#pragma once

#include <cstdint>
#include <span>

// Times t0 * 1.2589254^(i-1) and the impulse Hz response at each. Refuses
// (console line, nothing written, false returned) a non-positive rho, r or
// t0 and an angle within 1.0e-5 degrees of zero.
bool CALC_HALF(float t0, int32_t nt, std::span<float> times, std::span<float> response, float rho, float r,
               float phiDeg);

// The half-space Hz impulse response at time t, scaled by the moment factor
// m and the gain g.
void HZEXACT(float t, float m, float g, float r, float phiDeg, float rho, float& result);

// The error function by the five-term rational approximation (x >= 0).
double ERF(double x);

// Hz of a step-off (or, with stepOff false, step-on) source of moment L and
// its derivative with respect to rho.
void HZ_LOT_HSP(bool stepOff, float t, float L, float r, float rho, float& hz, float& dhz);

// The same fields in double precision with the exact error function (a
// series below u = 1, where the closed forms cancel), for the transform and
// the all-time search: the step-off dBz/dt of a unit-moment source (T/s) and
// the step-off Hz (A/m), mu0 = 4 pi 1e-7.
double HalfSpaceHzRate(double rho, double r, double sinPhi, double t);
double HalfSpaceHzStepOff(double rho, double r, double sinPhi, double t);
double HalfSpaceHzStepOn(double rho, double r, double sinPhi, double t);
