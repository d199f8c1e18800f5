#pragma once

// The clocks a benchmark reads. The control asks for a high-resolution counter first and falls back
// to a millisecond tick count when the machine offers none; a host or a test may hand the control
// another source, for example one whose counter is missing.

#include <cstdint>
#include <memory>

#include "ticwell/ticwell_export.h"

namespace ticwell {

class TICWELL_EXPORT CounterSource {
 public:
  virtual ~CounterSource() = default;

  // Counts per second of the high-resolution counter; 0 when there is no such counter.
  virtual std::int64_t HighResolutionFrequency() const = 0;
  // The high-resolution counter now, in counts from an arbitrary origin.
  virtual std::int64_t HighResolutionCounter() const = 0;
  // Milliseconds from an arbitrary origin (the tick count).
  virtual std::int64_t TickCount() const = 0;
};

// Both counters come from std::chrono::steady_clock: the high-resolution counter in the clock's own
// period (nanoseconds on Linux), the tick count in milliseconds. Neither jumps with the wall clock.
TICWELL_EXPORT std::shared_ptr<const CounterSource> SteadyClockCounters();

}  // namespace ticwell
