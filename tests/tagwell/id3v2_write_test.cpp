// cMP3ID3v2 writing: the frame store, the frame layouts the setters write, the tag area in place
// or enlarged through a copy, and the original left untouched when the copy fails.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "id3v2_tag.h"
#include "tag_fixtures.h"
#include "tagwell/tagwell.h"

namespace tagwell {
namespace {

namespace fs = std::filesystem;
using airfoldex::test::PatternAudio;
using airfoldex::test::ReadFileBytes;
using airfoldex::test::TempDir;
using airfoldex::test::WriteFileBytes;
using test::Audio;
using test::Frame;
using test::Tag;
using namespace std::string_literals;

// The frames of the tag at the start of a file, as written (ids and bodies).
std::vector<id3v2::RawFrame> WrittenFrames(const fs::path& file) {
  const std::string bytes = ReadFileBytes(file);
  EXPECT_EQ(bytes.substr(0, 6), "ID3\x03\0\0"s);
  const uint32_t size = (uint32_t(bytes[6]) << 21) | (uint32_t(bytes[7]) << 14) | (uint32_t(bytes[8]) << 7) |
                        uint32_t(bytes[9]);
  bool overran = false;
  auto frames = id3v2::ParseFrames(3, 0, std::string_view(bytes).substr(10, size), nullptr, &overran);
  EXPECT_FALSE(overran);
  return frames;
}

std::string Body(const std::vector<id3v2::RawFrame>& frames, const std::string& id) {
  for (const auto& f : frames) {
    if (f.id == id) return f.body;
  }
  return "(missing)";
}

class WriteTest : public ::testing::Test {
 protected:
  fs::path File(const std::string& bytes) {
    WriteFileBytes(path_, bytes);
    v2_.setMP3File(path_.string());
    return path_;
  }
  cMP3ID3v2& Reread() {
    v2_.setMP3File(path_.string());
    return v2_;
  }

  TempDir dir_;
  fs::path path_ = dir_ / "song.mp3";
  cMP3ID3v2 v2_;
};

TEST_F(WriteTest, AnUntaggedFileGetsA2048ByteTagAreaBeforeItsAudio) {
  const std::string audio = Audio();
  File(audio);
  v2_.setTitle("Hello");
  v2_.Update();

  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048 + audio.size());
  // The header size is syncsafe and leaves out the 10-byte header.
  EXPECT_EQ(bytes.substr(0, 10), "ID3\x03\0\0"s + test::Syncsafe(2038));
  EXPECT_EQ(bytes.substr(10, 16), "TIT2"s + test::Be(6, 4) + "\0\0"s + "\0Hello"s);
  EXPECT_EQ(bytes.substr(26, 2048 - 26), std::string(2048 - 26, '\0'));
  EXPECT_TRUE(bytes.substr(2048) == audio);
  EXPECT_EQ(Reread().Title(), "Hello");
}

TEST_F(WriteTest, TheAreaIsTheNextMultipleOf2048AboveTheTag) {
  // header 10 + frame header 10 + encoding byte + title + four zero bytes
  const std::pair<std::size_t, std::size_t> cases[] = {{2022, 2048}, {2023, 4096}, {6000, 6144}};
  for (const auto& [titleLength, area] : cases) {
    const std::string audio = Audio();
    File(audio);
    v2_.setTitle(std::string(titleLength, 'a'));
    v2_.Update();
    const std::string bytes = ReadFileBytes(path_);
    EXPECT_EQ(bytes.size(), area + audio.size()) << titleLength;
    EXPECT_TRUE(bytes.substr(area) == audio);
  }
}

TEST_F(WriteTest, ATagThatFitsIsRewrittenInPlace) {
  const std::string audio = Audio();
  File(Tag(3, Frame(3, "TIT2", "\0Old title"s) + Frame(3, "TPE1", "\0Old artist"s), 1000) + audio);
  const std::size_t size = fs::file_size(path_);
  v2_.setArtist("New");
  v2_.Update();

  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), size);
  EXPECT_EQ(bytes.substr(6, 4), test::Syncsafe(static_cast<uint32_t>(size - audio.size() - 10)));
  EXPECT_TRUE(bytes.substr(size - audio.size()) == audio);
  EXPECT_EQ(Reread().Artist(), "New");
  EXPECT_EQ(v2_.Title(), "Old title");
  EXPECT_EQ(v2_.FrameCount(), 2);
}

