#include "worker_progress.h"

#include <QTimer>

namespace quandel {

QPointer<QProgressDialog> ShowWorkerProgress(QWidget* window, const TWorkerProgressText& text, long long total,
                                             std::shared_ptr<TWorkerShare> share) {
  auto* dialog = new QProgressDialog(text.Label, QStringLiteral("Abbrechen"), 0, static_cast<int>(total), window);
  dialog->setWindowTitle(text.Title);
  dialog->setObjectName(text.ObjectName);
  dialog->setMinimumDuration(300);
  // Kept open at 100 %: only the worker's result ends the work, and a stop until then counts.
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  QObject::connect(dialog, &QProgressDialog::canceled, dialog, [share] { share->Stop.store(true); });
  auto* timer = new QTimer(dialog);
  timer->setInterval(100);
  QObject::connect(timer, &QTimer::timeout, dialog,
                   [dialog, share] { dialog->setValue(static_cast<int>(share->Done.load())); });
  timer->start();
  return dialog;
}

}  // namespace quandel
