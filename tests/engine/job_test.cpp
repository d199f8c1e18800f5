#include "engine/job.h"

#include <gtest/gtest.h>

#include "engine/paths.h"
#include "support/job_bench.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::FakeUi;
using test::FixedClock;
using test::MemorySettings;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

using JobHarness = test::JobBench;

constexpr std::string_view kNow = "12/11/2026 3:04:05 PM";

TEST(Job, ConvertsGoodFilesAndFailsTheOthersWithoutStopping) {
  JobHarness h;
  const std::string audio = test::PatternAudio(4099);  // odd on purpose
  WriteFileBytes(h.src() / "b-good.wav", test::MakePcmWav(audio));
  WriteFileBytes(h.src() / "A-text.WAV", "this is not a RIFF file at all");
  WriteFileBytes(h.src() / "c-empty.wav", "");
  WriteFileBytes(h.src() / "notes.txt", "not listed");

  const auto outcome = h.job.RunJob();

  EXPECT_EQ(h.job.Listing(), (std::vector<std::string>{"A-text.WAV", "b-good.wav", "c-empty.wav"}));
  EXPECT_EQ(outcome.end, JobOutcome::End::Completed);
  EXPECT_EQ(outcome.Passed, 1);
  EXPECT_EQ(outcome.Failed, 2);
  EXPECT_EQ(outcome.Message, "Job Completed! Files Passed: 1 Failures: 2");

  // The audio arrives unchanged.
  const std::string written = ReadFileBytes(h.dst() / "b-good.wav");
  ASSERT_GE(written.size(), 44u + audio.size());
  EXPECT_EQ(written.substr(44, audio.size()), audio);
  EXPECT_FALSE(fs::exists(h.dst() / "A-text.WAV"));

  EXPECT_EQ(h.LogText(), "FAILED,A-text.WAV,A-text.WAV,A-text,,,,:00,0:00,0:00,," + std::string(kNow) +
                             "\r\n"
                             "SUCCESS,b-good.wav,b-good.wav,b-good,,,:00/0:01/C,:00,0:00,0:00,C," +
                             std::string(kNow) +
                             "\r\n"
                             "FAILED,c-empty.wav,c-empty.wav,c-empty,,,,:00,0:00,0:00,," +
                             std::string(kNow) + "\r\n\r\n");

  EXPECT_EQ(ReadFileBytes(h.src() / "FAILED" / "A-text.WAV"), "this is not a RIFF file at all");
  EXPECT_TRUE(fs::exists(h.src() / "FAILED" / "c-empty.wav"));

  std::vector<std::string> expected = {"Can't identify WAV file.", "Can't identify WAV file.",
                                       "Job Completed! Files Passed: 1 Failures: 2"};
  EXPECT_EQ(h.ui.MessageTexts(), expected);
  EXPECT_EQ(h.ui.messages[0].title, "WARNING!");
  EXPECT_EQ(h.ui.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(h.ui.statuses.back(), "Conversion(s) completed. Passed: 1 Fail: 2");
}

TEST(Job, ErrorStopsOffSilencesPerFileBoxesButNotTheSummary) {
  JobHarness h;
  h.settings.ErrorStopsOff = true;
  WriteFileBytes(h.src() / "bad.wav", "garbage");
  h.job.RunJob();
  EXPECT_EQ(h.ui.MessageTexts(), std::vector<std::string>{"Job Completed! Files Passed: 0 Failures: 1"});
  EXPECT_NE(h.LogText().find("FAILED,bad.wav"), std::string::npos);
}

TEST(Job, NoFailuresLeavesNoFailedFolder) {
  JobHarness h;
  WriteFileBytes(h.src() / "one.wav", test::MakePcmWav(test::PatternAudio(400)));
  EXPECT_EQ(h.job.RunJob().Failed, 0);
  EXPECT_FALSE(fs::exists(h.src() / "FAILED"));
}

TEST(Job, EndsEarlyWithTheZeroSummary) {
  {
    JobHarness h;  // empty source folder
    const auto outcome = h.job.RunJob();
    EXPECT_EQ(h.ui.MessageTexts(),
              (std::vector<std::string>{"No audio files were found in the SOURCE folder.",
                                        "Job Completed! Files Passed: 0 Failures: 0"}));
    EXPECT_EQ(outcome.end, JobOutcome::End::Completed);
    EXPECT_FALSE(outcome.Declined);
    EXPECT_EQ(h.LogText(), "\r\n");
  }
  {
    JobHarness h;  // the destination is missing and the answer is No
    WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
    fs::remove(h.dst());
    const auto outcome = h.job.RunJob();
    ASSERT_EQ(h.ui.messages.size(), 2u);
    EXPECT_EQ(h.ui.messages[0].text, "Destination folder does not exist.\r\nDo you want me to create it?");
    EXPECT_EQ(h.ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(h.ui.messages[1].text, "Job Completed! Files Passed: 0 Failures: 0");
    EXPECT_FALSE(fs::exists(h.dst()));
    EXPECT_TRUE(outcome.Declined);
  }
}

TEST(Job, CreatesTheDestinationWhenTheAnswerIsYes) {
  JobHarness h;
  WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
  fs::remove(h.dst());
  h.ui.answers = {MessageAnswer::Yes};
  EXPECT_EQ(h.job.RunJob().Passed, 1);
  EXPECT_TRUE(fs::exists(h.dst() / "one.wav"));
}

TEST(Job, AnEmptyFormIsRefusedAndNothingElseHappens) {
  JobHarness h;
  h.settings.SourceFolder = "   ";
  const auto outcome = h.job.RunJob();
  EXPECT_EQ(outcome.end, JobOutcome::End::NotStarted);
  EXPECT_EQ(h.ui.MessageTexts(), std::vector<std::string>{"Please fill out the form."});
  EXPECT_FALSE(fs::exists(h.log()));
}

TEST(Job, AbortStopsAfterTheCurrentFileWithTheCountsSoFar) {
  JobHarness h;
  for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav"}) {
    WriteFileBytes(h.src() / name, test::MakePcmWav("abcd"));
  }
  // The yield at the end of the second file carries the Abort click.
  h.ui.onYield = [&](int) {
    if (fs::exists(h.dst() / "2.wav")) h.job.RequestAbort();
  };
  const auto outcome = h.job.RunJob();
  EXPECT_EQ(outcome.end, JobOutcome::End::Aborted);
  EXPECT_EQ(outcome.Passed, 2);
  EXPECT_FALSE(fs::exists(h.dst() / "3.wav"));
  ASSERT_FALSE(h.ui.messages.empty());
  EXPECT_EQ(h.ui.messages.back().text, "Job Aborted! Files Passed: 2 Failures: 0");
  EXPECT_EQ(h.ui.messages.back().icon, MessageIcon::Exclamation);
  EXPECT_EQ(h.ui.statuses.back(), "Conversion(s) completed. Fail: 0");
}

TEST(Job, ScheduledAndUnattendedRunsShowNoSummary) {
  {
    JobHarness h;
    h.ui.timerEnabled = false;  // the scheduler stopped its timer for this run
    WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
    h.job.RunJob();
    EXPECT_TRUE(h.ui.messages.empty());
    EXPECT_EQ(h.ui.timerStarts, 1);
  }
  {
    JobHarness h;
    h.settings.Unattended = true;
    WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
    EXPECT_EQ(h.job.RunJob().Passed, 1);
    EXPECT_TRUE(h.ui.messages.empty());
  }
}

TEST(Job, LogFailuresOnlyKeepsTheJobEndLine) {
  JobHarness h;
  h.settings.LogFailuresOnly = true;
  WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
  h.job.RunJob();
  EXPECT_EQ(h.LogText(), "\r\n");
}

TEST(Job, ATargetThatIsNotBuiltFailsEachFileWithAClearReport) {
  JobHarness h("WAV/PCM", "WideOrbit/Scott");
  WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
  const auto outcome = h.job.RunJob();
  EXPECT_EQ(outcome.Failed, 1);
  ASSERT_GE(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].title, "Airfoldex-Process Error");
  EXPECT_EQ(h.ui.messages[0].text,
            "Error Line:18 Err#445 Writing \"WideOrbit/Scott\" files is not available in this version.");
  EXPECT_FALSE(fs::exists(h.dst() / "one.wav"));
}

