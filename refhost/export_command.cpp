// export: ExportPayments on the payment service, with the host's configuration and payments from
// the test support's stand-ins and a scripted user who answers the dialogs.
#include <optional>

#include "frame/owners_win.h"
#include "refhost/host_commands.h"
#include "refhost/json_writer.h"
#include "refhost/text_answer.h"
#include "refhost/windows_text.h"
#include "fakehost/call_log.h"
#include "fakehost/fake_host_components.h"
#include "fakehost/fake_host_objects.h"
#include "fakehost/ui_automation.h"
#include "trelk_kelvarn_bank.h"

namespace refhost {
namespace {

using kelvarn::ComPtr;
using kelvarn::UniqueBstr;
using namespace kelvarn::test;

constexpr int kPickerId = 2003;  // the processing-date dialog's date picker
// Enough for the dialogs of any run; a window that never comes ends the script earlier anyway,
// when the run returns.
constexpr std::chrono::minutes kScriptTimeout(5);

FakeText TextOf(const std::optional<std::u16string>& value) {
  if (!value) return FakeText(nullptr);
  FakeText text;
  text.text.assign(value->begin(), value->end());  // wchar_t is UTF-16 on Windows
  return text;
}

// The folder part of a Windows path ("Z:\a\b.csv" is "Z:\a").
std::string FolderOf(const std::string& windowsPath) {
  const std::size_t slash = windowsPath.find_last_of('\\');
  return slash == std::string::npos ? std::string() : windowsPath.substr(0, slash);
}

struct FileState {
  bool exists = false;
  FILETIME written{};
  ULONGLONG size = 0;
  friend bool operator==(const FileState& a, const FileState& b) {
    return a.exists == b.exists && a.size == b.size && CompareFileTime(&a.written, &b.written) == 0;
  }
};

FileState StateOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FileState state;
  if (!GetFileAttributesExW(WideFromUtf8(path).c_str(), GetFileExInfoStandard, &data)) return state;
  state.exists = true;
  state.written = data.ftLastWriteTime;
  state.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return state;
}

bool HasButton(const MessageBoxSeen& box, const std::string& button) {
  return (" " + box.buttons + " ").find(" " + button + " ") != std::string::npos;
}

// The user at the screen: answers each window the run shows until the run returns.
class ExportUser {
 public:
  ExportUser(const ExportOptions& options, std::string savePath) : options_(options), savePath_(std::move(savePath)) {}

  void Act(UiDriver& user) {
    while (const HWND window = user.WaitForAny()) {
      switch (KindOf(window)) {
        case DialogKind::kMessageBox:
          AnswerMessageBox(user, window);
          break;
        case DialogKind::kProcessingDate:
          AnswerDateDialog(user, window);
          break;
        case DialogKind::kSaveFile:
          AnswerSaveDialog(user, window);
          break;
        case DialogKind::kOther:
          user.Press(window, IDCANCEL);
          break;
      }
    }
  }

  const std::vector<MessageBoxSeen>& Messages() const { return messages_; }
  bool SaveAnswered() const { return saveAnswered_ && !saveCancelled_; }

 private:
  void AnswerMessageBox(UiDriver& user, HWND box) {
    // A box slow to close under load is seen again: it was answered already.
    if (box == lastBox_ && IsWindow(box)) {
      Sleep(20);
      return;
    }
    lastBox_ = box;
    const MessageBoxSeen seen = ReadMessageBox(box);
    const HWND owner = GetWindow(box, GW_OWNER);
    if (saveDialog_ && owner == saveDialog_) {
      // The save dialog's own prompt: overwrite (Yes, or No to keep the file), or a complaint.
      if (HasButton(seen, "Yes") && !options_.keepExisting) {
        user.Press(box, IDYES);
      } else {
        user.Press(box, HasButton(seen, "No") ? IDNO : IDOK);
        saveCancelled_ = true;
      }
      return;
    }
    messages_.push_back(seen);
    const bool question = HasButton(seen, "Yes");
    // A date the dialog refuses: the user gives up and cancels the dialog.
    if (!question && owner && KindOf(owner) == DialogKind::kProcessingDate) dateRefused_ = true;
    user.Press(box, question ? IDYES : IDOK);
  }

  void AnswerDateDialog(UiDriver& user, HWND dialog) {
    if (dateRefused_) {
      user.Press(dialog, IDCANCEL);
      return;
    }
    if (options_.date && !dateChosen_) {
      user.ChooseDate(dialog, kPickerId, options_.date->year, options_.date->month, options_.date->day);
      dateChosen_ = true;
    }
    user.Press(dialog, IDOK);
  }

  void AnswerSaveDialog(UiDriver& user, HWND dialog) {
    // The dialog answered a moment ago, slow to close under load (after its overwrite prompt's
    // Yes), is seen again: it was answered already.
    if (dialog == saveDialog_ && saveAnswered_ && !saveCancelled_ && IsWindow(dialog)) {
      Sleep(20);
      return;
    }
    if (saveAnswered_ || saveCancelled_) {  // the file was refused or kept: no other file is chosen
      saveCancelled_ = true;
      user.Press(dialog, IDCANCEL);
      return;
    }
    saveDialog_ = dialog;
    user.SetFileName(dialog, savePath_);
    saveAnswered_ = true;
    user.Press(dialog, IDOK);
  }

  const ExportOptions& options_;
  std::string savePath_;  // ANSI Windows path
  std::vector<MessageBoxSeen> messages_;
  HWND saveDialog_ = nullptr;
  HWND lastBox_ = nullptr;
  bool dateRefused_ = false;
  bool dateChosen_ = false;
  bool saveAnswered_ = false;
  bool saveCancelled_ = false;
};

}  // namespace

