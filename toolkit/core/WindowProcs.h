// The window procedures of toolkit windows: frames (root and child
// frames), client areas and the splitter bars of split containers. They turn
// what the user does into events (YYEventStore) and return; they keep the
// status bar and toolbars laid out, show menu help in the status bar,
// answer toolbar tooltip requests and send commands to the window that
// should get them.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Types.h"

// Window classes of the toolkit.
inline constexpr const char* kRootFrameClass = "PLOVANE";
inline constexpr const char* kChildFrameClass = "PLOVCHILD";
inline constexpr const char* kClientClass = "PLOVCLIENT";
inline constexpr const char* kSplitterHClass = "PLOVSPLITH";
inline constexpr const char* kSplitterVClass = "PLOVSPLITV";

plat::LResult YYFrameProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYClientProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYSplitterProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
// The accelerator step of the event loop: frame window number f,
// accelerator window number a; true when the message became a command.
bool YYAccelTranslate(int32_t frame, int32_t accelerators, const plat::Msg& message);

// The few values the procedures keep.
struct WindowProcStateRecord {
  plat::Hwnd FrameClick;        // frame whose non-client area the left button last went down on
  bool PopupMenuLoop = false;   // the menu loop running is a tracked pop-up
  bool ForwardingMenuSelect = false;
  std::array<int32_t, 51> MciDevice{};   // per window number, 0 none
};
WindowProcStateRecord& WindowProcState();
