#include "VOZUVar/RecordFormatter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/Os.h"

namespace {

// ---------------------------------------------------------------------------
// Compiled formats

enum class Op : uint8_t {
  Data,       // I Z F E G L A
  Literal,    // 'text', "text", nH
  Skip,       // nX, TRn
  TabLeft,    // TLn
  TabTo,      // Tn
  Slash,
  Scale,      // kP
  BlankNull,  // BN
  GroupOpen,
  GroupClose,
  End,        // the outermost closing parenthesis
};

struct Item {
  Op op = Op::End;
  char code = 0;      // data descriptor letter, upper case
  bool hasW = false;  // I and A may stand without a width
  bool hasM = false;  // Iw.m, Zw.m
  char quote = 0;     // literal: the quote character, 0 for nH
  int32_t rep = 1;    // data descriptors, groups, slashes
  int32_t w = 0;      // width; n of Skip/TabLeft/TabTo; k of Scale
  int32_t d = 0;      // digits after the point; m of Iw.m
  int32_t e = 0;      // exponent digits of Ee (0: not given)
  int32_t litOff = 0;
  int32_t litLen = 0;
};


struct Format {
  std::string_view text;
  std::array<Item, kRecordMaxItems> items;
  int count = 0;
  int reversion = 1;  // where the format starts again when values remain
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Parser {
  std::string_view s;
  std::size_t pos = 0;

  // The next character that is not a blank, upper-cased; 0 at the end.
  char Peek() {
    while (pos < s.size() && s[pos] == ' ') ++pos;
    return pos < s.size() ? Upper(s[pos]) : 0;
  }
  // An unsigned number (blanks between digits ignored), saturating far
  // above every bound so that an absurd count is simply out of range.
  bool Number(int32_t& v) {
    if (!IsDigit(Peek())) return false;
    int64_t acc = 0;
    while (IsDigit(Peek())) {
      acc = acc * 10 + (s[pos] - '0');
      if (acc > 1000000000) acc = 1000000000;
      ++pos;
    }
    v = static_cast<int32_t>(acc);
    return true;
  }
};

enum class Prev { Open, Comma, Item, Slash, Scale };

// A count of a format: below 1 the format is invalid; above its limit the
// status names the limit it passed.
int32_t Count(int32_t v, int32_t hi, int32_t over) {
  if (v < 1) return kRecordBadFormat;
  return v > hi ? over : kRecordOk;
}
int32_t WidthCount(int32_t v) { return Count(v, kRecordMaxWidth, kRecordFormatWidthLimit); }
int32_t RepeatCount(int32_t v) { return Count(v, kRecordMaxRepeat, kRecordFormatRepeatLimit); }

int32_t ParseDataDescriptor(Parser& p, char code, Item& it) {
  it.op = Op::Data;
  it.code = code;
  ++p.pos;  // the letter
  int32_t v = 0;
  switch (code) {
    case 'I':
    case 'Z':
      if (p.Number(v)) {
        if (const int32_t bad = WidthCount(v); bad != kRecordOk) return bad;
        it.w = v;
        it.hasW = true;
        if (p.Peek() == '.') {
          ++p.pos;
          if (!p.Number(v) || v > it.w) return kRecordBadFormat;
          it.d = v;
          it.hasM = true;
        }
      } else {
        if (code == 'Z' || p.Peek() == '.') return kRecordBadFormat;
        it.w = 12;  // a 32-bit integer without a width
      }
      return kRecordOk;
    case 'F':
    case 'E':
    case 'G':
      if (!p.Number(v)) return kRecordBadFormat;
      if (const int32_t bad = WidthCount(v); bad != kRecordOk) return bad;
      it.w = v;
      it.hasW = true;
      if (p.Peek() != '.') return kRecordBadFormat;
      ++p.pos;
      if (!p.Number(v)) return kRecordBadFormat;
      if (v > kRecordMaxWidth) return kRecordFormatWidthLimit;
      it.d = v;
      if (code != 'F' && p.Peek() == 'E') {
        ++p.pos;
        if (!p.Number(v)) return kRecordBadFormat;
        const int32_t bad = Count(v, kRecordMaxExponentDigits, kRecordFormatExponentLimit);
        if (bad != kRecordOk) return bad;
        it.e = v;
      }
      return kRecordOk;
    case 'L':
      if (!p.Number(v)) return kRecordBadFormat;
      if (const int32_t bad = WidthCount(v); bad != kRecordOk) return bad;
      it.w = v;
      it.hasW = true;
      return kRecordOk;
    case 'A':
      if (p.Number(v)) {
        if (const int32_t bad = WidthCount(v); bad != kRecordOk) return bad;
        it.w = v;
        it.hasW = true;
      }
      return kRecordOk;
    default:
      return kRecordBadFormat;
  }
}

int32_t ParseFormat(std::string_view text, Format& f) {
  f.text = text;
  if (text.size() > static_cast<std::size_t>(kRecordMaxFormatLength)) return kRecordFormatTooLong;
  Parser p{text};
  if (p.Peek() != '(') return kRecordBadFormat;
  ++p.pos;
  f.items[0].op = Op::GroupOpen;
  f.count = 1;
  int depth = 0;  // groups open inside the outermost parentheses
  Prev prev = Prev::Open;

  for (;;) {
    char c = p.Peek();
    if (c == 0) return kRecordBadFormat;  // unbalanced
    if (f.count >= kRecordMaxItems) return kRecordFormatTooManyItems;
    Item& it = f.items[f.count];
    it = Item{};

    if (c == ',') {
      if (prev == Prev::Open || prev == Prev::Comma) return kRecordBadFormat;
      ++p.pos;
      prev = Prev::Comma;
      continue;
    }
    if (c == ')') {
      if (prev == Prev::Comma) return kRecordBadFormat;
      ++p.pos;
      if (depth == 0) {
        it.op = Op::End;
        ++f.count;
        // Only blanks may follow the outermost parenthesis.
        return p.Peek() == 0 ? kRecordOk : kRecordBadFormat;
      }
      it.op = Op::GroupClose;
      ++f.count;
      --depth;
      prev = Prev::Item;
      continue;
    }
    if (c == '/') {
      ++p.pos;
      it.op = Op::Slash;
      ++f.count;
      prev = Prev::Slash;
      continue;
    }

    // An item; after an item (not a P or a slash) a comma must come first.
    if (prev == Prev::Item) return kRecordBadFormat;
    bool negative = false;
    bool signGiven = false;
    if (c == '-' || c == '+') {
      negative = c == '-';
      signGiven = true;
      ++p.pos;
    }
    int32_t n = 1;
    bool hasCount = p.Number(n);
    if (signGiven && !hasCount) return kRecordBadFormat;
    c = p.Peek();
    if (signGiven && c != 'P') return kRecordBadFormat;

    switch (c) {
      case 'P':
        if (!hasCount) return kRecordBadFormat;
        if (n > kRecordMaxScale) return kRecordFormatScaleLimit;
        ++p.pos;
        it.op = Op::Scale;
        it.w = negative ? -n : n;
        prev = Prev::Scale;
        break;
      case 'X':
        if (!hasCount) return kRecordBadFormat;
        if (const int32_t bad = WidthCount(n); bad != kRecordOk) return bad;
        ++p.pos;
        it.op = Op::Skip;
        it.w = n;
        prev = Prev::Item;
        break;
      case 'H':
        // nH: the next n characters, blanks included, are literal text.
        if (!hasCount) return kRecordBadFormat;
        if (const int32_t bad = WidthCount(n); bad != kRecordOk) return bad;
        ++p.pos;
        if (text.size() - p.pos < static_cast<std::size_t>(n)) return kRecordBadFormat;
        it.op = Op::Literal;
        it.litOff = static_cast<int32_t>(p.pos);
        it.litLen = n;
        p.pos += n;
        prev = Prev::Item;
        break;
      case '\'':
      case '"': {
        if (hasCount) return kRecordBadFormat;
        const char q = text[p.pos];
        std::size_t i = ++p.pos;
        for (;;) {
          if (i >= text.size()) return kRecordBadFormat;
          if (text[i] == q) {
            if (i + 1 < text.size() && text[i + 1] == q) {
              i += 2;
              continue;
            }
            break;
          }
          ++i;
        }
        it.op = Op::Literal;
        it.quote = q;
        it.litOff = static_cast<int32_t>(p.pos);
        it.litLen = static_cast<int32_t>(i - p.pos);
        p.pos = i + 1;
        prev = Prev::Item;
        break;
      }
      case '(':
        if (const int32_t bad = RepeatCount(n); bad != kRecordOk) return bad;
        if (depth >= kRecordMaxNesting) return kRecordFormatNestingLimit;
        ++p.pos;
        it.op = Op::GroupOpen;
        it.rep = n;
        if (depth == 0) f.reversion = f.count;
        ++depth;
        prev = Prev::Open;
        break;
      case '/':
        if (const int32_t bad = RepeatCount(n); bad != kRecordOk) return bad;
        ++p.pos;
        it.op = Op::Slash;
        it.rep = n;
        prev = Prev::Slash;
        break;
      case 'T': {
        if (hasCount) return kRecordBadFormat;
        ++p.pos;
        const char k = p.Peek();
        int32_t limit = kRecordMaxWidth;
        int32_t over = kRecordFormatWidthLimit;
        if (k == 'L' || k == 'R') {
          ++p.pos;
          it.op = k == 'L' ? Op::TabLeft : Op::Skip;
        } else {
          it.op = Op::TabTo;
          limit = kRecordMaxLength;
          over = kRecordFormatPositionLimit;
        }
        int32_t v = 0;
        if (!p.Number(v)) return kRecordBadFormat;
        if (const int32_t bad = Count(v, limit, over); bad != kRecordOk) return bad;
        it.w = v;
        prev = Prev::Item;
        break;
      }
      case 'B':
        if (hasCount) return kRecordBadFormat;
        ++p.pos;
        if (p.Peek() != 'N') return kRecordBadFormat;
        ++p.pos;
        it.op = Op::BlankNull;
        prev = Prev::Item;
        break;
      case 'I':
      case 'Z':
      case 'F':
      case 'E':
      case 'G':
      case 'L':
      case 'A': {
        if (const int32_t bad = RepeatCount(n); bad != kRecordOk) return bad;
        const int32_t st = ParseDataDescriptor(p, c, it);
        if (st != kRecordOk) return st;
        it.rep = n;
        prev = Prev::Item;
        break;
      }
      default:
        return kRecordBadFormat;
    }
    ++f.count;
  }
}

// ---------------------------------------------------------------------------
// Values and variables, element by element

struct Scalar {
  RecordValue::Kind kind = RecordValue::Kind::Int32;  // a scalar kind
  int32_t i = 0;
  double x = 0.0;
  bool l = false;
  std::string_view t;
};

bool IsArrayKind(RecordValue::Kind k) { return k >= RecordValue::Kind::Int32s; }

std::size_t ElementCount(std::span<const RecordValue> values) {
  std::size_t n = 0;
  for (const RecordValue& v : values) n += IsArrayKind(v.kind) ? v.count : 1;
  return n;
}

struct ValueCursor {
  std::span<const RecordValue> v;
  std::size_t index = 0;
  std::size_t elem = 0;

