#include "VOZUVar/MessageBoxes.h"

#include <cstdio>

namespace {
WinMsgHook gWinMsgHook = nullptr;
}

void SetWinMsgHook(WinMsgHook hook) { gWinMsgHook = hook; }

// Stand-in: the window-manager work completes WINMSG with the toolkit's
// message box through the hook; until a hook is set the text goes to
// standard error.
void WINMSG(std::string_view text) {
  if (gWinMsgHook != nullptr) {
    gWinMsgHook(kLibraryMessageCaption, text);
    return;
  }
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kLibraryMessageCaption.size()),
               kLibraryMessageCaption.data(), static_cast<int>(text.size()), text.data());
}
