#include "sample_lists.h"

#include "product.h"

namespace listview_test {

std::vector<TPayment> MixedPayments() {
  return {
      {"B\xC4R & S\xF6HNE <GMBH>  ", 1234.5, {"RECHNUNG 4711", "KUNDE [12]  X", "Betr\xE4ge <netto>"}},
      {"K\xE4SEREI   ALPEN", 0.1, {"NUR EINE ZEILE"}},
      {"\x80-KONTO", -25, {"ERSTE", "   ", "DRITTE", "  "}},
  };
}

std::shared_ptr<ombra::TDtaus> Document(const std::vector<TPayment>& payments) {
  auto doc = std::make_shared<ombra::TDtaus>();
  doc->SatzA->Datum = {2008, 12, 26};
  doc->SatzA->Art = "GK";
  doc->SatzA->Name = "MUSTERFIRMA & CO";
  doc->SatzA->BLZ = "100 200 30";
  doc->SatzA->Konto = "1234567";
  doc->SatzA->Referenz = "0000000001";
  doc->SatzA->Euro = true;
  doc->SatzE->Anzahl = static_cast<std::int32_t>(payments.size());
  doc->SatzE->SummeEuro = 1209.6;
  doc->SatzE->SummeBLZ = 150300090;
  doc->SatzE->SummeKonto = 3000021;
  for (const TPayment& p : payments) doc->AddSatzC(p.betrag, "500 100 60", "1000021", p.name, p.purposes);
  return doc;
}

std::shared_ptr<quandel::TPaymentModel> List(std::shared_ptr<ombra::TDtaus> document) {
  return std::make_shared<quandel::TPaymentModel>(std::move(document), ombra::TRegionalSettings::de_DE(),
                                                  support::FooterText());
}

std::shared_ptr<quandel::TPaymentModel> List(const std::vector<TPayment>& payments) {
  return List(Document(payments));
}

QByteArray RenderedPage(const ombra::TDtaus& document) {
  ombra::TLineList lines;
  document.RenderControlList(lines, support::FooterText());
  QByteArray page;
  for (const std::string& line : lines) {
    page.append(line.data(), static_cast<qsizetype>(line.size()));
    page.append("\r\n");
  }
  return page;
}

std::shared_ptr<quandel::TPaymentModel> NumberedList(int count) {
  std::vector<TPayment> payments;
  for (int i = 0; i < count; ++i) {
    TPayment p{"EMPF\xC4NGER NR " + std::to_string(i + 1), 1000.0 + i, {"RECHNUNG " + std::to_string(i + 1)}};
    for (int line = 0; line < i % 3; ++line) p.purposes.push_back("ZEILE " + std::to_string(line + 2));
    payments.push_back(std::move(p));
  }
  return List(payments);
}

}  // namespace listview_test
