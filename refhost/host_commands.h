#pragma once
// The reference host's commands that go through the registered component, as the accounting
// product would use it. Each returns the component's answer as one JSON document, with the
// HRESULT that decides the exit code. COM must be initialised (apartment) on the calling thread.
#include <windows.h>

#include <string>
#include <vector>

#include "refhost/command_line.h"
#include "refhost/payments_csv.h"

namespace refhost {

struct CommandOutput {
  HRESULT hr = S_OK;
  std::string json;
  std::string userFailure;  // what went wrong answering the dialogs ("" when nothing did)
  std::string text;         // the answer in words (--format text)
};

// The Bank object: its name, fixed code and the names of its services.
CommandOutput RunInfo();
// ExportPayments with the payments given, the dialogs answered as `options` says.
CommandOutput RunExport(const ExportOptions& options, const std::vector<CsvPayment>& payments);
// ImportStatement of one file, chosen through the host's chooser.
CommandOutput RunImport(const ImportOptions& options);
// The recogniser's answer on each file (the chooser then cancels: nothing is imported).
CommandOutput RunRecognise(const std::vector<std::string>& files);

// The Windows form of a Linux path of the command line ("/a/b" is "Z:\a\b").
std::string WindowsPath(const std::string& linuxPath);

// Creates one of the component's classes as a host does: by its ProgID, through the registry.
HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** object);

// The answer of a command that failed before the component could give one: only its HRESULT.
CommandOutput FailedCommand(HRESULT hr);

}  // namespace refhost
