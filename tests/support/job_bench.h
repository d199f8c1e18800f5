#pragma once

// A job over <tmp>/src into <tmp>/dst with the log at <tmp>/log.txt, a fake window, settings in
// memory and a fixed clock: the bench on which the engine tests run whole jobs.

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "engine/job.h"
#include "support/fake_ui.h"
#include "support/test_support.h"

namespace airfoldex::test {

struct JobBench {
  TempDir dir;
  JobSettings settings;
  Session session;
  FakeUi ui;
  MemorySettings store;
  FixedClock clock;
  Job job{settings, session, ui, store, clock};

  // From and to are entry texts of the two format lists.
  explicit JobBench(std::string_view from = "WAV/PCM", std::string_view to = "WAV/PCM") {
    const int f = *FindEntry(FormatList::From, from);
    const int t = *FindEntry(FormatList::To, to);
    settings.FromCode = SelectedCode(FormatList::From, f);
    settings.ToCode = SelectedCode(FormatList::To, t);
    settings.FromText = std::string(from);
    settings.ToText = std::string(to);
    settings.AudioVault11Mode = IsAudioVault11(t);
    std::filesystem::create_directory(src());
    std::filesystem::create_directory(dst());
    settings.SourceFolder = src().string();
    settings.DestinationFolder = dst().string();
    settings.LogPath = log().string();
  }
  std::filesystem::path src() const { return dir / "src"; }
  std::filesystem::path dst() const { return dir / "dst"; }
  std::filesystem::path log() const { return dir / "log.txt"; }
  std::filesystem::path Out(std::string_view name) const { return dst() / name; }
  std::string LogText() const { return ReadFileBytes(log()); }

  // Puts one source file in place and runs the job.
  JobOutcome Run(std::string_view name, std::string_view bytes) {
    WriteFileBytes(src() / name, bytes);
    return job.RunJob();
  }
};

// A LIST/INFO chunk with the given (tag, text) entries, each value NUL-terminated and padded.
std::string MakeListInfo(std::initializer_list<std::pair<std::string_view, std::string_view>> entries);

}  // namespace airfoldex::test
