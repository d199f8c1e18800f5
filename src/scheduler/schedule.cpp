#include "scheduler/schedule.h"

#include "model/time_text.h"
#include "ui/settings_values.h"

namespace airfoldex {

ScheduleSettings LoadScheduleSettings(SettingsStore& store) {
  ScheduleSettings s;
  for (std::size_t n = 0; n < s.Rows.size(); ++n) {
    const std::string i = std::to_string(n);
    ScheduleRow& row = s.Rows[n];
    row.Use = ReadInt16Setting(store, kScheduleSection, "Use" + i, "0");
    row.Time = store.ReadSetting(kScheduleSection, "Time" + i, "00:00");
    row.Days = ReadInt16Setting(store, kScheduleSection, "Days" + i, "0");
    row.Interval = NumberText(ReadNumberPrefix(store.ReadSetting(kScheduleSection, "Interval" + i, "0")));
    row.Repeat = ReadInt16Setting(store, kScheduleSection, "Repeat" + i, "0");
    row.Source = store.ReadSetting(kScheduleSection, "Source" + i, "");
    row.Dest = store.ReadSetting(kScheduleSection, "Dest" + i, "");
    row.Log = store.ReadSetting(kScheduleSection, "Log" + i, "");
  }
  s.Enabled = ReadInt16Setting(store, kScheduleSection, "Enabled", "0");
  s.XferDelay = static_cast<int16_t>(ReadIntSetting(store, kScheduleSection, "XferDelay", "30", 30, 999));
  return s;
}

}  // namespace airfoldex
