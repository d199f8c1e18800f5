#include "ui/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace airfoldex {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(IniFile, ReadsValuesTheWayThePrivateProfileFunctionsDo) {
  TempDir dir;
  const auto file = dir / "Airfoldex.INI";
  const std::string longValue(300, 'x');
  WriteFileBytes(file, "[Settings]\r\nLog=  /tmp/a log.txt  \r\nEmpty=\r\nlong=" + longValue +
                           "\r\n; comment=1\r\n[Other]\r\nLog=other\r\n");
  struct Case {
    std::string_view section, key;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"Settings", "Log", "/tmp/a log.txt"},  // spaces around the value go
      {"SETTINGS", "log", "/tmp/a log.txt"},  // names match without regard to case
      {"Settings", "Empty", ""},
      {"Settings", "Missing", std::nullopt},
      {"Missing", "Log", std::nullopt},
      {"Other", "Log", "other"},
      {"Settings", "; comment", std::nullopt},
      {"Settings", "long", std::string(254, 'x')},  // cut to 254 characters
  };
  for (const auto& c : cases) EXPECT_EQ(ReadIniValue(file, c.section, c.key), c.expected) << c.key;
  EXPECT_EQ(ReadIniValue(dir / "absent.ini", "Settings", "Log"), std::nullopt);

  // LF files read the same.
  WriteFileBytes(dir / "lf.ini", "[Settings]\nLog=x\n");
  EXPECT_EQ(ReadIniValue(dir / "lf.ini", "Settings", "Log"), "x");
}

TEST(IniFile, WritesOneKeyAndKeepsEveryOtherLineByteForByte) {
  TempDir dir;
  const auto file = dir / "a.ini";
  WriteFileBytes(file,
                 "; top comment\r\n[Settings]\r\nFormatFrom=2\r\nLog=x\r\n\r\n[Schedule]\r\nRow1=on\r\n");
  EXPECT_TRUE(WriteIniValue(file, "Settings", "Log", "/new/log.txt"));
  EXPECT_TRUE(WriteIniValue(file, "settings", "FormatTo", "5"));
  EXPECT_TRUE(WriteIniValue(file, "CSV", "Field1", "Title"));
  EXPECT_EQ(ReadFileBytes(file),
            "; top comment\r\n[Settings]\r\nFormatFrom=2\r\nLog=/new/log.txt\r\nFormatTo=5\r\n\r\n"
            "[Schedule]\r\nRow1=on\r\n[CSV]\r\nField1=Title\r\n");

  const auto lf = dir / "lf.ini";
  WriteFileBytes(lf, "[Settings]\nA=1\n");
  EXPECT_TRUE(WriteIniValue(lf, "Settings", "B", "2"));
  EXPECT_EQ(ReadFileBytes(lf), "[Settings]\nA=1\nB=2\n");

  const auto fresh = dir / "new.ini";
  EXPECT_TRUE(WriteIniValue(fresh, "Settings", "MTdate", "yyyy/mm/dd"));
  EXPECT_EQ(ReadFileBytes(fresh), "[Settings]\r\nMTdate=yyyy/mm/dd\r\n");

  EXPECT_FALSE(WriteIniValue(dir / "no-such-folder" / "x.ini", "Settings", "A", "1"));
}

TEST(IniFile, AFileThatCannotBeReadIsNeverReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  const auto file = dir / "locked.ini";
  WriteFileBytes(file, "[Settings]\r\nA=1\r\n");
  chmod(file.c_str(), 0200);
  EXPECT_FALSE(WriteIniValue(file, "Settings", "B", "2"));
  chmod(file.c_str(), 0600);
  EXPECT_EQ(ReadFileBytes(file), "[Settings]\r\nA=1\r\n");
}

}  // namespace
}  // namespace airfoldex
