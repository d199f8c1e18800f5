#pragma once

// The command line's side of the engine's user-interface port: message boxes go to stderr as
// "[Title] text" and are answered by policy; status and progress go to stderr, as one updating
// line when stderr is a terminal. Ctrl-C asks the running job to stop after the current file.

#include <functional>
#include <string>

#include "engine/user_interface.h"

namespace airfoldex::cli {

class CliUserInterface final : public UserInterface {
 public:
  // answerYes: questions are answered Yes (OK) instead of No (Cancel).
  explicit CliUserInterface(bool answerYes);
  ~CliUserInterface() override;

  MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetStatusText(std::string_view text) override;
  void SetFileProgress(int value, int maximum) override;
  void SetOverallProgress(int value, int maximum) override;
  void YieldToUi() override;
  void ShowSourceCount(int count) override { count_ = count; }
  void ShowCurrentIndex(int oneBased) override;

  // Ends the progress line so that what follows starts on a line of its own.
  void Finish();

  // Called from YieldToUi once after Ctrl-C was pressed.
  void OnInterrupt(std::function<void()> handler) { onInterrupt_ = std::move(handler); }

 private:
  void Redraw();
  void ClearLine();

  bool answerYes_;
  bool tty_;
  bool lineShown_ = false;
  int count_ = 0;
  int index_ = 0;
  int filePercent_ = 0;
  std::string status_;
  std::function<void()> onInterrupt_;
};

}  // namespace airfoldex::cli
