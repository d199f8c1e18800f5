#pragma once

// The 2056-byte header of a Maestro ".daf" audio file: title, artist, category, cut number, the
// audio length and the audio format flags.

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/job_context.h"

namespace airfoldex {

inline constexpr std::size_t kDafHeaderSize = 2056;

// The bits of a 16-bit value as "0"/"1", most significant first.
std::string BitsText(uint16_t value);

// Reads the header of the current source into the format, the audio length and, over the default
// record, the record's texts. Returns 0 as the classic reader did (the file is never "identified"
// as a WAV); a file shorter than the header reads its missing bytes as zeros.
int16_t ReadDafHeader(JobContext& ctx, const std::filesystem::path& path);

}  // namespace airfoldex
