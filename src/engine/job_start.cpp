#include "engine/job_start.h"

#include <filesystem>

#include "engine/paths.h"
#include "engine/results_log.h"

namespace airfoldex {

namespace fs = std::filesystem;

std::string LogFolderPart(std::string_view logPath) {
  const auto pos = logPath.find_last_of(":\\/");
  if (pos == std::string_view::npos) return {};
  return std::string(logPath.substr(0, logPath[pos] == ':' ? pos + 1 : pos));
}

bool JobStarter::Refuse(StartResult& result, std::string_view title, std::string_view text,
                        MessageButtons buttons) {
  result.Refusal = std::string(text);
  ui_.ShowMessage(title, text, MessageIcon::None, buttons);
  return false;
}

StartResult JobStarter::OnConvertClick(int fromPosition, int toPosition) {
  StartResult result;
  settings_.AudioVault11Mode = false;

  // The log folder must exist; a log path without a folder means the current folder.
  const std::string logFolder = LogFolderPart(settings_.LogPath);
  std::error_code ec;
  const bool hasFolder = logFolder.empty() || logFolder == "/" ||
                         fs::is_directory(UserPath(logFolder.empty() ? "." : logFolder), ec);
  if (!hasFolder) {
    Refuse(result, "Log path incorrect", "Please enter a correct 'Results Log' path and filename.",
           MessageButtons::Ok);
    return result;
  }
  // Separates this request's lines from the previous job's in the log.
  if (logFolder.empty() || !fs::is_regular_file(UserPath(logFolder), ec)) {
    AppendLogLine(UserPath(settings_.LogPath), "", ui_);
  }

  store_.WriteSetting(kSettingsSection, "FormatFrom", std::to_string(fromPosition));
  store_.WriteSetting(kSettingsSection, "FormatTo", std::to_string(toPosition));

  const FormatCode from = SelectedCode(FormatList::From, fromPosition);
  const FormatCode to = SelectedCode(FormatList::To, toPosition);
  if (from == code::kNone) {
    Refuse(result, "Missing FROM format.", "You must pick a FROM format.", MessageButtons::Ok);
    return result;
  }
  if (to == code::kNone) {
    Refuse(result, "Missing TO format.", "You must pick a TO format.", MessageButtons::Ok);
    return result;
  }
  settings_.FromCode = from;
  settings_.ToCode = to;
  settings_.FromText = std::string(SelectedText(FormatList::From, fromPosition));
  settings_.ToText = std::string(SelectedText(FormatList::To, toPosition));

  if (IsSameFormatText(fromPosition, toPosition) && !settings_.GetDataFromFileName &&
      !settings_.UseFileNaming) {
    const auto answer =
        ui_.ShowMessage("Matching TO/FROM formats", "You haved picked the same TO and FROM formats.",
                        MessageIcon::None, MessageButtons::OkCancel);
    if (answer != MessageAnswer::Ok) {
      result.Refusal = "You haved picked the same TO and FROM formats.";
      return result;
    }
  }
  if (from == code::kEnco) {
    ui_.ShowEncoDatabaseDialog(settings_.EncoDatabasePath);
    if (!fs::is_regular_file(UserPath(settings_.EncoDatabasePath), ec)) {
      Refuse(result, "Enco Database", "Please try again. Database not found.", MessageButtons::OkCancel);
      return result;
    }
  }
  if (settings_.AutoIncrement && TrimBlanks(settings_.CutNumberTemplate).empty()) {
    Refuse(result, "Auto Increment",
           "Auto Increment must have a starting number.\rExample: MUS0001 or 000001.",
           MessageButtons::OkCancel);
    return result;
  }
  if (settings_.AutoIncrement && (settings_.RenameFileName || settings_.RenameCutId)) {
    Refuse(result, "Auto Increment", "Can't both RENAME and AUTO INCREMENT.\rPlease select one or the other.",
           MessageButtons::OkCancel);
    return result;
  }
  if (ToLowerAscii(settings_.SourceFolder) == ToLowerAscii(settings_.DestinationFolder)) {
    Refuse(result, "Source/Destination Error",
           "Source Folder and Destination Folders can't be the same.\rPlease select two different folder.",
           MessageButtons::OkCancel);
    return result;
  }
  settings_.AudioVault11Mode = IsAudioVault11(toPosition);

  if (caption_ != kConvertCaption) {
    // A job is running: this click is the Abort.
    job_.RequestAbort();
    caption_ = kConvertCaption;
    ui_.SetConvertCaption(caption_);
    ui_.LockInputs(false);
    result.AbortRequested = true;
  } else {
    ui_.SetFileProgress(0, 100);
    ui_.SetOverallProgress(0, 1);
    caption_ = kAbortCaption;
    ui_.SetConvertCaption(caption_);
    ui_.LockInputs(true);
    result.Outcome = job_.RunJob();
    result.Started = true;
    caption_ = kConvertCaption;
    ui_.SetConvertCaption(caption_);
    ui_.LockInputs(false);
  }
  if (settings_.Unattended) {
    result.ExitProgram = true;
    ui_.ExitProgram();
  }
  return result;
}

}  // namespace airfoldex
