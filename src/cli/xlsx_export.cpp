#include "xlsx_export.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "amounts.h"
#include "byte_scan.h"
#include "control_list.h"
#include "cp1252.h"
#include "csv_export.h"
#include "file_system.h"
#include "numfmt.h"
#include "shown_text.h"
#include "system_error.h"
#include "verdict.h"
#include "xlsxwriter_calls.h"

namespace cli {
namespace {

// Beyond this many rows the sheet's XML may pass the 4 GB a plain zip entry holds.
constexpr std::size_t kZip64Rows = 1000000;
constexpr std::size_t kProgressEvery = 4096;

const double kWidths[] = {8, 28, 12, 13, 60, 15, 8, 32, 20, 20};

class TBook {
 public:
  TBook(const ombra::TDtaus& doc, const std::string& path)
      : tmpdir_(std::filesystem::path(path).parent_path().string()) {
    lxw_workbook_options options{};
    // Rows go straight to a temporary file instead of memory: a million payments in a few
    // dozen megabytes. It lies beside the workbook (removed from the folder as soon as it is
    // made), so writing needs room on one disk only and never in a small /tmp.
    options.constant_memory = LXW_TRUE;
    if (tmpdir_.empty()) tmpdir_ = ".";
    options.tmpdir = tmpdir_.data();
    options.use_zip64 = doc.SatzCList.size() > kZip64Rows ? LXW_TRUE : LXW_FALSE;
    book_ = workbook_new_opt(path.c_str(), &options);
    if (book_ == nullptr) return;
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
    amount_ = workbook_add_format(book_);
    // The euro by its currency code, which spreadsheets know; the mark as plain text.
    const std::string currency = doc.CurrencyText();
    const std::string amount =
        doc.SatzA->Euro ? "#,##0.00 [$" + currency + "]" : "#,##0.00 \"" + currency + "\"";
    format_set_num_format(amount_, amount.c_str());
    date_ = workbook_add_format(book_);
    format_set_num_format(date_, "dd.mm.yyyy");
  }
  ~TBook() {
    // Only reached without Close(): the half-written workbook is dropped; the caller removes it.
    if (book_ != nullptr) workbook_close(book_);
  }
  TBook(const TBook&) = delete;
  TBook& operator=(const TBook&) = delete;

  lxw_workbook* Get() const { return book_; }
  lxw_format* Bold() const { return bold_; }
  lxw_format* Amount() const { return amount_; }
  lxw_format* Date() const { return date_; }
  lxw_error Close() {
    const lxw_error result = workbook_close(book_);
    book_ = nullptr;
    return result;
  }

 private:
  std::string tmpdir_;
  lxw_workbook* book_ = nullptr;
  lxw_format* bold_ = nullptr;
  lxw_format* amount_ = nullptr;
  lxw_format* date_ = nullptr;
};

// Cells of one sheet; the first failure is kept and ends the writing.
class TSheet {
 public:
  TSheet(lxw_worksheet* sheet, lxw_error& result) : sheet_(sheet), result_(result) {}

  void Text(lxw_row_t row, lxw_col_t col, const std::string& utf8, lxw_format* format = nullptr) {
    if (result_ == LXW_NO_ERROR && !utf8.empty())
      result_ = worksheet_write_string(sheet_, row, col, utf8.c_str(), format);
  }
  void Number(lxw_row_t row, lxw_col_t col, double value, lxw_format* format = nullptr) {
    if (result_ == LXW_NO_ERROR) result_ = worksheet_write_number(sheet_, row, col, value, format);
  }
  // Amounts through whole cents, so the cell holds the nearest double to the stored hundredths.
  void Amount(lxw_row_t row, lxw_col_t col, double amount, lxw_format* format) {
    const auto cents = ombra::ToCents(amount);
    Number(row, col, cents ? static_cast<double>(*cents) / 100.0 : amount, format);
  }
  lxw_worksheet* Get() const { return sheet_; }
  bool Ok() const { return result_ == LXW_NO_ERROR; }
  // libxlsxwriter does not check its writes to the temporary file the rows go to: a full disk
  // would end in a workbook cut short without a word. Its stream tells; 0 when all went well.
  int RowsWriteError() const {
    FILE* rows = sheet_ != nullptr ? sheet_->optimize_tmpfile : nullptr;
    if (rows == nullptr) return 0;
    if (std::fflush(rows) != 0) return errno != 0 ? errno : EIO;
    return std::ferror(rows) != 0 ? EIO : 0;
  }

