#include "riff/cart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "riff/bytes.h"
#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::CorpusDir;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

template <std::size_t N>
void Set(FixedText<N>& field, std::string_view text) {
  SetFixedTextNulPadded(field, text);
}

// The rendered chunk of a record with version "0101", title `title` and the given timer ids,
// changed further by `edit`.
std::string CartChunk(std::string_view title, std::array<std::string_view, 8> ids = {"INT ", "AUDs", "SEGs"},
                      const std::function<void(CartRecord&)>& edit = {}) {
  CartRecord r;
  Set(r.Version, "0101");
  Set(r.Title, title);
  for (std::size_t k = 0; k < ids.size(); ++k) {
    Set(r.PostTimers[k].Id, ids[k]);
    r.PostTimers[k].Value = static_cast<int32_t>(1000 * (k + 1));
  }
  if (edit) edit(r);
  return RenderCartChunk(r);
}

std::string Chunk(std::string_view id, std::string_view body) {
  bytes::Writer w;
  const auto at = w.BeginChunk(id);
  w.raw(body);
  w.EndChunk(at);
  return w.data();
}

// A PCM WAV with `before` between its fmt and data chunks: a cart chunk put first lies at 36.
std::string Wav(std::string_view before, std::size_t audioBytes = 400) {
  bytes::Writer fmt;
  fmt.le16(1);       // format tag: PCM
  fmt.le16(2);       // channels
  fmt.le32(44100);   // samples per second
  fmt.le32(176400);  // average bytes per second
  fmt.le16(4);       // block align
  fmt.le16(16);      // bits per sample
  const std::string chunks =
      Chunk("fmt ", fmt.data()) + std::string(before) + Chunk("data", std::string(audioBytes, '\x11'));
  bytes::Writer w;
  w.raw("RIFF");
  w.le32(static_cast<uint32_t>(chunks.size() + 4));
  w.raw("WAVE");
  w.raw(chunks);
  return w.data();
}

// A cart chunk written by hand, every field distinct, followed by the header of the next chunk.
std::string HandWrittenChunk() {
  bytes::Writer w;
  w.raw("cart");                                 // chunk id
  w.le32(2048 + 6);                              // chunk size: fixed fields and 6 bytes of tag text
  w.raw("0100");                                 // version
  w.fixed("Title", 64);                          // title
  w.fixed("Artist", 64);                         // artist
  w.fixed("CUT-7", 64);                          // cut id
  w.fixed("Client", 64);                         // client id
  w.fixed("Category", 64);                       // category
  w.fixed("Class", 64);                          // classification
  w.fixed("Out cue", 64);                        // out cue
  w.raw("2024/03/22");                           // start date
  w.raw("06:00:00");                             // start time
  w.raw("2037/12/31");                           // end date
  w.raw("23:59:59");                             // end time
  w.fixed("Producer", 64);                       // producer application id
  w.fixed("1.0", 64);                            // producer application version
  w.fixed(":05/3:25/C", 64);                     // user-defined text
  w.le32(static_cast<uint32_t>(-12345));         // level reference
  w.raw("INT ");                                 // timer 0 id
  w.le32(220500);                                // timer 0 position
  w.raw("SEGs");                                 // timer 1 id
  w.le32(0xFFFFFFFF);                            // timer 1 position: -1
  w.fixed("", 48);                               // timers 2 to 7 unused
  w.fixed("reserved", 276);                      // reserved
  w.fixed("http://example.org", 1024);           // URL
  w.raw(std::string_view("tag\r\n\0", 6));       // tag text, NUL-terminated
  w.raw(std::string_view("data\x10\0\0\0", 8));  // the next chunk's header
  return w.data();
}

// ---- bytes ------------------------------------------------------------------------------------

