// Device fonts on FreeType, faces found through fontconfig in a private
// configuration that scans only the folders of the fonts we ship with.
#include "platform/font/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace plat::font {
namespace {

// The folders of the Debian font packages the layer relies on
// (fonts-liberation, fonts-urw-base35, fonts-dejavu-core).
constexpr std::array<const char*, 3> kFontDirs = {
    "/usr/share/fonts/truetype/liberation",
    "/usr/share/fonts/type1/urw-base35",  // the Type 1 files carry the symbol encoding
    "/usr/share/fonts/truetype/dejavu",
};

enum class Family { kSans, kSerif, kMono, kSymbol, kDingbats, kCount };

constexpr std::array<const char*, 5> kFamilyNames = {
    "Liberation Sans", "Liberation Serif", "Liberation Mono", "Standard Symbols PS", "DejaVu Sans",
};

struct FaceFile {
  bool looked = false;
  FT_Face face = nullptr;  // shared by every size of this file
  std::string path;
  int index = 0;
  bool bold = false;       // the file itself is bold / italic
  bool italic = false;
  bool customEncoding = false;  // symbol font: 8-bit codes are the font's own
};

struct FontRec {
  LogFont request;
  Family family = Family::kSans;
  FaceFile* file = nullptr;
  FT_Size size = nullptr;
  double ppemX = 16;
  double ppemY = 16;
  bool synthBold = false;
  bool synthItalic = false;
  double escapement = 0;  // radians
  TextMetrics tm;
  std::string familyName;
  std::array<unsigned, 256> glyph{};
  std::array<int, 256> advance{};
  Decorations deco;
};

struct FontState {
  bool initialised = false;
  bool available = false;
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  // Files by (family, bold, italic).
  std::map<int, FaceFile> files;
  std::vector<std::unique_ptr<FontRec>> fonts;
};

FontState& state() {
  static FontState s;
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  // trailing blanks never matter in a face name
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

void init() {
  FontState& s = state();
  if (s.initialised) return;
  s.initialised = true;
  static bool exitHandlerSet = false;
  if (!exitHandlerSet) {
    exitHandlerSet = true;
    std::atexit([] { resetFonts(); });
  }
  if (FT_Init_FreeType(&s.library) != 0) {
    std::fprintf(stderr, "fonts: FreeType cannot start\n");
    s.library = nullptr;
    return;
  }
  // Our own configuration: only our folders, no aliases, no user fonts; the
  // caches where the system keeps them.
  std::string conf = "<?xml version=\"1.0\"?><fontconfig>";
  for (const char* dir : kFontDirs) conf += std::string("<dir>") + dir + "</dir>";
  conf += "<cachedir>/var/cache/fontconfig</cachedir>"
          "<cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>";
  s.config = FcConfigCreate();
  if (!FcConfigParseAndLoadFromMemory(s.config, reinterpret_cast<const FcChar8*>(conf.c_str()), FcTrue) ||
      !FcConfigBuildFonts(s.config)) {
    std::fprintf(stderr, "fonts: cannot set up the font configuration\n");
    return;
  }
  s.available = true;
}

// Finds the file of a family in the private configuration; the closest
// style wins: exact weight and slant, then the regular member.
FaceFile* faceFile(Family family, bool bold, bool italic) {
  FontState& s = state();
  const int key = static_cast<int>(family) * 4 + (bold ? 2 : 0) + (italic ? 1 : 0);
  FaceFile& ff = s.files[key];
  if (ff.looked) return ff.face ? &ff : nullptr;
  ff.looked = true;
  if (!s.available) return nullptr;

  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(kFamilyNames[static_cast<int>(family)]));
  FcObjectSet* os = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_FONTFORMAT,
                                     static_cast<char*>(nullptr));
  FcFontSet* set = FcFontList(s.config, pat, os);
  FcObjectSetDestroy(os);
  FcPatternDestroy(pat);

