#pragma once

// The engine's one way to the person. The GUI, the command line and the tests each implement it,
// so every message text, title, icon and button set is testable as data. All text is UTF-8.

#include <string>
#include <string_view>

namespace airfoldex {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A modal message box; returns the button pressed.
  virtual MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon icon,
                                    MessageButtons buttons) = 0;
  // The status box of the main window.
  virtual void SetStatusText(std::string_view text) = 0;
  // The progress of the current file (copying its audio).
  virtual void SetFileProgress(int value, int maximum) = 0;
  // The progress of the job over its files.
  virtual void SetOverallProgress(int value, int maximum) = 0;
  // Lets the window handle pending events (repaints, the Abort click). The engine calls it
  // between steps and throttles calls inside long copies by time.
  virtual void YieldToUi() = 0;

  // Labels and boxes that mirror the run; hosts without them ignore these.
  virtual void ShowSourceCount(int /*count*/) {}
  virtual void ShowCurrentIndex(int /*oneBased*/) {}
  virtual void ShowLogPath(std::string_view /*path*/) {}
  virtual void FocusSourceBox() {}

  // The main window's side of starting a job: its inputs are locked while a job runs and the
  // Convert button reads "&Abort" meanwhile.
  virtual void LockInputs(bool /*locked*/) {}
  virtual void SetConvertCaption(std::string_view /*caption*/) {}
  // The ENCO database dialog, shown modally; it may change the database path.
  virtual void ShowEncoDatabaseDialog(std::string& /*databasePath*/) {}
  // The window's Exit command: an unattended run closes the program after its job.
  virtual void ExitProgram() {}

  // The schedule timer: running while the window is idle, stopped by the scheduler for the
  // length of a run it started. A host without a scheduler keeps it "running".
  virtual bool ScheduleTimerEnabled() { return true; }
  virtual void StartScheduleTimer() {}
};

// Where the engine reads the local time of day from, so a test can fix it.
struct LocalDateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() = 0;
};

class SystemClock final : public Clock {
 public:
  LocalDateTime Now() override;
};

}  // namespace airfoldex
