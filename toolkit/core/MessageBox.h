// The toolkit's one modal message box. It blocks until the user answers,
// with every other toolkit window disabled, and leaves the answer as item 4
// of WDialogInfoItem: 1 OK, Retry or Yes; 0 Cancel or Ignore; 2 Abort or
// No; -1 when the box could not be shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Types.h"

// Button sets: 1 OK Cancel, 2 Retry Cancel, 3 Yes No, 4 Yes No Cancel,
// 5 Abort Retry Ignore, any other OK alone.
// Icons: 1 stop, 2 question, 3 exclamation, 4 information, other none.
// Default button, named by its answer: 1 the button answering 1, 2 the
// button answering 2 (the second in sets without one), other the last of a
// set of three, the second of a set of two.
void WMessageBox(int32_t buttonSet, int32_t icon, int32_t defaultButton, std::string_view text,
                 std::string_view caption);

// The place (1..3) of the default button on the box.
int32_t YYDefaultButtonPlace(int32_t buttonSet, int32_t defaultButton);
// The modal protocol of the toolkit's boxes and common dialogs: runs `show`
// with the owner it should give its box and every other window disabled;
// then enables them again and gives the focus back to a child owner and to
// the window within it that had it.
void YYRunModalBox(const std::function<void(plat::Hwnd owner)>& show);
// The platform half: shows the box and gives the answer code.
void YYMessageBox(int32_t buttonSet, int32_t icon, int32_t place, int32_t& answer, const std::string& text,
                  const std::string& caption);
