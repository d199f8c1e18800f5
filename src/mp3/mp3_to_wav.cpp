#include "mp3/mp3_to_wav.h"

namespace airfoldex {

int16_t Mp3ToWav(JobContext& ctx, const std::filesystem::path&, const std::filesystem::path&) {
  throw ProcessError(errnum::kFormatNotAvailable,
                     "Decoding \"" + ctx.settings.FromText + "\" sources is not available in this version.");
}

}  // namespace airfoldex
