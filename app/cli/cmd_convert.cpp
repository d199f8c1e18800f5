#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_ui.h"
#include "cli/commands.h"
#include "engine/catalogue.h"
#include "engine/job_start.h"
#include "engine/paths.h"
#include "ui/options.h"
#include "ui/settings_files.h"
#include "ui/startup.h"

namespace airfoldex::cli {

namespace {

// One job as the person asked for it; what is not given comes from the settings.
struct RunRequest {
  std::optional<std::string> from, to, source, dest, log;
  std::string settings;    // another settings file for this run
  std::string scriptName;  // unattended run: the settings come from <data folder>/<name>.txt
  bool yes = false;
};

void ListEntries(FormatList list) {
  for (const auto& e : Entries(list))
    std::fprintf(stderr, "  %.*s\n", static_cast<int>(e.text.size()), e.text.data());
}

std::optional<RunRequest> Parse(const std::vector<std::string>& args) {
  RunRequest r;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--yes") {
      r.yes = true;
      continue;
    }
    std::optional<std::string>* target = a == "--from"     ? &r.from
                                         : a == "--to"     ? &r.to
                                         : a == "--source" ? &r.source
                                         : a == "--dest"   ? &r.dest
                                         : a == "--log"    ? &r.log
                                                           : nullptr;
    std::string* plain = a == "--settings" ? &r.settings : nullptr;
    if (!target && !plain) {
      std::fprintf(stderr, "Unknown option \"%s\".\n", a.c_str());
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "Option %s needs a value.\n", a.c_str());
      return std::nullopt;
    }
    if (target) {
      *target = args[++i];
    } else {
      *plain = args[++i];
    }
  }
  return r;
}

std::optional<int> Position(FormatList list, const std::optional<std::string>& text, int stored) {
  if (!text) return stored;
  if (const auto pos = FindEntry(list, *text)) return *pos;
  std::fprintf(stderr, "Unknown %s format \"%s\". The %s list:\n", list == FormatList::From ? "FROM" : "TO",
               text->c_str(), list == FormatList::From ? "FROM" : "TO");
  ListEntries(list);
  return std::nullopt;
}

int RunOneJob(const RunRequest& request) {
  const auto dataFolder = DataFolder();
  PrepareDataFolder(dataFolder, ProgramFolder());
  SettingsFiles store(request.settings.empty() ? dataFolder / kSettingsFileName : UserPath(request.settings));
  if (!request.scriptName.empty()) store.UseScript(dataFolder, request.scriptName);

  ProgramOptions options = LoadProgramOptions(store, dataFolder);
  const auto from = Position(FormatList::From, request.from, options.FromPosition);
  const auto to = Position(FormatList::To, request.to, options.ToPosition);
  if (!from || !to) return kExitRefused;

  JobSettings& job = options.Job;
  if (request.source) job.SourceFolder = *request.source;
  if (request.dest) job.DestinationFolder = ResolveDestinationWildcard(*request.dest);
  if (request.log) job.LogPath = *request.log;
  job.Unattended = store.Unattended();
  store.SetMacroFolder(UserPath(job.SourceFolder));

  Session session;
  CliUserInterface ui(request.yes);
  SystemClock clock;
  JobStarter starter(job, session, ui, store, clock);
  ui.OnInterrupt([&starter] { starter.job().RequestAbort(); });

  const StartResult result = starter.OnConvertClick(*from, *to);
  ui.Finish();
  if (store.WriteFailedOnExistingFile()) {
    const auto& file = request.scriptName.empty() ? store.settingsFile() : store.scriptFile();
    std::fprintf(stderr, "warning: the settings file %s cannot be written; changed options were not kept.\n",
                 file.string().c_str());
  }

  if (!result.Started) {
    std::printf("%s\n", result.Refusal.c_str());
    return kExitRefused;
  }
  const JobOutcome& outcome = result.Outcome;
  std::printf("%s\n", outcome.Message.c_str());
  if (outcome.end == JobOutcome::End::NotStarted || outcome.Declined) return kExitRefused;
  if (outcome.end == JobOutcome::End::Aborted || outcome.Failed > 0 || outcome.LogWriteFailed) {
    return kExitFailures;
  }
  return kExitOk;
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
  const auto request = Parse(args);
  return request ? RunOneJob(*request) : kExitRefused;
}

int RunScript(const std::string& scriptName, const std::vector<std::string>& args) {
  auto request = Parse(args);
  if (!request) return kExitRefused;
  if (scriptName.empty()) {
    std::fprintf(stderr, "A script run needs the name of its script file.\n");
    return kExitRefused;
  }
  request->scriptName = scriptName;
  return RunOneJob(*request);
}

}  // namespace airfoldex::cli
