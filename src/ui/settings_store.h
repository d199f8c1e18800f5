#pragma once

// Options persist in an INI settings file; the engine reads and writes them through this
// interface, one key at a time. Values are UTF-8.

#include <string>
#include <string_view>

namespace airfoldex {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The value of key in section; defaultValue when the file, section or key is missing or the
  // value is empty.
  virtual std::string ReadSetting(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) = 0;
  // Stores one value; the write reaches the file at once.
  virtual void WriteSetting(std::string_view section, std::string_view key, std::string_view value) = 0;
};

inline constexpr std::string_view kSettingsSection = "Settings";

}  // namespace airfoldex
