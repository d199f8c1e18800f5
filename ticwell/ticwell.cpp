#include "ticwell/ticwell.h"

#include <QtCore/QLocale>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "ticwell/timer_registry.h"

namespace ticwell {
namespace {

constexpr int kWatchPeriodMs = 1000;
constexpr auto kTextQueryPerformanceCounter = u"QueryPerformanceCounter";
constexpr auto kTextGetTickCount = u"GetTickCount";

// A value converted to a 32-bit integer the way the control's callers expect: numbers and numeric
// text (C locale, surrounding blanks allowed) round half to even; an empty variant is 0 and true is
// -1. Nothing when the value is not a number or does not fit in 32 bits.
std::optional<std::int32_t> ToInt32(const QVariant& value) {
  if (!value.isValid()) {
    return 0;
  }
  double number = 0;
  bool ok = false;
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? -1 : 0;
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
      number = QLocale::c().toDouble(value.toString().trimmed(), &ok);
      break;
    default:
      number = value.toDouble(&ok);
      break;
  }
  if (!ok || !std::isfinite(number)) {
    return std::nullopt;
  }
  const double rounded = std::nearbyint(number);  // the default rounding mode: ties to even
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

std::uint64_t DivideRoundHalfEven(std::uint64_t numerator, std::uint64_t denominator) {
  const std::uint64_t quotient = numerator / denominator;
  const std::uint64_t remainder = numerator % denominator;
  const std::uint64_t rest = denominator - remainder;
  if (remainder > rest || (remainder == rest && (quotient & 1) != 0)) {
    return quotient + 1;
  }
  return quotient;
}

// `counts` of a counter running at `frequency` counts per second, as milliseconds with four decimals.
Currency MillisecondsFromCounts(std::int64_t counts, std::int64_t frequency) {
  constexpr std::uint64_t kUnitsPerSecond = 1000 * Currency::kScale;
  const bool negative = counts < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(counts) : static_cast<std::uint64_t>(counts);
  const auto perSecond = static_cast<std::uint64_t>(frequency);
  const std::uint64_t wholeSeconds = magnitude / perSecond;
  const std::uint64_t restCounts = magnitude % perSecond;
  std::uint64_t restUnits = 0;
  if (perSecond <= std::numeric_limits<std::uint64_t>::max() / kUnitsPerSecond) {
    restUnits = DivideRoundHalfEven(restCounts * kUnitsPerSecond, perSecond);
  } else {
    restUnits = static_cast<std::uint64_t>(
        std::nearbyint(static_cast<long double>(restCounts) * kUnitsPerSecond / perSecond));
  }
  const auto units = static_cast<std::int64_t>(wholeSeconds * kUnitsPerSecond + restUnits);
  return Currency{negative ? -units : units};
}

quint32 TickCountNow() {
  return static_cast<quint32>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count());
}

}  // namespace

const char* LibraryVersion() { return "0.1.0"; }

QString TypeTimerRunningDescription() {
  return QString::fromUtf8("TypeTimer ne peut pas être changé lorsqu'il est en fonctionnement.");
}

Ticwell::Ticwell(QObject* parent) : Ticwell(nullptr, parent) {}

Ticwell::Ticwell(std::shared_ptr<const CounterSource> counters, QObject* parent)
    : QObject(parent), counters_(counters ? std::move(counters) : SteadyClockCounters()) {
  ResetCounters(u"All");
}

Ticwell::~Ticwell() {
  StopTicking();
  ResetCounters(u"All");
  // Whatever happened in the handlers above, no entry may outlive the control.
  while (TimerRegistry::Process().RemoveFirst(this)) {
  }
}

void Ticwell::SetEnabled(bool new_mEnabled) {
  if (new_mEnabled == enabled_) {
    return;
  }
  enabled_ = new_mEnabled;
  Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
  if (enabled_) {
    StartTicking();
  } else {
    StopTicking();
  }
}

