// Message boxes of the utility library: every notice and error of the
// application and the modelling engine is shown through WINMSG under the
// library's one caption; four further boxes ask a question or warn.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::string_view kLibraryMessageCaption = "Tesselby Library Message";

// Each shows a modal box under the library caption and waits for the user.
// The text is passed whole (trailing blanks included); the box trims it.
void WINMSG(std::string_view text);   // OK, information icon
void WINWRN(std::string_view text);   // OK, exclamation icon
// OK and Cancel, information icon: cancelled is true when Cancel was chosen.
void WINMSGC(std::string_view text, bool& cancelled);
// Yes and No, question icon, Yes the default while yes is true on entry:
// yes is true when Yes was chosen.
void WINQUE(std::string_view text, bool& yes);
// Yes and No, exclamation icon, No the default: yes is true for Yes.
void WINANS(std::string_view text, bool& yes);

// The toolkit's message box as the library reaches it: button set, icon
// and default button as the toolkit codes them; the answer is 1 OK or Yes,
// 0 Cancel, 2 No, -1 when the box could not be shown. The toolkit installs
// it at start-up; while it is unset the text goes to standard error and
// the answer is -1.
using LibraryBoxHook = int32_t (*)(int32_t buttonSet, int32_t icon, int32_t defaultButton,
                                   std::string_view text, std::string_view caption);
void SetLibraryBoxHook(LibraryBoxHook hook);

// A capture of the notices of WINMSG and WINWRN (tests): while it is set
// they go to it instead of a box. nullptr removes it.
using WinMsgHook = void (*)(std::string_view caption, std::string_view text);
void SetWinMsgHook(WinMsgHook hook);
