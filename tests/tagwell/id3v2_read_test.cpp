// cMP3ID3v2 reading: finding the tag, the frame layouts of versions 2.2, 2.3 and 2.4, text
// encodings, the properties over the frames, and damaged tags.

#include <gtest/gtest.h>

#include "tag_fixtures.h"
#include "tagwell/tagwell.h"

namespace tagwell {
namespace {

namespace fs = std::filesystem;
using airfoldex::test::CorpusDir;
using airfoldex::test::TempDir;
using airfoldex::test::WriteFileBytes;
using test::Audio;
using test::Frame;
using test::Tag;
using namespace std::string_literals;

// Reads `bytes` as a file through a fresh object.
class ReadTest : public ::testing::Test {
 protected:
  cMP3ID3v2& Read(const std::string& bytes) {
    WriteFileBytes(dir_ / "t.mp3", bytes);
    v2_.setMP3File((dir_ / "t.mp3").string());
    return v2_;
  }
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    for (int i = 1; i <= v2_.FrameCount(); ++i) ids.push_back(v2_.Frame(i));
    return ids;
  }

  TempDir dir_;
  cMP3ID3v2 v2_;
};

TEST_F(ReadTest, AFileWithoutATagBeforeItsAudioIsUntagged) {
  // "ID3" inside the audio, after the first frame header, is not a tag.
  std::string audio = Audio(9000);
  audio.replace(6000, 10, "ID3\x03\x00\x00\x00\x00\x01\x00");
  auto& v2 = Read(audio);
  EXPECT_FALSE(v2.HasID3v2Tag());
  EXPECT_EQ(v2.TagVersion(), 0);
  EXPECT_EQ(v2.FrameCount(), 0);
  EXPECT_EQ(v2.Genre(), 255);
  EXPECT_EQ(v2.Title(), "");
}

TEST_F(ReadTest, Version22FramesTakeTheirVersion23Names) {
  const std::string frames = Frame(2, "TT2", "\0Title"s) + Frame(2, "TP1", "\0Artist"s) +
                             Frame(2, "TAL", "\0Album"s) +
                             Frame(2, "TYE",
                                   "\0"
                                   "2001"s) +
                             Frame(2, "TCO", "\0(17)"s) + Frame(2, "COM", "\0engdesc\0Text"s) +
                             Frame(2, "PIC", "\0JPG\x03\0\xFF\xD8\xFF"s) + Frame(2, "XYZ", "dropped");
  auto& v2 = Read(Tag(2, frames, 50) + Audio());
  EXPECT_TRUE(v2.HasID3v2Tag());
  EXPECT_EQ(v2.TagVersion(), 2);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"TIT2", "TPE1", "TALB", "TYER", "TCON", "COMM", "APIC"}));
  EXPECT_EQ(v2.Title(), "Title");
  EXPECT_EQ(v2.Artist(), "Artist");
  EXPECT_EQ(v2.Year(), "2001");
  EXPECT_EQ(v2.Genre(), 17);
  EXPECT_EQ(v2.Comment(), "Text");
  EXPECT_EQ(v2.FrameValue("APIC", 1), "\0image/jpeg\0\x03\0\xFF\xD8\xFF"s);
}

// Header sizes are syncsafe and leave out the header; 2.3 frame sizes are plain, 2.4 ones syncsafe.
// A frame of more than 127 bytes tells the readings apart.
TEST_F(ReadTest, SizesFollowEachVersion) {
  const std::string title(300, 't');
  for (int version : {3, 4}) {
    const std::string frames = Frame(version, "TIT2", "\0"s + title) + Frame(version, "TPE1", "\0A"s);
    auto& v2 = Read(Tag(version, frames, 700) + Audio());
    EXPECT_EQ(v2.TagVersion(), version);
    EXPECT_EQ(v2.Title(), title) << version;
    EXPECT_EQ(v2.Artist(), "A") << version;
  }
}

TEST_F(ReadTest, TextEncodingsBecomeWindows1252) {
  const std::pair<std::string, std::string> cases[] = {
      {"\0Caf\xE9"s, "Caf\xE9"},  // ISO-8859-1
      {"\x01\xFF\xFE"
       "C\0a\0f\0\xE9\0 \0\xAC\x20"s,
       "Caf\xE9 \x80"},                             // UTF-16 LE, BOM
      {"\x01\xFE\xFF\0C\0a\0f\0\xE9"s, "Caf\xE9"},  // UTF-16 BE, BOM
      {"\x02\0C\0a\0f\0\xE9\0\0"s, "Caf\xE9"},      // UTF-16BE, terminated
      {"\x03"
       "Caf\xC3\xA9 \xE2\x82\xAC \xE7\x88\xB6\0"s,
       "Caf\xE9 \x80 ?"},            // UTF-8
      {"\0One\0Two\0"s, "One/Two"},  // several values (2.4)
  };
  for (const auto& [body, expected] : cases) {
    auto& v2 = Read(Tag(4, Frame(4, "TIT2", body)) + Audio());
    EXPECT_EQ(v2.Title(), expected);
  }
}

