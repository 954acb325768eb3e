#include "toolkit/dialogs/GridInterface.h"

#include <algorithm>
#include <array>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/Startup.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"

namespace {

constexpr int32_t kErrInvalidField = 1006;
constexpr int32_t kErrOutOfRange = 1009;
constexpr int32_t kErrUndefined = 1010;
constexpr int32_t kErrCell = 1017;
constexpr int32_t kErrRows = 1018;
constexpr size_t kMaxFormat = 50;
constexpr size_t kNumberText = 100;

enum class Number { Integer, Real, Double };

// True, with 1005 reported, for a field other than 0 while no dialog is
// selected.
bool NoDialog(int32_t field, const char* routine) { return field != 0 && NoDialogSelected(routine); }

// A grid operation's status as the routine reports it; true when it failed.
bool Failed(int32_t status, const char* routine, int32_t valueCode = 0) {
  switch (status) {
    case -1: YYERRREP(kErrInvalidField, routine); return true;
    case -2: YYERRREP(kErrCell, routine); return true;
    case -3:
      if (valueCode != 0) YYERRREP(valueCode, routine);
      return true;
    default: return false;
  }
}

std::string UpToNul(std::string_view s) { return std::string(s.substr(0, std::min(s.size(), s.find('\0')))); }

int32_t Info(int32_t field, int32_t item) {
  int32_t value = 0;
  int32_t status = field;
  YYGridInfo(status, item, value);
  return value;
}

// The three entries of the number put.
void PutCellNumber(int32_t field, int32_t column, int32_t row, double value, Number kind,
                   std::optional<std::string_view> given, const char* routine) {
  std::string format;
  if (kind == Number::Integer) {
    format = "(I100)";
  } else if (given && !IsAllBlanks(*given)) {
    format = std::string(*given);
  } else {
    int32_t probe = field;
    YYGridColumnFormat(probe, column - 1, format, static_cast<int32_t>(kMaxFormat));
  }
  format = UpToNul(format);
  if (NoDialog(field, routine)) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, routine);
    return;
  }
  std::string text;
  const int32_t first = Info(field, 9), shown = Info(field, 101);
  if (row >= first && row < first + shown) {
    std::array<char, kNumberText> buf{};
    buf.fill(' ');
    if (kind == Number::Integer) IntegerToString(static_cast<int32_t>(value), buf, format);
    else if (kind == Number::Real) IRealToString(static_cast<float>(value), buf, format);
    else IDoubleToString(value, buf, format);
    YYNumberTidy(buf, "L");
    text = std::string(TrimTrailingBlanks(std::string_view(buf.data(), buf.size())));
  } else {
    // Rows out of sight are written when they scroll into view.
    text = kind == Number::Integer ? "0" : "0.0";
  }
  status = field;
  YYGridRangeCheck(status, column - 1, value);
  if (status == -2) {
    YYERRREP(kErrInvalidField, routine);
    return;
  }
  if (Failed(status, routine, kErrOutOfRange)) return;
  status = field;
  YYGridPutValue(status, column - 1, row - 1, value, text, TrimTrailingBlanks(format));
  Failed(status, routine);
}

// Reads rows 1..n of a column with a cell routine; n is bounded by the
// rows in use and the array.
template <class T, class Read>
void GetColumn(int32_t field, int32_t column, std::span<T> values, int32_t& n, const char* routine, Read read) {
  if (NoDialog(field, routine)) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, routine);
    return;
  }
  n = std::min(n, Info(field, 3));
  const int32_t count = ClampCount(n, values.size());
  for (int32_t r = 1; r <= count; ++r) read(field, column, r, values[static_cast<size_t>(r - 1)]);
}

}  // namespace

void WGridGetCellString(int32_t field, int32_t column, int32_t row, std::string& text) {
  if (NoDialog(field, "WGridGetCellString")) return;
  int32_t status = field;
  std::string got;
  YYGridGetText(status, column - 1, row - 1, got, -1);
  if (Failed(status, "WGridGetCellString")) return;
  CopyPadded(text, UpToNul(got));
}

