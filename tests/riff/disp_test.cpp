#include "riff/disp.h"

#include <gtest/gtest.h>

#include <string>

#include "riff/bytes.h"
#include "support/test_support.h"

namespace airfoldex {
namespace {

using test::CorpusDir;
using test::TempDir;
using test::WriteFileBytes;

// A DISP chunk with the size field as given, which need not match the text.
std::string Disp(uint32_t size, std::string_view text, uint32_t type = 1) {
  bytes::Writer w;
  w.raw("DISP");
  w.le32(size);  // size: type and text
  w.le32(type);  // type: 1 = text
  w.raw(text);
  return w.data();
}

TEST(DispBuild, SizeCountsTheNulAndThePadNul) {
  struct Case {
    std::string_view title;
    uint32_t size;
    std::string_view text;  // text as written, NULs included
  };
  const Case cases[] = {
      {"Sixsix", 12, std::string_view("Sixsix\0\0", 8)},  // 6 + 5 = 11, made even
      {"Fiver", 10, std::string_view("Fiver\0", 6)},
      {"", 6, std::string_view("\0\0", 2)},
      {"  Trim me\0\0", 12, std::string_view("Trim me\0", 8)},  // cleaned first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.title));
    EXPECT_EQ(BuildDispChunk(c.title), Disp(c.size, c.text));
  }
}

TEST(DispRead, EachFormFindsOnlyTheChunkInItsWindow) {
  TempDir dir;
  const std::string chunk = Disp(10, std::string_view("Title\0", 6));
  const std::string filler(30000, 'x');
  const auto nearStart = dir / "start.wav";
  const auto nearEnd = dir / "end.wav";
  const auto beforeLastWindow = dir / "second.wav";  // 8 to 16 KiB from the end
  WriteFileBytes(nearStart, std::string(100, 'x') + chunk + filler);
  WriteFileBytes(nearEnd, filler + chunk + std::string(100, 'x'));
  WriteFileBytes(beforeLastWindow, filler + chunk + std::string(12000, 'x'));

  struct Case {
    std::filesystem::path path;
    bool atStart, atEnd;
  };
  for (const Case& c :
       {Case{nearStart, true, false}, Case{nearEnd, false, true}, Case{beforeLastWindow, false, true}}) {
    SCOPED_TRACE(c.path.filename().string());
    DispRecord disp;
    ListInfoValues values;
    EXPECT_EQ(ReadDispAtStart(c.path, disp), c.atStart);
    EXPECT_EQ(disp.DispText, c.atStart ? "Title" : "");
    EXPECT_EQ(ReadDispAtEnd(c.path, disp, values), c.atEnd);
    EXPECT_EQ(disp.DispText, c.atEnd ? "Title" : "");
    if (c.atEnd) {
      EXPECT_EQ(disp.DispId, "DISP");
      EXPECT_EQ(disp.DispSize, 10);
      EXPECT_EQ(disp.DispType, 1);
    }
  }
}

TEST(DispRead, AtEndGivesAnEmptyTitleTheDispText) {
  TempDir dir;
  const auto path = dir / "end.wav";
  WriteFileBytes(path, std::string(10000, 'x') + Disp(14, std::string_view("Display\0\0\0", 10)) + "tail");

  DispRecord disp;
  ListInfoValues values;
  values.Set("TTTL", "");
  ASSERT_TRUE(ReadDispAtEnd(path, disp, values));
  EXPECT_EQ(values.Get("TTTL"), "Display");

  values.Set("TTTL", "Kept");
  ASSERT_TRUE(ReadDispAtEnd(path, disp, values));
  EXPECT_EQ(values.Get("TTTL"), "Kept");
}

TEST(DispRead, MalformedChunksNeverReadPastTheFile) {
  TempDir dir;
  struct Case {
    std::string name;
    std::string bytes;
    bool found;
    std::string text;
  };
  const Case cases[] = {
      {"size below the type", Disp(3, "abc"), false, ""},
      {"negative size", Disp(0xFFFFFFF0u, "abc"), false, ""},
      {"text past the end", Disp(0x7FFFFFF0u, "Cut off"), true, "Cut off"},
      {"header cut off", std::string("DISP\x10\0", 6), false, ""},
      {"no chunk", "nothing to see", false, ""},
      {"a picture is no title", Disp(12, "\x28\x29\x2a\x2b\x2d\x2e\x2f\x30", 8), false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir / "f.wav";
    WriteFileBytes(path, std::string(20, 'x') + c.bytes);
    DispRecord disp;
    disp.DispText = "previous file";
    Diagnostics diag;
    EXPECT_EQ(ReadDispAtStart(path, disp, &diag), c.found);
    EXPECT_EQ(disp.DispText, c.text);
  }
  DispRecord disp;
  EXPECT_FALSE(ReadDispAtStart(dir / "missing.wav", disp));
}

TEST(DispRead, CorpusFiles) {
  const auto corpus = CorpusDir();
  DispRecord disp;
  ListInfoValues values;

  // Adobe Audition's display title lies between 8 and 16 KiB before the end.
  EXPECT_FALSE(ReadDispAtStart(corpus / "music-metadata/riff_adobe_audition.wav", disp));
  ASSERT_TRUE(ReadDispAtEnd(corpus / "music-metadata/riff_adobe_audition.wav", disp, values));
  EXPECT_EQ(disp.DispText, "Display Title");
  EXPECT_EQ(disp.DispType, 1);

  // A type without text, as the last 12 bytes of the file.
  values.Clear();
  ASSERT_TRUE(ReadDispAtEnd(corpus / "chart_chunk/a6ab232/NEW1234.wav", disp, values));
  EXPECT_EQ(disp.DispSize, 4);
  EXPECT_EQ(disp.DispType, 1);
  EXPECT_EQ(disp.DispText, "");
  EXPECT_EQ(values.Get("TTTL"), "");
}

}  // namespace
}  // namespace airfoldex
