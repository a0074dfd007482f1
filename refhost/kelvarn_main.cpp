// The reference host: plays the accounting product on the command line and runs the component's
// jobs through the registered DLL (under Wine, in the build's prefix). Only the JSON answer goes
// to stdout; anything else goes to stderr. Exit codes: 0 the component's calls succeeded, 1 one
// failed (its HRESULT is in the JSON), 2 bad arguments or an unreadable payments file.
//   kelvarn info | export ... | import ... | recognise FILE... | calendar YYYY-MM-DD...
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#include <string>
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

// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& linuxPath, std::string& content) {
  FILE* file = _wfopen(WideFromUtf8(WindowsPath(linuxPath)).c_str(), L"rb");
  if (!file) return false;
  char buffer[65536];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, count);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
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

// Windows command lines end at 32,767 characters: scripts/kelvarn hands calendar dates over on
// stdin, one per line, after the argument "--dates-on-stdin".
std::vector<std::string> WithDatesFromStdin(std::vector<std::string> arguments) {
  if (arguments.size() != 2 || arguments[0] != "calendar" || arguments[1] != "--dates-on-stdin") return arguments;
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

int Run(const std::vector<std::string>& givenArguments) {
  const std::vector<std::string> arguments = WithDatesFromStdin(givenArguments);
  Command command;
  try {
    command = ParseCommandLine(arguments);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "kelvarn: %s\n", error.what());
    return kExitUsage;
  }
  if (command.kind == Command::Kind::Calendar) {
    WriteOut(CalendarJson(command.dates));
    return 0;
  }

  std::vector<CsvPayment> payments;
  if (command.kind == Command::Kind::Export) {
    std::string content;
    if (!ReadWholeFile(command.exportOptions.payments, content)) {
      std::fprintf(stderr, "kelvarn: cannot read %s\n", command.exportOptions.payments.c_str());
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
  if (!EnsureComponentRegistered(WindowsPath(KELVARN_DLL_PATH), hostLibraries)) return kExitFailure;

  CommandOutput output;
  switch (command.kind) {
    case Command::Kind::Info: output = RunInfo(); break;
    case Command::Kind::Export: output = RunExport(command.exportOptions, payments); break;
    case Command::Kind::Import: output = RunImport(command.importOptions); break;
    case Command::Kind::Recognise: output = RunRecognise(command.files); break;
    case Command::Kind::Calendar: break;
  }
  WriteOut(output.json);
  return SUCCEEDED(output.hr) ? 0 : kExitFailure;
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
