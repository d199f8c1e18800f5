#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_ui.h"
#include "cli/commands.h"
#include "engine/catalogue.h"
#include "engine/job.h"
#include "engine/paths.h"
#include "ui/ini_settings.h"

namespace airfoldex::cli {

namespace {

struct ConvertOptions {
  std::string from, to, source, dest, log, settings;
  bool yes = false;
};

void ListEntries(FormatList list) {
  for (const auto& e : Entries(list))
    std::fprintf(stderr, "  %.*s\n", static_cast<int>(e.text.size()), e.text.data());
}

std::optional<ConvertOptions> Parse(const std::vector<std::string>& args) {
  ConvertOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--yes") {
      o.yes = true;
      continue;
    }
    std::string* target = a == "--from"       ? &o.from
                          : a == "--to"       ? &o.to
                          : a == "--source"   ? &o.source
                          : a == "--dest"     ? &o.dest
                          : a == "--log"      ? &o.log
                          : a == "--settings" ? &o.settings
                                              : nullptr;
    if (!target) {
      std::fprintf(stderr, "Unknown option \"%s\".\n", a.c_str());
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "Option %s needs a value.\n", a.c_str());
      return std::nullopt;
    }
    *target = args[++i];
  }
  return o;
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
  const auto parsed = Parse(args);
  if (!parsed) return kExitRefused;
  const ConvertOptions& o = *parsed;

  const auto fromPos = FindEntry(FormatList::From, o.from);
  if (!fromPos) {
    std::fprintf(stderr, "Unknown FROM format \"%s\". The FROM list:\n", o.from.c_str());
    ListEntries(FormatList::From);
    return kExitRefused;
  }
  const auto toPos = FindEntry(FormatList::To, o.to);
  if (!toPos) {
    std::fprintf(stderr, "Unknown TO format \"%s\". The TO list:\n", o.to.c_str());
    ListEntries(FormatList::To);
    return kExitRefused;
  }

  IniSettings store(o.settings.empty() ? DataFolder() / "Airfoldex.INI" : UserPath(o.settings));

  JobSettings settings;
  settings.FromCode = SelectedCode(FormatList::From, *fromPos);
  settings.ToCode = SelectedCode(FormatList::To, *toPos);
  settings.FromText = std::string(SelectedText(FormatList::From, *fromPos));
  settings.ToText = std::string(SelectedText(FormatList::To, *toPos));
  settings.SourceFolder = o.source;
  settings.DestinationFolder = o.dest;
  settings.LogPath = o.log;
  if (settings.LogPath.empty()) settings.LogPath = store.ReadSetting(kSettingsSection, "Log", "");
  if (settings.LogPath.empty()) settings.LogPath = (DataFolder() / "Airfoldex.log").string();
  settings.ErrorStopsOff = store.ReadSetting(kSettingsSection, "ErrorStops", "0") == "1";
  settings.LogFailuresOnly = store.ReadSetting(kSettingsSection, "LogFailuresOnly", "False") == "True";
  settings.AudioVault11Mode = IsAudioVault11(*toPos);

  Session session;
  CliUserInterface ui(o.yes);
  SystemClock clock;
  Job job(settings, session, ui, store, clock);
  ui.OnInterrupt([&job] { job.RequestAbort(); });

  const JobOutcome outcome = job.RunJob();
  ui.Finish();
  std::printf("%s\n", outcome.Message.c_str());
  if (outcome.end == JobOutcome::End::NotStarted || outcome.Declined) return kExitRefused;
  if (outcome.end == JobOutcome::End::Aborted || outcome.Failed > 0 || outcome.LogWriteFailed) {
    return kExitFailures;
  }
  return kExitOk;
}

}  // namespace airfoldex::cli
