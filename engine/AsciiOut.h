// Flat text exports of the last model suite: one kind of curve per member
// as comma-separated columns (".DAT"), and every curve of every member as a
// table of 13-character columns (".TXT", which no command offers). Both ask
// for the file with the save dialog and replace an old file only once the
// new one is complete; with no suite computed they say so and write nothing.
#pragma once

void WRITEDATA();
void WRITESUITE();
