#pragma once
// The standard save dialog in which the user chooses the payment file.
#include <windows.h>

#include <string>

namespace kelvarn {

class PaymentFileChooser {
 public:
  // `filter` holds the description and pattern pairs with their zero bytes (BuildPaymentFileFilter);
  // an empty `defaultExtension` appends none.
  PaymentFileChooser(std::string defaultExtension, std::string initialPath, std::string filter);

  // Runs the dialog modally: kDialogOk with the chosen path, or kDialogCancel (also when the
  // dialog failed).
  int Show(HWND owner);

  // The full path the user confirmed (at most 259 characters).
  const std::string& Path() const noexcept { return path_; }

 private:
  std::string defaultExtension_;
  std::string initialPath_;
  std::string filter_;
  std::string path_;
};

}  // namespace kelvarn
