#pragma once
// The registrar script interpreter's view of the Windows registry (ANSI entry points).
#include "frame/registry_script.h"

namespace kelvarn {

class WindowsRegistryEditor final : public registry_script::RegistryEditor {
 public:
  std::int32_t CreateKey(registry_script::RootKey root, const std::string& path) override;
  bool KeyExists(registry_script::RootKey root, const std::string& path) override;
  bool HasSubkeys(registry_script::RootKey root, const std::string& path) override;
  std::int32_t DeleteTree(registry_script::RootKey root, const std::string& path) override;
  std::int32_t DeleteKey(registry_script::RootKey root, const std::string& path) override;
  std::int32_t SetValue(registry_script::RootKey root, const std::string& path,
                        const registry_script::Value& value) override;
  std::int32_t DeleteValue(registry_script::RootKey root, const std::string& path, const std::string& name) override;
};

}  // namespace kelvarn
