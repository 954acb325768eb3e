// The file open and save dialog as a real dialog: the name field and the
// file list of the folder shown (filtered by the chosen type or a typed
// pattern), the folder and its subfolders (Up; a double click enters), and
// the type choice. What the user settles on goes through the same checks as
// a queued answer (acceptFiles), so both answer alike.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/os/Os.h"

namespace plat::detail {

namespace {

namespace fs = std::filesystem;

enum FileDialogControl : int {
  kNameEdit = 1152,
  kFileList = 1120,
  kFolderField = 1088,
  kFolderList = 1121,
  kTypeLabel = 1089,
  kTypeCombo = 1136,
  kUpButton = 1090,
};

struct Entry {
  std::string name;   // as the file system has it
  bool folder = false;
};

struct FileDialogContext {
  OpenFileName* o = nullptr;
  bool save = false;
  std::string title;
  fs::path start;                 // the initial directory: queued answers are relative to it
  fs::path folder;                // the folder shown
  std::string pattern;            // a typed pattern in place of the type's ("" : none)
  std::string lastName;           // the name field's last plain name
  std::vector<Entry> entries;     // of the folder shown
  QueuedAnswerWatch* watch = nullptr;
};

// A folder's path without a trailing "/" (but "/").
fs::path tidy(fs::path p) {
  p = p.lexically_normal();
  if (p.filename().empty() && p.has_relative_path()) p = p.parent_path();
  return p;
}

FileDialogContext* contextOf(Hwnd dialog) { return reinterpret_cast<FileDialogContext*>(getUserData(dialog)); }

std::string upperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The patterns files are listed by: the typed one, else the chosen type's
// ("*.DAT;*.TXT"), else every file.
std::vector<std::string> listPatterns(Hwnd dialog, const FileDialogContext& c) {
  std::string all = c.pattern;
  if (all.empty()) {
    const LResult i = sendDlgItemMessage(dialog, kTypeCombo, cb::GetCurSel);
    if (i >= 0 && static_cast<size_t>(i) < c.o->filters.size()) all = c.o->filters[static_cast<size_t>(i)].second;
  }
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(';', start);
    if (end == std::string::npos) end = all.size();
    std::string p = all.substr(start, end - start);
    const size_t a = p.find_first_not_of(' '), b = p.find_last_not_of(' ');
    if (a != std::string::npos) out.push_back(p.substr(a, b - a + 1));
    start = end + 1;
  }
  if (out.empty()) out.push_back("*");
  return out;
}

// Patterns compare without regard to case (a "*.DAT" type lists "a.dat");
// hidden names (a leading ".") only for a pattern that names them so.
bool listed(const std::string& name, const std::vector<std::string>& patterns) {
  for (const std::string& p : patterns) {
    if (name[0] == '.' && p[0] != '.') continue;
    if (WildcardMatch(upperAscii(p), upperAscii(name))) return true;
  }
  return false;
}

void notice(Hwnd dialog, const FileDialogContext& c, const std::string& text) {
  messageBox(dialog, text, c.title, mb::Ok | mb::IconExclamation);
}

// The folder's path as its field shows it: the end of a long path, after "...".
void showFolder(Hwnd dialog, const FileDialogContext& c) {
  Hwnd field = getDlgItem(dialog, kFolderField);
  Rect r;
  getClientRect(field, r);
  const HFont font = controlFont(field);
  std::string text = displayName(c.folder.string());
  if (textWidth(font, text) > r.width()) {
    size_t from = 1;
    while (from < text.size() && textWidth(font, "..." + text.substr(from)) > r.width()) ++from;
    text = "..." + text.substr(from);
  }
  setWindowText(field, text);
}

// Lists the folder shown. A folder that is gone is reported and its
// nearest existing parent shown instead; one that cannot be read is
// reported and shown empty.
void refresh(Hwnd dialog, FileDialogContext& c, bool report) {
  std::error_code ec;
  if (!fs::is_directory(c.folder, ec)) {
    if (report) notice(dialog, c, displayName(c.folder.string()) + "\nThe folder no longer exists.");
    while (c.folder.has_relative_path() && !fs::is_directory(c.folder, ec)) c.folder = c.folder.parent_path();
  }
  c.entries.clear();
  fs::directory_iterator it(c.folder, ec);
  if (ec && report) notice(dialog, c, displayName(c.folder.string()) + "\nThe folder cannot be read.");
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeEc;
    c.entries.push_back({it->path().filename().string(), it->is_directory(typeEc)});
  }
  const std::vector<std::string> patterns = listPatterns(dialog, c);
  for (int list : {kFileList, kFolderList}) sendDlgItemMessage(dialog, list, lb::ResetContent);
  for (size_t i = 0; i < c.entries.size(); ++i) {
    const Entry& e = c.entries[i];
    if (e.folder ? e.name[0] == '.' : !listed(e.name, patterns)) continue;
    const int list = e.folder ? kFolderList : kFileList;
    const std::string shown = displayName(e.name);
    const LResult at = sendDlgItemMessage(dialog, list, lb::AddString, 0, reinterpret_cast<LParam>(shown.c_str()));
    if (at >= 0) sendDlgItemMessage(dialog, list, lb::SetItemData, static_cast<WParam>(at), static_cast<LParam>(i));
  }
  showFolder(dialog, c);
  enableWindow(getDlgItem(dialog, kUpButton), c.folder.has_relative_path());
}

