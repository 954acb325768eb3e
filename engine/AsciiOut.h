// Flat text exports of the last model suite: one kind of curve per member
// as comma-separated columns (".DAT"), and every curve of every member as a
// table of 13-character columns (".TXT", which no command offers). Both ask
// for the file with the save dialog and replace an old file only once the
// new one is complete; with no suite computed they say so and write nothing.
#pragma once

#include <string>
#include <string_view>

void WRITEDATA();
void WRITESUITE();

// The file the last export (these and the ".PRT" printout) wrote whole,
// empty while none: the program names it to the user.
std::string& LastExportFile();
// The message of an export that failed: its text and file, then on a line
// of its own the system's reason for the last failed open or close.
std::string ExportFailure(std::string_view text, std::string_view file);
