// What one model-suite run computed: the curves of every member, the noise
// curve, the ranges that scale both graphs, and the definition the results
// were computed with. Everything that reads results (the exports, the page
// redraw) takes the counts, kinds and values from that snapshot, never from
// the live settings, which the suite pages may have changed since.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/SoundingHandler.h"

// The value that marks a missing point in result arrays.
inline constexpr float kSuiteMissing = 1.0e20f;

// The definition a suite was computed with.
struct SuiteSnapshotRecord {
  bool Valid = false;         // a suite has been computed (possibly cancelled part way)
  int32_t NSuite = 0;         // members N
  int32_t NC = 0;             // curves per member
  int32_t NT = 0;             // time points per curve
  int32_t Computed = 0;       // members 1..Computed hold curves; the rest hold 1e20
  int32_t IDisplay = 0;
  int32_t IComponent = 0;
  int32_t ISuiteType = 0;
  int32_t ILayer = 0;
  int32_t IAbscissa = 1;
  bool LDifference = false;
  bool LPercent = false;
  float TxLength = 0.0f;
  float TxAmps = 0.0f;
  float RxLength = 0.0f;
  float RxArea = 0.0f;
  float Offset = 0.0f;
  float TxRxAngle = 0.0f;
  float VNoise = 0.0f;
  std::vector<float> VParam;  // N member values
  std::vector<float> Times;   // NT abscissa values (1e20 where none was computed)
  Model1D BaseModel;          // the base model with its varied parameter restored
  Model1D SecondModel;        // the second record's model
};

struct SuiteResultsRecord {
  int32_t SuiteNT = 0;        // NT
  int32_t SuiteNC = 0;        // NC: 1 for displays 1..3, 2 for 4, 3 for 5 and 6
  // [NT, NC, N], first index fastest; member k's curve c at time i is
  // SuiteCurves[(k - 1) * NT * NC + (c - 1) * NT + (i - 1)].
  std::vector<float> SuiteCurves;
  std::vector<float> NoiseCurve;  // [NT], VNoise everywhere while NoiseOn
  bool NoiseOn = false;

  // Curve range (the suite uses one pair) and model ranges: the first
  // resistivity pair, the second resistivity of anisotropic models, the
  // depths of the first and the deepest boundary, and one further pair.
  float SuiteYMin = kSuiteMissing;
  float SuiteYMax = -kSuiteMissing;
  std::array<float, 4> ModelRhoMin{kSuiteMissing, kSuiteMissing, kSuiteMissing, kSuiteMissing};
  std::array<float, 4> ModelRhoMax{-kSuiteMissing, -kSuiteMissing, -kSuiteMissing, -kSuiteMissing};
  float ModelDepthMin = kSuiteMissing;
  float ModelDepthMax = -kSuiteMissing;
  float ModelElevMin = kSuiteMissing;
  float ModelElevMax = -kSuiteMissing;

  float SavedValue = 0.0f;    // the varied value before the member loop (kinds 1, 2, 4, 5)
  Model1D SavedModel;         // the base model before the member loop (kinds 3, 6)

  // The labels' corner of the curve graph, kept from run to run: 0 none
  // yet, 1 bottom left, 2 top left, 3 top right, 4 bottom right.
  int32_t LabelCorner = 0;

  SuiteSnapshotRecord Snapshot;

  // Member k's curve c at time i (all 1-based), inside the stored shape.
  float& Curve(int32_t i, int32_t c, int32_t k) { return SuiteCurves[Index(i, c, k)]; }
  float Curve(int32_t i, int32_t c, int32_t k) const { return SuiteCurves[Index(i, c, k)]; }
  std::size_t Index(int32_t i, int32_t c, int32_t k) const {
    return (static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(SuiteNC) + static_cast<std::size_t>(c - 1)) *
               static_cast<std::size_t>(SuiteNT) +
           static_cast<std::size_t>(i - 1);
  }
};

SuiteResultsRecord& SuiteResults();
void ResetSuiteResults();
// Before an export of a suite whose computation was cancelled: tells the
// user which members were not computed (their columns hold the missing
// value 1e20). Nothing is said of a complete suite.
void TellMembersNotComputed();

// Copies the stored curves of member k (every column, rows 1..NT) into the
// record's synthetic curves, within what both hold. False when no suite is
// stored or k is not a member. The exports and the page redraw take a
// member's curves this way.
bool CopySuiteMember(int32_t k, SoundingRecord& record);
