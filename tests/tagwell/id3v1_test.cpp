// cMP3ID3v1: reading and writing the 128-byte tag at the end of the file, the genre names and the
// errors raised to the host.

#include <gtest/gtest.h>

#include "tag_fixtures.h"
#include "tagwell/tagwell.h"

namespace tagwell {
namespace {

namespace fs = std::filesystem;
using airfoldex::test::CorpusDir;
using airfoldex::test::ReadFileBytes;
using airfoldex::test::TempDir;
using airfoldex::test::WriteFileBytes;
using test::Audio;
using test::V1Tag;

TEST(ID3v1, ReadsTheFieldsOfAV11Tag) {
  TempDir dir;
  // Title with bytes left over after its NUL, artist padded with spaces, a Windows-1252 album.
  std::string tag = V1Tag("Title", "  Artist  ", "Caf\xE9", "1999", "A comment", 7, 17);
  tag.replace(3 + 6, 5, "junk!");
  WriteFileBytes(dir / "a.mp3", Audio() + tag);

  cMP3ID3v1 v1;
  v1.setMP3File((dir / "a.mp3").string());
  EXPECT_TRUE(v1.HasID3v1Tag());
  EXPECT_EQ(v1.Title(), "Title");
  EXPECT_EQ(v1.Artist(), "Artist");
  EXPECT_EQ(v1.Album(), "Caf\xE9");
  EXPECT_EQ(v1.Year(), "1999");
  EXPECT_EQ(v1.Comment(), "A comment");
  EXPECT_EQ(v1.Track(), 7);
  EXPECT_EQ(v1.Genre(), 17);
}

// An ID3v1.0 tag has no track: byte 125 is the comment's 29th character, not a marker.
TEST(ID3v1, AV10CommentRunsToTheEndAndGivesNoTrack) {
  TempDir dir;
  std::string tag = V1Tag("T", "", "", "", "", 0, 255);
  tag.replace(97, 30, "abcdefghijklmnopqrstuvwxyz1234");
  WriteFileBytes(dir / "a.mp3", Audio() + tag);

  cMP3ID3v1 v1;
  v1.setMP3File((dir / "a.mp3").string());
  EXPECT_EQ(v1.Comment(), "abcdefghijklmnopqrstuvwxyz1234");
  EXPECT_EQ(v1.Track(), 0);

  // Written back without a track, the comment keeps all 30 characters.
  v1.setTitle("New");
  v1.Update();
  cMP3ID3v1 again;
  again.setMP3File((dir / "a.mp3").string());
  EXPECT_EQ(again.Comment(), "abcdefghijklmnopqrstuvwxyz1234");
  EXPECT_EQ(again.Title(), "New");
}

TEST(ID3v1, UpdateAppendsATagAndThenOverwritesItInPlace) {
  TempDir dir;
  const std::string audio = Audio();
  WriteFileBytes(dir / "a.mp3", audio);

  cMP3ID3v1 v1;
  v1.setMP3File((dir / "a.mp3").string());
  EXPECT_FALSE(v1.HasID3v1Tag());
  EXPECT_EQ(v1.Genre(), 255);
  v1.setTitle(std::string(35, 'x'));
  v1.setArtist("Short");
  v1.setYear("20245");
  v1.setComment("Hello");
  v1.setTrack(3);
  v1.setGenre(80);
  v1.Update();

  const std::string bytes = ReadFileBytes(dir / "a.mp3");
  ASSERT_EQ(bytes.size(), audio.size() + 128);
  EXPECT_EQ(bytes.substr(0, audio.size()), audio);
  const std::string tag = bytes.substr(audio.size());
  EXPECT_EQ(tag.substr(0, 3), "TAG");
  EXPECT_EQ(tag.substr(3, 30), std::string(30, 'x'));             // cut to 30
  EXPECT_EQ(tag.substr(33, 30), "Short" + std::string(25, ' '));  // padded with spaces
  EXPECT_EQ(tag.substr(63, 30), std::string(30, ' '));
  EXPECT_EQ(tag.substr(93, 4), "2024");
  EXPECT_EQ(tag.substr(97, 28), "Hello" + std::string(23, ' '));
  EXPECT_EQ(tag.substr(125), std::string("\0\x03\x50", 3));

  cMP3ID3v1 reread;
  reread.setMP3File((dir / "a.mp3").string());
  EXPECT_EQ(reread.Artist(), "Short");
  EXPECT_EQ(reread.Album(), "");
  reread.setArtist("Other");
  reread.Update();
  EXPECT_EQ(fs::file_size(dir / "a.mp3"), audio.size() + 128);
  reread.setMP3File((dir / "a.mp3").string());
  EXPECT_EQ(reread.Artist(), "Other");
  EXPECT_EQ(reread.Track(), 3);
}

TEST(ID3v1, AFileOf128BytesOrLessIsNeverTaggedNorWritten) {
  TempDir dir;
  for (const std::string& content : {V1Tag("Title", "", "", "", "", 0, 1), std::string("x")}) {
    WriteFileBytes(dir / "small.mp3", content);
    cMP3ID3v1 v1;
    v1.setMP3File((dir / "small.mp3").string());
    EXPECT_FALSE(v1.HasID3v1Tag());
    EXPECT_EQ(v1.Title(), "");
    v1.setTitle("Changed");
    v1.Update();
    EXPECT_EQ(ReadFileBytes(dir / "small.mp3"), content);
  }
}

TEST(ID3v1, ValuesSetBeforeUpdateAreReadBackAndAReadDiscardsThem) {
  TempDir dir;
  WriteFileBytes(dir / "a.mp3", Audio() + V1Tag("Old", "", "", "", "", 0, 2));
  cMP3ID3v1 v1;
  v1.setMP3File((dir / "a.mp3").string());
  v1.setTitle("New");
  EXPECT_EQ(v1.Title(), "New");
  v1.setMP3File((dir / "a.mp3").string());
  EXPECT_EQ(v1.Title(), "Old");
}

TEST(ID3v1, ErrorsCarryNumberSourceAndDescription) {
  TempDir dir;
  WriteFileBytes(dir / "empty.mp3", "");
  cMP3ID3v1 v1;
  v1.setMP3File((dir / "empty.mp3").string());
  try {
    v1.Update();
    FAIL() << "an empty file was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), -2147217407);
    EXPECT_EQ(e.Source(), "Tagwell.cMP3ID3v1");
    EXPECT_EQ(e.Description(), (dir / "empty.mp3").string() + " is not a valid MP3 file.");
  }

  try {
    v1.setMP3File((dir / "missing.mp3").string());
    FAIL() << "a missing file was read";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrFileNotFound);
    EXPECT_EQ(e.Source(), "Tagwell.cMP3ID3v1");
  }
  EXPECT_FALSE(v1.HasID3v1Tag());
}

TEST(ID3v1, GenreNames) {
  const std::pair<int, const char*> cases[] = {
      {0, "Blues"},       {17, "Rock"}, {122, "Drum Solo"}, {123, ""}, {124, "Euro - House"},
      {147, "Synth Pop"}, {148, ""},    {200, ""},          {255, ""}, {-1, ""}};
  cMP3ID3v1 v1;
  cMP3ID3v2 v2;
  for (const auto& [number, name] : cases) {
    EXPECT_EQ(GenreName(number), name) << number;
    EXPECT_EQ(v1.GenreName(number), name);
    EXPECT_EQ(v2.GenreName(number), name);
  }
}

TEST(ID3v1, ReadsCorpusTags) {
  cMP3ID3v1 v1;
  v1.setMP3File((CorpusDir() / "mutagen" / "silence-44-s-v1.mp3").string());
  EXPECT_TRUE(v1.HasID3v1Tag());
  EXPECT_EQ(v1.Title(), "Silence");
  EXPECT_EQ(v1.Artist(), "piman");
  EXPECT_EQ(v1.Album(), "Quod Libet Test Data");
  EXPECT_EQ(v1.Year(), "2004");
  EXPECT_EQ(v1.Genre(), 50);
  EXPECT_EQ(v1.Track(), 2);

  // An ID3v1 tag that is not in the last 128 bytes is not the file's ID3v1 tag.
  v1.setMP3File((CorpusDir() / "mutagen" / "audacious-trailing-id32-id31.mp3").string());
  EXPECT_FALSE(v1.HasID3v1Tag());
}

TEST(Tags, InitAndDeInitOwnBothObjects) {
  cMP3Tags tags;
  EXPECT_EQ(tags.cID3v1(), nullptr);
  tags.Init();
  ASSERT_NE(tags.cID3v1(), nullptr);
  ASSERT_NE(tags.cID3v2(), nullptr);
  tags.Resize(100, 9000);
  EXPECT_EQ(tags.Width(), 512);
  EXPECT_EQ(tags.Height(), 512);
  tags.DeInit();
  EXPECT_EQ(tags.cID3v1(), nullptr);
  EXPECT_EQ(tags.cID3v2(), nullptr);
}

}  // namespace
}  // namespace tagwell
