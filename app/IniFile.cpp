#include "app/IniFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <variant>
#include <vector>

#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "app/DisplaySettings.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"

namespace {

constexpr int32_t kSettingsUnit = 31;
// Keys are looked for in the first 256 characters of a line, as the file
// has always been read; a longer line (a long "LastDir=") is kept whole
// for its value.
constexpr size_t kKeyColumns = 256;
constexpr size_t kLineRoom = 4096;

// The lines of the file as it was read at start-up, by key (the text up to
// and including the first "="): a value that cannot be written keeps the
// line it had.
std::vector<std::pair<std::string, std::string>>& LinesRead() {
  static std::vector<std::pair<std::string, std::string>> lines;
  return lines;
}

std::string KeyOf(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string() : std::string(line.substr(0, eq + 1));
}

// ------------------------------------------------------------ value readers

// The first blank-delimited word of a text, at most 20 characters.
std::string FirstWord(std::string_view t) {
  const size_t a = t.find_first_not_of(' ');
  if (a == std::string_view::npos) return std::string();
  const size_t b = t.find(' ', a);
  return std::string(t.substr(a, std::min<size_t>(b == std::string_view::npos ? t.size() - a : b - a, 20)));
}

bool ReadInteger(std::string_view word, int32_t& v) {
  int32_t n = 0;
  if (RecordRead(word, "(BN,I10)", {n}) != kRecordOk) return false;
  v = n;
  return true;
}

bool ReadLogical(std::string_view word, bool& v) {
  bool b = false;
  if (RecordRead(word, "(L1)", {b}) != kRecordOk) return false;
  v = b;
  return true;
}

bool ReadReal(std::string_view word, float& v) {
  float x = 0.0f;
  if (RecordRead(word, "(BN,G20.0)", {x}) != kRecordOk) return false;
  v = x;
  return true;
}

// ------------------------------------------------------------ the keys

enum class Kind { Integer, Logical, Real, Caption, Colours, MemberValues, Ignored };

// The values a key's display setting may take; a line with a value
// outside them is skipped like a malformed one.
enum class Bound { None, LineWidth, Colour, CaptionHeight, FontSize };

struct Key {
  std::string_view text;
  Kind kind;
  void* target;  // nullptr: the value is checked and then not used
  Bound bound = Bound::None;
};

bool Fits(Bound b, double v) {
  switch (b) {
    case Bound::None: return true;
    case Bound::LineWidth: return LineWidthFits(static_cast<int32_t>(v));
    case Bound::Colour: return ColourFits(static_cast<int32_t>(v));
    case Bound::CaptionHeight: return CaptionHeightFits(static_cast<float>(v));
    case Bound::FontSize: return FontSizeFits(static_cast<float>(v));
  }
  return true;
}

// The keys found anywhere in a line, in the order they are tested (a key
// contained in a longer one comes after it).
std::vector<Key> Keys() {
  DisplaySettingsRecord& d = DisplaySettings();
  KeptSettingsRecord& k = d.Kept;
  AxisCaptionTableRecord& c = AxisCaptionTable();
  SuiteSettingsRecord& s = SuiteSettings();
  const Kind I = Kind::Integer, L = Kind::Logical, R = Kind::Real, C = Kind::Caption;
  return {
      {"Spacing Column=", I, nullptr},
      {"Resistivity Column=", I, nullptr},
      {"Distance Column=", I, &k.DistanceColumn},
      {"Model Resist Column=", I, &k.ModelResistColumn},
      {"MN Column=", I, nullptr},
      {"Current Column=", I, nullptr},
      {"First Row=", I, &k.FirstRow},
      {"Last Row=", I, &k.LastRow},
      {"Frequency Column=", I, nullptr},
      {"In-Phase Column=", I, nullptr},
      {"Quadrature Column=", I, nullptr},
      {"Rho Error Column=", I, nullptr},
      {"Phase Error Column=", I, nullptr},
      {"IP Data Column=", I, nullptr},
      {"System Time Column=", I, &k.SystemTimeColumn},
      {"System Response Column=", I, &k.SystemResponseColumn},
      {"System DT=", R, &k.SystemDT},
      {"Time Column=", I, &k.TimeColumn},
      {"Voltage Column=", I, &k.VoltageColumn},
      {"Space Column=", I, nullptr},
      {"Height Column=", I, nullptr},
      {"Easting Column=", I, nullptr},
      {"Northing Column=", I, nullptr},
      {"Elevation Column=", I, nullptr},
      {"PDist Column=", I, nullptr},
      {"Data Column=", I, nullptr},
      {"Column Increment=", I, nullptr},
      {"Batch Forward=", I, nullptr},
      {"Batch Inverse=", I, nullptr},
      {"Batch Equivalence=", I, nullptr},
      {"Batch Smooth=", I, nullptr},
      {"Method=", I, nullptr},
      {"IXYZFormat=", I, nullptr},
      {"IThkDpthElev=", I, nullptr},
      {"IPctPpmUnit=", I, nullptr},
      {"Debug=", I, &d.DebugMode},
      {"NPDEC=", I, nullptr},
      {"XYZ Surface=", L, nullptr},
      {"CSV Output=", L, nullptr},
      {"Lat/Long Output=", L, nullptr},
      {"LDInFeet=", L, &d.LDInFeet},
      {"Batch Plot Data=", L, nullptr},
      {"Batch Plot Model=", L, nullptr},
      {"Batch Plot Layered=", L, nullptr},
      {"Batch Plot Equivalent=", L, nullptr},
      {"Batch Plot Smooth=", L, nullptr},
      {"Batch Plot Group=", L, nullptr},
      {"Batch Group=", I, nullptr},
      {"Well Depth Column=", I, &k.WellDepthColumn},
      {"Well Resist Column=", I, &k.WellResistColumn},
      {"Well ResistV Column=", I, nullptr},
      {"LX1000=", L, &k.LX1000},
      {"Last File=", Kind::Ignored, nullptr},
      {"LZOOM=", L, &d.LZOOM},
      {"LEQUIV=", L, &d.LEQUIV},
      {"LAYERED=", L, &d.LAYERED},
      {"LSMOOTH=", L, &d.LSMOOTH},
      {"LMODONDAT=", L, &d.LMODONDAT},
      {"LRHOAExport=", L, nullptr},
      {"LINEARMOD=", L, &d.LINEARMOD},
      {"LGRIDJD=", L, &d.LGRIDJD},
      {"LGRIDND=", L, &d.LGRIDND},
      {"LGRIDJM=", L, &d.LGRIDJM},
      {"LGRIDNM=", L, &d.LGRIDNM},
      {"LGRIDJPD=", L, nullptr},
      {"LGRIDNPD=", L, nullptr},
      {"LGRIDJPM=", L, nullptr},
      {"LGRIDNPM=", L, nullptr},
      {"LVSource=", L, nullptr},
      {"LDATALINE=", L, nullptr},
      {"LINECOLORS=", L, nullptr},
      {"LREDTOBLUE=", L, nullptr},
      {"LOGCOLOR=", L, nullptr},
      {"LPINNED=", L, nullptr},
      {"LSPLINE=", L, nullptr},
      {"LESTSTART=", L, nullptr},
      {"LGRIDJMP=", L, nullptr},
      {"LGRIDNMP=", L, nullptr},
      {"LPGRAPH=", L, nullptr},
      {"LPDATA=", L, nullptr},
      {"LPMODEL=", L, nullptr},
      {"LPBOUND=", L, nullptr},
      {"LPRESOLV=", L, nullptr},
      {"LPMODELS=", L, nullptr},
      {"LPBOUNDS=", L, nullptr},
      {"LPRESOLVS=", L, nullptr},
      {"LPWORK=", L, nullptr},
      {"LBOSTICK=", L, nullptr},
      {"LNIBLETT=", L, nullptr},
      {"LREDLINE=", L, &d.LREDLINE},
      {"LGRIDJL=", L, nullptr},
      {"LGRIDNL=", L, nullptr},
      {"LGRIDJC=", L, nullptr},
      {"LGRIDNC=", L, nullptr},
      {"LSEA=", L, &d.LSEA},
      {"LPOLYLINE=", L, nullptr},
      {"LEQUIVP=", L, nullptr},
      {"LAYEREDP=", L, nullptr},
      {"LSMOOTHP=", L, nullptr},
      {"CLRES=", C, &c.CLRES},
      {"CLSPACE=", C, &c.CLSPACE},
      {"CLRESM=", C, &c.CLRESM},
      {"CLDEPT=", C, &c.CLDEPT},
      {"CLTIME=", C, &c.CLTIME},
      {"CLPER=", C, &c.CLPER},
      {"CLFREQ=", C, &c.CLFREQ},
      {"CLVOLT=", C, &c.CLVOLT},
      {"CRVOLT=", C, &c.CRVOLT},
      {"CTIMES=", C, &c.CTIMES},
      {"CLPHAS=", C, &c.CLPHAS},
      {"CLINQD=", C, &c.CLINQD},
      {"CLHITE=", C, &c.CLHITE},
      {"CLPFE=", C, &c.CLPFE},
      {"CLPFEM=", C, &c.CLPFEM},
      {"CLNSPC=", C, &c.CLNSPC},
      {"CLNORT=", C, &c.CLNORT},
      {"CLEAST=", C, &c.CLEAST},
      {"CLPDIS=", C, &c.CLPDIS},
      {"CLELEV=", C, &c.CLELEV},
      {"HICNAME=", R, &d.HICNAME, Bound::CaptionHeight},
      {"HIDATV=", R, &d.HIDATV, Bound::CaptionHeight},
      {"HIDATH=", R, &d.HIDATH, Bound::CaptionHeight},
      {"HIMODV=", R, &d.HIMODV, Bound::CaptionHeight},
      {"HIMODH=", R, &d.HIMODH, Bound::CaptionHeight},
      {"OFFDATV=", R, &d.OFFDATV},
      {"OFFDATH=", R, &d.OFFDATH},
      {"OFFDATP=", R, nullptr},
      {"OFFMODV=", R, &d.OFFMODV},
      {"OFFMODH=", R, &d.OFFMODH},
      {"Line Width=", I, &d.LineWidth, Bound::LineWidth},
      {"ZVMIN=", R, nullptr},
      {"ZVMAX=", R, nullptr},
      {"KGRID=", I, &d.KGRID, Bound::Colour},
      {"KBEST=", I, &d.KBEST, Bound::Colour},
      {"KEQUV=", I, &d.KEQUV, Bound::Colour},
      {"KSMOO=", I, &d.KSMOO, Bound::Colour},
      {"KPLIN=", I, &d.KPLIN, Bound::Colour},
      {"KSOUN=", I, &d.KSOUN, Bound::Colour},
      {"KCALC=", Kind::Colours, nullptr},
      {"NSuite=", I, &s.NSuite},
      {"ISuiteType=", I, &s.ISuiteType},
      {"LRhoaDisplay=", L, nullptr},
      {"LNormVolt=", L, nullptr},
      {"LDataPct=", L, &s.LPercent},
      {"LDifference=", L, &s.LDifference},
      {"LAirWave=", L, nullptr},
      {"TxLength=", R, &s.TxLength},
      {"TxAmps=", R, &s.TxAmps},
      {"RxLength=", R, &s.RxLength},
      {"VNoise=", R, &s.VNoise},
      {"VParam=", Kind::MemberValues, nullptr},
      {"ILayer=", I, &s.ILayer},
      {"IAbscissa=", I, &s.IAbscissa},
      {"NAbscissa=", I, &s.NAbscissa},
      {"AbStart=", R, &s.AbStart},
      {"AbEnd=", R, &s.AbEnd},
      {"LDataDisplay=", L, &s.LDataDisplay},
      {"LogAbscissa=", L, &s.LogAbscissa},
      {"LogData=", L, &s.LogData},
      {"SpacingCS=", R, nullptr},
      {"TimeCS=", R, nullptr},
      {"IFont=", I, &d.IFont},
      {"IStyle=", I, &d.IStyle},
      {"FWidth=", R, &d.FWidth, Bound::FontSize},
      {"FHeight=", R, &d.FHeight, Bound::FontSize},
  };
}

// The reader's state across lines: "VParam=" lines that follow each other
// fill members 1-10, 11-20, ...
struct ReaderState {
  int32_t memberBlock = 0;
  bool lastWasMembers = false;
};

// Applies the value after `key` (read as if the key began the line); false
// when the value is malformed, with nothing stored for it. A value taken
// from several words stores those before the malformed one.
bool Apply(const Key& key, std::string_view line, ReaderState& st) {
  const std::string_view rest = line.size() > key.text.size() ? line.substr(key.text.size()) : std::string_view();
  const bool members = key.kind == Kind::MemberValues;
  const int32_t block = members && st.lastWasMembers ? st.memberBlock + 1 : 0;
  st.lastWasMembers = members;
  switch (key.kind) {
    case Kind::Ignored:
      return true;
    case Kind::Integer: {
      int32_t v = 0;
      if (!ReadInteger(FirstWord(rest), v)) return false;
      // A member count beyond the value list would index past it.
      if (key.target == &SuiteSettings().NSuite && (v < 0 || v > kMaxSuiteMembers)) return false;
      if (!Fits(key.bound, v)) return false;
      if (key.target) *static_cast<int32_t*>(key.target) = v;
      return true;
    }
    case Kind::Logical: {
      bool v = false;
      if (!ReadLogical(FirstWord(rest), v)) return false;
      if (key.target) *static_cast<bool*>(key.target) = v;
      return true;
    }
    case Kind::Real: {
      float v = 0.0f;
      if (!ReadReal(FirstWord(rest), v)) return false;
      if (!Fits(key.bound, v)) return false;
      if (key.target) *static_cast<float*>(key.target) = v;
      return true;
    }
    case Kind::Caption: {
      std::string v(rest.substr(0, std::min(rest.size(), kCaptionLength)));
      *static_cast<std::string*>(key.target) = Caption40(v);
      return true;
    }
    case Kind::Colours: {
      std::array<int32_t, 6>& colours = DisplaySettings().KCALC;
      std::string text(rest);
      int32_t pos = 1;
      for (int32_t& colour : colours) {
        std::array<char, 20> word{};
        word.fill(' ');
        NXTWRD(text, static_cast<int32_t>(text.size()), pos, word, 20);
        const std::string_view w = TrimTrailingBlanks(std::string_view(word.data(), word.size()));
        int32_t v = 0;
        if (w.empty()) return true;
        if (!ReadInteger(w, v) || !ColourFits(v)) return false;
        colour = v;
      }
      return true;
    }
    case Kind::MemberValues: {
      SuiteSettingsRecord& s = SuiteSettings();
      st.memberBlock = block;
      const int32_t first = 10 * block;
      const int32_t count = std::min(10, std::max(0, std::min(s.NSuite, kMaxSuiteMembers) - first));
      std::string text(rest);
      int32_t pos = 1;
      for (int32_t i = 0; i < count; ++i) {
        std::array<char, 20> word{};
        word.fill(' ');
        NXTWRD(text, static_cast<int32_t>(text.size()), pos, word, 20);
        const std::string_view w = TrimTrailingBlanks(std::string_view(word.data(), word.size()));
        float v = 0.0f;
        if (!w.empty() && !ReadReal(w, v)) return false;
        s.VParam[static_cast<size_t>(first + i)] = v;
      }
      return true;
    }
  }
  return true;
}

bool Contains(std::string_view line, std::string_view key) {
  return line.substr(0, std::min(line.size(), kKeyColumns)).find(key) != std::string_view::npos;
}

// Reads the next line of the file into `line` (without trailing blanks);
// false at the end of the file or when it cannot be read.
bool NextLine(std::string& line) {
  std::string buffer(kLineRoom, ' ');
  const int32_t st = RecordRead(kSettingsUnit, "(A)", {buffer});
  if (st != kRecordOk && st != kRecordTooLong) return false;
  line = std::string(TrimTrailingBlanks(buffer));
  if (std::string key = KeyOf(line); !key.empty()) LinesRead().emplace_back(std::move(key), line);
  return true;
}

}  // namespace

