// Grid files: CSV save and load, HTML export.
//
// Both writers build their file through the OS layer's whole-file writer,
// so a file that cannot be completed never replaces the one it was to
// replace. The reader takes the file in blocks and splits it into fields
// as it goes, as spreadsheets write them: a field ends at a comma or a
// line end (LF, CR LF or a lone CR) met outside the quotes of a field that
// begins with one; inside them commas and line ends belong to the text. A
// UTF-8 byte-order mark at the start of a file is no part of its first
// field, and a file that began with one keeps it when it is rewritten.
#include "toolkit/dialogs/GridFiles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "VOZUVar/Strings.h"
#include "platform/os/Os.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/FileIO.h"
#include "toolkit/core/Words.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInterface.h"

namespace {

constexpr int32_t kErrOpen = 1;
constexpr int32_t kErrWrite = 2;
constexpr int32_t kErrInvalidField = 1006;
constexpr int32_t kErrTooMany = 1054;
constexpr int32_t kErrNoOption = 1055;
constexpr int32_t kErrNumberShownAsStars = 18;   // the number-to-text routines' report
// The reader's line buffer: a longer field keeps its first bytes.
constexpr size_t kLineBuffer = 65000;
constexpr int32_t kHtmlTextLimit = 1023;
constexpr int32_t kNumberTextLimit = 49;

std::string FileName(std::string_view file) {
  std::string_view s = TrimTrailingBlanks(file.substr(0, std::min(file.size(), file.find('\0'))));
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return std::string(s);
}

// The common start: the grid's column and row counts; false (reported)
// when there is none.
bool FindGrid(int32_t field, const char* routine, int32_t& columns, int32_t& rows) {
  if (field != 0 && NoDialogSelected(routine)) return false;
  int32_t status = field;
  columns = -1;
  YYGridInfo(status, 1, columns);
  if (status == -1 || columns < 0) {
    YYERRREP(kErrInvalidField, routine);
    return false;
  }
  status = field;
  YYGridInfo(status, 3, rows);
  return true;
}

struct Range {
  int32_t FirstColumn, LastColumn, FirstRow, LastRow;   // 0-based, inclusive
};

Range ClipRange(int32_t columns, int32_t rows, std::optional<int32_t> fc, std::optional<int32_t> lc,
                std::optional<int32_t> fr, std::optional<int32_t> lr) {
  Range r;
  r.FirstColumn = std::max(fc.value_or(1), 1) - 1;
  r.LastColumn = std::min(lc.value_or(columns), columns) - 1;
  r.FirstRow = std::max(fr.value_or(1), 1) - 1;
  r.LastRow = std::min(lr.value_or(rows), rows) - 1;
  return r;
}

int32_t CellType(int32_t field, int32_t column) {
  int32_t status = field, type = 0;
  YYGridCellType(status, column, type);
  return type;
}

std::string CellText(int32_t field, int32_t column, int32_t row) {
  int32_t status = field;
  std::string t;
  YYGridGetText(status, column, row, t, -1);
  return t;
}

std::string ColumnLabel(int32_t field, int32_t item) {
  int32_t status = field;
  std::string t;
  YYGridGetColumnLabel(status, item, t, -1);
  return t;
}

std::string RowLabel(int32_t field, int32_t row) {
  int32_t status = field;
  std::string t;
  YYGridGetRowLabel(status, row, t, kGridRowLabelLength + 1);
  return t;
}

// The chosen option's text; empty when none is chosen.
bool ChosenOption(int32_t field, int32_t column, int32_t row, std::string& text) {
  int32_t status = field, option = 0;
  YYGridGetOption(status, column, row, option);
  status = field;
  YYGridOptionText(status, column, option, text);
  return option >= 1 && !text.empty();
}

void WriteFailure(int32_t code, int error, const char* routine) {
  ErrorStateRecord& st = ErrorState();
  st.OsErrorKind = 2;
  st.OsErrorNumber = error;
  YYERRREP(code, routine);
}

// ---------------------------------------------------------------- CSV writing

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool BeginsWithByteOrderMark(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return false;
  std::array<char, 3> head{};
  const size_t n = std::fread(head.data(), 1, head.size(), f);
  std::fclose(f);
  return std::string_view(head.data(), n) == kByteOrderMark;
}

std::string TextField(std::string text, bool quotes) {
  // Without quotes a text that holds a separator or a line end, or begins
  // with a quote, would not read back as one field: it keeps its quotes.
  if (!quotes && (text.find_first_of(",\r\n") != std::string::npos || (!text.empty() && text.front() == '"')))
    quotes = true;
  YYQuotesDouble(text);
  return quotes ? "\"" + text + "\"" : text;
}

// The number a field's text reads as, by the reader's own conversion, and
// whether it converts at all; nothing is reported.
bool ReadsAs(int32_t type, const std::string& text, double& value) {
  ErrorStateRecord& st = ErrorState();
  const int32_t saved = st.LastErrorCode, mode = st.ReportMode;
  st.LastErrorCode = 0;
  st.ReportMode = 0;
  if (type == 6) {
    float x = 0.0f;
    IStringToReal(text, x);
    value = x;
  } else {
    YYStringAsDouble(text, value);
  }
  const bool ok = st.LastErrorCode == 0;
  st.LastErrorCode = saved;
  st.ReportMode = mode;
  return ok;
}

// The text of a real or double cell that reads back to the number the cell
// holds: the text the grid shows when it does (it carries the column's
// format), else the shortest text that does (a format too narrow or too
// coarse for the number would lose it).
std::string NumberField(int32_t field, int32_t type, int32_t column, int32_t row, const std::string& shown) {
  int32_t status = field;
  double stored = 0.0;
  YYGridGetNumber(status, column, row, stored);
  if (status < 0 || !std::isfinite(stored)) return shown;
  if (type == 6) stored = static_cast<float>(stored);
  double back = 0.0;
  if (ReadsAs(type, shown, back) && back == stored) return shown;
  std::array<char, 64> buf{};
  const auto r = type == 6 ? std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<float>(stored))
                           : std::to_chars(buf.data(), buf.data() + buf.size(), stored);
  std::string exact(buf.data(), r.ptr);
  if (ReadsAs(type, exact, back) && back == stored) return exact;
  std::snprintf(buf.data(), buf.size(), type == 6 ? "%.9E" : "%.17E", stored);
  return buf.data();
}

