#include "tests/toolkit/hardcopy/HardcopyFixture.h"

#include "VOZUVar/Strings.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace hctest {

StandInDriver& Driver() {
  static StandInDriver d;
  return d;
}

void StandInDriverOp(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  StandInDriver& d = Driver();
  if (op == kOpInit && p.OpCount == kProbe) {
    d.log.push_back("1 probe");
    p.OpCount = d.number;
    return;
  }
  std::string line = std::to_string(op);
  switch (op) {
    case kOpInit: line += " q=" + std::to_string(p.OpQualifier); break;
    case kOpBegin:
      line += " q=" + std::to_string(p.OpQualifier) + " count=" + std::to_string(p.OpCount) + " '" +
              std::string(TrimTrailingBlanks(p.OpText)) + "' title=" + std::to_string(p.PixelX[1]);
      break;
    case kOpPage: line += " q=" + std::to_string(p.OpQualifier) + " count=" + std::to_string(p.OpCount); break;
    default: break;
  }
  d.log.push_back(line);
  if (op == kOpInit) {
    HardcopyOptionsRecord& o = HardcopyOptions();
    YYHardcopyDefaults();
    o.Opt[OptPageWidth] = d.width;
    o.Opt[OptPageHeight] = d.height;
    o.Opt[OptOrientation] = d.orientation;
    YYPadField(p.DefaultOutputName, d.defaultName);
    p.DeviceWritesFile = d.writesFile ? 1 : 0;
    p.InitialisedDriver = d.number;
    if (d.afterInit != nullptr) d.afterInit();
  }
  if (op == kOpLine || op == kOpPolyline || op == kOpText) p.PageOpen = 1;
  if (op == kOpPage) p.PageOpen = 0;
}

}  // namespace hctest
