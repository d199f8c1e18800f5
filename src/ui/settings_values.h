#pragma once

// Typed reads of settings values: numbers by the leading-number rule, check boxes, Booleans.

#include <cstdint>
#include <string_view>

#include "ui/settings_store.h"

namespace airfoldex {

// The leading number of the value rounded half to even, held within [min, max].
int32_t ReadIntSetting(SettingsStore& store, std::string_view section, std::string_view key,
                       std::string_view defaultValue, int32_t min, int32_t max);

// A 16-bit setting (check-box values, list positions, flags).
inline int16_t ReadInt16Setting(SettingsStore& store, std::string_view section, std::string_view key,
                                std::string_view defaultValue) {
  return static_cast<int16_t>(ReadIntSetting(store, section, key, defaultValue, INT16_MIN, INT16_MAX));
}

// A value read as a Boolean: "True"/"False" in any letter case, otherwise a number that is not 0.
bool ReadBoolSetting(SettingsStore& store, std::string_view section, std::string_view key,
                     std::string_view defaultValue);

}  // namespace airfoldex