TEST(Job, ListsTheFilesOfTheSourceSystemInNameOrder) {
  struct Case {
    std::string_view from;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {"MP3", {"a.MP3", "b.mp3"}},
      {"Maestro", {"c.DAF"}},
      {"Use CSV file to populate Meta-Data", {"b.mts", "D.wav", "e.WAV"}},
      {"CART", {"D.wav", "e.WAV"}},
  };
  for (const auto& c : cases) {
    JobHarness h(c.from, "WAV/PCM");
    for (const char* name : {"e.WAV", "b.mp3", "a.MP3", "c.DAF", "D.wav", "b.mts", "x.wav.txt"}) {
      WriteFileBytes(h.src() / name, "");
    }
    fs::create_directory(h.src() / "sub.wav");
    EXPECT_EQ(h.job.ListSourceFiles(), static_cast<int>(c.listed.size())) << c.from;
    EXPECT_EQ(h.job.Listing(), c.listed) << c.from;
  }
  EXPECT_EQ(BaseKeyOf("Song.Wav"), "SONG");
  EXPECT_EQ(BaseKeyOf("song.wave.wav"), "SONGE");
}

TEST(Job, CsvSourceNeedsACsvFileInTheSourceFolder) {
  JobHarness h("Use CSV file to populate Meta-Data", "WAV/PCM");
  WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
  h.job.RunJob();
  EXPECT_EQ(h.ui.MessageTexts(), (std::vector<std::string>{"CSV file not found in the source folder.",
                                                           "Job Completed! Files Passed: 0 Failures: 0"}));
}

}  // namespace
}  // namespace airfoldex

