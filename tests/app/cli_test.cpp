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
  // The request's empty line, then one line per file, then the job's empty line.
  EXPECT_EQ(logText.rfind("\r\nFAILED,fake.wav,fake.wav,fake,,,,:00,0:00,0:00,,", 0), 0u) << logText;
  EXPECT_NE(logText.find("\r\nSUCCESS,good.wav,good.wav,good,,,:00/0:01/C,:00,0:00,0:00,C,"),
            std::string::npos);
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

TEST(Cli, SettingsFileGivesTheOptionsAndReceivesTheFormatChoice) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  fs::create_directory(dir / "out");
  WriteFileBytes(dir / "in" / "bad.wav", "nope");
  const fs::path ini = dir / "run.ini";
  WriteFileBytes(ini, "[Settings]\r\nLog=" + (dir / "from-ini.txt").string() + "\r\nErrorStops=0\r\n");
  std::string err;
  const int status = RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + Cli() +
                                    " convert --from CART --to 'WAV/PCM' --source " + Quote(dir / "in") +
                                    " --dest " + Quote(dir / "out") + " --settings " + Quote(ini) + " 2>&1",
                                &err);
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("[WARNING!] Can't identify WAV file."), std::string::npos) << err;
  EXPECT_NE(ReadFileBytes(dir / "from-ini.txt").find("FAILED,bad.wav"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(ini),
            "[Settings]\r\nLog=" + (dir / "from-ini.txt").string() +
                "\r\nErrorStops=0\r\nMTdate=yyyy/mm/dd\r\nFormatFrom=6\r\nFormatTo=0\r\n");
}

TEST(Cli, FirstStartCreatesTheDataFolderFromTheTemplate) {
  TempDir root, dir;
  const fs::path data = root / "fresh";
  fs::create_directory(dir / "in");
  WriteFileBytes(dir / "in" / "a.wav", test::MakePcmWav("abcd"));
  std::string out;
  const int status = RunCommand("AIRFOLDEX_DATA=" + Quote(data) + " " + Cli() +
                                    " convert --from CART --to 'WAV/PCM'" + " --source " + Quote(dir / "in") +
                                    " --dest " + Quote(dir / "out") + " --yes 2>/dev/null",
                                &out);
  EXPECT_EQ(status, 0);
  const std::string ini = ReadFileBytes(data / "Airfoldex.INI");
  EXPECT_NE(ini.find("\r\nFormatFrom=6\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nXferDelay=30\r\n"), std::string::npos);
  // The log defaults to the data folder.
  EXPECT_NE(ReadFileBytes(data / "Airfoldex.log").find("SUCCESS,a.wav"), std::string::npos);
}

TEST(Cli, RefusalsOfTheConvertButtonExitWithTwo) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  WriteFileBytes(dir / "in" / "a.wav", test::MakePcmWav("abcd"));
  const std::string folders = " --source " + Quote(dir / "in") + " --log " + Quote(dir / "log.txt");
  struct Case {
    std::string args, lastLine;
  };
  const Case cases[] = {
      {"--from DJB --to DJB" + folders + " --dest " + Quote(dir / "out"),
       "You haved picked the same TO and FROM formats."},
      {"--from CART --to 'WAV/PCM'" + folders + " --dest " + Quote(dir / "IN"),
       "Source Folder and Destination Folders can't be the same.\rPlease select two different folder."},
      {"--from CART --to 'WAV/PCM' --source " + Quote(dir / "in") + " --dest " + Quote(dir / "out") +
           " --log " + Quote(dir / "missing" / "log.txt"),
       "Please enter a correct 'Results Log' path and filename."},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(data, "convert " + c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(LastLine(r.out), c.lastLine) << c.args;
    EXPECT_FALSE(fs::exists(dir / "out" / "a.wav"));
  }
}

TEST(Cli, AScriptRunTakesEverySettingFromItsScriptFile) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  fs::create_directory(dir / "out");
  WriteFileBytes(dir / "in" / "a.wav", test::MakePcmWav("abcd"));
  const std::string script =
      "[Settings]\r\nSource=" + (dir / "in").string() + "\r\nDestination=" + (dir / "out").string() +
      "\r\nLog=" + (dir / "nightly.log").string() + "\r\nFormatFrom=6\r\nFormatTo=0\r\nMTdate=yyyy/mm/dd\r\n";
  WriteFileBytes(data / "nightly.txt", script);

  for (const std::string args : {"/script nightly", "--script nightly"}) {
    std::string err;
    const int status = RunCommand(
        "AIRFOLDEX_DATA=" + Quote(data.path()) + " " + Cli() + " " + args + " 2>&1 >/dev/null", &err);
    EXPECT_EQ(status, 0) << args << err;
    EXPECT_EQ(err.find("[Airfoldex] Job Completed!"), std::string::npos) << err;  // no summary box
    EXPECT_TRUE(fs::exists(dir / "out" / "a.wav"));
    fs::remove(dir / "out" / "a.wav");
  }
  EXPECT_NE(ReadFileBytes(dir / "nightly.log").find("SUCCESS,a.wav"), std::string::npos);
  // Writes went to the script, the settings file was never made.
  EXPECT_EQ(ReadFileBytes(data / "nightly.txt"), script);
  EXPECT_FALSE(fs::exists(data / "Airfoldex.INI"));

  // "/script nightly.txt" reads nightly.txt.txt and writes to the settings file.
  WriteFileBytes(data / "nightly.txt.txt", script);
  const auto r = RunCli(data, "/SCRIPT nightly.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(ReadFileBytes(data / "Airfoldex.INI").find("FormatFrom=6"), std::string::npos);
}

TEST(Cli, AnUnwritableSettingsFileIsReportedOnce) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  fs::create_directory(dir / "settings-as-folder");
  std::string err;
  const int status = RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + Cli() +
                                    " convert --from CART --to 'WAV/PCM' --source " + Quote(dir / "in") +
                                    " --dest " + Quote(dir / "out") + " --log " + Quote(dir / "log.txt") +
                                    " --settings " + Quote(dir / "settings-as-folder") + " 2>&1 >/dev/null",
                                &err);
  EXPECT_EQ(status, 0);  // the job itself ran
  std::size_t count = 0;
  for (auto pos = err.find("warning: the settings file"); pos != std::string::npos;
       pos = err.find("warning: the settings file", pos + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 1u) << err;
}

}  // namespace
}  // namespace airfoldex