  std::string bestFile;
  int bestIndex = 0;
  int bestScore = -1;
  bool bestBold = false;
  bool bestItalic = false;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcChar8* file = nullptr;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) continue;
    FcPatternGetInteger(p, FC_INDEX, 0, &index);
    FcPatternGetInteger(p, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(p, FC_SLANT, 0, &slant);
    const bool isBold = weight >= FC_WEIGHT_DEMIBOLD;
    const bool isItalic = slant != FC_SLANT_ROMAN;
    // Within a style the weight nearest the asked one wins (a family's
    // regular member over its extra-light one, which may lack glyphs).
    const int distance = std::abs(weight - (bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR));
    int score = ((isBold == bold ? 2 : 0) + (isItalic == italic ? 1 : 0)) * 1000 + (999 - std::min(distance, 999));
    const std::string name(reinterpret_cast<const char*>(file));
    // equal scores: the lexically first file, so the choice never depends on
    // the order fontconfig scanned the folder in
    if (score > bestScore || (score == bestScore && name < bestFile)) {
      bestScore = score;
      bestFile = name;
      bestIndex = index;
      bestBold = isBold;
      bestItalic = isItalic;
    }
  }
  if (set) FcFontSetDestroy(set);
  if (bestScore < 0) return nullptr;
  if (FT_New_Face(s.library, bestFile.c_str(), bestIndex, &ff.face) != 0) {
    ff.face = nullptr;
    return nullptr;
  }
  ff.path = bestFile;
  ff.index = bestIndex;
  ff.bold = bestBold;
  ff.italic = bestItalic;
  if (family == Family::kSymbol && FT_Select_Charmap(ff.face, FT_ENCODING_ADOBE_CUSTOM) == 0) {
    ff.customEncoding = true;
  } else {
    FT_Select_Charmap(ff.face, FT_ENCODING_UNICODE);
  }
  return &ff;
}

Family familyFor(const LogFont& lf) {
  const std::string name = lower(lf.faceName);
  struct Alias {
    const char* name;
    Family family;
  };
  static const Alias kAliases[] = {
      {"arial", Family::kSans},          {"helvetica", Family::kSans},
      {"ms sans serif", Family::kSans},  {"ms shell dlg", Family::kSans},
      {"ms shell dlg 2", Family::kSans}, {"microsoft sans serif", Family::kSans},
      {"tahoma", Family::kSans},         {"verdana", Family::kSans},
      {"segoe ui", Family::kSans},       {"system", Family::kSans},
      {"small fonts", Family::kSans},    {"liberation sans", Family::kSans},
      {"times new roman", Family::kSerif}, {"times", Family::kSerif},
      {"ms serif", Family::kSerif},      {"roman", Family::kSerif},
      {"liberation serif", Family::kSerif}, {"courier new", Family::kMono},
      {"courier", Family::kMono},        {"fixedsys", Family::kMono},
      {"terminal", Family::kMono},       {"lucida console", Family::kMono},
      {"liberation mono", Family::kMono}, {"symbol", Family::kSymbol},
      {"standard symbols ps", Family::kSymbol}, {"wingdings", Family::kDingbats},
  };
  for (const Alias& a : kAliases) {
    if (name == a.name) return a.family;
  }
  if (name.empty() && lf.charSet == kSymbolCharSet) return Family::kSymbol;
  const int pitch = lf.pitchAndFamily & 0x03;
  const int fam = lf.pitchAndFamily & 0xF0;
  if (pitch == kFixedPitch || fam == kFamilyModern) return Family::kMono;
  if (fam == kFamilyRoman) return Family::kSerif;
  return Family::kSans;
}

// Windows-1252 code points for 0x80..0x9F; the undefined codes keep their value.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned codePoint(Family family, unsigned char ch) {
  if (family == Family::kDingbats) {
    switch (ch) {
      case 251: return 0x2718;  // heavy ballot x
      case 252: return 0x2714;  // heavy check mark
      case 253: return 0x2612;  // ballot box with x
      case 254: return 0x2611;  // ballot box with check
      default: return ch < 0x80 ? ch : 0;
    }
  }
  if (ch >= 0x80 && ch < 0xA0) return kCp1252High[ch - 0x80];
  return ch;
}

