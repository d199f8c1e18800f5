#include "text.h"

#include <array>

namespace tagwell::text {

namespace {

// Characters of bytes 0x80-0x9F; the five bytes the code page leaves undefined keep their C1 code.
constexpr std::array<char16_t, 32> kHighRow = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsUtf16(uint8_t encoding) { return encoding == kUtf16 || encoding == kUtf16Be; }

void AppendUtf16(std::string& out, char32_t c, bool bigEndian) {
  auto unit = [&](char16_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  };
  if (c >= 0x10000) {
    c -= 0x10000;
    unit(static_cast<char16_t>(0xD800 + (c >> 10)));
    unit(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else {
    unit(static_cast<char16_t>(c));
  }
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<uint8_t>(bytes[0]), b1 = static_cast<uint8_t>(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE) {
      bigEndian = false;
      bytes.remove_prefix(2);
    } else if (b0 == 0xFE && b1 == 0xFF) {
      bigEndian = true;
      bytes.remove_prefix(2);
    }
  }
  std::string out;
  auto unitAt = [&](std::size_t i) {
    const auto a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t u = unitAt(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      const char16_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        out.push_back(ToCp1252(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00)));
        i += 2;
        continue;
      }
    }
    if (u == 0xFEFF) continue;  // a byte-order mark inside the text
    out.push_back(ToCp1252(u));
  }
  return out;
}

// Calls emit(code point, false) for each character and emit(byte, true) for each malformed byte.
template <typename Emit>
void WalkUtf8(std::string_view bytes, Emit emit) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    // Lead bytes 0xC2-0xF4 start a sequence; 0x80-0xC1 and 0xF5-0xFF never do.
    const int extra = b >= 0xF0 ? (b < 0xF5 ? 3 : -1) : b >= 0xE0 ? 2 : b >= 0xC2 ? 1 : b >= 0x80 ? -1 : 0;
    char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < bytes.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto cont = static_cast<uint8_t>(bytes[i + k]);
      if ((cont & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (cont & 0x3F);
    }
    if (!ok) {
      emit(static_cast<char32_t>(b), true);
      ++i;
      continue;
    }
    emit(c, false);
    i += 1 + static_cast<std::size_t>(extra);
  }
}

std::string DecodeUtf8(std::string_view bytes) {
  std::string out;
  WalkUtf8(bytes, [&](char32_t c, bool malformed) {
    if (malformed) {
      out.push_back(static_cast<char>(c));
    } else if (c != 0xFEFF) {
      out.push_back(ToCp1252(c));
    }
  });
  return out;
}

}  // namespace

char32_t FromCp1252(uint8_t byte) { return byte >= 0x80 && byte < 0xA0 ? kHighRow[byte - 0x80] : byte; }

char ToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighRow.size(); ++i) {
    if (kHighRow[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::string Decode(uint8_t encoding, std::string_view bytes) {
  switch (encoding) {
    case kUtf16:
      return DecodeUtf16(bytes, false);
    case kUtf16Be:
      return DecodeUtf16(bytes, true);
    case kUtf8:
      return DecodeUtf8(bytes);
    default:
      return std::string(bytes);
  }
}

std::string_view TakeString(uint8_t encoding, std::string_view& rest) {
  std::size_t end = std::string_view::npos, step = 1;
  if (IsUtf16(encoding)) {
    step = 2;
    for (std::size_t i = 0; i + 1 < rest.size(); i += 2) {
      if (rest[i] == '\0' && rest[i + 1] == '\0') {
        end = i;
        break;
      }
    }
  } else {
    end = rest.find('\0');
  }
  if (end == std::string_view::npos) {
    const std::string_view all = rest;
    rest = {};
    return all;
  }
  const std::string_view head = rest.substr(0, end);
  rest.remove_prefix(end + step);
  return head;
}

uint8_t ChooseEncoding(std::string_view cp1252) {
  for (const char ch : cp1252) {
    const auto b = static_cast<uint8_t>(ch);
    if (b >= 0x80 && b < 0xA0) return kUtf16;
  }
  return kLatin1;
}

std::string Encode(uint8_t encoding, std::string_view cp1252) {
  if (encoding == kLatin1) return std::string(cp1252);
  std::string out;
  if (encoding == kUtf16) out = "\xFF\xFE";
  for (const char ch : cp1252) {
    const char32_t c = FromCp1252(static_cast<uint8_t>(ch));
    if (encoding == kUtf8) {
      if (c < 0x80) {
        out.push_back(static_cast<char>(c));
      } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      }
    } else {
      AppendUtf16(out, c, encoding == kUtf16Be);
    }
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  WalkUtf8(utf8, [&](char32_t c, bool malformed) {
    AppendUtf16(out, malformed ? FromCp1252(static_cast<uint8_t>(c)) : c, false);
  });
  return out;
}

std::string_view Terminator(uint8_t encoding) {
  return IsUtf16(encoding) ? std::string_view("\0\0", 2) : std::string_view("\0", 1);
}

}  // namespace tagwell::text
