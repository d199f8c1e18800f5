#include "model/cart_record.h"

#include <gtest/gtest.h>

#include <string>

namespace airfoldex {
namespace {

using namespace std::string_literals;

TEST(CartRecordTest, TextHelpers) {
  // CleanText drops every NUL, then spaces at either end; other white space stays.
  const struct {
    std::string field;
    std::string clean;
  } cleanCases[] = {
      {"AB" + std::string(62, '\0'), "AB"},
      {"  AB  " + std::string(58, '\0'), "AB"},
      {std::string(64, ' '), ""},
      {std::string(64, '\0'), ""},
      {"A\0B"s, "AB"},
      {"\0 A B \0"s, "A B"},
      {"\tAB\t", "\tAB\t"},
      {" \0 AB"s, "AB"},
  };
  for (const auto& c : cleanCases) EXPECT_EQ(CleanText(c.field), c.clean);

  // Both setters cut to the width; they differ only in the fill.
  const struct {
    std::string text;
    std::string spaced;
    std::string nulled;
  } setCases[] = {
      {"ABC", "ABC     ", "ABC\0\0\0\0\0"s},
      {"ABCDEFGHIJ", "ABCDEFGH", "ABCDEFGH"},
      {"", "        ", std::string(8, '\0')},
      {"A\0B"s, "A\0B     "s, "A\0B\0\0\0\0\0"s},
  };
  for (const auto& c : setCases) {
    FixedText<8> field;
    SetFixedText(field, "previous");
    SetFixedText(field, c.text);
    EXPECT_EQ(field.view(), c.spaced);
    SetFixedText(field, "previous");
    SetFixedTextNulPadded(field, c.text);
    EXPECT_EQ(field.view(), c.nulled);
  }
  FixedText<64> wide;
  SetFixedText(wide, std::string(70, 'x'));
  EXPECT_EQ(wide.view(), std::string(64, 'x'));
  EXPECT_EQ(CleanText(wide), std::string(64, 'x'));

  for (int64_t n : {-3LL, -1LL, 1LL, 7LL, 2147483647LL}) EXPECT_TRUE(IsOdd(n)) << n;
  for (int64_t n : {-4LL, 0LL, 2LL, -2147483648LL}) EXPECT_FALSE(IsOdd(n)) << n;
}

TEST(CartRecordTest, ResetBlanksEverything) {
  CartRecord record;
  SetFixedText(record.Title, "Title");
  SetFixedText(record.Reserved, "kept by readers");
  SetFixedText(record.URL, "http://example.org");
  record.ChunkSize = 2050;
  record.LevelReference = -12;
  SetFixedText(record.PostTimers[7].Id, "SEGe");
  record.PostTimers[7].Value = 5;
  record.TagText = "tag";

  ResetCartRecord(record);

  EXPECT_EQ(record, CartRecord{});
  EXPECT_EQ(record.Title.view(), std::string(64, '\0'));
  EXPECT_EQ(record.Reserved.view(), std::string(276, '\0'));
  EXPECT_EQ(record.PostTimers[7].Id.view(), std::string(4, '\0'));
  EXPECT_EQ(record.PostTimers[7].Value, 0);
  EXPECT_TRUE(record.TagText.empty());
}

}  // namespace
}  // namespace airfoldex
