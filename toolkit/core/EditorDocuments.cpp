#include "toolkit/core/EditorDocuments.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/os/Os.h"
#include "platform/win/Window.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/OsLayerCore.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/DialogUnload.h"

using plat::Hwnd;
using plat::LParam;
using plat::WParam;

std::vector<EditorDocumentRecord>& EditorDocumentTable() {
  static std::vector<EditorDocumentRecord> table;
  return table;
}

EditorDocumentRecord& EditorDocument(int32_t window, int32_t document) {
  return EditorDocumentTable().at(static_cast<size_t>(window * kEditorDocuments + document - 1));
}

void YYEditorTableCreate() {
  auto& table = EditorDocumentTable();
  if (!table.empty()) return;
  table.resize(static_cast<size_t>(kEditorWindows * kEditorDocuments));
}

void YYEditorTableRelease() {
  for (auto& d : EditorDocumentTable()) d = EditorDocumentRecord{};
}

namespace {

bool Valid(int32_t window, int32_t document) {
  return window >= 0 && window < kEditorWindows && document >= 1 && document <= kEditorDocuments &&
         !EditorDocumentTable().empty();
}

EditorRecord* EditorOf(int32_t window, Hwnd* frame = nullptr) {
  if (window < 0 || window > kLastWindow) return nullptr;
  const Hwnd f = WindowTables().Frame[static_cast<size_t>(window)];
  if (frame) *frame = f;
  return YYEditorRecordOf(f);
}

plat::LResult Send(Hwnd w, uint32_t m, WParam wp = 0, LParam lp = 0) { return plat::sendMessage(w, m, wp, lp); }

uint32_t Collect(uintptr_t cookie, uint8_t* buf, int32_t n, int32_t* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
  *done = n;
  return 0;
}

std::string StreamOut(const EditorRecord& r, bool rich) {
  std::string out;
  plat::EditStream es{reinterpret_cast<uintptr_t>(&out), 0, Collect};
  Send(r.EditControl, plat::emr::StreamOut, rich ? plat::sf::Rtf : plat::sf::Text, reinterpret_cast<LParam>(&es));
  return out;
}
uint32_t StreamIn(const EditorRecord& r, bool rich, const uint8_t* data, size_t size) {
  EditorStreamMemory m{const_cast<uint8_t*>(data), static_cast<int32_t>(std::min<size_t>(size, INT32_MAX))};
  plat::EditStream es{reinterpret_cast<uintptr_t>(&m), 0, YYEditorInChunk};
  Send(r.EditControl, plat::emr::StreamIn, rich ? plat::sf::Rtf : plat::sf::Text, reinterpret_cast<LParam>(&es));
  return es.error;
}

// The window made current while its editor's control is worked on.
class CurrentWindowScope {
 public:
  explicit CurrentWindowScope(int32_t n) : previous_(WindowDrawing().CurrentWindow) { WindowDrawing().CurrentWindow = n; }
  ~CurrentWindowScope() { WindowDrawing().CurrentWindow = previous_; }
  CurrentWindowScope(const CurrentWindowScope&) = delete;
  CurrentWindowScope& operator=(const CurrentWindowScope&) = delete;

 private:
  int32_t previous_;
};

bool IsRtfName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string e = name.substr(name.size() - 4);
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e == ".rtf";
}

int Warn(Hwnd owner, const std::string& text, const std::string& caption) {
  return plat::messageBox(owner, text, caption, plat::mb::IconExclamation);
}

// What a document's file was on disk when the editor last read or wrote
// it, by the handle the editor keeps on it. Another program may still
// write or replace the file (the kept handle only keeps out writers that
// ask), and Save must not overwrite that work without a word.
struct DiskStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
};
std::map<int32_t, DiskStamp>& KeptStamps() {
  static std::map<int32_t, DiskStamp> m;
  return m;
}
bool StampOf(const std::string& name, DiskStamp& out) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return false;
  out = DiskStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  return true;
}
void NoteKeptFile(const EditorRecord& r, size_t doc) {
  DiskStamp stamp;
  if (r.FileHandle[doc] != 0 && StampOf(r.FileName, stamp)) KeptStamps()[r.FileHandle[doc]] = stamp;
}
// True when the document's file is no longer what the editor read or
// wrote (a file now missing is not: saving only makes it again).
bool ChangedOnDisk(const EditorRecord& r, size_t doc) {
  if (r.FileHandle[doc] == 0) return false;
  const auto it = KeptStamps().find(r.FileHandle[doc]);
  DiskStamp now;
  if (it == KeptStamps().end() || !StampOf(r.FileName, now)) return false;
  const DiskStamp& was = it->second;
  return now.device != was.device || now.inode != was.inode || now.size != was.size ||
         now.modified.tv_sec != was.modified.tv_sec || now.modified.tv_nsec != was.modified.tv_nsec;
}

}  // namespace

