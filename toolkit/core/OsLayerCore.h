// The operating-system routines that the error reporter itself needs: the
// fatal message box, the process end, the system's error texts and the
// debug file. The reporter lives in utilcore, which links nothing else, so
// these few are written on the C library directly instead of through the
// platform layer; the rest of the operating-system layer is in
// OsServices.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Shows a task-modal error box without owner. Until the window layer
// installs its message box (FatalMessageHook), the caption and text go to
// standard error.
void YYFatalMessage(std::string_view caption, std::string_view text);
using FatalMessageFunction = void (*)(std::string_view caption, std::string_view text);
FatalMessageFunction& FatalMessageHook();

// Ends the process at once with the exit code: standard output and error
// are flushed, nothing else is cleaned up.
[[noreturn]] void YYExitProcess(int32_t code);

// The system's text for an error number (at most `size` - 1 characters;
// "" for 0).
std::string YYOsErrorText(int32_t error, size_t size = 301);

// The debug file: created in the current directory on the first write of
// the run as "debug", else "debug.txt", else "debug.dat", emptying an old
// one; creation is tried once per run. Writes go straight to the file (no
// buffering), so they survive an abnormal end. When no file could be
// created, writes are lost silently.
bool YYDebugFileOpen();
void YYDebugFileLine(std::string_view text);   // the text and CR LF
void YYDebugFileText(std::string_view text);   // the text alone
void YYDebugFileValue(std::string_view name, int32_t value);  // "name=value" CR LF
// Closes the file and forgets that creation was tried (tests).
void ResetDebugFileForTest();
