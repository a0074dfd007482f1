#pragma once
// The host's components BankingConfiguration and StatementFileChooser as COM classes of the test
// program: while a FakeHostComponents object lives, their class objects are registered
// (CoRegisterClassObject) on the calling thread, so the component creates them as it would the
// host's. Each creation makes a fresh object that records its life and calls into the CallLog:
//
//   CallLog log;
//   FakeHostComponents host(log);
//   host.configuration.directory = "C:\\Missing";
//   host.chooser.cancelled = true;
//   host.configuration.failures["GetPaymentFileDefaults"] = {E_FAIL, L"no defaults"};
//   ... run the component ...
//   EXPECT_EQ(log.Take(), (Lines{"configuration created",
//                                "configuration.GetPaymentFileDefaults(key \"Kelvarn Bank\" zero-filled to 100)",
//                                "error info \"no defaults\" released", "configuration released"}));
#include <string>
#include <vector>

#include "fakehost/fake_object.h"
#include "trelk_ebanking.h"

namespace kelvarn::test {

// What a component does when it is created and called.
struct ComponentControl {
  HRESULT creationFailure = S_OK;           // a failure here: the class object cannot create it
  bool answersInterface = true;             // false: created, but refuses the query for its interface
  bool richErrors = true;                   // ISupportErrorInfo answers S_OK for its interface
  std::map<std::string, Failure> failures;  // methods that fail, by name
};

struct BankingConfigurationSettings : ComponentControl {
  // Written by GetPaymentFileDefaults as given, each cut to its buffer (1024, 4, 1024 bytes); a
  // text that does not fit fills the buffer with no terminator.
  std::string fileName = "payments";
  std::string extension = "csv";
  std::string directory = "C:\\Payments";
  // Written by GetStatementFileRequest into the request after its recogniser.
  std::string title = "Kelvarn Bank statements";
  std::string initialDirectory = "C:\\Statements";
  LONG flags = 7;
};

struct StatementFileChooserSettings : ComponentControl {
  std::vector<std::string> candidates;               // ChooseFile hands each to the recogniser, in order
  LONG cancelled = 0;                                // answered by GetCancelled
  FakeText path = L"C:\\Statements\\statement.txt";  // answered by GetFileName (the chooser's own)
};

// One answer of the component's recogniser to the chooser.
struct Recognition {
  std::string path;
  int result = 0;
  std::string description;  // what the recogniser wrote into the chooser's buffer
};

class FakeHostComponents {
 public:
  explicit FakeHostComponents(CallLog& log);
  FakeHostComponents(const FakeHostComponents&) = delete;
  FakeHostComponents& operator=(const FakeHostComponents&) = delete;
  ~FakeHostComponents();

  BankingConfigurationSettings configuration;
  StatementFileChooserSettings chooser;
  // Every recogniser answer the choosers received, in order.
  std::vector<Recognition> recognitions;

 private:
  CallLog& log_;
  DWORD configurationCookie_ = 0;
  DWORD chooserCookie_ = 0;
};

}  // namespace kelvarn::test
