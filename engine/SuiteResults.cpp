#include "engine/SuiteResults.h"

#include <algorithm>

namespace {
SuiteResultsRecord gSuiteResults;
}

SuiteResultsRecord& SuiteResults() { return gSuiteResults; }
void ResetSuiteResults() { gSuiteResults = SuiteResultsRecord{}; }

bool CopySuiteMember(int32_t k, SoundingRecord& record) {
  const SuiteResultsRecord& r = gSuiteResults;
  const SuiteSnapshotRecord& s = r.Snapshot;
  if (!s.Valid || k < 1 || k > s.NSuite || r.SuiteCurves.size() < r.Index(1, 1, s.NSuite + 1)) return false;
  RealArray& syn = record.Synthetics;
  if (!syn.Allocated) return true;
  const int32_t rows = std::min(r.SuiteNT, syn.Dim1);
  const int32_t cols = std::min(r.SuiteNC, syn.Dim2);
  for (int32_t c = 1; c <= cols; ++c)
    for (int32_t i = 1; i <= rows; ++i) syn(i, c) = r.Curve(i, c, k);
  return true;
}