void enterFolder(Hwnd dialog, FileDialogContext& c, const fs::path& to) {
  std::error_code ec;
  if (!fs::is_directory(to, ec)) {
    notice(dialog, c, displayName(to.string()) + "\nThe folder no longer exists.");
    refresh(dialog, c, true);
    return;
  }
  c.folder = to;
  refresh(dialog, c, true);
}

// The file-system name of a name as the user gave it: a name of the
// folder's listing as it has it, else the typed text as a file-system name.
std::string rawName(const FileDialogContext& c, const std::string& shown) {
  for (const Entry& e : c.entries)
    if (displayName(e.name) == shown) return e.name;
  return fileSystemName(shown);
}

// The names of the name field: several in quotes (multiple selection), or
// the whole text with the blanks round it gone (unless a listed name has
// them).
std::vector<std::string> typedNames(const FileDialogContext& c, const std::string& text) {
  std::vector<std::string> names;
  const bool several = (c.o->flags & ofn::AllowMultiSelect) && !c.save && text.find('"') != std::string::npos;
  if (several) {
    size_t i = 0;
    while ((i = text.find('"', i)) != std::string::npos) {
      const size_t end = text.find('"', i + 1);
      if (end == std::string::npos) break;
      if (end > i + 1) names.push_back(text.substr(i + 1, end - i - 1));
      i = end + 1;
    }
    return names;
  }
  for (const Entry& e : c.entries)
    if (displayName(e.name) == text) return {text};
  const size_t a = text.find_first_not_of(" \t"), b = text.find_last_not_of(" \t");
  if (a != std::string::npos) names.push_back(text.substr(a, b - a + 1));
  return names;
}

bool hasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

void setName(Hwnd dialog, const std::string& shown) {
  setDlgItemText(dialog, kNameEdit, shown);
  sendDlgItemMessage(dialog, kNameEdit, em::SetSel, 0, -1);
}

int chosenFilterIndex(Hwnd dialog, const FileDialogContext& c) {
  const LResult i = sendDlgItemMessage(dialog, kTypeCombo, cb::GetCurSel);
  return i >= 0 && !c.o->filters.empty() ? static_cast<int>(i) + 1 : 0;
}

// The dialog's end for an outcome; it stays open to try again.
void finish(Hwnd dialog, FileChoice outcome) {
  if (outcome != FileChoice::Again) endDialog(dialog, static_cast<intptr_t>(outcome));
}