 private:
  lxw_worksheet* sheet_;
  lxw_error& result_;
};

std::string Utf8(std::string_view cp1252) { return support::Cp1252ToUtf8(cp1252); }

bool WritePayments(TBook& book, TSheet& sheet, const ombra::TDtaus& doc, const TXlsxContents& contents) {
  const bool banks = contents.Banks != nullptr;
  const std::size_t count = contents.Rows != nullptr ? contents.Rows->size() : doc.SatzCList.size();
  std::vector<std::string> titles = ombra::SheetColumnTitles();
  if (banks) titles.insert(titles.end(), kBankColumnTitles.begin(), kBankColumnTitles.end());
  const auto columns = static_cast<lxw_col_t>(titles.size());
  for (lxw_col_t col = 0; col < columns; ++col) {
    if (sheet.Ok()) worksheet_set_column(sheet.Get(), col, col, kWidths[col], nullptr);
    sheet.Text(0, col, titles[col], book.Bold());
  }
  const std::string currency = doc.CurrencyText();
  std::string purpose;
  for (std::size_t at = 0; at < count && sheet.Ok(); ++at) {
    const std::size_t i = contents.Rows != nullptr ? static_cast<std::size_t>((*contents.Rows)[at]) : at;
    const ombra::TSatzC& c = doc.SatzCList[i];
    const auto row = static_cast<lxw_row_t>(at + 1);
    sheet.Number(row, 0, static_cast<double>(i + 1));
    sheet.Text(row, 1, DecodedUtf8(c.Name));
    sheet.Text(row, 2, Utf8(support::WithoutTrailingBlanks(c.BLZ)));
    sheet.Text(row, 3, Utf8(support::WithoutTrailingBlanks(c.Konto)));
    purpose.clear();
    AppendJoinedPurpose(purpose, c);
    sheet.Text(row, 4, Utf8(purpose));
    sheet.Amount(row, 5, c.Betrag, book.Amount());
    sheet.Text(row, 6, currency);
    if (banks) {
      const ombra::TAccountCheck& account = contents.Banks->Payments[i];
      if (account.Bank) {
        sheet.Text(row, 7, Utf8(account.Bank->Name));
        sheet.Text(row, 8, Utf8(account.Bank->Place));
      }
      sheet.Text(row, 9, Utf8(ombra::VerdictText(account.Verdict)));
    }
    if (contents.Progress && (at + 1) % kProgressEvery == 0 && !contents.Progress(at + 1)) return false;
  }
  if (!sheet.Ok()) return true;
  worksheet_freeze_panes(sheet.Get(), 1, 0);
  worksheet_autofilter(sheet.Get(), 0, 0, static_cast<lxw_row_t>(count), columns - 1);
  return true;
}

// Label and value, one pair a row.
class TFileSheet {
 public:
  TFileSheet(TBook& book, TSheet& sheet) : book_(book), sheet_(sheet) {}
  void Text(const char* label, const std::string& utf8) { sheet_.Text(Next(label), 1, utf8); }
  void Number(const char* label, double value) { sheet_.Number(Next(label), 1, value); }
  void Amount(const char* label, double value) { sheet_.Amount(Next(label), 1, value, book_.Amount()); }
  void Date(const char* label, const ombra::TDate& date) {
    const lxw_row_t row = Next(label);
    lxw_datetime when{date.Year, date.Month, date.Day, 0, 0, 0};
    if (date.Year != 0 && sheet_.Ok()) worksheet_write_datetime(sheet_.Get(), row, 1, &when, book_.Date());
  }
  void Gap() { ++row_; }

