#include "resources/command_hint_store.h"

namespace qv {

std::span<const uint8_t> TCommandHintStore::Find(const std::string& name,
                                                 const std::string& type) {
  if (type != "COMMANDHINTS") return {};
  if (name == "COMMANDHINTS") return CommandNamesResource();
  if (name == "COMMANDEXTHINTS") return CommandExtHintsResource();
  return {};
}

std::unique_ptr<TResourceService> MakeCommandHintStore() {
  return std::make_unique<TCommandHintStore>();
}

}  // namespace qv
