// The application's routines for the fields of the current dialog:
// numbers, texts, check boxes, radio groups, option lists, tabs, progress
// bars, field states, focus, ranges and options.
//
// Each reports 1005 "No dialog currently selected" when no dialog is
// selected and 1006 "Invalid field identifier" for a missing field or one of
// a class the routine does not serve, under its own name. Texts going into a
// field lose their trailing blanks; texts coming out are blank-padded to the
// variable's length (the std::string's size) and cut when longer. A read
// that finds no value gives the null integer -999 or the null real -999.0
// with 1010 "Field value undefined".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

void WDialogPutInteger(int32_t field, int32_t value);
void WDialogPutReal(int32_t field, float value, std::optional<std::string_view> format = std::nullopt);
void WDialogPutDouble(int32_t field, double value, std::optional<std::string_view> format = std::nullopt);
void WDialogPutString(int32_t field, std::string_view text);
void WDialogGetInteger(int32_t field, int32_t& value);
void WDialogGetReal(int32_t field, float& value);
void WDialogGetString(int32_t field, std::string& text);
void WDialogGetStringLength(int32_t field, int32_t& length);
// Refuses the value of a field of the current dialog for a reason of the
// program's own (a message "<field's label>: <why>"); the focus goes back to
// the field with its text selected. Reports 1006 for a missing field.
void WDialogRefuseField(int32_t field, const std::string& why);
void WDialogPutCheckBox(int32_t field, int32_t state);
void WDialogGetCheckBox(int32_t field, int32_t& state);
void WDialogPutRadioButton(int32_t field);
void WDialogGetRadioButton(int32_t field, int32_t& position);
// Replaces the options with the first n texts and selects option `option`
// (1..n); for a combo box with an edit part, option 0 with a text shows
// the text instead.
void WDialogPutMenu(int32_t field, std::span<const std::string> options, int32_t n, int32_t option,
                    std::optional<std::string_view> text = std::nullopt);
void WDialogGetMenu(int32_t field, int32_t& option, std::string* text = nullptr);
void WDialogPutOption(int32_t field, int32_t option);
// 0 disabled, 1 enabled, 2 read-only, 3 hidden.
void WDialogFieldState(int32_t field, int32_t state);
void WDialogFieldOptions(int32_t field, int32_t option, int32_t value);
void WDialogRangeInteger(int32_t field, std::optional<int32_t> minimum = std::nullopt,
                         std::optional<int32_t> maximum = std::nullopt);
void WDialogRangeProgressBar(int32_t field, int32_t minimum, int32_t maximum);
void WDialogPutProgressBar(int32_t field, int32_t value, std::optional<int32_t> advance = std::nullopt);
void WDialogTitle(std::optional<std::string_view> title = std::nullopt, std::optional<int32_t> icon = std::nullopt);
// Focus on a field; the caret before character `caret` (1-based), or the
// whole text selected when it is absent.
void WDialogSetField(int32_t field, std::optional<int32_t> caret = std::nullopt);
void WDialogSetTab(int32_t field, int32_t page);
void WDialogTabState(int32_t field, int32_t page, int32_t state);
void WDialogGetTab(int32_t field, int32_t& page);

// Dialog-level operations (field -1 when missing).
void YYFieldFocus(int32_t& field, int32_t caret);
// page -1 when no enabled tab has that page.
void YYTabSelect(int32_t& field, int32_t& page);
// page -1 when no tab has that page.
void YYTabState(int32_t& field, int32_t& page, int32_t state);
