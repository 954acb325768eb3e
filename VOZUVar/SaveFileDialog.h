// The library's save-changes question: a modal dialog with the text and the
// buttons Yes, No and Cancel.
#pragma once

#include <string_view>

// Yes gives save true, No save false; neither cancels. Cancel (and any
// other ending, a dialog that cannot be shown too) gives cancel true and
// leaves save as it was. The dialog stays loaded.
void SAVEFILEDLG(std::string_view text, bool& save, bool& cancel);
