#include "riff/wav.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "riff/bytes.h"
#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::MakePcmWav;
using test::PatternAudio;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::string Chunk(std::string_view id, std::string_view body) {
  bytes::Writer w;
  const auto at = w.BeginChunk(id);
  w.raw(body);
  w.EndChunk(at);
  return w.data();
}

// A chunk header with a size field that need not match what follows.
std::string Header(std::string_view id, uint32_t size) {
  bytes::Writer w;
  w.fixed(id, 4);
  w.le32(size);
  return w.data();
}

std::string Riff(std::string_view chunks) {
  bytes::Writer w;
  w.raw("RIFF");
  w.le32(static_cast<uint32_t>(chunks.size() + 4));
  w.raw("WAVE");
  w.raw(chunks);
  return w.data();
}

// A PCM fmt chunk; withCbSize gives the 18-byte form ending in a zero extension size.
std::string PcmFmt(bool withCbSize = false, uint16_t channels = 2, uint32_t rate = 44100,
                   uint16_t bits = 16) {
  bytes::Writer w;
  const auto align = static_cast<uint16_t>(channels * bits / 8);
  w.le16(1);             // format tag: PCM
  w.le16(channels);      // channels
  w.le32(rate);          // samples per second
  w.le32(rate * align);  // average bytes per second
  w.le16(align);         // block align
  w.le16(bits);          // bits per sample
  if (withCbSize) w.le16(0);
  return Chunk("fmt ", w.data());
}

std::string InfoList(std::string_view title) { return Chunk("LIST", "INFO" + Chunk("INAM", title)); }

// Audio that holds the text "data", as a title or sample values may.
std::string AudioWithDataText(std::size_t length = 1000) {
  std::string audio = PatternAudio(length);
  audio.replace(100, 4, "data");
  return audio;
}

std::string Le32(uint32_t v) {
  bytes::Writer w;
  w.le32(v);
  return w.data();
}

uint32_t Le32At(const std::string& s, std::size_t at) { return bytes::le32(s.data() + at); }

struct LayoutCase {
  std::string name;
  std::string bytes;
  uint64_t fmtOffset;
  uint64_t dataOffset;
  int32_t prefixOffset;
  bool junkFirst;
  bool wellFormed;
};

