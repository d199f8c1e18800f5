#pragma once

// The rules of a naming dialog: which fields make a file name, in which order, the separator,
// and what to strip. One record type, two instances: the destination names built from metadata
// and the source names read into metadata.

#include <array>
#include <cstdint>
#include <string>

#include "ui/settings_store.h"

namespace airfoldex {

struct NamingRules {
  std::array<int16_t, 8> Strip{};  // strip flags; 1 means on
  std::string StripUser;           // first user-defined text to remove
  std::string StripUser2;          // second user-defined text to remove
  std::string Separator;           // stored form: every "/" stands for a space (" - " is "/-/")
  std::string SepUser;             // user-defined separator
  std::string FieldOrder;          // one digit per position
  std::string TrackNumbers;        // "1" or "0"
};

enum class NamingSide { Source, Destination };

// Reads one instance from section "Settings".
NamingRules LoadNamingRules(SettingsStore& store, NamingSide side);

}  // namespace airfoldex
