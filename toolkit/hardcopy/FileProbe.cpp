#include "toolkit/hardcopy/FileProbe.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/FileIO.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/OsServices.h"

namespace {

constexpr size_t kHeadBytes = 128;

std::string_view TrimName(std::string_view s) {
  const size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : s.substr(0, end + 1);
}

int32_t Saturate(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// A file read without reports of its own: the probe and the counting
// routines decide themselves what a failure means.
class QuietFile {
 public:
  explicit QuietFile(std::string_view name) {
    if (!name.empty()) YYFileCreate(name, 0, handle_, status_);
  }
  ~QuietFile() {
    if (handle_ >= 0) YYFileCloseOs(handle_);
  }
  QuietFile(const QuietFile&) = delete;
  QuietFile& operator=(const QuietFile&) = delete;
  bool Open() const { return handle_ >= 0; }
  int32_t Status() const { return status_; }
  // Bytes read into the span (up to its size), or -1 on a read error.
  int32_t Read(std::span<uint8_t> into) {
    int32_t got = 0, status = 0;
    YYFileReadBlock(handle_, into, static_cast<int32_t>(into.size()), got, status);
    if (status != 0) {
      status_ = status;
      return -1;
    }
    return got;
  }
  // Reads exactly the span; false when fewer bytes came.
  bool ReadAll(std::span<uint8_t> into) { return Read(into) == static_cast<int32_t>(into.size()); }
  bool SeekTo(int64_t position) {
    int32_t status = 0;
    YYFileSeekOs(handle_, position, 0, status);
    return status == 0;
  }
  int64_t Position() {
    int64_t position = 0;
    int32_t status = 0;
    YYFileSeekOs(handle_, position, 1, status);
    return status == 0 ? position : -1;
  }
  int64_t Length() {
    int64_t position = 0;
    int32_t status = 0;
    YYFileSeekOs(handle_, position, 2, status);
    return status == 0 ? position : -1;
  }

 private:
  FileHandle handle_ = -1;
  int32_t status_ = 0;
};

// A text file read line by line, each line as a field of a fixed width:
// cut when longer, blank-filled when shorter. A line ends at a line feed;
// a carriage return before it is dropped.
class TextLines {
 public:
  explicit TextLines(std::string_view name) : file_(name) {}
  bool Open() const { return file_.Open(); }
  bool Failed() const { return failed_; }
  int32_t Status() const { return file_.Status(); }
  // The next line; false at the end of the file or on a read error.
  bool Next(std::string& field, size_t width) {
    field.clear();
    bool any = false;
    while (true) {
      if (pos_ == end_) {
        if (eof_) break;
        const int32_t got = file_.Read(buffer_);
        if (got < 0) {
          failed_ = true;
          eof_ = true;
          break;
        }
        if (got == 0) {
          eof_ = true;
          break;
        }
        pos_ = 0;
        end_ = static_cast<size_t>(got);
      }
      const uint8_t c = buffer_[pos_++];
      any = true;
      if (c == '\n') break;
      if (field.size() <= width) field.push_back(static_cast<char>(c));
    }
    if (!any) return false;
    if (!field.empty() && field.back() == '\r' && field.size() <= width) field.pop_back();
    field.resize(width, ' ');
    return true;
  }

 private:
  QuietFile file_;
  std::array<uint8_t, 4096> buffer_{};
  size_t pos_ = 0, end_ = 0;
  bool eof_ = false, failed_ = false;
};

// Silences the error reporter while a text scan runs; restores it on
// every path.
class SilentReports {
 public:
  SilentReports() : mode_(ErrorState().ReportMode) { ErrorState().ReportMode = 0; }
  ~SilentReports() { ErrorState().ReportMode = mode_; }
  SilentReports(const SilentReports&) = delete;
  SilentReports& operator=(const SilentReports&) = delete;

 private:
  int32_t mode_;
};

size_t FirstNonBlank(std::string_view s) {
  const size_t p = s.find_first_not_of(' ');
  return p == std::string_view::npos ? s.size() : p;
}

// Takes the two characters at the first non-blank position and blanks the
// field up to and including them.
std::string Mnemonic(std::string& field) {
  const size_t p = FirstNonBlank(field);
  if (p >= field.size()) return std::string();
  const size_t n = std::min<size_t>(2, field.size() - p);
  std::string m = field.substr(p, n);
  std::fill(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(p + n), ' ');
  return m;
}

// Blanks the field up to and including its first ";"; false without one.
bool SkipToSemicolon(std::string& field) {
  const size_t s = field.find(';');
  if (s == std::string::npos) return false;
  std::fill(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(s + 1), ' ');
  return true;
}

int32_t NextInteger(std::string& field) {
  int32_t n = 0;
  INextInteger(std::span<char>(field.data(), field.size()), n);
  return n;
}

// The text between the first and the second double quote ("" without two).
std::string Quoted(std::string_view field) {
  const size_t a = field.find('"');
  if (a == std::string_view::npos) return std::string();
  const size_t b = field.find('"', a + 1);
  if (b == std::string_view::npos) return std::string();
  return std::string(field.substr(a + 1, b - a - 1));
}

bool Has(std::span<const uint8_t> bytes, std::string_view what) {
  if (what.size() > bytes.size()) return false;
  return std::search(bytes.begin(), bytes.end(), what.begin(), what.end(),
                     [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }) != bytes.end();
}

bool At(std::span<const uint8_t> bytes, size_t p, std::string_view what) {
  if (p + what.size() > bytes.size()) return false;
  return std::memcmp(bytes.data() + p, what.data(), what.size()) == 0;
}

int32_t Le(std::span<const uint8_t> bytes, size_t at, int32_t count) {
  int32_t v = 0;
  YYBytesToIntLE(bytes.subspan(std::min(at, bytes.size())), count, v);
  return v;
}

int32_t Be(std::span<const uint8_t> bytes, size_t at) {
  int32_t v = 0;
  YYBytesToIntBE(bytes.subspan(std::min(at, bytes.size())), v);
  return v;
}

// 2^b for colour counts, 0 where it does not fit a 32-bit count.
int32_t PowerOfTwo(int32_t b) { return b >= 0 && b <= 30 ? int32_t{1} << b : 0; }

// Test 5: a DXF file that begins with 999 comments is a drawing when its
// first other group is 0 SECTION.
int32_t DxfCommentScan(std::string_view name) {
  SilentReports quiet;
  TextLines lines(name);
  if (!lines.Open()) return kFileUnknown;
  std::string code, value;
  while (lines.Next(code, 20) && lines.Next(value, 20)) {
    int32_t group = 0;
    IStringToInteger(code, group);
    if (group == 999) continue;
    if (group == 0) return std::string_view(value).substr(FirstNonBlank(value)).starts_with("SECTION")
                               ? kFileDxf
                               : kFileUnknown;
    return kFileUnknown;
  }
  return kFileUnknown;
}

int32_t Classify(std::string_view name, std::span<const uint8_t> b) {
  const std::string_view text(reinterpret_cast<const char*>(b.data()), kHeadBytes);
  const size_t p = FirstNonBlank(text);
  if (At(b, p, "IN")) return kFileHpgl;
  if (At(b, p, "\x1b%0B")) return kFileHpgl2;
  if (At(b, p, "%!PS")) return kFilePostScript;
  if ((At(b, p, "0\n") || At(b, p, "0\r")) && Has(b.first(20), "SECTION")) return kFileDxf;
  if (At(b, p, "999\r") || At(b, p, "999\n")) return DxfCommentScan(name);
  const auto head = b.first(kHeadBytes);
  if ((Has(head, "<!DOCTYPE svg") || Has(head, "<!doctype svg")) && (Has(head, "<?XML ") || Has(head, "<?xml ")))
    return kFileSvg;
  if (b[0] == 10 && b[2] == 1) return kFilePcx;
  if (b[0] == 'B' && b[1] == 'M' && Le(b, 6, 4) == 0 && Le(b, 14, 4) != 12) return kFileBmp;
  if (static_cast<uint32_t>(Le(b, 40, 4)) == 0x464D4520u || At(b, 0, std::string_view("\x01\x00\x09\x00\x00\x03", 6)) ||
      static_cast<uint32_t>(Le(b, 0, 4)) == 0x9AC6CDD7u)
    return kFileMetafile;
  if (b[0] == 0 && b[1] >= 16 && b[2] < 32) return kFileCgm;
  if (b[0] == 1 && b[4] == 1 && b[6] == 8 && b[8] == 0x44 && b[13] == 12) return kFilePic;
  if (At(b, 0, "Draw")) return kFileDraw;
  if (At(b, 0, "\x1b[?38h")) return kFileTektronix;
  if (At(b, 0, "\x1b" "E") || At(b, 0, "\x1b&a")) return kFilePcl;
  if (At(b, 0, "\x1b@")) return kFileEscP2;
  if (At(b, 0, std::string_view("\x1bU\x01", 3))) return kFileDotMatrix;
  if (At(b, 0, "\x89PNG\r\n\x1a\n")) return kFilePng;
  return kFileUnknown;
}

// Plotter steps per inch and pens of the HP-GL plotter models 1..10.
constexpr std::array<int32_t, 10> kPlotterUnits = {1016, 1021, 1021, 1016, 1016, 1016, 1016, 1016, 1016, 1016};
constexpr std::array<int32_t, 10> kPlotterPens = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
// Colours of the HP-GL/2 device types 1..5.
constexpr std::array<int32_t, 5> kHpgl2Colours = {2, 256, 2, 256, 256};

void ScanHpgl(TextLines& lines, std::string field, std::array<int32_t, 7>& v) {
  int32_t m = -1, dx = 0, dy = 0;
  bool have = true;
  while (have) {
    bool nextLine = false;
    while (!nextLine) {
      const std::string mn = Mnemonic(field);
      if (mn == "SC") {
        const int32_t a = NextInteger(field), b = NextInteger(field);
        if (a == -13) m = b;
        nextLine = true;
      } else if (mn == "IP") {
        const int32_t x1 = NextInteger(field), y1 = NextInteger(field);
        const int32_t x2 = NextInteger(field), y2 = NextInteger(field);
        dx = Saturate(static_cast<double>(x2) - x1 + 1);
        dy = Saturate(static_cast<double>(y2) - y1 + 1);
        nextLine = true;
      } else if (mn.empty() || !SkipToSemicolon(field)) {
        nextLine = true;
      }
    }
    if (m != -1 && dx != 0 && dy != 0) break;
    have = lines.Next(field, kHeadBytes);
  }
  if (m >= 1 && m <= 10) {
    const auto i = static_cast<size_t>(m - 1);
    v[2] = Saturate(72.0 * dx / kPlotterUnits[i]);
    v[3] = Saturate(72.0 * dy / kPlotterUnits[i]);
    v[4] = kPlotterPens[i];
  }
  v[5] = m;
}

void ScanHpgl2(TextLines& lines, std::string field, std::array<int32_t, 7>& v) {
  int32_t m = -1, w = -1, h = -1;
  bool have = true;
  while (have) {
    bool nextLine = false;
    while (!nextLine) {
      const size_t p = FirstNonBlank(field);
      const bool title = p + 2 < field.size() && field[p + 2] == ':';
      const std::string mn = Mnemonic(field);
      if (mn == "CO") {
        if (!title) {
          std::string q = Quoted(field);
          if (!q.empty()) {
            const int32_t a = NextInteger(q), b = NextInteger(q);
            if (a == 13) m = b;
          }
        }
        nextLine = true;
      } else if (mn == "SC") {
        const int32_t a = NextInteger(field), b = NextInteger(field);
        if (a == -13) m = Saturate(static_cast<double>(b) - 10);
        nextLine = true;
      } else if (mn == "IP") {
        const int32_t x1 = NextInteger(field), y1 = NextInteger(field);
        const int32_t x2 = NextInteger(field), y2 = NextInteger(field);
        w = Saturate(72.0 * (static_cast<double>(x2) - x1 + 1) / 1016);
        h = Saturate(72.0 * (static_cast<double>(y2) - y1 + 1) / 1016);
        nextLine = true;
      } else if (mn.empty() || !SkipToSemicolon(field)) {
        nextLine = true;
      }
    }
    if (m != -1 && w != -1 && h != -1) break;
    have = lines.Next(field, kHeadBytes);
  }
  v[2] = w;
  v[3] = h;
  if (m >= 1 && m <= 5) v[4] = kHpgl2Colours[static_cast<size_t>(m - 1)];
  v[5] = m;
}

void MeasurePostScript(TextLines& lines, std::array<int32_t, 7>& v) {
  std::string line;
  if (!lines.Next(line, kHeadBytes)) return;
  const std::string_view s = std::string_view(line).substr(FirstNonBlank(line));
  if (!s.starts_with("%%BoundingBox:")) {
    v[4] = 0;
    return;
  }
  std::string rest(s.substr(14));
  NextInteger(rest);
  NextInteger(rest);
  v[2] = NextInteger(rest);
  v[3] = NextInteger(rest);
  v[4] = 1;
}

float FirstReal(std::string field) {
  float x = 0.0f;
  INextReal(std::span<char>(field.data(), field.size()), x);
  return x;
}

void MeasureDxf(TextLines& lines, std::array<int32_t, 7>& v) {
  std::string line;
  for (int i = 2; i <= 16; ++i) {
    if (!lines.Next(line, kHeadBytes)) return;
    if (i == 14) v[2] = Saturate(static_cast<double>(FirstReal(line)) * 72.0);
    if (i == 16) v[3] = Saturate(static_cast<double>(FirstReal(line)) * 72.0);
  }
}

int32_t SvgAttribute(std::string_view line, std::string_view key) {
  const size_t k = line.find(key);
  if (k == std::string_view::npos) return -1;
  const size_t q = line.find('"', k + key.size());
  if (q == std::string_view::npos) return -1;
  const size_t e = line.find('"', q + 1);
  const std::string value(line.substr(q + 1, e == std::string_view::npos ? std::string_view::npos : e - q - 1));
  float x = 0.0f;
  IStringToReal(value, x);
  return Saturate(static_cast<double>(x));
}

void MeasureSvg(TextLines& lines, std::array<int32_t, 7>& v) {
  std::string line;
  while (lines.Next(line, kHeadBytes)) {
    std::transform(line.begin(), line.end(), line.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (line.find("<svg ") == std::string::npos) continue;
    v[2] = SvgAttribute(line, "width=");
    v[3] = SvgAttribute(line, "height=");
    return;
  }
}

void MeasureText(std::string_view name, int32_t type, int32_t n, std::array<int32_t, 7>& v) {
  SilentReports quiet;
  TextLines lines(name);
  std::string first;
  if (!lines.Open() || !lines.Next(first, kHeadBytes)) return;
  switch (type) {
    case kFileHpgl: ScanHpgl(lines, first, v); break;
    case kFileHpgl2: ScanHpgl2(lines, first, v); break;
    case kFilePostScript: MeasurePostScript(lines, v); break;
    case kFileDxf: MeasureDxf(lines, v); break;
    case kFileSvg: MeasureSvg(lines, v); break;
    default: break;
  }
  (void)n;
}

void MeasureMetafile(std::span<const uint8_t> b, std::array<int32_t, 7>& v) {
  if (static_cast<uint32_t>(Le(b, 0, 4)) == 0x9AC6CDD7u) {
    v[4] = 1;
    const int32_t inch = Le(b, 14, 2);
    if (inch > 0) {
      v[2] = Saturate(72.0 * (static_cast<double>(Le(b, 10, 2)) - Le(b, 6, 2) + 1) / inch);
      v[3] = Saturate(72.0 * (static_cast<double>(Le(b, 12, 2)) - Le(b, 8, 2) + 1) / inch);
    }
  } else if (static_cast<uint32_t>(Le(b, 40, 4)) == 0x464D4520u) {
    v[4] = 2;
    v[2] = Saturate(72.0 * (static_cast<double>(Le(b, 32, 4)) - Le(b, 24, 4) + 1) / 2540);
    v[3] = Saturate(72.0 * (static_cast<double>(Le(b, 36, 4)) - Le(b, 28, 4) + 1) / 2540);
  } else {
    v[4] = 0;
  }
}

// PCL: ESC "*t" and three characters of resolution.
void MeasurePcl(std::span<const uint8_t> b, std::array<int32_t, 7>& v) {
  const auto head = b.first(kHeadBytes);
  v[4] = Has(head, "s-3u1A") || Has(head, "s3u1A") ? 8 : 2;
  const std::string_view key = "\x1b*t";
  const auto it = std::search(head.begin(), head.end(), key.begin(), key.end(),
                              [](uint8_t a, char c) { return a == static_cast<uint8_t>(c); });
  if (it == head.end()) return;
  const size_t at = static_cast<size_t>(it - head.begin()) + key.size();
  std::string digits(reinterpret_cast<const char*>(b.data() + at), 3);
  int32_t r = 0;
  IStringToInteger(digits, r);
  if (r > 0) v[5] = r;
}

void MeasureEscP(std::span<const uint8_t> b, int32_t type, std::array<int32_t, 7>& v) {
  const auto head = b.first(kHeadBytes);
  v[4] = Has(head, std::string_view("\x1br\x04", 3)) ? 8 : 0;
  if (type != kFileEscP2) return;
  const std::string_view key("\x1b(U\x01\x00", 5);
  const auto it = std::search(head.begin(), head.end(), key.begin(), key.end(),
                              [](uint8_t a, char c) { return a == static_cast<uint8_t>(c); });
  if (it == head.end()) return;
  const uint8_t unit = b[static_cast<size_t>(it - head.begin()) + key.size()];
  // A unit of 0 names no resolution.
  if (unit != 0) v[5] = 3600 / unit;
}

void Measure(std::string_view name, int32_t type, int32_t n, std::span<const uint8_t> b, std::array<int32_t, 7>& v) {
  switch (type) {
    case kFileBmp: {
      const int32_t bits = Le(b, 28, 2);
      v[2] = Le(b, 18, 4);
      v[3] = Le(b, 22, 4);
      v[4] = bits > 32 ? 0 : PowerOfTwo(bits == 32 ? 24 : bits);
      const int32_t compression = Le(b, 30, 4);
      v[5] = compression != 0 && compression != 3 ? 1 : 0;
      v[6] = bits;
      break;
    }
    case kFilePcx: {
      const int32_t d = b[3] * b[65];
      v[2] = Le(b, 8, 2) - Le(b, 4, 2) + 1;
      v[3] = Le(b, 10, 2) - Le(b, 6, 2) + 1;
      v[4] = PowerOfTwo(d);
      v[5] = b[1];
      v[6] = d;
      break;
    }
    case kFileMetafile: MeasureMetafile(b, v); break;
    case kFileHpgl:
    case kFileHpgl2:
      MeasureText(name, type, n, v);
      if (n >= 6) YYCNTHPG(name, v[6]);
      break;
    case kFilePostScript:
    case kFileDxf:
    case kFileSvg: MeasureText(name, type, n, v); break;
    case kFileCgm: {
      int32_t pictures = v[4];
      float aspect = 1.0f;
      YYINFOCGM(name, pictures, aspect);
      v[2] = 1000;
      // An extent of no width gives no height.
      if (std::isfinite(aspect) && aspect != 0.0f) v[3] = Saturate(1000.0 / static_cast<double>(aspect));
      v[4] = pictures;
      break;
    }
    case kFilePic:
      v[2] = 3201;
      v[3] = 2312;
      if (n >= 4) YYCNTPIC(name, v[4]);
      break;
    case kFileDraw:
      v[2] = Le(b, 32, 4) / 640;
      v[3] = Le(b, 36, 4) / 640;
      break;
    case kFilePcl: MeasurePcl(b, v); break;
    case kFileEscP2:
    case kFileDotMatrix: MeasureEscP(b, type, v); break;
    case kFilePng: {
      const uint8_t depth = b[24], colourType = b[25];
      v[2] = Be(b, 16);
      v[3] = Be(b, 20);
      v[4] = colourType == 2 || colourType == 6 ? 16777216 : colourType == 3 ? PowerOfTwo(depth) : -1;
      v[5] = b[28];
      v[6] = colourType == 2 || colourType == 6 ? 24 : colourType == 3 ? depth : -1;
      break;
    }
    default: break;
  }
}

// The parameter bytes of YYINFOCGM's current element; only the first 16
// are ever needed (four 32-bit values), the rest is skipped.
std::array<uint8_t, 16> gCgmParams{};

}  // namespace

void YYGraphicsFileProbe(std::string_view name, std::span<int32_t> info, int32_t n) {
  if (info.empty()) return;
  n = std::clamp<int32_t>(n, 1, static_cast<int32_t>(std::min<size_t>(info.size(), 6)));
  info[0] = kFileNone;
  const std::string_view file = TrimName(name);
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(std::filesystem::path(std::string(file)), ec)) return;
  // A short file leaves the rest of the head zero, never unread memory;
  // the tail of zeros lets the tests at p look past the 128 bytes.
  std::array<uint8_t, kHeadBytes + 8> head{};
  {
    FileHandle h = -1;
    IFileOpen(file, 0, h);
    if (h < 0) return;
    int32_t length = 0;
    IFileSeek(h, length, 2);
    if (length < 4) {
      YYFileCloseHandle(h);
      return;
    }
    int32_t start = 0, got = 0;
    IFileSeek(h, start, 0);
    IFileReadChar(h, std::span<uint8_t>(head.data(), kHeadBytes), static_cast<int32_t>(kHeadBytes), got);
    YYFileCloseHandle(h);
    if (got < 0) std::fill(head.begin(), head.end(), 0);
  }
  std::array<int32_t, 7> v{};
  v.fill(-1);
  v[1] = Classify(file, head);
  info[0] = v[1];
  if (n < 2) return;
  for (int32_t i = 2; i <= n; ++i) v[static_cast<size_t>(i)] = -1;
  Measure(file, v[1], n, head, v);
  for (int32_t i = 2; i <= n; ++i) info[static_cast<size_t>(i - 1)] = v[static_cast<size_t>(i)];
}

void YYCNTHPG(std::string_view name, int32_t& pages) {
  TextLines lines(TrimName(name));
  if (!lines.Open()) {
    ErrorState().OsErrorKind = 1;
    ErrorState().OsErrorNumber = lines.Status();
    YYERRREP(1, "YYCNTHPG");
    return;
  }
  pages = 0;
  std::string field;
  {
    SilentReports quiet;
    while (lines.Next(field, 10)) {
      const size_t p = FirstNonBlank(field);
      const bool title = p + 2 < field.size() && field[p + 2] == ':';
      const std::string mn = Mnemonic(field);
      if (mn == "SC") {
        if (field.find_first_not_of(' ') == std::string::npos) continue;
        int32_t v = 0;
        IStringToInteger(field, v);
        if (v == -3) ++pages;
      } else if (mn == "CO" && !title) {
        std::string q = Quoted(field);
        if (!q.empty() && NextInteger(q) == 3) ++pages;
      }
    }
  }
  if (lines.Failed()) {
    ErrorState().OsErrorKind = 1;
    ErrorState().OsErrorNumber = lines.Status();
    YYERRREP(2, "YYCNTHPG");
    return;
  }
  if (pages == 0) pages = 1;
}

int32_t YYCgmReadInt(int32_t position, int32_t precision) {
  auto byte = [](int32_t pos) -> uint32_t {
    return pos >= 1 && pos <= static_cast<int32_t>(gCgmParams.size()) ? gCgmParams[static_cast<size_t>(pos - 1)] : 0u;
  };
  if (precision == 16) return static_cast<int16_t>((byte(position) << 8) | byte(position + 1));
  return static_cast<int32_t>((byte(position) << 24) | (byte(position + 1) << 16) | (byte(position + 2) << 8) |
                              byte(position + 3));
}

float YYCgmReadReal(int32_t position) {
  const uint32_t bits = static_cast<uint32_t>(YYCgmReadInt(position, 32));
  float x = 0.0f;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

void YYINFOCGM(std::string_view name, int32_t& pictures, float& aspect) {
  QuietFile file(TrimName(name));
  if (!file.Open()) {
    ErrorState().OsErrorKind = 1;
    ErrorState().OsErrorNumber = file.Status();
    YYERRREP(1, "YYINFOCGM");
    return;
  }
  int32_t count = 0, intPrecision = 16, vdcPrecision = 16, vdcType = 0;
  bool haveMax = false, haveExtent = false;
  double maxRatio = 1.0, extentRatio = 1.0;
  int32_t cls = 0, id = 0;
  bool more = false;
  bool shortRead = false;
  auto word = [&](int32_t& w) {
    std::array<uint8_t, 2> b{};
    if (!file.ReadAll(b)) return false;
    w = (b[0] << 8) | b[1];
    return true;
  };
  while (true) {
    int32_t length = 0;
    const bool continuation = more;
    if (!continuation) {
      int32_t h = 0;
      if (!word(h)) {
        shortRead = true;
        break;
      }
      cls = h >> 12;
      id = (h >> 5) & 127;
      length = h & 31;
    }
    more = false;
    if (continuation || length == 31) {
      int32_t w = 0;
      if (!word(w)) {
        shortRead = true;
        break;
      }
      length = w & 0x7FFF;
      more = (w & 0x8000) != 0;
    }
    if (length % 2 == 1) ++length;
    const bool wanted = !continuation && ((cls == 1 && (id == 3 || id == 4 || id == 17)) || (cls == 2 && id == 6) ||
                                          (cls == 3 && id == 1));
    if (cls == 1 && id == 12 && !continuation) {
      // The defaults replacement holds elements of its own: read on.
      more = false;
      continue;
    }
    if (wanted) {
      gCgmParams.fill(0);
      const size_t keep = std::min<size_t>(static_cast<size_t>(length), gCgmParams.size());
      if (!file.ReadAll(std::span<uint8_t>(gCgmParams.data(), keep))) {
        shortRead = true;
        break;
      }
      const int64_t pos = file.Position();
      if (static_cast<size_t>(length) > keep && (pos < 0 || !file.SeekTo(pos + length - static_cast<int64_t>(keep)))) {
        shortRead = true;
        break;
      }
      if (cls == 1 && id == 3) {
        vdcType = YYCgmReadInt(1, 16);
      } else if (cls == 1 && id == 4) {
        // Precisions other than the format's own widths are not taken.
        const int32_t bits = YYCgmReadInt(1, intPrecision);
        if (bits == 8 || bits == 16 || bits == 24 || bits == 32) intPrecision = bits;
      } else if (cls == 3 && id == 1) {
        const int32_t bits = YYCgmReadInt(1, intPrecision);
        if (bits == 16 || bits == 24 || bits == 32) vdcPrecision = bits;
      } else {
        double x1, y1, x2, y2;
        if (vdcType == 1) {
          x1 = YYCgmReadReal(1);
          y1 = YYCgmReadReal(5);
          x2 = YYCgmReadReal(9);
          y2 = YYCgmReadReal(13);
        } else {
          const int32_t step = std::clamp<int32_t>((vdcPrecision + 7) / 8, 1, 4);
          x1 = YYCgmReadInt(1, vdcPrecision);
          y1 = YYCgmReadInt(1 + step, vdcPrecision);
          x2 = YYCgmReadInt(1 + 2 * step, vdcPrecision);
          y2 = YYCgmReadInt(1 + 3 * step, vdcPrecision);
        }
        // A flat extent has no ratio, nor one that a float cannot hold:
        // it is taken as not given.
        const double ratio = y2 != y1 ? (x2 - x1) / (y2 - y1) : 0.0;
        const bool fits = std::isfinite(ratio) && std::abs(ratio) <= FLT_MAX &&
                          (ratio == 0.0 || static_cast<float>(ratio) != 0.0f);
        if (y2 != y1 && fits) {
          if (id == 17) {
            haveMax = true;
            maxRatio = ratio;
          } else {
            haveExtent = true;
            extentRatio = ratio;
          }
        }
      }
    } else if (length > 0) {
      const int64_t pos = file.Position();
      if (pos < 0 || !file.SeekTo(pos + length)) {
        shortRead = true;
        break;
      }
    }
    if (!continuation && cls == 0 && id == 5) ++count;
    if (!continuation && cls == 0 && id == 2) break;
  }
  if (shortRead) YYERRREP(2, "YYINFOCGM");
  pictures = count == 0 ? 1 : count;
  aspect = static_cast<float>(haveMax ? maxRatio : haveExtent ? extentRatio : 1.0);
}

void YYCNTPIC(std::string_view name, int32_t& count) {
  QuietFile file(TrimName(name));
  if (!file.Open()) {
    ErrorState().OsErrorKind = 1;
    ErrorState().OsErrorNumber = file.Status();
    YYERRREP(1, "YYCNTPIC");
    return;
  }
  auto shortRead = [] {
    ErrorState().OsErrorKind = 2;
    ErrorState().OsErrorNumber = 0;
    YYERRREP(2, "YYCNTPIC");
  };
  std::array<uint8_t, 17> header{};
  if (!file.ReadAll(header)) {
    shortRead();
    return;
  }
  int32_t n = 0;
  std::vector<uint8_t> buffer(8192);
  size_t pos = 0, end = 0;
  auto next = [&](uint8_t& c) {
    if (pos == end) {
      const int32_t got = file.Read(buffer);
      if (got <= 0) return false;
      pos = 0;
      end = static_cast<size_t>(got);
    }
    c = buffer[pos++];
    return true;
  };
  auto skip = [&](int64_t k) {
    uint8_t c = 0;
    for (int64_t i = 0; i < k; ++i)
      if (!next(c)) return false;
    return true;
  };
  uint8_t op = 0;
  bool ok = true;
  while (ok && next(op)) {
    uint8_t c = 0;
    if (op == 0xA0 || op == 0xA2 || op == 0xAC) {
      ok = skip(4);
    } else if (op == 0x30 || op == 0xE0) {
      ok = next(c) && skip(4 * (int64_t{c} + 1));
    } else if (op == 0xA7) {
      ok = skip(1);
    } else if (op == 0xA8) {
      ok = next(c);
      while (ok) {
        ok = next(c);
        if (ok && c == 0) break;
      }
    } else if (op >= 0x60 && op <= 0x6F) {
      ++n;
    }
  }
  if (!ok) shortRead();
  count = n == 0 ? 1 : n;
}
