#pragma once

// Small text helpers that work on bytes: ASCII case mapping (bytes above 0x7F stay as they are,
// so UTF-8 and Windows-1252 text pass through), trimming and replacing.

#include <string>
#include <string_view>

namespace airfoldex {

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// Without leading and trailing spaces and tabs.
std::string_view TrimBlanks(std::string_view text);

// Replaces every occurrence of `from` in `text` by `to`.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace airfoldex