void YYEditorStoreName(int32_t window, int32_t document, const std::string& name) {
  if (!Valid(window, document)) return;
  EditorDocumentRecord& d = EditorDocument(window, document);
  if (!d.FileName) d.FileName = std::make_unique<std::string>();
  // Whole: a document saved after a switch goes back to its own file.
  *d.FileName = name;
  d.NamePresent = 1;
}

std::string YYEditorDocumentNameOf(int32_t window, int32_t document) {
  if (!Valid(window, document)) return {};
  const EditorDocumentRecord& d = EditorDocument(window, document);
  if (!d.FileName) return {};
  std::string s = *d.FileName;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

void YYEditorDocumentName(int32_t window, int32_t document, std::string& name, int32_t length) {
  name = YYEditorDocumentNameOf(window, document);
  if (length > 0 && static_cast<int32_t>(name.size()) >= length) name.resize(static_cast<size_t>(length - 1));
}

void YYEditorDocumentNotModified(int32_t window, int32_t document, int32_t& flag) {
  if (Valid(window, document)) flag = EditorDocument(window, document).NotModified;
}

void YYEditorKeepDocument(int32_t window, int32_t document) {
  EditorRecord* r = EditorOf(window);
  if (!r || !Valid(window, document)) return;
  CurrentWindowScope scope(window);
  EditorDocumentRecord& d = EditorDocument(window, document);
  d.KeptText.reset();
  int32_t size = 0;
  YYEditorMeasure(size);
  d.KeptText = std::make_unique<std::vector<uint8_t>>(static_cast<size_t>(size));
  YYEditorStreamOut(d.KeptText->data(), size);
  d.KeptSize = size;
  d.TextPresent = 1;
  YYEditorInfo(window, 2, d.TextLength);
  YYEditorInfo(window, 4, d.SelectionStart);
  YYEditorInfo(window, 5, d.SelectionEnd);
  YYEditorInfo(window, 1, d.NotModified);
  YYEditorInfo(window, 3, d.Changed);
  YYEditorInfo(window, 9, d.FirstLine);
}

void YYEditorRestoreDocument(int32_t window, int32_t document) {
  EditorRecord* r = EditorOf(window);
  if (!r || !Valid(window, document)) return;
  CurrentWindowScope scope(window);
  EditorDocumentRecord& d = EditorDocument(window, document);
  r->Guard = 0;
  if (d.KeptText) YYEditorStreamIn(d.KeptSize, d.KeptText->data());
  else plat::setWindowText(r->EditControl, "");
  r->Guard = 1;
  r->CachedRich = r->CachedPlain = -1;
  int32_t start = d.SelectionStart - 1;
  YYEditorSelect(start, d.SelectionEnd);
  YYEditorScrollTo(d.FirstLine);
  Send(r->EditControl, plat::em::SetModify, d.NotModified ? 0 : 1);
  r->Changed = d.Changed;
  Send(r->EditControl, plat::em::EmptyUndoBuffer);
  d.KeptText.reset();
  d.KeptSize = 0;
  d.TextPresent = 0;
}

void YYEditorSwapDocument(int32_t window, int32_t current, int32_t next) {
  if (current == next) return;
  YYEditorKeepDocument(window, current);
  YYEditorRestoreDocument(window, next);
}

void YYEditorRemoveDocument(int32_t window, int32_t document) {
  if (!Valid(window, document)) return;
  for (int32_t k = document; k < kEditorDocuments; ++k) EditorDocument(window, k) = std::move(EditorDocument(window, k + 1));
  EditorDocument(window, kEditorDocuments) = EditorDocumentRecord{};
}

void YYEditorSelectDocument(Hwnd frame, int32_t document) {
  EditorRecord* r = YYEditorRecordOf(frame);
  const int32_t n = YYWindowNumber(frame);
  if (!r || document < 1 || document > r->DocumentCount || document == r->CurrentDocument) return;
  const plat::Hmenu view = r->Menus[4];
  if (view) {
    plat::checkMenuItem(view, static_cast<uint32_t>(kEdCmdView + r->CurrentDocument), plat::mf::Unchecked);
    plat::checkMenuItem(view, static_cast<uint32_t>(kEdCmdView + document), plat::mf::Checked);
  }
  const int32_t old = r->CurrentDocument;
  r->CurrentDocument = document;
  YYEditorSwapDocument(n, old, document);
  YYEditorStoreName(n, old, r->FileName);
  r->FileName = YYEditorDocumentNameOf(n, document);
  YYEditorTitle(frame);
  plat::Rect rc;
  plat::getWindowRect(r->EditControl, rc);
  plat::invalidateRect(r->EditControl, nullptr, true);
}

// ------------------------------------------------------------------ files

int32_t YYEditorLoad(Hwnd frame, int32_t opening) {
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r) return 0;
  r->Guard = 0;
  const size_t doc = static_cast<size_t>(r->CurrentDocument - 1);
  int handle = -1;
  int err = plat::FileOpen(r->FileName, plat::kOpenRead, handle);
  if (err != 0) {
    if (!(opening == 1 && r->QuietOpen)) Warn(frame, YYOsErrorText(err), "Open Error");
    r->FileHandle[doc] = 0;
    r->Guard = 1;
    return 0;
  }
  plat::FileLockAgainstWriters(handle);
  r->FileHandle[doc] = handle + 1;
  NoteKeptFile(*r, doc);
  int64_t size = 0, back = 0;
  plat::FileSeek(handle, 0, 2, size);
  plat::FileSeek(handle, 0, 0, back);
  int32_t result = 0;
  auto fail = [&](const std::string& caption, int code) {
    Warn(frame, YYOsErrorText(code), caption);
    YYEditorCloseFile(frame);
  };
  if (size > r->TextLimit) {
    // A file the control cannot hold whole is not cut: it is refused.
    Warn(frame, "The file is too large for the editor (" + std::to_string(size) + " bytes, at most " +
                    std::to_string(r->TextLimit) + ").",
         "Open Error");
    YYEditorCloseFile(frame);
  } else {
    std::vector<uint8_t> bytes(static_cast<size_t>(size) + 1, 0);
    size_t got = 0;
    const int readErr = plat::FileRead(handle, bytes.data(), static_cast<size_t>(size), got);
    if (readErr != 0 || got < static_cast<size_t>(size)) {
      fail("Read Error", readErr != 0 ? readErr : 5);
    } else if (r->RichText && IsRtfName(r->FileName)) {
      const uint32_t error = StreamIn(*r, true, bytes.data(), static_cast<size_t>(size));
      if (error == plat::kStreamNotRichText) {
        Warn(frame, "Not a rich-text file: " + r->FileName, "Read Error");
        YYEditorCloseFile(frame);
      } else if (error != 0) {
        fail("Read Error", 5);
      } else {
        Send(r->EditControl, plat::em::SetModify, 0);
        r->Changed = 0;
        YYEditorTitle(frame);
        result = 1;
      }
    } else {
      for (size_t k = 0; k < static_cast<size_t>(size); ++k)
        if (bytes[k] == 0) bytes[k] = ' ';
      size_t n = static_cast<size_t>(size);
      if (n > 0 && bytes[n - 1] == 26) --n;
      std::string text(reinterpret_cast<const char*>(bytes.data()), n);
      YYEditorClear(*r);
      plat::CharRange c{0, 0};
      Send(r->EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<LParam>(&c));
      // The newer control reads a text that starts like rich text as rich
      // text; its first three characters go in last, in front of the rest.
      if (WindowManagerState().RichEditLevel >= 2 && text.size() > 4 && text.compare(0, 3, "{\\r") == 0) {
        Send(r->EditControl, plat::em::ReplaceSel, 0, reinterpret_cast<LParam>(text.c_str() + 3));
        Send(r->EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<LParam>(&c));
        const std::string head = text.substr(0, 3);
        Send(r->EditControl, plat::em::ReplaceSel, 0, reinterpret_cast<LParam>(head.c_str()));
      } else {
        Send(r->EditControl, plat::em::ReplaceSel, 0, reinterpret_cast<LParam>(text.c_str()));
      }
      Send(r->EditControl, plat::emr::ExSetSel, 0, reinterpret_cast<LParam>(&c));
      Send(r->EditControl, plat::em::ScrollCaret);
      Send(r->EditControl, plat::em::EmptyUndoBuffer);
      Send(r->EditControl, plat::em::SetModify, 0);
      r->Changed = 0;
      YYEditorTitle(frame);
      result = 1;
    }
  }
  YYEditorFormatState(*r);
  r->Bookmark[doc] = -1;
  r->BookmarkLength[doc] = -1;
  if (plat::getWindowStyle(r->EditControl) & plat::es::ReadOnly) YYEditorCloseFile(frame);
  r->Guard = 1;
  return result;
}

