// The processing-date dialog, driven as a user drives it inside a real export run. Expected dates
// come from today's real date and the banking calendar.
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "payment/banking_calendar.h"
#include "tests/com/module_allocation_failure.h"
#include "tests/com/payment_export_support.h"
#include "fakehost/fake_host_components.h"

namespace kelvarn::test {
namespace {

using ProcessingDateDialogTest = ComTest;

const MessageBoxSeen kIgnoreChanges{"Changes have been made", "Do you wish to ignore these changes?", "Yes No",
                                    "question"};

std::string DayText(const SYSTEMTIME& time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u/%02u/%04u", time.wDay, time.wMonth, time.wYear);
  return text;
}

bool IsBankingDay(double day) { return BankingCalendar::CheckBankingDay(day).bankingDay; }
NonBankingReason ReasonOf(double day) { return BankingCalendar::CheckBankingDay(day).reason; }

// The refusal of a non-banking day, with the calendar's advance.
MessageBoxSeen NonBankingRefusal(double day, const std::string& firstLine) {
  const int advance = BankingCalendar::CheckBankingDay(day).daysToAdvance;
  return {"Non-Banking Date Specified",
          firstLine + " Try advancing the date \r\n" + std::to_string(advance) + (advance == 1 ? " day" : " days") +
              " to the next likely Banking Day.",
          "OK", "warning"};
}

struct DialogSeen {
  std::string caption;
  std::vector<std::string> texts;  // label, group box, OK, Cancel, picker
  std::string pickerDate;
  bool hasIcon = false;
  LONG centreOffsetX = -1;  // dialog centre against the work area's centre
  LONG centreOffsetY = -1;
};

TEST_F(ProcessingDateDialogTest, OpensCentredWithItsIconProposingTodayOrTheNextBankingDayAndCancelsAtOnce) {
  ExportScene scene;
  const double proposed = ProposedDay();

  DialogSeen seen;
  const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
    const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
    seen.caption = WindowText(dialog);
    for (const int id : {2001, 2012, IDOK, IDCANCEL, kPickerId}) seen.texts.push_back(ControlText(dialog, id));
    seen.pickerDate = DayText(user.PickerDate(dialog, kPickerId));
    seen.hasIcon =
        SendToWindow(dialog, WM_GETICON, ICON_BIG, 0) != 0 && SendToWindow(dialog, WM_GETICON, ICON_SMALL, 0) != 0;
    RECT window{}, area{};
    GetWindowRect(dialog, &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    seen.centreOffsetX = std::labs((window.left + window.right) / 2 - (area.left + area.right) / 2);
    seen.centreOffsetY = std::labs((window.top + window.bottom) / 2 - (area.top + area.bottom) / 2);
    user.Press(dialog, IDCANCEL);  // untouched: no question, and no save dialog after it
  });

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
  EXPECT_EQ(outcome.status, 3);
  EXPECT_EQ(seen.caption, "Trelk Kelvarn Bank Payment Processing");
  // The picker shows its date in the dialog's format, dd/MM/yyyy.
  EXPECT_EQ(seen.texts, (std::vector<std::string>{"Payment Processing Date (defaults to today/next banking day):",
                                                  "Payment Processing Date", "&OK", "&Cancel", PickerText(proposed)}));
  EXPECT_EQ(seen.pickerDate, PickerText(proposed));
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_LE(seen.centreOffsetX, 1);
  EXPECT_LE(seen.centreOffsetY, 1);
  EXPECT_EQ(scene.log.Take(), (Lines{"configuration created",
                                     "configuration.GetPaymentFileDefaults(key \"Kelvarn Bank\" zero-filled to 100)",
                                     "configuration released"}));
}

// The label's text as the static control lays it out (word-wrapped to its width, in the font the
// dialog gave it) against the room the control has, and where the control sits among the others.
struct LabelLayout {
  bool hasFont = false;
  RECT client{};  // the label's client area
  RECT needed{};  // what its text needs, from the client area's top left corner
  bool clearOfPicker = false;
  bool insideGroup = false;
};

RECT ScreenRect(HWND dialog, int controlId) {
  RECT rect{};
  GetWindowRect(GetDlgItem(dialog, controlId), &rect);
  return rect;
}

LabelLayout MeasureLabel(HWND dialog) {
  LabelLayout layout;
  const HWND label = GetDlgItem(dialog, 2001);
  auto* const font = reinterpret_cast<HFONT>(SendToWindow(label, WM_GETFONT, 0, 0));
  layout.hasFont = font != nullptr;
  GetClientRect(label, &layout.client);
  const std::string text = WindowText(label);
  const HDC dc = GetDC(label);
  const HGDIOBJ previous = SelectObject(dc, font);
  layout.needed = RECT{0, 0, layout.client.right, 0};
  DrawTextA(dc, text.c_str(), -1, &layout.needed, DT_CALCRECT | DT_WORDBREAK | DT_LEFT | DT_EXPANDTABS);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);

