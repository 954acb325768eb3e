// Device contexts on windows outside the paint cycle: drawing lands in the
// window's backing surface at once. Each context is released with
// releaseDC; those still held when the window is destroyed go with it.
#pragma once

#include "platform/Types.h"

namespace plat {

Hdc getDC(Hwnd w);        // the client area; 0 for an unknown window
Hdc getWindowDC(Hwnd w);  // the whole window, frame included
bool releaseDC(Hwnd w, Hdc dc);

}  // namespace plat
