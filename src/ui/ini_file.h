#pragma once

// One INI file read and written one key at a time, the way the Windows private-profile
// functions do it. Section and key names match without regard to letter case; a value loses its
// leading and trailing spaces and is cut to 254 characters; every write goes to the file at once
// and keeps all other lines, their order, comments and line ends.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace airfoldex {

inline constexpr std::size_t kMaxSettingLength = 254;

// The value of key in section; nothing when the file, the section or the key is missing. An
// empty value is returned as empty.
std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key);

// Sets key in section (adding the key, or the section at the end, when missing). The file is
// rewritten through a renamed copy, so a failure never leaves half a file; a file that exists
// but cannot be read is never replaced. False when the value did not reach the file.
bool WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace airfoldex
