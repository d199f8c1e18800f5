#pragma once

// File-system helpers with the habits the automation world expects: paths given with "\" or
// "/", folders listed in case-insensitive name order, letter case of names ignored on lookup.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ascii_text.h"

namespace airfoldex {

// A path typed by a person or read from a settings file; "\" and "/" both separate.
std::filesystem::path UserPath(std::string_view text);

// The file name upper-cased with every ".WAV" removed: "song.wave.wav" -> "SONGE".
std::string BaseKeyOf(std::string_view fileName);

// The names of the regular files of a folder (no subfolders), sorted by the byte order of their
// upper-cased names so that runs are repeatable. Empty when the folder cannot be read.
std::vector<std::string> ListFilesSorted(const std::filesystem::path& folder);

// folder/name when it exists; otherwise the first entry of the folder whose name matches without
// regard to letter case; otherwise folder/name as given.
std::filesystem::path FindCaseInsensitive(const std::filesystem::path& folder, const std::string& name);

// The first subfolder of a folder in name order; nothing when it has none or does not exist.
std::optional<std::filesystem::path> FirstSubfolder(const std::filesystem::path& folder);

// The destination folder for a destination text that may end with a wildcard: "...\*" stands for
// the first subfolder, "...\**" for the first subfolder of the first subfolder ("/" works too).
std::string ResolveDestinationWildcard(std::string_view text);

// The data folder: $AIRFOLDEX_DATA when set, else $XDG_CONFIG_HOME/airfoldex, else
// ~/.config/airfoldex.
std::filesystem::path DataFolder();

}  // namespace airfoldex
