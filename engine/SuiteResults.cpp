#include "engine/SuiteResults.h"

#include <algorithm>
#include <string>

#include "VOZUVar/MessageBoxes.h"

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

void TellMembersNotComputed() {
  const SuiteSnapshotRecord& s = gSuiteResults.Snapshot;
  if (!s.Valid || s.Computed >= s.NSuite) return;
  const int32_t first = std::max(s.Computed, 0) + 1;
  const std::string members = first == s.NSuite ? "member " + std::to_string(first)
                                                 : "members " + std::to_string(first) + " to " + std::to_string(s.NSuite);
  WINMSG("The suite's computation was cancelled: " + members + " of " + std::to_string(s.NSuite) +
         " were not computed. The file keeps a column for every member; those hold the missing value 1e20.");
}
