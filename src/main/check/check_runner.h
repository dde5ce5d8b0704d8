#pragma once
// Checks every account of the file shown against its bank in a worker thread and reports it
// with what the load found of the file itself. The list is shown before; the check only adds
// to it. The verdict goes out as soon as the accounts are checked; the ranks by which the panel
// "Befunde" sorts the findings are made after, by the same worker, and follow it.
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bank_directory.h"
#include "check.h"
#include "regional.h"

namespace quandel {

struct TFindingRanks;

// Whether the accounts were checked, and by a directory of which day, File.Accounts says.
struct TViewerCheck {
  ombra::TFileCheck File;
  // One verdict per payment; empty when no bank directory could be opened.
  ombra::TAccountChecks Accounts;
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
  // Stops the check running and waits for it: no worker outlives the runner.
  ~TCheckRunner() override;

  // Checks the accounts of `document` in the background and reports them with `fileCheck`,
  // what its load found. Only the document started last reports: a check still running for an
  // older one is stopped and its result dropped.
  void start(std::shared_ptr<const ombra::TDtaus> document,
             std::shared_ptr<const ombra::TFileCheck> fileCheck);
  // No result of any check started so far is reported, nor the ranks of one reported.
  void cancel();
  // Whether a verdict is still to come; the ranks of one that came do not count.
  bool isBusy() const { return pending_ || (job_ && !job_->Ranking); }
  // Whether no worker of the runner is left: no check, nor the ranking of one reported.
  bool isIdle() const { return job_ == nullptr; }
  // How far the check running has come, in percent, by the accounts checked.
  int progress() const { return percent_->load(std::memory_order_relaxed); }

 signals:
  void finished(quandel::TViewerCheckResult result);
  // The ranks of the findings of `check`, the result `finished` reported last; none come for a
  // check cancelled or followed by another since.
  void ranked(quandel::TViewerCheckResult check, std::shared_ptr<const quandel::TFindingRanks> ranks);

 private:
  struct TRequest {
    std::shared_ptr<const ombra::TDtaus> Document;
    std::shared_ptr<const ombra::TFileCheck> FileCheck;
  };
  struct TDirectory;
  // What a worker shares with the runner: whether to stop, and how far it has come.
  struct TJob {
    std::atomic<bool> Stopped{false};
    std::shared_ptr<std::atomic<int>> Percent;
    // Set before it starts: it ranks the findings of a check reported, it does not check.
    bool Ranking = false;
  };
  static TViewerCheckResult Check(const TRequest& request, const ombra::TBankDirectory* banks, TJob& job);
  static void CheckAccounts(TViewerCheck& result, const ombra::TDtaus& doc, const ombra::TBankDirectory* banks,
                            TJob& job);
  void launch(TRequest request);
  void done(const std::shared_ptr<TJob>& job, TViewerCheckResult result);
  void rank(TViewerCheckResult check);
  void rankDone(const std::shared_ptr<TJob>& job, TViewerCheckResult check,
                std::shared_ptr<const TFindingRanks> ranks);
  bool launchPending();

  std::shared_ptr<TDirectory> directory_;
  // The check or the ranking running, until its result is back on this thread.
  std::shared_ptr<TJob> job_;
  std::shared_ptr<std::atomic<int>> percent_ = std::make_shared<std::atomic<int>>(0);
  std::optional<TRequest> pending_;
  bool wanted_ = false;
  QThreadPool pool_;
};

}  // namespace quandel
