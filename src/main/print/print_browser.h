#pragma once
#include "platform.h"

namespace quandel {

inline const char* const kPrintNotPossible = "Drucken nicht möglich";
inline const char* const kPrintCancelled = "Abbruch durch User";
inline const char* const kPrintFailed = "Fehler!!!";

// Prints what `browser` shows through its document's command target, without asking again.
// Reports refusal, cancellation and failure in `messages`; with nothing shown it does nothing.
void PrintBrowser(IWebBrowser* browser, IMessageBox& messages);

}  // namespace quandel