TEST_F(ReadTest, GenreFromTcon) {
  struct Case {
    std::string tcon;
    int genre;
    std::string other;
  } cases[] = {
      {"(17)Rock", 17, "Rock"},
      {"(17)", 17, "Rock"},
      {"(17)R", 17, "Rock"},
      {"Rock", 255, "Rock"},
      {"31", 31, "Trance"},
      {"(300)Loud", 255, "(300)Loud"},
      {"(RX)Remix", 255, "(RX)Remix"},
      {"(9)Death Metal", 9, "Death Metal"},
  };
  for (const auto& c : cases) {
    auto& v2 = Read(Tag(3, Frame(3, "TCON", "\0"s + c.tcon)) + Audio());
    EXPECT_EQ(v2.Genre(), c.genre) << c.tcon;
    EXPECT_EQ(v2.OtherGenreName(), c.other) << c.tcon;
  }
}

TEST_F(ReadTest, FramesKeepTheirValuesInOrder) {
  const std::string frames = Frame(3, "COMM", "\0eng\0First"s) + Frame(3, "TPE1", "\0One"s) +
                             Frame(3, "COMM", "\0engdesc\0Second"s) + Frame(3, "TPE1", "\0Two"s) +
                             Frame(3, "TXXX",
                                   "\0Intro\0"
                                   "08500"s) +
                             Frame(3, "WOAF", "http://a.example/") +
                             Frame(3, "WXXX", "\0\0http://link.example/"s) +
                             Frame(3, "PCNT", "\0\0\x01\x02"s) + Frame(3, "USLT", "\0eng\0La la"s) +
                             Frame(3, "PRIV", "owner\0\x01\x02"s);
  auto& v2 = Read(Tag(3, frames) + Audio());
  EXPECT_EQ(Ids(),
            (std::vector<std::string>{"COMM", "TPE1", "TXXX", "WOAF", "WXXX", "PCNT", "USLT", "PRIV"}));
  EXPECT_EQ(v2.TagsInFrame("COMM"), 2);
  EXPECT_EQ(v2.Comment(), "First\0\r\nSecond"s);
  EXPECT_EQ(v2.FrameValue("COMM", 2), "desc\0Second"s);
  EXPECT_EQ(v2.Artist(), "Two");  // the last value, as each value read sets the property
  EXPECT_EQ(v2.FrameValue("tpe1", 1), "One");
  EXPECT_EQ(v2.FrameValue("TXXX", 1),
            "Intro\0"
            "08500"s);
  EXPECT_EQ(v2.AudioURL(), "http://a.example/");
  EXPECT_EQ(v2.LinkTo(), "http://link.example/");
  EXPECT_EQ(v2.PlayCounter(), "258");
  EXPECT_EQ(v2.Lyrics(), "La la");
  EXPECT_EQ(v2.FrameValue("PRIV", 1), "owner\0\x01\x02"s);
  EXPECT_EQ(v2.TagsInFrame("TIT2"), 0);
}

TEST_F(ReadTest, UnsynchronisationAndExtendedHeaders) {
  // 2.3: the whole tag is unsynchronised (FF 00 stands for FF) and an extended header comes first.
  const std::string body23 = "\x01\xFF\x00\xFEH\0i\0"s;
  const std::string ext23 = test::Be(6, 4) + std::string(6, '\0');
  std::string frames23 = ext23 + "TIT2" + test::Be(7, 4) + std::string(2, '\0') + body23;
  auto& v2 = Read(Tag(3, frames23, 0, 0xC0) + Audio());
  EXPECT_EQ(v2.Title(), "Hi");

  // 2.4: an unsynchronised frame with a data-length indicator, after a 6-byte extended header.
  const std::string body24 = test::Syncsafe(6) + "\x01\xFF\x00\xFEH\0i\0"s;
  const std::string ext24 = test::Syncsafe(6) + "\x01\0"s;
  auto& again = Read(Tag(4, ext24 + Frame(4, "TIT2", body24, 0x0003), 0, 0x40) + Audio());
  EXPECT_EQ(again.Title(), "Hi");
}

