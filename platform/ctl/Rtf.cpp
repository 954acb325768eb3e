#include "platform/ctl/Rtf.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

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
  for (const CharFormat& f : doc.chars) {
    IndexOf(faces, f.face);
    if (!(f.effects & cfe::AutoColour)) ColourIndex(colours, f.colour);
    if (!(f.effects & cfe::AutoBackColour)) ColourIndex(colours, f.backColour);
  }
  if (faces.empty()) faces.push_back("Arial");
  std::string body;
  const CharFormat* last = nullptr;
  size_t para = 0;
  body += ParaWords(doc.paras.empty() ? ParaFormat{} : doc.paras[0]);
  for (size_t i = 0; i < doc.text.size(); ++i) {
    const CharFormat& f = doc.chars[i];
    if (!last || !SameFormat(*last, f)) {
      body += "\\plain\\f" + std::to_string(IndexOf(faces, f.face)) + "\\fs" + std::to_string(std::max(1, f.height / 10));
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
      body += ParaWords(para < doc.paras.size() ? doc.paras[para] : ParaFormat{});
      last = nullptr;
    } else {
      AppendEscaped(body, doc.text[i]);
    }
  }
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

bool readRtf(std::string_view in, const CharFormat& base, const ParaFormat& basePara, RichText& out) {
  if (in.substr(0, 5) != "{\\rtf") return false;
  out = RichText{};
  std::vector<std::string> faces;
  std::vector<int> faceIds;
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
  int pendingSkip = 0;
  int defaultFont = 0;
  std::string defaultFace = base.face;   // characters after \uN still to be dropped
  bool starred = false;

  auto emit = [&](char c) {
    if (g.skip || g.destination != 0) return;
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    out.text += c;
    out.chars.push_back(g.cf);
  };
  auto endPara = [&]() {
    if (g.skip || g.destination != 0) return;
    out.text += '\r';
    out.chars.push_back(g.cf);
    indents();
    out.paras.push_back(para);
  };
  auto faceOf = [&](int id) -> std::string {
    for (size_t k = 0; k < faceIds.size(); ++k)
      if (faceIds[k] == id) return faces[k];
    return base.face;
  };

  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    const char c = in[i];
    if (c == '{') {
      stack.push_back(g);
      starred = false;
      ++i;
      continue;
    }
    if (c == '}') {
      if (g.destination == 1 && !fontName.empty()) {
        faces.push_back(fontName);
        faceIds.push_back(fontId);
        fontName.clear();
      }
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
        if (c == ';') {
          faces.push_back(fontName);
          faceIds.push_back(fontId);
          fontName.clear();
        } else {
          fontName += c;
        }
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
          if (i + 2 <= n) {
            unsigned v = 0;
            std::from_chars(in.data() + i, in.data() + i + 2, v, 16);
            i += 2;
            if (g.destination == 1 && !g.skip) fontName += static_cast<char>(v);
            else emit(static_cast<char>(v));
          }
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
  out.paras.push_back(para);
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
