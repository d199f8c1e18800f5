#include "ui/options.h"

#include "engine/paths.h"
#include "ui/settings_values.h"

namespace airfoldex {

namespace fs = std::filesystem;

void SelectFormats(JobSettings& job, int fromPosition, int toPosition) {
  job.FromCode = SelectedCode(FormatList::From, fromPosition);
  job.ToCode = SelectedCode(FormatList::To, toPosition);
  job.FromText = std::string(SelectedText(FormatList::From, fromPosition));
  job.ToText = std::string(SelectedText(FormatList::To, toPosition));
}

ProgramOptions LoadProgramOptions(SettingsStore& store, const fs::path& dataFolder) {
  constexpr auto S = kSettingsSection;
  ProgramOptions o;
  JobSettings& job = o.Job;

  o.FromPosition = ReadInt16Setting(store, S, "FormatFrom", "0");
  o.ToPosition = ReadInt16Setting(store, S, "FormatTo", "1");
  SelectFormats(job, o.FromPosition, o.ToPosition);
  o.Schedule = LoadScheduleSettings(store);

  o.SourceText = store.ReadSetting(S, "Source", "C:\\");
  job.SourceFolder = o.SourceText;
  o.DestinationText = store.ReadSetting(S, "Destination", "C:\\");
  job.DestinationFolder = ResolveDestinationWildcard(o.DestinationText);

  o.VolumeText = store.ReadSetting(S, "Volume", "0");
  job.Level = ReadIntSetting(store, S, "Volume", "0", INT32_MIN, INT32_MAX);
  job.LevelActive = store.ReadSetting(S, "VolActive", "False") == "True";

  job.LogPath = store.ReadSetting(S, "Log", (dataFolder / "Airfoldex.log").string());
  o.KeepDates = ReadInt16Setting(store, S, "KeepDates", "1") != 0;
  for (std::size_t i = 0; i < job.CsvFieldRules.size(); ++i) {
    job.CsvFieldRules[i] = ReadInt16Setting(store, "CSV", "Flag" + std::to_string(i), "0");
  }
  job.LogFailuresOnly = ReadBoolSetting(store, S, "LogFailuresOnly", "0");
  job.EncoDatabasePath = store.ReadSetting(S, "DBFFile", "");

  job.CutNumberTemplate = store.ReadSetting(S, "AutoInc", "");
  job.RenameListPath = store.ReadSetting(S, "CSVFile", "");
  job.AutoIncrement = ReadInt16Setting(store, S, "AutoIncrement", "0") == 1;
  job.RenameCutId = ReadInt16Setting(store, S, "CutRename", "0") == 1;
  job.RenameFileName = ReadInt16Setting(store, S, "FileRename", "0") == 1;
  job.UseFileNaming = ReadInt16Setting(store, S, "FileName", "0") == 1;
  job.GetDataFromFileName = ReadInt16Setting(store, S, "ReadFileName", "0") == 1;
  job.UseCutIdForFileName = ReadInt16Setting(store, S, "RenameCutID", "0") == 1;

  job.MtDateFormat = store.ReadSetting(S, "MTdate", "");
  if (job.MtDateFormat.empty()) {
    job.MtDateFormat = "yyyy/mm/dd";
    store.WriteSetting(S, "MTdate", job.MtDateFormat);
  }
  job.ErrorStopsOff = ReadIntSetting(store, S, "ErrorStops", "1", INT32_MIN, INT32_MAX) != 0;

  job.SourceNaming = LoadNamingRules(store, NamingSide::Source);
  job.DestinationNaming = LoadNamingRules(store, NamingSide::Destination);
  return o;
}

}  // namespace airfoldex