  const RECT labelRect = ScreenRect(dialog, 2001);
  const RECT picker = ScreenRect(dialog, kPickerId);
  const RECT group = ScreenRect(dialog, 2012);
  RECT overlap{};
  layout.clearOfPicker = !IntersectRect(&overlap, &labelRect, &picker);
  layout.insideGroup = labelRect.left >= group.left && labelRect.right <= group.right && labelRect.top >= group.top &&
                       labelRect.bottom <= group.bottom;
  return layout;
}

TEST_F(ProcessingDateDialogTest, TheLabelHasRoomForItsWholeText) {
  ExportScene scene;

  LabelLayout layout;
  const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
    const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
    layout = MeasureLabel(dialog);
    user.Press(dialog, IDCANCEL);
  });

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_TRUE(layout.hasFont);
  EXPECT_GT(layout.needed.bottom, 0);
  EXPECT_LE(layout.needed.right, layout.client.right);
  EXPECT_LE(layout.needed.bottom, layout.client.bottom);
  EXPECT_TRUE(layout.clearOfPicker);
  EXPECT_TRUE(layout.insideGroup);
}

struct RefusalCase {
  const char* name;
  std::function<double(double today)> day;
  std::function<MessageBoxSeen(double day)> refusal;
};

TEST_F(ProcessingDateDialogTest, RefusedDatesKeepTheDialogOpenWithTheirMessage) {
  const RefusalCase cases[] = {
      {"yesterday", [](double today) { return today - 1; },
       [](double) {
         return MessageBoxSeen{"Invalid Banking Date Specified",
                               "The processing date you specify for payments MUST be on or after the current system "
                               "date.",
                               "OK", "warning"};
       }},
      {"the next bank holiday",
       [](double today) {
         return FindDay(today + 1, 1, [](double day) { return ReasonOf(day) == NonBankingReason::kBankHoliday; });
       },
       [](double day) { return NonBankingRefusal(day, "The date you specified falls on a Bank holiday."); }},
      {"the next weekend Saturday",
       [](double today) {
         return FindDay(today + 1, 1, [](double day) {
           return ReasonOf(day) == NonBankingReason::kWeekend &&
                  BankingCalendar::CheckBankingDay(day).daysToAdvance == 2;
         });
       },
       [](double day) { return NonBankingRefusal(day, "The date you specified falls on a weekend."); }},
      {"the next weekend Sunday",
       [](double today) {
         return FindDay(today + 1, 1, [](double day) {
           return ReasonOf(day) == NonBankingReason::kWeekend &&
                  BankingCalendar::CheckBankingDay(day).daysToAdvance == 1;
         });
       },
       [](double day) { return NonBankingRefusal(day, "The date you specified falls on a weekend."); }},
      // Exactly 366 days ahead when that is a banking day, else the first banking day after it.
      {"a banking day 366 days ahead", [](double today) { return FindDay(today + 366, 1, IsBankingDay); },
       [](double) {
         return MessageBoxSeen{"Invalid Processing Date Specified",
                               "The processing date specified is too far in the future.\rProcessing dates can be at "
                               "most 365 days after today's date.",
                               "OK", "warning"};
       }},
  };
  for (const RefusalCase& refusalCase : cases) {
    SCOPED_TRACE(refusalCase.name);
    ExportScene scene;
    const double day = refusalCase.day(Today());

    MessageBoxSeen refusal, question;
    std::string dateAfterRefusal;
    const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
      const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
      ChooseDay(user, dialog, day);
      user.Press(dialog, IDOK);
      refusal = user.Answer(IDOK);
      const HWND stillOpen = user.WaitFor(DialogKind::kProcessingDate);
      dateAfterRefusal = DayText(user.PickerDate(stillOpen, kPickerId));
      user.Press(stillOpen, IDCANCEL);
      question = user.Answer(IDYES);
    });

    EXPECT_EQ(outcome.userFailure, "");
    EXPECT_EQ(refusal, refusalCase.refusal(day));
    EXPECT_EQ(dateAfterRefusal, PickerText(day));
    EXPECT_EQ(question, kIgnoreChanges);
    EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
    EXPECT_EQ(outcome.status, 3);
  }
}

