#include "VOZUVar/CancelPoll.h"

CancelPollRecord& CancelPoll() {
  static CancelPollRecord state;
  return state;
}

bool LKILL(int32_t reset, int32_t& type, EventRecord& record) {
  CancelPollRecord& s = CancelPoll();
  if (reset != 0) {
    s.Cancelled = false;
    return false;
  }
  WEventPoll(type, record);
  if (type == EventButton) s.Cancelled = true;
  return s.Cancelled;
}

bool LKILL(int32_t reset) {
  CancelPollRecord& s = CancelPoll();
  return LKILL(reset, s.Type, s.Record);
}