std::string CsvField(int32_t field, int32_t type, int32_t column, int32_t row, bool quotes) {
  switch (type) {
    case 4:
      return TextField(CellText(field, column, row), quotes);
    case 5:
    case 6:
    case 7: {
      std::string t = CellText(field, column, row);
      if (t.size() > static_cast<size_t>(kNumberTextLimit)) t.resize(static_cast<size_t>(kNumberTextLimit));
      if (type != 5 && !t.empty()) t = NumberField(field, type, column, row, t);
      // A number written with a decimal comma would fall apart into two
      // fields when read: such a number goes in quotes.
      return t.find(',') != std::string::npos ? "\"" + t + "\"" : t;
    }
    case 9: {
      int32_t status = field, state = 0;
      YYGridGetCheckBox(status, column, row, state);
      return state == 1 ? "Yes" : "No";
    }
    case 11: {
      std::string t;
      return ChosenOption(field, column, row, t) ? TextField(t, quotes) : std::string();
    }
    default:
      return {};
  }
}

// ---------------------------------------------------------------- CSV reading

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The value of a raw field: the quotes around a field that begins with
// one dropped, doubled quotes undoubled, trailing blanks removed.
std::string FieldValue(std::string raw) {
  if (!raw.empty() && raw.front() == '"') {
    raw.resize(TrimTrailingBlanks(raw).size());
    raw.erase(0, 1);
    if (!raw.empty() && raw.back() == '"') raw.pop_back();
  }
  YYQuotesUndouble(raw);
  raw.resize(TrimTrailingBlanks(raw).size());
  return raw;
}

class CsvReader {
 public:
  CsvReader(int32_t field, int32_t columns, bool grow, bool header, bool labels)
      : field_(field), columns_(columns), grow_(grow), labels_(labels), lineStart_(labels ? -1 : 0) {
    row_ = header ? -1 : 0;
    column_ = lineStart_;
    types_.resize(static_cast<size_t>(columns));
    formats_.resize(static_cast<size_t>(columns));
    for (int32_t c = 0; c < columns; ++c) {
      types_[static_cast<size_t>(c)] = CellType(field, c);
      if (types_[static_cast<size_t>(c)] == 6 || types_[static_cast<size_t>(c)] == 7) {
        int32_t status = field;
        YYGridColumnFormat(status, c, formats_[static_cast<size_t>(c)], 50);
      }
    }
  }

