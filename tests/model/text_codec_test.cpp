#include "model/text_codec.h"

#include <gtest/gtest.h>

namespace airfoldex {
namespace {

TEST(TextCodec, Windows1252AndUtf8MapBothWays) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  };
  const Case cases[] = {
      {"Plain ASCII 123", "Plain ASCII 123"},
      {"Caf\xE9", "Caf\xC3\xA9"},
      {"\x80 5", "\xE2\x82\xAC 5"},  // euro sign
      {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
      {"\x81", "\xC2\x81"},  // unassigned byte survives as its C1 control
      {"\xFF", "\xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
  }
}

TEST(TextCodec, UnmappableAndMalformedInput) {
  EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5"), "?");      // a CJK character has no Windows-1252 byte
  EXPECT_EQ(Utf8ToCp1252("Caf\xE9"), "Caf\xE9");     // Latin-1 bytes that are not UTF-8 stay
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "\xC3");           // a cut sequence stays as its byte
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8E\xB5"), "?");  // four-byte sequence
}

}  // namespace
}  // namespace airfoldex
