// The clipboard record.
#include "platform/clip/Clipboard.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/win/Backend.h"
#include "platform/win/WinState.h"
#include "platform/win/Window.h"

namespace plat {
namespace detail {
namespace {

struct ClipboardState {
  bool open = false;
  bool held = false;
  Hwnd opener;
  Hwnd owner;
  std::vector<std::pair<uint32_t, std::string>> data;   // in the order put
  std::map<std::string, uint32_t> names;                 // upper-case name -> format
  std::map<uint32_t, std::string> formatNames;
  uint32_t nextFormat = 0xC000;
  bool textPut = false;   // the program put text while it had the clipboard open
};

ClipboardState& clip() {
  static ClipboardState s;
  return s;
}

}  // namespace

void resetClipboard() { clip() = ClipboardState{}; }

}  // namespace detail

using detail::clip;

bool openClipboard(Hwnd owner) {
  auto& c = clip();
  if (c.open || c.held) return false;
  c.open = true;
  c.opener = owner;
  c.textPut = false;
  // Text another program put on the desktop's clipboard replaces what the
  // program had there, formats of its own included.
  std::string desktop;
  if (BackendHooks& b = backendHooks(); b.clipboardTake && b.clipboardTake(desktop)) {
    c.data.clear();
    c.data.emplace_back(kCfText, std::move(desktop));
    c.owner = {};
  }
  return true;
}

bool closeClipboard() {
  auto& c = clip();
  if (!c.open) return false;
  c.open = false;
  c.opener = {};
  if (c.textPut && backendHooks().clipboardPut) {
    for (const auto& [f, d] : c.data)
      if (f == kCfText) backendHooks().clipboardPut(d);
  }
  c.textPut = false;
  return true;
}

bool emptyClipboard() {
  auto& c = clip();
  if (!c.open) return false;
  c.data.clear();
  c.owner = c.opener;
  return true;
}

bool setClipboardData(uint32_t format, std::string_view data) {
  auto& c = clip();
  if (!c.open || format == 0) return false;
  std::string bytes(data);
  if (format == kCfText) {
    bytes = bytes.substr(0, bytes.find('\0'));
    c.textPut = true;
  }
  for (auto& [f, d] : c.data)
    if (f == format) {
      d = std::move(bytes);
      return true;
    }
  c.data.emplace_back(format, std::move(bytes));
  return true;
}

bool getClipboardData(uint32_t format, std::string& out) {
  auto& c = clip();
  if (!c.open) return false;
  for (auto& [f, d] : c.data)
    if (f == format) {
      out = d;
      return true;
    }
  return false;
}

bool isClipboardFormatAvailable(uint32_t format) {
  const auto& d = clip().data;
  return std::any_of(d.begin(), d.end(), [&](const auto& e) { return e.first == format; });
}

int countClipboardFormats() { return static_cast<int>(clip().data.size()); }

uint32_t enumClipboardFormats(uint32_t after) {
  const auto& d = clip().data;
  if (after == 0) return d.empty() ? 0 : d.front().first;
  for (size_t i = 0; i + 1 < d.size(); ++i)
    if (d[i].first == after) return d[i + 1].first;
  return 0;
}

uint32_t registerClipboardFormat(std::string_view name) {
  if (name.empty()) return 0;
  auto& c = clip();
  const std::string key = detail::upper(name);
  auto it = c.names.find(key);
  if (it != c.names.end()) return it->second;
  if (c.nextFormat == 0xFFFF) return 0;
  const uint32_t f = c.nextFormat++;
  c.names[key] = f;
  c.formatNames[f] = std::string(name);
  return f;
}

std::string getClipboardFormatName(uint32_t format) {
  auto it = clip().formatNames.find(format);
  return it == clip().formatNames.end() ? std::string() : it->second;
}

Hwnd getClipboardOwner() { return clip().owner; }

void test::holdClipboard(bool held) { clip().held = held; }

}  // namespace plat