TEST_F(WriteTest, ATagThatDoesNotFitMovesTheAudioAndKeepsThePermissions) {
  const std::string audio = Audio();
  File(Tag(3, Frame(3, "TIT2", "\0Old"s)) + audio);
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  v2_.setLyrics(std::string(3000, 'l'));
  v2_.Update();

  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 4096 + audio.size());  // the old tag gave way
  EXPECT_TRUE(bytes.substr(4096) == audio);
  EXPECT_EQ(fs::status(path_).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Reread().Lyrics(), std::string(3000, 'l'));
  EXPECT_EQ(v2_.Title(), "Old");
}

// A size field read as a plain number would make this tag (200 bytes) look like 328: a new tag of
// 300 bytes must not go over the audio behind the real one.
TEST_F(WriteTest, RegressionATagIsRewrittenInPlaceOnlyWithinTheSpaceItReallyOccupies) {
  const std::string audio = Audio();
  const std::string frames = Frame(3, "TIT2", "\0T"s);
  File(Tag(3, frames, 200 - frames.size()) + audio);
  v2_.setTitle(std::string(280, 'n'));
  v2_.Update();

  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048 + audio.size());
  EXPECT_TRUE(bytes.substr(2048) == audio);
}

// A size field with a top bit set is no syncsafe number; read plainly it reaches far past the frames,
// over the audio. The tag occupies only its frames and the zeros after them; whether the new tag fits
// there or not, the audio stays.
TEST_F(WriteTest, RegressionASizeThatIsNotSyncsafeNeverZeroesTheAudio) {
  const std::string audio = Audio();
  const std::string frames = Frame(3, "TIT2", "\0Old"s) + Frame(3, "TPE1", "\0Artist"s);
  const std::string file = "ID3\x03\0\0\x00\x01\x80\x00"s + frames + std::string(20, '\0') + audio;
  const std::pair<std::string, std::size_t> cases[] = {
      {"New", file.size()},                          // fits over the frames and zeros
      {std::string(500, 'n'), 2048 + audio.size()},  // does not: a new area, the audio after it
  };
  for (const auto& [title, size] : cases) {
    File(file);
    ASSERT_TRUE(v2_.HasID3v2Tag());
    v2_.setTitle(title);
    v2_.Update();
    const std::string bytes = ReadFileBytes(path_);
    ASSERT_EQ(bytes.size(), size) << title.size();
    EXPECT_TRUE(bytes.substr(bytes.size() - audio.size()) == audio) << title.size();
    EXPECT_EQ(Reread().Title(), title);
    EXPECT_EQ(v2_.Artist(), "Artist");
  }
}

// Bytes between the frames and the claimed size that are not zero (here the audio, under a size too
// large) are kept when the new tag needs more room.
TEST_F(WriteTest, RegressionOnlyZeroPaddingCountsAsTagSpace) {
  const std::string audio = Audio();
  const std::string frames = Frame(3, "TIT2", "\0T"s);
  const std::string tagPart = frames + std::string(30, '\0');
  File("ID3\x03\0\0"s + test::Syncsafe(static_cast<uint32_t>(tagPart.size() + 300)) + tagPart + audio);
  v2_.setTitle(std::string(100, 'n'));
  v2_.Update();
  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048 + audio.size());
  EXPECT_TRUE(bytes.substr(2048) == audio);
}

