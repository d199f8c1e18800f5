// The conversions of the first complete formats, end to end through airfoldex-cli, with the
// written files checked by other programs.

#include <gtest/gtest.h>

#include "riff/cart.h"
#include "support/job_bench.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RunCommand;
using test::TempDir;
using test::WriteFileBytes;

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

// A broadcast WAV as automation systems export it: cart before the audio, LIST/INFO and DISP after.
std::string RichSource() {
  CartRecord r;
  SetFixedText(r.ChunkId, "cart");
  SetFixedText(r.Version, "0101");
  SetFixedTextNulPadded(r.Title, "Caf\xE9 Sessions");
  SetFixedTextNulPadded(r.Artist, "The Night Crew");
  SetFixedTextNulPadded(r.CutID, "MUS1234");
  SetFixedTextNulPadded(r.UserDef, ":04/0:01/F");
  SetFixedText(r.PostTimers[0].Id, "INT ");
  r.PostTimers[0].Value = 4 * 8000;
  SetFixedText(r.PostTimers[2].Id, "AUDe");
  r.PostTimers[2].Value = 2 * 8000;

  return test::MakeWavWithChunks(
      1, 8000, 16, RenderCartChunk(r), test::PatternAudio(2 * 16000 + 2),
      test::MakeListInfo({{"IART", "The Night Crew"}, {"INAM", "Caf\xE9 Sessions"}}));
}

TEST(CliConvert, EveryFirstFormatPairConvertsAndOtherProgramsReadTheResult) {
  const bool peers = test::HaveProgram("ffprobe") && test::HaveProgram("sox");
  const char* sources[] = {"WAV/PCM",         "CART",       "DJB",       "PlayItLive", "PlayoutONE/Pro",
                           "StationPlaylist", "BSI/Simian", "MediaTouch"};
  const char* targets[] = {
      "WAV/PCM",         "CART Chunk", "DJB",        "RadioDJ",    "PlayItLive",          "PlayoutONE/Pro",
      "StationPlaylist", "BSI/Simian", "LIST Chunk", "MediaTouch", "Generate Report Only"};
  TempDir data, dir;
  fs::create_directory(dir / "in");
  WriteFileBytes(dir / "in" / "cafe.wav", RichSource());
  int run = 0;
  for (const char* from : sources) {
    for (const char* to : targets) {
      const fs::path out = dir / ("out" + std::to_string(run++));
      std::string stdoutText;
      const int status =
          RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + test::CliPath() + " convert --from '" +
                         from + "' --to '" + to + "' --source " + Quote(dir / "in") + " --dest " +
                         Quote(out) + " --log " + Quote(dir / "log.txt") + " --yes 2>/dev/null",
                     &stdoutText);
      const std::string pair = std::string(from) + " -> " + to;
      ASSERT_EQ(status, 0) << pair << "\n" << stdoutText;
      const fs::path written = out / "cafe.wav";
      if (std::string_view(to) == "Generate Report Only") {
        EXPECT_FALSE(fs::exists(written)) << pair;
        continue;
      }
      ASSERT_TRUE(fs::exists(written)) << pair;
      EXPECT_EQ(ReadFileBytes(written).size() % 2, 0u) << pair;  // every chunk padded
      if (!peers) continue;
      EXPECT_EQ(RunCommand("sox --i " + Quote(written) + " >/dev/null 2>&1"), 0) << pair;
      std::string probe;
      EXPECT_EQ(RunCommand("ffprobe -v error -show_entries format_tags=title,artist -of default=nw=1 " +
                               Quote(written) + " 2>&1",
                           &probe),
                0)
          << pair;
      const std::string_view t(to);
      if (t == "PlayItLive" || t == "PlayoutONE/Pro" || t == "BSI/Simian" || t == "LIST Chunk") {
        // Text inside RIFF chunks is Windows-1252; ffprobe shows the "é" byte as a replacement.
        EXPECT_NE(probe.find("TAG:title=Caf"), std::string::npos) << pair << "\n" << probe;
        EXPECT_NE(probe.find(" Sessions\n"), std::string::npos) << pair << "\n" << probe;
        EXPECT_NE(probe.find("TAG:artist=The Night Crew"), std::string::npos) << pair << "\n" << probe;
      }
    }
  }
}

TEST(CliConvert, TargetsNotBuiltYetFailEachFileWithTheirName) {
  TempDir data, dir;
  fs::create_directory(dir / "in");
  WriteFileBytes(dir / "in" / "cafe.wav", RichSource());
  const fs::path ini = dir / "run.ini";
  WriteFileBytes(ini, "[Settings]\r\nErrorStops=0\r\n");
  std::string err;
  const int status =
      RunCommand("AIRFOLDEX_DATA=" + Quote(data.path()) + " " + test::CliPath() +
                     " convert --from CART --to 'WideOrbit/Scott' --source " + Quote(dir / "in") +
                     " --dest " + Quote(dir / "out") + " --log " + Quote(dir / "log.txt") + " --settings " +
                     Quote(ini) + " --yes 2>&1 >/dev/null",
                 &err);
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("Writing \"WideOrbit/Scott\" files is not available in this version."),
            std::string::npos)
      << err;
  EXPECT_FALSE(fs::exists(dir / "out" / "cafe.wav"));
}

TEST(CliInspect, JsonCarriesTheAgreedKeys) {
  if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "no python3";
  TempDir dir;
  WriteFileBytes(dir / "cafe.wav", RichSource());
  std::string out;
  ASSERT_EQ(RunCommand(test::CliPath() + " inspect --json " + Quote(dir / "cafe.wav"), &out), 0) << out;
  WriteFileBytes(dir / "out.json", out);
  const std::string check =
      "import json,sys\n"
      "o=json.loads(open(sys.argv[1]).read())\n"
      "assert set(o)=={'file','from','chunks','format','flags','record','timers'},sorted(o)\n"
      "assert [c['id'] for c in o['chunks']]==['fmt ','cart','data','LIST'],o['chunks']\n"
      "assert set(o['format'])=={'FormatTag','Channels','SamplesPerSec','AvgBytesPerSec','BlockAlign',"
      "'BitsPerSample','DataOffset','DataSize'}\n"
      "assert o['from']=='CART' and o['flags']['CartFound'] and o['flags']['ListFound']\n"
      "assert o['record']['Title']=='Caf\\u00e9 Sessions' and 'LevelReference' in o['record']\n"
      "t=o['timers'][0]\n"
      "assert (t['slot'],t['id'],t['value'],t['seconds'])==(0,'INT ',32000,4),t\n";
  WriteFileBytes(dir / "check.py", check);
  std::string result;
  EXPECT_EQ(
      RunCommand("/usr/bin/python3 " + Quote(dir / "check.py") + " " + Quote(dir / "out.json") + " 2>&1",
                 &result),
      0)
      << result << out;

  // The text form names what it found and prints the record.
  ASSERT_EQ(RunCommand(test::CliPath() + " inspect " + Quote(dir / "cafe.wav"), &out), 0);
  EXPECT_NE(out.find("CartFound, ListFound"), std::string::npos) << out;
  EXPECT_NE(out.find("Caf\xC3\xA9 Sessions"), std::string::npos) << out;
}

}  // namespace
}  // namespace airfoldex