void WGridGetCellInteger(int32_t field, int32_t column, int32_t row, int32_t& value) {
  if (NoDialog(field, "WGridGetCellInteger")) return;
  int32_t status = field;
  double v = 0.0;
  YYGridGetNumber(status, column - 1, row - 1, v);
  if (status == -3) value = ToolkitSettings().NullInteger;
  if (Failed(status, "WGridGetCellInteger", kErrUndefined)) return;
  value = TruncSaturated(v);
}

void WGridGetCellReal(int32_t field, int32_t column, int32_t row, float& value) {
  if (NoDialog(field, "WGridGetCellReal")) return;
  int32_t status = field;
  double v = 0.0;
  YYGridGetNumber(status, column - 1, row - 1, v);
  if (status == -3) value = ToolkitSettings().NullReal;
  if (Failed(status, "WGridGetCellReal", kErrUndefined)) return;
  value = ToFloat(v);
}

void WGridGetCellDouble(int32_t field, int32_t column, int32_t row, double& value) {
  if (NoDialog(field, "WGridGetCellDouble")) return;
  int32_t status = field;
  double v = 0.0;
  YYGridGetNumber(status, column - 1, row - 1, v);
  if (status == -3) value = ToolkitSettings().NullDouble;
  if (Failed(status, "WGridGetCellDouble", kErrUndefined)) return;
  value = v;
}

void WGridGetCellCheckBox(int32_t field, int32_t column, int32_t row, int32_t& state) {
  if (NoDialog(field, "WGridGetCellCheckBox")) return;
  int32_t status = field;
  YYGridGetCheckBox(status, column - 1, row - 1, state);
  Failed(status, "WGridGetCellCheckBox");
}

void WGridGetCellMenu(int32_t field, int32_t column, int32_t row, int32_t& option) {
  if (NoDialog(field, "WGridGetCellMenu")) return;
  int32_t status = field;
  YYGridGetOption(status, column - 1, row - 1, option);
  Failed(status, "WGridGetCellMenu");
}

void WGridPutCellCheckBox(int32_t field, int32_t column, int32_t row, int32_t state) {
  if (NoDialog(field, "WGridPutCellCheckBox")) return;
  int32_t status = field;
  YYGridPutCheckBox(status, column - 1, row - 1, state);
  Failed(status, "WGridPutCellCheckBox");
}

void WGridPutCellOption(int32_t field, int32_t column, int32_t row, int32_t option) {
  if (NoDialog(field, "WGridPutCellOption")) return;
  int32_t status = field;
  YYGridPutOption(status, column - 1, row - 1, option);
  Failed(status, "WGridPutCellOption");
}

void WGridClearCell(int32_t field, int32_t column, int32_t row) {
  if (NoDialog(field, "WGridClearCell")) return;
  int32_t status = field;
  YYGridClearCell(status, column - 1, row - 1, 0);
  Failed(status, "WGridClearCell");
}

void WGridSetCell(int32_t field, int32_t column, int32_t row, std::optional<int32_t> caret) {
  if (NoDialog(field, "WGridSetCell")) return;
  int32_t status = field;
  YYGridSetCurrent(status, column - 1, row - 1, caret ? *caret - 1 : -1);
  Failed(status, "WGridSetCell");
}

void WGridPutCellInteger(int32_t field, int32_t column, int32_t row, int32_t value) {
  PutCellNumber(field, column, row, value, Number::Integer, std::nullopt, "WGridPutCellInteger");
}

void WGridPutCellReal(int32_t field, int32_t column, int32_t row, float value, std::optional<std::string_view> format) {
  PutCellNumber(field, column, row, value, Number::Real, format, "WGridPutCellReal");
}

void WGridPutCellDouble(int32_t field, int32_t column, int32_t row, double value, std::optional<std::string_view> format) {
  PutCellNumber(field, column, row, value, Number::Double, format, "WGridPutCellDouble");
}

