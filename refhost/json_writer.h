#pragma once
// A small JSON document writer for the reference host's output: keys in the order written,
// UTF-8 text, JSON numbers, LF line ends.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace refhost {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view utf8);
  JsonWriter& OptionalString(const std::optional<std::string>& utf8);
  JsonWriter& Integer(std::int64_t value);
  JsonWriter& OptionalInteger(const std::optional<std::int64_t>& value);
  // Shortest text that reads back as the same double; always with a fraction or exponent.
  JsonWriter& Number(double value);
  JsonWriter& OptionalNumber(const std::optional<double>& value);
  JsonWriter& Boolean(bool value);
  JsonWriter& Null();

  // The document, ended by one line feed.
  std::string Finish() const;

 private:
  void BeforeValue();
  std::string out_;
  std::vector<bool> hasMembers_;  // one entry per open object or array
  bool afterKey_ = false;
};

std::string JsonEscape(std::string_view utf8);

}  // namespace refhost
