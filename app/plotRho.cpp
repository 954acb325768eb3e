#include "app/plotRho.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/Strings.h"
#include "app/DisplaySettings.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "toolkit/graphics/Lines.h"

namespace {

// The first n values of column c of a matrix (n bounded by the matrix).
std::span<const float> Column(const RealArray& m, int32_t c, int32_t& n) {
  if (!m.Allocated || c < 1 || c > m.Dim2 || m.Dim1 < 1) {
    n = 0;
    return {};
  }
  n = std::clamp(n, 0, m.Dim1);
  return std::span<const float>(m.Data.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(m.Dim1),
                                static_cast<size_t>(n));
}

int32_t Decades(int32_t lo, int32_t hi) { return std::max(hi - lo, 1); }

// The largest height of the curve graph's numbers, in inches.
constexpr float kCurveNumberHeight = 0.16f;

}  // namespace

int32_t DisplayedCode() {
  const SuiteSnapshotRecord& s = SuiteResults().Snapshot;
  return s.Valid ? s.IDisplay : SuiteSettings().IDisplay;
}

int32_t CurveColumnsOf(int32_t display) { return display == 6 ? 3 : display == 4 ? 2 : 1; }

void PLOT_RHO(GraphFrame& frame, SoundingRecord& record, SoundingRecord& partner) {
  DisplaySettingsRecord& d = DisplaySettings();
  const AxisCaptionTableRecord& c = AxisCaptionTable();
  PLOTXY(1.0f, 0.0f, 1, frame);
  if (record.Data.NPoints < 1) return;
  IGrLineThickness(d.LineWidth, 5 * d.LineWidth);
  d.LVOLTPLOT = false;
  frame.LimitNumberHeight = true;
  frame.MaxNumberHeight = kCurveNumberHeight;
  frame.ExtentMinX = frame.ExtentMaxX = frame.ExtentMinY = 0.0f;
  PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
  SETPENCOLOR(d.KGRID);
  GNGRID(frame);
  FINDAS(frame);

  const float width = static_cast<float>(frame.XDivisions) * frame.XDivLength;
  const float height = static_cast<float>(frame.YDivisions) * frame.YDivLength;
  const std::string_view title = TrimTrailingBlanks(record.Data.Title);
  CENTSY(width / 2.0f, height + 0.75f * d.HICNAME, d.HICNAME, title, 0.0f, static_cast<int32_t>(title.size()));
  // An axis caption is never smaller than its axis's numbers; a turned
  // one keeps a quarter of its height clear of them.
  if (frame.NumberLeft) {
    const int32_t code = DisplayedCode();
    const std::string& caption = code == 1 ? c.CRVOLT : code == 3 ? c.CLEFLD : c.CLRES;
    const std::string_view t = TrimTrailingBlanks(caption);
    const float h = std::max(d.HIDATV, AxisNumberTextHeight(frame, false));
    CENTSY(frame.ExtentMinX - 0.75f * h + d.OFFDATV, height / 2.0f, h, t, 90.0f, static_cast<int32_t>(t.size()));
  }
  if (frame.NumberBottom) {
    const std::string_view t = TrimTrailingBlanks(c.CTIMES);
    const float h = std::max(d.HIDATH, AxisNumberTextHeight(frame, true));
    CENTSY(width / 2.0f, frame.ExtentMinY - 1.5f * h + d.OFFDATH, h, t, 0.0f, static_cast<int32_t>(t.size()));
  }
  PLOTRHOCURVES(frame, record, partner, true);
}

void PLOTRHOCURVES(GraphFrame& frame, SoundingRecord& record, SoundingRecord& /*partner*/, bool setColour) {
  PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
  if (setColour) SETPENCOLOR(DisplaySettings().KBEST);
  frame.MarkerStyle = 0;
  if (!record.Computed) return;
  int32_t nt = record.Data.NPoints;
  const std::span<const float> times = Column(record.Arrays->DataMatrix, 1, nt);
  const int32_t columns = CurveColumnsOf(DisplayedCode());
  for (int32_t col = 1; col <= columns; ++col) {
    int32_t n = nt;
    const std::span<const float> values = Column(record.Synthetics, col, n);
    if (n > 0) GNPLOT(times.first(static_cast<size_t>(n)), values, n, false, frame);
  }
}

void SCALE_Y_MINMAX(const SoundingRecord& record, float& ymin, float& ymax, int32_t first, int32_t last,
                    int32_t step, bool log, int32_t status) {
  if (status != 0 || step == 0) return;
  // Every pass scans the same first column, so one pass gives the range.
  if ((last - first + step) / step < 1 || !record.Computed) return;
  int32_t n = record.Data.NPoints;
  const std::span<const float> values = Column(record.Synthetics, 1, n);
  if (log) GETNX(values, n, ymin, ymax);
  else FINDNX(values, n, ymin, ymax);
}

