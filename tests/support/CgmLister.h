// A lister of binary Computer Graphics Metafiles (ISO/IEC 8632-3), the
// oracle of every CGM the program writes. It is written from the standard,
// not from our writer:
//  - an element starts with a 16-bit header word, most significant byte
//    first: class in bits 15..12, id in bits 11..5, parameter list length
//    in bits 4..0;
//  - a length of 31 is the long form: each partition follows as a 16-bit
//    word (bit 15: another partition follows; bits 14..0: its length) and
//    its data; partitions other than the last have an even length;
//  - a parameter list of odd length is followed by one zero octet, so that
//    every element starts on a 16-bit boundary;
//  - a string is a count octet and the characters; a count of 255 is
//    followed by a 16-bit word (bit 15: continued; bits 14..0: length).
// The listing decodes the parameters of the elements the program writes,
// with the precisions announced by the metafile descriptor (integer,
// index, VDC integer, colour), and names every other element.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace testsupport::cgm {

struct Element {
  int cls = 0;
  int id = 0;
  size_t offset = 0;       // of the header word
  bool longForm = false;
  std::vector<size_t> partitions;  // lengths of the partitions (one for the short form)
  std::vector<uint8_t> params;     // the parameter list, partitions joined
};

struct Metafile {
  std::vector<Element> elements;
  std::string error;  // empty when the bytes are well formed
};

inline Metafile Decode(std::span<const uint8_t> b) {
  Metafile m;
  size_t at = 0;
  auto word = [&](size_t p) { return static_cast<unsigned>(b[p] << 8 | b[p + 1]); };
  auto fail = [&](const std::string& why) {
    m.error = "at " + std::to_string(at) + ": " + why;
    return m;
  };
  while (at < b.size()) {
    if (at % 2 != 0) return fail("element not on a 16-bit boundary");
    if (b.size() - at < 2) return fail("truncated element header");
    Element e;
    e.offset = at;
    const unsigned h = word(at);
    e.cls = static_cast<int>(h >> 12);
    e.id = static_cast<int>((h >> 5) & 0x7F);
    size_t len = h & 0x1F;
    size_t p = at + 2;
    size_t last = 0;
    if (len != 31) {
      if (b.size() - p < len) return fail("parameters beyond the end");
      e.params.assign(b.begin() + static_cast<long>(p), b.begin() + static_cast<long>(p + len));
      e.partitions.push_back(len);
      p += len;
      last = len;
    } else {
      e.longForm = true;
      bool more = true;
      while (more) {
        if (b.size() - p < 2) return fail("truncated partition header");
        const unsigned w = word(p);
        more = (w & 0x8000) != 0;
        const size_t n = w & 0x7FFF;
        p += 2;
        if (b.size() - p < n) return fail("partition beyond the end");
        if (more && n % 2 != 0) return fail("odd partition before the last");
        e.params.insert(e.params.end(), b.begin() + static_cast<long>(p), b.begin() + static_cast<long>(p + n));
        e.partitions.push_back(n);
        p += n;
        last = n;
      }
    }
    if (last % 2 != 0) {
      if (p >= b.size()) return fail("missing pad octet");
      if (b[p] != 0) return fail("pad octet not zero");
      ++p;
    }
    m.elements.push_back(std::move(e));
    at = p;
  }
  return m;
}

