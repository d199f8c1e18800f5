#include "engine/job_start.h"

#include <gtest/gtest.h>

#include "engine/paths.h"
#include "support/fake_ui.h"
#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::FakeUi;
using test::FixedClock;
using test::MemorySettings;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

struct StartHarness {
  TempDir dir;
  JobSettings settings;
  Session session;
  FakeUi ui;
  MemorySettings store;
  FixedClock clock;
  JobStarter starter{settings, session, ui, store, clock};

  StartHarness() {
    fs::create_directory(dir / "src");
    fs::create_directory(dir / "dst");
    settings.SourceFolder = (dir / "src").string();
    settings.DestinationFolder = (dir / "dst").string();
    settings.LogPath = (dir / "log.txt").string();
    WriteFileBytes(dir / "src" / "a.wav", test::MakePcmWav("abcd"));
  }
  StartResult Click(std::string_view from, std::string_view to) {
    return starter.OnConvertClick(FindEntry(FormatList::From, from).value_or(-1),
                                  FindEntry(FormatList::To, to).value_or(-1));
  }
  std::string Stored(std::string_view key) { return store.values[{"Settings", std::string(key)}]; }
};

TEST(JobStart, EachRefusalShowsItsMessageAndStartsNothing) {
  struct Case {
    std::string_view name;
    std::function<void(StartHarness&)> arrange;
    std::string_view from, to;
    std::string_view title, text;
    MessageButtons buttons;
    bool emptyLogLine;
  };
  const Case cases[] = {
      {"log folder missing",
       [](StartHarness& h) { h.settings.LogPath = (h.dir / "nope" / "log.txt").string(); }, "CART", "WAV/PCM",
       "Log path incorrect", "Please enter a correct 'Results Log' path and filename.", MessageButtons::Ok,
       false},
      {"no FROM", [](StartHarness&) {}, "none", "WAV/PCM", "Missing FROM format.",
       "You must pick a FROM format.", MessageButtons::Ok, true},
      {"no TO", [](StartHarness&) {}, "CART", "none", "Missing TO format.", "You must pick a TO format.",
       MessageButtons::Ok, true},
      {"same text", [](StartHarness&) {}, "DJB", "DJB", "Matching TO/FROM formats",
       "You haved picked the same TO and FROM formats.", MessageButtons::OkCancel, true},
      {"ENCO database missing",
       [](StartHarness& h) { h.settings.EncoDatabasePath = (h.dir / "x.dbf").string(); }, "ENCO", "WAV/PCM",
       "Enco Database", "Please try again. Database not found.", MessageButtons::OkCancel, true},
      {"auto increment without template", [](StartHarness& h) { h.settings.AutoIncrement = true; }, "CART",
       "WAV/PCM", "Auto Increment",
       "Auto Increment must have a starting number.\rExample: MUS0001 or 000001.", MessageButtons::OkCancel,
       true},
      {"rename and auto increment",
       [](StartHarness& h) {
         h.settings.AutoIncrement = true;
         h.settings.CutNumberTemplate = "MUS0001";
         h.settings.RenameCutId = true;
       },
       "CART", "WAV/PCM", "Auto Increment",
       "Can't both RENAME and AUTO INCREMENT.\rPlease select one or the other.", MessageButtons::OkCancel,
       true},
      {"same folder",
       [](StartHarness& h) { h.settings.DestinationFolder = ToUpperAscii(h.settings.SourceFolder); }, "CART",
       "WAV/PCM", "Source/Destination Error",
       "Source Folder and Destination Folders can't be the same.\rPlease select two different folder.",
       MessageButtons::OkCancel, true},
  };
  for (const auto& c : cases) {
    StartHarness h;
    c.arrange(h);
    const auto result = h.Click(c.from, c.to);
    EXPECT_FALSE(result.Started) << c.name;
    ASSERT_EQ(h.ui.messages.size(), 1u) << c.name;
    EXPECT_EQ(h.ui.messages[0].title, c.title) << c.name;
    EXPECT_EQ(h.ui.messages[0].text, c.text) << c.name;
    EXPECT_EQ(h.ui.messages[0].buttons, c.buttons) << c.name;
    EXPECT_EQ(result.Refusal, c.text) << c.name;
    EXPECT_FALSE(fs::exists(h.dir / "dst" / "a.wav")) << c.name;
    EXPECT_EQ(fs::exists(h.dir / "log.txt") && ReadFileBytes(h.dir / "log.txt") == "\r\n", c.emptyLogLine)
        << c.name;
    EXPECT_EQ(h.starter.Caption(), "&Convert") << c.name;
  }
}

