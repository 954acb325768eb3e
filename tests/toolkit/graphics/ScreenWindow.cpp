#include "ScreenWindow.h"

#include <string>

#include "platform/test/Test.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

void OpenScreenWindow(int32_t width, int32_t height, std::string_view title) {
  ScreenRouteDriver() = YYGAPI;
  ResetScreenDriver();
  WindowOpenRecordType record;
  record.Options = 39;
  record.Width = width;
  record.Height = height;
  record.Title = std::string(title);
  WindowOpenRecord(record);
  plat::test::pump();
  IGrSelect(kDrawableWindow, 0);
}
