// End-to-end runs of airfoldex-cli as a person or a script would start it.

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RunCommand;
using test::TempDir;
using test::WriteFileBytes;

std::string Cli() { return test::CliPath(); }

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

std::string LastLine(const std::string& text) {
  auto end = text.find_last_not_of('\n');
  if (end == std::string::npos) return {};
  auto start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1) + 1);
}

struct CliRun {
  int status;
  std::string out;
};

CliRun RunCli(const TempDir& data, const std::string& args) {
  CliRun r;
  r.status =
      RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + Cli() + " " + args + " 2>/dev/null", &r.out);
  return r;
}

TEST(Cli, FormatsPrintsBothListsInCatalogueOrder) {
  TempDir data;
  const auto r = RunCli(data, "formats");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "FROM 0 12 MP3");
  EXPECT_NE(r.out.find("\nFROM 22 18 Use CSV file to populate Meta-Data\nTO 0 13 WAV/PCM\n"),
            std::string::npos);
  EXPECT_EQ(LastLine(r.out), "TO 20 18 Generate Report Only");
}

TEST(Cli, ConvertsAFolderAndReportsFailuresThroughItsExitStatus) {
  TempDir data, dir;
  const fs::path src = dir / "in", dst = dir / "out", log = dir / "log.txt";
  fs::create_directory(src);
  const std::string audio = test::PatternAudio(10001);
  WriteFileBytes(src / "good.wav", test::MakePcmWav(audio, 1, 22050, 8));
  WriteFileBytes(src / "fake.wav", "ID3 this is an mp3 in disguise");
  WriteFileBytes(src / "zero.wav", "");

  const auto r = RunCli(data, "convert --from 'WAV/PCM' --to 'WAV/PCM' --source " + Quote(src) + " --dest " +
                                  Quote(dst) + " --log " + Quote(log) + " --yes");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(LastLine(r.out), "Job Completed! Files Passed: 1 Failures: 2");

  const std::string logText = ReadFileBytes(log);
  EXPECT_EQ(logText.rfind("FAILED,fake.wav,fake.wav,fake,,,,:00,0:00,0:00,,", 0), 0u) << logText;
  EXPECT_NE(logText.find("\r\nSUCCESS,good.wav,good.wav,good,,,,:00,0:00,0:00,F,"), std::string::npos);
  EXPECT_NE(logText.find("\r\nFAILED,zero.wav,zero.wav,zero,"), std::string::npos);
  EXPECT_EQ(logText.substr(logText.size() - 4), "\r\n\r\n");
  EXPECT_TRUE(fs::exists(src / "FAILED" / "fake.wav"));
  EXPECT_TRUE(fs::exists(src / "FAILED" / "zero.wav"));
  EXPECT_EQ(ReadFileBytes(dst / "good.wav"), test::MakePcmWav(audio, 1, 22050, 8));

  if (test::HaveProgram("ffprobe")) {
    std::string probe;
    ASSERT_EQ(RunCommand("ffprobe -v error -show_entries stream=sample_rate,channels -of csv=p=0 " +
                             Quote(dst / "good.wav"),
                         &probe),
              0);
    EXPECT_EQ(probe, "22050,1\n");
  }
}

TEST(Cli, RefusesUnknownFormatsAndEmptyForms) {
  TempDir data, dir;
  std::string err;
  const int status =
      RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + Cli() +
                     " convert --from CARTS --to 'WAV/PCM' --source a --dest b 2>&1 >/dev/null",
                 &err);
  EXPECT_EQ(status, 2);
  EXPECT_NE(err.find("Unknown FROM format \"CARTS\""), std::string::npos);
  EXPECT_NE(err.find("  StationPlaylist\n"), std::string::npos);

  const auto r = RunCli(data, "convert --from CART --to 'WAV/PCM' --source '' --dest " + Quote(dir.path()));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(LastLine(r.out), "Please fill out the form.");
}

TEST(Cli, MissingDestinationIsCreatedOnlyWithYes) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  WriteFileBytes(dir / "in" / "a.wav", test::MakePcmWav("abcd"));
  const std::string base = "convert --from CART --to 'WAV/PCM' --source " + Quote(dir / "in") + " --dest " +
                           Quote(dir / "out") + " --log " + Quote(dir / "log.txt");
  auto r = RunCli(data, base);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(LastLine(r.out), "Job Completed! Files Passed: 0 Failures: 0");
  EXPECT_FALSE(fs::exists(dir / "out"));

  r = RunCli(data, base + " --yes");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(LastLine(r.out), "Job Completed! Files Passed: 1 Failures: 0");
}

TEST(Cli, SettingsFileGivesTheLogAndErrorStops) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  fs::create_directory(dir / "out");
  WriteFileBytes(dir / "in" / "bad.wav", "nope");
  const fs::path ini = dir / "run.ini";
  WriteFileBytes(ini, "[Settings]\r\nLog=" + (dir / "from-ini.txt").string() + "\r\nErrorStops=1\r\n");
  std::string err;
  const int status = RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + Cli() +
                                    " convert --from CART --to 'WAV/PCM' --source " + Quote(dir / "in") +
                                    " --dest " + Quote(dir / "out") + " --settings " + Quote(ini) + " 2>&1",
                                &err);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.find("Can't identify WAV file."), std::string::npos) << err;
  EXPECT_NE(ReadFileBytes(dir / "from-ini.txt").find("FAILED,bad.wav"), std::string::npos);
}

}  // namespace
}  // namespace airfoldex
