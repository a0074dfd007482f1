// Prints the registry rows of the installer package (WiX RegistryKey/RegistryValue elements):
// the classes' entries interpreted from the same registry scripts the DLL registers itself with,
// the bank's component category, and the keys RegisterTypeLib writes for the type library.
//
//   installer_registry_rows --module FORMATTED --help-directory FORMATTED --type-library FILE.tlb
//                           --category-class SCRIPT SCRIPT...
//
// FORMATTED values are Windows Installer formatted text, written as they are (e.g. [#FileId]);
// everything else is escaped. The class of --category-class implements the bank category.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/component_category.h"
#include "frame/registry_script.h"
#include "tools/msft_type_library.h"

namespace {

using kelvarn::registry_script::Key;
using kelvarn::registry_script::KeyFlag;
using kelvarn::registry_script::RootKey;
using kelvarn::registry_script::Value;
using kelvarn::registry_script::ValueType;

// Stands for the module path while the script is parsed; no script text contains it.
const std::string kModuleMark = "\x01MODULE\x01";
const std::string kHelpDirectoryMark = "\x01HELPDIR\x01";
// The automation marshaler, which RegisterTypeLib names for every automation interface.
const char kAutomationProxy[] = "{00020424-0000-0000-C000-000000000046}";

struct Options {
  std::string module;
  std::string helpDirectory;
  std::string typeLibrary;
  std::string categoryClass;
  std::vector<std::string> scripts;
};

std::string Xml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Literal text as Windows Installer formatted text: brackets would name properties.
std::string Formatted(const std::string& text, const Options& options) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, kModuleMark.size(), kModuleMark) == 0) {
      out += options.module;
      i += kModuleMark.size() - 1;
    } else if (text.compare(i, kHelpDirectoryMark.size(), kHelpDirectoryMark) == 0) {
      out += options.helpDirectory;
      i += kHelpDirectoryMark.size() - 1;
    } else if (text[i] == '[') {
      out += "[\\[]";
    } else if (text[i] == ']') {
      out += "[\\]]";
    } else {
      out += text[i];
    }
  }
  return out;
}

class RowWriter {
 public:
  RowWriter(std::ostream& out, const Options& options) : out_(out), options_(options) {}

  // One RegistryKey element; `removeWhole` adds the "*" row: created at install, removed with
  // everything below it at uninstall (a key without values needs it to exist at all).
  void Write(const char* root, const std::string& path, const std::vector<Value>& values, bool removeWhole) {
    out_ << "<RegistryKey Root=\"" << root << "\" Key=\"" << Xml(Formatted(path, options_)) << "\">";
    if (removeWhole) out_ << "<RegistryValue Name=\"*\" Type=\"string\" Value=\"\"/>";
    for (const Value& value : values) {
      out_ << "<RegistryValue";
      if (!value.name.empty()) out_ << " Name=\"" << Xml(Formatted(value.name, options_)) << "\"";
      if (value.type == ValueType::Number) {
        out_ << " Type=\"integer\" Value=\"" << value.number << "\"/>";
      } else {
        if (!value.text.empty() && value.text[0] == '#')
          throw std::runtime_error("a string value starts with #: " + path);
        out_ << " Type=\"string\" Value=\"" << Xml(Formatted(value.text, options_)) << "\"/>";
      }
    }
    out_ << "</RegistryKey>\n";
  }

 private:
  std::ostream& out_;
  const Options& options_;
};

const char* RootName(RootKey root) {
  switch (root) {
    case RootKey::ClassesRoot:
      return "HKCR";
    case RootKey::CurrentUser:
      return "HKCU";
    case RootKey::LocalMachine:
      return "HKLM";
    case RootKey::Users:
      return "HKU";
    case RootKey::CurrentConfig:
      break;
  }
  throw std::runtime_error("the installer cannot write HKEY_CURRENT_CONFIG");
}

void WriteKey(RowWriter& rows, const char* root, const std::string& parent, const Key& key) {
  if (key.flag == KeyFlag::Delete)
    throw std::runtime_error("a Delete key cannot be expressed as installer rows: " + key.name);
  const std::string path = parent.empty() ? key.name : parent + "\\" + key.name;
  std::vector<Value> values;
  if (key.defaultValue) values.push_back(*key.defaultValue);
  values.insert(values.end(), key.values.begin(), key.values.end());
  // ForceRemove keys go whole at uninstall, as at unregistration; NoRemove keys get no row.
  const bool removeWhole = key.flag == KeyFlag::ForceRemove || (values.empty() && key.subkeys.empty());
  if (key.flag != KeyFlag::NoRemove && (removeWhole || !values.empty())) rows.Write(root, path, values, removeWhole);
  for (const Key& subkey : key.subkeys) WriteKey(rows, root, path, subkey);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string GuidText(const kelvarn::GuidFields& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.data1, guid.data2,
                guid.data3, guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4], guid.data4[5],
                guid.data4[6], guid.data4[7]);
  return text;
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// The class identifier of a parsed script: the default value of its CLSID\{...} key.
std::string ClassOf(const kelvarn::registry_script::Script& script) {
  for (const auto& root : script.roots) {
    for (const Key& key : root.keys) {
      if (key.name == "CLSID" && key.subkeys.size() == 1) return key.subkeys[0].name;
    }
  }
  throw std::runtime_error("a class script without one CLSID key");
}

