#include "platform/print/PdfRender.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/font/Font.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Raster.h"

namespace plat::print {
namespace {

// One FreeType library for the faces handed to cairo. cairo may keep a face
// after we drop it (its font caches), so each face is freed by cairo's own
// destroy callback and the library only at exit, after cairo's caches.
FT_Library library() {
  static FT_Library lib = nullptr;
  if (!lib) {
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    std::atexit([] {
      cairo_debug_reset_static_data();
      if (lib) FT_Done_FreeType(lib);
      lib = nullptr;
    });
  }
  return lib;
}

const cairo_user_data_key_t kFaceKey{};

void setColour(cairo_t* cr, ColorRef c) {
  cairo_set_source_rgb(cr, redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0);
}

// Patterned brushes become a repeating 8 x 8 image.
cairo_pattern_t* brushPattern(const BrushDesc& b, const DrawAttrs& a) {
  if (b.style == kBrushSolid) {
    return cairo_pattern_create_rgb(redOf(b.color) / 255.0, greenOf(b.color) / 255.0, blueOf(b.color) / 255.0);
  }
  if (b.style != kBrushHatched && b.style != kBrushPattern) return nullptr;
  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_flush(img);
  auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
  const int stride = cairo_image_surface_get_stride(img) / 4;
  // the rasteriser decides every pixel of the tile the same way as on screen
  raster::Fill f;
  f.brush = &b;
  f.opaque = a.bkMode == kOpaque;
  f.bkPixel = pixelFromColor(a.bkColor);
  f.textPixel = pixelFromColor(a.textColor);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      uint32_t p = 0;
      data[y * stride + x] = f.pixelAt(x, y, p) ? (0xFF000000u | p) : 0u;
    }
  }
  cairo_surface_mark_dirty(img);
  cairo_pattern_t* pat = cairo_pattern_create_for_surface(img);
  cairo_surface_destroy(img);
  cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pat, CAIRO_FILTER_NEAREST);
  return pat;
}

bool fillWithBrush(cairo_t* cr, const DrawAttrs& a, const BrushDesc& b) {
  cairo_pattern_t* pat = brushPattern(b, a);
  if (!pat) {
    cairo_new_path(cr);
    return false;
  }
  cairo_set_source(cr, pat);
  cairo_fill(cr);
  cairo_pattern_destroy(pat);
  return true;
}

bool setPen(cairo_t* cr, const DrawAttrs& a) {
  const PenDesc& p = a.pen;
  if (p.style == kPenNull) return false;
  setColour(cr, p.color);
  cairo_set_line_width(cr, std::max(1, p.width));
  cairo_set_line_cap(cr, p.geometric && p.cap == kCapSquare ? CAIRO_LINE_CAP_SQUARE
                         : p.cap == kCapFlat                 ? CAIRO_LINE_CAP_BUTT
                                                             : CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, p.join == kJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                          : p.join == kJoinMiter ? CAIRO_LINE_JOIN_MITER
                                                 : CAIRO_LINE_JOIN_ROUND);
  const std::vector<int> runs = detail::penDashRuns(p);
  const std::vector<double> dashes(runs.begin(), runs.end());
  if (!dashes.empty()) cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
  return true;
}

// Paths through pixel centres, as the pixels of the screen lie.
void pathThrough(cairo_t* cr, const std::vector<Point>& pts, bool close) {
  cairo_new_path(cr);
  for (size_t i = 0; i < pts.size(); ++i) {
    if (i == 0) cairo_move_to(cr, pts[i].x + 0.5, pts[i].y + 0.5);
    else cairo_line_to(cr, pts[i].x + 0.5, pts[i].y + 0.5);
  }
  if (close) cairo_close_path(cr);
}

