#pragma once

// The Convert button: checks a request in a fixed order, stores the format choice, and either
// starts the job or, while one runs and the button reads "&Abort", asks it to stop. The
// scheduler and the command line press the same button.

#include <string>

#include "engine/job.h"

namespace airfoldex {

inline constexpr std::string_view kConvertCaption = "&Convert";
inline constexpr std::string_view kAbortCaption = "&Abort";

struct StartResult {
  bool Started = false;         // the job ran (Outcome holds its end)
  bool AbortRequested = false;  // the click asked a running job to stop
  std::string Refusal;          // the message of the check that ended the click, if any
  JobOutcome Outcome;
  bool ExitProgram = false;  // an unattended run closes the program now
};

class JobStarter {
 public:
  // `settings` is the window's state: folders, log, check boxes and rules. Unattended, when set,
  // makes the program exit after the job.
  JobStarter(JobSettings& settings, Session& session, UserInterface& ui, SettingsStore& store, Clock& clock)
      : settings_(settings), ui_(ui), store_(store), job_(settings, session, ui, store, clock) {}

  // The Click of the Convert button with the two list selections (positions; -1 for none).
  StartResult OnConvertClick(int fromPosition, int toPosition);

  const std::string& Caption() const { return caption_; }
  Job& job() { return job_; }

 private:
  bool Refuse(StartResult& result, std::string_view title, std::string_view text, MessageButtons buttons);

  JobSettings& settings_;
  UserInterface& ui_;
  SettingsStore& store_;
  Job job_;
  std::string caption_{kConvertCaption};
};

// The folder part of a log path: everything before its last ":", "\" or "/"; a final ":" stays
// with the drive letter, a separator is dropped.
std::string LogFolderPart(std::string_view logPath);

}  // namespace airfoldex
