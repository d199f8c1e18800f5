#pragma once

// The number behind every entry of the two format lists: the engine decides by it which files
// are listed, which readers fill the record and which chunks and sidecars a destination gets.

#include <cstdint>

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

}  // namespace airfoldex
