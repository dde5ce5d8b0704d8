#pragma once
// Runs the built quandel-cli as a child process and collects what it wrote.
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace clitest {

struct TRun {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return std::move(bytes).str();
}

// The lines of a program's output, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct TRunOptions {
  // Set in the child on top of the inherited ones; LC_ALL is C unless given, so results do not
  // depend on the machine's locale.
  std::map<std::string, std::string> Environment;
  // Files the child writes may not grow beyond this (0: no limit); lets a test make writing
  // fail without touching system devices.
  rlim_t FileSizeLimit = 0;
  // Not 0: the child runs as this user and group (the test must run as root), so that file
  // permissions bite as they do for the users of the program.
  uid_t User = 0;
  // Not 0: the child's address space is limited to this many bytes, so that a program that
  // asks for memory by a file's size fails at once, whatever the machine holds.
  rlim_t AddressSpaceLimit = 0;
  // Not 0: the child may hold no more descriptors open at once (soft and hard limit).
  rlim_t OpenFileLimit = 0;
};

// The program and its arguments as execv wants them; built before fork, so the child only execs.
class TArgv {
 public:
  explicit TArgv(const std::vector<std::string>& args) : strings_{QUANDEL_CLI_PATH} {
    strings_.insert(strings_.end(), args.begin(), args.end());
    for (auto& a : strings_) pointers_.push_back(a.data());
    pointers_.push_back(nullptr);
  }
  const char* Program() const { return strings_.front().c_str(); }
  char* const* Pointers() { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

inline TRun RunCli(const std::vector<std::string>& args, const TRunOptions& options = {}) {
  testdta::TempDir capture;
  const std::string outPath = (capture.Path() / "stdout").string();
  const std::string errPath = (capture.Path() / "stderr").string();
  TArgv argv(args);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
    ::setenv("LC_ALL", "C", 1);
    for (const auto& [name, value] : options.Environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (options.FileSizeLimit != 0) {
      // Ignored, the signal turns the oversized write into an ordinary EFBIG failure.
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{options.FileSizeLimit, options.FileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(127);
    }
    const rlimit space{options.AddressSpaceLimit, options.AddressSpaceLimit};
    if (options.AddressSpaceLimit != 0 && ::setrlimit(RLIMIT_AS, &space) != 0) ::_exit(127);
    const rlimit files{options.OpenFileLimit, options.OpenFileLimit};
    if (options.OpenFileLimit != 0 && ::setrlimit(RLIMIT_NOFILE, &files) != 0) ::_exit(127);
    if (options.User != 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(options.User) != 0 || ::setuid(options.User) != 0))
      ::_exit(127);
    ::execv(argv.Program(), argv.Pointers());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("waitpid failed");
  TRun run;
  run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.Out = ReadBytes(outPath);
  run.Err = ReadBytes(errPath);
  return run;
}

// Starts quandel-cli without waiting for it; what it prints is dropped.
inline pid_t StartCli(const std::vector<std::string>& args) {
  TArgv argv(args);
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int sink = ::open("/dev/null", O_WRONLY);
    if (sink < 0 || ::dup2(sink, 1) < 0 || ::dup2(sink, 2) < 0) ::_exit(127);
    ::execv(argv.Program(), argv.Pointers());
    ::_exit(127);
  }
  return pid;
}

// A named pipe in `folder` whose content is collected on a thread: a stand-in for devices such
// as /dev/null that a faulty program could replace if tests wrote to the real ones.
class TFifoCapture {
 public:
  explicit TFifoCapture(const std::filesystem::path& folder) : path_(folder / "fifo") {
    if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    // Reader first (does not block when non-blocking), then a writer of our own so the reader
    // sees no end of data before Finish(), whether or not the program under test opens it.
    reader_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    keepAlive_ = ::open(path_.c_str(), O_WRONLY);
    if (reader_ < 0 || keepAlive_ < 0) throw std::runtime_error("opening the fifo failed");
    ::fcntl(reader_, F_SETFL, ::fcntl(reader_, F_GETFL) & ~O_NONBLOCK);
    thread_ = std::thread([this] {
      char chunk[65536];
      ssize_t n = 0;
      while ((n = ::read(reader_, chunk, sizeof chunk)) > 0) data_.append(chunk, static_cast<std::size_t>(n));
    });
  }
  ~TFifoCapture() { Finish(); }
  TFifoCapture(const TFifoCapture&) = delete;
  TFifoCapture& operator=(const TFifoCapture&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Call when every other writer is done; returns all bytes written.
  const std::string& Finish() {
    if (keepAlive_ >= 0) {
      ::close(keepAlive_);
      keepAlive_ = -1;
      thread_.join();
      ::close(reader_);
    }
    return data_;
  }

 private:
  std::filesystem::path path_;
  int reader_ = -1;
  int keepAlive_ = -1;
  std::thread thread_;
  std::string data_;
};

inline std::string DataFile(const std::string& name) {
  return std::string(QUANDEL_CLI_TEST_DATA) + "/" + name;
}

}  // namespace clitest