std::string ProgramFileName(std::string_view suffix) { return NamedAfter(YYProgramPath(), suffix); }

std::string NamedAfter(std::string path, std::string_view suffix) {
  if (path.size() >= 4) {
    std::string tail = path.substr(path.size() - 4);
    for (char& ch : tail) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (tail == ".exe") path.resize(path.size() - 4);
  }
  return path + std::string(suffix);
}

void INIIN() {
  LinesRead().clear();
  const std::string primary = ProgramFileName(".INI"), secondary = ProgramFileName(".INW");
  if (RecordOpen(kSettingsUnit, primary, RecordUnitMode::Read) != kRecordOk &&
      RecordOpen(kSettingsUnit, secondary, RecordUnitMode::Read) != kRecordOk)
    return;
  const std::vector<Key> keys = Keys();
  DisplaySettingsRecord& d = DisplaySettings();
  int32_t* const windowsBlock[] = {&d.DialogX, &d.DialogY,     &d.WindowX,          &d.WindowY,         &d.WindowW,
                                   &d.WindowH, &d.WindowState, &d.Kept.SoftDialogX, &d.Kept.SoftDialogY};
  static constexpr std::string_view kWindowsKeys[] = {"Dialog X=", "Dialog Y=",     "Window X=",      "Window Y=",
                                                      "Window W=", "Window H=",     "Window State=",  "Soft Dialog X=",
                                                      "Soft Dialog Y="};
  ReaderState st;
  std::string line;
  bool pending = false;  // `line` is still to be tested
  while (pending || NextLine(line)) {
    pending = false;
    if (Contains(line, "[Directories]")) {
      if (!NextLine(line)) break;
      if (Contains(line, "LastDir=")) {
        const std::string dir(TrimTrailingBlanks(line.size() > 8 ? std::string_view(line).substr(8) : ""));
        if (!dir.empty()) IOsDirChange(dir);
        continue;
      }
      pending = true;
      continue;
    }
    if (Contains(line, "[Windows]")) {
      bool ended = false;
      for (size_t i = 0; i < std::size(kWindowsKeys); ++i) {
        if (!NextLine(line)) {
          ended = true;
          break;
        }
        if (!Contains(line, kWindowsKeys[i])) {
          pending = true;
          break;
        }
        int32_t v = 0;
        if (ReadInteger(FirstWord(std::string_view(line).substr(std::min(line.size(), kWindowsKeys[i].size()))), v))
          *windowsBlock[i] = v;
      }
      if (ended) break;
      continue;
    }
    const std::string_view view(line);
    const Key* found = nullptr;
    for (const Key& k : keys)
      if (Contains(view, k.text)) {
        found = &k;
        break;
      }
    if (found == nullptr) {
      st.lastWasMembers = false;
      continue;
    }
    // A value the key cannot take costs that line only.
    Apply(*found, view.substr(0, std::min(view.size(), kKeyColumns)), st);
  }
  RecordClose(kSettingsUnit);
}

