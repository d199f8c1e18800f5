#pragma once

// Shared pieces of the timer tests: an event loop that runs until a condition holds, a recorder of
// the control's events and a counter source the test moves by hand.

#include <QtCore/QEventLoop>
#include <QtCore/QObject>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ticwell/counter_source.h"
#include "ticwell/ticwell.h"

namespace ticwell {

inline void PrintTo(const Currency& value, std::ostream* out) { *out << value.units << "/10000"; }

namespace testing_support {

// Runs the event loop until `done()` holds or `timeoutMs` passed; returns `done()`.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs = 2000) {
  if (done()) {
    return true;
  }
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) {
      loop.quit();
    }
  });
  poll.start(1);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

// Runs the event loop for `ms` milliseconds.
inline void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Everything a control raised, and on which threads the ticks were raised (direct connections, so
// the recorded thread is the emitting one).
class EventLog : public QObject {
 public:
  explicit EventLog(Ticwell& control) {
    connect(
        &control, &Ticwell::Timer, this, [this] { Tick(timer); }, Qt::DirectConnection);
    connect(
        &control, &Ticwell::Sec, this, [this] { Tick(sec); }, Qt::DirectConnection);
    connect(&control, &Ticwell::Min, this, [this] { ++min; });
    connect(&control, &Ticwell::Hour, this, [this] { ++hour; });
    connect(&control, &Ticwell::BenchResult, this,
            [this](const QString& api, Currency result) { bench.emplace_back(api.toStdString(), result); });
    connect(&control, &Ticwell::Error, this, [this](qint16 number, const QString& description) {
      errors.emplace_back(number, description.toStdString());
    });
    connect(&control, &Ticwell::PropertyChanged, this,
            [this](const QString& name) { changed.push_back(name.toStdString()); });
  }

  int timer = 0;
  int sec = 0;
  int min = 0;
  int hour = 0;
  std::vector<std::pair<std::string, Currency>> bench;
  std::vector<std::pair<qint16, std::string>> errors;
  std::vector<std::string> changed;
  std::vector<QThread*> tickThreads;

 private:
  void Tick(int& counter) {
    ++counter;
    tickThreads.push_back(QThread::currentThread());
  }
};

// A counter source whose readings the test sets.
struct ManualCounters : CounterSource {
  std::int64_t frequency = 0;
  std::int64_t counter = 0;
  std::int64_t ticks = 0;

  std::int64_t HighResolutionFrequency() const override { return frequency; }
  std::int64_t HighResolutionCounter() const override { return counter; }
  std::int64_t TickCount() const override { return ticks; }
};

}  // namespace testing_support
}  // namespace ticwell
