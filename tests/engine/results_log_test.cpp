#include "engine/results_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

struct Harness {
  JobSettings settings;
  Session session;
  FakeUi ui;
  MemorySettings store;
  FixedClock clock;
  JobContext ctx{settings, session, ui, store, clock};

  Harness() {
    session.BeginFile();
    session.File.FileName = "abc.wav";
    session.File.SourcePath = "/src/abc.wav";
    session.File.DestinationPath = "/dst/abc.wav";
    // 44.1 kHz 16-bit stereo: one second is 44100 frames.
    session.Format = WaveFormat{1, 2, 44100, 176400, 4, 16};
  }
  void SetTimer(int slot, std::string_view id, int32_t frames) {
    SetFixedTextNulPadded(session.Cart.PostTimers[slot].Id, id);
    session.Cart.PostTimers[slot].Value = frames;
  }
};

TEST(ResultsLog, AppendWritesCleanTextWithCrLf) {
  TempDir dir;
  FakeUi ui;
  const auto log = dir / "log.txt";
  AppendLogLine(log, std::string("  one\0two  ", 11), ui);
  AppendLogLine(log, "", ui);
  EXPECT_EQ(ReadFileBytes(log), "onetwo\r\n\r\n");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ResultsLog, UnwritableLogShowsTheWriteProblemAndReturns) {
  TempDir dir;
  FakeUi ui;
  AppendLogLine(dir / "missing-folder" / "log.txt", "line", ui);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "Airfoldex-Write Log Problem");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(ui.messages[0].text.rfind("Error:75 ", 0), 0u) << ui.messages[0].text;
}

TEST(ResultsLog, GeneralDateText) {
  EXPECT_EQ(GeneralDateText({2026, 12, 11, 15, 4, 5}), "12/11/2026 3:04:05 PM");
  EXPECT_EQ(GeneralDateText({2026, 1, 2, 0, 30, 0}), "1/2/2026 12:30:00 AM");
  EXPECT_EQ(GeneralDateText({2026, 1, 2, 12, 0, 9}), "1/2/2026 12:00:09 PM");
  EXPECT_EQ(GeneralDateText({2026, 1, 2, 0, 0, 0}), "1/2/2026");
}

TEST(ResultsLog, SuccessLineFormatsTimesAndCleansFields) {
  Harness h;
  h.settings.FromCode = code::kCartChunk;
  h.settings.ToCode = code::kCartChunk;
  h.session.Flags.CartFound = true;
  SetFixedTextNulPadded(h.session.Cart.Title, "Caf\xE9, Live");
  SetFixedText(h.session.Cart.Artist, "The Band, Inc");
  SetFixedTextNulPadded(h.session.Cart.CutID, "C,100");
  SetFixedTextNulPadded(h.session.Cart.UserDef, "0:07/3:02/C");
  h.SetTimer(0, "INT ", 7 * 44100);
  h.SetTimer(1, "SEGs", 182 * 44100);
  h.SetTimer(2, "AUDe", 190 * 44100 + 22050);  // 190.5 s rounds to 190 (ties to even)

  ComputeLogValues(h.ctx);
  EXPECT_EQ(h.session.Log.LogIntro, "7");
  EXPECT_EQ(h.session.Log.LogSegue, "182");
  EXPECT_EQ(h.session.Log.LogLength, "190.5");
  EXPECT_EQ(h.session.Log.LogEnding, "C");
  EXPECT_EQ(BuildOutcomeLine(h.ctx, true),
            "SUCCESS,abc.wav,abc.wav,C,100,Caf\xC3\xA9 Live,The Band Inc,0:07/3:02/C,:07,3:02,3:10,C,"
            "12/11/2026 3:04:05 PM");
}

TEST(ResultsLog, RawTimesForSystemsThatLogThemAsRead) {
  Harness h;
  h.settings.FromCode = code::kBsiSimian;
  h.session.Log = {"7.5", "182", "190.25", "F"};
  EXPECT_EQ(BuildOutcomeLine(h.ctx, true),
            "SUCCESS,abc.wav,abc.wav,abc,,,,7.5,182,190.25,F,12/11/2026 3:04:05 PM");
  // A failure always formats.
  EXPECT_EQ(BuildOutcomeLine(h.ctx, false),
            "FAILED,abc.wav,abc.wav,abc,,,,:08,3:02,3:10,F,12/11/2026 3:04:05 PM");
}

