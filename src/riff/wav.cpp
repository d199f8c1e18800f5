#include "riff/wav.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <random>
#include <string_view>
#include <system_error>

#include "riff/bytes.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#define AIRFOLDEX_POSIX_TIMES 1
#endif

namespace airfoldex {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxChunks = 4096;
constexpr uint32_t kMaxFmtBody = 64 * 1024;
// The first bytes searched for a "fmt " header when nothing else located one.
constexpr uint64_t kFmtSearchSpan = 64 * 1024;
// The backward search for "data" covers the first 72 KiB (nine 8 KiB windows).
constexpr uint64_t kDataSearchSpan = 9 * 8192;
constexpr uint64_t kJunkScanSpan = 8192;
// Chunks followed from the fmt chunk to the data chunk when the chunk list is damaged.
constexpr int kMaxFollowChunks = 64;
constexpr std::size_t kCopyBlock = 1 << 20;

void Note(Diagnostics* diag, std::string code, std::string chunk, uint64_t offset, std::string text) {
  if (diag) diag->push_back(Diagnostic{std::move(code), std::move(chunk), offset, std::move(text)});
}

std::string Printable(std::string_view id) {
  std::string out;
  for (unsigned char c : id) {
    if (c >= 0x20 && c <= 0x7E) {
      out.push_back(static_cast<char>(c));
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
  }
  return out;
}

bool SameIdIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A source opened for reading only. Reads past the end give short results, never errors.
class SourceFile {
 public:
  explicit SourceFile(const fs::path& path) : in_(path, std::ios::binary) {
    if (!in_) return;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) return;
    size_ = size;
    open_ = true;
  }

  bool open() const { return open_; }
  uint64_t size() const { return size_; }

  // Up to n bytes from offset; fewer at the end of the file.
  std::string Read(uint64_t offset, uint64_t n) {
    if (!open_ || offset >= size_) return {};
    const uint64_t count = std::min(n, size_ - offset);
    std::string out(static_cast<std::size_t>(count), '\0');
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(out.data(), static_cast<std::streamsize>(count));
    out.resize(static_cast<std::size_t>(std::max<std::streamsize>(in_.gcount(), 0)));
    return out;
  }

  // Exactly n bytes from offset, zero-filled past the end.
  std::string ReadZeroFilled(uint64_t offset, uint64_t n) {
    std::string out = Read(offset, n);
    out.resize(static_cast<std::size_t>(n), '\0');
    return out;
  }

  uint32_t Le32At(uint64_t offset) { return bytes::le32(ReadZeroFilled(offset, 4).data()); }

  std::istream& stream() { return in_; }

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
  bool open_ = false;
};

struct ChunkHeader {
  std::string id;
  uint32_t size = 0;
};

// The 8-byte header at offset, when all of it lies in the file.
std::optional<ChunkHeader> HeaderAt(SourceFile& file, uint64_t offset) {
  if (offset > file.size() || file.size() - offset < 8) return std::nullopt;
  const std::string h = file.Read(offset, 8);
  if (h.size() < 8) return std::nullopt;
  return ChunkHeader{h.substr(0, 4), bytes::le32(h.data() + 4)};
}

// A header that can start a chunk at offset: printable id and a body that fits in the file.
bool FitsAsChunk(SourceFile& file, uint64_t offset) {
  const auto h = HeaderAt(file, offset);
  return h && bytes::IsPrintableId(h->id) && h->size <= file.size() - offset - 8;
}

bool IsRiffWave(std::string_view header) {
  return header.size() >= 12 && (header.substr(0, 4) == "RIFF" || header.substr(0, 4) == "RF64") &&
         header.substr(8, 4) == "WAVE";
}

std::vector<ChunkInfo> Walk(SourceFile& file, bool* wellFormed, Diagnostics* diag) {
  std::vector<ChunkInfo> chunks;
  bool good = false;
  const uint64_t n = file.size();
  if (!IsRiffWave(file.Read(0, 12))) {
    if (wellFormed) *wellFormed = false;
    return chunks;
  }
  uint64_t pos = 12;
  while (true) {
    if (pos == n) {
      good = true;
      break;
    }
    if (n - pos < 8) {
      Note(diag, "trailing-bytes", "", pos,
           std::to_string(n - pos) + " bytes after the last chunk are too short for a chunk header");
      break;
    }
    const auto h = HeaderAt(file, pos);
    if (!h || !bytes::IsPrintableId(h->id)) {
      Note(diag, "bad-chunk-id", h ? Printable(h->id) : "", pos,
           "the chunk list stops at a header whose id is not printable text");
      break;
    }
    if (chunks.size() >= kMaxChunks) {
      Note(diag, "too-many-chunks", "", pos,
           "the chunk list was cut after " + std::to_string(kMaxChunks) + " chunks");
      break;
    }
    ChunkInfo info{h->id, pos, h->size, false};
    const uint64_t room = n - pos - 8;
    if (h->size > room) {
      info.clamped = true;
      chunks.push_back(info);
      Note(diag, "chunk-clamped", h->id, pos,
           "the chunk claims " + std::to_string(h->size) + " bytes but only " + std::to_string(room) +
               " remain in the file");
      break;
    }
    chunks.push_back(info);
    const uint64_t end = pos + 8 + h->size;
    if ((h->size & 1u) == 0) {
      pos = end;
      continue;
    }
    if (end == n) {  // the writer left out the final pad byte
      good = true;
      break;
    }
    // Some writers leave out the pad byte after an odd chunk; take the unpadded position only
    // when the padded one cannot hold a chunk and the unpadded one can.
    if (!FitsAsChunk(file, end + 1) && FitsAsChunk(file, end)) {
      Note(diag, "pad-missing", h->id, pos, "no pad byte follows this odd-sized chunk");
      pos = end;
    } else {
      pos = end + 1;
    }
  }
  if (wellFormed) *wellFormed = good;
  return chunks;
}

void ReadFormatFields(std::string_view body, WaveFormat& format) {
  bytes::Cursor c(body);
  format.FormatTag = c.le16();
  format.Channels = c.le16();
  format.SamplesPerSec = c.le32();
  format.AvgBytesPerSec = c.le32();
  format.BlockAlign = c.le16();
  format.BitsPerSample = c.le16();
}

// A format some program could play: channels and rate present, and no more channels than any
// multichannel layout has (a damaged fmt chunk must not become a WAV that nothing can open).
constexpr uint16_t kMaxChannels = 256;
bool PlausibleFormat(const WaveFormat& f) {
  return f.Channels != 0 && f.Channels <= kMaxChannels && f.SamplesPerSec != 0;
}

// Reads the fmt chunk whose header is at offset; true when it is usable (at least the six
// format fields, plausible values, a bounded size).
bool ReadFmtAt(SourceFile& file, uint64_t offset, WaveFormat& format, WavLayout& layout, Diagnostics* diag) {
  const auto h = HeaderAt(file, offset);
  if (!h || h->id != "fmt ") return false;
  if (h->size < 16) {
    Note(diag, "fmt-too-small", "fmt ", offset, "the fmt chunk holds fewer than 16 bytes");
    return false;
  }
  if (h->size > kMaxFmtBody) {
    Note(diag, "fmt-too-large", "fmt ", offset, "the fmt chunk claims an implausible size");
    return false;
  }
  std::string body = file.Read(offset + 8, h->size);
  if (body.size() < 16) {
    Note(diag, "fmt-truncated", "fmt ", offset, "the file ends inside the fmt chunk");
    return false;
  }
  WaveFormat candidate;
  ReadFormatFields(body, candidate);
  if (!PlausibleFormat(candidate)) {
    Note(diag, "fmt-implausible", "fmt ", offset, "the fmt chunk gives no sample rate, or no or implausibly many channels");
    return false;
  }
  if (body.size() < h->size) {
    Note(diag, "chunk-clamped", "fmt ", offset, "the file ends inside the fmt chunk; its extension is cut");
  }
  format = candidate;
  layout.FmtFound = true;
  layout.FmtOffset = offset;
  layout.FmtChunkSize = static_cast<int32_t>(h->size);
  layout.FmtBody = std::move(body);
  // The header of the chunk that follows the fmt chunk.
  const uint64_t next = offset + 8 + h->size + (h->size & 1u);
  const std::string follow = file.ReadZeroFilled(next, 8);
  std::copy_n(follow.data(), 4, layout.FollowId.begin());
  layout.FollowSize = static_cast<int32_t>(bytes::le32(follow.data() + 4));
  return true;
}

// Searches the first 64 KiB for a "fmt " header that reads as a usable fmt chunk.
bool SearchFmt(SourceFile& file, WaveFormat& format, WavLayout& layout) {
  const std::string head = file.Read(0, kFmtSearchSpan);
  for (auto at = head.find("fmt "); at != std::string::npos; at = head.find("fmt ", at + 1)) {
    if (ReadFmtAt(file, at, format, layout, nullptr)) return true;
  }
  return false;
}

// Follows the chunk headers after the fmt chunk to a "data" chunk.
std::optional<uint64_t> FollowToData(SourceFile& file, const WavLayout& layout) {
  const auto fmtSize = static_cast<uint32_t>(layout.FmtChunkSize);
  uint64_t pos = layout.FmtOffset + 8 + fmtSize + (fmtSize & 1u);
  for (int i = 0; i < kMaxFollowChunks; ++i) {
    const auto h = HeaderAt(file, pos);
    if (!h || !bytes::IsPrintableId(h->id)) return std::nullopt;
    if (SameIdIgnoringCase(h->id, "data")) return pos;
    if (h->size > file.size() - pos - 8) return std::nullopt;
    pos += 8 + static_cast<uint64_t>(h->size) + (h->size & 1u);
  }
  return std::nullopt;
}

// The last "data" text in the first 72 KiB.
std::optional<uint64_t> SearchDataBackwards(SourceFile& file) {
  const std::string head = file.Read(0, kDataSearchSpan);
  const auto at = head.rfind("data");
  if (at == std::string::npos || at < 12) return std::nullopt;
  return at;
}

// Sets DataOffset, DataSize and AudioBytes from the header at offset.
bool TakeData(SourceFile& file, uint64_t offset, WavLayout& layout, Diagnostics* diag) {
  const auto h = HeaderAt(file, offset);
  if (!h) return false;
  layout.DataOffset = offset;
  layout.DataSize = h->size;
  const uint64_t room = file.size() - offset - 8;
  layout.AudioBytes = std::min<uint64_t>(h->size, room);
  if (h->size == 0xFFFFFFFFu) {
    Note(diag, "data-size-unknown", h->id, offset,
         "the data chunk has no size (streamed); the audio runs to the end of the file");
  } else if (h->size > room) {
    Note(diag, "data-clamped", h->id, offset,
         "the data chunk claims " + std::to_string(h->size) + " bytes but the file holds " +
             std::to_string(room));
  } else if (h->size == 0) {
    Note(diag, "data-empty", h->id, offset, "the data chunk holds no audio");
  }
  return true;
}

bool ScanJunk(SourceFile& file, WaveFormat& format, WavLayout& layout, Diagnostics* diag) {
  const std::string head = file.Read(0, kJunkScanSpan);
  const auto fmtAt = head.find("fmt ");
  if (fmtAt == std::string::npos || !ReadFmtAt(file, fmtAt, format, layout, diag)) return false;
  const auto dataAt = head.find("data");
  if (dataAt == std::string::npos || dataAt < 12) return false;
  const auto h = HeaderAt(file, dataAt);
  if (!h || !SameIdIgnoringCase(h->id, "data")) return false;
  return TakeData(file, dataAt, layout, diag);
}

// The layout marks that the rest of the system reads from the leading chunk.
void NoteLeadingChunk(SourceFile& file, WavLayout& layout) {
  const std::string first = file.ReadZeroFilled(12, 4);
  if (first == "JUNK") {
    layout.JunkFirst = true;
  } else if (first == "AIR1") {
    layout.PrefixOffset = 12;
  } else if (first == "LIST") {
    layout.PrefixOffset = 20;
  } else if (first == "AIR7") {
    const uint64_t air1 = static_cast<uint64_t>(file.Le32At(16)) + 20;
    if (file.ReadZeroFilled(air1, 4) == "AIR1" && air1 <= static_cast<uint64_t>(INT32_MAX)) {
      layout.PrefixOffset = static_cast<int32_t>(air1);
    }
  }
}

// Where the layout of the leading chunk puts the fmt chunk, for files whose chunk list is damaged.
std::vector<uint64_t> FmtCandidatesFromLeadingChunk(SourceFile& file) {
  const std::string first = file.ReadZeroFilled(12, 4);
  std::vector<uint64_t> out;
  if (first == "fmt ") {
    out.push_back(12);
  } else if (first == "AIR1") {
    // The AIR1 block is 2048 bytes; the size field may say otherwise.
    out.push_back(2068);
    out.push_back(20 + static_cast<uint64_t>(file.Le32At(16)));
  } else if (first == "AIR7") {
    const uint64_t air1 = static_cast<uint64_t>(file.Le32At(16)) + 20;
    if (file.ReadZeroFilled(air1, 4) == "AIR1") {
      const uint64_t air1Size = file.Le32At(air1 + 4);
      out.push_back(air1 + 8 + air1Size);
      out.push_back(air1Size + 2076);  // both blocks of the usual 2048 bytes
    }
  } else if (first == "LIST") {
    const uint64_t listSize = file.Le32At(16);
    out.push_back(20 + listSize);
    if (listSize & 1u) out.push_back(21 + listSize);
  }
  return out;
}

bool IdentifyFromChunks(SourceFile& file, WaveFormat& format, WavLayout& layout, Diagnostics* diag) {
  const ChunkInfo* data = nullptr;
  bool haveFmt = false;
  for (const auto& c : layout.Chunks) {
    if (!haveFmt && c.id == "fmt ") haveFmt = ReadFmtAt(file, c.offset, format, layout, diag);
    if (!data && c.id == "data") data = &c;
  }
  if (!haveFmt || !data) return false;
  return TakeData(file, data->offset, layout, diag);
}

bool IdentifyFromLayoutRules(SourceFile& file, WaveFormat& format, WavLayout& layout, Diagnostics* diag) {
  if (layout.JunkFirst && ScanJunk(file, format, layout, diag)) return true;
  bool haveFmt = false;
  for (uint64_t at : FmtCandidatesFromLeadingChunk(file)) {
    if ((haveFmt = ReadFmtAt(file, at, format, layout, diag))) break;
  }
  if (!haveFmt) {
    haveFmt = SearchFmt(file, format, layout);
    if (haveFmt) {
      Note(diag, "fmt-searched", "fmt ", layout.FmtOffset, "the fmt chunk was found by searching the file");
    }
  }
  if (!haveFmt) {
    Note(diag, "no-fmt", "fmt ", 0, "no usable fmt chunk was found");
    return false;
  }
  if (auto at = FollowToData(file, layout)) return TakeData(file, *at, layout, diag);
  if (auto at = SearchDataBackwards(file)) {
    Note(diag, "data-searched", "data", *at, "the data chunk was found by searching for its id");
    return TakeData(file, *at, layout, diag);
  }
  Note(diag, "no-data", "data", 0, "no data chunk was found");
  return false;
}

// The number of audio bytes the text rule finds: the first "data" in the first 512 bytes, less a
// LIST chunk near the end.
double ProbeBySearch(SourceFile& file) {
  const auto lower = [](std::string s) {
    for (auto& c : s) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
  };
  WaveFormat format;
  const std::string fmt = file.ReadZeroFilled(12, 24);
  ReadFormatFields(std::string_view(fmt).substr(8), format);
  const std::string head = lower(file.Read(0, 512));
  const auto dataAt = head.find("data");
  if (dataAt == std::string::npos) return 0;
  int64_t size = file.Le32At(dataAt + 4);
  if (file.size() > 1) {
    const uint64_t tailEnd = file.size() - 1;
    const uint64_t tailStart = tailEnd > 512 ? tailEnd - 512 : 0;
    const std::string tail = lower(file.Read(tailStart, tailEnd - tailStart));
    const auto listAt = tail.find("list");
    if (listAt != std::string::npos) size -= static_cast<int64_t>(file.Le32At(tailStart + listAt + 4)) + 4;
  }
  if (size <= 0) return 0;
  uint64_t bytesPerSecond = format.AvgBytesPerSec;
  if (bytesPerSecond == 0) {
    bytesPerSecond =
        static_cast<uint64_t>(format.SamplesPerSec) * format.Channels * (format.BitsPerSample / 8);
  }
  return bytesPerSecond ? static_cast<double>(size) / static_cast<double>(bytesPerSecond) : 0;
}

std::string HexSuffix() {
  std::random_device rd;
  const uint64_t v = (static_cast<uint64_t>(rd()) << 32) ^ rd();
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

// Creates a file that must not exist yet ("x": never reuse an existing file).
std::FILE* OpenNewFile(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wbx");
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// A destination file under construction: a temporary name in the destination folder, removed
// unless committed.
class TempOutput {
 public:
  explicit TempOutput(const fs::path& dest) {
    const fs::path folder = dest.parent_path().empty() ? fs::path(".") : dest.parent_path();
    // A short fixed name, so that destination names near the file-system limit still fit.
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
      path_ = folder / (".afx-" + HexSuffix() + ".tmp");
      file_ = OpenNewFile(path_);
    }
    created_ = file_ != nullptr;
  }
  ~TempOutput() {
    Close();
    if (created_ && !committed_) {
      std::error_code ec;
      fs::remove(path_, ec);
    }
  }
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  std::FILE* file() { return file_; }
  const fs::path& path() const { return path_; }

  bool Write(std::string_view bytes) {
    if (bytes.empty()) return true;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    if (ok) written_ += bytes.size();
    return ok;
  }
  uint64_t written() const { return written_; }
  bool Close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }
  void Commit() { committed_ = true; }

 private:
  fs::path path_;
  std::FILE* file_ = nullptr;
  uint64_t written_ = 0;
  bool created_ = false;
  bool committed_ = false;
};

WriteResult Fail(std::string text) { return WriteResult{false, std::move(text)}; }

}  // namespace

