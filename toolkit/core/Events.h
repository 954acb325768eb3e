// Events of the toolkit. The toolkit never calls the application back:
// window, dialog and control procedures record what the user does as
// events, and the application pulls them. WEventNext waits for the next
// event; WEventPoll returns one only when the pending messages make one now.
//
// An event is an EventType (1..16) and a 12-word EventRecord:
//   word 0   the window number (0 root, 1..50), or the dialog identifier
//   word 1   first value (key code, command, button, width, ...)
//   word 2   second value
//   word 3   place kind: 0 window, 1 dialog field, 2 bitmap viewer, -1 none
//   word 4   field identifier for place kind 1, else -1
//   word 5,6 position: 0..9999 across the window's client area (pixels of a field)
//   word 7,8 32-bit reals, repaint events only
//   word 9,10 32-bit reals: the position in graphics user units
//   word 11  the message time in milliseconds
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

using EventRecord = std::array<int32_t, 12>;

// Event types.
inline constexpr int32_t EventKey = 1;
inline constexpr int32_t EventMenuCommand = 2;
inline constexpr int32_t EventButton = 3;
inline constexpr int32_t EventMouseDown = 4;
inline constexpr int32_t EventMouseUp = 5;
inline constexpr int32_t EventMouseMotion = 6;
inline constexpr int32_t EventRepaint = 7;
inline constexpr int32_t EventSized = 8;
inline constexpr int32_t EventCloseAsked = 9;
inline constexpr int32_t EventFieldChange = 10;
inline constexpr int32_t EventTabChange = 11;
inline constexpr int32_t EventFrameClick = 12;
inline constexpr int32_t EventTimer = 13;
inline constexpr int32_t EventEditorEnter = 14;
inline constexpr int32_t EventViewerScroll = 15;
inline constexpr int32_t EventMouseDoubleClick = 16;
inline constexpr int32_t kEventTypes = 16;
// The type WEventPoll gives when there is no event.
inline constexpr int32_t kNoEvent = -1;

// Words 7..10 hold 32-bit reals.
inline float EventReal(const EventRecord& r, int word) { return std::bit_cast<float>(r[static_cast<std::size_t>(word)]); }
inline void SetEventReal(EventRecord& r, int word, float v) { r[static_cast<std::size_t>(word)] = std::bit_cast<int32_t>(v); }

// Waits for the next event. Words 7..10 are written only by the types that
// carry them; otherwise they keep what the record held.
void WEventNext(int32_t& type, EventRecord& record);
// The next event when the pending messages produce one now, else type -1
// with words 0..6 and 11 set to -1. Never waits.
void WEventPoll(int32_t& type, EventRecord& record);
// Switches recording of event type `option` (1..16) on (non-zero) or off;
// other options are ignored.
void WEventOptionSet(int32_t option, int32_t value);
// The option of type 1..16; 0 for any other option.
void WEventOptionGet(int32_t option, int32_t& value);
