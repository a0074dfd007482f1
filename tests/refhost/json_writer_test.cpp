#include "refhost/json_writer.h"

#include <gtest/gtest.h>

#include <limits>

namespace refhost {
namespace {

TEST(JsonWriter, WritesKeysInOrderWithNestedValues) {
  JsonWriter json;
  json.BeginObject()
      .Key("hresult")
      .String("0x00000001")
      .Key("status")
      .Integer(1)
      .Key("messages")
      .BeginArray()
      .BeginObject()
      .Key("caption")
      .String("Changes have been made")
      .Key("text")
      .String("a\r\nb")
      .EndObject()
      .EndArray()
      .Key("payments")
      .BeginArray()
      .BeginObject()
      .Key("index")
      .Integer(0)
      .Key("result_code")
      .OptionalInteger(24)
      .EndObject()
      .BeginObject()
      .Key("index")
      .Integer(1)
      .Key("result_code")
      .OptionalInteger(std::nullopt)
      .EndObject()
      .EndArray()
      .Key("file")
      .Null()
      .EndObject();
  EXPECT_EQ(json.Finish(),
            "{\"hresult\": \"0x00000001\", \"status\": 1, \"messages\": [{\"caption\": \"Changes have been made\", "
            "\"text\": \"a\\r\\nb\"}], \"payments\": [{\"index\": 0, \"result_code\": 24}, {\"index\": 1, "
            "\"result_code\": null}], \"file\": null}\n");
}

TEST(JsonWriter, NumbersAreShortestRoundTripWithAFraction) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "0.0"},      {123.45, "123.45"}, {-1.5, "-1.5"},   {21474836.47, "21474836.47"},
      {1e300, "1e+300"}, {0.1, "0.1"},       {100.0, "100.0"},
  };
  for (const Case& c : cases) {
    JsonWriter json;
    json.BeginArray().Number(c.value).EndArray();
    EXPECT_EQ(json.Finish(), std::string("[") + c.text + "]\n") << c.text;
  }
  JsonWriter json;
  json.BeginArray().Number(std::numeric_limits<double>::quiet_NaN()).OptionalNumber(std::nullopt).EndArray();
  EXPECT_EQ(json.Finish(), "[null, null]\n");
}

TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharacters) {
  EXPECT_EQ(JsonEscape("O\"Brien\\ \t\x01 caf\xC3\xA9"), "\"O\\\"Brien\\\\ \\t\\u0001 caf\xC3\xA9\"");
}

TEST(JsonWriter, RefusesAnUnclosedDocument) {
  JsonWriter json;
  json.BeginObject();
  EXPECT_THROW(json.Finish(), std::logic_error);
}

}  // namespace
}  // namespace refhost
