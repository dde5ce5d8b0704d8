#pragma once
// Checks the file shown in a worker thread: its trailer against its payments and every
// account against its bank. The list is shown before; the check only adds to it.
#include <QFutureWatcher>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bank_directory.h"
#include "check.h"
#include "regional.h"

namespace quandel {

struct TViewerCheck {
  ombra::TFileCheck File;
  // One verdict per payment; empty when no bank directory could be opened.
  ombra::TAccountChecks Accounts;
  bool AccountsChecked = false;
  std::string DirectoryDate;
  std::int64_t Payments = 0;
};

using TViewerCheckResult = std::shared_ptr<const TViewerCheck>;

class TCheckRunner : public QObject {
  Q_OBJECT

 public:
  using TDirectoryOpener = std::function<std::unique_ptr<ombra::TBankDirectory>()>;
  // The directory is opened once, by the first check, on the runner's thread.
  explicit TCheckRunner(TDirectoryOpener openDirectory = ombra::OpenSystemBankDirectory,
                        QObject* parent = nullptr);
  ~TCheckRunner() override;

  // Checks the accounts of `document` in the background and reports them with `fileCheck`,
  // what its load found. Only the document started last reports: a check still running for an
  // older one is left to end and its result dropped.
  void start(std::shared_ptr<const ombra::TDtaus> document, std::shared_ptr<const ombra::TFileCheck> fileCheck);
  // No result of any check started so far is reported.
  void cancel();
  bool isBusy() const { return watcher_.isRunning() || pending_.has_value(); }

 signals:
  void finished(quandel::TViewerCheckResult result);

 private:
  struct TRequest {
    std::shared_ptr<const ombra::TDtaus> Document;
    std::shared_ptr<const ombra::TFileCheck> FileCheck;
  };
  struct TDirectory;
  static TViewerCheckResult Check(const TRequest& request, const ombra::TBankDirectory* banks);
  void launch(TRequest request);
  void done();

  std::shared_ptr<TDirectory> directory_;
  QFutureWatcher<TViewerCheckResult> watcher_;
  std::optional<TRequest> pending_;
  bool wanted_ = false;
};

}  // namespace quandel