void Ticwell::SetInterval(const QVariant& new_mInterval) {
  std::int32_t interval = ToInt32(new_mInterval).value_or(kDefaultInterval);
  if (interval < kDefaultInterval) {
    interval = kDefaultInterval;
  }
  if (interval == interval_) {
    return;
  }
  interval_ = interval;
  Q_EMIT PropertyChanged(QStringLiteral("Interval"));
}

void Ticwell::SetTypeTimer(ConstTypeTimer new_mTypeTimer) {
  if (running_) {
    Q_EMIT Error(kTypeTimerRunningError, TypeTimerRunningDescription());
    return;
  }
  if (new_mTypeTimer == typeTimer_) {
    return;
  }
  typeTimer_ = new_mTypeTimer;
  Q_EMIT PropertyChanged(QStringLiteral("TypeTimer"));
}

QString Ticwell::WhichApi() {
  frequency_ = counters_->HighResolutionFrequency();
  return QString::fromUtf16(frequency_ > 0 ? kTextQueryPerformanceCounter : kTextGetTickCount);
}

void Ticwell::ResetCounters(QStringView mode) {
  const bool all = mode == u"All";
  const bool markRunning = mode == u"AllButTiRIsTrue";
  const bool keepValue = mode == u"AllButKeepValue";
  if (!all && !markRunning && !keepValue) {
    return;
  }
  seconds_ = 0;
  minutes_ = 0;
  hours_ = 0;
  startCount_ = 0;
  if (!keepValue) {
    value_ = Currency{};
  }
  if (running_ != markRunning) {
    ++runGeneration_;
  }
  running_ = markRunning;
}

void Ticwell::StartTicking() {
  // A second start must not leave the first system timer ticking unowned.
  StopSystemTimer();
  benchCounter_ = BenchCounter::None;
  ResetCounters(u"AllButTiRIsTrue");
  ++runGeneration_;
  switch (typeTimer_) {
    case ConstTypeTimer::Classical:
      StartSystemTimer(interval_);
      break;
    case ConstTypeTimer::BenchMark:
      if (WhichApi() == QStringView(kTextGetTickCount)) {
        benchCounter_ = BenchCounter::TickCount;
        startCount_ = counters_->TickCount();
      } else {
        benchCounter_ = BenchCounter::HighResolution;
        startCount_ = counters_->HighResolutionCounter();
      }
      break;
    case ConstTypeTimer::Watch:
      StartSystemTimer(kWatchPeriodMs);
      break;
  }
}

void Ticwell::StopTicking() {
  // Whatever the mode says, a system timer of this control never outlives a stop.
  StopSystemTimer();
  switch (typeTimer_) {
    case ConstTypeTimer::Classical:
      ResetCounters(u"All");
      break;
    case ConstTypeTimer::BenchMark: {
      const BenchCounter counter = std::exchange(benchCounter_, BenchCounter::None);
      // Only a benchmark that was started has a result; stopping an idle one reports nothing.
      if (counter == BenchCounter::HighResolution) {
        value_ = frequency_ > 0
                     ? MillisecondsFromCounts(counters_->HighResolutionCounter() - startCount_, frequency_)
                     : Currency{};
        const QPointer<Ticwell> alive(this);
        OnTick(u"BenchQ");
        if (!alive) {
          return;
        }
      } else if (counter == BenchCounter::TickCount) {
        value_ = Currency::FromWhole(counters_->TickCount() - startCount_);
        const QPointer<Ticwell> alive(this);
        OnTick(u"BenchG");
        if (!alive) {
          return;
        }
      }
      ResetCounters(u"AllButKeepValue");
      break;
    }
    case ConstTypeTimer::Watch:
      ResetCounters(u"AllButKeepValue");
      break;
    default:
      // A mode the control does not know (from a hand-edited property bag) still ends stopped.
      ResetCounters(u"All");
      break;
  }
}

