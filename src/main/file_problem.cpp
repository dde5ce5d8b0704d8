#include "file_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quandel {

bool CanReadFile(const std::string& fileName) {
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace quandel
