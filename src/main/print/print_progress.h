#pragma once
// Runs a long print of the list from the event loop a slice at a time, so that the window
// keeps repainting, and follows it in a dialog that can stop it.
#include <QString>

#include <chrono>

#include "list_printer.h"
#include "platform.h"

namespace quandel {

// A few pages at a time: short enough that the window never seems to hang.
inline constexpr std::chrono::milliseconds kPrintSlice{50};

// A print over within its first slice shows no dialog. Without `progress` the print still
// runs in slices, but cannot be stopped.
TListPrintResult RunListPrint(TListPrintJob& job, IPrintProgress* progress,
                              std::chrono::milliseconds slice = kPrintSlice);

// What the dialog says about the job: the preparation, then the sheet being printed,
// "Seite n von m".
QString PrintProgressText(const TListPrintJob& job);

}  // namespace quandel
