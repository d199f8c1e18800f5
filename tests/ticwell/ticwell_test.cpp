#include "ticwell/ticwell.h"

#include <gtest/gtest.h>

#include <QtCore/QThread>
#include <memory>
#include <string>
#include <vector>

#include "ticwell/timer_registry.h"
#include "ticwell_test_support.h"

namespace ticwell {
namespace {

using testing_support::EventLog;
using testing_support::ManualCounters;
using testing_support::RunFor;
using testing_support::RunUntil;

const std::string kRefusedModeChange = "TypeTimer ne peut pas être changé lorsqu'il est en fonctionnement.";

void TickWatch(Ticwell& control, int ticks) {
  for (int i = 0; i < ticks; ++i) {
    control.OnTick(u"ClassicAndWatch");
  }
}

// ---- properties and the property bag ---------------------------------------------------------

TEST(TicwellPropertiesTest, NewInstanceIsAStoppedClassicTimerOfTenMilliseconds) {
  Ticwell control;
  control.InitProperties();
  EXPECT_FALSE(control.Enabled());
  EXPECT_FALSE(control.IsRunning());
  EXPECT_EQ(control.TypeTimer(), ConstTypeTimer::Classical);
  EXPECT_EQ(control.Interval().typeId(), QMetaType::Int);
  EXPECT_EQ(control.Interval().toInt(), 10);
  EXPECT_EQ(control.Value(), Currency{});
  EXPECT_EQ(control.TimerId(), 0u);

  // Nothing at its default is written; stale entries of those names go.
  QVariantMap bag{{"Interval", 500}, {"Enabled", true}};
  control.WriteProperties(bag);
  EXPECT_TRUE(bag.isEmpty());
}

TEST(TicwellPropertiesTest, SavedRunningWatchComesBackRunningInItsOwnMode) {
  QVariantMap bag;
  {
    Ticwell saved;
    saved.SetInterval(250);
    saved.SetTypeTimer(ConstTypeTimer::Watch);
    saved.SetEnabled(true);
    saved.WriteProperties(bag);
  }
  EXPECT_EQ(bag, (QVariantMap{{"Enabled", true}, {"Interval", 250}, {"TypeTimer", 2}}));

  Ticwell loaded;
  EventLog log(loaded);
  loaded.ReadProperties(bag);
  EXPECT_TRUE(loaded.Enabled());
  EXPECT_TRUE(loaded.IsRunning());
  EXPECT_EQ(loaded.TypeTimer(), ConstTypeTimer::Watch);
  EXPECT_EQ(loaded.Interval().toInt(), 250);
  EXPECT_NE(loaded.TimerId(), 0u);
  EXPECT_TRUE(log.errors.empty());  // the mode was set before the timer started
}

TEST(TicwellPropertiesTest, MissingOrUnreadableEntriesReadAsDefaults) {
  Ticwell control;
  control.ReadProperties({{"Interval", "abc"}});
  EXPECT_FALSE(control.Enabled());
  EXPECT_EQ(control.Interval().toInt(), 10);
  EXPECT_EQ(control.TypeTimer(), ConstTypeTimer::Classical);

  control.ReadProperties({{"Interval", "60000"}, {"TypeTimer", 1}});
  EXPECT_EQ(control.Interval().toInt(), 60000);
  EXPECT_EQ(control.TypeTimer(), ConstTypeTimer::BenchMark);
}

// A bag holding a mode number outside the three modes must not put an unnamed value into the
// control, whose tick handling switches over the three.
TEST(TicwellPropertiesTest, RegressionUnknownSavedModeReadsAsClassical) {
  const QVariant cases[] = {3, -1, 255, "7", QVariant(2147483647LL)};
  for (const QVariant& saved : cases) {
    Ticwell control;
    control.SetTypeTimer(ConstTypeTimer::Watch);
    control.ReadProperties({{"TypeTimer", saved}, {"Enabled", true}});
    EXPECT_EQ(control.TypeTimer(), ConstTypeTimer::Classical) << saved.toString().toStdString();
    EXPECT_TRUE(control.IsRunning());
    QVariantMap bag;
    control.WriteProperties(bag);
    EXPECT_FALSE(bag.contains("TypeTimer")) << saved.toString().toStdString();
    control.SetEnabled(false);
  }
}

TEST(TicwellIntervalTest, ConvertsToWholeMillisecondsOfAtLeastTen) {
  const struct {
    QVariant given;
    int expected;
  } cases[] = {
      {5, 10},
      {"abc", 10},
      {60000, 60000},
      {9, 10},
      {11, 11},
      {-1, 10},
      {"250", 250},
      {"  42 ", 42},
      {12.5, 12},  // halves round to even
      {13.5, 14},
      {"1e3", 1000},
      {QVariant(), 10},
      {"", 10},
      {true, 10},   // true is -1
      {3.0e9, 10},  // beyond 32 bits
      {qint64(2147483647), 2147483647},
  };
  for (const auto& c : cases) {
    Ticwell control;
    control.SetInterval(100);
    control.SetInterval(c.given);
    EXPECT_EQ(control.Interval().toInt(), c.expected) << c.given.toString().toStdString();
  }
}

TEST(TicwellIntervalTest, OnlyARealChangeMarksTheProperty) {
  Ticwell control;
  EventLog log(control);
  control.SetInterval(10);
  control.SetInterval("5");  // becomes 10, the current value
  EXPECT_TRUE(log.changed.empty());
  control.SetInterval(20);
  control.SetInterval("20");
  control.SetEnabled(true);
  control.SetEnabled(true);
  control.SetEnabled(false);
  EXPECT_EQ(log.changed, (std::vector<std::string>{"Interval", "Enabled", "Enabled"}));
}

// ---- classic mode ----------------------------------------------------------------------------

TEST(TicwellClassicTest, TicksOnTheOwningThreadUntilDisabled) {
  Ticwell control;
  EventLog log(control);
  control.SetInterval(10);
  control.SetEnabled(true);
  control.SetEnabled(true);  // no second system timer
  ASSERT_NE(control.TimerId(), 0u);
  EXPECT_EQ(TimerRegistry::Process().Count(), 1u);
  EXPECT_EQ(TimerRegistry::Process().Find(TimerKey(control.TimerId())), &control);

  ASSERT_TRUE(RunUntil([&] { return log.timer >= 3; }));
  for (QThread* thread : log.tickThreads) {
    EXPECT_EQ(thread, control.thread());
  }
  EXPECT_EQ(log.sec, 0);

  control.SetEnabled(false);
  EXPECT_FALSE(control.IsRunning());
  EXPECT_EQ(control.TimerId(), 0u);
  EXPECT_EQ(TimerRegistry::Process().Count(), 0u);
  const int ticks = log.timer;
  RunFor(50);
  EXPECT_EQ(log.timer, ticks);
}

TEST(TicwellClassicTest, NewIntervalTakesEffectAtTheNextStart) {
  Ticwell control;
  EventLog log(control);
  control.SetInterval(10);
  control.SetEnabled(true);
  control.SetInterval(100000);
  ASSERT_TRUE(RunUntil([&] { return log.timer >= 2; }));  // still the old 10 ms

  control.SetEnabled(false);
  control.SetEnabled(true);
  const int ticks = log.timer;
  RunFor(60);
  EXPECT_EQ(log.timer, ticks);
  control.SetEnabled(false);
}

// ---- watch mode ------------------------------------------------------------------------------

TEST(TicwellWatchTest, CountsSecondsMinutesAndHours) {
  Ticwell control;
  EventLog log(control);
  control.SetTypeTimer(ConstTypeTimer::Watch);

  TickWatch(control, 59);
  EXPECT_EQ(log.min, 0);
  EXPECT_EQ(control.Value(), Currency::FromWhole(59));
  TickWatch(control, 1);
  EXPECT_EQ(log.min, 1);
  EXPECT_EQ(control.Value(), Currency::FromWhole(60));

  TickWatch(control, 3725 - 60);
  EXPECT_EQ(log.sec, 3725);
  EXPECT_EQ(log.min, 62);
  EXPECT_EQ(log.hour, 1);
  EXPECT_EQ(control.Value(), Currency::FromWhole(3725));
  EXPECT_EQ(log.timer, 0);
}

TEST(TicwellWatchTest, StopKeepsTheValueAndTheNextStartClearsIt) {
  Ticwell control;
  control.SetTypeTimer(ConstTypeTimer::Watch);
  control.SetEnabled(true);
  ASSERT_NE(control.TimerId(), 0u);
  EXPECT_EQ(TimerRegistry::Process().Count(), 1u);

  TickWatch(control, 65);
  control.SetEnabled(false);
  EXPECT_EQ(control.Value(), Currency::FromWhole(65));
  EXPECT_EQ(TimerRegistry::Process().Count(), 0u);

  control.SetEnabled(true);
  EXPECT_EQ(control.Value(), Currency{});
  TickWatch(control, 1);  // the minute counter started again from zero
  EXPECT_EQ(control.Value(), Currency::FromWhole(1));
  control.SetEnabled(false);
}

TEST(TicwellWatchTest, HandlerThatStopsTheWatchEndsTheTick) {
  Ticwell control;
  EventLog log(control);
  control.SetTypeTimer(ConstTypeTimer::Watch);
  control.SetEnabled(true);
  QObject::connect(&control, &Ticwell::Sec, &control, [&] {
    if (log.sec == 60) {
      control.SetEnabled(false);
    }
  });
  TickWatch(control, 60);
  EXPECT_EQ(log.min, 0);
  EXPECT_EQ(control.Value(), Currency::FromWhole(59));  // what the stop kept
  EXPECT_FALSE(control.IsRunning());
}

TEST(TicwellWatchTest, ControlMayBeDestroyedByItsOwnHandler) {
  auto* control = new Ticwell;
  control->SetTypeTimer(ConstTypeTimer::Watch);
  control->SetEnabled(true);
  QObject::connect(control, &Ticwell::Sec, [control] { delete control; });
  control->OnTick(u"ClassicAndWatch");
  EXPECT_EQ(TimerRegistry::Process().Count(), 0u);
}

// ---- benchmark mode --------------------------------------------------------------------------

TEST(TicwellBenchmarkTest, MeasuresWithTheBestCounterAvailable) {
  const struct {
    std::int64_t frequency;  // 0: no high-resolution counter
    std::int64_t start;
    std::int64_t stop;
    const char* api;
    std::int64_t units;  // milliseconds in ten-thousandths
  } cases[] = {
      {1'000'000, 5'000'000, 5'123'456, "QueryPerformanceCounter", 1'234'560},
      {3, 10, 11, "QueryPerformanceCounter", 3'333'333},  // 333.33333 ms
      {20'000'000, 0, 3, "QueryPerformanceCounter", 2},   // 1.5 units: ties to even
      {20'000'000, 0, 1, "QueryPerformanceCounter", 0},   // 0.5 units
      {1'000'000'000, 0, 90'000'000'000'123, "QueryPerformanceCounter", 900'000'000'001},  // 25 h
      {0, 1000, 1250, "GetTickCount", 2'500'000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    auto counters = std::make_shared<ManualCounters>();
    counters->frequency = c.frequency;
    Ticwell control(counters);
    EventLog log(control);
    EXPECT_EQ(control.WhichApi().toStdString(), c.api);

    control.SetTypeTimer(ConstTypeTimer::BenchMark);
    counters->counter = c.start;
    counters->ticks = c.start;
    control.SetEnabled(true);
    EXPECT_TRUE(control.IsRunning());
    EXPECT_EQ(control.TimerId(), 0u);  // no system timer
    counters->counter = c.stop;
    counters->ticks = c.stop;
    control.SetEnabled(false);

    const Currency expected{c.units};
    ASSERT_EQ(log.bench.size(), 1u);
    EXPECT_EQ(log.bench[0].first, c.api);
    EXPECT_EQ(log.bench[0].second, expected);
    EXPECT_EQ(control.Value(), expected);
    EXPECT_FALSE(control.IsRunning());
  }
}

TEST(TicwellBenchmarkTest, SteadyClockMeasuresRealTime) {
  Ticwell control;
  EventLog log(control);
  control.SetTypeTimer(ConstTypeTimer::BenchMark);
  control.SetEnabled(true);
  QThread::msleep(20);
  control.SetEnabled(false);
  ASSERT_EQ(log.bench.size(), 1u);
  EXPECT_EQ(log.bench[0].first, "QueryPerformanceCounter");
  EXPECT_GE(control.Value().ToDouble(), 19.0);
  EXPECT_LT(control.Value().ToDouble(), 5000.0);
}

TEST(TicwellBenchmarkTest, OnlyAStartedBenchmarkReportsEvenAtDestruction) {
  auto counters = std::make_shared<ManualCounters>();
  counters->frequency = 1000;
  auto idle = std::make_unique<Ticwell>(counters);
  EventLog idleLog(*idle);
  idle->SetTypeTimer(ConstTypeTimer::BenchMark);
  idle->StopTicking();
  idle.reset();
  EXPECT_TRUE(idleLog.bench.empty());

  auto running = std::make_unique<Ticwell>(counters);
  EventLog runningLog(*running);
  running->SetTypeTimer(ConstTypeTimer::BenchMark);
  running->SetEnabled(true);
  counters->counter += 7;
  running.reset();
  ASSERT_EQ(runningLog.bench.size(), 1u);
  EXPECT_EQ(runningLog.bench[0].second, Currency::FromWhole(7));
}

// ---- mode changes and counter resets ---------------------------------------------------------

TEST(TicwellTypeTimerTest, ChangeIsRefusedWhileRunningInEveryMode) {
  const ConstTypeTimer modes[] = {ConstTypeTimer::Classical, ConstTypeTimer::BenchMark,
                                  ConstTypeTimer::Watch};
  for (const ConstTypeTimer mode : modes) {
    Ticwell control;
    control.SetTypeTimer(mode);
    EventLog log(control);
    control.SetEnabled(true);
    const ConstTypeTimer other =
        mode == ConstTypeTimer::Watch ? ConstTypeTimer::Classical : ConstTypeTimer::Watch;
    control.SetTypeTimer(other);
    ASSERT_EQ(log.errors.size(), 1u);
    EXPECT_EQ(log.errors[0].first, 231);
    EXPECT_EQ(log.errors[0].second, kRefusedModeChange);
    EXPECT_EQ(control.TypeTimer(), mode);
    EXPECT_EQ(log.changed, std::vector<std::string>{"Enabled"});

    control.SetEnabled(false);
    control.SetTypeTimer(other);
    EXPECT_EQ(log.errors.size(), 1u);
    EXPECT_EQ(control.TypeTimer(), other);
    EXPECT_EQ(log.changed.back(), "TypeTimer");
  }
}

TEST(TicwellResetCountersTest, EachModeClearsWhatItNames) {
  const struct {
    const char16_t* mode;
    std::int64_t value;  // seconds after the reset
    bool running;
  } cases[] = {
      {u"All", 0, false},
      {u"AllButTiRIsTrue", 0, true},
      {u"AllButKeepValue", 5, false},
      {u"all", 5, true},  // unknown texts do nothing
  };
  for (const auto& c : cases) {
    Ticwell control;
    control.SetTypeTimer(ConstTypeTimer::Watch);
    control.ResetCounters(u"AllButTiRIsTrue");
    TickWatch(control, 5);
    control.ResetCounters(c.mode);
    EXPECT_EQ(control.Value(), Currency::FromWhole(c.value)) << QString::fromUtf16(c.mode).toStdString();
    EXPECT_EQ(control.IsRunning(), c.running);
  }
}

}  // namespace
}  // namespace ticwell