void SCALE_X(GraphFrame& frame, const SoundingRecord& record, const SoundingRecord& /*again*/) {
  float tmin = 9.0e29f, tmax = -1.1e30f;
  int32_t n = record.Data.NPoints;
  const std::span<const float> times = Column(record.Arrays->DataMatrix, 1, n);
  GETNX(times, n, tmin, tmax);
  int32_t lo = 0, hi = 0;
  LOGNX(tmin, tmax, lo, hi);
  frame.XExponentOrMinor = lo;
  frame.XDivisions = Decades(lo, hi);
  frame.XStep = 0.0f;
  frame.XLog = true;
}

void SCALESUITEY(int32_t set) {
  std::array<GraphFrame, 2>& frames = CurveGraphFrame();
  GraphFrame& f = frames[static_cast<size_t>(std::clamp(set, 1, 2) - 1)];
  const SuiteResultsRecord& r = SuiteResults();
  if (SuiteSettings().LogData) {
    int32_t lo = 0, hi = 0;
    LOGNX(r.SuiteYMin, r.SuiteYMax, lo, hi);
    f.YExponentOrMinor = lo;
    f.YDivisions = Decades(lo, hi);
    f.YStep = 0.0f;
    f.YLog = true;
  } else {
    LINNX(r.SuiteYMin, r.SuiteYMax, f.YStart, f.YStep, f.YDivisions, f.YExponentOrMinor);
    f.YLog = false;
  }
  f.OriginX = 1.25f;
  f.OriginY = 1.25f;
  f.XDivLength = 5.0f / static_cast<float>(std::max(f.XDivisions, 1));
  f.YDivLength = 6.0f / static_cast<float>(std::max(f.YDivisions, 1));
  f.NumberBottom = f.NumberLeft = true;
  f.NumberRight = f.NumberTop = false;
  // The numbers' height as the page draws them (the labels are sized from
  // it before the first drawing).
  f.LimitNumberHeight = true;
  f.MaxNumberHeight = kCurveNumberHeight;
}

// ---------------------------------------------------------------- not called

void SCALE_X_MINMAX(const SoundingRecord& record, float& minimum, float& maximum) {
  int32_t n = record.Data.NPoints;
  const std::span<const float> times = Column(record.Arrays->DataMatrix, 1, n);
  FINDNX(times, n, minimum, maximum);
}

bool SCALE_Y(GraphFrame& frame, const SoundingRecord& record, bool log) {
  std::vector<float> work;
  const int32_t columns = record.Computed ? std::max(record.Data.NCurves, 1) : 0;
  try {
    work.reserve(static_cast<size_t>(std::max(record.Data.NPoints, 0)) * static_cast<size_t>(columns));
  } catch (const std::bad_alloc&) {
    WINMSG("ALLOCATION ERROR IN SCALE_Y");
    return false;
  }
  float lo = 1.0e20f, hi = -1.0e20f;
  for (int32_t c = 1; c <= columns; ++c) {
    int32_t n = record.Data.NPoints;
    const std::span<const float> values = Column(record.Synthetics, c, n);
    work.insert(work.end(), values.begin(), values.end());
  }
  const int32_t n = static_cast<int32_t>(work.size());
  if (log) {
    GETNX(work, n, lo, hi);
    int32_t elo = 0, ehi = 0;
    LOGNX(lo, hi, elo, ehi);
    frame.YExponentOrMinor = elo;
    frame.YDivisions = Decades(elo, ehi);
    frame.YStep = 0.0f;
    frame.YLog = true;
  } else {
    FINDNX(work, n, lo, hi);
    LINNX(lo, hi, frame.YStart, frame.YStep, frame.YDivisions, frame.YExponentOrMinor);
    frame.YLog = false;
  }
  return true;
}

float EFFDEPTH(float a, float b, std::string_view kind) {
  const double A = a, B = b;
  if (!kind.empty() && kind.front() == 'V') {
    return static_cast<float>(A * std::sqrt((4.0 * (B / A) * (B / A) + 1.0 - 0.135335) / 0.5413398) - B);
  }
  const double s = (std::sqrt(4.0 * (B / A) * (B / A) + 1.0) - 2.0 * B / A) * 0.367879;
  return static_cast<float>((1.0 - s * s) * A / (4.0 * s) - B);
}

void PLOTPREP(std::span<float> vector, const RealArray& matrix, int32_t n, int32_t column,
              const SoundingRecord& record) {
  if (!record.Computed) return;
  n = ClampCount(n, vector.size());
  const std::span<const float> values = Column(matrix, column, n);
  std::copy(values.begin(), values.end(), vector.begin());
}