// ------------------------------------------------------------ the writer

namespace {

struct Writer {
  std::vector<std::string> lines;
  // A value holding a line end would come back as lines of its own (keys
  // the user never set): the line its key had when the file was read is
  // written instead, or none.
  void Record(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
      lines.emplace_back(text);
      return;
    }
    const std::string key = KeyOf(text);
    for (const auto& [k, line] : LinesRead())
      if (!key.empty() && k == key) {
        lines.push_back(line);
        return;
      }
  }
};

// A value in its field, or, when it does not fit, in a wider form the
// reader takes back.
std::string Integer5(int32_t v, bool separate = false) {
  std::string t(5, ' ');
  RecordWrite(std::span<char>(t), "(I5)", {v});
  if (t.find('*') == std::string::npos && (!separate || t.front() == ' ')) return t;
  t.assign(12, ' ');
  RecordWrite(std::span<char>(t), "(I12)", {v});
  return t;
}

// `separate`: the field follows another value on its line, so a value that
// fills it would run into that one.
std::string Real(float v, std::string_view format, size_t width, bool separate = false) {
  std::string t(width, ' ');
  RecordWrite(std::span<char>(t), format, {v});
  if (t.find('*') == std::string::npos && (!separate || t.front() == ' ')) return t;
  // A blank and an exponent form with 8 digits.
  t.assign(15, ' ');
  RecordWrite(std::span<char>(t), "(1P,E15.7)", {v});
  return t;
}

