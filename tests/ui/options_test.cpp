#include "ui/options.h"

#include <gtest/gtest.h>

#include "engine/paths.h"
#include "support/fake_ui.h"
#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::MemorySettings;
using test::TempDir;

TEST(ProgramOptions, AnEmptySettingsFileGivesEveryDefault) {
  MemorySettings store;
  const auto o = LoadProgramOptions(store, "/data");
  EXPECT_EQ(SelectedText(FormatList::From, o.FromPosition), "MP3");
  EXPECT_EQ(SelectedText(FormatList::To, o.ToPosition), "CART Chunk");
  EXPECT_EQ(o.Job.FromText, "MP3");
  EXPECT_EQ(o.Job.ToCode, code::kCartChunk);
  EXPECT_EQ(o.Job.SourceFolder, "C:\\");
  EXPECT_EQ(o.Job.LogPath, (fs::path("/data") / "Airfoldex.log").string());
  EXPECT_TRUE(o.Job.ErrorStopsOff);  // "ErrorStops" defaults to 1: no per-file boxes
  EXPECT_FALSE(o.Job.LogFailuresOnly);
  EXPECT_FALSE(o.Job.AutoIncrement);
  EXPECT_FALSE(o.Job.LevelActive);
  EXPECT_TRUE(o.KeepDates);
  EXPECT_EQ(o.Job.SourceNaming.FieldOrder, "123456");
  EXPECT_EQ(o.Job.DestinationNaming.FieldOrder, "1234567");
  EXPECT_EQ(o.Job.DestinationNaming.Separator, " - ");
  EXPECT_EQ(o.Schedule.XferDelay, 30);
  EXPECT_EQ(o.Schedule.Rows[19].Time, "00:00");
  // An empty MediaTouch date format is written back at once.
  EXPECT_EQ(o.Job.MtDateFormat, "yyyy/mm/dd");
  EXPECT_EQ((store.values[{"Settings", "MTdate"}]), "yyyy/mm/dd");
}

TEST(ProgramOptions, StoredValuesReachTheJob) {
  TempDir dir;
  fs::create_directories(dir / "import" / "Beta");
  fs::create_directories(dir / "import" / "alpha" / "Day1");
  MemorySettings store;
  const auto set = [&](std::string_view section, std::string_view key, std::string_view value) {
    store.values[{std::string(section), std::string(key)}] = std::string(value);
  };
  set("Settings", "FormatFrom", "9");
  set("Settings", "FormatTo", "20");
  set("Settings", "Destination", (dir / "import").string() + "/**");
  set("Settings", "Log", "/logs/run.txt");
  set("Settings", "ErrorStops", "0");
  set("Settings", "LogFailuresOnly", "True");
  set("Settings", "AutoIncrement", "1");
  set("Settings", "AutoInc", "MUS0001");
  set("Settings", "Volume", "-12.5");
  set("Settings", "VolActive", "True");
  set("Settings", "MTdate", "mm/dd/yyyy");
  set("Settings", "StripD6", "1");
  set("Settings", "SeparatorS", "/-/");
  set("CSV", "Flag3", "2");
  set("Schedule", "XferDelay", "5");
  set("Schedule", "Interval4", "15abc");

  const auto o = LoadProgramOptions(store, "/data");
  EXPECT_EQ(o.Job.FromText, "ENCO");
  EXPECT_EQ(o.Job.FromCode, code::kEnco);
  EXPECT_EQ(o.Job.ToText, "Generate Report Only");
  EXPECT_EQ(o.Job.DestinationFolder, (dir / "import" / "alpha" / "Day1").string());
  EXPECT_EQ(o.DestinationText, (dir / "import").string() + "/**");
  EXPECT_EQ(o.Job.LogPath, "/logs/run.txt");
  EXPECT_FALSE(o.Job.ErrorStopsOff);
  EXPECT_TRUE(o.Job.LogFailuresOnly);
  EXPECT_TRUE(o.Job.AutoIncrement);
  EXPECT_EQ(o.Job.CutNumberTemplate, "MUS0001");
  EXPECT_EQ(o.Job.Level, -12);  // half to even
  EXPECT_TRUE(o.Job.LevelActive);
  EXPECT_EQ(o.Job.MtDateFormat, "mm/dd/yyyy");
  EXPECT_EQ(o.Job.DestinationNaming.Strip[6], 1);
  EXPECT_EQ(o.Job.SourceNaming.Separator, "/-/");
  EXPECT_EQ(o.Job.CsvFieldRules[3], 2);
  EXPECT_EQ(o.Schedule.XferDelay, 30);  // held at 30 to 999
  EXPECT_EQ(o.Schedule.Rows[4].Interval, "15");
}

TEST(ProgramOptions, DestinationWildcards) {
  TempDir dir;
  fs::create_directories(dir / "Import" / "Beta");
  fs::create_directories(dir / "Import" / "alpha");
  const std::string base = (dir / "Import").string();
  EXPECT_EQ(ResolveDestinationWildcard(base + "/*"), (dir / "Import" / "alpha").string());
  EXPECT_EQ(ResolveDestinationWildcard(base + "/**"),
            (dir / "Import" / "alpha").string());  // no deeper folder
  EXPECT_EQ(ResolveDestinationWildcard(base), base);
  EXPECT_EQ(ResolveDestinationWildcard((dir / "none").string() + "/*"), (dir / "none").string() + "/*");
}

}  // namespace
}  // namespace airfoldex
