// The event store behind WEventNext and WEventPoll: the one stored event,
// the loop flags, the per-window pending repaint and resize slots and the
// field-change queue of one. Window, dialog and control procedures record
// events here with YYEventStore while a fetch dispatches messages.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Types.h"
#include "toolkit/core/Events.h"

inline constexpr int kPendingSlots = 51;  // window numbers 0..50

// A repaint (7) or resize (8) kept for a window until the next fetch.
struct PendingEventSlot {
  int32_t Type = 0;       // 0 free
  EventRecord Words{};    // words 1..6 and 11 are used
};

struct EventStoreRecord {
  std::array<int32_t, kEventTypes> Options{};   // the EventOptionTable, option n at n - 1
  int32_t StoredType = 0;
  EventRecord Stored{};        // words 0..6 and 11 of the stored event
  int32_t LoopState = 0;       // 1 while a fetch waits for an event, 0 once one is stored
  int32_t Fetching = 0;        // set while WEventNext or WEventPoll runs
  int32_t FirstChange = 0;     // set when a wait begins, cleared by the first field change
  int32_t PaintSizeDispatch = 0;  // set while the wait itself dispatches a paint or size message
  std::array<PendingEventSlot, kPendingSlots> Pending{};
  int32_t QueuedChangeType = 0;   // 10 while a field change waits in the queue
  EventRecord QueuedChange{};
  int32_t TickWait = 0;           // set while YYWaitTicks waits for its timer
};
EventStoreRecord& EventStore();
// Forgets every event and restores the default options (tests).
void ResetEventStore();

// Restores the default options (types 1-4, 7-9, 13 and 14 on).
void YYEventOptionsDefault();
void YYEventOptionStore(int32_t option, int32_t value);

// Records an event of `kind` (an EventType, or 100 + the type for events
// of a drawing field inside a dialog); `a`, `p1` and `p2` are the value
// and the two parameters of the platform message, `window` the window
// whose procedure records it.
void YYEventStore(int32_t kind, int32_t a, plat::WParam p1, plat::LParam p2, plat::Hwnd window);

// The blocking and the non-blocking message loop: the stored event comes
// back in type and record (words 0..6 and 11); complete is false when the
// wait ended without an event.
void YYEventWait(int32_t& type, EventRecord& record, bool& complete);
void YYEventPeekLoop(int32_t& type, EventRecord& record, bool& complete);
// Converts positions of a fetched event into window units and graphics
// user units, and applies a resize of the current drawable.
void YYEventFinish(int32_t type, EventRecord& record);

// The toolkit key code of a virtual key; m is 0 plain, 20 Shift, 40 Ctrl.
int32_t YYKeyCode(int32_t virtualKey, int32_t m);
// The modifier flags of a mouse event (1 Ctrl, 2 Shift, 4 left, 8 middle,
// 16 right button) from the platform's key-state bits.
int32_t YYMouseFlags(plat::WParam keyState);
// The tick count in milliseconds with the top bit cleared.
void YYOsTickCount(int32_t& ticks);

// A timer on the root window: on its client (place 1) or frame; a period
// of 0 or less stops it on both.
void YYTimerSet(int32_t period, int32_t identifier, int32_t place);
// Lets n hundredths of a second pass while messages are dispatched.
void YYWaitTicks(int32_t n);
