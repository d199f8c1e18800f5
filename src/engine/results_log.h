#pragma once

// The results log (one comma-separated line per file), the log values of a file, the FAILED
// folder, and the report of unexpected errors during a job.

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/job_context.h"
#include "engine/user_interface.h"

namespace airfoldex {

// Appends CleanText(text) and CR LF to the log (created when missing). A write problem shows
// "Error:<n> <description>" titled "Airfoldex-Write Log Problem" and the job goes on.
// Returns false when the line could not be written.
bool AppendLogLine(const std::filesystem::path& logPath, std::string_view text, UserInterface& ui);

// Right after the conversion step of every target but the report: the ending from UserDef.
void SetLogEndingAfterConversion(Session& session);

// Works out the file's intro, segue, length and ending for its log line.
void ComputeLogValues(JobContext& ctx);

// The file's SUCCESS or FAILED line, or empty when Log Failures Only suppresses it. Also gives a
// record without CutID the source name without its extension as CutID.
std::string BuildOutcomeLine(JobContext& ctx, bool success);

// Builds the outcome line and appends it to the log. False when a line was due and could not be
// written.
bool LogOutcome(JobContext& ctx, bool success);

// Copies a failed source into <source folder>/FAILED, replacing a file of that name. True when
// copied; a failure is silent.
bool CopyToFailedFolder(const std::filesystem::path& sourceFolder, std::string_view fileName);

// Removes <source folder>/FAILED when it holds nothing.
void RemoveEmptyFailedFolder(const std::filesystem::path& sourceFolder);

// The local date and time in the general date form: "12/11/2026 12:08:49 PM"; midnight shows
// the date alone.
std::string GeneralDateText(const LocalDateTime& t);

}  // namespace airfoldex
