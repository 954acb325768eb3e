// Convolution of the current curve with the impulse response of a recording
// system, the rational spline used to resample it, and rescaling of the
// curve by source and receiver moments. The system response has no source in
// this program: a caller fills ConvolutionState's SysResponse first.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr int32_t kConvWork = 1024;    // work vector length
inline constexpr int32_t kConvOrigin = 204;   // work element of the curve's first sample
inline constexpr int32_t kSysResponseMax = 400;
inline constexpr int32_t kSplineMax = 300;

struct ConvolutionRecord {
  std::array<float, kConvWork> Work{};
  std::array<float, kSysResponseMax> SysResponse{};
  int32_t SysLength = 0;
  float SysDt = 0.0f;
  // Spline storage: tensions, derivatives, coefficients and a uniform axis.
  std::array<float, kSplineMax> P{}, Q{}, Y1{}, A{}, B{}, C{}, D{}, Axis{};
  float LastSpline = 0.0f;
  int32_t EarlyPoints = 0;
  int32_t LastValid = 0;
  // CURVNORM's scale, late-time output, display selector and abscissa mode.
  float NormScale = 0.0f;
  std::array<float, kSplineMax> LateRho{};
  int32_t DisplaySelector = 1;
  int32_t AbscissaMode = 1;
  bool WinToFile = false;  // false: WIN writes every message to the console
};

ConvolutionRecord& ConvolutionState();
void ResetConvolutionState();

// Convolves the current curve (n work elements); ends the program when n
// exceeds the work vector.
void CURVCON(float unused1, float unused2, int32_t n);
void SYSCONL(std::span<float> work, int32_t n, float dt, std::span<const float> sys, int32_t sysLength,
             std::span<float> response, std::span<const float> times, int32_t& nt);
// In-place causal convolution of data with h; bypassed (with a message) when
// the two sample intervals differ.
void CONV(std::span<float> data, int32_t n, std::span<const float> h, float dtd, float dts, int32_t m);
// Rational-spline coefficients over n knots with interval tensions p, q and
// the end derivatives y1(1), y1(n); the inner derivatives are filled in.
void RASPL1(int32_t n, std::span<const float> x, std::span<const float> y, std::span<const float> p,
            std::span<const float> q, std::span<float> y1, std::span<float> a, std::span<float> b,
            std::span<float> c, std::span<float> d);
void YSPLINE(int32_t n, std::span<const float> xk, float x, std::span<const float> a, std::span<const float> b,
             std::span<const float> c, std::span<const float> d, float& result, std::span<const float> p,
             std::span<const float> q);
// t(i) = -(p - 1) dt + (i - 1) dt, i = 1..n.
void TGEN(std::span<float> t, int32_t p, float dt, int32_t n);
// One console line: a carriage-control character ("+" mode 0, "&" negative,
// " " positive) and the first n characters of text.
void WIN(std::string_view text, int32_t n, int32_t mode);
// Rescales the current curve by moments (or the early-time factor) and,
// in abscissa mode 2, turns its times into normalised times.
void CURVNORM(float f1, float f2, float f3, float f4);
