#include "refhost/calendar_command.h"

#include <cmath>

#include "common/ole_date.h"
#include "payment/banking_calendar.h"
#include "refhost/json_writer.h"

namespace refhost {
namespace {

const char* ReasonName(kelvarn::NonBankingReason reason) {
  switch (reason) {
    case kelvarn::NonBankingReason::kBankHoliday: return "holiday";
    case kelvarn::NonBankingReason::kWeekend: return "weekend";
    default: return "none";
  }
}

}  // namespace

std::string CalendarJson(const std::vector<CalendarDate>& dates) {
  JsonWriter json;
  json.BeginArray();
  for (const CalendarDate& date : dates) {
    kelvarn::CivilDateTime civil;
    civil.year = date.year;
    civil.month = date.month;
    civil.day = date.day;
    double oleDate = 0;
    kelvarn::OleDateFromCivil(civil, oleDate);
    const kelvarn::BankingDayCheck check = kelvarn::BankingCalendar::CheckBankingDay(oleDate);
    kelvarn::CivilDateTime next;
    kelvarn::CivilFromOleDate(kelvarn::BankingCalendar::NextBankingDay(oleDate), next);
    json.BeginObject()
        .Key("date").String(FormatCalendarDate(date))
        .Key("banking").Boolean(check.bankingDay)
        .Key("advance").Integer(check.daysToAdvance)
        .Key("reason").String(ReasonName(check.reason))
        .Key("next_banking_day").String(FormatCalendarDate({next.year, next.month, next.day}))
        .EndObject();
  }
  json.EndArray();
  return json.Finish();
}

}  // namespace refhost