// A tag further into the file is never rewritten where it stands, even when the new tag would fit:
// what lies before it is of unknown purpose and other readers look for the tag at the start.
TEST_F(WriteTest, RegressionATagAwayFromTheStartIsNotRewrittenInPlace) {
  const std::string original = "\x01\x02\x03 not audio"s + Tag(3, Frame(3, "TIT2", "\0Old"s), 1000) + Audio();
  File(original);
  ASSERT_TRUE(v2_.HasID3v2Tag());
  v2_.setTitle("New");
  v2_.Update();
  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048 + original.size());
  EXPECT_TRUE(bytes.substr(2048) == original);
  EXPECT_EQ(Reread().Title(), "New");
}

// Audio that holds tag-like bytes within its first 4 KB: no tag is found there, and the new tag goes
// in front of the unchanged audio.
TEST_F(WriteTest, RegressionATagInsideTheAudioIsLeftAlone) {
  std::string audio;
  for (int i = 0; i < 6; ++i) audio += "\xFF\xFB\x90\x64"s + std::string(413, 'a');  // 417-byte frames
  const std::string inside = Tag(3, Frame(3, "TIT2", "\0Inside"s), 200);
  audio.replace(2047, inside.size(), inside);
  File(audio);
  EXPECT_FALSE(v2_.HasID3v2Tag());
  v2_.setTitle("New");
  v2_.Update();
  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048 + audio.size());
  EXPECT_TRUE(bytes.substr(2048) == audio);
  EXPECT_EQ(Reread().Title(), "New");
}

// Compressed and encrypted frames are written back with their bytes and flags; version 2.4 ones in
// the version 2.3 layout (decompressed size plain, method and group bytes in 2.3 order, data
// resynchronised). One that has no 2.3 form stays as it was rather than being lost.
TEST_F(WriteTest, RegressionCompressedAndEncryptedFramesSurviveAnUpdate) {
  struct Case {
    int version;
    uint16_t flags;  // status byte, format byte
    std::string body;
    uint8_t status;
    uint8_t format;
    std::string written;
  } cases[] = {
      {3, 0x2080, test::Be(100, 4) + "zlib\xFF\x00"s, 0x20, 0x80, test::Be(100, 4) + "zlib\xFF\x00"s},
      {3, 0x0060, "MGsecret", 0x00, 0x60, "MGsecret"},
      {4, 0x4009, test::Syncsafe(1000) + "zlib", 0x80, 0x80, test::Be(1000, 4) + "zlib"},
      {4, 0x0045, "GM"s + test::Syncsafe(6) + "secret", 0x00, 0x60, "MGsecret"},
      {4, 0x000B, test::Syncsafe(9) + "\xFF\x00\xE0z"s, 0x00, 0x80, test::Be(9, 4) + "\xFF\xE0z"s},
      {4, 0x0008, "no size", 0x00, 0x08, "no size"},
  };
  for (const auto& c : cases) {
    File(Tag(c.version, Frame(c.version, "TIT2", "\0Plain"s) + Frame(c.version, "PRIV", c.body, c.flags)) +
         Audio());
    v2_.setArtist("New");
    v2_.Update();
    const auto frames = WrittenFrames(path_);
    ASSERT_EQ(frames.size(), 3u) << c.flags;
    EXPECT_EQ(frames[1].id, "PRIV");
    EXPECT_EQ(frames[1].status, c.status) << c.flags;
    EXPECT_EQ(frames[1].format, c.format) << c.flags;
    EXPECT_EQ(frames[1].body, c.written) << c.flags;
    EXPECT_EQ(Reread().Title(), "Plain");
  }
}

