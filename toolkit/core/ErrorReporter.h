// The toolkit's one error reporter: public toolkit routines return no status;
// on failure they store a code and hand it with their own name to YYERRREP,
// which records it and, by the report mode, shows a message.
//
// Fixed-length text arguments are std::string whose size is the declared
// length: routines that fill one cut their text to that size and pad the
// rest with blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ErrorStateRecord {
  int32_t LastErrorCode = 0;   // code of the most recent report; 0 = none
  int32_t ReportMode = 0;      // 0 none, 1 stdout, 2 debug file, 3 status bar, 4 message box
  int32_t OsErrorKind = 0;     // 2: OsErrorNumber belongs to the failed file operation
  int32_t OsErrorNumber = 0;
  int32_t SecondaryStatus = 0; // errno of the last failed OS service, or a zlib status
  std::string MessageBuffer;   // the message being composed (200 characters)
};

// The one instance; reset to zeros by WStartup (and by tests).
ErrorStateRecord& ErrorState();
void ResetErrorState();

// Length of the message buffer.
constexpr size_t kErrorMessageLength = 200;

void YYERRREP(int32_t code, std::string_view name);
// Sets the report mode when 0 <= mode <= 4; other values change nothing.
void YYERRMODE(int32_t mode);
void YYLastErrorStore(int32_t code);
// The last-error enquiry: the code of the most recent report.
int32_t LastErrorCode();

// Message text selectors of YYERRTEXT.
constexpr int32_t kToolkitMessages = 1;
constexpr int32_t kOsMessages = 2;
constexpr int32_t kZlibMessages = 3;

// Writes the message of `value` from the selector's table into `text`
// (cut to its size, blank-padded); an unknown selector leaves it alone.
void YYERRTEXT(int32_t value, std::string& text, int32_t selector = kToolkitMessages);
// The same text without padding ("" for codes that have none).
std::string ErrorMessageText(int32_t value, int32_t selector = kToolkitMessages);

// Ends the process with `code`; a text that is not blank is first shown as
// "Abnormal exit (code N) : text" in the fatal message box "Plovane".
[[noreturn]] void YYAbnormalExit(std::string_view text, int32_t code);

// Writes the text and CR LF to the debug file, creating it on first use.
void YYDebugWrite(std::string_view text);

// Where reports of modes 3 and 4 go. The window layer installs both once
// its root window and message box exist; unset, the message goes to
// standard error (mode 4 then answers OK).
struct ErrorReportHooks {
  // Mode 3: show the message in part 1 of the root window's status bar.
  void (*statusBar)(std::string_view message) = nullptr;
  // Mode 4: show the three-line text in the OK/Cancel box "Library Error";
  // the answer is 1 OK, 0 Cancel, -1 when the box could not be shown.
  int (*messageBox)(std::string_view text, std::string_view caption) = nullptr;
  // Files the user asked for that were not written: an OK box with the
  // exclamation icon, shown whatever the report mode.
  void (*fileNotice)(std::string_view text, std::string_view caption) = nullptr;
};
ErrorReportHooks& ErrorReportHooksRecord();

// A file the user asked for (a print, an export, a save, the settings)
// that was not written, or an old file that was not replaced: the user must
// know, whatever the report mode. The failure is recorded under `routine`
// with `code` (1 open, 2 write) and the system's error, delivered as the
// report mode delivers any report, and shown in the box "File Not Written"
// naming the file and the system's reason ("Permission denied", "No space
// left on device", "File too large"), unless report mode 4 has already
// shown its "Library Error" box with that reason and the file's name below
// it: one box a failure.
// Callers report a file once, however many of its writes failed.
void YYFileNotWritten(int32_t code, std::string_view routine, std::string_view file, int error);
// A name that does not fit the fixed field it must go into is refused, not
// cut (a cut name would write another file): the same report and box,
// naming the whole name and the room the field has.
void YYFileNameTooLong(std::string_view routine, std::string_view file, size_t room);
// The text of that refusal, for callers with boxes of their own: the name's
// length, the room, what was not done ("nothing was written") and the
// whole name.
std::string FileNameTooLongText(std::string_view file, size_t room, std::string_view outcome);
// The system's reason for an error number, as the file box gives it.
std::string FileErrorReason(int error);

// Exit status of a Cancel in "Library Error": an error-driven end never
// looks like success to whoever started the program.
constexpr int32_t kCancelledErrorExitCode = 1;
