#include "toolkit/graphics/WindowText.h"

// Stand-in: window text keeps no cell size yet; completed with the window-text state.
void YYWindowTextToPixels() {}
