#pragma once

// Source metadata acquisition: which readers run for a source file, in which order, and the
// presence flags they leave for the later steps of the same file.

#include "engine/job_context.h"
#include "riff/list_info.h"

namespace airfoldex {

// Steps 5 to 15 for the current file. Leaves the record and the presence flags; for a file that
// cannot be read it sets a failed FileResult, and the driver goes on with the log values.
void AcquireSource(JobContext& ctx);

// The readers that run inside the conversion step: the ID3 values of an MP3 source, the id3 chunk
// of a "WAV w/ID3" source.
void AcquireLate(JobContext& ctx);

// The default record for the current file (the ID3 form for sources with ID3 values).
bool BuildDefaultRecord(JobContext& ctx, bool id3Form);

// What the LIST/INFO record rules and builders need to know of the current file.
ListInfoRecordInputs CurrentListInfoInputs(const JobContext& ctx);

// How the timer reader treats the current file's timers.
TimerReadRules CurrentTimerRules(const JobContext& ctx);

// True when the readers of this source system are part of this build.
bool SourceReadersAvailable(FormatCode fromCode);

}  // namespace airfoldex
