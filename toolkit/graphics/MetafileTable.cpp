#include "toolkit/graphics/MetafileTable.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "VOZUVar/Strings.h"
#include "platform/gdi/Emf.h"
#include "platform/print/Printer.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/PrinterSettings.h"

namespace {
MetafileTableRecord gTable;
std::array<EmfSlot, kMetafileEntries> gSlots;

bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kMetafileEntries; }
EmfSlot& Slot(int32_t slot) { return gSlots[static_cast<size_t>(slot)]; }

// Largest metafile file read.
constexpr int32_t kMaxLoadBytes = 256 * 1024 * 1024;
}  // namespace

MetafileTableRecord& MetafileTable() { return gTable; }
std::array<EmfSlot, kMetafileEntries>& EmfSlots() { return gSlots; }

void ResetMetafileTable() {
  for (int32_t s = 0; s < kMetafileEntries; ++s) YYEmfDelete(s);
  gTable = MetafileTableRecord{};
}

void WMetafileDestroy(int32_t number) {
  if (number < 1 || number > kMetafileEntries) {
    YYERRREP(1060, "WMetafileDestroy");
    return;
  }
  MetafileEntry& e = gTable.Entry[static_cast<size_t>(number)];
  if (e.Type == 0) YYERRREP(1060, "WMetafileDestroy");
  if (e.Type == 3) YYEmfDelete(number - 1);
  e = MetafileEntry{};
}

// ---------------------------------------------------------------- enhanced metafiles

void YYEmfClose(int32_t slot) {
  if (!ValidSlot(slot)) return;
  EmfSlot& s = Slot(slot);
  if (s.Recording == 0 || s.Metafile != 0 || !plat::isDc(s.Recording)) return;
  DrawingSurfaceRecord& d = DrawingSurface();
  if (d.Dc == s.Recording) d.Dc = 0;
  if (d.MetafileDc == s.Recording) d.MetafileDc = 0;
  // The recording context stays as the sign that the slot was recorded.
  s.Metafile = plat::closeEnhMetaFile(s.Recording);
}

void YYEmfCreate(int32_t slot, int32_t widthPoints, int32_t heightPoints, int32_t& hres, int32_t& vres,
                 int32_t& hsize, int32_t& vsize) {
  hres = vres = hsize = vsize = 0;
  if (!ValidSlot(slot)) return;
  YYEmfDelete(slot);
  // The picture is made for the default printer when one is known, else
  // for the screen.
  const WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  plat::Hdc ref = w.Device.empty() ? 0 : plat::createPrinterDc(w.Device, plat::PrintSettings{});
  if (ref == 0) ref = plat::createCompatibleDc(0);
  hres = plat::getDeviceCaps(ref, plat::Cap::kHorzRes);
  vres = plat::getDeviceCaps(ref, plat::Cap::kVertRes);
  hsize = plat::getDeviceCaps(ref, plat::Cap::kHorzSize);
  vsize = plat::getDeviceCaps(ref, plat::Cap::kVertSize);
  const plat::Rect frame{0, 0, static_cast<int>(static_cast<int64_t>(widthPoints) * 2540 / 72),
                         static_cast<int>(static_cast<int64_t>(heightPoints) * 2540 / 72)};
  EmfSlot& s = Slot(slot);
  s.Recording = plat::createEnhMetaFile(ref, &frame);
  s.Metafile = 0;
  s.Loaded = false;
  DrawingSurface().MetafileDpi = plat::getDeviceCaps(ref, plat::Cap::kLogPixelsX);
  plat::deleteDc(ref);
}

void YYEmfDelete(int32_t slot) {
  if (!ValidSlot(slot)) return;
  YYEmfClose(slot);
  EmfSlot& s = Slot(slot);
  if (s.Metafile) plat::deleteEnhMetaFile(s.Metafile);
  if (s.Recording && plat::isDc(s.Recording)) plat::deleteDc(s.Recording);
  s = EmfSlot{};
}

void YYEmfLoad(int32_t slot, int32_t size, int32_t& status, int32_t& error, std::string_view file) {
  status = 1;
  error = 0;
  if (!ValidSlot(slot)) return;
  YYEmfDelete(slot);
  const std::string name(TrimTrailingBlanks(file));
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) {
    error = errno;
    return;
  }
  status = 2;
  // A size that is not positive (or beyond any metafile) reads nothing
  // that could be one.
  if (size > 0 && size <= kMaxLoadBytes) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    errno = 0;
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    if (got < bytes.size()) {
      error = std::ferror(f) ? errno : 0;
    } else if (const plat::HEnhMetaFile mf = plat::setEnhMetaFileBits(bytes)) {
      EmfSlot& s = Slot(slot);
      s.Metafile = mf;
      s.Loaded = true;
      status = 0;
    }
  }
  std::fclose(f);
}

void YYEmfPlay(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!ValidSlot(slot)) return;
  YYEmfClose(slot);
  const EmfSlot& s = Slot(slot);
  const plat::Hdc dc = DrawingSurface().Dc;
  if (!s.Metafile || !dc) return;
  YYGdiClipSelect(1);
  plat::playEnhMetaFile(dc, s.Metafile, plat::Rect{left, top, right, bottom});
  YYGdiClipSelect(0);
}

void YYEmfCopy(int32_t slot, int32_t& status, int32_t& error, std::string_view file) {
  status = 1;
  error = 0;
  if (!ValidSlot(slot)) return;
  YYEmfClose(slot);
  const EmfSlot& s = Slot(slot);
  errno = 0;
  const plat::HEnhMetaFile copy = s.Metafile ? plat::copyEnhMetaFile(s.Metafile, std::string(TrimTrailingBlanks(file))) : 0;
  if (copy == 0) {
    error = s.Metafile ? errno : EINVAL;
    return;
  }
  plat::deleteEnhMetaFile(copy);
  status = 0;
}

void YYEmfSelect(int32_t slot, int32_t /*width*/, int32_t /*height*/, int32_t& status) {
  status = 1;
  if (!ValidSlot(slot)) return;
  const EmfSlot& s = Slot(slot);
  if (s.Recording == 0 || s.Metafile != 0 || !plat::isDc(s.Recording)) return;
  // Contexts here map logical units to device units one to one, so the
  // window extent of the picture needs no setting.
  DrawingSurfaceRecord& d = DrawingSurface();
  d.MetafileDc = s.Recording;
  d.Dc = s.Recording;
  d.Window = -1;
  d.PatternStale = 1;
  plat::setBkMode(s.Recording, plat::kTransparent);
  YYGdiScaleMetrics();
  YYGdiPenCreate();
  status = 0;
}