void Run(const Options& options) {
  RowWriter rows(std::cout, options);
  bool categoryWritten = false;
  for (const std::string& file : options.scripts) {
    kelvarn::registry_script::Script script;
    std::string error;
    if (!kelvarn::registry_script::Parse(ReadFile(file), {{"Module", kModuleMark}}, script, error)) {
      throw std::runtime_error(std::string(file).append(": ").append(error));
    }
    for (const auto& root : script.roots) {
      for (const Key& key : root.keys) WriteKey(rows, RootName(root.root), "", key);
    }
    if (file == options.categoryClass) {
      rows.Write("HKCR",
                 "CLSID\\" + ClassOf(script) + "\\Implemented Categories\\" + GuidText(kelvarn::kBankComponentCategory),
                 {}, true);
      categoryWritten = true;
    }
  }
  if (!categoryWritten) throw std::runtime_error("--category-class names none of the scripts");

  kelvarn::tools::TypeLibraryIdentity library;
  std::string error;
  if (!kelvarn::tools::ReadTypeLibrary(ReadFile(options.typeLibrary), library, error)) {
    throw std::runtime_error(options.typeLibrary + ": " + error);
  }
  static const char* const kSyskinds[] = {"win16", "win32", "mac", "win64"};
  if (library.syskind > 3) throw std::runtime_error("unknown system kind of the type library");
  const std::string version = Hex(library.majorVersion) + "." + Hex(library.minorVersion);
  const std::string versionKey = "TypeLib\\" + library.libid + "\\" + version;
  auto text = [](std::string name, std::string content) {
    Value value;
    value.name = std::move(name);
    value.text = std::move(content);
    return value;
  };
  // The module is the file to load (its resource 1), the help directory the module's folder.
  rows.Write("HKCR", versionKey,
             library.helpString.empty() ? std::vector<Value>{} : std::vector<Value>{text("", library.helpString)},
             false);
  rows.Write("HKCR", versionKey + "\\FLAGS", {text("", std::to_string(library.flags))}, false);
  rows.Write("HKCR", versionKey + "\\" + Hex(library.lcid) + "\\" + kSyskinds[library.syskind], {text("", kModuleMark)},
             false);
  rows.Write("HKCR", versionKey + "\\HELPDIR", {text("", kHelpDirectoryMark)}, false);
  for (const auto& entry : library.interfaces) {
    const std::string key = "Interface\\" + entry.iid;
    rows.Write("HKCR", key, {text("", entry.name)}, false);
    rows.Write("HKCR", key + "\\ProxyStubClsid", {text("", kAutomationProxy)}, false);
    rows.Write("HKCR", key + "\\ProxyStubClsid32", {text("", kAutomationProxy)}, false);
    rows.Write("HKCR", key + "\\TypeLib", {text("", library.libid), text("Version", version)}, false);
  }
}

}  // namespace

// Outside the try blocks only the arguments are copied and the usage text is written, which throw
// for want of memory alone.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(argument + " needs a value");
      return argv[++i];
    };
    try {
      if (argument == "--module")
        options.module = next();
      else if (argument == "--help-directory")
        options.helpDirectory = next();
      else if (argument == "--type-library")
        options.typeLibrary = next();
      else if (argument == "--category-class")
        options.categoryClass = next();
      else
        options.scripts.push_back(argument);
    } catch (const std::exception& failure) {
      std::cerr << "installer_registry_rows: " << failure.what() << "\n";
      return 2;
    }
  }
  if (options.module.empty() || options.helpDirectory.empty() || options.typeLibrary.empty() ||
      options.scripts.empty()) {
    std::cerr << "usage: installer_registry_rows --module FORMATTED --help-directory FORMATTED --type-library FILE.tlb "
                 "--category-class SCRIPT SCRIPT...\n";
    return 2;
  }
  try {
    Run(options);
  } catch (const std::exception& failure) {
    std::cerr << "installer_registry_rows: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
