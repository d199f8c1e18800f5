#include "ui/settings_values.h"

#include <algorithm>

#include "model/ascii_text.h"
#include "model/time_text.h"

namespace airfoldex {

int32_t ReadIntSetting(SettingsStore& store, std::string_view section, std::string_view key,
                       std::string_view defaultValue, int32_t min, int32_t max) {
  const double value = ReadNumberPrefix(store.ReadSetting(section, key, defaultValue));
  return RoundHalfEven(std::clamp(value, static_cast<double>(min), static_cast<double>(max)));
}

bool ReadBoolSetting(SettingsStore& store, std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
  const std::string value = ToLowerAscii(TrimBlanks(store.ReadSetting(section, key, defaultValue)));
  if (value == "true") return true;
  if (value == "false") return false;
  return ReadNumberPrefix(value) != 0;
}

}  // namespace airfoldex
