#include "foundation/system/running_instance.h"

#include <stdexcept>

#include "foundation/base/service_slot.h"
#include "foundation/system/command_line.h"
#include "foundation/system/paths.h"
#include "foundation/base/string_utils.h"
#include "platform/system/instance_channel.h"

namespace qv {

TStringList CommandLineFiles;
uint8_t CommandLineAction = 0;
int32_t InstanceRequestTimeoutMs = 5000;

namespace {

std::unique_ptr<plat::InstanceListener>& ListenerSlot() {
  static auto* slot = new std::unique_ptr<plat::InstanceListener>();
  return *slot;
}

plat::InstancePeer PeerOf(const TInstanceWindow& window) { return {window.Address, window.Pid}; }

bool IsProjectFile(const std::string& path) {
  return SameTextAscii(ExtractFileExt(path), ".qvpj");
}

// Forgets the files a running instance has taken, so the starting instance opens only the rest.
void DropHandedFiles(int32_t handed) {
  for (int32_t i = 0; i < handed && !CommandLineFiles.Empty(); ++i) CommandLineFiles.Delete(0);
}

}  // namespace

uint8_t TInstanceReceiver::HandleInstanceRequest(uint8_t, const std::string&) { return 0; }

void RegisterInstanceReceiver(std::unique_ptr<TInstanceReceiver> receiver) {
  RegisterService(std::move(receiver));
}

TInstanceReceiver& InstanceReceiver() { return Service<TInstanceReceiver>(); }

std::optional<uint8_t> SendInstanceRequest(const TInstanceWindow& window, uint8_t code) {
  return plat::SendInstanceMessage(PeerOf(window), code, std::string(), InstanceRequestTimeoutMs);
}

std::optional<uint8_t> SendInstanceFile(const TInstanceWindow& window, uint8_t code,
                                        const std::string& path) {
  return plat::SendInstanceMessage(PeerOf(window), code, path, InstanceRequestTimeoutMs);
}

std::optional<TInstanceWindow> FindOtherInstance(uint8_t mode) {
  for (const plat::InstancePeer& peer : plat::ListInstances()) {
    const TInstanceWindow window{peer.Address, peer.Pid};
    std::optional<uint8_t> answer;
    switch (mode) {
      case 0: return window;
      case 1:
      case 2: answer = SendInstanceRequest(window, irMayTakeFiles); break;
      case 3: answer = SendInstanceRequest(window, irIsFactoryTestCopy); break;
      default: break;
    }
    // An instance that does not answer in time is passed over like one that says no.
    if (answer && *answer != 0) return window;
  }
  return std::nullopt;
}

bool HandOverToOtherInstance() {
  uint8_t mode;
  if (CommandLineAction == 1) {
    mode = 1;
  } else if (CommandLineAction == 2 && !IsSwitchPresent(swPrintTo) &&
             !IsSwitchPresent(swNoPrintDialog)) {
    mode = 2;
  } else {
    return false;
  }
  for (int32_t i = CommandLineFiles.Count() - 1; i >= 0; --i)
    if (IsProjectFile(CommandLineFiles.Strings(i))) return false;
  const std::optional<TInstanceWindow> window = FindOtherInstance(mode);
  if (!window) return false;
  const std::optional<uint8_t> minimized = SendInstanceRequest(*window, irIsMinimized);
  if (!minimized || !SendInstanceRequest(*window, irActivate)) return false;
  const uint8_t code = mode == 2 ? irPrintFile : irOpenFile;
  int32_t handed = 0;
  for (const auto& item : CommandLineFiles.Items()) {
    // The answer is the receipt: without it the file stays with the starting instance.
    if (!SendInstanceFile(*window, code, item.Str)) {
      DropHandedFiles(handed);
      return false;
    }
    ++handed;
  }
  if (mode == 2 && *minimized == 1) SendInstanceRequest(*window, irMinimize);
  return true;
}

bool PublishThisInstance() {
  if (ListenerSlot()) return true;
  try {
    ListenerSlot() = std::make_unique<plat::InstanceListener>(
        [](uint8_t code, const std::string& path) -> uint8_t {
          try {
            return InstanceReceiver().HandleInstanceRequest(code, path);
          } catch (const std::exception&) {
            return 0;  // a failing receiver answers no rather than leaving the sender waiting
          }
        });
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

void WithdrawThisInstance() { ListenerSlot().reset(); }

bool IsInstancePublished() { return ListenerSlot() != nullptr; }

int ServeInstanceRequests(int32_t timeoutMs) {
  return ListenerSlot() ? ListenerSlot()->Serve(timeoutMs) : 0;
}

int InstanceChannelFd() { return ListenerSlot() ? ListenerSlot()->Fd() : -1; }

}  // namespace qv
