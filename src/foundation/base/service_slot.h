#pragma once
// The program-wide instance of a service interface that a lower subsystem asks of a higher one.
// The slot starts with the interface's own least-behaviour default; the higher subsystem
// registers the real implementation at start-up, and registering null puts the default back.
#include <memory>
#include <utility>

namespace qv {

template <class T>
std::unique_ptr<T>& ServiceSlot() {
  static std::unique_ptr<T> slot = std::make_unique<T>();
  return slot;
}

template <class T>
void RegisterService(std::unique_ptr<T> service) {
  ServiceSlot<T>() = service ? std::move(service) : std::make_unique<T>();
}

}  // namespace qv
