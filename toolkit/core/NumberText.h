// Number-text conversion of the toolkit.
#pragma once

#include <cstdint>
#include <string_view>

// Converts the first blank-delimited word of the text to an integer;
// failures report 10, 12 or 4 under "IStringToInteger" and leave 0.
void IStringToInteger(std::string_view text, int32_t& n);