void WGridRows(int32_t field, int32_t rows) {
  if (NoDialog(field, "WGridRows")) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, "WGridRows");
    return;
  }
  const int32_t capacity = Info(field, 2);
  if (rows < 1) {
    YYERRREP(kErrRows, "WGridRows");
    return;
  }
  status = field;
  YYGridSetRows(status, std::min(rows, capacity));
  if (Failed(status, "WGridRows")) return;
  if (rows > capacity) YYERRREP(kErrRows, "WGridRows");
}

void WGridPutInteger(int32_t field, int32_t column, std::span<const int32_t> values, int32_t n) {
  if (NoDialog(field, "WGridPutInteger")) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, "WGridPutInteger");
    return;
  }
  const int32_t bound = Info(field, 2);
  if (n > bound) YYERRREP(kErrRows, "WGridPutInteger");
  const int32_t count = ClampCount(std::min(n, bound), values.size());
  YYGridBulkBegin();
  for (int32_t r = 1; r <= count; ++r) WGridPutCellInteger(field, column, r, values[static_cast<size_t>(r - 1)]);
  for (int32_t r = count + 1; r <= bound; ++r) {
    int32_t s = field;
    YYGridClearCell(s, column - 1, r - 1, 1);
  }
  YYGridBulkEnd(field);
}

void WGridPutReal(int32_t field, int32_t column, std::span<const float> values, int32_t n,
                  std::optional<std::string_view> format) {
  if (NoDialog(field, "WGridPutReal")) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, "WGridPutReal");
    return;
  }
  const int32_t bound = Info(field, 3);
  if (n > bound) YYERRREP(kErrRows, "WGridPutReal");
  const int32_t count = ClampCount(std::min(n, bound), values.size());
  YYGridBulkBegin();
  for (int32_t r = 1; r <= count; ++r) WGridPutCellReal(field, column, r, values[static_cast<size_t>(r - 1)], format);
  for (int32_t r = count + 1; r <= bound; ++r) {
    int32_t s = field;
    YYGridClearCell(s, column - 1, r - 1, 1);
  }
  YYGridBulkEnd(field);
}

void WGridPutOption(int32_t field, int32_t column, std::span<const int32_t> options, int32_t n) {
  if (NoDialog(field, "WGridPutOption")) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, "WGridPutOption");
    return;
  }
  const int32_t bound = Info(field, 3);
  if (n > bound) YYERRREP(kErrRows, "WGridPutOption");
  const int32_t count = ClampCount(std::min(n, bound), options.size());
  YYGridBulkBegin();
  for (int32_t r = 1; r <= count; ++r) WGridPutCellOption(field, column, r, options[static_cast<size_t>(r - 1)]);
  for (int32_t r = count + 1; r <= bound; ++r) WGridPutCellOption(field, column, r, 0);
  YYGridBulkEnd(field);
}

void WGridPutMenu(int32_t field, int32_t column, std::span<const std::string> texts, int32_t count,
                  std::span<const int32_t> options, int32_t n) {
  if (NoDialog(field, "WGridPutMenu")) return;
  int32_t status = field;
  const plat::Hwnd w = YYGridFind(status);
  if (!w) {
    YYERRREP(kErrInvalidField, "WGridPutMenu");
    return;
  }
  // The option list belongs to the column: it is filled once, with the
  // open editor of the current row following it.
  YYGridBulkBegin();
  const int32_t row = YYGridRecordOf(w)->CurrentRow;
  status = field;
  YYGridOptionsClear(status, column - 1, row);
  const bool ok = status != -1 && status != -2;
  for (int32_t i = 0; ok && i < ClampCount(count, texts.size()); ++i) {
    status = field;
    YYGridOptionAdd(status, column - 1, row, TrimTrailingBlanks(UpToNul(texts[static_cast<size_t>(i)])));
  }
  YYGridBulkEnd(field);
  if (!ok) {
    YYERRREP(kErrInvalidField, "WGridPutMenu");
    return;
  }
  WGridPutOption(field, column, options, n);
}

