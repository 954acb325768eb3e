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
};
ErrorReportHooks& ErrorReportHooksRecord();

// Exit status of a Cancel in "Library Error": an error-driven end never
// looks like success to whoever started the program.
constexpr int32_t kCancelledErrorExitCode = 1;
