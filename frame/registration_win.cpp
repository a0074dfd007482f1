#include "frame/registration_win.h"

#include <objbase.h>
#include <comcat.h>

#include <string>
#include <string_view>

#include "frame/class_table_win.h"
#include "frame/error_reporting_win.h"
#include "frame/module_win.h"
#include "frame/module_path_win.h"
#include "frame/owners_win.h"
#include "frame/registry_editor_win.h"
#include "frame/registry_script.h"
#include "frame/type_library_win.h"

namespace kelvarn {
namespace {

// The script of a class from the module's REGISTRY resources, with %MODULE% replaced.
HRESULT LoadClassScript(UINT resourceId, const std::string& modulePath, registry_script::Script& script) {
  HINSTANCE module = ModuleInstance();
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "REGISTRY");
  if (!resource) return HRESULT_FROM_WIN32(GetLastError());
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return HRESULT_FROM_WIN32(GetLastError());
  const std::string_view text(static_cast<const char*>(data), SizeofResource(module, resource));
  std::string error;
  if (!registry_script::Parse(text, {{"Module", modulePath}}, script, error)) return E_UNEXPECTED;
  return S_OK;
}

ComPtr<ICatRegister> CreateCategoryManager() {
  ComPtr<ICatRegister> manager;
  if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                              manager.put_void()))) {
    manager.reset();
  }
  return manager;
}

HRESULT RegisterServerThrowing() {
  const std::string modulePath = ModulePathAnsi();
  if (modulePath.empty()) return HRESULT_FROM_WIN32(GetLastError());
  WindowsRegistryEditor registry;
  for (ClassEntry* entry = ClassTableBegin(); entry != ClassTableEnd(); ++entry) {
    registry_script::Script script;
    HRESULT hr = LoadClassScript(entry->registryScript, modulePath, script);
    if (FAILED(hr)) return hr;
    if (const std::int32_t failure = registry_script::Register(script, registry)) {
      return HRESULT_FROM_WIN32(static_cast<DWORD>(failure));
    }
    if (entry->implementedCategory) {
      // Without the category manager the categories are skipped.
      if (ComPtr<ICatRegister> manager = CreateCategoryManager()) {
        CATID category = *entry->implementedCategory;
        hr = manager->RegisterClassImplCategories(*entry->clsid, 1, &category);
        if (FAILED(hr)) return hr;
      }
    }
  }
  return RegisterComponentTypeLibrary();
}

void UnregisterServerThrowing() {
  const std::string modulePath = ModulePathAnsi();
  WindowsRegistryEditor registry;
  for (ClassEntry* entry = ClassTableBegin(); entry != ClassTableEnd(); ++entry) {
    registry_script::Script script;
    if (SUCCEEDED(LoadClassScript(entry->registryScript, modulePath, script))) {
      registry_script::Unregister(script, registry);
    }
    if (entry->implementedCategory) {
      if (ComPtr<ICatRegister> manager = CreateCategoryManager()) {
        CATID category = *entry->implementedCategory;
        manager->UnRegisterClassImplCategories(*entry->clsid, 1, &category);
      }
    }
  }
  UnregisterComponentTypeLibrary();
}

}  // namespace

HRESULT RegisterServer() noexcept {
  // The script and path strings are the only things that throw.
  return RunOrFail(E_OUTOFMEMORY, [] { return RegisterServerThrowing(); });
}

HRESULT UnregisterServer() noexcept {
  // Removal is best effort.
  return RunOrFail(S_OK, [] { UnregisterServerThrowing(); });
}

}  // namespace kelvarn
