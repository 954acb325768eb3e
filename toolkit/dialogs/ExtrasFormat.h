// The text that sets up a dialog's fields before it is first shown (its
// "extras"): number ranges and formats, option lists, check states, tab
// pages, grid sizes, colours, trackbar steps, text limits, the resizing
// layout, tree contents, fonts and field option bits.
//
// The text is 8-bit characters up to the first NUL, in lines ended by a line
// feed. A line whose first non-blank characters are one of the section
// headers (case counts; anything after the header is ignored) opens that
// section; every other line is a data line of the section opened last:
// a control identifier, then the section's values, each followed by at least
// one blank (the blank is the space character only). Some sections read
// further lines after their data line: option texts, tab pages, grid row
// labels.
//
// This reader only cuts the text into records; applying them to a dialog's
// controls is YYDialogExtras. It uses nothing but the standard library, so
// the resource compiler checks the program's resources with the very same
// reading.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class ExtrasSection : int32_t {
  None = 0,   // data lines before the first header are ignored
  Ranges = 1,
  Menus = 2,
  Checks = 3,
  Tabs = 4,
  Grids = 5,
  Colours = 6,
  Trackbars = 7,
  Lengths = 8,
  Dialog = 9,
  Formats = 10,
  Treeviews = 11,
  Fonts = 12,
  Flags = 13,
};

// The header of section n (1..13) in the order they are tested; "" for others.
std::string_view ExtrasHeader(ExtrasSection section);

// Longest option text, tab label or format kept from one line (the rest of
// a longer line is dropped), and the longest row label.
inline constexpr size_t kExtrasMaxLine = 1024;
inline constexpr size_t kExtrasMaxRowLabel = 50;
// Longest face name of a font (the platform's face-name limit less its NUL).
inline constexpr size_t kExtrasMaxFaceName = 31;

struct ExtrasTabPage {
  int32_t Page = 0;     // the page dialog's identifier
  std::string Label;    // the rest of the line without its closing blank
};

// One data line with the further lines it consumed.
struct ExtrasLine {
  ExtrasSection Section = ExtrasSection::None;
  // The control the line is for; for [Dialog] the resizable flag.
  int32_t Identifier = 0;
  // The integer values after the identifier, as many as the section reads:
  // [Menus] count, initial option; [Checks] state; [Tabs] count, initial
  // page; [Grids] columns, rows, template dialog; [Colours] six components;
  // [Trackbars] tick frequency, line step, page step, selection start and
  // end; [Lengths] limit; [Dialog] stretch field, align flag (only when the
  // line has more after its first value); [Treeviews] menu, selected value;
  // [Fonts] point size, weight, italic flag; [Flags] option bits.
  std::vector<int32_t> Values;
  // [Ranges]: the minimum and maximum as written (converted like field text
  // by the caller).
  std::array<std::string, 2> Reals;
  // [Formats]: the format text; [Fonts]: the face name.
  std::string Text;
  // [Menus]: the option texts; [Grids]: the row labels that were present.
  std::vector<std::string> Items;
  // [Tabs]: the page lines.
  std::vector<ExtrasTabPage> Pages;
  // [Grids] of a grid with row labels: the width line's value.
  bool HasLabelWidth = false;
  int32_t LabelWidth = 0;
  int32_t LineNumber = 0;   // 1-based line of the data line in the text
};

// Something in the text that the format excludes. The reading goes on: the
// line is taken as far as it can be (or skipped where the format gives it
// no meaning), but the program's own resources must have none of these.
struct ExtrasProblem {
  int32_t LineNumber = 0;
  std::string Message;
};

struct ExtrasText {
  std::vector<ExtrasLine> Lines;
  std::vector<ExtrasProblem> Problems;
};

// What a [Grids] line's further lines depend on: whether the control is a
// grid with the row-label style, and whether its labels follow in the text
// (a grid may say that they do not; then only the width line follows).
struct ExtrasGridLabels {
  bool RowLabels = false;
  bool LabelsInText = true;
};
using ExtrasGridQuery = std::function<ExtrasGridLabels(int32_t identifier)>;

// Reads the text (up to its first NUL or its end). The query is asked about
// the control of each [Grids] line; without one no grid has row labels.
ExtrasText ParseDialogExtras(std::string_view text, const ExtrasGridQuery& grids = {});

// An integer value as the extras write them: an optional "-" and decimal
// digits; reading stops at the first other character, and a value that
// begins with another character (a "+" too) is 0. Values beyond 32 bits
// saturate.
int32_t ExtrasInteger(std::string_view text);