std::vector<ChunkInfo> WalkChunks(const fs::path& path, bool* wellFormed, Diagnostics* diag) {
  SourceFile file(path);
  if (!file.open()) {
    if (wellFormed) *wellFormed = false;
    return {};
  }
  return Walk(file, wellFormed, diag);
}

bool IdentifyWav(const fs::path& path, WaveFormat& format, WavLayout& layout, Diagnostics* diag) {
  format = WaveFormat{};
  layout = WavLayout{};
  SourceFile file(path);
  if (!file.open()) {
    Note(diag, "open-failed", "", 0, "the file cannot be opened for reading");
    return false;
  }
  if (file.size() < 12) {
    Note(diag, "too-short", "", 0, "the file is too short for a RIFF header");
    return false;
  }
  const std::string header = file.Read(0, 12);
  std::copy_n(header.data(), 12, layout.RiffHeader.begin());
  layout.Chunks = Walk(file, &layout.ChunkListWellFormed, diag);
  NoteLeadingChunk(file, layout);

  bool found = false;
  if (layout.ChunkListWellFormed) {
    // A sound chunk list says where everything is; text elsewhere in the file is not a chunk.
    found = IdentifyFromChunks(file, format, layout, diag);
    if (!found)
      Note(diag, "no-fmt-or-data", "", 0, "the chunk list has no usable fmt chunk or no data chunk");
  } else {
    // The chunks before the damage are still trustworthy when they hold both.
    found = IdentifyFromChunks(file, format, layout, diag);
    if (!found) {
      WavLayout fresh;
      fresh.RiffHeader = layout.RiffHeader;
      fresh.Chunks = std::move(layout.Chunks);
      fresh.PrefixOffset = layout.PrefixOffset;
      fresh.JunkFirst = layout.JunkFirst;
      layout = std::move(fresh);
      format = WaveFormat{};
      found = IdentifyFromLayoutRules(file, format, layout, diag);
    }
  }
  if (!found) {
    format = WaveFormat{};
    layout.FmtFound = false;
  }
  return found;
}

