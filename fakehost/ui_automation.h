#pragma once
// Drives the component's real windows as a user would: a script runs on a second thread and acts
// on the dialogs and message boxes that the calling thread shows while it runs the component.
//
//   MessageBoxSeen refusal;
//   const std::string failure = RunAsUser(
//       [&](UiDriver& user) {
//         const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
//         user.ChooseDate(dialog, 2026, 12, 25);
//         user.Press(dialog, IDOK);
//         refusal = user.Answer(IDOK);             // the refusal's message box
//         user.Press(user.WaitFor(DialogKind::kProcessingDate), IDCANCEL);
//         user.Answer(IDYES);                       // "Do you wish to ignore these changes?"
//       },
//       [&] { hr = service->ExportPayments(payments.get(), nullptr); });
//   EXPECT_EQ(failure, "");
//
// Whatever the script leaves open (or finds missing: a wait that times out ends the script) is
// cancelled, so a test can fail but never hang; such windows are reported in the failure text.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace kelvarn::test {

enum class DialogKind {
  kProcessingDate,  // the component's dialog 1001 (its date picker is control 2003)
  kSaveFile,        // the standard explorer-style save dialog
  kMessageBox,      // a message box (its text is the static control 0xFFFF)
  kOther,
};

// A message to a window of another thread, which answers it from its message loop; 0 when it did
// not answer within a few seconds.
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The visible top-level dialog windows (class #32770) of a thread.
std::vector<HWND> ThreadDialogs(DWORD threadId);
DialogKind KindOf(HWND dialog);
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int controlId);

struct MessageBoxSeen {
  std::string caption;
  std::string text;
  std::string buttons;  // the buttons shown, in command order: "OK", "Yes No"
  std::string icon;     // "error", "warning", "question", "information" or "none"

  friend bool operator==(const MessageBoxSeen& a, const MessageBoxSeen& b) {
    return a.caption == b.caption && a.text == b.text && a.buttons == b.buttons && a.icon == b.icon;
  }
};
std::ostream& operator<<(std::ostream& out, const MessageBoxSeen& box);

MessageBoxSeen ReadMessageBox(HWND box);

// The user. Every wait ends at the script's deadline, or when the run on the UI thread returned;
// it then throws, which ends the script.
class UiDriver {
 public:
  UiDriver(DWORD uiThread, std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& uiDone);

  // The first visible, enabled window of that kind (a window under a message box is disabled).
  HWND WaitFor(DialogKind kind);

  // The first visible, enabled window of any kind; null once the run on the UI thread has
  // returned (for scripts that answer whatever the run shows until it ends).
  HWND WaitForAny();

  // Clicks a button (its command is posted, as a click does). Returns once the window has
  // reacted: closed, or disabled under a message box it opened (at most about two seconds).
  void Press(HWND dialog, int commandId);

  // Waits for a message box, reads it and presses `commandId` on it.
  MessageBoxSeen Answer(int commandId);

  // The processing-date picker: its date, and a change as the user makes it (the picker's value
  // changes and its parent receives the picker's DTN_DATETIMECHANGE notification).
  SYSTEMTIME PickerDate(HWND dialog, int pickerId);
  void ChooseDate(HWND dialog, int pickerId, int year, int month, int day);

  // The save dialog: the file name box, its file types (descriptions) and the one selected.
  std::string FileName(HWND dialog);
  void SetFileName(HWND dialog, const std::string& name);
  std::vector<std::string> FileTypes(HWND dialog);
  std::string SelectedFileType(HWND dialog);

 private:
  [[noreturn]] void GiveUp(const std::string& reason);

  DWORD uiThread_;
  std::chrono::steady_clock::time_point deadline_;
  const std::atomic<bool>& uiDone_;
};

// Runs `script` on a second thread while `run` executes on this thread; afterwards cancels every
// window still open until `run` has returned. Returns "" when the script ran to its end and no
// other window had to be cancelled, otherwise what went wrong.
std::string RunAsUser(const std::function<void(UiDriver&)>& script, const std::function<void()>& run,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace kelvarn::test
