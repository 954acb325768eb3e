// The toolkit's one error reporter: public toolkit routines return no status;
// on failure they store a code and hand it with their own name to YYERRREP.
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
};

// The one instance; reset to zeros by WStartup (and by tests).
ErrorStateRecord& ErrorState();
void ResetErrorState();

void YYERRREP(int32_t code, std::string_view name);
void YYERRMODE(int32_t mode);
void YYLastErrorStore(int32_t code);
// The last-error enquiry: the code of the most recent report.
int32_t LastErrorCode();
