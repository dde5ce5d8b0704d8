#include "check_runner.h"

#include <QtConcurrent/QtConcurrentRun>

#include <mutex>

#include "dtaus.h"

namespace quandel {

struct TCheckRunner::TDirectory {
  TDirectoryOpener Open;
  std::once_flag Once;
  std::unique_ptr<ombra::TBankDirectory> Banks;

  const ombra::TBankDirectory* Get() {
    std::call_once(Once, [this] {
      if (Open) Banks = Open();
    });
    return Banks.get();
  }
};

TCheckRunner::TCheckRunner(TDirectoryOpener openDirectory, QObject* parent)
    : QObject(parent), directory_(std::make_shared<TDirectory>()) {
  directory_->Open = std::move(openDirectory);
  connect(&watcher_, &QFutureWatcher<TViewerCheckResult>::finished, this, &TCheckRunner::done);
}

// A running check holds only what it shares with the runner; the window may go before it ends.
TCheckRunner::~TCheckRunner() { watcher_.disconnect(this); }

void TCheckRunner::start(const std::string& file, const ombra::TRegionalSettings& rs) {
  wanted_ = true;
  // One check at a time: files opened in quick succession must not pile up workers.
  if (watcher_.isRunning()) {
    pending_ = TRequest{file, rs};
    return;
  }
  launch(TRequest{file, rs});
}

void TCheckRunner::cancel() {
  wanted_ = false;
  pending_.reset();
}

void TCheckRunner::launch(TRequest request) {
  percent_->store(0, std::memory_order_relaxed);
  watcher_.setFuture(
      QtConcurrent::run([request = std::move(request), directory = directory_, percent = percent_] {
        return Check(request.File, request.Regional, directory, *percent);
      }));
}

void TCheckRunner::done() {
  if (pending_) {
    TRequest next = std::move(*pending_);
    pending_.reset();
    return launch(std::move(next));
  }
  if (!wanted_) return;
  wanted_ = false;
  emit finished(watcher_.result());
}

TViewerCheckResult TCheckRunner::Check(const std::string& file, const ombra::TRegionalSettings& rs,
                                       const std::shared_ptr<TDirectory>& directory,
                                       std::atomic<int>& percent) {
  auto result = std::make_shared<TViewerCheck>();
  // A document of its own: the window's may be loaded anew while this one is checked.
  ombra::TDtaus doc;
  result->File = ombra::LoadAndCheck(doc, file, rs);
  if (!result->File.Loaded) return result;
  result->Payments = static_cast<std::int64_t>(doc.SatzCList.size());
  // The file's own check and the accounts' take about as long as each other.
  percent.store(50, std::memory_order_relaxed);
  if (const ombra::TBankDirectory* banks = directory->Get()) {
    result->Accounts = ombra::CheckAccounts(doc, *banks);
    result->DirectoryDate = banks->DataDate();
    result->AccountsChecked = true;
    percent.store(90, std::memory_order_relaxed);
    ombra::AddAccountFindings(result->File, doc, result->Accounts, result->DirectoryDate);
  }
  return result;
}

}  // namespace quandel
