// The registrar script interpreter against an in-memory registry.
#include "frame/registry_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kelvarn::registry_script {
namespace {

// Keys as paths ("CLSID\\{...}"), each with its values ("" is the default value) as text.
class MemoryRegistry final : public RegistryEditor {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::string failOnCreate;  // a key whose creation fails with error 5

  std::int32_t CreateKey(RootKey, const std::string& path) override {
    if (path == failOnCreate) return 5;
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
      keys[path.substr(0, at)];
    }
    keys[path];
    return 0;
  }
  bool KeyExists(RootKey, const std::string& path) override { return keys.count(path) != 0; }
  bool HasSubkeys(RootKey, const std::string& path) override {
    auto next = keys.upper_bound(path);
    return next != keys.end() && next->first.compare(0, path.size() + 1, path + "\\") == 0;
  }
  std::int32_t DeleteTree(RootKey, const std::string& path) override {
    for (auto it = keys.begin(); it != keys.end();) {
      it = (it->first == path || it->first.compare(0, path.size() + 1, path + "\\") == 0) ? keys.erase(it) : ++it;
    }
    return 0;
  }
  std::int32_t DeleteKey(RootKey root, const std::string& path) override {
    if (HasSubkeys(root, path)) return 5;
    return keys.erase(path) ? 0 : 2;
  }
  std::int32_t SetValue(RootKey, const std::string& path, const Value& value) override {
    keys.at(path)[value.name] = value.type == ValueType::Number ? "d:" + std::to_string(value.number) : value.text;
    return 0;
  }
  std::int32_t DeleteValue(RootKey, const std::string& path, const std::string& name) override {
    return keys.at(path).erase(name) ? 0 : 2;
  }

  // One line per key, then one per value: "key" and "key|name=text".
  std::string Dump() const {
    std::string out;
    for (const auto& [path, values] : keys) {
      out += path + "\n";
      for (const auto& [name, text] : values)
        out.append(path).append("|").append(name).append("=").append(text).append("\n");
    }
    return out;
  }
};

