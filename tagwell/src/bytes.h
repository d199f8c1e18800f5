#pragma once

// Tagwell's own byte helpers (the library links against nothing of the program): a bounds-checked
// big-endian reader over a span and an appending writer. The byte order is in every name.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tagwell::bytes {

inline uint8_t u8(char c) { return static_cast<uint8_t>(c); }

inline uint32_t be24(std::string_view p) {
  return (static_cast<uint32_t>(u8(p[0])) << 16) | (static_cast<uint32_t>(u8(p[1])) << 8) | u8(p[2]);
}
inline uint32_t be32(std::string_view p) {
  return (static_cast<uint32_t>(u8(p[0])) << 24) | (static_cast<uint32_t>(u8(p[1])) << 16) |
         (static_cast<uint32_t>(u8(p[2])) << 8) | u8(p[3]);
}
// Four bytes of seven bits each, most significant first.
inline uint32_t syncsafe32(std::string_view p) {
  return (static_cast<uint32_t>(u8(p[0]) & 0x7F) << 21) | (static_cast<uint32_t>(u8(p[1]) & 0x7F) << 14) |
         (static_cast<uint32_t>(u8(p[2]) & 0x7F) << 7) | (u8(p[3]) & 0x7F);
}
// True when none of the four bytes has its top bit set, so they may be read as a syncsafe number.
inline bool IsSyncsafe(std::string_view p) {
  return ((u8(p[0]) | u8(p[1]) | u8(p[2]) | u8(p[3])) & 0x80) == 0;
}

inline constexpr uint32_t kMaxSyncsafe = 0x0FFFFFFF;

// A cursor over a byte span that never reads past its end: take() hands out at most what is left.
class Cursor {
 public:
  explicit Cursor(std::string_view data) : data_(data) {}

  std::size_t pos() const { return pos_; }
  std::size_t remaining() const { return data_.size() - pos_; }
  bool has(std::size_t n) const { return n <= remaining(); }

  // The next n bytes, or fewer when the span ends first.
  std::string_view take(std::size_t n) {
    const std::size_t k = std::min(n, remaining());
    const std::string_view out = data_.substr(pos_, k);
    pos_ += k;
    return out;
  }
  uint8_t byte() { return has(1) ? u8(data_[pos_++]) : 0; }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

class Writer {
 public:
  std::string& data() { return out_; }
  std::size_t size() const { return out_.size(); }

  void byte(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void be32(uint32_t v) {
    for (int i = 3; i >= 0; --i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void syncsafe32(uint32_t v) {
    for (int i = 3; i >= 0; --i) out_.push_back(static_cast<char>((v >> (7 * i)) & 0x7F));
  }
  void raw(std::string_view bytes) { out_.append(bytes); }
  void zeros(std::size_t n) { out_.append(n, '\0'); }
  // Text cut or padded with `pad` to exactly width bytes.
  void fixed(std::string_view text, std::size_t width, char pad) {
    const std::size_t n = std::min(width, text.size());
    out_.append(text.substr(0, n));
    out_.append(width - n, pad);
  }
  void PatchBe32(std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
  }
  void PatchSyncsafe32(std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>((v >> (7 * (3 - i))) & 0x7F);
  }

 private:
  std::string out_;
};

}  // namespace tagwell::bytes
