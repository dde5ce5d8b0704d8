#include "test_support.h"

#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "dtaus.h"
#include "product.h"

namespace quandel::test {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void SetLocalFileTime(const std::filesystem::path& path, int year, int month, int day, int hour, int minute,
                      int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const std::time_t when = std::mktime(&local);
  const timeval times[2] = {{when, 0}, {when, 0}};
  if (utimes(path.c_str(), times) != 0) throw std::runtime_error("utimes failed");
}

testdta::CRecord Payment(const std::string& name, std::int64_t cents, const std::string& purpose) {
  testdta::CRecord c;
  c.name = name;
  c.euro = testdta::Digits(cents, 11);
  c.purpose = purpose;
  return c;
}

std::vector<testdta::CRecord> NumberedPayments(int count, const std::string& prefix) {
  std::vector<testdta::CRecord> payments;
  for (int i = 1; i <= count; ++i)
    payments.push_back(Payment(prefix + " " + std::to_string(i), 100 + i, "ZWECK"));
  return payments;
}

std::string SampleFile(const std::vector<testdta::CRecord>& payments) {
  testdta::ARecord a;
  return testdta::File(a, payments);
}

std::string ControlListPage(const std::vector<testdta::CRecord>& payments) {
  const testdta::TempDir folder;
  ombra::TDtaus dtaus;
  dtaus.Load(folder.Write("liste.dta", SampleFile(payments)));
  if (!dtaus.ErrorText.empty()) throw std::runtime_error(dtaus.ErrorText);
  ombra::TLineList lines;
  dtaus.RenderControlList(lines, support::FooterText());
  std::string page;
  for (const std::string& line : lines) page += line + "\r\n";
  return page;
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (old_)
    setenv(name_.c_str(), old_->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

ScopedCwd::ScopedCwd(const std::filesystem::path& folder) : old_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

ScopedCwd::~ScopedCwd() {
  std::error_code ignored;
  std::filesystem::current_path(old_, ignored);
}

namespace {

std::optional<std::string> Capture(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[4096];
  for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  if (pclose(pipe) != 0) return std::nullopt;
  return out;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace

std::optional<std::string> PdfText(const std::filesystem::path& pdf, int page) {
  std::string range;
  if (page > 0) range = " -f " + std::to_string(page) + " -l " + std::to_string(page);
  return Capture("pdftotext -enc UTF-8" + range + " " + Quoted(pdf) + " - 2>/dev/null");
}

std::optional<std::string> PdfInfo(const std::filesystem::path& pdf) {
  return Capture("pdfinfo " + Quoted(pdf) + " 2>/dev/null");
}

}  // namespace quandel::test
