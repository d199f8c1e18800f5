#pragma once

// Metadata inside audio files, sidecars and databases is 8-bit Windows-1252 text; file names,
// the results log, INI values and everything shown to the person are UTF-8. These two
// conversions are the boundary.

#include <string>
#include <string_view>

namespace airfoldex {

std::string Cp1252ToUtf8(std::string_view text);

// Characters that Windows-1252 cannot hold become '?'; malformed UTF-8 bytes are taken as
// Windows-1252 bytes as they stand, so text that was never UTF-8 survives unchanged.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace airfoldex