  bool More() {
    while (index < v.size()) {
      if (!IsArrayKind(v[index].kind) || elem < v[index].count) return true;
      ++index;
      elem = 0;
    }
    return false;
  }
  Scalar Take() {  // only after More() said yes
    const RecordValue& rv = v[index];
    Scalar s;
    using K = RecordValue::Kind;
    switch (rv.kind) {
      case K::Int32: s.kind = K::Int32; s.i = rv.i; break;
      case K::Real32: s.kind = K::Real32; s.x = rv.f; break;
      case K::Real64: s.kind = K::Real64; s.x = rv.d; break;
      case K::Logical: s.kind = K::Logical; s.l = rv.l; break;
      case K::Text:
        s.kind = K::Text;
        s.t = std::string_view(static_cast<const char*>(rv.data), rv.count);
        break;
      case K::Int32s: s.kind = K::Int32; s.i = static_cast<const int32_t*>(rv.data)[elem]; break;
      case K::Real32s: s.kind = K::Real32; s.x = static_cast<const float*>(rv.data)[elem]; break;
      case K::Real64s: s.kind = K::Real64; s.x = static_cast<const double*>(rv.data)[elem]; break;
    }
    if (IsArrayKind(rv.kind)) {
      ++elem;
    } else {
      ++index;
    }
    return s;
  }
};

using TKind = RecordTarget::Kind;

bool IsArrayTarget(TKind k) { return k >= TKind::Int32s; }

struct TargetRef {
  TKind kind;  // a scalar kind
  void* p;
  std::size_t len;  // text length
};

struct TargetCursor {
  std::span<const RecordTarget> v;
  std::size_t index = 0;
  std::size_t elem = 0;

