#pragma once

// Text inside ID3v2 frames and its conversion to and from the host's Windows-1252 text.

#include <cstdint>
#include <string>
#include <string_view>

namespace tagwell::text {

// The encoding byte that starts a text-bearing frame.
enum Encoding : uint8_t { kLatin1 = 0, kUtf16 = 1, kUtf16Be = 2, kUtf8 = 3 };

char32_t FromCp1252(uint8_t byte);
// The Windows-1252 byte of a character, '?' for a character the code page does not hold.
char ToCp1252(char32_t c);

// One string (without its terminator) in a frame encoding, as Windows-1252 text. ISO-8859-1 bytes
// are taken as they stand (writers commonly put Windows-1252 there); UTF-16 follows its byte-order
// mark (little-endian without one); malformed UTF-8 bytes are taken as Windows-1252 bytes.
std::string Decode(uint8_t encoding, std::string_view bytes);

// Splits the first string off `rest`: returns its bytes and moves `rest` past its terminator (one
// zero byte, or a zero pair at an even offset for UTF-16). Without a terminator all of `rest` is the
// string.
std::string_view TakeString(uint8_t encoding, std::string_view& rest);

// ISO-8859-1 when every character of the Windows-1252 text has the same code there, else UTF-16.
uint8_t ChooseEncoding(std::string_view cp1252);
// The text in the encoding (UTF-16 starts with the byte-order mark FF FE), without terminator.
std::string Encode(uint8_t encoding, std::string_view cp1252);
std::string_view Terminator(uint8_t encoding);

// UTF-8 bytes as UTF-16 little-endian with the byte-order mark FF FE, character for character (not
// through Windows-1252). Malformed bytes are taken as Windows-1252 characters.
std::string Utf8ToUtf16(std::string_view utf8);

}  // namespace tagwell::text