std::vector<LayoutCase> LayoutCases() {
  const std::string audio = AudioWithDataText();
  const std::string plainAudio(1000, '\x11');
  const std::string data = Chunk("data", audio);
  const std::string fact = Chunk("fact", Le32(250));
  const std::string air = Chunk("AIR1", std::string("FILE#2048") + std::string(2039, ' '));
  const std::string air7 = Chunk("AIR7", std::string(2048, '\0'));
  return {
      {"Plain16ByteFmt", Riff(PcmFmt() + data), 12, 36, 0, false, true},
      {"Fmt18ThenData", Riff(PcmFmt(true) + data), 12, 38, 0, false, true},
      {"Fmt18FactData", Riff(PcmFmt(true) + fact + data), 12, 50, 0, false, true},
      {"BextFirst", Riff(Chunk("bext", std::string(602, '\0')) + PcmFmt() + data), 622, 646, 0, false, true},
      {"CartFirst", Riff(Chunk("cart", "0101" + std::string(2044, ' ')) + PcmFmt() + data), 2068, 2092, 0,
       false, true},
      // A title holding "data" before the audio, audio holding "data", and a trailing title "data".
      {"DataTextInTitlesAndAudio", Riff(PcmFmt() + InfoList("metadata") + data + InfoList("data")), 12, 64, 0,
       false, true},
      {"Air1First", Riff(air + PcmFmt(true) + fact + data), 2068, 2106, 12, false, true},
      {"Air7First", Riff(air7 + air + PcmFmt(true) + fact + data), 4124, 4162, 2068, false, true},
      {"ListFirst", Riff(InfoList("Song") + PcmFmt() + data), 36, 60, 20, false, true},
      {"JunkFirst", Riff(Chunk("JUNK", std::string(28, '\0')) + PcmFmt() + data), 48, 72, 0, true, true},
      // Damaged chunk lists: the leading chunk's layout is the way in.
      {"Air1WithWrongSize", Riff(Header("AIR1", 0xFFFFFFF0u) + air.substr(8) + PcmFmt(true) + fact + data),
       2068, 2106, 12, false, false},
      {"JunkWithWrongSize", Riff(Header("JUNK", 0x7FFFFFFFu) + std::string(28, '\0') + PcmFmt() + data), 48,
       72, 0, true, false},
      {"GarbageBetweenFmtAndData", Riff(PcmFmt() + std::string(8, '\x01') + Chunk("data", plainAudio)), 12,
       44, 0, false, false},
      {"BextWithWrongSizeThenFmt",
       Riff(Header("bext", 0xFFFFFF00u) + std::string(602, '\0') + PcmFmt() + data), 622, 646, 0, false,
       false},
  };
}

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class IdentifyLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(IdentifyLayoutTest, FindsFmtAndData) {
  const LayoutCase& c = GetParam();
  TempDir dir;
  const auto path = dir / "in.wav";
  WriteFileBytes(path, c.bytes);

  WaveFormat format;
  WavLayout layout;
  ASSERT_TRUE(IdentifyWav(path, format, layout));
  EXPECT_EQ(format, (WaveFormat{1, 2, 44100, 176400, 4, 16}));
  EXPECT_TRUE(layout.FmtFound);
  EXPECT_EQ(layout.FmtOffset, c.fmtOffset);
  EXPECT_EQ(layout.DataOffset, c.dataOffset);
  EXPECT_EQ(layout.DataSize, 1000u);
  EXPECT_EQ(layout.AudioBytes, 1000u);
  EXPECT_EQ(layout.PrefixOffset, c.prefixOffset);
  EXPECT_EQ(layout.JunkFirst, c.junkFirst);
  EXPECT_EQ(layout.ChunkListWellFormed, c.wellFormed);
  EXPECT_EQ(std::string(layout.RiffHeader.data(), 4), "RIFF");
  EXPECT_EQ(layout.FmtBody, c.bytes.substr(c.fmtOffset + 8, layout.FmtChunkSize));
}

INSTANTIATE_TEST_SUITE_P(Layouts, IdentifyLayoutTest, testing::ValuesIn(LayoutCases()),
                         [](const auto& info) { return info.param.name; });

TEST(IdentifyWav, FollowIdIsTheChunkAfterFmt) {
  TempDir dir;
  const auto path = dir / "in.wav";
  WriteFileBytes(path, Riff(PcmFmt(true) + Chunk("fact", Le32(7)) + Chunk("data", "abcd")));
  WaveFormat format;
  WavLayout layout;
  ASSERT_TRUE(IdentifyWav(path, format, layout));
  EXPECT_EQ(layout.FmtChunkSize, 18);
  EXPECT_EQ(std::string(layout.FollowId.data(), 4), "fact");
  EXPECT_EQ(layout.FollowSize, 4);
}

TEST(IdentifyWav, FailureZeroesThePreviousFormat) {
  TempDir dir;
  const auto good = dir / "good.wav";
  WriteFileBytes(good, MakePcmWav(PatternAudio(64)));
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"NoFmt", Riff(Chunk("bext", std::string(100, '\0')) + Chunk("data", "abcd"))},
      {"FmtTooSmall", Riff(Chunk("fmt ", "\xff\xff") + Chunk("data", ""))},
      {"FmtWithoutChannels", Riff(PcmFmt(false, 0) + Chunk("data", "abcd"))},
      // A damaged channel count: no program could open the WAV we would write.
      {"FmtWithThousandsOfChannels", Riff(PcmFmt(false, 9474) + Chunk("data", "abcd"))},
      {"NoData", Riff(PcmFmt() + Chunk("LIST", "INFO"))},
      {"TooShort", "RIFF"},
      {"Empty", ""},
  };
  for (const auto& [name, bytes] : bad) {
    SCOPED_TRACE(name);
    WaveFormat format;
    WavLayout layout;
    ASSERT_TRUE(IdentifyWav(good, format, layout));
    const auto path = dir / (name + ".wav");
    WriteFileBytes(path, bytes);
    Diagnostics diag;
    EXPECT_FALSE(IdentifyWav(path, format, layout, &diag));
    EXPECT_EQ(format, WaveFormat{});
    EXPECT_FALSE(layout.FmtFound);
    EXPECT_FALSE(diag.empty());
  }
  WaveFormat format;
  WavLayout layout;
  EXPECT_FALSE(IdentifyWav(dir / "missing.wav", format, layout));
}

