#pragma once
// The rules that decide whether a command can run now, by the id ranges of the handlers, with
// the disabled-reason code of a refusal. A range handler asks them unless it has its own rule.
#include <cstdint>

namespace qv {

class TCommandManager;

// True when the command can run; a refusal stores its code in `reason` (left 0: "there is no
// active document"). Parameterised ids leave `reason` alone when they allow.
bool AskEnableRules(TCommandManager& manager, int32_t id, uint8_t& reason);

}  // namespace qv
