#include "toolkit/graphics/GraphicsState.h"

#include <algorithm>

#include "toolkit/graphics/DriverProtocol.h"

namespace {
GraphicsStateRecord gState;
DriverParamsRecord gParams;
DeviceInfoRecord gDeviceInfo;
}  // namespace

GraphicsStateRecord& GraphicsState() { return gState; }
void ResetGraphicsState() { gState = GraphicsStateRecord{}; }

DriverParamsRecord& DriverParams() { return gParams; }
void ResetDriverParams() { gParams = DriverParamsRecord{}; }

DeviceInfoRecord& DeviceInfo() { return gDeviceInfo; }
void ResetDeviceInfo() { gDeviceInfo = DeviceInfoRecord{}; }

void YYPadField(std::string& field, std::string_view text) {
  const size_t n = field.size();
  field.assign(text.substr(0, std::min(n, text.size())));
  field.resize(n, ' ');
}

void YYMaskSet(DeviceColumn& column, std::string_view mask) {
  for (int i = 0; i < kMaskLength; ++i)
    column.CapabilityMask[i] = i < static_cast<int>(mask.size()) ? mask[i] : '0';
}
