#include "payment/processing_date_dialog_win.h"

#include <optional>

#include "common/ole_date.h"
#include "frame/module_win.h"
#include "payment/banking_calendar.h"
#include "payment/processing_date_rules.h"
#include "payment/user_message_box_win.h"
#include "resources/resource_ids.h"

namespace kelvarn {
namespace {

constexpr char kPickerFormat[] = "dd/MM/yyyy";

// The initialisation record as comctl32 reads it: size 8 on every architecture.
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8, "INITCOMMONCONTROLSEX is two DWORDs");
using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

SYSTEMTIME SystemTimeFromOleDate(double date) noexcept {
  SYSTEMTIME time{};
  CivilDateTime civil;
  if (CivilFromOleDate(date, civil)) {
    time.wYear = static_cast<WORD>(civil.year);
    time.wMonth = static_cast<WORD>(civil.month);
    time.wDay = static_cast<WORD>(civil.day);
    time.wDayOfWeek = static_cast<WORD>(civil.dayOfWeek);
    time.wHour = static_cast<WORD>(civil.hour);
    time.wMinute = static_cast<WORD>(civil.minute);
    time.wSecond = static_cast<WORD>(civil.second);
  }
  return time;
}

std::optional<double> OleDateFromSystemTime(const SYSTEMTIME& time) noexcept {
  CivilDateTime civil;
  civil.year = time.wYear;
  civil.month = time.wMonth;
  civil.day = time.wDay;
  civil.hour = time.wHour;
  civil.minute = time.wMinute;
  civil.second = time.wSecond;
  double date = 0.0;
  if (!OleDateFromCivil(civil, date)) return std::nullopt;
  return date;
}

RECT WorkAreaOf(HWND window) noexcept {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return monitor.rcWork;
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

// Centres over the owner, or over the work area when there is no visible, restored owner; the
// dialog stays inside the work area.
void CentreWindow(HWND window) noexcept {
  RECT dialog{};
  GetWindowRect(window, &dialog);
  const LONG width = dialog.right - dialog.left;
  const LONG height = dialog.bottom - dialog.top;

  const HWND owner = GetWindow(window, GW_OWNER);
  const RECT area = WorkAreaOf(owner ? owner : window);
  RECT centre = area;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &centre);

  LONG left = (centre.left + centre.right) / 2 - width / 2;
  LONG top = (centre.top + centre.bottom) / 2 - height / 2;
  if (left + width > area.right) left = area.right - width;
  if (left < area.left) left = area.left;
  if (top + height > area.bottom) top = area.bottom - height;
  if (top < area.top) top = area.top;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

ProcessingDateDialog::ProcessingDateDialog() noexcept : commonControls_(LoadLibraryA("comctl32.dll")) {
  if (!commonControls_) return;
  // Looked up by name: the oldest common controls have no InitCommonControlsEx.
  const auto initialise = reinterpret_cast<InitCommonControlsExFunction>(
      reinterpret_cast<void*>(GetProcAddress(commonControls_.get(), "InitCommonControlsEx")));
  if (!initialise) return;
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_DATE_CLASSES;
  initialise(&classes);
}

INT_PTR ProcessingDateDialog::Show(HWND owner) noexcept {
  changed_ = false;
  const INT_PTR result = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_PROCESSING_DATE), owner,
                                         &ProcessingDateDialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  return result;
}

INT_PTR CALLBACK ProcessingDateDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Nothing may unwind through the window manager's frames: a failure while handling a message
  // (out of memory while building a message text) ends the dialog as failed.
  try {
    return HandleMessage(window, message, wParam, lParam);
  } catch (...) {
    EndDialog(window, kDialogFailed);
    return TRUE;
  }
}

INT_PTR ProcessingDateDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<ProcessingDateDialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->window_ = window;
    dialog->OnInitDialog();
    // The dialog manager is not to give the first control the keyboard focus.
    return FALSE;
  }
  auto* dialog = reinterpret_cast<ProcessingDateDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (!dialog) return FALSE;
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == IDC_PROCESSING_DATE_PICKER && header->code == DTN_DATETIMECHANGE) {
        dialog->OnDateChange(*reinterpret_cast<const NMDATETIMECHANGE*>(lParam));
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          dialog->OnOk();
          return TRUE;
        case IDCANCEL:  // the Cancel button, the Escape key and the close box
          dialog->OnCancel();
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

void ProcessingDateDialog::OnInitDialog() {
  CentreWindow(window_);

  if (const HICON icon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(IDI_KELVARN_BANK))) {
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }

  const double proposed = DefaultProcessingDate(BankingCalendar::CurrentLocalDate());
  const HWND picker = GetDlgItem(window_, IDC_PROCESSING_DATE_PICKER);
  SendMessageA(picker, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(kPickerFormat));
  SYSTEMTIME time = SystemTimeFromOleDate(proposed);
  SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  date_ = proposed;
}

void ProcessingDateDialog::OnDateChange(const NMDATETIMECHANGE& change) {
  // The picker has no check box, so it always reports a date; anything else changes nothing.
  if (change.dwFlags != GDT_VALID) return;
  const std::optional<double> date = OleDateFromSystemTime(change.st);
  if (!date) return;
  if (IsProcessingDateChange(date_, *date)) changed_ = true;
  date_ = *date;
}

void ProcessingDateDialog::OnOk() {
  if (const std::optional<UserMessage> refusal = CheckProcessingDate(date_, BankingCalendar::CurrentLocalDate())) {
    ShowUserMessage(window_, *refusal);
    return;
  }
  EndDialog(window_, kDialogOk);
}

void ProcessingDateDialog::OnCancel() {
  if (const std::optional<UserMessage> question = CancelQuestion(changed_)) {
    if (!CancelAnswerEndsDialog(ShowUserMessage(window_, *question) == IDYES)) return;
  }
  EndDialog(window_, kDialogCancel);
}

}  // namespace kelvarn
