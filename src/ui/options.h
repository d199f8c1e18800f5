#pragma once

// Every option of the program, read from the settings at start-up: what the main window shows
// and what a job runs with. The GUI and the command line both start from LoadProgramOptions.

#include <filesystem>
#include <string>

#include "engine/job_settings.h"
#include "scheduler/schedule.h"
#include "ui/settings_store.h"

namespace airfoldex {

struct ProgramOptions {
  int FromPosition = kDefaultFromPosition;  // list positions, not codes
  int ToPosition = kDefaultToPosition;
  std::string SourceText;       // the source folder as stored
  std::string DestinationText;  // the destination as stored, wildcard and all
  std::string VolumeText;       // the level box
  bool KeepDates = true;
  ScheduleSettings Schedule;
  JobSettings Job;  // folders, log, switches and rules of the next job
};

// Reads every option. The results log defaults to "Airfoldex.log" in the data folder; an empty
// MediaTouch date format is written back as "yyyy/mm/dd".
ProgramOptions LoadProgramOptions(SettingsStore& store, const std::filesystem::path& dataFolder);

// Sets both format selections of a job from list positions (codes and entry texts).
void SelectFormats(JobSettings& job, int fromPosition, int toPosition);

}  // namespace airfoldex