TEST(JobStart, StoresTheSelectionsAndRunsTheJobBetweenLockAndUnlock) {
  StartHarness h;
  const auto result = h.Click("CART", "AudioVault11");
  EXPECT_TRUE(result.Started);
  EXPECT_EQ(h.Stored("FormatFrom"), "6");
  EXPECT_EQ(h.Stored("FormatTo"), "12");
  EXPECT_TRUE(h.settings.AudioVault11Mode);
  EXPECT_EQ(h.settings.ToCode, code::kAudioVault);
  EXPECT_EQ(h.ui.captions, (std::vector<std::string>{"&Abort", "&Convert"}));
  EXPECT_EQ(h.ui.locks, (std::vector<bool>{true, false}));
  EXPECT_EQ(h.starter.Caption(), "&Convert");
  // The log holds the request's empty line, the file's line and the job's empty line.
  const std::string log = ReadFileBytes(h.dir / "log.txt");
  EXPECT_EQ(log.substr(0, 2), "\r\n");
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST(JobStart, SameTextAnsweredOkGoesOnAndFileOptionsSkipTheQuestion) {
  {
    StartHarness h;
    h.ui.answers = {MessageAnswer::Ok};
    EXPECT_TRUE(h.Click("WAV/PCM", "WAV/PCM").Started);
    EXPECT_TRUE(fs::exists(h.dir / "dst" / "a.wav"));
  }
  {
    StartHarness h;
    h.settings.GetDataFromFileName = true;
    EXPECT_TRUE(h.Click("DJB", "DJB").Started);
    EXPECT_NE(h.ui.messages.front().title, "Matching TO/FROM formats");
  }
}

TEST(JobStart, AClickWhileAJobRunsIsTheAbort) {
  StartHarness h;
  for (const char* name : {"b.wav", "c.wav"}) WriteFileBytes(h.dir / "src" / name, test::MakePcmWav("abcd"));
  StartResult inner;
  h.ui.onYield = [&](int) {
    if (!inner.AbortRequested && fs::exists(h.dir / "dst" / "a.wav")) inner = h.Click("CART", "WAV/PCM");
  };
  const auto outer = h.Click("CART", "WAV/PCM");
  EXPECT_TRUE(inner.AbortRequested);
  EXPECT_FALSE(inner.Started);
  EXPECT_EQ(outer.Outcome.end, JobOutcome::End::Aborted);
  EXPECT_EQ(outer.Outcome.Passed, 1);
  EXPECT_FALSE(fs::exists(h.dir / "dst" / "c.wav"));
}

TEST(JobStart, AnUnattendedRunExitsAfterItsJob) {
  StartHarness h;
  h.settings.Unattended = true;
  const auto result = h.Click("CART", "WAV/PCM");
  EXPECT_TRUE(result.Started);
  EXPECT_TRUE(result.ExitProgram);
  EXPECT_EQ(h.ui.exits, 1);
  EXPECT_TRUE(h.ui.messages.empty());  // no summary box
}

TEST(JobStart, LogFolderPart) {
  EXPECT_EQ(LogFolderPart("/var/log/air.txt"), "/var/log");
  EXPECT_EQ(LogFolderPart("C:\\Logs\\air.txt"), "C:\\Logs");
  EXPECT_EQ(LogFolderPart("C:air.txt"), "C:");
  EXPECT_EQ(LogFolderPart("air.txt"), "");
}

}  // namespace
}  // namespace airfoldex
