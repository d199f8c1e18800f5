#include "riff/disp.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <system_error>

#include "model/cart_record.h"
#include "riff/bytes.h"

namespace airfoldex {

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kWindow = 8192;
// A display text is a line of text; anything longer is not read whole.
constexpr uint64_t kMaxDispText = 64 * 1024;

void Note(Diagnostics* diag, std::string code, uint64_t offset, std::string text) {
  if (diag) diag->push_back(Diagnostic{std::move(code), "DISP", offset, std::move(text)});
}

// Up to n bytes of the file from offset; fewer at its end, none when it cannot be read.
std::string ReadRange(std::ifstream& in, uint64_t fileSize, uint64_t offset, uint64_t n) {
  if (offset >= fileSize) return {};
  std::string out(static_cast<std::size_t>(std::min(n, fileSize - offset)), '\0');
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(out.data(), static_cast<std::streamsize>(out.size()));
  out.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return out;
}

// Reads the chunk whose id lies at `at`: id, size, type, then size - 4 bytes of text.
bool ReadDispAt(std::ifstream& in, uint64_t fileSize, uint64_t at, DispRecord& disp, Diagnostics* diag) {
  const std::string header = ReadRange(in, fileSize, at, 12);
  bytes::Cursor c(header);
  disp.DispId = c.fourcc();
  disp.DispSize = c.le32s();
  disp.DispType = c.le32s();
  if (c.overrun()) {
    Note(diag, "chunk-truncated", at, "DISP header cut off by the end of the file");
    return false;
  }
  if (disp.DispSize < 4) {
    Note(diag, "chunk-size", at,
         "DISP size " + std::to_string(disp.DispSize) + " leaves no room for its type");
    return false;
  }
  if (disp.DispType != 1) {
    // Only type 1 holds text; a picture (type 8 and others) is no title.
    Note(diag, "disp-not-text", at, "DISP of type " + std::to_string(disp.DispType) + " holds no text; not read");
    return false;
  }
  const uint64_t textAt = at + 12;
  const uint64_t declared = static_cast<uint64_t>(disp.DispSize) - 4;
  const uint64_t present = textAt < fileSize ? fileSize - textAt : 0;
  uint64_t length = std::min(declared, present);
  if (length < declared) Note(diag, "chunk-clamped", at, "DISP text runs past the end of the file");
  if (length > kMaxDispText) {
    length = kMaxDispText;
    Note(diag, "chunk-clamped", at, "DISP text longer than 64 KiB; the rest is not read");
  }
  disp.DispText = CleanText(ReadRange(in, fileSize, textAt, length));
  return true;
}

// The file offset of the first "DISP" within the window [from, from + kWindow).
std::optional<uint64_t> FindDisp(std::ifstream& in, uint64_t fileSize, uint64_t from) {
  const std::string window = ReadRange(in, fileSize, from, kWindow);
  const std::size_t hit = window.find("DISP");
  if (hit == std::string::npos) return std::nullopt;
  return from + hit;
}

bool OpenForReading(const fs::path& path, std::ifstream& in, uint64_t& size) {
  std::error_code ec;
  size = fs::file_size(path, ec);
  if (ec) return false;
  in.open(path, std::ios::binary);
  return static_cast<bool>(in);
}

}  // namespace

bool ReadDispAtStart(const fs::path& path, DispRecord& disp, Diagnostics* diag) {
  disp = DispRecord{};
  std::ifstream in;
  uint64_t size = 0;
  if (!OpenForReading(path, in, size)) return false;
  // A file shorter than the window is searched as far as it goes.
  const auto at = FindDisp(in, size, 0);
  return at && ReadDispAt(in, size, *at, disp, diag);
}

bool ReadDispAtEnd(const fs::path& path, DispRecord& disp, ListInfoValues& values, Diagnostics* diag) {
  disp = DispRecord{};
  std::ifstream in;
  uint64_t size = 0;
  bool found = false;
  if (OpenForReading(path, in, size) && size > kWindow) {
    // The last window ends one byte before the end of the file; the one before it needs a file of
    // more than two windows.
    std::optional<uint64_t> at = FindDisp(in, size, size - kWindow - 1);
    if (!at && size > 2 * kWindow) at = FindDisp(in, size, size - 2 * kWindow - 1);
    found = at && ReadDispAt(in, size, *at, disp, diag);
  }
  if (values.Get("TTTL").empty()) values.Set("TTTL", disp.DispText);
  return found;
}

std::string BuildDispChunk(std::string_view title) {
  const std::string text = CleanText(title);
  // Type, text and a NUL; a second NUL keeps the size even and is counted in it.
  uint32_t size = static_cast<uint32_t>(text.size()) + 5;
  const bool pad = IsOdd(size);
  if (pad) ++size;
  bytes::Writer w;
  w.raw("DISP");
  w.le32(size);
  w.le32(1);  // type: text
  w.raw(text);
  w.raw(std::string_view("\0\0", pad ? 2 : 1));
  return w.data();
}

}  // namespace airfoldex
