#pragma once

// Byte fixtures for the tag tests: ID3v2 headers and frames of each version, ID3v1 tags, and audio
// bytes that start with an MPEG-1 Layer III frame header.

#include <cstdint>
#include <string>
#include <string_view>

#include "support/test_support.h"

namespace tagwell::test {

inline std::string Be(uint32_t v, int width) {
  std::string out;
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return out;
}

inline std::string Syncsafe(uint32_t v) {
  std::string out;
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (7 * i)) & 0x7F));
  return out;
}

// One frame: 2.2 has a 3-byte size, 2.3 a plain 32-bit size, 2.4 a syncsafe size; 2.3/2.4 add flags.
inline std::string Frame(int version, std::string_view id, std::string_view body, uint16_t flags = 0) {
  const auto size = static_cast<uint32_t>(body.size());
  if (version == 2) return std::string(id) + Be(size, 3) + std::string(body);
  return std::string(id) + (version == 4 ? Syncsafe(size) : Be(size, 4)) + Be(flags, 2) + std::string(body);
}

// A tag: header with a syncsafe size that counts the frames and the zero padding after them.
inline std::string Tag(int version, std::string_view frames, std::size_t padding = 0, uint8_t flags = 0) {
  return "ID3" + std::string(1, static_cast<char>(version)) + std::string(1, '\0') +
         std::string(1, static_cast<char>(flags)) + Syncsafe(static_cast<uint32_t>(frames.size() + padding)) +
         std::string(frames) + std::string(padding, '\0');
}

// Audio bytes that begin with an MPEG-1 Layer III frame header and hold no "ID3".
inline std::string Audio(std::size_t length = 5000) {
  std::string a = "\xFF\xFB\x90\x64" + airfoldex::test::PatternAudio(length - 4);
  for (std::size_t at = a.find("ID3"); at != std::string::npos; at = a.find("ID3")) a[at] = 'X';
  return a;
}

// An ID3v1.1 tag; fields are NUL-padded as most writers do.
inline std::string V1Tag(std::string_view title, std::string_view artist, std::string_view album,
                         std::string_view year, std::string_view comment, uint8_t track, uint8_t genre) {
  auto field = [](std::string_view s, std::size_t width) {
    std::string f(s.substr(0, width));
    f.resize(width, '\0');
    return f;
  };
  return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
         field(comment, 28) + std::string(1, '\0') + std::string(1, static_cast<char>(track)) +
         std::string(1, static_cast<char>(genre));
}

}  // namespace tagwell::test
