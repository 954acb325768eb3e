// What the message box and the common dialogs share: the log of shown
// dialogs, the input-source check, queued answers for open dialogs,
// placement and the text of file names.
#include <algorithm>
#include <vector>

#include "platform/dlg/CommonInternal.h"
#include "platform/win/WinState.h"

namespace plat::detail {

size_t recordShown(std::string kind, std::string text, std::string caption, uint32_t flags, int answer,
                   std::string initialDir) {
  auto& shown = answers().shown;
  shown.push_back({std::move(kind), std::move(text), std::move(caption), flags, answer, std::move(initialDir), {}});
  return shown.size() - 1;
}

void requireInputSource(const char* what) {
  if (!inputSourceAvailable()) fatal(std::string("no answer for ") + what);
}

QueuedAnswerWatch::QueuedAnswerWatch(std::function<bool()> answerQueued) {
  WinState& s = state();
  if (!s.idle) return;
  saved_ = s.idle;
  installed_ = true;
  s.idle = [inner = saved_, queued = std::move(answerQueued), this] {
    const bool gave = inner();
    // A dialog disabled under a nested one (its overwrite question) waits
    // until that one is closed.
    if (queued() && isWindow(dialog_) && isWindowEnabled(dialog_)) {
      postMessage(dialog_, kTakeQueuedAnswer);
      return true;
    }
    return gave;
  };
}

QueuedAnswerWatch::~QueuedAnswerWatch() {
  if (installed_) state().idle = saved_;
}

void centreOverOwner(Hwnd dialog) {
  Rect r, area = workArea(), over = area;
  if (!getWindowRect(dialog, r)) return;
  Hwnd owner = getOwner(dialog);
  Rect o;
  if (owner && isWindowVisible(owner) && getWindowRect(owner, o) && !o.empty()) over = o;
  int x = over.left + (over.width() - r.width()) / 2;
  int y = over.top + (over.height() - r.height()) / 2;
  x = std::max(area.left, std::min(x, area.right - r.width()));
  y = std::max(area.top, std::min(y, area.bottom - r.height()));
  setWindowPos(dialog, {}, x, y, 0, 0, kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
}

namespace {

// Windows-1252 characters of the bytes 0x80..0x9F (0: none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte of a character in the 8-bit text, -1 when it has none.
int byteOf(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == cp) return 0x80 + i;
  return -1;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes UTF-8; false when the text is not valid UTF-8.
bool decodeUtf8(const std::string& s, std::vector<uint32_t>& cps) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || (extra > 0 && i + static_cast<size_t>(extra) >= s.size())) return false;
    uint32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    cps.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

}  // namespace

std::string displayName(const std::string& utf8) {
  std::vector<uint32_t> cps;
  if (!decodeUtf8(utf8, cps)) return utf8;
  std::string out;
  for (uint32_t cp : cps) {
    const int b = byteOf(cp);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string fileSystemName(const std::string& shown) {
  std::string out;
  for (char ch : shown) {
    const auto b = static_cast<unsigned char>(ch);
    uint32_t cp = b;
    if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0) cp = kCp1252High[b - 0x80];
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace plat::detail
