#include "payment/processing_date_rules.h"

#include <cmath>
#include <string>

#include "common/ole_date.h"
#include "payment/banking_calendar.h"

namespace kelvarn {

double DefaultProcessingDate(double now) { return BankingCalendar::NextBankingDay(now); }

bool IsProcessingDateChange(double previousDate, double newDate) { return newDate != previousDate; }

std::optional<UserMessage> CheckProcessingDate(double chosenDate, double now) {
  const double chosenDay = WholeDay(chosenDate);
  const double today = WholeDay(now);
  if (chosenDay < today) {
    return UserMessage{"The processing date you specify for payments MUST be on or after the current system date.",
                       "Invalid Banking Date Specified", MessageIcon::kWarning, MessageButtons::kOk};
  }

  const BankingDayCheck check = BankingCalendar::CheckBankingDay(chosenDate);
  // Outside the calendar's range there is no reason to give; the next rule refuses such a date.
  if (!check.bankingDay && check.reason != NonBankingReason::kNone) {
    std::string text = check.reason == NonBankingReason::kWeekend
                           ? "The date you specified falls on a weekend. Try advancing the date \r\n"
                           : "The date you specified falls on a Bank holiday. Try advancing the date \r\n";
    text += std::to_string(check.daysToAdvance);
    text += check.daysToAdvance == 1 ? " day to the next likely Banking Day." : " days to the next likely Banking Day.";
    return UserMessage{text, "Non-Banking Date Specified", MessageIcon::kWarning, MessageButtons::kOk};
  }

  // Written so that a date that is not a number is refused too.
  if (!(chosenDay <= today + kMaxDaysAhead)) {
    return UserMessage{
        "The processing date specified is too far in the future.\rProcessing dates can be at most 365 days after "
        "today's date.",
        "Invalid Processing Date Specified", MessageIcon::kWarning, MessageButtons::kOk};
  }
  return std::nullopt;
}

std::optional<UserMessage> CancelQuestion(bool changed) {
  if (!changed) return std::nullopt;
  return UserMessage{"Do you wish to ignore these changes?", "Changes have been made", MessageIcon::kQuestion,
                     MessageButtons::kYesNo};
}

bool CancelAnswerEndsDialog(bool answeredYes) { return answeredYes; }

}  // namespace kelvarn
