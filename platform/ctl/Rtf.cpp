#include "platform/ctl/Rtf.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <tuple>

namespace plat::detail {

namespace {

bool SameFormat(const CharFormat& a, const CharFormat& b) {
  return a.effects == b.effects && a.height == b.height && a.colour == b.colour && a.backColour == b.backColour &&
         a.charSet == b.charSet && a.face == b.face;
}

int IndexOf(std::vector<std::string>& faces, const std::string& face) {
  auto it = std::find(faces.begin(), faces.end(), face);
  if (it != faces.end()) return static_cast<int>(it - faces.begin());
  faces.push_back(face);
  return static_cast<int>(faces.size()) - 1;
}

int ColourIndex(std::vector<uint32_t>& colours, uint32_t c) {
  auto it = std::find(colours.begin(), colours.end(), c);
  if (it != colours.end()) return static_cast<int>(it - colours.begin()) + 1;   // 0 is "automatic"
  colours.push_back(c);
  return static_cast<int>(colours.size());
}

void AppendEscaped(std::string& out, char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (ch == '\\' || ch == '{' || ch == '}') {
    out += '\\';
    out += ch;
  } else if (ch == '\t') {
    out += "\\tab ";
  } else if (c >= 0x80 || c < 0x20) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\'%02x", c);
    out += buf;
  } else {
    out += ch;
  }
}

std::string ParaWords(const ParaFormat& p) {
  std::string s = "\\pard";
  if (p.numbering == kBullets) s += "{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'b7}}";
  if (p.alignment == kAlignCentre) s += "\\qc";
  else if (p.alignment == kAlignRight) s += "\\qr";
  if (p.startIndent + p.offset != 0) s += "\\li" + std::to_string(p.startIndent + p.offset);
  if (p.offset != 0) s += "\\fi" + std::to_string(-p.offset);
  if (p.rightIndent != 0) s += "\\ri" + std::to_string(p.rightIndent);
  for (int t : p.tabs) s += "\\tx" + std::to_string(t);
  return s;
}

}  // namespace

std::string writeRtf(const RichText& doc) {
  std::vector<std::string> faces;
  std::vector<uint32_t> colours;
  for (const CharFormat& f : doc.formats) {
    IndexOf(faces, f.face);
    if (!(f.effects & cfe::AutoColour)) ColourIndex(colours, f.colour);
    if (!(f.effects & cfe::AutoBackColour)) ColourIndex(colours, f.backColour);
  }
  if (faces.empty()) faces.push_back("Arial");
  auto paraAt = [&](size_t p) { return p < doc.paras.size() ? doc.paraFormat(p) : ParaFormat{}; };
  std::string body;
  const CharFormat* last = nullptr;
  size_t para = 0;
  body += ParaWords(paraAt(0));
  for (size_t i = 0; i < doc.text.size(); ++i) {
    const CharFormat& f = doc.charFormat(i);
    if (!last || !SameFormat(*last, f)) {
      // sizes in half points, rounded: a size between two half points
      // (from a font of whole pixels) is written as the nearer one
      body += "\\plain\\f" + std::to_string(IndexOf(faces, f.face)) + "\\fs" + std::to_string(std::max(1, (f.height + 5) / 10));
      if (f.effects & cfe::Bold) body += "\\b";
      if (f.effects & cfe::Italic) body += "\\i";
      if (f.effects & cfe::Underline) body += "\\ul";
      if (f.effects & cfe::StrikeOut) body += "\\strike";
      if (f.effects & cfe::Protected) body += "\\protect";
      if (!(f.effects & cfe::AutoColour)) body += "\\cf" + std::to_string(ColourIndex(colours, f.colour));
      if (!(f.effects & cfe::AutoBackColour)) body += "\\highlight" + std::to_string(ColourIndex(colours, f.backColour));
      body += ' ';
      last = &f;
    }
    if (doc.text[i] == '\r') {
      body += "\\par\r\n";
      ++para;
      body += ParaWords(paraAt(para));
      last = nullptr;
    } else {
      AppendEscaped(body, doc.text[i]);
    }
  }
  // The last paragraph is ended too, as readers expect; the reader drops
  // that one end again, so a text that ends with a line end keeps it.
  body += "\\par";
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
  for (size_t k = 0; k < faces.size(); ++k) {
    out += "{\\f" + std::to_string(k) + "\\fnil\\fcharset0 ";
    for (char c : faces[k]) AppendEscaped(out, c);
    out += ";}";
  }
  out += "}\r\n";
  if (!colours.empty()) {
    out += "{\\colortbl ;";
    for (uint32_t c : colours) {
      out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
             std::to_string((c >> 16) & 0xFF) + ";";
    }
    out += "}\r\n";
  }
  out += body;
  out += "\r\n}\r\n";
  return out;
}

