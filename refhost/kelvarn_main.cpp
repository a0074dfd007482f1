// The reference host: plays the accounting product on the command line and runs the component's
// jobs through the registered DLL (under Wine, in the build's prefix). Only the JSON answer goes
// to stdout (or, with --format text, the answer in words; --help: the usage); anything else goes
// to stderr. Exit codes: 0 the component's calls succeeded (or --help), 1 one failed (its HRESULT
// is in the answer), 2 bad arguments or an unreadable payments file.
//   kelvarn info | export ... | import ... | recognise FILE... | calendar YYYY-MM-DD...
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "refhost/calendar_command.h"
#include "refhost/command_line.h"
#include "refhost/component_registration.h"
#include "refhost/host_commands.h"
#include "refhost/payments_csv.h"
#include "refhost/wine_paths.h"
#include "refhost/windows_text.h"

namespace refhost {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void WriteOut(const std::string& json) {
  std::fwrite(json.data(), 1, json.size(), stdout);
  std::fflush(stdout);
}

// Larger payments files are refused rather than read into memory.
constexpr std::uint64_t kMaxPaymentsBytes = 64ull * 1024 * 1024;

// The system's text for a Windows error code, on one line.
std::string WindowsErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length ? Utf8FromWide(std::wstring(buffer, length)) : std::string();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  char code[32];
  std::snprintf(code, sizeof code, "Windows error %lu", static_cast<unsigned long>(error));
  return text.empty() ? code : text + " (" + code + ")";
}

