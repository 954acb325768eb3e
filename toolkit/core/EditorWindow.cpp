#include "toolkit/core/EditorWindow.h"

// Stand-in: no window can be a text editor yet; completed with the text
// editor (its menu, controls, fonts, files, title and status bar go).
void YYEditorRevert(int32_t /*window*/) {}
