// Whole conversions through the job driver: the source chain fills the record, the destination
// gets the target's chunks, and our own readers and other programs read the result back.

#include <gtest/gtest.h>

#include "riff/bytes.h"
#include "riff/cart.h"
#include "riff/disp.h"
#include "riff/list_info.h"
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

constexpr WaveFormat kCd{1, 2, 44100, 176400, 4, 16};

std::string ListInfo(std::initializer_list<std::pair<std::string_view, std::string_view>> entries) {
  return test::MakeListInfo(entries);
}

CartRecord SampleCart() {
  CartRecord r;
  SetFixedText(r.ChunkId, "cart");
  SetFixedText(r.Version, "0101");
  SetFixedTextNulPadded(r.Title, "Morning Drive Open");
  SetFixedTextNulPadded(r.Artist, "WKRP Imaging");
  SetFixedTextNulPadded(r.CutID, "ID0042");
  SetFixedTextNulPadded(r.UserDef, ":05/0:10/");
  SetFixedTextNulPadded(r.StartDate, "01/01/2020");
  const char* ids[] = {"INT ", "AUDs", "AUDe", "SEGs", "SEGe"};
  const int32_t seconds[] = {5, 0, 12, 10, 12};
  for (int i = 0; i < 5; ++i) {
    SetFixedText(r.PostTimers[i].Id, ids[i]);
    r.PostTimers[i].Value = seconds[i] * 44100;
  }
  return r;
}

// RIFF WAVE (44.1 kHz 16-bit stereo): fmt, the chunks before the audio, data, the chunks after it.
std::string BuildWav(std::string_view before, std::string_view audio, std::string_view after) {
  return test::MakeWavWithChunks(kCd.Channels, kCd.SamplesPerSec, kCd.BitsPerSample, before, audio, after);
}

struct Conversion : test::JobBench {
  using JobBench::JobBench;
  std::string Log() const { return LogText(); }
};

const std::string kAudio = test::PatternAudio(12 * 176400);

TEST(Conversion, CartSourceToCartTargetKeepsTheRecordAndTheAudio) {
  Conversion c("CART", "CART Chunk");
  const auto outcome = c.Run("open.wav", BuildWav(RenderCartChunk(SampleCart()), kAudio, ""));
  ASSERT_EQ(outcome.Passed, 1) << (c.ui.messages.empty() ? "" : c.ui.messages[0].text);

  CartRecord back;
  ASSERT_TRUE(FindCartAtStart(c.Out("open.wav"), back));
  EXPECT_EQ(CleanText(back.Title), "Morning Drive Open");
  EXPECT_EQ(CleanText(back.CutID), "ID0042");
  EXPECT_EQ(back.PostTimers[3].Value, 10 * 44100);
  EXPECT_EQ(CleanText(back.ProducerAppID), "");  // writers clear the producer
  WaveFormat format;
  WavLayout layout;
  ASSERT_TRUE(IdentifyWav(c.Out("open.wav"), format, layout));
  EXPECT_EQ(ReadFileBytes(c.Out("open.wav")).substr(layout.DataOffset + 8, kAudio.size()), kAudio);
  EXPECT_NE(c.Log().find(
                "SUCCESS,open.wav,open.wav,ID0042,Morning Drive Open,WKRP Imaging,:05/0:10/,:05,0:10,0:12,"),
            std::string::npos)
      << c.Log();
}

TEST(Conversion, PlainWavWithListInfoBecomesACartRecord) {
  Conversion c("WAV/PCM", "CART Chunk");
  const std::string list = ListInfo({{"IART", "Jingle Co"}, {"TTTL", "Top of Hour"}, {"ISRF", "3000"}});
  c.Run("toh.wav", BuildWav("", kAudio, list));
  CartRecord back;
  ASSERT_TRUE(FindCartAtStart(c.Out("toh.wav"), back));
  EXPECT_EQ(CleanText(back.Title), "Top of Hour");
  EXPECT_EQ(CleanText(back.Artist), "Jingle Co");
  EXPECT_EQ(CleanText(back.CutID), "TOH");  // from the file name
  EXPECT_EQ(back.PostTimers[0].Value, 3 * 44100);
}

