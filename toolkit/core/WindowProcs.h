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

// The size message of a child frame (window n) keeps its placement:
// maximising keeps its normal placement in the window's restore rectangle
// unless one is kept; restoring puts that back, empties the slot and shows
// the frame normally; a minimised child looks inactive and the frame it
// lies in active. Nothing for a top-level frame.
void YYChildFrameSized(plat::Hwnd frame, int32_t n, plat::WParam kind);
// Mouse activation of a frame, or a parent notice that a left, right or
// middle button went down in one of its children: a frame inside a toolkit
// window's client comes to the top, takes the focus unless it already lies
// inside it, and every frame then looks active or inactive by it
// (YYWindowFocus). False, doing nothing, for any other message.
bool YYChildFrameClicked(plat::Hwnd frame, uint32_t message, plat::WParam wp);

// The few values the procedures keep.
struct WindowProcStateRecord {
  plat::Hwnd FrameClick;        // frame whose non-client area the left button last went down on
  bool PopupMenuLoop = false;   // the menu loop running is a tracked pop-up
  bool ForwardingMenuSelect = false;
  std::array<int32_t, 51> MciDevice{};   // per window number, 0 none
};
WindowProcStateRecord& WindowProcState();