namespace {

struct GroupState {
  CharFormat cf;
  bool skip = false;       // an ignored destination
  int destination = 0;     // 0 text, 1 font table, 2 colour table, 3 bullet words
  int ucSkip = 1;
};

// Destinations whose contents are not text.
bool SkippedDestination(std::string_view w) {
  static constexpr std::string_view kWords[] = {
      "stylesheet", "info", "pict", "object", "header", "footer", "headerl", "headerr", "footerl", "footerr",
      "footnote", "fldinst", "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "themedata",
      "colorschememapping", "latentstyles", "datastore", "pntext", "filetbl", "revtbl", "author", "operator",
      "title", "subject", "comment", "keywords", "bkmkstart", "bkmkend", "shp", "nonshppict", "mmathPr"};
  return std::find(std::begin(kWords), std::end(kWords), w) != std::end(kWords);
}

}  // namespace

namespace {

// The formats of a document being read, each kept once.
class Pools {
 public:
  explicit Pools(RichText& doc) : doc_(doc) {}
  uint32_t charFormat(const CharFormat& f) {
    if (lastChar_ >= 0 && SameFull(doc_.formats[static_cast<size_t>(lastChar_)], f)) return static_cast<uint32_t>(lastChar_);
    auto [it, added] = chars_.try_emplace(CharKey{f.effects, f.height, f.colour, f.backColour, f.charSet, f.pitchAndFamily, f.face},
                                          static_cast<uint32_t>(doc_.formats.size()));
    if (added) {
      doc_.formats.push_back(f);
      doc_.formats.back().mask = cfm::All;
    }
    lastChar_ = static_cast<int>(it->second);
    return it->second;
  }
  uint32_t paraFormat(const ParaFormat& p) {
    auto [it, added] = paras_.try_emplace(ParaKey{p.numbering, p.alignment, p.startIndent, p.rightIndent, p.offset, p.tabs},
                                          static_cast<uint32_t>(doc_.paraFormats.size()));
    if (added) {
      doc_.paraFormats.push_back(p);
      doc_.paraFormats.back().mask = pfm::All;
    }
    return it->second;
  }

