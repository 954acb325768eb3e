#include "toolkit/core/HelpDisplay.h"

#include <algorithm>
#include <climits>
#include <cctype>
#include <vector>

#include "VOZUVar/Strings.h"
#include "platform/help/Help.h"
#include "platform/os/Modules.h"
#include "platform/os/Os.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"

namespace {

constexpr int32_t kFileNotFound = 1;
constexpr int32_t kViewerError = 1030;
constexpr int32_t kNotHelpFile = 1031;
constexpr int32_t kNoHtmlHelp = 1081;
constexpr const char* kOpener = "xdg-open";

struct HelpStateRecord {
  std::string LastFile;          // the resolved name of the last help file
  plat::Hmodule HtmlModule = 0;  // "vidado.dll" while loaded
  HtmlHelpEntry HtmlEntry = nullptr;
};

HelpStateRecord& HelpState() {
  static HelpStateRecord s;
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

plat::Hwnd RootFrame() { return WindowTables().Frame[0]; }

std::string FullPath(const std::string& name) {
  std::string full;
  int32_t status = 0;
  YYFullPath(status, name, full, PATH_MAX);
  return status == 0 ? std::string(TrimTrailingBlanks(full)) : name;
}

// The directory of the running program, ending in "/": its path whole,
// however long (a cut one would be another directory).
std::string ProgramDirectory() {
  std::string path = FullPath(YYProgramPath());
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Full path of a help file, else the same name beside the program; empty
// when neither exists.
std::string Resolve(const std::string& name) {
  std::string full = FullPath(name);
  if (plat::PathExists(full)) return full;
  full = FullPath(ProgramDirectory() + name);
  return plat::PathExists(full) ? full : std::string();
}

std::string TempDirectory() {
  std::string dir(255, ' ');
  WInfoFilename(10, dir);
  std::string d(TrimTrailingBlanks(dir));
  if (d.empty()) d = plat::TempDirectory();
  if (d.back() != '/') d += '/';
  return d;
}

bool LoadHtmlHelp() {
  HelpStateRecord& s = HelpState();
  if (s.HtmlEntry != nullptr) return true;
  if (s.HtmlModule == 0) s.HtmlModule = plat::loadLibrary("vidado.dll");
  if (s.HtmlModule == 0) return false;
  s.HtmlEntry = reinterpret_cast<HtmlHelpEntry>(plat::getProcAddress(s.HtmlModule, "yyHtmlHelp"));
  if (s.HtmlEntry == nullptr) {
    plat::freeLibrary(s.HtmlModule);
    s.HtmlModule = 0;
    return false;
  }
  return true;
}

}  // namespace

void ResetHelpDisplay() {
  HelpStateRecord& s = HelpState();
  if (s.HtmlModule != 0) plat::freeLibrary(s.HtmlModule);
  s = HelpStateRecord{};
}

void YYWinHelpShow(int32_t mode, int32_t popup, int32_t topic, int32_t& error, const std::string& file,
                   std::string_view topicText) {
  const std::string key(TrimTrailingBlanks(topicText));
  bool ok = false;
  switch (mode) {
    case 1: ok = plat::winHelp(RootFrame(), file, plat::help::Finder, 0); break;
    case 2:
      ok = plat::winHelp(RootFrame(), file, popup == 1 ? plat::help::ContextPopup : plat::help::Context,
                         static_cast<uintptr_t>(static_cast<uint32_t>(topic)));
      break;
    case 3: ok = plat::winHelp(RootFrame(), file, plat::help::Key, reinterpret_cast<uintptr_t>(key.c_str())); break;
    default: ok = plat::winHelp(RootFrame(), file, plat::help::Contents, 0); break;
  }
  if (!ok) error = kViewerError;
}

void YYHtmlHelpShow(int32_t mode, int32_t popup, int32_t topic, int32_t& error, const std::string& file,
                    std::string_view topicText) {
  if (!LoadHtmlHelp()) {
    error = kNoHtmlHelp;
    return;
  }
  const HtmlHelpEntry call = HelpState().HtmlEntry;
  const std::string key(TrimTrailingBlanks(topicText));
  uintptr_t result = 0;
  if (mode == 1) {
    result = call({}, file.c_str(), hh::DisplayTopic, 0);
    if (result != 0) result = call({}, file.c_str(), hh::DisplayToc, 0);
  } else if (mode == 2 && popup == 1) {
    const std::string popupFile = file + "::/popup.txt";
    HhPopupRecord record;
    record.TextId = static_cast<uint32_t>(topic);
    const plat::Point at = plat::getCursorPos();
    record.Position = {at.x, at.y + 16};
    result = call({}, popupFile.c_str(), hh::DisplayTextPopup, reinterpret_cast<uintptr_t>(&record));
  } else if (mode == 2) {
    result = call({}, file.c_str(), hh::DisplayToc, 0);
    if (result != 0) result = call({}, file.c_str(), hh::HelpContext, static_cast<uintptr_t>(static_cast<uint32_t>(topic)));
  } else {
    HhAkLinkRecord record;
    record.Keywords = key.c_str();
    result = call({}, file.c_str(), hh::KeywordLookup, reinterpret_cast<uintptr_t>(&record));
  }
  if (result == 0) error = kViewerError;
}

void YYBrowserShow(int32_t mode, int32_t topic, int32_t& error, const std::string& probe, std::string_view topicText,
                   const std::string& target) {
  if (!plat::PathExists(probe)) {
    error = kFileNotFound;
    return;
  }
  const std::string program = plat::FindProgram(kOpener);
  if (program.empty()) {
    error = kViewerError;
    return;
  }
  // The opener is no browser that takes an anchor on its own.
  if (mode == 2) mode = 1;
  if (mode == 4) mode = 3;
  // Modes up to 2 open a local page, 3 and 4 an address.
  std::string argument = mode <= 2 ? "file://" + target : target;
  if (topic > 0) argument += "#" + std::string(TrimTrailingBlanks(topicText));
  plat::SpawnOutcome outcome;
  if (plat::Spawn({kOpener, argument}, false, 0, outcome) != 0) error = kViewerError;
}

void YYOpenWithAssociated(int32_t& error, const std::string& file) {
  if (!plat::PathExists(file)) {
    error = kFileNotFound;
    return;
  }
  if (plat::FindProgram(kOpener).empty()) {
    error = kViewerError;
    return;
  }
  plat::SpawnOutcome outcome;
  if (plat::Spawn({kOpener, file}, false, 0, outcome) != 0) error = kViewerError;
}

void YYHelpClose() {
  HelpStateRecord& s = HelpState();
  plat::winHelp(RootFrame(), s.LastFile, plat::help::Quit, 0);
  if (s.HtmlEntry != nullptr) s.HtmlEntry({}, nullptr, hh::CloseAll, 0);
  if (s.HtmlModule != 0) plat::freeLibrary(s.HtmlModule);
  s.HtmlModule = 0;
  s.HtmlEntry = nullptr;
}

void WHelpFile(std::string_view nameIn, int32_t topic, std::string_view topicText, int32_t popup, int32_t lookup) {
  std::string name(TrimTrailingBlanks(nameIn));
  name.erase(0, name.find_first_not_of(' ') == std::string::npos ? name.size() : name.find_first_not_of(' '));
  const std::string lower = Lower(name);
  if (name.empty()) {
    YYHelpClose();
    return;
  }
  int32_t kind = 0;
  bool address = false;
  if (EndsWith(lower, ".hlp")) {
    kind = 1;
  } else if (EndsWith(lower, ".chm") || EndsWith(lower, ".col") ||
             (lower.starts_with("ms-its:") && lower.find(".chm::/") != std::string::npos)) {
    kind = 2;
  } else if (lower.starts_with("http://")) {
    kind = 3;
    address = true;
  } else if (EndsWith(lower, ".htm") || EndsWith(lower, ".html")) {
    kind = 3;
    if (lower.starts_with("file://")) name.erase(0, 7);
  } else if (EndsWith(lower, ".pdf")) {
    kind = 4;
  } else {
    YYERRREP(kNotHelpFile, "WHelpFile");
    return;
  }
  int32_t error = 0;
  std::string resolved;
  if (!address) {
    const bool msIts = lower.starts_with("ms-its:");
    const size_t chm = lower.find(".chm::/");
    const std::string file = msIts ? name.substr(7, chm + 4 - 7) : name;
    resolved = Resolve(file);
    if (resolved.empty()) {
      YYERRREP(kFileNotFound, "WHelpFile");
      return;
    }
    if (msIts) resolved = "ms-its:" + resolved + "::/" + name.substr(chm + 7);
    HelpState().LastFile = resolved;
  }
  if (kind == 1) {
    int32_t mode = 3;
    if (topic >= 0) {
      mode = 2;
    } else if (lookup == 1) {
      mode = plat::PathExists(resolved.substr(0, resolved.size() - 3) + "cnt") ? 1 : 4;
    }
    YYWinHelpShow(mode, popup, topic, error, resolved, topicText);
  } else if (kind == 2) {
    const int32_t mode = topic >= 0 ? 2 : lookup == 1 ? 1 : 3;
    YYHtmlHelpShow(mode, popup, topic, error, resolved, topicText);
  } else if (kind == 3 && address) {
    // The probe stands for the page the opener is asked about; it is made
    // new and private each time and removed afterwards.
    std::string probe;
    if (plat::CreateTempFile(TempDirectory(), "qvzhelp", ".htm", probe) != 0 ||
        plat::FileWriteWhole(probe, "Temporary Plovane file. Please delete.\r\n") != 0) {
      if (!probe.empty()) plat::FileDelete(probe);
      YYERRREP(kViewerError, "WHelpFile");
      return;
    }
    // An address is always one (modes 3 and 4), whatever the lookup mode;
    // only lookup mode 2 asks for the anchor.
    YYBrowserShow(lookup == 2 ? 4 : 3, topic, error, probe, topicText, name);
    plat::FileDelete(probe);
  } else if (kind == 3) {
    std::replace(resolved.begin(), resolved.end(), '\\', '/');
    // A local page is always one (modes 1 and 2).
    YYBrowserShow(lookup == 2 ? 2 : 1, topic, error, resolved, topicText, resolved);
  } else {
    YYOpenWithAssociated(error, resolved);
  }
  if (error != 0) YYERRREP(error, "WHelpFile");
}