int32_t YYEditorSave(Hwnd frame, int32_t dialog) {
  EditorRecord* r = YYEditorRecordOf(frame);
  if (!r) return 0;
  const int32_t n = YYWindowNumber(frame);
  const size_t doc = static_cast<size_t>(r->CurrentDocument - 1);
  if (dialog || r->FileName.empty()) {
    plat::OpenFileName ofn;
    ofn.owner = frame;
    ofn.filters = r->Filter;
    ofn.filterIndex = r->FileType[doc];
    ofn.file = r->FileName;
    ofn.maxFile = kEditorNameRoom;
    ofn.flags = plat::ofn::PathMustExist | plat::ofn::NoChangeDir | plat::ofn::HideReadOnly | plat::ofn::OverwritePrompt;
    ofn.hasDefExt = true;
    if (r->Mode == 2) YYDisableOthers(frame, 1);
    const bool ok = plat::getSaveFileName(ofn);
    if (r->Mode == 2) YYEnableOthers(frame, 1);
    YYEditorRefocus(frame);
    if (!ok) return 0;
    r->FileType[doc] = ofn.filterIndex;
    r->FileName = ofn.file;
    YYEditorStoreName(n, r->CurrentDocument, r->FileName);
    if (r->Menus[4])
      plat::modifyMenu(r->Menus[4], static_cast<uint32_t>(kEdCmdView + r->CurrentDocument),
                       plat::mf::String | plat::mf::Checked, static_cast<uintptr_t>(kEdCmdView + r->CurrentDocument),
                       (r->CurrentDocument <= 9 ? "&" + std::to_string(r->CurrentDocument)
                                                : std::string("&") + static_cast<char>(r->CurrentDocument + 55)) +
                           "\t" + r->FileName);
    YYEditorTitle(frame);
  } else if (ChangedOnDisk(*r, doc)) {
    const int answer = plat::messageBox(frame,
                                        r->FileName + " has been changed by another program since it was opened.\n"
                                                      "Do you want to overwrite it?",
                                        "Save", plat::mb::YesNo | plat::mb::IconExclamation);
    if (answer != plat::kIdYes) return 0;
  }
  YYEditorCloseFile(frame);
  // The backup is a copy with the file's own permission bits (a private
  // file stays private), complete before it replaces an older backup. A
  // save whose backup failed does not replace the file: the old version
  // the user asked to keep would be lost.
  if (r->Backup && plat::PathExists(r->FileName)) {
    const std::string backup = r->FileName + ".bak";
    if (const int err = plat::FileCopy(r->FileName, backup); err != 0) {
      Warn(frame, "The backup " + backup + " could not be written: " + YYOsErrorText(err) + ". The file was not saved.",
           "Write Error");
      return 0;
    }
  }
  // The new file is complete before it takes the old one's place.
  const std::string bytes = StreamOut(*r, r->RichText && IsRtfName(r->FileName));
  plat::WholeFileWriter w;
  int err = plat::WholeFileBegin(w, r->FileName);
  if (err != 0) {
    Warn(frame, YYOsErrorText(err), "Open Error");
    return 0;
  }
  plat::WholeFileWrite(w, bytes);
  err = plat::WholeFileCommit(w);
  if (err != 0) {
    Warn(frame, YYOsErrorText(err), "Write Error");
    return 0;
  }
  Send(r->EditControl, plat::em::SetModify, 0);
  if (r->ModifiedMarker) YYEditorTitle(frame);
  if (!r->ReadOnly) {
    int h = -1;
    if (plat::FileOpen(r->FileName, plat::kOpenRead, h) == 0) {
      plat::FileLockAgainstWriters(h);
      r->FileHandle[doc] = h + 1;
      NoteKeptFile(*r, doc);
    }
  }
  return 1;
}

int32_t YYEditorSavePrompt(Hwnd frame, EditorRecord& r) {
  if (r.ReadOnly || !r.SaveAllowed || Send(r.EditControl, plat::em::GetModify) == 0) return 1;
  const std::string text = r.FileName.empty() || r.HideName ? std::string("Do you want to save changes?")
                                                            : "Do you want to save changes to " + r.FileName + "?";
  const int answer = plat::messageBox(frame, text, r.Caption, plat::mb::YesNoCancel | plat::mb::IconExclamation);
  if (answer == plat::kIdYes) return YYEditorSave(frame, 0);
  if (answer == plat::kIdNo) return 1;
  // Cancel, and a box that could not be shown
  return 0;
}

void YYEditorSaveCurrent(int32_t dialog) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (n < 0 || n > kLastWindow) return;
  YYEditorSave(WindowTables().Frame[static_cast<size_t>(n)], dialog);
}