  bool More() {
    while (index < v.size()) {
      if (!IsArrayTarget(v[index].kind) || elem < v[index].count) return true;
      ++index;
      elem = 0;
    }
    return false;
  }
  TargetRef Take() {
    const RecordTarget& t = v[index];
    TargetRef r{t.kind, t.data, t.count};
    switch (t.kind) {
      case TKind::Int32s: r = {TKind::Int32, static_cast<int32_t*>(t.data) + elem, 1}; break;
      case TKind::Real32s: r = {TKind::Real32, static_cast<float*>(t.data) + elem, 1}; break;
      case TKind::Real64s: r = {TKind::Real64, static_cast<double*>(t.data) + elem, 1}; break;
      default: break;
    }
    if (IsArrayTarget(t.kind)) {
      ++elem;
    } else {
      ++index;
    }
    return r;
  }
};

// ---------------------------------------------------------------------------
// Output editing. Each routine builds the field's characters without
// padding and says whether they fit the width; a field that does not fit is
// written as asterisks by the caller.

constexpr int kFieldCap = kRecordMaxWidth + 640;

struct Field {
  std::array<char, kFieldCap> b;
  int n = 0;
  void Add(char c) { b[n++] = c; }
  void Add(const char* p, int len) {
    std::memcpy(b.data() + n, p, len);
    n += len;
  }
  void AddRepeat(char c, int len) {
    std::memset(b.data() + n, c, len);
    n += len;
  }
  std::string_view View() const { return {b.data(), static_cast<std::size_t>(n)}; }
};

bool EditNonFinite(double x, int w, Field& out) {
  out.n = 0;
  if (std::isnan(x)) {
    if (w < 3) return false;
    out.Add("NaN", 3);
    return true;
  }
  const bool neg = x < 0;
  const int sign = neg ? 1 : 0;
  if (w >= 8 + sign) {
    if (neg) out.Add('-');
    out.Add("Infinity", 8);
    return true;
  }
  if (w >= 3 + sign) {
    if (neg) out.Add('-');
    out.Add("Inf", 3);
    return true;
  }
  return false;
}

bool EditInt(int32_t v, int w, bool hasM, int m, bool hex, Field& out) {
  out.n = 0;
  const bool neg = !hex && v < 0;
  uint64_t mag = hex ? static_cast<uint32_t>(v)
                     : static_cast<uint64_t>(neg ? -static_cast<int64_t>(v) : v);
  char digits[24];
  int nd = 0;
  if (!(hasM && m == 0 && v == 0)) {  // Iw.0 writes zero as blanks
    const char* set = "0123456789ABCDEF";
    const unsigned base = hex ? 16 : 10;
    do {
      digits[nd++] = set[mag % base];
      mag /= base;
    } while (mag != 0);
  }
  const int zeros = hasM && m > nd ? m - nd : 0;
  if ((neg ? 1 : 0) + zeros + nd > w) return false;
  if (neg) out.Add('-');
  out.AddRepeat('0', zeros);
  while (nd > 0) out.Add(digits[--nd]);
  return true;
}

bool AllZeroDigits(std::string_view s) {
  for (char c : s)
    if (c >= '1' && c <= '9') return false;
  return true;
}

// Fw.d of a finite value (any scale factor already applied).
bool EditFixed(double v, int w, int d, Field& out) {
  out.n = 0;
  if (d + 1 > w) return false;  // the point and the decimals alone
  const double a = std::fabs(v);
  if (w - d < 309 && a >= std::pow(10.0, w - d)) return false;
  char buf[kFieldCap];
  const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, d);
  if (r.ec != std::errc()) return false;
  std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
  const bool neg = std::signbit(v) && !AllZeroDigits(s);
  int len = static_cast<int>(s.size()) + (d == 0 ? 1 : 0) + (neg ? 1 : 0);
  // The zero before the point is dropped when the field is too narrow.
  if (len > w && d > 0 && s.size() > 1 && s[0] == '0' && s[1] == '.') {
    s.remove_prefix(1);
    --len;
  }
  if (len > w) return false;
  if (neg) out.Add('-');
  out.Add(s.data(), static_cast<int>(s.size()));
  if (d == 0) out.Add('.');
  return true;
}

// The value rounded to sig significant digits: its digits and the exponent
// of the form d.ddd x 10^exp10.
bool SignificantDigits(double a, int sig, char* digits, int& exp10) {
  if (a == 0.0) {
    std::memset(digits, '0', sig);
    exp10 = 0;
    return true;
  }
  char buf[kFieldCap];
  const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, sig - 1);
  if (r.ec != std::errc()) return false;
  int nd = 0;
  const char* p = buf;
  for (; p < r.ptr && *p != 'e'; ++p)
    if (*p != '.') digits[nd++] = *p;
  if (p == r.ptr || nd != sig) return false;
  ++p;
  const bool negExp = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  int e = 0;
  std::from_chars(p, r.ptr, e);
  exp10 = negExp ? -e : e;
  return true;
}

// Ew.d[Ee] with scale factor k: 0.ddddE+xx, d.dddE+xx with 1P.
bool EditExp(double v, int w, int d, int e, int k, Field& out) {
  out.n = 0;
  const int sig = k > 0 ? d + 1 : d + k;
  if (sig < 1 || (k > 0 && k > d + 1)) return false;
  const int expLen = e > 0 ? e + 2 : 4;
  const int minLen = (k > 0 ? sig + 1 : sig - k + 1) + expLen;
  if (minLen > w) return false;
  char digits[kFieldCap];
  int exp10 = 0;
  const double a = std::fabs(v);
  if (!SignificantDigits(a, sig, digits, exp10)) return false;
  const int expo = a == 0.0 ? 0 : exp10 + 1 - k;
  const bool neg = std::signbit(v) && a != 0.0;

  Field exp;
  const int ae = expo < 0 ? -expo : expo;
  const char sign = expo < 0 ? '-' : '+';
  if (e > 0) {
    int limit = 1;
    for (int i = 0; i < e; ++i) limit *= 10;
    if (ae >= limit) return false;
    exp.Add('E');
    exp.Add(sign);
    for (int i = e - 1, div = limit / 10; i >= 0; --i, div /= 10) exp.Add(static_cast<char>('0' + (ae / div) % 10));
  } else if (ae <= 99) {
    exp.Add('E');
    exp.Add(sign);
    exp.Add(static_cast<char>('0' + ae / 10));
    exp.Add(static_cast<char>('0' + ae % 10));
  } else if (ae <= 999) {
    // A three-digit exponent drops the letter.
    exp.Add(sign);
    exp.Add(static_cast<char>('0' + ae / 100));
    exp.Add(static_cast<char>('0' + (ae / 10) % 10));
    exp.Add(static_cast<char>('0' + ae % 10));
  } else {
    return false;
  }

  int len = (neg ? 1 : 0) + (k > 0 ? sig + 1 : 2 - k + sig) + exp.n;
  bool leadingZero = k <= 0;
  if (len > w && leadingZero) {
    leadingZero = false;
    --len;
  }
  if (len > w) return false;
  if (neg) out.Add('-');
  if (k > 0) {
    out.Add(digits, k);
    out.Add('.');
    out.Add(digits + k, sig - k);
  } else {
    if (leadingZero) out.Add('0');
    out.Add('.');
    out.AddRepeat('0', -k);
    out.Add(digits, sig);
  }
  out.Add(exp.b.data(), exp.n);
  return true;
}

