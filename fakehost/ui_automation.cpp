#include "fakehost/ui_automation.h"

#include <commctrl.h>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <thread>

namespace kelvarn::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kMessageBoxTextId = 0xFFFF;
// The message box's icon: stc1 in Wine's template, 20 in Windows'.
constexpr int kMessageBoxIconIds[] = {0x0440, 20};
// The explorer-style file dialog's controls.
constexpr int kFileTypeBoxId = 0x0470;    // cmb1
constexpr int kFileNameComboId = 0x047C;  // cmb13
constexpr int kFileNameEditId = 0x0480;   // edt1 (older dialogs)
constexpr int kProcessingDatePickerId = 2003;

constexpr auto kPoll = 20ms;
constexpr auto kReaction = 2s;         // how long Press waits for the window to react
constexpr auto kCancelGrace = 15s;     // how long cancelling may take before the process ends
constexpr auto kSettle = 300ms;        // how long a window must stay before it is cancelled
constexpr UINT kSendTimeoutMs = 5000;  // the UI thread answers sent messages from its modal loop

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendToWindow(window, message, wParam, lParam);
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM lParam) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770" && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
  }
  return TRUE;
}

bool HasVisibleControl(HWND dialog, int controlId) {
  const HWND control = GetDlgItem(dialog, controlId);
  return control && IsWindowVisible(control);
}

std::string KindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::kProcessingDate:
      return "processing-date dialog";
    case DialogKind::kSaveFile:
      return "save dialog";
    case DialogKind::kMessageBox:
      return "message box";
    case DialogKind::kOther:
      break;
  }
  return "dialog";
}

std::string IconName(HWND box) {
  HICON shown = nullptr;
  for (const int id : kMessageBoxIconIds) {
    if (const HWND control = GetDlgItem(box, id)) {
      shown = reinterpret_cast<HICON>(Send(control, STM_GETICON, 0, 0));
      if (shown) break;
    }
  }
  if (!shown) return "none";
  // The system's icons are shared: the box shows the very handle LoadIcon gives.
  const struct {
    LPCSTR id;
    const char* name;
  } icons[] = {
      {IDI_ERROR, "error"}, {IDI_WARNING, "warning"}, {IDI_QUESTION, "question"}, {IDI_INFORMATION, "information"}};
  for (const auto& icon : icons) {
    if (LoadIconA(nullptr, icon.id) == shown) return icon.name;
  }
  return "other";
}

// What a user who wants out does with a window: a question is answered Yes (ignore the changes),
// except the save dialog's overwrite question (No: then the dialog itself is cancelled).
int CancelCommand(HWND window) {
  if (KindOf(window) != DialogKind::kMessageBox) return IDCANCEL;
  if (HasVisibleControl(window, IDYES)) {
    const HWND owner = GetWindow(window, GW_OWNER);
    return owner && KindOf(owner) == DialogKind::kSaveFile ? IDNO : IDYES;
  }
  return HasVisibleControl(window, IDCANCEL) ? IDCANCEL : IDOK;
}

void PostCommand(HWND window, int commandId) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED), 0); }

// Cancels every window the UI thread shows until its run returns; the names of those cancelled
// are added to `cancelled`. A run that does not end even so ends the process: a test must not hang.
void CancelEverything(DWORD uiThread, const std::atomic<bool>& uiDone, std::vector<std::string>& cancelled) {
  // Counted from the first cancel: a run may go on working after its last window has closed.
  std::optional<Clock::time_point> giveUp;
  std::map<HWND, Clock::time_point> firstSeen;
  std::map<HWND, Clock::time_point> lastPost;
  while (!uiDone) {
    std::map<HWND, Clock::time_point> present;
    for (const HWND window : ThreadDialogs(uiThread)) {
      if (!IsWindowEnabled(window)) continue;
      // A window that is closing (the script's last press) is still listed for a moment: only
      // a window that stays is cancelled.
      const auto seen = firstSeen.find(window);
      present[window] = seen == firstSeen.end() ? Clock::now() : seen->second;
      if (Clock::now() - present[window] < kSettle) continue;
      auto posted = lastPost.find(window);
      if (posted != lastPost.end() && Clock::now() - posted->second < 500ms) continue;
      const std::string name = KindName(KindOf(window)) + " \"" + WindowText(window) + "\"";
      if (posted == lastPost.end()) cancelled.push_back(name);
      lastPost[window] = Clock::now();
      if (!giveUp) giveUp = Clock::now() + kCancelGrace;
      PostCommand(window, CancelCommand(window));
    }
    firstSeen.swap(present);
    if (giveUp && Clock::now() > *giveUp) {
      std::fprintf(stderr, "ui automation: the windows of the run could not be closed; ending the test program\n");
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    std::this_thread::sleep_for(kPoll);
  }
}

struct ScriptAbandoned {
  std::string reason;
};

}  // namespace

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result)) return 0;
  return static_cast<LRESULT>(result);
}

