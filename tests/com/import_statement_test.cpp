// The statement import run of BankStatementService, against the fake host components and
// objects: every test compares the whole call sequence the run makes.
#include <string>
#include <vector>

#include "tests/com/com_test_support.h"
#include "fakehost/fake_host_components.h"
#include "fakehost/fake_host_objects.h"

namespace kelvarn::test {
namespace {

constexpr HRESULT kInvalidArgumentReturned = static_cast<HRESULT>(0x800AFFFC);

std::string FixturePath(const char* relative) { return std::string(KELVARN_FIXTURES) + "/" + relative; }
std::wstring WideFixturePath(const char* relative) {
  const std::string path = FixturePath(relative);
  return std::wstring(path.begin(), path.end());
}

// A field of the record padded with blanks to its width, as the host receives it.
std::string Field(const std::string& text, std::size_t width = 18) {
  return text + std::string(width - text.size(), ' ');
}
// The reference text: the originator's reference, a blank, the account name.
std::string Reference(const std::string& originatorReference, const std::string& accountName) {
  return Field(originatorReference) + " " + Field(accountName);
}

// The file choice, as every run makes it first.
const Lines kChoice = {
    "configuration created",
    "configuration.GetStatementFileRequest(key \"Kelvarn Bank\" zero-filled to 100)",
    "configuration released",
    "chooser created",
    "chooser.ChooseFile(recogniser set, title \"Kelvarn Bank statements\", directory \"C:\\Statements\", flags 7)",
    "chooser.GetCancelled()",
    "chooser.GetFileName()",
    "chooser released",
};
// The account's texts, taken once a file was chosen and before the file is read.
const Lines kAccount = {
    "reconciliation.get_BankAccount()",
    "account.get_BankAccountNumber()",
    "account.get_BankSortCode()",
};
// The statement reset, only once the account is usable and the file is the bank's statement.
const Lines kReset = {
    "statement.Reset()",
    "statement.SetBalance(0)",
};

struct ExpectedLine {
  int credit;
  double amount;
  double date;  // OLE date
  std::string name;
  std::string reference;
};

// Lines of the host account 123456 / 12345678 in the fixtures.
const ExpectedLine kAcme = {1, 123.45, 39205 /* 3 May 2007 */, Field("ACME SUPPLIES LTD"),
                            Reference("INV 20231", "SAMPLE TRADING")};
const ExpectedLine kCityPower = {0, 250, 39207 /* 5 May 2007 */, Field("CITY POWER"),
                                 Reference("DD 778812", "SAMPLE TRADING")};
const ExpectedLine kFirstCredit = {1, 100, 39083 /* 1 January 2007 */, Field("FIRST CREDIT"),
                                   Reference("REF1", "SAMPLE TRADING")};
const ExpectedLine kSecondDebit = {0, 1.99, 39114 /* 1 February 2007 */, Field("SECOND DEBIT"),
                                   Reference("REF2", "SAMPLE TRADING")};
const ExpectedLine kThirdCredit = {1, 0.01, 39507 /* 29 February 2008 */, Field("THIRD CREDIT"),
                                   Reference("REF3", "SAMPLE TRADING")};
const std::vector<ExpectedLine> kMixedOwnLines = {kFirstCredit, kSecondDebit, kThirdCredit};
// The record of the other account 654321 / 87654321 in mixed_accounts.txt.
const ExpectedLine kOtherAccount = {0, 50, 39084 /* 2 January 2007 */, Field("OTHER ACCOUNT"),
                                    Reference("NOT OURS", "OTHER LTD")};

Lines Concatenate(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// AddLine and the six setters for each line, numbered from 1.
Lines LineCalls(const std::vector<ExpectedLine>& lines) {
  Lines calls;
  int number = 1;
  for (const ExpectedLine& line : lines) {
    const std::string name = "line" + std::to_string(number);
    calls.push_back("statement.AddLine()");
    calls.push_back(name + ".SetLineNumber(VT_I4 " + std::to_string(number) + ")");
    calls.push_back(name + ".SetCredit(" + std::to_string(line.credit) + ")");
    calls.push_back(name + ".SetAmount(" + Number(line.amount) + ")");
    calls.push_back(name + ".SetDate(" + Number(line.date) + ")");
    calls.push_back(name + ".SetName(" + Quoted(line.name.c_str()) + ")");
    calls.push_back(name + ".SetReference(" + Quoted(line.reference.c_str()) + ")");
    ++number;
  }
  return calls;
}

// The whole sequence of a run that read the bank's statement for the host's account.
Lines ImportCalls(const std::vector<ExpectedLine>& lines) {
  return Concatenate({kChoice, kAccount, kReset, LineCalls(lines)});
}
// The whole sequence of a run that chose a file and read nothing: no call on the statement.
const Lines kNotReadCalls = Concatenate({kChoice, kAccount});

// One statement service and the host around it: components, reconciliation, account, statement.
class ImportScene {
 public:
  ImportScene() : service_(CreateComponent<IBankStatementService>(CLSID_BankStatementService)) {
    reconciliation->account = account;
  }

  CallLog log;
  FakeHostComponents host{log};
  ComPtr<FakeBankAccount> account = MakeFake<FakeBankAccount>(log);
  ComPtr<FakeBankReconciliation> reconciliation = MakeFake<FakeBankReconciliation>(log);
  ComPtr<FakeBankStatement> statement = MakeFake<FakeBankStatement>(log);

  void Choose(const char* fixture) { host.chooser.path = WideFixturePath(fixture).c_str(); }
  void SetAccount(const wchar_t* sortCode, const wchar_t* accountNumber) {
    account->sortCode = sortCode;
    account->accountNumber = accountNumber;
  }
  // A fresh statement for the next run, so its lines are named from line1 again.
  void NewStatement() { statement = MakeFake<FakeBankStatement>(log); }

  HRESULT Run() { return service_ ? service_->ImportStatement(reconciliation.get(), statement.get()) : E_POINTER; }
  IBankStatementService* Service() { return service_.get(); }
  LONG Status() {
    LONG status = -1;
    EXPECT_EQ(service_->get_Status(&status), S_OK);
    return status;
  }

 private:
  ComPtr<IBankStatementService> service_;
};

using ImportStatementTest = ComTest;

TEST_F(ImportStatementTest, AddsTheHostAccountsRecordsInFileOrderAcrossBothVolumes) {
  ImportScene scene;
  scene.Choose("import/mixed_accounts.txt");
  scene.SetAccount(L"123456", L"12345678");
  ASSERT_EQ(Hex(scene.Run()), Hex(S_OK));
  EXPECT_EQ(scene.log.Take(), ImportCalls(kMixedOwnLines));
  EXPECT_EQ(scene.Status(), 0);
  // The run released every line it was given: only the statement holds them now.
  ASSERT_EQ(scene.statement->lines.size(), 3u);
  for (const auto& line : scene.statement->lines) EXPECT_EQ(line->References(), 1u) << line->Name();
  EXPECT_EQ(scene.account->References(), 2u);  // the test's and the reconciliation's
}

TEST_F(ImportStatementTest, ReadsOneAndTwoVolumeFilesWithLfOrCrLfLineEnds) {
  struct Case {
    const char* fixture;
    std::vector<ExpectedLine> lines;
  };
  const Case kCases[] = {
      {"statement/one_volume.txt", {kAcme}},
      {"statement/two_volumes.txt", {kAcme, kCityPower}},
      // Read in binary: the carriage return is a 107th character, past the record.
      {"statement/two_volumes_crlf.txt", {kAcme, kCityPower}},
  };
  for (const Case& row : kCases) {
    ImportScene scene;
    scene.Choose(row.fixture);
    scene.SetAccount(L"123456", L"12345678");
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.fixture;
    EXPECT_EQ(scene.log.Take(), ImportCalls(row.lines)) << row.fixture;
    EXPECT_EQ(scene.Status(), 0) << row.fixture;
  }
}

TEST_F(ImportStatementTest, OnlyRecordsWhoseSortCodeDigitsAndAccountNumberMatchBecomeLines) {
  const std::wstring padded40 = L"12-34-56" + std::wstring(32, L' ');
  const std::wstring digitAt33 = L"123456" + std::wstring(26, L' ') + L"7";
  const std::wstring account32 = L"12345678" + std::wstring(24, L' ');
  struct Case {
    const char* name;
    const wchar_t* sortCode;
    const wchar_t* accountNumber;
    std::vector<ExpectedLine> lines;
  };
  const Case kCases[] = {
      {"the other account of the file", L"654321", L"87654321", {kOtherAccount}},
      {"sort code with dashes", L"12-34-56", L"12345678", kMixedOwnLines},
      {"sort code with blanks", L"12 34 56", L"12345678", kMixedOwnLines},
      {"seven-digit account number", L"123456", L"1234567", {}},
      {"account number with a trailing blank", L"123456", L"12345678 ", {}},
      // Texts that fill a 32-byte conversion buffer are kept whole, never cut.
      {"sort code of 40 characters with its digits first", padded40.c_str(), L"12345678", kMixedOwnLines},
      {"sort code with a seventh digit as 33rd character", digitAt33.c_str(), L"12345678", {}},
      {"account number of 32 characters", L"123456", account32.c_str(), {}},
      {"an account the file holds no record of", L"11-22-33", L"11223344", {}},
  };
  for (const Case& row : kCases) {
    ImportScene scene;
    scene.Choose("import/mixed_accounts.txt");
    scene.SetAccount(row.sortCode, row.accountNumber);
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    EXPECT_EQ(scene.log.Take(), ImportCalls(row.lines)) << row.name;
    EXPECT_EQ(scene.Status(), 0) << row.name;
  }
}

TEST_F(ImportStatementTest, AFileThatCannotBeReadOrIsNotTheBanksLeavesTheStatementUntouchedWithStatusTwo) {
  struct Case {
    const char* name;
    FakeText path;
  };
  const Case kCases[] = {
      {"another bank's statement", WideFixturePath("import/foreign.txt").c_str()},
      {"a volume header label of 79 characters", WideFixturePath("import/short_label.txt").c_str()},
      {"a missing file", WideFixturePath("import/missing.txt").c_str()},
      {"a directory", WideFixturePath("import").c_str()},
      {"no path", nullptr},
      {"an empty path", L""},
  };
  for (const Case& row : kCases) {
    ImportScene scene;
    scene.host.chooser.path = row.path;
    scene.SetAccount(L"123456", L"12345678");
    ASSERT_EQ(scene.Service()->put_Status(7), S_OK);
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    EXPECT_EQ(scene.log.Take(), kNotReadCalls) << row.name;
    EXPECT_EQ(scene.Status(), 2) << row.name;
  }
}

TEST_F(ImportStatementTest, AChosenPathOfMoreThan259CharactersIsReadAsNoFile) {
  // A statement file whose path has exactly 259 characters: one character more names no file,
  // even though its first 259 characters name this one.
  char directory[MAX_PATH] = {};
  ASSERT_GT(GetTempPathA(MAX_PATH, directory), 0u);
  const std::string prefix = std::string(directory) + "statement_";
  ASSERT_LT(prefix.size(), 200u);
  const std::string path = prefix + std::string(259 - prefix.size() - 4, 'a') + ".txt";
  ASSERT_EQ(path.size(), 259u);
  ASSERT_TRUE(CopyFileA(FixturePath("statement/one_volume.txt").c_str(), path.c_str(), FALSE)) << GetLastError();
  struct Case {
    const char* name;
    std::string chosen;
    Lines calls;
    LONG status;
  };
  const Case kCases[] = {
      {"259 characters", path, ImportCalls({kAcme}), 0},
      {"260 characters", path + "x", kNotReadCalls, 2},
      {"300 characters", path + std::string(41, 'x'), kNotReadCalls, 2},
  };
  for (const Case& row : kCases) {
    ImportScene scene;
    scene.host.chooser.path = std::wstring(row.chosen.begin(), row.chosen.end()).c_str();
    scene.SetAccount(L"123456", L"12345678");
    ASSERT_EQ(scene.Service()->put_Status(7), S_OK);
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    EXPECT_EQ(scene.log.Take(), row.calls) << row.name;
    EXPECT_EQ(scene.Status(), row.status) << row.name;
  }
  DeleteFileA(path.c_str());
}

TEST_F(ImportStatementTest, CancellingTheChoiceLeavesTheStatementUntouched) {
  ImportScene scene;
  scene.Choose("import/mixed_accounts.txt");
  scene.SetAccount(L"123456", L"12345678");
  scene.host.chooser.cancelled = 1;
  ASSERT_EQ(scene.Service()->put_Status(5), S_OK);
  EXPECT_EQ(Hex(scene.Run()), Hex(S_OK));
  EXPECT_EQ(scene.log.Take(), kChoice);
  EXPECT_EQ(scene.Status(), 1);
}

TEST_F(ImportStatementTest, AFailingFileChoiceReturnsTheHostFailureWithStatusZero) {
  const std::string request = "configuration.GetStatementFileRequest(key \"Kelvarn Bank\" zero-filled to 100)";
  struct Case {
    const char* name;
    bool configurationFails;
    Lines calls;
  };
  const Case kCases[] = {
      {"ChooseFile fails",
       false,
       {"configuration created", request, "configuration released", "chooser created", kChoice[4], "chooser released",
        "error info \"no chooser\" released"}},
      {"GetStatementFileRequest fails",
       true,
       {"configuration created", request, "configuration released", "error info \"no chooser\" released"}},
  };
  for (const Case& row : kCases) {
    ImportScene scene;
    scene.Choose("import/mixed_accounts.txt");
    scene.SetAccount(L"123456", L"12345678");
    (row.configurationFails
         ? scene.host.configuration.failures
         : scene.host.chooser.failures)[row.configurationFails ? "GetStatementFileRequest" : "ChooseFile"] = {
        E_FAIL, L"no chooser"};
    ASSERT_EQ(scene.Service()->put_Status(3), S_OK);
    EXPECT_EQ(Hex(scene.Run()), Hex(DISP_E_EXCEPTION)) << row.name;
    EXPECT_EQ(scene.log.Take(), row.calls) << row.name;
    EXPECT_EQ(scene.Status(), 0) << row.name;
    EXPECT_EQ(TakeErrorDescription(), "(none)") << row.name;
  }
}

// How the host's account can fail to select any record, and the calls the run then makes.
struct UnusableAccountCase {
  const char* name;
  void (*prepare)(ImportScene&);
  Lines accountCalls;
};
const UnusableAccountCase kUnusableAccounts[] = {
    {"BankAccount fails",
     [](ImportScene& scene) {
       scene.reconciliation->failures["get_BankAccount"] = {E_FAIL, L""};
     },
     {"reconciliation.get_BankAccount()"}},
    {"BankAccount yields no account",
     [](ImportScene& scene) { scene.reconciliation->account = nullptr; },
     {"reconciliation.get_BankAccount()"}},
    {"no account number", [](ImportScene& scene) { scene.SetAccount(L"12-34-56", nullptr); }, kAccount},
    {"an empty account number", [](ImportScene& scene) { scene.SetAccount(L"12-34-56", L""); }, kAccount},
    {"BankAccountNumber fails",
     [](ImportScene& scene) {
       scene.account->failures["get_BankAccountNumber"] = {E_FAIL, L""};
     },
     kAccount},
    {"an account number with a character above U+00FF",
     [](ImportScene& scene) { scene.SetAccount(L"12-34-56", L"1234567\u0100"); }, kAccount},
    {"no sort code", [](ImportScene& scene) { scene.SetAccount(nullptr, L"12345678"); }, kAccount},
    {"an empty sort code", [](ImportScene& scene) { scene.SetAccount(L"", L"12345678"); }, kAccount},
    {"a sort code without a digit", [](ImportScene& scene) { scene.SetAccount(L"--", L"12345678"); }, kAccount},
    {"a sort code with en dashes", [](ImportScene& scene) { scene.SetAccount(L"12\u201334\u201356", L"12345678"); },
     kAccount},
};

TEST_F(ImportStatementTest, AnAccountThatCannotSelectRecordsLeavesTheStatementUntouchedWithStatusTwo) {
  for (const UnusableAccountCase& row : kUnusableAccounts) {
    ImportScene scene;
    scene.Choose("import/mixed_accounts.txt");
    scene.SetAccount(L"12-34-56", L"12345678");
    row.prepare(scene);
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    EXPECT_EQ(scene.log.Take(), Concatenate({kChoice, row.accountCalls})) << row.name;
    EXPECT_EQ(scene.Status(), 2) << row.name;
  }
}

TEST_F(ImportStatementTest, AfterARunThatSucceededAnUnusableAccountImportsNothing) {
  for (const UnusableAccountCase& row : kUnusableAccounts) {
    ImportScene scene;
    scene.Choose("import/mixed_accounts.txt");
    scene.SetAccount(L"65-43-21", L"87654321");
    ASSERT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    ASSERT_EQ(scene.log.Take(), ImportCalls({kOtherAccount})) << row.name;
    ASSERT_EQ(scene.Status(), 0) << row.name;

    // The same service: nothing of the first run's account is left to select records with.
    scene.NewStatement();
    row.prepare(scene);
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    EXPECT_EQ(scene.log.Take(), Concatenate({kChoice, row.accountCalls})) << row.name;
    EXPECT_EQ(scene.Status(), 2) << row.name;
  }
}

TEST_F(ImportStatementTest, ANewServiceWhoseBankAccountFailsLeavesTheStatementUntouched) {
  // Files with blank records (passed-over lines, the end of the first volume).
  for (const char* fixture : {"statement/one_volume.txt", "statement/two_volumes.txt"}) {
    ImportScene scene;
    scene.Choose(fixture);
    scene.reconciliation->failures["get_BankAccount"] = {E_FAIL, L""};
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << fixture;
    EXPECT_EQ(scene.log.Take(), Concatenate({kChoice, {"reconciliation.get_BankAccount()"}})) << fixture;
    EXPECT_EQ(scene.Status(), 2) << fixture;
  }
}

TEST_F(ImportStatementTest, AStatementThatYieldsNoLineEndsTheAdding) {
  struct Case {
    const char* name;
    void (*prepare)(FakeBankStatement&);
  };
  const Case kCases[] = {
      {"AddLine yields no line", [](FakeBankStatement& statement) { statement.addLineYieldsNothing = true; }},
      {"AddLine fails",
       [](FakeBankStatement& statement) {
         statement.failures["AddLine"] = {E_FAIL, L""};
       }},
  };
  for (const Case& row : kCases) {
    ImportScene scene;
    scene.Choose("import/mixed_accounts.txt");
    scene.SetAccount(L"123456", L"12345678");
    row.prepare(*scene.statement.get());
    EXPECT_EQ(Hex(scene.Run()), Hex(S_OK)) << row.name;
    EXPECT_EQ(scene.log.Take(), Concatenate({kChoice, kAccount, kReset, {"statement.AddLine()"}})) << row.name;
    EXPECT_EQ(scene.Status(), 0) << row.name;
  }
}

TEST_F(ImportStatementTest, TheRecogniserKnowsTheBanksStatementFilesByTheirMark) {
  struct Case {
    const char* fixture;
    bool recognised;
  };
  const Case kCases[] = {
      {"statement/one_volume.txt", true},
      {"statement/two_volumes_crlf.txt", true},
      {"import/foreign.txt", false},
      {"import/short_label.txt", false},
      // Recognition reads text mode: the carriage return does not lengthen the label to 80.
      {"import/short_label_crlf.txt", false},
      {"import/missing.txt", false},
  };
  ImportScene scene;
  scene.host.chooser.cancelled = 1;
  Lines expected(kChoice.begin(), kChoice.begin() + 5);
  for (const Case& row : kCases) {
    const std::string path = FixturePath(row.fixture);
    scene.host.chooser.candidates.push_back(path);
    expected.push_back(
        "recogniser(" + Quoted(path.c_str()) +
        ") = " + (row.recognised ? "1, description \"Kelvarn Bank Statement\"" : "0, description \"(untouched)\""));
  }
  expected.insert(expected.end(), kChoice.begin() + 5, kChoice.end());
  EXPECT_EQ(Hex(scene.Run()), Hex(S_OK));
  EXPECT_EQ(scene.log.Take(), expected);
  EXPECT_EQ(scene.Status(), 1);
}

TEST_F(ImportStatementTest, NullArgumentsAreRejectedBeforeAnythingIsCalled) {
  ImportScene scene;
  scene.Choose("import/mixed_accounts.txt");
  IBankStatementService* service = scene.Service();
  ASSERT_TRUE(service);
  ASSERT_EQ(service->put_Status(4), S_OK);
  EXPECT_EQ(Hex(service->ImportStatement(nullptr, scene.statement.get())), Hex(kInvalidArgumentReturned));
  EXPECT_EQ(TakeErrorDescription(), "Invalid argument");
  EXPECT_EQ(Hex(service->ImportStatement(scene.reconciliation.get(), nullptr)), Hex(kInvalidArgumentReturned));
  EXPECT_EQ(TakeErrorDescription(), "Invalid argument");
  EXPECT_EQ(scene.log.Take(), Lines{});
  EXPECT_EQ(scene.Status(), 4);
}

}  // namespace
}  // namespace kelvarn::test
