#include "refhost/command_line.h"

#include <cstdio>

#include "common/ole_date.h"

namespace refhost {
namespace {

bool IsDigits(const std::string& text, std::size_t from, std::size_t count) {
  for (std::size_t i = from; i < from + count; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

class ArgumentCursor {
 public:
  explicit ArgumentCursor(const std::vector<std::string>& arguments) : arguments_(arguments) {}
  bool Done() const { return next_ >= arguments_.size(); }
  const std::string& Next() { return arguments_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (Done()) throw UsageError(option + " needs a value");
    return Next();
  }

 private:
  const std::vector<std::string>& arguments_;
  std::size_t next_ = 1;
};

}  // namespace

CalendarDate ParseCalendarDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !IsDigits(text, 0, 4) || !IsDigits(text, 5, 2) ||
      !IsDigits(text, 8, 2))
    throw UsageError("not a date of the form YYYY-MM-DD: " + text);
  CalendarDate date{std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2))};
  kelvarn::CivilDateTime civil;
  civil.year = date.year;
  civil.month = date.month;
  civil.day = date.day;
  double oleDate = 0;
  if (date.year < 100 || !kelvarn::OleDateFromCivil(civil, oleDate)) throw UsageError("no such date: " + text);
  return date;
}

std::string FormatCalendarDate(const CalendarDate& date) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buffer;
}

Command ParseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw UsageError("a command is needed: info, export, import, recognise or calendar");
  Command command;
  ArgumentCursor cursor(arguments);
  const std::string& name = arguments[0];
  if (name == "info") {
    command.kind = Command::Kind::Info;
    if (!cursor.Done()) throw UsageError("info takes no arguments");
  } else if (name == "export") {
    command.kind = Command::Kind::Export;
    ExportOptions& options = command.exportOptions;
    bool havePayments = false, haveOut = false;
    while (!cursor.Done()) {
      const std::string option = cursor.Next();
      if (option == "--payments") {
        options.payments = cursor.ValueOf(option);
        havePayments = true;
      } else if (option == "--out") {
        options.out = cursor.ValueOf(option);
        haveOut = true;
      } else if (option == "--date") {
        options.date = ParseCalendarDate(cursor.ValueOf(option));
      } else if (option == "--directory") {
        options.directory = cursor.ValueOf(option);
      } else if (option == "--file-name") {
        options.fileName = cursor.ValueOf(option);
      } else if (option == "--extension") {
        options.extension = cursor.ValueOf(option);
      } else if (option == "--keep-existing") {
        options.keepExisting = true;
      } else {
        throw UsageError("unknown export option: " + option);
      }
    }
    if (!havePayments || !haveOut) throw UsageError("export needs --payments FILE.csv and --out FILE");
  } else if (name == "import") {
    command.kind = Command::Kind::Import;
    ImportOptions& options = command.importOptions;
    bool haveStatement = false;
    while (!cursor.Done()) {
      const std::string option = cursor.Next();
      if (option == "--statement") {
        options.statement = cursor.ValueOf(option);
        haveStatement = true;
      } else if (option == "--sort-code") {
        options.sortCode = cursor.ValueOf(option);
      } else if (option == "--account-number") {
        options.accountNumber = cursor.ValueOf(option);
      } else {
        throw UsageError("unknown import option: " + option);
      }
    }
    if (!haveStatement) throw UsageError("import needs --statement FILE");
  } else if (name == "recognise") {
    command.kind = Command::Kind::Recognise;
    while (!cursor.Done()) command.files.push_back(cursor.Next());
    if (command.files.empty()) throw UsageError("recognise needs at least one file");
  } else if (name == "calendar") {
    command.kind = Command::Kind::Calendar;
    while (!cursor.Done()) command.dates.push_back(ParseCalendarDate(cursor.Next()));
    if (command.dates.empty()) throw UsageError("calendar needs at least one date YYYY-MM-DD");
  } else {
    throw UsageError("unknown command: " + name);
  }
  return command;
}

}  // namespace refhost
