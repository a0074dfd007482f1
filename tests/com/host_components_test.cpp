// Calls of the host's components through the fake host components of the test support.
#include "host/host_components_win.h"

#include <cstring>

#include "frame/error_reporting_win.h"
#include "tests/com/com_test_support.h"
#include "fakehost/fake_host_components.h"

namespace kelvarn::test {
namespace {

const std::string kKey100 = "key \"Kelvarn Bank\" zero-filled to 100";
const std::string kRequest =
    "chooser.ChooseFile(recogniser set, title \"Kelvarn Bank statements\", directory \"C:\\Statements\", flags 7)";

// Recognises every path that ends in ".kvb".
int RecogniseKvb(char* description, const char* path) {
  const std::size_t length = std::strlen(path);
  if (length < 4 || std::strcmp(path + length - 4, ".kvb") != 0) return 0;
  std::strcpy(description, "Kelvarn Bank Statement");
  return 1;
}

TEST(HostComponents, ConfigureBankPassesTheKeyIn1024ZeroFilledBytesAndTheOption) {
  CallLog log;
  FakeHostComponents host(log);
  BankingConfigurationClient configuration;
  configuration.ConfigureBank(3);
  EXPECT_EQ(log.Take(), (Lines{"configuration created",
                               "configuration.ConfigureBank(key \"Kelvarn Bank\" zero-filled to 1024, 3)"}));
}

TEST(HostComponents, PaymentFileDefaultsComeBackTerminatedEvenWhenTheComponentOverfills) {
  CallLog log;
  FakeHostComponents host(log);
  host.configuration.extension = "text";  // four characters in a four-byte buffer: no terminator
  {
    BankingConfigurationClient configuration;
    const PaymentFileDefaults defaults = configuration.GetPaymentFileDefaults();
    EXPECT_STREQ(defaults.fileName.data(), "payments");
    EXPECT_STREQ(defaults.extension.data(), "tex");
    EXPECT_STREQ(defaults.directory.data(), "C:\\Payments");
  }
  EXPECT_EQ(log.Take(), (Lines{"configuration created", "configuration.GetPaymentFileDefaults(" + kKey100 + ")",
                               "configuration released"}));
}

TEST(HostComponents, AComponentThatCannotBeCreatedFailsWithEPointerWhenCalled) {
  for (bool created : {false, true}) {
    CallLog log;
    FakeHostComponents host(log);
    if (created) {
      host.configuration.answersInterface = false;  // created, but without the interface
    } else {
      host.configuration.creationFailure = REGDB_E_CLASSNOTREG;
    }
    PostSentinelErrorInfo();
    HRESULT thrown = S_OK;
    try {
      BankingConfigurationClient configuration;
      configuration.GetPaymentFileDefaults();
    } catch (const _com_error& error) {
      thrown = error.Error();
      EXPECT_EQ(error.ErrorInfo(), nullptr);
    }
    EXPECT_EQ(Hex(thrown), Hex(E_POINTER));
    EXPECT_EQ(TakeErrorDescription(), kSentinel);
    const Lines expected =
        created ? Lines{"configuration created", "configuration released"} : Lines{"configuration not created"};
    EXPECT_EQ(log.Take(), expected);
  }
}

TEST(HostComponents, AFailedCallIsRaisedWithTheComponentsErrorInformation) {
  CallLog log;
  FakeHostComponents host(log);
  host.configuration.failures["ConfigureBank"] = {E_ACCESSDENIED, L"not allowed"};
  const HRESULT hr = RunComMethod([] {
    BankingConfigurationClient configuration;
    configuration.ConfigureBank(3);
  });
  EXPECT_EQ(Hex(hr), Hex(DISP_E_EXCEPTION));
  EXPECT_EQ(TakeErrorDescription(), "(none)");  // fetched off the thread, not posted again
  EXPECT_EQ(log.Take(),
            (Lines{"configuration created", "configuration.ConfigureBank(key \"Kelvarn Bank\" zero-filled to 1024, 3)",
                   "configuration released", "error info \"not allowed\" released"}));
}

struct ChoiceCase {
  const char* name;
  LONG cancelled;
  FakeText path;
  StatementFileChoice expected;
  std::string chosenPath;
};

TEST(HostComponents, StatementFileChoice) {
  const std::wstring longest(259, L'x');
  const std::wstring tooLong(260, L'x');
  const ChoiceCase kCases[] = {
      {"chosen", 0, L"C:\\Statements\\june.kvb", StatementFileChoice::Chosen, "C:\\Statements\\june.kvb"},
      {"latin-1 through the ANSI code page", 0, L"C:\\\u00e9t\u00e9.kvb", StatementFileChoice::Chosen,
       "C:\\\xe9t\xe9.kvb"},
      {"cancelled", 1, L"C:\\Statements\\june.kvb", StatementFileChoice::Cancelled, ""},
      {"null path counts as empty", 0, nullptr, StatementFileChoice::Chosen, ""},
      {"259 characters fit", 0, longest.c_str(), StatementFileChoice::Chosen, std::string(259, 'x')},
      {"260 characters do not", 0, tooLong.c_str(), StatementFileChoice::TooLong, ""},
  };
  for (const ChoiceCase& row : kCases) {
    CallLog log;
    FakeHostComponents host(log);
    host.chooser.cancelled = row.cancelled;
    host.chooser.path = row.path;
    host.chooser.candidates = {"C:\\a.kvb", "C:\\b.txt"};
    char path[kStatementPathSize];
    std::memset(path, '?', sizeof path);
    EXPECT_EQ(ChooseStatementFile(path, &RecogniseKvb), row.expected) << row.name;
    EXPECT_EQ(std::string(path), row.chosenPath) << row.name;
    EXPECT_EQ(log.Take(), (Lines{"configuration created", "configuration.GetStatementFileRequest(" + kKey100 + ")",
                                 "configuration released", "chooser created", kRequest,
                                 "recogniser(\"C:\\a.kvb\") = 1, description \"Kelvarn Bank Statement\"",
                                 "recogniser(\"C:\\b.txt\") = 0, description \"(untouched)\"", "chooser.GetCancelled()",
                                 "chooser.GetFileName()", "chooser released"}))
        << row.name;
  }
}

TEST(HostComponents, StatementFileChoiceFailures) {
  {
    CallLog log;
    FakeHostComponents host(log);
    host.chooser.failures["ChooseFile"] = {E_FAIL, L"chooser broke"};
    char path[kStatementPathSize] = "old";
    EXPECT_EQ(Hex(RunComMethod([&] { ChooseStatementFile(path, &RecogniseKvb); })), Hex(DISP_E_EXCEPTION));
    EXPECT_STREQ(path, "");
    EXPECT_EQ(log.Take(), (Lines{"configuration created", "configuration.GetStatementFileRequest(" + kKey100 + ")",
                                 "configuration released", "chooser created", kRequest, "chooser released",
                                 "error info \"chooser broke\" released"}));
  }
  {
    CallLog log;
    FakeHostComponents host(log);
    host.chooser.creationFailure = E_OUTOFMEMORY;
    char path[kStatementPathSize];
    EXPECT_EQ(Hex(RunComMethod([&] { ChooseStatementFile(path, &RecogniseKvb); })), Hex(DISP_E_EXCEPTION));
    EXPECT_EQ(log.Take(), (Lines{"configuration created", "configuration.GetStatementFileRequest(" + kKey100 + ")",
                                 "configuration released", "chooser not created"}));
  }
  {
    CallLog log;
    FakeHostComponents host(log);
    host.configuration.failures["GetStatementFileRequest"] = {E_FAIL, L""};
    char path[kStatementPathSize];
    EXPECT_EQ(Hex(RunComMethod([&] { ChooseStatementFile(path, &RecogniseKvb); })), Hex(DISP_E_EXCEPTION));
    EXPECT_EQ(log.Take(), (Lines{"configuration created", "configuration.GetStatementFileRequest(" + kKey100 + ")",
                                 "configuration released"}));
  }
}

}  // namespace
}  // namespace kelvarn::test