// Damage never crashes the read and keeps what came before it.
TEST_F(ReadTest, DamagedTagsKeepTheFramesBeforeTheDamage) {
  const std::string good = Frame(3, "TIT2", "\0Good"s);
  const std::string cases[] = {
      Tag(3, good + "TPE1" + test::Be(0x7FFFFFF0, 4) + std::string(2, '\0') + "xx"),  // frame past the tag
      Tag(3, good + Frame(3, "TPE1", "")),                                            // empty frame
      Tag(3, good + "\x01\x02\x03\x04" + test::Be(2, 4) + "\0\0ab"s),                 // unreadable id
      Tag(3, good + std::string(3, 'T')),                                             // header cut short
      "ID3\x03\0\0\x7F\x7F\x7F\x7F"s + good,  // tag size past the file
  };
  for (const auto& tag : cases) {
    auto& v2 = Read(tag);
    EXPECT_TRUE(v2.HasID3v2Tag());
    EXPECT_EQ(v2.Title(), "Good");
    EXPECT_EQ(Ids(), std::vector<std::string>{"TIT2"});
  }
  auto& unknownVersion = Read("ID3\x05\0\0\0\0\0\x10"s + good);
  EXPECT_TRUE(unknownVersion.HasID3v2Tag());
  EXPECT_EQ(unknownVersion.TagVersion(), 5);
  EXPECT_EQ(unknownVersion.FrameCount(), 0);
  EXPECT_FALSE(Read("ID").HasID3v2Tag());
  EXPECT_TRUE(Read("ID3").HasID3v2Tag());
}

// Reading a size as a plain number is right only where the plain reading ends as a tag does: a
// reading that runs into the audio would take audio bytes for frames and, on the next write, for
// tag space.
TEST_F(ReadTest, RegressionAWiderReadingThatRunsIntoTheAudioIsRefused) {
  const std::string frames = Frame(3, "TIT2", "\0Old"s) + Frame(3, "TPE1", "\0Artist"s) +
                             Frame(3, "TALB", "\0"s + std::string(300, 'x'));
  const auto declared = static_cast<uint32_t>(frames.size() - 100);  // cuts TALB off
  const std::string file = "ID3\x03\0\0"s + test::Syncsafe(declared) + frames.substr(0, declared) + Audio();
  auto& v2 = Read(file);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"TIT2", "TPE1"}));
  EXPECT_EQ(v2.Album(), "");

  // The same plain length ending in zero padding is still the earlier writer's tag.
  const uint32_t plain = (declared >> 7) * 256 + (declared & 0x7F);  // the syncsafe bytes read plainly
  std::string clean = "ID3\x03\0\0"s + test::Syncsafe(declared) + frames;
  ASSERT_EQ(test::Be(plain, 4), test::Syncsafe(declared));
  ASSERT_LE(clean.size(), plain);
  clean.resize(plain, '\0');
  Read(clean + Audio());
  EXPECT_EQ(Ids(), (std::vector<std::string>{"TIT2", "TPE1", "TALB"}));
}

// MPEG audio frames of 417 bytes (MPEG-1 Layer III, 128 kbit/s, 44.1 kHz) that hold neither 0xFF
// nor "ID3" after their headers.
std::string AudioFrames(int count) {
  std::string out;
  for (int i = 0; i < count; ++i)
    out += "\xFF\xFB\x90\x64"s + std::string(413, static_cast<char>('a' + i % 26));
  return out;
}

// A well-formed tag in the first 4 KB but after the audio has begun is audio that happens to look
// like a tag; a tag in bytes before the first audio frame is still found, even behind bytes that
// hold a lone frame-header pattern.
TEST_F(ReadTest, RegressionATagAfterTheFirstAudioFrameIsNoTag) {
  const std::string tag = Tag(3, Frame(3, "TIT2", "\0Inside"s));
  std::string audio = AudioFrames(6);
  audio.replace(500, tag.size(), tag);
  EXPECT_FALSE(Read(audio).HasID3v2Tag());
  EXPECT_FALSE(Read("junk"s + audio).HasID3v2Tag());

  const std::string lone = "junk \xFF\xF3\xD4\x40 junk"s;  // a header with no frame after it
  auto& v2 = Read(lone + tag + AudioFrames(3));
  EXPECT_TRUE(v2.HasID3v2Tag());
  EXPECT_EQ(v2.Title(), "Inside");
}

// Compressed and encrypted frames cannot be read, but they are the file's data: they stay in the
// store as stored, in version 2.3 form.
TEST_F(ReadTest, RegressionCompressedAndEncryptedFramesAreKept) {
  auto& v2 = Read(Tag(3, Frame(3, "TIT2", "\0Plain"s) + Frame(3, "TIT2", "\0\0\0\x10zz"s, 0x0080) +
                             Frame(3, "PRIV", "\x05secret"s, 0x0040)) +
                  Audio());
  EXPECT_EQ(Ids(), (std::vector<std::string>{"TIT2", "PRIV"}));
  EXPECT_EQ(v2.TagsInFrame("TIT2"), 2);
  EXPECT_EQ(v2.Title(), "Plain");  // the compressed value has no text
  EXPECT_EQ(v2.FrameValue("TIT2", 2), "\0\0\0\x10zz"s);
  EXPECT_EQ(v2.FrameValue("PRIV", 1), "\x05secret");
}

