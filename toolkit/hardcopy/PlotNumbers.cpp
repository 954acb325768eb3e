#include "toolkit/hardcopy/PlotNumbers.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/PlotFile.h"

std::string PlotFormat(std::string_view format, std::initializer_list<RecordValue> values) {
  std::array<char, 512> text{};
  RecordWrite(text, format, values);
  return std::string(TrimTrailingBlanks(std::string_view(text.data(), text.size())));
}

std::string PlotFormatFit(std::string_view format, std::string_view wide, std::initializer_list<RecordValue> values) {
  std::string s = PlotFormat(format, values);
  if (s.find('*') != std::string::npos) s = PlotFormat(wide, values);
  return s;
}

bool PlotOutputOpen() {
  ErrorStateRecord& e = ErrorState();
  const int32_t kept = e.LastErrorCode;
  e.LastErrorCode = 0;
  YYPlotFileOpen(2);
  if (e.LastErrorCode != 0) {
    GraphicsState().HardcopyActive = 0;
    return false;
  }
  e.LastErrorCode = kept;
  return true;
}

int32_t CurrentColourValue() {
  const GraphicsStateRecord& g = GraphicsState();
  return g.ColourMode == 2 ? g.ColourRgb : g.ColourIndex;
}

int32_t PreviousColourValue() {
  const GraphicsStateRecord& g = GraphicsState();
  return g.ColourMode == 2 ? g.PreviousColourRgb : g.PreviousColourIndex;
}

int32_t PlotTrunc(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

std::string YYHexColour(int32_t red, int32_t green, int32_t blue) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string s;
  for (int32_t c : {red, green, blue}) {
    const int32_t v = std::clamp(c, 0, 255);
    s += kDigits[v / 16];
    s += kDigits[v % 16];
  }
  return s;
}
