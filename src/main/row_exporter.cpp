#include "row_exporter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>

#include "file_system.h"
#include "system_error.h"
#include "payment_model.h"

namespace quandel {

TExportFormat ExportFormatOf(const QString& name) {
  return name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ? TExportFormat::Xlsx
                                                                     : TExportFormat::Csv;
}

// The target, written by the worker while it runs and put in place by the window after.
struct TRowExporter::TRunning {
  QString Name;
  std::shared_ptr<support::TAtomicFile> Target;
};

namespace {

std::string Bytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

QString Shown(const QString& name) { return QDir::toNativeSeparators(name); }

}  // namespace

TRowExporter::TRowExporter(QWidget* window, std::shared_ptr<IMessageBox> messages,
                           std::shared_ptr<ISaveDialog> saveDialog)
    : QObject(window), window_(window), messages_(std::move(messages)), saveDialog_(std::move(saveDialog)) {
  connect(&worker_, &QFutureWatcher<std::string>::finished, this, [this] { finish(worker_.result()); });
}

TRowExporter::~TRowExporter() {
  if (!share_) return;
  share_->Stop.store(true);
  worker_.waitForFinished();
}

void TRowExporter::exportRows(const TPaymentModel& model, std::vector<int> rows) {
  if (!saveDialog_) return;
  if (isExporting())
    return messages_->ShowMessage(
        QStringLiteral("Es läuft noch ein Export. Bitte warten, bis er fertig ist, "
                       "oder ihn abbrechen."));
  auto job = std::make_shared<TExportJob>();
  job->Document = model.sharedDocument();
  job->Regional = model.regionalSettings();
  job->Rows = std::move(rows);
  QString sourceName;
  if (source) {
    TSource from = source(*job->Document);
    sourceName = from.FileName;
    job->SourceName = Bytes(from.FileName);
    job->Check = std::move(from.Check);
  }
  TSaveDialogSettings settings;
  settings.Title = QStringLiteral("Exportieren");
  settings.Filter = QString::fromUtf8(kExportFilter);
  const QString stem = sourceName.isEmpty() ? QString() : QFileInfo(sourceName).completeBaseName();
  settings.FileName = (stem.isEmpty() ? QStringLiteral("zahlungen") : stem) + QStringLiteral(".csv");
  const std::optional<QString> name = saveDialog_->Execute(settings);
  if (!name || name->isEmpty()) return;
  if (!sourceName.isEmpty() && support::IsSameFile(Bytes(sourceName), Bytes(*name))) {
    messages_->ShowError(
        QStringLiteral("„%1“ ist die gezeigte DTAUS-Datei; sie wird nicht überschrieben.").arg(Shown(*name)));
    return;
  }
  job->Format = ExportFormatOf(*name);
  start(*name, std::move(job));
}

void TRowExporter::start(const QString& name, std::shared_ptr<const TExportJob> job) {
  auto target = std::make_shared<support::TAtomicFile>(Bytes(name));
  // Payments, also where the file replaced allowed others to read.
  target->SetOwnerOnly();
  if (const int error = target->Open(); error != 0) return fail(name, support::GermanSystemError(error, support::TFileDeed::Write) + ".");
  running_ = std::make_unique<TRunning>(TRunning{name, target});
  share_ = std::make_shared<TWorkerShare>();
  const auto progress = [share = share_](std::size_t rows) { return share->Report(static_cast<long long>(rows)); };
  if (job->Rows.size() < workerRows) {
    // Written at once: a short list takes less than a worker's dialog would show.
    return finish(WriteExport(*job, *target, progress));
  }
  progress_ = ShowWorkerProgress(window_,
                                 {QStringLiteral("Exportieren"), QStringLiteral("Zahlungen werden exportiert …"),
                                  QStringLiteral("ExportProgress")},
                                 static_cast<long long>(job->Rows.size()), share_);
  worker_.setFuture(QtConcurrent::run(
      [job = std::move(job), target, progress] { return WriteExport(*job, *target, progress); }));
}

void TRowExporter::stop() {
  if (share_) share_->Stop.store(true);
}

// The target is put in place here, on the window's thread, and only when nobody asked to stop
// meanwhile: a stop however late leaves the file named as it was.
void TRowExporter::finish(const std::string& error) {
  const bool stopped = share_->Stop.load();
  const std::unique_ptr<TRunning> running = std::move(running_);
  share_.reset();
  if (progress_) progress_->deleteLater();
  if (!stopped) {
    if (!error.empty())
      fail(running->Name, error);
    else if (const int committed = running->Target->Commit(); committed != 0)
      fail(running->Name, support::GermanSystemError(committed, support::TFileDeed::Write) + ".");
  }
  emit finished();
}

void TRowExporter::fail(const QString& name, const std::string& reason) {
  messages_->ShowError(QStringLiteral("Der Export nach „%1“ ist nicht gelungen. %2")
                           .arg(Shown(name), QString::fromStdString(reason)));
}

}  // namespace quandel
