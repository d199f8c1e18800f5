#pragma once

// Tagwell reads and writes the ID3 tags of MP3 files: the 128-byte ID3v1 tag at the end of the
// file and the ID3v2 tag at its start (versions 2.2, 2.3 and 2.4 read, version 2.3 written).
//
// A host creates one cMP3Tags, calls Init() and works through its two tag objects. Every text that
// passes between Tagwell and its host is 8-bit Windows-1252 text; file paths are the system's own
// (UTF-8 on Linux). Each call that names a file opens and closes it; nothing stays open between calls.
// Failures are thrown as tagwell::Error.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "tagwell/tagwell_export.h"

namespace tagwell {

TAGWELL_EXPORT const char* LibraryVersion();

// An error raised to the host: a number, the source ("Tagwell.cMP3ID3v1" or "Tagwell.cMP3ID3v2")
// and a description. what() reads "<source>: <description>".
class TAGWELL_EXPORT Error : public std::runtime_error {
 public:
  Error(long number, std::string source, std::string description);
  long Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  const std::string& Description() const noexcept { return description_; }

 private:
  long number_;
  std::string source_;
  std::string description_;
};

// Error numbers a host may meet.
inline constexpr long kErrInvalidArgument = 5;      // a frame id or value the store cannot take
inline constexpr long kErrOverflow = 6;             // a tag too large for the ID3v2 size field
inline constexpr long kErrSubscriptOutOfRange = 9;  // a frame or value position the store does not hold
inline constexpr long kErrTypeMismatch = 13;        // PlayCounter given text that is not a number
inline constexpr long kErrFileNotFound = 53;
inline constexpr long kErrDiskFull = 61;
inline constexpr long kErrPermissionDenied = 70;
inline constexpr long kErrPathFileAccess = 75;
inline constexpr long kErrNotValidMp3 = -2147217407;  // 0x80041001: "<path> is not a valid MP3 file."

// The name of a genre number: "Blues" for 0 ... "Synth Pop" for 147; empty for 123 and above 147.
TAGWELL_EXPORT std::string GenreName(int genre);

// The ID3v1 tag: the last 128 bytes of the file. Text fields are cut to their width when written.
class TAGWELL_EXPORT cMP3ID3v1 {
 public:
  cMP3ID3v1();
  cMP3ID3v1(const cMP3ID3v1&) = delete;
  cMP3ID3v1& operator=(const cMP3ID3v1&) = delete;

  const std::string& MP3File() const { return mp3File_; }
  // Names the file and reads its tag; the values of an earlier file or assignment are discarded.
  void setMP3File(const std::string& path);
  bool HasID3v1Tag() const { return hasTag_; }

  const std::string& Title() const { return title_; }
  void setTitle(const std::string& value) { title_ = value; }  // 30 characters in the file
  const std::string& Artist() const { return artist_; }
  void setArtist(const std::string& value) { artist_ = value; }  // 30
  const std::string& Album() const { return album_; }
  void setAlbum(const std::string& value) { album_ = value; }  // 30
  const std::string& Year() const { return year_; }
  void setYear(const std::string& value) { year_ = value; }  // 4
  // 28 characters beside a track number; 30 when Track is 0.
  const std::string& Comment() const { return comment_; }
  void setComment(const std::string& value) { comment_ = value; }
  uint8_t Track() const { return track_; }  // 0 = none
  void setTrack(uint8_t value) { track_ = value; }
  uint8_t Genre() const { return genre_; }  // 255 = none
  void setGenre(uint8_t value) { genre_ = value; }
  std::string GenreName(int genre) const { return tagwell::GenreName(genre); }

  // Writes the values into the file: over the existing tag, or appended after the last byte. A file
  // of 128 bytes or less is left as it is; an empty file raises kErrNotValidMp3.
  void Update();

 private:
  void Reset();

  std::string mp3File_;
  bool hasTag_ = false;
  std::string title_, artist_, album_, year_, comment_;
  uint8_t track_ = 0;
  uint8_t genre_ = 255;
};

// The ID3v2 tag at the start of the file, held as a frame store: an ordered list of distinct frame
// ids, each with an ordered list of values (positions count from 1). The store keeps every frame's
// bytes as read, so frames Tagwell does not interpret come back unchanged from Update().
//
// The properties read and replace their frame in the store. A frame's value as text:
//  - text frames (T...): the text; URL frames (W...): the URL; PCNT: the count in decimal;
//  - TXXX, WXXX, COMM, USLT: the text alone when the frame's description is empty, otherwise the
//    description, a NUL character and the text;
//  - every other frame (APIC, PRIV, UFID, ...): the frame's bytes as they stand;
//  - a compressed or encrypted frame: its bytes as stored. Such frames are written back unchanged
//    (flags included) and have no text for the properties.
// AddTag takes a value in the same form. Text is written as ISO-8859-1 when every character fits,
// otherwise as UTF-16 with a byte-order mark.
class TAGWELL_EXPORT cMP3ID3v2 {
 public:
  cMP3ID3v2();
  ~cMP3ID3v2();
  cMP3ID3v2(const cMP3ID3v2&) = delete;
  cMP3ID3v2& operator=(const cMP3ID3v2&) = delete;

