#include "cli/cli_ui.h"

#ifdef _WIN32
#include <io.h>
#define AIRFOLDEX_ISATTY(fd) _isatty(fd)
#define AIRFOLDEX_STDERR_FD 2
#else
#include <unistd.h>
#define AIRFOLDEX_ISATTY(fd) isatty(fd)
#define AIRFOLDEX_STDERR_FD STDERR_FILENO
#endif

#include <csignal>
#include <cstdio>

#include "engine/paths.h"

namespace airfoldex::cli {

namespace {

// Set by the signal handler; read by YieldToUi on the main thread.
volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl-C asks the job to stop after the current file; a second one ends the program.
extern "C" void HandleInterrupt(int) {
  g_interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

CliUserInterface::CliUserInterface(bool answerYes)
    : answerYes_(answerYes), tty_(AIRFOLDEX_ISATTY(AIRFOLDEX_STDERR_FD) != 0) {
  g_interrupted = 0;
  std::signal(SIGINT, HandleInterrupt);
}

CliUserInterface::~CliUserInterface() {
  ClearLine();
  std::signal(SIGINT, SIG_DFL);
}

MessageAnswer CliUserInterface::ShowMessage(std::string_view title, std::string_view text, MessageIcon,
                                            MessageButtons buttons) {
  ClearLine();
  std::string body = ReplaceAll(ReplaceAll(std::string(text), "\r\n", "\n"), "\r", "\n");
  std::fprintf(stderr, "[%.*s] %s\n", static_cast<int>(title.size()), title.data(), body.c_str());
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
      return answerYes_ ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return answerYes_ ? MessageAnswer::Yes : MessageAnswer::No;
  }
  return MessageAnswer::Cancel;
}

void CliUserInterface::SetStatusText(std::string_view text) {
  status_ = text;
  filePercent_ = 0;
  if (tty_) {
    Redraw();
  } else if (!text.empty()) {
    std::fprintf(stderr, "%s\n", status_.c_str());
  }
}

void CliUserInterface::SetFileProgress(int value, int maximum) {
  filePercent_ = maximum > 0 ? value * 100 / maximum : 0;
  if (tty_) Redraw();
}

void CliUserInterface::SetOverallProgress(int, int) {}

void CliUserInterface::ShowCurrentIndex(int oneBased) {
  index_ = oneBased;
  if (tty_) Redraw();
}

void CliUserInterface::Finish() {
  if (tty_ && lineShown_) {
    std::fputs("\n", stderr);
    lineShown_ = false;
  }
}

void CliUserInterface::YieldToUi() {
  if (g_interrupted) {
    g_interrupted = 0;
    ClearLine();
    std::fprintf(stderr, "Interrupted: the job stops after the current file.\n");
    if (onInterrupt_) onInterrupt_();
  }
}

void CliUserInterface::Redraw() {
  std::string line = "[" + std::to_string(index_) + "/" + std::to_string(count_) + "] " + status_;
  if (filePercent_ > 0 && filePercent_ < 100) line += " " + std::to_string(filePercent_) + "%";
  if (line.size() > 100) line = line.substr(0, 97) + "...";
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
  lineShown_ = true;
}

void CliUserInterface::ClearLine() {
  if (tty_ && lineShown_) {
    std::fprintf(stderr, "\r\033[K");
    lineShown_ = false;
  }
}

}  // namespace airfoldex::cli
