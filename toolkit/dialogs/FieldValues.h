// Field values by control class: what a value means for each control class
// (a text, a checked state, a position in a radio group, an option number,
// a position, a page, a tree item), for the fields of the current dialog.
//
// Every operation takes the field's control identifier by reference and
// overwrites it with -1 when the control does not exist in the current
// dialog or is of a class the operation does not serve, and with -2 for a
// failure of the value (empty text, out of range, nothing selected, item
// not found, picture not loadable). Nothing here reports errors.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Types.h"

// Sets the text, the value (a value of exactly 0.0 takes the number the
// text shows), the holds-a-value flag and the format of a field.
void YYFieldPutText(int32_t& field, double value, std::string_view text, std::string_view format);
void YYFieldRangeCheck(int32_t& field, double value);
void YYFieldRangeSet(int32_t& field, double minimum, double maximum, plat::Hwnd dialog);
void YYFieldRangeCurrent(int32_t& field, double minimum, double maximum);
// The format of a REALEDIT or DOUBLEEDIT field, else "(G15.5E2)".
std::string YYFieldFormat(int32_t& field);
void YYFieldGetValue(int32_t& field, double& value);
// At most maxCount - 1 characters of the control's text.
void YYFieldGetText(int32_t& field, std::string& text, int32_t maxCount);
void YYFieldTextLength(int32_t& field, int32_t& length);
void YYCheckBoxPut(int32_t& field, int32_t state);
void YYCheckBoxGet(int32_t& field, int32_t& state);
void YYRadioGroup(int32_t& field, int32_t& first, int32_t& last);
void YYRadioPut(int32_t& field);
void YYRadioGet(int32_t& field, int32_t& position);
void YYFieldClear(int32_t& field);
// 1 single-choice list box, 2 drop-down list, 3 combo box with an edit
// part, 4 list box with multiple or extended selection.
void YYOptionListKind(int32_t& field, int32_t& kind);
void YYOptionListAdd(int32_t kind, int32_t& field, std::string_view text);
void YYOptionListSelect(int32_t kind, int32_t& field, int32_t index);
void YYComboSelectText(int32_t& field, std::string_view text);
void YYComboGetChoice(int32_t& field, int32_t& option, bool wantText, std::string& text);
void YYListGetChoice(int32_t& field, int32_t& option, bool wantText, std::string& text);
// State codes 0 disabled, 1 enabled, 2 read-only, 3 hidden.
void YYFieldState(int32_t& field, int32_t state, int32_t update);
void YYTabGetPage(int32_t& field, int32_t& page);
void YYProgressRange(int32_t& field, int32_t minimum, int32_t maximum);
void YYProgressPut(int32_t& field, int32_t value, int32_t advance);
void YYTrackbarRange(int32_t& field, int32_t minimum, int32_t maximum, int32_t tickFrequency);
void YYTrackbarSteps(int32_t& field, int32_t lineStep, int32_t pageStep);
void YYTrackbarPut(int32_t& field, int32_t position, int32_t selStart, int32_t selEnd, int32_t mode);
void YYTrackbarGet(int32_t& field, int32_t& position, int32_t& selStart, int32_t& selEnd);
void YYTreeSelect(int32_t& field, int32_t value);
void YYTreeGetSelected(int32_t& field, int32_t& value, bool wantText, std::string& text);
void YYFieldTabStops(int32_t& field, std::span<const int32_t> stops);
// Kinds: 1 bitmap resource, 2 icon resource (0: "ICON1"), 3 memory bitmap,
// 4 toolkit metafile, 5 metafile resource.
void YYFieldPicture(int32_t& field, int32_t reference, int32_t kind);
// Option 1 the grid's Enter-moves-down flag, 2 its Tab-moves-between-cells
// flag, 3 the change-notify flag of an edit-like, grid or combo box field.
void YYFieldOptions(int32_t& field, int32_t option, int32_t on);
void YYIntegerSpinSteps(int32_t& field, int32_t small, int32_t large, int32_t offset);
void YYRealSpinSteps(int32_t& field, float small, float large);
void YYDoubleSpinSteps(int32_t& field, double small, double large);
void YYFieldSelectAll(plat::Hwnd control);

// The value the trackbar reports for a missing selection.
int32_t& TrackbarNoSelection();
// The null integer the field reads give.
void YYNullIntegerSet(int32_t value);
int32_t YYNullInteger();

// The picture a button or static shows (kept for its release).
struct YYControlPicture {
  int32_t kind = 0;       // 1 bitmap, 2 icon, 3 bitmap copied from a memory bitmap,
                          // 4 and 5 enhanced metafiles
  uint32_t handle = 0;
};
YYControlPicture YYControlPictureOf(plat::Hwnd control);
void YYDeleteControlPicture(const YYControlPicture& picture);
// Loads the bitmap or icon resource with the control's identifier into a
// button or static; false when there is none.
bool YYLoadControlImage(plat::Hwnd control, bool bitmap, bool isStatic);
// Makes the "QVZMETAFILE" resource with the control's identifier the
// static's enhanced metafile; false when there is none.
bool YYLoadControlMetafile(plat::Hwnd control);
