#include "control_list_page.h"

#include <array>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string_view>

#include "cp1252.h"

namespace quandel {
namespace {

using std::string_view;
using namespace std::string_view_literals;

constexpr string_view kTitleStart =
    "<html><head><style><!-- p,td,th {font-family:arial} --></style></head><body>"
    "<p><b>Datentr\xE4ger-Kontrolliste vom "sv;
constexpr string_view kTitleEnd = "</b><br>"sv;
constexpr string_view kBorderedTable =
    "<br><br><table border=1 cellpadding=1 cellspacing=0 width=100%>"sv;
constexpr string_view kTableEnd = "</table>"sv;
constexpr string_view kColumnHeader =
    "<tr><th>Nr.</th><th>Empf\xE4nger</th><th>BLZ</th><th>Konto</th>"
    "<th>Verwendungszweck</th><th>Betrag</th></tr>"sv;
constexpr string_view kTotalTable =
    "<br><br><table border=0 cellpadding=1 cellspacing=0 width=100%>"sv;
constexpr string_view kRule = "<hr>"sv;
constexpr string_view kFooterStart = "<hr><font color=\"#cccccc\">"sv;
constexpr string_view kPageEnd = "</p></body></html>"sv;
constexpr string_view kFooterEnd = "</font></p></body></html>"sv;

constexpr std::initializer_list<string_view> kSummaryTemplate = {
    "<tr><td valign=top><table border=0><tr><td>Name:</td><td><b>"sv,
    "</b></td></tr><tr><td>BLZ:</td><td><b>"sv,
    "</b></td></tr><tr><td>Konto:</td><td><b>"sv,
    "</b></td></tr></table></td><td align=right><table border=0><tr><td>Gesamtsumme:</td><td><b>"sv,
    "</b></td></tr><tr><td>Art:</td><td><b>"sv,
    "</b></td></tr><tr><td>S\xE4tze:</td><td><b>"sv,
    "</b></td></tr><tr><td>Referenz:</td><td><b>"sv,
    "</b></td></tr></table></td></tr>"sv};
constexpr std::initializer_list<string_view> kCheckSumTemplate = {
    "<br>BLZ-Pr\xFC" "fsumme: "sv, "<br>Konto-Pr\xFC" "fsumme: "sv, ""sv};
constexpr std::initializer_list<string_view> kClosingTemplate = {
    "<tr><td align=right>Gesamtsumme: <b>"sv, "</b></td></tr>"sv};

constexpr string_view kRowStart = "<tr><td valign=top>"sv;
constexpr string_view kRowLeftCell = "</td><td valign=top>"sv;
constexpr string_view kRowRightCell = "</td><td valign=top align=right>"sv;
constexpr string_view kRowPurposeCell = "</td><td>"sv;
constexpr string_view kRowEnd = "</td></tr>"sv;
constexpr string_view kBreak = "<br>"sv;

const std::array<char16_t, 256>& Cp1252Table() {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
      t[static_cast<std::size_t>(b)] =
          static_cast<char16_t>(support::Cp1252ToUnicode(static_cast<unsigned char>(b)));
    return t;
  }();
  return table;
}

QString Decode(string_view bytes) {
  const auto& table = Cp1252Table();
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (const char c : bytes) *out++ = table[static_cast<unsigned char>(c)];
  return text;
}

// Lines ended by CR LF (or a bare LF); a missing end at the last line is accepted.
class TLineReader {
 public:
  explicit TLineReader(const QByteArray& bytes)
      : pos_(bytes.constData()), end_(bytes.constData() + bytes.size()) {}

  bool Next(string_view& line) {
    if (pos_ == end_) return false;
    const void* found = std::memchr(pos_, '\n', static_cast<std::size_t>(end_ - pos_));
    const char* lineEnd = found != nullptr ? static_cast<const char*>(found) : end_;
    const char* textEnd = (lineEnd > pos_ && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd;
    line = string_view(pos_, static_cast<std::size_t>(textEnd - pos_));
    pos_ = found != nullptr ? lineEnd + 1 : end_;
    return true;
  }

 private:
  const char* pos_;
  const char* end_;
};

// A field is plain text as the renderer escapes it: no markup, only its three entities.
bool IsEntity(string_view rest, std::size_t& length) {
  for (string_view entity : {"&amp;"sv, "&lt;"sv, "&gt;"sv}) {
    if (rest.substr(0, entity.size()) == entity) {
      length = entity.size();
      return true;
    }
  }
  return false;
}

bool IsPlainField(string_view field) {
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '>') return false;
    std::size_t length = 0;
    if (field[i] == '&') {
      if (!IsEntity(field.substr(i), length)) return false;
      i += length - 1;
    }
  }
  return true;
}

