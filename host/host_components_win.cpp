#include "host/host_components_win.h"

#include <cstddef>
#include <cstring>

#include "common/narrow_text_win.h"
#include "frame/error_reporting_win.h"

namespace kelvarn {

// The host's chooser reads the request as its 32-bit layout: the pointer and 396 bytes.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(StatementFileRequest) == 400, "StatementFileRequest is 400 bytes on 32-bit Windows");
#endif
static_assert(offsetof(StatementFileRequest, recogniser) == 0, "the recogniser is the request's first field");

namespace {

template <std::size_t Size>
std::array<char, Size> MakeBankKey() {
  static_assert(Size > sizeof kBankKey);
  std::array<char, Size> key{};
  std::memcpy(key.data(), kBankKey, sizeof kBankKey);
  return key;
}

}  // namespace

BankingConfigurationClient::BankingConfigurationClient() noexcept
    : component_(CreateHostComponent<IBankingConfiguration>(CLSID_BankingConfiguration)) {}

IBankingConfiguration* BankingConfigurationClient::Component() {
  if (!component_) ThrowHostFailure(E_POINTER);
  return component_.get();
}

void BankingConfigurationClient::Check(HRESULT hr) {
  if (FAILED(hr)) ThrowHostFailureFrom(hr, component_.get(), __uuidof(IBankingConfiguration));
}

void BankingConfigurationClient::ConfigureBank(LONG option) {
  IBankingConfiguration* component = Component();
  auto key = MakeBankKey<kConfigureBankKeySize>();
  Check(component->ConfigureBank(key.data(), option));
}

void BankingConfigurationClient::GetStatementFileRequest(StatementFileRequest& request) {
  IBankingConfiguration* component = Component();
  auto key = MakeBankKey<kBankKeySize>();
  Check(component->GetStatementFileRequest(key.data(), &request));
}

PaymentFileDefaults BankingConfigurationClient::GetPaymentFileDefaults() {
  IBankingConfiguration* component = Component();
  auto key = MakeBankKey<kBankKeySize>();
  PaymentFileDefaults defaults;
  Check(component->GetPaymentFileDefaults(key.data(), defaults.fileName.data(), defaults.extension.data(),
                                          defaults.directory.data()));
  defaults.fileName.back() = '\0';
  defaults.extension[kPaymentFileExtensionLength] = '\0';
  defaults.directory.back() = '\0';
  return defaults;
}

StatementFileChoice ChooseStatementFile(char (&path)[kStatementPathSize], IdentifyStatementFileFunction recogniser) {
  path[0] = '\0';
  StatementFileRequest request{};
  {
    BankingConfigurationClient configuration;
    configuration.GetStatementFileRequest(request);
  }
  request.recogniser = reinterpret_cast<void*>(recogniser);

  ComPtr<IStatementFileChooser> chooser = CreateHostComponent<IStatementFileChooser>(CLSID_StatementFileChooser);
  if (!chooser) ThrowHostFailure(E_POINTER);
  HRESULT hr = chooser->ChooseFile(&request);
  if (FAILED(hr)) ThrowHostFailureFrom(hr, chooser.get(), __uuidof(IStatementFileChooser));
  // Both results are ignored; a chooser that writes nothing counts as cancelled, with no path.
  LONG cancelled = 1;
  chooser->GetCancelled(&cancelled);
  LPWSTR chosen = nullptr;
  chooser->GetFileName(&chosen);  // the chooser's own string: copied, never freed
  if (cancelled != 0) return StatementFileChoice::Cancelled;
  if (!chosen || *chosen == L'\0') return StatementFileChoice::Chosen;
  const std::size_t bytes = CopyWideAsAnsi(path, kStatementPathSize, chosen);
  if (bytes == 0 || bytes > kStatementPathSize) return StatementFileChoice::TooLong;
  return StatementFileChoice::Chosen;
}

}  // namespace kelvarn