TEST(IdentifyWav, DataSizeIsClampedToTheFile) {
  TempDir dir;
  const auto path = dir / "in.wav";
  WriteFileBytes(path, Riff(PcmFmt() + Header("data", 0xFFFFFFFFu) + std::string(101, 'x')));
  WaveFormat format;
  WavLayout layout;
  Diagnostics diag;
  ASSERT_TRUE(IdentifyWav(path, format, layout, &diag));
  EXPECT_EQ(layout.DataSize, 0xFFFFFFFFu);
  EXPECT_EQ(layout.AudioBytes, 101u);
  EXPECT_FALSE(layout.ChunkListWellFormed);
  ASSERT_FALSE(diag.empty());
  EXPECT_EQ(diag.back().code, "data-size-unknown");
}

TEST(WalkChunks, DistrustsTheFile) {
  TempDir dir;
  const auto path = dir / "in.wav";
  bool wellFormed = true;

  // A size that would overflow an unsigned sum is clamped, not followed.
  WriteFileBytes(path, Riff(PcmFmt() + Header("LIST", 0xFFFFFFF8u) + "INFO"));
  Diagnostics diag;
  auto chunks = WalkChunks(path, &wellFormed, &diag);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_TRUE(chunks[1].clamped);
  EXPECT_FALSE(wellFormed);
  ASSERT_EQ(diag.size(), 1u);
  EXPECT_EQ(diag[0].code, "chunk-clamped");
  EXPECT_EQ(diag[0].chunk, "LIST");
  EXPECT_EQ(diag[0].offset, 36u);

  // Thousands of empty chunks stop at the cap.
  std::string many;
  for (int i = 0; i < 5000; ++i) many += Header("JUNK", 0);
  WriteFileBytes(path, Riff(many));
  chunks = WalkChunks(path, &wellFormed);
  EXPECT_EQ(chunks.size(), 4096u);
  EXPECT_FALSE(wellFormed);

  // An odd data chunk without its final pad byte still ends the list properly.
  WriteFileBytes(path, Riff(PcmFmt() + Header("data", 3) + "abc"));
  chunks = WalkChunks(path, &wellFormed);
  EXPECT_EQ(chunks.size(), 2u);
  EXPECT_TRUE(wellFormed);

  // A writer that left out the pad byte in the middle: the next chunk follows directly.
  WriteFileBytes(path, Riff(PcmFmt() + Header("data", 3) + "abc" + InfoList("x")));
  diag.clear();
  chunks = WalkChunks(path, &wellFormed, &diag);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[2].id, "LIST");
  EXPECT_EQ(chunks[2].offset, 47u);
  EXPECT_TRUE(wellFormed);
  ASSERT_EQ(diag.size(), 1u);
  EXPECT_EQ(diag[0].code, "pad-missing");

  // Not a RIFF WAVE file: no chunk list.
  WriteFileBytes(path, "ID3\x04" + std::string(100, '\0'));
  EXPECT_TRUE(WalkChunks(path, &wellFormed).empty());
  EXPECT_FALSE(wellFormed);
}

// ---- Files made by other programs ----

struct CorpusCase {
  const char* file;
  bool identifies;
  uint64_t fmtOffset;
  uint64_t dataOffset;
  uint64_t audioBytes;
  uint16_t formatTag;
  bool wellFormed;
};