// The decimal exponent of a finite non-zero magnitude: a = m x 10^exp10
// with 1 <= m < 10. Seventeen significant digits never round a double
// across a power of ten, so the exponent is the value's own.
int DecimalExponent(double a) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 16);
  const char* e = std::find(buf, r.ptr, 'e');
  int exp10 = 0;
  if (e != r.ptr) std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), r.ptr, exp10);
  return exp10;
}

// Gw.d[Ee]: chosen by the magnitude of the value itself: the F form when
// 0.1 <= |x| < 10^d, with d less the number of digits before the point as
// decimals, followed by 4 blanks (e+2 with Ee); else the E form. Zero is
// shown in the F form with d-1 decimals.
bool EditGeneral(double v, int w, int d, int e, int k, Field& out) {
  out.n = 0;
  if (d == 0 || d + 1 > w) return EditExp(v, w, d, e, k, out);
  const int tail = e > 0 ? e + 2 : 4;
  int decimals = d - 1;
  const double a = std::fabs(v);
  if (a != 0.0) {
    const int exp10 = DecimalExponent(a);
    if (exp10 < -1 || exp10 >= d) return EditExp(v, w, d, e, k, out);
    decimals = d - (exp10 + 1);  // 0.1 <= a < 1 has no digit before the point
  }
  if (w - tail < 1) return false;
  Field f;
  if (!EditFixed(v, w - tail, decimals, f)) return false;
  out.AddRepeat(' ', w - tail - f.n);
  out.Add(f.b.data(), f.n);
  out.AddRepeat(' ', tail);
  return true;
}

// ---------------------------------------------------------------------------
// Output records

using EmitFn = int32_t (*)(void* ctx, std::string_view record);

struct OutRecord {
  char* buf = nullptr;
  std::size_t cap = 0;
  std::string* grow = nullptr;  // file records grow up to kRecordMaxLength
  std::size_t pos = 0;
  std::size_t len = 0;          // characters written so far (high-water mark)
  int32_t scale = 0;
  EmitFn emit = nullptr;        // null: a text variable, which holds one record
  void* ctx = nullptr;
};

int32_t Reserve(OutRecord& r, std::size_t end) {
  if (end <= r.cap) return kRecordOk;
  if (r.grow == nullptr || end > static_cast<std::size_t>(kRecordMaxLength)) return kRecordTooLong;
  std::size_t size = r.cap * 2 < 128 ? 128 : r.cap * 2;
  if (size < end) size = end;
  if (size > static_cast<std::size_t>(kRecordMaxLength)) size = kRecordMaxLength;
  r.grow->resize(size, ' ');
  r.buf = r.grow->data();
  r.cap = size;
  return kRecordOk;
}

int32_t Put(OutRecord& r, const char* p, std::size_t n) {
  if (n == 0) return kRecordOk;
  if (r.pos > r.cap || n > r.cap - r.pos) {
    if (r.pos > static_cast<std::size_t>(kRecordMaxLength)) return kRecordTooLong;
    const int32_t st = Reserve(r, r.pos + n);
    if (st != kRecordOk) return st;
  }
  if (r.pos > r.len) std::memset(r.buf + r.len, ' ', r.pos - r.len);
  std::memcpy(r.buf + r.pos, p, n);
  r.pos += n;
  if (r.pos > r.len) r.len = r.pos;
  return kRecordOk;
}

int32_t PutRepeat(OutRecord& r, char c, std::size_t n) {
  char chunk[256];
  std::memset(chunk, c, sizeof chunk);
  while (n > 0) {
    const std::size_t k = n < sizeof chunk ? n : sizeof chunk;
    const int32_t st = Put(r, chunk, k);
    if (st != kRecordOk) return st;
    n -= k;
  }
  return kRecordOk;
}

int32_t NewRecord(OutRecord& r) {
  if (r.emit == nullptr) return kRecordTooLong;  // a text variable has no second record
  const int32_t st = r.emit(r.ctx, std::string_view(r.buf, r.len));
  r.pos = r.len = 0;
  return st;
}

int32_t PutLiteral(OutRecord& r, std::string_view fmt, const Item& it) {
  std::string_view lit = fmt.substr(it.litOff, it.litLen);
  if (it.quote == 0) return Put(r, lit.data(), lit.size());
  // A doubled quote stands for one.
  std::size_t start = 0;
  for (std::size_t i = 0; i < lit.size(); ++i) {
    if (lit[i] == it.quote) {
      const int32_t st = Put(r, lit.data() + start, i + 1 - start);
      if (st != kRecordOk) return st;
      ++i;
      start = i + 1;
    }
  }
  return Put(r, lit.data() + start, lit.size() - start);
}

void SkipRight(OutRecord& r, int32_t n) { r.pos += n; }
void SkipLeft(OutRecord& r, int32_t n) { r.pos = r.pos > static_cast<std::size_t>(n) ? r.pos - n : 0; }
void TabTo(OutRecord& r, int32_t n) { r.pos = static_cast<std::size_t>(n - 1); }
void SetScale(OutRecord& r, int32_t k) { r.scale = k; }

int32_t PutField(OutRecord& r, int w, bool fits, const Field& f) {
  if (!fits) return PutRepeat(r, '*', w);
  if (f.n < w) {
    const int32_t st = PutRepeat(r, ' ', w - f.n);
    if (st != kRecordOk) return st;
  }
  return Put(r, f.b.data(), f.n);
}

