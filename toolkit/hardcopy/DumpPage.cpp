#include "toolkit/hardcopy/DumpPage.h"

DumpPageRecord& DumpPage() {
  static DumpPageRecord record;
  return record;
}

HardcopyFilesRecord& HardcopyFiles() {
  static HardcopyFilesRecord record;
  return record;
}
