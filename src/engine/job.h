#pragma once

// The conversion job driver: prepares a run, walks the listed source files through the fixed
// per-file pipeline (reset, acquisition, renaming, conversion, log values, outcome, FAILED copy)
// and ends with the totals.

#include <atomic>
#include <string>
#include <vector>

#include "engine/job_context.h"

namespace airfoldex {

struct JobOutcome {
  enum class End {
    NotStarted,  // refused before the job began (empty form, missing named CSV file)
    Completed,
    Aborted,
  };
  End end = End::NotStarted;
  int Passed = 0;
  int Failed = 0;
  std::string Message;  // the refusal or the summary text
  // The job ended before its files because a question was answered No or an input is missing.
  bool Declined = false;
  // At least one line could not be written to the results log.
  bool LogWriteFailed = false;
};

class Job {
 public:
  Job(JobSettings& settings, Session& session, UserInterface& ui, SettingsStore& store, Clock& clock)
      : ctx_{settings, session, ui, store, clock} {}

  // Runs one job to its end.
  JobOutcome RunJob();

  // Asks the running job to stop; it ends after the current file's acquisition or after the file.
  void RequestAbort() { abort_ = true; }

  // Fills the source listing with the files of the chosen source system; returns their count.
  int ListSourceFiles();
  const std::vector<std::string>& Listing() const { return listing_; }

 private:
  enum class Prep { Continue, ToJobEnd, Return };
  Prep Prepare(JobOutcome& outcome);
  Prep FindCsvMetadataFile(JobOutcome& outcome);
  bool LoadTextReplacements();
  bool LoadEncoDatabase(int& records);
  Prep SetUpRenaming();
  void RenameDestination();
  void ApplyTextReplacements();
  void ConvertFile(int index);
  void Convert();
  void EndJob(JobOutcome& outcome);

  JobContext ctx_;
  std::vector<std::string> listing_;
  std::atomic<bool> abort_{false};
  bool aborted_ = false;
  bool declined_ = false;
  bool logWriteFailed_ = false;
  int passed_ = 0;
  int failed_ = 0;
};

}  // namespace airfoldex
