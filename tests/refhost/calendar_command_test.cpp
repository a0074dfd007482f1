#include "refhost/calendar_command.h"

#include <gtest/gtest.h>

namespace refhost {
namespace {

TEST(CalendarCommand, ReportsEachDateWithItsReasonAndNextBankingDay) {
  const std::string json =
      CalendarJson({ParseCalendarDate("2008-12-25"), ParseCalendarDate("2008-12-28"), ParseCalendarDate("2008-03-20")});
  EXPECT_EQ(json,
            "[{\"date\": \"2008-12-25\", \"banking\": false, \"advance\": 4, \"reason\": \"holiday\", "
            "\"next_banking_day\": \"2008-12-29\"}, "
            "{\"date\": \"2008-12-28\", \"banking\": false, \"advance\": 1, \"reason\": \"weekend\", "
            "\"next_banking_day\": \"2008-12-29\"}, "
            "{\"date\": \"2008-03-20\", \"banking\": true, \"advance\": 0, \"reason\": \"none\", "
            "\"next_banking_day\": \"2008-03-20\"}]\n");
}

}  // namespace
}  // namespace refhost
