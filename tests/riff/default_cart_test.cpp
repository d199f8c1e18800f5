#include "riff/default_cart.h"

#include <gtest/gtest.h>

namespace airfoldex {
namespace {

constexpr WaveFormat kCd{1, 2, 44100, 176400, 4, 16};

double Seconds(const CartRecord& r, std::string_view id) { return GetTimerSeconds(r, kCd, id); }

TEST(DefaultCart, BuildsLengthTimersAndTimingNotation) {
  struct Case {
    std::string_view name;
    DefaultCartInputs in;
    bool id3Form;
    std::string_view userDef;
    double intro, segue, length;
    std::string_view ending;
  };
  const auto cd = [](double seconds) {
    DefaultCartInputs in;
    in.Format = kCd;
    in.DataSize = static_cast<uint64_t>(seconds * 176400);
    in.FromCode = code::kWavPcm;
    return in;
  };
  DefaultCartInputs withList = cd(205);
  withList.ListFound = true;
  withList.Isrf = "8000";
  withList.Imed = "5000";
  DefaultCartInputs listAndScot = withList;
  listAndScot.ScotFound = true;  // the scot values win: LIST timings are not used
  DefaultCartInputs mp3 = cd(205);
  mp3.FromCode = code::kMp3;
  mp3.Id3Intro = "7400";
  mp3.Id3Segue = "12000";
  mp3.Id3Ending = "fade";
  mp3.Id3Year = "1999";
  DefaultCartInputs id3NoEnding = cd(205);
  id3NoEnding.Id3Year = " 2004";

  const Case cases[] = {
      {"plain", cd(205), false, ":00/3:25/C", 0, 0, 205, "C"},
      {"LIST intro and segue", withList, false, ":08/3:25/C", 8, 200, 205, "C"},
      {"LIST with scot", listAndScot, false, ":00/3:25/C", 0, 0, 205, "C"},
      {"59.6 s rounds the seconds up", cd(59.6), false, ":00/0:60/C", 0, 0, 60, "C"},
      {"long-form minutes stay whole", cd(125 * 60 + 5), false, ":00/125:05/C", 0, 0, 7505, "C"},
      {"MP3 with ID3 values", mp3, true, ":08/3:13/F/1999", 7.4, 193, 205, "F"},
      {"ID3 form without ending", id3NoEnding, true, ":00/3:25/C/2004", 0, 0, 205, "C"},
  };
  for (const auto& c : cases) {
    CartRecord r;
    SetFixedText(r.Title, "left over");
    const auto result = BuildDefaultCart(r, c.in, c.id3Form);
    ASSERT_TRUE(result.Ok) << c.name;
    EXPECT_EQ(CleanText(r.UserDef), c.userDef) << c.name;
    EXPECT_NEAR(Seconds(r, "INT "), c.intro, 0.01) << c.name;
    EXPECT_NEAR(Seconds(r, "SEGs"), c.segue, 0.01) << c.name;
    EXPECT_NEAR(Seconds(r, "AUDe"), c.length, 0.01) << c.name;
    EXPECT_EQ(Seconds(r, "SEGe"), Seconds(r, "AUDe")) << c.name;
    EXPECT_EQ(Seconds(r, "AUDs"), 0) << c.name;
    EXPECT_EQ(result.Ending, c.ending) << c.name;
    EXPECT_EQ(CleanText(r.Title), "") << c.name;  // the record starts blank
    EXPECT_EQ(CleanText(r.ChunkId), "cart");
    EXPECT_EQ(CleanText(r.StartDate), "01/01/2000");
    EXPECT_EQ(CleanText(r.EndTime), "23:59:59");
  }
}

TEST(DefaultCart, UnknownSampleSizeGivesZeroTimersWithIds) {
  DefaultCartInputs in;
  in.Format = WaveFormat{1, 2, 44100, 176400, 4, 0};
  in.DataSize = 1000000;
  CartRecord r;
  ASSERT_TRUE(BuildDefaultCart(r, in, false).Ok);
  EXPECT_EQ(CleanText(r.UserDef), ":00/0:00/C");
  const char* ids[] = {"INT ", "AUDs", "AUDe", "SEGs", "SEGe"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(std::string(r.PostTimers[i].Id.view()), ids[i]);
    EXPECT_EQ(r.PostTimers[i].Value, 0);
  }
  EXPECT_EQ(r.PostTimers[5].Id, FixedText<4>{});
}

TEST(DefaultCart, CompressedBroadcastWavsGoByTheirByteRate) {
  // MPEG Layer II broadcast WAVs store 0xFFFF as bits per sample.
  DefaultCartInputs in;
  in.Format = WaveFormat{0x50, 2, 44100, 32000, 1, 0xFFFF};
  in.DataSize = 32000u * 65;
  CartRecord r;
  ASSERT_TRUE(BuildDefaultCart(r, in, false).Ok);
  EXPECT_EQ(CleanText(r.UserDef), ":00/1:05/C");
}

TEST(DefaultCart, MaestroKeepsItsTextsForTheLogAndFailsOnAZeroFormat) {
  DefaultCartInputs in;
  in.FromCode = code::kMaestro;
  in.Format = kCd;
  in.DataSize = 2048 + 176400u * 100;
  in.DafIntroSeconds = 75;
  CartRecord r;
  const auto result = BuildDefaultCart(r, in, false);
  ASSERT_TRUE(result.Ok);
  EXPECT_EQ(result.MaestroIntro, "1:15");
  EXPECT_EQ(result.MaestroLength, "1:40");
  // Maestro timers hold the seconds themselves.
  EXPECT_EQ(r.PostTimers[2].Value, 100);

  in.Format = WaveFormat{};
  EXPECT_FALSE(BuildDefaultCart(r, in, false).Ok);
}

}  // namespace
}  // namespace airfoldex