void Ticwell::OnTick(QStringView mode) {
  if (mode == u"BenchQ") {
    Q_EMIT BenchResult(QString::fromUtf16(kTextQueryPerformanceCounter), value_);
    return;
  }
  if (mode == u"BenchG") {
    Q_EMIT BenchResult(QString::fromUtf16(kTextGetTickCount), value_);
    return;
  }
  if (mode != u"ClassicAndWatch") {
    return;
  }
  if (typeTimer_ == ConstTypeTimer::Classical) {
    Q_EMIT Timer();
    return;
  }
  if (typeTimer_ != ConstTypeTimer::Watch) {
    return;
  }
  // A handler may stop, restart or destroy the control; the rest of the tick then no longer applies.
  const QPointer<Ticwell> alive(this);
  const std::uint64_t generation = runGeneration_;
  const auto stillCounting = [&] { return alive && runGeneration_ == generation; };

  ++seconds_;
  Q_EMIT Sec();
  if (!stillCounting()) {
    return;
  }
  if (seconds_ >= 60) {
    seconds_ = 0;
    ++minutes_;
    Q_EMIT Min();
    if (!stillCounting()) {
      return;
    }
  }
  if (minutes_ >= 60) {
    minutes_ = 0;
    ++hours_;
    Q_EMIT Hour();
    if (!stillCounting()) {
      return;
    }
  }
  value_ = Currency::FromWhole(std::int64_t{hours_} * 3600 + std::int64_t{minutes_} * 60 + seconds_);
}

void Ticwell::InitProperties() {
  SetInterval(kDefaultInterval);
  SetTypeTimer(ConstTypeTimer::Classical);
}

void Ticwell::ReadProperties(const QVariantMap& bag) {
  const bool enabled = bag.value(QStringLiteral("Enabled"), false).toBool();
  SetInterval(bag.value(QStringLiteral("Interval"), kDefaultInterval));
  // A saved mode this control does not know (a damaged or foreign bag) reads as Classical: only the
  // three enumerators are ever stored in typeTimer_.
  const std::optional<std::int32_t> mode = ToInt32(bag.value(QStringLiteral("TypeTimer"), 0));
  ConstTypeTimer typeTimer = ConstTypeTimer::Classical;
  if (mode && *mode >= static_cast<std::int32_t>(ConstTypeTimer::Classical) &&
      *mode <= static_cast<std::int32_t>(ConstTypeTimer::Watch)) {
    typeTimer = static_cast<ConstTypeTimer>(*mode);
  }
  SetTypeTimer(typeTimer);
  SetEnabled(enabled);
}

void Ticwell::WriteProperties(QVariantMap& bag) const {
  const auto write = [&bag](const QString& name, const QVariant& value, bool atDefault) {
    if (atDefault) {
      bag.remove(name);
    } else {
      bag.insert(name, value);
    }
  };
  write(QStringLiteral("Enabled"), enabled_, !enabled_);
  write(QStringLiteral("Interval"), static_cast<int>(interval_), interval_ == kDefaultInterval);
  write(QStringLiteral("TypeTimer"), static_cast<int>(typeTimer_), typeTimer_ == ConstTypeTimer::Classical);
}

void Ticwell::StartSystemTimer(int periodMs) {
  if (systemTimer_ == nullptr) {
    systemTimer_ = new QTimer(this);
    // Precise: a one-minute schedule clock must not drift by seconds from tick to tick.
    systemTimer_->setTimerType(Qt::PreciseTimer);
    // The tick carries only the timer's id; the registry finds the owner, as for any system timer.
    QTimer* timer = systemTimer_;
    connect(timer, &QTimer::timeout, timer,
            [timer] { TimerCallback(0, 0, static_cast<quint32>(timer->timerId()), TickCountNow()); });
  }
  systemTimer_->start(periodMs);
  timerId_ = static_cast<quint32>(systemTimer_->timerId());
  RegisterTimer(*this, TimerKey(timerId_));
}

void Ticwell::StopSystemTimer() {
  if (systemTimer_ != nullptr) {
    systemTimer_->stop();
  }
  UnregisterTimer(*this);
  timerId_ = 0;
}

}  // namespace ticwell
