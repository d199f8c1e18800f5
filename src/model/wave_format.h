#pragma once

#include <cstdint>

namespace airfoldex {

// The audio format of the current source file, from its fmt chunk.
struct WaveFormat {
  uint16_t FormatTag = 0;  // 1 = PCM
  uint16_t Channels = 0;
  uint32_t SamplesPerSec = 0;
  uint32_t AvgBytesPerSec = 0;
  uint16_t BlockAlign = 0;
  uint16_t BitsPerSample = 0;

  bool operator==(const WaveFormat&) const = default;
};

}  // namespace airfoldex