bool loadGlyph(FontRec& f, unsigned glyph) {
  FT_Face face = f.file->face;
  FT_Activate_Size(f.size);
  FT_Set_Transform(face, nullptr, nullptr);
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) != 0) return false;
  if (f.synthItalic) FT_GlyphSlot_Oblique(face->glyph);
  if (f.synthBold) FT_GlyphSlot_Embolden(face->glyph);
  return true;
}

int roundPx(double v) { return static_cast<int>(std::lround(v)); }

void computeMetrics(FontRec& f) {
  FT_Face face = f.file->face;
  const LogFont& lf = f.request;
  const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
  double asc = face->ascender;
  double desc = -face->descender;
  double avg = 0;
  double lineGap = 0;
  double strikePos = 0;
  double strikeSize = 0;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      os2 && os2->version != 0xFFFF) {
    asc = os2->usWinAscent;
    desc = os2->usWinDescent;
    avg = os2->xAvgCharWidth;
    strikePos = os2->yStrikeoutPosition;
    strikeSize = os2->yStrikeoutSize;
  } else if (face->bbox.yMax > 0) {
    asc = face->bbox.yMax;
    desc = -face->bbox.yMin;
  }
  if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
    lineGap = std::max(0.0, hhea->Line_Gap - ((asc + desc) - (hhea->Ascender - hhea->Descender)));
  }
  if (asc + desc <= 0) {
    asc = upem * 0.9;
    desc = upem * 0.2;
  }

  TextMetrics& tm = f.tm;
  if (lf.height > 0) {
    f.ppemY = lf.height * upem / (asc + desc);
    tm.height = lf.height;
    tm.ascent = roundPx(lf.height * asc / (asc + desc));
    tm.descent = tm.height - tm.ascent;
  } else {
    f.ppemY = lf.height < 0 ? -static_cast<double>(lf.height) : 16.0 * upem / (asc + desc);
    tm.ascent = static_cast<int>(std::ceil(asc * f.ppemY / upem - 1e-6));
    tm.descent = static_cast<int>(std::ceil(desc * f.ppemY / upem - 1e-6));
    tm.height = tm.ascent + tm.descent;
  }
  f.ppemY = std::clamp(f.ppemY, 1.0, 2000.0);
  tm.internalLeading = std::max(0, tm.height - roundPx(f.ppemY));
  tm.externalLeading = roundPx(lineGap * f.ppemY / upem);

  // The average width without a width request: the OS/2 figure, or, for the
  // Type 1 symbol font, the mean advance of the printable codes.
  f.ppemX = f.ppemY;
  if (avg <= 0) {
    double sum = 0;
    int n = 0;
    for (unsigned c = 32; c < 127; ++c) {
      const unsigned g = FT_Get_Char_Index(face, c);
      if (g == 0) continue;
      if (FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE) == 0) {
        sum += face->glyph->advance.x;
        ++n;
      }
    }
    avg = n > 0 ? sum / n : upem / 2;
  }
  const double naturalAvg = avg * f.ppemY / upem;
  if (lf.width > 0 && naturalAvg > 0) {
    f.ppemX = std::clamp(f.ppemY * lf.width / naturalAvg, 1.0, 4000.0);
  }
  FT_Activate_Size(f.size);
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(f.ppemX * 64)),
                   static_cast<FT_F26Dot6>(std::lround(f.ppemY * 64)), 72, 72);
  tm.aveCharWidth = lf.width > 0 ? lf.width : std::max(1, roundPx(avg * f.ppemX / upem));
  tm.maxCharWidth = std::max(tm.aveCharWidth, roundPx(face->max_advance_width * f.ppemX / upem));
  tm.weight = lf.weight == 0 ? 400 : lf.weight;
  tm.italic = lf.italic;
  tm.underlined = lf.underline;
  tm.struckOut = lf.strikeOut;
  tm.fixedPitch = FT_IS_FIXED_WIDTH(face);
  tm.charSet = f.family == Family::kSymbol ? kSymbolCharSet : kAnsiCharSet;
  tm.firstChar = 32;
  tm.lastChar = 255;
  tm.defaultChar = 31;
  tm.breakChar = 32;
  tm.overhang = 0;

  // Per-code glyphs and hinted advances.
  for (unsigned c = 0; c < 256; ++c) {
    const unsigned cp = f.file->customEncoding ? c : codePoint(f.family, static_cast<unsigned char>(c));
    f.glyph[c] = cp == 0 ? 0 : FT_Get_Char_Index(face, cp);
  }
  for (unsigned c = 0; c < 256; ++c) {
    f.advance[c] = 0;
    if (c < 32 && f.glyph[c] == 0) continue;  // control codes take no room
    if (loadGlyph(f, f.glyph[c])) f.advance[c] = static_cast<int>((face->glyph->advance.x + 32) >> 6);
  }

  const double scaleY = f.ppemY / upem;
  Decorations& d = f.deco;
  d.underlineThickness = std::max(1, roundPx(face->underline_thickness * scaleY));
  d.underlineTop = std::max(1, roundPx(-face->underline_position * scaleY)) - d.underlineThickness / 2;
  if (d.underlineTop + d.underlineThickness > tm.descent) {
    d.underlineTop = std::max(0, tm.descent - d.underlineThickness);
  }
  if (strikeSize > 0) {
    d.strikeThickness = std::max(1, roundPx(strikeSize * scaleY));
    d.strikeTop = -roundPx(strikePos * scaleY);
  } else {
    d.strikeThickness = d.underlineThickness;
    d.strikeTop = -roundPx(tm.ascent * 0.3) - d.strikeThickness / 2;
  }
}

