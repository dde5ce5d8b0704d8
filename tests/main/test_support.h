#pragma once
// Files, folders and environment for the viewer tests.
#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dtaus_builder.h"
#include "qstring_print.h"
#include "temp_dir.h"

namespace quandel::test {

QString Q(const std::filesystem::path& path);
std::string ReadBytes(const std::filesystem::path& path);

// Sets the file's last-write time to the given local time.
void SetLocalFileTime(const std::filesystem::path& path, int year, int month, int day, int hour, int minute,
                      int second);

// A good Euro file: sender "ABSENDER GMBH", date 31.12.02, the given payments.
std::string SampleFile(const std::vector<testdta::CRecord>& payments);
// The control-list page the viewer writes for `payments` in SampleFile, CR LF lines.
std::string ControlListPage(const std::vector<testdta::CRecord>& payments);
testdta::CRecord Payment(const std::string& name, std::int64_t cents, const std::string& purpose);
// `count` payments to "<prefix> 1", "<prefix> 2", ... of 1,01, 1,02, ... EUR for "ZWECK".
std::vector<testdta::CRecord> NumberedPayments(int count, const std::string& prefix);

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Makes `folder` the current folder for the life of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::filesystem::path& folder);
  ~ScopedCwd();
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::filesystem::path old_;
};

// Text of a PDF file through pdftotext; nothing when the tool fails.
std::optional<std::string> PdfText(const std::filesystem::path& pdf, int page = 0);
// Output of pdfinfo.
std::optional<std::string> PdfInfo(const std::filesystem::path& pdf);

}  // namespace quandel::test