TEST(IdentifyWav, CorpusFiles) {
  const CorpusCase cases[] = {
      {"go-audio-wav/bwf.wav", true, 622, 646, 21861, 1, true},  // RIFF size leaves out the final pad
      {"go-audio-wav/padded24b.wav", true, 12, 12280, 11140, 1, true},
      {"wavefile/60315.wav", true, 12, 3454, 642116, 0x50, true},  // MPEG Layer II BWF
      {"nu_wav/test_bwf.wav", true, 12, 2802, 1917995, 0x50, true},
      {"wave-chunk-parser/invalid_wrong_order.wav", true, 446184, 2096, 444080, 1, true},
      {"music-metadata/issue-1163.bwf", true, 722, 16376, 0, 1, true},
      {"taglib/uint8we.wav", true, 12, 60, 46986, 0xFFFE, true},
      // An odd iXML chunk without its pad byte, then the next chunk directly.
      {"atldotnet/broadcastwave_bext_iXML.wav", true, 878, 902, 210154, 1, true},
      {"music-metadata/ffmpeg-missing-chunksize.wav", true, 12, 70, 110592, 1, false},
      {"music-metadata/issue-819.wav", true, 12, 36, 4956, 1, false},
      {"music-metadata/odd-list-type.wav", true, 48, 72, 20, 1, false},
      {"taglib/infloop.wav", true, 12, 36, 14083, 1, false},
      {"taglib/zero-size-chunk.wav", true, 12, 36, 0, 1, false},
      {"taglib/rf64.wav", true, 48, 72, 9600, 1, false},
      {"taglib/segfault.wav", false, 0, 0, 0, 0, true},
      {"taglib/invalid-chunk.wav", false, 0, 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const auto path = test::CorpusDir() / c.file;
    if (!fs::exists(path)) GTEST_SKIP() << "corpus not found at " << test::CorpusDir();
    WaveFormat format;
    WavLayout layout;
    Diagnostics diag;
    ASSERT_EQ(IdentifyWav(path, format, layout, &diag), c.identifies);
    EXPECT_EQ(layout.ChunkListWellFormed, c.wellFormed);
    if (!c.identifies) continue;
    EXPECT_EQ(layout.FmtOffset, c.fmtOffset);
    EXPECT_EQ(layout.DataOffset, c.dataOffset);
    EXPECT_EQ(layout.AudioBytes, c.audioBytes);
    EXPECT_EQ(format.FormatTag, c.formatTag);
    EXPECT_EQ(layout.FmtBody.size(), static_cast<std::size_t>(layout.FmtChunkSize));
    if (!c.wellFormed) {
      EXPECT_FALSE(diag.empty());
    }
  }
}

// Every WAV in the corpus, broken ones included, is read without a crash and within bounds.
TEST(IdentifyWav, WholeCorpusStaysInBounds) {
  const auto root = test::CorpusDir();
  if (!fs::exists(root)) GTEST_SKIP() << "corpus not found at " << root;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const auto ext = entry.path().extension().string();
    if (ext != ".wav" && ext != ".bwf") continue;
    SCOPED_TRACE(entry.path().string());
    ++files;
    const uint64_t size = entry.file_size();
    WaveFormat format;
    WavLayout layout;
    if (IdentifyWav(entry.path(), format, layout)) {
      EXPECT_LE(layout.DataOffset + 8 + layout.AudioBytes, size);
      EXPECT_GE(layout.FmtBody.size(), 16u);
      EXPECT_NE(format.Channels, 0);
    }
    bool wellFormed = false;
    for (const auto& c : WalkChunks(entry.path(), &wellFormed)) {
      EXPECT_LE(c.offset + 8, size);
      EXPECT_TRUE(bytes::IsPrintableId(c.id));
    }
    EXPECT_GE(ProbeWavDuration(entry.path()), 0.0);
  }
  EXPECT_GT(files, 30);
}

