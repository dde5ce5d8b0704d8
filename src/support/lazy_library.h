#pragma once
// A shared library opened at its first call instead of at start-up. quandel-cli needs the
// spreadsheet writer and SQLite only for the commands that write workbooks and databases;
// loading them (with the cryptography library the spreadsheet writer pulls in) at every start
// costs about as long as reading a small file, for every json, csv and check.
//
// Used by naming a library's functions in the caller's own namespace, where they hide the
// header's declarations:
//   inline constinit support::TLazyLibrary kSqlite{"libsqlite3.so.0"};
//   QUANDEL_LAZY_CALL(kSqlite, sqlite3_step);
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

// One function of a library, looked up at its first call and kept.
class TLazySymbol {
 public:
  constexpr TLazySymbol(TLazyLibrary& library, const char* name) : library_(library), name_(name) {}

 protected:
  void* Address() const {
    void* known = address_.load(std::memory_order_acquire);
    if (known == nullptr) {
      known = library_.Symbol(name_);
      address_.store(known, std::memory_order_release);
    }
    return known;
  }

 private:
  TLazyLibrary& library_;
  const char* name_;
  mutable std::atomic<void*> address_{nullptr};
};

template <typename Signature>
class TLazyFunction;

template <typename R, typename... A>
class TLazyFunction<R(A...)> : public TLazySymbol {
 public:
  using TLazySymbol::TLazySymbol;
  R operator()(A... arguments) const {
    return reinterpret_cast<R (*)(A...)>(Address())(std::forward<A>(arguments)...);
  }
};

// C functions with a variable argument list (sqlite3_config).
template <typename R, typename... A>
class TLazyFunction<R(A..., ...)> : public TLazySymbol {
 public:
  using TLazySymbol::TLazySymbol;
  template <typename... V>
  R operator()(A... arguments, V... more) const {
    return reinterpret_cast<R (*)(A..., ...)>(Address())(arguments..., more...);
  }
};

}  // namespace support

// `name` as a function of `library`, of the type the library's header declares it with.
#define QUANDEL_LAZY_CALL(library, name) \
  inline constinit support::TLazyFunction<decltype(::name)> name { library, #name }
