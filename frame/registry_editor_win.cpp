#include "frame/registry_editor_win.h"

#include <windows.h>

#include "frame/owners_win.h"

namespace kelvarn {
namespace {

using registry_script::RootKey;

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RootKey::CurrentUser:
      return HKEY_CURRENT_USER;
    case RootKey::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RootKey::Users:
      return HKEY_USERS;
    case RootKey::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CLASSES_ROOT;
}

LSTATUS Open(RootKey root, const std::string& path, REGSAM access, UniqueHkey& key) {
  return RegOpenKeyExA(RootHandle(root), path.c_str(), 0, access, key.put());
}

}  // namespace

std::int32_t WindowsRegistryEditor::CreateKey(RootKey root, const std::string& path) {
  UniqueHkey key;
  return RegCreateKeyExA(RootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                         nullptr, key.put(), nullptr);
}

bool WindowsRegistryEditor::KeyExists(RootKey root, const std::string& path) {
  UniqueHkey key;
  return Open(root, path, KEY_READ, key) == ERROR_SUCCESS;
}

bool WindowsRegistryEditor::HasSubkeys(RootKey root, const std::string& path) {
  UniqueHkey key;
  if (Open(root, path, KEY_READ, key) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return true;  // unknown: keep the key rather than lose someone else's entries
  }
  return subkeys != 0;
}

std::int32_t WindowsRegistryEditor::DeleteTree(RootKey root, const std::string& path) {
  UniqueHkey key;
  LSTATUS status = Open(root, path, KEY_ALL_ACCESS, key);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  status = RegDeleteTreeA(key.get(), nullptr);  // everything below the key
  key.reset();
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteKeyA(RootHandle(root), path.c_str());
}

std::int32_t WindowsRegistryEditor::DeleteKey(RootKey root, const std::string& path) {
  return RegDeleteKeyA(RootHandle(root), path.c_str());
}

std::int32_t WindowsRegistryEditor::SetValue(RootKey root, const std::string& path,
                                             const registry_script::Value& value) {
  UniqueHkey key;
  LSTATUS status = Open(root, path, KEY_SET_VALUE, key);
  if (status != ERROR_SUCCESS) return status;
  const char* name = value.name.empty() ? nullptr : value.name.c_str();
  if (value.type == registry_script::ValueType::Number) {
    const DWORD number = value.number;
    return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                        static_cast<DWORD>(value.text.size() + 1));
}

std::int32_t WindowsRegistryEditor::DeleteValue(RootKey root, const std::string& path, const std::string& name) {
  UniqueHkey key;
  LSTATUS status = Open(root, path, KEY_SET_VALUE, key);
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteValueA(key.get(), name.empty() ? nullptr : name.c_str());
}

}  // namespace kelvarn
