#include "tests/com/private_module_copy.h"

#include "tests/com/module_imports.h"

namespace kelvarn::test {

PrivateModuleCopy::PrivateModuleCopy() {
  char built[MAX_PATH * 4];
  GetFullPathNameA(KELVARN_DLL_PATH, sizeof built, built, nullptr);
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  static int serial = 0;
  path_ = std::string(temp) + "kelvarn-module-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++serial) + ".dll";
  if (!CopyFileA(built, path_.c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy " << built << " to " << path_ << ": error " << GetLastError();
    return;
  }
  module_ = LoadLibraryA(path_.c_str());
  if (!module_) {
    ADD_FAILURE() << "cannot load " << path_ << ": error " << GetLastError();
    return;
  }
  getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
}

PrivateModuleCopy::~PrivateModuleCopy() {
  Unload();
  DeleteFileA(path_.c_str());
}

void* PrivateModuleCopy::ReplaceImport(const char* library, const char* function, void* replacement) {
  void** slot = FindImportSlot(module_, library, function);
  if (!slot) {
    ADD_FAILURE() << "the module imports no " << function << " from " << library;
    return nullptr;
  }
  void* original = *slot;
  WriteImportSlot(slot, replacement);
  return original;
}

HRESULT PrivateModuleCopy::CreateInstance(REFCLSID clsid, REFIID iid, void** out) {
  ComPtr<IClassFactory> factory;
  const HRESULT hr = getClassObject_ ? getClassObject_(clsid, IID_IClassFactory, factory.put_void()) : E_POINTER;
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, iid, out);
}

BOOL PrivateModuleCopy::CallEntryPoint(DWORD reason, void* reserved) {
  if (!module_) return FALSE;
  auto* base = reinterpret_cast<BYTE*>(module_);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
  const auto entry = reinterpret_cast<EntryPoint>(base + nt->OptionalHeader.AddressOfEntryPoint);
  return entry(module_, reason, reserved);
}

void PrivateModuleCopy::Unload() {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  getClassObject_ = nullptr;
}

}  // namespace kelvarn::test
