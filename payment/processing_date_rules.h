#pragma once
// The rules of the processing-date dialog: the date it proposes, which chosen dates OK accepts,
// and what Cancel does. Dates are OLE dates; "now" is passed in (the dialog reads the local clock
// at the moment of each decision).
#include <optional>

#include "payment/user_message.h"

namespace kelvarn {

// Dialog results.
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;
inline constexpr int kDialogFailed = -1;  // could not be created, or failed while shown

// Processing dates may lie at most this many days after today.
inline constexpr int kMaxDaysAhead = 365;

// Today, or the next likely banking day; keeps the time of day of `now`.
double DefaultProcessingDate(double now);

// A picker change marks the dialog as changed when the date differs from the previous one.
bool IsProcessingDateChange(double previousDate, double newDate);

// The refusal of a chosen date (past, non-banking, too far ahead, checked in that order), or
// std::nullopt when OK may end the dialog.
std::optional<UserMessage> CheckProcessingDate(double chosenDate, double now);

// Cancel: std::nullopt when the dialog ends at once (nothing changed), otherwise the question to
// ask first.
std::optional<UserMessage> CancelQuestion(bool changed);

// After the question: Yes ends the dialog with kDialogCancel, No keeps it open.
bool CancelAnswerEndsDialog(bool answeredYes);

}  // namespace kelvarn