TEST(CartChunk, ParsesEveryFieldFromItsOffset) {
  const CartRecord r = ParseCartChunk(HandWrittenChunk());
  EXPECT_EQ(r.ChunkId.view(), "cart");
  EXPECT_EQ(r.ChunkSize, 2054);
  EXPECT_EQ(r.Version.view(), "0100");
  EXPECT_EQ(CleanText(r.Title), "Title");
  EXPECT_EQ(CleanText(r.Artist), "Artist");
  EXPECT_EQ(CleanText(r.CutID), "CUT-7");
  EXPECT_EQ(CleanText(r.ClientID), "Client");
  EXPECT_EQ(CleanText(r.Category), "Category");
  EXPECT_EQ(CleanText(r.Classification), "Class");
  EXPECT_EQ(CleanText(r.OutCue), "Out cue");
  EXPECT_EQ(r.StartDate.view(), "2024/03/22");
  EXPECT_EQ(r.StartTime.view(), "06:00:00");
  EXPECT_EQ(r.EndDate.view(), "2037/12/31");
  EXPECT_EQ(r.EndTime.view(), "23:59:59");
  EXPECT_EQ(CleanText(r.ProducerAppID), "Producer");
  EXPECT_EQ(CleanText(r.ProducerAppVersion), "1.0");
  EXPECT_EQ(CleanText(r.UserDef), ":05/3:25/C");
  EXPECT_EQ(r.LevelReference, -12345);
  EXPECT_EQ(r.PostTimers[0].Id.view(), "INT ");
  EXPECT_EQ(r.PostTimers[0].Value, 220500);
  EXPECT_EQ(r.PostTimers[1].Id.view(), "SEGs");
  EXPECT_EQ(r.PostTimers[1].Value, -1);
  EXPECT_EQ(r.PostTimers[7], CartTimer{});
  EXPECT_EQ(CleanText(r.Reserved), "reserved");
  EXPECT_EQ(CleanText(r.URL), "http://example.org");
}

// The tag text is the rest of the chunk body. Reading its first two bytes as a length would take
// "ta" (24948 bytes) and run on into the chunks after it.
TEST(CartChunk, TagTextEndsWithTheChunk) {
  EXPECT_EQ(ParseCartChunk(HandWrittenChunk()).TagText, "tag\r\n");

  std::string huge = HandWrittenChunk();
  bytes::Writer size;
  size.le32(0x7FFFFFFF);
  huge.replace(4, 4, size.data());
  EXPECT_EQ(ParseCartChunk(huge).TagText, std::string_view("tag\r\n\0data\x10", 11));
}

TEST(CartChunk, RenderWritesTheFieldsItParses) {
  const std::string hand = HandWrittenChunk();
  const CartRecord parsed = ParseCartChunk(hand);
  const std::string rendered = RenderCartChunk(parsed);
  ASSERT_EQ(rendered.size(), 2058u);
  EXPECT_EQ(rendered.substr(0, 4), "cart");
  EXPECT_EQ(bytes::le32(rendered.data() + 4), 2050u);
  EXPECT_EQ(rendered.substr(8, 2048), hand.substr(8, 2048));
  EXPECT_EQ(rendered.substr(2056), std::string(2, '\0'));

  CartRecord expected = parsed;
  expected.ChunkSize = 2050;
  expected.TagText.clear();
  EXPECT_EQ(ParseCartChunk(rendered), expected);
}

TEST(CartChunk, RenderIsAlways2058BytesWithSize2050) {
  const std::string blank = RenderCartChunk(CartRecord{});
  ASSERT_EQ(blank.size(), 2058u);
  EXPECT_EQ(blank.substr(0, 4), "cart");
  EXPECT_EQ(bytes::le32(blank.data() + 4), 2050u);
  EXPECT_EQ(blank.substr(8), std::string(2050, '\0')) << "a blank record gives zero bytes in every field";

  CartRecord odd;
  odd.ChunkSize = 9999;
  odd.TagText = "carried tag text";
  const std::string rendered = RenderCartChunk(odd);
  ASSERT_EQ(rendered.size(), 2058u);
  EXPECT_EQ(bytes::le32(rendered.data() + 4), 2050u);
  EXPECT_EQ(rendered.substr(2056), std::string(2, '\0'));
}

TEST(CartChunk, ShortBytesReadAsZero) {
  const CartRecord header =
      ParseCartChunk(ReadFileBytes(CorpusDir() / "wave-chunk-parser/cart_bad_length.blob"));
  CartRecord expected;
  Set(expected.ChunkId, "cart");
  EXPECT_EQ(header, expected);

  const CartRecord cut = ParseCartChunk(HandWrittenChunk().substr(0, 80));
  EXPECT_EQ(CleanText(cut.Title), "Title");
  EXPECT_EQ(cut.Artist.view(), "Arti" + std::string(60, '\0'));
  EXPECT_TRUE(CleanText(cut.URL).empty());
  EXPECT_TRUE(cut.TagText.empty());
}

