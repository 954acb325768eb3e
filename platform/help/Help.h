// The help viewer: a window with a topic list and a read-only text, behind
// an entry shaped like the classic help call (owner, file, command, data).
// It reads help files of our own text format:
//
//   QUILLON HELP 1               the first line, exactly
//   #topic 40004 Export ...      a topic: its number and title; the lines
//   #keys export; data file      up to the next "#topic" are its text, but
//   ...                          "#keys" lines, which give its keywords
//                                (separated by ";")
//
// Any other file, or a topic or keyword it does not hold, is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace plat {

namespace help {
constexpr uint32_t Context = 0x0001;        // data: the topic number
constexpr uint32_t Quit = 0x0002;
constexpr uint32_t Contents = 0x0003;
constexpr uint32_t ContextPopup = 0x0008;   // the topic in a small window of its own
constexpr uint32_t Key = 0x0101;            // data: const char* keyword
constexpr uint32_t Finder = 0x000B;
}  // namespace help

inline constexpr const char* kHelpFileMagic = "QUILLON HELP 1";

struct HelpTopic {
  int number = 0;
  std::string title;
  std::vector<std::string> keys;
  std::string text;   // lines ended by "\r\n", as the edit control shows them
};
// False when the file cannot be read or is not a help file of ours.
bool readHelpFile(const std::string& path, std::vector<HelpTopic>& topics);

// Shows help; false when the viewer refuses (a file that is not a help
// file, an unknown topic or keyword). Quit closes the viewer and a popup.
bool winHelp(Hwnd owner, const std::string& file, uint32_t command, uintptr_t data);

// What the viewer shows (tests and painting).
struct HelpViewerState {
  Hwnd window;        // the viewer; none while it is closed
  Hwnd topicList;
  Hwnd text;
  Hwnd popup;         // a popup topic's window; none when there is none
  std::string file;
  int topic = 0;      // the topic shown (number)
};
const HelpViewerState& helpViewerState();

}  // namespace plat
