// The text editor's window: what the window manager uses of it.
#pragma once

#include <cstdint>

// Undoes what turned window n (whose record is an editor's) into a text
// editor, short of freeing the record, which the caller does.
void YYEditorRevert(int32_t window);
