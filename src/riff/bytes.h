#pragma once

// Byte helpers shared by every RIFF unit: a bounds-checked little-/big-endian reader over a span
// and an appending writer. The byte order is in every name; nothing casts structs onto bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace airfoldex::bytes {

inline uint16_t le16(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(u[0] | (u[1] << 8));
}
inline uint32_t le32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint32_t>(u[0]) | (static_cast<uint32_t>(u[1]) << 8) |
         (static_cast<uint32_t>(u[2]) << 16) | (static_cast<uint32_t>(u[3]) << 24);
}
inline uint32_t be32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return (static_cast<uint32_t>(u[0]) << 24) | (static_cast<uint32_t>(u[1]) << 16) |
         (static_cast<uint32_t>(u[2]) << 8) | static_cast<uint32_t>(u[3]);
}

// A cursor over a byte span that never reads past its end: a read beyond the end yields zeros
// and marks the cursor as overrun, so a truncated field is detectable but never a crash.
class Cursor {
 public:
  explicit Cursor(std::string_view data) : data_(data) {}
  // The cursor only views its bytes: a temporary string would be gone before the first read.
  explicit Cursor(std::string&&) = delete;

  std::size_t pos() const { return pos_; }
  std::size_t remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
  bool overrun() const { return overrun_; }
  void seek(std::size_t pos) { pos_ = pos; }
  void skip(std::size_t n) { pos_ = (n > remaining()) ? data_.size() + 1 : pos_ + n; }

  uint16_t le16() { return static_cast<uint16_t>(take(2, &bytes::le16)); }
  uint32_t le32() { return take(4, &bytes::le32); }
  int32_t le32s() { return static_cast<int32_t>(le32()); }
  uint32_t be32() { return take(4, &bytes::be32); }
  std::string fourcc() { return text(4); }

  // Fixed-width text as stored (NULs and spaces kept); short data is zero-filled.
  std::string text(std::size_t width) {
    std::string out(width, '\0');
    const std::size_t n = std::min(width, remaining());
    if (n > 0) data_.copy(out.data(), n, pos_);
    if (n < width) overrun_ = true;
    pos_ += width;
    return out;
  }

 private:
  template <typename F>
  uint32_t take(std::size_t n, F read) {
    char buf[4] = {0, 0, 0, 0};
    const std::size_t have = std::min(n, remaining());
    if (have > 0) data_.copy(buf, have, pos_);
    if (have < n) overrun_ = true;
    pos_ += n;
    return read(buf);
  }

  std::string_view data_;
  std::size_t pos_ = 0;
  bool overrun_ = false;
};

// An appending writer. Chunks are written "begin, fields, end": EndChunk fills in the size of
// the chunk body and adds the pad byte after an odd body.
class Writer {
 public:
  std::string& data() { return out_; }
  const std::string& data() const { return out_; }
  std::size_t size() const { return out_.size(); }

  void le16(uint16_t v) {
    out_.push_back(static_cast<char>(v & 0xFF));
    out_.push_back(static_cast<char>(v >> 8));
  }
  void le32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void be32(uint32_t v) {
    for (int i = 3; i >= 0; --i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void raw(std::string_view bytes) { out_.append(bytes); }
  // Text cut or NUL-padded to exactly width bytes.
  void fixed(std::string_view text, std::size_t width) {
    const std::size_t n = std::min(width, text.size());
    out_.append(text.substr(0, n));
    out_.append(width - n, '\0');
  }

  // Starts a chunk with its id and a size placeholder; returns the offset of the size field.
  std::size_t BeginChunk(std::string_view id) {
    fixed(id, 4);
    const std::size_t at = out_.size();
    le32(0);
    return at;
  }
  // Fills in the body size (excluding the 8-byte header) and pads an odd body with one byte.
  void EndChunk(std::size_t sizeFieldAt) {
    const auto body = static_cast<uint32_t>(out_.size() - sizeFieldAt - 4);
    PatchLe32(sizeFieldAt, body);
    if (body & 1u) out_.push_back('\0');
  }
  void PatchLe32(std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }

 private:
  std::string out_;
};

inline bool IsPrintableId(std::string_view id) {
  if (id.size() != 4) return false;
  for (unsigned char c : id) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

}  // namespace airfoldex::bytes
