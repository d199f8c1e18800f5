#include "ticwell/counter_source.h"

#include <chrono>

namespace ticwell {
namespace {

class SteadyClockCounterSource final : public CounterSource {
  using Clock = std::chrono::steady_clock;

 public:
  std::int64_t HighResolutionFrequency() const override {
    return static_cast<std::int64_t>(Clock::period::den / Clock::period::num);
  }
  std::int64_t HighResolutionCounter() const override {
    return static_cast<std::int64_t>(Clock::now().time_since_epoch().count());
  }
  std::int64_t TickCount() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
  }
};

}  // namespace

std::shared_ptr<const CounterSource> SteadyClockCounters() {
  return std::make_shared<const SteadyClockCounterSource>();
}

}  // namespace ticwell
