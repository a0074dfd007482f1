#include "frame/type_library_win.h"

#include <string>

#include "frame/error_reporting_win.h"
#include "frame/module_path_win.h"
#include "frame/owners_win.h"

namespace kelvarn {
namespace {

// The type library from the module itself (resource TYPELIB 1) or from a ".tlb" file beside it.
HRESULT LoadComponentTypeLibrary(ComPtr<ITypeLib>& library, std::wstring& loadedFrom) {
  const std::wstring modulePath = ModulePathWide();
  if (modulePath.empty()) return HRESULT_FROM_WIN32(GetLastError());
  // REGKIND_NONE: loading must not register (unregistration loads it too).
  HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
  if (SUCCEEDED(hr)) {
    loadedFrom = modulePath;
    return hr;
  }
  // Only the file name's extension is replaced: a dot in a directory name is not an extension.
  std::wstring tlbPath = modulePath;
  const std::size_t nameStart = tlbPath.find_last_of(L"\\/");
  const std::size_t dot = tlbPath.find_last_of(L'.');
  if (dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart)) tlbPath.resize(dot);
  tlbPath += L".tlb";
  hr = LoadTypeLibEx(tlbPath.c_str(), REGKIND_NONE, library.put());
  if (SUCCEEDED(hr)) loadedFrom = tlbPath;
  return hr;
}

std::wstring DirectoryOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

}  // namespace

HRESULT RegisterComponentTypeLibrary() noexcept {
  // Only the path strings can throw.
  return RunOrFail(E_OUTOFMEMORY, [] {
    ComPtr<ITypeLib> library;
    std::wstring path;
    HRESULT hr = LoadComponentTypeLibrary(library, path);
    if (FAILED(hr)) return hr;
    std::wstring helpDirectory = DirectoryOf(ModulePathWide());
    return RegisterTypeLib(library.get(), path.data(), helpDirectory.empty() ? nullptr : helpDirectory.data());
  });
}

HRESULT UnregisterComponentTypeLibrary() noexcept {
  return RunOrFail(E_OUTOFMEMORY, [] {
    ComPtr<ITypeLib> library;
    std::wstring path;
    HRESULT hr = LoadComponentTypeLibrary(library, path);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr) || !attributes) return hr;
    const TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);
    // Looked up at run time: old versions of oleaut32 do not have it.
    using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    HMODULE oleaut32 = GetModuleHandleA("oleaut32.dll");
    if (!oleaut32) return S_OK;
    auto unregister = reinterpret_cast<UnRegisterTypeLibFunction>(
        reinterpret_cast<void*>(GetProcAddress(oleaut32, "UnRegisterTypeLib")));
    if (!unregister) return S_OK;
    return unregister(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
  });
}

}  // namespace kelvarn
