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
//
// A compressed or encrypted frame cannot be read here and is carried through as it stands instead:
// `body` is then everything after the frame header (decompressed size, encryption method and group
// bytes included) and `status` / `format` are the two flag bytes it is written back with, in version
// 2.3 terms. Ordinary frames have both flag bytes 0.
struct RawFrame {
  std::string id;
  std::string body;
  uint8_t status = 0;
  uint8_t format = 0;

  // A frame kept as stored bytes, whose body is no text or value this library can interpret.
  bool Opaque() const { return format != 0; }
};

struct TagLocation {
  bool found = false;
  uint64_t offset = 0;  // of "ID3"
  int version = 0;      // the major version byte
  // The bytes the header claims from offset: header, frames, padding and footer, cut at the end of the
  // file (0 when unknown: a version this reader does not know).
  uint64_t span = 0;
  // The bytes the tag really occupies from offset: the header, every frame read, and after them only
  // zero bytes (padding) up to the claimed size, then the footer when the padding reaches it. Bytes
  // the size claims but that are neither frames nor zeros (audio under a wrong size, damage) are not
  // counted, so a rewrite never goes over them.
  uint64_t occupied = 0;
};

struct ReadResult {
  TagLocation location;
  std::vector<RawFrame> frames;      // in file order
  std::vector<std::string> skipped;  // what was read but could not be kept, one line each
};

// Finds the tag from the start of the file: windows of 4,096 bytes advancing by 4,093 are searched for
// "ID3"; the search ends with a window that holds the first MPEG audio frame (a frame header with the
// next frame's header one frame length on) or an MPEG-1 Layer III frame start (FF FB), or at the end
// of the file. "ID3" anywhere but at the first byte counts only with a well-formed header (version
// and revision below FF, the four size bytes below 80) and only before the first audio frame, so
// bytes in the audio never do.
TAGWELL_EXPORT TagLocation FindTag(io::File& file);

// Finds and reads the tag. Frames that do not fit the tag, sizes beyond the file and other damage end
// or skip frames; they never fail the read.
TAGWELL_EXPORT ReadResult ReadTag(io::File& file);

// The frames of a tag: `data` is the tag after its 10-byte header. `overran` tells whether a frame
// ran past the end of the data. `framesEnd`, when given, receives the offset in `data` just after the
// last frame read whole (after the extended header when there is none; unsynchronised bytes counted
// as stored).
TAGWELL_EXPORT std::vector<RawFrame> ParseFrames(int version, uint8_t flags, std::string_view data,
                                                 std::vector<std::string>* skipped, bool* overran,
                                                 std::size_t* framesEnd = nullptr);

// A version 2.3 tag of the frames in order, followed by four zero bytes; the header's size field is
// left for WriteTag. Ids containing "ID3" are not written; UTF-8 text is written as UTF-16; opaque
// frames are written with their own flag bytes and body as they stand.
TAGWELL_EXPORT std::string RenderTag(const std::vector<RawFrame>& frames);

// Puts a rendered tag into the file: over the existing tag when that tag starts the file and the new
// one fits the space it really occupies (the rest of that space becomes zero padding), otherwise into
// a tag area of the next multiple of 2,048 bytes above the tag's length, written at the start of a
// copy of the file that replaces it. The copy keeps every byte from the end of the space an old tag at
// the file's start really occupied; a tag found further in is kept as it stands, with all around it.
// The file is locked against other writers meanwhile.
TAGWELL_EXPORT void WriteTag(const std::string& path, std::string tag,
                             const io::BeforeReplace& beforeReplace = {});

}  // namespace tagwell::id3v2
