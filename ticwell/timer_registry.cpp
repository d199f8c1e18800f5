#include "ticwell/timer_registry.h"

#include <QtCore/QMetaObject>
#include <QtCore/QThread>
#include <algorithm>

#include "ticwell/ticwell.h"

namespace ticwell {

TimerRegistry& TimerRegistry::Process() {
  static TimerRegistry registry;
  return registry;
}

void TimerRegistry::Add(const std::string& key, Ticwell* instance) {
  std::lock_guard lock(mutex_);
  for (auto& entry : entries_) {
    if (entry.first == key) {
      entry.second = instance;
      return;
    }
  }
  entries_.emplace_back(key, instance);
}

bool TimerRegistry::RemoveFirst(const Ticwell* instance) {
  std::lock_guard lock(mutex_);
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [instance](const auto& entry) { return entry.second == instance; });
  if (found == entries_.end()) {
    return false;
  }
  entries_.erase(found);
  return true;
}

Ticwell* TimerRegistry::Find(const std::string& key) const {
  std::lock_guard lock(mutex_);
  for (const auto& entry : entries_) {
    if (entry.first == key) {
      return entry.second;
    }
  }
  return nullptr;
}

std::size_t TimerRegistry::Count() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

bool TimerRegistry::DeliverTick(const std::string& key) {
  Ticwell* instance = nullptr;
  {
    std::lock_guard lock(mutex_);
    for (const auto& entry : entries_) {
      if (entry.first == key) {
        instance = entry.second;
        break;
      }
    }
    if (instance == nullptr) {
      return false;
    }
    if (instance->thread() != QThread::currentThread()) {
      // Posted while the lock is held: the control cannot finish unregistering (and so cannot be
      // destroyed) before the event is queued, and Qt drops events queued for a destroyed object.
      QMetaObject::invokeMethod(
          instance, [this, key] { DeliverTick(key); }, Qt::QueuedConnection);
      return true;
    }
  }
  // On the control's own thread only that thread can destroy it, so the pointer stays good here.
  instance->OnTick(u"ClassicAndWatch");
  return true;
}

std::string TimerKey(quint32 timerId) { return std::to_string(timerId) + "_tick"; }

void RegisterTimer(Ticwell& instance, const std::string& key) {
  TimerRegistry::Process().Add(key, &instance);
}

void UnregisterTimer(const Ticwell& instance) { TimerRegistry::Process().RemoveFirst(&instance); }

void TimerCallback(quintptr /*window*/, quint32 /*message*/, quint32 timerId, quint32 /*time*/) {
  TimerRegistry::Process().DeliverTick(TimerKey(timerId));
}

}  // namespace ticwell
