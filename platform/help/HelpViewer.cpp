#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "platform/ctl/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/help/Help.h"
#include "platform/os/Os.h"
#include "platform/win/Window.h"

namespace plat {

namespace {

constexpr const char* kViewerClass = "QuillonHelpViewer";
constexpr const char* kPopupClass = "QuillonHelpPopup";
constexpr int kTopicListId = 1;
constexpr int kTextId = 2;
// A help file is text; anything larger is not one of ours.
constexpr size_t kLargestHelpFile = 4u << 20;

struct Viewer {
  HelpViewerState state;
  std::vector<HelpTopic> topics;
};

Viewer& V() {
  static Viewer v;
  return v;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

void ShowTopic(size_t index) {
  Viewer& v = V();
  if (index >= v.topics.size() || !v.state.window) return;
  v.state.topic = v.topics[index].number;
  setWindowText(v.state.text, v.topics[index].text);
  sendMessage(v.state.topicList, lb::SetCurSel, index, 0);
}

void LayOut(Hwnd w) {
  Rect r;
  getClientRect(w, r);
  const int list = std::min(180, r.width() / 3);
  moveWindow(V().state.topicList, 0, 0, list, r.height());
  moveWindow(V().state.text, list, 0, std::max(0, r.width() - list), r.height());
}

LResult ViewerProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::Size:
      if (V().state.topicList) LayOut(w);
      return 0;
    case wm::Command:
      if (loWord(wp) == kTopicListId && hiWord(wp) == lbn::SelChange) {
        const LResult sel = sendMessage(V().state.topicList, lb::GetCurSel, 0, 0);
        if (sel >= 0) ShowTopic(static_cast<size_t>(sel));
        return 0;
      }
      return defWindowProc(w, message, wp, lp);
    case wm::Destroy:
      if (V().state.window == w) V().state = {.popup = V().state.popup};
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

LResult PopupProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::LButtonDown:
    case wm::KillFocus:
      destroyWindow(w);
      return 0;
    case wm::Destroy:
      if (V().state.popup == w) V().state.popup = {};
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

void RegisterClasses() {
  WindowClass wc;
  if (!getClassInfo(kViewerClass, wc)) {
    wc = {};
    wc.name = kViewerClass;
    wc.proc = ViewerProc;
    wc.cursor = loadCursor(SysCursor::Arrow);
    registerClass(wc);
  }
  if (!getClassInfo(kPopupClass, wc)) {
    wc = {};
    wc.name = kPopupClass;
    wc.proc = PopupProc;
    wc.cursor = loadCursor(SysCursor::Arrow);
    registerClass(wc);
  }
}

bool OpenViewer(Hwnd owner, const std::string& file, std::vector<HelpTopic> topics) {
  Viewer& v = V();
  RegisterClasses();
  if (v.state.window && v.state.file != file) destroyWindow(v.state.window);
  if (!v.state.window) {
    const Hwnd w = createWindowEx(0, kViewerClass, "Help", ws::OverlappedWindow | ws::ClipChildren, 120, 80,
                                  640, 480, owner, {});
    if (!w) return false;
    v.state.window = w;
    v.state.topicList = createWindowEx(wsx::ClientEdge, kListBoxClass, "",
                                       ws::Child | ws::Visible | ws::VScroll | lbs::Notify, 0, 0, 0, 0, w, {},
                                       kTopicListId);
    v.state.text = createWindowEx(wsx::ClientEdge, kEditClass, "",
                                  ws::Child | ws::Visible | ws::VScroll | es::MultiLine | es::ReadOnly, 0, 0, 0, 0,
                                  w, {}, kTextId);
    LayOut(w);
  }
  v.state.file = file;
  v.topics = std::move(topics);
  sendMessage(v.state.topicList, lb::ResetContent, 0, 0);
  for (const HelpTopic& t : v.topics) {
    sendMessage(v.state.topicList, lb::AddString, 0, reinterpret_cast<LParam>(t.title.c_str()));
  }
  showWindow(v.state.window, ShowCmd::ShowNormal);
  return true;
}

void ShowPopup(Hwnd owner, const HelpTopic& topic) {
  Viewer& v = V();
  RegisterClasses();
  if (v.state.popup) destroyWindow(v.state.popup);
  // Sized to the text: its lines are not wrapped.
  Size text{0, 0};
  const Hdc dc = createCompatibleDc(0);
  selectObject(dc, getStockObject(Stock::kDefaultGuiFont));
  std::string_view rest = topic.text;
  while (!rest.empty()) {
    const size_t end = rest.find("\r\n");
    Size line;
    getTextExtent(dc, rest.substr(0, end), line);
    text.cx = std::max(text.cx, line.cx);
    text.cy += std::max(line.cy, 1);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
  }
  deleteDc(dc);
  const int width = std::min(text.cx + 24, displayInfo().width / 2);
  const int height = std::min(text.cy + 16, displayInfo().height / 2);
  const Point at = getCursorPos();
  const Hwnd w = createWindowEx(wsx::TopMost | wsx::ToolWindow, kPopupClass, topic.title,
                                ws::Popup | ws::Border | ws::ClipChildren, at.x, at.y + 16, width, height, owner, {});
  if (!w) return;
  v.state.popup = w;
  Rect inside;
  getClientRect(w, inside);
  createWindowEx(0, kEditClass, topic.text, ws::Child | ws::Visible | es::MultiLine | es::ReadOnly, 0, 0,
                 inside.width(), inside.height(), w, {}, kTextId);
  showWindow(w, ShowCmd::ShowNA);
}

}  // namespace

bool readHelpFile(const std::string& path, std::vector<HelpTopic>& topics) {
  topics.clear();
  int handle = -1;
  if (FileOpen(path, kOpenRead, handle) != 0) return false;
  std::string bytes;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    size_t got = 0;
    if (FileRead(handle, buffer, sizeof buffer, got) != 0) ok = false;
    bytes.append(buffer, got);
    if (bytes.size() > kLargestHelpFile) ok = false;
    if (!ok || got < sizeof buffer) break;
  }
  FileClose(handle);
  if (!ok) return false;
  std::string_view rest = bytes;
  bool first = true;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line != kHelpFileMagic) return false;
      first = false;
      continue;
    }
    if (line.starts_with("#topic ")) {
      std::string_view heading = Trim(line.substr(7));
      size_t digits = 0;
      while (digits < heading.size() && std::isdigit(static_cast<unsigned char>(heading[digits]))) ++digits;
      if (digits == 0 || digits > 9) return false;
      HelpTopic t;
      t.number = std::stoi(std::string(heading.substr(0, digits)));
      t.title = std::string(Trim(heading.substr(digits)));
      topics.push_back(std::move(t));
    } else if (line.starts_with("#keys")) {
      if (topics.empty()) return false;
      std::string_view keys = line.substr(5);
      while (!keys.empty()) {
        const size_t semi = keys.find(';');
        const std::string_view key = Trim(keys.substr(0, semi));
        if (!key.empty()) topics.back().keys.emplace_back(key);
        keys.remove_prefix(semi == std::string_view::npos ? keys.size() : semi + 1);
      }
    } else if (!topics.empty()) {
      topics.back().text.append(line).append("\r\n");
    }
  }
  if (first || topics.empty()) return false;
  for (HelpTopic& t : topics) {
    while (t.text.ends_with("\r\n\r\n")) t.text.resize(t.text.size() - 2);
  }
  return true;
}

