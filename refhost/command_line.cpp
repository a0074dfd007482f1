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

const char* const kInfoUsage =
    "kelvarn info [--format json|text]\n"
    "  The Bank object: its name, fixed code and services.\n";
const char* const kExportUsage =
    "kelvarn export --payments FILE.csv --out FILE [--date YYYY-MM-DD] [--directory DIR]\n"
    "               [--file-name NAME] [--extension EXT] [--keep-existing] [--format json|text]\n"
    "  ExportPayments on the payments of FILE.csv (header amount,payer_sort_code,\n"
    "  payer_account_number,payer_account_name,payee_sort_code,payee_account_number,\n"
    "  payee_account_name; at most 64 MiB). A scripted user sets the date picker to --date (or\n"
    "  keeps the proposed date) and saves to --out, answering an overwrite prompt Yes (No with\n"
    "  --keep-existing). --directory, --file-name, --extension: the host's configuration\n"
    "  (defaults: the folder of --out, payments, csv).\n";
const char* const kImportUsage =
    "kelvarn import --statement FILE [--sort-code TEXT] [--account-number TEXT] [--format json|text]\n"
    "  ImportStatement of FILE for the host's bank account with this sort code and account\n"
    "  number (with neither, the host has no bank account).\n";
const char* const kRecogniseUsage =
    "kelvarn recognise FILE... [--format json|text]\n"
    "  Whether the component recognises each file as the bank's statement (nothing imported).\n";
const char* const kCalendarUsage =
    "kelvarn calendar YYYY-MM-DD... [--format json|text]\n"
    "  The banking calendar for each date: banking day or not, why, the next banking day.\n";

// --format's value, or a usage error.
Command::Format ParseFormat(const std::string& value) {
  if (value == "json") return Command::Format::Json;
  if (value == "text") return Command::Format::Text;
  throw UsageError("--format takes json or text, not: " + value);
}

}  // namespace

std::string UsageText(Command::Kind kind) {
  switch (kind) {
    case Command::Kind::Info:
      return std::string("usage: ") + kInfoUsage;
    case Command::Kind::Export:
      return std::string("usage: ") + kExportUsage;
    case Command::Kind::Import:
      return std::string("usage: ") + kImportUsage;
    case Command::Kind::Recognise:
      return std::string("usage: ") + kRecogniseUsage;
    case Command::Kind::Calendar:
      return std::string("usage: ") + kCalendarUsage;
  }
  return {};
}

std::string UsageText() {
  return std::string(
             "The reference host: runs the Kelvarn Bank component's jobs as the accounting product does.\n"
             "usage: kelvarn COMMAND [OPTIONS]    kelvarn COMMAND --help    kelvarn --help\n\n") +
         kInfoUsage + kExportUsage + kImportUsage + kRecogniseUsage + kCalendarUsage +
         "\nThe answer is one JSON document on stdout (--format text: a short answer in words).\n"
         "Exit code 0: the component's calls succeeded; 1: one failed; 2: bad arguments.\n";
}

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
  if (arguments[0] == "--help" || arguments[0] == "-h") {
    if (arguments.size() > 1) throw UsageError("--help alone, or COMMAND --help");
    command.help = command.helpAll = true;
    return command;
  }
  // --format and --help belong to every command: taken out before the command's own options.
  std::vector<std::string> own{arguments[0]};
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--help" || arguments[i] == "-h") {
      command.help = true;
    } else if (arguments[i] == "--format") {
      if (i + 1 == arguments.size()) throw UsageError("--format needs a value");
      command.format = ParseFormat(arguments[++i]);
    } else {
      own.push_back(arguments[i]);
    }
  }
  ArgumentCursor cursor(own);
  const std::string& name = own[0];
  if (command.help) {
    const struct {
      const char* name;
      Command::Kind kind;
    } kinds[] = {{"info", Command::Kind::Info},
                 {"export", Command::Kind::Export},
                 {"import", Command::Kind::Import},
                 {"recognise", Command::Kind::Recognise},
                 {"calendar", Command::Kind::Calendar}};
    for (const auto& k : kinds) {
      if (name == k.name) {
        command.kind = k.kind;
        return command;
      }
    }
    throw UsageError("unknown command: " + name);
  }
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