void ellipsePath(cairo_t* cr, const Rect& r, double inset, bool pieSlice, double a1, double sweep,
                 bool whole) {
  const double cx = (r.left + r.right) / 2.0;
  const double cy = (r.top + r.bottom) / 2.0;
  const double rx = std::max(0.01, (r.right - r.left) / 2.0 - inset);
  const double ry = std::max(0.01, (r.bottom - r.top) / 2.0 - inset);
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  if (whole) {
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
  } else {
    // anticlockwise on paper is towards smaller angles with y downwards
    if (pieSlice) cairo_move_to(cr, 0, 0);
    cairo_arc_negative(cr, 0, 0, 1, -a1, -(a1 + sweep));
    if (pieSlice) cairo_close_path(cr);
  }
  cairo_restore(cr);
}

void sweepOf(const DrawCall& c, double& a1, double& sweep, bool& whole) {
  const double cx = (c.rect.left + c.rect.right) / 2.0;
  const double cy = (c.rect.top + c.rect.bottom) / 2.0;
  whole = true;
  a1 = 0;
  sweep = 2 * M_PI;
  if (c.pts.size() < 2 || c.pts[0] == c.pts[1]) return;
  a1 = raster::angleOf(cx, cy, c.pts[0].x + 0.5, c.pts[0].y + 0.5);
  const double a2 = raster::angleOf(cx, cy, c.pts[1].x + 0.5, c.pts[1].y + 0.5);
  sweep = a2 - a1;
  if (sweep < 0) sweep += 2 * M_PI;
  whole = sweep < 1e-12;
  if (whole) sweep = 2 * M_PI;
}

void drawText(cairo_t* cr, const DrawCall& c, FontFaces& faces) {
  const DrawAttrs& a = c.attrs;
  const font::FontId id = font::realize(a.font);
  if (id < 0 || c.pts.empty()) return;
  const TextMetrics& tm = font::metrics(id);
  const std::vector<font::GlyphPos> glyphs = font::layout(id, c.text);
  const int width = font::textWidth(id, c.text);
  const double angle = font::escapementRadians(id);
  double du = 0;
  const unsigned h = a.textAlign & 6u;
  if (h == kTaCenter) du = -width / 2.0;
  else if (h == kTaRight) du = -width;
  const unsigned v = a.textAlign & 24u;
  const double dv = v == kTaBaseline ? 0.0 : v == kTaBottom ? -tm.descent : tm.ascent;

  cairo_save(cr);
  if (c.rect.right > c.rect.left && (c.rop & kEtoClipped)) {
    cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.width(), c.rect.height());
    cairo_clip(cr);
  }
  if (c.rect.right > c.rect.left && (c.rop & kEtoOpaque)) {
    setColour(cr, a.bkColor);
    cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.width(), c.rect.height());
    cairo_fill(cr);
  }
  cairo_translate(cr, c.pts[0].x, c.pts[0].y);
  cairo_rotate(cr, -angle);
  cairo_translate(cr, du, dv);
  if (a.bkMode == kOpaque && !(c.rop & kEtoOpaque)) {
    setColour(cr, a.bkColor);
    cairo_rectangle(cr, 0, -tm.ascent, width, tm.height);
    cairo_fill(cr);
  }
  cairo_font_face_t* face =
      faces.face(font::filePath(id), font::faceIndex(id), font::syntheticBold(id), font::syntheticItalic(id));
  if (face) {
    cairo_set_font_face(cr, face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, font::pixelSizeX(id), font::pixelSizeY(id));
    cairo_set_font_matrix(cr, &m);
    std::vector<cairo_glyph_t> g;
    for (const font::GlyphPos& p : glyphs) g.push_back({p.glyphIndex, static_cast<double>(p.x), 0.0});
    setColour(cr, a.textColor);
    cairo_show_glyphs(cr, g.data(), static_cast<int>(g.size()));
  }
  const font::Decorations d = font::decorations(id);
  setColour(cr, a.textColor);
  if (tm.underlined) {
    cairo_rectangle(cr, 0, d.underlineTop, width, d.underlineThickness);
    cairo_fill(cr);
  }
  if (tm.struckOut) {
    cairo_rectangle(cr, 0, d.strikeTop, width, d.strikeThickness);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void drawImage(cairo_t* cr, const DrawCall& c) {
  const uint32_t table = (c.rop >> 16) & 0xFF;
  if (c.image.width > 0 && (table == 0xCC || table == 0x33 || table == 0x88 || table == 0xEE || table == 0x66)) {
    // paper has no raster operations: the source is laid down as it is
    // (inverted for the not-copy)
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, c.image.width);
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, c.image.width, c.image.height);
    cairo_surface_flush(img);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
    for (int y = 0; y < c.image.height; ++y) {
      for (int x = 0; x < c.image.width; ++x) {
        const uint32_t p = c.image.at(x, y) & 0xFFFFFF;
        data[y * (stride / 4) + x] = table == 0x33 ? (~p & 0xFFFFFF) : p;
      }
    }
    cairo_surface_mark_dirty(img);
    cairo_set_source_surface(cr, img, c.rect.left, c.rect.top);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, c.rect.left, c.rect.top, c.image.width, c.image.height);
    cairo_fill(cr);
    cairo_surface_destroy(img);
    return;
  }
  cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.width(), c.rect.height());
  if (table == 0xF0) {
    fillWithBrush(cr, c.attrs, c.attrs.brush);
  } else if (table == 0x00 || table == 0xFF) {
    setColour(cr, table == 0 ? makeRgb(0, 0, 0) : makeRgb(255, 255, 255));
    cairo_fill(cr);
  } else {
    cairo_new_path(cr);
  }
}

