// Records behind the handles of Gdi.h, shared by the files of platform/gdi
// and by the printer device. Not for the toolkit.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Raster.h"

namespace plat::detail {

struct ObjRec {
  ObjectKind kind = ObjectKind::kNone;
  bool stock = false;
  PenDesc pen;
  BrushDesc brush;
  LogFont font;
  std::unique_ptr<Surface> bitmap;
  int bitsPerPixel = 32;
  Rect region;
  std::vector<PaletteEntry> palette;
};

ObjRec* object(GdiObj h);
ObjRec* object(GdiObj h, ObjectKind kind);
GdiObj newObject(ObjectKind kind, ObjRec** out);

// What a context reports as its device: the display for window and memory
// contexts; a printer's paper and resolution for printer contexts.
struct DeviceGeometry {
  int width = 1280;  // drawable area in pixels
  int height = 1024;
  int dpiX = 96;
  int dpiY = 96;
  int physicalWidth = 0;
  int physicalHeight = 0;
  int offsetX = 0;
  int offsetY = 0;
  int bitsPixel = 24;
  int numColors = -1;
  int technology = kTechRasterDisplay;
};

enum class DcKind { kMemory, kSurface, kRecording };

struct DcRec {
  DcKind kind = DcKind::kMemory;
  Surface* surface = nullptr;  // kSurface
  HBitmap bitmap = 0;          // kMemory
  HPen pen = 0;
  HBrush brush = 0;
  HFont font = 0;
  HPalette palette = 0;
  int rop2 = kR2CopyPen;
  int bkMode = kOpaque;
  ColorRef bkColor = makeRgb(255, 255, 255);
  ColorRef textColor = makeRgb(0, 0, 0);
  unsigned textAlign = 0;
  int polyFillMode = kAlternate;
  Point pos;
  Point windowOrg;
  Point viewportOrg;
  Point brushOrg;
  bool clipped = false;
  Rect clip;  // device coordinates
  long dashPhase = 0;
  XForm xform;  // image transfers only
  bool recording = false;
  std::vector<DrawCall> calls;
  bool hasGeometry = false;
  DeviceGeometry geometry;
  // Called by deleteDc before the context goes (printer jobs end with it).
  void (*onDelete)(Hdc) = nullptr;
};

DcRec* dcRec(Hdc dc);
// A context with its own device geometry whose calls are only recorded
// (printer pages).
Hdc createDeviceDc(const DeviceGeometry& geometry);

// The pixels a context draws into, or null for a recording context.
Surface* dcSurface(DcRec& d, bool* mono);
ColorRef resolveColor(const DcRec& d, ColorRef c);
// Stock fallbacks for stale or missing selections.
const PenDesc& dcPen(const DcRec& d);
const BrushDesc& dcBrush(const DcRec& d);
LogFont dcFont(const DcRec& d);
int dcFontId(DcRec& d);
DrawAttrs snapshot(DcRec& d);
raster::Target dcTarget(DcRec& d, bool useClip = true);
raster::Fill brushFill(const DcRec& d, const BrushDesc& b);
void record(DcRec& d, DrawCall&& call);

Point toDevice(const DcRec& d, int x, int y);

// The objects, modes, position and clip a metafile player changes on a
// context, kept to be given back when the picture is done.
struct PictureState {
  HPen pen = 0;
  HBrush brush = 0;
  HFont font = 0;
  int rop2 = 0, bkMode = 0, polyFillMode = 0;
  ColorRef bkColor = 0, textColor = 0;
  unsigned textAlign = 0;
  Point pos;
  bool clipped = false;
  Rect clip;
};
// Keeps the context's state and gives it the defaults of a fresh context,
// with which a picture starts.
PictureState startPicture(Hdc dc, DcRec& d);
// Puts the kept state back (the picture's own objects are then no longer
// selected and may be deleted).
void endPicture(DcRec& d, const PictureState& s);
// The angle in tenths of a degree of a quarter-turn transform (0 for any
// other).
int quarterTurnAngle(const XForm& t);

// The on, off, ... runs in pixels of a pen's line style (empty: solid);
// a geometric pen's built-in styles scale with its width.
std::vector<int> penDashRuns(const PenDesc& p);

// 8-bit display emulation: the colour a palette display would show.
uint32_t displayPixel(uint32_t pixel);
void realizeIntoSystem(const std::vector<PaletteEntry>& entries);
void resetObjects();
void resetPaletteEmulation();

}  // namespace plat::detail
