#include "refhost/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace refhost {

std::string JsonEscape(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasMembers_.empty()) {
    if (hasMembers_.back()) out_ += ", ";
    hasMembers_.back() = true;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  hasMembers_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  hasMembers_.pop_back();
  out_ += '}';
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  hasMembers_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  hasMembers_.pop_back();
  out_ += ']';
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  BeforeValue();
  out_ += JsonEscape(key);
  out_ += ": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ += JsonEscape(utf8);
  return *this;
}

JsonWriter& JsonWriter::OptionalString(const std::optional<std::string>& utf8) { return utf8 ? String(*utf8) : Null(); }

JsonWriter& JsonWriter::Integer(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::OptionalInteger(const std::optional<std::int64_t>& value) {
  return value ? Integer(*value) : Null();
}

JsonWriter& JsonWriter::Number(double value) {
  // JSON has no NaN or infinity.
  if (!std::isfinite(value)) return Null();
  BeforeValue();
  // Shortest round-trip form from our own library, so every build prints the same text.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  out_ += text;
  return *this;
}

JsonWriter& JsonWriter::OptionalNumber(const std::optional<double>& value) { return value ? Number(*value) : Null(); }

JsonWriter& JsonWriter::Boolean(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

std::string JsonWriter::Finish() const {
  if (!hasMembers_.empty()) throw std::logic_error("unclosed JSON object or array");
  return out_ + "\n";
}

}  // namespace refhost