// Raw chunks from another parser's test data, against its expected values.
TEST(CartChunk, CorpusBlobsMatchTheirExpectations) {
  struct Case {
    const char* blob;
    const char* title;
    const char* cutId;
    const char* clientId;
    const char* tagText;
  };
  for (const Case& c : {
           Case{"cart_long.blob", "This is a cart with a really long title that should be trunkated",
                "LONGCART", "Biscuit Muncher", "A load of junk goes in here.\r\n"},
           Case{"cart_no_tag.blob", "A cart with no tag text", "TAGLESS", "Free Spirit", ""},
       }) {
    SCOPED_TRACE(c.blob);
    const CartRecord r = ParseCartChunk(ReadFileBytes(CorpusDir() / "wave-chunk-parser" / c.blob));
    EXPECT_EQ(r.Version.view(), "0101");
    EXPECT_EQ(CleanText(r.Title), c.title);
    EXPECT_EQ(CleanText(r.CutID), c.cutId);
    EXPECT_EQ(CleanText(r.ClientID), c.clientId);
    EXPECT_EQ(CleanText(r.Category), "DEMO");
    EXPECT_EQ(CleanText(r.Classification), "Demo and sample files");
    EXPECT_EQ(CleanText(r.OutCue), "Nom Nom Nom!");
    EXPECT_EQ(std::string(r.StartDate.view()) + std::string(r.StartTime.view()), "1900/01/0100:00:00");
    EXPECT_EQ(std::string(r.EndDate.view()) + std::string(r.EndTime.view()), "2099/12/3123:59:59");
    EXPECT_EQ(CleanText(r.ProducerAppID), "Hand Crafted");
    EXPECT_EQ(CleanText(r.ProducerAppVersion), "MK1 Eyeball");
    EXPECT_EQ(CleanText(r.UserDef), "Some stuff goes in here....");
    EXPECT_EQ(r.LevelReference, 32768);
    EXPECT_EQ(r.PostTimers[0], (CartTimer{{{'I', 'N', 'T', 's'}}, 0}));
    EXPECT_EQ(r.PostTimers[1], (CartTimer{{{'I', 'N', 'T', 'e'}}, 1024}));
    EXPECT_EQ(r.PostTimers[2], (CartTimer{{{'S', 'E', 'G', ' '}}, 2048}));
    EXPECT_EQ(CleanText(r.URL), "http://www.example.com/");
    EXPECT_EQ(r.TagText, c.tagText);
  }
}

// ---- finding the chunk in real files --------------------------------------------------------

TEST(CartFind, CartChunkOrgDemoReadsAsStored) {
  CartRecord r;
  Diagnostics diag;
  ASSERT_TRUE(FindCartAtStart(CorpusDir() / "wavefile/cc_0101.wav", r, &diag));
  EXPECT_EQ(CleanText(r.Title), "Cart Chunk: the traffic data file format for the Radio Industry");
  EXPECT_EQ(CleanText(r.Artist), "Jay Rose, dplay.com");
  EXPECT_EQ(CleanText(r.CutID), "DEMO-0101");
  EXPECT_EQ(CleanText(r.ProducerAppID), "AUDICY");
  EXPECT_EQ(r.ChunkSize, 2568);
  EXPECT_EQ(r.PostTimers[0], (CartTimer{{{'M', 'R', 'K', ' '}}, 112000}));
  EXPECT_EQ(r.PostTimers[1], (CartTimer{{{'S', 'E', 'C', '1'}}, 152533}));
  for (std::size_t k = 2; k < 7; ++k) EXPECT_EQ(r.PostTimers[k], (CartTimer{{}, -1})) << k;
  EXPECT_EQ(r.PostTimers[7], (CartTimer{{{'E', 'O', 'D', ' '}}, 201024}));
  EXPECT_TRUE(r.TagText.starts_with("The radio traf"));
  EXPECT_LE(r.TagText.size(), 520u);
  // The bext chunk before it mentions "cart chunks"; that text is passed over.
  ASSERT_FALSE(diag.empty());
  EXPECT_EQ(diag.front().code, "cart-candidate-skipped");
  EXPECT_EQ(diag.front().offset, 106u);
}