std::vector<HWND> ThreadDialogs(DWORD threadId) {
  std::vector<HWND> dialogs;
  EnumThreadWindows(threadId, &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

DialogKind KindOf(HWND dialog) {
  if (GetDlgItem(dialog, kFileTypeBoxId) &&
      (GetDlgItem(dialog, kFileNameComboId) || GetDlgItem(dialog, kFileNameEditId))) {
    return DialogKind::kSaveFile;
  }
  if (GetDlgItem(dialog, kProcessingDatePickerId)) return DialogKind::kProcessingDate;
  if (GetDlgItem(dialog, kMessageBoxTextId)) return DialogKind::kMessageBox;
  return DialogKind::kOther;
}

std::string WindowText(HWND window) {
  const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::string ControlText(HWND dialog, int controlId) {
  const HWND control = GetDlgItem(dialog, controlId);
  return control ? WindowText(control) : std::string();
}

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen;
  seen.caption = WindowText(box);
  seen.text = ControlText(box, kMessageBoxTextId);
  const struct {
    int id;
    const char* name;
  } buttons[] = {{IDOK, "OK"},         {IDCANCEL, "Cancel"}, {IDABORT, "Abort"}, {IDRETRY, "Retry"},
                 {IDIGNORE, "Ignore"}, {IDYES, "Yes"},       {IDNO, "No"}};
  for (const auto& button : buttons) {
    if (!HasVisibleControl(box, button.id)) continue;
    if (!seen.buttons.empty()) seen.buttons += ' ';
    seen.buttons += button.name;
  }
  seen.icon = IconName(box);
  return seen;
}

std::ostream& operator<<(std::ostream& out, const MessageBoxSeen& box) {
  std::string text;
  for (const char c : box.text) {
    if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else {
      text += c;
    }
  }
  return out << "{caption \"" << box.caption << "\", text \"" << text << "\", buttons " << box.buttons << ", icon "
             << box.icon << "}";
}

UiDriver::UiDriver(DWORD uiThread, Clock::time_point deadline, const std::atomic<bool>& uiDone)
    : uiThread_(uiThread), deadline_(deadline), uiDone_(uiDone) {}

void UiDriver::GiveUp(const std::string& reason) { throw ScriptAbandoned{reason}; }

HWND UiDriver::WaitFor(DialogKind kind) {
  for (;;) {
    for (const HWND window : ThreadDialogs(uiThread_)) {
      if (IsWindowEnabled(window) && KindOf(window) == kind) return window;
    }
    if (uiDone_) GiveUp("the run ended without showing a " + KindName(kind));
    if (Clock::now() > deadline_) GiveUp("no " + KindName(kind) + " appeared in time");
    std::this_thread::sleep_for(kPoll);
  }
}

HWND UiDriver::WaitForAny() {
  for (;;) {
    for (const HWND window : ThreadDialogs(uiThread_)) {
      if (IsWindowEnabled(window)) return window;
    }
    if (uiDone_) return nullptr;
    if (Clock::now() > deadline_) GiveUp("no window appeared in time and the run did not end");
    std::this_thread::sleep_for(kPoll);
  }
}

void UiDriver::Press(HWND dialog, int commandId) {
  PostCommand(dialog, commandId);
  const auto until = Clock::now() + kReaction;
  while (Clock::now() < until && !uiDone_) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) return;
    std::this_thread::sleep_for(kPoll);
  }
}

