#include "check_runner.h"

#include <QMetaObject>

#include <algorithm>
#include <functional>

#include "dtaus.h"
#include "findings_ranks.h"
#include "hand_off.h"

namespace quandel {
namespace {

// Where the figure stands when every account is checked.
constexpr std::size_t kAccountsPercent = 90;

// Thrown through the account check when the check is no longer wanted.
struct TStopped {};

}  // namespace

// Opened on the window's thread, once, by the first check: the library reads the environment
// and the opening probes it through std::cerr, neither of which a worker may touch. Checks
// running in workers share it and keep it alive.
struct TCheckRunner::TDirectory {
  TDirectoryOpener Open;
  bool Opened = false;
  std::unique_ptr<ombra::TBankDirectory> Banks;

  const ombra::TBankDirectory* Get() {
    if (!Opened && Open) Banks = Open();
    Opened = true;
    return Banks.get();
  }
};

TCheckRunner::TCheckRunner(TDirectoryOpener openDirectory, QObject* parent)
    : QObject(parent), directory_(std::make_shared<TDirectory>()) {
  directory_->Open = std::move(openDirectory);
  pool_.setMaxThreadCount(1);
}

TCheckRunner::~TCheckRunner() {
  if (job_) job_->Stopped = true;
  pool_.waitForDone();
}

void TCheckRunner::start(std::shared_ptr<const ombra::TDtaus> document,
                         std::shared_ptr<const ombra::TFileCheck> fileCheck) {
  wanted_ = true;
  TRequest request{std::move(document), std::move(fileCheck)};
  // One check at a time: files opened in quick succession must not pile up workers. The one
  // running is stopped; the newest waits for it.
  if (job_) {
    job_->Stopped = true;
    pending_ = std::move(request);
    return;
  }
  launch(std::move(request));
}

void TCheckRunner::cancel() {
  wanted_ = false;
  pending_.reset();
  if (job_) job_->Stopped = true;
}

// The result comes back through the window's event loop as an immutable value; the worker
// keeps nothing of it.
void TCheckRunner::launch(TRequest request) {
  directory_->Get();
  percent_->store(0, std::memory_order_relaxed);
  job_ = std::make_shared<TJob>();
  job_->Percent = percent_;
  std::function<void()> task = [this, job = job_, request = std::move(request), directory = directory_] {
    support::TakeOver();
    TViewerCheckResult result;
    try {
      result = Check(request, directory->Banks.get(), *job);
    } catch (const TStopped&) {
    }
    support::HandOver();
    QMetaObject::invokeMethod(
        this, [this, job, result = std::move(result)] { done(job, result); }, Qt::QueuedConnection);
  };
  support::HandOver();
  pool_.start(std::move(task));
}

void TCheckRunner::done(const std::shared_ptr<TJob>& job, TViewerCheckResult result) {
  support::TakeOver();
  if (job != job_) return;
  job_.reset();
  if (launchPending() || !wanted_ || !result) return;
  wanted_ = false;
  // Started before the verdict goes out: whatever its receiver starts or cancels stops the
  // ranking too.
  rank(result);
  emit finished(std::move(result));
}

// The panel sorts without them, so they are made only once the verdict is out.
void TCheckRunner::rank(TViewerCheckResult check) {
  job_ = std::make_shared<TJob>();
  job_->Ranking = true;
  std::function<void()> task = [this, job = job_, check = std::move(check)] {
    support::TakeOver();
    std::shared_ptr<const TFindingRanks> ranks =
        RankFindings(*check, [&job] { return job->Stopped.load(std::memory_order_relaxed); });
    support::HandOver();
    QMetaObject::invokeMethod(
        this, [this, job, check, ranks = std::move(ranks)] { rankDone(job, check, ranks); },
        Qt::QueuedConnection);
  };
  support::HandOver();
  pool_.start(std::move(task));
}

void TCheckRunner::rankDone(const std::shared_ptr<TJob>& job, TViewerCheckResult check,
                            std::shared_ptr<const TFindingRanks> ranks) {
  support::TakeOver();
  if (job != job_) return;
  job_.reset();
  // Stopped is set on this thread only: ranks finished just before a newer check was started
  // are dropped all the same.
  if (launchPending() || job->Stopped || !ranks) return;
  emit ranked(std::move(check), std::move(ranks));
}

// The check that waited for the worker to stop, if any.
bool TCheckRunner::launchPending() {
  if (!pending_) return false;
  TRequest next = std::move(*pending_);
  pending_.reset();
  launch(std::move(next));
  return true;
}

TViewerCheckResult TCheckRunner::Check(const TRequest& request, const ombra::TBankDirectory* banks,
                                       TJob& job) {
  auto result = std::make_shared<TViewerCheck>();
  const ombra::TDtaus& doc = *request.Document;
  result->File = *request.FileCheck;
  if (result->File.Loaded) CheckAccounts(*result, doc, banks, job);
  return result;
}

void TCheckRunner::CheckAccounts(TViewerCheck& result, const ombra::TDtaus& doc,
                                 const ombra::TBankDirectory* banks, TJob& job) {
  result.Payments = static_cast<std::int64_t>(doc.SatzCList.size());
  if (banks != nullptr) {
    // The accounts take the time; the findings made of them after are quickly added.
    const std::size_t total = doc.SatzCList.size();
    result.Accounts = ombra::CheckAccounts(doc, *banks, [&job, total](std::size_t checked) {
      if (job.Stopped.load(std::memory_order_relaxed)) throw TStopped{};
      job.Percent->store(static_cast<int>(checked * kAccountsPercent / std::max<std::size_t>(total, 1)),
                         std::memory_order_relaxed);
    });
    ombra::AddAccountFindings(result.File, doc, result.Accounts, banks->DataDate());
  }
}

}  // namespace quandel
