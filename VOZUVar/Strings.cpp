#include "VOZUVar/Strings.h"

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/RecordFormatter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
char ToUpper(char c) { return IsLower(c) ? static_cast<char>(c - 32) : c; }
char ToLower(char c) { return IsUpper(c) ? static_cast<char>(c + 32) : c; }

// Shifts s[0..n) by k places, filling with blanks; |k| >= n blanks it all.
void ShiftFill(char* s, int32_t n, int64_t k) {
  if (k == 0 || n <= 0) return;
  const int64_t a = k < 0 ? -k : k;
  if (a >= n) {
    std::memset(s, ' ', static_cast<std::size_t>(n));
    return;
  }
  const auto moved = static_cast<std::size_t>(n - a);
  if (k < 0) {
    std::memmove(s, s + a, moved);
    std::memset(s + moved, ' ', static_cast<std::size_t>(a));
  } else {
    std::memmove(s + a, s, moved);
    std::memset(s, ' ', static_cast<std::size_t>(a));
  }
}

// EBCDIC code -> ASCII character; 0 stands for "becomes a blank".
constexpr std::array<char, 256> MakeEbcdicTable() {
  std::array<char, 256> t{};
  for (int i = 0; i < 9; ++i) {
    t[0xC1 + i] = static_cast<char>('A' + i);
    t[0xD1 + i] = static_cast<char>('J' + i);
    t[0x81 + i] = static_cast<char>('a' + i);
    t[0x91 + i] = static_cast<char>('j' + i);
  }
  for (int i = 0; i < 8; ++i) {
    t[0xE2 + i] = static_cast<char>('S' + i);
    t[0xA2 + i] = static_cast<char>('s' + i);
  }
  for (int i = 0; i < 10; ++i) t[0xF0 + i] = static_cast<char>('0' + i);
  const struct {
    int code;
    char c;
  } punct[] = {{0x40, ' '},  {0x4A, '['}, {0x4B, '.'}, {0x4C, '<'}, {0x4D, '('}, {0x4E, '+'}, {0x4F, '!'},
               {0x5A, ']'},  {0x5B, '$'}, {0x5C, '*'}, {0x5D, ')'}, {0x5E, ';'}, {0x5F, '^'}, {0x60, '-'},
               {0x61, '/'},  {0x6A, '|'}, {0x6B, ','}, {0x6C, '%'}, {0x6D, '_'}, {0x6E, '>'}, {0x6F, '?'},
               {0x79, '\''}, {0x7A, ':'}, {0x7B, '#'}, {0x7C, '@'}, {0x7D, '\''}, {0x7E, '='}, {0x7F, '"'},
               {0xC0, '{'},  {0xD0, '}'}, {0xE0, '\\'}};
  for (const auto& p : punct) t[p.code] = p.c;
  return t;
}
constexpr std::array<char, 256> kEbcdic = MakeEbcdicTable();

// The first word of the line after the keyword is cut off, as a 20-character
// field for the record formatter.
bool KeywordWord(std::string_view k, std::span<char> line, std::array<char, 20>& word) {
  const int32_t n = ClampCount(80, line.size());
  const int32_t klen = static_cast<int32_t>(k.size());
  if (IFNDPT(std::string_view(line.data(), line.size()), n, k, klen) == 0) return false;
  SHFSTR(line, n, -klen);
  int32_t p = 1;
  NXTWRD(std::string_view(line.data(), line.size()), n, p, word, 20);
  return true;
}

std::string_view View(const std::array<char, 20>& w) { return {w.data(), w.size()}; }

}  // namespace

int32_t IFNDPT(std::string_view s, int32_t n, std::string_view p, int32_t m) {
  n = ClampCount(n, s.size());
  m = ClampCount(m, p.size());
  if (n == 0 || m == 0 || m > n) return 0;
  const std::size_t at = s.substr(0, n).find(p.substr(0, m));
  return at == std::string_view::npos ? 0 : static_cast<int32_t>(at) + 1;
}

bool IsAllBlanks(std::string_view s) { return TrimTrailingBlanks(s).empty(); }