std::string Logical(bool v) { return v ? "T" : "F"; }

}  // namespace

void LASTDIR() {
  const DisplaySettingsRecord& d = DisplaySettings();
  const KeptSettingsRecord& k = d.Kept;
  const AxisCaptionTableRecord& c = AxisCaptionTable();
  const SuiteSettingsRecord& s = SuiteSettings();
  std::string cwd(kLineRoom, ' ');
  IOsDirName(cwd);
  const std::string dir(TrimTrailingBlanks(cwd));

  Writer w;
  auto sep = [&] { w.Record(" "); };
  auto i5 = [&](std::string_view key, int32_t v) { w.Record(std::string(key) + Integer5(v)); };
  auto f104 = [&](std::string_view key, float v) { w.Record(std::string(key) + Real(v, "(F10.4)", 10)); };
  auto e134 = [&](std::string_view key, float v) { w.Record(std::string(key) + Real(v, "(1P,E13.4)", 13)); };
  auto l1 = [&](std::string_view key, bool v) { w.Record(std::string(key) + Logical(v)); };
  auto a40 = [&](std::string_view key, const std::string& v) { w.Record(std::string(key) + Caption40(v)); };

  w.Record("[Directories]");
  if (!dir.empty()) {
    // Written whole: a directory cut short would not be found again.
    std::string value = dir;
    if (value.size() < 80) value.resize(80, ' ');
    w.Record("LastDir=" + value);
  }
  sep();
  w.Record("[Windows]");
  i5("Dialog X=", d.DialogX);
  i5("Dialog Y=", d.DialogY);
  i5("Window X=", d.WindowX);
  i5("Window Y=", d.WindowY);
  i5("Window W=", d.WindowW);
  i5("Window H=", d.WindowH);
  i5("Window State=", d.WindowState);
  static constexpr std::string_view kOthers[] = {"WellLog", "System", "Sounding"};
  for (size_t i = 0; i < 3; ++i) {
    const WindowGeometry& g = d.OtherWindowGeometry[i];
    const std::string n(kOthers[i]);
    i5(n + " X=", g.X);
    i5(n + " Y=", g.Y);
    i5(n + " W=", g.W);
    i5(n + " H=", g.H);
    i5(n + " State=", g.State);
  }
  i5("Soft Dialog X=", k.SoftDialogX);
  i5("Soft Dialog Y=", k.SoftDialogY);
  sep();
  w.Record("[Data Input]");
  i5("First Row=", k.FirstRow);
  i5("Last Row=", k.LastRow);
  i5("Distance Column=", k.DistanceColumn);
  i5("Model Resist Column=", k.ModelResistColumn);
  i5("Well Depth Column=", k.WellDepthColumn);
  i5("Well Resist Column=", k.WellResistColumn);
  l1("LX1000=", k.LX1000);
  i5("Time Column=", k.TimeColumn);
  i5("Voltage Column=", k.VoltageColumn);
  i5("Debug=", d.DebugMode);
  i5("System Time Column=", k.SystemTimeColumn);
  i5("System Response Column=", k.SystemResponseColumn);
  w.Record("System DT=" + Real(k.SystemDT, "(F10.6)", 10));
  sep();
  w.Record("[Files]");
  w.Record("Last File=" + std::string(24, ' '));
  sep();
  w.Record("[Flags]");
  l1("LZOOM=", d.LZOOM);
  l1("LINEARMOD=", d.LINEARMOD);
  l1("LGRIDJD=", d.LGRIDJD);
  l1("LGRIDND=", d.LGRIDND);
  l1("LGRIDJM=", d.LGRIDJM);
  l1("LGRIDNM=", d.LGRIDNM);
  sep();
  w.Record("[Graphs]");
  a40("CLRES=", c.CLRES);
  a40("CLSPACE=", c.CLSPACE);
  a40("CLRESM=", c.CLRESM);
  a40("CLDEPT=", c.CLDEPT);
  a40("CLTIME=", c.CLTIME);
  a40("CLPER=", c.CLPER);
  a40("CLFREQ=", c.CLFREQ);
  a40("CLVOLT=", c.CLVOLT);
  a40("CTIMES=", c.CTIMES);
  a40("CRVOLT=", c.CRVOLT);
  a40("CLPHAS=", c.CLPHAS);
  a40("CLINQD=", c.CLINQD);
  a40("CLHITE=", c.CLHITE);
  a40("CLPFE=", c.CLPFE);
  a40("CLPFEM=", c.CLPFEM);
  a40("CLNSPC=", c.CLNSPC);
  a40("CLNORT=", c.CLNORT);
  a40("CLEAST=", c.CLEAST);
  a40("CLPDIS=", c.CLPDIS);
  a40("CLELEV=", c.CLELEV);
  f104("HICNAME=", d.HICNAME);
  f104("HIDATV=", d.HIDATV);
  f104("HIDATH=", d.HIDATH);
  f104("HIMODV=", d.HIMODV);
  f104("HIMODH=", d.HIMODH);
  f104("OFFDATV=", d.OFFDATV);
  f104("OFFDATH=", d.OFFDATH);
  f104("OFFMODV=", d.OFFMODV);
  f104("OFFMODH=", d.OFFMODH);
  f104("HIMAPV=", k.HIMAPV);
  f104("HIMAPH=", k.HIMAPH);
  f104("OFFMAPV=", k.OFFMAPV);
  f104("OFFMAPH=", k.OFFMAPH);
  i5("Line Width=", d.LineWidth);
  i5("KGRID=", d.KGRID);
  i5("KBEST=", d.KBEST);
  i5("KEQUV=", d.KEQUV);
  i5("KSMOO=", d.KSMOO);
  i5("KPLIN=", d.KPLIN);
  i5("KSOUN=", d.KSOUN);
  std::string colours = "KCALC=";
  for (int32_t colour : d.KCALC) colours += Integer5(colour, true);
  w.Record(colours);
  sep();
  w.Record("[Suite]");
  i5("NSuite=", s.NSuite);
  i5("ISuiteType=", s.ISuiteType);
  l1("LDifference=", s.LDifference);
  f104("TxLength=", s.TxLength);
  f104("TxAmps=", s.TxAmps);
  f104("RxLength=", s.RxLength);
  f104("VNoise=", s.VNoise);
  const int32_t n = std::clamp(s.NSuite, 0, kMaxSuiteMembers);
  std::string values = "VParam=";
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0 && i % 10 == 0) {
      w.Record(values);
      values = "VParam=";
    }
    values += Real(s.VParam[static_cast<size_t>(i)], "(F10.4)", 10, true);
  }
  w.Record(values);
  i5("ILayer=", s.ILayer);
  i5("IAbscissa=", s.IAbscissa);
  i5("NAbscissa=", s.NAbscissa);
  e134("AbStart=", s.AbStart);
  e134("AbEnd=", s.AbEnd);
  l1("LogAbscissa=", s.LogAbscissa);
  l1("LogData=", s.LogData);
  sep();
  w.Record("[Font]");
  i5("IFont=", d.IFont);
  i5("IStyle=", d.IStyle);
  e134("FWidth=", d.FWidth);
  e134("FHeight=", d.FHeight);
  // The file replaces the old one only once it is complete, through a link
  // to it (the link stays), keeping its permission bits; a file the user
  // may not write is left alone. Whatever fails is told.
  const std::string primary = ProgramFileName(".INI");
  int32_t st = RecordOpen(kSettingsUnit, primary, RecordUnitMode::Write);
  for (size_t i = 0; st == kRecordOk && i < w.lines.size(); ++i) st = RecordWrite(kSettingsUnit, "(A)", {w.lines[i]});
  if (st != kRecordOk) RecordClose(kSettingsUnit);
  if (st == kRecordOk) st = RecordClose(kSettingsUnit);
  if (st != kRecordOk) YYFileNotWritten(2, "LASTDIR", primary, RecordLastSystemError());
}