const char* LineEnd(string_view line) { return line.data() + line.size(); }

// The fixed pieces of a template in order, each but the first preceded by a plain field
// that runs to the next '<'; the last piece ends the line.
bool MatchTemplate(string_view line, std::initializer_list<string_view> pieces) {
  std::size_t pos = 0;
  bool first = true;
  for (string_view piece : pieces) {
    if (!first) {
      std::size_t fieldEnd = line.find('<', pos);
      if (fieldEnd == string_view::npos) fieldEnd = line.size();
      if (!IsPlainField(line.substr(pos, fieldEnd - pos))) return false;
      pos = fieldEnd;
    }
    first = false;
    if (line.substr(pos, piece.size()) != piece) return false;
    pos += piece.size();
  }
  return pos == line.size();
}

}  // namespace

// Fills the rows of a TPaymentRows straight into its buffer: the decoded text never grows
// longer than the bytes it comes from, so one allocation of the page's size is enough.
class TRowCollector {
 public:
  TRowCollector(TPaymentRows& rows, qsizetype capacity) : rows_(rows) {
    rows_.text_.resize(capacity);
    base_ = reinterpret_cast<char16_t*>(rows_.text_.data());
    out_ = base_;
  }

  bool AddRow(string_view line) {
    std::size_t pos = 0;
    if (!Expect(line, pos, kRowStart) || !Field(line, pos) ||
        !Expect(line, pos, kRowLeftCell) || !Field(line, pos) ||
        !Expect(line, pos, kRowRightCell) || !Field(line, pos) ||
        !Expect(line, pos, kRowRightCell) || !Field(line, pos) ||
        !Expect(line, pos, kRowPurposeCell))
      return false;
    purpose_.clear();
    for (;;) {
      const std::size_t start = pos;
      pos = std::min(line.find('<', pos), line.size());
      purpose_.push_back(line.substr(start, pos - start));
      if (line.substr(pos, kBreak.size()) != kBreak) break;
      pos += kBreak.size();
    }
    if (!Expect(line, pos, kRowRightCell) || !Field(line, pos) || !Expect(line, pos, kRowEnd) ||
        pos != line.size())
      return false;
    for (string_view purposeLine : purpose_)
      if (!Append(purposeLine)) return false;
    // A break at the very end of a cell starts no line of its own in a browser.
    if (purpose_.size() > 1 && rows_.spans_.back().length == 0) rows_.spans_.pop_back();
    rows_.rowFirstSpan_.push_back(static_cast<std::uint32_t>(rows_.spans_.size()));
    return rows_.spans_.size() < std::numeric_limits<std::uint32_t>::max();
  }

  void Finish() {
    rows_.text_.resize(out_ - base_);
    rows_.text_.squeeze();
    rows_.spans_.shrink_to_fit();
    rows_.rowFirstSpan_.shrink_to_fit();
  }

 private:
  static bool Expect(string_view line, std::size_t& pos, string_view piece) {
    if (line.substr(pos, piece.size()) != piece) return false;
    pos += piece.size();
    return true;
  }

  // The field from `pos` to the next '<'.
  bool Field(string_view line, std::size_t& pos) {
    const std::size_t start = pos;
    pos = std::min(line.find('<', pos), line.size());
    return Append(line.substr(start, pos - start));
  }

  // Decodes and unescapes one field onto the end of the buffer as the next span. Blanks are
  // laid out as a browser does: runs become one blank, and none stands at either end.
  bool Append(string_view field) {
    const auto& table = Cp1252Table();
    const std::size_t offset = static_cast<std::size_t>(out_ - base_);
    bool blank = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(field[i]);
      char16_t decoded;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
        blank = true;
        continue;
      }
      if (c == '>') return false;
      if (c == '&') {
        std::size_t length = 0;
        if (!IsEntity(field.substr(i), length)) return false;
        decoded = field[i + 1] == 'a' ? u'&' : field[i + 1] == 'l' ? u'<' : u'>';
        i += length - 1;
      } else {
        decoded = table[c];
      }
      if (blank && out_ - base_ > static_cast<std::ptrdiff_t>(offset)) *out_++ = u' ';
      blank = false;
      *out_++ = decoded;
    }
    const std::size_t length = static_cast<std::size_t>(out_ - base_) - offset;
    if (offset + length > std::numeric_limits<std::uint32_t>::max()) return false;
    rows_.spans_.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
    return true;
  }

  TPaymentRows& rows_;
  char16_t* base_ = nullptr;
  char16_t* out_ = nullptr;
  std::vector<string_view> purpose_;
};