bool CopyPadded(std::string& text, std::string_view value) {
  const size_t length = text.size();
  const bool fits = value.size() <= length;
  text.assign(value.substr(0, std::min(length, value.size())));
  text.resize(length, ' ');
  return fits;
}

int32_t INDSTR(std::string_view s, int32_t n) {
  for (int32_t i = ClampCount(n, s.size()); i >= 1; --i)
    if (s[i - 1] != ' ') return i;
  return 0;
}

int32_t IWDSTR(std::string_view s, int32_t n, char c) {
  for (int32_t i = ClampCount(n, s.size()); i >= 1; --i)
    if (s[i - 1] == c) return i;
  return 0;
}

int32_t IBGSTR(std::string_view s, int32_t n) {
  n = ClampCount(n, s.size());
  for (int32_t i = 1; i <= n; ++i)
    if (s[i - 1] != ' ') return i;
  return 0;
}

int32_t KNTCHR(std::string_view s, int32_t n, char c) {
  n = ClampCount(n, s.size());
  return static_cast<int32_t>(std::count(s.begin(), s.begin() + n, c));
}

void SHFSTR(std::span<char> s, int32_t n, int32_t k) {
  n = ClampCount(n, s.size());
  const int64_t a = k < 0 ? -static_cast<int64_t>(k) : k;
  if (k == 0 || a >= n) return;  // a shift by the whole text changes nothing
  ShiftFill(s.data(), n, k);
}

void COPSTR(std::span<char> d, std::string_view e, int32_t n) {
  n = ClampCount(ClampCount(n, d.size()), e.size());
  for (int32_t i = 0; i < n; ++i) d[i] = e[i];
}

void COPCHR(std::span<char> d, int32_t n, char c) {
  n = ClampCount(n, d.size());
  std::fill(d.begin(), d.begin() + n, c);
}

void RPLCHR(std::span<char> s, int32_t n, char c1, char c2) {
  n = ClampCount(n, s.size());
  std::replace(s.begin(), s.begin() + n, c1, c2);
}

void INTNUMONLY(std::span<char> s, int32_t n) {
  n = ClampCount(n, s.size());
  // One pass: a deleted character's place takes its successor, which is
  // not looked at in turn.
  for (int32_t i = 0; i < n; ++i) {
    const char c = s[i];
    if (c == ' ' || (c >= '0' && c <= '9')) continue;
    ShiftFill(s.data() + i, n - i, -1);
  }
}

int32_t NWORDS(std::string_view s, int32_t n) {
  std::array<char, 10> word;
  int32_t count = 0;
  int32_t p = 1;
  for (;;) {
    NXTWRD(s, n, p, word, 10);
    if (word[0] == ' ') return count;  // a word never begins with a blank
    ++count;
  }
}

void ADDWRD(std::span<char> s, int32_t n, int32_t& p, std::string_view w, int32_t m) {
  n = ClampCount(n, s.size());
  const int32_t len = INDSTR(w, m);
  if (p < 1 || len == 0) return;
  const int32_t copied = std::min(len, n - p);  // never reaches position n
  if (copied <= 0) return;
  std::memcpy(s.data() + p - 1, w.data(), static_cast<std::size_t>(copied));
  p += copied + 1;
}

void NXTWRD(std::string_view s, int32_t n, int32_t& p, std::span<char> w, int32_t wlen) {
  wlen = ClampCount(wlen, w.size());
  std::fill(w.begin(), w.begin() + wlen, ' ');
  n = ClampCount(n, s.size());
  if (p < 1 || n < 1 || p > n) return;
  const int32_t b0 = IBGSTR(s.substr(p - 1), n - p + 1);
  if (b0 == 0) return;
  const int32_t b = p - 1 + b0;
  int32_t len = IFNDPT(s.substr(b - 1), n - b + 1, " ", 1);
  if (len == 0) len = n - b + 1;
  p = b + len;
  const int32_t copied = std::min(len, wlen);
  std::memcpy(w.data(), s.data() + b - 1, static_cast<std::size_t>(copied));
}

