#pragma once
// A worker's progress, shown over the window: the worker reports how far it got into a share
// it holds with the window's thread and asks it whether to go on; the dialog reads the share
// ten times a second (the worker posts nothing) and "Abbrechen" sets its stop flag.
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <atomic>
#include <memory>

namespace quandel {

struct TWorkerShare {
  std::atomic<long long> Done{0};
  std::atomic<bool> Stop{false};
  // For the worker: `done` units so far; false once the user asked to stop.
  bool Report(long long done) {
    Done.store(done);
    return !Stop.load();
  }
};

struct TWorkerProgressText {
  QString Title;       // "Exportieren"
  QString Label;       // "Zahlungen werden exportiert …"
  QString ObjectName;  // for tests and accessibility
};

// A dialog over `window` for `total` units, shown only when the work lasts over 300 ms. The
// caller closes it with deleteLater when the worker's result arrives.
QPointer<QProgressDialog> ShowWorkerProgress(QWidget* window, const TWorkerProgressText& text, long long total,
                                             std::shared_ptr<TWorkerShare> share);

}  // namespace quandel