 private:
  lxw_row_t Next(const char* label) {
    sheet_.Text(row_, 0, label, book_.Bold());
    return row_++;
  }
  TBook& book_;
  TSheet& sheet_;
  lxw_row_t row_ = 0;
};

// The trailer's own count, as a number when it is one.
std::optional<std::int64_t> StatedCount(const std::string& field) {
  std::int64_t value = 0;
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

void WriteFileSheet(TBook& book, TSheet& sheet, const ombra::TDtaus& doc, const TXlsxContents& contents) {
  if (sheet.Ok()) worksheet_set_column(sheet.Get(), 0, 0, 30, nullptr);
  if (sheet.Ok()) worksheet_set_column(sheet.Get(), 1, 1, 70, nullptr);
  TFileSheet rows(book, sheet);
  const ombra::TSatzA& a = *doc.SatzA;
  rows.Text("Datei", support::ShownText(contents.FileName));
  rows.Text("Art", Utf8(a.Art));
  rows.Date("Datum", a.Datum);
  rows.Text("Absender", DecodedUtf8(a.Name));
  rows.Text("BLZ", Utf8(a.BLZ));
  rows.Text("Konto", Utf8(a.Konto));
  rows.Text("Referenz", Utf8(support::WithoutTrailingBlanks(a.Referenz)));
  rows.Text("Währung", ombra::CurrencyText(a.Euro));
  if (contents.Banks != nullptr)
    rows.Text("Kontoprüfung Absender", Utf8(ombra::VerdictText(contents.Banks->Sender.Verdict)));
  rows.Gap();
  if (doc.LoadFailed() || doc.SatzE == nullptr) {
    rows.Text("Fehler", DamageText(doc));
    rows.Number("Zahlungen vor dem Schaden", static_cast<double>(doc.SatzCList.size()));
    return;
  }
  const ombra::TSatzE& e = *doc.SatzE;
  rows.Number("Anzahl der Zahlungen (gelesen)", e.Anzahl);
  if (const auto stated = StatedCount(e.AnzahlDatei))
    rows.Number("Anzahl laut E-Satz", static_cast<double>(*stated));
  else
    rows.Text("Anzahl laut E-Satz", Utf8(e.AnzahlDatei));
  rows.Amount(a.Euro ? "Summe Euro laut E-Satz" : "Summe DM laut E-Satz", a.Euro ? e.SummeEuro : e.SummeDM);
  // Up to 17 digits: as text, which a double would round.
  rows.Text("Prüfsumme Kontonummern", std::to_string(e.SummeKonto));
  rows.Text("Prüfsumme Bankleitzahlen", std::to_string(e.SummeBLZ));
  if (contents.DirectoryDate.size() > 0 || contents.Banks != nullptr)
    rows.Text("Bankverzeichnis", Utf8(ombra::DirectoryName(contents.DirectoryDate)));
  if (contents.Check == nullptr) return;
  rows.Gap();
  rows.Text("Prüfung", ombra::FileVerdictText(ombra::FileVerdictOf(*contents.Check)));
  for (const ombra::TFinding& finding : contents.Check->Findings) {
    if (finding.Severity == ombra::TSeverity::None) continue;
    rows.Text(finding.Severity == ombra::TSeverity::Error ? "Fehler" : "Warnung", Utf8(finding.Text));
  }
}

std::string CannotWrite(const std::string& reason) {
  return "Die Arbeitsmappe kann nicht geschrieben werden: " + reason;
}

// The system's reason where the library failed at a file, its own otherwise.
std::string LibraryError(lxw_error result, int systemError) {
  if ((result == LXW_ERROR_CREATING_XLSX_FILE || result == LXW_ERROR_CREATING_TMPFILE) && systemError != 0)
    return CannotWrite(support::GermanSystemError(systemError, support::TFileDeed::Write) + ".");
  return CannotWrite(std::string("libxlsxwriter meldet „") + lxw_strerror(result) + "“");
}

}  // namespace

bool WriteXlsx(const ombra::TDtaus& doc, const std::string& path, const TXlsxContents& contents,
               std::string& error) {
  errno = 0;
  TBook book(doc, path);
  if (book.Get() == nullptr) {
    error = LibraryError(LXW_ERROR_CREATING_XLSX_FILE, errno);
    return false;
  }
  lxw_error result = LXW_NO_ERROR;
  TSheet payments(workbook_add_worksheet(book.Get(), "Zahlungen"), result);
  TSheet file(workbook_add_worksheet(book.Get(), "Datei"), result);
  if (payments.Get() == nullptr || file.Get() == nullptr) result = LXW_ERROR_MEMORY_MALLOC_FAILED;
  if (result == LXW_NO_ERROR && !WritePayments(book, payments, doc, contents)) {
    error = "Der Export wurde abgebrochen.";
    return false;
  }
  if (result == LXW_NO_ERROR) WriteFileSheet(book, file, doc, contents);
  for (const TSheet* sheet : {&payments, &file}) {
    if (result != LXW_NO_ERROR) break;
    if (const int writeError = sheet->RowsWriteError()) {
      error = CannotWrite(support::GermanSystemError(writeError, support::TFileDeed::Write) + ".");
      return false;
    }
  }
  errno = 0;
  const lxw_error closed = book.Close();
  const int systemError = errno;
  if (result == LXW_NO_ERROR) result = closed;
  if (result == LXW_NO_ERROR) return true;
  error = LibraryError(result, systemError);
  return false;
}

}  // namespace cli
