#include "engine/assembly.h"

#include <chrono>

#include "riff/wav.h"

namespace airfoldex {

namespace fs = std::filesystem;

bool TargetWritersAvailable(FormatCode toCode) { return toCode == code::kWavPcm; }

int16_t AssembleDestination(JobContext& ctx, const fs::path& source, fs::path& destination) {
  if (!TargetWritersAvailable(ctx.settings.ToCode)) {
    throw ProcessError(errnum::kFormatNotAvailable,
                       "Writing \"" + ctx.settings.ToText + "\" files is not available in this version.");
  }

  // The copy reports every block; the window gets a turn at most every 50 ms.
  auto lastYield = std::chrono::steady_clock::now();
  const CopyProgress progress = [&](uint64_t done, uint64_t total) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield < std::chrono::milliseconds(50) && done < total) return;
    lastYield = now;
    ctx.ui.SetFileProgress(total ? static_cast<int>(done * 100 / total) : 100, 100);
    ctx.ui.YieldToUi();
  };

  TargetChunks chunks;  // a plain WAV/PCM target carries no metadata chunk
  const WriteResult written =
      WriteDestinationWav(source, destination, ctx.session.Format, ctx.session.Layout, chunks, progress);
  if (!written.ok) {
    ctx.session.FileDiagnostics.push_back({"write-failed", "", 0, written.error});
    if (!ctx.settings.ErrorStopsOff) {
      ctx.ui.ShowMessage("Copying Source to Dest", "Likely Error in Source file " + source.string(),
                         MessageIcon::Critical, MessageButtons::Ok);
    }
    return 0;
  }
  return -1;
}

}  // namespace airfoldex