  // Takes the next bytes of the file; false once nothing more can be stored.
  bool Feed(std::string_view bytes) {
    for (const char ch : bytes) {
      if (stopped_) return false;
      if (afterCr_) {
        afterCr_ = false;
        if (ch == '\n') continue;   // CR LF is one line end
      }
      const bool inQuotes = !raw_.empty() && raw_.front() == '"' && quotes_ % 2 == 1;
      if (!inQuotes && (ch == '\n' || ch == '\r')) {
        EndField(true);
        afterCr_ = ch == '\r';
      } else if (!inQuotes && ch == ',') {
        EndField(false);
      } else {
        if (ch == '"') ++quotes_;
        if (raw_.size() < kLineBuffer) raw_.push_back(ch);
        pending_ = true;
      }
    }
    return !stopped_;
  }

  // A field or line fell outside the grid.
  bool Cut() const { return cut_; }

  // The end of the file ends a line left open, then empties the rows after
  // the last one read.
  void Finish() {
    if (!stopped_ && (pending_ || column_ != lineStart_)) EndField(true);
    if (grew_) WGridRows(field_, std::max({initialRows_, row_, 1}));
    int32_t rows = 0, status = field_;
    YYGridInfo(status, 3, rows);
    for (int32_t r = std::max(row_, 0); r < rows; ++r) {
      if (labels_) {
        status = field_;
        YYGridPutRowLabel(status, r, "", 1);
      }
      for (int32_t c = 0; c < columns_; ++c) {
        status = field_;
        YYGridClearCell(status, c, r, 2);
      }
    }
  }

 private:
  void EndField(bool lineEnd) {
    std::string raw;
    raw.swap(raw_);
    quotes_ = 0;
    pending_ = false;
    if (!RowAvailable()) {
      YYERRREP(kErrTooMany, "WGridLoad");
      stopped_ = cut_ = true;
      return;
    }
    if (column_ >= columns_) {
      // The rest of a line too wide for the grid is dropped, once said.
      if (!lineTooWide_) YYERRREP(kErrTooMany, "WGridLoad");
      lineTooWide_ = cut_ = true;
    } else {
      Store(FieldValue(std::move(raw)));
    }
    if (!lineEnd) {
      if (column_ < columns_) ++column_;
      return;
    }
    for (int32_t c = column_ + 1; c < columns_; ++c) {
      int32_t status = field_;
      if (row_ < 0) YYGridPutColumnLabel(status, c + 1, "");
      else if (types_[static_cast<size_t>(c)] != 11) YYGridClearCell(status, c, row_, 0);
    }
    ++row_;
    column_ = lineStart_;
    lineTooWide_ = false;
  }

  // The row of the position exists, or the grid may grow to it. A growing
  // grid gains rows in steps that double, and Finish sets the count to the
  // lines read, so a long file does not lay the grid out once per line.
  bool RowAvailable() {
    if (rows_ < 0) {
      int32_t status = field_;
      YYGridInfo(status, 3, rows_);
      initialRows_ = rows_;
    }
    if (row_ < rows_) return true;
    if (!grow_) return false;
    int32_t capacity = 0, status = field_;
    YYGridInfo(status, 2, capacity);
    if (row_ >= capacity) return false;
    const int64_t step = std::max<int64_t>(int64_t{rows_} * 2, int64_t{row_} + 1);
    WGridRows(field_, static_cast<int32_t>(std::min<int64_t>(capacity, step)));
    status = field_;
    YYGridInfo(status, 3, rows_);
    grew_ = true;
    return row_ < rows_;
  }

  void Store(const std::string& value) {
    int32_t status = field_;
    if (row_ < 0) {
      YYGridPutColumnLabel(status, column_ + 1, value);
      return;
    }
    if (column_ < 0) {
      YYGridPutRowLabel(status, row_, value, kGridRowLabelLength + 1);
      return;
    }
    const int32_t type = types_[static_cast<size_t>(column_)];
    switch (type) {
      case 4:
        YYGridPutValue(status, column_, row_, 0.0, value, "");
        break;
      case 5:
      case 6:
      case 7:
        StoreNumber(type, value);
        break;
      case 9: {
        std::string upper = value;
        YYUpperCase(upper, static_cast<int32_t>(upper.size()));
        YYGridPutCheckBox(status, column_, row_, upper == "YES" ? 1 : 0);
        break;
      }
      case 11: {
        std::string match = value, option;
        for (int32_t k = 1;; ++k) {
          int32_t probe = field_;
          YYGridOptionText(probe, column_, k, option);
          if (option.empty()) break;
          if (SameIgnoringCase(option, value)) {
            match = option;
            break;
          }
        }
        int32_t notFound = 0;
        YYGridPutOptionText(status, column_, row_, notFound, match);
        if (notFound != 0) YYERRREP(kErrNoOption, "WGridLoad");
        break;
      }
      default:
        break;
    }
  }

