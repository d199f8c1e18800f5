#pragma once

// Where the program finds its settings at start-up.

#include <filesystem>

namespace airfoldex {

inline constexpr const char* kSettingsFileName = "Airfoldex.INI";

// The folder of the running executable (where the settings template is installed).
std::filesystem::path ProgramFolder();

// On first start the data folder does not exist: create it and copy the settings template
// "Airfoldex.INI" from the program's folder into it. Errors are ignored: without the template
// every option simply reads as its default.
void PrepareDataFolder(const std::filesystem::path& dataFolder, const std::filesystem::path& programFolder);

}  // namespace airfoldex
