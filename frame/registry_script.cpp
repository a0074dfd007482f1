#include "frame/registry_script.h"

#include <cctype>
#include <cstddef>

namespace kelvarn::registry_script {
namespace {

// Deeper nesting than any registration needs; bounds the parser's recursion.
constexpr int kMaxDepth = 32;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool Substitute(std::string_view text, const std::vector<Replacement>& replacements, std::string& out,
                std::string& error) {
  out.clear();
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out.push_back(text[i]);
      continue;
    }
    const std::size_t end = text.find('%', i + 1);
    if (end == std::string_view::npos) {
      error = "unterminated %replacement%";
      return false;
    }
    const std::string_view name = text.substr(i + 1, end - i - 1);
    if (name.empty()) {
      out.push_back('%');  // %% stands for one percent sign
    } else {
      const Replacement* found = nullptr;
      for (const Replacement& replacement : replacements) {
        if (EqualsIgnoringCase(replacement.name, name)) found = &replacement;
      }
      if (!found) {
        error = "unknown replacement %" + std::string(name) + "%";
        return false;
      }
      for (char c : found->text) {
        out.push_back(c);
        if (c == '\'') out.push_back('\'');  // the script's quoting of a single quote
      }
    }
    i = end;
  }
  return true;
}

struct Token {
  std::string text;
  bool quoted = false;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool ParseScript(Script& script) {
    Token token;
    while (Next(token)) {
      Root root;
      if (token.quoted || !RootFromName(token.text, root.root)) return Fail("unknown root key " + token.text);
      if (!Expect("{")) return false;
      if (!ParseKeys(root.keys, /*allowValues=*/false, nullptr, 1)) return false;
      script.roots.push_back(std::move(root));
    }
    return error_.empty();
  }

  const std::string& Error() const { return error_; }

 private:
  static bool RootFromName(std::string_view name, RootKey& root) {
    struct Name {
      const char* text;
      RootKey root;
    };
    static const Name kNames[] = {
        {"HKCR", RootKey::ClassesRoot},   {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
        {"HKCU", RootKey::CurrentUser},   {"HKEY_CURRENT_USER", RootKey::CurrentUser},
        {"HKLM", RootKey::LocalMachine},  {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
        {"HKU", RootKey::Users},          {"HKEY_USERS", RootKey::Users},
        {"HKCC", RootKey::CurrentConfig}, {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
    };
    for (const Name& candidate : kNames) {
      if (EqualsIgnoringCase(candidate.text, name)) {
        root = candidate.root;
        return true;
      }
    }
    return false;
  }

  bool Fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
    return false;
  }

  bool Next(Token& token) {
    while (position_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[position_]))) ++position_;
    if (position_ >= text_.size()) return false;
    token.text.clear();
    token.quoted = text_[position_] == '\'';
    if (token.quoted) {
      ++position_;
      for (;;) {
        if (position_ >= text_.size()) return Fail("unterminated quoted text");
        const char c = text_[position_++];
        if (c == '\'') {
          if (position_ < text_.size() && text_[position_] == '\'') {
            token.text.push_back('\'');
            ++position_;
            continue;
          }
          break;
        }
        token.text.push_back(c);
      }
      return true;
    }
    while (position_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[position_]))) {
      token.text.push_back(text_[position_++]);
    }
    return true;
  }

  bool Peek(Token& token) {
    const std::size_t saved = position_;
    const bool found = Next(token);
    position_ = saved;
    return found;
  }

  static bool Is(const Token& token, std::string_view word) {
    return !token.quoted && EqualsIgnoringCase(token.text, word);
  }

  bool Expect(std::string_view word) {
    Token token;
    if (!Next(token) || !Is(token, word)) return Fail("expected " + std::string(word));
    return true;
  }

  // Reads "= type data" into `value`; the name is set by the caller.
  bool ParseAssignment(Value& value) {
    Token type;
    Token data;
    if (!Expect("=")) return false;
    if (!Next(type)) return Fail("missing value type");
    if (!Next(data)) return Fail("missing value");
    if (Is(type, "s")) {
      value.type = ValueType::String;
      value.text = data.text;
      return true;
    }
    if (Is(type, "d")) {
      value.type = ValueType::Number;
      return ParseNumber(data.text, value.number);
    }
    return Fail("unsupported value type " + type.text);
  }

  bool ParseNumber(const std::string& text, std::uint32_t& number) {
    std::size_t start = 0;
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
      start = 2;
      base = 16;
    }
    if (start >= text.size()) return Fail("empty number");
    std::uint64_t value = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
      const int c = std::tolower(static_cast<unsigned char>(text[i]));
      unsigned digit;
      if (c >= '0' && c <= '9') {
        digit = static_cast<unsigned>(c - '0');
      } else if (base == 16 && c >= 'a' && c <= 'f') {
        digit = static_cast<unsigned>(c - 'a' + 10);
      } else {
        return Fail("bad number " + text);
      }
      value = value * base + digit;
      if (value > 0xFFFFFFFFu) return Fail("number out of range " + text);
    }
    number = static_cast<std::uint32_t>(value);
    return true;
  }

  static bool ValidKeyName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

  // Keys (and, inside a key, 'val' entries) up to the closing brace.
  bool ParseKeys(std::vector<Key>& keys, bool allowValues, std::vector<Value>* values, int depth) {
    if (depth > kMaxDepth) return Fail("nesting too deep");
    Token token;
    for (;;) {
      if (!Next(token)) return Fail("missing }");
      if (Is(token, "}")) return true;
      if (allowValues && Is(token, "val")) {
        Value value;
        Token name;
        if (!Next(name)) return Fail("missing value name");
        value.name = name.text;
        if (!ParseAssignment(value)) return false;
        values->push_back(std::move(value));
        continue;
      }
      if (Is(token, "val")) return Fail("value outside a key");
      Key key;
      if (Is(token, "NoRemove")) {
        key.flag = KeyFlag::NoRemove;
      } else if (Is(token, "ForceRemove")) {
        key.flag = KeyFlag::ForceRemove;
      } else if (Is(token, "Delete")) {
        key.flag = KeyFlag::Delete;
      }
      if (key.flag != KeyFlag::None && !Next(token)) return Fail("missing key name");
      if (Is(token, "{") || Is(token, "}") || Is(token, "=")) return Fail("missing key name");
      if (!ValidKeyName(token.text)) return Fail("bad key name " + token.text);
      key.name = token.text;
      Token following;
      if (Peek(following) && Is(following, "=")) {
        Value value;
        if (!ParseAssignment(value)) return false;
        key.defaultValue = std::move(value);
      }
      if (Peek(following) && Is(following, "{")) {
        Next(following);
        if (!ParseKeys(key.subkeys, /*allowValues=*/true, &key.values, depth + 1)) return false;
      }
      if (!error_.empty()) return false;
      keys.push_back(std::move(key));
    }
  }

  std::string_view text_;
  std::size_t position_ = 0;
  std::string error_;
};