void drawCall(cairo_t* cr, const DrawCall& c, FontFaces& faces) {
  const DrawAttrs& a = c.attrs;
  switch (c.op) {
    case CallOp::kLine:
    case CallOp::kPolyline:
      if (setPen(cr, a)) {
        pathThrough(cr, c.pts, false);
        cairo_stroke(cr);
      }
      break;
    case CallOp::kPolygon: {
      cairo_new_path(cr);
      for (size_t i = 0; i < c.pts.size(); ++i) {
        if (i == 0) cairo_move_to(cr, c.pts[i].x, c.pts[i].y);
        else cairo_line_to(cr, c.pts[i].x, c.pts[i].y);
      }
      cairo_close_path(cr);
      cairo_set_fill_rule(cr, a.polyFillMode == kWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
      fillWithBrush(cr, a, a.brush);
      if (setPen(cr, a)) {
        pathThrough(cr, c.pts, true);
        cairo_stroke(cr);
      }
      break;
    }
    case CallOp::kRectangle: {
      const bool pen = a.pen.style != kPenNull;
      const int shrink = pen ? 0 : 1;
      cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.width() - shrink, c.rect.height() - shrink);
      fillWithBrush(cr, a, a.brush);
      if (setPen(cr, a)) {
        cairo_rectangle(cr, c.rect.left + 0.5, c.rect.top + 0.5, c.rect.width() - 1, c.rect.height() - 1);
        cairo_stroke(cr);
      }
      break;
    }
    case CallOp::kEllipse:
    case CallOp::kPie:
    case CallOp::kArc: {
      double a1 = 0, sweep = 0;
      bool whole = true;
      if (c.op != CallOp::kEllipse) sweepOf(c, a1, sweep, whole);
      const bool pen = a.pen.style != kPenNull;
      if (c.op != CallOp::kArc) {
        ellipsePath(cr, c.rect, pen ? 0.5 : 1.0, c.op == CallOp::kPie, a1, sweep, whole);
        fillWithBrush(cr, a, a.brush);
      }
      if (setPen(cr, a)) {
        ellipsePath(cr, c.rect, 0.5, c.op == CallOp::kPie, a1, sweep, whole);
        cairo_stroke(cr);
      }
      break;
    }
    case CallOp::kSetPixel:
      setColour(cr, c.color);
      cairo_rectangle(cr, c.pts[0].x, c.pts[0].y, 1, 1);
      cairo_fill(cr);
      break;
    case CallOp::kFillRect:
      if (c.text == "frame") {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.width(), c.rect.height());
        cairo_rectangle(cr, c.rect.left + 1, c.rect.top + 1, c.rect.width() - 2, c.rect.height() - 2);
      } else {
        cairo_rectangle(cr, c.rect.left, c.rect.top, c.rect.width(), c.rect.height());
      }
      fillWithBrush(cr, a, a.brush);
      break;
    case CallOp::kGradient: {
      if (c.vertices.size() < 3) break;
      cairo_pattern_t* mesh = cairo_pattern_create_mesh();
      cairo_mesh_pattern_begin_patch(mesh);
      cairo_mesh_pattern_move_to(mesh, c.vertices[0].x, c.vertices[0].y);
      cairo_mesh_pattern_line_to(mesh, c.vertices[1].x, c.vertices[1].y);
      cairo_mesh_pattern_line_to(mesh, c.vertices[2].x, c.vertices[2].y);
      for (unsigned i = 0; i < 3; ++i) {
        const TriVertex& v = c.vertices[i];
        cairo_mesh_pattern_set_corner_color_rgb(mesh, i, v.red / 65280.0, v.green / 65280.0, v.blue / 65280.0);
      }
      cairo_mesh_pattern_end_patch(mesh);
      cairo_set_source(cr, mesh);
      cairo_move_to(cr, c.vertices[0].x, c.vertices[0].y);
      cairo_line_to(cr, c.vertices[1].x, c.vertices[1].y);
      cairo_line_to(cr, c.vertices[2].x, c.vertices[2].y);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_pattern_destroy(mesh);
      break;
    }
    case CallOp::kBlt: drawImage(cr, c); break;
    case CallOp::kText: drawText(cr, c, faces); break;
    case CallOp::kClear: break;
  }
}

}  // namespace

