#include "id3v2_tag.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "bytes.h"
#include "frames.h"

namespace tagwell::id3v2 {

namespace {

constexpr std::size_t kWindow = 4096;
constexpr std::size_t kWindowStep = 4093;  // windows overlap so that a marker split between two is seen
constexpr std::size_t kAreaStep = 2048;

// Header flags.
constexpr uint8_t kTagUnsync = 0x80;
constexpr uint8_t kTagExtended = 0x40;  // 2.3 and 2.4; in 2.2 the same bit means a compressed tag
constexpr uint8_t kTagFooter = 0x10;    // 2.4

// Frame format flags.
constexpr uint8_t kV23Compressed = 0x80;
constexpr uint8_t kV23Encrypted = 0x40;
constexpr uint8_t kV23Grouped = 0x20;
constexpr uint8_t kV23Undefined = 0x1F;
constexpr uint8_t kV24Grouped = 0x40;
constexpr uint8_t kV24Compressed = 0x08;
constexpr uint8_t kV24Encrypted = 0x04;
constexpr uint8_t kV24Unsync = 0x02;
constexpr uint8_t kV24DataLength = 0x01;

// Version 2.2 ids and their version 2.3 names. PIC is converted separately; other 2.2 ids are dropped.
constexpr std::array<std::pair<std::string_view, std::string_view>, 56> kV22Ids = {{
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"},
    {"TP4", "TPE4"}, {"TCM", "TCOM"}, {"TXT", "TEXT"}, {"TLA", "TLAN"}, {"TCO", "TCON"}, {"TAL", "TALB"},
    {"TPA", "TPOS"}, {"TRK", "TRCK"}, {"TRC", "TSRC"}, {"TYE", "TYER"}, {"TDA", "TDAT"}, {"TIM", "TIME"},
    {"TRD", "TRDA"}, {"TMT", "TMED"}, {"TFT", "TFLT"}, {"TBP", "TBPM"}, {"TCR", "TCOP"}, {"TPB", "TPUB"},
    {"TEN", "TENC"}, {"TSS", "TSSE"}, {"TOF", "TOFN"}, {"TLE", "TLEN"}, {"TSI", "TSIZ"}, {"TDY", "TDLY"},
    {"TKE", "TKEY"}, {"TOT", "TOAL"}, {"TOA", "TOPE"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TXX", "TXXX"},
    {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"},
    {"WXX", "WXXX"}, {"COM", "COMM"}, {"ULT", "USLT"}, {"UFI", "UFID"}, {"CNT", "PCNT"}, {"POP", "POPM"},
    {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"TCP", "TCMP"}, {"TST", "TSOT"}, {"TSA", "TSOA"}, {"TSP", "TSOP"},
    {"TS2", "TSO2"}, {"TSC", "TSOC"},
}};

bool IsIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool IsValidId(std::string_view id) { return std::all_of(id.begin(), id.end(), IsIdChar); }
bool IsAlnumId(std::string_view id) {
  return std::all_of(id.begin(), id.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Undoes unsynchronisation: every FF 00 becomes FF.
std::string Resync(std::string_view data) {
  std::string out;
  out.reserve(data.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    out.push_back(data[i]);
    if (static_cast<uint8_t>(data[i]) == 0xFF && i + 1 < data.size() && data[i + 1] == '\0') ++i;
  }
  return out;
}

// The offset in unsynchronised `data` of byte `resynced` of its resynchronised form.
std::size_t StoredOffset(std::string_view data, std::size_t resynced) {
  std::size_t i = 0;
  for (std::size_t out = 0; out < resynced && i < data.size(); ++out) {
    const bool pair = static_cast<uint8_t>(data[i]) == 0xFF && i + 1 < data.size() && data[i + 1] == '\0';
    i += pair ? 2 : 1;
  }
  return i;
}

// Where the zero bytes that start at `from` end.
std::size_t ZerosEnd(std::string_view data, std::size_t from) {
  while (from < data.size() && data[from] == '\0') ++from;
  return from;
}

// The length of the MPEG audio frame whose header is `h` (four bytes): 0 when they are no header
// (no sync, a reserved version, layer or sample rate, the invalid bitrate) or one of free bitrate,
// whose length the header does not tell.
uint32_t AudioFrameLength(std::string_view h) {
  if (h.size() < 4 || bytes::u8(h[0]) != 0xFF || (bytes::u8(h[1]) & 0xE0) != 0xE0) return 0;
  const int version = (bytes::u8(h[1]) >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
  const int layer = (bytes::u8(h[1]) >> 1) & 3;    // 1: III, 2: II, 3: I
  const int bitrateIndex = bytes::u8(h[2]) >> 4;
  const int rateIndex = (bytes::u8(h[2]) >> 2) & 3;
  if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
  static constexpr std::array<std::array<uint16_t, 15>, 5> kBitrates = {{
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // 1, I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // 1, II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // 1, III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // 2 and 2.5, I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // 2 and 2.5, II and III
  }};
  static constexpr std::array<uint32_t, 3> kRates = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const std::size_t table = mpeg1 ? static_cast<std::size_t>(3 - layer) : (layer == 3 ? 3 : 4);
  const uint32_t bitrate = kBitrates[table][static_cast<std::size_t>(bitrateIndex)] * 1000u;
  const uint32_t rate = kRates[static_cast<std::size_t>(rateIndex)] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const uint32_t padding = (bytes::u8(h[2]) >> 1) & 1;
  if (layer == 3) return (12 * bitrate / rate + padding) * 4;
  const uint32_t factor = layer == 1 && !mpeg1 ? 72 : 144;
  return factor * bitrate / rate + padding;
}

// The offset in `window` (read from `start`) of the first MPEG audio frame: a frame header followed,
// one frame length on, by the header of a frame of the same stream or by the end of the file. A
// single header-like pair of bytes in other data is no audio.
std::size_t FirstAudioFrame(io::File& file, uint64_t start, std::string_view window, uint64_t fileSize) {
  for (auto at = window.find('\xFF'); at != std::string_view::npos; at = window.find('\xFF', at + 1)) {
    const std::string header =
        at + 4 <= window.size() ? std::string(window.substr(at, 4)) : file.ReadAt(start + at, 4);
    const uint32_t length = AudioFrameLength(header);
    if (length == 0) continue;
    const uint64_t next = start + at + length;
    if (next == fileSize) return at;
    const std::string following = file.ReadAt(next, 4);
    // The same version, layer and sample rate.
    if (AudioFrameLength(following) != 0 &&
        (bytes::u8(following[1]) & 0xFE) == (bytes::u8(header[1]) & 0xFE) &&
        (bytes::u8(following[2]) & 0x0C) == (bytes::u8(header[2]) & 0x0C)) {
      return at;
    }
  }
  return std::string_view::npos;
}

// A compressed or encrypted version 2.4 frame in version 2.3 form: the extra bytes in 2.3 order
// (decompressed size as a plain number, encryption method, group id), the data resynchronised, the
// flags moved to their 2.3 bits. A frame that has no 2.3 form (compressed without the decompressed
// size) is kept as stored.
RawFrame OpaqueFrom24(std::string_view id, std::string_view body, uint8_t status, uint8_t format,
                      bool tagUnsync) {
  RawFrame unchanged{std::string(id), std::string(body), status, format};
  const bool grouped = format & kV24Grouped;
  const bool encrypted = format & kV24Encrypted;
  const bool compressed = format & kV24Compressed;
  const bool hasLength = format & kV24DataLength;
  bytes::Cursor in(body);
  if (!in.has((grouped ? 1u : 0u) + (encrypted ? 1u : 0u) + (hasLength ? 4u : 0u))) return unchanged;
  const std::string_view group = in.take(grouped ? 1 : 0);
  const std::string_view method = in.take(encrypted ? 1 : 0);
  const std::string_view length = in.take(hasLength ? 4 : 0);
  if (compressed && (!hasLength || !bytes::IsSyncsafe(length))) return unchanged;

  bytes::Writer w;
  if (compressed) w.be32(bytes::syncsafe32(length));
  w.raw(method);
  w.raw(group);
  const std::string_view rest = in.take(in.remaining());
  w.raw((format & kV24Unsync) || tagUnsync ? Resync(rest) : std::string(rest));
  // Status: 2.4 keeps tag alter, file alter and read only in bits 6 to 4, 2.3 in bits 7 to 5.
  const auto status23 = static_cast<uint8_t>((status & 0x70) << 1);
  const auto format23 = static_cast<uint8_t>((compressed ? kV23Compressed : 0) |
                                             (encrypted ? kV23Encrypted : 0) | (grouped ? kV23Grouped : 0));
  return {std::string(id), std::move(w.data()), status23, format23};
}

bool WellFormedHeader(std::string_view h) {
  return h.size() >= kHeaderSize && h.substr(0, 3) == "ID3" && bytes::u8(h[3]) != 0xFF &&
         bytes::u8(h[4]) != 0xFF && bytes::IsSyncsafe(h.substr(6, 4));
}

// The size field: syncsafe by the standard; a field with a top bit set cannot be syncsafe and is read
// as a plain number that counts the whole tag area, header included, as some writers stored it.
uint64_t SpanFromHeader(std::string_view h) {
  const std::string_view sizeField = h.substr(6, 4);
  if (!bytes::IsSyncsafe(sizeField)) return std::max<uint64_t>(kHeaderSize, bytes::be32(sizeField));
  const bool footer = bytes::u8(h[3]) == 4 && (bytes::u8(h[5]) & kTagFooter);
  return kHeaderSize + bytes::syncsafe32(sizeField) + (footer ? kHeaderSize : 0);
}

TagLocation Locate(uint64_t offset, std::string_view header, uint64_t fileSize) {
  TagLocation loc;
  loc.found = true;
  loc.offset = offset;
  loc.version = header.size() > 3 ? bytes::u8(header[3]) : 0;
  if (header.size() < kHeaderSize || loc.version < 2 || loc.version > 4) return loc;
  loc.span = std::min(SpanFromHeader(header), fileSize - offset);
  return loc;
}

// A v2.2 PIC frame (image format as three letters) as a v2.3 APIC frame (image format as MIME type).
bool PicToApic(std::string_view pic, std::string* apic) {
  if (pic.size() < 5) return false;
  std::string format(pic.substr(1, 3));
  for (auto& c : format) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string mime =
      format == "-->" ? format : "image/" + std::string(format == "jpg" ? "jpeg" : format);
  *apic = std::string(pic.substr(0, 1)) + mime + '\0' + std::string(pic.substr(4));
  return true;
}

// The next frame header starts at `at`: a valid id, padding, or the end of the data.
bool LooksLikeFrameStart(std::string_view data, std::size_t at) {
  if (at == data.size()) return true;
  if (at > data.size() || data.size() - at < 4) return at <= data.size() && data[at] == '\0';
  return data[at] == '\0' || IsValidId(data.substr(at, 4));
}

}  // namespace

TagLocation FindTag(io::File& file) {
  const uint64_t size = file.Size();
  for (uint64_t start = 0; start < size; start += kWindowStep) {
    const std::string window = file.ReadAt(start, kWindow);
    // A tag after the audio has begun is no tag of this file's start: rewriting it there would go
    // over audio, and other readers do not look for it.
    const std::size_t audio = FirstAudioFrame(file, start, window, size);
    for (auto pos = window.find("ID3");
         pos != std::string::npos && (audio == std::string::npos || pos < audio);
         pos = window.find("ID3", pos + 1)) {
      const uint64_t at = start + pos;
      const std::string header = file.ReadAt(at, kHeaderSize);
      if (at == 0 || WellFormedHeader(header)) return Locate(at, header, size);
    }
    if (audio != std::string::npos || window.find("\xFF\xFB") != std::string::npos) break;
    if (start + window.size() >= size) break;
  }
  return {};
}

std::vector<RawFrame> ParseFrames(int version, uint8_t flags, std::string_view data,
                                  std::vector<std::string>* skipped, bool* overran, std::size_t* framesEnd) {
  std::vector<RawFrame> frames;
  *overran = false;
  if (framesEnd) *framesEnd = 0;
  auto skip = [&](std::string line) {
    if (skipped) skipped->push_back(std::move(line));
  };
  if (version < 2 || version > 4) return frames;
  if (version == 2 && (flags & 0x40)) {
    skip("compressed version 2.2 tag");
    return frames;
  }
  const std::string_view stored = data;
  const bool resyncedTag = version < 4 && (flags & kTagUnsync);
  std::string resynced;
  if (resyncedTag) {
    resynced = Resync(data);
    data = resynced;
  }

  std::size_t pos = 0;
  if (version >= 3 && (flags & kTagExtended) && data.size() >= 4) {
    const std::string_view field = data.substr(0, 4);
    // 2.3: the size leaves out its own four bytes; 2.4: a syncsafe size of the whole extended header.
    // A size that cannot be right means the flag was set without an extended header.
    if (version == 3) {
      const uint64_t ext = bytes::be32(field);
      if (ext + 4 <= data.size() && ext >= 6) pos = static_cast<std::size_t>(ext + 4);
    } else if (bytes::IsSyncsafe(field)) {
      const uint64_t ext = bytes::syncsafe32(field);
      if (ext >= 6 && ext <= data.size()) pos = static_cast<std::size_t>(ext);
    }
  }

  const std::size_t idLength = version == 2 ? 3 : 4;
  const std::size_t headerLength = version == 2 ? 6 : 10;
  std::size_t end = pos;  // after the last frame read whole
  while (data.size() - pos >= headerLength) {
    const std::string_view header = data.substr(pos, headerLength);
    const std::string_view id = header.substr(0, idLength);
    if (id[0] == '\0') break;  // padding
    if (!IsAlnumId(id)) {
      skip("frame header with unreadable id at tag offset " + std::to_string(pos) + "; the rest is ignored");
      break;
    }
    uint64_t size = 0;
    if (version == 2) {
      size = bytes::be24(header.substr(3, 3));
    } else if (version == 3 || !bytes::IsSyncsafe(header.substr(4, 4))) {
      size = bytes::be32(header.substr(4, 4));
    } else {
      // Version 2.4 sizes are syncsafe; some writers stored plain numbers all the same. Take the plain
      // reading only when the syncsafe one does not end on a frame boundary and the plain one does.
      size = bytes::syncsafe32(header.substr(4, 4));
      const uint64_t plain = bytes::be32(header.substr(4, 4));
      const std::size_t after = pos + headerLength;
      if (plain != size && !LooksLikeFrameStart(data, after + size) && plain <= data.size() - after &&
          LooksLikeFrameStart(data, after + plain)) {
        size = plain;
      }
    }
    const uint8_t status = version == 2 ? 0 : bytes::u8(header[8]);
    const uint8_t format = version == 2 ? 0 : bytes::u8(header[9]);
    pos += headerLength;
    if (size > data.size() - pos) {
      *overran = true;
      skip("frame " + std::string(id) + " of " + std::to_string(size) +
           " bytes runs past the end of the tag");
      break;
    }
    std::string_view body = data.substr(pos, static_cast<std::size_t>(size));
    pos += static_cast<std::size_t>(size);
    end = pos;

    if (!IsValidId(id)) {
      skip("frame with invalid id \"" + std::string(id) + "\"");
      continue;
    }
    if (body.empty()) {
      skip("empty frame " + std::string(id));
      continue;
    }
    std::string kept;
    if (version == 3) {
      // Carried through as stored, extra header bytes and flags included; so are frames with format
      // bits version 2.3 does not define (a 2.4 frame kept as it was), which this reader cannot know.
      if (format & (kV23Compressed | kV23Encrypted | kV23Undefined)) {
        frames.push_back({std::string(id), std::string(body), status, format});
        continue;
      }
      if (format & 0x20) body.remove_prefix(1);  // group id
      kept = body;
    } else if (version == 4) {
      if (format & (kV24Compressed | kV24Encrypted)) {
        frames.push_back(OpaqueFrom24(id, body, status, format, flags & kTagUnsync));
        continue;
      }
      if ((format & 0x40) && !body.empty()) body.remove_prefix(1);                   // group id
      if (format & 0x01) body.remove_prefix(std::min<std::size_t>(4, body.size()));  // data length
      kept = (format & 0x02) || (flags & kTagUnsync) ? Resync(body) : std::string(body);
    } else {
      kept = body;
    }

    std::string name(id);
    if (version == 2) {
      const auto it =
          std::find_if(kV22Ids.begin(), kV22Ids.end(), [&](const auto& p) { return p.first == id; });
      if (it != kV22Ids.end()) {
        name = it->second;
      } else if (id == "PIC" && PicToApic(kept, &kept)) {
        name = "APIC";
      } else {
        skip("version 2.2 frame " + std::string(id) + " has no version 2.3 form");
        continue;
      }
    }
    if (kept.empty()) {
      skip("empty frame " + name);
      continue;
    }
    frames.push_back({std::move(name), std::move(kept)});
  }
  if (framesEnd) *framesEnd = resyncedTag ? StoredOffset(stored, end) : end;
  return frames;
}

ReadResult ReadTag(io::File& file) {
  ReadResult result;
  result.location = FindTag(file);
  TagLocation& loc = result.location;
  if (!loc.found || loc.span == 0) return result;
  const uint64_t available = file.Size() - loc.offset;
  const std::string header = file.ReadAt(loc.offset, kHeaderSize);
  const uint8_t flags = bytes::u8(header[5]);
  const std::string_view sizeField = std::string_view(header).substr(6, 4);
  // The frames and padding: syncsafe sizes leave out the header (and a 2.4 footer), plain ones count it.
  const uint64_t declared =
      bytes::IsSyncsafe(sizeField) ? bytes::syncsafe32(sizeField) : loc.span - kHeaderSize;
  const uint64_t dataLength = std::min(declared, available - kHeaderSize);
  const std::string data = file.ReadAt(loc.offset + kHeaderSize, static_cast<std::size_t>(dataLength));
  bool overran = false;
  std::size_t framesEnd = 0;
  result.frames = ParseFrames(loc.version, flags, data, &result.skipped, &overran, &framesEnd);

  // What the tag really occupies: its frames and the zero padding after them. A size that is wrong
  // (a plain number, damage) claims audio too; that part is neither frames nor zeros.
  const std::size_t zerosEnd = ZerosEnd(data, framesEnd);
  loc.occupied = kHeaderSize + zerosEnd;
  const bool footer = loc.version == 4 && (flags & kTagFooter);
  if (footer && bytes::IsSyncsafe(sizeField) && zerosEnd == declared &&
      file.ReadAt(loc.offset + kHeaderSize + declared, 3) == "3DI") {
    loc.occupied += kHeaderSize;
  }

  // Tags of an earlier writer of ours hold the whole area's length, header included, as a plain
  // number. When the standard reading cuts a frame off and the plain reading holds it, the plain one
  // was meant - but only when it ends cleanly: frames, then zero padding up to that length, all within
  // the file. Anything else under the plain length is audio, not tag.
  const uint64_t plain = bytes::be32(sizeField);
  if (overran && loc.version == 3 && bytes::IsSyncsafe(sizeField) && plain > loc.span && plain <= available) {
    const std::string wider =
        file.ReadAt(loc.offset + kHeaderSize, static_cast<std::size_t>(plain - kHeaderSize));
    bool widerOverran = false;
    std::size_t widerEnd = 0;
    std::vector<std::string> widerSkipped;
    auto frames = ParseFrames(loc.version, flags, wider, &widerSkipped, &widerOverran, &widerEnd);
    if (!widerOverran && wider.size() == plain - kHeaderSize && ZerosEnd(wider, widerEnd) == wider.size()) {
      result.frames = std::move(frames);
      result.skipped = std::move(widerSkipped);
      loc.span = plain;
      loc.occupied = plain;
    }
  }
  return result;
}

std::string RenderTag(const std::vector<RawFrame>& frames) {
  bytes::Writer w;
  w.raw("ID3");
  w.byte(3);  // version 2.3.0
  w.byte(0);
  w.byte(0);  // no flags
  w.be32(0);  // size, filled in by WriteTag
  for (const auto& f : frames) {
    if (f.id.find("ID3") != std::string::npos) continue;
    const std::string body = f.Opaque() ? f.body : frames::ForVersion23(f.id, f.body);
    if (body.size() > UINT32_MAX) Raise(ErrorSource::kID3v2, kErrOverflow, "Overflow");
    w.fixed(f.id, 4, ' ');
    w.be32(static_cast<uint32_t>(body.size()));
    w.byte(f.status);
    w.byte(f.format);
    w.raw(body);
  }
  w.zeros(4);
  return std::move(w.data());
}

void WriteTag(const std::string& path, std::string tag, const io::BeforeReplace& beforeReplace) {
  io::File file = io::File::OpenReadWrite(path, ErrorSource::kID3v2);
  const TagLocation loc = ReadTag(file).location;
  auto setSize = [&](uint64_t area) {
    tag.resize(static_cast<std::size_t>(area), '\0');
    bytes::Writer w;
    w.syncsafe32(static_cast<uint32_t>(area - kHeaderSize));  // the size leaves out the 10-byte header
    std::copy(w.data().begin(), w.data().end(), tag.begin() + 6);
  };

  // Only a tag that starts the file is rewritten where it stands, and only within the space it really
  // occupies. A tag further in lies behind bytes of unknown purpose; the new tag goes first instead.
  const bool atStart = loc.found && loc.offset == 0;
  if (atStart && loc.occupied >= tag.size() && loc.occupied - kHeaderSize <= bytes::kMaxSyncsafe) {
    setSize(loc.occupied);
    file.WriteAt(loc.offset, tag);
    file.Close();
    return;
  }
  const uint64_t area = (tag.size() / kAreaStep + 1) * kAreaStep;
  if (area - kHeaderSize > bytes::kMaxSyncsafe) Raise(ErrorSource::kID3v2, kErrOverflow, "Overflow");
  setSize(area);
  // An old tag at the start gives way to the new one, every byte after the space it really occupied
  // kept; one found further in stays where it is.
  const uint64_t keepFrom = atStart ? loc.occupied : 0;
  io::ReplaceHead(file, tag, keepFrom, beforeReplace);
}

}  // namespace tagwell::id3v2
