#pragma once

// A user-interface port for tests: records every message box and status text, answers
// questions from a script, and can ask the job to abort at a chosen yield.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/user_interface.h"

namespace airfoldex::test {

struct ShownMessage {
  std::string title;
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
};

class FakeUi final : public UserInterface {
 public:
  MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({std::string(title), std::string(text), icon, buttons});
    if (!answers.empty()) {
      const auto a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MessageButtons::YesNo
               ? MessageAnswer::No
               : (buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel : MessageAnswer::Ok);
  }
  void SetStatusText(std::string_view text) override { statuses.emplace_back(text); }
  void SetFileProgress(int, int) override {}
  void SetOverallProgress(int value, int) override { overall = value; }
  void YieldToUi() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  bool ScheduleTimerEnabled() override { return timerEnabled; }
  void StartScheduleTimer() override {
    timerEnabled = true;
    ++timerStarts;
  }

  void LockInputs(bool locked) override { locks.push_back(locked); }
  void SetConvertCaption(std::string_view caption) override { captions.emplace_back(caption); }
  void ExitProgram() override { ++exits; }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }

  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;
  std::vector<std::string> statuses;
  int overall = -1;
  int yields = 0;
  std::function<void(int)> onYield;
  std::vector<bool> locks;
  std::vector<std::string> captions;
  int exits = 0;
  bool timerEnabled = true;
  int timerStarts = 0;
};

// A clock fixed at 2026-12-11 15:04:05.
class FixedClock final : public Clock {
 public:
  LocalDateTime Now() override { return now; }
  LocalDateTime now{2026, 12, 11, 15, 4, 5};
};

}  // namespace airfoldex::test

#include <map>
#include <utility>

#include "ui/settings_store.h"

namespace airfoldex::test {

// Settings held in memory, keyed by section and key as written.
class MemorySettings final : public SettingsStore {
 public:
  std::map<std::pair<std::string, std::string>, std::string> values;

 protected:
  std::string Read(std::string_view section, std::string_view key, std::string_view def,
                   SettingsFile) override {
    auto it = values.find({std::string(section), std::string(key)});
    return it == values.end() || it->second.empty() ? std::string(def) : it->second;
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) override {
    values[{std::string(section), std::string(key)}] = std::string(value);
  }
};

}  // namespace airfoldex::test
