// The parser of resource text, shared by the build-time resource compiler
// (tools/rescomp) and the run-time overlays of tests. It depends on nothing
// but the standard library and the platform's constant headers, so the
// compiler can be built before the platform library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/res/Resources.h"

namespace plat::res {

struct ParseError {
  std::string file;
  int line = 0;
  std::string message;
  std::string text() const;   // "file:line: message"
};

// Parses `text` (the contents of `fileName`) into `out`. Resources already in
// `out` take part in the clash checks, so several files can be parsed into
// one set. FILE references are read relative to `baseDir`. Returns false
// and fills `errors` (the first error of each resource) on failure.
bool parseResources(std::string_view text, std::string_view fileName, std::string_view baseDir, ResourceSet& out,
                    std::vector<ParseError>& errors);

}  // namespace plat::res
