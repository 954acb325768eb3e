// Checks of dialog templates and their extras that the toolkit would
// otherwise misread without a word: extras lines that break the format
// (a missing closing blank, an empty line, a [Fonts] line without its
// comma, a page line without a label), counts of further lines that do not
// match the lines written, lines for controls the dialog does not have,
// tab pages and grid column templates that do not exist, and radio groups
// that do not begin with a grouping radio button.
#pragma once

#include <string>
#include <vector>

#include "platform/res/Resources.h"

namespace rescomp {

// One message per fault, "file:line: DIALOG n: ...", where the line is
// the dialog's first line.
std::vector<std::string> checkDialogs(const plat::res::ResourceSet& set);

}  // namespace rescomp
