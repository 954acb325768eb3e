// Connects the parts of the toolkit that cannot call the window layer
// directly (the error reporter's status-bar and box modes, the library's
// message boxes, the number-text conversion's drawing-area size, the
// process runner's wait) to it.
#pragma once

// Start-up installs the hooks of the library boxes, the drawing-area size
// and the process runner.
void YYWindowLayerHooks();
// Opening the root window installs the error reporter's status-bar and box
// modes.
void YYWindowReportHooks();
// The box of the fatal messages: on once the root window's frame exists
// (until then, and after the window system closes, they go to standard
// error).
void YYWindowFatalHook(bool on);