TEST(ResultsLog, EndingAndUserDefRules) {
  Harness h;
  h.settings.FromCode = code::kCartChunk;
  h.session.Flags.CartFound = true;
  // Two characters before the timing notation are dropped.
  SetFixedTextNulPadded(h.session.Cart.UserDef, "xx:05/3:00/F");
  ComputeLogValues(h.ctx);
  EXPECT_EQ(CleanText(h.session.Cart.UserDef), ":05/3:00/F");
  EXPECT_EQ(h.session.Log.LogEnding, "F");
  // No timers: the length falls back to the length of the audio.
  h.session.Layout.AudioBytes = 185u * 176400u;
  EXPECT_EQ(h.session.Log.LogLength, "0");
  ComputeLogValues(h.ctx);
  EXPECT_EQ(h.session.Log.LogLength, "185");

  // A Storq/Air Force WAV/PCM source reads its ending the other way round.
  Harness air;
  air.settings.FromCode = code::kWavPcm;
  air.session.Flags.AirForceFound = true;
  ComputeLogValues(air.ctx);
  EXPECT_EQ(air.session.Log.LogEnding, "C");
}

TEST(ResultsLog, LogFailuresOnlySuppressesBothLinesButKeepsCutIdFallback) {
  Harness h;
  h.settings.LogFailuresOnly = true;
  EXPECT_EQ(BuildOutcomeLine(h.ctx, true), "");
  EXPECT_EQ(BuildOutcomeLine(h.ctx, false), "");
  EXPECT_EQ(CleanText(h.session.Cart.CutID), "abc");
}

TEST(ResultsLog, Mp3DestinationIsLoggedAsWav) {
  Harness h;
  h.settings.FromCode = code::kMp3;
  h.session.File.FileName = "song.mp3";
  h.session.File.SourcePath = "/src/song.mp3";
  h.session.File.DestinationPath = "/dst/song.mp3";
  EXPECT_EQ(BuildOutcomeLine(h.ctx, true).substr(0, 26), "SUCCESS,song.wav,song.mp3,");
}

TEST(ResultsLog, FailedFolderHoldsCopiesAndGoesWhenEmpty) {
  TempDir dir;
  test::WriteFileBytes(dir / "abc.wav", "not audio");
  EXPECT_TRUE(CopyToFailedFolder(dir.path(), "abc.wav"));
  EXPECT_TRUE(CopyToFailedFolder(dir.path(), "abc.wav"));  // replaces the earlier copy
  EXPECT_EQ(ReadFileBytes(dir / "FAILED" / "abc.wav"), "not audio");
  EXPECT_TRUE(fs::exists(dir / "abc.wav"));
  EXPECT_FALSE(CopyToFailedFolder(dir.path(), "missing.wav"));

  RemoveEmptyFailedFolder(dir.path());
  EXPECT_TRUE(fs::exists(dir / "FAILED"));  // not empty
  fs::remove(dir / "FAILED" / "abc.wav");
  RemoveEmptyFailedFolder(dir.path());
  EXPECT_FALSE(fs::exists(dir / "FAILED"));
}

TEST(ResultsLog, ProcessErrorReportNamesTheStepUnlessErrorStopsOff) {
  Harness h;
  EXPECT_FALSE(h.ctx.Guard(7, [] { throw OverflowError(); }));
  EXPECT_TRUE(h.ctx.Guard(8, [] {}));
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].title, "Airfoldex-Process Error");
  EXPECT_EQ(h.ui.messages[0].text, "Error Line:7 Err#6 Overflow");

  h.settings.ErrorStopsOff = true;
  EXPECT_FALSE(h.ctx.Guard(9, [] { throw std::runtime_error("boom"); }));
  EXPECT_EQ(h.ui.messages.size(), 1u);
}

}  // namespace
}  // namespace airfoldex
