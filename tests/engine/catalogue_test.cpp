#include "engine/catalogue.h"

#include <gtest/gtest.h>

namespace airfoldex {
namespace {

TEST(Catalogue, ListsHoldTheirEntriesInOrderWithCodes) {
  struct Probe {
    FormatList list;
    int position;
    std::string_view text;
    FormatCode code;
  };
  const Probe probes[] = {
      {FormatList::From, 0, "MP3", 12},
      {FormatList::From, 1, "MP3 BSI/Simian", 12},
      {FormatList::From, 3, "WAV w/ID3", 24},
      {FormatList::From, 5, "Storq/Air Force", 13},
      {FormatList::From, 9, "ENCO", 2},
      {FormatList::From, 14, "PlayoutONE/Pro", 5},
      {FormatList::From, 21, "Maestro", 14},
      {FormatList::From, 22, "Use CSV file to populate Meta-Data", 18},
      {FormatList::To, 0, "WAV/PCM", 13},
      {FormatList::To, 1, "CART Chunk", 0},
      {FormatList::To, 3, "RadioDJ", 0},
      {FormatList::To, 12, "AudioVault11", 6},
      {FormatList::To, 17, "LIST Chunk", 10},
      {FormatList::To, 20, "Generate Report Only", 18},
  };
  EXPECT_EQ(Entries(FormatList::From).size(), 23u);
  EXPECT_EQ(Entries(FormatList::To).size(), 21u);
  for (const auto& p : probes) {
    EXPECT_EQ(SelectedText(p.list, p.position), p.text) << p.position;
    EXPECT_EQ(SelectedCode(p.list, p.position), p.code) << p.text;
    EXPECT_EQ(FindEntry(p.list, p.text), p.position) << p.text;
  }
}

TEST(Catalogue, PositionsOutsideTheListSelectNothing) {
  for (int position : {-1, 23, 1000}) {
    EXPECT_EQ(SelectedCode(FormatList::From, position), code::kNone);
    EXPECT_EQ(SelectedText(FormatList::From, position), "");
  }
  EXPECT_EQ(SelectedCode(FormatList::To, 21), code::kNone);
  EXPECT_FALSE(FindEntry(FormatList::To, "MP3"));     // the TO list has no MP3 group
  EXPECT_FALSE(FindEntry(FormatList::From, "cart"));  // texts match exactly
}

TEST(Catalogue, OnlyEntryTextsDecideTheTwoTextRules) {
  const int cart = *FindEntry(FormatList::From, "CART");
  const int cartChunk = *FindEntry(FormatList::To, "CART Chunk");
  const int djbFrom = *FindEntry(FormatList::From, "DJB");
  const int djbTo = *FindEntry(FormatList::To, "DJB");
  EXPECT_FALSE(IsSameFormatText(cart, cartChunk));
  EXPECT_TRUE(IsSameFormatText(djbFrom, djbTo));
  EXPECT_TRUE(
      IsSameFormatText(*FindEntry(FormatList::From, "WAV/PCM"), *FindEntry(FormatList::To, "WAV/PCM")));

  EXPECT_TRUE(IsAudioVault11(*FindEntry(FormatList::To, "AudioVault11")));
  EXPECT_FALSE(IsAudioVault11(*FindEntry(FormatList::To, "AudioVault")));
}

TEST(Catalogue, DefaultSelectionsAreMp3ToCartChunk) {
  EXPECT_EQ(SelectedText(FormatList::From, kDefaultFromPosition), "MP3");
  EXPECT_EQ(SelectedText(FormatList::To, kDefaultToPosition), "CART Chunk");
}

}  // namespace
}  // namespace airfoldex