// The Comment getter joins several COMM frames; setting what it returned must not fold them into
// one frame with a description made of the first text.
TEST_F(WriteTest, RegressionWritingBackTheCommentChangesNoFrame) {
  const std::string first =
      "\0eng"
      "desc\0first"s;
  const std::string second =
      "\x01"
      "deu\xFF\xFE\0\0\xFF\xFEs\0"s;
  const std::string third = "\0eng\0third"s;
  const std::string join("\0\r\n", 3);
  const struct {
    std::string value;  // empty: the value the getter returned
    std::vector<std::string> bodies;
  } cases[] = {
      {"", {first, second, third}},
      {"first" + join + "changed" + join + "third", {first, "\0eng\0changed"s, third}},
      {"first" + join + "s", {first, second}},
      {"first" + join + "s" + join + "third" + join + "more", {first, second, third, "\0eng\0more"s}},
      {"plain", {"\0eng\0plain"s}},
  };
  for (const auto& c : cases) {
    File(Tag(3, Frame(3, "COMM", first) + Frame(3, "COMM", second) + Frame(3, "COMM", third)) + Audio());
    ASSERT_EQ(v2_.Comment(), "first" + join + "s" + join + "third");
    v2_.setComment(c.value.empty() ? v2_.Comment() : c.value);
    v2_.Update();
    std::vector<std::string> bodies;
    for (const auto& f : WrittenFrames(path_)) bodies.push_back(f.body);
    EXPECT_EQ(bodies, c.bodies) << c.value;
  }
}

#if !defined(_WIN32)
// Another program's lock on the file: reads wait for a writer, writes for anyone; neither waits for
// ever, and a refused write leaves the file as it was.
TEST_F(WriteTest, RegressionAFileLockedByAnotherProgramIsRefusedWithinASecondOrTwo) {
  const std::string original = Tag(3, Frame(3, "TIT2", "\0Old"s), 100) + Audio();
  File(original);
  v2_.setTitle("New");
  const struct {
    int lock;
    bool readRefused;
  } cases[] = {{LOCK_EX, true}, {LOCK_SH, false}};
  for (const auto& c : cases) {
    const int fd = ::open(path_.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, c.lock), 0);
    const auto started = std::chrono::steady_clock::now();
    try {
      v2_.Update();
      ADD_FAILURE() << "the locked file was written";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), kErrPermissionDenied);
      EXPECT_EQ(e.Source(), "Tagwell.cMP3ID3v2");
    }
    cMP3ID3v2 reader;
    if (c.readRefused) {
      EXPECT_THROW(reader.setMP3File(path_.string()), Error);
    } else {
      reader.setMP3File(path_.string());
      EXPECT_EQ(reader.Title(), "Old");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    ::close(fd);
    EXPECT_TRUE(ReadFileBytes(path_) == original);
  }
  v2_.Update();  // free again
  EXPECT_EQ(Reread().Title(), "New");
}

// The copy that replaces the file keeps its owner and group (where this process may set them).
TEST_F(WriteTest, RegressionTheReplacementKeepsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only a privileged process can give a file to another owner";
  File(Audio());
  ASSERT_EQ(::chown(path_.c_str(), 4321, 4322), 0);
  v2_.setTitle("New");
  v2_.Update();
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(Reread().Title(), "New");
}
#endif

// A file system failure while the copy replaces the file is a tagwell::Error like any other, never
// a std::filesystem exception, and leaves no temporary file behind.
TEST_F(WriteTest, RegressionAFileSystemFailureWhileReplacingRaisesATagwellError) {
  File(Audio());
  io::File source = io::File::OpenRead(path_.string(), ErrorSource::kID3v2);
  fs::remove(path_);  // the file goes while open; nothing can be stat'ed or replaced
  try {
    io::ReplaceHead(source, "head", 0);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Source(), "Tagwell.cMP3ID3v2");
  } catch (const std::exception& e) {
    ADD_FAILURE() << "escaped: " << e.what();
  }
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

TEST_F(WriteTest, ATagBehindOtherBytesIsLeftAndTheNewOneGoesFirst) {
  const std::string garbage = "\x01\x02\x03 not audio";
  const std::string original = garbage + Tag(3, Frame(3, "TIT2", "\0Old"s)) + Audio();
  File(original);
  ASSERT_TRUE(v2_.HasID3v2Tag());
  v2_.setTitle(std::string(500, 'x'));
  v2_.Update();
  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048 + original.size());
  EXPECT_TRUE(bytes.substr(2048) == original);
  EXPECT_EQ(Reread().Title(), std::string(500, 'x'));
}

