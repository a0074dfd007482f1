// info: the Bank object as a host sees it, through its ProgID.
#include <optional>

#include "frame/owners_win.h"
#include "refhost/host_commands.h"
#include "refhost/json_writer.h"
#include "refhost/text_answer.h"
#include "refhost/windows_text.h"
#include "trelk_kelvarn_bank.h"

namespace refhost {
namespace {

using kelvarn::ComPtr;
using kelvarn::UniqueBstr;
using kelvarn::UniqueVariant;

// A service's ServiceName, read late-bound as a scripting host does.
HRESULT ServiceName(IDispatch* service, std::string& name) {
  OLECHAR member[] = L"ServiceName";
  LPOLESTR names[] = {member};
  DISPID id = 0;
  HRESULT hr = service->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPPARAMS none{};
  UniqueVariant result;
  hr = service->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result.get(), nullptr, nullptr);
  if (FAILED(hr)) return hr;
  if (result->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
  name = Utf8FromBstr(result->bstrVal);
  return S_OK;
}

// The names of the services, through the collection's enumerator.
HRESULT ServiceNames(ITrelkBankServices* services, std::vector<std::string>& names) {
  ComPtr<IUnknown> unknown;
  HRESULT hr = services->get_NewEnum(unknown.put());
  if (FAILED(hr)) return hr;
  if (!unknown) return E_POINTER;
  ComPtr<IEnumVARIANT> enumerator;
  hr = unknown->QueryInterface(IID_IEnumVARIANT, enumerator.put_void());
  if (FAILED(hr)) return hr;
  for (;;) {
    UniqueVariant item;
    ULONG fetched = 0;
    hr = enumerator->Next(1, item.get(), &fetched);
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE || fetched == 0) return S_OK;
    if (item->vt != VT_DISPATCH || !item->pdispVal) return DISP_E_TYPEMISMATCH;
    std::string name;
    hr = ServiceName(item->pdispVal, name);
    if (FAILED(hr)) return hr;
    names.push_back(std::move(name));
  }
}

}  // namespace

CommandOutput RunInfo() {
  std::optional<std::string> bankName;
  std::optional<LONG> fixedCode;
  std::optional<std::vector<std::string>> services;

  ComPtr<IBank> bank;
  HRESULT hr = CreateByProgId(L"TrelkKelvarnBank.Bank", __uuidof(IBank), bank.put_void());
  if (SUCCEEDED(hr)) {
    UniqueBstr name;
    hr = bank->get_BankName(name.put());
    if (SUCCEEDED(hr)) bankName = Utf8FromBstr(name.get());
  }
  if (SUCCEEDED(hr)) {
    LONG code = 0;
    hr = bank->get_FixedCode(&code);
    if (SUCCEEDED(hr)) fixedCode = code;
  }
  if (SUCCEEDED(hr)) {
    ComPtr<ITrelkBankServices> collection;
    hr = bank->get_Services(collection.put());
    if (SUCCEEDED(hr) && !collection) hr = E_POINTER;
    std::vector<std::string> names;
    if (SUCCEEDED(hr)) hr = ServiceNames(collection.get(), names);
    if (SUCCEEDED(hr)) services = std::move(names);
  }

  JsonWriter json;
  json.BeginObject().Key("hresult").String(HresultText(hr));
  if (bankName) json.Key("bank").String(*bankName);
  if (fixedCode) json.Key("fixed_code").Integer(*fixedCode);
  if (services) {
    json.Key("services").BeginArray();
    for (const std::string& name : *services) json.String(name);
    json.EndArray();
  }
  json.EndObject();
  CommandOutput output{hr, json.Finish(), {}, {}};
  if (bankName) output.text += *bankName + (fixedCode ? " (fixed code " + std::to_string(*fixedCode) + ")" : "") + "\n";
  if (services) {
    output.text += "services:";
    for (std::size_t i = 0; i < services->size(); ++i) output.text += (i ? ", " : " ") + (*services)[i];
    output.text += "\n";
  }
  if (FAILED(hr)) output.text += "failed: " + HresultWords(static_cast<std::uint32_t>(hr)) + "\n";
  return output;
}

}  // namespace refhost
