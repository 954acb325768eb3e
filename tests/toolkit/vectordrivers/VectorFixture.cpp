#include "VectorFixture.h"

#include <cstdlib>
#include <cstdint>
#include <sys/wait.h>
#include <fstream>
#include <sstream>

#include "platform/gdi/Png.h"
#include "tests/support/CgmLister.h"
#include "tests/toolkit/raster/PrinterDecoders.h"

#include <zlib.h>
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/hardcopy/SvgDriver.h"

namespace vdtest {

void VectorTest::SetUp() {
  GraphicsTestSetUp(kPageWidth, kPageHeight);
  // The recording driver borrows number 3 from the SVG driver.
  HardcopyDriverTable()[3] = XXSVG;
  HardcopyDriverNumber() = 10;
}

void VectorTest::TearDown() { ResetHardcopyManager(); }

void VectorTest::Start(int32_t driver, const std::function<void()>& options, const std::string& name,
                       std::optional<std::string> title) {
  name_ = name;
  YYHardcopySelect(kOpInit, driver);
  if (options) options();
  // As the Print road does: screen output off, the options kept.
  YYGrStateInit("HP");
  if (title.has_value()) YYHardcopyStartStop(Path(), *title);
  else YYHardcopyStartStop(Path());
}

std::string VectorTest::Finish() {
  YYHardcopyStartStop("S");
  // QUILLON_KEEP_PLOTS=dir keeps a copy of every file for a look.
  if (const char* keep = std::getenv("QUILLON_KEEP_PLOTS"))
    RunCommand("cp " + Path() + " " + std::string(keep) + "/ 2>/dev/null");
  return ReadBytes(Path());
}

std::string VectorTest::Plot(int32_t driver, const std::function<void()>& draw,
                             const std::function<void()>& options, const std::string& name,
                             std::optional<std::string> title) {
  Start(driver, options, name, std::move(title));
  if (draw) draw();
  return Finish();
}

void VectorTest::Op(int32_t op, int32_t qualifier) {
  DriverParams().OpQualifier = qualifier;
  YYGrHardcopyOp(op);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      out.push_back(bytes.substr(start));
      break;
    }
    out.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

int IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from) {
  for (size_t i = from; i < lines.size(); ++i)
    if (lines[i] == line) return static_cast<int>(i);
  return -1;
}

int CountOf(const std::vector<std::string>& lines, const std::string& line) {
  int n = 0;
  for (const std::string& l : lines) n += l == line;
  return n;
}

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool Have(const std::string& program) { return RunCommand("command -v " + program + " >/dev/null 2>&1") == 0; }

namespace {

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

// The readers write colour-mapped PNGs too (hp2xx always does); the
// platform's reader takes only RGB and RGBA, so 8-bit colour maps are
// expanded here.
bool ReadAnyPng(const std::string& path, plat::Surface& out) {
  if (plat::readPng(path, out)) return true;
  const std::string b = ReadBytes(path);
  const auto* u = reinterpret_cast<const uint8_t*>(b.data());
  if (b.size() < 8) return false;
  uint32_t w = 0, h = 0;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> z;
  for (size_t pos = 8; pos + 12 <= b.size();) {
    const uint32_t len = Be32(u + pos);
    if (len > b.size() - pos - 12) return false;
    const std::string type = b.substr(pos + 4, 4);
    const uint8_t* d = u + pos + 8;
    if (type == "IHDR") {
      w = Be32(d);
      h = Be32(d + 4);
      if (d[8] != 8 || d[9] != 3 || d[12] != 0 || w == 0 || h == 0 || w > 8192 || h > 8192) return false;
    } else if (type == "PLTE") {
      for (uint32_t i = 0; i + 2 < len; i += 3)
        palette.push_back((uint32_t{d[i]} << 16) | (uint32_t{d[i + 1]} << 8) | d[i + 2]);
    } else if (type == "IDAT") {
      z.insert(z.end(), d, d + len);
    }
    pos += 12 + len;
  }
  if (w == 0 || palette.empty()) return false;
  std::vector<uint8_t> raw((w + 1) * static_cast<size_t>(h));
  uLongf rawLen = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawLen, z.data(), static_cast<uLong>(z.size())) != Z_OK || rawLen != raw.size())
    return false;
  out.resize(static_cast<int>(w), static_cast<int>(h), 0);
  std::vector<uint8_t> prev(w, 0), cur(w);
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* src = &raw[y * (w + 1)];
    for (uint32_t x = 0; x < w; ++x) {
      const int a = x > 0 ? cur[x - 1] : 0, up = prev[x], c = x > 0 ? prev[x - 1] : 0;
      int v = src[x + 1];
      switch (src[0]) {
        case 0: break;
        case 1: v += a; break;
        case 2: v += up; break;
        case 3: v += (a + up) / 2; break;
        case 4: {
          const int p = a + up - c, pa = std::abs(p - a), pb = std::abs(p - up), pc = std::abs(p - c);
          v += pa <= pb && pa <= pc ? a : pb <= pc ? up : c;
          break;
        }
        default: return false;
      }
      cur[x] = static_cast<uint8_t>(v);
      out.at(static_cast<int>(x), static_cast<int>(y)) = cur[x] < palette.size() ? palette[cur[x]] : 0;
    }
    std::swap(prev, cur);
  }
  return true;
}

