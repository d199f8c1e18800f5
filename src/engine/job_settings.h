#pragma once

// The options of one conversion run.

#include <array>
#include <cstdint>
#include <string>

#include "engine/catalogue.h"
#include "naming/naming_rules.h"

namespace airfoldex {

struct JobSettings {
  FormatCode FromCode = code::kNone;
  FormatCode ToCode = code::kNone;
  // Entry texts of the selections, for messages that name a format.
  std::string FromText;
  std::string ToText;

  // Folders and paths as the person gave them (UTF-8; "\" and "/" both accepted).
  std::string SourceFolder;
  std::string DestinationFolder;
  std::string LogPath;
  std::string EncoDatabasePath;
  std::string RenameListPath;

  std::string CsvMetadataFile;
  std::string CsvPrefix;
  bool PilCsvMode = false;

  bool AutoIncrement = false;
  bool RenameCutId = false;
  bool RenameFileName = false;
  bool UseFileNaming = false;
  bool UseCutIdForFileName = false;
  bool GetDataFromFileName = false;
  std::string CutNumberTemplate;

  bool ErrorStopsOff = false;    // no message boxes for per-file problems
  bool LogFailuresOnly = false;  // no SUCCESS lines
  bool Unattended = false;       // scripted run: no modal dialog, no summary box
  bool ScheduledRun = false;     // started by the scheduler
  bool AudioVault11Mode = false;
  bool LevelActive = false;
  int32_t Level = 0;

  std::string MtDateFormat = "yyyy/mm/dd";  // dates of the MediaTouch target
  NamingRules SourceNaming;                 // reading metadata from source file names
  NamingRules DestinationNaming;            // building destination names from metadata
  std::array<int16_t, 9> CsvFieldRules{};   // how CSV values replace the record's values

  bool MacrosLoaded = false;
  bool EncoLoaded = false;
  bool RenameActive = false;
};

}  // namespace airfoldex