// The whole payments file; on failure, why it cannot be used ("" when it was read).
std::string ReadPaymentsFile(const std::string& linuxPath, std::string& content) {
  const std::wstring path = WideFromUtf8(WindowsPath(linuxPath));
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "cannot read " + linuxPath + ": " + WindowsErrorText(GetLastError());
  std::string failure;
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  // The failures of the two reads say the same.
  if (!GetFileInformationByHandle(file, &info)) {  // NOLINT(bugprone-branch-clone)
    failure = "cannot read " + linuxPath + ": " + WindowsErrorText(GetLastError());
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || GetFileType(file) != FILE_TYPE_DISK) {
    failure = linuxPath + " is not a regular file" +
              std::string((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? " (a directory)" : "");
  } else if (!GetFileSizeEx(file, &size)) {
    failure = "cannot read " + linuxPath + ": " + WindowsErrorText(GetLastError());
  } else if (static_cast<std::uint64_t>(size.QuadPart) > kMaxPaymentsBytes) {
    failure = linuxPath + " is " + std::to_string(size.QuadPart) +
              " bytes: a payments file may have at most 64 MiB (67108864 bytes)";
  } else {
    char buffer[65536];
    DWORD count = 0;
    for (;;) {
      if (!ReadFile(file, buffer, sizeof buffer, &count, nullptr)) {
        failure = "cannot read " + linuxPath + ": " + WindowsErrorText(GetLastError());
        break;
      }
      if (count == 0) break;
      // A file that grows while it is read is held to the same limit.
      if (content.size() + count > kMaxPaymentsBytes) {
        failure = linuxPath + " grew past the 64 MiB (67108864 bytes) a payments file may have";
        break;
      }
      content.append(buffer, count);
    }
  }
  CloseHandle(file);
  return failure;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = list.find('|', start);
    items.push_back(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return items;
}

// Windows command lines end at 32,767 characters: scripts/kelvarn hands the dates of calendar and
// the files of recognise over on stdin, one per line, after the argument "--arguments-on-stdin".
std::vector<std::string> WithArgumentsFromStdin(std::vector<std::string> arguments) {
  if (arguments.size() != 2 || (arguments[0] != "calendar" && arguments[0] != "recognise") ||
      arguments[1] != "--arguments-on-stdin") {
    return arguments;
  }
  arguments.pop_back();
  _setmode(_fileno(stdin), _O_BINARY);
  std::string line;
  int c = 0;
  while ((c = std::getchar()) != EOF) {
    if (c == '\n') {
      arguments.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) arguments.push_back(line);
  return arguments;
}

// The component takes paths in the system code page, as Windows file names: a path that cannot
// be given to it that way is a bad argument, not a run.
void CheckPath(const std::string& option, const std::string& linuxPath, bool fileName) {
  const std::string path = WindowsPath(linuxPath);
  if (Utf8FromAnsi(AnsiFromUtf8(path)) != path) {
    throw UsageError(option + ": the path has characters the system code page does not hold: " + linuxPath);
  }
  const std::size_t afterDrive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  if (fileName && path.find_first_of(":*?\"<>|", afterDrive) != std::string::npos) {
    throw UsageError(option + ": not a possible Windows file name: " + linuxPath);
  }
}

void CheckArguments(const Command& command) {
  switch (command.kind) {
    case Command::Kind::Export: {
      const ExportOptions& options = command.exportOptions;
      CheckPath("--out", options.out, true);
      if (options.directory) CheckPath("--directory", *options.directory, false);
      CheckPath("--file-name", options.fileName, false);
      CheckPath("--extension", options.extension, false);
      // The date picker's calendar starts on 14 September 1752.
      if (options.date &&
          std::make_tuple(options.date->year, options.date->month, options.date->day) < std::make_tuple(1752, 9, 14)) {
        throw UsageError("--date: the date picker shows no date before 1752-09-14");
      }
      break;
    }
    case Command::Kind::Import:
      CheckPath("--statement", command.importOptions.statement, false);
      break;
    case Command::Kind::Recognise:
      for (const std::string& file : command.files) CheckPath("recognise", file, false);
      break;
    default:
      break;
  }
}

int Run(const std::vector<std::string>& givenArguments) {
  const std::vector<std::string> arguments = WithArgumentsFromStdin(givenArguments);
  Command command;
  try {
    command = ParseCommandLine(arguments);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "kelvarn: %s\n", error.what());
    return kExitUsage;
  }
  if (command.help) {
    WriteOut(command.helpAll ? UsageText() : UsageText(command.kind));
    return 0;
  }
  const bool text = command.format == Command::Format::Text;
  try {
    CheckArguments(command);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "kelvarn: %s\n", error.what());
    return kExitUsage;
  }
  if (command.kind == Command::Kind::Calendar) {
    WriteOut(text ? CalendarText(command.dates) : CalendarJson(command.dates));
    return 0;
  }

  std::vector<CsvPayment> payments;
  if (command.kind == Command::Kind::Export) {
    std::string content;
    const std::string failure = ReadPaymentsFile(command.exportOptions.payments, content);
    if (!failure.empty()) {
      std::fprintf(stderr, "kelvarn: --payments: %s\n", failure.c_str());
      return kExitUsage;
    }
    try {
      payments = ParsePaymentsCsv(content);
    } catch (const CsvError& error) {
      std::fprintf(stderr, "kelvarn: %s: %s\n", command.exportOptions.payments.c_str(), error.what());
      return kExitUsage;
    }
  }

  std::vector<std::string> hostLibraries;
  for (const std::string& library : SplitList(KELVARN_HOST_TLBS)) hostLibraries.push_back(WindowsPath(library));
  const HRESULT registered = EnsureComponentRegistered(WindowsPath(KELVARN_DLL_PATH), hostLibraries);
  if (FAILED(registered)) {
    const CommandOutput failed = FailedCommand(registered);
    WriteOut(text ? failed.text : failed.json);
    return kExitFailure;
  }

  CommandOutput output;
  switch (command.kind) {
    case Command::Kind::Info:
      output = RunInfo();
      break;
    case Command::Kind::Export:
      output = RunExport(command.exportOptions, payments);
      break;
    case Command::Kind::Import:
      output = RunImport(command.importOptions);
      break;
    case Command::Kind::Recognise:
      output = RunRecognise(command.files);
      break;
    case Command::Kind::Calendar:
      break;
  }
  WriteOut(text ? output.text : output.json);
  // A run whose dialogs could not be answered as asked (said on stderr) did not do what was asked.
  return SUCCEEDED(output.hr) && output.userFailure.empty() ? 0 : kExitFailure;
}

}  // namespace
}  // namespace refhost

int wmain(int argc, wchar_t** argv) {
  // The JSON's line ends are LF on every platform.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(refhost::Utf8FromWide(argv[i]));
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::fprintf(stderr, "kelvarn: COM could not be initialised\n");
    return 1;
  }
  const int result = refhost::Run(arguments);
  CoUninitialize();
  return result;
}
