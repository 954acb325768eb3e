#include "engine/ForwardCommon.h"

#include <cmath>

namespace {
ForwardCommonRecord gForwardCommon;
}

ForwardCommonRecord& ForwardCommon() { return gForwardCommon; }
void ResetForwardCommon() { gForwardCommon = ForwardCommonRecord{}; }

void KernelCosSin(float angleRad, float& cosPhi, float& sinPhi) {
  if (std::fabs(angleRad) >= 9.2233720368547758e18f) {
    cosPhi = 1.0f;
    sinPhi = 0.0f;
    return;
  }
  cosPhi = std::cos(angleRad);
  sinPhi = std::sin(angleRad);
  if (std::fabs(cosPhi) < 1.0e-6f) cosPhi = 0.0f;
  if (std::fabs(sinPhi) < 1.0e-6f) sinPhi = 0.0f;
}