TEST(Conversion, ListTargetsCarryListInfoAndDispThatOtherProgramsRead) {
  for (const char* to : {"PlayItLive", "BSI/Simian", "LIST Chunk"}) {
    Conversion c("CART", to);
    c.Run("open.wav", BuildWav(RenderCartChunk(SampleCart()), kAudio, ""));
    ListInfoValues values;
    LogValues log;
    ASSERT_TRUE(ReadListInfoAtEnd(c.Out("open.wav"), values)) << to;
    EXPECT_EQ(CleanText(values.Get("INAM")), "Morning Drive Open") << to;
    DispRecord disp;
    EXPECT_TRUE(ReadDispAtEnd(c.Out("open.wav"), disp, values)) << to;
    EXPECT_EQ(disp.DispText, "Morning Drive Open") << to;
    if (test::HaveProgram("ffprobe")) {
      std::string probe;
      test::RunCommand("ffprobe -v error -show_entries format_tags=title,artist -of default=nw=1 '" +
                           c.Out("open.wav").string() + "'",
                       &probe);
      EXPECT_NE(probe.find("TAG:title=Morning Drive Open"), std::string::npos) << to << probe;
      EXPECT_NE(probe.find("TAG:artist=WKRP Imaging"), std::string::npos) << to << probe;
    }
  }
}

TEST(Conversion, TargetAdjustmentsOfTheRecord) {
  {
    Conversion c("CART", "StationPlaylist");  // an open ending becomes cold
    c.Run("a.wav", BuildWav(RenderCartChunk(SampleCart()), kAudio, ""));
    CartRecord back;
    ASSERT_TRUE(FindCartAtStart(c.Out("a.wav"), back));
    EXPECT_EQ(CleanText(back.UserDef), ":05/0:10/C");
  }
  {
    Conversion c("CART", "MediaTouch");  // only the intro and the segue timers stay
    c.Run("a.wav", BuildWav(RenderCartChunk(SampleCart()), kAudio, ""));
    const std::string bytes = ReadFileBytes(c.Out("a.wav"));
    const auto at = bytes.find("cart");
    ASSERT_NE(at, std::string::npos);
    const CartRecord back = ParseCartChunk(std::string_view(bytes).substr(at));
    EXPECT_EQ(std::string(back.PostTimers[0].Id.view()), "INT ");
    EXPECT_EQ(std::string(back.PostTimers[2].Id.view()), "    ");
    EXPECT_EQ(back.PostTimers[2].Value, 0);
    EXPECT_EQ(std::string(back.PostTimers[3].Id.view()), "SEG ");
    EXPECT_EQ(back.PostTimers[3].Value, 10 * 44100);
  }
}

TEST(Conversion, ReportOnlyLogsTheRecordItWouldWrite) {
  Conversion c("CART", "Generate Report Only");
  c.Run("open.wav", BuildWav(RenderCartChunk(SampleCart()), kAudio, ""));
  EXPECT_TRUE(fs::is_empty(c.dir / "dst"));
  EXPECT_NE(
      c.Log().find(
          "SUCCESS,open.wav,open.wav,ID0042,Morning Drive Open,WKRP Imaging,:05/0:10/,:05,0:10,0:12,F,"),
      std::string::npos)
      << c.Log();
}

TEST(Conversion, RecordsRebuiltFromListInfoKeepWhatTheCartChunkSaid) {
  // LIST/INFO with nothing but a comment must not wipe the cart chunk's texts.
  const std::string wav = BuildWav(RenderCartChunk(SampleCart()), kAudio, ListInfo({{"ICMT", "a comment"}}));
  for (auto [from, to] : {std::pair{"CART", "BSI/Simian"}, std::pair{"WAV/PCM", "CART Chunk"},
                          std::pair{"BSI/Simian", "LIST Chunk"}}) {
    Conversion c(from, to);
    c.Run("keep.wav", wav);
    CartRecord back;
    ASSERT_TRUE(FindCartAtStart(c.Out("keep.wav"), back)) << from << " -> " << to;
    EXPECT_EQ(CleanText(back.Artist), "WKRP Imaging") << from << " -> " << to;
    EXPECT_EQ(CleanText(back.CutID), "ID0042") << from << " -> " << to;
    if (std::string_view(from) != "BSI/Simian") {  // the BSI/Simian rules take the comment as title
      EXPECT_EQ(CleanText(back.Title), "Morning Drive Open") << from << " -> " << to;
    }
  }
}

