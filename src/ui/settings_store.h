#pragma once

// Options persist in an INI settings file; the engine reads and writes them through this
// interface, one key at a time, with no cache in between. Values are UTF-8.

#include <string>
#include <string_view>

namespace airfoldex {

// Which file a read goes to: the settings (or the script that stands in for them) or the
// text-replacement file of the current source folder.
enum class SettingsFile { Settings, Macro };

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The value of key in section; defaultValue when the file, section or key is missing or the
  // value is empty. Values lose leading and trailing spaces and are cut to 254 characters.
  std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue,
                          SettingsFile file = SettingsFile::Settings) {
    return Read(section, key, defaultValue, file);
  }
  // Stores one value; the write reaches the file at once. A failed write is not an error.
  void WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
    Write(section, key, value);
  }

 protected:
  virtual std::string Read(std::string_view section, std::string_view key, std::string_view defaultValue,
                           SettingsFile file) = 0;
  virtual void Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

inline constexpr std::string_view kSettingsSection = "Settings";

}  // namespace airfoldex
