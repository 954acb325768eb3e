#include "toolkit/hardcopy/PlotFile.h"

#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "VOZUVar/Strings.h"
#include "platform/os/Os.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Words.h"
#include "toolkit/graphics/DriverProtocol.h"

namespace {

struct PlotUnit {
  int32_t handle = -1;
  std::string target;   // the file the plot is for
  std::string partial;  // where its bytes go until it is complete
  bool failed = false;  // a write of this file failed
  bool reported = false;  // its failure has been told: once per file
  std::string pending;  // bytes written but not yet handed to the system
};

// Plot files are written in blocks of this size: a page of a few thousand
// short lines would otherwise take a system call for each of them.
constexpr size_t kBlockSize = 1 << 16;

struct PlotFiles {
  std::array<PlotUnit, kPlotFileUnits + 1> units{};
  int32_t lastCount = 0;    // bytes of the last write
  int32_t lastOsError = 0;  // system error of the last call
  int32_t status = 0;
  std::string written;      // the last file completed
  std::string printer;      // the last queue a hardcopy was handed to
};
PlotFiles gFiles;

PlotUnit* UnitOf(int32_t unit) {
  if (unit < 1 || unit > kPlotFileUnits) return nullptr;
  return &gFiles.units[static_cast<size_t>(unit)];
}

// A plot file is what the user printed or exported: its failure is told
// once, naming it, however many of its writes failed.
void Report(PlotUnit* u, int32_t code, int32_t osError, std::string_view name) {
  gFiles.status = -1;
  if (u != nullptr) {
    if (u->reported) return;
    u->reported = true;
  }
  YYFileNotWritten(code, "YYPROU", name, osError);
}

// Drops a file's bytes and forgets it.
void Discard(PlotUnit& u) {
  if (u.handle >= 0) YYFileCloseOs(u.handle);
  if (!u.partial.empty()) plat::FileDelete(u.partial);
  u = PlotUnit{};
}

// The bytes of the finished file go through the whole-file writer, which
// replaces the old file only once they are all on disk.
int32_t Commit(const PlotUnit& u) {
  std::string bytes;
  int fd = -1;
  int err = plat::FileOpen(u.partial, plat::kOpenRead, fd);
  if (err != 0) return err;
  std::vector<char> block(1 << 16);
  for (;;) {
    size_t got = 0;
    err = plat::FileRead(fd, block.data(), block.size(), got);
    if (err != 0 || got == 0) break;
    bytes.append(block.data(), got);
  }
  plat::FileClose(fd);
  if (err != 0) return err;
  return plat::FileWriteWhole(u.target, bytes);
}

// Hands bytes to the system at once.
void WriteThrough(PlotUnit* u, std::string_view part) {
  const int32_t handle = u != nullptr ? u->handle : -1;
  int32_t written = 0;
  int32_t status = 0;
  if (!part.empty()) {
    YYFileWriteBlock(handle,
                     std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(part.data()), part.size()),
                     static_cast<int32_t>(part.size()), written, status);
    if (handle < 0 && status == 0) status = EBADF;
  }
  gFiles.lastCount = written;
  gFiles.lastOsError = status;
  if (static_cast<size_t>(written) != part.size()) {
    if (u != nullptr) u->failed = true;
    Report(u, 2, status, u != nullptr ? std::string_view(u->target) : std::string_view());
  }
}

// The bytes a unit holds go to the system: before its close, and before
// its handle is handed out for writes of their own.
void Flush(PlotUnit& u) {
  if (u.pending.empty()) return;
  const std::string bytes = std::move(u.pending);
  u.pending.clear();
  WriteThrough(&u, bytes);
}

void Write(int32_t unit, std::string_view bytes, int32_t length) {
  PlotUnit* u = UnitOf(unit);
  const size_t wanted = length > 0 ? std::min(static_cast<size_t>(length), bytes.size()) : 0;
  const std::string_view part = bytes.substr(0, wanted);
  // A unit that is not open fails at once, as the write would.
  if (u == nullptr || u->handle < 0) {
    WriteThrough(u, part);
    return;
  }
  u->pending.append(part);
  gFiles.lastCount = static_cast<int32_t>(part.size());
  if (u->pending.size() >= kBlockSize) Flush(*u);
}

}  // namespace

