// Input scripts: the input of a headless run, one action per line, carried
// out when the program waits for input (format in platform/README.md).
#include <cctype>
#include <charconv>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/bars/Toolbar.h"
#include "platform/test/Answers.h"

namespace plat::test {

using namespace detail;

namespace {

struct Action {
  std::function<void()> run;
  bool supplies = true;   // gives input or an answer (a wait only moves the clock)
};

struct Script {
  std::vector<Action> actions;
  size_t next = 0;
};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct LineError {
  std::string message;
};

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    std::string w;
    if (line[i] == '"') {
      ++i;
      while (i < line.size() && line[i] != '"') {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        w += line[i++];
      }
      if (i >= line.size()) throw LineError{"unterminated text"};
      ++i;
      out.push_back("\"" + w);   // marked as quoted
      continue;
    }
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) w += line[i++];
    out.push_back(w);
  }
  return out;
}

int number(const std::vector<std::string>& w, size_t i, int lo, int hi) {
  if (i >= w.size()) throw LineError{"a number is missing"};
  int v = 0;
  const std::string& s = w[i];
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) throw LineError{"bad number " + s};
  if (v < lo || v > hi) throw LineError{"number " + s + " out of range"};
  return v;
}

std::string quoted(const std::vector<std::string>& w, size_t i) {
  if (i >= w.size() || w[i].empty() || w[i][0] != '"') throw LineError{"a text in quotes is missing"};
  return w[i].substr(1);
}

Button button(const std::vector<std::string>& w, size_t i) {
  if (i >= w.size()) return Button::Left;
  std::string b = lower(w[i]);
  if (b == "left") return Button::Left;
  if (b == "right") return Button::Right;
  if (b == "middle") return Button::Middle;
  throw LineError{"unknown button " + w[i]};
}

uint32_t keyName(const std::string& name) {
  std::string k = lower(name);
  struct K {
    const char* n;
    uint32_t v;
  };
  static constexpr K kKeys[] = {
      {"return", vk::Return}, {"enter", vk::Return}, {"escape", vk::Escape}, {"esc", vk::Escape},
      {"tab", vk::Tab}, {"space", vk::Space}, {"back", vk::Back}, {"backspace", vk::Back}, {"delete", vk::Delete},
      {"insert", vk::Insert}, {"home", vk::Home}, {"end", vk::End}, {"pgup", vk::Prior}, {"pgdn", vk::Next},
      {"left", vk::Left}, {"right", vk::Right}, {"up", vk::Up}, {"down", vk::Down}, {"pause", vk::Pause},
      {"shift", vk::Shift}, {"ctrl", vk::Control}, {"alt", vk::Menu},
  };
  for (const K& e : kKeys)
    if (k == e.n) return e.v;
  if (k.size() == 1 && std::isalnum(static_cast<unsigned char>(k[0]))) return vk::letter(k[0]);
  if (k.size() >= 2 && k[0] == 'f') {
    int n = 0;
    auto r = std::from_chars(k.data() + 1, k.data() + k.size(), n);
    if (r.ec == std::errc() && r.ptr == k.data() + k.size() && n >= 1 && n <= 24) return vk::fn(n);
  }
  throw LineError{"unknown key " + name};
}

Hwnd activeFrame() {
  Hwnd a = getActiveWindow();
  if (!a) fatal("input script: no active window");
  return a;
}

// Client coordinates of the active window, on the screen.
Point point(const std::vector<std::string>& w, size_t i) {
  int x = number(w, i, -32768, 32767), y = number(w, i + 1, -32768, 32767);
  return {x, y};
}

Hwnd toolbarWith(Hwnd w, int command) {
  for (Hwnd c : childWindows(w)) {
    if (toolbarState(c) && sendMessage(c, tb::CommandToIndex, static_cast<WParam>(command), 0) >= 0) return c;
    if (Hwnd deeper = toolbarWith(c, command)) return deeper;
  }
  return {};
}