TEST(CartFind, TestCartsFoundAtTheStartWithIntroRepaired) {
  for (const char* name : {"valid_with_markers.wav", "invalid_wrong_order.wav"}) {
    SCOPED_TRACE(name);
    CartRecord r;
    ASSERT_TRUE(FindCartAtStart(CorpusDir() / "wave-chunk-parser" / name, r));
    EXPECT_EQ(CleanText(r.Title), "Test Cart Title");
    EXPECT_EQ(CleanText(r.CutID), "TESTCART01");
    EXPECT_EQ(r.PostTimers[0], (CartTimer{{{'I', 'N', 'T', ' '}}, 0}));
    EXPECT_EQ(r.PostTimers[1], (CartTimer{{{'I', 'N', 'T', 'e'}}, 41373}));
    EXPECT_EQ(r.PostTimers[2], (CartTimer{{{'S', 'E', 'G', ' '}}, 108118}));
    EXPECT_EQ(r.TagText, "Load of text goes in here.\r\n");
  }
}

// Real chunks without post timers are read into the record but do not count as found.
TEST(CartFind, CorpusChunksWithoutTimersAreReadButNotCounted) {
  struct Case {
    const char* file;
    bool atEnd;
    std::string title;
  };
  for (const Case& c : {
           Case{"wavefile/60315.wav", false, "AfropopW 110414 SGMT 02 Floating Cutaway APWW 041411"},
           Case{"nu_wav/test_bwf.wav", false, "5: 415: Sound Opinions Show, 11/8/2013"},
           Case{"atldotnet/cart.wav", false, "title"},
           Case{"chart_chunk/a6ab232/SampleWav.wav", true,
                "Atitle789012345678901234567890123456789012345678901234567890123A"},
       }) {
    SCOPED_TRACE(c.file);
    const fs::path path = CorpusDir() / c.file;
    CartRecord r;
    Diagnostics diag;
    if (c.atEnd) {
      EXPECT_FALSE(FindCartAtStart(path, r));
      EXPECT_EQ(r, CartRecord{}) << "nothing near the start, the record stays blank";
      EXPECT_FALSE(FindCartAtEnd(path, r, code::kCartChunk, {}, &diag));
    } else {
      EXPECT_FALSE(FindCartAtStart(path, r, &diag));
    }
    EXPECT_EQ(r.ChunkId.view(), "cart");
    EXPECT_EQ(CleanText(r.Title), c.title);
    ASSERT_FALSE(diag.empty());
    EXPECT_EQ(diag.back().code, "cart-without-timers");
  }
}

// ---- the candidate test -----------------------------------------------------------------------

TEST(CartFind, CandidateNeedsVersionTextOrIntroTimer) {
  const auto withVersion = [](std::string_view version) {
    return [version](CartRecord& r) { Set(r.Version, version); };
  };
  // "cart" followed 4 bytes later by a real chunk: neither test passes at the first "cart", and
  // the search goes on 8 bytes after it, past the real chunk's id.
  const std::string overlapping = "cart" + CartChunk("hidden");
  struct Case {
    const char* name;
    std::string file;
    bool found;
    std::string title;  // empty: the record stays blank
  };
  for (const Case& c : {
           Case{"version 0101 at offset 36", Wav(CartChunk("at 36")), true, "at 36"},
           Case{"version 0100", Wav(CartChunk("v0100", {"INT "}, withVersion("0100"))), true, "v0100"},
           Case{"odd version, first timer INT", Wav(CartChunk("by timer", {"INTs"}, withVersion("0200"))),
                true, "by timer"},
           Case{"odd version, first timer AUDs",
                Wav(CartChunk("skipped", {"AUDs", "", "SEGs"}, withVersion("0200"))), false, ""},
           Case{"cart inside an earlier title",
                Wav(Chunk("LIST",
                          std::string("INFOINAM") + "Upcart special cartoon" + std::string(800, '\0')) +
                    CartChunk("real")),
                true, "real"},
           Case{"search resumes 8 bytes after a rejected candidate", Wav(Chunk("JUNK", overlapping)), false,
                ""},
       }) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteFileBytes(dir / "a.wav", c.file);
    CartRecord r;
    EXPECT_EQ(FindCartAtStart(dir / "a.wav", r), c.found);
    if (c.title.empty()) {
      EXPECT_EQ(r, CartRecord{});
    } else {
      EXPECT_EQ(CleanText(r.Title), c.title);
    }
  }
}

