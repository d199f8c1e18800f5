#include "engine/daf_header.h"

#include <gtest/gtest.h>

#include "riff/bytes.h"
#include "support/job_bench.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;

TEST(DafHeader, BitsTextIsMostSignificantFirst) {
  EXPECT_EQ(BitsText(0x8000), "1000000000000000");
  EXPECT_EQ(BitsText(0x0001), "0000000000000001");
  EXPECT_EQ(BitsText(0xC018), "1100000000011000");
}

// A header: title at 37, intro text at 80, length (x256) at 108, flags at 112, artist at 264,
// tag text at 328, category at 504, cut at 520.
std::string DafHeader(uint16_t flags) {
  std::string h(kDafHeaderSize, '\0');
  const auto put = [&](std::size_t at, std::string_view text) { text.copy(h.data() + at, text.size()); };
  put(37, "Saturday Night Show");
  put(80, "15");
  bytes::Writer len;
  len.le32(176400u * 60 / 256);
  put(108, len.data());
  bytes::Writer f;
  f.le16(flags);
  put(112, f.data());
  put(264, "DJ Nightowl");
  put(328, "  notes  ");
  put(504, "SHOW");
  put(520, "SN0412");
  return h;
}

TEST(DafHeader, FillsFormatAndRecordAndReportsItThroughAReportOnlyJob) {
  test::JobBench bench("Maestro", "Generate Report Only");
  // Stereo (bit 15), 16 bits (bits 14-13 = 10), 44100 Hz (bits 4-3 = 01).
  ASSERT_EQ(bench.Run("show.DAF", DafHeader(0xC008)).Passed, 1);
  const Session& session = bench.session;

  EXPECT_EQ(session.Format.Channels, 2);
  EXPECT_EQ(session.Format.BitsPerSample, 16);
  EXPECT_EQ(session.Format.SamplesPerSec, 44100u);
  EXPECT_EQ(CleanText(session.Cart.Title), "Saturday Night Show");
  EXPECT_EQ(CleanText(session.Cart.Artist), "DJ Nightowl");
  EXPECT_EQ(CleanText(session.Cart.CutID), "SN0412");
  EXPECT_EQ(CleanText(session.Cart.Category), "SHOW");
  EXPECT_EQ(session.Cart.TagText.substr(0, 5), "notes");
  const std::string log = bench.LogText();
  EXPECT_EQ(log.rfind("SUCCESS,show.DAF,show.DAF,SN0412,Saturday Night Show,DJ Nightowl,", 0), 0u) << log;
}

TEST(DafHeader, MaestroAudioIsNotWrittenAsAWav) {
  test::JobBench bench("Maestro", "CART Chunk");
  EXPECT_EQ(bench.Run("show.daf", DafHeader(0xC008)).Failed, 1);
  EXPECT_TRUE(fs::is_empty(bench.dst()));
  ASSERT_FALSE(bench.ui.messages.empty());
  EXPECT_NE(bench.ui.messages[0].text.find("Converting \"Maestro\" audio"), std::string::npos);
}

}  // namespace
}  // namespace airfoldex