int32_t EditOut(OutRecord& r, const Item& it, const Scalar& s) {
  using K = RecordValue::Kind;
  Field f;
  bool fits = true;
  switch (it.code) {
    case 'I':
    case 'Z':
      if (s.kind != K::Int32) return kRecordWrongType;
      fits = EditInt(s.i, it.w, it.hasM, it.d, it.code == 'Z', f);
      break;
    case 'F':
    case 'E':
    case 'G':
      if (s.kind != K::Real32 && s.kind != K::Real64) return kRecordWrongType;
      if (!std::isfinite(s.x)) {
        fits = EditNonFinite(s.x, it.w, f);
      } else if (it.code == 'F') {
        const double x = r.scale == 0 ? s.x : s.x * std::pow(10.0, r.scale);
        fits = std::isfinite(x) && EditFixed(x, it.w, it.d, f);
      } else if (it.code == 'E') {
        fits = EditExp(s.x, it.w, it.d, it.e, r.scale, f);
      } else {
        fits = EditGeneral(s.x, it.w, it.d, it.e, r.scale, f);
      }
      break;
    case 'L':
      if (s.kind != K::Logical) return kRecordWrongType;
      f.Add(s.l ? 'T' : 'F');
      break;
    case 'A': {
      if (s.kind != K::Text) return kRecordWrongType;
      if (!it.hasW) return Put(r, s.t.data(), s.t.size());
      const std::size_t w = static_cast<std::size_t>(it.w);
      if (s.t.size() >= w) return Put(r, s.t.data(), w);
      const int32_t st = PutRepeat(r, ' ', w - s.t.size());
      if (st != kRecordOk) return st;
      return Put(r, s.t.data(), s.t.size());
    }
    default:
      return kRecordBadFormat;
  }
  return PutField(r, it.w, fits, f);
}

// ---------------------------------------------------------------------------
// Input records

using NextFn = int32_t (*)(void* ctx, std::string_view& record);

struct InRecord {
  std::string_view rec;
  std::size_t pos = 0;
  NextFn next = nullptr;  // null: a text variable, which is one record
  void* ctx = nullptr;
};

int32_t NewRecord(InRecord& r) {
  if (r.next == nullptr) return kRecordEndOfFile;
  r.pos = 0;
  return r.next(r.ctx, r.rec);
}

int32_t PutLiteral(InRecord&, std::string_view, const Item&) { return kRecordBadFormat; }
void SkipRight(InRecord& r, int32_t n) { r.pos += n; }
void SkipLeft(InRecord& r, int32_t n) { r.pos = r.pos > static_cast<std::size_t>(n) ? r.pos - n : 0; }
void TabTo(InRecord& r, int32_t n) { r.pos = static_cast<std::size_t>(n - 1); }
void SetScale(InRecord&, int32_t) {}  // the scale factor does not apply to input here

// The next w characters; what lies beyond the record reads as blanks.
std::string_view TakeField(InRecord& r, int w) {
  std::string_view f;
  if (r.pos < r.rec.size()) f = r.rec.substr(r.pos, static_cast<std::size_t>(w));
  r.pos += static_cast<std::size_t>(w);
  return f;
}

// Blanks inside numeric fields are ignored; an empty field is zero.
int32_t ParseInt(std::string_view field, int32_t& out) {
  bool neg = false;
  bool sign = false;
  bool digits = false;
  int64_t acc = 0;
  for (char c : field) {
    if (c == ' ') continue;
    if ((c == '+' || c == '-') && !sign && !digits) {
      sign = true;
      neg = c == '-';
      continue;
    }
    if (!IsDigit(c)) return kRecordBadField;
    digits = true;
    acc = acc * 10 + (c - '0');
    if (acc > 2147483648LL) return kRecordBadField;
  }
  if (sign && !digits) return kRecordBadField;
  if (!neg && acc > 2147483647LL) return kRecordBadField;
  out = static_cast<int32_t>(neg ? -acc : acc);
  return kRecordOk;
}

// A real in any form: [sign] digits [. digits] [exponent], the exponent
// being a letter E, D or Q with an optional sign, or a sign alone (1.5+100).
// Without a point, d implied decimals apply.
template <class T>
int32_t ParseReal(std::string_view field, int d, T& out) {
  char s[kRecordMaxWidth + 1];
  int n = 0;
  for (char c : field)
    if (c != ' ' && n < kRecordMaxWidth) s[n++] = c;
  if (n == 0) {
    out = 0;
    return kRecordOk;
  }
  int i = 0;
  bool neg = false;
  if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
  // The mantissa's digits are gathered without the point; the point's
  // place goes into the exponent.
  char num[kRecordMaxWidth + 32];
  int nn = 0;
  if (neg) num[nn++] = '-';
  const int firstDigit = nn;
  int digits = 0;
  int after = 0;
  bool point = false;
  for (; i < n; ++i) {
    if (IsDigit(s[i])) {
      num[nn++] = s[i];
      ++digits;
      if (point) ++after;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return kRecordBadField;
  int64_t expo = 0;
  if (i < n) {
    const char c = Upper(s[i]);
    if (c == 'E' || c == 'D' || c == 'Q') ++i;
    else if (c != '+' && c != '-') return kRecordBadField;
    bool eneg = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) eneg = s[i++] == '-';
    if (i >= n) return kRecordBadField;
    for (; i < n; ++i) {
      if (!IsDigit(s[i])) return kRecordBadField;
      expo = expo * 10 + (s[i] - '0');
      if (expo > 100000) expo = 100000;
    }
    if (eneg) expo = -expo;
  }
  expo -= point ? after : d;
  num[nn++] = 'e';
  const auto er = std::to_chars(num + nn, num + sizeof num, expo);
  nn = static_cast<int>(er.ptr - num);

  T v{};
  const auto r = std::from_chars(num, num + nn, v, std::chars_format::scientific);
  if (r.ec == std::errc::result_out_of_range) {
    // Out of range one way or the other: find the value's magnitude.
    int lead = firstDigit;
    while (lead < firstDigit + digits && num[lead] == '0') ++lead;
    const int64_t magnitude = (firstDigit + digits - lead) + expo;
    if (lead == firstDigit + digits || magnitude <= 0) {
      out = neg ? -T(0) : T(0);  // underflow
      return kRecordOk;
    }
    return kRecordBadField;
  }
  if (r.ec != std::errc() || r.ptr != num + nn || !std::isfinite(v)) return kRecordBadField;
  out = v;
  return kRecordOk;
}

// The first non-blank letter T or F (either case), after an optional point.
int32_t ParseLogical(std::string_view field, bool& out) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  if (i < field.size() && field[i] == '.') ++i;
  if (i >= field.size()) return kRecordBadField;
  const char c = Upper(field[i]);
  if (c == 'T') out = true;
  else if (c == 'F') out = false;
  else return kRecordBadField;
  return kRecordOk;
}

