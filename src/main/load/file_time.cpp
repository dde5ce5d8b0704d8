#include "file_time.h"

#include <sys/stat.h>

#include <ctime>

#include "convert.h"
#include "datetime.h"

namespace quandel {

std::string FileTimeText(const std::string& fileName, const ombra::TRegionalSettings& rs) {
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) throw ombra::EConvertError(kNoDateMessage);
  std::tm local{};
  const std::time_t when = info.st_mtime;
  if (localtime_r(&when, &local) == nullptr) throw ombra::EConvertError(kNoDateMessage);
  const ombra::TDate date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  const ombra::TTime time{local.tm_hour, local.tm_min, local.tm_sec - local.tm_sec % 2};
  return ombra::FormatDateTime(date, time, rs);
}

}  // namespace quandel
