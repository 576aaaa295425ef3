#pragma once
// The program-wide instance of a service interface that a lower subsystem asks of a higher one.
//
// Every slot starts with the interface's own least-behaviour default (an object of the interface
// class itself, its stand-in); the higher subsystem registers the real implementation at start-up
// (src/app/), and registering null puts the stand-in back. Each interface offers its slot under
// one pair of names:
//
//   void RegisterXxx(std::unique_ptr<TXxx> service);   // null: the stand-in again
//   TXxx& Xxx();                                       // never null
//
// defined with the templates below. Tests swap a service for their own extent with
// ScopedService, which puts back whatever was registered before.
#include <memory>
#include <typeinfo>
#include <utility>

namespace qv {

// The slot itself is never destroyed, so that code running while the program's statics are torn
// down (destructors of other statics, a listener thread) still finds a service; the start-up
// puts the stand-ins back at shutdown, which frees the registered services in order.
template <class T>
std::unique_ptr<T>& ServiceSlot() {
  static auto* slot = new std::unique_ptr<T>(std::make_unique<T>());
  return *slot;
}

template <class T>
void RegisterService(std::unique_ptr<T> service) {
  ServiceSlot<T>() = service ? std::move(service) : std::make_unique<T>();
}

template <class T>
T& Service() {
  return *ServiceSlot<T>();
}

// Whether the slot still holds the interface's own default rather than a registered
// implementation.
template <class T>
bool IsStandInService() {
  const T& service = *ServiceSlot<T>();
  return typeid(service) == typeid(T);
}

// Registers a service for the extent of a scope and puts back the one registered before.
// `Impl` names the registered class, so that the owner of the scope can reach it:
//   ScopedService<TSoundService, RecSounds> sounds;        // a new RecSounds
//   sounds->Events ...
//   ScopedService<THyphenationService> hyphenation(std::make_unique<FakeHyphenation>(words));
template <class T, class Impl = T>
class ScopedService {
 public:
  ScopedService() : ScopedService(std::make_unique<Impl>()) {}
  explicit ScopedService(std::unique_ptr<Impl> service)
      : previous_(std::move(ServiceSlot<T>())), current_(service.get()) {
    RegisterService<T>(std::move(service));
  }
  ~ScopedService() { ServiceSlot<T>() = std::move(previous_); }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;

  Impl& operator*() const { return *current_; }
  Impl* operator->() const { return current_; }

 private:
  std::unique_ptr<T> previous_;
  Impl* current_;
};

}  // namespace qv
