#pragma once
// What the interface toolkit asks of the sound manager, which lives in a higher subsystem. The
// default service is silent; the sound manager registers itself at start-up.
#include <cstdint>
#include <memory>

namespace qv {

class TSoundService {
 public:
  virtual ~TSoundService() = default;
  // Plays the sound of a numbered event (1000 + message kind for the message box).
  virtual void PlayEventSound(int32_t event) {}
};

// Registers the sound manager (null restores the silent default).
void RegisterSoundService(std::unique_ptr<TSoundService> service);
TSoundService& SoundService();

// Sound events of the message kinds warning, error, information and confirmation.
constexpr int32_t kSoundEventMessageBase = 1000;

}  // namespace qv
