#include "riff/cart.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

#include "model/time_text.h"
#include "riff/bytes.h"

namespace airfoldex {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCartId = "cart";
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTimersOffset = 692;
// The bytes read for a chunk before its tag text: header and fixed fields.
constexpr std::size_t kFixedChunkSize = kHeaderSize + kCartFixedBodySize;
// Tag text is never carried into a destination; longer text is cut so that a damaged size field
// cannot make the reader hold a large part of the file.
constexpr std::size_t kMaxTagText = 64 * 1024;

constexpr std::size_t kSearchWindow = 8192;
// In the windows near the end, no candidate is looked for from a position beyond this index.
constexpr std::size_t kLastEndStart = 8180;
// Window A ends one byte before the end of the file; window B starts this far before the end.
constexpr uint64_t kWindowABack = 8193;
constexpr uint64_t kWindowBBack = 40961;
// A candidate is judged by bytes up to this far after it, which may lie past its window.
constexpr std::size_t kCandidateReach = kTimersOffset + 3;

void Note(Diagnostics* diag, std::string code, uint64_t offset, std::string text) {
  if (diag) diag->push_back(Diagnostic{std::move(code), std::string(kCartId), offset, std::move(text)});
}

// Every field after the header in chunk order, for parse and render alike.
template <typename Record, typename Visit>
void VisitCartFields(Record& r, Visit&& visit) {
  visit(r.Version);
  visit(r.Title);
  visit(r.Artist);
  visit(r.CutID);
  visit(r.ClientID);
  visit(r.Category);
  visit(r.Classification);
  visit(r.OutCue);
  visit(r.StartDate);
  visit(r.StartTime);
  visit(r.EndDate);
  visit(r.EndTime);
  visit(r.ProducerAppID);
  visit(r.ProducerAppVersion);
  visit(r.UserDef);
  visit(r.LevelReference);
  for (auto& timer : r.PostTimers) {
    visit(timer.Id);
    visit(timer.Value);
  }
  visit(r.Reserved);
  visit(r.URL);
}

template <std::size_t N>
void SetId(FixedText<N>& field, std::string_view id) {
  SetFixedTextNulPadded(field, id);
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// True when the timer's id, lower-cased, is exactly these four bytes.
bool TimerIdIs(const CartTimer& timer, std::string_view lowered) { return Lower(timer.Id.view()) == lowered; }

// Replaces the id of timer `slot` when it matches `from` (lower-cased), noting the repair.
void RepairTimerId(CartRecord& record, std::size_t slot, std::string_view from, std::string_view to,
                   uint64_t chunkOffset, Diagnostics* diag) {
  auto& timer = record.PostTimers[slot];
  if (!TimerIdIs(timer, from)) return;
  Note(diag, "cart-timer-renamed", chunkOffset + kTimersOffset + 8 * slot,
       "post timer " + std::to_string(slot) + " renamed to \"" + std::string(to) + "\"");
  SetId(timer.Id, to);
}

// A file opened for reading only; reads past its end give short results.
class SourceFile {
 public:
  explicit SourceFile(const fs::path& path) : in_(path, std::ios::binary) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (!in_ || ec) return;
    size_ = size;
    open_ = true;
  }

  bool open() const { return open_; }
  uint64_t size() const { return size_; }

  // Up to n bytes from offset, fewer at the end of the file. False on a read error inside the file.
  bool Read(uint64_t offset, std::size_t n, std::string& out) {
    out.clear();
    if (!open_) return false;
    if (offset >= size_) return true;
    const auto count = static_cast<std::size_t>(std::min<uint64_t>(n, size_ - offset));
    out.resize(count);
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(out.data(), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in_.gcount()) == count;
  }

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
  bool open_ = false;
};

// The version text or the id of the first post timer tells a cart chunk from the same four
// letters elsewhere. `at` indexes "cart" in `bytes`.
bool IsCartCandidate(std::string_view bytes, std::size_t at) {
  const auto field = [&](std::size_t offset, std::size_t n) {
    return at + offset + n <= bytes.size() ? bytes.substr(at + offset, n) : std::string_view{};
  };
  const auto version = field(8, 4);
  return version == "0100" || version == "0101" || field(kTimersOffset, 3) == "INT";
}

enum class Search { kFound, kNone, kReadError };

// Looks for an accepted candidate among the occurrences of "cart" that lie in the window of
// `length` bytes at `start`, from position 0 up to `lastStart`. Sets `found` to its file offset.
Search SearchWindow(SourceFile& file, uint64_t start, std::size_t length, std::size_t lastStart,
                    const std::function<void()>& yield, Diagnostics* diag, uint64_t& found) {
  std::string bytes;
  if (!file.Read(start, length + kCandidateReach, bytes)) return Search::kReadError;
  const std::string_view window = std::string_view(bytes).substr(0, std::min(length, bytes.size()));
  std::size_t pos = 0;
  while (pos <= lastStart) {
    const std::size_t at = window.find(kCartId, pos);
    if (at == std::string_view::npos) break;
    if (IsCartCandidate(bytes, at)) {
      found = start + at;
      return Search::kFound;
    }
    Note(diag, "cart-candidate-skipped", start + at,
         "\"cart\" here has neither a version text nor an \"INT\" timer id");
    pos = at + 8;
    if (yield) yield();
  }
  return Search::kNone;
}

// Reads the chunk at `offset`: the header and fixed fields, zero-filled where the file ends, and
// the tag text its size field covers, bounded by the file.
bool ReadChunkAt(SourceFile& file, uint64_t offset, CartRecord& record, Diagnostics* diag) {
  std::string bytes;
  if (!file.Read(offset, kFixedChunkSize, bytes)) return false;
  if (bytes.size() < kFixedChunkSize) {
    Note(diag, "cart-truncated", offset,
         "the file ends inside the cart chunk; the missing bytes read as zero");
  } else {
    const auto size = static_cast<int32_t>(bytes::le32(bytes.data() + 4));
    if (size > static_cast<int32_t>(kCartFixedBodySize)) {
      const auto wanted = static_cast<std::size_t>(size) - kCartFixedBodySize;
      const auto tagLength = std::min(wanted, kMaxTagText);
      std::string tag;
      if (!file.Read(offset + kFixedChunkSize, tagLength, tag)) return false;
      if (tag.size() < wanted) {
        Note(diag, "cart-tag-text-cut", offset + kFixedChunkSize,
             "the tag text is cut to " + std::to_string(tag.size()) + " of " + std::to_string(wanted) +
                 " bytes");
      }
      bytes += tag;
    }
  }
  record = ParseCartChunk(bytes);
  return true;
}

// Timer 0 or timer 2 must carry an id for a chunk to count as found.
bool HasTimerIds(const CartRecord& record, uint64_t offset, Diagnostics* diag) {
  if (!CleanText(record.PostTimers[0].Id).empty() || !CleanText(record.PostTimers[2].Id).empty()) return true;
  Note(diag, "cart-without-timers", offset, "the cart chunk was read but timers 0 and 2 have no id");
  return false;
}

void ApplyStartRepairs(CartRecord& record, uint64_t offset, Diagnostics* diag) {
  RepairTimerId(record, 0, "ints", "INT ", offset, diag);
  RepairTimerId(record, 1, "ints", "INT ", offset, diag);
  RepairTimerId(record, 2, "seg1", "SEGs", offset, diag);
  RepairTimerId(record, 3, "seg1", "SEGs", offset, diag);
  if (Lower(CleanText(record.ProducerAppID)) == "rivendell") {
    RepairTimerId(record, 3, "inte", "INT ", offset, diag);
    SetFixedTextNulPadded(record.OutCue, CleanText(record.ClientID));
    record.CutID.bytes = record.UserDef.bytes;
  }
}

// Myriad writes intro and segue ids in several spellings among the first five timers.
void ApplyMyriadEndRepairs(CartRecord& record, uint64_t offset, Diagnostics* diag) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kRenames{{
      {"ints", "INT "},
      {std::string_view("int\0", 4), "INT "},
      {"seg1", "SEGs"},
  }};
  for (const auto& [from, to] : kRenames) {
    for (std::size_t slot = 0; slot < 5; ++slot) RepairTimerId(record, slot, from, to, offset, diag);
  }
}

}  // namespace

