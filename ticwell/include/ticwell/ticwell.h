#pragma once

// Ticwell: the timer control that drives the scheduler, as a Qt library.
//
// Three modes:
//   Classical  a periodic timer: one Timer event every Interval milliseconds while enabled.
//   BenchMark  a stopwatch: the time between Enabled := true and Enabled := false, measured with the
//              best counter available, reported by BenchResult and kept in Value (milliseconds).
//   Watch      one Sec event a second, Min every 60th second, Hour every 60th minute; Value holds
//              the seconds counted.
//
// Events are Qt signals of the control, raised on the thread that owns the control (the GUI thread
// in the program). The ticks come from a QTimer owned by the control, which routes each tick by its
// timer id through TimerRegistry and TimerCallback (timer_registry.h), so a late tick for a stopped or
// destroyed control is dropped. A long handler delays the next tick; missed ticks are not queued up.
//
// This class needs only Qt Core and works without a display. The 24 x 24 widget that lets a window
// host an instance as a control is TicwellWidget in the separate library ticwell_widget, so hosts
// without a GUI do not link Qt Widgets.
//
// There is no design environment here: every instance is at run time, so Enabled starts and stops
// the timer at once. Call the control only from the thread that owns it.

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringView>
#include <QtCore/QVariant>
#include <QtCore/QVariantMap>
#include <cstdint>
#include <memory>

#include "ticwell/counter_source.h"
#include "ticwell/ticwell_export.h"

class QTimer;

namespace ticwell {

TICWELL_EXPORT const char* LibraryVersion();

enum class ConstTypeTimer : std::int32_t { Classical = 0, BenchMark = 1, Watch = 2 };

// A fixed-point amount with four decimal places, kept as a whole number of ten-thousandths.
struct Currency {
  static constexpr std::int64_t kScale = 10000;
  std::int64_t units = 0;

  static constexpr Currency FromWhole(std::int64_t whole) { return Currency{whole * kScale}; }
  constexpr double ToDouble() const { return static_cast<double>(units) / kScale; }
  friend constexpr bool operator==(const Currency&, const Currency&) = default;
};

// The Error event of a refused TypeTimer change.
inline constexpr qint16 kTypeTimerRunningError = 231;
TICWELL_EXPORT QString TypeTimerRunningDescription();

// The interval of a new instance, and the floor every interval is raised to.
inline constexpr std::int32_t kDefaultInterval = 10;

class TICWELL_EXPORT Ticwell : public QObject {
  Q_OBJECT

 public:
  // The benchmark reads `counters`; without one it reads SteadyClockCounters().
  explicit Ticwell(QObject* parent = nullptr);
  explicit Ticwell(std::shared_ptr<const CounterSource> counters, QObject* parent = nullptr);
  // Stops the timer as Enabled := false would (a running benchmark still reports its result).
  ~Ticwell() override;

  // ---- properties and methods ----------------------------------------------------------------

  bool Enabled() const { return enabled_; }
  // Starts the timer when switched on and stops it when switched off; the same value does nothing.
  void SetEnabled(bool new_mEnabled);

  // The interval in milliseconds, as a variant holding a 32-bit integer.
  QVariant Interval() const { return QVariant(static_cast<int>(interval_)); }
  // Takes anything convertible to a 32-bit integer (numbers, numeric text; fractions round to even).
  // A value below 10 or one that does not convert becomes 10. A running timer keeps its old interval
  // until it is stopped and started again.
  void SetInterval(const QVariant& new_mInterval);

  ConstTypeTimer TypeTimer() const { return typeTimer_; }
  // Refused while the timer runs: raises Error(231, TypeTimerRunningDescription()) and changes nothing.
  void SetTypeTimer(ConstTypeTimer new_mTypeTimer);

  // The last measured value: milliseconds of the last benchmark, or the seconds a watch counted.
  Currency Value() const { return value_; }

  // Reads the high-resolution counter frequency; "QueryPerformanceCounter" when the machine has such
  // a counter, else "GetTickCount".
  QString WhichApi();

  // ---- the timer's own steps (public so a host or a test can drive them) ---------------------

  // "All", "AllButTiRIsTrue" (the same but marks the control running) or "AllButKeepValue"
  // (keeps Value); any other text does nothing.
  void ResetCounters(QStringView mode);
  void StartTicking();
  void StopTicking();
  // "ClassicAndWatch": one tick of the classic timer or the watch. "BenchQ" / "BenchG": report the
  // benchmark result measured with the high-resolution counter / the tick count.
  void OnTick(QStringView mode);

  // ---- persistence through the host's property bag -------------------------------------------

  // A new instance: Interval 10, TypeTimer Classical.
  void InitProperties();
  // Reads "Enabled" (default false), "Interval" (default 10) and "TypeTimer" (default 0). The mode and
  // the interval are applied before Enabled, so a saved running timer starts in its own mode. A mode
  // other than 0, 1 or 2 reads as Classical.
  void ReadProperties(const QVariantMap& bag);
  // Writes each property only when it differs from its default; a property at its default is removed.
  void WriteProperties(QVariantMap& bag) const;

  // ---- state for the host and for diagnostics ------------------------------------------------

  bool IsRunning() const { return running_; }
  // The id of the running system timer, 0 when none.
  quint32 TimerId() const { return timerId_; }

 Q_SIGNALS:
  // ---- events ---------------------------------------------------------------------------------
  void Timer();
  void Sec();
  void Min();
  void Hour();
  void BenchResult(const QString& WhichApi, ticwell::Currency Result);
  void Error(qint16 NumErr, const QString& Description);

  // Not an event of the control: tells the host that a persisted property changed, so the property
  // bag needs saving.
  void PropertyChanged(const QString& name);

 private:
  enum class BenchCounter { None, HighResolution, TickCount };

  void StartSystemTimer(int periodMs);
  void StopSystemTimer();

  std::shared_ptr<const CounterSource> counters_;
  QTimer* systemTimer_ = nullptr;

  std::int32_t seconds_ = 0;
  std::int32_t minutes_ = 0;
  std::int32_t hours_ = 0;
  std::int64_t startCount_ = 0;
  BenchCounter benchCounter_ = BenchCounter::None;  // the counter the running benchmark started on
  quint32 timerId_ = 0;
  bool running_ = false;
  std::uint64_t runGeneration_ = 0;  // changes on every start and stop
  std::int64_t frequency_ = 0;

  ConstTypeTimer typeTimer_ = ConstTypeTimer::Classical;
  bool enabled_ = false;
  std::int32_t interval_ = kDefaultInterval;
  Currency value_;
};

}  // namespace ticwell