  // The conversion and the store are silent: a failure leaves its code as
  // the last error code and the cell empty; success keeps the code before.
  void StoreNumber(int32_t type, const std::string& value) {
    ErrorStateRecord& st = ErrorState();
    const int32_t saved = st.LastErrorCode, mode = st.ReportMode;
    st.LastErrorCode = 0;
    st.ReportMode = 0;
    const int32_t c = column_ + 1, r = row_ + 1;
    const std::string& format = formats_[static_cast<size_t>(column_)];
    if (type == 5) {
      int32_t n = 0;
      IStringToInteger(value, n);
      if (st.LastErrorCode == 0) WGridPutCellInteger(field_, c, r, n);
    } else if (type == 6) {
      float x = 0.0f;
      IStringToReal(value, x);
      if (st.LastErrorCode == 0) WGridPutCellReal(field_, c, r, x, format);
    } else {
      double x = 0.0;
      YYStringAsDouble(value, x);
      if (st.LastErrorCode == 0) WGridPutCellDouble(field_, c, r, x, format);
    }
    int32_t code = st.LastErrorCode;
    // A number the column's format cannot show is shown as stars, and the
    // text routine says so, but only for rows on screen; the cell holds
    // the number all the same, on screen or off.
    if (code == kErrNumberShownAsStars && Holds(c - 1, r - 1)) code = 0;
    if (code != 0) WGridClearCell(field_, c, r);
    st.ReportMode = mode;
    st.LastErrorCode = code == 0 ? saved : code;
  }

  // The number cell holds a value.
  bool Holds(int32_t column, int32_t row) const {
    int32_t status = field_;
    double v = 0.0;
    YYGridGetNumber(status, column, row, v);
    return status >= 0;
  }

  int32_t field_, columns_;
  bool grow_, labels_;
  int32_t lineStart_;
  int32_t row_ = 0, column_ = 0;
  std::vector<int32_t> types_;
  std::vector<std::string> formats_;
  std::string raw_;
  int32_t quotes_ = 0;
  bool pending_ = false;
  bool lineTooWide_ = false;
  bool stopped_ = false;
  bool afterCr_ = false;
  bool cut_ = false;
  int32_t rows_ = -1, initialRows_ = 0;   // rows in use, read at the first field
  bool grew_ = false;
};

// ---------------------------------------------------------------- HTML

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out.push_back(ch); break;
    }
  }
  return out;
}

std::string Hex2(int32_t v) {
  static constexpr char kDigits[] = "0123456789abcdef";
  v &= 0xFF;
  return {kDigits[v >> 4], kDigits[v & 15]};
}

std::string Rgb(int32_t red, int32_t green, int32_t blue) { return Hex2(red) + Hex2(green) + Hex2(blue); }

std::string HtmlContent(int32_t field, int32_t type, int32_t column, int32_t row, int32_t options) {
  switch (type) {
    case 9: {
      int32_t status = field, state = 0;
      YYGridGetCheckBox(status, column, row, state);
      if (options & 4) return state == 1 ? "Y" : "N";
      return state == 1 ? "<font face=\"Symbol\">&middot;</font>" : "&nbsp;";
    }
    case 11: {
      std::string t;
      return ChosenOption(field, column, row, t) ? Escaped(t) : std::string(" ");
    }
    default: {
      std::string t = CellText(field, column, row);
      if (t.size() > static_cast<size_t>(kHtmlTextLimit)) t.resize(static_cast<size_t>(kHtmlTextLimit));
      return Escaped(t);
    }
  }
}

// Writes one line of an HTML file while nothing has failed yet.
void YYHtmlLine(plat::WholeFileWriter& writer, std::string_view text, int32_t& status) {
  if (status != 0) return;
  std::string line(text);
  line += "\r\n";
  status = plat::WholeFileWrite(writer, line);
}

}  // namespace

void YYQuotesDouble(std::string& text) {
  if (text.find('"') == std::string::npos) return;
  std::string out;
  out.reserve(text.size() * 2);
  for (const char ch : text) {
    out.push_back(ch);
    if (ch == '"') out.push_back(ch);
  }
  text.swap(out);
}

void YYQuotesUndouble(std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') ++i;
  }
  text.swap(out);
}

