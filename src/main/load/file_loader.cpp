#include "file_loader.h"

#include <QCoreApplication>
#include <QThread>

#include <unistd.h>

#include <functional>

#include "file_name.h"
#include "file_size.h"
#include "hand_off.h"
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

// Shows the check every record the load reads and keeps the progress and the cancel flag.
class TReadProgress final : public ombra::TLoadObserver {
 public:
  TReadProgress(ombra::TFileChecker& checker, std::atomic<int>& percent, const std::atomic<bool>& cancelled,
                std::int64_t size)
      : checker_(checker), percent_(percent), cancelled_(cancelled), size_(size) {}

  void OnRecord(char type, std::string_view bytes, std::int64_t offset) override {
    if (cancelled_.load(std::memory_order_relaxed)) throw TCancelled{};
    if (size_ > 0) percent_.store(static_cast<int>(offset * kReadPercent / size_), std::memory_order_relaxed);
    checker_.OnRecord(type, bytes, offset);
  }
  void OnFieldCheck(const std::string& message, char record, std::size_t first, std::size_t last,
                    std::string_view found) override {
    checker_.OnFieldCheck(message, record, first, last, found);
  }
  bool OnTail(std::string_view bytes, std::int64_t offset, std::int64_t fileSize) override {
    return checker_.OnTail(bytes, offset, fileSize);
  }

 private:
  ombra::TFileChecker& checker_;
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
  std::function<void()> task = [this, job = job_, request = std::move(request)] {
    support::TakeOver();
    Run(job, request, this);
  };
  support::HandOver();
  pool_.start(std::move(task));
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
  const auto post = [&](std::shared_ptr<const TLoadedFile> file, std::shared_ptr<const TWrittenPage> page) {
    support::HandOver();
    QMetaObject::invokeMethod(
        loader,
        [loader, job, file = std::move(file), page = std::move(page)] { loader->deliver(job, file, page); },
        Qt::QueuedConnection);
  };
  auto read = std::make_shared<TLoadedFile>();
  read->FileName = request.FileName;
  read->Regional = request.Regional;
  read->Footer = request.Footer;
  try {
    job->Look();
    read->Name = FileNameToBytes(request.FileName);
    auto document = std::make_shared<ombra::TDtaus>();
    ombra::TFileChecker checker;
    TReadProgress observer(checker, job->Percent, job->Cancelled, support::SizeOfNamedFile(read->Name));
    document->Load(read->Name, request.Regional, observer);
    read->Check = std::make_shared<const ombra::TFileCheck>(checker.Finish(*document, request.Regional));
    if (TPaymentModel::HasList(*document)) read->Rows = CountPurposeLines(*document);
    read->Document = std::move(document);
  } catch (const TCancelled&) {
    return;
  } catch (...) {
    read->Error = std::current_exception();
    return post(std::move(read), std::make_shared<const TWrittenPage>());
  }
  // From here on the worker only reads what it handed over.
  std::shared_ptr<const TLoadedFile> file = std::move(read);
  post(file, nullptr);
  auto written = std::make_shared<TWrittenPage>();
  try {
    written->PagePath = PreparePagePath(request.PageFolders, file->Name);
    auto page = std::make_shared<TPageFile>(written->PagePath);
    const std::int64_t total = static_cast<std::int64_t>(file->Document->SatzCList.size()) + kFrameLines;
    std::int64_t lines = 0;
    // Rendered straight into the page file: a long list held as lines first took longer than
    // loading it.
    file->Document->RenderControlList(
        [&](std::string&& line) {
          page->Write(line);
          if (++lines % kLinesPerLook != 0) return;
          job->Look();
          job->Percent.store(
              kReadPercent + static_cast<int>(std::min(lines, total) * (100 - kReadPercent) / total),
              std::memory_order_relaxed);
        },
        file->Footer, file->Regional);
    job->Look();
    page->Close();
    written->Page = std::move(page);
  } catch (const TCancelled&) {
    return;
  } catch (...) {
    written->Error = std::current_exception();
  }
  post(std::move(file), std::move(written));
}

void TFileLoader::deliver(const std::shared_ptr<TJob>& job, std::shared_ptr<const TLoadedFile> file,
                          std::shared_ptr<const TWrittenPage> page) {
  support::TakeOver();
  if (job != job_) return;
  if (!page) return emit documentLoaded(std::move(file));
  job_.reset();
  emit pageWritten(std::move(file), std::move(page));
}

}  // namespace quandel
