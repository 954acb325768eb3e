// The folder browser as a real dialog: the caller's text above a tree of
// the file system's folders (each folder's subfolders read when it is
// opened; hidden ones not shown) and a field with the chosen folder's
// path, which may also be typed. The caller's callback hears when the
// browser opens and each time the selection changes, and may set the
// selection, the text above the tree and whether OK is enabled.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/os/Os.h"

namespace plat::detail {

namespace {

namespace fs = std::filesystem;

enum FolderControl : int { kStatusText = 1100, kTree = 1101, kPathEdit = 1102 };

// Item data of the placeholder under a folder whose subfolders are not read yet.
constexpr LParam kNotRead = -1;

struct FolderContext {
  BrowseInfo* bi = nullptr;
  std::string chosen;
  std::vector<std::string> paths;   // item data: an index into this
  bool ready = false;   // the callback has heard that the browser is open
  QueuedAnswerWatch* watch = nullptr;
};

FolderContext* contextOf(Hwnd dialog) { return reinterpret_cast<FolderContext*>(getUserData(dialog)); }

Hwnd tree(Hwnd dialog) { return getDlgItem(dialog, kTree); }

// The subfolders of a folder, sorted, hidden ones left out; false when it
// cannot be read.
bool subfolders(const fs::path& folder, std::vector<std::string>& out) {
  out.clear();
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code typeEc;
    const std::string name = it->path().filename().string();
    if (name[0] != '.' && it->is_directory(typeEc)) out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return true;
}

HTreeItem insertItem(Hwnd dialog, FolderContext& c, HTreeItem parent, const std::string& text, const fs::path& path) {
  TvInsert ins;
  ins.parent = parent;
  ins.item.mask = tvif::Text | tvif::Param;
  ins.item.text = displayName(text);
  ins.item.param = static_cast<LParam>(c.paths.size());
  c.paths.push_back(path.string());
  const auto item = static_cast<HTreeItem>(sendMessage(tree(dialog), tvm::InsertItem, 0, reinterpret_cast<LParam>(&ins)));
  std::vector<std::string> below;
  if (item && subfolders(path, below) && !below.empty()) {
    TvInsert placeholder;
    placeholder.parent = item;
    placeholder.item.mask = tvif::Text | tvif::Param;
    placeholder.item.param = kNotRead;
    sendMessage(tree(dialog), tvm::InsertItem, 0, reinterpret_cast<LParam>(&placeholder));
  }
  return item;
}

LParam itemParam(Hwnd dialog, HTreeItem item) {
  TvItem it;
  it.mask = tvif::Param;
  it.item = item;
  if (!sendMessage(tree(dialog), tvm::GetItem, 0, reinterpret_cast<LParam>(&it))) return kNotRead;
  return it.param;
}

std::string pathOf(Hwnd dialog, const FolderContext& c, HTreeItem item) {
  const LParam p = itemParam(dialog, item);
  return p >= 0 && static_cast<size_t>(p) < c.paths.size() ? c.paths[static_cast<size_t>(p)] : std::string();
}

HTreeItem child(Hwnd dialog, HTreeItem item) {
  return static_cast<HTreeItem>(sendMessage(tree(dialog), tvm::GetNextItem, kTvgnChild, static_cast<LParam>(item)));
}
HTreeItem next(Hwnd dialog, HTreeItem item) {
  return static_cast<HTreeItem>(sendMessage(tree(dialog), tvm::GetNextItem, kTvgnNext, static_cast<LParam>(item)));
}

// Reads a folder's subfolders in place of its placeholder. A folder that
// is gone is reported and taken out of the tree.
void readChildren(Hwnd dialog, FolderContext& c, HTreeItem item) {
  const HTreeItem first = child(dialog, item);
  if (!first || itemParam(dialog, first) != kNotRead) return;
  sendMessage(tree(dialog), tvm::DeleteItem, 0, static_cast<LParam>(first));
  const fs::path folder = pathOf(dialog, c, item);
  std::vector<std::string> names;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    messageBox(dialog, displayName(folder.string()) + "\nThe folder no longer exists.", getWindowText(dialog),
               mb::Ok | mb::IconExclamation);
    return;
  }
  subfolders(folder, names);
  for (const std::string& n : names) insertItem(dialog, c, item, n, folder / n);
}

// Opens the tree down to a folder and selects it, as far as it exists.
void selectPath(Hwnd dialog, FolderContext& c, const std::string& path) {
  HTreeItem at = static_cast<HTreeItem>(sendMessage(tree(dialog), tvm::GetNextItem, kTvgnRoot, 0));
  const fs::path target = fs::path(path).lexically_normal();
  for (const fs::path& part : target.relative_path()) {
    if (part.empty()) continue;
    readChildren(dialog, c, at);
    HTreeItem k = child(dialog, at);
    while (k && fs::path(pathOf(dialog, c, k)).filename() != part) k = next(dialog, k);
    if (!k) break;
    sendMessage(tree(dialog), tvm::Expand, kTveExpand, static_cast<LParam>(at));
    at = k;
  }
  sendMessage(tree(dialog), tvm::SelectItem, kTvgnCaret, static_cast<LParam>(at));
  sendMessage(tree(dialog), tvm::EnsureVisible, 0, static_cast<LParam>(at));
}

void selectionChanged(Hwnd dialog, FolderContext& c, HTreeItem item) {
  const std::string path = pathOf(dialog, c, item);
  setDlgItemText(dialog, kPathEdit, displayName(path));
  if (c.ready && c.bi->callback) c.bi->callback(dialog, bffm::SelChanged, reinterpret_cast<LParam>(path.c_str()), c.bi->data);
}

void done(Hwnd dialog, FolderContext& c) {
  std::string text = getDlgItemText(dialog, kPathEdit);
  const size_t a = text.find_first_not_of(' '), b = text.find_last_not_of(' ');
  if (a == std::string::npos) {
    messageBeep(0);
    return;
  }
  fs::path p = fs::path(fileSystemName(text.substr(a, b - a + 1)));
  std::error_code ec;
  if (p.is_relative()) p = fs::current_path(ec) / p;
  p = p.lexically_normal();
  if (p.filename().empty() && p.has_relative_path()) p = p.parent_path();
  c.chosen = p.string();
  endDialog(dialog, 1);
}

intptr_t folderProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::InitDialog) {
    FolderContext& c = *reinterpret_cast<FolderContext*>(lp);
    setUserData(dialog, lp);
    c.watch->attach(dialog);
    if (!c.bi->title.empty()) setDlgItemText(dialog, kStatusText, c.bi->title);
    const HTreeItem root = insertItem(dialog, c, kTviRoot, "/", "/");
    std::string current;
    DirGet(current);
    selectPath(dialog, c, current);
    if (!sendMessage(tree(dialog), tvm::GetNextItem, kTvgnCaret, 0))
      sendMessage(tree(dialog), tvm::SelectItem, kTvgnCaret, static_cast<LParam>(root));
    c.ready = true;
    if (c.bi->callback) c.bi->callback(dialog, bffm::Initialized, 0, c.bi->data);
    centreOverOwner(dialog);
    setFocus(tree(dialog));
    return 0;
  }
  FolderContext* c = contextOf(dialog);
  if (!c) return 0;
  switch (message) {
    case bffm::SetSelection:
      if (lp) selectPath(dialog, *c, reinterpret_cast<const char*>(lp));
      return 1;
    case bffm::SetStatusText:
      setDlgItemText(dialog, kStatusText, lp ? reinterpret_cast<const char*>(lp) : "");
      return 1;
    case bffm::EnableOk:
      enableWindow(getDlgItem(dialog, kIdOk), lp != 0);
      return 1;
    case wm::Notify: {
      const auto* hdr = reinterpret_cast<const NotifyHeader*>(lp);
      if (!hdr || hdr->idFrom != kTree) return 0;
      const auto* nm = reinterpret_cast<const NmTreeView*>(lp);
      if (hdr->code == tvn::ItemExpanding && nm->action == kTveExpand) readChildren(dialog, *c, nm->itemNew.item);
      if (hdr->code == tvn::SelChanged) selectionChanged(dialog, *c, nm->itemNew.item);
      return 1;
    }
    case wm::Command: {
      const int id = loWord(wp), code = hiWord(wp);
      if (id == kIdOk && code == bn::Clicked) done(dialog, *c);
      else if (id == kIdCancel && code == bn::Clicked) endDialog(dialog, 2);
      else return 0;
      return 1;
    }
    case kTakeQueuedAnswer: {
      if (answers().folders.empty()) return 1;
      const FolderAnswer a = popAnswer(answers().folders);
      if (a.ok && c->bi->callback)
        c->bi->callback(dialog, bffm::SelChanged, reinterpret_cast<LParam>(a.path.c_str()), c->bi->data);
      c->chosen = a.path;
      endDialog(dialog, a.ok ? 1 : 2);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

bool runFolderDialog(BrowseInfo& bi, std::string& path) {
  FolderContext c;
  c.bi = &bi;
  QueuedAnswerWatch watch([] { return !answers().folders.empty(); });
  c.watch = &watch;
  const intptr_t r = dialogBoxParam(kFolderTemplate, bi.owner, folderProc, reinterpret_cast<LParam>(&c));
  if (r == 1) path = c.chosen;
  return r == 1;
}

}  // namespace plat::detail