FontRec* rec(FontId id) {
  FontState& s = state();
  if (id < 0 || static_cast<size_t>(id) >= s.fonts.size()) return nullptr;
  return s.fonts[id].get();
}

bool sameRequest(const LogFont& a, const LogFont& b) {
  return a.height == b.height && a.width == b.width && a.escapement == b.escapement &&
         a.weight == b.weight && a.italic == b.italic && a.underline == b.underline &&
         a.strikeOut == b.strikeOut && a.charSet == b.charSet &&
         a.pitchAndFamily == b.pitchAndFamily && lower(a.faceName) == lower(b.faceName);
}

const TextMetrics kNoMetrics{};

}  // namespace

FontId realize(const LogFont& lfIn) {
  init();
  FontState& s = state();
  LogFont lf = lfIn;
  lf.height = std::clamp(lf.height, -2000, 2000);
  lf.width = std::clamp(lf.width, 0, 2000);
  for (size_t i = 0; i < s.fonts.size(); ++i) {
    if (sameRequest(s.fonts[i]->request, lf)) return static_cast<FontId>(i);
  }
  auto f = std::make_unique<FontRec>();
  f->request = lf;
  f->family = familyFor(lf);
  const bool bold = lf.weight >= 600;
  f->file = faceFile(f->family, bold, lf.italic);
  if (!f->file && f->family != Family::kSans) {
    f->family = Family::kSans;
    f->file = faceFile(f->family, bold, lf.italic);
  }
  if (!f->file) {
    static bool told = false;
    if (!told) std::fprintf(stderr, "fonts: no usable font file (install fonts-liberation)\n");
    told = true;
    return -1;
  }
  if (FT_New_Size(f->file->face, &f->size) != 0) return -1;
  f->synthBold = bold && !f->file->bold;
  f->synthItalic = lf.italic && !f->file->italic;
  f->escapement = lf.escapement * M_PI / 1800.0;
  f->familyName = f->file->face->family_name ? f->file->face->family_name : "";
  computeMetrics(*f);
  s.fonts.push_back(std::move(f));
  return static_cast<FontId>(s.fonts.size() - 1);
}

const TextMetrics& metrics(FontId id) {
  FontRec* f = rec(id);
  return f ? f->tm : kNoMetrics;
}

std::vector<std::string> faceNames() { return {kFamilyNames.begin(), kFamilyNames.end()}; }

const std::string& familyName(FontId id) {
  static const std::string kNone;
  FontRec* f = rec(id);
  return f ? f->familyName : kNone;
}

