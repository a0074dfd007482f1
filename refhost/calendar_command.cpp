#include "refhost/calendar_command.h"

#include <cmath>

#include "common/ole_date.h"
#include "payment/banking_calendar.h"
#include "refhost/json_writer.h"

namespace refhost {
namespace {

const char* ReasonName(kelvarn::NonBankingReason reason) {
  switch (reason) {
    case kelvarn::NonBankingReason::kBankHoliday:
      return "holiday";
    case kelvarn::NonBankingReason::kWeekend:
      return "weekend";
    default:
      return "none";
  }
}

struct DayAnswer {
  kelvarn::BankingDayCheck check;
  CalendarDate next;
};

DayAnswer Answer(const CalendarDate& date) {
  kelvarn::CivilDateTime civil;
  civil.year = date.year;
  civil.month = date.month;
  civil.day = date.day;
  double oleDate = 0;
  kelvarn::OleDateFromCivil(civil, oleDate);
  kelvarn::CivilDateTime next;
  kelvarn::CivilFromOleDate(kelvarn::BankingCalendar::NextBankingDay(oleDate), next);
  return {kelvarn::BankingCalendar::CheckBankingDay(oleDate), {next.year, next.month, next.day}};
}

}  // namespace

std::string CalendarText(const std::vector<CalendarDate>& dates) {
  std::string text;
  for (const CalendarDate& date : dates) {
    const DayAnswer answer = Answer(date);
    text += FormatCalendarDate(date) + ": ";
    if (answer.check.bankingDay) {
      text += "banking day\n";
    } else {
      text += std::string("no banking day (") +
              (answer.check.reason == kelvarn::NonBankingReason::kBankHoliday ? "bank holiday" : "weekend") +
              "), next banking day " + FormatCalendarDate(answer.next) + "\n";
    }
  }
  return text;
}

std::string CalendarJson(const std::vector<CalendarDate>& dates) {
  JsonWriter json;
  json.BeginArray();
  for (const CalendarDate& date : dates) {
    const DayAnswer answer = Answer(date);
    json.BeginObject()
        .Key("date")
        .String(FormatCalendarDate(date))
        .Key("banking")
        .Boolean(answer.check.bankingDay)
        .Key("advance")
        .Integer(answer.check.daysToAdvance)
        .Key("reason")
        .String(ReasonName(answer.check.reason))
        .Key("next_banking_day")
        .String(FormatCalendarDate(answer.next))
        .EndObject();
  }
  json.EndArray();
  return json.Finish();
}

}  // namespace refhost
