#include "toolkit/dialogs/ExtrasFormat.h"

#include <algorithm>

// Inline helpers only: the resource compiler builds this file on its own,
// without the utility library.
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"

namespace {

constexpr std::array<std::string_view, 13> kHeaders = {
    "[Ranges]", "[Menus]",  "[Checks]", "[Tabs]",      "[Grids]", "[Colours]", "[Trackbars]",
    "[Lengths]", "[Dialog]", "[Formats]", "[Treeviews]", "[Fonts]", "[Flags]",
};

// How many integers each section reads after the identifier.
int32_t IntegerCount(ExtrasSection s) {
  switch (s) {
    case ExtrasSection::Menus: return 2;
    case ExtrasSection::Checks: return 1;
    case ExtrasSection::Tabs: return 2;
    case ExtrasSection::Grids: return 3;
    case ExtrasSection::Colours: return 6;
    case ExtrasSection::Trackbars: return 5;
    case ExtrasSection::Lengths: return 1;
    case ExtrasSection::Treeviews: return 2;
    case ExtrasSection::Flags: return 1;
    default: return 0;
  }
}

size_t SkipBlanks(std::string_view s, size_t at) {
  while (at < s.size() && s[at] == ' ') ++at;
  return at;
}

// The section a line opens, None for a data line.
ExtrasSection HeaderOf(std::string_view line) {
  const std::string_view rest = line.substr(SkipBlanks(line, 0));
  for (size_t i = 0; i < kHeaders.size(); ++i)
    if (rest.starts_with(kHeaders[i])) return static_cast<ExtrasSection>(i + 1);
  return ExtrasSection::None;
}

// Steps from value to value within one line: to the next blank, then over
// all blanks. A value asked for at the end of the line reads as 0 (or as
// empty text) and is noted as missing; the step never leaves the line.
struct Cursor {
  std::string_view line;
  size_t at = 0;
  bool missing = false;

  void Step() {
    while (at < line.size() && line[at] != ' ') ++at;
    at = SkipBlanks(line, at);
  }
  bool AtEnd() const { return at >= line.size(); }
  int32_t Integer() {
    if (AtEnd()) missing = true;
    return ExtrasInteger(line.substr(std::min(at, line.size())));
  }
  std::string_view Word() {
    if (AtEnd()) {
      missing = true;
      return {};
    }
    size_t end = at;
    while (end < line.size() && line[end] != ' ') ++end;
    return line.substr(at, end - at);
  }
  std::string_view Rest() const { return line.substr(std::min(at, line.size())); }
};

std::string Cut(std::string_view s, size_t most) { return std::string(s.substr(0, std::min(s.size(), most))); }

class Reader {
 public:
  Reader(std::string_view text, const ExtrasGridQuery& grids) : grids_(grids) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    size_t start = 0;
    while (start < text.size()) {
      const size_t lf = text.find('\n', start);
      const size_t end = lf == std::string_view::npos ? text.size() : lf;
      lines_.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }

  ExtrasText Run() {
    ExtrasSection section = ExtrasSection::None;
    while (next_ < lines_.size()) {
      const size_t index = next_++;
      const std::string_view line = lines_[index];
      const int32_t number = static_cast<int32_t>(index + 1);
      if (SkipBlanks(line, 0) == line.size()) {
        Problem(number, "an empty line");
        if (section == ExtrasSection::None) continue;
      } else if (ExtrasSection header = HeaderOf(line); header != ExtrasSection::None) {
        section = header;
        continue;
      }
      if (section == ExtrasSection::None) continue;
      if (line.find('\t') != std::string_view::npos) Problem(number, "a tab character on a data line");
      if (!line.empty() && line.back() != ' ') Problem(number, "a data line must end with a blank");
      DataLine(section, line, number);
    }
    return std::move(out_);
  }

 private:
  void Problem(int32_t line, std::string message) { out_.Problems.push_back({line, std::move(message)}); }

  // The next further line of a data line, or false when the text has ended.
  bool Further(std::string_view& line, int32_t& number, std::string_view what) {
    if (next_ >= lines_.size()) return false;
    number = static_cast<int32_t>(next_ + 1);
    line = lines_[next_++];
    if (HeaderOf(line) != ExtrasSection::None) Problem(number, std::string(what) + " line is a header: the count is too large");
    return true;
  }

