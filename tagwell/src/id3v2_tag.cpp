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
    for (auto pos = window.find("ID3"); pos != std::string::npos; pos = window.find("ID3", pos + 1)) {
      const uint64_t at = start + pos;
      const std::string header = file.ReadAt(at, kHeaderSize);
      if (at == 0 || WellFormedHeader(header)) return Locate(at, header, size);
    }
    if (window.find("\xFF\xFB") != std::string::npos) break;
    if (start + window.size() >= size) break;
  }
  return {};
}

std::vector<RawFrame> ParseFrames(int version, uint8_t flags, std::string_view data,
                                  std::vector<std::string>* skipped, bool* overran) {
  std::vector<RawFrame> frames;
  *overran = false;
  auto skip = [&](std::string line) {
    if (skipped) skipped->push_back(std::move(line));
  };
  if (version < 2 || version > 4) return frames;
  if (version == 2 && (flags & 0x40)) {
    skip("compressed version 2.2 tag");
    return frames;
  }
  std::string resynced;
  if (version < 4 && (flags & kTagUnsync)) {
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
      if (format & 0xC0) {
        skip("compressed or encrypted frame " + std::string(id));
        continue;
      }
      if (format & 0x20) body.remove_prefix(1);  // group id
      kept = body;
    } else if (version == 4) {
      if (format & 0x0C) {
        skip("compressed or encrypted frame " + std::string(id));
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
  result.frames = ParseFrames(loc.version, flags, data, &result.skipped, &overran);

  // Tags of an earlier writer of ours hold the whole area's length, header included, as a plain
  // number. When the standard reading cuts a frame off and the plain reading holds it, the plain one
  // was meant.
  const uint64_t plain = bytes::be32(sizeField);
  if (overran && loc.version == 3 && bytes::IsSyncsafe(sizeField) && plain > loc.span &&
      available > loc.span) {
    const uint64_t span = std::min(plain, available);
    const std::string wider =
        file.ReadAt(loc.offset + kHeaderSize, static_cast<std::size_t>(span - kHeaderSize));
    bool widerOverran = false;
    std::vector<std::string> widerSkipped;
    auto frames = ParseFrames(loc.version, flags, wider, &widerSkipped, &widerOverran);
    if (!widerOverran) {
      result.frames = std::move(frames);
      result.skipped = std::move(widerSkipped);
      loc.span = span;
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
    const std::string body = frames::ForVersion23(f.id, f.body);
    if (body.size() > UINT32_MAX) Raise(ErrorSource::kID3v2, kErrOverflow, "Overflow");
    w.fixed(f.id, 4, ' ');
    w.be32(static_cast<uint32_t>(body.size()));
    w.byte(0);
    w.byte(0);
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

  if (loc.found && loc.span >= tag.size() && loc.span - kHeaderSize <= bytes::kMaxSyncsafe) {
    setSize(loc.span);
    file.WriteAt(loc.offset, tag);
    file.Close();
    return;
  }
  const uint64_t area = (tag.size() / kAreaStep + 1) * kAreaStep;
  if (area - kHeaderSize > bytes::kMaxSyncsafe) Raise(ErrorSource::kID3v2, kErrOverflow, "Overflow");
  setSize(area);
  // An old tag at the start gives way to the new one; one found further in stays where it is.
  const uint64_t keepFrom = loc.found && loc.offset == 0 ? loc.span : 0;
  io::ReplaceHead(file, tag, keepFrom, beforeReplace);
}

}  // namespace tagwell::id3v2