TEST_F(ProcessingDateDialogTest, ABankingDayExactly365DaysAheadIsAcceptedAndReachesTheFile) {
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 12.5, L"Jane Smith");
  // Exactly 365 days ahead when that is a banking day, else the last banking day before it.
  const double day = FindDay(Today() + 365, -1, IsBankingDay);

  const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
    const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
    ChooseDay(user, dialog, day);
    user.Press(dialog, IDOK);
    const HWND save = user.WaitFor(DialogKind::kSaveFile);
    user.SetFileName(save, scene.folder.File("far.csv"));
    user.Press(save, IDOK);
  });

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(ReadFileBytes(scene.folder.File("far.csv")), ValidPaymentLine("12.50", FileDate(day), "Jane Smith"));
}

TEST_F(ProcessingDateDialogTest, CancelAfterAChangeAsksFirstYesEndsTheRunNoKeepsTheChosenDate) {
  for (const bool answerYes : {true, false}) {
    SCOPED_TRACE(answerYes ? "Yes" : "No");
    ExportScene scene;
    FillValidPayment(scene.payments->Add(), 7, L"Jane Smith");
    const double proposed = ProposedDay();
    const double day = FindDay(proposed + 1, 1, IsBankingDay);

    MessageBoxSeen question;
    std::string dateAfterNo;
    const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
      const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
      ChooseDay(user, dialog, day);
      user.Press(dialog, IDCANCEL);
      question = user.Answer(answerYes ? IDYES : IDNO);
      if (answerYes) return;  // the run ends: no save dialog
      const HWND stillOpen = user.WaitFor(DialogKind::kProcessingDate);
      dateAfterNo = DayText(user.PickerDate(stillOpen, kPickerId));
      user.Press(stillOpen, IDOK);
      const HWND save = user.WaitFor(DialogKind::kSaveFile);
      user.SetFileName(save, scene.folder.File("kept.csv"));
      user.Press(save, IDOK);
    });

    EXPECT_EQ(outcome.userFailure, "");
    EXPECT_EQ(question, kIgnoreChanges);
    EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
    if (answerYes) {
      EXPECT_EQ(outcome.status, 3);
      EXPECT_FALSE(FileExists(scene.folder.File("kept.csv")));
    } else {
      EXPECT_EQ(outcome.status, 0);
      EXPECT_EQ(dateAfterNo, PickerText(day));
      EXPECT_EQ(ReadFileBytes(scene.folder.File("kept.csv")), ValidPaymentLine("7.00", FileDate(day), "Jane Smith"));
    }
  }
}

TEST_F(ProcessingDateDialogTest, RunningOutOfMemoryWhileBuildingARefusalEndsTheRunAsCancelled) {
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 3, L"Jane Smith");

  std::optional<ModuleAllocationFailure> allocationFailure;
  const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
    const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
    ChooseDay(user, dialog, Today() - 1);
    // The dialog's next allocation is the text of the refusal of a past date.
    allocationFailure.emplace(Module().module);
    user.Press(dialog, IDOK);
  });
  allocationFailure.reset();

  // No message box, no save dialog: the dialog ended and the run with it.
  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
  EXPECT_EQ(outcome.status, 3);
  EXPECT_EQ(scene.folder.Entries(), Lines{});
  EXPECT_EQ(scene.log.Take(), (Lines{"configuration created",
                                     "configuration.GetPaymentFileDefaults(key \"Kelvarn Bank\" zero-filled to 100)",
                                     "configuration released"}));
}

}  // namespace
}  // namespace kelvarn::test
