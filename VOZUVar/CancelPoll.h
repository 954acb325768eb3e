// The cancel poll of long computations: called after each step, it takes
// at most one pending toolkit event without waiting and reports whether a
// push button (such as Cancel of a progress dialog) has been pressed since
// the last reset.
#pragma once

#include <cstdint>

#include "toolkit/core/Events.h"

// A non-zero reset clears the cancel flag and returns false without taking
// an event. Otherwise one pending event is taken (whatever its type, it is
// consumed); a button event sets the flag. The result is the flag.
bool LKILL(int32_t reset);
// The same, polling into the caller's type and record.
bool LKILL(int32_t reset, int32_t& type, EventRecord& record);

// The event taken by the last poll.
struct CancelPollRecord {
  bool Cancelled = false;
  int32_t Type = kNoEvent;
  EventRecord Record{};
};
CancelPollRecord& CancelPoll();
