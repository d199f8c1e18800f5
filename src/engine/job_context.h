#pragma once

// What every step of a job works with, passed explicitly: the run's options, the session
// records, the person, the settings and the clock. Also the guard under which each operation of
// the pipeline runs.

#include <filesystem>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/job_settings.h"
#include "engine/session.h"
#include "engine/user_interface.h"
#include "model/errors.h"
#include "ui/settings_store.h"

namespace airfoldex {

struct JobContext {
  JobContext(JobSettings& s, Session& se, UserInterface& u, SettingsStore& st, Clock& c)
      : settings(s), session(se), ui(u), store(st), clock(c) {}

  JobSettings& settings;
  Session& session;
  UserInterface& ui;
  SettingsStore& store;
  Clock& clock;
  int step = 0;  // the stage an error report shows ("Error Line:")
  // Reports about formats this build cannot read or write: shown once per job, and also when
  // Error Stops OFF silences the per-file boxes, so a person always learns why files fail.
  std::set<std::string> formatReportsShown;

  // Runs one operation as stage `stepNumber`. An error it raises ends that operation only: it is
  // reported with the stage number (unless Error Stops OFF) and the caller goes on with the next
  // operation. Returns false when the operation was cut short by an error.
  template <typename Op>
  bool Guard(int stepNumber, Op&& op) {
    step = stepNumber;
    try {
      op();
      return true;
    } catch (const ProcessError& e) {
      ReportProcessError(e.number(), e.what());
    } catch (const std::bad_alloc&) {
      ReportProcessError(errnum::kOutOfMemory, "Out of memory");
    } catch (const std::filesystem::filesystem_error& e) {
      ReportProcessError(errnum::kPathFileAccess, std::string("Path/File access error: ") + e.what());
    } catch (const std::exception& e) {
      ReportProcessError(errnum::kInvalidCall, e.what());
    } catch (...) {
      ReportProcessError(errnum::kInvalidCall, "Unexpected error");
    }
    return false;
  }

  // "Error Line:<step> Err#<number> <description>", title "Airfoldex-Process Error".
  void ReportProcessError(int number, std::string_view description);
};

}  // namespace airfoldex
