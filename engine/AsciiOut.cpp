#include "engine/AsciiOut.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "app/SuiteServices.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/WindowApi.h"

namespace {

constexpr int32_t kDataUnit = 42;
constexpr int32_t kTableUnit = 43;
constexpr int32_t kSaveAskOverwrite = 47;
constexpr std::string_view kNoSuite = "No model suite has been computed: nothing to export";

// The last export's output kind (2 early, 4 late, 6 all-time).
int32_t gKind = 0;

// Asks for the file to write, in a field that holds any path the system
// takes; false when none was chosen.
bool ChooseFile(std::string_view filters, std::string& name) {
  name.assign(kFileNameRoom, ' ');
  WSelectFileDefaults(filters, kSaveAskOverwrite, name, "Flat ASCII Data File");
  return WDialogInfoItem(4) == 1 && !IsAllBlanks(name);
}

bool Marine(std::string_view system, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (TrimTrailingBlanks(system) == TrimTrailingBlanks(n)) return true;
  return false;
}

}  // namespace

std::string& LastExportFile() {
  static std::string file;
  return file;
}

std::string ExportFailure(std::string_view text, std::string_view file) {
  const int error = RecordLastSystemError();
  return std::string(text) + std::string(file) + "\r\n" + std::strerror(error != 0 ? error : EIO);
}

void WRITEDATA() {
  const SuiteResultsRecord& r = SuiteResults();
  const SuiteSnapshotRecord& s = r.Snapshot;
  if (!s.Valid) {
    WINMSG(kNoSuite);
    return;
  }
  TellMembersNotComputed();
  std::string name;
  if (!ChooseFile("Flat ASCII Data File|*.DAT|", name)) return;

  // The kind is chosen before the file is opened, so that a cancel leaves
  // any old file as it was.
  if (s.IDisplay == 4 || s.IDisplay == 6) {
    bool cancelled = false;
    EARLYLATEDLG(gKind, s.IDisplay == 4 ? 2 : 3, cancelled);
    if (cancelled) return;
  } else {
    gKind = s.IDisplay;
  }
  std::string_view caption = "     Ex (V/m)";
  int32_t column = 1;
  if (s.IComponent == 2) {
    caption = "     Ey (V/m)";
  } else if (s.IComponent == 3) {
    if (gKind == 1) caption = "Meas. Voltage";
    else if (gKind == 2) caption = "  Early Rho-A";
    else if (gKind == 4) caption = "   Late Rho-A", column = 2;
    else caption = "AllTime Rho-A", column = 3;
  }
  column = std::min(column, std::max(r.SuiteNC, 1));

  if (RecordOpen(kDataUnit, TrimTrailingBlanks(name), RecordUnitMode::Write) != kRecordOk) {
    WINMSG(ExportFailure("CANNOT OPEN FILE: ", TrimTrailingBlanks(name)));
    return;
  }
  static constexpr const char* kNames[] = {"Resistivity of layer", "Thickness of layer", "Depth to bottom of layer",
                                           "Source-Receiver Offset", "Tx-Rx Angle", "Fade-in of Second Model (%)"};
  const int32_t kind = std::clamp(s.ISuiteType, 1, 6);
  const int32_t n = s.NSuite;
  if (kind <= 3) RecordWrite(kDataUnit, "('Parameter to vary is ',A,I)", {kNames[kind - 1], s.ILayer});
  else RecordWrite(kDataUnit, "('Parameter to vary is ',A)", {kNames[kind - 1]});
  RecordWrite(kDataUnit, "(TR9,I4,',    Variations: ',25(1P,E13.5,', '))",
              {n, std::span<const float>(s.VParam)});
  std::vector<RecordValue> captions(static_cast<size_t>(n), RecordValue(caption));
  RecordWrite(kDataUnit, "(TR7,'NUMBER,          TIME, ',25(A13,', '))", captions);
  std::vector<float> line(static_cast<size_t>(n) + 1);
  for (int32_t i = 1; i <= s.NT; ++i) {
    line[0] = s.Times[static_cast<size_t>(i - 1)];
    for (int32_t k = 1; k <= n; ++k) line[static_cast<size_t>(k)] = r.Curve(i, column, k);
    RecordWrite(kDataUnit, "(TR8,I5,', ',25(1P,E13.5,', '))", {i, std::span<const float>(line)});
  }
  if (RecordClose(kDataUnit) != kRecordOk) {
    WINMSG(ExportFailure("Cannot write file: ", TrimTrailingBlanks(name)));
    return;
  }
  LastExportFile() = TrimTrailingBlanks(name);
}

