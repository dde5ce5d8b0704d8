#include "file_loader.h"

#include <QCoreApplication>
#include <QThread>

#include <unistd.h>

#include "file_name.h"
#include "file_size.h"
#include "html_file.h"
#include "load_observer.h"
#include "payment_model.h"

namespace quandel {
namespace {

// Reading takes about a third of the time, rendering and writing the page the rest.
constexpr int kReadPercent = 30;
// Rendering looks at the cancel flag once per this many lines of the page.
constexpr std::int64_t kLinesPerLook = 256;
// Lines of the page around its payment rows, for the progress only.
constexpr std::int64_t kFrameLines = 40;

// Thrown through the reader and the renderer; no std::exception, so neither takes it for a
// failure of its own.
struct TCancelled {};

}  // namespace

struct TFileLoader::TJob {
  std::atomic<bool> Cancelled{false};
  std::atomic<int> Percent{0};

  void Look() const {
    if (Cancelled.load(std::memory_order_relaxed)) throw TCancelled{};
  }
};

namespace {

class TReadProgress final : public ombra::TLoadObserver {
 public:
  TReadProgress(std::atomic<int>& percent, const std::atomic<bool>& cancelled, std::int64_t size)
      : percent_(percent), cancelled_(cancelled), size_(size) {}

  void OnRecord(char, std::string_view, std::int64_t offset) override {
    if (cancelled_.load(std::memory_order_relaxed)) throw TCancelled{};
    if (size_ > 0) percent_.store(static_cast<int>(offset * kReadPercent / size_), std::memory_order_relaxed);
  }
  void OnFieldCheck(const std::string&, char, std::size_t, std::size_t, std::string_view) override {}
  bool OnTail(std::string_view, std::int64_t, std::int64_t) override { return false; }

 private:
  std::atomic<int>& percent_;
  const std::atomic<bool>& cancelled_;
  std::int64_t size_;
};

}  // namespace

TFileLoader::TFileLoader(QObject* parent) : QObject(parent) {
  // One load and an older one still winding down after its cancel.
  pool_.setMaxThreadCount(2);
}

TFileLoader::~TFileLoader() {
  cancel();
  pool_.waitForDone();
}

void TFileLoader::start(TLoadRequest request) {
  cancel();
  job_ = std::make_shared<TJob>();
  pool_.start([this, job = job_, request = std::move(request)] { Run(job, request, this); });
}

void TFileLoader::cancel() {
  if (job_) job_->Cancelled = true;
  job_.reset();
}

int TFileLoader::progress() const { return job_ ? job_->Percent.load(std::memory_order_relaxed) : 0; }

// What the workers report may start another load (a file opened when one is read).
void TFileLoader::wait() {
  do {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  } while (isRunning());
  // What the last report left to the workers (removing a replaced page).
  pool_.waitForDone();
}

void TFileLoader::removeLater(std::string path) {
  pool_.start([path = std::move(path)] { unlink(path.c_str()); });
}

void TFileLoader::releaseLater(std::shared_ptr<const void> object) {
  if (object) pool_.start([object = std::move(object)]() mutable { object.reset(); });
}

void TFileLoader::Run(const std::shared_ptr<TJob>& job, const TLoadRequest& request, TFileLoader* loader) {
  auto result = std::make_shared<TLoadResult>();
  result->FileName = request.FileName;
  const auto post = [&](bool last) {
    QMetaObject::invokeMethod(
        loader, [loader, job, result, last] { loader->deliver(job, result, last); }, Qt::QueuedConnection);
  };
  try {
    job->Look();
    result->Name = FileNameToBytes(request.FileName);
    auto document = std::make_shared<ombra::TDtaus>();
    TReadProgress observer(job->Percent, job->Cancelled, support::SizeOfNamedFile(result->Name));
    document->Load(result->Name, request.Regional, observer);
    if (TPaymentModel::HasList(*document)) {
      auto model = std::make_shared<TPaymentModel>(document, request.Regional, request.Footer);
      model->moveToThread(loader->thread());
      result->Model = std::move(model);
    }
    result->Document = std::move(document);
  } catch (const TCancelled&) {
    return;
  } catch (...) {
    result->Error = std::current_exception();
    return post(true);
  }
  post(false);
  try {
    result->PagePath = PagePathBeside(request.PagePath, result->Name);
    auto page = std::make_unique<TPageFile>(result->PagePath);
    const std::int64_t total = static_cast<std::int64_t>(result->Document->SatzCList.size()) + kFrameLines;
    std::int64_t lines = 0;
    // Rendered straight into the page file: a long list held as lines first took longer than
    // loading it.
    result->Document->RenderControlList(
        [&](std::string&& line) {
          page->Write(line);
          if (++lines % kLinesPerLook != 0) return;
          job->Look();
          job->Percent.store(
              kReadPercent + static_cast<int>(std::min(lines, total) * (100 - kReadPercent) / total),
              std::memory_order_relaxed);
        },
        request.Footer, request.Regional);
    job->Look();
    page->Close();
    result->Page = std::move(page);
  } catch (const TCancelled&) {
    return;
  } catch (...) {
    result->Error = std::current_exception();
  }
  post(true);
}

void TFileLoader::deliver(const std::shared_ptr<TJob>& job, const std::shared_ptr<TLoadResult>& result,
                          bool last) {
  if (job != job_) return;
  if (!last) return emit documentLoaded(result);
  job_.reset();
  emit pageWritten(result);
}

}  // namespace quandel
