#pragma once

// The two format lists of the main window ("Convert From" and "Convert To"). Every list entry
// carries a FormatCode; the engine decides by the code alone, except for the two uses of the
// entry text ("AudioVault11" and the same-text question).

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace airfoldex {

using FormatCode = int16_t;

namespace code {
inline constexpr FormatCode kNone = -1;  // no valid selection
inline constexpr FormatCode kCartChunk = 0;
inline constexpr FormatCode kWideOrbitScott = 1;
inline constexpr FormatCode kEnco = 2;
inline constexpr FormatCode kNextGenZetta = 3;
inline constexpr FormatCode kArrakis = 4;
inline constexpr FormatCode kPlayItLive = 5;
inline constexpr FormatCode kAudioVault = 6;
inline constexpr FormatCode kMediaTouch = 7;
inline constexpr FormatCode kRivendell = 8;
inline constexpr FormatCode kStationPlaylist = 9;
inline constexpr FormatCode kBsiSimian = 10;
inline constexpr FormatCode kMyriad = 11;
inline constexpr FormatCode kMp3 = 12;
inline constexpr FormatCode kWavPcm = 13;
inline constexpr FormatCode kMaestro = 14;
inline constexpr FormatCode kCsvMetadata = 18;  // as source
inline constexpr FormatCode kReportOnly = 18;   // as target
inline constexpr FormatCode kWavWithId3 = 24;
}  // namespace code

struct CatalogueEntry {
  std::string_view text;
  FormatCode code;
};

enum class FormatList { From, To };

// The entries in list order; the position of an entry is its index.
std::span<const CatalogueEntry> Entries(FormatList list);

// The code of the entry at `position`; code::kNone when the position holds no entry.
FormatCode SelectedCode(FormatList list, int position);

// The text of the entry at `position`; empty when the position holds no entry.
std::string_view SelectedText(FormatList list, int position);

// The position of the entry with exactly this text.
std::optional<int> FindEntry(FormatList list, std::string_view text);

// Selections restored when the settings hold nothing: FROM "MP3", TO "CART Chunk".
inline constexpr int kDefaultFromPosition = 0;
inline constexpr int kDefaultToPosition = 1;

// "AudioVault11" is the one TO entry whose text changes behaviour: it copies Artist into ClientID.
bool IsAudioVault11(int toPosition);

// Equal entry texts raise the "Matching TO/FROM formats" question; equal codes alone do not.
bool IsSameFormatText(int fromPosition, int toPosition);

}  // namespace airfoldex