// ---- windows near the end -----------------------------------------------------------------------

TEST(CartFind, EndWindows) {
  constexpr std::size_t kLength = 100000;
  constexpr std::size_t kA = kLength - 8193;   // start of window A
  constexpr std::size_t kB = kLength - 40961;  // start of window B
  struct Placed {
    std::size_t offset;
    std::string bytes;
  };
  struct Case {
    const char* name;
    std::size_t length;
    std::vector<Placed> placed;
    bool found;
  };
  const std::string chunk = CartChunk("tail");
  for (const Case& c : {
           Case{"window A", kLength, {{kA + 100, chunk}}, true},
           Case{"window A, chunk ends one byte before the end",
                kLength,
                {{kLength - 1 - chunk.size(), chunk}},
                true},
           Case{
               "window A, after a rejected candidate", kLength, {{kA + 10, "cart"}, {kA + 500, chunk}}, true},
           Case{"window B", kLength, {{kB + 500, chunk}}, true},
           Case{"window B's first cart opens a new window",
                kLength,
                {{kB + 8000, "cart"}, {kB + 11000, chunk}},
                true},
           Case{"between the windows", kLength, {{kLength - 30000, chunk}}, false},
           Case{"before window B", kLength, {{kLength - 50000, chunk}}, false},
           Case{"file too short for any window", 8192, {{100, chunk}}, false},
       }) {
    SCOPED_TRACE(c.name);
    std::string file(c.length, '\x55');
    for (const auto& p : c.placed) file.replace(p.offset, p.bytes.size(), p.bytes);
    TempDir dir;
    WriteFileBytes(dir / "long.wav", file);
    CartRecord r;
    int yields = 0;
    EXPECT_EQ(FindCartAtEnd(dir / "long.wav", r, code::kCartChunk, [&yields] { ++yields; }), c.found);
    EXPECT_EQ(CleanText(r.Title), c.found ? "tail" : "");
    if (c.placed.size() > 1 && c.placed.front().bytes == "cart" && c.placed.front().offset >= kA) {
      EXPECT_GE(yields, 1) << "the UI runs between candidates";
    }
    if (c.length > 40960 && c.found) {
      CartRecord atStart;
      EXPECT_FALSE(FindCartAtStart(dir / "long.wav", atStart));
    }
  }
}

TEST(CartFind, ChunkCutByTheEndOfTheFileReadsZeros) {
  const std::string chunk =
      CartChunk("cut short", {"INT "}, [](CartRecord& r) { Set(r.URL, "http://a.example"); });
  TempDir dir;
  WriteFileBytes(dir / "cut.wav", std::string(40, '\0') + chunk.substr(0, 1040));
  CartRecord r;
  Diagnostics diag;
  EXPECT_TRUE(FindCartAtStart(dir / "cut.wav", r, &diag));
  EXPECT_EQ(CleanText(r.Title), "cut short");
  EXPECT_EQ(CleanText(r.URL), "http://a");
  ASSERT_EQ(diag.size(), 1u);
  EXPECT_EQ(diag[0].code, "cart-truncated");
  EXPECT_EQ(diag[0].offset, 40u);

  diag.clear();
  EXPECT_FALSE(FindCartAtEnd(dir / "missing.wav", r, code::kMyriad, {}, &diag));
  EXPECT_FALSE(FindCartAtStart(dir / "missing.wav", r, &diag));
  EXPECT_EQ(diag.size(), 2u);
  EXPECT_EQ(CleanText(r.Title), "cut short");
}

// ---- repairs and the found rule -------------------------------------------------------------------

std::array<std::string, 8> TimerIds(const CartRecord& r) {
  std::array<std::string, 8> ids;
  for (std::size_t k = 0; k < 8; ++k) ids[k] = std::string(r.PostTimers[k].Id.view());
  return ids;
}

