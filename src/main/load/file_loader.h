#pragma once
// Reads a file, renders its control list and writes the page in a worker thread, so that the
// window stays in the user's hands however long the file. One load counts at a time: starting
// another cancels the one running, and nothing an older load produced is reported (its
// temporary page file goes with it).
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "check.h"
#include "dtaus.h"
#include "page_folder.h"
#include "regional.h"

namespace quandel {

class TPageFile;
using TRowLines = std::vector<std::int64_t>;

struct TLoadRequest {
  QString FileName;
  // Where the page may go, best first (PreparePagePath).
  std::vector<TPageFolder> PageFolders;
  ombra::TRegionalSettings Regional;
  std::string Footer;
};

// What a load hands to the window once the file is read: made by the worker, then only read.
struct TLoadedFile {
  QString FileName;
  std::string Name;
  // What the page is rendered with, for every other view of the document.
  ombra::TRegionalSettings Regional;
  std::string Footer;
  std::shared_ptr<const ombra::TDtaus> Document;
  // What the bytes read tell of the file itself (field checks, count, total, check sums, what
  // follows the trailer); the accounts are checked later, on this same document.
  std::shared_ptr<const ombra::TFileCheck> Check;
  // The list's row layout; null for a file that did not load before its payments (its page is
  // the error page). A file damaged further on has its error page and rows for the payments
  // read before the damage.
  std::shared_ptr<const TRowLines> Rows;
  // What stopped the load before the file was read, for the general error handler.
  std::exception_ptr Error;
};

// What the load hands over last: the page, written and closed, or why not.
struct TWrittenPage {
  QString PagePath;
  // Committing it only renames it over the page; the window does that, once.
  std::shared_ptr<TPageFile> Page;
  std::exception_ptr Error;
};

class TFileLoader : public QObject {
  Q_OBJECT

 public:
  explicit TFileLoader(QObject* parent = nullptr);
  // Cancels what runs and waits for it: no worker outlives the window.
  ~TFileLoader() override;

  void start(TLoadRequest request);
  // The running load reports nothing more.
  void cancel();
  // From start until pageWritten, cancel or another start.
  bool isRunning() const { return job_ != nullptr; }
  // How far the running load is, 0 to 100.
  int progress() const;
  // Returns once the running load has reported all it will, for callers without an event
  // loop of their own (headless tests, scripts).
  void wait();
  // Removes a file in the worker threads (a replaced page, whose blocks take a while to free).
  void removeLater(std::string path);
  // Lets go of `object` in the worker threads: the last reference to a long document frees
  // hundreds of megabytes.
  void releaseLater(std::shared_ptr<const void> object);

 signals:
  // The file is read: its document, check and rows. Not sent when the load failed before.
  void documentLoaded(std::shared_ptr<const quandel::TLoadedFile> file);
  // The last report of a load: the page, or why the load or the page failed.
  void pageWritten(std::shared_ptr<const quandel::TLoadedFile> file,
                   std::shared_ptr<const quandel::TWrittenPage> page);

 private:
  struct TJob;
  static void Run(const std::shared_ptr<TJob>& job, const TLoadRequest& request, TFileLoader* loader);
  void deliver(const std::shared_ptr<TJob>& job, std::shared_ptr<const TLoadedFile> file,
               std::shared_ptr<const TWrittenPage> page);

  std::shared_ptr<TJob> job_;
  QThreadPool pool_;
};

}  // namespace quandel