std::string Join(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "\\" + name;
}

std::int32_t RegisterKey(RootKey root, const std::string& parent, const Key& key, RegistryEditor& registry) {
  const std::string path = Join(parent, key.name);
  if (key.flag == KeyFlag::Delete) {
    if (registry.KeyExists(root, path)) return registry.DeleteTree(root, path);
    return 0;
  }
  if (key.flag == KeyFlag::ForceRemove && registry.KeyExists(root, path)) {
    if (std::int32_t failure = registry.DeleteTree(root, path)) return failure;
  }
  if (std::int32_t failure = registry.CreateKey(root, path)) return failure;
  if (key.defaultValue) {
    if (std::int32_t failure = registry.SetValue(root, path, *key.defaultValue)) return failure;
  }
  for (const Value& value : key.values) {
    if (std::int32_t failure = registry.SetValue(root, path, value)) return failure;
  }
  for (const Key& subkey : key.subkeys) {
    if (std::int32_t failure = RegisterKey(root, path, subkey, registry)) return failure;
  }
  return 0;
}

void UnregisterKey(RootKey root, const std::string& parent, const Key& key, RegistryEditor& registry) {
  const std::string path = Join(parent, key.name);
  if (!registry.KeyExists(root, path)) return;
  if (key.flag == KeyFlag::ForceRemove || key.flag == KeyFlag::Delete) {
    registry.DeleteTree(root, path);
    return;
  }
  for (const Value& value : key.values) registry.DeleteValue(root, path, value.name);
  for (const Key& subkey : key.subkeys) UnregisterKey(root, path, subkey, registry);
  // A plain key goes once nothing of anyone else's is left below it.
  if (key.flag == KeyFlag::None && !registry.HasSubkeys(root, path)) registry.DeleteKey(root, path);
}

}  // namespace

bool Parse(std::string_view text, const std::vector<Replacement>& replacements, Script& script, std::string& error) {
  script = Script();
  error.clear();
  std::string substituted;
  if (!Substitute(text, replacements, substituted, error)) return false;
  Parser parser(substituted);
  if (!parser.ParseScript(script)) {
    error = parser.Error().empty() ? "malformed script" : parser.Error();
    script = Script();
    return false;
  }
  return true;
}

std::int32_t Register(const Script& script, RegistryEditor& registry) {
  for (const Root& root : script.roots) {
    for (const Key& key : root.keys) {
      if (std::int32_t failure = RegisterKey(root.root, std::string(), key, registry)) return failure;
    }
  }
  return 0;
}

void Unregister(const Script& script, RegistryEditor& registry) {
  for (const Root& root : script.roots) {
    for (const Key& key : root.keys) UnregisterKey(root.root, std::string(), key, registry);
  }
}

}  // namespace kelvarn::registry_script
