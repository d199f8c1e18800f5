#include "riff/list_info.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/time_text.h"
#include "model/version.h"
#include "riff/bytes.h"
#include "riff/disp.h"
#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::CorpusDir;
using test::PatternAudio;
using test::TempDir;
using test::WriteFileBytes;

constexpr WaveFormat kCdFormat{1, 2, 44100, 176400, 4, 16};

// A subchunk whose size field is the value's length, with nothing after it.
std::string Sub(std::string_view tag, std::string_view value) {
  bytes::Writer w;
  w.raw(tag);
  w.le32(static_cast<uint32_t>(value.size()));
  w.raw(value);
  return w.data();
}

// A subchunk by the RIFF rule: a NUL pad byte after an odd-sized value.
std::string Padded(std::string_view tag, std::string_view value) {
  std::string out = Sub(tag, value);
  if (value.size() % 2 == 1) out.push_back('\0');
  return out;
}

std::string List(std::string_view type, std::string_view subchunks, std::string_view id = "LIST") {
  bytes::Writer w;
  w.raw(id);
  w.le32(static_cast<uint32_t>(subchunks.size() + 4));
  w.raw(type);
  w.raw(subchunks);
  return w.data();
}

// A 16-bit stereo WAV: fmt, `before`, data of `audioBytes`, `after`.
std::string Wav(std::string_view before, std::size_t audioBytes, std::string_view after = {}) {
  bytes::Writer w;
  const auto riff = w.BeginChunk("RIFF");
  w.raw("WAVE");
  const auto fmt = w.BeginChunk("fmt ");
  w.le16(1);       // PCM
  w.le16(2);       // channels
  w.le32(44100);   // samples per second
  w.le32(176400);  // average bytes per second
  w.le16(4);       // block align
  w.le16(16);      // bits per sample
  w.EndChunk(fmt);
  w.raw(before);
  const auto data = w.BeginChunk("data");
  w.raw(PatternAudio(audioBytes));
  w.EndChunk(data);
  w.raw(after);
  w.PatchLe32(riff, static_cast<uint32_t>(w.size() - 8));
  return w.data();
}

// The subchunks of a LIST/INFO chunk as built: tag and value bytes, read strictly by their sizes.
std::vector<std::pair<std::string, std::string>> Entries(std::string_view list) {
  std::vector<std::pair<std::string, std::string>> out;
  bytes::Cursor c(list);
  EXPECT_EQ(c.fourcc(), "LIST");
  const uint32_t size = c.le32();
  EXPECT_EQ(size % 2, 0u);
  EXPECT_LE(size + 8, list.size());
  EXPECT_EQ(c.fourcc(), "INFO");
  while (c.pos() < size + 8 && !c.overrun()) {
    std::string tag = c.fourcc();
    const uint32_t length = c.le32();
    out.emplace_back(std::move(tag), c.text(length));
  }
  EXPECT_EQ(c.pos(), size + 8);
  return out;
}

std::vector<std::string> Tags(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::vector<std::string> tags;
  for (const auto& entry : entries) tags.push_back(entry.first);
  return tags;
}

std::string ValueOf(const std::vector<std::pair<std::string, std::string>>& entries, std::string_view tag) {
  for (const auto& entry : entries) {
    if (entry.first == tag) return entry.second;
  }
  return "<missing>";
}

std::string Nul(std::string_view text, int nuls) { return std::string(text) + std::string(nuls, '\0'); }

// ---- values -----------------------------------------------------------------------------------

TEST(ListInfoValues, HoldsOneTextPerTagOfTheTable) {
  ListInfoValues values;
  for (const ListInfoTag& entry : kListInfoTags) values.Set(entry.tag, std::string(entry.tag) + " value");
  EXPECT_EQ(values.Get("TTTL"), "TTTL value");
  EXPECT_EQ(values.Get("IART"), "IART value");
  values.Set("XXXX", "ignored");
  EXPECT_EQ(values.Get("XXXX"), "");
  values.Clear();
  for (const ListInfoTag& entry : kListInfoTags) EXPECT_EQ(values.Get(entry.tag), "") << entry.tag;
}

// ---- form A -----------------------------------------------------------------------------------