namespace {

// Runs a reader with its output in `log`; "" when it ends well, else the
// command and what it said.
std::string Reader(const std::string& command, const std::string& log) {
  const int status = RunCommand("timeout 60 " + command + " >" + log + " 2>&1");
  if (status == 0) return "";
  return command + " (status " + std::to_string(status) + "): " + ReadBytes(log).substr(0, 2000) + "\n";
}

std::string CgmVerdict(const std::string& path) {
  const std::string bytes = ReadBytes(path);
  const auto m = testsupport::cgm::Decode(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  if (!m.error.empty()) return "CGM elements: " + m.error;
  if (m.elements.empty() || m.elements.front().cls != 0 || m.elements.front().id != 1)
    return "CGM: no BEGIN METAFILE first";
  if (m.elements.back().cls != 0 || m.elements.back().id != 2) return "CGM: no END METAFILE last";
  int open = 0;
  for (const auto& e : m.elements) {
    if (e.cls != 0) continue;
    if (e.id == 3) ++open;
    if (e.id == 5) --open;
    if (open < 0 || open > 1) return "CGM: pictures not nested";
  }
  return open == 0 ? "" : "CGM: a picture never ends";
}

// A printer stream read by the tests' own decoder of its language; its
// dots drawn black on white into `png` when one is wanted.
std::string PrinterStreamVerdict(const std::string& format, const std::string& path, const std::string& png) {
  const std::string bytes = ReadBytes(path);
  std::vector<std::vector<bool>> lines;
  if (format == "escp") {
    const rastertest::DotMatrixPage page = rastertest::DecodeDotMatrix(bytes);
    if (!page.error.empty()) return "dot-matrix stream: " + page.error;
    if (page.rows.empty()) return "dot-matrix stream: no graphics rows";
    lines = rastertest::DotMatrixLines(page);
  } else {
    const rastertest::PclPage page = rastertest::DecodePcl(bytes);
    if (!page.error.empty()) return "PCL stream: " + page.error;
    if (page.rows.empty()) return "PCL stream: no raster rows";
    size_t dots = 0;
    for (const auto& row : page.rows) dots = std::max(dots, row.empty() ? 0 : row[0].size() * 8);
    for (const auto& row : page.rows) {
      std::vector<bool>& line = lines.emplace_back(dots);
      for (size_t x = 0; x < dots && !row.empty(); ++x) line[x] = rastertest::Dot(row[0], static_cast<int32_t>(x));
    }
  }
  if (png.empty()) return "";
  plat::Surface pic;
  pic.resize(static_cast<int>(lines.front().size()), static_cast<int>(lines.size()), 0xFFFFFF);
  for (size_t y = 0; y < lines.size(); ++y)
    for (size_t x = 0; x < lines[y].size(); ++x)
      if (lines[y][x]) pic.at(static_cast<int>(x), static_cast<int>(y)) = 0;
  return plat::writePng(pic, png) ? "" : "cannot write " + png;
}

}  // namespace

std::string ReadersVerdict(const std::string& format, const std::string& path, const std::string& png) {
  const std::string log = path + ".log";
  // Without a picture wanted the renderers draw small (a page the options
  // make huge would take all memory), or only run the file.
  const bool picture = !png.empty();
  const std::string out = picture ? png : path + ".png";
  std::string v;
  if (format == "hpgl") {
    // Pens 1..8 as black, red, green, blue, cyan, magenta, yellow, black.
    if (Have("hp2xx")) v += Reader("hp2xx -q -m png -c 12345671 -f " + out + " " + path, log);
  } else if (format == "ps" || format == "eps") {
    if (Have("gs")) {
      const std::string device = picture ? "-sDEVICE=png16m -r72 -sOutputFile=" + out : "-sDEVICE=bbox";
      v += Reader("gs -q -dSAFER -dBATCH -dNOPAUSE " + device + (format == "eps" ? " -dEPSCrop " : " ") + path, log);
      // Ghostscript reports some errors and still ends well.
      const std::string said = ReadBytes(log);
      if (said.find("Error") != std::string::npos) v += "gs: " + said.substr(0, 2000);
    }
  } else if (format == "svg") {
    if (Have("xmllint")) v += Reader("xmllint --noout " + path, log);
    if (Have("rsvg-convert"))
      v += Reader(std::string("rsvg-convert -b white ") + (picture ? "" : "-w 100 -h 100 ") + "-o " + out + " " + path,
                  log);
  } else if (format == "dxf") {
    if (RunCommand("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") == 0) {
      const std::string script = path + ".py";
      std::ofstream(script) << kDxfReader;
      v += Reader("/usr/bin/python3 " + script + " " + path, log);
      if (picture && RunCommand("/usr/bin/python3 -c 'import matplotlib' 2>/dev/null") == 0) {
        std::ofstream(script) << kDxfDrawing;
        v += Reader("/usr/bin/python3 " + script + " " + path + " " + out, log);
      }
    }
  } else if (format == "cgm") {
    v += CgmVerdict(path);
  } else if (format == "pdf") {
    if (Have("qpdf")) v += Reader("qpdf --check " + path, log);
    if (Have("pdftoppm")) {
      const std::string stem = out.size() > 4 ? out.substr(0, out.size() - 4) : out;
      v += Reader(std::string("pdftoppm ") + (picture ? "-r 72" : "-scale-to 100") + " -png -singlefile " + path + " " + stem,
                  log);
      if (ReadBytes(log).find("Error") != std::string::npos) v += "pdftoppm: " + ReadBytes(log).substr(0, 2000);
    }
  } else if (format == "wmf") {
    if (Have("wmf2svg")) v += Reader("wmf2svg -o " + path + ".svg " + path, log);
    if (Have("wmf2gd")) v += Reader("wmf2gd -t png --maxwidth=756 --maxheight=540 -o " + out + " " + path, log);
  } else if (format == "emf") {
    if (Have("emf2svg-conv")) {
      v += Reader("emf2svg-conv -i " + path + " -o " + path + ".svg", log);
      // The picture is as many pixels as the reference printer has dots:
      // drawn 756 wide, the default page's points.
      if (Have("rsvg-convert"))
        v += Reader(std::string("rsvg-convert -b white ") + (picture ? "-w 756 " : "-w 100 -h 100 ") + "-o " + out + " " +
                        path + ".svg",
                    log);
    }
  } else if (format == "escp" || format == "pcl") {
    v += PrinterStreamVerdict(format, path, png);
  } else if (format == "png") {
    if (Have("pngcheck")) v += Reader("pngcheck -q " + path, log);
  } else if (format == "bmp" || format == "pcx") {
    if (Have("identify")) v += Reader("identify " + path, log);
    if (picture && Have("convert")) v += Reader("convert " + path + " png24:" + out, log);
  } else {
    v += "no reader for " + format;
  }
  return v;
}

void ExpectRenderedGolden(const std::string& png, const std::string& golden, double tolerance) {
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/" + golden;
  plat::Surface pic;
  ASSERT_TRUE(ReadAnyPng(png, pic)) << "no picture " << png;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) {
    ASSERT_TRUE(plat::writePng(pic, path));
    GTEST_SKIP() << "wrote " << path;
  }
  plat::Surface want;
  ASSERT_TRUE(plat::readPng(path, want)) << "missing golden " << path;
  ASSERT_EQ(want.width, pic.width);
  ASSERT_EQ(want.height, pic.height);
  size_t differ = 0;
  for (size_t i = 0; i < pic.pixels.size(); ++i) {
    const uint32_t a = pic.pixels[i], b = want.pixels[i];
    for (int shift = 0; shift < 24; shift += 8) {
      const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
      if (std::abs(ca - cb) > 48) {
        ++differ;
        break;
      }
    }
  }
  if (static_cast<double>(differ) > tolerance * static_cast<double>(pic.pixels.size())) {
    const std::string actual = ::testing::TempDir() + "actual_" + golden;
    plat::writePng(pic, actual);
    ADD_FAILURE() << differ << " pixels differ from " << path << "; this run's picture is " << actual;
  }
}

}  // namespace vdtest