void WGridSave(int32_t field, std::string_view file, std::optional<int32_t> firstColumn,
               std::optional<int32_t> lastColumn, std::optional<int32_t> firstRow, std::optional<int32_t> lastRow,
               std::optional<int32_t> options) {
  static constexpr const char* kName = "WGridSave";
  int32_t columns = 0, rows = 0;
  if (!FindGrid(field, kName, columns, rows)) return;
  const Range range = ClipRange(columns, rows, firstColumn, lastColumn, firstRow, lastRow);
  const int32_t opts = options.value_or(0);
  const bool quotes = (opts & 1) == 0;
  const std::string name = FileName(file);
  // A file that began with a byte-order mark keeps it: the spreadsheet that
  // made it reads it back as UTF-8 by that mark.
  const bool mark = BeginsWithByteOrderMark(name);
  plat::WholeFileWriter writer;
  if (const int e = plat::WholeFileBegin(writer, name); e != 0) {
    WriteFailure(kErrOpen, e, kName);
    return;
  }
  std::vector<int32_t> types(static_cast<size_t>(std::max(columns, 0)));
  for (int32_t c = 0; c < columns; ++c) types[static_cast<size_t>(c)] = CellType(field, c);
  int32_t header = 0, labelWidth = 0;
  if (opts & 2) {
    int32_t status = field;
    YYGridLabelInfo(status, header, labelWidth);
  }
  const bool labels = labelWidth > 0;
  std::string text(mark ? kByteOrderMark : std::string_view());
  auto add = [&](const std::string& f, int32_t column) {
    text += f;
    text += column == range.LastColumn ? "\r\n" : ",";
  };
  if (header != 0 && range.FirstColumn <= range.LastColumn) {
    if (labels) text += TextField(ColumnLabel(field, 0), quotes) + ",";
    for (int32_t c = range.FirstColumn; c <= range.LastColumn; ++c) add(TextField(ColumnLabel(field, c + 1), quotes), c);
  }
  for (int32_t r = range.FirstRow; r <= range.LastRow && range.FirstColumn <= range.LastColumn; ++r) {
    if (labels) text += TextField(RowLabel(field, r), quotes) + ",";
    for (int32_t c = range.FirstColumn; c <= range.LastColumn; ++c)
      add(CsvField(field, types[static_cast<size_t>(c)], c, r, quotes), c);
    if (text.size() >= kLineBuffer) {
      plat::WholeFileWrite(writer, text);
      text.clear();
    }
  }
  plat::WholeFileWrite(writer, text);
  if (const int e = plat::WholeFileCommit(writer); e != 0) WriteFailure(kErrWrite, e, kName);
}

void YYGridLoadFile(int32_t field, std::string_view file, int32_t grow, int32_t options, GridLoadOutcome& outcome) {
  static constexpr const char* kName = "WGridLoad";
  outcome = {};
  int32_t columns = 0, rows = 0;
  if (!FindGrid(field, kName, columns, rows)) return;
  FileHandle handle = -1;
  IFileOpen(FileName(file), 0, handle);
  if (handle == -1) return;
  int32_t header = 0, labelWidth = 0;
  if (options & 2) {
    int32_t status = field;
    YYGridLabelInfo(status, header, labelWidth);
  }
  CsvReader reader(field, columns, grow == 1, header != 0, labelWidth > 0);
  YYGridBulkBegin();
  std::vector<char> block(kLineBuffer);
  bool failed = false, first = true;
  for (;;) {
    int32_t count = 0;
    IFileReadChar(handle, block, static_cast<int32_t>(block.size()), count);
    if (count < 0) {
      // The file layer has said why; what was read stays in the grid.
      failed = true;
      break;
    }
    std::string_view bytes(block.data(), static_cast<size_t>(count));
    if (first && bytes.starts_with(kByteOrderMark)) {
      bytes.remove_prefix(kByteOrderMark.size());
      outcome.ByteOrderMark = true;
    }
    first = false;
    if (count == 0 || !reader.Feed(bytes)) break;
  }
  if (!failed) reader.Finish();
  outcome.Cut = reader.Cut();
  YYFileCloseHandle(handle);
  YYGridBulkEnd(field);
}

void WGridLoad(int32_t field, std::string_view file, std::optional<int32_t> grow, std::optional<int32_t> options) {
  GridLoadOutcome outcome;
  YYGridLoadFile(field, file, grow.value_or(0), options.value_or(0), outcome);
}