std::vector<GlyphPos> layout(FontId id, std::string_view text) {
  std::vector<GlyphPos> out;
  FontRec* f = rec(id);
  if (!f) return out;
  out.reserve(text.size());
  int x = 0;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    out.push_back({f->glyph[c], x, f->advance[c]});
    x += f->advance[c];
  }
  return out;
}

int textWidth(FontId id, std::string_view text) {
  FontRec* f = rec(id);
  if (!f) return 0;
  int w = 0;
  for (char ch : text) w += f->advance[static_cast<unsigned char>(ch)];
  return w;
}

int charAdvance(FontId id, unsigned char ch) {
  FontRec* f = rec(id);
  return f ? f->advance[ch] : 0;
}

Decorations decorations(FontId id) {
  FontRec* f = rec(id);
  return f ? f->deco : Decorations{};
}

double escapementRadians(FontId id) {
  FontRec* f = rec(id);
  return f ? f->escapement : 0.0;
}

bool renderGlyph(FontId id, std::string_view text, size_t i, GlyphBitmap& out, int& penX,
                 int& penY) {
  FontRec* f = rec(id);
  if (!f || i >= text.size()) return false;
  int x = 0;
  for (size_t k = 0; k < i; ++k) x += f->advance[static_cast<unsigned char>(text[k])];
  const auto c = static_cast<unsigned char>(text[i]);
  if (f->glyph[c] == 0 && c < 32) return false;
  if (!loadGlyph(*f, f->glyph[c])) return false;
  FT_GlyphSlot slot = f->file->face->glyph;
  if (f->escapement != 0.0) {
    const double cs = std::cos(f->escapement);
    const double sn = std::sin(f->escapement);
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>(std::lround(cs * 65536));
    m.xy = static_cast<FT_Fixed>(std::lround(-sn * 65536));
    m.yx = static_cast<FT_Fixed>(std::lround(sn * 65536));
    m.yy = static_cast<FT_Fixed>(std::lround(cs * 65536));
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_Transform(&slot->outline, &m);
    penX = static_cast<int>(std::lround(x * cs));
    penY = static_cast<int>(std::lround(-x * sn));
  } else {
    penX = x;
    penY = 0;
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return false;
  const FT_Bitmap& bm = slot->bitmap;
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  out.width = static_cast<int>(bm.width);
  out.rows = static_cast<int>(bm.rows);
  out.pitch = (out.width + 7) / 8;
  out.bits.assign(static_cast<size_t>(out.pitch) * out.rows, 0);
  for (int r = 0; r < out.rows; ++r) {
    const int srcRow = bm.pitch >= 0 ? r : out.rows - 1 - r;
    const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(srcRow) * std::abs(bm.pitch);
    std::copy(src, src + out.pitch, out.bits.begin() + static_cast<ptrdiff_t>(r) * out.pitch);
  }
  return true;
}

const std::string& filePath(FontId id) {
  static const std::string kNone;
  FontRec* f = rec(id);
  return f ? f->file->path : kNone;
}
int faceIndex(FontId id) {
  FontRec* f = rec(id);
  return f ? f->file->index : 0;
}
double pixelSizeX(FontId id) {
  FontRec* f = rec(id);
  return f ? f->ppemX : 0;
}
double pixelSizeY(FontId id) {
  FontRec* f = rec(id);
  return f ? f->ppemY : 0;
}
bool syntheticBold(FontId id) {
  FontRec* f = rec(id);
  return f && f->synthBold;
}
bool syntheticItalic(FontId id) {
  FontRec* f = rec(id);
  return f && f->synthItalic;
}

void resetFonts() {
  FontState& s = state();
  for (auto& f : s.fonts) {
    if (f->size) FT_Done_Size(f->size);
  }
  s.fonts.clear();
  for (auto& [key, ff] : s.files) {
    if (ff.face) FT_Done_Face(ff.face);
  }
  s.files.clear();
  if (s.library) FT_Done_FreeType(s.library);
  s.library = nullptr;
  if (s.config) FcConfigDestroy(s.config);
  s.config = nullptr;
  s.available = false;
  s.initialised = false;  // a later request starts the libraries again
}

}  // namespace plat::font