// Frames Tagwell does not interpret, and UTF-16 text, come back byte for byte whatever their size;
// version 2.4 frames lose only their data-length indicator.
TEST_F(WriteTest, FramesSurviveAnUpdateByteForByte) {
  const std::string picture = "\0image/png\0\x03\0"s + PatternAudio(100000);
  const std::string utf16 =
      "\x01\xFF\xFE"
      "A\0r\0t\0\xAC\x20"s;
  const std::string priv = "owner@example\0\x00\xFF\x10"s;
  for (int version : {3, 4}) {
    const std::string apic = version == 4 ? Frame(4, "APIC", test::Syncsafe(picture.size()) + picture, 0x0001)
                                          : Frame(3, "APIC", picture);
    File(Tag(version, Frame(version, "TPE1", utf16) + apic + Frame(version, "PRIV", priv)) + Audio());
    v2_.setTitle("New");
    v2_.Update();

    const auto frames = WrittenFrames(path_);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(Body(frames, "TPE1"), utf16);
    EXPECT_TRUE(Body(frames, "APIC") == picture);
    EXPECT_EQ(Body(frames, "PRIV"), priv);
    // Frames larger than 65,535 bytes carry their plain 32-bit size.
    const std::string bytes = ReadFileBytes(path_);
    EXPECT_NE(bytes.find("APIC"s + test::Be(static_cast<uint32_t>(picture.size()), 4) + "\0\0"s),
              std::string::npos);
    EXPECT_EQ(Reread().Artist(), "Art\x80");
  }
}

// Version 2.3 has no UTF-8; readers that meet it there misparse the rest of the tag. The same
// characters go out as UTF-16, descriptions included, with URLs and picture data as they were.
TEST_F(WriteTest, RegressionUtf8TextIsWrittenAsUtf16) {
  const std::pair<std::string, std::string> cases[] = {
      {Frame(4, "TALB",
             "\x03"
             "Caf\xC3\xA9 \xE7\x88\xB6"s),
       "\x01\xFF\xFE"
       "C\0a\0f\0\xE9\0 \0\x36\x72"s},
      {Frame(4, "TXXX",
             "\x03"
             "d\xC3\xA9\0v\0"s),
       "\x01\xFF\xFE"
       "d\0\xE9\0\0\0\xFF\xFEv\0\0\0"s},
      {Frame(4, "COMM",
             "\x03"
             "eng\0Hi"s),
       "\x01"
       "eng\xFF\xFE\0\0\xFF\xFEH\0i\0"s},
      {Frame(4, "WXXX",
             "\x03"
             "\xC3\xA9\0http://x.example/"s),
       "\x01\xFF\xFE\xE9\0\0\0http://x.example/"s},
      {Frame(4, "APIC",
             "\x03"
             "image/png\0\x03\xC3\xA9\0\x89PNG"s),
       "\x01"
       "image/png\0\x03\xFF\xFE\xE9\0\0\0\x89PNG"s},
  };
  for (const auto& [frame, written] : cases) {
    File(Tag(4, frame) + Audio());
    const std::string before = v2_.FrameValue(v2_.Frame(1), 1);
    v2_.Update();
    const auto frames = WrittenFrames(path_);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].body, written) << frames[0].id;
    if (frames[0].id != "APIC") {
      EXPECT_EQ(Reread().FrameValue(frames[0].id, 1), before) << frames[0].id;
    }
  }
}

