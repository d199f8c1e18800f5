// Tags written by independent programs (mutagen, the id3v2 tool) read by Tagwell. Each test is
// skipped where its program is missing. The other direction is mutagen_check.py.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tagwell/tagwell.h"

namespace tagwell {
namespace {

namespace fs = std::filesystem;
using airfoldex::test::CorpusDir;
using airfoldex::test::RunCommand;
using airfoldex::test::TempDir;
using airfoldex::test::WriteFileBytes;

// Debian's own Python carries python3-mutagen; the first python3 on PATH may not.
constexpr const char* kPython = "/usr/bin/python3";

bool HaveMutagen() { return RunCommand(std::string(kPython) + " -c 'import mutagen' >/dev/null 2>&1") == 0; }

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

TEST(Peers, TagsWrittenByMutagenAreRead) {
  if (!HaveMutagen()) GTEST_SKIP() << "mutagen is not installed for " << kPython;
  TempDir dir;
  const fs::path script = dir / "write.py";
  WriteFileBytes(script,
                 "import sys\n"
                 "from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, COMM, TCON, TRCK, APIC\n"
                 "path, version = sys.argv[1], int(sys.argv[2])\n"
                 "t = ID3()\n"
                 "t.add(TIT2(encoding=1, text='Caf\\u00e9 \\u20acuro'))\n"
                 "t.add(TPE1(encoding=3 if version == 4 else 1, text='Zo\\u00eb'))\n"
                 "t.add(TALB(encoding=0, text='Album'))\n"
                 "t.add(TDRC(encoding=0, text='2019'))\n"
                 "t.add(COMM(encoding=1, lang='eng', desc='', text='Comment \\u00fc'))\n"
                 "t.add(TCON(encoding=0, text='(13)'))\n"
                 "t.add(TRCK(encoding=0, text='5/9'))\n"
                 "t.add(APIC(encoding=0, mime='image/png', type=3, desc='', data=b'\\x89PNG' * 30000))\n"
                 "t.save(path, v2_version=version)\n");
  for (int version : {3, 4}) {
    const fs::path mp3 = dir / ("v" + std::to_string(version) + ".mp3");
    fs::copy_file(CorpusDir() / "mutagen" / "no-tags.mp3", mp3);
    ASSERT_EQ(RunCommand(std::string(kPython) + " " + Quote(script) + " " + Quote(mp3) + " " +
                         std::to_string(version)),
              0);
    cMP3ID3v2 v2;
    v2.setMP3File(mp3.string());
    EXPECT_EQ(v2.TagVersion(), version);
    EXPECT_EQ(v2.Title(), "Caf\xE9 \x80uro");
    EXPECT_EQ(v2.Artist(), "Zo\xEB");
    EXPECT_EQ(v2.Album(), "Album");
    EXPECT_EQ(v2.Year(), "2019");
    EXPECT_EQ(v2.Comment(), "Comment \xFC");
    EXPECT_EQ(v2.Genre(), 13);
    EXPECT_EQ(v2.Track(), "5/9");
    EXPECT_EQ(v2.FrameValue("APIC", 1).size(), 1 + 10 + 1 + 1 + 120000u);
  }
}

TEST(Peers, TagsWrittenByTheId3v2ToolAreRead) {
  if (!airfoldex::test::HaveProgram("id3v2")) GTEST_SKIP() << "id3v2 is not installed";
  TempDir dir;
  const fs::path mp3 = dir / "song.mp3";
  fs::copy_file(CorpusDir() / "mutagen" / "no-tags.mp3", mp3);
  ASSERT_EQ(
      RunCommand("id3v2 -t 'The Title' -a 'The Artist' -A 'The Album' -y 2018 -c 'A comment' -g 17 -T 4 " +
                 Quote(mp3) + " >/dev/null"),
      0);
  cMP3ID3v2 v2;
  v2.setMP3File(mp3.string());
  EXPECT_EQ(v2.TagVersion(), 3);
  EXPECT_EQ(v2.Title(), "The Title");
  EXPECT_EQ(v2.Artist(), "The Artist");
  EXPECT_EQ(v2.Album(), "The Album");
  EXPECT_EQ(v2.Year(), "2018");
  EXPECT_EQ(v2.Comment(), "A comment");
  EXPECT_EQ(v2.Genre(), 17);
  EXPECT_EQ(v2.Track(), "4");

  cMP3ID3v1 v1;
  v1.setMP3File(mp3.string());
  EXPECT_TRUE(v1.HasID3v1Tag());
  EXPECT_EQ(v1.Title(), "The Title");
  EXPECT_EQ(v1.Comment(), "A comment");
  EXPECT_EQ(v1.Genre(), 17);
  EXPECT_EQ(v1.Track(), 4);
}

}  // namespace
}  // namespace tagwell
