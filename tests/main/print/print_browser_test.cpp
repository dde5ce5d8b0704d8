// The print flow against a command target that answers as told.
#include <gtest/gtest.h>

#include <ostream>

#include "fakes.h"
#include "print_browser.h"

namespace quandel::test {
namespace {

struct TargetLog {
  int queries = 0;
  int execs = 0;
  std::uint32_t queriedId = 0;
  std::uint32_t flagsBefore = 99;
  std::uint32_t execId = 0;
  std::uint32_t execOption = 0;
  bool inGiven = true;
  bool outGiven = true;
};

class FakeTarget : public IOleCommandTarget {
 public:
  FakeTarget(TargetLog& log, HRESULT status, std::uint32_t flags, HRESULT result)
      : log_(log), status_(status), flags_(flags), result_(result) {}

  HRESULT QueryStatus(OLECMD& cmd) override {
    ++log_.queries;
    log_.queriedId = cmd.cmdID;
    log_.flagsBefore = cmd.cmdf;
    cmd.cmdf = flags_;
    return status_;
  }
  HRESULT Exec(std::uint32_t cmdID, std::uint32_t option, const TOleVariant& in, TOleVariant& out) override {
    ++log_.execs;
    log_.execId = cmdID;
    log_.execOption = option;
    log_.inGiven = in.given;
    log_.outGiven = out.given;
    return result_;
  }

 private:
  TargetLog& log_;
  HRESULT status_;
  std::uint32_t flags_;
  HRESULT result_;
};

class FakeDocument : public IHtmlDocument {
 public:
  explicit FakeDocument(std::shared_ptr<IOleCommandTarget> target) : target_(std::move(target)) {}
  std::shared_ptr<IOleCommandTarget> QueryCommandTarget() override { return target_; }

 private:
  std::shared_ptr<IOleCommandTarget> target_;
};

class FakeBrowser : public IWebBrowser {
 public:
  void Navigate(const QString&) override {}
  std::shared_ptr<IHtmlDocument> Document() override {
    ++documentAsked;
    return std::exchange(document, nullptr);
  }

  std::shared_ptr<IHtmlDocument> document;
  int documentAsked = 0;
};

struct Outcome {
  const char* name;
  HRESULT status;
  std::uint32_t flags;
  HRESULT result;
  const char* message;  // nullptr: nothing shown
  bool executed;
};

void PrintTo(const Outcome& outcome, std::ostream* out) { *out << outcome.name; }

class PrintBrowserTest : public ::testing::TestWithParam<Outcome> {};

TEST_P(PrintBrowserTest, ReportsTheOutcomeAndReleasesEverything) {
  const Outcome& o = GetParam();
  TargetLog log;
  FakeBrowser browser;
  auto target = std::make_shared<FakeTarget>(log, o.status, o.flags, o.result);
  std::weak_ptr<IOleCommandTarget> targetAlive = target;
  browser.document = std::make_shared<FakeDocument>(std::move(target));
  std::weak_ptr<IHtmlDocument> documentAlive = browser.document;
  FakeMessageBox messages;

  PrintBrowser(&browser, messages);

  if (o.message == nullptr) {
    EXPECT_TRUE(messages.messages.empty());
  } else {
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], QString::fromUtf8(o.message));
  }
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_EQ(log.queries, 1);
  EXPECT_EQ(log.queriedId, 6u);
  EXPECT_EQ(log.flagsBefore, 0u);
  EXPECT_EQ(log.execs, o.executed ? 1 : 0);
  if (o.executed) {
    EXPECT_EQ(log.execId, 6u);
    EXPECT_EQ(log.execOption, 2u);
    EXPECT_FALSE(log.inGiven);
    EXPECT_FALSE(log.outGiven);
  }
  EXPECT_TRUE(targetAlive.expired());
  EXPECT_TRUE(documentAlive.expired());
}

INSTANTIATE_TEST_SUITE_P(
    Results, PrintBrowserTest,
    ::testing::Values(
        Outcome{"Printed", S_OK, OLECMDF_SUPPORTED | OLECMDF_ENABLED, S_OK, nullptr, true},
        Outcome{"EnabledAlone", S_OK, OLECMDF_ENABLED, S_OK, nullptr, true},
        Outcome{"QueryFails", E_FAIL, OLECMDF_SUPPORTED | OLECMDF_ENABLED, S_OK, "Drucken nicht möglich",
                false},
        Outcome{"QuerySucceedsOddly", 1, OLECMDF_SUPPORTED | OLECMDF_ENABLED, S_OK, "Drucken nicht möglich",
                false},
        Outcome{"NotEnabled", S_OK, OLECMDF_SUPPORTED, S_OK, "Drucken nicht möglich", false},
        Outcome{"Cancelled", S_OK, OLECMDF_ENABLED, OLECMDERR_E_CANCELED, "Abbruch durch User", true},
        Outcome{"Failed", S_OK, OLECMDF_ENABLED, E_FAIL, "Fehler!!!", true},
        Outcome{"OtherSuccessCode", S_OK, OLECMDF_ENABLED, 1, "Fehler!!!", true},
        Outcome{"NotSupported", S_OK, OLECMDF_ENABLED, OLECMDERR_E_NOTSUPPORTED, "Fehler!!!", true}),
    [](const ::testing::TestParamInfo<Outcome>& tested) { return std::string(tested.param.name); });

TEST(PrintBrowserSilentTest, NoBrowserDoesNothing) {
  FakeMessageBox messages;
  PrintBrowser(nullptr, messages);
  EXPECT_TRUE(messages.messages.empty());
}

TEST(PrintBrowserSilentTest, NoDocumentShowsNothing) {
  FakeBrowser browser;
  FakeMessageBox messages;
  PrintBrowser(&browser, messages);
  EXPECT_EQ(browser.documentAsked, 1);
  EXPECT_TRUE(messages.messages.empty());
}

TEST(PrintBrowserSilentTest, DocumentWithoutCommandTargetPrintsNothing) {
  FakeBrowser browser;
  browser.document = std::make_shared<FakeDocument>(nullptr);
  std::weak_ptr<IHtmlDocument> documentAlive = browser.document;
  FakeMessageBox messages;
  PrintBrowser(&browser, messages);
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_TRUE(documentAlive.expired());
}

}  // namespace
}  // namespace quandel::test