void WGridSaveHTML(int32_t field, std::string_view file, std::optional<int32_t> firstColumn,
                   std::optional<int32_t> lastColumn, std::optional<int32_t> firstRow, std::optional<int32_t> lastRow,
                   std::optional<int32_t> options, std::optional<std::string_view> title, std::optional<int32_t> border,
                   std::optional<int32_t> pageColour) {
  static constexpr const char* kName = "WGridSaveHTML";
  int32_t columns = 0, rows = 0;
  if (!FindGrid(field, kName, columns, rows)) return;
  const Range range = ClipRange(columns, rows, firstColumn, lastColumn, firstRow, lastRow);
  const int32_t opts = options.value_or(0);
  plat::WholeFileWriter writer;
  if (const int e = plat::WholeFileBegin(writer, FileName(file)); e != 0) {
    WriteFailure(kErrOpen, e, kName);
    return;
  }
  const bool page = (opts & 1) == 0, centred = (opts & 2) != 0;
  const std::string titleText =
      title ? Escaped(TrimTrailingBlanks(title->substr(0, std::min(title->size(), title->find('\0'))))) : std::string();
  int32_t status = 0;
  auto line = [&](std::string_view t) { YYHtmlLine(writer, t, status); };
  auto failed = [&]() {
    if (status == 0) return false;
    plat::WholeFileAbandon(writer);
    WriteFailure(kErrWrite, status, kName);
    return true;
  };
  if (page) {
    line("<html>");
    line("<head>");
    if (title) line("<title>" + titleText + "</title>");
    line("</head>");
    if (pageColour) {
      const int32_t rgb = *pageColour;
      line("<body bgcolor=#" + Rgb(rgb, rgb >> 8, rgb >> 16) + ">");
    } else {
      line("<body>");
    }
  }
  if (centred) line("<center>");
  if (!titleText.empty()) line("<h2>" + titleText + "</h2>");
  line("<table border=" + std::to_string(std::max(border.value_or(0), 0)) + " cellpadding=5>");
  if (failed()) return;

  int32_t header = 0, labelWidth = 0;
  int32_t probe = field;
  YYGridLabelInfo(probe, header, labelWidth);
  const bool labels = labelWidth > 0;
  static constexpr std::array<const char*, 3> kAlign = {"left", "center", "right"};
  std::vector<int32_t> align(static_cast<size_t>(std::max(columns, 0))), types(align.size());
  for (int32_t c = 0; c < columns; ++c) {
    probe = field;
    YYGridColumnAlignment(probe, c, align[static_cast<size_t>(c)]);
    types[static_cast<size_t>(c)] = CellType(field, c);
  }
  if (header != 0) {
    line("<tr>");
    if (labels) line("<td></td>");
    for (int32_t c = range.FirstColumn; c <= range.LastColumn; ++c) {
      line("<td align=center>");
      line(Escaped(ColumnLabel(field, c + 1)));
      line("</td>");
    }
    line("</tr>");
    if (failed()) return;
  }
  for (int32_t r = range.FirstRow; r <= range.LastRow; ++r) {
    line("<tr>");
    if (labels) {
      line("<td align=left>");
      line(Escaped(RowLabel(field, r)));
      line("</td>");
    }
    for (int32_t c = range.FirstColumn; c <= range.LastColumn; ++c) {
      int32_t tr = -1, tg = -1, tb = -1, br = -1, bg = -1, bb = -1;
      if ((opts & 8) == 0) {
        probe = field;
        YYGridCellColoursGet(probe, c, r, tr, tg, tb, br, bg, bb);
      }
      const std::string a = kAlign[static_cast<size_t>(std::clamp(align[static_cast<size_t>(c)], 0, 2))];
      line(br >= 0 ? "<td align=" + a + " bgcolor=#" + Rgb(br, bg, bb) + ">" : "<td align=" + a + ">");
      if (tr >= 0) line("<font color=#" + Rgb(tr, tg, tb) + ">");
      line(HtmlContent(field, types[static_cast<size_t>(c)], c, r, opts));
      if (tr >= 0) line("</font>");
      line("</td>");
    }
    line("</tr>");
    if (failed()) return;
  }
  line("</table>");
  if (centred) line("</center>");
  if (page) {
    line("</body>");
    line("</html>");
  }
  // A file that could not be completed is kept out, and said so.
  if (status != 0) {
    plat::WholeFileAbandon(writer);
    WriteFailure(kErrWrite, status, kName);
    return;
  }
  if (const int e = plat::WholeFileCommit(writer); e != 0) WriteFailure(kErrWrite, e, kName);
}
