#pragma once
// Small helpers the benchmarks share: generated input files and the process's memory figures.
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

// A file of `payments` payments made by gen_dtaus once and kept in /tmp for later runs.
inline std::string GeneratedFile(int payments) {
  const std::string file = "/tmp/quandel-bench-" + std::to_string(payments) + ".dta";
  if (!std::ifstream(file)) {
    const std::string command = std::string(GEN_DTAUS) + " " + file + " " + std::to_string(payments);
    if (std::system(command.c_str()) != 0) std::abort();
  }
  return file;
}

// The file QUANDEL_BENCH_FILE names, else a generated one of 100,000 payments.
inline const std::string& SampleFile() {
  static const std::string path = [] {
    const char* given = std::getenv("QUANDEL_BENCH_FILE");
    return given != nullptr ? std::string(given) : GeneratedFile(100000);
  }();
  return path;
}

// A "VmRSS:"-like line of /proc/self/status, in KiB.
inline long StatusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
  return 0;
}

}  // namespace bench