std::string RenderCartChunk(const CartRecord& record) {
  bytes::Writer w;
  w.raw(kCartId);
  w.le32(static_cast<uint32_t>(kCartWrittenBodySize));
  VisitCartFields(record, [&w](const auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, int32_t>) {
      w.le32(static_cast<uint32_t>(field));
    } else {
      w.raw(field.view());
    }
  });
  w.le16(0);  // empty tag text
  return std::move(w.data());
}

CartRecord ParseCartChunk(std::string_view bytes) {
  CartRecord record;
  bytes::Cursor c(bytes);
  const auto fill = [&c](auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, int32_t>) {
      field = c.le32s();
    } else {
      const std::string text = c.text(field.kWidth);
      std::copy(text.begin(), text.end(), field.bytes.begin());
    }
  };
  fill(record.ChunkId);
  fill(record.ChunkSize);
  VisitCartFields(record, fill);
  if (record.ChunkSize > static_cast<int32_t>(kCartFixedBodySize) && bytes.size() > kFixedChunkSize) {
    const auto wanted =
        std::min(static_cast<std::size_t>(record.ChunkSize) - kCartFixedBodySize, kMaxTagText);
    std::string_view tag = bytes.substr(kFixedChunkSize, wanted);
    while (!tag.empty() && tag.back() == '\0') tag.remove_suffix(1);
    record.TagText.assign(tag);
  }
  return record;
}