TEST(ListInfoAtStart, SkipsOtherListTypesAndReadsItsTags) {
  const std::string info = Padded("INAM", Nul("Title", 1)) +      // 6 bytes
                           Padded("iart", "Artist") +             // lower-case tag, no NUL
                           Padded("IGNR", Nul("Rock", 1)) +       // odd: pad byte follows
                           Padded("ISFT", Nul("Other", 1)) +      // not kept by this reader
                           Padded("IYER", Nul("0", 1)) +          // kept as it stands
                           Padded("TTTL", Nul("  Spaced  ", 1));  // cleaned
  TempDir dir;
  const auto path = dir / "a.wav";
  WriteFileBytes(path, Wav(List("adtl", Padded("labl", "\1\0\0\0x")) + List("INFO", info), 1000));

  ListInfoValues values;
  values.Set("IPUB", "previous file");
  LogValues log;
  int yields = 0;
  ASSERT_TRUE(ReadListInfoAtStart(path, values, log, [&] { ++yields; }));
  EXPECT_EQ(values.Get("INAM"), "Title");
  EXPECT_EQ(values.Get("IART"), "Artist");
  EXPECT_EQ(values.Get("IGNR"), "Rock");
  EXPECT_EQ(values.Get("ISFT"), "");
  EXPECT_EQ(values.Get("IYER"), "0");
  EXPECT_EQ(values.Get("TTTL"), "Spaced");
  EXPECT_EQ(values.Get("IPUB"), "");
  EXPECT_EQ(yields, 6);
}

TEST(ListInfoAtStart, LowerCaseListIdIsReadByNeitherForm) {
  const std::string list = List("INFO", Padded("INAM", "Hidden"), "list");
  TempDir dir;
  const auto nearStart = dir / "start.wav";
  const auto nearEnd = dir / "end.wav";
  WriteFileBytes(nearStart, Wav(list, 1000));
  WriteFileBytes(nearEnd, Wav("", 20000, list));
  ListInfoValues values;
  LogValues log;
  Diagnostics diag;
  EXPECT_FALSE(ReadListInfoAtStart(nearStart, values, log, {}, &diag));
  EXPECT_FALSE(ReadListInfoAtEnd(nearEnd, values));
  EXPECT_EQ(values.Get("INAM"), "");
  ASSERT_EQ(diag.size(), 1u);
  EXPECT_EQ(diag[0].code, "list-id-case");
}

TEST(ListInfoAtStart, PlayoutOneCommentFillsTimingsAndLog) {
  struct Case {
    std::string comment;
    std::string yearTag;  // IYER already in the list
    bool applied;
    std::string year;
  };
  const Case cases[] = {
      {"PlayoutOne,1999,a,b,q,15000,12000,d,8000,e,215000", "", true, "1999"},
      {"PLAYOUTONE,1999,a,b,q,15000,12000,d,8000,e,215000", "2001", true, "2001"},
      {"exported by playoutone", "", false, ""},                              // too few fields
      {"playoutone,1999,a,b,q,15000,twelve,d,8000,e,215000", "", false, ""},  // not a number
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.comment);
    std::string info = Padded("ICMT", Nul(c.comment, 1)) + Padded("IART", Nul("Artist", 1));
    if (!c.yearTag.empty()) info += Padded("IYER", Nul(c.yearTag, 1));
    const auto path = dir / "p1.wav";
    WriteFileBytes(path, Wav(List("INFO", info), 1000));

    ListInfoValues values;
    LogValues log;
    Diagnostics diag;
    ASSERT_TRUE(ReadListInfoAtStart(path, values, log, {}, &diag));
    EXPECT_EQ(values.Get("IART"), "Artist");  // the list stays read either way
    EXPECT_EQ(values.Get("IYER"), c.year);
    if (c.applied) {
      EXPECT_EQ(values.Get("TINT"), "15000");
      EXPECT_EQ(values.Get("ISRF"), "12000");
      EXPECT_EQ(values.Get("IMED"), "8000");
      EXPECT_EQ(values.Get("TTIM"), "215000");
      EXPECT_EQ(log.LogIntro, "12");
      EXPECT_EQ(log.LogSegue, "8");
      EXPECT_EQ(log.LogLength, "215");
      EXPECT_TRUE(diag.empty());
    } else {
      EXPECT_EQ(values.Get("ISRF"), "");
      EXPECT_EQ(log.LogIntro, "");
      ASSERT_EQ(diag.size(), 1u);
      EXPECT_EQ(diag[0].code, "playoutone-comment");
    }
  }
}

