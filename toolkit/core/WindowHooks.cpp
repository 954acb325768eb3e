#include "toolkit/core/WindowHooks.h"

#include <cstdio>
#include <string>

#include "VOZUVar/MessageBoxes.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/OsLayerCore.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"

namespace {

// Report mode 3: the message goes into part 1 of the root window's status
// bar. The current window is set aside for that moment only; nothing is
// selected, so an active hardcopy gets no area operations and the window
// text keeps its position.
void StatusBarReport(std::string_view message) {
  if (!WindowManagerState().RootWindowOpen) return;
  WindowDrawingRecord& d = WindowDrawing();
  const int32_t current = d.CurrentWindow;
  d.CurrentWindow = 0;
  WindowStatusText(1, message);
  d.CurrentWindow = current;
}

// Report mode 4: "Library Error" with OK and Cancel and the exclamation icon.
int BoxReport(std::string_view text, std::string_view caption) {
  WMessageBox(1, 3, 1, text, caption);
  return WDialogInfoItem(4);
}

// Files not written: OK alone, the exclamation icon, whatever the mode.
void FileNoticeBox(std::string_view text, std::string_view caption) { WMessageBox(0, 3, 1, text, caption); }

int32_t LibraryBox(int32_t buttons, int32_t icon, int32_t defaultButton, std::string_view text,
                   std::string_view caption) {
  WMessageBox(buttons, icon, defaultButton, text, caption);
  return WDialogInfoItem(4);
}

void DrawingAreaSize(int32_t& width, int32_t& height) {
  width = WindowDrawing().CurrentWidth;
  height = WindowDrawing().CurrentHeight;
}

// While a process runs to its end the windows keep repainting.
void DispatchRepaints() {
  plat::Msg m;
  for (int guard = 0; guard < 1000 && plat::peekMessage(m, {}, plat::wm::Paint, plat::wm::Paint, plat::kPmRemove);
       ++guard) {
    plat::dispatchMessage(m);
  }
}

// The fatal messages (abnormal exit, allocation failure, window system
// failure): a task-modal stop box without owner; standard error when the
// box cannot be shown.
void FatalBox(std::string_view caption, std::string_view text) {
  const std::string message(text);
  if (plat::messageBox(plat::Hwnd{}, message, caption, plat::mb::Ok | plat::mb::IconStop | plat::mb::TaskModal) != 0)
    return;
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(caption.size()), caption.data(), message.c_str());
  std::fflush(stderr);
}

}  // namespace

void YYWindowReportHooks() {
  ErrorReportHooks& hooks = ErrorReportHooksRecord();
  hooks.statusBar = StatusBarReport;
  hooks.messageBox = BoxReport;
  hooks.fileNotice = FileNoticeBox;
}

void YYWindowFatalHook(bool on) { FatalMessageHook() = on ? FatalBox : nullptr; }

void YYWindowLayerHooks() {
  SetLibraryBoxHook(LibraryBox);
  SetDrawingAreaSizeHook(DrawingAreaSize);
  ExecuteIdleHook() = DispatchRepaints;
}