std::string ReadResource(const std::string& name) {
  std::ifstream file(std::string(KELVARN_FIXTURES) + "/../../resources/" + name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

Script ParseOrFail(const std::string& text, const std::string& module = "C:\\Bank\\TrelkKelvarnBank.dll") {
  Script script;
  std::string error;
  EXPECT_TRUE(Parse(text, {{"Module", module}}, script, error)) << error;
  return script;
}

constexpr char kPaymentServiceKeys[] =
    "CLSID\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}|=BankPaymentService Class\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\InprocServer32\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\InprocServer32|=C:\\O'Neil's\\TrelkKelvarnBank.dll\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\InprocServer32|ThreadingModel=Apartment\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\ProgID\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\ProgID|=TrelkKelvarnBank.BankPaymentService.1\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\Programmable\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\TypeLib\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\TypeLib|={EC24AC87-2980-4D9F-BD3E-B709EF2A580C}\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\VersionIndependentProgID\n"
    "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\VersionIndependentProgID|=TrelkKelvarnBank.BankPaymentService\n"
    "TrelkKelvarnBank.BankPaymentService\n"
    "TrelkKelvarnBank.BankPaymentService|=BankPaymentService Class\n"
    "TrelkKelvarnBank.BankPaymentService.1\n"
    "TrelkKelvarnBank.BankPaymentService.1|=BankPaymentService Class\n"
    "TrelkKelvarnBank.BankPaymentService.1\\CLSID\n"
    "TrelkKelvarnBank.BankPaymentService.1\\CLSID|={B32AD60A-4940-4963-A010-740731CC4AD0}\n"
    "TrelkKelvarnBank.BankPaymentService\\CLSID\n"
    "TrelkKelvarnBank.BankPaymentService\\CLSID|={B32AD60A-4940-4963-A010-740731CC4AD0}\n"
    "TrelkKelvarnBank.BankPaymentService\\CurVer\n"
    "TrelkKelvarnBank.BankPaymentService\\CurVer|=TrelkKelvarnBank.BankPaymentService.1\n";

TEST(RegistryScript, RegistersEveryKeyOfTheClassScriptWithQuotesInTheModulePath) {
  MemoryRegistry registry;
  const Script script = ParseOrFail(ReadResource("bank_payment_service.rgs"), "C:\\O'Neil's\\TrelkKelvarnBank.dll");
  EXPECT_EQ(Register(script, registry), 0);
  EXPECT_EQ(registry.Dump(), kPaymentServiceKeys);
}

TEST(RegistryScript, RegisteringTwiceReplacesTheForceRemoveKeyWhole) {
  MemoryRegistry registry;
  const Script script = ParseOrFail(ReadResource("bank_payment_service.rgs"), "C:\\O'Neil's\\TrelkKelvarnBank.dll");
  ASSERT_EQ(Register(script, registry), 0);
  // Left over from an older version: gone after the class key is written again.
  registry.CreateKey(RootKey::ClassesRoot, "CLSID\\{B32AD60A-4940-4963-A010-740731CC4AD0}\\Stale");
  ASSERT_EQ(Register(script, registry), 0);
  EXPECT_EQ(registry.Dump(), kPaymentServiceKeys);
}

TEST(RegistryScript, UnregisteringLeavesClsidAndOtherClassesInPlace) {
  MemoryRegistry registry;
  const Script payment = ParseOrFail(ReadResource("bank_payment_service.rgs"));
  const Script bank = ParseOrFail(ReadResource("bank.rgs"));
  ASSERT_EQ(Register(bank, registry), 0);
  ASSERT_EQ(Register(payment, registry), 0);
  registry.CreateKey(RootKey::ClassesRoot, "TrelkKelvarnBank.BankPaymentService\\Foreign");  // someone else's
  Unregister(payment, registry);

  // The bank's keys stay; the ProgID key stays (with its value) only for the foreign subkey.
  MemoryRegistry expected;
  ASSERT_EQ(Register(bank, expected), 0);
  expected.CreateKey(RootKey::ClassesRoot, "TrelkKelvarnBank.BankPaymentService\\Foreign");
  expected.SetValue(RootKey::ClassesRoot, "TrelkKelvarnBank.BankPaymentService",
                    {"", ValueType::String, "BankPaymentService Class", 0});
  EXPECT_EQ(registry.Dump(), expected.Dump());

  Unregister(bank, registry);
  EXPECT_EQ(
      registry.Dump(),
      "CLSID\nTrelkKelvarnBank.BankPaymentService\nTrelkKelvarnBank.BankPaymentService|=BankPaymentService Class\n"
      "TrelkKelvarnBank.BankPaymentService\\Foreign\n");
}

TEST(RegistryScript, UnregisteringWhatWasNeverRegisteredChangesNothing) {
  MemoryRegistry registry;
  Unregister(ParseOrFail(ReadResource("bank.rgs")), registry);
  EXPECT_EQ(registry.Dump(), "");
}

TEST(RegistryScript, TheFirstFailureEndsRegistration) {
  MemoryRegistry registry;
  registry.failOnCreate = "TrelkKelvarnBank.Bank";
  EXPECT_EQ(Register(ParseOrFail(ReadResource("bank.rgs")), registry), 5);
  EXPECT_EQ(registry.Dump(),
            "TrelkKelvarnBank.Bank.1\nTrelkKelvarnBank.Bank.1|=Bank Class\nTrelkKelvarnBank.Bank.1\\CLSID\n"
            "TrelkKelvarnBank.Bank.1\\CLSID|={E4CE6249-98AC-460D-A0D1-CE7D40EA79C3}\n");
}

TEST(RegistryScript, NumbersNamedValuesDeleteAndPercent) {
  MemoryRegistry registry;
  registry.CreateKey(RootKey::ClassesRoot, "Old\\Child");
  const Script script =
      ParseOrFail("HKCU { Key = s '50%% of ''it''' { val Count = d 0x1F val Plain = d 42 } Delete Old }");
  ASSERT_EQ(script.roots.size(), 1u);
  EXPECT_EQ(script.roots[0].root, RootKey::CurrentUser);
  ASSERT_EQ(Register(script, registry), 0);
  EXPECT_EQ(registry.Dump(), "Key\nKey|=50% of 'it'\nKey|Count=d:31\nKey|Plain=d:42\n");
  Unregister(script, registry);
  EXPECT_EQ(registry.Dump(), "");
}

TEST(RegistryScript, MalformedScriptsAreRefused) {
  // Nested deeper than the parser goes.
  const char* const kTooDeep =
      "HKCR { A { B { C { D { E { F { G { H { I { J { K { L { M { N { O { P { Q { R { S { T { U { V { W { X "
      "{ Y { Z { A1 { B1 { C1 { D1 { E1 { F1 { G1 } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } }";
  const char* const kCases[] = {
      "HKCR",                          // no body
      "HKCR {",                        // unclosed
      "HKXX { A }",                    // unknown root
      "HKCR { A = s 'unterminated }",  // open quote
      "HKCR { A = x 'y' }",            // unknown type
      "HKCR { A = d 12z }",            // bad number
      "HKCR { A = d 0x100000000 }",    // out of range
      "HKCR { A\\B }",                 // path in a key name
      "HKCR { val A = s 'b' }",        // value outside a key
      "HKCR { A = s '%UNKNOWN%' }",    // unknown replacement
      "HKCR { A = s '%MODULE }",       // unterminated replacement
      "HKCR { NoRemove }",             // flag without a name
      kTooDeep,
  };
  for (const char* text : kCases) {
    Script script;
    std::string error;
    EXPECT_FALSE(Parse(text, {{"Module", "m"}}, script, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_TRUE(script.roots.empty()) << text;
  }
}

}  // namespace
}  // namespace kelvarn::registry_script
