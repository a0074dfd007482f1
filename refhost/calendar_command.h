#pragma once
// The `calendar` command: the core's banking calendar for each date, as one JSON document.
#include <string>
#include <vector>

#include "refhost/command_line.h"

namespace refhost {

std::string CalendarJson(const std::vector<CalendarDate>& dates);
// The same in words, one line a date.
std::string CalendarText(const std::vector<CalendarDate>& dates);

}  // namespace refhost