int32_t EditIn(InRecord& r, const Item& it, const TargetRef& t) {
  switch (it.code) {
    case 'I':
      if (t.kind != TKind::Int32) return kRecordWrongType;
      return ParseInt(TakeField(r, it.w), *static_cast<int32_t*>(t.p));
    case 'F':
    case 'E':
    case 'G':
      if (t.kind == TKind::Real32) return ParseReal(TakeField(r, it.w), it.d, *static_cast<float*>(t.p));
      if (t.kind == TKind::Real64) return ParseReal(TakeField(r, it.w), it.d, *static_cast<double*>(t.p));
      return kRecordWrongType;
    case 'L':
      if (t.kind != TKind::Logical) return kRecordWrongType;
      return ParseLogical(TakeField(r, it.w), *static_cast<bool*>(t.p));
    case 'A': {
      if (t.kind != TKind::Text) return kRecordWrongType;
      char* dst = static_cast<char*>(t.p);
      const std::size_t len = t.len;
      const std::size_t w = it.hasW ? static_cast<std::size_t>(it.w) : len;
      // The field is w characters, blank beyond the record.
      std::string_view f = TakeField(r, static_cast<int>(w < static_cast<std::size_t>(kRecordMaxLength) ? w : kRecordMaxLength));
      if (w >= len) {
        // The rightmost len characters of the field.
        const std::size_t skip = w - len;
        for (std::size_t k = 0; k < len; ++k) {
          const std::size_t at = skip + k;
          dst[k] = at < f.size() ? f[at] : ' ';
        }
      } else {
        for (std::size_t k = 0; k < len; ++k) dst[k] = k < w && k < f.size() ? f[k] : ' ';
      }
      return kRecordOk;
    }
    default:
      return kRecordBadFormat;  // Z is for output only
  }
}

// ---------------------------------------------------------------------------
// Format control, shared by reading and writing

struct Runner {
  const Format& f;
  int64_t budget;
  int pc = 1;
  struct Frame {
    int open;
    int32_t left;
  };
  std::array<Frame, kRecordMaxNesting + 1> stack{};
  int sp = 0;
  int32_t dataLeft = 0;
  bool tookData = false;  // a data item was used since the format (re)started
  int64_t steps = 0;
};

int64_t StepBudget(std::size_t elements) { return 1000000 + 64 * static_cast<int64_t>(elements); }

// Acts on the control items up to the next data item and hands that out,
// or *out = null when the statement ends here: the values have run out at
// a data item or at the end of the format.
template <class Side>
int32_t Next(Runner& r, Side& side, bool haveValue, const Item** out) {
  *out = nullptr;
  for (;;) {
    if (++r.steps > r.budget) return kRecordTooComplex;
    const Item& it = r.f.items[r.pc];
    int32_t st = kRecordOk;
    switch (it.op) {
      case Op::Data:
        if (!haveValue) return kRecordOk;
        if (r.dataLeft == 0) r.dataLeft = it.rep;
        if (--r.dataLeft == 0) ++r.pc;
        r.tookData = true;
        *out = &it;
        return kRecordOk;
      case Op::Literal:
        st = PutLiteral(side, r.f.text, it);
        ++r.pc;
        break;
      case Op::Skip:
        SkipRight(side, it.w);
        ++r.pc;
        break;
      case Op::TabLeft:
        SkipLeft(side, it.w);
        ++r.pc;
        break;
      case Op::TabTo:
        TabTo(side, it.w);
        ++r.pc;
        break;
      case Op::Slash:
        r.steps += it.rep;
        for (int32_t k = 0; k < it.rep && st == kRecordOk; ++k) st = NewRecord(side);
        ++r.pc;
        break;
      case Op::Scale:
        SetScale(side, it.w);
        ++r.pc;
        break;
      case Op::BlankNull:
        ++r.pc;
        break;
      case Op::GroupOpen:
        r.stack[r.sp++] = {r.pc, it.rep};
        ++r.pc;
        break;
      case Op::GroupClose: {
        Runner::Frame& top = r.stack[r.sp - 1];
        if (--top.left > 0) {
          r.pc = top.open + 1;
        } else {
          --r.sp;
          ++r.pc;
        }
        break;
      }
      case Op::End:
        if (!haveValue) return kRecordOk;
        // Values remain: a new record, and the format again from its last
        // top-level group. A pass that takes no value would never end.
        if (!r.tookData) return kRecordFormatNoData;
        st = NewRecord(side);
        r.tookData = false;
        r.sp = 0;
        r.dataLeft = 0;
        r.pc = r.f.reversion;
        break;
    }
    if (st != kRecordOk) return st;
  }
}

int32_t RunWrite(OutRecord& rec, std::string_view format, std::span<const RecordValue> values) {
  Format f;
  int32_t st = ParseFormat(format, f);
  if (st != kRecordOk) return st;
  Runner run{f, StepBudget(ElementCount(values))};
  ValueCursor vc{values};
  for (;;) {
    const Item* it = nullptr;
    st = Next(run, rec, vc.More(), &it);
    if (st != kRecordOk) return st;
    if (it == nullptr) break;
    st = EditOut(rec, *it, vc.Take());
    if (st != kRecordOk) return st;
  }
  if (rec.emit != nullptr) return rec.emit(rec.ctx, std::string_view(rec.buf, rec.len));
  return kRecordOk;
}

std::size_t TargetCount(std::span<const RecordTarget> targets) {
  std::size_t n = 0;
  for (const RecordTarget& t : targets) n += IsArrayTarget(t.kind) ? t.count : 1;
  return n;
}

int32_t RunRead(InRecord& rec, std::string_view format, std::span<const RecordTarget> targets) {
  Format f;
  int32_t st = ParseFormat(format, f);
  if (st != kRecordOk) return st;
  Runner run{f, StepBudget(TargetCount(targets))};
  TargetCursor tc{targets};
  for (;;) {
    const Item* it = nullptr;
    st = Next(run, rec, tc.More(), &it);
    if (st != kRecordOk) return st;
    if (it == nullptr) return kRecordOk;
    st = EditIn(rec, *it, tc.Take());
    if (st != kRecordOk) return st;
  }
}

// ---------------------------------------------------------------------------
// Units

struct UnitState {
  std::FILE* file = nullptr;      // a unit read
  plat::WholeFileWriter writer;   // a unit written: a whole file
  RecordUnitMode mode = RecordUnitMode::Read;
  std::string path;
  int32_t failure = kRecordOk;    // the first failed write: the file must not replace the old one
  bool truncated = false;         // the record just read was longer than a record may be
  std::string buffer;             // the record being built or read
};

std::map<int32_t, UnitState>& Units() {
  static std::map<int32_t, UnitState> units;
  return units;
}

std::string gConsoleBuffer;
RecordFatalHook gFatalHook = nullptr;
int gLastSystemError = 0;  // of the last unit open or close that failed

UnitState* FindUnit(int32_t unit) {
  auto it = Units().find(unit);
  return it == Units().end() ? nullptr : &it->second;
}

