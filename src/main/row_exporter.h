#pragma once
// "Exportieren …": asks for a name through the save dialog, then writes the chosen payments
// there as CSV or as an Excel workbook (row_export.*), chosen by the name's extension. The
// file named is put in place by the window only once the export is complete; a long list is
// written in a worker while a dialog shows how far it got and can stop it.
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "check.h"
#include "dtaus.h"
#include "platform.h"
#include "row_export.h"
#include "worker_progress.h"

class QWidget;

namespace quandel {

class TPaymentModel;

inline const char* const kExportFilter = "CSV-Datei (*.csv)|*.csv|Excel-Arbeitsmappe (*.xlsx)|*.xlsx";

// The workbook for a name ending in ".xlsx" (any case), CSV for every other.
TExportFormat ExportFormatOf(const QString& name);

class TRowExporter : public QObject {
  Q_OBJECT

 public:
  // The DTAUS file the rows come from: never written, and named on the workbook's "Datei".
  struct TSource {
    QString FileName;
    std::shared_ptr<const ombra::TFileCheck> Check;
  };

  TRowExporter(QWidget* window, std::shared_ptr<IMessageBox> messages,
               std::shared_ptr<ISaveDialog> saveDialog);
  // Stops an export running and waits for it; its temporary file goes with it.
  ~TRowExporter() override;

  // Asks for a name and exports the payments `rows` (counted from 0 in the file, in the order
  // written) of `model`'s document. Refused, with a message, while an export runs.
  void exportRows(const TPaymentModel& model, std::vector<int> rows);
  bool isExporting() const { return share_ != nullptr; }
  // The export running writes nothing more; the file named keeps what it had.
  void stop();

  // Where the document shown was read from; unset, the workbook names no file.
  std::function<TSource(const ombra::TDtaus&)> source;
  // From this many rows on the export runs in a worker, with progress and a way to stop.
  std::size_t workerRows = 20000;

 signals:
  // An export ended: written, failed or stopped.
  void finished();

 private:
  struct TRunning;
  void start(const QString& name, std::shared_ptr<const TExportJob> job);
  void finish(const std::string& error);
  void fail(const QString& name, const std::string& reason);

  QWidget* window_;
  std::shared_ptr<IMessageBox> messages_;
  std::shared_ptr<ISaveDialog> saveDialog_;
  QFutureWatcher<std::string> worker_;
  std::shared_ptr<TWorkerShare> share_;
  std::unique_ptr<TRunning> running_;
  QPointer<QProgressDialog> progress_;
};

}  // namespace quandel
