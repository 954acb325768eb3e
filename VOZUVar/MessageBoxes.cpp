#include "VOZUVar/MessageBoxes.h"

#include <cstdio>

namespace {

WinMsgHook gWinMsgHook = nullptr;
LibraryBoxHook gBoxHook = nullptr;

// The toolkit's codes.
constexpr int32_t kButtonsOk = 0;
constexpr int32_t kButtonsOkCancel = 1;
constexpr int32_t kButtonsYesNo = 3;
constexpr int32_t kIconQuestion = 2;
constexpr int32_t kIconExclamation = 3;
constexpr int32_t kIconInformation = 4;
constexpr int32_t kAnswerOkYes = 1;
constexpr int32_t kAnswerCancel = 0;

int32_t Show(int32_t buttons, int32_t icon, int32_t defaultButton, std::string_view text) {
  if (gBoxHook != nullptr) return gBoxHook(buttons, icon, defaultButton, text, kLibraryMessageCaption);
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kLibraryMessageCaption.size()),
               kLibraryMessageCaption.data(), static_cast<int>(text.size()), text.data());
  return -1;
}

void Notice(int32_t icon, std::string_view text) {
  if (gWinMsgHook != nullptr) {
    gWinMsgHook(kLibraryMessageCaption, text);
    return;
  }
  Show(kButtonsOk, icon, 1, text);
}

}  // namespace

void SetWinMsgHook(WinMsgHook hook) { gWinMsgHook = hook; }
void SetLibraryBoxHook(LibraryBoxHook hook) { gBoxHook = hook; }

void WINMSG(std::string_view text) { Notice(kIconInformation, text); }
void WINWRN(std::string_view text) { Notice(kIconExclamation, text); }

void WINMSGC(std::string_view text, bool& cancelled) {
  cancelled = Show(kButtonsOkCancel, kIconInformation, 1, text) == kAnswerCancel;
}

void WINQUE(std::string_view text, bool& yes) {
  yes = Show(kButtonsYesNo, kIconQuestion, yes ? 1 : 2, text) == kAnswerOkYes;
}

void WINANS(std::string_view text, bool& yes) {
  yes = Show(kButtonsYesNo, kIconExclamation, 2, text) == kAnswerOkYes;
}