void WRITESUITE() {
  const SuiteResultsRecord& r = SuiteResults();
  const SuiteSnapshotRecord& s = r.Snapshot;
  if (!s.Valid) {
    WINMSG(kNoSuite);
    return;
  }
  TellMembersNotComputed();
  const int32_t n = s.NSuite, nc = r.SuiteNC, nt = s.NT;
  const SoundingRecord& base = SuiteBaseModel().Primary;
  const std::string_view system = base.Data.SystemName;
  const bool fem = Marine(system, {"Marine FEM Inline E ", "Marine FEM B-Side E "});
  const bool tem = Marine(system, {"Marine TEM XLine H  ", "Marine TEM Inline E ", "Marine TEM B-Side E "});
  // The widest line: the abscissa and every curve, and for the marine
  // arrangements their further columns; never less than 39 N + 26.
  const size_t columns = static_cast<size_t>(2 + n * std::max(nc, fem ? 2 : 1)) + (tem ? 2 * static_cast<size_t>(n) + 1 : 0);
  std::string buffer;
  try {
    buffer.assign(std::max<size_t>(39 * static_cast<size_t>(n) + 26, 13 * columns), ' ');
  } catch (const std::bad_alloc&) {
    WINMSG("Cannot allocate character array for writing");
    return;
  }
  std::string name;
  if (!ChooseFile("Flat ASCII Data File|*.TXT|", name)) return;
  if (RecordOpen(kTableUnit, TrimTrailingBlanks(name), RecordUnitMode::Write) != kRecordOk) {
    WINMSG(ExportFailure("CANNOT OPEN FILE:\r\n", TrimTrailingBlanks(name)));
    return;
  }
  size_t used = 0;
  const auto put = [&buffer, &used](std::string_view text) {
    std::copy(text.begin(), text.end(), buffer.begin() + static_cast<std::ptrdiff_t>(used));
    used += 13;
  };
  const auto number = [&put](float v) {
    std::string t(13, ' ');
    RecordWrite(std::span<char>(t), "(1P,E13.5)", {v});
    put(t);
  };
  const auto memberText = [](std::string_view format, int32_t j, std::string_view pattern, std::string_view with) {
    std::string t(13, ' ');
    RecordWrite(std::span<char>(t), format, {j});
    RPL_PAT(t, 13, pattern, 2, with, 2);
    return t;
  };
  const std::string_view abscissa = fem ? "  FREQUENCY  " : "     TIME    ";

  // The header is written for the marine transient arrangements only.
  put(abscissa);
  for (int32_t j = 1; j <= n; ++j) {
    const std::string t = memberText("('      IMP',I2,'  ')", j, "P ", "P0");
    put(t);
    if (fem) put(memberText("('      IMP',I2,'  ')", j, "E ", "E0"));
  }
  put(abscissa);
  if (tem) {
    for (int32_t j = 2; j <= n; ++j) put(memberText("('   IMP',I2,'-IMP1')", j, "P ", "P0"));
    put(abscissa);
    for (int32_t j = 1; j <= n; ++j) put(memberText("('   DIMP',I2,'/DT ')", j, "P ", "P0"));
    RecordWrite(kTableUnit, "(A)", {std::string_view(buffer.data(), used)});
  }

  const RealArray& data = base.Arrays->DataMatrix;
  for (int32_t i = 2; i <= nt; ++i) {
    std::fill(buffer.begin(), buffer.end(), ' ');
    used = 0;
    float x = s.Times[static_cast<size_t>(i - 1)];
    if (fem) x = (data.Allocated && data.Dim2 >= 2 && i <= data.Dim1) ? data(i, 2) : kSuiteMissing;
    number(x);
    for (int32_t k = 1; k <= n; ++k)
      for (int32_t c = 1; c <= nc; ++c) number(r.Curve(i, c, k));
    if (tem) {
      number(x);
      for (int32_t k = 2; k <= n; ++k) number(r.Curve(i, 1, k) - r.Curve(i, 1, 1));
      number(x);
      for (int32_t k = 1; k <= n; ++k) number(r.Curve(i, 1, k) - r.Curve(i - 1, 1, k));
    }
    RecordWrite(kTableUnit, "(A)", {std::string_view(buffer.data(), used)});
  }
  if (RecordClose(kTableUnit) != kRecordOk) {
    WINMSG(ExportFailure("Cannot write file: ", TrimTrailingBlanks(name)));
    return;
  }
  LastExportFile() = TrimTrailingBlanks(name);
}
