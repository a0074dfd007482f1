#pragma once
// The processing-date dialog (resource 1001): one date picker proposing today or the next banking
// day; OK accepts only a date the bank processes, Cancel asks first once the date was changed.
#include <windows.h>
#include <commctrl.h>

#include "frame/owners_win.h"

namespace kelvarn {

class ProcessingDateDialog {
 public:
  // Loads the system's common controls and registers the date and time picker class.
  ProcessingDateDialog() noexcept;
  ProcessingDateDialog(const ProcessingDateDialog&) = delete;
  ProcessingDateDialog& operator=(const ProcessingDateDialog&) = delete;
  ~ProcessingDateDialog() = default;  // the library is released by its owner

  // Runs the dialog modally: kDialogOk, kDialogCancel, or kDialogFailed when it could not be
  // created or failed while shown (out of memory, say).
  INT_PTR Show(HWND owner) noexcept;

  // The accepted processing date (OLE date, with the picker's time of day) after OK.
  double Date() const noexcept { return date_; }

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void OnInitDialog();
  void OnDateChange(const NMDATETIMECHANGE& change);
  void OnOk();
  void OnCancel();

  HWND window_ = nullptr;
  UniqueModule commonControls_;
  bool changed_ = false;
  double date_ = 0.0;
};

}  // namespace kelvarn
