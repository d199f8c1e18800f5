#include "engine/job.h"

#include <ctime>
#include <filesystem>

#include "engine/acquisition.h"
#include "engine/assembly.h"
#include "engine/paths.h"
#include "engine/results_log.h"
#include "mp3/mp3_to_wav.h"

namespace airfoldex {

namespace fs = std::filesystem;

LocalDateTime SystemClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

namespace {

bool Listable(FormatCode from, std::string_view name) {
  const std::string lower = ToLowerAscii(name);
  const auto ends = [&](std::string_view suffix) {
    return lower.size() >= suffix.size() &&
           lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  if (from == code::kMaestro) return ends(".daf");
  if (from == code::kMp3) return ends(".mp3");
  return ends(".wav") || (from == code::kCsvMetadata && ends(".mts"));
}

}  // namespace

int Job::ListSourceFiles() {
  listing_.clear();
  const auto& settings = ctx_.settings;
  if (!settings.SourceFolder.empty()) {
    for (auto& name : ListFilesSorted(UserPath(settings.SourceFolder))) {
      if (Listable(settings.FromCode, name)) listing_.push_back(std::move(name));
    }
  }
  ctx_.ui.ShowSourceCount(static_cast<int>(listing_.size()));
  return static_cast<int>(listing_.size());
}

Job::Prep Job::FindCsvMetadataFile(JobOutcome& outcome) {
  auto& settings = ctx_.settings;
  settings.CsvMetadataFile.clear();
  for (const auto& name : ListFilesSorted(UserPath(settings.SourceFolder))) {
    if (EndsWithNoCase(name, ".csv")) {
      settings.CsvMetadataFile = name;
      break;
    }
  }
  if (TrimBlanks(settings.CsvMetadataFile).empty()) {
    ctx_.ui.ShowMessage("Airfoldex", "CSV file not found in the source folder.", MessageIcon::None,
                        MessageButtons::Ok);
    declined_ = true;
    return Prep::ToJobEnd;
  }
  settings.CsvPrefix = settings.CsvMetadataFile.substr(0, 3);
  std::error_code ec;
  if (!fs::exists(UserPath(settings.SourceFolder) / settings.CsvMetadataFile, ec)) {
    outcome.Message = "Input CSV file must be named " + settings.CsvPrefix + ".csv";
    ctx_.ui.ShowMessage("File not found!", outcome.Message, MessageIcon::None, MessageButtons::Ok);
    return Prep::Return;
  }
  // A PlayItLive list ("...pil.csv") is read again for every file; any other list is read once
  // here when the CSV reader is part of the program.
  settings.PilCsvMode = ToLowerAscii(settings.CsvMetadataFile).find("pil.csv") != std::string::npos;
  return Prep::Continue;
}

// The stages below belong to formats and naming rules that are not part of this build yet. Each
// reports that it found nothing, which is what the job does when the input is absent.

bool Job::LoadTextReplacements() { return false; }

bool Job::LoadEncoDatabase(int& records) {
  records = 0;
  return false;
}

Job::Prep Job::SetUpRenaming() {
  ctx_.settings.RenameActive = false;
  return Prep::Continue;
}

void Job::RenameDestination() {}

void Job::ApplyTextReplacements() {}

Job::Prep Job::Prepare(JobOutcome& outcome) {
  auto& settings = ctx_.settings;
  auto& ui = ctx_.ui;

  // Step 1: the form.
  ctx_.step = 1;
  if (TrimBlanks(settings.LogPath).empty() || TrimBlanks(settings.SourceFolder).empty() ||
      TrimBlanks(settings.DestinationFolder).empty()) {
    outcome.Message = "Please fill out the form.";
    ui.ShowMessage("Airfoldex", outcome.Message, MessageIcon::None, MessageButtons::Ok);
    ui.FocusSourceBox();
    return Prep::Return;
  }

  // Step 2: each operation of the preparation runs on its own, so an error in one of them is
  // reported and the next one still runs.
  Prep result = Prep::Continue;
  ctx_.Guard(2, [&] {
    settings.PilCsvMode = false;
    ListSourceFiles();
  });
  ctx_.Guard(2, [&] { settings.MacrosLoaded = LoadTextReplacements(); });
  if (settings.FromCode == code::kCsvMetadata) {
    ctx_.Guard(2, [&] { result = FindCsvMetadataFile(outcome); });
    if (result != Prep::Continue) return result;
  }

  if (listing_.empty()) {
    ctx_.Guard(2, [&] {
      ui.ShowMessage("Airfoldex", "No audio files were found in the SOURCE folder.", MessageIcon::None,
                     MessageButtons::Ok);
    });
    return Prep::ToJobEnd;
  }

  const fs::path dest = UserPath(settings.DestinationFolder);
  std::error_code ec;
  if (!fs::is_directory(dest, ec)) {
    MessageAnswer answer = MessageAnswer::No;
    ctx_.Guard(2, [&] {
      answer =
          ui.ShowMessage("Airfoldex", "Destination folder does not exist.\r\nDo you want me to create it?",
                         MessageIcon::None, MessageButtons::YesNo);
    });
    if (answer != MessageAnswer::Yes) {
      declined_ = true;
      return Prep::ToJobEnd;
    }
    fs::create_directories(dest, ec);  // an error here shows up as failed files
  }

  if (TrimBlanks(settings.LogPath).empty()) {
    ctx_.Guard(2, [&] {
      settings.LogPath = (dest / "LogFile.txt").string();
      ui.ShowLogPath(settings.LogPath);
      ctx_.store.WriteSetting(kSettingsSection, "Log", settings.LogPath);
    });
  }
  if (settings.FromCode == code::kEnco) {
    ctx_.Guard(2, [&] {
      ui.SetStatusText("Reading ENCO database. Please wait...");
      ui.YieldToUi();
      int records = 0;
      settings.EncoLoaded = LoadEncoDatabase(records);
      ui.SetStatusText("Reading ENCO database. Records Read: " + std::to_string(records));
      ui.YieldToUi();
    });
  }
  ctx_.Guard(2, [&] { result = SetUpRenaming(); });
  if (result != Prep::Continue) {
    declined_ = true;
    return result;
  }

  ctx_.Guard(3, [&] {
    const int n = static_cast<int>(listing_.size()) - 1;
    if (n != -1) ui.SetOverallProgress(0, n == 0 ? 1 : n);
  });
  ctx_.Guard(4, [&] {
    passed_ = 0;
    failed_ = 0;
  });
  return Prep::Continue;
}

void Job::Convert() {
  auto& s = ctx_.session;
  auto& settings = ctx_.settings;
  // A conversion interrupted by an error counts as failed.
  s.File.FileResult = false;
  s.File.FileResultSet = true;

  if (settings.ToCode == code::kReportOnly) {
    // The report is the log line: nothing is written, and the log values come from the record.
    s.File.FileResult = true;
    s.File.RecordBuilt = true;
    return;
  }
  if (settings.FromCode == code::kMp3 || settings.FromCode == code::kWavWithId3) {
    AcquireLate(ctx_);
    ctx_.ui.YieldToUi();
    if (settings.FromCode == code::kMp3) {
      s.File.FileResult = Mp3ToWav(ctx_, s.File.SourcePath, s.File.DestinationPath) == -1;
    } else {
      s.File.FileResult = AssembleDestination(ctx_, s.File.SourcePath, s.File.DestinationPath) == -1;
    }
    return;
  }
  if (settings.MacrosLoaded) ApplyTextReplacements();
  std::string dest = s.File.DestinationPath.string();
  if (EndsWithNoCase(dest, ".mts")) {
    dest = ReplaceAll(ReplaceAll(std::move(dest), ".mts", ".wav"), ".MTS", ".wav");
    s.File.DestinationPath = dest;
  }
  s.File.FileResult = AssembleDestination(ctx_, s.File.SourcePath, s.File.DestinationPath) == -1;
}

void Job::ConvertFile(int index) {
  auto& s = ctx_.session;
  auto& settings = ctx_.settings;
  auto& ui = ctx_.ui;

  s.BeginFile();
  abort_ = false;
  const std::string& name = listing_[static_cast<std::size_t>(index)];
  ui.ShowCurrentIndex(index + 1);
  ui.SetStatusText(name);
  ctx_.Guard(4, [&] {
    s.File.FileName = name;
    s.File.BaseKey = BaseKeyOf(name);
    s.File.SourcePath = UserPath(settings.SourceFolder) / name;
    s.File.DestinationPath = UserPath(settings.DestinationFolder) / name;
  });

  AcquireSource(ctx_);
  const bool acquisitionFailed = s.File.FileResultSet && !s.File.FileResult;

  if (!acquisitionFailed) {
    ctx_.step = 16;
    if (abort_) return;  // neither passed nor failed
    ctx_.Guard(17, [&] { RenameDestination(); });
    ctx_.Guard(18, [&] { Convert(); });
    if (settings.ToCode != code::kReportOnly) ctx_.Guard(18, [&] { SetLogEndingAfterConversion(s); });
  }

  ctx_.Guard(19, [&] { ComputeLogValues(ctx_); });

  if (s.File.FileResult) {
    // Counted before the log line, so a problem with the line cannot lose the file from the totals.
    ++passed_;
    ctx_.Guard(20, [&] {
      ui.SetStatusText("Conversion of " + name + " was Successful.");
      ui.YieldToUi();
      if (!LogOutcome(ctx_, true)) logWriteFailed_ = true;
    });
  } else {
    ++failed_;
    s.File.CopyToFailed = true;
    ctx_.Guard(21, [&] {
      ui.SetStatusText("Couldn't convert file!");
      if (!LogOutcome(ctx_, false)) logWriteFailed_ = true;
    });
  }
  ctx_.Guard(21, [&] {
    if (s.File.CopyToFailed) CopyToFailedFolder(UserPath(settings.SourceFolder), name);
  });
}

void Job::EndJob(JobOutcome& outcome) {
  auto& settings = ctx_.settings;
  auto& ui = ctx_.ui;
  ctx_.Guard(22, [&] {
    if (!AppendLogLine(UserPath(settings.LogPath), "", ui)) logWriteFailed_ = true;
    RemoveEmptyFailedFolder(UserPath(settings.SourceFolder));
  });

  const std::string counts =
      "Files Passed: " + std::to_string(passed_) + " Failures: " + std::to_string(failed_);
  outcome.end = aborted_ ? JobOutcome::End::Aborted : JobOutcome::End::Completed;
  outcome.Passed = passed_;
  outcome.LogWriteFailed = logWriteFailed_;
  outcome.Failed = failed_;
  outcome.Message = (aborted_ ? "Job Aborted! " : "Job Completed! ") + counts;

  if (ui.ScheduleTimerEnabled()) {
    if (aborted_) {
      ctx_.Guard(24, [&] {
        if (!settings.Unattended) {
          ui.ShowMessage("Airfoldex", outcome.Message, MessageIcon::Exclamation, MessageButtons::Ok);
        }
      });
      ctx_.Guard(25, [&] {
        ui.SetOverallProgress(0, 1);
        ui.SetStatusText("Conversion(s) completed. Fail: " + std::to_string(failed_));
      });
    } else {
      ctx_.Guard(23, [&] {
        if (!settings.Unattended) {
          ui.ShowMessage("Airfoldex", outcome.Message, MessageIcon::None, MessageButtons::Ok);
        }
        ui.SetOverallProgress(0, 1);
        ui.SetStatusText("Conversion(s) completed. Passed: " + std::to_string(passed_) +
                         " Fail: " + std::to_string(failed_));
      });
    }
  } else {
    // The scheduler stopped its timer for this run; it runs again from here.
    ui.StartScheduleTimer();
  }
}

JobOutcome Job::RunJob() {
  JobOutcome outcome;
  abort_ = false;
  aborted_ = false;
  declined_ = false;
  logWriteFailed_ = false;
  ctx_.formatReportsShown.clear();
  passed_ = 0;
  failed_ = 0;

  const Prep prep = Prepare(outcome);
  if (prep == Prep::Return) return outcome;

  if (prep == Prep::Continue) {
    const int n = static_cast<int>(listing_.size()) - 1;
    for (int i = 0; i <= n;) {
      ConvertFile(i);
      ++i;
      if (i <= n) {
        ctx_.ui.SetOverallProgress(i, n);
        ctx_.ui.YieldToUi();
      }
      if (abort_) {
        aborted_ = true;
        break;
      }
    }
  }
  EndJob(outcome);
  outcome.Declined = declined_;
  return outcome;
}

}  // namespace airfoldex
