#include "frames.h"

#include <algorithm>
#include <vector>

#include "bytes.h"
#include "text.h"

namespace tagwell::frames {

namespace {

struct Described {
  std::string description;
  std::string text;
};

constexpr std::string_view kLanguage = "eng";

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The strings of a text frame after its encoding byte; a trailing terminator ends the text and
// further terminators separate values, which are joined by "/".
std::string JoinedText(uint8_t encoding, std::string_view rest) {
  std::vector<std::string> parts;
  while (!rest.empty()) parts.push_back(text::Decode(encoding, text::TakeString(encoding, rest)));
  while (!parts.empty() && parts.back().empty()) parts.pop_back();
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out;
}

// A body that does not start with a known encoding byte is taken as plain text with its NULs removed.
std::string Unencoded(std::string_view body) {
  std::string out(body);
  out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
  return out;
}

std::string Latin1Until0(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

Described ParseDescribed(Kind kind, std::string_view body) {
  const uint8_t encoding = bytes::u8(body[0]);
  std::string_view rest = body.substr(1);
  if (kind == Kind::kLangText) {
    // An earlier writer of ours stored lyrics as encoding, NUL, text: no language, no description.
    if (rest.size() >= 1 && rest[0] == '\0' && rest.substr(1).find('\0') == std::string_view::npos) {
      return {{}, text::Decode(text::kLatin1, rest.substr(1))};
    }
    rest.remove_prefix(std::min<std::size_t>(3, rest.size()));
  }
  Described d;
  d.description = text::Decode(encoding, text::TakeString(encoding, rest));
  d.text = kind == Kind::kUserUrl ? Latin1Until0(rest) : JoinedText(encoding, rest);
  return d;
}

// A value "description NUL text", or the text alone.
Described SplitDescribed(std::string_view value) {
  const auto nul = value.find('\0');
  if (nul == std::string_view::npos) return {{}, std::string(value)};
  return {std::string(value.substr(0, nul)), std::string(value.substr(nul + 1))};
}

// Big-endian bytes of any length as a decimal number.
std::string CounterText(std::string_view body) {
  std::vector<uint8_t> n(body.begin(), body.end());
  std::string digits;
  while (std::any_of(n.begin(), n.end(), [](uint8_t b) { return b != 0; })) {
    unsigned remainder = 0;
    for (auto& b : n) {
      const unsigned cur = (remainder << 8) | b;
      b = static_cast<uint8_t>(cur / 10);
      remainder = cur % 10;
    }
    digits.push_back(static_cast<char>('0' + remainder));
  }
  if (digits.empty()) return std::string(1, '0');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

// A decimal number as big-endian bytes, at least four.
std::string CounterBody(std::string_view digits) {
  std::vector<uint8_t> n;  // least significant first
  for (const char c : digits) {
    unsigned carry = static_cast<unsigned>(c - '0');
    for (auto& b : n) {
      const unsigned cur = b * 10u + carry;
      b = static_cast<uint8_t>(cur & 0xFF);
      carry = cur >> 8;
    }
    while (carry) {
      n.push_back(static_cast<uint8_t>(carry & 0xFF));
      carry >>= 8;
    }
  }
  while (n.size() < 4) n.push_back(0);
  return std::string(n.rbegin(), n.rend());
}

}  // namespace

Kind KindOf(std::string_view id) {
  if (id == "TXXX") return Kind::kUserText;
  if (id == "WXXX") return Kind::kUserUrl;
  if (id == "COMM" || id == "USLT") return Kind::kLangText;
  if (id == "PCNT") return Kind::kCounter;
  if (id == "IPLS" || (!id.empty() && id[0] == 'T')) return Kind::kText;
  if (!id.empty() && id[0] == 'W') return Kind::kUrl;
  return Kind::kBinary;
}

std::string TextOf(std::string_view id, std::string_view body) {
  const Kind kind = KindOf(id);
  if (body.empty()) return {};
  switch (kind) {
    case Kind::kText: {
      const uint8_t encoding = bytes::u8(body[0]);
      return encoding <= text::kUtf8 ? JoinedText(encoding, body.substr(1)) : Unencoded(body);
    }
    case Kind::kUserText:
    case Kind::kUserUrl:
    case Kind::kLangText:
      return bytes::u8(body[0]) <= text::kUtf8 ? ParseDescribed(kind, body).text : Unencoded(body);
    case Kind::kUrl:
      // An earlier writer of ours put an encoding byte before the URL.
      return Latin1Until0(body.substr(body[0] == '\0' ? 1 : 0));
    case Kind::kCounter:
      // An earlier writer of ours stored the count as NUL and decimal digits.
      if (body.size() >= 2 && body[0] == '\0' && IsDigits(body.substr(1))) return std::string(body.substr(1));
      return CounterText(body);
    case Kind::kBinary:
      break;
  }
  return std::string(body);
}

std::string ValueOf(std::string_view id, std::string_view body) {
  const Kind kind = KindOf(id);
  if ((kind == Kind::kUserText || kind == Kind::kUserUrl || kind == Kind::kLangText) && !body.empty() &&
      bytes::u8(body[0]) <= text::kUtf8) {
    const Described d = ParseDescribed(kind, body);
    return d.description.empty() ? d.text : d.description + '\0' + d.text;
  }
  return TextOf(id, body);
}

std::string ForVersion23(std::string_view id, std::string_view body) {
  if (body.empty() || bytes::u8(body[0]) != text::kUtf8) return std::string(body);
  const Kind kind = KindOf(id);
  // What precedes the strings (encoding, language, MIME type and picture type) and how many strings
  // follow: all of them for text, the description alone before a URL or picture data.
  std::size_t lead = 1;
  bool onlyFirst = false;
  if (kind == Kind::kLangText) {
    lead = 4;
  } else if (kind == Kind::kUserUrl) {
    onlyFirst = true;
  } else if (id == "APIC") {
    const auto mimeEnd = body.find('\0', 1);
    if (mimeEnd == std::string_view::npos || mimeEnd + 2 > body.size()) return std::string(body);
    lead = mimeEnd + 2;
    onlyFirst = true;
  } else if (kind != Kind::kText && kind != Kind::kUserText) {
    return std::string(body);
  }
  if (lead > body.size()) return std::string(body);

  std::string out(1, static_cast<char>(text::kUtf16));
  out += body.substr(1, lead - 1);
  std::string_view rest = body.substr(lead);
  while (!rest.empty()) {
    const bool terminated = rest.find('\0') != std::string_view::npos;
    out += text::Utf8ToUtf16(text::TakeString(text::kUtf8, rest));
    if (terminated) out += text::Terminator(text::kUtf16);
    if (onlyFirst) {
      out += rest;  // the URL or the picture as it stands
      break;
    }
  }
  return out;
}

bool BodyOf(std::string_view id, std::string_view value, std::string* body) {
  const Kind kind = KindOf(id);
  switch (kind) {
    case Kind::kText: {
      const uint8_t encoding = text::ChooseEncoding(value);
      *body = static_cast<char>(encoding) + text::Encode(encoding, value);
      return true;
    }
    case Kind::kUserText:
    case Kind::kUserUrl:
    case Kind::kLangText: {
      const Described d = SplitDescribed(value);
      const uint8_t encoding =
          text::ChooseEncoding(kind == Kind::kUserUrl ? d.description : d.description + d.text);
      std::string out(1, static_cast<char>(encoding));
      if (kind == Kind::kLangText) out += kLanguage;
      out += text::Encode(encoding, d.description);
      out += text::Terminator(encoding);
      out += kind == Kind::kUserUrl ? d.text : text::Encode(encoding, d.text);
      *body = std::move(out);
      return true;
    }
    case Kind::kCounter:
      if (!IsDigits(value)) return false;
      *body = CounterBody(value);
      return true;
    case Kind::kUrl:
    case Kind::kBinary:
      break;
  }
  *body = std::string(value);
  return true;
}

}  // namespace tagwell::frames
