#pragma once

// Destination assembly: the target system's chunks and sidecar around the source's audio.

#include <filesystem>

#include "engine/job_context.h"

namespace airfoldex {

// Writes the destination for the current file. -1 on success, 0 on failure. `destination` is
// in-out: some targets choose the file name themselves.
int16_t AssembleDestination(JobContext& ctx, const std::filesystem::path& source,
                            std::filesystem::path& destination);

// True when the writers of this target system are part of this build.
bool TargetWritersAvailable(FormatCode toCode);

}  // namespace airfoldex