TEST(IdentifyWav, FilesFromPeerTools) {
  if (!test::HaveProgram("sox") || !test::HaveProgram("ffmpeg")) GTEST_SKIP() << "sox or ffmpeg missing";
  TempDir dir;
  const auto soxWav = dir / "sox.wav";
  const auto ffWav = dir / "ff.wav";
  ASSERT_EQ(test::RunCommand("sox -n -r 22050 -c 2 -b 16 " + soxWav.string() + " synth 0.5 sine 440"), 0);
  ASSERT_EQ(test::RunCommand("ffmpeg -v error -f lavfi -i sine=frequency=440:sample_rate=22050:duration=0.5 "
                             "-ac 2 -metadata title='the data' " +
                             ffWav.string()),
            0);
  for (const auto& path : {soxWav, ffWav}) {
    SCOPED_TRACE(path.string());
    WaveFormat format;
    WavLayout layout;
    ASSERT_TRUE(IdentifyWav(path, format, layout));
    EXPECT_EQ(format, (WaveFormat{1, 2, 22050, 88200, 4, 16}));
    EXPECT_EQ(layout.AudioBytes, 44100u);
    EXPECT_TRUE(layout.ChunkListWellFormed);
    EXPECT_EQ(layout.DataOffset + 8 + layout.AudioBytes, fs::file_size(path));
    EXPECT_DOUBLE_EQ(ProbeWavDuration(path), 0.5);
  }
}

// ---- Writing ----

struct Written {
  WriteResult result;
  std::string bytes;
};

Written WriteFrom(const fs::path& source, const fs::path& dest, const TargetChunks& chunks = {},
                  const CopyProgress& progress = {}) {
  WaveFormat format;
  WavLayout layout;
  if (!IdentifyWav(source, format, layout)) return {WriteResult{false, "source not identified"}, {}};
  Written w{WriteDestinationWav(source, dest, format, layout, chunks, progress), {}};
  if (w.result.ok) w.bytes = ReadFileBytes(dest);
  return w;
}

std::vector<std::string> FolderNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WriteDestinationWav, RoundTripWithChunksAroundOddAudio) {
  TempDir dir;
  const auto source = dir / "src.wav";
  const auto dest = dir / "dest.wav";
  // 8-bit mono so that an odd byte count is whole frames; more than two copy blocks.
  const std::string audio = PatternAudio(2 * 1024 * 1024 + 3);
  WriteFileBytes(source, MakePcmWav(audio, 1, 44100, 8));
  const TargetChunks chunks{Chunk("cart", "0101Title"), InfoList("Round Trip")};
  std::vector<std::pair<uint64_t, uint64_t>> calls;
  const auto w = WriteFrom(source, dest, chunks,
                           [&](uint64_t done, uint64_t total) { calls.emplace_back(done, total); });
  ASSERT_TRUE(w.result.ok) << w.result.error;

  const std::string& out = w.bytes;
  EXPECT_EQ(out.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32At(out, 4), out.size() - 8);
  EXPECT_EQ(out.substr(8, 4), "WAVE");
  EXPECT_EQ(out.substr(12, 24), PcmFmt(false, 1, 44100, 8));
  EXPECT_EQ(out.substr(36, chunks.before.size()), chunks.before);
  const std::size_t data = 36 + chunks.before.size();
  EXPECT_EQ(out.substr(data, 4), "data");
  EXPECT_EQ(Le32At(out, data + 4), audio.size());
  EXPECT_TRUE(out.compare(data + 8, audio.size(), audio) == 0);
  EXPECT_EQ(out[data + 8 + audio.size()], '\0');  // pad byte after odd audio
  EXPECT_EQ(out.substr(data + 9 + audio.size()), chunks.after);
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"dest.wav", "src.wav"}));

  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.back(), std::make_pair(uint64_t{audio.size()}, uint64_t{audio.size()}));
  for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_GT(calls[i].first, calls[i - 1].first);

  bool wellFormed = false;
  WalkChunks(dest, &wellFormed);
  EXPECT_TRUE(wellFormed);

  if (test::HaveProgram("ffprobe")) {
    std::string title;
    ASSERT_EQ(test::RunCommand(
                  "ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 " + dest.string(),
                  &title),
              0);
    EXPECT_EQ(title, "Round Trip\n");
  }
  if (test::HaveProgram("sox")) {
    std::string samples;
    ASSERT_EQ(test::RunCommand("sox --i -s " + dest.string(), &samples), 0);
    EXPECT_EQ(std::stoull(samples), audio.size());
  }
}

