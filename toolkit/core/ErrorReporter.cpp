// Stand-in: stores the code only; the message texts and report modes come
// with the toolkit's base services.
#include "toolkit/core/ErrorReporter.h"

namespace {
ErrorStateRecord gErrorState;
}

ErrorStateRecord& ErrorState() { return gErrorState; }
void ResetErrorState() { gErrorState = ErrorStateRecord{}; }

void YYLastErrorStore(int32_t code) { gErrorState.LastErrorCode = code; }
int32_t LastErrorCode() { return gErrorState.LastErrorCode; }

void YYERRMODE(int32_t mode) {
  if (mode >= 0 && mode <= 4) gErrorState.ReportMode = mode;
}

void YYERRREP(int32_t code, std::string_view /*name*/) { YYLastErrorStore(code); }