CommandOutput RunExport(const ExportOptions& options, const std::vector<CsvPayment>& csvPayments) {
  CallLog log;
  FakeHostComponents host(log);
  const std::string outWindows = WindowsPath(options.out);
  host.configuration.fileName = AnsiFromUtf8(options.fileName);
  host.configuration.extension = AnsiFromUtf8(options.extension);
  host.configuration.directory =
      AnsiFromUtf8(options.directory ? WindowsPath(*options.directory) : FolderOf(outWindows));

  auto payments = MakeFake<FakeBankPayments>(log);
  for (const CsvPayment& row : csvPayments) {
    FakeBankPayment& payment = payments->Add();
    payment.amount = row.amount;
    payment.payerSortCode = TextOf(row.payerSortCode);
    payment.payerAccountNumber = TextOf(row.payerAccountNumber);
    payment.payerAccountName = TextOf(row.payerAccountName);
    payment.payeeSortCode = TextOf(row.payeeSortCode);
    payment.payeeAccountNumber = TextOf(row.payeeAccountNumber);
    payment.payeeAccountName = TextOf(row.payeeAccountName);
  }

  ComPtr<IBankPaymentService> service;
  HRESULT hr =
      CreateByProgId(L"TrelkKelvarnBank.BankPaymentService", __uuidof(IBankPaymentService), service.put_void());
  if (FAILED(hr)) return FailedCommand(hr);

  // The save dialog adds the configured extension to a name typed without one.
  std::vector<std::string> candidates = {options.out};
  const std::size_t slash = options.out.find_last_of('/');
  if (options.out.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) {
    candidates.push_back(options.out + "." + options.extension);
  }
  std::vector<FileState> before;
  before.reserve(candidates.size());
  for (const std::string& candidate : candidates) before.push_back(StateOf(WindowsPath(candidate)));
  ExportUser user(options, AnsiFromUtf8(outWindows));
  const std::string failure = RunAsUser([&](UiDriver& driver) { user.Act(driver); },
                                        [&] { hr = service->ExportPayments(payments.get(), nullptr); }, kScriptTimeout);
  if (!failure.empty())
    std::fprintf(stderr, "kelvarn: the dialogs could not be answered as asked: %s\n", failure.c_str());

  LONG status = 0;
  const HRESULT statusHr = service->get_Status(&status);

  JsonWriter json;
  json.BeginObject().Key("hresult").String(HresultText(hr));
  json.Key("status").OptionalInteger(SUCCEEDED(statusHr) ? std::optional<std::int64_t>(status) : std::nullopt);
  json.Key("messages").BeginArray();
  for (const MessageBoxSeen& seen : user.Messages()) {
    json.BeginObject()
        .Key("caption")
        .String(Utf8FromAnsi(seen.caption))
        .Key("text")
        .String(Utf8FromAnsi(seen.text))
        .EndObject();
  }
  json.EndArray();
  std::vector<std::vector<std::string>> rows = {{"payment", "amount", "result"}};
  json.Key("payments").BeginArray();
  for (std::size_t index = 0; index < payments->payments.size(); ++index) {
    const LONG code = payments->payments[index]->resultCode;
    json.BeginObject().Key("index").Integer(static_cast<std::int64_t>(index));
    std::optional<std::int64_t> resultCode;
    std::optional<std::string> resultText;
    if (code != -1) {
      resultCode = code;
      UniqueBstr text;
      if (SUCCEEDED(service->GetStatusText(code, text.put())) && text.get()) resultText = Utf8FromBstr(text.get());
    }
    json.Key("result_code").OptionalInteger(resultCode).Key("result_text").OptionalString(resultText);
    json.EndObject();
    rows.push_back({std::to_string(index + 1), "EUR " + MoneyText(payments->payments[index]->amount),
                    resultCode ? std::to_string(*resultCode) + " " + resultText.value_or("(no text)") : "ok"});
  }
  json.EndArray();
  // Written: the file a run wrote its lines to (Status 0 or 1: changed, or at least there), or
  // one a run that failed part-way changed.
  std::optional<std::string> written;
  if (user.SaveAnswered() && SUCCEEDED(statusHr) && status >= 0 && status <= 2) {
    for (std::size_t index = 0; index < candidates.size() && !written; ++index) {
      const FileState after = StateOf(WindowsPath(candidates[index]));
      if (after.exists && !(after == before[index])) written = candidates[index];
    }
    for (std::size_t index = 0; index < candidates.size() && !written && status != 2; ++index) {
      if (StateOf(WindowsPath(candidates[index])).exists) written = candidates[index];
    }
  }
  json.Key("file").OptionalString(written);
  json.EndObject();
  CommandOutput output{hr, json.Finish(), failure, {}};
  output.text = "export: " + HresultWords(static_cast<std::uint32_t>(hr));
  if (SUCCEEDED(statusHr)) output.text += ", status " + std::to_string(status) + ": " + ExportStatusWords(status);
  output.text += "\n";
  for (const MessageBoxSeen& seen : user.Messages())
    output.text += "message \"" + Utf8FromAnsi(seen.caption) + "\": " + Utf8FromAnsi(seen.text) + "\n";
  if (rows.size() > 1) output.text += TextTable(rows, {0, 1});
  output.text += "file: " + written.value_or("none written") + "\n";
  return output;
}

}  // namespace refhost
