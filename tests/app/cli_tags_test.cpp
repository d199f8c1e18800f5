// airfoldex-cli tags: what Tagwell reads from an MP3 file, and --set writing both of its tags.

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace airfoldex {
namespace {

namespace fs = std::filesystem;
using test::CorpusDir;
using test::ReadFileBytes;
using test::RunCommand;
using test::TempDir;

struct CliRun {
  int status;
  std::string out;
};

CliRun Tags(const std::string& args, bool withStderr = false) {
  CliRun r;
  r.status =
      RunCommand(test::CliPath() + " tags " + args + (withStderr ? "" : " 2>/dev/null"), &r.out, withStderr);
  return r;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

bool HasLine(const std::string& out, const std::string& line) {
  return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

TEST(CliTags, PrintsBothTagsAndTheFrameList) {
  const auto r = Tags(Quote(CorpusDir() / "mutagen" / "silence-44-s.mp3"));
  EXPECT_EQ(r.status, 0);
  for (const char* line :
       {"HasID3v1Tag: True", "ID3v1.Title: Silence", "ID3v1.Track: 2", "ID3v1.Genre: 255",
        "HasID3v2Tag: True", "ID3v2.TagVersion: 3", "ID3v2.Artist: jzig", "ID3v2.FrameCount: 8",
        "Frame TPE1 1: piman", "Frame TPE1 2: jzig", "Frame TRCK 1: 02/10"}) {
    EXPECT_TRUE(HasLine(r.out, line)) << line << "\n" << r.out;
  }
  const auto pictures = Tags(Quote(CorpusDir() / "atldotnet" / "id3v2.3_UTF16.mp3"));
  EXPECT_TRUE(HasLine(pictures.out, "Frame APIC 1: (4719 bytes)")) << pictures.out;
  EXPECT_TRUE(HasLine(pictures.out, "Frame TXXX 2: TEST\\0xxx")) << pictures.out;
}

TEST(CliTags, SetWritesBothTagsInUtf8OutAndIn) {
  TempDir dir;
  const fs::path mp3 = dir / "song.mp3";
  fs::copy_file(CorpusDir() / "mutagen" / "no-tags.mp3", mp3);
  const auto r = Tags(Quote(mp3) +
                      " --set 'title=Café €' --set artist=Bob --set album=Alb --set year=2021"
                      " --set comment=Hi --set genre=rock --set track=3/12");
  ASSERT_EQ(r.status, 0);
  for (const char* line :
       {"HasID3v1Tag: True", "ID3v1.Title: Café €", "ID3v1.Artist: Bob", "ID3v1.Year: 2021",
        "ID3v1.Comment: Hi", "ID3v1.Track: 3", "ID3v1.Genre: 17 Rock", "HasID3v2Tag: True",
        "ID3v2.Title: Café €", "ID3v2.Album: Alb", "ID3v2.Track: 3/12", "ID3v2.Genre: 17",
        "ID3v2.OtherGenreName: Rock", "Frame TCON 1: (17)"}) {
    EXPECT_TRUE(HasLine(r.out, line)) << line << "\n" << r.out;
  }
  // A genre outside the list lives in ID3v2 only.
  const auto other = Tags(Quote(mp3) + " --set 'genre=Polka Dot'");
  EXPECT_TRUE(HasLine(other.out, "ID3v1.Genre: 255")) << other.out;
  EXPECT_TRUE(HasLine(other.out, "ID3v2.Genre: 255")) << other.out;
  EXPECT_TRUE(HasLine(other.out, "ID3v2.OtherGenreName: Polka Dot")) << other.out;
  EXPECT_EQ(Tags(Quote(mp3)).out, other.out);
}

TEST(CliTags, RefusesBadRequestsAndReportsTagwellErrors) {
  TempDir dir;
  const fs::path mp3 = dir / "song.mp3";
  fs::copy_file(CorpusDir() / "mutagen" / "no-tags.mp3", mp3);
  const std::string original = ReadFileBytes(mp3);
  for (const std::string& args :
       {std::string(), Quote(mp3) + " --set colour=red", Quote(mp3) + " --set title",
        Quote(mp3) + " --set track=x", Quote(mp3) + " --set"}) {
    EXPECT_EQ(Tags(args).status, 2) << args;
  }
  EXPECT_EQ(ReadFileBytes(mp3), original);

  const auto missing = Tags(Quote(dir / "missing.mp3"), true);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("[Tagwell.cMP3ID3v1] Error 53: File not found"), std::string::npos)
      << missing.out;
}

}  // namespace
}  // namespace airfoldex
