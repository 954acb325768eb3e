#include "platform/ctl/Controls.h"
#include "platform/win/WinState.h"

namespace plat::detail {

void registerBuiltinClasses() {
  registerMenuClass();
  registerBarClasses();
  registerDialogClasses();
  registerControlClasses();
  for (auto& [name, cls] : state().classes) cls->builtIn = true;
}

}  // namespace plat::detail
