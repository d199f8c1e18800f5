#include "ticwell/timer_registry.h"

#include <gtest/gtest.h>

#include <QtCore/QThread>
#include <memory>
#include <thread>

#include "ticwell/ticwell.h"
#include "ticwell_test_support.h"

namespace ticwell {
namespace {

using testing_support::EventLog;
using testing_support::RunFor;
using testing_support::RunUntil;

// A classic timer whose own ticks are far off, so every tick in a test is one the test sent.
std::unique_ptr<Ticwell> StartedQuietTimer() {
  auto control = std::make_unique<Ticwell>();
  control->SetInterval(600000);
  control->SetEnabled(true);
  return control;
}

void CallbackFromAnotherThread(quint32 timerId) {
  std::thread caller([timerId] { TimerCallback(0, 0, timerId, 0); });
  caller.join();
}

TEST(TimerRegistryTest, CallbackTicksTheControlThatOwnsTheId) {
  auto control = StartedQuietTimer();
  EventLog log(*control);
  TimerCallback(0, 0, control->TimerId(), 0);
  EXPECT_EQ(log.timer, 1);
}

TEST(TimerRegistryTest, TicksForUnknownStoppedOrDestroyedTimersAreDropped) {
  TimerCallback(0, 0, 4'000'000'000u, 0);
  EXPECT_FALSE(TimerRegistry::Process().DeliverTick(TimerKey(4'000'000'000u)));

  auto control = StartedQuietTimer();
  EventLog log(*control);
  const quint32 stoppedId = control->TimerId();
  control->SetEnabled(false);
  TimerCallback(0, 0, stoppedId, 0);
  EXPECT_EQ(log.timer, 0);

  control->SetEnabled(true);
  const quint32 destroyedId = control->TimerId();
  control.reset();
  EXPECT_EQ(TimerRegistry::Process().Count(), 0u);
  TimerCallback(0, 0, destroyedId, 0);
}

TEST(TimerRegistryTest, TickFromAnotherThreadArrivesOnTheOwningThread) {
  auto control = StartedQuietTimer();
  EventLog log(*control);
  CallbackFromAnotherThread(control->TimerId());
  EXPECT_EQ(log.timer, 0);  // queued, not run on the caller's thread
  ASSERT_TRUE(RunUntil([&] { return log.timer == 1; }));
  EXPECT_EQ(log.tickThreads[0], QThread::currentThread());
}

TEST(TimerRegistryTest, QueuedTickIsDroppedWhenTheControlStopsOrDiesFirst) {
  auto stopped = StartedQuietTimer();
  EventLog stoppedLog(*stopped);
  CallbackFromAnotherThread(stopped->TimerId());
  stopped->SetEnabled(false);

  auto destroyed = StartedQuietTimer();
  CallbackFromAnotherThread(destroyed->TimerId());
  destroyed.reset();

  RunFor(30);
  EXPECT_EQ(stoppedLog.timer, 0);
}

TEST(TimerRegistryTest, RemovesTheFirstEntryOfAnInstanceAndReplacesStaleKeys) {
  TimerRegistry registry;
  Ticwell first;
  Ticwell second;
  registry.Add("1_tick", &first);
  registry.Add("2_tick", &first);
  registry.Add("2_tick", &second);  // the key's old entry is stale
  registry.Add("3_tick", &first);
  EXPECT_EQ(registry.Count(), 3u);
  EXPECT_EQ(registry.Find("2_tick"), &second);

  EXPECT_TRUE(registry.RemoveFirst(&first));
  EXPECT_EQ(registry.Find("1_tick"), nullptr);
  EXPECT_EQ(registry.Find("3_tick"), &first);
  EXPECT_TRUE(registry.RemoveFirst(&first));
  EXPECT_FALSE(registry.RemoveFirst(&first));
  EXPECT_EQ(registry.Count(), 1u);
}

}  // namespace
}  // namespace ticwell