void RPL_PAT(std::span<char> s, int32_t n, std::string_view p, int32_t m, std::string_view r, int32_t rlen) {
  IRPLPT(s, n, p, m, r, rlen);
}

int32_t IRPLPT(std::span<char> s, int32_t n, std::string_view p, int32_t m, std::string_view r, int32_t rlen) {
  n = ClampCount(n, s.size());
  m = ClampCount(m, p.size());
  rlen = ClampCount(rlen, r.size());  // a negative count is an empty replacement
  if (n < 1 || m < 1) return 0;
  const std::string_view text(s.data(), static_cast<std::size_t>(n));
  const std::string_view pat = p.substr(0, m);
  int32_t count = 0;
  int32_t q = 1;
  // With an empty replacement the text shrinks and blanks come in at its
  // end; a blank pattern found wholly in them would be removed for ever.
  int32_t valid = n;
  while (q <= n) {
    const std::size_t at = text.find(pat, static_cast<std::size_t>(q - 1));
    if (at == std::string_view::npos) break;
    q = static_cast<int32_t>(at) + 1;
    if (rlen == 0 && q > valid) break;
    ++count;
    const int32_t e = n - q + 1;
    // The tail moves by the difference; the match itself always goes.
    ShiftFill(s.data() + q - 1, e, static_cast<int64_t>(rlen) - m);
    if (rlen < m) valid -= m - rlen;
    const int32_t written = std::min(rlen, e);
    std::memcpy(s.data() + q - 1, r.data(), static_cast<std::size_t>(written));
    q += written;
  }
  return count;
}

void NTRAIL(std::span<char> s, int32_t& n, char c) {
  const int32_t len = ClampCount(n, s.size());
  if (len == 0) return;
  int32_t i = len;
  while (i >= 1 && s[i - 1] == c) {
    s[i - 1] = ' ';
    --i;
  }
  n = i;
}

int32_t IDNTCL(std::string_view a, std::string_view b, int32_t n) {
  n = ClampCount(ClampCount(n, a.size()), b.size());
  int32_t i = 0;
  while (i < n && a[i] == ToUpper(b[i])) ++i;
  return i;
}

bool LCUQEQ(std::string_view t, std::string_view k, int32_t n) {
  // Both texts read as blank-padded beyond their length.
  auto at = [](std::string_view s, int32_t i) { return static_cast<std::size_t>(i) < s.size() ? s[i] : ' '; };
  for (int32_t i = 0; i < n; ++i) {
    const char kc = at(k, i);
    const char tc = at(t, i);
    if (IsLower(kc)) {
      if (tc == ' ') return true;  // the optional tail may be left out
      if (ToLower(tc) != kc) return false;
    } else if (kc != tc) {
      return false;
    }
  }
  return true;
}

void UCTOLC(std::span<char> s, int32_t i, int32_t j) {
  i = std::max(i, 1);
  j = ClampCount(j, s.size());
  for (int32_t x = i; x <= j; ++x) s[x - 1] = ToLower(s[x - 1]);
}

void LCTOUC(std::span<char> s, int32_t n) {
  n = ClampCount(n, s.size());
  for (int32_t i = 0; i < n; ++i) s[i] = ToUpper(s[i]);
}

void UNQ10(std::span<std::string> names, int32_t count) {
  count = ClampCount(count, names.size());
  for (int32_t i = 0; i < count; ++i) {
    int32_t c = 0;
    for (int32_t j = 0; j < count; ++j)
      if (j != i) c = std::max(c, IDNTCL(names[i], names[j], 10) + 1);
    if (c < 10) UCTOLC(names[i], c + 1, 10);
  }
}

void CHR_CHK(std::span<char> s, int32_t n) {
  if (n > 0) NCHRCK(s, n);
}

int32_t NCHRCK(std::span<char> s, int32_t n) {
  n = ClampCount(n, s.size());
  int32_t replaced = 0;
  for (int32_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c <= 31 || c == 127 || (c >= 169 && c <= 223) || c >= 253) {
      s[i] = ' ';
      ++replaced;
    }
  }
  return replaced;
}

