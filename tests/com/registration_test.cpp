// DllRegisterServer and DllUnregisterServer: the registry read back and compared with the
// registry scripts in the module's resources.
#include "frame/registry_script.h"
#include "tests/com/com_test_support.h"

namespace kelvarn::test {
namespace {

using registry_script::Key;
using registry_script::KeyFlag;
using registry_script::Script;

struct ClassRow {
  const char* name;
  const CLSID* clsid;
  UINT script;
  bool hasCategory;
};

const ClassRow kClassRows[] = {
    {"Bank", &CLSID_Bank, 101, true},
    {"BankServices", &CLSID_BankServices, 102, false},
    {"BankPaymentService", &CLSID_BankPaymentService, 103, false},
    {"BankStatementService", &CLSID_BankStatementService, 104, false},
};

std::string ModulePath() {
  char path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameA(Module().module, path, sizeof path);
  return std::string(path, length);
}

Script ClassScript(UINT id) {
  HRSRC resource = FindResourceA(Module().module, MAKEINTRESOURCEA(id), "REGISTRY");
  EXPECT_NE(resource, nullptr) << id;
  Script script;
  if (!resource) return script;
  const char* text = static_cast<const char*>(LockResource(LoadResource(Module().module, resource)));
  std::string error;
  EXPECT_TRUE(registry_script::Parse(std::string_view(text, SizeofResource(Module().module, resource)),
                                     {{"Module", ModulePath()}}, script, error))
      << error;
  return script;
}

bool KeyExists(const std::string& path) {
  UniqueHkey key;
  return RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::string ReadValue(const std::string& path, const std::string& name) {
  UniqueHkey key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return "(no key)";
  char value[2048];
  DWORD size = sizeof value;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), name.empty() ? nullptr : name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &size) != ERROR_SUCCESS) {
    return "(no value)";
  }
  return type == REG_SZ ? std::string(value) : "(type " + std::to_string(type) + ")";
}

// Every key and value of the script is in the registry as written.
void ExpectRegistered(const Key& key, const std::string& parent) {
  const std::string path = parent.empty() ? key.name : parent + "\\" + key.name;
  ASSERT_TRUE(KeyExists(path)) << path;
  if (key.defaultValue) {
    EXPECT_EQ(ReadValue(path, ""), key.defaultValue->text) << path;
  }
  for (const auto& value : key.values) EXPECT_EQ(ReadValue(path, value.name), value.text) << path << "|" << value.name;
  for (const Key& subkey : key.subkeys) ExpectRegistered(subkey, path);
}

// NoRemove keys stay (their subkeys are checked in turn); every other key is gone.
void ExpectUnregistered(const Key& key, const std::string& parent) {
  const std::string path = parent.empty() ? key.name : parent + "\\" + key.name;
  if (key.flag != KeyFlag::NoRemove) {
    EXPECT_FALSE(KeyExists(path)) << path;
    return;
  }
  EXPECT_TRUE(KeyExists(path)) << path;
  for (const Key& subkey : key.subkeys) ExpectUnregistered(subkey, path);
}

std::string Guid(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return Utf8(text);
}

bool TypeLibraryRegistered() {
  ComPtr<ITypeLib> library;
  return SUCCEEDED(LoadRegTypeLib(LIBID_TRELKKELVARNBANKLib, 1, 0, LOCALE_NEUTRAL, library.put()));
}

class RegistrationTest : public ComTest {
 protected:
  void TearDown() override {
    // The other tests need the registration the fixture made.
    EXPECT_EQ(Hex(Module().registerServer()), Hex(S_OK));
    ComTest::TearDown();
  }
};

TEST_F(RegistrationTest, RegisteringTwiceWritesEveryKeyOfTheScriptsOnce) {
  for (const ClassRow& row : kClassRows) {
    RegSetValueA(HKEY_CLASSES_ROOT, ("CLSID\\" + Guid(*row.clsid) + "\\Stale").c_str(), REG_SZ, "old", 3);
  }
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(Hex(Module().registerServer()), Hex(S_OK));
    for (const ClassRow& row : kClassRows) {
      const Script script = ClassScript(row.script);
      ASSERT_EQ(script.roots.size(), 1u);
      for (const Key& key : script.roots[0].keys) ExpectRegistered(key, "");
      const std::string clsidKey = "CLSID\\" + Guid(*row.clsid);
      EXPECT_EQ(ReadValue(clsidKey + "\\InprocServer32", ""), ModulePath()) << row.name;
      EXPECT_FALSE(KeyExists(clsidKey + "\\Stale")) << row.name << ": the class key is replaced whole";
      EXPECT_EQ(KeyExists(clsidKey + "\\Implemented Categories\\{4E28D2A2-EE93-11D3-8A15-00E029178D24}"),
                row.hasCategory)
          << row.name;
    }
    EXPECT_TRUE(TypeLibraryRegistered());
  }
}