bool ScanJunkLayout(const fs::path& path, WaveFormat& format, WavLayout& layout) {
  format = WaveFormat{};
  layout.FmtFound = false;
  layout.FmtBody.clear();
  layout.DataOffset = 0;
  layout.DataSize = 0;
  layout.AudioBytes = 0;
  SourceFile file(path);
  if (!file.open()) return false;
  const bool found = ScanJunk(file, format, layout, nullptr);
  if (!found) format = WaveFormat{};
  return found;
}

WriteResult WriteDestinationWav(const fs::path& source, const fs::path& dest, const WaveFormat& format,
                                const WavLayout& layout, const TargetChunks& chunks,
                                const CopyProgress& progress) {
  std::error_code ec;
  if (fs::equivalent(source, dest, ec)) return Fail("the destination is the source file");
  SourceFile in(source);
  if (!in.open()) return Fail("cannot open the source file " + source.string());
  if (in.size() == 0) return Fail("the source file is empty: " + source.string());
  if (layout.DataOffset > in.size() || in.size() - layout.DataOffset < 8) {
    return Fail("the source file has no data chunk header at the identified offset");
  }
  const uint64_t audioStart = layout.DataOffset + 8;
  const uint64_t audioBytes = std::min(layout.AudioBytes, in.size() - audioStart);

  // The fmt chunk: plain PCM in its 16-byte form, every other format as stored.
  bytes::Writer head;
  head.raw("RIFF");
  const std::size_t riffSizeAt = head.size();
  head.le32(0);
  head.raw("WAVE");
  const auto fmt = head.BeginChunk("fmt ");
  const std::string& body = layout.FmtBody;
  const bool plainPcm = format.FormatTag == 1 && (body.size() == 16 || body.size() == 18);
  if (body.size() < 16 || plainPcm) {
    head.le16(format.FormatTag);
    head.le16(format.Channels);
    head.le32(format.SamplesPerSec);
    head.le32(format.AvgBytesPerSec);
    head.le16(format.BlockAlign);
    head.le16(format.BitsPerSample);
  } else {
    head.raw(body);
  }
  head.EndChunk(fmt);
  head.raw(chunks.before);
  const uint64_t audioPad = audioBytes & 1u;
  const uint64_t total = head.size() + 8 + audioBytes + audioPad + chunks.after.size();
  if (total - 8 > std::numeric_limits<uint32_t>::max()) {
    return Fail("the destination would exceed the 4 GiB limit of a RIFF file");
  }
  head.PatchLe32(riffSizeAt, static_cast<uint32_t>(total - 8));
  head.raw("data");
  head.le32(static_cast<uint32_t>(audioBytes));

  TempOutput out(dest);
  if (!out.file()) return Fail("cannot create a temporary file in " + dest.parent_path().string());
  if (!out.Write(head.data())) return Fail("cannot write " + out.path().string());

  std::istream& src = in.stream();
  src.clear();
  src.seekg(static_cast<std::streamoff>(audioStart));
  std::string buffer(
      static_cast<std::size_t>(std::min<uint64_t>(kCopyBlock, std::max<uint64_t>(audioBytes, 1))), '\0');
  uint64_t done = 0;
  while (done < audioBytes) {
    const auto want = static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), audioBytes - done));
    src.read(buffer.data(), static_cast<std::streamsize>(want));
    if (static_cast<std::size_t>(src.gcount()) != want)
      return Fail("the source file ended early while copying");
    if (!out.Write(std::string_view(buffer.data(), want))) return Fail("cannot write " + out.path().string());
    done += want;
    if (progress) progress(done, audioBytes);
  }
  if (audioPad && !out.Write(std::string_view("\0", 1))) return Fail("cannot write " + out.path().string());
  if (!out.Write(chunks.after)) return Fail("cannot write " + out.path().string());
  if (std::fflush(out.file()) != 0) return Fail("cannot write " + out.path().string());
  if (out.written() != total) {
    return Fail("the destination length does not match what was written");
  }
  if (!out.Close()) return Fail("cannot close " + out.path().string());

  const auto when = SourceFileTime(source);
  if (!when || !StampFileTimes(out.path(), *when))
    return Fail("cannot set the file times of the destination");
  fs::rename(out.path(), dest, ec);
  if (ec) return Fail("cannot rename the temporary file to " + dest.string() + ": " + ec.message());
  out.Commit();
  return WriteResult{true, {}};
}

