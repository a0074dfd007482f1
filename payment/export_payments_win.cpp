#include "payment/export_payments_win.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "common/file_owner.h"
#include "frame/error_reporting_win.h"
#include "frame/owners_win.h"
#include "host/host_components_win.h"
#include "payment/byte_sink.h"
#include "payment/default_payment_path.h"
#include "payment/host_payment_reader_win.h"
#include "payment/payment_file_chooser_win.h"
#include "payment/payment_file_writer.h"
#include "payment/processing_date_dialog_win.h"
#include "payment/processing_date_rules.h"
#include "payment/user_message_box_win.h"

namespace kelvarn {
namespace {

// The folder part of a path, up to and with its last separator; "." when there is none.
std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? std::string(".") : path.substr(0, separator + 1);
}

// The payment file while it is written: a new file under a temporary name in the chosen file's
// folder, which takes the chosen path only when complete. A run that fails on the way leaves the
// chosen path as it was; the temporary file is removed unless it was moved.
class PendingPaymentFile {
 public:
  explicit PendingPaymentFile(const std::string& chosenPath) : chosenPath_(chosenPath) {
    char temporaryPath[MAX_PATH];
    // Creates the file under a name no other file of the folder has.
    if (GetTempFileNameA(FolderOf(chosenPath).c_str(), "kvb", 0, temporaryPath) == 0) return;
    temporaryPath_ = temporaryPath;
    // Binary mode: the line writer ends each line with CR LF itself.
    file_.reset(std::fopen(temporaryPath, "wb"));
  }
  PendingPaymentFile(const PendingPaymentFile&) = delete;
  PendingPaymentFile& operator=(const PendingPaymentFile&) = delete;
  ~PendingPaymentFile() { Discard(); }

  // Null when the temporary file could not be created or opened.
  std::FILE* File() const noexcept { return file_.get(); }

  // Closes the file and moves it over the chosen path; false when either fails (the temporary
  // file is then removed and the chosen path untouched).
  bool Commit() noexcept {
    const bool closed = CloseFile(file_);
    if (closed && MoveFileExA(temporaryPath_.c_str(), chosenPath_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      temporaryPath_.clear();
      return true;
    }
    Discard();
    return false;
  }

 private:
  void Discard() noexcept {
    file_.reset();
    if (!temporaryPath_.empty()) DeleteFileA(temporaryPath_.c_str());
    temporaryPath_.clear();
  }

  const std::string chosenPath_;
  std::string temporaryPath_;  // empty once moved or removed
  UniqueFile file_;
};

// The text of a NUL-terminated buffer.
template <std::size_t Size>
std::string BufferText(const std::array<char, Size>& buffer) {
  std::size_t length = 0;
  while (length < Size && buffer[length] != '\0') ++length;
  return std::string(buffer.data(), length);
}

bool DirectoryHasEntries(const std::string& pattern) {
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

void ShowOverActiveWindow(const UserMessage& message) { ShowUserMessage(GetActiveWindow(), message); }

struct LoopResult {
  bool collectionFailed = false;
  bool paymentFailedCheck = false;
};

// One line per payment, in the collection's order, until the collection fails to give one.
LoopResult WritePayments(ByteSink& file, IBankPayments& payments, LONG count, double processingDate) {
  LoopResult result;
  for (LONG index = 0; index < count; ++index) {
    ComPtr<IBankPayment> payment;
    // A collection that answers S_OK without a payment has not given one either.
    if (FAILED(payments.get_Item(index, payment.put())) || !payment) {
      result.collectionFailed = true;
      break;
    }
    HostPaymentReader reader(payment.get());
    if (!PaymentFileWriter::WritePaymentLine(file, reader, processingDate)) result.paymentFailedCheck = true;
  }
  return result;
}

}  // namespace

HRESULT RunPaymentExport(LONG& status, IBankPayments* payments, IDispatch* /*context: not used*/) {
  BankingConfigurationClient configuration;
  const PaymentFileDefaults defaults = configuration.GetPaymentFileDefaults();
  // At most three characters: the configuration client cuts a longer one.
  const std::string extension = BufferText(defaults.extension);

  const std::string initialPath = BuildDefaultPaymentPath(BufferText(defaults.fileName), BufferText(defaults.directory),
                                                          DirectoryHasEntries, ShowOverActiveWindow);
  status = kExportWritten;
  const std::string filter = BuildPaymentFileFilter(extension);
  RequirePointer(payments);

  ProcessingDateDialog dateDialog;
  // kDialogFailed (not created, or failed while shown) ends the run as cancelled too.
  if (dateDialog.Show(GetActiveWindow()) != kDialogOk) {
    status = kExportCancelled;
    return S_OK;
  }
  const double processingDate = dateDialog.Date();

  PaymentFileChooser chooser(extension, initialPath, filter);
  if (chooser.Show(GetActiveWindow()) != kDialogOk) {
    status = kExportCancelled;
    return S_OK;
  }

  LONG count = 0;
  // A collection that cannot say how many payments it has is a collection failure; the chosen
  // file is then left as it was rather than emptied.
  if (FAILED(payments->get_Count(&count))) {
    status = kExportFileOrCollectionFailed;
    return S_OK;
  }

  PendingPaymentFile file(chooser.Path());
  if (!file.File()) {
    status = kExportFileOrCollectionFailed;
    return S_OK;
  }
  FileByteSink sink(file.File());
  const LoopResult result = WritePayments(sink, *payments, count, processingDate);
  // Only a file that every line reached, and that was closed, replaces what the path held.
  const bool written = !result.collectionFailed && !sink.Failed() && file.Commit();

  if (result.paymentFailedCheck) status = kExportPaymentFailedCheck;
  if (!written) status = kExportFileOrCollectionFailed;
  return result.paymentFailedCheck ? S_FALSE : S_OK;
}

}  // namespace kelvarn
