#include "ui/settings_files.h"

#include "engine/paths.h"
#include "ui/ini_file.h"

namespace airfoldex {

namespace fs = std::filesystem;

void SettingsFiles::UseScript(const fs::path& dataFolder, const std::string& name) {
  scriptFile_ = FindCaseInsensitive(dataFolder, name + ".txt");
  writesToScript_ = name.find(".txt") == std::string::npos;
}

std::string SettingsFiles::Read(std::string_view section, std::string_view key, std::string_view defaultValue,
                                SettingsFile file) {
  fs::path path = settingsFile_;
  if (file == SettingsFile::Macro) path = FindCaseInsensitive(macroFolder_, "MACRO.txt");
  if (!scriptFile_.empty()) path = scriptFile_;
  const auto value = ReadIniValue(path, section, key);
  return value && !value->empty() ? *value : std::string(defaultValue);
}

void SettingsFiles::Write(std::string_view section, std::string_view key, std::string_view value) {
  const fs::path& path = writesToScript_ ? scriptFile_ : settingsFile_;
  if (!WriteIniValue(path, section, key, value)) {
    std::error_code ec;
    if (fs::exists(path, ec)) writeFailedOnExisting_ = true;
  }
}

}  // namespace airfoldex