double ProbeWavDuration(const fs::path& path) {
  if (path.empty()) return 0;
  SourceFile file(path);
  if (!file.open() || file.size() == 0) return 0;
  double seconds = 0;
  WaveFormat format;
  WavLayout layout;
  if (IdentifyWav(path, format, layout) && format.AvgBytesPerSec != 0) {
    seconds = static_cast<double>(layout.AudioBytes) / format.AvgBytesPerSec;
  } else {
    seconds = ProbeBySearch(file);
  }
  return std::nearbyint(seconds * 100.0) / 100.0;
}

std::optional<std::chrono::system_clock::time_point> SourceFileTime(const fs::path& path) {
  using namespace std::chrono;
#if defined(__linux__) && defined(STATX_BTIME)
  struct statx sx {};
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
    const auto& t = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_mtime;
    return system_clock::time_point(seconds(t.tv_sec));
  }
  return std::nullopt;
#else
  std::error_code ec;
  const auto t = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  return floor<seconds>(clock_cast<system_clock>(t));
#endif
}

bool StampFileTimes(const fs::path& path, std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  std::error_code ec;
  if (!fs::exists(path, ec)) return false;
#ifdef AIRFOLDEX_POSIX_TIMES
  const auto ns = duration_cast<nanoseconds>(when.time_since_epoch()).count();
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(ns / 1000000000);
  times[0].tv_nsec = static_cast<long>(ns % 1000000000);
  if (times[0].tv_nsec < 0) {
    times[0].tv_nsec += 1000000000;
    times[0].tv_sec -= 1;
  }
  times[1] = times[0];
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
#else
  fs::last_write_time(path, clock_cast<file_clock>(when), ec);
  return !ec;
#endif
}

}  // namespace airfoldex
