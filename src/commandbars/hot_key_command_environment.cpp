// The command environment as the hot-key manager completes it: menus and hints show the text of
// each command's first key.
#include <memory>
#include <string>
#include <vector>

#include "commandbars/hot_key_manager.h"
#include "shell/shell_command_environment.h"

namespace qv {

namespace {

class THotKeyCommandEnvironment : public TShellCommandEnvironment {
 public:
  std::string FirstKeyText(int32_t id) override {
    const std::vector<uint32_t> keys = GetHotKeyManager().GetCommandKeys(id);
    return keys.empty() ? std::string() : HotKeyToText(keys.front());
  }
};

}  // namespace

void RegisterHotKeyCommandEnvironment() {
  RegisterCommandEnvironment(std::make_unique<THotKeyCommandEnvironment>());
}

}  // namespace qv
