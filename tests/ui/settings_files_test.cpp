#include "ui/settings_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace airfoldex {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(SettingsFiles, MissingKeysAndEmptyValuesGiveTheDefault) {
  TempDir dir;
  WriteFileBytes(dir / "Airfoldex.INI", "[Settings]\r\nDestination=\r\nSource= /in \r\n");
  SettingsFiles store(dir / "Airfoldex.INI");
  EXPECT_EQ(store.ReadSetting("Settings", "Destination", "C:\\"), "C:\\");
  EXPECT_EQ(store.ReadSetting("Settings", "Source", "C:\\"), "/in");
  EXPECT_EQ(store.ReadSetting("Settings", "Log", "dflt"), "dflt");
  EXPECT_EQ(SettingsFiles(dir / "absent.INI").ReadSetting("Settings", "Source", "C:\\"), "C:\\");
}

TEST(SettingsFiles, ScriptModeRedirectsReadsAndWritesUnlessTheNameSaysTxt) {
  TempDir dir;
  WriteFileBytes(dir / "Airfoldex.INI", "[Settings]\r\nSource=/from-settings\r\n");
  WriteFileBytes(dir / "nightly.txt", "[Settings]\r\nSource=/from-nightly\r\n");
  WriteFileBytes(dir / "nightly.txt.txt", "[Settings]\r\nSource=/from-nightly-txt\r\n");
  {
    SettingsFiles store(dir / "Airfoldex.INI");
    store.UseScript(dir.path(), "nightly");
    EXPECT_EQ(store.ReadSetting("Settings", "Source", ""), "/from-nightly");
    store.WriteSetting("Settings", "FormatFrom", "6");
    EXPECT_EQ(ReadFileBytes(dir / "nightly.txt"), "[Settings]\r\nSource=/from-nightly\r\nFormatFrom=6\r\n");
  }
  {
    SettingsFiles store(dir / "Airfoldex.INI");
    store.UseScript(dir.path(), "nightly.txt");
    EXPECT_EQ(store.ReadSetting("Settings", "Source", ""), "/from-nightly-txt");
    store.WriteSetting("Settings", "FormatFrom", "7");
    // Reads still come from the script, writes go to the settings file.
    EXPECT_EQ(store.ReadSetting("Settings", "FormatFrom", "0"), "0");
    EXPECT_EQ(ReadFileBytes(dir / "Airfoldex.INI"),
              "[Settings]\r\nSource=/from-settings\r\nFormatFrom=7\r\n");
  }
}

TEST(SettingsFiles, MacroReadsGoToTheSourceFoldersMacroFileInAnyLetterCase) {
  TempDir dir;
  WriteFileBytes(dir / "macro.TXT", "[macro]\r\nmacro1=Live|LIVE\r\n");
  SettingsFiles store(dir / "Airfoldex.INI");
  store.SetMacroFolder(dir.path());
  EXPECT_EQ(store.ReadSetting("macro", "macro1", "", SettingsFile::Macro), "Live|LIVE");
  EXPECT_EQ(store.ReadSetting("macro", "macro1", "none"), "none");  // not in the settings file
}

TEST(SettingsFiles, AFailedWriteIsNotedOnlyForAFileThatExists) {
  TempDir dir;
  SettingsFiles missingFolder(dir / "nowhere" / "Airfoldex.INI");
  missingFolder.WriteSetting("Settings", "A", "1");
  EXPECT_FALSE(missingFolder.WriteFailedOnExistingFile());

  // A folder in the place of the file: it exists and cannot be written as a file.
  std::filesystem::create_directory(dir / "Airfoldex.INI");
  SettingsFiles blocked(dir / "Airfoldex.INI");
  blocked.WriteSetting("Settings", "A", "1");
  EXPECT_TRUE(blocked.WriteFailedOnExistingFile());
  EXPECT_EQ(blocked.ReadSetting("Settings", "A", "dflt"), "dflt");
}

}  // namespace
}  // namespace airfoldex
