// The ID3v1 tag: the last 128 bytes of the file.
//
//   0   3  "TAG"
//   3  30  title
//  33  30  artist
//  63  30  album
//  93   4  year
//  97  28  comment            (30 bytes when byte 125 is not 0: an ID3v1.0 tag without track)
// 125   1  0
// 126   1  track
// 127   1  genre

#include <string_view>

#include "bytes.h"
#include "errors.h"
#include "file_io.h"

namespace tagwell {

namespace {

constexpr std::size_t kTagSize = 128;

// A field as read: the text ends at its first NUL (what follows is left-over bytes, not text), and
// surrounding spaces are trimmed.
std::string FieldText(std::string_view field) {
  field = field.substr(0, field.find('\0'));
  const auto first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = field.find_last_not_of(' ');
  return std::string(field.substr(first, last - first + 1));
}

}  // namespace

cMP3ID3v1::cMP3ID3v1() = default;

void cMP3ID3v1::Reset() {
  hasTag_ = false;
  title_.clear();
  artist_.clear();
  album_.clear();
  year_.clear();
  comment_.clear();
  genre_ = 255;
  track_ = 0;
}

void cMP3ID3v1::setMP3File(const std::string& path) {
  mp3File_ = path;
  Reset();
  io::File file = io::File::OpenRead(path, ErrorSource::kID3v1);
  try {
    const uint64_t size = file.Size();
    if (size <= kTagSize) return;
    const std::string tag = file.ReadAt(size - kTagSize, kTagSize);
    if (tag.size() != kTagSize || tag.compare(0, 3, "TAG") != 0) return;
    const std::string_view t(tag);
    hasTag_ = true;
    title_ = FieldText(t.substr(3, 30));
    artist_ = FieldText(t.substr(33, 30));
    album_ = FieldText(t.substr(63, 30));
    year_ = FieldText(t.substr(93, 4));
    if (t[125] == '\0') {
      comment_ = FieldText(t.substr(97, 28));
      track_ = bytes::u8(t[126]);
    } else {
      comment_ = FieldText(t.substr(97, 30));  // ID3v1.0: the comment runs to byte 127
    }
    genre_ = bytes::u8(t[127]);
  } catch (const std::exception&) {
    // A read failing after the open leaves the values reset.
  }
}

void cMP3ID3v1::Update() {
  io::File file = io::File::OpenReadWrite(mp3File_, ErrorSource::kID3v1);
  const uint64_t size = file.Size();
  if (size == 0) {
    file.Close();
    Raise(ErrorSource::kID3v1, kErrNotValidMp3, mp3File_ + " is not a valid MP3 file.");
  }
  if (size <= kTagSize) return;

  bytes::Writer w;
  w.raw("TAG");
  w.fixed(title_, 30, ' ');
  w.fixed(artist_, 30, ' ');
  w.fixed(album_, 30, ' ');
  w.fixed(year_, 4, ' ');
  if (track_ == 0 && comment_.size() > 28) {
    w.fixed(comment_, 30, ' ');  // no track to keep: the comment gets the two bytes as well
  } else {
    w.fixed(comment_, 28, ' ');
    w.byte(0);
    w.byte(track_);
  }
  w.byte(genre_);

  const std::string last = file.ReadAt(size - kTagSize, 3);
  file.WriteAt(last == "TAG" ? size - kTagSize : size, w.data());
  file.Close();
}

}  // namespace tagwell
