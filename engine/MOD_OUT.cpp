#include "engine/MOD_OUT.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "engine/AsciiOut.h"
#include "engine/SuiteResults.h"

namespace {

constexpr int32_t kPrintoutUnit = 41;
constexpr std::string_view kStars = " *****";

bool gOpen = false;           // the header is written and the file not yet complete
int32_t gMembers = 0;         // N of the suite being written
PrintoutClock gClock = nullptr;

std::tm Now() {
  if (gClock != nullptr) return gClock();
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

// "09-DEC-26" and "14:05:09   ".
void DateAndTime(std::string& date, std::string& time) {
  static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const std::tm tm = Now();
  date.assign(9, ' ');
  time.assign(11, ' ');
  RecordWrite(std::span<char>(date), "(I2.2,'-',A3,'-',I2.2)",
              {tm.tm_mday, kMonths[static_cast<size_t>(std::clamp(tm.tm_mon, 0, 11))], (tm.tm_year + 1900) % 100});
  RecordWrite(std::span<char>(time), "(I2.2,':',I2.2,':',I2.2)", {tm.tm_hour, tm.tm_min, tm.tm_sec});
}

// A write that failed: reported on the console, the rest of that header or
// block is not written.
void ReportWrite(std::string_view text, int32_t status) {
  RecordWrite(kConsoleUnit, "(A,I6)", {text, status});
  RecordWrite(kConsoleUnit, "(A)", {" "});
}

std::span<const float> Column(const RealArray& a, int32_t c, int32_t n) {
  if (!a.Allocated || c > a.Dim2 || n < 1) return {};
  return std::span<const float>(a.Data.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(a.Dim1),
                                static_cast<size_t>(std::min(n, a.Dim1)));
}

int32_t WriteHeader(std::string_view name, const SoundingRecord& record, int32_t points, std::string_view comment,
                    std::string_view code, std::string_view vertical, std::string_view timeScale) {
  const SuiteSnapshotRecord& s = SuiteResults().Snapshot;
  constexpr std::string_view kWrite = " MOD_OUT: Error during write. IOSTAT = ";
  std::string date, time;
  DateAndTime(date, time);
  // The name's field is wide enough for the whole name: the header names
  // the file written, never a cut name.
  std::string file(std::max<size_t>(256, name.size()), ' ');
  CopyPadded(file, name);
  std::string note(60, ' ');
  CopyPadded(note, comment);
  int32_t st = RecordWriteList(kPrintoutUnit, {"Output file: ", file, "Generated on: ", date, "  ", time});
  if (st == kRecordOk) st = RecordWriteList(kPrintoutUnit, {"Comments: ", note});
  if (st == kRecordOk) {
    std::vector<RecordValue> v{code, vertical, timeScale, s.NSuite, code, 0};
    v.emplace_back(std::span<const float>(s.VParam));
    st = RecordWrite(kPrintoutUnit,
                     "(TR1,'Curve type is TD',A2,/,' Vertical scale: ',A,/,' Time scale:',A,/,I2,' Variations on ',"
                     "A1,I2,':',/,1(1P,5E11.2))",
                     v);
  }
  if (st == kRecordOk) {
    st = s.ISuiteType == 4 ? RecordWriteList(kPrintoutUnit, {" Offset is variation parameter"})
                           : RecordWrite(kPrintoutUnit, "(A,1P,E11.2)", {" Default offset: ", s.Offset});
  }
  if (st == kRecordOk) st = RecordWriteList(kPrintoutUnit, {});
  if (st != kRecordOk) {
    ReportWrite(kWrite, st);
    return st;
  }
  st = RecordWrite(kPrintoutUnit, "(A,1P,7E11.2)", {" System parameters: rec. area or length (sqm or m) = ", s.RxArea});
  if (st != kRecordOk) {
    ReportWrite(" MOD_OUT: Error during area write. IOSTAT = ", st);
    return st;
  }
  st = RecordWrite(kPrintoutUnit, "(TR31,A,1P,5E11.2)", {" Source current (A) = ", s.TxAmps});
  if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(TR32,A,1P,5E11.2)", {" source length (m) = ", s.TxLength});
  if (st != kRecordOk) {
    ReportWrite(" MOD_OUT: Error during source parm write. IOSTAT = ", st);
    return st;
  }
  st = RecordWrite(kPrintoutUnit, "(1X,I2,A)", {points, " DATA POINTS"});
  if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(A)", {kStars});
  // The model as the suite was computed with it.
  const Model1D& m = s.BaseModel;
  if (st == kRecordOk) st = E_MODEL2(kPrintoutUnit, std::span<const float>(m.Value.Data), m.NLayers);
  if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(A)", {kStars});
  if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(A,A)", {" TIME SCALE: ", timeScale});
  if (st == kRecordOk) st = RecordWriteList(kPrintoutUnit, {Column(record.Arrays->DataMatrix, 1, points)});
  if (st != kRecordOk) ReportWrite(kWrite, st);
  return st;
}

// Member block: the first curve, then the late-time curve (display 4),
// the all-time curve (display 6), or both (display 5, whose first column
// holds the all-time curve and whose stored members carry all three).
void WriteMember(const SoundingRecord& record, int32_t points, std::string_view vertical, int32_t display) {
  const RealArray& syn = record.Synthetics;
  int32_t st = RecordWrite(kPrintoutUnit, "(A)", {kStars});
  if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(A,A)", {" VERTICAL SCALE: ", vertical});
  if (st == kRecordOk) st = RecordWriteList(kPrintoutUnit, {Column(syn, 1, points)});
  if (st == kRecordOk && (display == 4 || display == 5)) {
    st = RecordWrite(kPrintoutUnit, "(A)", {kStars});
    if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(A)", {" VERTICAL SCALE: late time app.resistivity:"});
    if (st == kRecordOk) st = RecordWriteList(kPrintoutUnit, {Column(syn, 2, points)});
  }
  if (st == kRecordOk && (display == 6 || display == 5)) {
    st = RecordWrite(kPrintoutUnit, "(A)", {kStars});
    if (st == kRecordOk) st = RecordWrite(kPrintoutUnit, "(A)", {" All time app.resistivity:"});
    if (st == kRecordOk) st = RecordWriteList(kPrintoutUnit, {Column(syn, 3, points)});
  }
  if (st != kRecordOk) ReportWrite(" MOD_OUT: Error during write. IOSTAT = ", st);
}

}  // namespace

void SetPrintoutClock(PrintoutClock clock) { gClock = clock; }

int32_t E_MODEL2(int32_t unit, std::span<const float> values, int32_t nl) {
  nl = std::max(nl, 0);
  const auto part = [&values](int32_t first, int32_t n) {
    const int32_t size = static_cast<int32_t>(values.size());
    first = std::min(first, size);
    return values.subspan(static_cast<size_t>(first), static_cast<size_t>(std::clamp(n, 0, size - first)));
  };
  int32_t st = RecordWriteList(unit, {nl, "  Layer Model:  (first the resistivities, then the thicknesses)"});
  if (st == kRecordOk) st = RecordWriteList(unit, {part(0, nl)});
  if (st == kRecordOk && nl > 1) st = RecordWriteList(unit, {part(nl, nl - 1)});
  return st;
}

void MOD_OUT(std::string_view fileName, SoundingRecord& record, int32_t k, std::string_view comment, bool& failed) {
  const SuiteSnapshotRecord& s = SuiteResults().Snapshot;
  const std::string_view name = TrimTrailingBlanks(fileName);
  failed = false;
  if (k == 1 && gOpen) {
    // An earlier export that never reached its last member.
    RecordClose(kPrintoutUnit);
    gOpen = false;
  }
  bool header = false;
  if (!gOpen) {
    if (!s.Valid) {
      WINMSG("No model suite has been computed: nothing to export");
      failed = true;
      return;
    }
    if (RecordOpen(kPrintoutUnit, name, RecordUnitMode::Write) != kRecordOk) {
      failed = true;
      WINMSG(ExportFailure("Cannot open file :", name));
      return;
    }
    gOpen = true;
    header = true;
    gMembers = s.NSuite;
  }
  static constexpr std::array<std::string_view, 3> kCodes = {"EX", "EY", "HZ"};
  const std::string_view code = kCodes[static_cast<size_t>(std::clamp(s.IComponent, 1, 3) - 1)];
  const std::string_view vertical = s.IDisplay == 1     ? "measured voltage (Volts)  "
                                    : s.IComponent == 3 ? "early time app. resistivity (Ohm-m) "
                                                        : "electric field (V/m)";
  const std::string_view timeScale = " real time (sec)";
  // The points the record holds, in its abscissa and its curves alike.
  const RealArray& data = record.Arrays->DataMatrix;
  int32_t points = std::max(record.Data.NPoints, 0);
  points = std::min({points, data.Allocated ? data.Dim1 : 0, record.Synthetics.Allocated ? record.Synthetics.Dim1 : 0});

  if (header) {
    if (WriteHeader(name, record, points, comment, code, vertical, timeScale) == kRecordOk)
      WriteMember(record, points, vertical, s.IDisplay);
  } else {
    WriteMember(record, points, vertical, s.IDisplay);
  }
  if (k >= gMembers) {
    gOpen = false;
    const int32_t st = RecordClose(kPrintoutUnit);
    if (st != kRecordOk) {
      RecordWrite(kConsoleUnit, "(A,I6)", {" MOD_OUT: Error during close. Check source code' IOSTAT ", st});
      WINMSG(ExportFailure("Cannot write file :", name));
      failed = true;
    } else {
      LastExportFile() = name;
    }
  }
}
