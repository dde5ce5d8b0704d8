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

#include "dtaus.h"
#include "regional.h"

namespace quandel {

class TPageFile;
class TPaymentModel;

struct TLoadRequest {
  QString FileName;
  // Where the page goes unless that is the file itself (PagePathBeside).
  QString PagePath;
  ombra::TRegionalSettings Regional;
  std::string Footer;
};

// What a load hands to the window. documentLoaded reports the first four members; the worker
// goes on with the rest, which pageWritten reports.
struct TLoadResult {
  QString FileName;
  std::string Name;
  std::shared_ptr<ombra::TDtaus> Document;
  // Null for a file that did not load before its payments: its page is the error page. A
  // file damaged further on has its error page and a model of the payments read.
  std::shared_ptr<TPaymentModel> Model;
  QString PagePath;
  // Written and closed; committing it only renames it over the page.
  std::unique_ptr<TPageFile> Page;
  // What stopped the page, for the general error handler.
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
  void documentLoaded(const std::shared_ptr<quandel::TLoadResult>& result);
  void pageWritten(const std::shared_ptr<quandel::TLoadResult>& result);

 private:
  struct TJob;
  static void Run(const std::shared_ptr<TJob>& job, const TLoadRequest& request, TFileLoader* loader);
  void deliver(const std::shared_ptr<TJob>& job, const std::shared_ptr<TLoadResult>& result, bool last);

  std::shared_ptr<TJob> job_;
  QThreadPool pool_;
};

}  // namespace quandel