namespace airfoldex {
namespace {

TEST(Job, ReportOnlyLogsEveryReadableFileAndWritesNothing) {
  JobHarness h("CART", "Generate Report Only");
  for (const char* name : {"a.wav", "b.wav"}) WriteFileBytes(h.src() / name, test::MakePcmWav("abcd"));
  WriteFileBytes(h.src() / "c.wav", "unreadable");
  const auto outcome = h.job.RunJob();
  EXPECT_EQ(outcome.Passed, 2);
  EXPECT_EQ(outcome.Failed, 1);
  EXPECT_TRUE(fs::is_empty(h.dst()));
  const std::string log = h.LogText();
  // The report shows the record each file would get: here the default record of a plain WAV.
  EXPECT_EQ(log.rfind("SUCCESS,a.wav,a.wav,a,,,:00/0:01/C,:00,0:00,0:01,C,", 0), 0u) << log;
  EXPECT_NE(log.find("\r\nSUCCESS,b.wav,"), std::string::npos);
  EXPECT_NE(log.find("\r\nFAILED,c.wav,"), std::string::npos);
  EXPECT_TRUE(fs::exists(h.src() / "FAILED" / "c.wav"));
}

TEST(Job, NamesNearTheFileSystemLimitStillConvert) {
  JobHarness h;
  const std::string name = std::string(240, 'n') + ".wav";
  WriteFileBytes(h.src() / name, test::MakePcmWav("abcd"));
  EXPECT_EQ(h.job.RunJob().Passed, 1);
  EXPECT_TRUE(fs::exists(h.dst() / name));
}

TEST(Job, AnUnwritableLogIsReportedAndMarkedButTheFilesStillConvert) {
  JobHarness h;
  h.settings.LogPath = (h.dir / "no-such-folder" / "log.txt").string();
  WriteFileBytes(h.src() / "one.wav", test::MakePcmWav("abcd"));
  const auto outcome = h.job.RunJob();
  EXPECT_EQ(outcome.Passed, 1);
  EXPECT_TRUE(outcome.LogWriteFailed);
  EXPECT_TRUE(fs::exists(h.dst() / "one.wav"));
  ASSERT_GE(h.ui.messages.size(), 2u);
  EXPECT_EQ(h.ui.messages[0].title, "Airfoldex-Write Log Problem");
}

}  // namespace
}  // namespace airfoldex