 private:
  using CharKey = std::tuple<uint32_t, int, uint32_t, uint32_t, int, int, std::string>;
  using ParaKey = std::tuple<int, int, int, int, int, std::vector<int>>;
  static bool SameFull(const CharFormat& a, const CharFormat& b) { return SameFormat(a, b) && a.pitchAndFamily == b.pitchAndFamily; }
  RichText& doc_;
  std::map<CharKey, uint32_t> chars_;
  std::map<ParaKey, uint32_t> paras_;
  int lastChar_ = -1;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool readRtf(std::string_view in, const CharFormat& base, const ParaFormat& basePara, RichText& out) {
  if (in.substr(0, 5) != "{\\rtf") return false;
  out = RichText{};
  Pools pools(out);
  std::map<int, std::string> fonts;   // the font table: face by number (the first definition holds)
  std::vector<uint32_t> colours;   // index 0: automatic
  uint32_t red = 0, green = 0, blue = 0;
  bool colourGiven = false;
  std::string fontName;
  int fontId = 0;
  std::vector<GroupState> stack;
  GroupState g;
  g.cf = base;
  g.cf.mask = cfm::All;
  ParaFormat para = basePara;
  para.mask = pfm::All;
  // The file gives the indent of the paragraph's lines and the first line's
  // difference; the control keeps the first line's indent and where the
  // others start from it.
  int leftIndent = 0, firstIndent = 0;
  auto indents = [&]() {
    para.startIndent = leftIndent + firstIndent;
    para.offset = -firstIndent;
  };
  int pendingSkip = 0;   // characters after \uN still to be dropped
  int defaultFont = 0;
  std::string defaultFace = base.face;
  bool starred = false;

  auto emit = [&](char c) {
    if (g.skip || g.destination != 0) return;
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    // Line ends come from \par and its kin only; other control bytes (a
    // damaged escape, a stray byte) would be invisible in the text.
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return;
    out.text += c;
    out.chars.push_back(pools.charFormat(g.cf));
  };
  auto endPara = [&]() {
    if (g.skip || g.destination != 0) return;
    out.text += '\r';
    out.chars.push_back(pools.charFormat(g.cf));
    indents();
    out.paras.push_back(pools.paraFormat(para));
  };
  auto addFont = [&]() {
    fonts.emplace(fontId, fontName);
    fontName.clear();
  };
  auto faceOf = [&](int id) -> std::string {
    auto it = fonts.find(id);
    return it != fonts.end() ? it->second : base.face;
  };

  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    const char c = in[i];
    if (c == '{') {
      ++i;
      if (stack.size() >= kRtfMaxDepth) {
        // A group nested this deep is skipped with everything in it, so
        // that a file of braces cannot make the reader keep a state per
        // level.
        size_t depth = 1;
        while (i < n && depth > 0) {
          if (in[i] == '\\') ++i;
          else if (in[i] == '{') ++depth;
          else if (in[i] == '}') --depth;
          ++i;
        }
        continue;
      }
      stack.push_back(g);
      starred = false;
      continue;
    }
    if (c == '}') {
      if (g.destination == 1 && !fontName.empty()) addFont();
      if (stack.empty()) break;
      const bool fontTableEnds = g.destination == 1 && stack.back().destination != 1;
      g = stack.back();
      stack.pop_back();
      if (fontTableEnds) {
        // text without a font word is in the default font
        defaultFace = faceOf(defaultFont);
        g.cf.face = defaultFace;
      }
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      if (g.destination == 1 && !g.skip) {
        if (c == ';') addFont();
        else fontName += c;
      } else if (g.destination == 2 && !g.skip) {
        if (c == ';') {
          colours.push_back(colourGiven ? (red | (green << 8) | (blue << 16)) : 0xFFFFFFFFu);
          red = green = blue = 0;
          colourGiven = false;
        }
      } else {
        emit(c);
      }
      ++i;
      continue;
    }
    // A control word or symbol.
    ++i;
    if (i >= n) break;
    const char s = in[i];
    if (!std::isalpha(static_cast<unsigned char>(s))) {
      ++i;
      switch (s) {
        case '\\': case '{': case '}': emit(s); break;
        case '~': emit(static_cast<char>(0xA0)); break;
        case '-': break;
        case '_': emit('-'); break;
        case '*': starred = true; break;
        case '\'': {
          // two hex digits; an escape without them stands for nothing
          const int hi = i < n ? HexDigit(in[i]) : -1;
          const int lo = i + 1 < n ? HexDigit(in[i + 1]) : -1;
          if (hi < 0 || lo < 0) break;
          i += 2;
          const char v = static_cast<char>(hi * 16 + lo);
          if (g.destination == 1 && !g.skip) fontName += v;
          else emit(v);
          break;
        }
        case '\r': case '\n': endPara(); break;
        default: break;
      }
      continue;
    }
    size_t a = i;
    while (i < n && std::isalpha(static_cast<unsigned char>(in[i]))) ++i;
    const std::string_view word = in.substr(a, i - a);
    bool hasArg = false;
    int arg = 0;
    if (i < n && (in[i] == '-' || std::isdigit(static_cast<unsigned char>(in[i])))) {
      size_t b = i + 1;
      while (b < n && std::isdigit(static_cast<unsigned char>(in[b])) && b - i < 10) ++b;
      std::from_chars(in.data() + i, in.data() + b, arg);
      hasArg = true;
      i = b;
      while (i < n && std::isdigit(static_cast<unsigned char>(in[i]))) ++i;   // digits past a sane width
    }
    if (i < n && in[i] == ' ') ++i;
    const bool on = !hasArg || arg != 0;
    auto effect = [&](uint32_t bit, bool set) {
      if (set) g.cf.effects |= bit;
      else g.cf.effects &= ~bit;
    };
    // A colour word names an entry of the file's colour table; an index the
    // table does not have (a damaged or hand-made file) is the automatic
    // colour, like entry 0.
    auto setColour = [&](uint32_t& colour, uint32_t autoBit) {
      if (arg > 0 && static_cast<size_t>(arg) < colours.size() && colours[static_cast<size_t>(arg)] != 0xFFFFFFFFu) {
        colour = colours[static_cast<size_t>(arg)];
        g.cf.effects &= ~autoBit;
      } else {
        g.cf.effects |= autoBit;
      }
    };
    if (word == "fonttbl") { g.destination = 1; continue; }
    if (word == "deff") { defaultFont = arg; continue; }
    if (word == "colortbl") { g.destination = 2; continue; }
    if (word == "pn") { g.destination = 3; continue; }
    if (word == "pnlvlblt") { para.numbering = kBullets; continue; }
    if (g.destination == 3) continue;
    if (SkippedDestination(word) || (starred && !g.skip)) {
      g.skip = true;
      starred = false;
      continue;
    }
    if (g.destination == 1) {
      if (word == "f") fontId = arg;
      continue;
    }
    if (g.destination == 2) {
      if (word == "red") { red = static_cast<uint32_t>(arg) & 0xFF; colourGiven = true; }
      if (word == "green") { green = static_cast<uint32_t>(arg) & 0xFF; colourGiven = true; }
      if (word == "blue") { blue = static_cast<uint32_t>(arg) & 0xFF; colourGiven = true; }
      continue;
    }
    if (word == "par" || word == "line" || word == "row" || word == "sect" || word == "page") endPara();
    else if (word == "tab" || word == "cell") emit('\t');
    else if (word == "pard") {
      para = basePara;
      para.mask = pfm::All;
      leftIndent = firstIndent = 0;
    }
    else if (word == "plain") {
      g.cf = base;
      g.cf.mask = cfm::All;
      g.cf.face = defaultFace;
    }
    else if (word == "b") effect(cfe::Bold, on);
    else if (word == "i") effect(cfe::Italic, on);
    else if (word == "ul") effect(cfe::Underline, on);
    else if (word == "ulnone") effect(cfe::Underline, false);
    else if (word == "strike") effect(cfe::StrikeOut, on);
    else if (word == "protect") effect(cfe::Protected, on);
    else if (word == "f") g.cf.face = faceOf(arg);
    else if (word == "fs") g.cf.height = std::clamp(arg, 1, 3276) * 10;
    else if (word == "cf") setColour(g.cf.colour, cfe::AutoColour);
    else if (word == "highlight" || word == "cb" || word == "chcbpat") setColour(g.cf.backColour, cfe::AutoBackColour);
    else if (word == "ql" || word == "qj") para.alignment = kAlignLeft;
    else if (word == "qc") para.alignment = kAlignCentre;
    else if (word == "qr") para.alignment = kAlignRight;
    else if (word == "li") leftIndent = arg;
    else if (word == "ri") para.rightIndent = arg;
    else if (word == "fi") firstIndent = arg;
    else if (word == "tx") {
      if (para.tabs.size() < 32) para.tabs.push_back(arg);
    }
    else if (word == "uc") g.ucSkip = std::clamp(arg, 0, 8);
    else if (word == "u") {
      const int code = arg < 0 ? arg + 65536 : arg;
      emit(code < 256 ? static_cast<char>(code) : '?');
      pendingSkip = g.ucSkip;
    }
    else if (word == "emdash" || word == "endash") emit('-');
    else if (word == "lquote" || word == "rquote") emit('\'');
    else if (word == "ldblquote" || word == "rdblquote") emit('"');
    else if (word == "bullet") emit(static_cast<char>(0x95));
  }
  // The last paragraph has no end mark.
  indents();
  out.paras.push_back(pools.paraFormat(para));
  // An RTF file ends its last paragraph with \par; the text then ends with
  // an empty paragraph, which the control drops.
  if (!out.text.empty() && out.text.back() == '\r') {
    out.text.pop_back();
    out.chars.pop_back();
    out.paras.pop_back();
  }
  return true;
}

}  // namespace plat::detail