int32_t& PlotFileStatus() { return gFiles.status; }
std::string& LastHardcopyFile() { return gFiles.written; }
std::string& LastHardcopyPrinter() { return gFiles.printer; }

void YYPROU(int32_t unit, std::string_view bytes, int32_t length) { Write(unit, bytes, length); }

void YYPlotFileWriteLine(int32_t unit, std::string_view text, int32_t length) {
  const size_t n = length > 0 ? std::min(static_cast<size_t>(length), text.size()) : 0;
  std::string line(text.substr(0, n));
  line += "\r\n";
  Write(unit, line, length > 0 ? length + 2 : 2);
}

void YYPlotFileOpen(int32_t unit) {
  PlotUnit* u = UnitOf(unit);
  const std::string_view opText = DriverParams().OpText;
  int32_t first = 0, last = 0;
  YYNextWord(opText, static_cast<int32_t>(opText.size()), first, last);
  if (first == 0 || u == nullptr) {
    Report(nullptr, 1, u == nullptr ? EBADF : gFiles.lastOsError, TrimTrailingBlanks(opText));
    return;
  }
  // A unit opened again without a close gives up its first file.
  if (u->handle >= 0 || !u->partial.empty()) Discard(*u);
  *u = PlotUnit{};
  // The name is taken whole up to its last non-blank, leading blanks
  // included; OpText itself stays as it was.
  const std::string target(TrimTrailingBlanks(opText));
  gFiles.status = 0;
  int32_t err = 0;
  if (plat::IsDirectory(target)) {
    err = EISDIR;
  } else if (plat::PathExists(target)) {
    // An old file that could not be written is refused now, as creating
    // it over the old one would be.
    int fd = -1;
    err = plat::FileOpen(target, plat::kOpenUpdate, fd);
    if (err == 0) plat::FileClose(fd);
  }
  std::string partial;
  if (err == 0) {
    const size_t slash = target.rfind('/');
    err = plat::CreateTempFile(slash == std::string::npos ? std::string() : target.substr(0, slash + 1), ".plot-",
                               ".part", partial);
  }
  int32_t handle = -1;
  if (err == 0) {
    YYFileCreate(partial, 1, handle, err);
    if (err != 0) plat::FileDelete(partial);
  }
  gFiles.lastOsError = err;
  if (err != 0) {
    // The unit stays without a handle: the driver's writes into it fail
    // without telling the same failure again.
    u->target = target;
    u->failed = true;
    Report(u, 1, err, target);
    return;
  }
  u->handle = handle;
  u->target = target;
  u->partial = partial;
  u->failed = false;
}

void YYPlotFileClose(int32_t unit) {
  PlotUnit* u = UnitOf(unit);
  if (u == nullptr || u->handle < 0) return;
  Flush(*u);
  YYFileCloseOs(u->handle);
  u->handle = -1;
  // Writes straight to the handle (image and printer rows) fail into the
  // status only.
  if (u->failed || gFiles.status != 0) {
    Discard(*u);
    return;
  }
  const int32_t err = Commit(*u);
  const std::string target = u->target;
  const bool reported = u->reported;
  Discard(*u);
  gFiles.lastOsError = err;
  if (err != 0 && !reported) Report(nullptr, 2, err, target);
  if (err == 0) gFiles.written = target;
}

void YYPlotFileHandle(int32_t unit, int32_t& handle) {
  PlotUnit* u = UnitOf(unit);
  if (u != nullptr && u->handle >= 0) Flush(*u);
  handle = u != nullptr ? u->handle : -1;
}

void PlotFileDiscardOpen() {
  for (PlotUnit& u : gFiles.units)
    if (u.handle >= 0 || !u.partial.empty()) Discard(u);
}

void ResetPlotFiles() {
  PlotFileDiscardOpen();
  gFiles = PlotFiles{};
}
