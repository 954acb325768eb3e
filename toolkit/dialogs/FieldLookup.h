// The control of the current dialog that a field identifier names, with
// the status convention of the field operations: -1 in the field when it
// is missing or of a class the operation does not serve.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"

inline plat::Hwnd YYFieldOrMissing(int32_t& field) {
  const plat::Hwnd c = YYFieldWindow(field);
  if (!c) field = -1;
  return c;
}

template <class... C>
plat::Hwnd YYFieldOfClass(int32_t& field, C... classes) {
  const plat::Hwnd c = YYFieldOrMissing(field);
  if (!c) return c;
  const FieldClass cls = YYFieldClassOf(c);
  if (((cls == classes) || ...)) return c;
  field = -1;
  return {};
}
