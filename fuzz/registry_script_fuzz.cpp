// Any text as a registrar script: parsing, and for a script that parses, registration and
// unregistration against a registry held in memory; the parsed script written back out as text
// parses to the same script.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/registry_script.h"
#include "fuzz/fuzz_check.h"

namespace kelvarn::registry_script {

// Whole-script comparison (found by argument-dependent lookup, so not in the unnamed namespace).
bool operator==(const Key& a, const Key& b);
bool operator==(const Value& a, const Value& b) {
  return a.name == b.name && a.type == b.type && a.text == b.text && a.number == b.number;
}
bool operator==(const Key& a, const Key& b) {
  return a.name == b.name && a.flag == b.flag && a.defaultValue == b.defaultValue && a.values == b.values &&
         a.subkeys == b.subkeys;
}
bool operator==(const Root& a, const Root& b) { return a.root == b.root && a.keys == b.keys; }

namespace {

// Every token quoted: a quote doubled, and a percent sign doubled for the replacement step.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted.push_back(c);
    if (c == '\'' || c == '%') quoted.push_back(c);
  }
  return quoted + "'";
}

std::string ValueText(const Value& value) {
  return value.type == ValueType::String ? "s " + Quoted(value.text) : "d " + std::to_string(value.number);
}

void WriteKey(const Key& key, std::string& text) {
  static const char* const kFlags[] = {"", "NoRemove ", "ForceRemove ", "Delete "};
  text += kFlags[static_cast<int>(key.flag)] + Quoted(key.name);
  if (key.defaultValue) text += " = " + ValueText(*key.defaultValue);
  text += "\n{\n";
  for (const Value& value : key.values) text += "val " + Quoted(value.name) + " = " + ValueText(value) + "\n";
  for (const Key& subkey : key.subkeys) WriteKey(subkey, text);
  text += "}\n";
}

std::string Written(const Script& script) {
  static const char* const kRoots[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC"};
  std::string text;
  for (const Root& root : script.roots) {
    text += std::string(kRoots[static_cast<int>(root.root)]) + "\n{\n";
    for (const Key& key : root.keys) WriteKey(key, text);
    text += "}\n";
  }
  return text;
}

// Keys by (root, path) with their values; creating a key creates the keys above it.
class MemoryRegistry final : public RegistryEditor {
 public:
  std::int32_t CreateKey(RootKey root, const std::string& path) override {
    FUZZ_CHECK(!path.empty());
    for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
      keys_[{root, path.substr(0, slash)}];
    }
    keys_[{root, path}];
    return 0;
  }
  bool KeyExists(RootKey root, const std::string& path) override { return keys_.count({root, path}) == 1; }
  bool HasSubkeys(RootKey root, const std::string& path) override {
    const auto next = keys_.upper_bound({root, path});
    return next != keys_.end() && next->first.first == root && next->first.second.rfind(path + "\\", 0) == 0;
  }
  std::int32_t DeleteTree(RootKey root, const std::string& path) override {
    if (!KeyExists(root, path)) return 2;
    for (auto key = keys_.find({root, path});
         key != keys_.end() && key->first.first == root &&
         (key->first.second == path || key->first.second.rfind(path + "\\", 0) == 0);) {
      key = keys_.erase(key);
    }
    return 0;
  }
  std::int32_t DeleteKey(RootKey root, const std::string& path) override {
    if (!KeyExists(root, path)) return 2;
    if (HasSubkeys(root, path)) return 5;
    keys_.erase({root, path});
    return 0;
  }
  std::int32_t SetValue(RootKey root, const std::string& path, const Value& value) override {
    const auto key = keys_.find({root, path});
    if (key == keys_.end()) return 2;
    key->second[value.name] = value;
    return 0;
  }
  std::int32_t DeleteValue(RootKey root, const std::string& path, const std::string& name) override {
    const auto key = keys_.find({root, path});
    if (key == keys_.end()) return 2;
    return key->second.erase(name) == 1 ? 0 : 2;
  }

 private:
  std::map<std::pair<RootKey, std::string>, std::map<std::string, Value>> keys_;
};

}  // namespace
}  // namespace kelvarn::registry_script

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvarn::registry_script;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The registration's own replacement, with a quote in it as a path may have.
  const std::vector<Replacement> replacements = {{"MODULE", "C:\\Program Files\\O'Brien\\TrelkKelvarnBank.dll"}};
  Script script;
  std::string error;
  if (!Parse(text, replacements, script, error)) {
    FUZZ_CHECK(!error.empty() && script.roots.empty());
    return 0;
  }
  FUZZ_CHECK(error.empty());

  Script again;
  FUZZ_CHECK(Parse(Written(script), replacements, again, error));
  FUZZ_CHECK(again.roots == script.roots);

  MemoryRegistry registry;
  FUZZ_CHECK(Register(script, registry) == 0);
  Unregister(script, registry);
  FUZZ_CHECK(Register(script, registry) == 0);  // registering twice works as once
  return 0;
}