// ---- form B -----------------------------------------------------------------------------------

TEST(ListInfoAtEnd, WalksByTheRiffRuleAndRealignsAfterAMissingPad) {
  struct Case {
    std::string name;
    std::string subchunks;
  };
  const Case cases[] = {
      {"padded with NUL", Padded("INAM", "Title") + Padded("IART", "Artist") + Padded("ICMT", "odd")},
      {"padded with 0x01", Sub("INAM", "Title") + "\1" + Sub("IART", "Artist") + Sub("ICMT", "odd") + "\1"},
      {"no pad bytes", Sub("INAM", "Title") + Sub("IART", "Artist") + Sub("ICMT", "odd")},
      // The size byte after the shifted tag is printable ('A'), so only the tag ending shows the shift.
      {"no pad, printable size",
       Sub("INAM", "Title") + Sub("IART", "Artist" + std::string(59, ' ')) + Sub("ICMT", "odd")},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir / "b.wav";
    WriteFileBytes(path, Wav("", 20000, List("INFO", c.subchunks)));
    ListInfoValues values;
    ASSERT_TRUE(ReadListInfoAtEnd(path, values));
    EXPECT_EQ(values.Get("INAM"), "Title");
    EXPECT_EQ(values.Get("IART"), "Artist");
    EXPECT_EQ(values.Get("ICMT"), "odd");
  }
}

TEST(ListInfoAtEnd, YearZeroIsEmptyAndGenreIsNotRead) {
  struct Case {
    std::string year;
    std::string expected;
  };
  const Case cases[] = {
      {Nul("0", 1), ""},
      {Nul("1999", 2), "1999"},
      {"1999-05-01", "1999"},  // the first four characters
      {"99", "99"},            // a short year does not swallow the next tag
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    const std::string info = Padded("IYER", c.year) + Padded("IGNR", Nul("Rock", 2)) + Padded("TREF", "C1");
    const auto path = dir / "y.wav";
    WriteFileBytes(path, Wav("", 20000, List("INFO", info)));
    ListInfoValues values;
    ASSERT_TRUE(ReadListInfoAtEnd(path, values));
    EXPECT_EQ(values.Get("IYER"), c.expected);
    EXPECT_EQ(values.Get("IGNR"), "");
    EXPECT_EQ(values.Get("TREF"), "C1");
  }
}

TEST(ListInfoAtEnd, SearchesTheLastTwoWindowsOnly) {
  const std::string info = List("INFO", Padded("INAM", Nul("Found", 1)));
  const std::string adtl = List("adtl", Padded("labl", "\1\0\0\0x"));
  struct Case {
    std::string name;
    std::string file;
    bool found;
  };
  const Case cases[] = {
      {"in the last 8 KiB", Wav("", 20000, info), true},
      {"behind an adtl list", Wav("", 20000, adtl + info), true},
      {"8 to 16 KiB before the end", Wav("", 20000, info + std::string(10000, 'x')), true},
      {"adtl list before it in the second window", Wav("", 20000, adtl + info + std::string(10000, 'x')),
       true},
      {"more than 16 KiB before the end", Wav("", 20000, info + std::string(17000, 'x')), false},
      {"file of 8192 bytes or less", Wav("", 6000, info), false},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir / "w.wav";
    WriteFileBytes(path, c.file);
    ListInfoValues values;
    EXPECT_EQ(ReadListInfoAtEnd(path, values), c.found);
    EXPECT_EQ(values.Get("INAM"), c.found ? "Found" : "");
  }
}

