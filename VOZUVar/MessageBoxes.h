// Message boxes of the utility library: every notice and error of the
// application and the modelling engine is shown through WINMSG under the
// library's one caption.
#pragma once

#include <string_view>

inline constexpr std::string_view kLibraryMessageCaption = "Tesselby Library Message";

// Shows text in an information box with an OK button and waits for it.
void WINMSG(std::string_view text);

// Where WINMSG delivers its text: the toolkit installs its message box;
// tests install a capture. nullptr restores the default (standard error).
using WinMsgHook = void (*)(std::string_view caption, std::string_view text);
void SetWinMsgHook(WinMsgHook hook);
