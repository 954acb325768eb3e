// Frequency-domain response of the layered earth to a grounded-wire source of
// unit moment: Hz, Ex or Ey at one angular frequency, as a wavenumber integral
// evaluated by a digital-filter Hankel transform. The quasi-static wavenumber
// of layer j is u_j = sqrt(lambda^2 + i omega mu0 / rho_j).
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <vector>

// Size of the angular-frequency grid of the frequency-to-time transform.
inline constexpr int32_t kFrequencies = 160;
// Points of each Hankel filter table.
inline constexpr int32_t kHankelPoints = 100;

using Complex = std::complex<double>;

struct FieldsRecord {
  double OmegaMu = 0.0;  // omega * mu0 of the frequency being computed
  // Responses for Hz, Ex and Ey at each frequency index (index 0 = frequency 1).
  std::array<float, kFrequencies> FreqKernel1{};
  std::array<float, kFrequencies> FreqKernel2{};
  std::array<float, kFrequencies> FreqKernel3{};
  int32_t FreqIndex = 1;  // 1-based frequency index the next RWFIELDS result goes to

  // The Hankel grid of the current frequency and its kernel values.
  std::array<float, kHankelPoints> Lambda{};
  std::array<bool, kHankelPoints> LambdaDone{};
  // Kernel values computed together with an earlier index, ahead of the walk.
  std::array<bool, kHankelPoints> LambdaReady{};
  int32_t HankelStart = 1;
  int32_t HankelHalfWidth = 5;
  int32_t HankelIndex = 1;  // 1-based index UWFIELDS stores at
  std::array<float, kHankelPoints> HankelT1{}, HankelT2{}, HankelT3{}, HankelT4{}, HankelT5{};
  // For Hz also -Re(R - R1) lambda, R1 that of the half-space of the top
  // layer: the kernel of the in-phase part of the field less that of the
  // half-space (kept in double: it is a small difference).
  std::array<double, kHankelPoints> HankelT1Re{};
  bool InPhase = false;  // whether the kernel also fills HankelT1Re

  // The last surface admittances (kept in double: Y - lambda cancels).
  Complex AdmitY{};
  Complex AdmitZ{};

  // Per model, for the admittance recursion: 1 / rho_j and rho_j / rho_(j+1).
  std::vector<double> InvRho;
  std::vector<double> RhoRatio;
  // Work space of the recursion, which takes two wavenumbers at once: per
  // layer u (real parts, imaginary parts) and tanh(u h) (the same).
  std::vector<std::array<double, 8>> LayerWork;
};

FieldsRecord& FieldsState();
void ResetFieldsState();

// Takes the layer resistivities of the forward state into the kernel; done
// once per curve, before the frequency loop.
void PrepareKernelLayers();
// Stores the response of the selected component at FreqIndex.
void RWFIELDS(float omega);
// Kernel values at the current Hankel index.
void UWFIELDS(float lambda);
// Kernel values at two Hankel indices (1-based) at once; they may be equal.
void KernelValuePair(int32_t first, int32_t second);
// Surface admittances Y (and, with the electric flag, Z) by recursion from
// the bottom half-space up.
void ADMITT(float lambda, Complex& Y, Complex& Z, bool electric);
// tanh z in three regimes (series near 0, exponential ratio, 1 - 2 e^-2z).
void CTANH(Complex& result, Complex z);