TEST(WriteDestinationWav, PlainPcmFmtBecomesSixteenBytesOthersAreCopiedWhole) {
  TempDir dir;
  struct Case {
    std::string name;
    std::string source;
    std::string expectedFmt;
  };
  const std::string audio = PatternAudio(400);
  std::string mpegBody = PatternAudio(40);
  mpegBody.replace(0, 4, std::string("\x50\x00\x02\x00", 4));  // MPEG, 2 channels
  const std::string odd =
      Chunk("fmt ", std::string("\x02\x00\x01\x00\x40\x1f\x00\x00", 8) + PatternAudio(13));
  const Case cases[] = {
      {"Fmt18", Riff(PcmFmt(true) + Chunk("data", audio)), PcmFmt()},
      {"Mpeg40", Riff(Chunk("fmt ", mpegBody) + Chunk("fact", Le32(1)) + Chunk("data", audio)),
       Chunk("fmt ", mpegBody)},
      {"OddAdpcm", Riff(odd + Chunk("data", audio)), odd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto source = dir / (c.name + ".wav");
    WriteFileBytes(source, c.source);
    const auto w = WriteFrom(source, dir / (c.name + "-out.wav"));
    ASSERT_TRUE(w.result.ok) << w.result.error;
    EXPECT_EQ(w.bytes.substr(12, c.expectedFmt.size()), c.expectedFmt);
    EXPECT_EQ(w.bytes.substr(12 + c.expectedFmt.size(), 8), "data" + Le32(400));
    EXPECT_EQ(Le32At(w.bytes, 4), w.bytes.size() - 8);
  }
}

TEST(WriteDestinationWav, CorpusSourcesKeepTheirAudio) {
  const struct {
    const char* file;
    std::size_t fmtSize;
  } cases[] = {
      {"wavefile/60315.wav", 40},                           // MPEG Layer II, 40-byte fmt copied whole
      {"nu_wav/test_bwf.wav", 40},                          // odd audio, no final pad in the source
      {"music-metadata/ffmpeg-missing-chunksize.wav", 16},  // streamed sizes
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const auto source = test::CorpusDir() / c.file;
    if (!fs::exists(source)) GTEST_SKIP() << "corpus not found at " << test::CorpusDir();
    WaveFormat format;
    WavLayout layout;
    ASSERT_TRUE(IdentifyWav(source, format, layout));
    const auto dest = dir / "out.wav";
    ASSERT_TRUE(WriteDestinationWav(source, dest, format, layout, {}).ok);
    const std::string in = ReadFileBytes(source);
    const std::string out = ReadFileBytes(dest);
    EXPECT_EQ(Le32At(out, 16), c.fmtSize);
    EXPECT_EQ(out.substr(20, c.fmtSize), in.substr(layout.FmtOffset + 8, c.fmtSize));
    const std::size_t data = 20 + c.fmtSize;
    EXPECT_EQ(Le32At(out, data + 4), layout.AudioBytes);
    EXPECT_TRUE(out.compare(data + 8, layout.AudioBytes, in, layout.DataOffset + 8, layout.AudioBytes) == 0);
    EXPECT_EQ(out.size(), data + 8 + layout.AudioBytes + (layout.AudioBytes & 1));
    EXPECT_EQ(Le32At(out, 4), out.size() - 8);
  }
}

TEST(WriteDestinationWav, ExtensibleFromSoxStaysDecodable) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox missing";
  TempDir dir;
  const auto source = dir / "src.wav";
  const auto dest = dir / "dest.wav";
  ASSERT_EQ(test::RunCommand("sox -n -r 48000 -c 2 -b 24 " + source.string() + " synth 0.25 sine 440"), 0);
  WaveFormat format;
  WavLayout layout;
  ASSERT_TRUE(IdentifyWav(source, format, layout));
  ASSERT_EQ(format.FormatTag, 0xFFFE);
  ASSERT_EQ(layout.FmtChunkSize, 40);
  ASSERT_TRUE(WriteDestinationWav(source, dest, format, layout, {{}, InfoList("x")}).ok);

  const std::string out = ReadFileBytes(dest);
  EXPECT_EQ(out.substr(12, 48), ReadFileBytes(source).substr(layout.FmtOffset, 48));
  std::string a, b;
  ASSERT_EQ(test::RunCommand("sox " + source.string() + " -t raw - | md5sum", &a), 0);
  ASSERT_EQ(test::RunCommand("sox " + dest.string() + " -t raw - | md5sum", &b), 0);
  EXPECT_EQ(a, b);
}

