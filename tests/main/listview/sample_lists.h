#pragma once
// Documents as the viewer shows them: a payment model over a document built in memory, and
// the page the core renders from the same document.
#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

#include "payment_model.h"

namespace listview_test {

struct TPayment {
  std::string name;
  double betrag = 0;
  std::vector<std::string> purposes;
};

// Three payments with Windows-1252 umlauts, markup characters and several purpose lines.
std::vector<TPayment> MixedPayments();

std::shared_ptr<ombra::TDtaus> Document(const std::vector<TPayment>& payments);
std::shared_ptr<quandel::TPaymentModel> List(const std::vector<TPayment>& payments);
std::shared_ptr<quandel::TPaymentModel> List(std::shared_ptr<ombra::TDtaus> document);
// The page of `document` as the viewer writes it, lines ended by CR LF.
QByteArray RenderedPage(const ombra::TDtaus& document);

// `count` payments whose purpose lines run 1, 2, 3, 1, 2, 3, ...
std::shared_ptr<quandel::TPaymentModel> NumberedList(int count);

}  // namespace listview_test