MessageBoxSeen UiDriver::Answer(int commandId) {
  const HWND box = WaitFor(DialogKind::kMessageBox);
  MessageBoxSeen seen = ReadMessageBox(box);
  Press(box, commandId);
  return seen;
}

SYSTEMTIME UiDriver::PickerDate(HWND dialog, int pickerId) {
  SYSTEMTIME time{};
  Send(GetDlgItem(dialog, pickerId), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  return time;
}

void UiDriver::ChooseDate(HWND dialog, int pickerId, int year, int month, int day) {
  const HWND picker = GetDlgItem(dialog, pickerId);
  if (!picker) GiveUp("the dialog has no control " + std::to_string(pickerId));
  // A user changes the date and keeps the picker's time of day.
  SYSTEMTIME time = PickerDate(dialog, pickerId);
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wDayOfWeek = 0;
  if (!Send(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time))) {
    GiveUp("the picker refused the date");
  }
  // A date outside the picker's range leaves its date as it was, though the message succeeds.
  const SYSTEMTIME shown = PickerDate(dialog, pickerId);
  if (shown.wYear != year || shown.wMonth != month || shown.wDay != day) {
    GiveUp("the picker cannot show " + std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
  }
  // DTM_SETSYSTEMTIME notifies no one; a user's change makes the picker send this.
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = picker;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(pickerId);
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  change.st = PickerDate(dialog, pickerId);
  Send(dialog, WM_NOTIFY, static_cast<WPARAM>(pickerId), reinterpret_cast<LPARAM>(&change));
}

std::string UiDriver::FileName(HWND dialog) {
  return GetDlgItem(dialog, kFileNameComboId) ? ControlText(dialog, kFileNameComboId)
                                              : ControlText(dialog, kFileNameEditId);
}

void UiDriver::SetFileName(HWND dialog, const std::string& name) {
  HWND box = GetDlgItem(dialog, kFileNameComboId);
  if (!box) box = GetDlgItem(dialog, kFileNameEditId);
  if (!box) GiveUp("the save dialog has no file name box");
  Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

std::vector<std::string> UiDriver::FileTypes(HWND dialog) {
  std::vector<std::string> types;
  const HWND box = GetDlgItem(dialog, kFileTypeBoxId);
  const LRESULT count = box ? Send(box, CB_GETCOUNT, 0, 0) : 0;
  for (LRESULT index = 0; index < count; ++index) {
    const LRESULT length = Send(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) break;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = Send(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    types.push_back(text);
  }
  return types;
}

std::string UiDriver::SelectedFileType(HWND dialog) {
  const HWND box = GetDlgItem(dialog, kFileTypeBoxId);
  if (!box) return std::string();
  const LRESULT selected = Send(box, CB_GETCURSEL, 0, 0);
  const std::vector<std::string> types = FileTypes(dialog);
  return selected >= 0 && static_cast<std::size_t>(selected) < types.size() ? types[selected] : std::string();
}

std::string RunAsUser(const std::function<void(UiDriver&)>& script, const std::function<void()>& run,
                      std::chrono::milliseconds timeout) {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> uiDone{false};
  std::string failure;
  std::vector<std::string> cancelled;
  std::thread user([&] {
    UiDriver driver(uiThread, Clock::now() + timeout, uiDone);
    try {
      script(driver);
    } catch (const ScriptAbandoned& abandoned) {
      failure = abandoned.reason;
    } catch (const std::exception& error) {
      failure = std::string("the script failed: ") + error.what();
    } catch (...) {
      failure = "the script failed";
    }
    CancelEverything(uiThread, uiDone, cancelled);
  });
  try {
    run();
  } catch (...) {
    uiDone = true;
    user.join();
    throw;
  }
  uiDone = true;
  user.join();
  for (const std::string& name : cancelled) {
    if (!failure.empty()) failure += "; ";
    failure += "cancelled " + name;
  }
  return failure;
}

}  // namespace kelvarn::test