TEST(WriteDestinationWav, FailuresLeaveNoTraces) {
  TempDir dir;
  const auto source = dir / "src.wav";
  const std::string sourceBytes = MakePcmWav(PatternAudio(1000));
  WriteFileBytes(source, sourceBytes);
  WaveFormat format;
  WavLayout layout;
  ASSERT_TRUE(IdentifyWav(source, format, layout));
  WriteFileBytes(dir / "empty.wav", "");
  fs::create_directory(dir / "taken.wav");
  WriteFileBytes(dir / "taken.wav" / "inside", "x");

  const struct {
    const char* name;
    fs::path source;
    fs::path dest;
  } cases[] = {
      {"FolderMissing", source, dir / "no-such-folder" / "out.wav"},
      {"DestIsAFolder", source, dir / "taken.wav"},
      {"EmptySource", dir / "empty.wav", dir / "out.wav"},
      {"MissingSource", dir / "gone.wav", dir / "out.wav"},
      {"DestIsTheSource", source, source},
  };
  const auto before = FolderNames(dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const WriteResult r = WriteDestinationWav(c.source, c.dest, format, layout, {});
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(FolderNames(dir.path()), before);
    EXPECT_EQ(FolderNames(dir / "taken.wav"), std::vector<std::string>{"inside"});
    EXPECT_EQ(ReadFileBytes(source), sourceBytes);
  }
}

TEST(WriteDestinationWav, ReplacesAnExistingFileAndCarriesTheSourceTime) {
  TempDir dir;
  const auto source = dir / "src.wav";
  const auto dest = dir / "dest.wav";
  WriteFileBytes(source, MakePcmWav(PatternAudio(100)));
  WriteFileBytes(dest, std::string(50000, 'o'));
  const auto stamp = std::chrono::sys_days{std::chrono::year{2001} / 2 / 3} + std::chrono::hours{4} +
                     std::chrono::minutes{5} + std::chrono::seconds{6};
  ASSERT_TRUE(StampFileTimes(source, stamp));
  const auto sourceTime = SourceFileTime(source);
  ASSERT_TRUE(sourceTime);

  const auto w = WriteFrom(source, dest);
  ASSERT_TRUE(w.result.ok) << w.result.error;
  EXPECT_EQ(w.bytes.size(), 144u);
  struct stat st {};
  ASSERT_EQ(stat(dest.c_str(), &st), 0);
  const auto epoch = std::chrono::duration_cast<std::chrono::seconds>(sourceTime->time_since_epoch()).count();
  EXPECT_EQ(st.st_mtime, epoch);
  EXPECT_EQ(st.st_atime, epoch);
  EXPECT_FALSE(StampFileTimes(dir / "missing", stamp));
}

TEST(ProbeWavDuration, RoundsToHundredths) {
  TempDir dir;
  const struct {
    std::size_t bytes;
    uint16_t bits;
    double seconds;
  } cases[] = {
      {176400, 16, 1.0},  // 1 s of 44.1 kHz stereo 16-bit
      {58800, 16, 0.33},  // 1/3 s
      {22050, 16, 0.12},  // 0.125 s: the tie goes to the even hundredth
      {66150, 16, 0.38},  // 0.375 s
      {264600, 24, 1.0},  // 24-bit goes by the bytes per second
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const auto path = dir / "in.wav";
    WriteFileBytes(path, MakePcmWav(std::string(c.bytes, '\0'), 2, 44100, c.bits));
    EXPECT_DOUBLE_EQ(ProbeWavDuration(path), c.seconds);
  }
  WriteFileBytes(dir / "empty.wav", "");
  EXPECT_EQ(ProbeWavDuration(""), 0.0);
  EXPECT_EQ(ProbeWavDuration(dir / "missing.wav"), 0.0);
  EXPECT_EQ(ProbeWavDuration(dir / "empty.wav"), 0.0);
}

}  // namespace
}  // namespace airfoldex
