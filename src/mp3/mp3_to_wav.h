#pragma once

// Decoding an MP3 source into the PCM WAV destination, which then gets the target's chunks.

#include <cstdint>
#include <filesystem>

#include "engine/job_context.h"

namespace airfoldex {

// -1 when the destination was written, 0 on failure.
int16_t Mp3ToWav(JobContext& ctx, const std::filesystem::path& source,
                 const std::filesystem::path& destination);

}  // namespace airfoldex
