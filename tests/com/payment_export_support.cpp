#include "tests/com/payment_export_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/ole_date.h"
#include "payment/banking_calendar.h"

namespace kelvarn::test {

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  static int serial = 0;
  for (;;) {
    path_ =
        std::string(temp) + "kelvarn-export-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create " << path_;
      break;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  for (const std::string& name : Entries()) {
    SetFileAttributesA(File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(File(name).c_str())) RemoveDirectoryA(File(name).c_str());
  }
  RemoveDirectoryA(path_.c_str());
}

std::vector<std::string> ScratchFolder::Entries() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

ExportScene::ExportScene() : host(log), payments(MakeFake<FakeBankPayments>(log)) {
  host.configuration.directory = folder.Path();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file << bytes;
}

double Today() { return std::floor(BankingCalendar::CurrentLocalDate()); }

double ProposedDay() { return std::floor(BankingCalendar::NextBankingDay(BankingCalendar::CurrentLocalDate())); }

namespace {

CivilDateTime CivilOf(double day) {
  CivilDateTime civil;
  EXPECT_TRUE(CivilFromOleDate(day, civil));
  return civil;
}

}  // namespace

std::string PickerText(double day) {
  const CivilDateTime civil = CivilOf(day);
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", civil.day, civil.month, civil.year);
  return text;
}

std::string FileDate(double day) {
  const CivilDateTime civil = CivilOf(day);
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%04d", civil.day, civil.month, civil.year);
  return text;
}

double FindDay(double from, int step, const std::function<bool(double)>& accept) {
  for (int days = 0; days < 800; ++days) {
    const double day = from + step * days;
    if (accept(day)) return day;
  }
  ADD_FAILURE() << "no such day near " << PickerText(from);
  return from;
}

void ChooseDay(UiDriver& user, HWND dialog, double day) {
  const CivilDateTime civil = CivilOf(day);
  user.ChooseDate(dialog, kPickerId, civil.year, civil.month, civil.day);
}

ExportOutcome RunExport(IBankPayments* payments, const std::function<void(UiDriver&)>& script) {
  ExportOutcome outcome;
  auto service = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  if (!service) return outcome;
  service->put_Status(kStatusBefore);
  outcome.userFailure = RunAsUser(script, [&] { outcome.hr = service->ExportPayments(payments, nullptr); });
  service->get_Status(&outcome.status);
  return outcome;
}

void FillValidPayment(FakeBankPayment& payment, double amount, const wchar_t* payeeName) {
  payment.amount = amount;
  payment.payerSortCode = L"12-34-56";
  payment.payerAccountNumber = L"12345678";
  payment.payerAccountName = L"Acme Trading Ltd";
  payment.payeeSortCode = L"654321";
  payment.payeeAccountNumber = L"87654321";
  payment.payeeAccountName = payeeName;
}

std::string ValidPaymentLine(const std::string& amount, const std::string& fileDate, const std::string& payeeName) {
  return "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"65432187654321\",\"" + amount + "\",\"" + fileDate +
         "\",\"EUR\",\"E\",\"" + payeeName + "\",\"" + payeeName +
         "\",\"Acme Trading Ltd\",\"\",\"\",\"\",\"\",\"Acme Trading Ltd\",\"\",\"\"\r\n";
}

}  // namespace kelvarn::test
