// A published digital filter for the cosine transform (source and licence in
// CosineFilter.cpp): for t > 0,
//   integral over omega from 0 to infinity of f(omega) cos(omega t)
//     = (1 / t) * sum over k of CosineFilterWeights[k] * f(CosineFilterBase[k] / t),
// and the same for the sine transform with SineFilterWeights.
#pragma once

#include <array>

inline constexpr int kCosineFilterPoints = 201;

extern const std::array<double, kCosineFilterPoints> CosineFilterBase;
extern const std::array<double, kCosineFilterPoints> CosineFilterWeights;
extern const std::array<double, kCosineFilterPoints> SineFilterWeights;