TEST(CartFind, StartRepairsTimerIds) {
  TempDir dir;
  WriteFileBytes(dir / "a.wav", Wav(CartChunk("x", {"INTS", "ints", "Seg1", "SEG1", "ints", "seg1"})));
  CartRecord r;
  ASSERT_TRUE(FindCartAtStart(dir / "a.wav", r));
  const std::array<std::string, 8> expected{
      "INT ", "INT ", "SEGs", "SEGs", "ints", "seg1", std::string(4, '\0'), std::string(4, '\0')};
  EXPECT_EQ(TimerIds(r), expected);
  EXPECT_EQ(r.PostTimers[0].Value, 1000) << "values stay";
}

TEST(CartFind, RivendellChunkMovesClientIdAndUserDef) {
  const auto rivendell = [](std::string_view producer) {
    return [producer](CartRecord& r) {
      Set(r.ProducerAppID, producer);
      Set(r.CutID, "old cut");
      SetFixedText(r.ClientID, "  1998 Client");
      Set(r.OutCue, "old out cue");
      Set(r.UserDef, "012345");
    };
  };
  TempDir dir;
  WriteFileBytes(dir / "r.wav", Wav(CartChunk("x", {"INT ", "", "SEGs", "IntE"}, rivendell(" RIVENDELL "))));
  CartRecord r;
  ASSERT_TRUE(FindCartAtStart(dir / "r.wav", r));
  EXPECT_EQ(r.PostTimers[3].Id.view(), "INT ");
  EXPECT_EQ(r.OutCue.view(), "1998 Client" + std::string(53, '\0'));
  EXPECT_EQ(r.CutID, r.UserDef);

  WriteFileBytes(dir / "o.wav", Wav(CartChunk("x", {"INT ", "", "SEGs", "IntE"}, rivendell("Rivendell 3"))));
  ASSERT_TRUE(FindCartAtStart(dir / "o.wav", r));
  EXPECT_EQ(r.PostTimers[3].Id.view(), "IntE");
  EXPECT_EQ(CleanText(r.OutCue), "old out cue");
  EXPECT_EQ(CleanText(r.CutID), "old cut");
}

TEST(CartFind, MyriadEndRepairs) {
  const std::string file = std::string(20000, '\0') +
                           CartChunk("m", {"INTS", std::string_view("int\0", 4), "SEG1",
                                           std::string_view("Int\0", 4), "seg1", "ints"}) +
                           std::string(100, '\0');
  TempDir dir;
  WriteFileBytes(dir / "m.wav", file);
  CartRecord r;
  ASSERT_TRUE(FindCartAtEnd(dir / "m.wav", r, code::kMyriad));
  const std::string nul(4, '\0');
  EXPECT_EQ(TimerIds(r),
            (std::array<std::string, 8>{"INT ", "INT ", "SEGs", "INT ", "SEGs", "ints", nul, nul}));

  ASSERT_TRUE(FindCartAtEnd(dir / "m.wav", r, code::kCartChunk));
  EXPECT_EQ(TimerIds(r), (std::array<std::string, 8>{"INTS", std::string("int\0", 4), "SEG1",
                                                     std::string("Int\0", 4), "seg1", "ints", nul, nul}))
      << "other sources keep their ids, and the start repairs do not run at the end";
}

TEST(CartFind, FoundOnlyWithTimerZeroOrTwo) {
  struct Case {
    std::array<std::string_view, 8> ids;
    bool found;
  };
  for (const Case& c : {
           Case{{"", "AUDs", ""}, false},
           Case{{"  ", "AUDs", std::string_view("\0 \0 ", 4)}, false},
           Case{{"", "", "SEGs"}, true},
           Case{{"X"}, true},
       }) {
    SCOPED_TRACE(std::string(c.ids[0]) + "|" + std::string(c.ids[2]));
    TempDir dir;
    WriteFileBytes(dir / "a.wav", Wav(CartChunk("kept", c.ids)));
    CartRecord r;
    EXPECT_EQ(FindCartAtStart(dir / "a.wav", r), c.found);
    EXPECT_EQ(CleanText(r.Title), "kept");
  }
}

// ---- normalisation before writing -----------------------------------------------------------------

