// Whole export runs through the payment service: the configuration lookup, both dialogs driven
// as a user drives them, the payment file and the run's outcome.
#include <functional>
#include <vector>

#include "tests/com/payment_export_support.h"
#include "fakehost/fake_host_components.h"

namespace kelvarn::test {
namespace {

using ExportPaymentsTest = ComTest;

const std::string kDefaultsCall = "configuration.GetPaymentFileDefaults(key \"Kelvarn Bank\" zero-filled to 100)";

// The user accepts the proposed date and saves under the proposed name.
void AcceptEverything(UiDriver& user) {
  user.Press(user.WaitFor(DialogKind::kProcessingDate), IDOK);
  user.Press(user.WaitFor(DialogKind::kSaveFile), IDOK);
}

// Nothing may be shown: the script ends at once, and any window the run shows is cancelled and
// reported.
void ExpectNoWindow(UiDriver&) {}

// The calls the run made on the collection and the result codes it set; the property reads of
// each payment are left out.
Lines CollectionCallsAndResultCodes(const Lines& log) {
  Lines kept;
  for (const std::string& line : log) {
    if (line.rfind("payments.", 0) == 0 || line.find(".put_ResultCode(") != std::string::npos) kept.push_back(line);
  }
  return kept;
}

std::vector<LONG> ResultCodes(const FakeBankPayments& payments) {
  std::vector<LONG> codes;
  for (const auto& payment : payments.payments) codes.push_back(payment->resultCode);
  return codes;
}

// Every payment handed out was released again.
void ExpectPaymentsReleased(const FakeBankPayments& payments) {
  for (const auto& payment : payments.payments) EXPECT_EQ(payment->References(), 1u) << payment->Name();
}

TEST_F(ExportPaymentsTest, AnEmptyCollectionGivesAnEmptyFileAndStatusZero) {
  ExportScene scene;

  const ExportOutcome outcome = RunExport(scene.payments.get(), AcceptEverything);

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(scene.folder.Entries(), Lines{"payments.csv"});
  EXPECT_EQ(ReadFileBytes(scene.folder.File("payments.csv")), "");
  EXPECT_EQ(scene.log.Take(),
            (Lines{"configuration created", kDefaultsCall, "payments.get_Count()", "configuration released"}));
}

TEST_F(ExportPaymentsTest, APaymentFailingACheckIsWrittenMarkedAndMakesStatusOneAndSFalse) {
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 100.5, L"Jane Smith");
  FakeBankPayment& faulty = scene.payments->Add();
  FillValidPayment(faulty, 20, L"O'Brien & Sons (Dublin) Ltd");
  faulty.payeeSortCode = L"12345";
  FillValidPayment(scene.payments->Add(), 0.25, L"Zed");
  const std::string date = FileDate(ProposedDay());

  const ExportOutcome outcome = RunExport(scene.payments.get(), AcceptEverything);

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_FALSE));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(ReadFileBytes(scene.folder.File("payments.csv")),
            ValidPaymentLine("100.50", date, "Jane Smith") +
                "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"01234587654321\",\"20.00\",\"" + date +
                "\",\"EUR\",\"E\",\"OBrien  Sons Dubli\",\"OBrien  Sons Dubli\",\"Acme Trading Ltd\",\"\",\"\",\"\","
                "\"\",\"Acme Trading Ltd\",\"\",\"\"\r\n" +
                ValidPaymentLine("0.25", date, "Zed"));
  EXPECT_EQ(scene.folder.Entries(), Lines{"payments.csv"});
  EXPECT_EQ(ResultCodes(*scene.payments.get()), (std::vector<LONG>{-1, 28, -1}));
  EXPECT_EQ(CollectionCallsAndResultCodes(scene.log.Take()),
            (Lines{"payments.get_Count()", "payments.get_Item(0)", "payments.get_Item(1)",
                   "payment1.put_ResultCode(28)", "payments.get_Item(2)"}));
  ExpectPaymentsReleased(*scene.payments.get());
}

struct ItemFailureCase {
  const char* name;
  LONG faultyIndex;  // a payment that fails a check before the collection fails, or -1
  HRESULT hr;
};

// What the chosen path held before the run: nothing, or an older payment file.
struct EarlierFileCase {
  const char* name;
  const char* bytes;  // null: no file
};

TEST_F(ExportPaymentsTest, ACollectionFailingAtIndexTwoOfFiveLeavesTheChosenPathAsItWasAndStatusTwo) {
  const ItemFailureCase cases[] = {
      {"valid payments", -1, S_OK},
      // The later failure decides the status; the return value still tells of the faulty payment.
      {"after a faulty payment", 1, S_FALSE},
  };
  const EarlierFileCase earlierFiles[] = {{"no file before", nullptr}, {"an older file", "older\r\n"}};
  for (const EarlierFileCase& earlier : earlierFiles) {
    for (const ItemFailureCase& failureCase : cases) {
      SCOPED_TRACE(std::string(earlier.name) + ", " + failureCase.name);
      ExportScene scene;
      for (int index = 0; index < 5; ++index) FillValidPayment(scene.payments->Add(), 1 + index, L"Jane Smith");
      if (failureCase.faultyIndex >= 0) scene.payments->payments[failureCase.faultyIndex]->amount = -5;
      scene.payments->failItemAt = 2;
      const std::string path = scene.folder.File("payments.csv");
      if (earlier.bytes) WriteFileBytes(path, earlier.bytes);

      const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
        AcceptEverything(user);
        if (earlier.bytes) user.Answer(IDYES);  // replace the existing file
      });

      EXPECT_EQ(outcome.userFailure, "");
      EXPECT_EQ(Hex(outcome.hr), Hex(failureCase.hr));
      EXPECT_EQ(outcome.status, 2);
      // Nothing of the two lines written reaches the chosen path, and no temporary file stays.
      if (earlier.bytes) {
        EXPECT_EQ(ReadFileBytes(path), earlier.bytes);
        EXPECT_EQ(scene.folder.Entries(), Lines{"payments.csv"});
      } else {
        EXPECT_EQ(scene.folder.Entries(), Lines{});
      }
      Lines expectedCalls{"payments.get_Count()", "payments.get_Item(0)", "payments.get_Item(1)"};
      if (failureCase.faultyIndex == 1) expectedCalls.push_back("payment1.put_ResultCode(21)");
      expectedCalls.push_back("payments.get_Item(2)");
      EXPECT_EQ(CollectionCallsAndResultCodes(scene.log.Take()), expectedCalls);
      ExpectPaymentsReleased(*scene.payments.get());
    }
  }
}

