#include "naming/naming_rules.h"

#include "ui/settings_values.h"

namespace airfoldex {

namespace {

struct Keys {
  const char* fieldOrder;
  const char* fieldOrderDefault;
  const char* separator;
  const char* sepUser;
  const char* stripUser;
  const char* stripUser2;
  const char* trackNumbers;
  const char* stripPrefix;
};

constexpr Keys kSourceKeys{"NameReading", "123456",      "SeparatorS",    "SepUserS",
                           "StripUserS",  "StripUserS2", "RemoveTrackNo", "StripS"};
constexpr Keys kDestinationKeys{"Filenaming", "1234567",     "SeparatorD", "SepUserD",
                                "StripUserD", "StripUserD2", "AddTrackNo", "StripD"};

}  // namespace

NamingRules LoadNamingRules(SettingsStore& store, NamingSide side) {
  const Keys& k = side == NamingSide::Source ? kSourceKeys : kDestinationKeys;
  NamingRules rules;
  rules.FieldOrder = store.ReadSetting(kSettingsSection, k.fieldOrder, k.fieldOrderDefault);
  rules.Separator = store.ReadSetting(kSettingsSection, k.separator, " - ");
  rules.SepUser = store.ReadSetting(kSettingsSection, k.sepUser, " - ");
  rules.StripUser = store.ReadSetting(kSettingsSection, k.stripUser, "");
  rules.StripUser2 = store.ReadSetting(kSettingsSection, k.stripUser2, "");
  rules.TrackNumbers = store.ReadSetting(kSettingsSection, k.trackNumbers, "0");
  for (std::size_t i = 0; i < rules.Strip.size(); ++i) {
    rules.Strip[i] =
        ReadInt16Setting(store, kSettingsSection, std::string(k.stripPrefix) + std::to_string(i), "0");
  }
  return rules;
}

}  // namespace airfoldex
