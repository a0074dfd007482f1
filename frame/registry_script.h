#pragma once
// The registrar's script syntax (the REGISTRY resources 101 to 104) and the registration and
// unregistration they describe. Portable: the registry itself is behind RegistryEditor, so the
// interpreter can be tested and fuzzed without Windows.
//
//   HKCR
//   {
//       NoRemove CLSID                          (never removed)
//       {
//           ForceRemove {clsid} = s 'Name'      (deleted whole before it is written, and removed)
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Tokens are separated by white space; 'quoted' tokens double an inner quote (''). %NAME% is
// replaced before parsing (quotes in the replacement doubled) and %% stands for %. Value types:
// s (string) and d (32-bit number, decimal or 0x hexadecimal). A plain key is removed at
// unregistration once none of its subkeys is left; Delete removes a key at registration too.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn::registry_script {

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };
enum class KeyFlag { None, NoRemove, ForceRemove, Delete };
enum class ValueType { String, Number };

struct Value {
  std::string name;  // empty: the key's default value
  ValueType type = ValueType::String;
  std::string text;
  std::uint32_t number = 0;
};

struct Key {
  std::string name;
  KeyFlag flag = KeyFlag::None;
  std::optional<Value> defaultValue;
  std::vector<Value> values;
  std::vector<Key> subkeys;
};

struct Root {
  RootKey root = RootKey::ClassesRoot;
  std::vector<Key> keys;
};

struct Script {
  std::vector<Root> roots;
};

struct Replacement {
  std::string name;  // without the percent signs
  std::string text;
};

// Parses `text`; false with a short reason in `error` for a malformed script.
bool Parse(std::string_view text, const std::vector<Replacement>& replacements, Script& script, std::string& error);

// The registry as the interpreter sees it. Paths are relative to the root, components joined by
// a backslash. Results are platform error codes, 0 for success.
class RegistryEditor {
 public:
  virtual ~RegistryEditor() = default;
  virtual std::int32_t CreateKey(RootKey root, const std::string& path) = 0;  // creates or opens
  virtual bool KeyExists(RootKey root, const std::string& path) = 0;
  virtual bool HasSubkeys(RootKey root, const std::string& path) = 0;
  virtual std::int32_t DeleteTree(RootKey root, const std::string& path) = 0;  // the key and all below
  virtual std::int32_t DeleteKey(RootKey root, const std::string& path) = 0;   // a key with no subkeys
  virtual std::int32_t SetValue(RootKey root, const std::string& path, const Value& value) = 0;
  virtual std::int32_t DeleteValue(RootKey root, const std::string& path, const std::string& name) = 0;
};

// Writes what the script describes; the first failure ends it and is returned.
std::int32_t Register(const Script& script, RegistryEditor& registry);
// Removes what the script describes, as far as it can.
void Unregister(const Script& script, RegistryEditor& registry);

}  // namespace kelvarn::registry_script
