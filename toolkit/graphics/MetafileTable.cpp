#include "toolkit/graphics/MetafileTable.h"

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/DriverProtocol.h"

namespace {
MetafileTableRecord gTable;
}

MetafileTableRecord& MetafileTable() { return gTable; }
void ResetMetafileTable() { gTable = MetafileTableRecord{}; }

// Stand-in: publishes its device column and records nothing; the
// memory-metafile recorder completes it.
void YYCgmRecordDriver(int32_t op) {
  if (op != kOpInit) return;
  DeviceColumn& s = DeviceInfo().Screen;
  s.AngleSteps = 360;
  s.Gradient = 2;
  s.TrueColour = 1;
  s.InfoC = 2;
  s.LineStyles = 8;
  s.MaxCoordinate = 1.7e38f;
  YYMaskSet(s, "00000110111111100010011011100");
}

// Stand-in: no enhanced metafile can be made current yet; completed with the
// enhanced-metafile slots.
void YYEmfSelect(int32_t /*entry*/, int32_t& failed, int32_t& width, int32_t& height) {
  failed = 1;
  width = 0;
  height = 0;
}

// Stand-in: clears the entry (a memory metafile's buffer goes with it);
// completed to close enhanced metafiles too.
void WMetafileDestroy(int32_t number) {
  if (number < 1 || number > kMetafileEntries || gTable.Entry[static_cast<size_t>(number)].Type == 0) {
    YYERRREP(1060, "WMetafileDestroy");
    return;
  }
  gTable.Entry[static_cast<size_t>(number)] = MetafileEntry{};
}
