// The six numeric field classes: INTEGEREDIT, REALEDIT and DOUBLEEDIT, and
// the spin variants INTEGERSPIN, REALSPIN and DOUBLESPIN with an up-down
// control beside the field. They are edit controls that filter the
// characters typed, keep the field's exact value beside its text, and check
// the value when the focus leaves: against the field's range and for being
// a number at all, reformatting the text with the field's format. A
// rejected value keeps the focus in the field.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

// The validation state, one for all dialogs.
struct NumericValidationRecord {
  int32_t CheckRunning = 0;     // a rejection is being carried out: checks pass at once
  plat::Hwnd Pending;           // failed while the focus went to a push button
  plat::Hwnd TabPending;        // failed while the focus went to a tab control
  int32_t RestorePending = 0;   // the next field focused saves its text and value as the last good ones
  std::string LastGoodText;     // up to 255 characters
  double LastGoodValue = 0.0;
  // Set by the grid while it moves its cell editor: checks pass meanwhile.
  int32_t GridEditorMoving = 0;
  // While on, numeric fields take the locale's decimal character for ".".
  int32_t FieldDecimalOption = 0;
};
NumericValidationRecord& NumericValidation();
void ResetNumericValidation();

// Registers the six classes as superclasses of EDIT (once).
void YYRegisterNumericClasses();

plat::LResult YYIntegerEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYIntegerSpinProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYRealEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYRealSpinProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYDoubleEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYDoubleSpinProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);

// Nonzero when the field's value is rejected as the focus moves to
// `receiving` (a rejection puts the focus back into the field).
int32_t YYNumericFocusCheck(plat::Hwnd field, plat::Hwnd receiving, int32_t force);
void YYNumericReject(plat::Hwnd receiving, plat::Hwnd field, int32_t leftByTab);
// Presses the default button of the outermost dialog of an edit control.
void YYPressDefault(plat::Hwnd edit);

// A click on a spin field's arrows, as the up-down control reports it
// (+1 or -1 the small step, +5 or -5 the large step).
void YYSpinClick(plat::Hwnd field, int32_t step);
// Puts the last good text and value back into a field.
void YYRestoreLastGood(plat::Hwnd field);

// The name a user knows a field by: the text of the label just before it
// (without its mnemonic mark and closing colon), else "Field N".
std::string YYFieldLabel(plat::Hwnd field);
// Why a numeric field's text cannot be taken, naming the text as typed and
// the values allowed; empty when it can. A blank field is refused when it
// has a range (it must hold a value), text that is no number always: a
// decimal comma is not guessed at.
std::string YYNumericRefusal(plat::Hwnd field);
// "allowed: from A to B" for the field's range, empty without one.
std::string YYFieldRangeText(plat::Hwnd field);
// A refusal shown to the user ("<label>: <why>" in a message box over the
// dialog), then the focus back in the field with its whole text selected.
void YYRefuseField(plat::Hwnd field, const std::string& why);
// Leaving a dialog by a button that takes its values (OK, Next, Finish):
// the first visible, enabled numeric field whose text is refused, the
// focused one first, is shown as refused; true when one was.
bool YYDialogRefusesValues(plat::Hwnd dialog);
