#pragma once

// The schedule rows and switches of the scheduler, as kept in section "Schedule".

#include <array>
#include <cstdint>
#include <string>

#include "ui/settings_store.h"

namespace airfoldex {

inline constexpr std::string_view kScheduleSection = "Schedule";
inline constexpr std::size_t kScheduleRows = 20;

struct ScheduleRow {
  int16_t Use = 0;
  std::string Time = "00:00";  // "hh:mm" as typed
  int16_t Days = 0;            // day code: 0 none, 1 every day, 2 Monday to Friday, ...
  int16_t Repeat = 0;
  std::string Interval = "0";  // read as a number, kept as its decimal text
  std::string Source;
  std::string Dest;
  std::string Log;
};

struct ScheduleSettings {
  std::array<ScheduleRow, kScheduleRows> Rows{};
  int16_t Enabled = 0;
  int16_t XferDelay = 30;  // seconds, 30 to 999
};

ScheduleSettings LoadScheduleSettings(SettingsStore& store);

}  // namespace airfoldex
