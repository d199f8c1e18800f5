#include "engine/catalogue.h"

#include <array>

namespace airfoldex {
namespace {

// Built in groups, one per system, in a fixed order; the stored selections are positions, so
// this order is part of the settings file format.
constexpr std::array<CatalogueEntry, 23> kFromList = {{
    // MP3
    {"MP3", code::kMp3},
    {"MP3 BSI/Simian", code::kMp3},
    // WAV
    {"WAV/PCM", code::kWavPcm},
    {"WAV w/ID3", code::kWavWithId3},
    {"TM Century", code::kWavPcm},
    {"Storq/Air Force", code::kWavPcm},
    // CART/DJB
    {"CART", code::kCartChunk},
    {"DJB", code::kCartChunk},
    {"WideOrbit/Scott", code::kWideOrbitScott},
    {"ENCO", code::kEnco},
    {"RCS NextGen/Zetta", code::kNextGenZetta},
    // Arrakis/NextKast
    {"Arrakis", code::kArrakis},
    {"NextKast", code::kArrakis},
    // PlayItLive/PlayoutONE
    {"PlayItLive", code::kPlayItLive},
    {"PlayoutONE/Pro", code::kPlayItLive},
    {"AudioVault", code::kAudioVault},
    {"MediaTouch", code::kMediaTouch},
    {"Rivendell", code::kRivendell},
    {"StationPlaylist", code::kStationPlaylist},
    {"BSI/Simian", code::kBsiSimian},
    {"Myriad", code::kMyriad},
    {"Maestro", code::kMaestro},
    {"Use CSV file to populate Meta-Data", code::kCsvMetadata},
}};

// The TO list leaves out the MP3 group, adds "RadioDJ" to the CART group, "AudioVault11" to the
// AudioVault group and "LIST Chunk" to the BSI/Simian group, and closes with the report.
constexpr std::array<CatalogueEntry, 21> kToList = {{
    {"WAV/PCM", code::kWavPcm},
    {"CART Chunk", code::kCartChunk},
    {"DJB", code::kCartChunk},
    {"RadioDJ", code::kCartChunk},
    {"WideOrbit/Scott", code::kWideOrbitScott},
    {"ENCO", code::kEnco},
    {"RCS NextGen/Zetta", code::kNextGenZetta},
    {"Arrakis", code::kArrakis},
    {"NextKast", code::kArrakis},
    {"PlayItLive", code::kPlayItLive},
    {"PlayoutONE/Pro", code::kPlayItLive},
    {"AudioVault", code::kAudioVault},
    {"AudioVault11", code::kAudioVault},
    {"MediaTouch", code::kMediaTouch},
    {"Rivendell", code::kRivendell},
    {"StationPlaylist", code::kStationPlaylist},
    {"BSI/Simian", code::kBsiSimian},
    {"LIST Chunk", code::kBsiSimian},
    {"Myriad", code::kMyriad},
    {"Maestro", code::kMaestro},
    {"Generate Report Only", code::kReportOnly},
}};

const CatalogueEntry* At(FormatList list, int position) {
  const auto entries = Entries(list);
  if (position < 0 || static_cast<std::size_t>(position) >= entries.size()) return nullptr;
  return &entries[static_cast<std::size_t>(position)];
}

}  // namespace

std::span<const CatalogueEntry> Entries(FormatList list) {
  if (list == FormatList::From) return kFromList;
  return kToList;
}

FormatCode SelectedCode(FormatList list, int position) {
  const auto* e = At(list, position);
  return e ? e->code : code::kNone;
}

std::string_view SelectedText(FormatList list, int position) {
  const auto* e = At(list, position);
  return e ? e->text : std::string_view{};
}

std::optional<int> FindEntry(FormatList list, std::string_view text) {
  const auto entries = Entries(list);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].text == text) return static_cast<int>(i);
  }
  return std::nullopt;
}

bool IsAudioVault11(int toPosition) {
  return SelectedText(FormatList::To, toPosition) == "AudioVault11" &&
         SelectedCode(FormatList::To, toPosition) == code::kAudioVault;
}

bool IsSameFormatText(int fromPosition, int toPosition) {
  const auto from = SelectedText(FormatList::From, fromPosition);
  return !from.empty() && from == SelectedText(FormatList::To, toPosition);
}

}  // namespace airfoldex
