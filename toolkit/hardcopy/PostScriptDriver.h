// Driver 2: PostScript and, with option 22, Encapsulated PostScript files.
// Paths are gathered across operations and stroked or filled only when
// something else must happen (a colour, line-attribute, page or text
// change, or a path grown too long), so that a polyline drawn piece by
// piece stays one path. Coordinates are points of a page of option 1 by
// option 2.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

void XXPOST(int32_t op);

// The text line of a label: the characters in parentheses with "(", ")"
// and "\" escaped, a blank and the justification operator; at most 255
// characters, the text cut before an escape pair rather than inside it.
std::string YYPsTextLine(std::string_view text, std::string_view justification);
