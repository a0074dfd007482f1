#pragma once
// The reference host's command line:
//   info
//   export --payments FILE.csv --out FILE [--date YYYY-MM-DD] [--directory DIR] [--file-name NAME]
//          [--extension EXT] [--keep-existing]
//   import --statement FILE [--sort-code TEXT] [--account-number TEXT]
//   recognise FILE...
//   calendar YYYY-MM-DD...
// Each command also takes --format json|text (json by default) and --help; --help alone gives
// the overview.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace refhost {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CalendarDate {
  int year = 0, month = 0, day = 0;
};

struct ExportOptions {
  std::string payments;                  // the payments CSV (Linux path)
  std::string out;                       // the file the save dialog is answered with (Linux path)
  std::optional<CalendarDate> date;      // changed in the picker; none: OK on the proposed date
  std::optional<std::string> directory;  // what the host's configuration returns
  std::string fileName = "payments";
  std::string extension = "csv";
  bool keepExisting = false;  // answer the save dialog's overwrite prompt No
};

struct ImportOptions {
  std::string statement;
  std::optional<std::string> sortCode;
  std::optional<std::string> accountNumber;
};

struct Command {
  enum class Kind { Info, Export, Import, Recognise, Calendar } kind = Kind::Info;
  enum class Format { Json, Text } format = Format::Json;
  // --help: the usage text of the command (or, with helpAll, of them all) instead of a run.
  bool help = false;
  bool helpAll = false;
  ExportOptions exportOptions;
  ImportOptions importOptions;
  std::vector<std::string> files;   // recognise
  std::vector<CalendarDate> dates;  // calendar
};

// Throws UsageError with a one-line reason.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text --help prints: of one command, or the overview of every command.
std::string UsageText(Command::Kind kind);
std::string UsageText();

// YYYY-MM-DD, a real calendar date of the years 100 to 9999; throws UsageError otherwise.
CalendarDate ParseCalendarDate(const std::string& text);
std::string FormatCalendarDate(const CalendarDate& date);

}  // namespace refhost
