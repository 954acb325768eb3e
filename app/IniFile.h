// The settings file: key=value lines beside the executable that carry the
// display settings, axis captions, window geometry, the suite definition
// and the last working directory from one run to the next.
//
// Its names come from the program's absolute path: a trailing ".exe" (any
// case) replaced, otherwise the suffix appended: "<program>.INI" is read
// when it exists, else "<program>.INW"; at shutdown "<program>.INI" is
// written: a complete new file replaces it (through a link to it, keeping
// its permission bits), and a failure is told, never a cut or lost file.
#pragma once

#include <string>
#include <string_view>

// Reads the settings file once at start-up. A line with a value its key
// cannot take is skipped; everything else is still read.
void INIIN();
// Writes the settings file at shutdown. A failure shows the box naming the
// file and the system's reason; the old file stays as it was.
void LASTDIR();

// A file named after the program: its path with a trailing ".exe" (any
// case) replaced by the suffix, or with the suffix appended.
std::string ProgramFileName(std::string_view suffix);
// The same rule applied to another path of the program (its real file).
std::string NamedAfter(std::string path, std::string_view suffix);
