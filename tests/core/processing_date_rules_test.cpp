#include "payment/processing_date_rules.h"

#include <gtest/gtest.h>

#include <limits>

#include "common/ole_date.h"

namespace kelvarn {
namespace {

double Date(int year, int month, int day) { return static_cast<double>(OleDayNumberFromCivil(year, month, day)); }
double At(double date, int hour, int minute, int second = 0) {
  return date + (hour * 3600 + minute * 60 + second) / 86400.0;
}

const UserMessage kPast{"The processing date you specify for payments MUST be on or after the current system date.",
                        "Invalid Banking Date Specified", MessageIcon::kWarning, MessageButtons::kOk};
const UserMessage kTooFar{
    "The processing date specified is too far in the future.\rProcessing dates can be at most 365 days after today's "
    "date.",
    "Invalid Processing Date Specified", MessageIcon::kWarning, MessageButtons::kOk};
UserMessage NonBanking(const char* text) {
  return UserMessage{text, "Non-Banking Date Specified", MessageIcon::kWarning, MessageButtons::kOk};
}

TEST(ProcessingDateRules, DefaultDate) {
  const struct {
    double now;
    double expected;
  } cases[] = {
      {At(Date(2008, 3, 5), 10, 15), At(Date(2008, 3, 5), 10, 15)},  // banking day: today
      {At(Date(2008, 3, 8), 11, 0), At(Date(2008, 3, 10), 11, 0)},   // Saturday: Monday
      {At(Date(2008, 3, 22), 9, 30), At(Date(2008, 3, 25), 9, 30)},  // Saturday before Easter Monday: Tuesday
      {At(Date(2008, 12, 25), 23, 59), At(Date(2008, 12, 29), 23, 59)},
  };
  for (const auto& dateCase : cases) {
    EXPECT_DOUBLE_EQ(DefaultProcessingDate(dateCase.now), dateCase.expected) << dateCase.now;
  }
}

struct OkCase {
  const char* name;
  double chosen;
  double now;
  std::optional<UserMessage> expected;
};

// Wednesday 5 March 2008 at 10:15; 365 days later is Thursday 5 March 2009.
const double kNow = At(Date(2008, 3, 5), 10, 15);

const OkCase kOkCases[] = {
    {"today, a banking day", At(Date(2008, 3, 5), 8, 0), kNow, std::nullopt},
    {"today, later than now", At(Date(2008, 3, 5), 23, 0), kNow, std::nullopt},
    {"yesterday", At(Date(2008, 3, 4), 10, 15), kNow, kPast},
    {"yesterday, a weekend day, reports the past first", Date(2008, 3, 2), kNow, kPast},
    {"Christmas Day on a Thursday", Date(2008, 12, 25), kNow,
     NonBanking("The date you specified falls on a Bank holiday. Try advancing the date \r\n4 days to the next likely "
                "Banking Day.")},
    {"Easter Monday", Date(2008, 3, 24), kNow,
     NonBanking("The date you specified falls on a Bank holiday. Try advancing the date \r\n1 day to the next likely "
                "Banking Day.")},
    {"a Sunday that is no holiday", Date(2008, 3, 9), kNow,
     NonBanking("The date you specified falls on a weekend. Try advancing the date \r\n1 day to the next likely "
                "Banking Day.")},
    {"a Saturday", Date(2008, 3, 8), kNow,
     NonBanking("The date you specified falls on a weekend. Try advancing the date \r\n2 days to the next likely "
                "Banking Day.")},
    {"365 days ahead", At(Date(2009, 3, 5), 23, 59), kNow, std::nullopt},
    {"366 days ahead", Date(2009, 3, 6), kNow, kTooFar},
    {"a weekend beyond 365 days reports the weekend", Date(2009, 3, 7), kNow,
     NonBanking("The date you specified falls on a weekend. Try advancing the date \r\n2 days to the next likely "
                "Banking Day.")},
    {"years ahead", Date(2020, 3, 5), kNow, kTooFar},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), kNow, kTooFar},
    {"beyond the calendar", 1e300, kNow, kTooFar},
    // Opened at 23:59:59 the dialog proposed today; OK pressed after midnight judges by the new day.
    {"default date after midnight", At(Date(2008, 3, 5), 23, 59, 59), At(Date(2008, 3, 6), 0, 0, 1), kPast},
    {"the new day after midnight", At(Date(2008, 3, 6), 23, 59, 59), At(Date(2008, 3, 6), 0, 0, 1), std::nullopt},
};

TEST(ProcessingDateRules, OkCheck) {
  for (const OkCase& okCase : kOkCases) {
    const std::optional<UserMessage> refusal = CheckProcessingDate(okCase.chosen, okCase.now);
    ASSERT_EQ(refusal.has_value(), okCase.expected.has_value()) << okCase.name;
    if (refusal) {
      EXPECT_EQ(refusal->text, okCase.expected->text) << okCase.name;
      EXPECT_TRUE(*refusal == *okCase.expected) << okCase.name << ": " << refusal->caption;
    }
  }
}

TEST(ProcessingDateRules, Cancel) {
  EXPECT_EQ(CancelQuestion(false), std::nullopt);
  const std::optional<UserMessage> question = CancelQuestion(true);
  ASSERT_TRUE(question.has_value());
  EXPECT_TRUE(*question == (UserMessage{"Do you wish to ignore these changes?", "Changes have been made",
                                        MessageIcon::kQuestion, MessageButtons::kYesNo}));
  EXPECT_TRUE(CancelAnswerEndsDialog(true));
  EXPECT_FALSE(CancelAnswerEndsDialog(false));
  EXPECT_EQ(kDialogOk, 1);
  EXPECT_EQ(kDialogCancel, 2);
}

TEST(ProcessingDateRules, DateChange) {
  EXPECT_FALSE(IsProcessingDateChange(kNow, kNow));
  EXPECT_TRUE(IsProcessingDateChange(kNow, kNow + 1));
  EXPECT_TRUE(IsProcessingDateChange(kNow, At(Date(2008, 3, 5), 10, 16)));  // the time of day alone counts
}

}  // namespace
}  // namespace kelvarn
