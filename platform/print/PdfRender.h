// Replays recorded drawing calls of one printer page onto a cairo context
// whose user space is the page's device pixels. Internal to the printer.
#pragma once

#include <cairo.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/Gdi.h"

typedef struct FT_LibraryRec_* FT_Library;

namespace plat::print {

// cairo font faces over the font files the pages use; cairo gets FreeType
// faces of its own, since it changes their sizes as it pleases.
class FontFaces {
 public:
  FontFaces() = default;
  FontFaces(const FontFaces&) = delete;
  FontFaces& operator=(const FontFaces&) = delete;
  ~FontFaces();
  cairo_font_face_t* face(const std::string& path, int index, bool bold, bool italic);

 private:
  std::map<std::pair<std::string, int>, cairo_font_face_t*> faces_;
};

void renderCalls(cairo_t* cr, const std::vector<DrawCall>& calls, FontFaces& faces);

// Frees cairo's and FreeType's process-wide state at exit.
void releaseRendererAtExit();

}  // namespace plat::print
