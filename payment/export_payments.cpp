#include "payment/export_payments.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "frame/error_reporting.h"
#include "frame/owners.h"
#include "host/host_components.h"
#include "payment/byte_sink.h"
#include "payment/default_payment_path.h"
#include "payment/host_payment_reader.h"
#include "payment/payment_file_chooser.h"
#include "payment/payment_file_writer.h"
#include "payment/processing_date_dialog.h"
#include "payment/processing_date_rules.h"
#include "payment/user_message_box.h"

namespace kelvarn {
namespace {

struct CloseFile {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, CloseFile>;

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

  const std::string initialPath = BuildDefaultPaymentPath(BufferText(defaults.fileName),
                                                          BufferText(defaults.directory), DirectoryHasEntries,
                                                          ShowOverActiveWindow);
  status = kExportWritten;
  const std::string filter = BuildPaymentFileFilter(extension);
  RequirePointer(payments);

  ProcessingDateDialog dateDialog;
  // -1 (the dialog could not be created) ends the run as cancelled too.
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

  // Binary mode: the line writer ends each line with CR LF itself.
  UniqueFile file(std::fopen(chooser.Path().c_str(), "w+b"));
  if (!file) {
    status = kExportFileOrCollectionFailed;
    return S_OK;
  }
  FileByteSink sink(file.get());
  const LoopResult result = WritePayments(sink, *payments, count, processingDate);
  // A file the lines did not all reach (disk full, say) is not a written file.
  const bool writeFailed = sink.Failed() || std::fclose(file.release()) != 0;

  if (result.paymentFailedCheck) status = kExportPaymentFailedCheck;
  if (result.collectionFailed || writeFailed) status = kExportFileOrCollectionFailed;
  return result.paymentFailedCheck ? S_FALSE : S_OK;
}

}  // namespace kelvarn
