#include "fakehost/type_library_registration.h"

#include <oleauto.h>

#include "frame/owners_win.h"
#include "fakehost/call_log.h"

namespace kelvarn::test {
namespace {

std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
  return length > 0 && length < std::size(full) ? std::wstring(full, length) : path;
}

}  // namespace

HRESULT RegisterTypeLibraryFile(const std::wstring& file, bool unregister, std::string& failure) {
  const std::wstring path = FullPath(file);
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr)) {
    failure = "cannot load " + Utf8(path.c_str()) + ": " + Hex(hr);
    return hr;
  }
  if (unregister) {
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (SUCCEEDED(hr)) {
      hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                             attributes->syskind);
      library->ReleaseTLibAttr(attributes);
    }
  } else {
    std::wstring directory = path;
    directory.resize(directory.find_last_of(L'\\') == std::wstring::npos ? 0 : directory.find_last_of(L'\\'));
    std::wstring file = path;
    hr = RegisterTypeLib(library.get(), file.data(), directory.data());
  }
  if (FAILED(hr))
    failure = (unregister ? "cannot unregister " : "cannot register ") + Utf8(path.c_str()) + ": " + Hex(hr);
  return hr;
}

bool IsTypeLibraryFileRegistered(const std::wstring& file) {
  const std::wstring path = FullPath(file);
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()))) return false;
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes))) return false;
  UniqueBstr registeredPath;
  const HRESULT hr = QueryPathOfRegTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                           attributes->lcid, registeredPath.put());
  library->ReleaseTLibAttr(attributes);
  return SUCCEEDED(hr) && registeredPath.get() && _wcsicmp(registeredPath.get(), path.c_str()) == 0;
}

}  // namespace kelvarn::test
