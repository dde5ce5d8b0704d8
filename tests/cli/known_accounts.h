#pragma once
// Accounts whose verdict in the bank directory is known: one that passes, one that fails its
// check digit, and a bank code the directory does not hold. The sender's account passes.
#include "dtaus_builder.h"

namespace clitest {

struct TKnownAccounts {
  testdta::ARecord sender;
  testdta::CRecord passes, fails, unknown;

  TKnownAccounts() {
    sender.blz = passes.blz = "37040044";
    sender.konto = passes.konto = "0532013000";
    fails.blz = "20050550";
    fails.konto = "1234567890";
    unknown.blz = "10020030";
  }
};

}  // namespace clitest