TEST_F(WriteTest, SettersWriteTheStandardFrameLayouts) {
  struct Case {
    void (cMP3ID3v2::*set)(const std::string&);
    std::string (cMP3ID3v2::*get)() const;
    std::string value;
    std::string id;
    std::string body;
  } cases[] = {
      {&cMP3ID3v2::setTitle, &cMP3ID3v2::Title, "Caf\xE9", "TIT2", "\0Caf\xE9"s},
      {&cMP3ID3v2::setArtist, &cMP3ID3v2::Artist, "\x80uro", "TPE1", "\x01\xFF\xFE\xAC\x20u\0r\0o\0"s},
      {&cMP3ID3v2::setYear, &cMP3ID3v2::Year, "2020", "TYER",
       "\0"
       "2020"s},
      {&cMP3ID3v2::setComment, &cMP3ID3v2::Comment, "Nice", "COMM", "\0eng\0Nice"s},
      {&cMP3ID3v2::setComment, &cMP3ID3v2::Comment, "\x93Hi\x94", "COMM",
       "\x01"
       "eng\xFF\xFE\0\0\xFF\xFE\x1C\x20H\0i\0\x1D\x20"s},
      {&cMP3ID3v2::setLyrics, &cMP3ID3v2::Lyrics, "La la", "USLT", "\0eng\0La la"s},
      {&cMP3ID3v2::setLinkTo, &cMP3ID3v2::LinkTo, "http://x.example/", "WXXX", "\0\0http://x.example/"s},
      {&cMP3ID3v2::setAudioURL, &cMP3ID3v2::AudioURL, "http://a.example/", "WOAF", "http://a.example/"},
      {&cMP3ID3v2::setBuyURL, &cMP3ID3v2::BuyURL, "http://b.example/", "WCOM", "http://b.example/"},
      {&cMP3ID3v2::setPlayCounter, &cMP3ID3v2::PlayCounter, "258", "PCNT", "\0\0\x01\x02"s},
      {&cMP3ID3v2::setPlayCounter, &cMP3ID3v2::PlayCounter, "4294967296", "PCNT", "\x01\0\0\0\0"s},
      {&cMP3ID3v2::setTrack, &cMP3ID3v2::Track, "3/12", "TRCK",
       "\0"
       "3/12"s},
  };
  for (const auto& c : cases) {
    File(Audio());
    (v2_.*c.set)(c.value);
    v2_.Update();
    EXPECT_EQ(Body(WrittenFrames(path_), c.id), c.body) << c.id << " " << c.value;
    EXPECT_EQ((Reread().*c.get)(), c.value) << c.id;
  }
}

TEST_F(WriteTest, GenreAndOtherGenreNameShareTcon) {
  File(Audio());
  v2_.setOtherGenreName("Rock");
  EXPECT_EQ(v2_.FrameValue("TCON", 1), "Rock");  // no "(255)" for a missing number
  v2_.setGenre(17);
  EXPECT_EQ(v2_.FrameValue("TCON", 1), "(17)Rock");
  v2_.setOtherGenreName("");
  EXPECT_EQ(v2_.FrameValue("TCON", 1), "(17)");
  EXPECT_EQ(v2_.OtherGenreName(), "Rock");
  // The name that only stood for the old number does not stay with the new one.
  v2_.setGenre(3);
  EXPECT_EQ(v2_.FrameValue("TCON", 1), "(3)");
  EXPECT_EQ(v2_.OtherGenreName(), "Dance");
  v2_.setGenre(255);
  EXPECT_EQ(v2_.TagsInFrame("TCON"), 0);
}

