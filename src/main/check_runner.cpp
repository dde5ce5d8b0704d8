#include "check_runner.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

#include "dtaus.h"

namespace quandel {
namespace {

// Where the figure stands when every account is checked.
constexpr std::size_t kAccountsPercent = 90;

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
  connect(&watcher_, &QFutureWatcher<TViewerCheckResult>::finished, this, &TCheckRunner::done);
}

// A running check holds only what it shares with the runner; the window may go before it ends.
TCheckRunner::~TCheckRunner() { watcher_.disconnect(this); }

void TCheckRunner::start(std::shared_ptr<const ombra::TDtaus> document,
                         std::shared_ptr<const ombra::TFileCheck> fileCheck) {
  wanted_ = true;
  TRequest request{std::move(document), std::move(fileCheck)};
  // One check at a time: files opened in quick succession must not pile up workers.
  if (watcher_.isRunning()) {
    pending_ = std::move(request);
    return;
  }
  launch(std::move(request));
}

void TCheckRunner::cancel() {
  wanted_ = false;
  pending_.reset();
}

void TCheckRunner::launch(TRequest request) {
  directory_->Get();
  percent_->store(0, std::memory_order_relaxed);
  watcher_.setFuture(
      QtConcurrent::run([request = std::move(request), directory = directory_, percent = percent_] {
        return Check(request, directory->Banks.get(), *percent);
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

TViewerCheckResult TCheckRunner::Check(const TRequest& request, const ombra::TBankDirectory* banks,
                                       std::atomic<int>& percent) {
  auto result = std::make_shared<TViewerCheck>();
  const ombra::TDtaus& doc = *request.Document;
  result->File = *request.FileCheck;
  if (!result->File.Loaded) return result;
  result->Payments = static_cast<std::int64_t>(doc.SatzCList.size());
  if (banks != nullptr) {
    // The accounts take the time; the findings made of them after are quickly added.
    const std::size_t total = doc.SatzCList.size();
    result->Accounts = ombra::CheckAccounts(doc, *banks, [&percent, total](std::size_t checked) {
      percent.store(static_cast<int>(checked * kAccountsPercent / std::max<std::size_t>(total, 1)),
                    std::memory_order_relaxed);
    });
    result->DirectoryDate = banks->DataDate();
    result->AccountsChecked = true;
    ombra::AddAccountFindings(result->File, doc, result->Accounts, result->DirectoryDate);
  }
  return result;
}

}  // namespace quandel