TEST(CartPrepare, ResetsHeaderProducerAndTagText) {
  CartRecord r = ParseCartChunk(HandWrittenChunk());
  PrepareCartForWrite(r);
  EXPECT_EQ(r.ChunkId.view(), "cart");
  EXPECT_EQ(r.Version.view(), "0101");
  EXPECT_EQ(r.ChunkSize, 2050);
  EXPECT_TRUE(r.TagText.empty());
  EXPECT_EQ(r.ProducerAppID, FixedText<64>{});
  EXPECT_EQ(r.ProducerAppVersion, FixedText<64>{});
  EXPECT_EQ(r.PostTimers[1].Id.view(), "SEGs") << "a chunk that was read keeps its timer ids";
  EXPECT_EQ(r.PostTimers[2].Id, FixedText<4>{});
  EXPECT_EQ(CleanText(r.Title), "Title");
}

TEST(CartPrepare, BlankChunkIdGetsTheSystemTimerIds) {
  CartRecord r;
  for (std::size_t k = 0; k < 8; ++k) r.PostTimers[k].Value = static_cast<int32_t>(k + 1);
  Set(r.PostTimers[5].Id, "EOD ");
  PrepareCartForWrite(r);
  EXPECT_EQ(r.ChunkId.view(), "cart");
  EXPECT_EQ(r.Version.view(), "0101");
  const std::string nul(4, '\0');
  EXPECT_EQ(TimerIds(r),
            (std::array<std::string, 8>{"INT ", "AUDs", "AUDe", "SEGs", "SEGe", "EOD ", nul, nul}));
  for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(r.PostTimers[k].Value, static_cast<int32_t>(k + 1));
}

TEST(CartPrepare, UrlCleanedOrClearedAndYearCarried) {
  struct Case {
    const char* url;
    const char* userDef;
    std::string url2;  // CleanText of the URL afterwards
    std::string outCue;
    std::string userDef2;  // the whole field afterwards, NULs dropped
  };
  const std::string old = "old cue";
  for (const Case& c : {
           Case{"  http://a.example  ", ":05/3:25/C", "http://a.example", old, ":05/3:25/C"},
           Case{"http://JunK.example", ":05/3:25/C", "", old, ":05/3:25/C"},
           Case{"1999", ":05/3:25/C", "1999", "1999", ":05/3:25/C1999"},
           Case{"  2001/09/13 ", ":05/3:25/C  ", "2001/09/13", "2001", ":05/3:25/C2001"},
           Case{"2099 hits", "no timing notation", "2099 hits", "2099", ""},
           Case{"1900", ":05/3:25/C", "1900", old, ":05/3:25/C"},
           Case{"2100", ":05/3:25/C", "2100", old, ":05/3:25/C"},
           Case{"1999 junk", ":05/3:25/C", "", old, ":05/3:25/C"},
       }) {
    SCOPED_TRACE(c.url);
    CartRecord r;
    Set(r.ChunkId, "cart");
    SetFixedText(r.URL, c.url);
    Set(r.UserDef, c.userDef);
    Set(r.OutCue, old);
    PrepareCartForWrite(r);
    EXPECT_EQ(CleanText(r.URL), c.url2);
    EXPECT_EQ(r.URL.view().find(' ', c.url2.size()), std::string_view::npos) << "NUL-padded";
    EXPECT_EQ(CleanText(r.OutCue), c.outCue);
    EXPECT_EQ(r.UserDef.view().substr(0, c.userDef2.size()), c.userDef2);
    EXPECT_EQ(CleanText(r.UserDef.view().substr(c.userDef2.size())), "");
    EXPECT_EQ(r.UserDef.view().find(' ', c.userDef2.size()), std::string_view::npos) << "NUL-padded";
  }
}

TEST(CartPrepare, Mp3MarkAndRivendellProducer) {
  CartRecord r;
  MarkMp3Producer(r);
  EXPECT_EQ(r.ProducerAppID.view(), "AX-MP3" + std::string(58, '\0'));

  for (const auto& [producer, expected] :
       std::vector<std::pair<std::string, bool>>{{"rivendell", true},
                                                 {std::string("  rivendell\0 ", 13), true},
                                                 {"Rivendell", false},
                                                 {"rivendell2", false}}) {
    Set(r.ProducerAppID, producer);
    EXPECT_EQ(IsRivendellProducer(r), expected) << producer;
  }
}

}  // namespace
}  // namespace airfoldex
