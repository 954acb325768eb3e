// Writes a resource set as C++ source that rebuilds it in the program.
#pragma once

#include <string>
#include <vector>

#include "platform/res/Resources.h"

namespace rescomp {

std::string writeCpp(const plat::res::ResourceSet& set, const std::vector<std::string>& sources,
                     const std::string& function);

}  // namespace rescomp