int32_t EmitToFile(void* ctx, std::string_view record) {
  UnitState& u = *static_cast<UnitState*>(ctx);
  if (plat::WholeFileWrite(u.writer, record) != 0 || plat::WholeFileWrite(u.writer, "\r\n") != 0)
    return kRecordIoFailed;
  return kRecordOk;
}

int32_t EmitToConsole(void*, std::string_view record) {
  std::fwrite(record.data(), 1, record.size(), stdout);
  std::fputc('\n', stdout);
  return kRecordOk;
}

// Sets up a record for writing to a unit; false when the unit cannot take it.
bool UnitOutput(int32_t unit, OutRecord& rec) {
  std::string* buffer = nullptr;
  if (unit == kConsoleUnit) {
    buffer = &gConsoleBuffer;
    rec.emit = EmitToConsole;
  } else {
    UnitState* u = FindUnit(unit);
    if (u == nullptr || u->mode != RecordUnitMode::Write) return false;
    buffer = &u->buffer;
    rec.emit = EmitToFile;
    rec.ctx = u;
  }
  rec.grow = buffer;
  rec.buf = buffer->data();
  rec.cap = buffer->size();
  return true;
}

// The next line of a unit. A line longer than a record may be gives its
// first kRecordMaxLength characters and marks the unit truncated; the rest
// of the line is skipped, so the next read starts at the next line.
int32_t ReadLine(UnitState& u, std::string_view& record) {
  std::string& line = u.buffer;
  line.clear();
  bool any = false;
  bool tooLong = false;
  int c = 0;
  while ((c = std::getc(u.file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() > static_cast<std::size_t>(kRecordMaxLength)) {
      tooLong = true;
      continue;
    }
    line.push_back(static_cast<char>(c));
  }
  if (c == EOF && std::ferror(u.file)) return kRecordIoFailed;
  if (!any) return kRecordEndOfFile;
  if (!tooLong && !line.empty() && line.back() == '\r') line.pop_back();
  if (tooLong || line.size() > static_cast<std::size_t>(kRecordMaxLength)) {
    line.resize(kRecordMaxLength);
    u.truncated = true;
  }
  record = line;
  return kRecordOk;
}

int32_t NextFromFile(void* ctx, std::string_view& record) {
  return ReadLine(*static_cast<UnitState*>(ctx), record);
}

void Abandon(UnitState& u) {
  if (u.file != nullptr) std::fclose(u.file);
  u.file = nullptr;
  plat::WholeFileAbandon(u.writer);
}

bool ValidPath(std::string_view path) {
  return !path.empty() && path.find('\0') == std::string_view::npos;
}

// Opens a file for reading. Only a regular file is read: a pipe or a
// device is refused at once instead of waiting for data.
int32_t OpenForReading(UnitState& u) {
  const int fd = ::open(u.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kRecordOpenFailed;
  struct stat st {};
  const int fl = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return kRecordOpenFailed;
  }
  u.file = ::fdopen(fd, "rb");
  if (u.file == nullptr) {
    ::close(fd);
    return kRecordOpenFailed;
  }
  return kRecordOk;
}

// The first failure of a file unit, kRecordOk while it has none.
int32_t UnitFailure(int32_t unit) {
  const UnitState* u = unit == kConsoleUnit ? nullptr : FindUnit(unit);
  return u == nullptr ? kRecordOk : u->failure;
}

// Notes a failed write on a file unit: later writes and its close report
// it, and the old file is kept.
int32_t NoteWrite(int32_t unit, int32_t status) {
  if (status == kRecordOk || unit == kConsoleUnit) return status;
  UnitState* u = FindUnit(unit);
  if (u != nullptr && u->mode == RecordUnitMode::Write && u->failure == kRecordOk) {
    u->failure = status;
    plat::WholeFileFail(u->writer, EIO);
  }
  return status;
}

}  // namespace

// ---------------------------------------------------------------------------

int32_t RecordWrite(std::span<char> text, std::string_view format,
                    std::span<const RecordValue> values) {
  if (!text.empty()) std::memset(text.data(), ' ', text.size());
  OutRecord rec;
  rec.buf = text.data();
  rec.cap = text.size();
  return RunWrite(rec, format, values);
}

int32_t RecordWrite(std::span<char> text, std::string_view format,
                    std::initializer_list<RecordValue> values) {
  return RecordWrite(text, format, std::span<const RecordValue>(values.begin(), values.size()));
}

int32_t RecordWrite(int32_t unit, std::string_view format, std::span<const RecordValue> values) {
  OutRecord rec;
  if (!UnitOutput(unit, rec)) return kRecordUnitNotOpen;
  if (const int32_t failed = UnitFailure(unit); failed != kRecordOk) return failed;
  const int32_t st = RunWrite(rec, format, values);
  if (unit == kConsoleUnit) std::fflush(stdout);
  return NoteWrite(unit, st);
}

int32_t RecordWrite(int32_t unit, std::string_view format,
                    std::initializer_list<RecordValue> values) {
  return RecordWrite(unit, format, std::span<const RecordValue>(values.begin(), values.size()));
}

int32_t RecordRead(std::string_view text, std::string_view format,
                   std::span<const RecordTarget> targets) {
  InRecord rec;
  rec.rec = text;
  return RunRead(rec, format, targets);
}

int32_t RecordRead(std::string_view text, std::string_view format,
                   std::initializer_list<RecordTarget> targets) {
  return RecordRead(text, format, std::span<const RecordTarget>(targets.begin(), targets.size()));
}

int32_t RecordRead(int32_t unit, std::string_view format, std::span<const RecordTarget> targets) {
  UnitState* u = FindUnit(unit);
  if (u == nullptr || u->mode != RecordUnitMode::Read) return kRecordUnitNotOpen;
  InRecord rec;
  rec.next = NextFromFile;
  rec.ctx = u;
  u->truncated = false;
  // Every read statement begins with a new record.
  int32_t st = NewRecord(rec);
  if (st == kRecordOk) st = RunRead(rec, format, targets);
  return st == kRecordOk && u->truncated ? kRecordTooLong : st;
}

int32_t RecordRead(int32_t unit, std::string_view format,
                   std::initializer_list<RecordTarget> targets) {
  return RecordRead(unit, format, std::span<const RecordTarget>(targets.begin(), targets.size()));
}

