#pragma once

// The settings store of the program: the settings file "Airfoldex.INI" in the data folder, the
// script file that takes its place in an unattended run, and the text-replacement file
// "MACRO.txt" of the current source folder.

#include <filesystem>
#include <string>

#include "ui/settings_store.h"

namespace airfoldex {

class SettingsFiles final : public SettingsStore {
 public:
  explicit SettingsFiles(std::filesystem::path settingsFile) : settingsFile_(std::move(settingsFile)) {}

  // Unattended mode: every read goes to <data folder>/<name>.txt, and so does every write unless
  // the name itself contains ".txt" (then writes still go to the settings file).
  void UseScript(const std::filesystem::path& dataFolder, const std::string& name);

  // The folder whose "MACRO.txt" the macro reads go to.
  void SetMacroFolder(std::filesystem::path folder) { macroFolder_ = std::move(folder); }

  const std::filesystem::path& settingsFile() const { return settingsFile_; }
  const std::filesystem::path& scriptFile() const { return scriptFile_; }
  bool Unattended() const { return !scriptFile_.empty(); }

  // True once a write failed on a file that exists (so a person can be told once).
  bool WriteFailedOnExistingFile() const { return writeFailedOnExisting_; }

 protected:
  std::string Read(std::string_view section, std::string_view key, std::string_view defaultValue,
                   SettingsFile file) override;
  void Write(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::filesystem::path settingsFile_;
  std::filesystem::path scriptFile_;
  bool writesToScript_ = false;
  std::filesystem::path macroFolder_;
  bool writeFailedOnExisting_ = false;
};

}  // namespace airfoldex