TEST_F(WriteTest, TheFrameStore) {
  File(Audio());
  v2_.AddTag("TXXX",
             "Intro\0"
             "08500"s);
  v2_.AddTag("tit2", "One");
  v2_.AddTag("TXXX", "Second");
  v2_.AddTag("TIT2", "Two");
  EXPECT_EQ(v2_.FrameCount(), 2);
  EXPECT_EQ(v2_.Frame(1), "TXXX");
  EXPECT_EQ(v2_.Frame(2), "TIT2");
  EXPECT_EQ(v2_.TagsInFrame("TIT2"), 2);
  EXPECT_EQ(v2_.FrameValue("TXXX", 1),
            "Intro\0"
            "08500"s);

  v2_.RemoveTag("TIT2", 1);
  EXPECT_EQ(v2_.FrameValue("TIT2", 1), "Two");
  v2_.RemoveTag("TIT2", 1);
  EXPECT_EQ(v2_.FrameCount(), 1);
  EXPECT_EQ(v2_.TagsInFrame("TIT2"), 0);
  v2_.RemoveFrame("TXXX");
  EXPECT_EQ(v2_.FrameCount(), 0);

  v2_.AddTag("TXXX",
             "Intro\0"
             "08500"s);
  v2_.Update();
  EXPECT_EQ(Body(WrittenFrames(path_), "TXXX"),
            "\0Intro\0"
            "08500"s);
  EXPECT_EQ(Reread().FrameValue("TXXX", 1),
            "Intro\0"
            "08500"s);
}

TEST_F(WriteTest, LookupsOutsideTheStoreRaiseErrors) {
  File(Tag(3, Frame(3, "TIT2", "\0Only"s)) + Audio());
  const std::pair<std::function<void()>, long> cases[] = {
      {[&] { v2_.RemoveFrame("TPE1"); }, kErrInvalidArgument},
      {[&] { v2_.RemoveTag("TPE1", 1); }, kErrInvalidArgument},
      {[&] { v2_.RemoveTag("TIT2", 2); }, kErrSubscriptOutOfRange},
      {[&] { v2_.Frame(0); }, kErrSubscriptOutOfRange},
      {[&] { v2_.Frame(2); }, kErrSubscriptOutOfRange},
      {[&] { v2_.FrameValue("TIT2", 2); }, kErrSubscriptOutOfRange},
      {[&] { v2_.FrameValue("TPE1", 1); }, kErrInvalidArgument},
      {[&] { v2_.AddTag("TT2", "x"); }, kErrInvalidArgument},
      {[&] { v2_.AddTag("TIT2!", "x"); }, kErrInvalidArgument},
      {[&] { v2_.setPlayCounter("many"); }, kErrTypeMismatch},
  };
  for (const auto& [call, number] : cases) {
    try {
      call();
      ADD_FAILURE() << "no error for case " << number;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), number);
      EXPECT_EQ(e.Source(), "Tagwell.cMP3ID3v2");
    }
  }
  EXPECT_EQ(v2_.FrameCount(), 1);
  EXPECT_EQ(v2_.Title(), "Only");
}

TEST_F(WriteTest, AFailureBeforeTheRenameLeavesTheOriginalUntouched) {
  const std::string original = Tag(3, Frame(3, "TIT2", "\0Old"s)) + Audio();
  File(original);
  const std::string tag = id3v2::RenderTag({{"TIT2", "\0" + std::string(3000, 'n')}});
  fs::path seen;
  try {
    id3v2::WriteTag(path_.string(), tag, [&](const fs::path& temporary) {
      seen = temporary;
      EXPECT_EQ(fs::file_size(temporary), 4096 + original.size() - 24);  // complete before the rename
      throw Error(kErrPathFileAccess, "test", "injected failure");
    });
    FAIL() << "the injected failure was swallowed";
  } catch (const Error& e) {
    EXPECT_EQ(e.Description(), "injected failure");
  }
  EXPECT_EQ(seen.parent_path(), dir_.path());  // a copy beside the original, so the rename is atomic
  EXPECT_TRUE(ReadFileBytes(path_) == original);
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(dir_.path())) left.push_back(entry.path());
  EXPECT_EQ(left, std::vector<fs::path>{path_});
}

TEST_F(WriteTest, UpdateOfAMissingFileRaisesAndCreatesNothing) {
  v2_.setTitle("x");
  try {
    v2_.Update();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrFileNotFound);
    EXPECT_EQ(e.Source(), "Tagwell.cMP3ID3v2");
  }
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

}  // namespace
}  // namespace tagwell
