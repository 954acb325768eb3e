// Text form of recorded drawing calls, for tests and diagnostics.
#include <cstdio>

#include "platform/gdi/GdiInternal.h"

namespace plat {
namespace {

std::string hex(ColorRef c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
  return buf;
}

std::string pts(const std::vector<Point>& p) {
  std::string s;
  for (size_t i = 0; i < p.size(); ++i) {
    if (i) s += ' ';
    s += std::to_string(p[i].x) + ',' + std::to_string(p[i].y);
  }
  return s;
}

std::string rect(const Rect& r) {
  return std::to_string(r.left) + ',' + std::to_string(r.top) + ',' + std::to_string(r.right) + ',' +
         std::to_string(r.bottom);
}

std::string pen(const PenDesc& p) {
  if (p.style == kPenNull) return "pen=null";
  return "pen=" + std::to_string(p.style) + '/' + std::to_string(p.width) + '/' + hex(p.color);
}

std::string brush(const BrushDesc& b) {
  switch (b.style) {
    case kBrushNull: return "brush=null";
    case kBrushSolid: return "brush=" + hex(b.color);
    case kBrushHatched: return "brush=hatch" + std::to_string(b.hatch) + '/' + hex(b.color);
    default: return "brush=pattern";
  }
}

}  // namespace

std::string describeCall(const DrawCall& c) {
  const DrawAttrs& a = c.attrs;
  std::string s;
  const std::string rop = " rop=" + std::to_string(a.rop2);
  const std::string clip = a.clipped ? " clip=" + rect(a.clip) : "";
  switch (c.op) {
    case CallOp::kLine: s = "line " + pts(c.pts) + ' ' + pen(a.pen) + rop; break;
    case CallOp::kPolyline: s = "polyline " + pts(c.pts) + ' ' + pen(a.pen) + rop; break;
    case CallOp::kPolygon:
      s = "polygon " + pts(c.pts) + ' ' + pen(a.pen) + ' ' + brush(a.brush) + rop +
          (a.polyFillMode == kWinding ? " winding" : " alternate");
      break;
    case CallOp::kRectangle: s = "rectangle " + rect(c.rect) + ' ' + pen(a.pen) + ' ' + brush(a.brush) + rop; break;
    case CallOp::kEllipse: s = "ellipse " + rect(c.rect) + ' ' + pen(a.pen) + ' ' + brush(a.brush) + rop; break;
    case CallOp::kPie: s = "pie " + rect(c.rect) + ' ' + pts(c.pts) + ' ' + pen(a.pen) + ' ' + brush(a.brush) + rop; break;
    case CallOp::kArc: s = "arc " + rect(c.rect) + ' ' + pts(c.pts) + ' ' + pen(a.pen) + rop; break;
    case CallOp::kSetPixel: s = "pixel " + pts(c.pts) + ' ' + hex(c.color); break;
    case CallOp::kFillRect: s = (c.text == "frame" ? "framerect " : "fillrect ") + rect(c.rect) + ' ' + brush(a.brush); break;
    case CallOp::kGradient: {
      s = "gradient";
      for (const TriVertex& v : c.vertices) {
        s += ' ' + std::to_string(v.x) + ',' + std::to_string(v.y) + '/' +
             hex(makeRgb(v.red >> 8, v.green >> 8, v.blue >> 8));
      }
      break;
    }
    case CallOp::kBlt: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%02x", (c.rop >> 16) & 0xFF);
      s = "blt " + rect(c.rect) + " rop3=" + buf;
      break;
    }
    case CallOp::kText:
      s = "text " + pts(c.pts) + " \"" + c.text + "\" font=" + a.font.faceName + '/' +
          std::to_string(a.font.height) + '/' + std::to_string(a.font.weight) +
          (a.font.italic ? "i" : "") + '/' + std::to_string(a.font.escapement) + " color=" + hex(a.textColor) +
          " align=" + std::to_string(a.textAlign) + (a.bkMode == kOpaque ? " opaque=" + hex(a.bkColor) : "");
      break;
    case CallOp::kClear: s = "clear"; break;
  }
  return s + clip;
}

}  // namespace plat