  const std::string& MP3File() const;
  // Names the file and reads its tag; the store and the properties of an earlier file are discarded.
  void setMP3File(const std::string& path);
  bool HasID3v2Tag() const;
  int ID3v2TagVersion() const;  // the major version byte of the tag read, 0 when there was none
  int TagVersion() const { return ID3v2TagVersion(); }

  std::string Title() const;  // TIT2
  void setTitle(const std::string& value);
  std::string Artist() const;  // TPE1
  void setArtist(const std::string& value);
  std::string Album() const;  // TALB
  void setAlbum(const std::string& value);
  std::string Year() const;  // TYER (the year of TDRC when a tag has no TYER)
  void setYear(const std::string& value);
  std::string Track() const;  // TRCK
  void setTrack(const std::string& value);
  // COMM; the texts of several COMM frames are joined by a NUL character and CR LF. Setting a value
  // with that join sets one COMM frame per text, in order; a frame whose text is unchanged stays as
  // it is, so setting what was read changes no frame. A value without the join is a single comment.
  std::string Comment() const;
  void setComment(const std::string& value);
  // TCON "(17)Rock": Genre 17 (255 = none), OtherGenreName the text after the number, or the genre's
  // name when that text is shorter than two characters; a TCON without a number is OtherGenreName.
  uint8_t Genre() const;
  void setGenre(uint8_t value);
  std::string OtherGenreName() const;
  void setOtherGenreName(const std::string& value);
  std::string GenreName(int genre) const { return tagwell::GenreName(genre); }
  std::string EncodedBy() const;  // TENC
  void setEncodedBy(const std::string& value);
  std::string Composer() const;  // TCOM
  void setComposer(const std::string& value);
  std::string OriginalArtist() const;  // TOPE
  void setOriginalArtist(const std::string& value);
  std::string Copyright() const;  // TCOP
  void setCopyright(const std::string& value);
  std::string PlayCounter() const;  // PCNT, in decimal
  void setPlayCounter(const std::string& value);
  std::string LinkTo() const;  // WXXX
  void setLinkTo(const std::string& value);
  std::string AudioURL() const;  // WOAF
  void setAudioURL(const std::string& value);
  std::string ArtistURL() const;  // WOAR
  void setArtistURL(const std::string& value);
  std::string BuyURL() const;  // WCOM
  void setBuyURL(const std::string& value);
  std::string Lyrics() const;  // USLT
  void setLyrics(const std::string& value);

  // Appends a value to a frame (a new id goes to the end of the id list). Frame ids are four
  // letters or digits; lower-case letters are taken as upper case everywhere.
  void AddTag(const std::string& sFrame, const std::string& sTag);
  void RemoveFrame(const std::string& frame);
  // Removes one value; the rest move up. A frame left without values is removed.
  void RemoveTag(const std::string& sFrame, int tagIndex);
  int FrameCount() const;
  std::string Frame(int index) const;
  int TagsInFrame(const std::string& frame) const;  // 0 for a frame the store does not hold
  std::string FrameValue(const std::string& frame, int n) const;

  // Writes the store as an ID3v2.3 tag: over the existing tag when that tag starts the file and the
  // new one fits into the space it really occupies (frames and zero padding), otherwise into a copy
  // of the file with a larger tag area at its start that then replaces the file; the audio is never
  // written over. On failure the file keeps its earlier content. Reading and writing lock the file
  // against other writers; a lock held elsewhere for over a second raises Permission denied.
  void Update();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The control a host owns: it holds one object of each tag class from Init() to DeInit().
class TAGWELL_EXPORT cMP3Tags {
 public:
  cMP3Tags();
  ~cMP3Tags();
  cMP3Tags(const cMP3Tags&) = delete;
  cMP3Tags& operator=(const cMP3Tags&) = delete;

  void Init();    // fresh objects in both properties
  void DeInit();  // both properties become nullptr

  cMP3ID3v1* cID3v1() const { return id3v1_.get(); }
  cMP3ID3v2* cID3v2() const { return id3v2_.get(); }

  // The control has no visible interface; it keeps its size of 512 x 512 twips whatever it is given.
  static constexpr int kSizeTwips = 512;
  void Resize(int /*width*/, int /*height*/) {}
  int Width() const { return kSizeTwips; }
  int Height() const { return kSizeTwips; }

 private:
  std::unique_ptr<cMP3ID3v1> id3v1_;
  std::unique_ptr<cMP3ID3v2> id3v2_;
};

}  // namespace tagwell