TEST(ListInfoReaders, MalformedListsKeepWhatWasReadAndStop) {
  struct Case {
    std::string name;
    std::string list;
    std::string diagnostic;
  };
  bytes::Writer oversized;
  oversized.raw("LIST");
  oversized.le32(0x7FFFFF00u);
  oversized.raw("INFO");
  oversized.raw(Padded("INAM", Nul("Title", 1)));
  const Case cases[] = {
      {"list runs past the file", oversized.data(), "chunk-clamped"},
      {"subchunk runs past the list",
       List("INFO", Padded("INAM", Nul("Title", 1)) + std::string("ICOP\xEF\xFF\xFF\xFF", 8) +
                        Padded("IART", "Lost")),
       "subchunk-overrun"},
      {"header cut off", List("INFO", Padded("INAM", Nul("Title", 1)) + "IAR"), "subchunk-truncated"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto atStart = dir / "s.wav";
    const auto atEnd = dir / "e.wav";
    WriteFileBytes(atStart, Wav("", 1000) + c.list);
    WriteFileBytes(atEnd, Wav("", 20000) + c.list);
    ListInfoValues values;
    LogValues log;
    Diagnostics diag;
    ASSERT_TRUE(ReadListInfoAtStart(atStart, values, log, {}, &diag));
    EXPECT_EQ(values.Get("INAM"), "Title");
    EXPECT_EQ(values.Get("IART"), "");
    ASSERT_FALSE(diag.empty());
    EXPECT_EQ(diag.back().code, c.diagnostic);
    ASSERT_TRUE(ReadListInfoAtEnd(atEnd, values));
    EXPECT_EQ(values.Get("INAM"), "Title");
  }
  ListInfoValues values;
  LogValues log;
  EXPECT_FALSE(ReadListInfoAtStart(dir / "missing.wav", values, log));
  EXPECT_FALSE(ReadListInfoAtEnd(dir / "missing.wav", values));
}

TEST(ListInfoReaders, CorpusFiles) {
  const fs::path corpus = CorpusDir();
  ListInfoValues values;
  LogValues log;

  ASSERT_TRUE(ReadListInfoAtEnd(corpus / "go-audio-wav/listinfo.wav", values));
  EXPECT_EQ(values.Get("INAM"), "track title");
  EXPECT_EQ(values.Get("IART"), "artist");
  EXPECT_EQ(values.Get("ICMT"), "my comment");
  EXPECT_EQ(values.Get("IGNR"), "");

  ASSERT_TRUE(ReadListInfoAtStart(corpus / "atldotnet/broadcastwave_bext_info.wav", values, log));
  EXPECT_EQ(values.Get("IART"), "info.IART");
  EXPECT_EQ(values.Get("INAM"), "info.INAM");
  EXPECT_EQ(values.Get("IGNR"), "info.IGNR");
  EXPECT_EQ(values.Get("ISBJ"), "info.ISBJ");
  EXPECT_EQ(values.Get("ISRF"), "info.ISRF");

  // The list lies between 8 and 16 KiB before the end; the one of the other file before the data,
  // behind an odd value padded with 0x01.
  ASSERT_TRUE(ReadListInfoAtEnd(corpus / "music-metadata/riff_adobe_audition.wav", values));
  EXPECT_FALSE(values.Get("IART").empty());
  EXPECT_TRUE(ReadListInfoAtStart(corpus / "go-audio-wav/listChunkInHeader.wav", values, log));

  // A raw adtl list and a file cut to 100 bytes hold no INFO list.
  for (const char* name : {"wave-chunk-parser/list.blob", "music-metadata/odd-list-type.wav"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(ReadListInfoAtStart(corpus / name, values, log));
    EXPECT_FALSE(ReadListInfoAtEnd(corpus / name, values));
  }

  // A subchunk size of 0xFFFFFFEF ends the walk.
  Diagnostics diag;
  EXPECT_TRUE(ReadListInfoAtEnd(corpus / "taglib/infloop.wav", values, &diag));
  EXPECT_EQ(values.Get("INAM"), "");
  ASSERT_FALSE(diag.empty());
  EXPECT_EQ(diag.back().code, "subchunk-overrun");
}

// ---- record rules -------------------------------------------------------------------------------

ListInfoRecordInputs Inputs(uint32_t seconds = 200, std::string fileName = "song one.wav") {
  ListInfoRecordInputs in;
  in.format = kCdFormat;
  in.dataSize = seconds * kCdFormat.AvgBytesPerSec;
  in.fileName = std::move(fileName);
  return in;
}

TEST(BuildCartFromListInfo, TimersUserDefAndLogFromTheValues) {
  ListInfoValues values;
  values.Set("ISRF", "5000");
  values.Set("TTIM", "180000");
  values.Set("IMED", "10000");
  values.Set("BEND", "Fade");
  values.Set("IART", "The_Band");
  values.Set("TTTL", "A_Song");
  CartRecord cart;
  SetFixedText(cart.Title, "previous");
  LogValues log;
  BuildCartFromListInfo(cart, values, DispRecord{}, Inputs(), log);

  const std::pair<std::string_view, double> timers[] = {
      {"INT ", 5}, {"AUDs", 0}, {"AUDe", 180}, {"SEGs", 170}, {"SEGe", 180}};
  for (std::size_t slot = 0; slot < 5; ++slot) {
    EXPECT_EQ(cart.PostTimers[slot].Id.view(), timers[slot].first);
    EXPECT_DOUBLE_EQ(GetTimerSeconds(cart, kCdFormat, timers[slot].first), timers[slot].second);
  }
  EXPECT_EQ(cart.PostTimers[5].Id.view(), std::string_view("\0\0\0\0", 4));
  EXPECT_EQ(CleanText(cart.UserDef), ":05/2:50/F");
  EXPECT_EQ(CleanText(cart.OutCue), "F");
  EXPECT_EQ(CleanText(cart.Title), "A Song");
  EXPECT_EQ(CleanText(cart.Artist), "The Band");
  EXPECT_EQ(CleanText(cart.CutID), "SONG ONE");
  EXPECT_EQ(CleanText(cart.ChunkId), "cart");
  EXPECT_EQ(cart.ChunkSize, 2050);
  EXPECT_EQ(CleanText(cart.Version), "0101");
  EXPECT_EQ(CleanText(cart.StartDate), "01/01/2000");
  EXPECT_EQ(CleanText(cart.EndTime), "23:59:59");
  EXPECT_EQ(cart.Title.bytes[6], '\0');  // filled up with NULs
  EXPECT_EQ(log.LogIntro, ":05");
  EXPECT_EQ(log.LogSegue, "2:50");
  EXPECT_EQ(log.LogEnding, "F");
  EXPECT_EQ(log.LogLength, "03:20");
}

TEST(BuildCartFromListInfo, TitleCutIdEndingAndYearFallBacks) {
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> set;
    std::string dispText;
    std::string title, cutId, userDefEnd, outCue;
  };
  const Case cases[] = {
      {"title from DISP", {{"INAM", "Name"}}, "Shown", "Shown", "SONG ONE", "/C", "C"},
      {"title from INAM", {{"INAM", "Name"}, {"TREF", "C100"}}, "", "Name", "C100", "/C", "C"},
      {"TEND wins",
       {{"TTTL", "T"}, {"TEND", "xyz"}, {"BEND", "Cold"}, {"IYER", "1999"}},
       "",
       "T",
       "SONG ONE",
       "/x/1999",
       "x"},
      {"ending from BEND", {{"TTTL", "T"}, {"BEND", "Natural"}}, "", "T", "SONG ONE", "/N", "N"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListInfoValues values;
    for (const auto& [tag, value] : c.set) values.Set(tag, value);
    DispRecord disp;
    disp.DispText = c.dispText;
    CartRecord cart;
    LogValues log;
    BuildCartFromListInfo(cart, values, disp, Inputs(), log);
    EXPECT_EQ(CleanText(cart.Title), c.title);
    EXPECT_EQ(CleanText(cart.CutID), c.cutId);
    EXPECT_TRUE(CleanText(cart.UserDef).ends_with(c.userDefEnd)) << CleanText(cart.UserDef);
    EXPECT_EQ(CleanText(cart.OutCue), c.outCue);
  }
}

TEST(BuildCartFromListInfo, LongIntroAndShortAudio) {
  {
    ListInfoValues values;
    values.Set("ISRF", "75000");
    values.Set("TTIM", "180000");
    CartRecord cart;
    LogValues log;
    BuildCartFromListInfo(cart, values, DispRecord{}, Inputs(), log);
    EXPECT_EQ(CleanText(cart.UserDef), "/3:00/C");
    EXPECT_EQ(log.LogIntro, "");
    EXPECT_EQ(log.LogSegue, "3:00");
    EXPECT_EQ(log.LogEnding, "C");
  }
  {
    // Without TTIM the length is the audio's, also for items under a minute.
    ListInfoValues values;
    CartRecord cart;
    LogValues log;
    BuildCartFromListInfo(cart, values, DispRecord{}, Inputs(15), log);
    EXPECT_DOUBLE_EQ(GetTimerSeconds(cart, kCdFormat, "AUDe"), 15);
    EXPECT_DOUBLE_EQ(GetTimerSeconds(cart, kCdFormat, "SEGs"), 15);
    EXPECT_EQ(CleanText(cart.UserDef), ":00/:15/C");
    EXPECT_EQ(log.LogLength, "0:15");
  }
  {
    // A format without block align makes the timer steps fail; the rest of the record is built.
    ListInfoValues values;
    values.Set("ISRF", "5000");
    values.Set("TTTL", "Still here");
    ListInfoRecordInputs in = Inputs();
    in.format.BlockAlign = 0;
    CartRecord cart;
    LogValues log;
    BuildCartFromListInfo(cart, values, DispRecord{}, in, log);
    EXPECT_EQ(CleanText(cart.Title), "Still here");
    EXPECT_EQ(cart.PostTimers[0].Value, 0);
    EXPECT_EQ(CleanText(cart.OutCue), "C");
  }
}

TEST(ApplySimianListRules, ArtistAndTitleFallBacks) {
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> set;
    bool cartFound, dispFound;
    std::string dispText;
    std::string artist, title, inam;
  };
  const Case cases[] = {
      {"cart artist and title", {}, true, false, "", "Cart Artist", "Cart Title", ""},
      {"subject, comment",
       {{"ISBJ", "Subject"}, {"ICMT", "Comment"}},
       false,
       false,
       "",
       "Subject",
       "Comment",
       ""},
      {"DISP found wins", {{"TTTL", "Tttl"}, {"IART", "Iart"}}, true, true, "Disp", "Iart", "Disp", "Disp"},
      {"DISP as last resort", {}, false, false, "Disp", "", "Disp", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListInfoValues values;
    for (const auto& [tag, value] : c.set) values.Set(tag, value);
    DispRecord disp;
    disp.DispText = c.dispText;
    CartRecord cart;
    SetFixedText(cart.Artist, "Cart Artist");
    SetFixedText(cart.Title, "Cart Title");
    LogValues log;
    ApplySimianListRules(cart, values, disp, c.cartFound, c.dispFound, Inputs(), log);
    EXPECT_EQ(values.Get("IART"), c.artist);
    EXPECT_EQ(values.Get("TTTL"), c.title);
    EXPECT_EQ(values.Get("INAM"), c.inam);
    EXPECT_EQ(CleanText(cart.Title), c.title);
    EXPECT_EQ(CleanText(cart.Artist), c.artist);
  }
}

TEST(SplitUserDef, TakesFourPartsAndCleansTheEnding) {
  const UserDefParts full = SplitUserDef(":05/2:50/ F /1999/extra");
  EXPECT_EQ(full.intro, ":05");
  EXPECT_EQ(full.segue, "2:50");
  EXPECT_EQ(full.ending, "F");
  EXPECT_EQ(full.year, "1999");
  const UserDefParts shortText = SplitUserDef(":07");
  EXPECT_EQ(shortText.intro, ":07");
  EXPECT_EQ(shortText.segue, "");
  EXPECT_EQ(shortText.ending, "");
}

// ---- builders -----------------------------------------------------------------------------------

CartRecord RecordFor(std::string_view title, std::string_view userDef) {
  CartRecord cart;
  SetFixedTextNulPadded(cart.Title, title);
  SetFixedTextNulPadded(cart.Artist, "Band");
  SetFixedTextNulPadded(cart.CutID, "C042");
  SetFixedTextNulPadded(cart.StartDate, "01/01/2000");
  SetFixedTextNulPadded(cart.StartTime, "00:00:00");
  SetFixedTextNulPadded(cart.EndDate, "12/31/2037");
  SetFixedTextNulPadded(cart.EndTime, "23:59:59");
  SetFixedTextNulPadded(cart.UserDef, userDef);
  return cart;
}

TEST(ListInfoBuild, PlayItLiveLeavesOutMissingTimesTheGeneralFormDefaultsThem) {
  // A segue end without a segue start is no segue.
  CartRecord cart = RecordFor("Fiver", "");
  SetFixedText(cart.PostTimers[4].Id, "SEGe");
  SetTimer(cart, kCdFormat, "SEGe", "180", false);
  ListInfoValues values;
  const auto pil = Entries(BuildListInfoPlayItLive(cart, values, Inputs()));
  EXPECT_EQ(Tags(pil), (std::vector<std::string>{"IART", "INAM", "ICOM", "BEND", "ISFT", "ISRC"}));
  EXPECT_EQ(ValueOf(pil, "INAM"), Nul("Fiver", 1));  // 5 -> 6
  EXPECT_EQ(ValueOf(pil, "IART"), Nul("Band", 2));   // 4 -> 6
  EXPECT_EQ(ValueOf(pil, "BEND"), Nul("Natural", 1));
  const std::string software = "Airfoldex v" + VersionText();
  EXPECT_EQ(ValueOf(pil, "ISFT"), Nul(software, software.size() % 2 == 0 ? 2 : 1));
  EXPECT_EQ(ValueOf(pil, "ISRC"), Nul("AUDIO", 1));
  EXPECT_EQ(values.Get("INAM"), Nul("Fiver", 1));  // the written values stay in the record

  values.Set("IGNR", "Rock/Pop");
  const auto general = Entries(BuildListInfoGeneral(cart, values, Inputs()));
  EXPECT_EQ(Tags(general), (std::vector<std::string>{"IART", "INAM", "ICOM", "ISRF", "IMED", "BEND", "ISFT",
                                                     "ITRK", "IKEY", "BSTM", "IGNR", "BETM"}));
  EXPECT_EQ(ValueOf(general, "ISRF"), Nul("500", 1));
  EXPECT_EQ(ValueOf(general, "IMED"), Nul("1000", 2));
  EXPECT_EQ(ValueOf(general, "ITRK"), Nul("C042", 2));
  EXPECT_EQ(ValueOf(general, "IKEY"), Nul("2037/12/31", 2));
  EXPECT_EQ(ValueOf(general, "BSTM"), Nul("00:00", 1));
  EXPECT_EQ(ValueOf(general, "IGNR"), Nul("2000/01/01", 2));
  EXPECT_EQ(ValueOf(general, "BETM"), Nul("23:59", 1));
}

TEST(ListInfoBuild, TimesEndingAndSourceFormat) {
  CartRecord cart = RecordFor("Title", "/2:50/C");
  SetFixedText(cart.PostTimers[0].Id, "INT ");
  SetTimer(cart, kCdFormat, "INT ", "12", false);
  SetFixedText(cart.PostTimers[3].Id, "SEGs");
  SetTimer(cart, kCdFormat, "SEGs", "170", false);
  SetFixedText(cart.PostTimers[4].Id, "SEGe");
  SetTimer(cart, kCdFormat, "SEGe", "180.5", false);
  ListInfoRecordInputs in = Inputs();
  in.fromCode = code::kMp3;

  ListInfoValues values;
  values.Set("IGNR", "Rock");
  for (bool general : {false, true}) {
    SCOPED_TRACE(general ? "general" : "PlayItLive");
    const std::string bytes =
        general ? BuildListInfoGeneral(cart, values, in) : BuildListInfoPlayItLive(cart, values, in);
    const auto entries = Entries(bytes);
    EXPECT_EQ(ValueOf(entries, "ISRF"), Nul("12000", 1));
    EXPECT_EQ(ValueOf(entries, "IMED"), Nul("10500", 1));
    EXPECT_EQ(ValueOf(entries, "BEND"), Nul("Cold", 2));
    EXPECT_EQ(ValueOf(entries, "BFAD"), std::string("-1\0\x02", 4));
    EXPECT_EQ(ValueOf(entries, "BFMT"), "AX-MP3");
    if (general) {
      EXPECT_EQ(ValueOf(entries, "IGNR"), Nul("Rock", 2));
    }
    // The DISP chunk of the title follows the LIST chunk.
    EXPECT_TRUE(bytes.ends_with(BuildDispChunk("Title")));
  }

  // Without timers the intro comes from the UserDef text.
  const CartRecord noTimers = RecordFor("Title", "1:15/2:50/F");
  const auto entries = Entries(BuildListInfoPlayItLive(noTimers, values, Inputs()));
  EXPECT_EQ(ValueOf(entries, "ISRF"), Nul("75000", 1));
  EXPECT_EQ(ValueOf(entries, "BEND"), Nul("Fade", 2));
  EXPECT_EQ(ValueOf(entries, "BFAD"), "<missing>");
}

TEST(ListInfoBuild, WhatIsWrittenReadsBack) {
  CartRecord cart = RecordFor("Round Trip", ":07/2:50/F");
  ListInfoValues written;
  const std::string chunks = BuildListInfoGeneral(cart, written, Inputs());
  TempDir dir;
  const auto path = dir / "rt.wav";
  WriteFileBytes(path, Wav("", 20000, chunks));

  ListInfoValues values;
  ASSERT_TRUE(ReadListInfoAtEnd(path, values));
  EXPECT_EQ(values.Get("INAM"), "Round Trip");
  EXPECT_EQ(values.Get("ICOM"), "Round Trip");
  EXPECT_EQ(values.Get("IART"), "Band");
  EXPECT_EQ(values.Get("ISRF"), "7000");
  EXPECT_EQ(values.Get("BEND"), "Fade");
  DispRecord disp;
  ASSERT_TRUE(ReadDispAtEnd(path, disp, values));
  EXPECT_EQ(disp.DispText, "Round Trip");
}

TEST(ListInfoBuild, FfprobeReadsTitleAndArtist) {
  if (!test::HaveProgram("ffprobe")) GTEST_SKIP() << "ffprobe not installed";
  TempDir dir;
  const auto source = dir / "source.wav";
  const auto dest = dir / "dest.wav";
  WriteFileBytes(source, test::MakePcmWav(PatternAudio(44100 * 4)));
  WaveFormat format;
  WavLayout layout;
  ASSERT_TRUE(IdentifyWav(source, format, layout));

  for (bool general : {false, true}) {
    SCOPED_TRACE(general ? "general" : "PlayItLive");
    // Titles of odd and even length, so both the one-NUL and the two-NUL values are read.
    CartRecord cart = RecordFor(general ? "Even" : "Odd Title", "");
    SetFixedTextNulPadded(cart.Artist, general ? "Odd Artist" : "Even");
    ListInfoValues values;
    const std::string after = general ? BuildListInfoGeneral(cart, values, Inputs())
                                      : BuildListInfoPlayItLive(cart, values, Inputs());
    ASSERT_TRUE(WriteDestinationWav(source, dest, format, layout, TargetChunks{"", after}).ok);

    std::string out;
    ASSERT_EQ(test::RunCommand("ffprobe -v error -show_entries format_tags=title,artist -of default=nw=1 '" +
                                   dest.string() + "'",
                               &out),
              0);
    EXPECT_NE(out.find(general ? "TAG:title=Even\n" : "TAG:title=Odd Title\n"), std::string::npos) << out;
    EXPECT_NE(out.find(general ? "TAG:artist=Odd Artist\n" : "TAG:artist=Even\n"), std::string::npos) << out;
  }
}

TEST(ListInfoText, DatesAndTimes) {
  const std::pair<std::string_view, std::string_view> dates[] = {
      {"12/31/2037", "2037/12/31"},
      {"1/2/2000", "2000/01/02"},
      {"2000-01-02", "2000/01/02"},
      {"2000/1/2", "2000/01/02"},
      {"02/30/2000", "02/30/2000"},
      {"02/29/2000", "2000/02/29"},
      {"soon", "soon"},
      {"", ""},
  };
  for (const auto& [in, out] : dates) EXPECT_EQ(DateAsYmdSlashes(in), out) << in;
  const std::pair<std::string_view, std::string_view> times[] = {
      {"23:59:59", "23:59"}, {"9:05", "09:05"}, {"9:05:", "09:05"}, {"24:00", "24:00"}, {"noon", "noon"},
  };
  for (const auto& [in, out] : times) EXPECT_EQ(TimeAsHoursMinutes(in), out) << in;
}

}  // namespace
}  // namespace airfoldex
