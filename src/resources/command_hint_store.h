#pragma once
// The command names ("COMMANDHINTS") and long hints ("COMMANDEXTHINTS") the program carries, both
// of resource type "COMMANDHINTS", answered to the command manager through the resource service.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "layout/pictures/resource_service.h"
#include "resources/command_text_pack.h"

namespace qv {

class TCommandHintStore : public TResourceService {
 public:
  // The packed bytes of one of the two resources; empty for any other name or type.
  std::span<const uint8_t> Find(const std::string& name, const std::string& type) override;
};

std::unique_ptr<TResourceService> MakeCommandHintStore();

// The tables the two resources are packed from, in their written order.
std::span<const TCommandText> CommandNameTable();
std::span<const TCommandText> CommandExtHintTable();
// The packed bytes of the two resources.
std::span<const uint8_t> CommandNamesResource();
std::span<const uint8_t> CommandExtHintsResource();

}  // namespace qv
