// Window text: plain text written into windows in character cells.
#pragma once

// Converts the window-text cell size from window units to pixels.
void YYWindowTextToPixels();