inline std::string Name(int cls, int id) {
  struct Entry {
    int cls, id;
    const char* name;
  };
  static const Entry kNames[] = {
      {0, 0, "NO-OP"}, {0, 1, "BEGIN METAFILE"}, {0, 2, "END METAFILE"}, {0, 3, "BEGIN PICTURE"},
      {0, 4, "BEGIN PICTURE BODY"}, {0, 5, "END PICTURE"}, {0, 6, "BEGIN SEGMENT"}, {0, 7, "END SEGMENT"},
      {0, 8, "BEGIN FIGURE"}, {0, 9, "END FIGURE"},
      {1, 1, "METAFILE VERSION"}, {1, 2, "METAFILE DESCRIPTION"}, {1, 3, "VDC TYPE"},
      {1, 4, "INTEGER PRECISION"}, {1, 5, "REAL PRECISION"}, {1, 6, "INDEX PRECISION"},
      {1, 7, "COLOUR PRECISION"}, {1, 8, "COLOUR INDEX PRECISION"}, {1, 9, "MAXIMUM COLOUR INDEX"},
      {1, 10, "COLOUR VALUE EXTENT"}, {1, 11, "METAFILE ELEMENT LIST"}, {1, 12, "METAFILE DEFAULTS REPLACEMENT"},
      {1, 13, "FONT LIST"}, {1, 14, "CHARACTER SET LIST"}, {1, 15, "CHARACTER CODING ANNOUNCER"},
      {2, 1, "SCALING MODE"}, {2, 2, "COLOUR SELECTION MODE"}, {2, 3, "LINE WIDTH SPEC MODE"},
      {2, 4, "MARKER SIZE SPEC MODE"}, {2, 5, "EDGE WIDTH SPEC MODE"}, {2, 6, "VDC EXTENT"},
      {2, 7, "BACKGROUND COLOUR"},
      {3, 1, "VDC INTEGER PRECISION"}, {3, 2, "VDC REAL PRECISION"}, {3, 3, "AUXILIARY COLOUR"},
      {3, 4, "TRANSPARENCY"}, {3, 5, "CLIP RECTANGLE"}, {3, 6, "CLIP INDICATOR"},
      {4, 1, "POLYLINE"}, {4, 2, "DISJOINT POLYLINE"}, {4, 3, "POLYMARKER"}, {4, 4, "TEXT"},
      {4, 5, "RESTRICTED TEXT"}, {4, 6, "APPEND TEXT"}, {4, 7, "POLYGON"}, {4, 8, "POLYGON SET"},
      {4, 9, "CELL ARRAY"}, {4, 10, "GENERALIZED DRAWING PRIMITIVE"}, {4, 11, "RECTANGLE"}, {4, 12, "CIRCLE"},
      {4, 15, "CIRCULAR ARC CENTRE"}, {4, 17, "ELLIPSE"}, {4, 18, "ELLIPTICAL ARC"},
      {5, 1, "LINE BUNDLE INDEX"}, {5, 2, "LINE TYPE"}, {5, 3, "LINE WIDTH"}, {5, 4, "LINE COLOUR"},
      {5, 6, "MARKER TYPE"}, {5, 7, "MARKER SIZE"}, {5, 8, "MARKER COLOUR"}, {5, 10, "TEXT FONT INDEX"},
      {5, 11, "TEXT PRECISION"}, {5, 12, "CHARACTER EXPANSION FACTOR"}, {5, 13, "CHARACTER SPACING"},
      {5, 14, "TEXT COLOUR"}, {5, 15, "CHARACTER HEIGHT"}, {5, 16, "CHARACTER ORIENTATION"},
      {5, 17, "TEXT PATH"}, {5, 18, "TEXT ALIGNMENT"}, {5, 22, "INTERIOR STYLE"}, {5, 23, "FILL COLOUR"},
      {5, 24, "HATCH INDEX"}, {5, 25, "PATTERN INDEX"}, {5, 27, "EDGE TYPE"}, {5, 28, "EDGE WIDTH"},
      {5, 29, "EDGE COLOUR"}, {5, 30, "EDGE VISIBILITY"}, {5, 31, "FILL REFERENCE POINT"},
      {5, 37, "LINE CAP"}, {5, 38, "LINE JOIN"}, {5, 43, "INTERPOLATED INTERIOR"},
      {6, 1, "ESCAPE"}, {7, 1, "MESSAGE"}, {7, 2, "APPLICATION DATA"}};
  for (const Entry& e : kNames)
    if (e.cls == cls && e.id == id) return e.name;
  return "ELEMENT(" + std::to_string(cls) + "," + std::to_string(id) + ")";
}

// Reading parameters with the precisions in force.
struct Precisions {
  int integer = 16, index = 16, vdc = 16, colour = 8;
};

struct ParamReader {
  explicit ParamReader(const std::vector<uint8_t>& params, Precisions precisions = {})
      : p(params), prec(precisions) {}
  const std::vector<uint8_t>& p;
  Precisions prec;
  size_t at = 0;
  bool ok = true;
  bool more() const { return at < p.size(); }
  long signedOf(int bits) {
    const size_t n = static_cast<size_t>(bits / 8);
    if (p.size() - at < n || at > p.size()) {
      ok = false;
      at = p.size();
      return 0;
    }
    long v = 0;
    for (size_t i = 0; i < n; ++i) v = (v << 8) | p[at + i];
    if (v & (1L << (bits - 1))) v -= 1L << bits;
    at += n;
    return v;
  }
  long integer() { return signedOf(prec.integer); }
  long index() { return signedOf(prec.index); }
  long vdc() { return signedOf(prec.vdc); }
  unsigned long unsignedOf(int bits) {
    const long v = signedOf(bits);
    return static_cast<unsigned long>(v) & ((1UL << bits) - 1);
  }
  std::string colour() {
    std::string s;
    for (int i = 0; i < 3; ++i) s += (i ? " " : "") + std::to_string(unsignedOf(prec.colour));
    return s;
  }
  std::string point() {
    const long x = vdc();
    const long y = vdc();
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  }
  // Fixed-point real of 16-bit whole and 16-bit fraction parts.
  std::string real() {
    const long whole = signedOf(16);
    const unsigned long frac = unsignedOf(16);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(whole) + static_cast<double>(frac) / 65536.0);
    return buf;
  }
  std::string string() {
    if (at >= p.size()) {
      ok = false;
      return {};
    }
    size_t n = p[at++];
    if (n == 255) {
      std::string s;
      bool more = true;
      while (more) {
        const unsigned long w = unsignedOf(16);
        more = (w & 0x8000) != 0;
        const size_t k = w & 0x7FFF;
        if (p.size() - at < k) {
          ok = false;
          return s;
        }
        s.append(p.begin() + static_cast<long>(at), p.begin() + static_cast<long>(at + k));
        at += k;
      }
      return s;
    }
    if (p.size() - at < n) {
      ok = false;
      n = p.size() - at;
    }
    std::string s(p.begin() + static_cast<long>(at), p.begin() + static_cast<long>(at + n));
    at += n;
    return s;
  }
  std::string rest() {
    std::string s;
    char buf[4];
    while (at < p.size()) {
      std::snprintf(buf, sizeof buf, "%02X", p[at++]);
      s += buf;
    }
    return s;
  }
};