// OK (or Enter, or a double click on a file): the name field decides.
void confirm(Hwnd dialog, FileDialogContext& c) {
  // Enter in the folder list enters the folder.
  Hwnd folders = getDlgItem(dialog, kFolderList);
  if (getFocus() == folders) {
    const LResult sel = sendMessage(folders, lb::GetCurSel);
    if (sel >= 0) {
      const auto i = static_cast<size_t>(sendMessage(folders, lb::GetItemData, static_cast<WParam>(sel)));
      if (i < c.entries.size()) enterFolder(dialog, c, c.folder / c.entries[i].name);
      return;
    }
  }
  const std::string text = getDlgItemText(dialog, kNameEdit);
  std::vector<std::string> names = typedNames(c, text);
  if (names.empty()) {
    messageBeep(0);
    return;
  }
  if (names.size() == 1) {
    const std::string raw = rawName(c, names[0]);
    fs::path p = raw[0] == '/' ? fs::path(raw) : c.folder / raw;
    p = p.lexically_normal();
    std::error_code ec;
    // A pattern lists the files it matches (in its folder, when it names one).
    if (hasWildcard(p.filename().string())) {
      if (!fs::is_directory(p.parent_path(), ec)) {
        notice(dialog, c, names[0] + "\nThe path does not exist.\nCheck the path and try again.");
        return;
      }
      c.folder = p.parent_path();
      c.pattern = p.filename().string();
      refresh(dialog, c, true);
      setName(dialog, displayName(c.pattern));
      return;
    }
    // A folder is entered.
    if (fs::is_directory(p, ec)) {
      c.folder = tidy(p);
      refresh(dialog, c, true);
      setName(dialog, c.lastName);
      return;
    }
    if (!raw.empty() && raw.back() == '/') {
      notice(dialog, c, names[0] + "\nThe path does not exist.\nCheck the path and try again.");
      return;
    }
    c.lastName = names[0];
    finish(dialog, acceptFiles(*c.o, c.save, c.folder.string(), {p.string()}, chosenFilterIndex(dialog, c), dialog, true));
    return;
  }
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back((c.folder / rawName(c, n)).lexically_normal().string());
  finish(dialog, acceptFiles(*c.o, c.save, c.folder.string(), paths, chosenFilterIndex(dialog, c), dialog, true));
}

// The selected files into the name field: one as it is, several in quotes.
void selectionToName(Hwnd dialog, FileDialogContext& c) {
  Hwnd list = getDlgItem(dialog, kFileList);
  std::vector<int> sel;
  if (getWindowStyle(list) & lbs::ExtendedSel) {
    const auto n = static_cast<int>(sendMessage(list, lb::GetSelCount));
    sel.resize(static_cast<size_t>(std::max(n, 0)));
    if (n > 0) sendMessage(list, lb::GetSelItems, static_cast<WParam>(n), reinterpret_cast<LParam>(sel.data()));
  } else if (const LResult i = sendMessage(list, lb::GetCurSel); i >= 0) {
    sel.push_back(static_cast<int>(i));
  }
  auto shownAt = [&](int i) {
    const auto k = static_cast<size_t>(sendMessage(list, lb::GetItemData, static_cast<WParam>(i)));
    return k < c.entries.size() ? displayName(c.entries[k].name) : std::string();
  };
  if (sel.size() == 1) {
    c.lastName = shownAt(sel[0]);
    setName(dialog, c.lastName);
  } else if (sel.size() > 1) {
    std::string text;
    for (int i : sel) text += (text.empty() ? "\"" : " \"") + shownAt(i) + "\"";
    setName(dialog, text);
  }
}

