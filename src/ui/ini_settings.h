#pragma once

// The settings file: an INI file read and written one key at a time, the way the Windows
// private-profile functions do it. Section and key names match without regard to letter case;
// a value loses its leading and trailing spaces and is cut to 254 characters; every write goes
// to the file at once and keeps all other lines, their order and comments.

#include <filesystem>
#include <string>
#include <string_view>

#include "ui/settings_store.h"

namespace airfoldex {

class IniSettings final : public SettingsStore {
 public:
  explicit IniSettings(std::filesystem::path file) : file_(std::move(file)) {}

  std::string ReadSetting(std::string_view section, std::string_view key,
                          std::string_view defaultValue) override;
  void WriteSetting(std::string_view section, std::string_view key, std::string_view value) override;

  const std::filesystem::path& file() const { return file_; }
  // True when the last write could not reach the file (the program goes on regardless).
  bool LastWriteFailed() const { return lastWriteFailed_; }

 private:
  std::filesystem::path file_;
  bool lastWriteFailed_ = false;
};

inline constexpr std::size_t kMaxSettingLength = 254;

}  // namespace airfoldex