TEST_F(ExportPaymentsTest, ACollectionThatCannotCountIsACollectionFailureAndLeavesTheChosenFileAlone) {
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 1, L"Jane Smith");
  scene.payments->failures["get_Count"] = {E_FAIL, L""};

  const ExportOutcome outcome = RunExport(scene.payments.get(), AcceptEverything);

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(scene.folder.Entries(), Lines{});
  EXPECT_EQ(scene.log.Take(),
            (Lines{"configuration created", kDefaultsCall, "payments.get_Count()", "configuration released"}));
}

// A chosen path the written file cannot take: what it holds, and what holds on to it.
struct IrreplaceablePathCase {
  const char* name;
  std::function<UniqueHandle(const std::string& path)> arrange;  // an open handle, kept for the run
  std::function<bool(const std::string& path)> unchanged;
};

TEST_F(ExportPaymentsTest, AChosenPathThatCannotBeReplacedGivesStatusTwoAndStaysAsItWas) {
  const IrreplaceablePathCase cases[] = {
      {"a file another program holds open without sharing",
       [](const std::string& path) {
         WriteFileBytes(path, "in use\r\n");
         return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
       },
       [](const std::string& path) { return ReadFileBytes(path) == "in use\r\n"; }},
      // The save dialog offers to replace a folder of that name as it does a file.
      {"a folder",
       [](const std::string& path) {
         EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
         return UniqueHandle();
       },
       [](const std::string& path) {
         const DWORD attributes = GetFileAttributesA(path.c_str());
         return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
       }},
  };
  for (const IrreplaceablePathCase& pathCase : cases) {
    SCOPED_TRACE(pathCase.name);
    ExportScene scene;
    FillValidPayment(scene.payments->Add(), 1, L"Jane Smith");
    const std::string path = scene.folder.File("payments.csv");
    UniqueHandle holder = pathCase.arrange(path);
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);

    const ExportOutcome outcome = RunExport(scene.payments.get(), [](UiDriver& user) {
      AcceptEverything(user);
      user.Answer(IDYES);  // replace what is there
    });
    holder.reset();

    EXPECT_EQ(outcome.userFailure, "");
    EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
    EXPECT_EQ(outcome.status, 2);
    // The payment was written (to the temporary file) before the move failed.
    EXPECT_EQ(CollectionCallsAndResultCodes(scene.log.Take()), (Lines{"payments.get_Count()", "payments.get_Item(0)"}));
    EXPECT_TRUE(pathCase.unchanged(path));
    EXPECT_EQ(scene.folder.Entries(), Lines{"payments.csv"});
  }
}

struct ConfigurationFailureCase {
  const char* name;
  void (*arrange)(BankingConfigurationSettings& configuration);
  Lines calls;
};

TEST_F(ExportPaymentsTest, AConfigurationThatCannotBeCreatedOrFailsEndsTheRunBeforeAnyDialog) {
  const ConfigurationFailureCase cases[] = {
      {"not creatable",
       [](BankingConfigurationSettings& c) { c.creationFailure = REGDB_E_CLASSNOTREG; },
       {"configuration not created"}},
      {"without its interface",
       [](BankingConfigurationSettings& c) { c.answersInterface = false; },
       {"configuration created", "configuration released"}},
      {"lookup failing",
       [](BankingConfigurationSettings& c) {
         c.failures["GetPaymentFileDefaults"] = {E_FAIL, L"no defaults"};
       },
       {"configuration created", kDefaultsCall, "configuration released", "error info \"no defaults\" released"}},
  };
  for (const ConfigurationFailureCase& failureCase : cases) {
    SCOPED_TRACE(failureCase.name);
    ExportScene scene;
    failureCase.arrange(scene.host.configuration);

    const ExportOutcome outcome = RunExport(scene.payments.get(), ExpectNoWindow);

    EXPECT_EQ(outcome.userFailure, "");
    EXPECT_EQ(Hex(outcome.hr), Hex(DISP_E_EXCEPTION));
    EXPECT_EQ(outcome.status, kStatusBefore);
    EXPECT_EQ(TakeErrorDescription(), "(none)");
    EXPECT_EQ(scene.log.Take(), failureCase.calls);
  }
}

TEST_F(ExportPaymentsTest, ANullCollectionIsAnInvalidArgumentAfterStatusWasSetToZero) {
  ExportScene scene;

  const ExportOutcome outcome = RunExport(nullptr, ExpectNoWindow);

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), "0x800AFFFC");
  EXPECT_EQ(TakeErrorDescription(), "Invalid argument");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(scene.log.Take(), (Lines{"configuration created", kDefaultsCall, "configuration released"}));
}

}  // namespace
}  // namespace kelvarn::test
