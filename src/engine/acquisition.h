#pragma once

// Source metadata acquisition: which readers run for a source file, in which order, and the
// presence flags they leave for the later steps of the same file.

#include "engine/job_context.h"

namespace airfoldex {

// Steps 5 to 15 for the current file. Leaves the record and the presence flags; for a file that
// cannot be read it sets a failed FileResult, and the driver goes on with the log values.
void AcquireSource(JobContext& ctx);

// The readers that run inside the conversion step: the ID3 values of an MP3 source, the id3 chunk
// of a "WAV w/ID3" source.
void AcquireLate(JobContext& ctx);

// True when the readers of this source system are part of this build.
bool SourceReadersAvailable(FormatCode fromCode);

}  // namespace airfoldex