FontFaces::~FontFaces() {
  for (auto& [key, f] : faces_) cairo_font_face_destroy(f);
}

cairo_font_face_t* FontFaces::face(const std::string& path, int index, bool bold, bool italic) {
  if (path.empty()) return nullptr;
  auto it = faces_.find({path + (bold ? "|b" : "") + (italic ? "|i" : ""), index});
  if (it != faces_.end()) return it->second;
  FT_Library lib = library();
  FT_Face ft = nullptr;
  if (!lib || FT_New_Face(lib, path.c_str(), index, &ft) != 0) return nullptr;
  cairo_font_face_t* f = cairo_ft_font_face_create_for_ft_face(ft, 0);
  if (cairo_font_face_set_user_data(f, &kFaceKey, ft, [](void* p) { FT_Done_Face(static_cast<FT_Face>(p)); }) !=
      CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(f);
    FT_Done_Face(ft);
    return nullptr;
  }
  unsigned synth = 0;
  if (bold) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (italic) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (synth) cairo_ft_font_face_set_synthesize(f, synth);
  faces_[{path + (bold ? "|b" : "") + (italic ? "|i" : ""), index}] = f;
  return f;
}

void renderCalls(cairo_t* cr, const std::vector<DrawCall>& calls, FontFaces& faces) {
  for (const DrawCall& c : calls) {
    if (c.attrs.rop2 == kR2Nop) continue;
    cairo_save(cr);
    if (c.attrs.clipped) {
      cairo_rectangle(cr, c.attrs.clip.left, c.attrs.clip.top, c.attrs.clip.width(), c.attrs.clip.height());
      cairo_clip(cr);
    }
    drawCall(cr, c, faces);
    cairo_restore(cr);
  }
}

void releaseRendererAtExit() { library(); }

}  // namespace plat::print
