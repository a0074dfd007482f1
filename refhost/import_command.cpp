// import and recognise: ImportStatement on the statement service, with the host's chooser,
// reconciliation and statement from the test support's stand-ins.
#include <cmath>
#include <optional>

#include "common/ole_date.h"
#include "frame/owners_win.h"
#include "refhost/host_commands.h"
#include "refhost/json_writer.h"
#include "refhost/text_answer.h"
#include "refhost/windows_text.h"
#include "fakehost/call_log.h"
#include "fakehost/fake_host_components.h"
#include "fakehost/fake_host_objects.h"
#include "trelk_kelvarn_bank.h"

namespace refhost {
namespace {

using kelvarn::ComPtr;
using namespace kelvarn::test;

HRESULT CreateStatementService(ComPtr<IBankStatementService>& service) {
  return CreateByProgId(L"TrelkKelvarnBank.BankStatementService", __uuidof(IBankStatementService), service.put_void());
}

std::optional<std::int64_t> AsInteger(const std::optional<LONG>& value) {
  return value ? std::optional<std::int64_t>(*value) : std::nullopt;
}

FakeText WideText(const std::string& utf8) {
  FakeText text;
  text.text = WideFromUtf8(utf8);
  return text;
}

std::optional<std::string> Text(const std::optional<FakeText>& text) {
  return text && !text->isNull ? std::optional<std::string>(Utf8FromWide(text->text)) : std::nullopt;
}

// The calendar date of the day an OLE date falls in, as the platform converts it (before 1899
// the whole part counts days back and the fraction still runs forward); null outside the years
// 100 to 9999.
std::optional<std::string> DayOf(const std::optional<DATE>& date) {
  kelvarn::CivilDateTime civil;
  if (!date || !kelvarn::CivilFromOleDate(*date, civil)) return std::nullopt;
  return FormatCalendarDate({civil.year, civil.month, civil.day});
}

// The statement's fixed-width fields without the blanks that fill them.
std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
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
  if (FAILED(hr)) return FailedCommand(hr);
  hr = service->ImportStatement(reconciliation.get(), statement.get());
  LONG status = 0;
  const HRESULT statusHr = service->get_Status(&status);

  JsonWriter json;
  json.BeginObject().Key("hresult").String(HresultText(hr));
  json.Key("status").OptionalInteger(SUCCEEDED(statusHr) ? std::optional<std::int64_t>(status) : std::nullopt);
  json.Key("reset").Boolean(statement->resetCalled).Key("balance").OptionalNumber(statement->balance);
  json.Key("lines").BeginArray();
  for (const auto& line : statement->lines) {
    json.BeginObject()
        .Key("line_number")
        .OptionalInteger(AsInteger(line->lineNumber))
        .Key("credit")
        .OptionalInteger(AsInteger(line->credit))
        .Key("amount")
        .OptionalNumber(line->amount)
        .Key("date")
        .OptionalString(DayOf(line->date))
        .Key("name")
        .OptionalString(Text(line->name))
        .Key("reference")
        .OptionalString(Text(line->reference))
        .EndObject();
  }
  json.EndArray().EndObject();
  CommandOutput output{hr, json.Finish(), {}, {}};
  output.text = "import: " + HresultWords(static_cast<std::uint32_t>(hr));
  if (SUCCEEDED(statusHr)) output.text += ", status " + std::to_string(status) + ": " + ImportStatusWords(status);
  output.text += "\n";
  if (statement->resetCalled) {
    output.text += "statement reset, " + std::to_string(statement->lines.size()) + " lines added, balance " +
                   (statement->balance ? MoneyText(*statement->balance) : std::string("not set")) + "\n";
  } else {
    output.text += "statement left as it was\n";
  }
  if (!statement->lines.empty()) {
    std::vector<std::vector<std::string>> rows = {{"line", "date", "kind", "amount", "name", "reference"}};
    for (const auto& line : statement->lines) {
      rows.push_back({line->lineNumber ? std::to_string(*line->lineNumber) : "-", DayOf(line->date).value_or("-"),
                      !line->credit   ? "-"
                      : *line->credit ? "credit"
                                      : "debit",
                      line->amount ? MoneyText(*line->amount) : "-", Trimmed(Text(line->name).value_or("-")),
                      Trimmed(Text(line->reference).value_or("-"))});
    }
    output.text += TextTable(rows, {0, 3});
  }
  return output;
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

  if (FAILED(hr)) return FailedCommand(hr);
  JsonWriter json;
  json.BeginArray();
  for (std::size_t index = 0; index < files.size() && index < host.recognitions.size(); ++index) {
    const Recognition& answer = host.recognitions[index];
    const bool recognised = answer.result != 0;
    json.BeginObject()
        .Key("path")
        .String(files[index])
        .Key("recognised")
        .Boolean(recognised)
        .Key("description")
        .OptionalString(recognised ? std::optional<std::string>(Utf8FromAnsi(answer.description)) : std::nullopt)
        .EndObject();
  }
  json.EndArray();
  CommandOutput output{hr, json.Finish(), {}, {}};
  for (std::size_t index = 0; index < files.size() && index < host.recognitions.size(); ++index) {
    const Recognition& answer = host.recognitions[index];
    output.text += files[index] + ": " +
                   (answer.result != 0 ? "recognised (" + Utf8FromAnsi(answer.description) + ")" : "not recognised") +
                   "\n";
  }
  return output;
}

}  // namespace refhost
