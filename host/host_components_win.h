#pragma once
// Calls of the host's components BankingConfiguration and StatementFileChooser. Each operation
// creates the components it needs afresh and releases them at its end. Failures are thrown as
// host-call failures (`_com_error`): E_POINTER when a component could not be created, else the
// failing HRESULT with the component's error information.
#include <windows.h>
#include <oaidl.h>

#include <array>

#include "frame/owners_win.h"
#include "trelk_ebanking.h"

namespace kelvarn {

// The bank's key for the host's configuration: "Kelvarn Bank", zero-filled to the buffer's size.
inline constexpr char kBankKey[] = "Kelvarn Bank";
inline constexpr std::size_t kConfigureBankKeySize = 1024;
inline constexpr std::size_t kBankKeySize = 100;

// Creates a host component (class context 0x17: in-process server and handler, local and remote
// server) for IUnknown, runs it, and queries `Interface`; empty when no pointer results.
template <typename Interface>
ComPtr<Interface> CreateHostComponent(REFCLSID clsid) noexcept {
  ComPtr<IUnknown> unknown;
  constexpr DWORD kAnyServer =
      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
  static_assert(kAnyServer == 0x17, "class context of the host components");
  if (FAILED(CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, unknown.put_void())) || !unknown) {
    return nullptr;
  }
  OleRun(unknown.get());  // result ignored: the query below decides
  return unknown.As<Interface>();
}

// The configuration's contract: at most three characters of file extension.
inline constexpr std::size_t kPaymentFileExtensionLength = 3;

struct PaymentFileDefaults {
  std::array<char, 1024> fileName{};
  // Without the dot; empty: none. The contract is 3 characters and the terminator, but a
  // configuration may write a longer extension: the buffer has room for it, and only its first
  // 3 characters are kept.
  std::array<char, 256> extension{};
  std::array<char, 1024> directory{};
};

// The host's BankingConfiguration component for one operation.
class BankingConfigurationClient {
 public:
  BankingConfigurationClient() noexcept;

  // ConfigureBank with the 1024-byte key and the option value.
  void ConfigureBank(LONG option);
  // GetStatementFileRequest with the 100-byte key; fills `request`.
  void GetStatementFileRequest(StatementFileRequest& request);
  // GetPaymentFileDefaults with the 100-byte key. Each buffer's last byte is forced to NUL, so
  // a component that overfills one cannot leave it unterminated; the extension is cut to 3.
  PaymentFileDefaults GetPaymentFileDefaults();

 private:
  IBankingConfiguration* Component();
  void Check(HRESULT hr);

  ComPtr<IBankingConfiguration> component_;
};

// The statement file choice of the import run.
enum class StatementFileChoice {
  Cancelled,  // no file chosen
  Chosen,     // the path is in the caller's buffer
  TooLong,    // a file was chosen whose path does not fit the buffer: no readable file
};

inline constexpr std::size_t kStatementPathSize = 260;  // 259 characters and the terminator

// Empties `path`, fills a statement file request from the configuration, sets its recogniser,
// lets the user choose through the host's StatementFileChooser and copies the chosen path
// (ANSI code page; a null path counts as empty) into `path`.
StatementFileChoice ChooseStatementFile(char (&path)[kStatementPathSize], IdentifyStatementFileFunction recogniser);

}  // namespace kelvarn
