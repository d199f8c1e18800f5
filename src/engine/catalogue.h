#pragma once

// The two format lists of the main window ("Convert From" and "Convert To"). Every list entry
// carries a FormatCode; the engine decides by the code alone, except for the two uses of the
// entry text ("AudioVault11" and the same-text question).

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/format_code.h"

namespace airfoldex {

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