void init(Hwnd dialog, FileDialogContext& c) {
  OpenFileName& o = *c.o;
  setWindowText(dialog, c.title);
  setDlgItemText(dialog, kIdOk, c.save ? "Save" : "Open");
  setDlgItemText(dialog, kTypeLabel, c.save ? "Save as &type:" : "Files of &type:");
  for (const auto& [description, patterns] : o.filters)
    sendDlgItemMessage(dialog, kTypeCombo, cb::AddString, 0, reinterpret_cast<LParam>(description.c_str()));
  if (!o.filters.empty()) {
    const int index = std::clamp(o.filterIndex, 1, static_cast<int>(o.filters.size()));
    sendDlgItemMessage(dialog, kTypeCombo, cb::SetCurSel, static_cast<WParam>(index - 1));
  } else {
    enableWindow(getDlgItem(dialog, kTypeCombo), false);
  }
  Hwnd files = getDlgItem(dialog, kFileList);
  if (!c.save && (o.flags & ofn::AllowMultiSelect)) setWindowStyle(files, getWindowStyle(files) | lbs::ExtendedSel);
  c.lastName = o.file.substr(0, o.file.find('\0'));
  setDlgItemText(dialog, kNameEdit, c.lastName);
  // An initial folder that does not exist (allowed when the path need not
  // exist) shows its nearest existing parent.
  refresh(dialog, c, false);
}

intptr_t fileProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::InitDialog: {
      FileDialogContext& c = *reinterpret_cast<FileDialogContext*>(lp);
      setUserData(dialog, lp);
      c.watch->attach(dialog);
      init(dialog, c);
      centreOverOwner(dialog);
      return 1;   // the name field takes the focus
    }
    case wm::Command: {
      FileDialogContext* c = contextOf(dialog);
      if (!c) return 0;
      const int id = loWord(wp), code = hiWord(wp);
      switch (id) {
        case kIdOk:
          if (code == bn::Clicked) confirm(dialog, *c);
          return 1;
        case kIdCancel:
          if (code == bn::Clicked) finish(dialog, FileChoice::Cancelled);
          return 1;
        case kUpButton:
          if (code == bn::Clicked && c->folder.has_relative_path()) enterFolder(dialog, *c, c->folder.parent_path());
          return 1;
        case kFolderList:
          if (code == lbn::DblClk) {
            Hwnd folders = getDlgItem(dialog, kFolderList);
            const LResult sel = sendMessage(folders, lb::GetCurSel);
            const auto i = static_cast<size_t>(sendMessage(folders, lb::GetItemData, static_cast<WParam>(sel)));
            if (sel >= 0 && i < c->entries.size()) enterFolder(dialog, *c, c->folder / c->entries[i].name);
          }
          return 1;
        case kFileList:
          if (code == lbn::SelChange) selectionToName(dialog, *c);
          if (code == lbn::DblClk) {
            selectionToName(dialog, *c);
            confirm(dialog, *c);
          }
          return 1;
        case kTypeCombo:
          if (code == cbn::SelChange) {
            c->pattern.clear();
            refresh(dialog, *c, true);
          }
          return 1;
        default:
          return 0;
      }
    }
    case kTakeQueuedAnswer: {
      FileDialogContext* c = contextOf(dialog);
      if (!c || answers().files.empty()) return 1;
      FileAnswerEntry e = popAnswer(answers().files);
      if (e.whileOpen) e.whileOpen();
      finish(dialog, takeFileAnswer(*c->o, c->save, c->start.string(), e.answer, dialog));
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

FileChoice runFileDialog(OpenFileName& o, bool save, const std::string& title, const std::string& startDir) {
  FileDialogContext c;
  c.o = &o;
  c.save = save;
  c.title = title;
  c.start = fs::path(startDir);
  std::error_code ec;
  c.folder = tidy(c.start.is_relative() ? fs::current_path(ec) / c.start : c.start);
  QueuedAnswerWatch watch([] { return !answers().files.empty(); });
  c.watch = &watch;
  const intptr_t r = dialogBoxParam(kFileDialogTemplate, o.owner, fileProc, reinterpret_cast<LParam>(&c));
  if (r < 0) {
    setLastDialogError(kCdeDialogFailure);
    return FileChoice::Failed;
  }
  return r == 0 ? FileChoice::Cancelled : static_cast<FileChoice>(r);
}

}  // namespace plat::detail
