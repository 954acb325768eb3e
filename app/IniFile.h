// The settings file: key=value lines beside the executable that carry the
// display settings, axis captions, window geometry, the suite definition
// and the last working directory from one run to the next.
//
// Its names come from the program's absolute path: a trailing ".exe" (any
// case) replaced, otherwise the suffix appended: "<program>.INI" is read
// when it exists, else "<program>.INW"; at shutdown the file is written as
// "<program>.INW" and then renamed to "<program>.INI".
#pragma once

#include <string>
#include <string_view>

// Reads the settings file once at start-up. A line with a value its key
// cannot take is skipped; everything else is still read.
void INIIN();
// Writes the settings file at shutdown (reports nothing to its caller).
void LASTDIR();

// A file named after the program: its path with a trailing ".exe" (any
// case) replaced by the suffix, or with the suffix appended.
std::string ProgramFileName(std::string_view suffix);
