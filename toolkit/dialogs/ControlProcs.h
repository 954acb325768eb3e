// Subclass procedures of the dialog controls. Each does its extra work and
// passes every message on to the procedure it replaced: focus notifications
// from controls that do not send them, mouse, repaint and size events of
// fields used as drawing surfaces, disabled tabs, keyboard selection on
// trackbars, select-all and Enter-presses-default in edit fields, and the
// push buttons' part in the numeric-field check.
#pragma once

#include <cstdint>

#include "platform/Types.h"

plat::LResult YYButtonProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYTrackbarProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYTabProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYStaticProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYTreeProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYUpDownProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYFieldOuterProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);

// Gives a spin field's up-down control its subclass procedure.
void YYAttachUpDownProc(plat::Hwnd upDown);
// The trackbar selection anchor (0 = none).
int32_t TrackbarAnchor();
// The toolkit's cursor for drawing fields without one of their own.
plat::Hcursor& DefaultFieldCursor();
