#pragma once

// The ID3v2 tag as bytes: finding it in a file, reading its frames (versions 2.2, 2.3, 2.4) and
// writing a version 2.3 tag back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "tagwell/tagwell_export.h"

namespace tagwell::id3v2 {

inline constexpr std::size_t kHeaderSize = 10;

// One frame as stored: the version 2.3 id and the frame's data after its header, with any
// unsynchronisation, grouping byte and data-length indicator removed.
struct RawFrame {
  std::string id;
  std::string body;
};

struct TagLocation {
  bool found = false;
  uint64_t offset = 0;  // of "ID3"
  int version = 0;      // the major version byte
  // The bytes the tag occupies from offset: header, frames, padding and footer (0 when unknown: a
  // version this reader does not know).
  uint64_t span = 0;
};

struct ReadResult {
  TagLocation location;
  std::vector<RawFrame> frames;      // in file order
  std::vector<std::string> skipped;  // what was read but could not be kept, one line each
};

// Finds the tag from the start of the file: windows of 4,096 bytes advancing by 4,093 are searched for
// "ID3"; the search ends at a window holding an MPEG-1 Layer III frame start (FF FB) but no "ID3",
// or at the end of the file. "ID3" anywhere but at the first byte counts only with a well-formed header
// (version and revision below FF, the four size bytes below 80), so stray bytes in audio do not.
TAGWELL_EXPORT TagLocation FindTag(io::File& file);

// Finds and reads the tag. Frames that do not fit the tag, sizes beyond the file and other damage end
// or skip frames; they never fail the read.
TAGWELL_EXPORT ReadResult ReadTag(io::File& file);

// The frames of a tag: `data` is the tag after its 10-byte header. `overran` tells whether a frame
// ran past the end of the data.
TAGWELL_EXPORT std::vector<RawFrame> ParseFrames(int version, uint8_t flags, std::string_view data,
                                                 std::vector<std::string>* skipped, bool* overran);

// A version 2.3 tag of the frames in order, followed by four zero bytes; the header's size field is
// left for WriteTag. Ids containing "ID3" are not written; UTF-8 text is written as UTF-16.
TAGWELL_EXPORT std::string RenderTag(const std::vector<RawFrame>& frames);

// Puts a rendered tag into the file: over the existing tag when it fits the space that tag occupies
// (the rest of that space becomes zero padding), otherwise into a tag area of the next multiple of
// 2,048 bytes above the tag's length, written at the start of a copy of the file that replaces it
// (the old tag is dropped when it was at the file's start, kept as it stands otherwise).
TAGWELL_EXPORT void WriteTag(const std::string& path, std::string tag,
                             const io::BeforeReplace& beforeReplace = {});

}  // namespace tagwell::id3v2