  void DataLine(ExtrasSection section, std::string_view line, int32_t number) {
    ExtrasLine rec;
    rec.Section = section;
    rec.LineNumber = number;
    Cursor c{line, SkipBlanks(line, 0)};
    rec.Identifier = c.Integer();
    c.Step();
    switch (section) {
      case ExtrasSection::Ranges:
        rec.Reals[0] = std::string(c.Word());
        c.Step();
        rec.Reals[1] = std::string(c.Word());
        break;
      case ExtrasSection::Dialog:
        if (!c.AtEnd()) {
          rec.Values.push_back(c.Integer());
          c.Step();
          rec.Values.push_back(c.Integer());
        }
        break;
      case ExtrasSection::Formats:
        rec.Text = Cut(TrimTrailingBlanks(c.Rest()), kExtrasMaxLine);
        break;
      case ExtrasSection::Fonts: {
        rec.Values.push_back(c.Integer());
        c.Step();
        const std::string_view rest = c.Rest();
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
          Problem(number, "a [Fonts] line without the comma after its face name");
          return;
        }
        rec.Text = Cut(rest.substr(0, comma), kExtrasMaxFaceName);
        if (comma > kExtrasMaxFaceName) Problem(number, "a face name longer than 31 characters");
        c.at += comma + 1;
        c.at = SkipBlanks(line, c.at);
        rec.Values.push_back(c.Integer());
        c.Step();
        rec.Values.push_back(c.Integer());
        break;
      }
      default:
        for (int32_t i = 0; i < IntegerCount(section); ++i) {
          if (i > 0) c.Step();
          rec.Values.push_back(c.Integer());
        }
        break;
    }
    if (c.missing) Problem(number, "too few values on the line");
    if (section == ExtrasSection::Menus) Options(rec);
    if (section == ExtrasSection::Tabs) Pages(rec);
    if (section == ExtrasSection::Grids) RowLabels(rec);
    out_.Lines.push_back(std::move(rec));
  }

  // [Menus]: up to count whole lines, leading blanks kept, trailing removed.
  void Options(ExtrasLine& rec) {
    std::string_view line;
    int32_t number = 0;
    for (int32_t i = 0; i < rec.Values[0] && Further(line, number, "an option"); ++i)
      rec.Items.push_back(Cut(TrimTrailingBlanks(line), kExtrasMaxLine));
  }

  // [Tabs]: up to count page lines: the page's identifier, then its label,
  // which runs to the line's closing blank.
  void Pages(ExtrasLine& rec) {
    std::string_view line;
    int32_t number = 0;
    for (int32_t i = 0; i < rec.Values[0] && Further(line, number, "a page"); ++i) {
      Cursor c{line, SkipBlanks(line, 0)};
      ExtrasTabPage page;
      page.Page = c.Integer();
      c.Step();
      std::string_view label = c.Rest();
      if (label.empty()) Problem(number, "a page line without a label");
      else if (label.back() != ' ') Problem(number, "a page line must end with a blank");
      if (!label.empty()) label.remove_suffix(1);
      page.Label = Cut(label, kExtrasMaxLine);
      rec.Pages.push_back(std::move(page));
    }
  }

  // [Grids] of a grid with row labels: a width line, then (unless the grid
  // says they are absent) one label line per row while the text lasts.
  void RowLabels(ExtrasLine& rec) {
    const ExtrasGridLabels style = grids_ ? grids_(rec.Identifier) : ExtrasGridLabels{};
    if (!style.RowLabels) return;
    std::string_view line;
    int32_t number = 0;
    if (!Further(line, number, "a row-label width")) return;
    rec.HasLabelWidth = true;
    rec.LabelWidth = ExtrasInteger(line.substr(SkipBlanks(line, 0)));
    if (!style.LabelsInText) return;
    for (int32_t r = 0; r < rec.Values[1] && Further(line, number, "a row label"); ++r) {
      std::string_view label = line.substr(0, std::min(line.size(), line.find('\r')));
      label = label.substr(0, std::min(label.size(), kExtrasMaxRowLabel));
      rec.Items.push_back(std::string(TrimTrailingBlanks(label)));
    }
  }

  const ExtrasGridQuery& grids_;
  std::vector<std::string_view> lines_;
  size_t next_ = 0;
  ExtrasText out_;
};

}  // namespace

std::string_view ExtrasHeader(ExtrasSection section) {
  const auto n = static_cast<int32_t>(section);
  return n >= 1 && n <= 13 ? kHeaders[static_cast<size_t>(n - 1)] : std::string_view{};
}

int32_t ExtrasInteger(std::string_view text) {
  size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++at;
  int64_t v = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    v = std::min<int64_t>(v * 10 + (text[at] - '0'), int64_t{1} << 32);
  if (negative) v = -v;
  return SaturateToInt32(v);
}

ExtrasText ParseDialogExtras(std::string_view text, const ExtrasGridQuery& grids) {
  return Reader(text, grids).Run();
}