void WGridGetColumnReal(int32_t field, int32_t column, std::span<float> values, int32_t& n) {
  GetColumn(field, column, values, n, "WGridGetColumnReal", [](int32_t f, int32_t c, int32_t r, float& v) {
    WGridGetCellReal(f, c, r, v);
  });
}

void WGridGetColumnMenu(int32_t field, int32_t column, std::span<int32_t> options, int32_t& n) {
  GetColumn(field, column, options, n, "WGridGetColumnMenu", [](int32_t f, int32_t c, int32_t r, int32_t& v) {
    WGridGetCellMenu(f, c, r, v);
  });
}

void WGridGetColumnCheckBox(int32_t field, int32_t column, std::span<int32_t> states, int32_t& n) {
  GetColumn(field, column, states, n, "WGridGetColumnCheckBox", [](int32_t f, int32_t c, int32_t r, int32_t& v) {
    WGridGetCellCheckBox(f, c, r, v);
  });
}

void WGridLabelColumn(int32_t field, int32_t column, std::string_view label) {
  if (NoDialog(field, "WGridLabelColumn")) return;
  int32_t status = field;
  if (!YYGridFind(status)) {
    YYERRREP(kErrInvalidField, "WGridLabelColumn");
    return;
  }
  if (column < 0 || column > Info(field, 1)) {
    YYERRREP(kErrCell, "WGridLabelColumn");
    return;
  }
  status = field;
  YYGridPutColumnLabel(status, column, TrimTrailingBlanks(label));
  Failed(status, "WGridLabelColumn");
}

void WGridColourCell(int32_t field, int32_t column, int32_t row, std::optional<int32_t> foreground,
                     std::optional<int32_t> background) {
  if (NoDialog(field, "WGridColourCell")) return;
  auto split = [](std::optional<int32_t> colour, int32_t& r, int32_t& g, int32_t& b) {
    r = g = b = 0;
    if (!colour) r = -1;
    else if (*colour == -1) r = 256;
    else {
      r = *colour % 256;
      g = (*colour / 256) % 256;
      b = (*colour / 65536) % 256;
    }
  };
  int32_t tr = 0, tg = 0, tb = 0, br = 0, bg = 0, bb = 0;
  split(foreground, tr, tg, tb);
  split(background, br, bg, bb);
  int32_t status = field;
  YYGridCellColoursSet(status, column - 1, row - 1, tr, tg, tb, br, bg, bb);
  Failed(status, "WGridColourCell");
}

int32_t WGridInfoItem(int32_t field, int32_t item) {
  if (field == -1) {
    int32_t value = 0;
    int32_t editor = -2;
    YYGridInfo(editor, item, value);
    return value;
  }
  int32_t value = 0;
  int32_t status = field;
  YYGridInfo(status, item, value);
  return value;
}

int32_t WInfoGridCell(int32_t field, int32_t column, int32_t row, int32_t item) {
  int32_t status = field;
  int32_t type = 0;
  YYGridCellType(status, column - 1, type);
  if (status < 0) return 0;
  if (item == 2) return type;
  if (item != 1) return 0;
  switch (type) {
    case 9: {
      int32_t state = 0;
      YYGridGetCheckBox(status, column - 1, row - 1, state);
      return status >= 0 && state != 0 ? 1 : 0;
    }
    case 11: {
      int32_t option = 0;
      YYGridGetOption(status, column - 1, row - 1, option);
      return status >= 0 && option > 0 ? 1 : 0;
    }
    default: {
      std::string text;
      YYGridGetText(status, column - 1, row - 1, text, -1);
      return status >= 0 && !IsAllBlanks(text) ? 1 : 0;
    }
  }
}

int32_t YYRgbPack(int32_t red, int32_t green, int32_t blue) { return red + 256 * green + 65536 * blue; }

void YYSplitPacked(int32_t value, int32_t& high, int32_t& low) {
  high = static_cast<int32_t>(static_cast<uint32_t>(value) >> 18);
  low = value & 0x3FFFF;
}