Action parseLine(const std::vector<std::string>& w) {
  const std::string cmd = lower(w[0]);
  auto expect = [&](size_t n) {
    if (w.size() > n) throw LineError{"unexpected \"" + w[n] + "\""};
  };
  if (cmd == "wait") {
    int ms = number(w, 1, 0, 86400000);
    expect(2);
    return {[ms] { advance(static_cast<uint32_t>(ms)); }, false};
  }
  if (cmd == "key") {
    if (w.size() != 2) throw LineError{"key takes one key, as Ctrl+Shift+F2"};
    unsigned mods = kNone;
    std::string rest = w[1];
    size_t plus;
    while ((plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size()) {
      std::string m = lower(rest.substr(0, plus));
      if (m == "ctrl") mods |= kCtrl;
      else if (m == "shift") mods |= kShift;
      else if (m == "alt") mods |= kAlt;
      else throw LineError{"unknown modifier " + m};
      rest = rest.substr(plus + 1);
    }
    uint32_t k = keyName(rest);
    return {[k, mods] { key(k, mods); }};
  }
  if (cmd == "text") {
    std::string t = quoted(w, 1);
    expect(2);
    return {[t] { typeText(t); }};
  }
  if (cmd == "move" || cmd == "click" || cmd == "dblclick" || cmd == "down" || cmd == "up") {
    Point p = point(w, 1);
    Button b = cmd == "move" ? Button::Left : button(w, 3);
    expect(cmd == "move" ? 3 : (w.size() > 3 ? 4 : 3));
    return {[cmd, p, b] {
      Point s = clientToScreen(activeFrame(), p);
      if (cmd == "move") mouseMove(s);
      else if (cmd == "click") click(b, s);
      else if (cmd == "dblclick") doubleClick(b, s);
      else if (cmd == "down") mouseDown(b, s);
      else mouseUp(b, s);
    }};
  }
  if (cmd == "wheel") {
    int delta = number(w, 1, -32768, 32767);
    Point p = point(w, 2);
    expect(4);
    return {[delta, p] { wheel(delta, clientToScreen(activeFrame(), p)); }};
  }
  if (cmd == "menu") {
    int id = number(w, 1, 1, 65535);
    expect(2);
    return {[id] {
      if (!chooseMenu(activeFrame(), static_cast<uint32_t>(id))) fatal("input script: no menu command " + std::to_string(id));
    }};
  }
  if (cmd == "toolbar") {
    int id = number(w, 1, 1, 65535);
    expect(2);
    return {[id] {
      Hwnd t = toolbarWith(activeFrame(), id);
      if (!t || !clickToolbarButton(t, id)) fatal("input script: no toolbar button " + std::to_string(id));
    }};
  }
  if (cmd == "close" || cmd == "minimize" || cmd == "maximize") {
    expect(1);
    return {[cmd] {
      Hwnd f = activeFrame();
      if (cmd == "close") clickCloseBox(f);
      else if (cmd == "minimize") clickMinimizeBox(f);
      else clickMaximizeBox(f);
    }};
  }
  if (cmd == "resize") {
    int cx = number(w, 1, 1, 32767), cy = number(w, 2, 1, 32767);
    expect(3);
    return {[cx, cy] { dragFrameSize(activeFrame(), {cx, cy}); }};
  }
  if (cmd == "moveto") {
    Point p = point(w, 1);
    expect(3);
    return {[p] { dragFrameTo(activeFrame(), p); }};
  }
  if (cmd == "msgbox") {
    if (w.size() != 2) throw LineError{"msgbox takes one answer"};
    std::string a = lower(w[1]);
    if (a == "fail") return {[] { answerMessageBoxFails(); }};
    static const std::pair<const char*, int> kButtons[] = {{"ok", kIdOk}, {"cancel", kIdCancel}, {"abort", kIdAbort},
                                                           {"retry", kIdRetry}, {"ignore", kIdIgnore}, {"yes", kIdYes},
                                                           {"no", kIdNo}};
    for (const auto& [n, button] : kButtons) {
      const int id = button;
      if (a == n) return {[id] { answerMessageBox(id); }};
    }
    throw LineError{"unknown message box answer " + w[1]};
  }
  if (cmd == "file") {
    if (w.size() == 2 && lower(w[1]) == "cancel") return {[] { answerFileDialog({false, {}, 0, 0}); }};
    FileAnswer a;
    size_t i = 1;
    while (i < w.size() && !w[i].empty() && w[i][0] == '"') a.paths.push_back(quoted(w, i++));
    if (a.paths.empty()) throw LineError{"file takes a path in quotes or cancel"};
    if (i < w.size()) {
      if (lower(w[i]) != "filter") throw LineError{"unexpected \"" + w[i] + "\""};
      a.filterIndex = number(w, i + 1, 1, 1000);
      expect(i + 2);
    }
    return {[a] { answerFileDialog(a); }};
  }
  if (cmd == "pagesetup") {
    if (w.size() < 2) throw LineError{"pagesetup takes ok or cancel"};
    PageSetupAnswer a;
    a.ok = lower(w[1]) == "ok";
    if (!a.ok && lower(w[1]) != "cancel") throw LineError{"pagesetup takes ok or cancel"};
    for (size_t i = 2; i < w.size(); ++i) {
      std::string o = lower(w[i]);
      if (o == "portrait") a.orientation = 1;
      else if (o == "landscape") a.orientation = 2;
      else if (o == "copies") a.copies = number(w, ++i, 1, 9999);
      else throw LineError{"unknown page set-up option " + w[i]};
    }
    return {[a] { answerPageSetup(a); }};
  }
  if (cmd == "colour" || cmd == "color") {
    if (w.size() != 2) throw LineError{"colour takes RRGGBB or cancel"};
    if (lower(w[1]) == "cancel") return {[] { answerColour(false); }};
    unsigned v = 0;
    auto r = std::from_chars(w[1].data(), w[1].data() + w[1].size(), v, 16);
    if (w[1].size() != 6 || r.ec != std::errc() || r.ptr != w[1].data() + w[1].size()) throw LineError{"bad colour " + w[1]};
    // RRGGBB as written; the dialog answers 0x00BBGGRR.
    uint32_t rgb = ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
    return {[rgb] { answerColour(true, rgb); }};
  }
  if (cmd == "font") {
    if (w.size() == 2 && lower(w[1]) == "cancel") return {[] { answerFont(false); }};
    FontChoice f;
    f.face = quoted(w, 1);
    f.height = number(w, 2, -1000, 1000);
    expect(3);
    return {[f] { answerFont(true, f); }};
  }
  if (cmd == "folder") {
    if (w.size() == 2 && lower(w[1]) == "cancel") return {[] { answerFolder(false); }};
    std::string p = quoted(w, 1);
    expect(2);
    return {[p] { answerFolder(true, p); }};
  }
  if (cmd == "picture") {
    std::string path = quoted(w, 1);
    expect(2);
    // The active window as it stands, frame included.
    return {[path] {
      if (!writeWindowPng(activeFrame(), true, path)) fatal("input script: cannot write the picture " + path);
    }, false};
  }
  throw LineError{"unknown action " + w[0]};
}

}  // namespace

bool loadInputScriptText(std::string_view text, std::string_view name, std::string& error) {
  auto script = std::make_shared<Script>();
  std::istringstream in{std::string(text)};
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    try {
      std::vector<std::string> w = words(line);
      if (w.empty()) continue;
      script->actions.push_back(parseLine(w));
    } catch (const LineError& e) {
      error = std::string(name) + ":" + std::to_string(n) + ": " + e.message;
      return false;
    }
  }
  setIdleHook([script] {
    while (script->next < script->actions.size()) {
      Action& a = script->actions[script->next++];
      a.run();
      if (a.supplies) return true;
    }
    return false;
  });
  return true;
}

bool loadInputScript(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the input script";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return loadInputScriptText(text.str(), path, error);
}

}  // namespace plat::test
