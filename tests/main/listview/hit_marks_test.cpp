// What a find marks of a shown cell: where the typed text matched, as the index found it.
#include <gtest/gtest.h>

#include <QString>

#include "hit_marks.h"

using namespace quandel;

namespace {

TEST(HitMarks, MarkWhereTheTypedTextMatchedTheShownCell) {
  using Ranges = std::vector<TCharRange>;
  const struct {
    const char* typed;
    int column;
    const char* shown;  // UTF-8, as the list shows it
    std::optional<std::int64_t> cents;
    Ranges ranges;
  } cases[] = {
      {"müller", kColName, "M]LLER GMBH", {}, {{0, 6}}},
      {"müller", kColName, "HANS MUELLER", {}, {{5, 12}}},
      {"MUELLER", kColPurpose, "AN Müller", {}, {{3, 9}}},
      {"ü", kColName, "Müller Blue", {}, {{1, 2}, {9, 11}}},
      {"20050550", kColBlz, "200 505 50", {}, {{0, 10}}},
      {"200 505 50", kColBlz, "200 505 50", {}, {{0, 10}}},
      {"505", kColBlz, "200 505 50", {}, {{4, 7}}},
      {"99 88", kColKonto, "9988", {}, {{0, 4}}},
      // An amount typed marks the figure; a piece of it typed marks the piece.
      {"1250", kColAmount, "1.250,00 EUR", 125000, {{0, 8}}},
      {"1250.00", kColAmount, "1.250,00 EUR", 125000, {{0, 8}}},
      {"1250", kColAmount, "12.500,00 EUR", 1250000, {}},
      {"250,00", kColAmount, "1.250,00 EUR", 125000, {{2, 8}}},
      {"eur", kColAmount, "1.250,00 EUR", 125000, {{9, 12}}},
      {"1250", kColPurpose, "RECHNUNG 1.250,00", {}, {}},
      {"rechnung", kColPurpose, "Rechnung rechnung", {}, {{0, 8}, {9, 17}}},
      {"x", kColName, "", {}, {}},
  };
  for (const auto& c : cases) {
    const QString typed = QString::fromUtf8(c.typed);
    const ombra::TSearchNeedle needle = ombra::MakeSearchNeedle(ShownAsCp1252(typed));
    EXPECT_EQ(HitRanges(needle, c.column, QString::fromUtf8(c.shown), c.cents), c.ranges)
        << c.typed << " / " << c.shown;
  }
}

TEST(HitMarks, ShownTextsGoBackToTheirBytes) {
  EXPECT_EQ(ShownAsCp1252(u"Müller €"), "M\xFCller \x80");
  EXPECT_EQ(ShownAsCp1252(u"日本"), "??");
}

}  // namespace
