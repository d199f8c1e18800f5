#pragma once

// The module side of the control: a process-wide table from running system timers to the controls
// that own them, and the callback every system timer calls on each tick.
//
// A system timer knows only its id. Each tick goes through TimerCallback, which looks the id up here
// and hands the tick to the owning control. A tick whose id is not (or no longer) in the table, for
// example one already on its way when the control stopped or was destroyed, is dropped.

#include <QtCore/qglobal.h>

#include <cstddef>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ticwell/ticwell_export.h"

namespace ticwell {

class Ticwell;

class TICWELL_EXPORT TimerRegistry {
 public:
  TimerRegistry() = default;
  TimerRegistry(const TimerRegistry&) = delete;
  TimerRegistry& operator=(const TimerRegistry&) = delete;

  // The one registry of the process; it outlives every control.
  static TimerRegistry& Process();

  // Adds `instance` under `key`. An entry already under that key is stale (a system timer id is
  // unique while its timer runs) and is replaced.
  void Add(const std::string& key, Ticwell* instance);
  // Removes the first entry whose item is `instance`; false when there was none.
  bool RemoveFirst(const Ticwell* instance);
  // The control registered under `key`, or null.
  Ticwell* Find(const std::string& key) const;
  std::size_t Count() const;

  // Hands one tick to the control registered under `key`: at once when the caller runs on the
  // control's thread, otherwise queued to that thread (the control is looked up again when the
  // tick arrives there). False when no control is registered under the key. A queued tick refers
  // back to this registry, so the registry must outlive the event loops it posts to; Process() does.
  bool DeliverTick(const std::string& key);

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<std::string, Ticwell*>> entries_;  // in the order they were added
};

// The registry key of a system timer: its decimal id with a fixed suffix ("17" → "17_tick").
TICWELL_EXPORT std::string TimerKey(quint32 timerId);

// Module functions over TimerRegistry::Process().
TICWELL_EXPORT void RegisterTimer(Ticwell& instance, const std::string& key);
TICWELL_EXPORT void UnregisterTimer(const Ticwell& instance);
// The callback of every system timer. `window` and `message` are kept for the shape of the
// interface and are not used (the timers have no window); `time` is the tick count of the tick.
TICWELL_EXPORT void TimerCallback(quintptr window, quint32 message, quint32 timerId, quint32 time);

}  // namespace ticwell
