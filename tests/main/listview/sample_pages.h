#pragma once
// Control-list pages as the viewer writes them: rendered by the core, lines ended by CR LF.
#include <QByteArray>

#include <string>
#include <vector>

namespace listview_test {

struct TPayment {
  std::string name;
  double betrag = 0;
  std::vector<std::string> purposes;
};

// Three payments with Windows-1252 umlauts, markup characters and several purpose lines.
std::vector<TPayment> MixedPayments();

QByteArray RenderedPage(const std::vector<TPayment>& payments);

// `count` payments whose purpose lines run 1, 2, 3, 1, 2, 3, ...
QByteArray NumberedPage(int count);

// The one-line page of a file that could not be read.
QByteArray ErrorPage();

}  // namespace listview_test