TEST_F(RegistrationTest, UnregisteringRemovesTheKeysButLeavesClsidAndOthers) {
  ASSERT_EQ(Hex(Module().registerServer()), Hex(S_OK));
  // Someone else's class under CLSID stays.
  const std::string foreign = "CLSID\\{0F0F0F0F-1234-4321-ABCD-0123456789AB}";
  ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, foreign.c_str(), REG_SZ, "Foreign Class", 13), ERROR_SUCCESS);
  for (int round = 0; round < 2; ++round) {  // the second time nothing is registered
    EXPECT_EQ(Hex(Module().unregisterServer()), Hex(S_OK));
    for (const ClassRow& row : kClassRows) {
      const Script script = ClassScript(row.script);
      for (const Key& key : script.roots[0].keys) ExpectUnregistered(key, "");
      EXPECT_FALSE(KeyExists("CLSID\\" + Guid(*row.clsid))) << row.name;
    }
    EXPECT_EQ(ReadValue(foreign, ""), "Foreign Class");
    EXPECT_FALSE(TypeLibraryRegistered());
  }
  RegDeleteKeyA(HKEY_CLASSES_ROOT, foreign.c_str());
}

}  // namespace
}  // namespace kelvarn::test

namespace kelvarn::test {
namespace {

// A copy of the module whose TYPELIB resource does not load, with a ".tlb" file beside it.
class TypeLibraryFallbackTest : public RegistrationTest {};

TEST_F(TypeLibraryFallbackTest, ATypeLibraryFileBesideTheModuleIsRegisteredInstead) {
  char temp[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string directory = std::string(temp) + "kelvarn.fallback";  // a dot in a folder name
  CreateDirectoryA(directory.c_str(), nullptr);
  const std::string copy = directory + "\\Copy.dll";
  const std::string tlb = directory + "\\Copy.tlb";
  ASSERT_TRUE(CopyFileA(ModulePath().c_str(), copy.c_str(), FALSE));
  char sourceTlb[MAX_PATH * 4];
  GetFullPathNameA(KELVARN_COMPONENT_TLB, sizeof sourceTlb, sourceTlb, nullptr);
  ASSERT_TRUE(CopyFileA(sourceTlb, tlb.c_str(), FALSE));
  HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
  ASSERT_NE(update, nullptr);
  char garbage[] = "not a type library";
  ASSERT_TRUE(UpdateResourceA(update, "TYPELIB", MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                              garbage, sizeof garbage));
  ASSERT_TRUE(EndUpdateResourceA(update, FALSE));

  HMODULE module = LoadLibraryA(copy.c_str());
  ASSERT_NE(module, nullptr);
  {
    const std::wstring copyPath(copy.begin(), copy.end());
    ComPtr<ITypeLib> library;
    ASSERT_TRUE(FAILED(LoadTypeLibEx(copyPath.c_str(), REGKIND_NONE, library.put())))
        << "the copy's type library loads";
  }
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  auto unregisterServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")));
  EXPECT_EQ(Hex(registerServer()), Hex(S_OK));
#ifdef _WIN64
  const char* const platform = "win64";
#else
  const char* const platform = "win32";
#endif
  EXPECT_EQ(ReadValue(std::string("TypeLib\\{EC24AC87-2980-4D9F-BD3E-B709EF2A580C}\\1.0\\0\\") + platform, ""), tlb);
  EXPECT_EQ(ReadValue("TypeLib\\{EC24AC87-2980-4D9F-BD3E-B709EF2A580C}\\1.0\\HELPDIR", ""), directory);
  EXPECT_EQ(Hex(unregisterServer()), Hex(S_OK));
  EXPECT_FALSE(TypeLibraryRegistered());
  FreeLibrary(module);
  DeleteFileA(copy.c_str());
  DeleteFileA(tlb.c_str());
  RemoveDirectoryA(directory.c_str());
}

}  // namespace
}  // namespace kelvarn::test