// A tag of an earlier writer of ours: the header holds the whole 2,048-byte area as a plain number,
// lyrics and URLs carry a NUL first, the counter is text.
TEST_F(ReadTest, TagsOfTheEarlierWriterReadCompletely) {
  const std::string frames = Frame(3, "TIT2", "\0Title"s) +
                             Frame(3, "COMM", "\0\0nt\0"s + std::string(1100, 'c')) +
                             Frame(3, "USLT", "\0\0La la"s) + Frame(3, "WOAR", "\0http://artist.example/"s) +
                             Frame(3, "PCNT",
                                   "\0"
                                   "42"s) +
                             Frame(3, "TPE1", "\0Last"s);
  std::string tag = "ID3\x03\0\0"s + test::Be(2048, 4) + frames;
  tag.resize(2048, '\0');
  auto& v2 = Read(tag + Audio());
  EXPECT_EQ(v2.Comment(), std::string(1100, 'c'));
  EXPECT_EQ(v2.Lyrics(), "La la");
  EXPECT_EQ(v2.ArtistURL(), "http://artist.example/");
  EXPECT_EQ(v2.PlayCounter(), "42");
  EXPECT_EQ(v2.Artist(), "Last");
}

TEST(ID3v2Corpus, ReadsTagsOfOtherWriters) {
  cMP3ID3v2 v2;
  v2.setMP3File((CorpusDir() / "mutagen" / "id3v22-test.mp3").string());
  EXPECT_EQ(v2.TagVersion(), 2);
  EXPECT_EQ(v2.Title(), "cosmic american");
  EXPECT_EQ(v2.Artist(), "Anais Mitchell");
  EXPECT_EQ(v2.Album(), "Hymns for the Exiled");
  EXPECT_EQ(v2.Year(), "2004");
  EXPECT_EQ(v2.Track(), "3/11");
  EXPECT_EQ(v2.TagsInFrame("COMM"), 4);

  v2.setMP3File((CorpusDir() / "atldotnet" / "id3v2.3_UTF16.mp3").string());
  EXPECT_EQ(v2.TagVersion(), 3);
  EXPECT_EQ(v2.Title(), "aa?bb");  // a character Windows-1252 does not have
  EXPECT_EQ(v2.Year(), "1997");
  EXPECT_EQ(v2.TagsInFrame("APIC"), 2);

  v2.setMP3File((CorpusDir() / "atldotnet" / "id3v2.4_UTF8.mp3").string());
  EXPECT_EQ(v2.TagVersion(), 4);
  EXPECT_EQ(v2.Year(), "1997");  // from TDRC
  EXPECT_EQ(v2.OtherGenreName(), "House");

  v2.setMP3File((CorpusDir() / "taglib" / "unsynch24.id3").string());
  EXPECT_EQ(v2.Title(), "Hi");
  v2.setMP3File((CorpusDir() / "mutagen" / "issue_21.id3").string());
  EXPECT_EQ(v2.Title().rfind("Punk To Fun", 0), 0u);
  v2.setMP3File((CorpusDir() / "taglib" / "garbage.mp3").string());  // a tag after 2,047 bytes of garbage
  EXPECT_TRUE(v2.HasID3v2Tag());
  EXPECT_EQ(v2.TagsInFrame("TXXX"), 2);
  v2.setMP3File((CorpusDir() / "mutagen" / "silence-44-s-mpeg2.mp3").string());
  EXPECT_FALSE(v2.HasID3v2Tag());
}

// Every file of the corpus reads without a crash and in bounded time.
TEST(ID3v2Corpus, EveryCorpusFileReads) {
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(CorpusDir())) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    cMP3ID3v2 v2;
    cMP3ID3v1 v1;
    EXPECT_NO_THROW(v2.setMP3File(entry.path().string())) << entry.path();
    EXPECT_NO_THROW(v1.setMP3File(entry.path().string())) << entry.path();
    for (int i = 1; i <= v2.FrameCount(); ++i) {
      for (int n = 1; n <= v2.TagsInFrame(v2.Frame(i)); ++n) v2.FrameValue(v2.Frame(i), n);
    }
    ++files;
  }
  EXPECT_GT(files, 100);
}

}  // namespace
}  // namespace tagwell
