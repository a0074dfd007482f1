// import and recognise: ImportStatement on the statement service, with the host's chooser,
// reconciliation and statement from the test support's stand-ins.
#include <cmath>
#include <optional>

#include "common/ole_date.h"
#include "frame/owners.h"
#include "refhost/host_commands.h"
#include "refhost/json_writer.h"
#include "refhost/windows_text.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_host_components.h"
#include "tests/support/fake_host_objects.h"
#include "trelk_kelvarn_bank.h"

namespace refhost {
namespace {

using kelvarn::ComPtr;
using namespace kelvarn::test;

HRESULT CreateStatementService(ComPtr<IBankStatementService>& service) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(L"TrelkKelvarnBank.BankStatementService", &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IBankStatementService), service.put_void());
  }
  return hr;
}

FakeText WideText(const std::string& utf8) {
  FakeText text;
  text.text = WideFromUtf8(utf8);
  return text;
}

void OptionalText(JsonWriter& json, const std::optional<FakeText>& text) {
  if (text && !text->isNull) {
    json.String(Utf8FromWide(text->text));
  } else {
    json.Null();
  }
}

// The calendar date of the day an OLE date falls in, as the platform converts it (before 1899
// the whole part counts days back and the fraction still runs forward); null outside the years
// 100 to 9999.
void DayOf(JsonWriter& json, const std::optional<DATE>& date) {
  kelvarn::CivilDateTime civil;
  if (!date || !kelvarn::CivilFromOleDate(*date, civil)) {
    json.Null();
    return;
  }
  json.String(FormatCalendarDate({civil.year, civil.month, civil.day}));
}

}  // namespace

CommandOutput RunImport(const ImportOptions& options) {
  CallLog log;
  FakeHostComponents host(log);
  const std::string path = WindowsPath(options.statement);
  host.chooser.candidates = {AnsiFromUtf8(path)};
  host.chooser.cancelled = 0;
  host.chooser.path = WideText(path);

  auto reconciliation = MakeFake<FakeBankReconciliation>(log);
  if (options.sortCode || options.accountNumber) {
    reconciliation->account = MakeFake<FakeBankAccount>(log);
    reconciliation->account->sortCode = WideText(options.sortCode.value_or(""));
    reconciliation->account->accountNumber = WideText(options.accountNumber.value_or(""));
  } else {
    // A host whose reconciliation has no bank account set up.
    reconciliation->failures["get_BankAccount"] = {E_FAIL, L"The reconciliation has no bank account."};
  }
  auto statement = MakeFake<FakeBankStatement>(log);

  ComPtr<IBankStatementService> service;
  HRESULT hr = CreateStatementService(service);
  if (FAILED(hr)) {
    JsonWriter json;
    json.BeginObject().Key("hresult").String(HresultText(hr)).EndObject();
    return {hr, json.Finish(), {}};
  }
  hr = service->ImportStatement(reconciliation.get(), statement.get());
  LONG status = 0;
  const HRESULT statusHr = service->get_Status(&status);

  JsonWriter json;
  json.BeginObject().Key("hresult").String(HresultText(hr)).Key("status");
  if (SUCCEEDED(statusHr)) {
    json.Integer(status);
  } else {
    json.Null();
  }
  json.Key("reset").Boolean(statement->resetCalled).Key("balance").OptionalNumber(statement->balance);
  json.Key("lines").BeginArray();
  for (const auto& line : statement->lines) {
    json.BeginObject().Key("line_number");
    if (line->lineNumber) {
      json.Integer(*line->lineNumber);
    } else {
      json.Null();
    }
    json.Key("credit");
    if (line->credit) {
      json.Integer(*line->credit);
    } else {
      json.Null();
    }
    json.Key("amount").OptionalNumber(line->amount).Key("date");
    DayOf(json, line->date);
    json.Key("name");
    OptionalText(json, line->name);
    json.Key("reference");
    OptionalText(json, line->reference);
    json.EndObject();
  }
  json.EndArray().EndObject();
  return {hr, json.Finish(), {}};
}

CommandOutput RunRecognise(const std::vector<std::string>& files) {
  CallLog log;
  FakeHostComponents host(log);
  for (const std::string& file : files) host.chooser.candidates.push_back(AnsiFromUtf8(WindowsPath(file)));
  host.chooser.cancelled = 1;  // the user looked at the files and chose none

  ComPtr<IBankStatementService> service;
  HRESULT hr = CreateStatementService(service);
  if (SUCCEEDED(hr)) {
    auto reconciliation = MakeFake<FakeBankReconciliation>(log);
    auto statement = MakeFake<FakeBankStatement>(log);
    hr = service->ImportStatement(reconciliation.get(), statement.get());
  }

  JsonWriter json;
  if (FAILED(hr)) {
    json.BeginObject().Key("hresult").String(HresultText(hr)).EndObject();
    return {hr, json.Finish(), {}};
  }
  json.BeginArray();
  for (std::size_t index = 0; index < files.size() && index < host.recognitions.size(); ++index) {
    const Recognition& answer = host.recognitions[index];
    json.BeginObject().Key("path").String(files[index]).Key("recognised").Boolean(answer.result != 0);
    json.Key("description");
    if (answer.result != 0) {
      json.String(Utf8FromAnsi(answer.description));
    } else {
      json.Null();
    }
    json.EndObject();
  }
  json.EndArray();
  return {hr, json.Finish(), {}};
}

}  // namespace refhost