bool FindCartAtStart(const fs::path& path, CartRecord& record, Diagnostics* diag) {
  SourceFile file(path);
  if (!file.open()) {
    Note(diag, "open-failed", 0, "the file cannot be opened for reading");
    return false;
  }
  uint64_t offset = 0;
  if (SearchWindow(file, 0, kSearchWindow, kSearchWindow, {}, diag, offset) != Search::kFound) return false;
  if (!ReadChunkAt(file, offset, record, diag)) return false;
  ApplyStartRepairs(record, offset, diag);
  return HasTimerIds(record, offset, diag);
}

bool FindCartAtEnd(const fs::path& path, CartRecord& record, FormatCode fromCode,
                   const std::function<void()>& yield, Diagnostics* diag) {
  SourceFile file(path);
  if (!file.open()) {
    Note(diag, "open-failed", 0, "the file cannot be opened for reading");
    return false;
  }
  const uint64_t n = file.size();
  uint64_t offset = 0;
  Search found = Search::kNone;
  if (n >= kWindowABack) {
    found = SearchWindow(file, n - kWindowABack, kSearchWindow, kLastEndStart, yield, diag, offset);
  }
  if (found == Search::kNone && n >= kWindowBBack) {
    std::string window;
    if (!file.Read(n - kWindowBBack, kSearchWindow, window)) return false;
    const std::size_t first = window.find(kCartId);
    if (first != std::string::npos) {
      found = SearchWindow(file, n - kWindowBBack + first, kSearchWindow, kLastEndStart, yield, diag, offset);
    }
  }
  if (found != Search::kFound) return false;
  if (!ReadChunkAt(file, offset, record, diag)) return false;
  if (fromCode == code::kMyriad) ApplyMyriadEndRepairs(record, offset, diag);
  return HasTimerIds(record, offset, diag);
}

void PrepareCartForWrite(CartRecord& record) {
  SetFixedTextNulPadded(record.URL, CleanText(record.URL));
  if (Lower(CleanText(record.URL)).find("junk") != std::string::npos) record.URL = {};

  record.TagText.clear();
  SetId(record.Version, "0101");
  record.ChunkSize = kCartWrittenBodySize;
  record.ProducerAppID = {};
  record.ProducerAppVersion = {};

  // A record that was neither read from a chunk nor built gets the ids of the timers the system
  // writes; their values stay.
  if (CleanText(record.ChunkId).empty()) {
    SetId(record.ChunkId, kCartId);
    SetId(record.Version, "0101");
    static constexpr std::array<std::string_view, 5> kIds{"INT ", "AUDs", "AUDe", "SEGs", "SEGe"};
    for (std::size_t slot = 0; slot < kIds.size(); ++slot) SetId(record.PostTimers[slot].Id, kIds[slot]);
  }

  // Some sources carry the year of the item at the start of the URL field; targets expect it in
  // OutCue and after the timing notation in UserDef.
  const std::string url = CleanText(record.URL);
  const std::string_view year = std::string_view(url).substr(0, std::min<std::size_t>(4, url.size()));
  const double value = ReadNumberPrefix(year);
  if (value > 1900 && value < 2100) {
    SetFixedTextNulPadded(record.OutCue, year);
    if (record.UserDef.view().find('/') == std::string_view::npos) {
      record.UserDef = {};
    } else {
      SetFixedTextNulPadded(record.UserDef, CleanText(record.UserDef) + std::string(year));
    }
  }
}

void MarkMp3Producer(CartRecord& record) { SetFixedTextNulPadded(record.ProducerAppID, "AX-MP3"); }

bool IsRivendellProducer(const CartRecord& record) { return CleanText(record.ProducerAppID) == "rivendell"; }

}  // namespace airfoldex
