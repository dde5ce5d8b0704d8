#pragma once
// A shared library opened at its first call instead of at start-up. quandel-cli needs the
// spreadsheet writer and SQLite only for the commands that write workbooks and databases;
// loading them (with the cryptography library the spreadsheet writer pulls in) at every start
// costs about as long as reading a small file, for every json, csv and check.
//
// Used by naming a library's functions in the caller's own namespace, where they hide the
// header's declarations:
//   inline constinit support::TLazyLibrary kSqlite{"libsqlite3.so.0"};
//   inline constinit support::TLazyFunction<decltype(::sqlite3_step)> sqlite3_step{kSqlite, "sqlite3_step"};
// A call that slips past them fails to link, as the program no longer links the library.
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace support {

// Thrown when the library or one of its functions cannot be had; the text is German (UTF-8)
// and names both.
class ELibraryMissing : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TLazyLibrary {
 public:
  explicit constexpr TLazyLibrary(const char* soname) : soname_(soname) {}
  TLazyLibrary(const TLazyLibrary&) = delete;
  TLazyLibrary& operator=(const TLazyLibrary&) = delete;

  // The address of `name`; opens the library at the first call. Safe from any thread.
  void* Symbol(const char* name);
  const char* Soname() const { return soname_; }

 private:
  const char* soname_;
  std::mutex mutex_;
  void* handle_ = nullptr;
};

template <typename Signature>
class TLazyFunction;

template <typename R, typename... A>
class TLazyFunction<R(A...)> {
 public:
  constexpr TLazyFunction(TLazyLibrary& library, const char* name) : library_(library), name_(name) {}
  R operator()(A... arguments) const { return Function()(std::forward<A>(arguments)...); }

 private:
  using TPointer = R (*)(A...);
  TPointer Function() const {
    void* known = address_.load(std::memory_order_acquire);
    if (known == nullptr) {
      known = library_.Symbol(name_);
      address_.store(known, std::memory_order_release);
    }
    return reinterpret_cast<TPointer>(known);
  }
  TLazyLibrary& library_;
  const char* name_;
  mutable std::atomic<void*> address_{nullptr};
};

// C functions with a variable argument list (sqlite3_config).
template <typename R, typename... A>
class TLazyFunction<R(A..., ...)> {
 public:
  constexpr TLazyFunction(TLazyLibrary& library, const char* name) : library_(library), name_(name) {}
  template <typename... V>
  R operator()(A... arguments, V... more) const {
    return reinterpret_cast<R (*)(A..., ...)>(library_.Symbol(name_))(arguments..., more...);
  }

 private:
  TLazyLibrary& library_;
  const char* name_;
};

}  // namespace support