void ECD2ASC(std::span<char> s, int32_t n) {
  n = ClampCount(n, s.size());
  for (int32_t i = 0; i < n; ++i) {
    const char a = kEbcdic[static_cast<unsigned char>(s[i])];
    s[i] = a == 0 ? ' ' : a;
  }
}

void FMTFN(std::span<char> t, float x, int32_t& code) {
  RecordRequire(RecordWrite(t, "(F12.5)", {x}));
  const std::string_view text(t.data(), std::min<std::size_t>(t.size(), 12));
  if (text.find('*') == std::string_view::npos) {
    code = 8;
    if (x == 0.0f) return;
    const int32_t first = IBGSTR(text, 12);
    if (text.find('-') != std::string_view::npos ? first <= 3 : first <= 4) return;
    const float a = x < 0 ? -x : x;
    if (!(a < 0.001f)) {
      code = a >= 1.0f ? 9 : a >= 0.1f ? 10 : a >= 0.01f ? 11 : 12;
      return;
    }
  }
  RecordRequire(RecordWrite(t, "(1P,E12.3)", {x}));
  code = 12;
}

void FIXFLOAT(std::span<char> t) {
  const auto n = static_cast<int32_t>(t.size());
  LCTOUC(t, n);
  const std::string_view v(t.data(), t.size());
  const bool hasE = v.find('E') != std::string_view::npos;
  const bool hasPoint = v.find('.') != std::string_view::npos;
  if (hasPoint) return;
  if (hasE) {
    IRPLPT(t, n, "E", 1, ".E", 2);
    return;
  }
  const int32_t last = INDSTR(v, n);
  if (last > 0 && last < n) t[last] = '.';
}

int32_t NUMAFTER(std::string_view s, int32_t n, std::string_view k, int32_t m) {
  n = ClampCount(n, s.size());
  if (n < 1 || m < 1) return 0;
  std::string upper(s.substr(0, n));
  LCTOUC(upper, n);
  const int32_t at = IFNDPT(upper, n, k, m);
  if (at == 0) return 0;
  std::array<char, 20> field;
  field.fill(' ');
  int32_t from = at - 1 + ClampCount(m, k.size());
  int32_t nd = 0;
  std::array<char, 20> digits;
  while (from < n && nd < 20 && upper[from] >= '0' && upper[from] <= '9') digits[nd++] = upper[from++];
  if (nd == 0) return 0;
  std::memcpy(field.data() + 20 - nd, digits.data(), static_cast<std::size_t>(nd));
  int32_t v = 0;
  (void)RecordRead(View(field), "(I20)", {v});  // a failed read leaves 0
  return v;
}

bool LREADREAL(std::string_view k, std::span<char> line, float& v) {
  std::array<char, 20> word;
  if (!KeywordWord(k, line, word)) return false;
  (void)RecordRead(View(word), "(BN,G20.0)", {v});
  return true;
}

bool LREADINT(std::string_view k, std::span<char> line, int32_t& v) {
  std::array<char, 20> word;
  if (!KeywordWord(k, line, word)) return false;
  (void)RecordRead(View(word), "(I10)", {v});
  return true;
}

bool LREADLOG(std::string_view k, std::span<char> line, bool& v) {
  std::array<char, 20> word;
  if (!KeywordWord(k, line, word)) return false;
  (void)RecordRead(View(word), "(L1)", {v});
  return true;
}

bool LBADREAL(std::string_view t, float& v) {
  if (t.find('*') != std::string_view::npos) {
    v = 1.0e20f;  // the missing-value mark
    return false;
  }
  return RecordRead(t, "(BN,G20.0)", {v}) != kRecordOk;
}

bool LBADINT(std::string_view t, int32_t& v) {
  if (t.find('*') != std::string_view::npos) {
    v = 9999999;
    return false;
  }
  return RecordRead(t, "(BN,I20)", {v}) != kRecordOk;
}

std::string ShortestText(float v) {
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}