int32_t RecordWriteList(int32_t unit, std::span<const RecordValue> values) {
  constexpr std::size_t kListRecord = 80;
  OutRecord rec;
  if (!UnitOutput(unit, rec)) return kRecordUnitNotOpen;
  if (const int32_t failed = UnitFailure(unit); failed != kRecordOk) return failed;
  ValueCursor vc{values};
  int32_t st = kRecordOk;
  bool started = false;
  while (st == kRecordOk && vc.More()) {
    const Scalar s = vc.Take();
    Field f;
    std::string_view text;
    using K = RecordValue::Kind;
    switch (s.kind) {
      case K::Int32: {
        Field g;
        EditInt(s.i, 12, false, 0, false, g);  // every 32-bit integer fits
        f.AddRepeat(' ', 12 - g.n);
        f.Add(g.b.data(), g.n);
        text = f.View();
        break;
      }
      case K::Logical:
        f.Add(' ');
        f.Add(s.l ? 'T' : 'F');
        text = f.View();
        break;
      case K::Real32:
      case K::Real64: {
        const bool single = s.kind == K::Real32;
        const int w = single ? 15 : 24;
        Field g;
        bool fits = std::isfinite(s.x) ? EditGeneral(s.x, w, single ? 7 : 15, single ? 2 : 3, 0, g)
                                       : EditNonFinite(s.x, w, g);
        if (!fits) {
          f.AddRepeat('*', w);
        } else {
          f.AddRepeat(' ', w - g.n);
          f.Add(g.b.data(), g.n);
        }
        text = f.View();
        break;
      }
      default:
        text = s.t;
        break;
    }
    if (!started) {
      started = true;
      st = Put(rec, " ", 1);
    } else if (rec.len > 1 && rec.len + text.size() > kListRecord) {
      st = NewRecord(rec);
      if (st == kRecordOk) st = Put(rec, " ", 1);
    }
    if (st == kRecordOk) st = Put(rec, text.data(), text.size());
  }
  if (st == kRecordOk) st = rec.emit(rec.ctx, std::string_view(rec.buf, rec.len));
  if (unit == kConsoleUnit) std::fflush(stdout);
  return NoteWrite(unit, st);
}

int32_t RecordWriteList(int32_t unit, std::initializer_list<RecordValue> values) {
  return RecordWriteList(unit, std::span<const RecordValue>(values.begin(), values.size()));
}

int32_t RecordOpen(int32_t unit, std::string_view path, RecordUnitMode mode) {
  if (unit < 1 || unit > kRecordMaxUnit) return kRecordUnitNotOpen;
  if (RecordUnitIsOpen(unit)) RecordClose(unit);
  if (!ValidPath(path)) return kRecordOpenFailed;
  UnitState u;
  u.mode = mode;
  u.path = std::string(path);
  if (mode == RecordUnitMode::Read) {
    const int32_t st = OpenForReading(u);
    if (st != kRecordOk) {
      gLastSystemError = errno != 0 ? errno : EIO;
      return st;
    }
  } else if (const int err = plat::WholeFileBegin(u.writer, u.path); err != 0) {
    gLastSystemError = err;
    return kRecordOpenFailed;
  }
  Units()[unit] = std::move(u);
  return kRecordOk;
}

int32_t RecordClose(int32_t unit) {
  auto it = Units().find(unit);
  if (it == Units().end()) return kRecordOk;
  UnitState u = std::move(it->second);
  Units().erase(it);
  if (u.mode == RecordUnitMode::Read) {
    std::fclose(u.file);
    return kRecordOk;
  }
  if (u.failure != kRecordOk) {
    gLastSystemError = u.writer.error;
    plat::WholeFileAbandon(u.writer);
    return u.failure;
  }
  gLastSystemError = plat::WholeFileCommit(u.writer);
  return gLastSystemError == 0 ? kRecordOk : kRecordIoFailed;
}

int RecordLastSystemError() { return gLastSystemError; }

bool RecordUnitIsOpen(int32_t unit) { return FindUnit(unit) != nullptr; }

bool RecordFileExists(std::string_view path) {
  if (!ValidPath(path)) return false;
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void ResetRecordUnits() {
  for (auto& [unit, u] : Units()) Abandon(u);
  Units().clear();
}

namespace {

// The text of a limit, made once from the limit itself.
std::string_view LimitText(const char* before, int32_t limit, const char* after) {
  static std::map<std::string, std::string> texts;
  std::string& t = texts[before];
  if (t.empty()) t = before + std::to_string(limit) + after;
  return t;
}

}  // namespace

std::string_view RecordStatusText(int32_t status) {
  switch (status) {
    case kRecordOk: return "No error";
    case kRecordEndOfFile: return "End of file";
    case kRecordEndOfRecord: return "End of record";
    case kRecordBadFormat: return "Invalid format";
    case kRecordWrongType: return "Edit descriptor does not fit the value's type";
    case kRecordTooLong: return "Record too long";
    case kRecordBadField: return "Invalid input field";
    case kRecordUnitNotOpen: return "Unit not open for this transfer";
    case kRecordOpenFailed: return "Cannot open file";
    case kRecordIoFailed: return "File read/write error";
    case kRecordFormatNoData: return "Format has no edit descriptor for the remaining values";
    case kRecordTooComplex: return "Format too complex";
    case kRecordFormatTooLong: return LimitText("Format longer than ", kRecordMaxFormatLength, " characters");
    case kRecordFormatTooManyItems: return LimitText("Format of more than ", kRecordMaxItems, " items");
    case kRecordFormatWidthLimit:
      return LimitText("Width, digit count or move in format above ", kRecordMaxWidth, "");
    case kRecordFormatPositionLimit: return LimitText("Tab position in format above ", kRecordMaxLength, "");
    case kRecordFormatRepeatLimit: return LimitText("Repeat count in format above ", kRecordMaxRepeat, "");
    case kRecordFormatNestingLimit: return LimitText("Format groups nested deeper than ", kRecordMaxNesting, "");
    case kRecordFormatExponentLimit:
      return LimitText("Exponent digits in format above ", kRecordMaxExponentDigits, "");
    case kRecordFormatScaleLimit: return LimitText("Scale factor in format above ", kRecordMaxScale, "");
    default: return "Unknown error";
  }
}

void SetRecordFatalHook(RecordFatalHook hook) { gFatalHook = hook; }

void RecordRequire(int32_t status) {
  if (status == kRecordOk) return;
  std::string msg = "Record formatter error ";
  char num[16];
  const auto r = std::to_chars(num, num + sizeof num, status);
  msg.append(num, r.ptr);
  msg += ": ";
  msg += RecordStatusText(status);
  if (gFatalHook != nullptr) {
    gFatalHook(msg);
  } else {
    std::fprintf(stderr, "%s\n", msg.c_str());
  }
  ResetRecordUnits();
  std::exit(EXIT_FAILURE);
}
