#pragma once
// What the list's benchmarks set up alike: a generated file loaded once per size, as the
// viewer loads it, a model of its payments as the window makes one, and the event loop run
// until a condition holds.
#include <QCoreApplication>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>

#include "bench_support.h"
#include "dtaus.h"
#include "payment_model.h"
#include "product.h"

namespace bench {

// The document of GeneratedFile(payments), loaded on first use and kept for the run.
inline std::shared_ptr<const ombra::TDtaus> LoadedDocument(int payments) {
  static std::map<int, std::shared_ptr<const ombra::TDtaus>> documents;
  std::shared_ptr<const ombra::TDtaus>& document = documents[payments];
  if (!document) {
    auto loaded = std::make_shared<ombra::TDtaus>();
    loaded->Load(GeneratedFile(payments));
    if (loaded->LoadFailed()) std::abort();
    document = std::move(loaded);
  }
  return document;
}

// A new model of the file's payments in file order, with the page's settings.
inline std::shared_ptr<quandel::TPaymentModel> NewFileModel(int payments) {
  return std::make_shared<quandel::TPaymentModel>(LoadedDocument(payments), ombra::TRegionalSettings::de_DE(),
                                                  support::FooterText());
}

// One model per size, made on first use and shared by the benchmarks that only read it.
inline const std::shared_ptr<quandel::TPaymentModel>& FileModel(int payments) {
  static std::map<int, std::shared_ptr<quandel::TPaymentModel>> models;
  std::shared_ptr<quandel::TPaymentModel>& model = models[payments];
  if (!model) model = NewFileModel(payments);
  return model;
}

// Sleeps in the event loop between looks, leaving the processor to the worker threads.
inline void RunUntil(const std::function<bool()>& done) {
  QTimer wake;
  wake.start(5);
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace bench