QStringView TPaymentRows::cell(int row, TListColumn column) const {
  // The amount is stored before the purpose lines, whose number varies.
  const int index = column == kColAmount ? 4 : column;
  const TSpan span = spans_[rowFirstSpan_[static_cast<std::size_t>(row)] + static_cast<std::size_t>(index)];
  return QStringView(text_).mid(span.offset, span.length);
}

int TPaymentRows::purposeLineCount(int row) const {
  const auto r = static_cast<std::size_t>(row);
  return static_cast<int>(rowFirstSpan_[r + 1] - rowFirstSpan_[r]) - kFixedCells;
}

QStringView TPaymentRows::purposeLine(int row, int line) const {
  const TSpan span = spans_[rowFirstSpan_[static_cast<std::size_t>(row)] + kFixedCells +
                            static_cast<std::size_t>(line)];
  return QStringView(text_).mid(span.offset, span.length);
}

std::int64_t TPaymentRows::purposeLinesBefore(int row) const {
  return static_cast<std::int64_t>(rowFirstSpan_[static_cast<std::size_t>(row)]) -
         static_cast<std::int64_t>(kFixedCells) * row;
}

const QStringList& ColumnTitles() {
  static const QStringList titles = {
      QStringLiteral("Nr."),   QStringLiteral("Empfänger"),        QStringLiteral("BLZ"),
      QStringLiteral("Konto"), QStringLiteral("Verwendungszweck"), QStringLiteral("Betrag")};
  return titles;
}

std::optional<TControlListPage> ParseControlList(const QByteArray& page) {
  TLineReader reader(page);
  string_view line;
  TControlListPage result;

  if (!reader.Next(line) || !MatchTemplate(line, {kTitleStart, kTitleEnd})) return std::nullopt;
  const string_view date =
      line.substr(kTitleStart.size(), line.size() - kTitleStart.size() - kTitleEnd.size());
  result.title = QStringLiteral("Datenträger-Kontrolliste vom ") + Decode(date);
  const char* headBegin = line.data();

  if (!reader.Next(line) || line != kBorderedTable) return std::nullopt;
  if (!reader.Next(line) || !MatchTemplate(line, kSummaryTemplate)) return std::nullopt;
  if (!reader.Next(line) || line != kTableEnd) return std::nullopt;
  result.headHtml = Decode(string_view(headBegin, static_cast<std::size_t>(LineEnd(line) - headBegin)));
  result.headHtml.remove(u'\r');
  if (!reader.Next(line) || line != kBorderedTable) return std::nullopt;
  if (!reader.Next(line) || line != kColumnHeader) return std::nullopt;

  TRowCollector rows(result.rows, page.size());
  for (;;) {
    if (!reader.Next(line)) return std::nullopt;
    if (line == kTableEnd) break;
    if (!rows.AddRow(line)) return std::nullopt;
  }
  rows.Finish();

  if (!reader.Next(line) || !MatchTemplate(line, kCheckSumTemplate)) return std::nullopt;
  const char* tailBegin = line.data();
  if (!reader.Next(line) || line != kTotalTable) return std::nullopt;
  if (!reader.Next(line) || !MatchTemplate(line, kClosingTemplate)) return std::nullopt;
  if (!reader.Next(line) || line != kTableEnd) return std::nullopt;
  if (!reader.Next(line) || !line.starts_with(kFooterStart) || !line.ends_with(kFooterEnd) ||
      line.size() < kFooterStart.size() + kFooterEnd.size())
    return std::nullopt;
  // Qt's reader would break the footer's line at a link that follows a rule; in a block of
  // its own the footer stays one line, as in a browser.
  const string_view footer = line.substr(kRule.size(), line.size() - kRule.size() - kPageEnd.size());
  result.tailHtml = Decode(string_view(tailBegin, static_cast<std::size_t>(line.data() - tailBegin))) +
                    QStringLiteral("<hr><div>") + Decode(footer) + QStringLiteral("</div>");
  result.tailHtml.remove(u'\r');
  // Lines after the footer (even empty ones) belong to no control list.
  if (reader.Next(line)) return std::nullopt;
  return result;
}

}  // namespace quandel