TEST(Conversion, StandardInfoTitlesReachCartTargets) {
  // Most programs keep the title in INAM and have no TTTL entry.
  Conversion c("CART", "PlayItLive");
  c.Run("std.wav", BuildWav("", kAudio, ListInfo({{"INAM", "Standard Title"}, {"IART", "Standard Artist"}})));
  CartRecord back;
  ASSERT_TRUE(FindCartAtStart(c.Out("std.wav"), back));
  EXPECT_EQ(CleanText(back.Title), "Standard Title");
  EXPECT_EQ(CleanText(back.Artist), "Standard Artist");
}

TEST(Conversion, NoFileInheritsTheValuesOfTheFileBeforeIt) {
  Conversion c("PlayoutONE/Pro", "CART Chunk");
  // The first file carries LIST/INFO with a PlayoutONE comment (which also sets log values) and a
  // DISP title; the second carries nothing.
  const std::string comment = "playoutone,1999,a,b,q,15000,12000,d,8000,e,215000";
  bytes::Writer disp;
  const auto d = disp.BeginChunk("DISP");
  disp.le32(1);
  disp.raw(std::string_view("Shown Title\0", 12));
  disp.EndChunk(d);
  test::WriteFileBytes(
      c.dir / "src" / "1-first.wav",
      BuildWav(ListInfo({{"IART", "First Artist"}, {"ICMT", comment}}) + disp.data(), kAudio, ""));
  test::WriteFileBytes(c.dir / "src" / "2-second.wav", BuildWav("", kAudio, ""));
  ASSERT_EQ(c.job.RunJob().Passed, 2);

  CartRecord second;
  ASSERT_TRUE(FindCartAtStart(c.Out("2-second.wav"), second));
  EXPECT_EQ(CleanText(second.Artist), "");
  EXPECT_EQ(CleanText(second.Title), "");
  const std::string log = c.Log();
  const auto line = log.substr(log.find("SUCCESS,2-second.wav"));
  EXPECT_EQ(line.substr(0, line.find("\r\n"))
                .rfind("SUCCESS,2-second.wav,2-second.wav,2-second,,,:00/0:12/C,:00,0:00,0:00,C,", 0),
            0u)
      << log;
  EXPECT_NE(log.find("SUCCESS,1-first.wav,1-first.wav,1-first,,First Artist,:00/0:12/C,:12,0:08,3:35,C,"),
            std::string::npos)
      << log;
}

TEST(Conversion, AFormatThisBuildCannotWriteIsReportedOnceEvenWithErrorStopsOff) {
  Conversion c("CART", "ENCO");
  c.settings.ErrorStopsOff = true;
  test::WriteFileBytes(c.dir / "src" / "a.wav", BuildWav("", kAudio, ""));
  test::WriteFileBytes(c.dir / "src" / "b.wav", BuildWav("", kAudio, ""));
  EXPECT_EQ(c.job.RunJob().Failed, 2);
  EXPECT_EQ(c.ui.MessageTexts(),
            (std::vector<std::string>{
                "Error Line:18 Err#445 Writing \"ENCO\" files is not available in this version.",
                "Job Completed! Files Passed: 0 Failures: 2"}));
}

TEST(Conversion, WavWithId3SourcesGetTheirRecordInTheConversionStep) {
  Conversion c("WAV w/ID3", "CART Chunk");
  c.Run("spot.wav", BuildWav("", kAudio, ""));
  CartRecord back;
  ASSERT_TRUE(FindCartAtStart(c.Out("spot.wav"), back));
  EXPECT_EQ(CleanText(back.CutID), "spot");  // from the destination name
  EXPECT_EQ(CleanText(back.UserDef), ":00/0:12/C");
}

TEST(Conversion, RealBroadcastWavsConvertAndReadBack) {
  const auto source = test::CorpusDir() / "wavefile" / "cc_0101.wav";
  if (!fs::exists(source)) GTEST_SKIP() << "corpus not found";
  CartRecord original;
  ASSERT_TRUE(FindCartAtStart(source, original));
  Conversion c("CART", "CART Chunk");
  c.Run("cc_0101.wav", ReadFileBytes(source));
  CartRecord back;
  ASSERT_TRUE(FindCartAtStart(c.Out("cc_0101.wav"), back));
  EXPECT_EQ(CleanText(back.Title), CleanText(original.Title));
  EXPECT_EQ(CleanText(back.Artist), CleanText(original.Artist));
  EXPECT_EQ(CleanText(back.CutID), CleanText(original.CutID));
}

}  // namespace
}  // namespace airfoldex
