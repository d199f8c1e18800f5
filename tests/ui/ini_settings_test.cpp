#include "ui/ini_settings.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace airfoldex {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(IniSettings, ReadsValuesTheWayThePrivateProfileFunctionsDo) {
  TempDir dir;
  const auto file = dir / "Airfoldex.INI";
  const std::string longValue(300, 'x');
  WriteFileBytes(file, "[Settings]\r\nLog=  /tmp/a log.txt  \r\nEmpty=\r\nlong=" + longValue +
                           "\r\n; comment=1\r\n[Other]\r\nLog=other\r\n");
  IniSettings ini(file);
  struct Case {
    std::string_view section, key, expected;
  };
  const Case cases[] = {
      {"Settings", "Log", "/tmp/a log.txt"},  // spaces around the value go
      {"SETTINGS", "log", "/tmp/a log.txt"},  // names match without regard to case
      {"Settings", "Empty", "dflt"},          // an empty value gives the default
      {"Settings", "Missing", "dflt"},       {"Missing", "Log", "dflt"}, {"Other", "Log", "other"},
      {"Settings", "; comment", "dflt"},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.ReadSetting(c.section, c.key, "dflt"), c.expected) << c.key;
  EXPECT_EQ(ini.ReadSetting("Settings", "long", ""), std::string(254, 'x'));
  EXPECT_EQ(IniSettings(dir / "absent.ini").ReadSetting("Settings", "Log", "d"), "d");
}

TEST(IniSettings, WritesOneKeyAndKeepsEveryOtherLine) {
  TempDir dir;
  const auto file = dir / "a.ini";
  WriteFileBytes(file,
                 "; top comment\r\n[Settings]\r\nFormatFrom=2\r\nLog=x\r\n\r\n[Schedule]\r\nRow1=on\r\n");
  IniSettings ini(file);
  ini.WriteSetting("Settings", "Log", "/new/log.txt");
  ini.WriteSetting("Settings", "FormatTo", "5");
  ini.WriteSetting("CSV", "Field1", "Title");
  EXPECT_EQ(ReadFileBytes(file),
            "; top comment\r\n[Settings]\r\nFormatFrom=2\r\nLog=/new/log.txt\r\nFormatTo=5\r\n\r\n"
            "[Schedule]\r\nRow1=on\r\n[CSV]\r\nField1=Title\r\n");
  EXPECT_FALSE(ini.LastWriteFailed());

  const auto lf = dir / "lf.ini";
  WriteFileBytes(lf, "[Settings]\nA=1\n");
  IniSettings(lf).WriteSetting("Settings", "B", "2");
  EXPECT_EQ(ReadFileBytes(lf), "[Settings]\nA=1\nB=2\n");

  IniSettings unwritable(dir / "no-such-folder" / "x.ini");
  unwritable.WriteSetting("Settings", "A", "1");
  EXPECT_TRUE(unwritable.LastWriteFailed());
}

}  // namespace
}  // namespace airfoldex
