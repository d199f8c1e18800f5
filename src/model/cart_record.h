#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace airfoldex {

// A fixed-width text field of N bytes (8-bit Windows-1252 characters, no conversion).
// A blank field holds N NUL bytes.
template <std::size_t N>
struct FixedText {
  static constexpr std::size_t kWidth = N;
  std::array<char, N> bytes{};

  std::string_view view() const { return std::string_view(bytes.data(), N); }
  bool operator==(const FixedText&) const = default;
};

// One post timer: a four-character usage id and a position in sample frames.
struct CartTimer {
  FixedText<4> Id;
  int32_t Value = 0;
  bool operator==(const CartTimer&) const = default;
};

inline constexpr std::size_t kPostTimerCount = 8;

// The one metadata record of the item being converted, shaped like the broadcast-WAV cart chunk.
// A default-constructed record is blank: every text field NUL-filled, every number 0.
struct CartRecord {
  FixedText<4> ChunkId;
  int32_t ChunkSize = 0;
  FixedText<4> Version;
  FixedText<64> Title;
  FixedText<64> Artist;
  FixedText<64> CutID;
  FixedText<64> ClientID;
  FixedText<64> Category;
  FixedText<64> Classification;
  FixedText<64> OutCue;
  FixedText<10> StartDate;
  FixedText<8> StartTime;
  FixedText<10> EndDate;
  FixedText<8> EndTime;
  FixedText<64> ProducerAppID;
  FixedText<64> ProducerAppVersion;
  FixedText<64> UserDef;
  int32_t LevelReference = 0;
  std::array<CartTimer, kPostTimerCount> PostTimers{};
  FixedText<276> Reserved;
  FixedText<1024> URL;
  std::string TagText;

  bool operator==(const CartRecord&) const = default;
};

// Blanks the record: NUL-filled text, zero numbers, empty tag text.
void ResetCartRecord(CartRecord& record);

// Removes every NUL, then leading and trailing spaces (U+0020 only; tabs stay).
std::string CleanText(std::string_view text);

template <std::size_t N>
std::string CleanText(const FixedText<N>& field) {
  return CleanText(field.view());
}

// Stores text cut to the field's width, padded with spaces.
template <std::size_t N>
void SetFixedText(FixedText<N>& field, std::string_view text) {
  field.bytes.fill(' ');
  text.copy(field.bytes.data(), std::min(N, text.size()));
}

// Stores text cut to the field's width, padded with NULs.
template <std::size_t N>
void SetFixedTextNulPadded(FixedText<N>& field, std::string_view text) {
  field.bytes.fill('\0');
  text.copy(field.bytes.data(), std::min(N, text.size()));
}

// True for odd 32-bit integers, negative ones included: the RIFF rule that an odd-sized chunk
// is followed by one pad byte.
constexpr bool IsOdd(int64_t n) { return (n & 1) != 0; }

}  // namespace airfoldex