// One line per element: offset, name, (class,id), the length (and "long"
// with the partition lengths for the long form), then the parameters.
inline std::string List(std::span<const uint8_t> bytes) {
  const Metafile m = Decode(bytes);
  Precisions prec;
  std::string out;
  for (const Element& e : m.elements) {
    ParamReader r(e.params, prec);
    std::string line;
    char head[96];
    std::snprintf(head, sizeof head, "%06zu %s (%d,%d) len=%zu", e.offset, Name(e.cls, e.id).c_str(), e.cls, e.id,
                  e.params.size());
    line = head;
    if (e.longForm) {
      line += " long";
      if (e.partitions.size() > 1) line += " parts=" + std::to_string(e.partitions.size());
    }
    std::string args;
    auto add = [&](const std::string& s) { args += " " + s; };
    const int k = e.cls * 100 + e.id;
    switch (k) {
      case 1: case 3: case 102: add('"' + r.string() + '"'); break;
      case 101: case 103: case 203: case 205: case 202: case 304: case 306: case 522: case 530:
        add(std::to_string(r.integer()));
        break;
      case 104: prec.integer = static_cast<int>(r.integer()); add(std::to_string(prec.integer)); break;
      case 106: prec.index = static_cast<int>(r.integer()); add(std::to_string(prec.index)); break;
      case 107: prec.colour = static_cast<int>(r.integer()); add(std::to_string(prec.colour)); break;
      case 301: prec.vdc = static_cast<int>(r.integer()); add(std::to_string(prec.vdc)); break;
      case 105: for (int i = 0; i < 3; ++i) add(std::to_string(r.integer())); break;
      case 110: add(r.colour()); add(r.colour()); break;
      case 113: while (r.more() && r.ok) add('"' + r.string() + '"'); break;
      case 206: case 305: case 411: add(r.point()); add(r.point()); break;
      case 303: case 504: case 514: case 523: case 529: add(r.colour()); break;
      case 401: case 407: while (r.more() && r.ok) add(r.point()); break;
      case 404: add(r.point()); add(std::to_string(r.integer())); add('"' + r.string() + '"'); break;
      case 405:
        add(std::to_string(r.vdc()));
        add(std::to_string(r.vdc()));
        add(r.point());
        add(std::to_string(r.integer()));
        add('"' + r.string() + '"');
        break;
      case 409: {
        for (int i = 0; i < 3; ++i) add(r.point());
        const long nx = r.integer(), ny = r.integer();
        add(std::to_string(nx));
        add(std::to_string(ny));
        add(std::to_string(r.integer()));
        add(std::to_string(r.integer()));
        add("rows:" + r.rest());
        break;
      }
      case 417: for (int i = 0; i < 3; ++i) add(r.point()); break;
      case 502: case 527: add(std::to_string(r.index())); break;
      case 503: case 515: case 528: add(std::to_string(r.vdc())); break;
      case 510: add(std::to_string(r.index())); break;
      case 516: for (int i = 0; i < 4; ++i) add(std::to_string(r.vdc())); break;
      case 518: add(std::to_string(r.integer())); add(std::to_string(r.integer())); add(r.real()); add(r.real()); break;
      case 531: add(r.point()); break;
      case 543:
        add(std::to_string(r.integer()));
        add(r.point());
        add(r.point());
        add(std::to_string(r.integer()));
        while (r.at + 3 <= e.params.size()) add("[" + r.colour() + "]");
        break;
      default: break;
    }
    if (r.more()) add("+" + r.rest());
    if (!r.ok) add("!truncated");
    out += line + args + "\n";
  }
  if (!m.error.empty()) out += "ERROR " + m.error + "\n";
  return out;
}

}  // namespace testsupport::cgm
