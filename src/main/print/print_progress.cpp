#include "print_progress.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace quandel {

QString PrintProgressText(const TListPrintJob& job) {
  if (job.preparing()) return QStringLiteral("Der Druck wird vorbereitet …");
  // The page being printed.
  return QStringLiteral("Seite %1 von %2").arg(std::min(job.done() + 1, job.total())).arg(job.total());
}

TListPrintResult RunListPrint(TListPrintJob& job, IPrintProgress* progress, std::chrono::milliseconds slice) {
  if (!job.step(slice)) return job.result();
  const auto report = [&] {
    if (progress != nullptr) progress->Show(PrintProgressText(job), job.done(), job.total());
  };
  report();
  QEventLoop loop;
  QTimer next;
  // A timer of no interval fires once the window's own events are handled: input, painting
  // and the progress dialog come first.
  next.setInterval(0);
  QObject::connect(&next, &QTimer::timeout, &loop, [&] {
    if (progress != nullptr && progress->StopRequested())
      job.stop();
    else if (job.step(slice))
      return report();
    loop.quit();
  });
  next.start();
  loop.exec();
  // Left from elsewhere (the program quits): nothing is left half printed.
  job.stop();
  if (progress != nullptr) progress->Close();
  return job.result();
}

}  // namespace quandel
