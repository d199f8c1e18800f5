#pragma once

// Frame bodies and the host's text: what a frame's value reads as, and the body a value is written as.

#include <string>
#include <string_view>

namespace tagwell::frames {

enum class Kind {
  kText,      // T... : encoding, text
  kUserText,  // TXXX : encoding, description, text
  kUrl,       // W... : URL, no encoding byte
  kUserUrl,   // WXXX : encoding, description, URL
  kLangText,  // COMM, USLT : encoding, language, description, text
  kCounter,   // PCNT : a big-endian count of at least four bytes
  kBinary,    // everything else, kept as it stands
};

Kind KindOf(std::string_view id);

// The value of a frame as the host sees it (see cMP3ID3v2 in tagwell.h).
std::string ValueOf(std::string_view id, std::string_view body);

// Only the text of a frame: for TXXX, WXXX, COMM and USLT without the description.
std::string TextOf(std::string_view id, std::string_view body);

// The body as a version 2.3 tag holds it: text in UTF-8, which version 2.3 does not know and some
// readers then misparse the rest of the tag over, becomes UTF-16 with byte-order mark; every other
// body is returned as it stands.
std::string ForVersion23(std::string_view id, std::string_view body);

// The body for a value; false for a PCNT value that is not a decimal number.
bool BodyOf(std::string_view id, std::string_view value, std::string* body);

}  // namespace tagwell::frames
