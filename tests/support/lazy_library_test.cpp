#include "lazy_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

constinit support::TLazyLibrary kMath{"libm.so.6"};
constinit support::TLazyFunction<double(double)> lazyCos{kMath, "cos"};
constinit support::TLazyFunction<double(double, double)> lazyPow{kMath, "pow"};
constinit support::TLazyFunction<int(char*, const char*, ...)> lazySprintf{kMath, "sprintf"};

TEST(LazyLibrary, CallsReachTheLibrarysFunctions) {
  EXPECT_DOUBLE_EQ(lazyCos(0.0), 1.0);
  EXPECT_DOUBLE_EQ(lazyPow(2.0, 10.0), 1024.0);
  // A variable argument list passes its arguments on (libm finds sprintf in libc, its own
  // dependency, as the spreadsheet writer's do in theirs).
  char text[32];
  EXPECT_EQ(lazySprintf(text, "%d-%s", 42, "x"), 4);
  EXPECT_STREQ(text, "42-x");
}

TEST(LazyLibrary, ThreadsResolvingAtOnceAgree) {
  constinit static support::TLazyLibrary math{"libm.so.6"};
  constinit static support::TLazyFunction<double(double)> sqrtOnce{math, "sqrt"};
  std::vector<double> results(4);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < results.size(); ++i)
    threads.emplace_back([&results, i] { results[i] = sqrtOnce(static_cast<double>(i * i)); });
  for (std::thread& thread : threads) thread.join();
  for (std::size_t i = 0; i < results.size(); ++i) EXPECT_DOUBLE_EQ(results[i], static_cast<double>(i));
}

TEST(LazyLibrary, WhatCannotBeHadIsSaidInGermanWithItsName) {
  struct TCase {
    const char* Soname;
    const char* Function;
    std::vector<std::string> Said;
  };
  const TCase cases[] = {
      {"libquandel-nowhere.so.9", "anything",
       {"Die Programmbibliothek libquandel-nowhere.so.9 fehlt", "Paket neu installieren"}},
      {"libm.so.6", "quandel_no_such_function", {"libm.so.6 kennt die Funktion quandel_no_such_function nicht"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Soname);
    support::TLazyLibrary library{c.Soname};
    const support::TLazyFunction<void()> call{library, c.Function};
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const support::ELibraryMissing& e) {
      for (const std::string& part : c.Said) EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
  }
}

}  // namespace