bool winHelp(Hwnd owner, const std::string& file, uint32_t command, uintptr_t data) {
  Viewer& v = V();
  if (command == help::Quit) {
    if (v.state.popup) destroyWindow(v.state.popup);
    if (v.state.window) destroyWindow(v.state.window);
    v.state = {};
    v.topics.clear();
    return true;
  }
  std::vector<HelpTopic> topics;
  if (!readHelpFile(file, topics)) return false;
  size_t index = 0;
  switch (command) {
    case help::Contents:
    case help::Finder:
      break;
    case help::Context:
    case help::ContextPopup: {
      const auto it = std::find_if(topics.begin(), topics.end(),
                                   [&](const HelpTopic& t) { return t.number == static_cast<int>(data); });
      if (it == topics.end()) return false;
      if (command == help::ContextPopup) {
        ShowPopup(owner, *it);
        return static_cast<bool>(v.state.popup);
      }
      index = static_cast<size_t>(it - topics.begin());
      break;
    }
    case help::Key: {
      const std::string key = Lower(Trim(data != 0 ? reinterpret_cast<const char*>(data) : ""));
      const auto it = std::find_if(topics.begin(), topics.end(), [&](const HelpTopic& t) {
        return std::any_of(t.keys.begin(), t.keys.end(), [&](const std::string& k) { return Lower(k) == key; });
      });
      if (key.empty() || it == topics.end()) return false;
      index = static_cast<size_t>(it - topics.begin());
      break;
    }
    default:
      return false;
  }
  if (!OpenViewer(owner, file, std::move(topics))) return false;
  ShowTopic(index);
  return true;
}

const HelpViewerState& helpViewerState() {
  if (V().state.window && !isWindow(V().state.window)) V().state = {};
  return V().state;
}

}  // namespace plat
